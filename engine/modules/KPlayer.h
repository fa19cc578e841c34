// The playback engine: process-wide `so_` functions that play one project through the sound
// card (SDL audio) or render it block by block for a mix export. A player thread "so_play"
// prepares the output, starts the buffer filler ("bufferingProc", whose fill function is the
// mixer of KMixer.h) and the sound card or the export writer, then waits for the mixer to report
// the end. Transport requests are flags and targets that the mixer reads at each block.
//
// Threads and locks:
// - The GUI thread calls every public `so_` function (the export worker calls so_outThread and
//   so_waitEndPlay through the renderer).
// - `mutexStatus` guards the transport state (status, seek target, fades, loop); `mutexVO` the
//   volume target and master pan on the GUI side. Values that are read without a lock are atomic.
// - The project lock of KProjectLock.h guards the graph of the playing project: the player
//   thread reads it under the lock, the mixer holds it for each block, and whoever edits the
//   playing project takes it around the edit. Lock order: project lock, then mutexStatus; nobody
//   takes the project lock while holding mutexStatus or mutexVO. so_outThread, so_stop,
//   so_waitEndPlay, so_close and the render wait for the player, so they are never called with
//   the project lock held.
// - The sound card's callback takes no lock but the ring's own, never waits for the filler, never
//   allocates and does no I/O.
// - A play that is stopped leaves its device paused (SDL no longer calls its callback) to a
//   closer thread, which closes it off the stopping thread; a play that reaches its end closes
//   its device itself, so that a device writing to a file has written all of it. A device is
//   opened only while no close runs.
#ifndef KPLAYER_H
#define KPLAYER_H

#include <atomic>
#include <cstdint>

#include "KFile.h"
#include "KMutex.h"
#include "KProjectLock.h"
#include "KTypes.h"

typedef enum ESOLoop { SO_LOOP_NONE = 0, SO_LOOP = 1, SO_LOOP_RANDOM = 2 } ESOLoop;

// Player status values (statusZark).
enum {
    SO_STOPPED = -2,
    SO_END = -1,
    SO_PAUSED = 0,
    SO_PLAYING = 1,
    SO_SEEK_PLAYING = 2,
    SO_VOLUME_RAMP = 3,
    SO_SEEK_PAUSED = 4
};

// Output modes of so_outThread.
enum { SO_MODE_EXPORT = 0, SO_MODE_SOUNDCARD = 1 };

// Frames per block: one callback of the sound card and one block of the export.
enum { SO_FRAMES_PER_BLOCK = 2048, SO_RING_BUFFERS = 10 };

// --- GUI thread ----------------------------------------------------------------------------------
// Opens the SDL audio subsystem once and makes the transport locks; 1, or -1 with a message when
// the sound card cannot be initialised (the locks exist either way).
int so_init(void);
// Stops any playback, then starts the player thread on the project; 1, or -1 when the thread or
// its semaphore cannot be made. The project must stay alive until the play ended.
int so_outThread(KFile *file, KProgress *progress, int mode);
// The same with an explicit output rate (the export's rate); rate <= 0 uses the project's.
int so_outThreadAtRate(KFile *file, KProgress *progress, int mode, double rate);
// Asks the play to stop and waits for its end; 1, -1 (lock failed or no mutex), -2 (unlock).
// Once it returned, the sound card's callback is not running and is never called again for
// that play: the device is paused at once and closed later on a thread of its own (so_close and
// the next start wait for that close).
int so_stop(void);
// Waits for the end of the play started last (nothing when none).
int so_waitEndPlay(void);
// Joins the thread of a play that has already ended, without waiting for a running or paused
// one; 1 when no ended play was left unjoined after it, 0 when a play still runs.
int so_joinEndedPlay(void);
// Stops, waits until every device is closed and frees everything; 1 when the sound card was
// never opened, else so_stop's result.
int so_close(void);
int so_setVolume(double volume);
double so_getVolume(void);
// Toggles pause; 1, -1, -2; 0 when the player is in no state that can pause or resume.
int so_pause(void);
int so_setTime(double fraction);
int so_setLoop(ESOLoop mode);
// Pending seek target, else the position as a fraction 0..1 of the piece (0 for an empty one).
double so_getTime(KFile *file);
int so_isLoop(void);
int so_isPlay(void);
int so_setMasterPan(double pan);
double so_getMasterPan(void);
// The player status (SO_*); any thread.
int so_getStatus(void);
// Underruns of the current or last play: callbacks that found the next block not yet mixed and
// played silence instead; any thread.
int64_t scm_lateCallbacks(void);
// Sound-card callbacks begun since the process started, and those running now; any thread.
int64_t scm_callbacksBegun(void);
int scm_callbacksRunning(void);
// Counts so_stop calls, so that a render can tell that its play was stopped from outside.
int64_t so_stopCount(void);

// --- Shared with the mixer and the renderer ------------------------------------------------------
typedef struct SOTransport {
    KMutex *mutexStatus;
    KMutex *mutexVO;
    std::atomic<int> status{SO_STOPPED};  // statusZark, written under mutexStatus
    std::atomic<double> seekTarget{-1.0}; // TovraTime, written under mutexStatus
    std::atomic<double> volume{1.0};      // current linear volume (mixer)
    std::atomic<double> newVolume{1.0};   // target
    std::atomic<int> loop{SO_LOOP_NONE};
    std::atomic<double> masterPan{0.0};
    double fadeGain = 0.0;               // genFadeIO, under mutexStatus
    double fadeStep = 0.0;               // genFadeStep, under mutexStatus
    std::atomic<int64_t> date{0};        // output frames from the piece's start
    std::atomic<int64_t> pieceFrames{0}; // length of the piece in output frames
} SOTransport;

SOTransport &so_transport(void);
// Makes the transport locks when missing (no SDL); 1, or 0 when a lock cannot be made.
int so_initLocks(void);
// Transport at the start of a play (fade gain 0, fade step for `frames`-frame blocks at `rate`,
// master pan 0, status 1, or 2 with a pending seek target). Player thread (or a test driving
// the mixer alone), before the filler starts.
void so_resetTransport(double rate, int frames);

#endif
