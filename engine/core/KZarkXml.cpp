// Project description writer and reader. The reader works in two passes over a scratch project:
// the root's children in document order (elements created, members and mixes noted), then the
// links, the mixes and the audio clean-up once every element exists. Only a complete success is
// moved into the caller's project.
#include "KZarkXml.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <queue>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "KElement.h"
#include "KEqual.h"
#include "KLevels.h"
#include "KMix.h"
#include "tvr_utils.h"

namespace {

constexpr const char *kRoots[] = {"TOVRA-2.0", "TOVRA", "ZARK"};
constexpr double kFormatVersion = 2.0;
constexpr size_t kFileIdLength = 128;
// Bounds of what the reader accepts besides the level ranges of the level operations: rates,
// channels and bits that keep buffers and divisions sane.
constexpr double kMaxRate = 10000000.0;
constexpr int kMaxChannels = 256;
constexpr int kMaxBits = 64;

bool named(const XmlObject *node, const char *name)
{
    return node && node->name && std::strcmp(node->name, name) == 0;
}

// --- Building the tree --------------------------------------------------------------------------

// Adds child to parent; on failure the child is freed. False for a null child.
bool addNode(XmlObject *parent, XmlObject *child)
{
    if (!child)
        return false;
    if (AddSubObject(parent, child) != 1) {
        DeleteRecXmlObject(child);
        return false;
    }
    return true;
}

bool addText(XmlObject *parent, const char *name, const char *text)
{
    return text && addNode(parent, CreateXmlObject(name, text));
}

// A node holding an engine string taken over (null: failure).
XmlObject *ownedTextNode(const char *name, char *text)
{
    XmlObject *node = text ? CreateXmlObject(name, nullptr) : nullptr;
    if (!node) {
        tvr_free(text);
        return nullptr;
    }
    node->text = text;
    return node;
}

// Adds a child whose text is an engine string taken over (null: failure).
bool addOwnedText(XmlObject *parent, const char *name, char *text)
{
    return addNode(parent, ownedTextNode(name, text));
}

bool addInt(XmlObject *parent, const char *name, int value)
{
    return addOwnedText(parent, name, intToString(value));
}

bool addDouble(XmlObject *parent, const char *name, double value)
{
    return addOwnedText(parent, name, doubleToString(value));
}

bool addUnsigned(XmlObject *parent, const char *name, uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%u", value);
    return addText(parent, name, text);
}

// One child per song tag, in the order of the project's tag table.
bool exportXmlSongInfos(KFile *file, XmlObject *song)
{
    for (GList *l = file->songKeys.head; l; l = l->next) {
        const char *key = static_cast<const char *>(l->data);
        if (!isValidSongKey(key)) {
            std::fprintf(stderr, "!!! ERROR exportXmlSong : song key \"%s\" cannot be written\n",
                         key ? key : "");
            return false;
        }
        if (!addText(song, key, giveSongField(file, key)))
            return false;
    }
    return true;
}

XmlObject *exportXmlSong(KFile *file)
{
    XmlObject *song = CreateXmlObject("SONG", nullptr);
    if (song && exportXmlSongInfos(file, song))
        return song;
    DeleteRecXmlObject(song);
    return nullptr;
}

XmlObject *exportXmlVersion()
{
    return ownedTextNode("VERSION", doubleToString(kFormatVersion));
}

XmlObject *exportXmlId(const KFile *file)
{
    return file->fileId ? CreateXmlObject("FKEY", file->fileId) : nullptr;
}

XmlObject *exportXmlMasterLvl(const KFile *file)
{
    return ownedTextNode("MASTERLEVEL", doubleToString(file->masterGain));
}

XmlObject *exportXmlMasterPan(const KFile *file)
{
    return ownedTextNode("PANO", doubleToString(file->masterPan));
}

// S_TRACK or S_ELT {NAME, LEVEL} of one mix entry.
bool addMixEntry(XmlObject *mix, const char *tag, const char *name, double level)
{
    XmlObject *entry = CreateXmlObject(tag, nullptr);
    if (entry && addText(entry, "NAME", name) && addDouble(entry, "LEVEL", level))
        return addNode(mix, entry);
    DeleteRecXmlObject(entry);
    return false;
}

// The mix's entries: S_TRACK for each listed track in list order (its gain in the mix, or its
// default gain), then S_ELT for every other element the level table holds, in creation order.
// S_TRACK means "listed" to the reader, so a track that only has a level (a mix whose track list
// was replaced by k_saveCurrentSlctToMix) is written as S_ELT and stays unlisted.
bool exportXmlMixElts(KFile *file, const KMix *mix, XmlObject *node,
                      const std::unordered_set<const KElement *> *omitted)
{
    std::unordered_set<const KElement *> listed;
    for (GSList *l = mix->tracks; l; l = l->next) {
        const KTrack *track = static_cast<const KTrack *>(l->data);
        const KElement *elt = track ? track->elt : nullptr;
        if (!elt || !listed.insert(elt).second)
            continue;
        const double *gain = static_cast<const double *>(g_hash_table_lookup(mix->levels, elt->name));
        if (!addMixEntry(node, "S_TRACK", elt->name, gain ? *gain : elt->levels->defaultGain))
            return false;
    }
    for (const KElement *elt = file->firstCreated; elt; elt = elt->nextCreated) {
        if (listed.count(elt) || (omitted && omitted->count(elt)))
            continue;
        const double *gain = static_cast<const double *>(g_hash_table_lookup(mix->levels, elt->name));
        if (gain && !addMixEntry(node, "S_ELT", elt->name, *gain))
            return false;
    }
    return true;
}

XmlObject *exportXmlMix(KFile *file, const KMix *mix, bool isDefault,
                        const std::unordered_set<const KElement *> *omitted)
{
    XmlObject *node = CreateXmlObject("TOVIX", nullptr);
    if (!node)
        return nullptr;
    bool ok = addText(node, "DEFAULT", isDefault ? "YES" : "NO") && addText(node, "NAME", mix->name) &&
              exportXmlMixElts(file, mix, node, omitted);
    if (ok && mix->mastering)
        ok = addNode(node, exportXmlEqual(mix->mastering));
    ok = ok && addDouble(node, "MASTERLEVEL", mix->masterGain) &&
         addDouble(node, "PANO", mix->masterPan);
    if (!ok) {
        DeleteRecXmlObject(node);
        return nullptr;
    }
    return node;
}

XmlObject *exportXmlPosition(const KPoint *position)
{
    XmlObject *node = CreateXmlObject("POSITION", nullptr);
    if (node && addDouble(node, "POS_X", position->x) && addDouble(node, "POS_Y", position->y) &&
        addDouble(node, "POS_Z", position->z))
        return node;
    DeleteRecXmlObject(node);
    return nullptr;
}

// LEVELS, S_VISIBLE, COLOR and PANO, common to tracks and groups.
bool exportXmlEltTail(XmlObject *node, const KElement *elt)
{
    return addNode(node, exportXmlLevels(elt->levels)) &&
           addText(node, "S_VISIBLE", elt->visible ? "YES" : "NO") &&
           addInt(node, "COLOR", elt->color) && addDouble(node, "PANO", elt->pan);
}

XmlObject *exportXmlTrack(const KElement *elt)
{
    const KTrack *track = static_cast<const KTrack *>(elt->data);
    XmlObject *node = CreateXmlObject("TRCK", nullptr);
    bool ok = node && addText(node, "NAME", elt->name) &&
              (!elt->comment || addText(node, "COMMENT", elt->comment)) &&
              addUnsigned(node, "SIZE", track->length) && addInt(node, "DATE", track->date);
    if (ok && track->stream >= 0)
        ok = addInt(node, "STREAM", track->stream);
    else if (ok && track->path)
        ok = addText(node, "FILE", track->path);
    if (ok && track->format)
        ok = addNode(node, exportXmlSFormat(track->format));
    const KPoint *p = track->position;
    if (ok && p && (p->x != 0.0 || p->y != 0.0 || p->z != 0.0))
        ok = addNode(node, exportXmlPosition(p));
    if (ok && exportXmlEltTail(node, elt))
        return node;
    DeleteRecXmlObject(node);
    return nullptr;
}

XmlObject *exportXmlConst(const KElement *elt, const std::unordered_set<const KElement *> &omitted)
{
    const KGroupData *group = static_cast<const KGroupData *>(elt->data);
    if (group->kind != KCONST_GROUP && group->kind != KCONST_IMPLY && group->kind != KCONST_EQUIV) {
        std::fprintf(stderr, "!!! ERROR exportXmlConst : rule \"%s\" of kind %d cannot be written\n",
                     elt->name, group->kind);
        return nullptr;
    }
    XmlObject *node = CreateXmlObject("CNST", nullptr);
    bool ok = node && addText(node, "NAME", elt->name) &&
              (!elt->comment || addText(node, "COMMENT", elt->comment));
    for (GList *l = group->members.head; ok && l; l = l->next) {
        const KElement *member = static_cast<const KElement *>(l->data);
        if (!omitted.count(member))
            ok = addText(node, "SUB_ELT", member->name);
    }
    if (ok && group->kind == KCONST_IMPLY) {
        ok = addText(node, "S_CONST", "IMPL") &&
             addText(node, "S_IMPLY", static_cast<const char *>(group->kindData));
    } else if (ok && group->kind == KCONST_EQUIV) {
        ok = addText(node, "S_CONST", "EQUIV");
    } else if (ok) {
        const int *bounds = static_cast<const int *>(group->kindData);
        ok = bounds && addText(node, "S_CONST", "GRP ") && addInt(node, "S_MIN", bounds[0]) &&
             addInt(node, "S_MAX", bounds[1]);
    }
    if (ok && exportXmlEltTail(node, elt))
        return node;
    DeleteRecXmlObject(node);
    return nullptr;
}

// One TRCK or CNST per element in creation order, the omitted ones left out.
bool exportXmlElts(KFile *file, XmlObject *root, const std::unordered_set<const KElement *> &omitted)
{
    for (const KElement *e = file->firstCreated; e; e = e->nextCreated) {
        if (!e->data || omitted.count(e))
            continue;
        if (e->type == KELT_TRACK) {
            if (!addNode(root, exportXmlTrack(e)))
                return false;
        } else if (e->type == KELT_GROUP) {
            if (!addNode(root, exportXmlConst(e, omitted)))
                return false;
        } else {
            std::fprintf(stderr, "!!! ERROR exportXmlDesc : element \"%s\" of type %d cannot be written\n",
                         e->name, e->type);
            return false;
        }
    }
    return true;
}

// Groups and rules that the clean form leaves out: those without members, except an element
// that an implication depends on.
std::unordered_set<const KElement *> cleanOmissions(KFile *file)
{
    std::unordered_set<const KElement *> omitted;
    for (const KElement *e = file->firstCreated; e; e = e->nextCreated) {
        const KGroupData *group = e->type == KELT_GROUP ? static_cast<KGroupData *>(e->data) : nullptr;
        if (group && group->members.length == 0 && e->impliedBy.length == 0)
            omitted.insert(e);
    }
    return omitted;
}

// --- Reading numbers ------------------------------------------------------------------------------

// A whole decimal number in [min, max]; surrounding blanks allowed.
bool parseLong(const char *text, long long min, long long max, long long *out)
{
    if (!text)
        return false;
    errno = 0;
    char *end = nullptr;
    long long value = std::strtoll(text, &end, 10);
    if (end == text || errno == ERANGE)
        return false;
    while (*end == ' ' || *end == '\t' || *end == '\n' || *end == '\r')
        ++end;
    if (*end != '\0' || value < min || value > max)
        return false;
    *out = value;
    return true;
}

bool readInt(const XmlObject *node, long long min, long long max, int *out)
{
    long long value;
    if (!node || !parseLong(node->text, min, max, &value))
        return false;
    *out = static_cast<int>(value);
    return true;
}

bool readDouble(const XmlObject *node, double *out)
{
    return node && tvr_parseDouble(node->text, out);
}

double clampPan(double pan)
{
    return pan < -1.0 ? -1.0 : (pan > 1.0 ? 1.0 : pan);
}

// --- Loader state -------------------------------------------------------------------------------

struct MixEntry {
    std::string name;
    bool track;  // S_TRACK: listed in the mix
    bool hasLevel;
    double level;
};

// A stored mix as read, built once every element exists.
struct MixDesc {
    std::string name;
    bool isDefault = false;
    bool older = false; // SLCT/SLCT_DEF
    const XmlObject *equal = nullptr;
    std::vector<MixEntry> entries;
    double masterGain = 1.0;
    double masterPan = 0.0;
    int position = 0;
};

// One S_TRACK or S_ELT entry {NAME, LEVEL}; an entry without a name, or an S_ELT without a level,
// says nothing and is skipped. False for a level that is not a number or is negative.
bool extractXmlMixElts(const XmlObject *node, MixDesc *mix)
{
    const XmlObject *entryName = nullptr, *level = nullptr;
    for (int k = 0; k < node->count; ++k) {
        if (named(node->children[k], "NAME"))
            entryName = node->children[k];
        else if (named(node->children[k], "LEVEL"))
            level = node->children[k];
    }
    if (!entryName || !entryName->text || !*entryName->text)
        return true;
    MixEntry entry{entryName->text, named(node, "S_TRACK"), level != nullptr, 0.0};
    if (level && (!readDouble(level, &entry.level) || entry.level < 0.0))
        return false;
    if (entry.track || entry.hasLevel)
        mix->entries.push_back(std::move(entry));
    return true;
}

bool parseXmlMix(const XmlObject *node, MixDesc *mix)
{
    const XmlObject *name = nullptr;
    for (int i = 0; i < node->count; ++i) {
        const XmlObject *child = node->children[i];
        if (named(child, "NAME")) {
            name = child;
        } else if (named(child, "DEFAULT")) {
            mix->isDefault = child->text && std::strcmp(child->text, "YES") == 0;
        } else if (named(child, "EQUAL")) {
            mix->equal = child;
        } else if (named(child, "S_TRACK") || named(child, "S_ELT")) {
            if (!extractXmlMixElts(child, mix))
                return false;
        } else if (named(child, "PANO")) {
            if (!readDouble(child, &mix->masterPan))
                return false;
            mix->masterPan = clampPan(mix->masterPan);
        } else if (named(child, "MASTERLEVEL")) {
            if (!readDouble(child, &mix->masterGain))
                return false;
            mix->masterGain = mix->masterGain < 0.0 ? 0.0 : std::min(mix->masterGain, KMASTER_GAIN_MAX);
        }
    }
    if (!name || !name->text || !*name->text)
        return false;
    mix->name = name->text;
    return true;
}

bool parseXmlSlct(const XmlObject *node, MixDesc *mix)
{
    mix->older = true;
    mix->isDefault = named(node, "SLCT_DEF");
    const XmlObject *name = nullptr;
    for (int i = 0; i < node->count; ++i) {
        const XmlObject *child = node->children[i];
        if (named(child, "NAME")) {
            name = child;
        } else if (named(child, "EQUAL")) {
            mix->equal = child;
        } else if (named(child, "S_TRACK")) {
            const char *track = child->text;
            for (int k = 0; k < child->count; ++k)
                if (named(child->children[k], "NAME"))
                    track = child->children[k]->text;
            if (track && *track)
                mix->entries.push_back({track, true, false, 0.0});
        }
    }
    if (!name || !name->text || !*name->text || mix->entries.empty())
        return false;
    mix->name = name->text;
    return true;
}

// The mix of a record, resolved against the project's elements; null on failure.
KMix *buildMix(KFile *file, const MixDesc &desc)
{
    KMix *mix = KMix_create(desc.name.c_str());
    if (!mix)
        return nullptr;
    bool ok = true;
    if (desc.equal) {
        _KEqualization *curve = extractXmlEqual(desc.equal);
        ok = curve && KMix_setMastering(mix, curve) == 1;
        KEqual_delete(&curve);
    }
    // The track list is built here rather than by KMix_addTrack, whose check for a listed name
    // walks the list: a mix of every track would cost a square of the track count.
    std::unordered_set<const KTrack *> listed;
    GSList *tracks = nullptr;
    for (const MixEntry &entry : desc.entries) {
        if (!ok)
            break;
        KElement *elt = giveElt(file, entry.name.c_str());
        if (!elt) {
            std::fprintf(stderr, "!!! WARNING ExtractXmlMix : mix \"%s\" names no element \"%s\"\n",
                         desc.name.c_str(), entry.name.c_str());
            continue;
        }
        KTrack *track = elt->type == KELT_TRACK ? static_cast<KTrack *>(elt->data) : nullptr;
        if (entry.track && track && listed.insert(track).second) {
            tracks = g_slist_prepend(tracks, track);
            // A listed track brings its default gain unless the entry gives one.
            if (!entry.hasLevel)
                ok = KMix_addLevelToElt(mix, elt->name, elt->levels->defaultGain) == 1;
        }
        if (ok && entry.hasLevel)
            ok = KMix_addLevelToElt(mix, elt->name, entry.level) == 1;
    }
    mix->tracks = g_slist_reverse(tracks);
    mix->trackCount = static_cast<int>(listed.size());
    mix->masterGain = desc.masterGain;
    mix->masterPan = desc.masterPan;
    if (!ok)
        KMix_delete(&mix);
    return mix;
}

struct StreamUse {
    int stream;
    int position;
};

struct Loader {
    KFile *file;
    KPendingElts *pending;
    std::vector<MixDesc> mixes;
    std::unordered_set<std::string> mixNames;
    std::vector<StreamUse> streams;
    int position = 0;
    std::string error; // what made the child fail
};

int fail(Loader &loader, const std::string &why)
{
    loader.error = why;
    return -1;
}

std::string quoted(const char *text)
{
    return std::string("\"") + (text ? text : "") + "\"";
}

// --- Readers of the root's children (1 done, 0 skipped, -1 failed) ---------------------------------

// The children that tracks and groups share: COMMENT, S_VISIBLE, LEVELS, COLOR and PANO.
struct EltTail {
    const XmlObject *comment = nullptr, *visible = nullptr, *levels = nullptr, *color = nullptr,
                    *pan = nullptr;
    KLevels levelValues{};
    int colorValue = KCOLOR_NONE;
    double panValue = 0.0;

