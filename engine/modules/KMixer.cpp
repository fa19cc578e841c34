// The mixer (see KMixer.h).
#include "KMixer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "KBufferRing.h"
#include "KContainer.h"
#include "KDsp.h"
#include "KElement.h"
#include "KMix.h"
#include "KPlayer.h"
#include "tvr_utils.h"

namespace
{

// --- Meters --------------------------------------------------------------------------------------
struct Meters {
    std::mutex lock;
    int slots = 0;
    int elements = 0;
    bool ready = false;
    double *master = nullptr; // slots x 2
    double *elts = nullptr;   // slots x elements x 2
    int *counts = nullptr;    // slots x elements
    // The block being mixed, copied into its ring slot at the block's end (filler thread only).
    double scratchMaster[2] = {0.0, 0.0};
    double *scratchElts = nullptr; // elements x 2
    int *scratchCounts = nullptr;  // elements
};
Meters g_meters;

std::atomic<ESOMixAudioArg *> g_mixer{nullptr};
// Name of the mix whose mastering the mixer runs (for so_mixEqualMoved), under its own lock.
std::mutex g_masterNameLock;
char g_masterName[256] = "";

void freeMetersLocked()
{
    tvr_free(g_meters.master);
    tvr_free(g_meters.elts);
    tvr_free(g_meters.counts);
    tvr_free(g_meters.scratchElts);
    tvr_free(g_meters.scratchCounts);
    g_meters.master = g_meters.elts = g_meters.scratchElts = nullptr;
    g_meters.counts = g_meters.scratchCounts = nullptr;
    g_meters.slots = g_meters.elements = 0;
    g_meters.ready = false;
}

void clearScratch()
{
    g_meters.scratchMaster[0] = g_meters.scratchMaster[1] = 0.0;
    if (g_meters.scratchElts)
        std::memset(g_meters.scratchElts, 0, sizeof(double) * 2 * g_meters.elements);
    if (g_meters.scratchCounts)
        std::memset(g_meters.scratchCounts, 0, sizeof(int) * g_meters.elements);
}

// Copies the block's meters into the ring slot the filler holds.
void publishScratch(int slot)
{
    std::lock_guard<std::mutex> guard(g_meters.lock);
    if (!g_meters.ready || slot < 0 || slot >= g_meters.slots)
        return;
    const int n = g_meters.elements;
    g_meters.master[2 * slot] = g_meters.scratchMaster[0];
    g_meters.master[2 * slot + 1] = g_meters.scratchMaster[1];
    std::memcpy(g_meters.elts + static_cast<size_t>(slot) * n * 2, g_meters.scratchElts,
                sizeof(double) * 2 * n);
    std::memcpy(g_meters.counts + static_cast<size_t>(slot) * n, g_meters.scratchCounts,
                sizeof(int) * n);
}

// Pan factors of a pan value: left 1 - p for p > 0, right 1 + p for p < 0.
inline void panFactors(double pan, double &left, double &right)
{
    left = pan > 0.0 ? 1.0 - pan : 1.0;
    right = pan < 0.0 ? 1.0 + pan : 1.0;
}

// Sum of the squares of n samples, exact.
uint64_t sumOfSquares(const int16_t *samples, int n)
{
    uint64_t sum = 0;
    int i = 0;
#ifdef __SSE2__
    // Eight samples a step: pairs of squares (each pair at most 2^31) widened to 64 bits.
    const __m128i zero = _mm_setzero_si128();
    __m128i acc = zero;
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(samples + i));
        const __m128i pairs = _mm_madd_epi16(v, v);
        acc = _mm_add_epi64(acc, _mm_unpacklo_epi32(pairs, zero));
        acc = _mm_add_epi64(acc, _mm_unpackhi_epi32(pairs, zero));
    }
    uint64_t lanes[2];
    _mm_storeu_si128(reinterpret_cast<__m128i *>(lanes), acc);
    sum = lanes[0] + lanes[1];
#endif
    for (; i < n; ++i)
        sum += static_cast<uint64_t>(static_cast<int32_t>(samples[i]) * samples[i]);
    return sum;
}

} // namespace

void sumOfSquaresStereo(const int16_t *samples, int frames, uint64_t *left, uint64_t *right)
{
    uint64_t l = 0, r = 0;
    int i = 0;
#ifdef __SSE2__
    // Four frames a step: each channel's squares (at most 2^30) in 32-bit lanes, widened.
    const __m128i zero = _mm_setzero_si128();
    const __m128i leftMask = _mm_set1_epi32(0x0000ffff);
    __m128i accLeft = zero, accRight = zero;
    for (; i + 4 <= frames; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(samples + 2 * i));
        const __m128i lv = _mm_and_si128(v, leftMask);
        const __m128i rv = _mm_andnot_si128(leftMask, v);
        const __m128i ls = _mm_madd_epi16(lv, lv), rs = _mm_madd_epi16(rv, rv);
        accLeft = _mm_add_epi64(accLeft, _mm_unpacklo_epi32(ls, zero));
        accLeft = _mm_add_epi64(accLeft, _mm_unpackhi_epi32(ls, zero));
        accRight = _mm_add_epi64(accRight, _mm_unpacklo_epi32(rs, zero));
        accRight = _mm_add_epi64(accRight, _mm_unpackhi_epi32(rs, zero));
    }
    uint64_t lanes[2];
    _mm_storeu_si128(reinterpret_cast<__m128i *>(lanes), accLeft);
    l = lanes[0] + lanes[1];
    _mm_storeu_si128(reinterpret_cast<__m128i *>(lanes), accRight);
    r = lanes[0] + lanes[1];
#endif
    for (; i < frames; ++i) {
        l += static_cast<uint64_t>(static_cast<int32_t>(samples[2 * i]) * samples[2 * i]);
        r += static_cast<uint64_t>(static_cast<int32_t>(samples[2 * i + 1]) * samples[2 * i + 1]);
    }
    *left = l;
    *right = r;
}

