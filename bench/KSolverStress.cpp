#include "KSolverStress.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "KSolver.h"

namespace {

double draw()
{
    return std::rand() / 2147483647.0;
}

// An index in 0 .. n - 1 (n > 0).
int drawIndex(int n)
{
    return std::min(n - 1, static_cast<int>(draw() * n));
}

std::vector<KElement *> elementsOf(const KFile *file, int type)
{
    std::vector<KElement *> out;
    for (KElement *e = file->firstCreated; e; e = e->nextCreated)
        if (e->type == type && e->id >= 0)
            out.push_back(e);
    return out;
}

// Creates a rule under the first free name "Const_<k>", k from `next` on; 1 or the engine's code.
int createRule(KFile *file, int kind, void *data, int *next, std::string *name)
{
    for (;;) {
        *name = "Const_" + std::to_string((*next)++);
        if (!giveElt(file, name->c_str()))
            return createElt(file, kind, name->c_str(), data);
    }
}

const char *kRule = "========================================================";

// One summary line between rules of 56 "=".
void summary(FILE *stream, int count, int configurations, int bad)
{
    if (stream)
        std::fprintf(stream, "%s\ntNb = %d -- iter = %d  || badSol = %d\n%s\n", kRule, count,
                     configurations, bad, kRule);
}

// One configuration: a new project of `tracks` tracks shaped by `shape`, one checked request.
template <typename Shape> int checkOne(int tracks, Shape shape)
{
    KFile *file = fileCreation(tracks);
    if (!file)
        return 0;
    shape(file);
    const int bad = std::max(0, checkGraphConfig(file, 1, nullptr));
    _freeZark(file);
    return bad;
}

} // namespace

int addRandomConstraints(KFile *file, int n)
{
    if (!file)
        return -1;
    const std::vector<KElement *> tracks = elementsOf(file, KELT_TRACK);
    const int t = static_cast<int>(tracks.size());
    if (t < 2)
        return -2;
    int next = constraintsNbr(file);
    int made = 0;
    for (int c = 0; c < n; ++c) {
        const int m = std::min(t - 1, static_cast<int>(draw() * (t - 1)) + 1);
        std::vector<KElement *> pool = tracks;
        std::vector<KElement *> members;
        for (int k = 0; k < m; ++k) {
            const int at = drawIndex(static_cast<int>(pool.size()));
            members.push_back(pool[static_cast<size_t>(at)]);
            pool.erase(pool.begin() + at);
        }
        std::string name;
        int created;
        if (draw() < 0.8) {
            const int maximum = std::min(m, static_cast<int>(draw() * m + 1));
            const int minimum = static_cast<int>(draw() * maximum);
            created =
                createRule(file, KCONST_GROUP, createDataGrp(minimum, maximum), &next, &name);
        } else {
            const size_t at = static_cast<size_t>(drawIndex(static_cast<int>(pool.size())));
            KElement *implying = pool[at];
            created = createRule(file, KCONST_IMPLY, implying->name, &next, &name);
        }
        if (created != 1)
            continue;
        hideElt(file, name.c_str());
        for (KElement *member : members)
            addSubElt(file, name.c_str(), member->name);
        ++made;
    }
    return made;
}

int moveRandomConstraints(KFile *file, int n)
{
    if (!file)
        return -1;
    int removed = 0;
    for (; removed < n; ++removed) {
        const std::vector<KElement *> rules = elementsOf(file, KELT_GROUP);
        if (rules.empty())
            break;
        const size_t at = static_cast<size_t>(drawIndex(static_cast<int>(rules.size())));
        const std::string name = rules[at]->name;
        if (deleteElt(file, name.c_str()) != 1)
            break;
    }
    return removed;
}

const char *getOneTrack(KFile *file)
{
    if (!file)
        return nullptr;
    const std::vector<KElement *> tracks = elementsOf(file, KELT_TRACK);
    if (tracks.empty())
        return nullptr;
    return tracks[static_cast<size_t>(drawIndex(static_cast<int>(tracks.size())))]->name;
}

