// The playback engine (see KPlayer.h): transport requests, the player thread "so_play" and the
// sound card over SDL2.
#include "KPlayer.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "KBufferRing.h"
#include "KMixer.h"
#include "KRender.h"
#include "KSdl.h"
#include "KSolver.h"
#include "KThread.h"
#include "tvr_utils.h"

namespace
{

SOTransport g_transport;

// The play: its thread and whether it still runs, under g_playLock; every waiter is told the end.
std::mutex g_playLock;
std::condition_variable g_playEnded;
KThread *g_playThread = nullptr;
bool g_playRunning = false;
uint64_t g_playStarts = 0; // plays started so far
// Serialises starts, so that two threads starting at once never run two players.
std::mutex g_startLock;

// Sound card.
std::atomic<bool> g_soundCardInit{false};
SDL_AudioDeviceID g_device = 0;
std::atomic<int> g_scmPaused{0};
// A block copied here when the device asks for another length than the ring's buffers hold;
// allocated by the player thread before the device starts.
uint8_t *g_callbackBuffer = nullptr;
int g_callbackBufferSize = 0;
// Blocks the callback took from the ring during this play.
std::atomic<int64_t> g_blocksPlayed{0};
std::atomic<int64_t> g_stopCount{0};
// Set by so_stop for the play started last; the player, the filler's loading and the callback
// watch it, so that a stop is never lost and ends the play without waiting for the buffered audio.
std::atomic<bool> g_stopAsked{false};
// The mixer state's semaphore of the running play, under g_playLock: so_stop posts it to wake
// the player thread.
KSemaphore *g_playWake = nullptr;
std::atomic<int64_t> g_lateCallbacks{0};
std::atomic<int64_t> g_callbacksBegun{0};
std::atomic<int> g_callbacksRunning{0};

struct PlayArg {
    KFile *file;
    KProgress *progress;
    int mode;
    double rate;
};

// Sound-card request (SCMStruct).
struct SCMStruct {
    SDL_AudioSpec spec;
};

// Counts a callback from its entry to its return.
struct CallbackRun {
    CallbackRun()
    {
        g_callbacksBegun.fetch_add(1);
        g_callbacksRunning.fetch_add(1);
    }
    ~CallbackRun() { g_callbacksRunning.fetch_sub(1); }
};

void sdl_callback(void *, Uint8 *stream, int len)
{
    const CallbackRun run;
    // Never allocates, never waits on a lock of the GUI, no I/O: the ring's own lock alone.
    std::memset(stream, 0, static_cast<size_t>(len));
    if (g_scmPaused.load()) {
        unlock_readMutex();
        return;
    }
    // Never waits for the filler: a block that is not ready plays as silence and counts as an
    // underrun (before the first block it is the start, not an underrun), and the next callback
    // takes the block that comes next. The device thus never repeats or delays earlier audio.
    const int index = tryNextBufferToRead();
    if (index == KBUFFER_RING_LATE) {
        if (g_blocksPlayed.load() > 0)
            g_lateCallbacks.fetch_add(1);
        if (g_stopAsked.load())
            g_scmPaused = 1;
        return;
    }
    if (index < 0)
        return;
    int n = 0;
    if (len >= getBufferBytesSize()) {
        n = copyReadBuffer(index, stream);
    } else if (g_callbackBuffer && g_callbackBufferSize >= getBufferBytesSize()) {
        n = copyReadBuffer(index, g_callbackBuffer);
        std::memcpy(stream, g_callbackBuffer, static_cast<size_t>(std::min(n, len)));
    }
    if (n > 0)
        g_blocksPlayed.fetch_add(1);
    if (g_stopAsked.load()) {
        // A stop: this block fades out and the device stays silent until it is closed.
        Sint16 *samples = reinterpret_cast<Sint16 *>(stream);
        const int frames = std::min(n, len) / 4;
        for (int i = 0; i < frames; ++i) {
            const double w = 1.0 - static_cast<double>(i + 1) / frames;
            samples[2 * i] = static_cast<Sint16>(samples[2 * i] * w);
            samples[2 * i + 1] = static_cast<Sint16>(samples[2 * i + 1] * w);
        }
        g_scmPaused = 1;
    }
}

int scm_initSoundCard()
{
    if (g_soundCardInit.load())
        return 1;
    // The audio subsystem brings SDL's event subsystem, which would take SIGINT and SIGTERM
    // for events nobody reads: the program keeps its own handling of them.
    const KSdl *sdl = KSdl_get();
    if (!sdl)
        return 0;
    sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (sdl->InitSubSystem(SDL_INIT_AUDIO) != 0)
        return 0;
    g_soundCardInit = true;
    return 1;
}

SCMStruct *SCMStruct_create(const KStreamFormat *format)
{
    SCMStruct *request = new (std::nothrow) SCMStruct();
    if (!request)
        return nullptr;
    request->spec = SDL_AudioSpec{}; // SDL_zero would call into SDL
    request->spec.freq = static_cast<int>(format->rate);
    request->spec.format = AUDIO_S16LSB;
    request->spec.channels = 2;
    request->spec.samples = SO_FRAMES_PER_BLOCK;
    request->spec.callback = sdl_callback;
    request->spec.userdata = nullptr;
    return request;
}

void SCMStruct_delete(SCMStruct **request)
{
    delete *request;
    *request = nullptr;
}

// Closes the devices that plays left paused. Closing a device joins SDL's audio thread, which
// takes up to a few callback periods (over 100 ms with the dummy driver), so a stop hands its
// device to this thread instead of closing it on the caller's. Devices are opened only while no
// close is running, so that SDL's device calls never run on two threads at once.
class DeviceCloser
{
public:
    ~DeviceCloser() { waitIdle([] { return false; }); }