namespace
{

// Track meters: sums of squares of the track's block with its gain and its own pan factors
// (lf, rf), into the element `id` and (weighted by the pan pair) into each of its direct parents
// `parents` (the ids taken from the project when the block's gains were decided).
void computeStatsTrack(const int16_t *samples, int frames, int channels, double gain,
                       const double pair[2], double lf, double rf, int id, const int *parents,
                       int parentCount)
{
    if (!g_meters.scratchElts || channels < 1 || channels > 2)
        return;
    // The squares are summed exactly on integers (a block's sum fits 64 bits) and scaled once.
    const double k = gain / 32768.0, k2 = k * k;
    double s0, s1;
    if (channels == 1) {
        const uint64_t sum = sumOfSquares(samples, frames);
        s0 = static_cast<double>(sum) * k2 * lf * lf;
        s1 = static_cast<double>(sum) * k2 * rf * rf;
    } else {
        uint64_t left = 0, right = 0;
        sumOfSquaresStereo(samples, frames, &left, &right);
        s0 = static_cast<double>(left) * k2 * lf * lf;
        s1 = static_cast<double>(right) * k2 * rf * rf;
    }
    const int n = g_meters.elements;
    // Elements made after the meters were sized are not measured.
    if (id >= 0 && id < n) {
        g_meters.scratchElts[2 * id] += s0;
        g_meters.scratchElts[2 * id + 1] += s1;
    }
    for (int p = 0; p < parentCount; ++p) {
        const int parent = parents[p];
        if (parent < 0 || parent >= n)
            continue;
        g_meters.scratchElts[2 * parent] += pair[0] * pair[0] * s0;
        g_meters.scratchElts[2 * parent + 1] += pair[1] * pair[1] * s1;
        g_meters.scratchCounts[parent] += 1;
    }
}

void computeStats(const int16_t *block, int frames)
{
    double s0 = 0.0, s1 = 0.0;
    for (int i = 0; i < frames; ++i) {
        const double l = block[2 * i] / 32768.0, r = block[2 * i + 1] / 32768.0;
        s0 += l * l;
        s1 += r * r;
    }
    g_meters.scratchMaster[0] = s0;
    g_meters.scratchMaster[1] = s1;
}

// --- Mastering -----------------------------------------------------------------------------------
void freeMastering(ESOMixAudioArg *m)
{
    SEqFx_delete(&m->masterLeft);
    SEqFx_delete(&m->masterRight);
    tvr_free(m->masterMix);
    m->masterMix = nullptr;
}

// The mastering curve of the mix on play, or null.
const _KEqualization *masteringCurve(KFile *file, const char **mixName)
{
    if (!file || !file->mixes)
        return nullptr;
    const char *name = MixManager_MixOnPlay(file->mixes);
    KMix *mix = name ? MixManager_getMix(file->mixes, name) : nullptr;
    if (!mix || !mix->mastering)
        return nullptr;
    *mixName = name;
    return mix->mastering;
}

// Readies the mastering equaliser of the mix on play for the block (project lock held): builds
// its states for this mix, rate and frame count, and samples the curve again once it moved.
// Returns whether the block is mastered.
bool prepareMastering(ESOMixAudioArg *m)
{
    const char *name = nullptr;
    const _KEqualization *curve = masteringCurve(m->file, &name);
    if (!curve)
        return false;
    const double rate = m->format->rate;
    if (!m->masterLeft || !m->masterMix || std::strcmp(m->masterMix, name) != 0 ||
        m->masterRate != rate || m->masterFrames != m->frames) {
        freeMastering(m);
        m->masterLeft = SEqFx_init(rate, m->frames, curve);
        m->masterRight = SEqFx_init(rate, m->frames, curve);
        m->masterMix = _tvr_strcpy(name);
        if (!m->masterLeft || !m->masterRight || !m->masterMix) {
            freeMastering(m);
            return false;
        }
        m->masterRate = rate;
        m->masterFrames = m->frames;
        std::lock_guard<std::mutex> guard(g_masterNameLock);
        std::snprintf(g_masterName, sizeof g_masterName, "%s", name);
    }
    if (m->masteringMoved.exchange(0)) {
        kfx_resetEqual(m->masterLeft, curve);
        kfx_resetEqual(m->masterRight, curve);
    }
    return true;
}

// Runs the mastering equaliser readied by prepareMastering over the block in place (its states
// hold the sampled curve: no project lock); flush resets the stream after it.
void masterBlock(ESOMixAudioArg *m, int16_t *block, bool flush)
{
    convertIntTo2Double(block, m->eqLeft, m->eqRight, m->frames);
    if (kfx_equalize(m->masterLeft, m->eqLeft))
        kfx_equalize(m->masterRight, m->eqRight);
    convert2DoubleToInt(m->eqLeft, m->eqRight, block, m->frames);
    if (flush) {
        // The block already carries the held-over tail; only the stream is reset for a restart.
        kfx_equalize_emptyBuffer(m->masterLeft, m->eqLeft);
        kfx_equalize_emptyBuffer(m->masterRight, m->eqRight);
    }
}

// --- Slots ---------------------------------------------------------------------------------------
void closeSlot(SOSlot *s)
{
    if (s->file)
        closeKAudioReading(&s->file);
    if (s->raw)
        k_sndfile_close(&s->raw);
    if (s->vorbis)
        KCodecVorbis_close(&s->vorbis);
    KResampler_delete(&s->resampler);
    tvr_free(s->in);
    tvr_free(s->resampled);
    s->in = s->resampled = nullptr;
}

void freeSlots(ESOMixAudioArg *m)
{
    if (!m->slots)
        return;
    for (int i = 0; i < m->trackCount; ++i)
        closeSlot(&m->slots[i]);
    tvr_free(m->slots);
    m->slots = nullptr;
}

bool hasAudioPath(const KTrack *track)
{
    return track->path && track->path[0] && std::strcmp(track->path, KTRACK_IGNORE_AUDIO) != 0;
}

// Sets the slot's timing and buffers once its reader is open.
bool prepareSlot(ESOMixAudioArg *m, SOSlot *s)
{
    const double out = m->format->rate;
    const double ratio = out / s->rate;
    const KTrack *t = s->track;
    s->outStart = static_cast<int64_t>(std::floor(static_cast<double>(t->date) * ratio));
    s->outEnd = static_cast<int64_t>(
        std::floor((static_cast<double>(t->date) + static_cast<double>(t->length)) * ratio));
    s->framesPerBlock = static_cast<int>(std::ceil(m->frames * s->rate / out));
    s->fadeLength = std::max(1, static_cast<int>(2.0 * out / m->frames));
    s->inCapacity = s->framesPerBlock + 4;
    if (s->rate != out) {
        s->resampler = KResampler_new(s->rate, out, s->channels);
        if (!s->resampler)
            return false;
        s->inCapacity = std::max(s->inCapacity, KResampler_inputFor(s->resampler, m->frames) + 4);
    }
    s->in = static_cast<int16_t *>(
        tvr_calloc(static_cast<size_t>(s->inCapacity) * s->channels, sizeof(int16_t)));
    s->resampled = static_cast<int16_t *>(
        tvr_calloc(static_cast<size_t>(m->frames) * s->channels, sizeof(int16_t)));
    if (!s->in || !s->resampled)
        return false;
    // A freshly opened reader stands at the track's beginning.
    s->started = 1;
    return true;
}

// Reads n track frames into the slot's buffer, zero-filling what the reader does not deliver.
void readFrames(ESOMixAudioArg *m, int slot, int n)
{
    SOSlot *s = &m->slots[slot];
    const int bytes = n * s->channels * 2;
    int got = so_ReadSamplesInMeskFile(m, slot, s->in, bytes);
    if (got < 0)
        got = 0;
    int filled = got;
    // Readers may deliver less than asked before the end: keep reading.
    while (got > 0 && filled < bytes) {
        got = so_ReadSamplesInMeskFile(m, slot, reinterpret_cast<uint8_t *>(s->in) + filled,
                                       bytes - filled);
        if (got > 0)
            filled += got;
    }
    if (filled < bytes)
        std::memset(reinterpret_cast<uint8_t *>(s->in) + filled, 0,
                    static_cast<size_t>(bytes - filled));
}

// After a seek or a loop restart every slot is sought again; after a seek every track also
// fades in again.
void clearStarted(ESOMixAudioArg *m, bool resetFades)
{
    for (int i = 0; i < m->trackCount; ++i) {
        m->slots[i].started = 0;
        m->slots[i].unplaced = 0;
        if (resetFades)
            m->slots[i].fadeCounter = 0;
    }
}

// The transport's decision for one block (steps under mutexStatus). Returns whether the block
// is mixed and sets the block gain.
bool decideBlock(ESOMixAudioArg *m, double &blockGain)
{
    SOTransport &tr = so_transport();
    const double step = std::fabs(tr.fadeStep);
    double &g = tr.fadeGain;
    const int status = tr.status.load();
    switch (status) {
    case SO_PAUSED:
        if (g > 0.0 && g - step > 0.0) {
            g -= step;
            // The readers move on with the fade-out, so the position does too.
            ++m->counter;
            break;
        }
        g = 0.0;
        return false;
    case SO_PLAYING:
        g = std::min(1.0, g + step);
        ++m->counter;
        break;
    case SO_VOLUME_RAMP: {
        g = std::min(1.0, g + step);
        const double v = tr.volume.load(), target = tr.newVolume.load();
        if (std::fabs(v - target) > step)
            tr.volume.store(v + (target > v ? step : -step));
        else {
            tr.volume.store(target);
            tr.status.store(SO_PLAYING);
        }
        ++m->counter;
        break;
    }
    case SO_SEEK_PLAYING:
    case SO_SEEK_PAUSED:
        if (g > 0.0 && g - step > 0.0) {
            g -= step;
            ++m->counter;
            break;
        }
        g = 0.0;
        tr.fadeStep = step;
        m->counter = static_cast<int64_t>(static_cast<double>(tr.pieceFrames.load()) *
                                          std::clamp(tr.seekTarget.load(), 0.0, 1.0) / m->frames);
        initializeStatus(m->file);
        clearStarted(m, true);
        tr.seekTarget.store(-1.0);
        if (status == SO_SEEK_PAUSED) {
            tr.status.store(SO_PAUSED);
            return false;
        }
        // A volume asked for during the seek is reached by a ramp.
        tr.status.store(tr.volume.load() != tr.newVolume.load() ? SO_VOLUME_RAMP : SO_PLAYING);
        break;
    case SO_END:
        tr.fadeStep = step;
        g = 0.0;
        // The loop switch is for listening: a render plays the piece once and ends.
        if (tr.loop.load() > 0 && !m->exportMode) {
            initializeStatus(m->file);
            if (static_cast<double>(tr.pieceFrames.load()) <
                static_cast<double>(m->frames) * static_cast<double>(m->counter)) {
                tr.status.store(SO_PLAYING);
                m->counter = 0;
                clearStarted(m, false);
                if (tr.loop.load() == SO_LOOP_RANDOM) {
                    m->reselect.store(1);
                    KSemaphore_post(m->sem);
                }
            } else
                ++m->counter;
            break;
        }
        [[fallthrough]];
    case SO_STOPPED:
        tr.fadeStep = -step;
        if (g > 0.0) {
            g = std::max(0.0, g - step);
            ++m->counter;
            break;
        }
        KSemaphore_post(m->sem);
        return false;
    default:
        std::fprintf(stderr, "so_mixaudio - switch : mode inconnu !!!\n");
        tr.date.store(0);
        return false;
    }
    blockGain = tr.volume.load() * std::clamp(g, 0.0, 1.0);
    return true;
}

// Decides what the slot does in the block starting at output frame `date` (project lock held):
// whether the track lies in the block, and whether its reader must be placed first. Clears
// `ended` when the track has audio at or after the block.
void planSlot(ESOMixAudioArg *m, int i, int64_t date, bool &ended)
{
    SOSlot *s = &m->slots[i];
    s->active = 0;
    s->wantSeek = 0;
    s->sought = 0;
    s->ready = nullptr;
    if (!s->track || (!s->file && !s->raw && !s->vorbis))
        return;
    const int frames = m->frames;
    if (date >= s->outEnd) {
        s->started = 0;
        return; // counts as ended
    }
    ended = false;
    if (date + frames <= s->outStart)
        return; // not yet begun
    const KElement *elt = s->track->elt;
    if (!elt)
        return;
    const int64_t offset = std::max<int64_t>(0, s->outStart - date);
    const int64_t last = std::min<int64_t>(frames, s->outEnd - date);
    s->offset = static_cast<int>(offset);
    s->last = static_cast<int>(last);
    s->count = static_cast<int>(last - offset); // output frames of this track in the block
    if (s->unplaced) {
        m->silencedBlocks.fetch_add(1);
        return;
    }
    s->active = 1;
    if (elt->status > 0 && !s->started) {
        s->wantSeek = 1;
        s->seekStatus = elt->status;
    }
}

// Places and reads the slot's block as planned (without the project lock: it touches the
// reader and the slot's buffers only).
void readSlot(ESOMixAudioArg *m, int i, int64_t date)
{
    SOSlot *s = &m->slots[i];
    if (!s->active)
        return;
    const double out = m->format->rate;
    const int n = s->count;
    if (s->wantSeek) {
        const int64_t local = std::max<int64_t>(0, date - s->outStart);
        if (so_SeekSamplesInMeskFile(
                m, i, static_cast<int64_t>(static_cast<double>(local) * s->rate / out)) != 1) {
            // The reader is still where it was: reading it would play audio of another date.
            s->unplaced = 1;
            m->silencedBlocks.fetch_add(1);
            return;
        }
        if (s->resampler)
            KResampler_reset(s->resampler);
        s->started = 1;
        s->sought = 1;
    }
    if (!s->started || n <= 0)
        return;
    if (s->resampler) {
        const int need = std::min(KResampler_inputFor(s->resampler, n), s->inCapacity);
        readFrames(m, i, need);
        int made = KResampler_process_KInt16(s->resampler, s->in, need, s->resampled, n);
        if (made < 0)
            made = 0;
        if (made < n)
            std::memset(s->resampled + made * s->channels, 0,
                        sizeof(int16_t) * (n - made) * s->channels);
        s->ready = s->resampled;
    } else {
        readFrames(m, i, n);
        s->ready = s->in;
    }
    if (s->last < m->frames)
        s->started = 0; // the track's last block: a restart seeks it again
}

// Decides how the slot's block read by readSlot is mixed (project lock held): the track's fade
// follows its status, then its level and pans give the slot's gains and its meters' targets.
// Clears the slot's block when it is not heard.
void weighSlot(ESOMixAudioArg *m, int i, double blockGain, const double basePair[2],
               double masterPan)
{
    SOSlot *s = &m->slots[i];
    KElement *elt = s->active ? s->track->elt : nullptr;
    if (!elt)
        return;
    // A placed track starts its fade-in, unless its status changed while it was read.
    if (s->sought && elt->status == s->seekStatus)
        elt->status = 3;
    const int16_t *block = s->ready;
    s->ready = nullptr; // given back below once the track is heard
    if (!block)
        return;
    if (elt->status == 0 || elt->status == KSTATUS_STOPPED ||
        !eltCanPlayWithMuteSoloMode(m->file, elt))
        return;
    double w = 1.0;
    switch (elt->status) {
    case KSTATUS_BY_MEMBER:
        s->fadeCounter = s->fadeLength;
        break;
    case KSTATUS_ON:
    case 3:
        s->fadeCounter += 1;
        w = static_cast<double>(s->fadeCounter) / s->fadeLength;
        if (s->fadeCounter >= s->fadeLength) {
            s->fadeCounter = s->fadeLength;
            elt->status = KSTATUS_BY_MEMBER;
            w = 1.0;
        }
        break;
    case KSTATUS_OFF:
        s->fadeCounter -= 1;
        w = static_cast<double>(std::max(0, s->fadeCounter)) / s->fadeLength;
        if (s->fadeCounter <= 0) {
            s->fadeCounter = 0;
            elt->status = KSTATUS_STOPPED;
            if (elt->levels)
                changeLevel(elt, -elt->levels->level);
            w = 0.0;
        }
        break;
    default:
        std::fprintf(stderr, "!!! WARNING : unknown status (%d) !!!\n", elt->status);
        return;
    }
    w = std::clamp(w, 0.0, 1.0);
    const double eltGain = elt->levels ? elt->levels->gain : 1.0;
    double pair[2] = {basePair[0], basePair[1]};
    double pl = 1.0, pr = 1.0;
    k_getTotalPan(elt, &pl, &pr);
    pair[0] *= pl;
    pair[1] *= pr;
    s->meterGain = w * eltGain;
    s->meterPair[0] = pair[0];
    s->meterPair[1] = pair[1];
    panFactors(elt->pan, s->meterPan[0], s->meterPan[1]);
    s->meterId = elt->id;
    s->meterParentFirst = static_cast<int>(m->meterParents.size());
    for (GList *l = elt->parents.head; l; l = l->next) {
        const KElement *parent = static_cast<const KElement *>(l->data);
        if (parent)
            m->meterParents.push_back(parent->id);
    }
    s->meterParentCount = static_cast<int>(m->meterParents.size()) - s->meterParentFirst;
    double ql, qr;
    panFactors(masterPan, ql, qr);
    s->mixPair[0] = pair[0] * ql;
    s->mixPair[1] = pair[1] * qr;
    s->mixGain = blockGain * w * eltGain;
    s->ready = block;
}

// Adds the slot's weighed block into the sums and its meters (no project lock: it reads only
// what weighSlot took from the project).
void mixSlot(ESOMixAudioArg *m, int i)
{
    SOSlot *s = &m->slots[i];
    const int16_t *block = s->ready;
    s->ready = nullptr;
    if (!block)
        return;
    computeStatsTrack(block, s->count, s->channels, s->meterGain, s->meterPair, s->meterPan[0],
                      s->meterPan[1], s->meterId, m->meterParents.data() + s->meterParentFirst,
                      s->meterParentCount);
    k_mixaudio_KInt16(m->mix + 2 * s->offset, 2, block, s->channels, s->mixPair, s->count,
                      s->mixGain);
}

// What a slot's reader opens, taken from the project under its lock.
struct SlotSource {
    int slot;
    KTrack *track;
    std::string path; // empty: a track without audio, which stays silent
    int stream;
};

bool sameSource(const SlotSource &a, const SlotSource &b)
{
    return a.slot == b.slot && a.track == b.track && a.path == b.path && a.stream == b.stream;
}

// The readers each track's slot needs, in the project's order (the slot keeps the first track
// given to it). The caller holds the project lock. False, with a message, for a track without a
// valid slot.
bool collectSources(ESOMixAudioArg *m, std::vector<SlotSource> &sources)
{
    sources.clear();
    std::vector<char> taken(static_cast<size_t>(std::max(0, m->trackCount)), 0);
    int next = 0;
    for (KElement *e = m->file->firstCreated; e; e = e->nextCreated) {
        KTrack *track = KElement_track(e);
        if (!track)
            continue;
        const int slot = m->sourceMode == 1 ? track->stream : next++;
        if (slot < 0 || slot >= m->trackCount) {
            std::fprintf(stderr, "Error so_sLForeach : track '%s' has no valid slot (%d)\n",
                         e->name ? e->name : "", slot);
            return false;
        }
        if (taken[static_cast<size_t>(slot)] || m->slots[slot].track)
            continue;
        taken[static_cast<size_t>(slot)] = 1;
        SlotSource source{slot, track, std::string(), track->stream};
        if (m->sourceMode == 1) {
            // Tracks inside the container the project was read from.
            const char *path = hasAudioPath(track) ? track->path : m->file->name;
            source.path = path ? path : "";
        } else if (hasAudioPath(track)) {
            source.path = track->path;
        }
        sources.push_back(std::move(source));
    }
    return true;
}

// Opens the reader of one source into `s` (reader, channels and rate); touches nothing of the
// project, so it runs without the project lock. False, with a message, on failure.
bool openReader(ESOMixAudioArg *m, SOSlot *s, const SlotSource &source)
{
    if (m->sourceMode == 0) {
        if (source.path.empty())
            return true; // a track without audio stays silent
        KStreamFormat format = {};
        int frames = 0;
        s->file = openKAudioFile(source.path.c_str(), &format, &frames);
        if (!s->file) {
            KStreamFormat_init(&format);
            return false;
        }
        s->channels = format.channels;
        s->rate = format.rate;
        KStreamFormat_init(&format);
    } else {
        // The reader follows what the container stores (MPEG tracks cannot be read); a
        // description that does not name the codec lets the file tell, and when even the file
        // cannot, each reader is tried.
        const char *path = source.path.empty() ? nullptr : source.path.c_str();
        if (path && m->codec == 0)
            m->codec = KContainer_trackCodec(path);
        const bool unknown = m->codec == 0;
        if (path && m->codec != KAUDIOFMT_VORBIS && m->codec != KAUDIOFMT_MPEG) {
            s->raw = k_oggSndfileOpen(path, source.stream);
            if (s->raw) {
                s->channels = s->raw->info.channels;
                s->rate = s->raw->info.samplerate;
                if (unknown)
                    m->codec = SF_FORMAT_WAV;
            }
        }
        if (path && !s->raw && (m->codec == KAUDIOFMT_VORBIS || unknown)) {
            s->vorbis = tvrVorbis_load(path, source.stream, 0, 2, 0.0);
            if (s->vorbis) {
                s->channels = s->vorbis->channels;
                s->rate = s->vorbis->rate;
                m->codec = KAUDIOFMT_VORBIS;
            }
        }
        if (!s->raw && !s->vorbis) {
            std::fprintf(stderr, "Error so_LoadSamplesFromMeskFile : cannot open stream %d\n",
                         source.stream);
            return false;
        }
    }
    if (s->channels < 1 || s->channels > 2 || !(s->rate >= 1.0) || s->rate > KAUDIOFILE_MAX_RATE) {
        std::fprintf(stderr, "Error so_LoadSamplesFromMeskFile : unsupported track format\n");
        return false;
    }
    return true;
}

// Gives slot `slot` the track and the reader opened in `opened` (which is left empty), and sets
// its timing and buffers. The caller holds the project lock.
bool installReader(ESOMixAudioArg *m, int slot, KTrack *track, SOSlot *opened)
{
    SOSlot *s = &m->slots[slot];
    s->track = track;
    s->file = opened->file;
    s->raw = opened->raw;
    s->vorbis = opened->vorbis;
    s->channels = opened->channels;
    s->rate = opened->rate;
    *opened = SOSlot{};
    if (!s->file && !s->raw && !s->vorbis)
        return true; // silent track
    return prepareSlot(m, s);
}

// Loads every track into its slot (first block; the filler does not hold the project lock).
// Names and paths are taken under the lock, the readers open without it (opening a container's
// tracks takes long, and the editor must not wait for it), and the readers are installed under
// the lock again. A track changed meanwhile is opened again under the lock.
void loadTracks(ESOMixAudioArg *m)
{
    m->counter = -1;
    m->slotCount = 0;
    if (!m->slots)
        return;
    SOTransport &tr = so_transport();
    std::vector<SlotSource> sources;
    k_lockProject();
    bool ok = collectSources(m, sources);
    k_unlockProject();
    std::vector<SOSlot> opened(sources.size(), SOSlot{});
    bool stopped = tr.status.load() == SO_STOPPED;
    for (size_t i = 0; ok && !stopped && i < sources.size(); ++i) {
        // A stop while loading: the play ends without the other tracks.
        if (tr.status.load() == SO_STOPPED) {
            stopped = true;
            break;
        }
        ok = openReader(m, &opened[i], sources[i]);
        // The last one is told by the finished state, which comes with the playing message
        // (a count reaching the total would finish the progress without it).
        if (ok && m->progress && i + 1 < sources.size())
            KProgress_setIProg(m->progress, static_cast<int64_t>(i + 1));
    }
    k_lockProject();
    if (ok && !stopped) {
        std::vector<SlotSource> now;
        ok = collectSources(m, now);
        for (size_t j = 0; ok && j < now.size(); ++j) {
            size_t i = 0;
            while (i < sources.size() && sources[i].slot != now[j].slot)
                ++i;
            m->slotCount++;
            if (i < sources.size() && sameSource(sources[i], now[j])) {
                ok = installReader(m, now[j].slot, now[j].track, &opened[i]);
            } else {
                SOSlot fresh{};
                ok = openReader(m, &fresh, now[j]) &&
                     installReader(m, now[j].slot, now[j].track, &fresh);
                closeSlot(&fresh);
            }
        }
    }
    for (SOSlot &s : opened)
        closeSlot(&s);
    if (!ok)
        freeSlots(m);
    k_unlockProject();
}

} // namespace