    // Takes the child when it is one of the shared ones (the last of a repeated one counts).
    bool claim(const XmlObject *c)
    {
        const XmlObject **slot = named(c, "COMMENT")     ? &comment
                                 : named(c, "S_VISIBLE") ? &visible
                                 : named(c, "LEVELS")    ? &levels
                                 : named(c, "COLOR")     ? &color
                                 : named(c, "PANO")      ? &pan
                                                         : nullptr;
        if (slot)
            *slot = c;
        return slot != nullptr;
    }

    // Reads the values; false with the loader's error set when one is bad.
    bool read(Loader &loader, const std::string &what, int track)
    {
        auto bad = [&](const char *field) {
            fail(loader, what + " has " + field);
            return false;
        };
        if (levels && !extractXmlLevels(levels, track, &levelValues))
            return bad("bad LEVELS");
        // Colours are packed RGB: written signed, accepted unsigned too.
        long long colorRead = KCOLOR_NONE;
        if (color && !parseLong(color->text, INT_MIN, UINT32_MAX, &colorRead))
            return bad("a bad COLOR");
        colorValue = static_cast<int>(static_cast<uint32_t>(colorRead));
        if (pan && !readDouble(pan, &panValue))
            return bad("a bad PANO");
        panValue = clampPan(panValue);
        return true;
    }
};

int ExtractXmlTrack(Loader &loader, const XmlObject *node)
{
    const XmlObject *name = nullptr, *stream = nullptr, *date = nullptr, *size = nullptr,
                    *path = nullptr, *format = nullptr, *position = nullptr;
    EltTail tail;
    for (int i = 0; i < node->count; ++i) {
        const XmlObject *c = node->children[i];
        if (tail.claim(c)) continue;
        else if (named(c, "NAME")) name = c;
        else if (named(c, "STREAM")) stream = c;
        else if (named(c, "DATE")) date = c;
        else if (named(c, "SIZE")) size = c;
        else if (named(c, "FILE")) path = c;
        else if (named(c, "SFORMAT")) format = c;
        else if (named(c, "POSITION")) position = c;
    }
    KFile *file = loader.file;
    if (!name || !name->text || !*name->text)
        return fail(loader, "a track has no name");
    const char *trackName = name->text;
    const std::string what = "track " + quoted(trackName);
    if (KPendingElts_nameTaken(loader.pending, file, trackName))
        return fail(loader, "the name " + quoted(trackName) + " is used twice");

    int streamNumber = KSTREAM_NONE, dateValue = 0;
    long long sizeValue = 0;
    if (stream && !readInt(stream, 0, INT_MAX, &streamNumber))
        return fail(loader, what + " has a bad STREAM");
    if (date && !readInt(date, INT_MIN, INT_MAX, &dateValue))
        return fail(loader, what + " has a bad DATE");
    if (dateValue < 0)
        dateValue = 0;
    if (size && !parseLong(size->text, 0, UINT32_MAX, &sizeValue))
        return fail(loader, what + " has a bad SIZE");
    if (!tail.read(loader, what, 1))
        return -1;
    KPoint point{};
    for (int i = 0; position && i < position->count; ++i) {
        const XmlObject *c = position->children[i];
        double *axis = named(c, "POS_X")   ? &point.x
                       : named(c, "POS_Y") ? &point.y
                       : named(c, "POS_Z") ? &point.z
                                           : nullptr;
        if (axis && !readDouble(c, axis))
            return fail(loader, what + " has a bad POSITION");
    }
    KStreamFormat own{};
    if (format && !extractXmlStreamFormat(format, &own)) {
        KStreamFormat_init(&own);
        return fail(loader, what + " has a bad SFORMAT");
    }

    int result;
    if (path) {
        const char *p = path->text ? path->text : "";
        struct stat info;
        // Only regular files are opened: a FIFO or a device would block or never end.
        if (std::strcmp(p, KTRACK_IGNORE_AUDIO) != 0 && stat(p, &info) == 0 && !S_ISREG(info.st_mode)) {
            KStreamFormat_init(&own);
            return fail(loader, what + " names " + quoted(p) + ", which is not an audio file");
        }
        char *pathCopy = _tvr_strcpy(p);
        int length = sizeValue > INT_MAX ? -1 : static_cast<int>(sizeValue);
        result = pathCopy ? addFilteredTrackWithFilePath(file, trackName, dateValue, nullptr, length,
                                                         pathCopy, nullptr)
                          : TVR_ERR_MEMORY;
        if (result <= 0)
            tvr_free(pathCopy);
        if (result < 0) {
            KStreamFormat_init(&own);
            return fail(loader, "the audio file " + quoted(p) + " of " + what + " cannot be read (" +
                                    std::to_string(result) + ")");
        }
    } else {
        result = addBitstreamTrack(file, trackName, dateValue, nullptr,
                                   static_cast<uint32_t>(sizeValue), streamNumber);
        if (result > 0 && streamNumber >= 0)
            loader.streams.push_back({streamNumber, loader.position});
    }
    if (result <= 0) {
        KStreamFormat_init(&own);
        return result < 0 ? fail(loader, what + " cannot be added (" + std::to_string(result) + ")")
                          : 0;
    }
    KElement *elt = giveElt(file, trackName);
    KTrack *track = static_cast<KTrack *>(elt->data);
    bool ok = !tail.comment || !tail.comment->text ||
              setEltComment(file, trackName, tail.comment->text) == 1;
    if (ok && format)
        ok = addTrackFormat(file, trackName, &own) == 1;
    KStreamFormat_init(&own);
    if (ok && track->position)
        *track->position = point;
    if (ok && tail.visible && tail.visible->text && std::strcmp(tail.visible->text, "NO") == 0)
        hideElt(file, trackName);
    if (ok && tail.levels)
        ok = KElement_setLevels(elt, &tail.levelValues) == 1;
    if (ok && tail.color)
        KElement_setColor(elt, tail.colorValue);
    if (ok && tail.pan)
        KElement_setPan(elt, tail.panValue);
    return ok ? 1 : fail(loader, what + " cannot be completed");
}

int ExtractXmlConst(Loader &loader, const XmlObject *node)
{
    const XmlObject *name = nullptr, *kind = nullptr, *max = nullptr, *min = nullptr,
                    *implying = nullptr;
    EltTail tail;
    std::vector<const char *> members;
    for (int i = 0; i < node->count; ++i) {
        const XmlObject *c = node->children[i];
        if (tail.claim(c)) continue;
        else if (named(c, "NAME")) name = c;
        else if (named(c, "S_CONST")) kind = c;
        else if (named(c, "S_MAX")) max = c;
        else if (named(c, "S_MIN")) min = c;
        else if (named(c, "S_IMPLY")) implying = c;
        else if (named(c, "SUB_ELT")) {
            if (!c->text || !*c->text)
                return fail(loader, "a group lists a member without a name");
            members.push_back(c->text);
        }
    }
    if (!name || !name->text || !*name->text)
        return fail(loader, "a group or rule has no name");
    const std::string what = "group " + quoted(name->text);
    KConstDesc desc{};
    desc.name = name->text;
    desc.kindText = kind ? kind->text : nullptr;
    desc.members = members.data();
    desc.memberCount = static_cast<int>(members.size());
    desc.implying = implying ? implying->text : nullptr;
    const char *shown = tail.visible ? tail.visible->text : nullptr;
    desc.visible = !(shown && (shown[0] == 'N' || shown[0] == 'n'));
    desc.comment = tail.comment ? tail.comment->text : nullptr;
    if ((min && !readInt(min, -1, INT_MAX, &desc.min)) || (max && !readInt(max, -1, INT_MAX, &desc.max)))
        return fail(loader, what + " has bad bounds");
    if (!tail.read(loader, what, 0))
        return -1;
    desc.levels = tail.levels ? &tail.levelValues : nullptr;
    desc.hasColor = tail.color != nullptr;
    desc.color = tail.colorValue;
    desc.hasPan = tail.pan != nullptr;
    desc.pan = tail.panValue;
    int result = makeTmpConst(loader.file, loader.pending, &desc);
    if (result == -1)
        return fail(loader, what + " has an unknown kind " + quoted(desc.kindText));
    if (result == TVR_ERR_ELT_TABLE)
        return fail(loader, "the name " + quoted(desc.name) + " is used twice");
    if (result != 1)
        return fail(loader, what + " cannot be created (" + std::to_string(result) + ")");
    return 1;
}

int ExtractXmlSFormat(Loader &loader, const XmlObject *node)
{
    KStreamFormat format{};
    bool ok = extractXmlStreamFormat(node, &format) && KStreamFormat_copy(loader.file->format, &format);
    KStreamFormat_init(&format);
    return ok ? 1 : fail(loader, "the project's SFORMAT is bad");
}

int ExtractXmlVersion(Loader &loader, const XmlObject *node)
{
    double version;
    if (!readDouble(node, &version) || version < 0.25 || oLVersIsOk(version) < 0)
        return fail(loader, "the VERSION is bad");
    loader.file->version = version;
    return 1;
}

int ExtractXmlNChannels(Loader &loader, const XmlObject *node)
{
    int channels;
    if (!readInt(node, INT_MIN, kMaxChannels, &channels))
        return fail(loader, "NCHANNELS is bad");
    loader.file->format->channels = channels > 0 ? channels : -1;
    return 1;
}

int ExtractXmlFileId(Loader &loader, const XmlObject *node)
{
    if (!node->text || !*node->text)
        return fail(loader, "FKEY is empty");
    size_t length = std::strlen(node->text);
    char *id = tvr_strndup(node->text, length < kFileIdLength ? length : kFileIdLength);
    if (!id)
        return fail(loader, "out of memory");
    tvr_free(loader.file->fileId);
    loader.file->fileId = id;
    return 1;
}

int ExtractXmlMasterLvl(Loader &loader, const XmlObject *node)
{
    double gain;
    if (!readDouble(node, &gain))
        return fail(loader, "MASTERLEVEL is not a number");
    k_setMasterLvl(loader.file, gain); // kept within 0..KMASTER_GAIN_MAX
    return 1;
}

int ExtractXmlMasterPan(Loader &loader, const XmlObject *node)
{
    double pan;
    if (!readDouble(node, &pan))
        return fail(loader, "PANO is not a number");
    k_setMasterPan(loader.file, pan);
    return 1;
}

// Mix laws of the root are accepted and ignored.
int ExtractXmlMixLaw(Loader &, const XmlObject *)
{
    return 1;
}

int readChild(Loader &loader, const XmlObject *child)
{
    KFile *file = loader.file;
    const char *tag = child->name;
    if (!std::strcmp(tag, "VERSION"))
        return ExtractXmlVersion(loader, child);
    if (!std::strcmp(tag, "NCHANNELS"))
        return ExtractXmlNChannels(loader, child);
    if (!std::strcmp(tag, "SFORMAT"))
        return ExtractXmlSFormat(loader, child);
    if (!std::strcmp(tag, "FKEY"))
        return ExtractXmlFileId(loader, child);
    if (!std::strcmp(tag, "SONG"))
        return ExtractXmlSong(file, child) == 1 ? 1 : fail(loader, "a song tag has no name or text");
    if (!std::strcmp(tag, "MASTERLEVEL"))
        return ExtractXmlMasterLvl(loader, child);
    if (!std::strcmp(tag, "PANO"))
        return ExtractXmlMasterPan(loader, child);
    if (!std::strcmp(tag, "MIXLAW"))
        return ExtractXmlMixLaw(loader, child);
    if (!std::strcmp(tag, "TRCK"))
        return ExtractXmlTrack(loader, child);
    if (!std::strcmp(tag, "CNST"))
        return ExtractXmlConst(loader, child);
    bool mix = !std::strcmp(tag, "TOVIX");
    if (mix || !std::strcmp(tag, "SLCT") || !std::strcmp(tag, "SLCT_DEF")) {
        MixDesc desc;
        desc.position = loader.position;
        if (!(mix ? parseXmlMix(child, &desc) : parseXmlSlct(child, &desc)))
            return fail(loader, std::string("a stored mix (") + tag + ") is malformed");
        if (!loader.mixNames.insert(desc.name).second)
            return fail(loader, "the mix name " + quoted(desc.name.c_str()) + " is used twice");
        loader.mixes.push_back(std::move(desc));
        return 1;
    }
    return 0;
}

int childCode(int position)
{
    return KDESC_ERR_CHILD - position;
}

// Why the last load on this thread was refused, for getXmlDescErrorReason.
thread_local std::string lastRefusal;

// The last refusal of updateElt on this thread, named in the load's reason.
thread_local std::string lastLinkRefusal;

void report(int code, const std::string &why)
{
    lastRefusal = why;
    std::fprintf(stderr, "!!! ERROR LoadFromXmlDesc : %s (%d)\n", why.c_str(), code);
}

// Reads the root's children in document order; 1 or the code of the first failing child.
int ExtractXmlDesc(Loader &loader, const XmlObject *root)
{
    for (int i = 0; i < root->count; ++i) {
        const XmlObject *child = root->children[i];
        loader.position = i;
        if (child && child->name && readChild(loader, child) < 0) {
            int code = childCode(i);
            report(code, "element " + std::to_string(i) + " (" + child->name + "): " + loader.error);
            return code;
        }
    }
    return 1;
}

// Older descriptions give channels without a codec: their streams are Ogg Vorbis, 16 bits,
// 44100 Hz.
void completeOlderStreamFormat(KStreamFormat *format)
{
    if (format->code != 0 || format->channels <= 0)
        return;
    tvr_free(format->extra);
    format->extra = nullptr;
    format->code = KAUDIOFMT_VORBIS;
    format->bits = 16;
    format->rate = 44100.0;
}

// Reads the description tree into the empty scratch project; 1 or a load code.
int loadTree(KFile *work, const XmlObject *root)
{
    bool rootOk = false;
    for (const char *r : kRoots)
        rootOk = rootOk || named(root, r);
    if (!rootOk) {
        report(KDESC_ERR_UNREADABLE, "not a project description");
        return KDESC_ERR_UNREADABLE;
    }
    const XmlObject *version = nullptr;
    for (int i = 0; i < root->count && !version; ++i)
        if (named(root->children[i], "VERSION"))
            version = root->children[i];
    double value;
    if (!version || !readDouble(version, &value) || value < 0.25 || oLVersIsOk(value) < 0) {
        report(KDESC_ERR_VERSION, "missing or unsupported VERSION");
        return KDESC_ERR_VERSION;
    }
    work->version = value;

    Loader loader{work, KPendingElts_new(), {}, {}, {}, 0, {}};
    if (!loader.pending)
        return TVR_ERR_MEMORY;
    int result = ExtractXmlDesc(loader, root);
    if (result == 1)
        completeOlderStreamFormat(work->format);
    if (result == 1 && (result = updateElt(work, loader.pending)) != 1)
        report(result, "groups and rules cannot be linked: " + lastLinkRefusal);
    KPendingElts_delete(&loader.pending);

    for (size_t i = 0; result == 1 && i < loader.mixes.size(); ++i) {
        const MixDesc &desc = loader.mixes[i];
        KMix *mix = buildMix(work, desc);
        if (!mix || addSlct(work, mix, desc.isDefault ? KSLCT_AS_DEFAULT : 0) != 1) {
            KMix_delete(&mix);
            result = childCode(desc.position);
            report(result, "element " + std::to_string(desc.position) + (desc.older ? " (SLCT)" : " (TOVIX)") +
                               ": the mix " + quoted(desc.name.c_str()) + " cannot be built");
        }
    }
    if (result == 1) {
        int mixes = updateMix(work);
        if (mixes <= 0) {
            result = mixes;
            report(result, "the stored mixes cannot be updated");
        }
    }
    if (result == 1 && (result = updateAudio(work)) != 1)
        report(result, "tracks without audio cannot be removed");
    // Stream numbers index the player's per-track slots: each below the number of tracks left
    // after the clean-up, none used twice.
    const int trackCount = tracksNbr(work);
    std::vector<bool> used(static_cast<size_t>(trackCount), false);
    for (size_t i = 0; result == 1 && i < loader.streams.size(); ++i) {
        const StreamUse &use = loader.streams[i];
        if (use.stream >= trackCount || used[static_cast<size_t>(use.stream)]) {
            result = childCode(use.position);
            report(result, "element " + std::to_string(use.position) + " (TRCK): stream number " +
                               std::to_string(use.stream) +
                               (use.stream >= trackCount ? " is out of range" : " is used twice"));
        } else {
            used[static_cast<size_t>(use.stream)] = true;
        }
    }
    if (result == 1)
        computeLengthFile(work);
    return result;
}

} // namespace