    // Player thread. Pauses the device (once this returns SDL never calls its callback again)
    // and closes it later; closes it here when no thread can be made.
    void closeLater(SDL_AudioDeviceID device)
    {
        KSdl_get()->PauseAudioDevice(device, 1);
        std::lock_guard<std::mutex> guard(m_lock);
        m_pending.push_back(device);
        if (m_running)
            return;
        if (m_thread.joinable())
            m_thread.join(); // ended: it cleared m_running before its last unlock
        try {
            m_thread = std::thread([this] { run(); });
            m_running = true;
        } catch (const std::system_error &) {
            for (SDL_AudioDeviceID d : m_pending)
                KSdl_get()->CloseAudioDevice(d);
            m_pending.clear();
        }
    }

    // Waits until every pending device is closed, or until `cancel` holds (checked again at
    // each wake()); true when every device is closed.
    template <typename Cancel> bool waitIdle(Cancel cancel)
    {
        std::unique_lock<std::mutex> guard(m_lock);
        m_idle.wait(guard, [&] { return !m_running || cancel(); });
        if (m_running)
            return false;
        if (m_thread.joinable())
            m_thread.join();
        return true;
    }

    // Makes the waiters check their cancel condition again.
    void wake()
    {
        { std::lock_guard<std::mutex> guard(m_lock); }
        m_idle.notify_all();
    }

private:
    void run()
    {
        for (;;) {
            SDL_AudioDeviceID device = 0;
            {
                std::lock_guard<std::mutex> guard(m_lock);
                if (m_pending.empty()) {
                    m_running = false;
                    m_idle.notify_all();
                    return;
                }
                device = m_pending.back();
                m_pending.pop_back();
            }
            KSdl_get()->CloseAudioDevice(device);
        }
    }