// --- State ---------------------------------------------------------------------------------------
ESOMixAudioArg *init_ESOMixAudioArg(KFile *file, double rate, int frames, int exportMode,
                                    KProgress *progress)
{
    if (!file || frames < 1)
        return nullptr;
    ESOMixAudioArg *m = new (std::nothrow) ESOMixAudioArg();
    if (!m)
        return nullptr;
    m->file = file;
    m->frames = frames;
    m->exportMode = exportMode;
    m->progress = exportMode ? nullptr : progress;
    m->sourceMode = k_isAProject(file) ? 0 : 1;
    m->codec = file->format ? (file->format->code & KAUDIOFMT_MAJOR_MASK) : 0;
    m->trackCount = tracksNbr(file);
    m->masteringMoved = 0;
    m->masteringLatency = 0;
    m->blocksMixed = 0;
    m->silencedBlocks = 0;
    m->reselect = 0;
    if (!(rate > 0.0))
        rate = (file->format && file->format->rate > 0.0) ? file->format->rate : 44100.0;
    // Rates the readers accept; anything else would size the track buffers without bound.
    if (rate < 1000.0 || rate > KAUDIOFILE_MAX_RATE)
        rate = 44100.0;
    m->format = KStreamFormat_new();
    m->name = file->name ? _tvr_strcpy(file->name) : nullptr;
    m->slots = static_cast<SOSlot *>(
        tvr_calloc(static_cast<size_t>(std::max(1, m->trackCount)), sizeof(SOSlot)));
    m->mix = static_cast<int32_t *>(tvr_calloc(static_cast<size_t>(frames) * 2, sizeof(int32_t)));
    m->eqLeft = static_cast<double *>(tvr_calloc(static_cast<size_t>(frames), sizeof(double)));
    m->eqRight = static_cast<double *>(tvr_calloc(static_cast<size_t>(frames), sizeof(double)));
    m->sem = KSemaphore_create(0);
    if (!m->format || (file->name && !m->name) || !m->slots || !m->mix || !m->eqLeft ||
        !m->eqRight || !m->sem) {
        _delete_Memory(&m);
        return nullptr;
    }
    m->format->bits = 16;
    m->format->channels = 2;
    m->format->rate = rate;
    return m;
}

