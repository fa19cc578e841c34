// The project graph: project lifetime, tracks, groups and rules, renaming and deletion with every
// reference kept valid, cloning, validation and the play-status toggles.
//
// Integrity rules kept here: names are unique; a group never becomes its own member or ancestor;
// a deleted or renamed element leaves no reference to its old name (groups, rules, implications,
// mixes); ids stay 0..count-1 without gaps.
#include <sndfile.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "KElement.h"
#include "KEqual.h"
#include "KProjectLock.h"

// --- Shared helpers ------------------------------------------------------------------------------

void releaseBlockNotify(gpointer block)
{
    releaseBlock(block);
}

char *copyString(const char *s)
{
    return s ? _tvr_strcpy(s) : nullptr;
}

int *newMinMax(int min, int max)
{
    int *block = static_cast<int *>(tvr_malloc(2 * sizeof(int)));
    if (block) {
        block[0] = min;
        block[1] = max;
    }
    return block;
}

const char **newNameArray(int n)
{
    return static_cast<const char **>(
        tvr_calloc(n > 0 ? static_cast<size_t>(n) : 1, sizeof(char *)));
}

// Appends to a growing tvr_malloc array; false when it cannot grow.
static bool appendElement(KElement ***array, int *len, int *capacity, KElement *elt)
{
    if (*len == *capacity) {
        const int grown = *capacity ? 2 * *capacity : 16;
        KElement **bigger =
            static_cast<KElement **>(tvr_calloc(static_cast<size_t>(grown), sizeof(KElement *)));
        if (!bigger)
            return false;
        if (*len)
            std::memcpy(bigger, *array, sizeof(KElement *) * static_cast<size_t>(*len));
        releaseBlock(*array);
        *array = bigger;
        *capacity = grown;
    }
    (*array)[(*len)++] = elt;
    return true;
}

static void removeElement(KElement **array, int *len, const KElement *elt)
{
    KElement **end = array + *len;
    KElement **at = std::find(array, end, elt);
    if (at == end)
        return;
    std::memmove(at, at + 1, sizeof(KElement *) * static_cast<size_t>(end - at - 1));
    --*len;
}

namespace {
std::atomic<unsigned long> structureGeneration{0};
} // namespace

void KFile_structureChanged(void)
{
    structureGeneration.fetch_add(1, std::memory_order_relaxed);
}

unsigned long KFile_structureGeneration(void)
{
    return structureGeneration.load(std::memory_order_relaxed);
}

static void releaseOrder(KFile *file)
{
    releaseBlock(file->orderCache);
    releaseBlock(file->trackCache);
    file->orderCache = file->trackCache = nullptr;
    file->orderCacheLen = file->trackCacheLen = 0;
    file->orderCacheCapacity = file->trackCacheCapacity = 0;
}

static bool ownsMinMax(int kind)
{
    return kind == KCONST_GROUP || kind == KCONST_ALL || kind == KCONST_ONE;
}

static bool isGroupElt(const KElement *elt)
{
    return elt &&
           (elt->type == KELT_GROUP || elt->type == KELT_WORK || elt->type == KELT_WORK_ALT) &&
           elt->data;
}

KGroupData *KElement_groupData(KElement *elt)
{
    return isGroupElt(elt) ? static_cast<KGroupData *>(elt->data) : nullptr;
}

KTrack *KElement_track(KElement *elt)
{
    return (elt && elt->type == KELT_TRACK) ? static_cast<KTrack *>(elt->data) : nullptr;
}

static KGroupData *groupOf(KElement *elt)
{
    return KElement_groupData(elt);
}

static KTrack *trackOf(KElement *elt)
{
    return KElement_track(elt);
}

// --- Versions and file ID ------------------------------------------------------------------------

int cFVersIsOk(double version, KFile *file)
{
    if (file && std::isfinite(version) && std::floor(file->version) < std::floor(version))
        return -2;
    return oLVersIsOk(version);
}

const char *TovraGenerateFileId(KFile *file)
{
    if (!file)
        return nullptr;
    k_TovraLibIniatilization();
    char *id = static_cast<char *>(tvr_malloc(129));
    if (!id)
        return nullptr;
    for (int i = 0; i < 128; ++i)
        id[i] = randChar();
    id[128] = '\0';
    releaseBlock(file->fileId);
    file->fileId = id;
    return id;
}

// --- Points --------------------------------------------------------------------------------------

KPoint *KPoint_new(void)
{
    return static_cast<KPoint *>(tvr_malloc(sizeof(KPoint)));
}

KPoint *KPoint_init(KPoint *point)
{
    if (point)
        point->x = point->y = point->z = 0.0;
    return point;
}

void KPoint_delete(KPoint **point)
{
    if (!point)
        return;
    releaseBlock(*point);
    *point = nullptr;
}

// --- Element records -----------------------------------------------------------------------------

static void freeTrackData(KTrack *track)
{
    if (!track)
        return;
    KStreamFormat_delete(&track->format);
    KPoint_delete(&track->position);
    KEqual_delete(&track->equal);
    releaseBlock(track->path);
    releaseBlock(track);
}

static void freeGroupData(KGroupData *group)
{
    if (!group)
        return;
    if (ownsMinMax(group->kind))
        releaseBlock(group->kindData);
    g_queue_clear(&group->members);
    releaseBlock(group);
}

// New unfiled element with the defaults shared by tracks and groups; null on allocation failure.
static KElement *newElement(int type, const char *name)
{
    KElement *elt = static_cast<KElement *>(tvr_malloc(sizeof(KElement)));
    if (!elt)
        return nullptr;
    elt->type = type;
    elt->name = copyString(name);
    elt->levels = KLevels_new();
    if (!elt->name || !elt->levels) {
        releaseBlock(elt->name);
        KLevels_delete(&elt->levels);
        releaseBlock(elt);
        return nullptr;
    }
    elt->status = KSTATUS_STOPPED;
    g_queue_init(&elt->parents);
    g_queue_init(&elt->impliedBy);
    elt->id = KELT_NO_ID;
    elt->mixLawType = KMIXLAW_NONE;
    elt->visible = 1;
    elt->color = KCOLOR_NONE;
    elt->pan = 0.0;
    return elt;
}

// Frees the element's own fields and record; its data goes with it. No graph bookkeeping.
static void destroyElement(KElement *elt)
{
    if (elt->type == KELT_TRACK)
        freeTrackData(static_cast<KTrack *>(elt->data));
    else
        freeGroupData(static_cast<KGroupData *>(elt->data));
    g_queue_clear(&elt->parents);
    g_queue_clear(&elt->impliedBy);
    releaseBlock(elt->mixLawData);
    releaseBlock(elt->comment);
    releaseBlock(elt->name);
    KLevels_delete(&elt->levels);
    releaseBlock(elt);
}