    std::mutex m_lock;
    std::condition_variable m_idle;
    std::vector<SDL_AudioDeviceID> m_pending;
    std::thread m_thread;
    bool m_running = false;
};

DeviceCloser g_closer;

// Player thread. `flush` closes the device at once, so that a driver that writes to a file has
// written everything when the play ends; otherwise the device is silenced now and closed later.
void scm_closeAudio(bool flush)
{
    if (g_device) {
        if (flush)
            KSdl_get()->CloseAudioDevice(g_device); // waits for a running callback to return
        else
            g_closer.closeLater(g_device);
        g_device = 0;
    }
    g_scmPaused = 0;
}

// Opens the device; SDL converts to the hardware's format, so every callback asks for exactly
// one block of the requested size.
int scm_initAudio(SCMStruct *request, int *samples)
{
    if (!scm_initSoundCard())
        return 0;
    g_device = KSdl_get()->OpenAudioDevice(nullptr, 0, &request->spec, nullptr, 0);
    if (g_device == 0)
        return 0;
    *samples = request->spec.samples;
    return 1;
}

void scm_startAudio()
{
    g_scmPaused = 0;
    KSdl_get()->PauseAudioDevice(g_device, 0);
}

// Ends the play: status -2 and every waiter told.
int endPlay(int result, KProgress *progress, const char *message)
{
    SOTransport &tr = g_transport;
    if (message) {
        std::fprintf(stderr, "%s\n", message);
        KProgress_setMsg(progress, "Error during playing initialization...");
        KProgress_setState(progress, KPROGRESS_FAILED);
    }
    if (KMutex_lock(tr.mutexStatus)) {
        tr.status.store(SO_STOPPED);
        KMutex_unlock(tr.mutexStatus);
    } else {
        tr.status.store(SO_STOPPED);
    }
    {
        KProjectLock lock;
        k_setSharedProject(nullptr);
    }
    {
        std::lock_guard<std::mutex> guard(g_playLock);
        g_playRunning = false;
    }
    g_playEnded.notify_all();
    return result;
}

// The player thread.
int so_play(void *data)
{
    PlayArg arg = *static_cast<PlayArg *>(data);
    delete static_cast<PlayArg *>(data);
    const bool card = arg.mode == SO_MODE_SOUNDCARD;
    KProgress *progress = arg.progress;
    so_renderSetPlayResult(1);
    ESOMixAudioArg *m = nullptr;
    double seconds = 0.0;
    int elements = 0;
    {
        // From here on the filler reads this project: it is shared, and read under the lock.
        KProjectLock lock;
        k_setSharedProject(arg.file);
        if (card) {
            KProgress_setITotal(progress, tracksNbr(arg.file));
            KProgress_setState(progress, KPROGRESS_RUNNING);
            KProgress_setMsg(progress, "Loading");
            KProgress_setIProg(progress, 0);
        }
        m = init_ESOMixAudioArg(arg.file, arg.rate, SO_FRAMES_PER_BLOCK, card ? 0 : 1, progress);
        seconds = computeLengthFile(arg.file);
        elements = arg.file->eltCount;
    }
    if (!m) {
        so_renderSetPlayResult(-999);
        return endPlay(-999, progress, "*** ERROR so_play : memory ***");
    }
    const double rate = m->format->rate;
    const int bytes = 2 * 2 * m->frames;
    // The devices of earlier plays are closed before this one opens; a stop cuts the wait short.
    if (card)
        g_closer.waitIdle([] { return g_stopAsked.load(); });
    if (g_stopAsked.load()) {
        _delete_Memory(&m);
        so_renderSetPlayResult(-1);
        return endPlay(1, progress, nullptr);
    }
    SCMStruct *request = nullptr;
    if (card) {
        request = SCMStruct_create(m->format);
        int samples = 0;
        if (!request || !scm_initAudio(request, &samples)) {
            SCMStruct_delete(&request);
            _delete_Memory(&m);
            so_renderSetPlayResult(-2);
            return endPlay(-2, progress, "*** ERROR so_play : cannot open audio ***");
        }
    } else if (!k_initExportTovix(bytes, progress,
                                  static_cast<int64_t>(std::llround(seconds * 1000.0)), rate)) {
        _delete_Memory(&m);
        so_renderSetPlayResult(-1);
        return endPlay(-1, progress, "*** ERROR so_play : cannot start the export writer ***");
    }
    // Undoes an opened output, the request and the mixer of a start that goes no further.
    const auto abandonStart = [&] {
        if (card)
            scm_closeAudio(false);
        else
            k_stopExportTovix();
        SCMStruct_delete(&request);
        _delete_Memory(&m);
        so_renderSetPlayResult(-1);
    };
    stopBuffering();
    if (getBufferBytesSize() != bytes || getBufferNumber() != SO_RING_BUFFERS) {
        if (initReadBuffers(bytes, SO_RING_BUFFERS) != TVR_OK) {
            abandonStart();
            return endPlay(-1, progress,
                           "*** ERROR so_play : cannot initialize buffering system ! ***");
        }
    }
    if (g_callbackBufferSize < bytes) {
        tvr_free(g_callbackBuffer);
        g_callbackBuffer = static_cast<uint8_t *>(tvr_malloc(static_cast<size_t>(bytes)));
        g_callbackBufferSize = g_callbackBuffer ? bytes : 0;
    }
    init_stats(SO_RING_BUFFERS, elements);
    g_transport.pieceFrames.store(static_cast<int64_t>(std::llround(seconds * rate)));
    // A stop asked for since the start ends the play here: the transport keeps "stopped".
    bool stopped = true;
    if (KMutex_lock(g_transport.mutexStatus)) {
        stopped = g_stopAsked.load() || g_transport.status.load() == SO_STOPPED;
        if (!stopped)
            so_resetTransport(rate, m->frames);
        KMutex_unlock(g_transport.mutexStatus);
    }
    if (stopped) {
        abandonStart();
        return endPlay(1, progress, nullptr);
    }
    so_setCurrentMixer(m);
    {
        std::lock_guard<std::mutex> guard(g_playLock);
        g_playWake = m->sem;
    }
    if (!startBuffering(fillBuffer, m)) {
        if (card)
            scm_closeAudio(false);
        else
            k_stopExportTovix();
        so_setCurrentMixer(nullptr);
        SCMStruct_delete(&request);
        _delete_Memory(&m);
        so_renderSetPlayResult(-1);
        return endPlay(-1, progress, "*** ERROR so_play : cannot start buffers filling ! ***");
    }
    g_blocksPlayed = 0;
    g_lateCallbacks = 0;
    if (card)
        scm_startAudio();
    else
        k_startExportTovix();

    // Woken by the mixer (the end, or a new random selection to make) or by so_stop.
    for (;;) {
        KSemaphore_wait(m->sem, __FILE__, __LINE__);
        if (!g_stopAsked.load() && m->reselect.exchange(0)) {
            // Searched here, on a copy of the project, while the filler plays on.
            randomSlctWithCancel(arg.file, [] { return g_stopAsked.load() ? 1 : 0; });
            continue;
        }
        break;
    }
    {
        std::lock_guard<std::mutex> guard(g_playLock);
        g_playWake = nullptr;
    }
    if (card) {
        // At the end of the piece, let the device play what the ring still holds, bounded by
        // twice the ring's length in real time; a stop cuts it short.
        const int64_t last = m->blocksMixed.load();
        const Uint32 limit =
            KSdl_get()->GetTicks() + static_cast<Uint32>(2000.0 * SO_RING_BUFFERS * m->frames / rate) + 200;
        while (!g_stopAsked.load() && g_blocksPlayed.load() < last - 1 && KSdl_get()->GetTicks() < limit)
            KSdl_get()->Delay(2);
        g_scmPaused = 1;
    } else
        k_pauseExportTovix();
    stopBuffering();
    if (card)
        scm_closeAudio(!g_stopAsked.load());
    else
        k_stopExportTovix();
    so_setCurrentMixer(nullptr);
    set_stats_ready(0);
    const bool loaded = m->slots != nullptr;
    SCMStruct_delete(&request);
    _delete_Memory(&m);
    if (!loaded)
        so_renderSetPlayResult(-303);
    return endPlay(1, progress, nullptr);
}

// Joins the ended player thread (one caller does it; the others wait for the end only).
void waitAndJoin()
{
    KThread *thread = nullptr;
    {
        // Waits for the play running now; a play started meanwhile by another thread is not
        // this caller's to wait for.
        std::unique_lock<std::mutex> guard(g_playLock);
        const uint64_t starts = g_playStarts;
        g_playEnded.wait(guard, [starts] { return !g_playRunning || g_playStarts != starts; });
        if (g_playRunning)
            return;
        thread = g_playThread;
        g_playThread = nullptr;
    }
    if (thread) {
        KThread_wait(thread, nullptr);
        _KThread_destroy(thread);
    }
}

} // namespace