int createGraph(KFile *file, int levels, int total)
{
    if (!file)
        return -2;
    if (levels < 1 || total < levels)
        return -1;
    const int batch = total / levels;
    for (int level = 0; level < levels; ++level) {
        const int count = level + 1 < levels ? batch : total - batch * (levels - 1);
        if (addRandomConstraints(file, count) != count)
            return -2;
    }
    return 1;
}

int removeAllConstraints(KFile *file)
{
    if (!file)
        return -1;
    int removed = 0;
    for (KElement *rule : elementsOf(file, KELT_GROUP)) {
        const std::string name = rule->name;
        if (deleteElt(file, name.c_str()) == 1)
            ++removed;
    }
    return removed;
}

int checkGraphConfig(KFile *file, int n, FILE *stream)
{
    if (!file || !getOneTrack(file))
        return -1;
    int bad = 0;
    for (int test = 0; test < n; ++test) {
        setAllStatusStop(file);
        const char *track = getOneTrack(file);
        GSList *answer = checkStatus(file, track);
        const int violations = solutionChecking(file, answer, track, nullptr);
        g_slist_free(answer);
        if (violations != 0) {
            ++bad;
            if (stream)
                std::fprintf(stream, " => Check solution with track \"%s\" : %d\n", track,
                             violations);
        }
    }
    setAllStatusStop(file);
    return bad;
}

KFile *fileCreation(int n)
{
    if (n < 1)
        return nullptr;
    KFile *file = newZark("Stress", 2.0);
    for (int i = 0; file && i < n; ++i) {
        const std::string name = "Track_" + std::to_string(i);
        if (addTrack(file, createTrack(0, nullptr, 44100), name.c_str()) != 1) {
            _freeZark(file);
            return nullptr;
        }
    }
    return file;
}

int checkGraphConst(int tracks, int maxRules, int step, int configurations, FILE *stream)
{
    int total = 0;
    for (int rules = std::max(1, step); rules <= maxRules; rules += std::max(1, step)) {
        int bad = 0;
        for (int c = 0; c < configurations; ++c)
            bad += checkOne(tracks, [rules](KFile *f) { addRandomConstraints(f, rules); });
        summary(stream, rules, configurations, bad);
        total += bad;
    }
    return total;
}

int checkGraphLevel(int tracks, int rules, int maxLevels, int configurations, FILE *stream)
{
    int total = 0;
    for (int levels = 1; levels <= std::min(maxLevels, rules); ++levels) {
        int bad = 0;
        for (int c = 0; c < configurations; ++c)
            bad += checkOne(tracks, [rules, levels](KFile *f) { createGraph(f, levels, rules); });
        summary(stream, levels, configurations, bad);
        total += bad;
    }
    return total;
}

int gecodeFighter(int maxTracks, int step, int configurations, FILE *stream)
{
    int total = 0;
    for (int tracks = std::max(2, step); tracks <= maxTracks; tracks += std::max(1, step)) {
        int bad = 0;
        for (int c = 0; c < configurations; ++c)
            bad += checkOne(tracks, [tracks](KFile *f) { addRandomConstraints(f, tracks); });
        summary(stream, tracks, configurations, bad);
        total += bad;
    }
    return total;
}

int gecodeFighter_2(int maxTracks, int step, int configurations, FILE *stream)
{
    int total = 0;
    for (int tracks = std::max(2, step); tracks <= maxTracks; tracks += std::max(1, step)) {
        int bad = 0;
        for (int c = 0; c < configurations; ++c)
            bad += checkOne(tracks, [tracks](KFile *f) {
                addRandomConstraints(f, 2 * tracks);
                moveRandomConstraints(f, tracks);
            });
        summary(stream, tracks, configurations, bad);
        total += bad;
    }
    return total;
}