static bool reserveIds(KFile *file, int count)
{
    if (count <= file->eltsByIdCapacity)
        return true;
    int capacity = file->eltsByIdCapacity ? file->eltsByIdCapacity : 16;
    while (capacity < count)
        capacity *= 2;
    KElement **grown = static_cast<KElement **>(
        file->eltsById
            ? tvr_realloc(file->eltsById, static_cast<size_t>(capacity) * sizeof(KElement *))
            : tvr_calloc(static_cast<size_t>(capacity), sizeof(KElement *)));
    if (!grown)
        return false;
    std::fill(grown + file->eltsByIdCapacity, grown + capacity, nullptr);
    file->eltsById = grown;
    file->eltsByIdCapacity = capacity;
    return true;
}

static void linkCreated(KFile *file, KElement *elt)
{
    KFile_structureChanged();
    elt->createdRank = ++file->createdRanks;
    elt->prevCreated = file->lastCreated;
    elt->nextCreated = nullptr;
    if (file->lastCreated)
        file->lastCreated->nextCreated = elt;
    else
        file->firstCreated = elt;
    file->lastCreated = elt;
    if (file->orderCacheValid &&
        (!appendElement(&file->orderCache, &file->orderCacheLen, &file->orderCacheCapacity, elt) ||
         (elt->type == KELT_TRACK &&
          !appendElement(&file->trackCache, &file->trackCacheLen, &file->trackCacheCapacity,
                         elt)))) {
        releaseOrder(file);
        file->orderCacheValid = 0;
    }
}

static void unlinkCreated(KFile *file, KElement *elt)
{
    KFile_structureChanged();
    if (elt->prevCreated)
        elt->prevCreated->nextCreated = elt->nextCreated;
    else
        file->firstCreated = elt->nextCreated;
    if (elt->nextCreated)
        elt->nextCreated->prevCreated = elt->prevCreated;
    else
        file->lastCreated = elt->prevCreated;
    elt->prevCreated = elt->nextCreated = nullptr;
    if (file->orderCacheValid) {
        removeElement(file->orderCache, &file->orderCacheLen, elt);
        if (elt->type == KELT_TRACK)
            removeElement(file->trackCache, &file->trackCacheLen, elt);
    }
}

// Files a new element under its own name, numbered when asked. -204 when the name is taken,
// -102 when the by-id array cannot grow.
static int fileElement(KFile *file, KElement *elt, bool numbered)
{
    if (g_hash_table_contains(file->elts, elt->name))
        return TVR_ERR_ELT_TABLE;
    if (numbered) {
        if (!reserveIds(file, file->eltCount + 1))
            return TVR_ERR_MEMORY;
        elt->id = file->eltCount;
        file->eltsById[file->eltCount++] = elt;
    }
    g_hash_table_insert(file->elts, elt->name, elt);
    if (elt->type == KELT_GROUP)
        ++file->groupCount;
    linkCreated(file, elt);
    return TVR_OK;
}

// --- Status propagation --------------------------------------------------------------------------

// `elt` has just started to play: its parents count it, and a parent whose count leaves 0 while
// it does not play starts playing through its member, and so on upward.
void KElement_raiseParents(KElement *elt)
{
    std::vector<KElement *> work{elt};
    while (!work.empty()) {
        KElement *e = work.back();
        work.pop_back();
        for (GList *l = e->parents.head; l; l = l->next) {
            KElement *parent = static_cast<KElement *>(l->data);
            KGroupData *group = groupOf(parent);
            if (group && ++group->playCount == 1 && parent->status <= 0) {
                parent->status = KSTATUS_BY_MEMBER;
                work.push_back(parent);
            }
        }
    }
}

GSList *moveStatusWithReturn(GSList *list, KElement *elt)
{
    return KElement_moveStatus(list, elt, nullptr);
}

void KElement_restoreStatus(const std::vector<KStatusSave> &undo)
{
    for (auto it = undo.rbegin(); it != undo.rend(); ++it) {
        it->elt->status = it->status;
        if (KGroupData *group = groupOf(it->elt))
            group->playCount = it->playCount;
    }
}

GSList *KElement_moveStatus(GSList *list, KElement *elt, std::vector<KStatusSave> *undo)
{
    if (!elt)
        return list;
    auto save = [undo](KElement *e) {
        if (undo) {
            KGroupData *group = groupOf(e);
            undo->push_back({e, e->status, group ? group->playCount : 0});
        }
    };
    // Depth-first in the order of change: the element, then each parent whose count crossed
    // 0 and 1 in the element's direction, with that parent's own parents before the next one.
    struct Frame {
        KElement *elt;
        bool switchOn;
        bool forced;
    };
    std::vector<Frame> work{{elt, elt->status <= 0, true}};
    GSList *changed = nullptr;
    while (!work.empty()) {
        Frame frame = work.back();
        work.pop_back();
        KElement *e = frame.elt;
        // A parent switches only when it is still on the other side.
        if (!frame.forced && (frame.switchOn ? e->status > 0 : e->status <= 0))
            continue;
        save(e);
        e->status = frame.switchOn ? KSTATUS_ON : KSTATUS_OFF;
        changed = g_slist_prepend(changed, e->name);
        size_t mark = work.size();
        for (GList *l = e->parents.head; l; l = l->next) {
            KElement *parent = static_cast<KElement *>(l->data);
            KGroupData *group = groupOf(parent);
            if (!group)
                continue;
            save(parent);
            if (frame.switchOn) {
                if (++group->playCount == 1 && parent->status <= 0)
                    work.push_back({parent, true, false});
            } else {
                if (group->playCount > 0 && --group->playCount == 0 && parent->status > 0)
                    work.push_back({parent, false, false});
            }
        }
        std::reverse(work.begin() + static_cast<long>(mark), work.end());
    }
    return g_slist_concat(list, g_slist_reverse(changed));
}

void changeStatus(gpointer name, gpointer file)
{
    KElement *elt = giveElt(static_cast<KFile *>(file), static_cast<const char *>(name));
    if (elt)
        g_slist_free(moveStatusWithReturn(nullptr, elt));
    std::fputs(
        "!!! WARNING : the new function void changeStatus (gpointer, gpointer) is called !!!\n",
        stderr);
}

int setAllStatusStop(KFile *file)
{
    k_checkProjectLock(file, "setAllStatusStop");
    if (!file)
        return -1;
    for (KElement *e = file->firstCreated; e; e = e->nextCreated) {
        e->status = KSTATUS_STOPPED;
        if (KGroupData *group = groupOf(e))
            group->playCount = 0;
    }
    return 1;
}

int initializeStatus(KFile *file)
{
    k_checkProjectLock(file, "initializeStatus");
    if (!file || !file->mixes || !file->mixes->current)
        return -1;
    const KMix *current = file->mixes->current;
    for (GSList *l = current->tracks; l; l = l->next) {
        const KTrack *track = static_cast<const KTrack *>(l->data);
        if (!track || !track->elt)
            return -1;
    }
    setAllStatusStop(file);
    for (GSList *l = current->tracks; l; l = l->next) {
        KElement *elt = static_cast<KTrack *>(l->data)->elt;
        if (elt->status > 0)
            continue;
        elt->status = KSTATUS_ON;
        KElement_raiseParents(elt);
    }
    return 1;
}