// --- Shared state -------------------------------------------------------------------------------
SOTransport &so_transport(void)
{
    return g_transport;
}

int so_initLocks(void)
{
    // Made once and kept: threads of a finished play may still hold the pointers.
    static std::mutex made;
    std::lock_guard<std::mutex> guard(made);
    if (!g_transport.mutexStatus)
        g_transport.mutexStatus = KMutex_create();
    if (!g_transport.mutexVO)
        g_transport.mutexVO = KMutex_create();
    return g_transport.mutexStatus && g_transport.mutexVO ? 1 : 0;
}

void so_resetTransport(double rate, int frames)
{
    SOTransport &tr = g_transport;
    tr.masterPan.store(0.0);
    tr.fadeStep = 1.0 / (0.2 * rate / frames);
    tr.fadeGain = 0.0;
    tr.date.store(0);
    tr.status.store(tr.seekTarget.load() >= 0.0 ? SO_SEEK_PLAYING : SO_PLAYING);
}

int so_getStatus(void)
{
    return g_transport.status.load();
}

// --- GUI requests --------------------------------------------------------------------------------
int so_init(void)
{
    so_initLocks();
    if (!scm_initSoundCard()) {
        std::fprintf(stderr, "Error so_init : cannot initialize sound card!\n");
        return -1;
    }
    return 1;
}