void _delete_Memory(ESOMixAudioArg **mixer)
{
    if (!mixer || !*mixer)
        return;
    ESOMixAudioArg *m = *mixer;
    freeSlots(m);
    freeMastering(m);
    _KSemaphore_destroy(m->sem);
    KStreamFormat_delete(&m->format);
    tvr_free(m->name);
    tvr_free(m->mix);
    tvr_free(m->eqLeft);
    tvr_free(m->eqRight);
    delete m;
    *mixer = nullptr;
}

ESOMixAudioArg *so_currentMixer(void)
{
    return g_mixer.load();
}

void so_setCurrentMixer(ESOMixAudioArg *mixer)
{
    // Under the project lock, so that the meters' readers never hold a freed state.
    k_lockProject();
    g_mixer.store(mixer);
    k_unlockProject();
}

// --- Loading and reading -------------------------------------------------------------------------
int so_sLForeach(ESOMixAudioArg *m)
{
    if (!m->slots)
        return 0;
    SOTransport &tr = so_transport();
    if (tr.status.load() == SO_STOPPED)
        return 1;
    std::vector<SlotSource> sources;
    if (!collectSources(m, sources))
        return 0;
    for (const SlotSource &source : sources) {
        if (tr.status.load() == SO_STOPPED)
            return 1; // a stop while loading: the play ends without the other tracks
        m->slotCount++;
        if (!so_LoadSamplesFromMeskFile(m, source.slot, source.track))
            return 0;
        if (m->progress)
            KProgress_setIProg(m->progress, m->slotCount);
    }
    return 1;
}

