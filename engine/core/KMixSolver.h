// Mix-law level solver: when one level moves, or the playing elements change, the other levels
// follow so that every level stays within its element's minimum and maximum and every
// equivalence keeps its members in the proportion of their default levels, while the levels move
// as little as possible in total. The problem is a constraint model searched by branch and bound
// under a time limit; the solution is applied through changeLevel.
//
// Threads: GUI thread only, never the sound card's callback (a search may run for the whole time
// limit). A request on a project that no other thread reads works on it in place. A request on
// the playing project (KProjectLock.h) is searched on a copy taken under the project lock, and
// its levels are written back under the lock; when the project's levels or playing elements
// moved meanwhile the request is answered again, and refused after a few tries.
//
// Lists returned hold names that point into the model: the caller frees the list, not the names.
#ifndef KMIXSOLVER_H
#define KMIXSOLVER_H

#include <glib.h>

#include "KFile.h"

class OMSpace;

// Which levels the solver may move.
typedef enum TypeMixSolver {
    TMS_PLAYING_BUT_MOVED = 1, // one element moves; the other playing elements follow
    TMS_ALL_PLAYING = 2,       // no element moves; every playing element takes part
    TMS_ALL_BUT_MOVED = 3      // one element moves; every other element follows, playing or not
} TypeMixSolver;

// Default search time limit of one level request, in milliseconds.
enum { KMIXSOLVER_TIME_LIMIT_MS = 10 };

// The level solver's time limit in milliseconds; 0 restores the default. Tests raise it so that
// answers do not depend on the machine's load. Any thread; takes effect at the next request.
void k_setLevelSolverTimeLimit(unsigned long ms);
unsigned long k_getLevelSolverTimeLimit(void);

// Solver values: a level -240..60 is 0..300 in the model.
int levelToInt(int level);
int intToLevel(int value);

// Moves the named element's level to `level` (above 60 counts as 60) and the others with it.
// Returns the solver's list (the name first, then every other element whose level changed); when
// outOfMix is nonzero the current mix then is no stored mix any more. Null, with no level
// changed, for a null project, an unknown name, a silent element (types other than 3), a level
// below -240, or a move that no state within the laws allows.
GSList *moveLevelParams(KFile *file, const char *name, int level, TypeMixSolver type,
                        int outOfMix);

// Solves and applies the levels. Under types 1 and 3 the named element (which must exist, bear a
// level of its own, and under type 1 play) is held at `level`; under type 2 a named element only
// heads the list. Returns the name (when given) then every other element whose level changed;
// null, with no level changed, when nothing takes part or no solution is found in time.
GSList *checkLevel(KFile *file, const char *name, int level, TypeMixSolver type);

// Counts the level-law violations of the current gains, one line each on standard error: the
// list's head is not `name`, the element's own gain is not `gain`, a gain outside its law bounds,
// an effective gain that is not the product down the tree, an equivalence out of proportion.
int checkLevelLaws(KFile *file, GSList *names, const char *name, double gain);

// Debug listing of a space (standard output): its sizes, two header lines, then one line per
// element (seeOMSpaceForeach): id, then "Not playing" or new level || old level || difference,
// and || deviation for a track other than the moved one; an unassigned value is shown as its
// size and " [min; max]".
void seeOMSpace(KFile *file, OMSpace *space, int movedId);
void seeOMSpaceForeach(KFile *file, OMSpace *space, KElement *elt, int movedId);

// Sets the coefficients of the level-to-value mapping (75.0 and 0.0) and their flag; kept for the
// library's interface, the solver reads none of them.
void initLevelInt_ab(void);

#endif