int so_outThread(KFile *file, KProgress *progress, int mode)
{
    return so_outThreadAtRate(file, progress, mode, 0.0);
}

int so_outThreadAtRate(KFile *file, KProgress *progress, int mode, double rate)
{
    if (!file || !so_initLocks())
        return -1;
    std::lock_guard<std::mutex> start(g_startLock);
    so_stop();
    {
        // Shared from now on, before the player thread runs: a status request made once this
        // returns works on a copy and never writes the project while the filler reads it.
        KProjectLock lock;
        k_setSharedProject(file);
    }
    PlayArg *arg = new (std::nothrow) PlayArg{file, progress, mode, rate};
    KThread *thread = arg ? KThread_create(so_play, arg, "so_play") : nullptr;
    if (!thread) {
        {
            KProjectLock lock;
            k_setSharedProject(nullptr);
        }
        delete arg;
        std::fprintf(stderr, "*** ERROR playZark : can not create new thread ***\n");
        return -1;
    }
    if (KMutex_lock(g_transport.mutexStatus)) {
        g_stopAsked.store(false);
        g_transport.status.store(SO_PLAYING);
        g_transport.date.store(0);
        KMutex_unlock(g_transport.mutexStatus);
    }
    set_stats_ready(0);
    bool started = false;
    {
        // Started under the lock: a play that ends at once is joined only once its record is
        // complete.
        std::lock_guard<std::mutex> guard(g_playLock);
        g_playThread = thread;
        g_playRunning = true;
        ++g_playStarts;
        started = KThread_start(thread) != 0;
    }
    g_playEnded.notify_all();
    if (!started) {
        delete arg;
        std::fprintf(stderr, "*** ERROR playZark : can not create new thread ***\n");
        endPlay(-1, nullptr, nullptr);
        waitAndJoin();
        return -1;
    }
    return 1;
}

int64_t scm_lateCallbacks(void)
{
    return g_lateCallbacks.load();
}

int64_t scm_callbacksBegun(void)
{
    return g_callbacksBegun.load();
}

int scm_callbacksRunning(void)
{
    return g_callbacksRunning.load();
}

int64_t so_stopCount(void)
{
    return g_stopCount.load();
}

int so_stop(void)
{
    g_stopCount.fetch_add(1);
    SOTransport &tr = g_transport;
    if (!tr.mutexStatus || !KMutex_lock(tr.mutexStatus))
        return -1;
    tr.status.store(SO_STOPPED);
    tr.fadeStep = -std::fabs(tr.fadeStep);
    g_stopAsked.store(true);
    if (!KMutex_unlock(tr.mutexStatus))
        return -2;
    {
        std::lock_guard<std::mutex> guard(g_playLock);
        if (g_playWake)
            KSemaphore_post(g_playWake);
    }
    g_closer.wake(); // a start waiting for an earlier device's close gives up
    set_stats_ready(0);
    waitAndJoin();
    return 1;
}

int so_waitEndPlay(void)
{
    waitAndJoin();
    return 1;
}

int so_joinEndedPlay(void)
{
    KThread *thread = nullptr;
    {
        std::lock_guard<std::mutex> guard(g_playLock);
        if (g_playRunning)
            return 0;
        thread = g_playThread;
        g_playThread = nullptr;
    }
    if (thread) {
        KThread_wait(thread, nullptr);
        _KThread_destroy(thread);
    }
    return 1;
}

int so_close(void)
{
    if (!g_soundCardInit.load() && !g_transport.mutexStatus)
        return 1;
    const int result = so_stop();
    g_closer.waitIdle([] { return false; });
    cleanReadBuffers();
    free_stats();
    tvr_free(g_callbackBuffer);
    g_callbackBuffer = nullptr;
    g_callbackBufferSize = 0;
    return result;
}