// --- Pending groups and rules ------------------------------------------------------------------

struct PendingConst {
    std::string name;
    std::vector<std::string> members;
    // Kept only while the rule waits for its implying element.
    bool waiting = false;
    int kind = 0;
    std::string implying;
    int visible = 1;
    bool hasComment = false;
    std::string comment;
    bool hasLevels = false;
    KLevels levels{};
    int hasColor = 0, color = 0, hasPan = 0;
    double pan = 0.0;
    int min = 0, max = 0; // bounds of a group
};

struct PendingLaw {
    std::string name;
    int lawType;
    double coefficient;
    int defaultLevel, minLevel, maxLevel;
};

struct KPendingElts {
    std::vector<PendingConst> consts;
    std::unordered_set<std::string> waitingNames;
    std::vector<PendingLaw> laws;
};

KPendingElts *KPendingElts_new(void)
{
    return new (std::nothrow) KPendingElts();
}

void KPendingElts_delete(KPendingElts **pending)
{
    if (pending) {
        delete *pending;
        *pending = nullptr;
    }
}

bool KPendingElts_nameTaken(const KPendingElts *pending, KFile *file, const char *name)
{
    return giveElt(file, name) || (pending && pending->waitingNames.count(name));
}

// Creates the element of a pending record and sets its fields; 1 or the failing code.
static int createPending(KFile *file, const PendingConst &record)
{
    void *data = nullptr;
    if (record.kind == KCONST_IMPLY)
        data = const_cast<char *>(record.implying.c_str());
    else if (record.kind == KCONST_GROUP)
        data = createDataGrp(record.min, record.max);
    int result = createElt(file, record.kind, record.name.c_str(), data);
    if (result != 1)
        return result;
    const char *name = record.name.c_str();
    KElement *elt = giveElt(file, name);
    if (record.visible)
        showElt(file, name);
    else
        hideElt(file, name);
    if (record.hasComment && setEltComment(file, name, record.comment.c_str()) != 1)
        return TVR_ERR_MEMORY;
    if (record.hasLevels && KElement_setLevels(elt, &record.levels) != 1)
        return TVR_ERR_MEMORY;
    if (record.hasColor)
        KElement_setColor(elt, record.color);
    if (record.hasPan)
        KElement_setPan(elt, clampPan(record.pan));
    return 1;
}