int so_LoadSamplesFromMeskFile(ESOMixAudioArg *m, int slot, KTrack *track)
{
    if (!m || !m->slots || !track || slot < 0 || slot >= m->trackCount)
        return 0;
    SlotSource source{slot, track, std::string(), track->stream};
    const char *path = hasAudioPath(track) ? track->path
                       : m->sourceMode == 1 ? m->file->name
                                            : nullptr;
    source.path = path ? path : "";
    SOSlot opened{};
    const bool ok = openReader(m, &opened, source) && installReader(m, slot, track, &opened);
    closeSlot(&opened);
    if (!ok)
        m->slots[slot].track = track;
    return ok ? 1 : 0;
}

int so_ReadSamplesInMeskFile(ESOMixAudioArg *m, int slot, void *buffer, int bytes)
{
    SOSlot *s = &m->slots[slot];
    if (s->file)
        return readKAudioSamples(s->file, buffer, bytes);
    if (s->raw)
        return k_sndfile_read(s->raw, buffer, bytes);
    if (s->vorbis)
        return tvrVorbis_read(s->vorbis, buffer, bytes);
    return 0;
}

int so_SeekSamplesInMeskFile(ESOMixAudioArg *m, int slot, int64_t frame)
{
    SOSlot *s = &m->slots[slot];
    frame = std::clamp<int64_t>(frame, 0, 4294967295LL);
    if (s->file)
        return seekKAudioSamples(s->file, frame);
    if (s->raw)
        return k_sndfile_seek(s->raw, frame) >= 0 ? 1 : -1;
    if (s->vorbis)
        return tvrVorbis_seek(s->vorbis, frame);
    return -1;
}

