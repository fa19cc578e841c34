// The project lock: one recursive lock over the project that the playback threads share with the
// thread that edits it.
//
// Contract (every engine function that touches a playing project follows it):
// - Threads: the GUI thread edits projects; the player thread ("so_play") and the filler
//   ("bufferingProc") read the playing project and write its statuses and levels; the export
//   worker renders a clone. The sound card's callback never takes this lock and never reads the
//   graph.
// - Writes: every change to the shared project (statuses, playing counts, levels, gains, mute,
//   solo, pan, links, names, elements, mixes and their curves) is made with the lock held.
//   Freeing or replacing the shared project first stops the play.
// - Reads: the player and the filler read the shared project only with the lock held. The GUI
//   thread reads what the playback threads write (statuses, levels, gains) with it. It reads
//   names, links and counts without it, except where an import worker may be adding tracks
//   meanwhile (the element views, which refresh and paint during an import): those reads take it.
// - Queries never write: two threads may run any query at once.
// - Held for short steps only: never across a solver search (solvers work on a snapshot taken
//   under the lock and apply the answer under it) nor across a wait for another thread.
// - Order: the project lock is taken before the player's transport locks, the meters' lock and
//   the ring's lock; nobody takes it while holding one of those.
//
// A debug build checks the contract where a function writes a project: the shared project
// changed by a thread that does not hold the lock stops the program with a message.
#ifndef KPROJECT_LOCK_H
#define KPROJECT_LOCK_H

struct _KFile;

// Any thread but the sound card's callback. Recursive.
void k_lockProject(void);
void k_unlockProject(void);
// 1 when the calling thread holds the lock.
int k_projectLockHeld(void);

// The project the playback threads read (null when none). Set by the player thread with the lock
// held, at the start and at the end of a play.
void k_setSharedProject(struct _KFile *file);
struct _KFile *k_sharedProject(void);

// Debug builds: stops the program when `file` is the shared project and the calling thread does
// not hold the lock. Nothing in release builds.
void k_checkProjectLock(const struct _KFile *file, const char *where);

// Holds the project lock for one scope.
struct KProjectLock {
    KProjectLock() { k_lockProject(); }
    ~KProjectLock() { k_unlockProject(); }
    KProjectLock(const KProjectLock &) = delete;
    KProjectLock &operator=(const KProjectLock &) = delete;
};

#endif