int makeTmpConst(KFile *file, KPendingElts *pending, const KConstDesc *desc)
{
    if (!file || !pending || !desc || !desc->name || !*desc->name)
        return TVR_ERR_PARAM;
    if (KPendingElts_nameTaken(pending, file, desc->name))
        return TVR_ERR_ELT_TABLE;
    const char *kindText = desc->kindText ? desc->kindText : "";
    PendingConst record;
    if (!std::strcmp(kindText, "GRP ") || (!std::strcmp(kindText, "IMPL") && !desc->implying))
        record.kind = KCONST_GROUP;
    else if (!std::strcmp(kindText, "IMPL"))
        record.kind = KCONST_IMPLY;
    else if (!std::strcmp(kindText, "EQUIV"))
        record.kind = KCONST_EQUIV;
    else
        return -1;
    try {
        record.name = desc->name;
        for (int i = 0; i < desc->memberCount; ++i)
            record.members.emplace_back(desc->members[i]);
        if (record.kind == KCONST_IMPLY)
            record.implying = desc->implying;
        record.visible = desc->visible;
        record.hasComment = desc->comment != nullptr;
        if (desc->comment)
            record.comment = desc->comment;
    } catch (const std::bad_alloc &) {
        return TVR_ERR_MEMORY;
    }
    record.hasLevels = desc->levels != nullptr;
    if (desc->levels)
        record.levels = *desc->levels;
    record.hasColor = desc->hasColor;
    record.color = desc->color;
    record.hasPan = desc->hasPan;
    record.pan = desc->pan;
    record.min = desc->min < 0 ? 0 : desc->min;
    record.max = desc->max < 0 ? desc->memberCount : desc->max;

    int result = 1;
    if (record.kind == KCONST_IMPLY && !giveElt(file, desc->implying)) {
        // The implying element comes later in the text: created by updateElt.
        record.waiting = true;
        pending->waitingNames.insert(record.name);
    } else {
        result = createPending(file, record);
        if (result != 1) {
            // Nothing half-made stays behind.
            if (giveElt(file, desc->name))
                deleteElt(file, desc->name);
            return result;
        }
    }
    try {
        pending->consts.push_back(std::move(record));
    } catch (const std::bad_alloc &) {
        return TVR_ERR_MEMORY;
    }
    return 1;
}