// --- Summing -------------------------------------------------------------------------------------
namespace {

// One track block added into the sums (16-bit samples into 32-bit sums, each product truncated,
// or floats into floats).
template <typename Sum, typename Sample>
void mixInto(Sum *out, int outChannels, const Sample *in, int inChannels, const double pair[2],
             int frames, double gain)
{
    const double x = 0.5 * gain;
    if (x == 0.0 || !out || !in || !pair)
        return;
    if (outChannels == 1) {
        for (int i = 0; i < frames; ++i)
            for (int c = 0; c < inChannels; ++c)
                out[i] += static_cast<Sum>(in[i * inChannels + c] * x);
    } else if (outChannels == 2 && inChannels == 2) {
        const double l = x * pair[0], r = x * pair[1];
        for (int i = 0; i < frames; ++i) {
            out[2 * i] += static_cast<Sum>(in[2 * i] * l);
            out[2 * i + 1] += static_cast<Sum>(in[2 * i + 1] * r);
        }
    } else if (outChannels == 2 && inChannels == 1) {
        const double l = x * pair[0], r = x * pair[1];
        for (int i = 0; i < frames; ++i) {
            out[2 * i] += static_cast<Sum>(in[i] * l);
            out[2 * i + 1] += static_cast<Sum>(in[i] * r);
        }
    }
}

} // namespace