int so_setVolume(double volume)
{
    SOTransport &tr = g_transport;
    if (!tr.mutexStatus || !KMutex_lock(tr.mutexStatus))
        return -1;
    const double target = std::max(0.0, std::isfinite(volume) ? volume : 0.0);
    if (target != tr.newVolume.load()) {
        tr.newVolume.store(target);
        switch (tr.status.load()) {
        case SO_PAUSED:
        case SO_STOPPED:
        case SO_END:
            tr.volume.store(target);
            break;
        case SO_PLAYING:
        case SO_VOLUME_RAMP:
            tr.status.store(SO_VOLUME_RAMP);
            break;
        default: // a seek in progress reaches the target by a ramp once it ends
            break;
        }
    }
    return KMutex_unlock(tr.mutexStatus) ? 1 : -2;
}

double so_getVolume(void)
{
    SOTransport &tr = g_transport;
    if (!tr.mutexVO || !KMutex_lock(tr.mutexVO))
        return -1;
    const double v = tr.volume.load();
    return KMutex_unlock(tr.mutexVO) ? v : -2;
}

int so_pause(void)
{
    SOTransport &tr = g_transport;
    if (!tr.mutexStatus || !KMutex_lock(tr.mutexStatus))
        return -1;
    int result = 1;
    switch (tr.status.load()) {
    case SO_PAUSED:
    case SO_SEEK_PAUSED:
        tr.status.store(SO_PLAYING);
        tr.fadeStep = std::fabs(tr.fadeStep);
        break;
    case SO_VOLUME_RAMP:
        tr.volume.store(tr.newVolume.load()); // the ramp ends where it was going
        [[fallthrough]];
    case SO_PLAYING:
        tr.status.store(SO_PAUSED);
        tr.fadeStep = -std::fabs(tr.fadeStep);
        break;
    default:
        result = 0; // nothing paused or resumed
        break;
    }
    return KMutex_unlock(tr.mutexStatus) ? result : -2;
}

int so_setTime(double fraction)
{
    SOTransport &tr = g_transport;
    if (!tr.mutexStatus || !KMutex_lock(tr.mutexStatus))
        return -1;
    const double f = std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
    tr.seekTarget.store(f);
    switch (tr.status.load()) {
    case SO_PAUSED:
    case SO_SEEK_PAUSED:
        tr.status.store(SO_SEEK_PAUSED);
        tr.fadeStep = -std::fabs(tr.fadeStep);
        break;
    case SO_PLAYING:
    case SO_SEEK_PLAYING:
    case SO_VOLUME_RAMP:
        tr.status.store(SO_SEEK_PLAYING);
        tr.fadeStep = -std::fabs(tr.fadeStep);
        break;
    default:
        tr.fadeGain = -1.0;
        break;
    }
    return KMutex_unlock(tr.mutexStatus) ? 1 : -2;
}

int so_setLoop(ESOLoop mode)
{
    SOTransport &tr = g_transport;
    if (!tr.mutexStatus || !KMutex_lock(tr.mutexStatus))
        return -1;
    tr.loop.store(mode);
    return KMutex_unlock(tr.mutexStatus) ? 1 : -2;
}

double so_getTime(KFile *file)
{
    const double target = g_transport.seekTarget.load();
    if (target >= 0.0)
        return target;
    if (!file)
        return 0.0;
    k_lockProject();
    const double rate = (file->format && file->format->rate > 0.0) ? file->format->rate : 0.0;
    const double denominator = file->lengthSeconds * rate;
    k_unlockProject();
    if (!(denominator > 0.0))
        return 0.0;
    return std::clamp(static_cast<double>(g_transport.date.load()) / denominator, 0.0, 1.0);
}

int so_isLoop(void)
{
    return g_transport.loop.load() > 0 ? 1 : 0;
}

int so_isPlay(void)
{
    return g_transport.status.load() != SO_STOPPED ? 1 : 0;
}

int so_setMasterPan(double pan)
{
    SOTransport &tr = g_transport;
    if (!tr.mutexVO || !KMutex_lock(tr.mutexVO))
        return -1;
    tr.masterPan.store(std::isfinite(pan) ? std::clamp(pan, -1.0, 1.0) : 0.0);
    return KMutex_unlock(tr.mutexVO) ? 1 : -2;
}

double so_getMasterPan(void)
{
    SOTransport &tr = g_transport;
    if (!tr.mutexVO || !KMutex_lock(tr.mutexVO))
        return 0.0;
    const double pan = tr.masterPan.load();
    KMutex_unlock(tr.mutexVO);
    return pan;
}