int KPendingElts_addMixLaw(KPendingElts *pending, const char *name, int lawType, double coefficient,
                           int defaultLevel, int minLevel, int maxLevel)
{
    if (!pending || !name)
        return TVR_ERR_PARAM;
    try {
        pending->laws.push_back({name, lawType, coefficient, defaultLevel, minLevel, maxLevel});
    } catch (const std::bad_alloc &) {
        return TVR_ERR_MEMORY;
    }
    return 1;
}

// Writes an updateElt refusal to the standard error stream and keeps it for the load's reason.
static void linkRefused(const char *format, ...)
{
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    std::fputs(line, stderr);
    lastLinkRefusal.assign(line, std::strcspn(line, "\n"));
}

int updateElt(KFile *file, KPendingElts *pending)
{
    if (!file || !pending)
        return -1;
    int result = 1;
    // Waiting implications, as their implying elements appear (one may imply another). They are
    // made in the order that passes over the list, repeated until one makes nothing, would make
    // them: a rule waiting on one made before it in the list comes in the same pass, on one made
    // after it in the next. Each rule is looked at once, so a long chain listed backwards costs no
    // more than one listed forwards.
    {
        using Turn = std::pair<size_t, size_t>; // pass, place in the list
        std::priority_queue<Turn, std::vector<Turn>, std::greater<Turn>> ready;
        std::unordered_map<std::string, std::vector<size_t>> waitersOf;
        std::vector<PendingConst> &consts = pending->consts;
        for (size_t i = 0; i < consts.size(); ++i) {
            if (!consts[i].waiting)
                continue;
            if (giveElt(file, consts[i].implying.c_str()))
                ready.push({0, i});
            else
                waitersOf[consts[i].implying].push_back(i);
        }
        while (!ready.empty()) {
            const auto [pass, i] = ready.top();
            ready.pop();
            PendingConst &record = consts[i];
            pending->waitingNames.erase(record.name);
            record.waiting = false;
            if (createPending(file, record) != 1) {
                linkRefused("Error updateElt::forEachTmp : can't create \"%s\"\n",
                             record.name.c_str());
                result = -1;
                continue;
            }
            const auto waiters = waitersOf.find(record.name);
            if (waiters == waitersOf.end())
                continue;
            for (size_t j : waiters->second)
                ready.push({j > i ? pass : pass + 1, j});
            waitersOf.erase(waiters);
        }
    }
    for (const PendingConst &record : pending->consts) {
        if (result != 1)
            break;
        if (record.waiting) {
            linkRefused("Error updateElt::forEachTmp : unknown implying element \"%s\"\n",
                         record.implying.c_str());
            result = -1;
            break;
        }
        for (const std::string &member : record.members) {
            int code = addSubElt(file, record.name.c_str(), member.c_str());
            if (code != 1) {
                linkRefused("Error updateElt::forEachTmp : can't add subelement \"%s\" (%d)\n",
                            member.c_str(), code);
                lastLinkRefusal += " to group \"" + record.name + "\"";
                result = -1;
                break;
            }
        }
    }
    for (const PendingLaw &law : pending->laws) {
        if (result != 1)
            break;
        const char *name = law.name.c_str();
        if (!giveElt(file, name)) {
            linkRefused("Error updateElt::forEachTmp : unknown element \"%s\"\n", name);
            result = -2;
            break;
        }
        if (law.lawType != 0) {
            double *coefficient = nullptr;
            if (law.lawType == KMIXLAW_UPCOEF) {
                coefficient = static_cast<double *>(tvr_malloc(sizeof(double)));
                if (coefficient)
                    *coefficient = law.coefficient;
            }
            if (setMixLaw(file, name, law.lawType, coefficient) != 1) {
                tvr_free(coefficient);
                linkRefused("Error updateElt::forEachTmp : TVR_MIX_WITHOUT\n");
                lastLinkRefusal += std::string(" for \"") + name + "\"";
                result = -2;
                break;
            }
        }
        // 0 (default) and -240 (bounds) are the older format's "no value", as is KLEVEL_UNCHANGED.
        auto given = [](int value, int none) { return value != none && value != KLEVEL_UNCHANGED; };
        if (given(law.defaultLevel, 0) && setDefaultLevel(file, name, law.defaultLevel) != 1) {
            linkRefused("Error updateElt::forEachTmp : TVR_MIX_DEFAULT_LEVEL\n");
            lastLinkRefusal += std::string(" for \"") + name + "\"";
            result = -2;
        } else if (given(law.minLevel, KLEVEL_MIN) &&
                   setMinMaxLevel(file, name, law.minLevel, KLEVEL_UNCHANGED) != 1) {
            linkRefused("Error updateElt::forEachTmp : minLevel (%s||%d)\n", name,
                         law.minLevel);
            result = -2;
        } else if (given(law.maxLevel, KLEVEL_MIN) &&
                   setMinMaxLevel(file, name, KLEVEL_UNCHANGED, law.maxLevel) != 1) {
            linkRefused("Error updateElt::forEachTmp : maxLevel\n");
            lastLinkRefusal += std::string(" for \"") + name + "\"";
            result = -2;
        }
    }
    pending->consts.clear();
    pending->waitingNames.clear();
    pending->laws.clear();
    return result;
}

