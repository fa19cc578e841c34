// Stress run of the play-status solver: random rules on generated projects, every answer checked
// against every rule; the summaries go to the standard output, the exit status is 1 when any
// answer broke a rule.
// Usage: stress_solver [configurations per setting [tracks [rules [seed]]]]
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "KSolverStress.h"

int main(int argc, char **argv)
{
    const int configurations = argc > 1 ? std::atoi(argv[1]) : KSTRESS_CONFIGURATIONS;
    const int tracks = std::max(2, argc > 2 ? std::atoi(argv[2]) : 12);
    const int rules = std::max(1, argc > 3 ? std::atoi(argv[3]) : 24);
    std::srand(argc > 4 ? static_cast<unsigned>(std::atoi(argv[4])) : 1u);
    int bad = checkGraphConst(tracks, rules, std::max(1, rules / 4), configurations, stdout);
    bad += checkGraphLevel(tracks, rules, 4, configurations, stdout);
    bad += gecodeFighter(tracks, std::max(2, tracks / 4), configurations, stdout);
    bad += gecodeFighter_2(tracks, std::max(2, tracks / 4), configurations, stdout);
    std::printf("bad solutions in all: %d\n", bad);
    return bad == 0 ? 0 : 1;
}
