// Stress harness of the play-status solver: random rules added to and removed from a project,
// and runs of random requests whose every answer is checked against every rule. Nothing in the
// editor calls it; the stress_solver program under bench/ drives it.
//
// Draws come from rand() (seed it with srand for a repeatable run). Threads: the caller's only.
#ifndef KSOLVER_STRESS_H
#define KSOLVER_STRESS_H

#include <cstdio>

#include "KFile.h"

// Configurations tried per setting by the summary runs unless told otherwise.
enum { KSTRESS_CONFIGURATIONS = 25000 };

// Adds n random hidden rules named "Const_" plus a running number (from the current rule count).
// Each takes m = int(r x (tracks - 1)) + 1 distinct random tracks as members (r = rand() /
// 2147483647.0, at most tracks - 1); with probability 4/5 it is a kind 10 group with maximum
// int(r x m + 1) (at most m) and minimum int(r x maximum), else a kind 11 implication whose
// implying element is a random track outside it. The number made; -1 null project, -2 fewer than
// 2 tracks.
int addRandomConstraints(KFile *file, int n);
// Deletes up to n randomly chosen rules; how many went (-1 null project).
int moveRandomConstraints(KFile *file, int n);
// A random track's name (pointing into the model), or null.
const char *getOneTrack(KFile *file);
// Spreads `total` rules over `levels` batches (each at least one, the last taking what is left)
// and adds them: 1; -1 when total < levels (or levels < 1), -2 for a null project or a batch that
// came out short.
int createGraph(KFile *file, int levels, int total);
// Deletes every rule; the number deleted (-1 null project).
int removeAllConstraints(KFile *file);
// n tests, each asking the solver to play a random track from the stopped state and counting an
// answer that breaks a rule as a bad solution (" => Check solution with track \"%s\" : %d" on
// `stream` when it is not null). The number of bad solutions (-1 null project or no track).
int checkGraphConfig(KFile *file, int n, FILE *stream);

// A project of n tracks "Track_0".. "Track_<n-1>" and no rule; null for n < 1.
KFile *fileCreation(int n);

// Summary runs over new projects, `configurations` per setting, each setting's line
// "tNb = %d -- iter = %d  || badSol = %d" printed between lines of 56 "=" on `stream`; each
// configuration is one project checked with one request. They return the bad solutions found.
// Growing rule counts (step, 2 x step .. maxRules) on projects of `tracks` tracks:
int checkGraphConst(int tracks, int maxRules, int step, int configurations, FILE *stream);
// Rules added in 1 .. maxLevels batches (createGraph) of `rules` in all:
int checkGraphLevel(int tracks, int rules, int maxLevels, int configurations, FILE *stream);
// Growing track counts (step .. maxTracks) with as many rules as tracks:
int gecodeFighter(int maxTracks, int step, int configurations, FILE *stream);
// Growing track counts with rules added and then half of them removed again before the check:
int gecodeFighter_2(int maxTracks, int step, int configurations, FILE *stream);

#endif