// --- Audio clean-up ---------------------------------------------------------------------------------

int updateAudio(KFile *file)
{
    if (!file)
        return TVR_ERR_PARAM;
    std::vector<std::string> ignored;
    for (const KElement *e = file->firstCreated; e; e = e->nextCreated) {
        const KTrack *track = e->type == KELT_TRACK ? static_cast<const KTrack *>(e->data) : nullptr;
        if (track && track->path && std::strcmp(track->path, KTRACK_IGNORE_AUDIO) == 0)
            ignored.emplace_back(e->name);
    }
    for (const std::string &name : ignored) {
        KElement *elt = giveElt(file, name.c_str());
        // The rules that lose their point with the track: its parents, and implications it drives.
        std::vector<std::pair<KElement *, bool>> rules; // rule, implied by the track
        for (GList *l = elt->parents.head; l; l = l->next)
            rules.emplace_back(static_cast<KElement *>(l->data), false);
        for (GList *l = elt->impliedBy.head; l; l = l->next)
            rules.emplace_back(static_cast<KElement *>(l->data), true);
        if (removeTrack(file, name.c_str()) != 1)
            return TVR_ERR_BAD_TRACKS;
        // Chosen before any is deleted: a deletion may rename another rule ("Const_<n>"), so the
        // records are followed by address, each deleted under its name of the moment.
        std::vector<KElement *> pointless;
        for (const auto &rule : rules) {
            KElement *r = rule.first;
            const KGroupData *group = static_cast<const KGroupData *>(r->data);
            if (rule.second || (group->kind == KCONST_GROUP && !r->visible && group->memberCount == 1) ||
                (group->kind == KCONST_IMPLY && group->memberCount == 0)) {
                if (std::find(pointless.begin(), pointless.end(), r) == pointless.end())
                    pointless.push_back(r);
            }
        }
        for (KElement *r : pointless)
            if (deleteElt(file, r->name) != 1)
                return TVR_ERR_BAD_TRACKS;
    }
    return 1;
}