int getEltStatus(KFile *file, const char *name)
{
    KElement *elt = giveElt(file, name);
    return elt ? elt->status : 0;
}

int isPlaying(KFile *file, const char *name)
{
    return getEltStatus(file, name) > 0 ? 1 : 0;
}

// --- Project lifetime ----------------------------------------------------------------------------

KFile *newZark(const char *name, double version)
{
    if (oLVersIsOk(version) < 0)
        return nullptr;
    KFile *file = static_cast<KFile *>(tvr_malloc(sizeof(KFile)));
    if (!file)
        return nullptr;
    g_queue_init(&file->songKeys);
    file->orderCacheValid = 1;
    file->treeIndex = KTreeIndex_new();
    file->songs =
        g_hash_table_new_full(g_str_hash, g_str_equal, releaseBlockNotify, releaseBlockNotify);
    file->elts = g_hash_table_new(g_str_hash, g_str_equal);
    file->mixes = MixManager_create();
    file->format = KStreamFormat_new();
    file->name = copyString(name);
    if (!file->mixes || !file->format || !file->treeIndex || (name && !file->name)) {
        _freeZark(file);
        return nullptr;
    }
    file->format->rate = 44100.0;
    file->version = version;
    file->masterGain = 1.0;
    file->masterPan = 0.0;
    return file;
}

static void destroyAllElements(KFile *file)
{
    KFile_structureChanged();
    KElement *e = file->firstCreated;
    while (e) {
        KElement *next = e->nextCreated;
        destroyElement(e);
        e = next;
    }
    file->firstCreated = file->lastCreated = nullptr;
    releaseBlock(file->eltsById);
    file->eltsById = nullptr;
    file->eltsByIdCapacity = 0;
    file->eltCount = 0;
    file->groupCount = 0;
    releaseOrder(file);
    file->orderCacheValid = 1;
}

int _freeZark(KFile *file)
{
    if (!file)
        return 1;
    if (file->songs)
        g_hash_table_destroy(file->songs);
    g_queue_clear(&file->songKeys);
    destroyAllElements(file);
    if (file->elts)
        g_hash_table_destroy(file->elts);
    releaseBlock(file->fileId);
    releaseBlock(file->name);
    MixManager_delete(&file->mixes);
    KStreamFormat_delete(&file->format);
    KTreeIndex_delete(file->treeIndex);
    releaseBlock(file);
    return 1;
}

// Calls fn on every stored mix and on the current mix.
template <typename Fn> static void forEachMix(KFile *file, Fn fn)
{
    if (!file->mixes)
        return;
    for (GList *l = file->mixes->order.head; l; l = l->next)
        fn(static_cast<KMix *>(l->data));
    if (file->mixes->current)
        fn(file->mixes->current);
}

int resetEltsInFile(KFile *file)
{
    if (!file)
        return -1;
    // Mixes point at tracks and name elements: they are emptied with them.
    forEachMix(file, [](KMix *mix) {
        g_slist_free(mix->tracks);
        mix->tracks = nullptr;
        mix->trackCount = 0;
        g_hash_table_remove_all(mix->levels);
    });
    destroyAllElements(file);
    g_hash_table_remove_all(file->elts);
    file->soloCount = 0;
    file->lengthFrames = 0;
    file->lengthSeconds = 0.0;
    return 1;
}

// --- Tracks -------------------------------------------------------------------------------------

KTrack *createTrack(int date, KPoint *position, uint32_t length)
{
    KTrack *track = static_cast<KTrack *>(tvr_malloc(sizeof(KTrack)));
    if (!position)
        position = KPoint_init(KPoint_new());
    if (!track || !position) {
        releaseBlock(track);
        KPoint_delete(&position);
        return nullptr;
    }
    track->stream = KSTREAM_NONE;
    track->date = date;
    track->length = length;
    track->position = position;
    return track;
}

int addTrack(KFile *file, KTrack *track, const char *name)
{
    k_checkProjectLock(file, "addTrack");
    if (!file || !track || track->elt || !name || !*name) {
        if (track && !track->elt)
            freeTrackData(track);
        return TVR_ERR_PARAM;
    }
    if (g_hash_table_contains(file->elts, name)) {
        freeTrackData(track);
        return TVR_ERR_ELT_TABLE;
    }
    KElement *elt = newElement(KELT_TRACK, name);
    if (!elt) {
        freeTrackData(track);
        return TVR_ERR_MEMORY;
    }
    elt->mixLawType = KMIXLAW_TRACK;
    elt->data = track;
    track->elt = elt;
    int result = fileElement(file, elt, true);
    if (result != TVR_OK)
        destroyElement(elt);
    return result;
}

int addBitstreamTrack(KFile *file, const char *name, int date, KPoint *position, uint32_t length,
                      int stream)
{
    KTrack *track = createTrack(date, position, length);
    if (!track)
        return TVR_ERR_MEMORY;
    track->stream = stream;
    return addTrack(file, track, name);
}

int setSizeSample(KFile *file, uint32_t frames, const char *trackName)
{
    if (!file || !trackName)
        return TVR_ERR_PARAM;
    KTrack *track = giveTrack(file, trackName);
    if (!track)
        return TVR_ERR_NOT_FOUND;
    track->length = frames;
    double rate = k_getTrackLengthRate(file, track);
    double duration = frames / rate;
    if (duration > file->lengthSeconds) {
        file->lengthSeconds = duration;
        double projectFrames = std::floor(frames * k_getTrackLengthRate(file, nullptr) / rate);
        file->lengthFrames =
            projectFrames >= 4294967295.0 ? UINT32_MAX : static_cast<uint32_t>(projectFrames);
    }
    return 1;
}

int addTrackFormat(KFile *file, const char *trackName, const KStreamFormat *format)
{
    KTrack *track = giveTrack(file, trackName);
    // A rate of exactly 0 or not a number would divide every length by zero.
    if (!track || !format || !std::isfinite(format->rate) || format->rate == 0.0)
        return 0;
    if (track->format)
        return KStreamFormat_copy(track->format, format) ? 1 : 0;
    track->format = KStreamFormat_clone(format);
    return track->format ? 1 : 0;
}

int checkAudioPath(const char *path, const KStreamFormat *filter)
{
    if (!path || k_getAudioType(path) == 0)
        return 0;
    if (!filter)
        return 1;
    SF_INFO info{};
    SNDFILE *sound = sf_open(path, SFM_READ, &info);
    if (!sound) {
        std::fprintf(stderr, "*** ERROR checkAudioPath : Can not open file \"%s\" ***\n", path);
        return 0;
    }
    bool ok = sf_format_check(&info) != 0;
    if (ok && filter->rate > 0 && static_cast<int>(filter->rate) != info.samplerate)
        ok = false;
    if (ok && filter->channels > 0 && filter->channels != info.channels)
        ok = false;
    if (ok && filter->code != 0 && filter->code != info.format)
        ok = false;
    sf_close(sound);
    return ok ? 1 : 0;
}