void k_mixaudio_KInt16(int32_t *out, int outChannels, const int16_t *in, int inChannels,
                       const double pair[2], int frames, double gain)
{
    mixInto(out, outChannels, in, inChannels, pair, frames, gain);
}

void k_mixaudio_KFloat(float *out, int outChannels, const float *in, int inChannels,
                       const double pair[2], int frames, double gain)
{
    mixInto(out, outChannels, in, inChannels, pair, frames, gain);
}

void k_saturate_KInt16(const int32_t *sums, int16_t *out, int n)
{
    for (int i = 0; i < n; ++i)
        out[i] = static_cast<int16_t>(std::clamp<int32_t>(sums[i], -32768, 32767));
}

// --- One block -----------------------------------------------------------------------------------
void fillBuffer(uint8_t *buffer, int bytes, void *mixer)
{
    std::memset(buffer, 0, static_cast<size_t>(bytes));
    so_mixaudio(static_cast<ESOMixAudioArg *>(mixer), buffer, bytes);
}

void so_mixaudio(ESOMixAudioArg *m, uint8_t *out, int bytes)
{
    if (!m || !out || bytes < 4)
        return;
    SOTransport &tr = so_transport();
    m->blocksMixed.fetch_add(1);
    const bool first = m->blockBytes == 0;
    if (first) {
        m->blockBytes = bytes;
        loadTracks(m);
    }
    k_lockProject();
    if (first) {
        if (m->slots) {
            // The message first: whoever sees the finished state reads it.
            KProgress_setMsg(m->progress, "Playing...");
            KProgress_setState(m->progress, KPROGRESS_FINISHED);
        } else {
            if (KMutex_lock(tr.mutexStatus)) {
                tr.status.store(SO_STOPPED);
                KMutex_unlock(tr.mutexStatus);
            }
            KProgress_setMsg(m->progress, "Error during playing initialization...");
            KProgress_setState(m->progress, KPROGRESS_FAILED);
        }
        const char *name = nullptr;
        m->masteringLatency = masteringCurve(m->file, &name) ? m->frames / 2 : 0;
    }
    // The block size is fixed by the first call.
    const int frames = std::min(m->frames, bytes / 4);
    int16_t *block = reinterpret_cast<int16_t *>(out);
    if (!m->slots) {
        // Nothing to play: end at once.
        std::memset(out, 0, static_cast<size_t>(bytes));
        KSemaphore_post(m->sem);
        k_unlockProject();
        return;
    }
    double blockGain = 0.0;
    if (!KMutex_lock(tr.mutexStatus)) {
        k_unlockProject();
        return;
    }
    const bool mixIt = decideBlock(m, blockGain);
    KMutex_unlock(tr.mutexStatus);
    if (!mixIt) {
        std::memset(out, 0, static_cast<size_t>(bytes));
        k_unlockProject();
        return;
    }
    // Master level and pan: the mix on play's, else the project's.
    double pan = m->file->masterPan, level = m->file->masterGain;
    if (m->file->mixes && MixManager_MixOnPlay(m->file->mixes)) {
        const KMix *mix = MixManager_getMix(m->file->mixes, MixManager_MixOnPlay(m->file->mixes));
        if (mix) {
            pan = mix->masterPan;
            level = mix->masterGain;
        }
    }
    double pair[2];
    panFactors(pan, pair[0], pair[1]);
    blockGain *= level;
    const double masterPan = tr.masterPan.load();

    const int64_t date = m->counter * m->frames;
    tr.date.store(date);
    clearScratch();
    std::memset(m->mix, 0, sizeof(int32_t) * 2 * m->frames);
    bool ended = true;
    for (int i = 0; i < m->trackCount; ++i)
        planSlot(m, i, date, ended);
    // The tracks are placed and decoded without the project lock: another thread waits for it
    // no longer than the block's planning and weighing, however long the tracks take to decode.
    k_unlockProject();
    for (int i = 0; i < m->trackCount; ++i)
        readSlot(m, i, date);
    k_lockProject();
    m->meterParents.clear();
    for (int i = 0; i < m->trackCount; ++i)
        weighSlot(m, i, blockGain, pair, masterPan);
    const bool mastered = prepareMastering(m);
    k_unlockProject();
    // The sums, the track meters and the mastering, from what was taken under the lock.
    for (int i = 0; i < m->trackCount; ++i)
        mixSlot(m, i);
    k_saturate_KInt16(m->mix, block, 2 * frames);
    const bool end = m->counter > 0 && ended;
    if (mastered)
        masterBlock(m, block, end);
    computeStats(block, frames);
    publishScratch(getFillBufferId());
    if (end && KMutex_lock(tr.mutexStatus)) {
        if (tr.status.load() != SO_STOPPED)
            tr.status.store(SO_END);
        tr.fadeStep = -std::fabs(tr.fadeStep);
        KMutex_unlock(tr.mutexStatus);
    }
}