// --- Public writers ---------------------------------------------------------------------------------

bool isValidSongKey(const char *key)
{
    return key && *key && key[0] != '/' && !std::strpbrk(key, "<>&");
}

XmlObject *exportXmlLevels(const KLevels *levels)
{
    if (!levels)
        return nullptr;
    XmlObject *node = CreateXmlObject("LEVELS", nullptr);
    if (node && addInt(node, "LMIX", levels->minLevel) && addInt(node, "LMAX", levels->maxLevel) &&
        addInt(node, "LDEF", levels->defaultLevel))
        return node;
    DeleteRecXmlObject(node);
    return nullptr;
}

XmlObject *exportXmlNChannels(const KFile *file)
{
    return file && file->format ? ownedTextNode("NCHANNELS", intToString(file->format->channels))
                                : nullptr;
}

XmlObject *exportXmlSFormat(const KStreamFormat *format)
{
    if (!format)
        return nullptr;
    XmlObject *node = CreateXmlObject("SFORMAT", nullptr);
    bool ok = node && (format->code == 0 || addInt(node, "MFORMAT", format->code)) &&
              (format->channels < 0 || addInt(node, "MCHANNELS", format->channels)) &&
              (format->rate < 0.0 || addDouble(node, "MRATE", format->rate)) &&
              (format->bits < 0 || addInt(node, "MBITS", format->bits));
    if (ok)
        return node;
    DeleteRecXmlObject(node);
    return nullptr;
}