// Reads the rate, channels, code and frame count of a file the audio-file library can open into
// the track's own format; false when the file cannot be read. An Ogg Vorbis stream is described
// as the engine's Vorbis reader describes it: code 0x510000, 16 bits; an MPEG stream likewise
// with code 0x520000.
static bool readSndFileInfo(KTrack *track, const char *path, int major, uint32_t *frames)
{
    SF_INFO info{};
    SNDFILE *sound = sf_open(path, SFM_READ, &info);
    if (!sound) {
        std::fprintf(stderr, "*** ERROR getAudioSndFileInfo : Can not open file \"%s\" ***\n",
                     path);
        return false;
    }
    bool ok = sf_format_check(&info) != 0 && info.frames >= 0 && info.frames <= UINT32_MAX;
    // Other content under an MPEG name is refused, as the MPEG reader refuses it.
    if (major == KAUDIOFMT_MPEG && (info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_MPEG)
        ok = false;
    sf_close(sound);
    if (!ok)
        return false;
    if (!track->format && !(track->format = KStreamFormat_new()))
        return false;
    track->format->rate = info.samplerate;
    track->format->channels = info.channels;
    track->format->code =
        major == KAUDIOFMT_VORBIS || major == KAUDIOFMT_MPEG ? major : info.format;
    track->format->bits = major == KAUDIOFMT_VORBIS || major == KAUDIOFMT_MPEG
                              ? 16
                              : KAudioFmt_getNumberBits(info.format);
    *frames = static_cast<uint32_t>(info.frames);
    return true;
}

static void bindPath(KTrack *track, char *path)
{
    if (track->path != path)
        releaseBlock(track->path);
    track->path = path;
}

int addSamplePath(KFile *file, const char *trackName, char *path)
{
    if (!file || !trackName || !*trackName || !path || !*path)
        return TVR_ERR_PARAM;
    KTrack *track = giveTrack(file, trackName);
    if (!track)
        return -1;
    if (std::strcmp(path, KTRACK_IGNORE_AUDIO) == 0) {
        bindPath(track, path);
        return 1;
    }
    int major = k_getAudioType(path) & KAUDIOFMT_MAJOR_MASK;
    // Unknown extensions have no reader in the engine; Ogg Vorbis and MPEG streams are
    // described by the audio-file library, which reads their rate, channels and length.
    if (major == 0)
        return -1;
    uint32_t frames = 0;
    if (!readSndFileInfo(track, path, major, &frames) ||
        setSizeSample(file, frames, trackName) != 1)
        return -1;
    bindPath(track, path);
    return 1;
}

int addFilteredTrackWithFilePath(KFile *file, const char *name, int date, KPoint *position,
                                 int length, char *path, const KStreamFormat *filter)
{
    if (!path || (std::strcmp(path, KTRACK_IGNORE_AUDIO) != 0 && !checkAudioPath(path, filter))) {
        KPoint_delete(&position);
        return TVR_ERR_FORMAT;
    }
    KTrack *track = createTrack(date, position, 0);
    if (!track)
        return TVR_ERR_MEMORY;
    int result = addTrack(file, track, name);
    if (result <= 0)
        return result;
    if (length >= 0)
        result = setSizeSample(file, static_cast<uint32_t>(length), name);
    if (result > 0)
        result = addSamplePath(file, name, path);
    if (result <= 0)
        removeTrack(file, name);
    return result;
}

int setPathWOC(KFile *file, const char *trackName, char *path)
{
    if (!file || !trackName || !path)
        return -1;
    KTrack *track = giveTrack(file, trackName);
    if (!track)
        return -2;
    bindPath(track, path);
    return 1;
}

int resetBitStream(KFile *file)
{
    if (!file)
        return -1;
    for (KElement *e = file->firstCreated; e; e = e->nextCreated)
        if (KTrack *track = trackOf(e))
            track->stream = KSTREAM_NONE;
    return 1;
}

int KTrack_setEqual(KTrack *track, _KEqualization *curve)
{
    if (!track || !curve)
        return 0;
    if (track->equal != curve)
        KEqual_delete(&track->equal);
    track->equal = curve;
    return 1;
}

_KEqualization *KTrack_getEqual(KTrack *track)
{
    return track ? track->equal : nullptr;
}

// --- Groups and rules ----------------------------------------------------------------------------

int *createDataGrp(int min, int max)
{
    return newMinMax(min, max);
}

int createElt(KFile *file, int kind, const char *name, void *data)
{
    k_checkProjectLock(file, "createElt");
    bool working = kind == KELT_WORK || kind == KELT_WORK_ALT;
    // The {min, max} blocks are taken over whatever the outcome.
    void *owned = ownsMinMax(kind) ? data : nullptr;
    if (!file || !name || !*name || (!working && (kind < KCONST_GROUP || kind > KCONST_EQUIV))) {
        releaseBlock(owned);
        return TVR_ERR_PARAM;
    }
    if (g_hash_table_contains(file->elts, name)) {
        releaseBlock(owned);
        return TVR_ERR_ELT_TABLE;
    }
    KElement *implying = nullptr;
    if (kind == KCONST_IMPLY) {
        implying = giveElt(file, static_cast<const char *>(data));
        if (!implying)
            return TVR_ERR_NOT_FOUND;
    }
    void *kindData = data;
    if (kind == KCONST_ALL || kind == KCONST_ONE) {
        releaseBlock(owned);
        kindData = newMinMax(0, kind == KCONST_ALL ? 0 : 1);
        if (!kindData)
            return TVR_ERR_MEMORY;
    } else if (kind == KCONST_IMPLY) {
        kindData = implying->name;
    } else if (kind == KCONST_EQUIV) {
        kindData = nullptr;
    }
    KGroupData *group = static_cast<KGroupData *>(tvr_malloc(sizeof(KGroupData)));
    KElement *elt = group ? newElement(working ? kind : KELT_GROUP, name) : nullptr;
    if (!elt) {
        if (ownsMinMax(kind))
            releaseBlock(kindData);
        releaseBlock(group);
        return TVR_ERR_MEMORY;
    }
    group->owner = elt;
    group->kind = kind;
    g_queue_init(&group->members);
    group->kindData = kindData;
    elt->data = group;
    int result = fileElement(file, elt, !working);
    if (result != TVR_OK) {
        destroyElement(elt);
        return result;
    }
    if (implying)
        g_queue_push_tail(&implying->impliedBy, elt);
    return TVR_OK;
}

bool KElement_linkMakesLoop(KElement *group, KElement *member)
{
    if (group == member)
        return true;
    KGroupData *below = member->type == KELT_GROUP ? groupOf(member) : nullptr;
    if (!group->parents.head || !below || !below->members.head)
        return false;
    // Up from the group through the parents, down from the member through the members of its
    // groups (the links that the parents mirror); one element of each side in turn. They meet
    // exactly when the member lies above the group; either side running out settles the answer.
    std::vector<KElement *> up{group}, down{member};
    VisitedSet upSeen, downSeen;
    upSeen.add(group);
    downSeen.add(member);
    size_t nextUp = 0, nextDown = 0;
    while (nextUp < up.size() && nextDown < down.size()) {
        for (GList *l = up[nextUp++]->parents.head; l; l = l->next) {
            if (downSeen.contains(l->data))
                return true;
            if (upSeen.add(l->data))
                up.push_back(static_cast<KElement *>(l->data));
        }
        KElement *d = down[nextDown++];
        KGroupData *data = d->type == KELT_GROUP ? groupOf(d) : nullptr;
        for (GList *l = data ? data->members.head : nullptr; l; l = l->next) {
            if (upSeen.contains(l->data))
                return true;
            if (downSeen.add(l->data))
                down.push_back(static_cast<KElement *>(l->data));
        }
    }
    return false;
}

bool KElement_isAncestor(const KElement *ancestor, KElement *elt)
{
    if (elt == ancestor)
        return true;
    if (!elt->parents.head)
        return false;
    std::vector<KElement *> work{elt};
    VisitedSet seen;
    while (!work.empty()) {
        KElement *e = work.back();
        work.pop_back();
        if (e == ancestor)
            return true;
        for (GList *l = e->parents.head; l; l = l->next)
            if (seen.add(l->data))
                work.push_back(static_cast<KElement *>(l->data));
    }
    return false;
}

int addSubElt(KFile *file, const char *group, const char *member)
{
    k_checkProjectLock(file, "addSubElt");
    KElement *g = giveElt(file, group);
    KGroupData *data = groupOf(g);
    if (!data)
        return -1;
    KElement *m = giveElt(file, member);
    if (!m)
        return -2;
    bool backLinked = g->type == KELT_GROUP;
    if (backLinked) {
        if (KElement_linkMakesLoop(g, m))
            return -3;
        // Already linked: the group's members and the member's parents tell alike, so look
        // in the shorter list (a track may sit in thousands of rules).
        const bool linked = m->parents.length <= data->members.length
                                ? g_queue_find(&m->parents, g) != nullptr
                                : g_queue_find(&data->members, m) != nullptr;
        if (linked)
            return 1;
    }
    KFile_structureChanged();
    g_queue_push_tail(&data->members, m);
    ++data->memberCount;
    if (m->status > 0 && ++data->playCount == 1) {
        bool wasPlaying = g->status > 0;
        g->status = KSTATUS_BY_MEMBER;
        if (!wasPlaying)
            KElement_raiseParents(g);
    }
    if (data->kind == KCONST_ALL && data->kindData) {
        int *bounds = static_cast<int *>(data->kindData);
        ++bounds[0];
        ++bounds[1];
    }
    if (backLinked)
        g_queue_push_tail(&m->parents, g);
    return 1;
}

// After `group` lost a member: its mute and solo flags follow the remaining members. Only a
// group where some flag is set needs the (whole-project) solo recount.
static void checkMuteSoloAfterLoss(KFile *file, KElement *group)
{
    KGroupData *data = groupOf(group);
    if (!data)
        return;
    bool flagged = group->mute || group->solo;
    for (GList *l = data->members.head; l && !flagged; l = l->next) {
        const KElement *m = static_cast<const KElement *>(l->data);
        flagged = m->mute || m->solo;
    }
    if (flagged)
        k_checkMuteSolo(file, group);
}

int delSubElt(KFile *file, const char *group, const char *member)
{
    k_checkProjectLock(file, "delSubElt");
    if (!file || !group || !member)
        return -1;
    KElement *g = giveElt(file, group);
    KGroupData *data = groupOf(g);
    KElement *m = giveElt(file, member);
    if (!data || !m)
        return -2;
    KFile_structureChanged();
    guint removed = g_queue_remove_all(&data->members, m);
    data->memberCount -= static_cast<int>(removed);
    if (m->status > 0)
        data->playCount = std::max(0, data->playCount - static_cast<int>(removed));
    g_queue_remove_all(&m->parents, g);
    if (removed)
        checkMuteSoloAfterLoss(file, g);
    return 1;
}

int updateDataIfGroup(KFile *file, const char *name)
{
    if (!file || !name)
        return -1;
    KElement *elt = giveElt(file, name);
    if (!elt)
        return -2;
    KGroupData *group = groupOf(elt);
    if (!group || group->kind != KCONST_GROUP)
        return 0;
    if (!group->kindData)
        return -4;
    int *bounds = static_cast<int *>(group->kindData);
    group->memberCount = static_cast<int>(group->members.length);
    bounds[0] = std::min(bounds[0], group->memberCount);
    bounds[1] = std::min(bounds[1], group->memberCount);
    if (bounds[1] == 0 && group->memberCount > 0)
        bounds[1] = 1;
    return 1;
}

bool KElement_hasVisibleParent(const KElement *elt)
{
    for (GList *l = elt->parents.head; l; l = l->next)
        if (static_cast<const KElement *>(l->data)->visible)
            return true;
    return false;
}

int removeTrackFromUnvisibleElts(KFile *file)
{
    if (!file)
        return -1;
    // Collect first: unlinking changes the lists being walked.
    std::vector<std::pair<KElement *, KElement *>> links;
    for (KElement *e = file->firstCreated; e; e = e->nextCreated) {
        KGroupData *group = groupOf(e);
        if (!group || e->visible || e->type != KELT_GROUP)
            continue;
        for (GList *l = group->members.head; l; l = l->next) {
            KElement *m = static_cast<KElement *>(l->data);
            if (m->type == KELT_TRACK && !KElement_hasVisibleParent(m))
                links.emplace_back(e, m);
        }
    }
    for (auto &link : links)
        delSubElt(file, link.first->name, link.second->name);
    return 1;
}

// --- Mix references ------------------------------------------------------------------------------

// Drops every reference the mixes hold to `elt`: its gain entry and, for a track, its list entry.
static void forgetInMixes(KFile *file, KElement *elt)
{
    KTrack *track = trackOf(elt);
    forEachMix(file, [elt, track](KMix *mix) {
        if (track)
            KMix_removeTrack(mix, track);
        else
            g_hash_table_remove(mix->levels, elt->name);
    });
}

// --- Renaming and deletion -----------------------------------------------------------------------

// Full rename of a filed element: mixes, implications and the table follow. The new name is
// copied before anything changes, so it may point into the model.
static int renameElement(KFile *file, KElement *elt, const char *newName)
{
    char *copy = copyString(newName);
    if (!copy)
        return TVR_ERR_MEMORY;
    if (MixManager_renameElt(file->mixes, elt->name, copy) != TVR_OK) {
        releaseBlock(copy);
        return -1;
    }
    char *oldName = elt->name;
    g_hash_table_steal(file->elts, oldName);
    elt->name = copy;
    g_hash_table_insert(file->elts, copy, elt);
    for (GList *l = elt->impliedBy.head; l; l = l->next)
        static_cast<KGroupData *>(static_cast<KElement *>(l->data)->data)->kindData = copy;
    releaseBlock(oldName);
    return 1;
}

int changeEltName(KFile *file, const char *oldName, const char *newName)
{
    k_checkProjectLock(file, "changeEltName");
    if (!file || !oldName || !newName || !*newName)
        return -1;
    KElement *elt = giveElt(file, oldName);
    if (!elt)
        return -2;
    if (std::strcmp(elt->name, newName) == 0)
        return 1;
    if (g_hash_table_contains(file->elts, newName))
        return -3;
    int result = renameElement(file, elt, newName);
    return result == TVR_ERR_MEMORY ? -1 : result;
}

// Takes `elt` out of one parent's member list and keeps the parent's counts and bounds in line.
static void removeFromParent(KElement *parent, KElement *elt)
{
    KGroupData *group = groupOf(parent);
    if (!group)
        return;
    int removed = static_cast<int>(g_queue_remove_all(&group->members, elt));
    group->memberCount = std::max(0, group->memberCount - removed);
    if (elt->status > 0)
        group->playCount = std::max(0, group->playCount - removed);
    int *bounds = static_cast<int *>(group->kindData);
    if (!bounds)
        return;
    if (group->kind == KCONST_GROUP) {
        bounds[0] = std::min(bounds[0], group->memberCount);
        bounds[1] = std::min(bounds[1], group->memberCount);
    } else if (group->kind == KCONST_ALL) {
        // "All together" keeps {n, n} for its n members.
        bounds[0] = std::max(0, bounds[0] - removed);
        bounds[1] = std::max(0, bounds[1] - removed);
    }
}

int deleteElt(KFile *file, const char *name)
{
    k_checkProjectLock(file, "deleteElt");
    if (!file)
        return -1;
    KElement *elt = giveElt(file, name);
    if (!elt)
        return -2;
    int groups = elt->type == KELT_GROUP ? file->groupCount : 0;

    // Implications naming this element become plain groups {0, members}; their blocks are made
    // before anything changes.
    std::vector<int *> converted;
    for (GList *l = elt->impliedBy.head; l; l = l->next) {
        int *block = newMinMax(0, 0);
        if (!block) {
            for (int *b : converted)
                releaseBlock(b);
            return TVR_ERR_MEMORY;
        }
        converted.push_back(block);
    }

    if (!g_hash_table_remove(file->elts, elt->name)) {
        std::fprintf(stderr, "Error deleteElt : cannot remove element \"%s\" (2)\n", elt->name);
        for (int *b : converted)
            releaseBlock(b);
        return -5;
    }

    // Keep the ids gapless: the element with the last id takes the freed one.
    KFile_structureChanged();
    if (elt->id >= 0) {
        int last = file->eltCount - 1;
        if (elt->id != last) {
            KElement *moved = file->eltsById[last];
            file->eltsById[elt->id] = moved;
            moved->id = elt->id;
        }
        file->eltsById[last] = nullptr;
        --file->eltCount;
    }

    forgetInMixes(file, elt);
    if (elt->solo && file->soloCount > 0)
        --file->soloCount;

    // Unlink from the parents, then from the members.
    for (GList *l = elt->parents.head; l; l = l->next)
        removeFromParent(static_cast<KElement *>(l->data), elt);
    if (KGroupData *group = groupOf(elt)) {
        for (GList *l = group->members.head; l; l = l->next)
            g_queue_remove_all(&static_cast<KElement *>(l->data)->parents, elt);
        if (group->kind == KCONST_IMPLY && group->kindData) {
            KElement *implying = giveElt(file, static_cast<const char *>(group->kindData));
            if (implying)
                g_queue_remove_all(&implying->impliedBy, elt);
        }
    }
    size_t i = 0;
    for (GList *l = elt->impliedBy.head; l; l = l->next, ++i) {
        KGroupData *rule = static_cast<KGroupData *>(static_cast<KElement *>(l->data)->data);
        rule->kind = KCONST_GROUP;
        converted[i][1] = rule->memberCount;
        rule->kindData = converted[i];
    }

    unlinkCreated(file, elt);
    if (elt->type == KELT_GROUP)
        --file->groupCount;

    // Rule names "Const_0".."Const_<n-1>" stay gapless: the last one takes the deleted name.
    int result = 1;
    if (groups > 1) {
        char *last = g_strdup_printf("Const_%d", groups - 1);
        KElement *lastRule = std::strcmp(last, elt->name) != 0 ? giveElt(file, last) : nullptr;
        if (lastRule && renameElement(file, lastRule, elt->name) != 1)
            result = -4;
        g_free(last);
    }
    for (GList *l = elt->parents.head; l; l = l->next)
        checkMuteSoloAfterLoss(file, static_cast<KElement *>(l->data));
    destroyElement(elt);
    return result;
}

int removeTrack(KFile *file, const char *name)
{
    if (!file || !name)
        return -1;
    KElement *elt = giveElt(file, name);
    if (!trackOf(elt))
        return -2;
    while (elt->parents.head) {
        KElement *parent = static_cast<KElement *>(elt->parents.head->data);
        if (delSubElt(file, parent->name, elt->name) != 1)
            return -3;
    }
    return deleteElt(file, name);
}

// --- Element fields ------------------------------------------------------------------------------

int setEltComment(KFile *file, const char *name, const char *comment)
{
    if (!file || !name)
        return TVR_ERR_PARAM;
    KElement *elt = giveElt(file, name);
    if (!elt)
        return TVR_ERR_NOT_FOUND;
    char *copy = copyString(comment);
    if (comment && !copy)
        return TVR_ERR_MEMORY;
    releaseBlock(elt->comment);
    elt->comment = copy;
    return 1;
}

const char *getEltComment(KFile *file, const char *name)
{
    KElement *elt = giveElt(file, name);
    return elt ? elt->comment : nullptr;
}

int showElt(KFile *file, const char *name)
{
    KElement *elt = giveElt(file, name);
    if (!elt)
        return 0;
    elt->visible = 1;
    KFile_structureChanged();
    return 1;
}

int hideElt(KFile *file, const char *name)
{
    KElement *elt = giveElt(file, name);
    if (!elt)
        return 0;
    elt->visible = 0;
    KFile_structureChanged();
    return 1;
}

void _hideEltRec(KElement *elt)
{
    if (!elt)
        return;
    KFile_structureChanged();
    std::vector<KElement *> work{elt};
    VisitedSet seen;
    seen.add(elt);
    while (!work.empty()) {
        KElement *e = work.back();
        work.pop_back();
        e->visible = 0;
        if (KGroupData *group = groupOf(e))
            for (GList *l = group->members.head; l; l = l->next)
                if (seen.add(l->data))
                    work.push_back(static_cast<KElement *>(l->data));
    }
}

int isVisible(KFile *file, const char *name)
{
    KElement *elt = giveElt(file, name);
    return elt ? elt->visible : 0;
}

int KElement_setColor(KElement *elt, int color)
{
    if (!elt)
        return 0;
    elt->color = color;
    return 1;
}

int KElement_getColor(KElement *elt)
{
    return elt ? elt->color : KCOLOR_NONE;
}

int KElement_setPan(KElement *elt, double pan)
{
    if (!elt)
        return 0;
    elt->pan = std::isnan(pan) ? 0.0 : std::min(1.0, std::max(-1.0, pan));
    return 1;
}

double KElement_getPan(KElement *elt)
{
    return elt ? elt->pan : 0.0;
}

// --- Copy ----------------------------------------------------------------------------------------

// Copy of one element's record and data, unlinked; null on failure or for a working element.
static KElement *copyElement(const KElement *source)
{
    if (source->type != KELT_TRACK && source->type != KELT_GROUP)
        return nullptr;
    KElement *elt = newElement(source->type, source->name);
    if (!elt)
        return nullptr;
    *elt->levels = *source->levels;
    elt->status = source->status;
    elt->id = source->id;
    elt->mixLawType = source->mixLawType;
    elt->mute = source->mute;
    elt->solo = source->solo;
    elt->visible = source->visible;
    elt->color = source->color;
    elt->pan = source->pan;
    bool ok = true;
    if (source->mixLawData) {
        // The law data is one double (the upper-bound coefficient).
        elt->mixLawData = tvr_malloc(sizeof(double));
        ok = elt->mixLawData != nullptr;
        if (ok)
            std::memcpy(elt->mixLawData, source->mixLawData, sizeof(double));
    }
    if (ok && source->comment)
        ok = (elt->comment = copyString(source->comment)) != nullptr;
    if (ok && source->type == KELT_TRACK) {
        const KTrack *from = static_cast<const KTrack *>(source->data);
        KTrack *track = from ? createTrack(from->date, nullptr, from->length) : nullptr;
        elt->data = track;
        ok = track != nullptr;
        if (ok) {
            track->elt = elt;
            track->stream = from->stream;
            track->begin = from->begin;
            if (from->position)
                *track->position = *from->position;
            if (from->format)
                ok = (track->format = KStreamFormat_clone(from->format)) != nullptr;
            if (ok && from->path)
                ok = (track->path = copyString(from->path)) != nullptr;
            if (ok && from->equal)
                ok = (track->equal = KEqual_clone(from->equal)) != nullptr;
        }
    } else if (ok) {
        const KGroupData *from = static_cast<const KGroupData *>(source->data);
        KGroupData *group = static_cast<KGroupData *>(tvr_malloc(sizeof(KGroupData)));
        elt->data = group;
        ok = from && group;
        if (ok) {
            group->owner = elt;
            group->kind = from->kind;
            group->memberCount = from->memberCount;
            group->playCount = from->playCount;
            g_queue_init(&group->members);
            if (ownsMinMax(from->kind) && from->kindData) {
                const int *bounds = static_cast<const int *>(from->kindData);
                ok = (group->kindData = newMinMax(bounds[0], bounds[1])) != nullptr;
            }
        }
    }
    if (!ok) {
        destroyElement(elt);
        return nullptr;
    }
    return elt;
}

int copyEltsTo(KFile *source, KFile *target)
{
    if (!source || !target)
        return -10;
    if (!source->elts || !target->elts)
        return -20;
    // First pass: the records, filed under their names with their ids.
    for (const KElement *e = source->firstCreated; e; e = e->nextCreated) {
        KElement *copy = copyElement(e);
        if (!copy || g_hash_table_contains(target->elts, copy->name)) {
            if (copy)
                destroyElement(copy);
            return -30;
        }
        if (copy->id >= 0) {
            if (!reserveIds(target, copy->id + 1) || copy->id >= source->eltCount ||
                target->eltsById[copy->id]) {
                destroyElement(copy);
                return -30;
            }
            target->eltsById[copy->id] = copy;
        }
        g_hash_table_insert(target->elts, copy->name, copy);
        if (copy->type == KELT_GROUP)
            ++target->groupCount;
        linkCreated(target, copy);
    }
    target->eltCount = source->eltCount;
    for (int id = 0; id < target->eltCount; ++id)
        if (!target->eltsById[id])
            return -30;
    KFile_structureChanged();
    // Second pass: links and implying names. Every linked element is numbered and keeps its id,
    // so the target's element of the same name is the one at the same id.
    auto twin = [source, target](const KElement *e) -> KElement * {
        return (e && e->id >= 0 && e->id < source->eltCount) ? target->eltsById[e->id] : nullptr;
    };
    for (const KElement *e = source->firstCreated; e; e = e->nextCreated) {
        KElement *copy = twin(e);
        for (GList *l = e->parents.head; l; l = l->next) {
            KElement *parent = twin(static_cast<const KElement *>(l->data));
            if (!parent)
                return -30;
            g_queue_push_tail(&copy->parents, parent);
        }
        const KGroupData *from = groupOf(const_cast<KElement *>(e));
        if (!from)
            continue;
        KGroupData *group = static_cast<KGroupData *>(copy->data);
        for (GList *l = from->members.head; l; l = l->next) {
            KElement *member = twin(static_cast<const KElement *>(l->data));
            if (!member)
                return -30;
            g_queue_push_tail(&group->members, member);
        }
        if (from->kind == KCONST_IMPLY) {
            KElement *implying = giveElt(target, static_cast<const char *>(from->kindData));
            if (!implying)
                return -30;
            group->kindData = implying->name;
            g_queue_push_tail(&implying->impliedBy, copy);
        }
    }
    return 1;
}

int KFile_copy(KFile *source, KFile *target)
{
    if (!source || !target)
        return 0;
    if (source == target)
        return TVR_ERR_PARAM;
    target->lengthFrames = source->lengthFrames;
    target->lengthSeconds = source->lengthSeconds;
    target->slctCounter = source->slctCounter;
    target->soloCount = source->soloCount;
    target->masterGain = source->masterGain;
    target->masterPan = source->masterPan;
    if (source->fileId) {
        char *id = copyString(source->fileId);
        if (!id)
            return TVR_ERR_MEMORY;
        releaseBlock(target->fileId);
        target->fileId = id;
    }
    if (source->format && target->format && !KStreamFormat_copy(target->format, source->format))
        return TVR_ERR_MEMORY;
    int result = copyEltsTo(source, target);
    if (result != 1)
        return result;
    for (GList *l = source->songKeys.head; l; l = l->next) {
        const char *key = static_cast<const char *>(l->data);
        if (addSong(target, key, giveSongField(source, key)) != 1)
            return TVR_ERR_MEMORY;
    }
    return MixManager_cloneWithLinks(target, source->mixes) == 1 ? 1 : TVR_ERR_MEMORY;
}

KFile *KFile_clone(KFile *file)
{
    if (!file)
        return nullptr;
    KFile *copy = newZark(file->name, file->version);
    if (copy && KFile_copy(file, copy) != 1) {
        std::fprintf(stderr, "!!! ERROR KFile_clone : the project could not be copied\n");
        _freeZark(copy);
        copy = nullptr;
    }
    return copy;
}

// --- Validation ----------------------------------------------------------------------------------

static int checkTrack(KElement *elt)
{
    KTrack *track = static_cast<KTrack *>(elt->data);
    if (!track || track->elt != elt)
        return -1;
    if (track->date < 0)
        track->date = 0;
    if (!track->position && !(track->position = KPoint_init(KPoint_new())))
        return TVR_ERR_MEMORY;
    return 1;
}

static int checkGroup(KFile *file, KElement *elt)
{
    KGroupData *group = static_cast<KGroupData *>(elt->data);
    if (!group)
        return -1;
    if (!group->owner)
        return -2;
    if (!group->members.head)
        return -3;
    group->memberCount = static_cast<int>(group->members.length);
    group->playCount = 0;
    for (GList *l = group->members.head; l; l = l->next)
        if (static_cast<const KElement *>(l->data)->status > 0)
            ++group->playCount;
    if (group->playCount > 0 && group->owner->status <= 0)
        group->owner->status = KSTATUS_ON;
    else if (group->playCount == 0 && group->owner->status > 0)
        group->owner->status = KSTATUS_OFF;
    if (group->kind < KCONST_GROUP || group->kind > KCONST_EQUIV)
        return -6;
    if (group->kind != KCONST_EQUIV && !group->kindData)
        return -4;
    if (group->kind == KCONST_IMPLY && !giveElt(file, static_cast<const char *>(group->kindData)))
        return -5;
    if (ownsMinMax(group->kind)) {
        int *bounds = static_cast<int *>(group->kindData);
        bounds[0] = std::max(0, std::min(bounds[0], group->memberCount));
        bounds[1] = std::max(bounds[1], bounds[0]);
    }
    return 1;
}

int eltIsValid(KFile *file, KElement *elt)
{
    if (!file || !elt)
        return 0;
    for (GList *l = elt->parents.head; l; l = l->next)
        if (!l->data) {
            std::fputs(" !!! Error eltIsValid : unknown father !!!\n", stderr);
            return 0;
        }
    int code;
    if (elt->type == KELT_TRACK) {
        if ((code = checkTrack(elt)) != 1)
            std::fprintf(stderr, " !!! Error eltIsValid : track not valid (%d) !!!\n", code);
    } else if (elt->type == KELT_GROUP) {
        if ((code = checkGroup(file, elt)) != 1)
            std::fprintf(stderr, " !!! Error eltIsValid : constraint not valid (%d) !!!\n", code);
    } else {
        std::fprintf(stderr, " !!! Error eltIsValid : unknown element type %d (%s) !!!\n",
                     elt->type, elt->name);
        code = 0;
    }
    return code == 1 ? 1 : 0;
}

int isValid(KFile *file)
{
    if (!file)
        return 0;
    if (!file->name || !*file->name)
        return -1;
    bool valid = true;
    for (KElement *e = file->firstCreated; e; e = e->nextCreated)
        if (eltIsValid(file, e) != 1)
            valid = false;
    return valid ? 1 : -9;
}

// --- Debug listings ------------------------------------------------------------------------------

static void printElement(const KElement *e)
{
    std::printf("%-24s type %d id %d status %d visible %d mute %d solo %d pan %.2f\n", e->name,
                e->type, e->id, e->status, e->visible, e->mute, e->solo, e->pan);
    std::printf("    levels: level %d def %d min %d max %d gain %f own %f law %d (%d)\n",
                e->levels->level, e->levels->defaultLevel, e->levels->minLevel, e->levels->maxLevel,
                e->levels->gain, e->levels->ownGain, e->levels->law, e->mixLawType);
    std::printf("    parents:");
    for (GList *l = e->parents.head; l; l = l->next)
        std::printf(" %s", static_cast<const KElement *>(l->data)->name);
    std::printf("\n");
    if (e->type == KELT_TRACK && e->data) {
        const KTrack *t = static_cast<const KTrack *>(e->data);
        std::printf("    track: date %d length %u stream %d path %s\n", t->date, t->length,
                    t->stream, t->path ? t->path : "(none)");
    } else if (e->data) {
        const KGroupData *g = static_cast<const KGroupData *>(e->data);
        std::printf("    kind %d members %d playing %d:", g->kind, g->memberCount, g->playCount);
        for (GList *l = g->members.head; l; l = l->next)
            std::printf(" %s", static_cast<const KElement *>(l->data)->name);
        std::printf("\n");
    }
}

void giveInfo(KFile *file)
{
    if (!file)
        return;
    std::printf("==========================================================\n");
    std::printf("Project %s: %d elements (%d numbered), length %f s (%u frames)\n",
                file->name ? file->name : "(no name)", g_hash_table_size(file->elts),
                file->eltCount, file->lengthSeconds, file->lengthFrames);
    std::printf("ID %s, channels %d, mixes %d, version %f, default mix %s\n",
                file->fileId ? file->fileId : "(none)", file->format ? file->format->channels : -1,
                file->mixes ? static_cast<int>(file->mixes->order.length) : 0, file->version,
                (file->mixes && file->mixes->defaultMix && file->mixes->defaultMix->name)
                    ? file->mixes->defaultMix->name
                    : "(none)");
    forEachMix(file, [](KMix *mix) {
        std::printf("mix %s: %d tracks, gain %f, pan %f\n", mix->name ? mix->name : "(no name)",
                    mix->trackCount, mix->masterGain, mix->masterPan);
    });
    printAllElts(file);
    std::printf("==========================================================\n");
}

void giveInfoGC(KFile *file)
{
    if (!file)
        return;
    std::printf("Project %s: %d elements, %d groups/rules\n", file->name ? file->name : "(no name)",
                file->eltCount, file->groupCount);
}

void printAllElts(KFile *file)
{
    if (!file)
        return;
    for (const KElement *e = file->firstCreated; e; e = e->nextCreated)
        printElement(e);
}

void printStructureComplete(KFile *file)
{
    if (!file)
        return;
    struct Item {
        const KElement *elt;
        int depth;
    };
    std::vector<Item> work;
    for (int id = file->eltCount - 1; id >= 0; --id) {
        const KElement *e = file->eltsById[id];
        if (e->visible && !KElement_hasVisibleParent(e))
            work.push_back({e, 0});
    }
    while (!work.empty()) {
        Item item = work.back();
        work.pop_back();
        std::printf("%*s%s\n", 3 * item.depth, "", item.elt->name);
        if (item.depth > 256)
            continue;
        if (const KGroupData *g = groupOf(const_cast<KElement *>(item.elt))) {
            std::vector<Item> children;
            for (GList *l = g->members.head; l; l = l->next) {
                const KElement *m = static_cast<const KElement *>(l->data);
                if (m->visible || m->type == KELT_TRACK)
                    children.push_back({m, item.depth + 1});
            }
            work.insert(work.end(), children.rbegin(), children.rend());
        }
    }
}

void seeStatus(KFile *file)
{
    if (!file)
        return;
    for (const KElement *e = file->firstCreated; e; e = e->nextCreated)
        std::printf("%s: %d\n", e->name, e->status);
}

void seeLevels(KFile *file)
{
    if (!file)
        return;
    for (const KElement *e = file->firstCreated; e; e = e->nextCreated)
        std::printf("%s: level %d gain %f\n", e->name, e->levels->level, e->levels->gain);
}