// --- Meters --------------------------------------------------------------------------------------
int init_stats(int slots, int elements)
{
    std::lock_guard<std::mutex> guard(g_meters.lock);
    if (slots <= 0 || elements <= 0) {
        freeMetersLocked();
        return 0;
    }
    if (slots != g_meters.slots || elements != g_meters.elements || !g_meters.master) {
        freeMetersLocked();
        const size_t s = static_cast<size_t>(slots), e = static_cast<size_t>(elements);
        g_meters.master = static_cast<double *>(tvr_calloc(s * 2, sizeof(double)));
        g_meters.elts = static_cast<double *>(tvr_calloc(s * e * 2, sizeof(double)));
        g_meters.counts = static_cast<int *>(tvr_calloc(s * e, sizeof(int)));
        g_meters.scratchElts = static_cast<double *>(tvr_calloc(e * 2, sizeof(double)));
        g_meters.scratchCounts = static_cast<int *>(tvr_calloc(e, sizeof(int)));
        if (!g_meters.master || !g_meters.elts || !g_meters.counts || !g_meters.scratchElts ||
            !g_meters.scratchCounts) {
            freeMetersLocked();
            return 0;
        }
        g_meters.slots = slots;
        g_meters.elements = elements;
    }
    g_meters.ready = true;
    return 1;
}

void clear_stats_buffer(int slot)
{
    std::lock_guard<std::mutex> guard(g_meters.lock);
    if (slot < 0 || slot >= g_meters.slots)
        return;
    const size_t n = static_cast<size_t>(g_meters.elements);
    g_meters.master[2 * slot] = g_meters.master[2 * slot + 1] = 0.0;
    std::memset(g_meters.elts + slot * n * 2, 0, sizeof(double) * 2 * n);
    std::memset(g_meters.counts + slot * n, 0, sizeof(int) * n);
}

void free_stats(void)
{
    std::lock_guard<std::mutex> guard(g_meters.lock);
    freeMetersLocked();
}

int stats_ready(void)
{
    std::lock_guard<std::mutex> guard(g_meters.lock);
    return g_meters.ready ? 1 : 0;
}

void set_stats_ready(int ready)
{
    std::lock_guard<std::mutex> guard(g_meters.lock);
    g_meters.ready = ready && g_meters.master;
}

double so_getDataView(const char *name, int channel)
{
    // Lock order as on the filler: the project, then the meters.
    k_lockProject();
    ESOMixAudioArg *m = g_mixer.load();
    const int slot = getReadBufferId();
    int id = -1;
    int count = 0;
    if (m && name) {
        const KElement *elt = giveElt(m->file, name);
        id = elt ? elt->id : -1;
        count = m->file->eltCount;
    }
    double value = 0.0;
    {
        std::lock_guard<std::mutex> guard(g_meters.lock);
        const int c = channel == 0 ? 0 : 1;
        if (m && slot >= 0 && g_meters.ready && slot < g_meters.slots &&
            count <= g_meters.elements) {
            if (id >= 0)
                value = g_meters.elts[(static_cast<size_t>(slot) * g_meters.elements + id) * 2 + c];
            else
                value = g_meters.master[2 * slot + c];
        }
    }
    k_unlockProject();
    return value;
}

// --- Mastering -----------------------------------------------------------------------------------
int so_hasMastering(ESOMixAudioArg *mixer)
{
    const char *name = nullptr;
    return mixer && masteringCurve(mixer->file, &name) ? 1 : 0;
}

void so_mixEqualMoved(const char *mix)
{
    if (!mix || so_getStatus() == SO_STOPPED)
        return;
    k_lockProject();
    ESOMixAudioArg *m = g_mixer.load();
    {
        std::lock_guard<std::mutex> guard(g_masterNameLock);
        if (m && std::strcmp(g_masterName, mix) == 0)
            m->masteringMoved.store(1);
    }
    k_unlockProject();
}