XmlObject *exportXmlSlcts(KFile *file, const char *mixName)
{
    if (!file || !mixName)
        return nullptr;
    const KMix *mix = findThisSlct(file, mixName);
    if (!mix)
        return nullptr;
    return exportXmlMix(file, mix, mix == file->mixes->defaultMix, nullptr);
}

XmlObject *exportXmlDesc(KFile *file, int clean)
{
    if (!file || isValid(file) == 0)
        return nullptr;
    if ((clean || !file->fileId) && !TovraGenerateFileId(file))
        return nullptr;
    std::unordered_set<const KElement *> omitted;
    if (clean)
        omitted = cleanOmissions(file);

    XmlObject *root = CreateXmlObject("TOVRA-2.0", nullptr);
    bool ok = root && addNode(root, exportXmlVersion()) && addNode(root, exportXmlId(file)) &&
              addNode(root, exportXmlSFormat(file->format)) &&
              addNode(root, exportXmlMasterLvl(file)) && addNode(root, exportXmlMasterPan(file)) &&
              addNode(root, exportXmlSong(file));
    if (ok && file->mixes) {
        for (GList *l = file->mixes->order.head; ok && l; l = l->next) {
            const KMix *mix = static_cast<const KMix *>(l->data);
            ok = addNode(root, exportXmlMix(file, mix, mix == file->mixes->defaultMix, &omitted));
        }
    }
    ok = ok && exportXmlElts(file, root, omitted);
    if (!ok) {
        DeleteRecXmlObject(root);
        return nullptr;
    }
    return root;
}

char *exportToCleanXmlDesc(KFile *file)
{
    XmlObject *tree = exportXmlDesc(file, 1);
    if (!tree)
        return nullptr;
    char *text = XmlToString2(nullptr, tree);
    DeleteRecXmlObject(tree);
    return text;
}

// --- Public readers ---------------------------------------------------------------------------------

bool extractXmlLevels(const XmlObject *node, int track, KLevels *levels)
{
    if (!named(node, "LEVELS") || !levels)
        return false;
    KLevels_init(levels);
    const long long low = track ? KLEVEL_MIN : KLEVEL_GROUP_FLOOR;
    const long long high = track ? KLEVEL_MAX : KLEVEL_GROUP_CEIL;
    for (int i = 0; i < node->count; ++i) {
        const XmlObject *c = node->children[i];
        int *field = named(c, "LMIX")   ? &levels->minLevel
                     : named(c, "LMAX") ? &levels->maxLevel
                     : named(c, "LDEF") ? &levels->defaultLevel
                                        : nullptr;
        if (field && !readInt(c, low, high, field))
            return false;
    }
    levels->defaultGain = cBToDouble(levels->defaultLevel);
    levels->level = levels->defaultLevel;
    levels->ownGain = levels->gain = levels->defaultGain;
    return true;
}

bool extractXmlStreamFormat(const XmlObject *node, KStreamFormat *format)
{
    if (!named(node, "SFORMAT") || !format)
        return false;
    KStreamFormat_init(format);
    for (int i = 0; i < node->count; ++i) {
        const XmlObject *c = node->children[i];
        if (named(c, "MFORMAT")) {
            if (!readInt(c, INT_MIN, INT_MAX, &format->code))
                return false;
        } else if (named(c, "MCHANNELS")) {
            // 0 or a negative count means unset.
            if (!readInt(c, INT_MIN, kMaxChannels, &format->channels))
                return false;
            if (format->channels <= 0)
                format->channels = -1;
        } else if (named(c, "MBITS")) {
            if (!readInt(c, INT_MIN, kMaxBits, &format->bits))
                return false;
            if (format->bits <= 0)
                format->bits = -1;
        } else if (named(c, "MRATE")) {
            // A rate of 0 would divide every length by zero: it reads as unset.
            if (!readDouble(c, &format->rate) || format->rate > kMaxRate ||
                (format->rate > 0.0 && format->rate < 1.0))
                return false;
            if (format->rate <= 0.0)
                format->rate = -1.0;
        }
    }
    return true;
}

int ExtractXmlSong(KFile *file, const XmlObject *node)
{
    if (!file || !named(node, "SONG"))
        return -1;
    for (int i = 0; i < node->count; ++i) {
        const XmlObject *c = node->children[i];
        if (!c || !isValidSongKey(c->name) || !c->text || addSong(file, c->name, c->text) != 1)
            return -1;
    }
    return 1;
}

KMix *ExtractXmlMix(KFile *file, const XmlObject *node, int *isDefault)
{
    MixDesc desc;
    if (!file || !named(node, "TOVIX") || !parseXmlMix(node, &desc))
        return nullptr;
    if (isDefault)
        *isDefault = desc.isDefault;
    return buildMix(file, desc);
}

KMix *ExtractXmlSlct(KFile *file, const XmlObject *node, int *isDefault)
{
    MixDesc desc;
    if (!file || !(named(node, "SLCT") || named(node, "SLCT_DEF")) || !parseXmlSlct(node, &desc))
        return nullptr;
    if (isDefault)
        *isDefault = desc.isDefault;
    return buildMix(file, desc);
}

int LoadFromXmlDesc(KFile *file, const char *text)
{
    lastRefusal.clear();
    if (!file || !text) {
        lastRefusal = "no project or no text";
        return TVR_ERR_PARAM;
    }
    XmlObject *root = XmlParserFromString(text);
    if (!root) {
        report(KDESC_ERR_UNREADABLE, "the text is not a well-formed tag tree");
        return KDESC_ERR_UNREADABLE;
    }
    KFile *work = newZark(nullptr, kFormatVersion);
    int result = work ? loadTree(work, root) : TVR_ERR_MEMORY;
    DeleteRecXmlObject(root);
    if (result == 1) {
        // The loaded contents move into the caller's project, which keeps its name; the old
        // contents leave with the scratch record. Nothing in the graph points at the record.
        std::swap(*file, *work);
        std::swap(file->name, work->name);
    }
    _freeZark(work);
    return result;
}

const char *getXmlDescErrorReason(void)
{
    return lastRefusal.c_str();
}

const char *getStrXmlDescError(int code)
{
    if (code == 1)
        return "No error.";
    if (code == KDESC_ERR_UNREADABLE)
        return "The project description cannot be read.";
    if (code == KDESC_ERR_VERSION)
        return "The project description has no version, or one this program cannot read.";
    if (code <= KDESC_ERR_CHILD)
        return "The project description holds an invalid element.";
    switch (code) {
    case -1: return "The groups and rules of the project description cannot be linked.";
    case -2: return "The mix laws of the project description cannot be applied.";
    case TVR_ERR_MIX_CORRUPTED:
    case TVR_ERR_MIX_MANAGER: return "The stored mixes of the project description are corrupted.";
    case TVR_ERR_BAD_TRACKS: return "Tracks without audio cannot be removed from the project.";
    case TVR_ERR_MEMORY: return "Not enough memory to load the project description.";
    case TVR_ERR_PARAM: return "Bad parameters.";
    default: return "The project description cannot be loaded.";
    }
}
