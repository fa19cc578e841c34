// Play-status solver: decides which elements follow when one element is switched on or off so
// that every play rule holds (groups with a minimum and a maximum of playing members, at-most-one
// and all-together groups, implications, the group-state link of every rule), and answers whether
// every grouped track can still be made to play. A plain checker counts the rule violations of
// the current statuses; a constraint model searched under a time limit finds the state that keeps
// the most other tracks as they are: it branches first on the tracks of the rules that keeping
// everything would break, looks for states of 0, 1, 2 ... changed tracks (so the first found is
// one of the fewest), and leaves requests that need very many changes to branch and bound. A
// request that also repairs rules broken before it (the first of a session, from everything
// stopped) is searched by branch and bound keeping the tracks in creation order, through at least
// a fixed count of failures even past the time limit, so that a slow machine answers it no worse.
//
// Threads: the GUI thread (requests, checks) or the player thread (randomSlct), never the sound
// card's callback. A request on a project that no other thread reads works on it in place,
// without a lock. A request on the playing project (KProjectLock.h) is answered on a copy taken
// under the project lock, searched without the lock, and written back under it (statuses,
// playing counts, levels and the current mix); when the project moved meanwhile the request is
// answered again, and refused after a few tries.
//
// Lists returned hold names that point into the model: the caller frees the list, not the names.
#ifndef KSOLVER_H
#define KSOLVER_H

#include <cstdio>

#include <glib.h>

#include "KFile.h"

class OSpace;

// Default search time limit of one status request, in milliseconds.
enum { KSOLVER_STATUS_TIME_LIMIT_MS = 40 };

// The status solver's time limit in milliseconds; 0 restores the default. Tests raise it so that
// answers do not depend on the machine's load. Any thread; takes effect at the next request.
void k_setStatusSolverTimeLimit(unsigned long ms);
unsigned long k_getStatusSolverTimeLimit(void);
// Requests whose optimising search reached the time limit since the program started; any thread.
long k_statusSolverLimitHits(void);

// Switches the element on (status <= 0) or off directly; when `control` is nonzero and the new
// state breaks a rule, the direct switch is undone and the solver decides. Every track named in
// the result that plays is reset to its default level and put in the current mix; every silent
// one is taken out of it. Returns the changed names, the element first; null when the element is
// unknown or the solver finds no state, and then no status differs from before the call.
GSList *changeEltStatusWithCnsttControl(KFile *file, const char *name, int control);

// changeEltStatusWithCnsttControl for each named element that is not yet on the wanted side
// (`play` nonzero: playing), one after another, with the same answers; the rules are checked in
// full only until a state is known to break none, then each switch checks the rules it touched,
// so that switching every track stays linear. On the playing project the whole run is answered
// on one copy. Returns every changed name once, in order of first change; null when nothing
// changed. Unknown names are passed over.
GSList *changeEltsStatusWithCnsttControl(KFile *file, const char *const *names, int count,
                                         int play, int control);

// Asks the solver to switch the named element to the other side while every rule holds and as
// many other tracks as possible keep their status. On success the statuses and playing counts
// are written (2 newly playing, -2 newly silent) and the changed names are returned, the named
// element first. Every status is decided: a rule element without members plays only when it is
// the named element. When the time limit passes before any state is found, a search for any
// state that meets the rules follows. Null (nothing written) when no state exists or the model
// cannot be built.
GSList *checkStatus(KFile *file, const char *name);

// Data handed to the per-element tests of checkConstraintsWF.
typedef struct KCheckWFData {
    KFile *file;
    int counter; // tracks found playable
} KCheckWFData;

// Per-element tests for checkConstraintsWF (GHFunc: name, KElement*, KCheckWFData*): count the
// track when some state lets it play (notOrphanCanPlay: only tracks that have a parent).
void canPlay(gpointer name, gpointer elt, gpointer data);
void notOrphanCanPlay(gpointer name, gpointer elt, gpointer data);

// Runs `test` on every element of a copy of the project (the project itself is not changed);
// 0 when the count equals `expected`, 1 when it is between 0 and `expected`, 2 otherwise (also
// when the copy cannot be made).
int checkConstraintsWF(KFile *file, GHFunc test, int expected);

// Switches random elements under the rules: a target of int(r x element count) + 5 successful
// switches within at most 100 tries. Returns 1 (also for a null or empty project).
int randomSlct(KFile *file);
// The same, given up (nothing changed) as soon as `cancel` returns nonzero: it is asked between
// tries and during every search. Player thread, so that a stop never waits for the searches.
int randomSlctWithCancel(KFile *file, int (*cancel)(void));

// Number of rule violations of the current statuses; one line per violation on `stream` when it
// is not null.
int statusIsOk(KFile *file, FILE *stream);

// 0 for an empty list; the violation count when `name` is in the list; -1 when it is not.
int solutionChecking(KFile *file, GSList *list, const char *name, FILE *stream);

// Stops every element, then plays the named ones (status 1, parents following); 1 when that state
// breaks no rule, 0 otherwise (also for bad arguments or an unknown name).
int controlStatus(KFile *file, const char **names, int count);

// A space over the whole project: status variable i belongs to the element of id i (all 0..1), one
// count variable per group or rule; null for a null project. OSpace_destroy frees it and clears
// the pointer.
OSpace *OSpace_create(KFile *file);
void OSpace_destroy(OSpace **space);
// Search steps for such a space, which no request above uses. addConstraints2 posts "status =
// playing now" on the first track variable not yet assigned: 1 when it posted, 0 when every
// track variable was assigned. addConstraints looks at every group (kind 10), all-together
// (12) and at-most-one (13) rule: its playing count takes each member's assigned variable, else
// the member's current status; when that count is below the rule's minimum it posts 1 on the
// first unassigned member, above its maximum 0. It returns the number of posts; a member that is
// neither track nor rule is skipped with "Error addConstraints : element type "%d" not correct."
// on the standard error stream.
int addConstraints2(OSpace *space, KFile *file);
int addConstraints(OSpace *space, KFile *file);

// Debug listings of a space's status and count variables (standard output).
void seeSpace(OSpace *space);
void seeOS(OSpace *space);

#endif
