// Play-status solver: hand-made rule cases, the violation checker's lines, the whole-project
// check, and a property over generated projects verified against an exhaustive enumeration.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "KSolver.h"
#include "KZarkXml.h"
#include "ProjectBuilder.h"
#include "SolverChecker.h"

namespace {

// A generous time limit, so that every answer is the complete search's whatever the load.
class StatusSolverTest : public ::testing::Test {
protected:
    void SetUp() override { k_setStatusSolverTimeLimit(20000); }
    void TearDown() override { k_setStatusSolverTimeLimit(0); }
};

using solvercheck::takeList;

// Statuses and playing counts of every element, to compare before and after.
std::vector<std::pair<int, int>> statuses(KFile *f)
{
    std::vector<std::pair<int, int>> out;
    for (KElement *e : solvercheck::elements(f)) {
        KGroupData *g = solvercheck::rule(e);
        out.emplace_back(e->status, g ? g->playCount : 0);
    }
    return out;
}

ProjectBuilder &alwaysOn(ProjectBuilder &p, const char *rule, const char *element)
{
    EXPECT_EQ(1, createElt(p.file(), KCONST_GROUP, rule, createDataGrp(1, 1)));
    hideElt(p.file(), rule);
    return p.link(rule, {element});
}

void toggle(KFile *f, const char *name)
{
    g_slist_free(changeEltStatusWithCnsttControl(f, name, 1));
}

TEST_F(StatusSolverTest, AtMostOneSwitchesTheOtherMemberOff)
{
    ProjectBuilder p;
    p.track("A").track("B").rule(KCONST_ONE, "One", {"A", "B"});
    toggle(p.file(), "B");
    ASSERT_EQ(2, getEltStatus(p.file(), "B"));

    std::vector<std::string> changed = takeList(changeEltStatusWithCnsttControl(p.file(), "A", 1));
    ASSERT_FALSE(changed.empty());
    EXPECT_EQ("A", changed[0]);
    EXPECT_EQ((std::set<std::string>{"A", "B"}),
              std::set<std::string>(changed.begin(), changed.end()));
    EXPECT_EQ(2, getEltStatus(p.file(), "A"));
    EXPECT_EQ(-2, getEltStatus(p.file(), "B"));
    EXPECT_EQ(0, statusIsOk(p.file(), nullptr));
    EXPECT_TRUE(solvercheck::statusViolations(p.file()).empty());
}

TEST_F(StatusSolverTest, ImpossibleSwitchIsRefusedAndChangesNothing)
{
    ProjectBuilder p;
    p.track("T").track("U").group("Closed", {"T"}, 0, 0).group("G", {"U"});
    alwaysOn(p, "__NotMute__U", "U");
    auto before = statuses(p.file());
    EXPECT_EQ(nullptr, changeEltStatusWithCnsttControl(p.file(), "T", 1));
    EXPECT_EQ(before, statuses(p.file())); // the stopped statuses stay -1, not -2
    EXPECT_FALSE(isSelected(p.file(), "T"));

    // An always-on track cannot be switched off.
    toggle(p.file(), "U");
    ASSERT_EQ(2, getEltStatus(p.file(), "U"));
    before = statuses(p.file());
    EXPECT_EQ(nullptr, changeEltStatusWithCnsttControl(p.file(), "U", 1));
    EXPECT_EQ(before, statuses(p.file()));
}

TEST_F(StatusSolverTest, SwitchWithoutViolationIsTheDirectToggle)
{
    ProjectBuilder p;
    p.track("T").track("Other").group("G", {"T"}).group("Top", {"G"});
    EXPECT_EQ((std::vector<std::string>{"T", "G", "Top"}),
              takeList(changeEltStatusWithCnsttControl(p.file(), "T", 1)));
    EXPECT_EQ(-1, getEltStatus(p.file(), "Other"));
    EXPECT_EQ((std::vector<std::string>{"T", "G", "Top"}),
              takeList(changeEltStatusWithCnsttControl(p.file(), "T", 1)));
    EXPECT_EQ(-2, getEltStatus(p.file(), "Top"));
}

TEST_F(StatusSolverTest, ImplicationSwitchesTheImpliedOn)
{
    ProjectBuilder p;
    p.track("A").track("B").track("C").rule(KCONST_IMPLY, "Imp", {"B", "C"}, "A");
    std::vector<std::string> changed = takeList(changeEltStatusWithCnsttControl(p.file(), "A", 1));
    ASSERT_FALSE(changed.empty());
    EXPECT_EQ("A", changed[0]);
    std::set<std::string> set(changed.begin(), changed.end());
    EXPECT_TRUE(set.count("B") && set.count("C") && set.count("Imp"));
    EXPECT_EQ(2, getEltStatus(p.file(), "B"));
    EXPECT_EQ(2, getEltStatus(p.file(), "C"));
    EXPECT_TRUE(solvercheck::statusViolations(p.file()).empty());

    // Switching an implied track off takes the implying one with it, and nothing else.
    changed = takeList(changeEltStatusWithCnsttControl(p.file(), "B", 1));
    EXPECT_EQ((std::set<std::string>{"B", "A"}),
              std::set<std::string>(changed.begin(), changed.end()));
    EXPECT_EQ(2, getEltStatus(p.file(), "C"));
}

TEST_F(StatusSolverTest, GroupMinimumAndSwitchingAGroupOn)
{
    ProjectBuilder p;
    p.track("A").track("B").track("C").group("G", {"A", "B", "C"}, 2, 2);
    // Switching a group on plays the fewest members its minimum needs; the earliest members in
    // the search order keep their state when they can.
    std::vector<std::string> changed = takeList(changeEltStatusWithCnsttControl(p.file(), "G", 1));
    EXPECT_EQ((std::vector<std::string>{"G", "B", "C"}), changed);
    EXPECT_EQ(-1, getEltStatus(p.file(), "A"));
    // Then A on: one of the others must go, and B keeps its state.
    changed = takeList(changeEltStatusWithCnsttControl(p.file(), "A", 1));
    EXPECT_EQ((std::vector<std::string>{"A", "C"}), changed);
    EXPECT_TRUE(solvercheck::statusViolations(p.file()).empty());
}

TEST_F(StatusSolverTest, TracksSwitchedOnTakeTheirDefaultLevelAndJoinTheCurrentMix)
{
    ProjectBuilder p;
    p.track("A").track("B").rule(KCONST_ONE, "One", {"A", "B"});
    changeDefLevel(p.elt("A"), -30);
    changeDefLevel(p.elt("B"), -60);
    changeLevel(p.elt("A"), 12);
    toggle(p.file(), "A");
    EXPECT_EQ(-30, getLevel(p.file(), "A"));
    EXPECT_TRUE(isSelected(p.file(), "A"));
    changeLevel(p.elt("B"), 5);
    toggle(p.file(), "B"); // through the solver: A goes off
    EXPECT_EQ(-60, getLevel(p.file(), "B"));
    EXPECT_TRUE(isSelected(p.file(), "B"));
    EXPECT_FALSE(isSelected(p.file(), "A"));
    // Without control the toggle is direct even when it breaks the rule.
    g_slist_free(changeEltStatusWithCnsttControl(p.file(), "A", 0));
    EXPECT_EQ(2, getEltStatus(p.file(), "A"));
    EXPECT_EQ(2, getEltStatus(p.file(), "B"));
    EXPECT_EQ(1, statusIsOk(p.file(), nullptr));
}

TEST_F(StatusSolverTest, CheckerLines)
{
    struct Case {
        int forcedStatus;
        int violations;
        const char *lines;
    } cases[] = {
        {-1, 1, "checkElt - 2 (G) : 0 [1,1]\n"},
        {2, 2, "checkElt - 1 (G) : 2 (0)\ncheckElt - 2 (G) : 0 [1,1]\n"},
    };
    for (const Case &c : cases) {
        ProjectBuilder p;
        p.track("T").group("G", {"T"}, 1, 1);
        p.elt("G")->status = c.forcedStatus;
        char *text = nullptr;
        size_t size = 0;
        FILE *stream = open_memstream(&text, &size);
        EXPECT_EQ(c.violations, statusIsOk(p.file(), stream));
        std::fclose(stream);
        EXPECT_EQ(c.lines, std::string(text));
        std::free(text);
    }
    ProjectBuilder p;
    p.track("A").track("B").rule(KCONST_IMPLY, "Imp", {"B"}, "A");
    g_slist_free(changeEltStatusWithCnsttControl(p.file(), "A", 0));
    char *text = nullptr;
    size_t size = 0;
    FILE *stream = open_memstream(&text, &size);
    EXPECT_EQ(1, statusIsOk(p.file(), stream));
    std::fclose(stream);
    EXPECT_EQ("checkElt - 3 (Imp) : -1 > -1\n", std::string(text));
    std::free(text);

    GSList *list = g_slist_append(nullptr, const_cast<char *>("B"));
    EXPECT_EQ(1, solutionChecking(p.file(), list, "B", nullptr));
    EXPECT_EQ(-1, solutionChecking(p.file(), list, "A", nullptr));
    EXPECT_EQ(0, solutionChecking(p.file(), nullptr, "A", nullptr));
    g_slist_free(list);
}

TEST_F(StatusSolverTest, EmptyRuleIsSilencedAndEquivalenceOnlyFollowsItsMembers)
{
    ProjectBuilder p;
    p.track("A").track("B").rule(KCONST_EQUIV, "Eq", {"A", "B"});
    EXPECT_EQ(1, createElt(p.file(), KCONST_GROUP, "Empty", createDataGrp(0, 3)));
    p.elt("Empty")->status = 2;
    testing::internal::CaptureStderr();
    std::vector<std::string> changed = takeList(checkStatus(p.file(), "A"));
    std::string err = testing::internal::GetCapturedStderr();
    // A rule element without members plays only when asked for: the playing one is switched off.
    EXPECT_EQ((std::vector<std::string>{"A", "Eq", "Empty"}), changed);
    EXPECT_NE(std::string::npos, err.find("Error iniatializeConst : Unknown constraint type (14)"));
    EXPECT_EQ(-2, getEltStatus(p.file(), "Empty"));
    EXPECT_EQ(-1, getEltStatus(p.file(), "B"));
    // Asked for, it plays.
    EXPECT_EQ((std::vector<std::string>{"Empty"}), takeList(checkStatus(p.file(), "Empty")));
    EXPECT_EQ(2, getEltStatus(p.file(), "Empty"));
}

// Empty groups inside groups, as an author leaves them while building the structure: every
// status is decided and no answer breaks a rule or meets a minimum with an empty group.
TEST_F(StatusSolverTest, EmptyGroupsInsideGroupsNeverKeepAParentPlaying)
{
    struct Case {
        int min, max;
        const char *request;
        std::vector<std::string> changed; // empty: refused
    } cases[] = {
        {0, 2, "A", {"A", "Parent"}},
        {1, 2, "A", {}},
        {0, 2, "Empty", {"Empty"}},
    };
    for (const Case &c : cases) {
        ProjectBuilder p;
        p.track("A");
        EXPECT_EQ(1, createElt(p.file(), KCONST_GROUP, "Empty", createDataGrp(0, 3)));
        p.group("Parent", {"Empty", "A"}, 0, 2);
        g_slist_free(changeEltStatusWithCnsttControl(p.file(), "A", 1));
        ASSERT_EQ(2, getEltStatus(p.file(), "A"));
        static_cast<int *>(giveConst(p.file(), "Parent")->kindData)[0] = c.min;
        static_cast<int *>(giveConst(p.file(), "Parent")->kindData)[1] = c.max;
        auto before = statuses(p.file());
        std::vector<std::string> changed = takeList(checkStatus(p.file(), c.request));
        EXPECT_EQ(c.changed, changed) << c.request << " min " << c.min;
        if (changed.empty()) {
            EXPECT_EQ(before, statuses(p.file()));
        } else if (std::string(c.request) == "A") {
            EXPECT_EQ(0, statusIsOk(p.file(), nullptr));
        }
    }
}

TEST_F(StatusSolverTest, BoundsFromFilesNeverThrow)
{
    ProjectBuilder p;
    p.track("A").track("B");
    EXPECT_EQ(1, createElt(p.file(), KCONST_GROUP, "Wide", createDataGrp(INT_MIN, INT_MAX)));
    p.link("Wide", {"A"});
    EXPECT_EQ((std::vector<std::string>{"A", "Wide"}),
              takeList(changeEltStatusWithCnsttControl(p.file(), "A", 1)));
    // A rule that can never hold makes every switch that meets the solver a refusal.
    EXPECT_EQ(1, createElt(p.file(), KCONST_GROUP, "Never", createDataGrp(INT_MAX, INT_MIN)));
    p.link("Never", {"B"});
    auto before = statuses(p.file());
    EXPECT_EQ(nullptr, changeEltStatusWithCnsttControl(p.file(), "B", 1));
    EXPECT_EQ(nullptr, changeEltStatusWithCnsttControl(p.file(), "A", 1));
    EXPECT_EQ(before, statuses(p.file()));
    EXPECT_EQ(nullptr, checkStatus(p.file(), "Unknown"));
    EXPECT_EQ(nullptr, checkStatus(nullptr, "A"));
    EXPECT_EQ(nullptr, changeEltStatusWithCnsttControl(p.file(), nullptr, 1));
}

TEST_F(StatusSolverTest, WholeProjectCheckKeepsTheSelection)
{
    struct Case {
        const char *what;
        bool blockOne, blockBoth;
        int expected;
    } cases[] = {{"all playable", false, false, 0},
                 {"one blocked", true, false, 1},
                 {"none playable", true, true, 2}};
    for (const Case &c : cases) {
        ProjectBuilder p;
        p.track("A").track("B").track("Free").group("G", {"A", "B"});
        if (c.blockOne) // A can never play, and A implies B
            p.group("Closed", {"A"}, 0, 0).rule(KCONST_IMPLY, "Imp", {"B"}, "A");
        if (c.blockBoth)
            p.group("Closed2", {"B"}, 0, 0);
        toggle(p.file(), "Free");
        auto before = statuses(p.file());
        EXPECT_EQ(c.expected,
                  checkConstraintsWF(p.file(), notOrphanCanPlay, notOrphanTracksNbr(p.file())))
            << c.what;
        EXPECT_EQ(before, statuses(p.file())) << c.what;
    }
    ProjectBuilder p;
    p.track("Alone");
    EXPECT_EQ(0, checkConstraintsWF(p.file(), notOrphanCanPlay, 0));
    EXPECT_EQ(0, checkConstraintsWF(p.file(), canPlay, 1));
}

TEST_F(StatusSolverTest, ControlStatusAndEmptyRandomSelection)
{
    ProjectBuilder p;
    p.track("A").track("B").rule(KCONST_ONE, "One", {"A", "B"});
    const char *one[] = {"A"};
    const char *both[] = {"A", "B"};
    const char *unknown[] = {"Z"};
    EXPECT_EQ(1, controlStatus(p.file(), one, 1));
    EXPECT_EQ(1, getEltStatus(p.file(), "One"));
    EXPECT_EQ(0, controlStatus(p.file(), both, 2));
    EXPECT_EQ(0, controlStatus(p.file(), unknown, 1));
    EXPECT_EQ(0, controlStatus(p.file(), nullptr, 1));
    EXPECT_EQ(0, controlStatus(nullptr, one, 1));

    ProjectBuilder empty;
    EXPECT_EQ(1, randomSlct(empty.file()));
    EXPECT_EQ(1, randomSlct(nullptr));
}

TEST(StatusSolverLimit, SetterAndDefault)
{
    EXPECT_EQ(40ul, k_getStatusSolverTimeLimit());
    k_setStatusSolverTimeLimit(500);
    EXPECT_EQ(500ul, k_getStatusSolverTimeLimit());
    k_setStatusSolverTimeLimit(0);
    EXPECT_EQ(40ul, k_getStatusSolverTimeLimit());
}

// --- Generated projects --------------------------------------------------------------------------

// A random project of a few tracks under groups, exclusions, implications, at-most-one and
// all-together rules and always-on rules; small enough to enumerate every state.
void randomProject(ProjectBuilder &p, std::mt19937 &rng, bool withMinimums)
{
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    int tracks = 3 + pick(7);
    std::vector<std::string> t;
    for (int i = 0; i < tracks; ++i) {
        t.push_back("T" + std::to_string(i));
        p.track(t.back().c_str());
    }
    auto subset = [&](int size) {
        std::vector<std::string> out = t;
        std::shuffle(out.begin(), out.end(), rng);
        out.resize(static_cast<size_t>(std::min(size, tracks)));
        return out;
    };
    auto linkAll = [&](const std::string &rule, const std::vector<std::string> &members) {
        for (const std::string &m : members)
            p.link(rule.c_str(), {m.c_str()});
    };
    int groups = 1 + pick(3);
    std::vector<std::string> g;
    for (int i = 0; i < groups; ++i) {
        std::vector<std::string> members = subset(2 + pick(3));
        int n = static_cast<int>(members.size());
        int max = 1 + pick(n);
        int min = withMinimums ? pick(max + 1) : 0;
        g.push_back("G" + std::to_string(i));
        p.group(g.back().c_str(), {}, min, max);
        linkAll(g.back(), members);
    }
    if (groups > 1 && pick(2))
        p.group("Top", {g[0].c_str(), g[1].c_str()}, 0, pick(3));
    if (pick(3) == 0) {
        // An empty group inside a group, as an author leaves one while building.
        EXPECT_EQ(1, createElt(p.file(), KCONST_GROUP, "Empty", createDataGrp(0, 2)));
        p.link(g[0].c_str(), {"Empty"});
    }
    int rules = pick(tracks);
    for (int i = 0; i < rules; ++i) {
        std::string name = "R" + std::to_string(i);
        int kind = pick(4);
        if (kind == 0) {
            std::vector<std::string> members = subset(2 + pick(2));
            p.rule(KCONST_GROUP, name.c_str(), {});
            linkAll(name, members);
        } else if (kind == 1) {
            std::vector<std::string> members = subset(3);
            p.rule(KCONST_IMPLY, name.c_str(), {}, members[0].c_str());
            linkAll(name, std::vector<std::string>(members.begin() + 1, members.end()));
        } else if (kind == 2) {
            p.rule(pick(2) || !withMinimums ? KCONST_ONE : KCONST_ALL, name.c_str(), {});
            linkAll(name, subset(2));
        } else if (withMinimums) {
            alwaysOn(p, ("__NotMute__" + name).c_str(),
                     t[static_cast<size_t>(pick(tracks))].c_str());
        }
    }
}

// Every answer of a switch request is checked: a state that breaks no rule, the requested
// element switched, the fewest other tracks moved (by enumeration), the list naming exactly the
// elements that changed; a refusal only when no state exists, with nothing changed.
void checkSwitch(KFile *f, KElement *elt)
{
    solvercheck::PlayState before = solvercheck::currentPlay(f);
    auto beforeStatuses = statuses(f);
    bool wanted = elt->status <= 0;
    solvercheck::PlayOptimum best = solvercheck::bestPlay(f, elt, wanted, before);
    // The same request on a copy of the project gives the same answer.
    KFile *twin = KFile_clone(f);
    ASSERT_NE(nullptr, twin);
    std::vector<std::string> twinChanged
        = takeList(changeEltStatusWithCnsttControl(twin, elt->name, 1));
    _freeZark(twin);
    GSList *list = changeEltStatusWithCnsttControl(f, elt->name, 1);
    if (!list) {
        EXPECT_TRUE(twinChanged.empty());
        EXPECT_FALSE(best.feasible) << elt->name;
        EXPECT_EQ(beforeStatuses, statuses(f));
        return;
    }
    std::vector<std::string> changed = takeList(list);
    EXPECT_EQ(twinChanged, changed);
    ASSERT_TRUE(best.feasible) << elt->name;
    std::vector<std::string> broken = solvercheck::statusViolations(f);
    EXPECT_TRUE(broken.empty()) << elt->name << ": " << broken.front();
    EXPECT_EQ(wanted, elt->status > 0);
    solvercheck::PlayState after = solvercheck::currentPlay(f);
    int kept = 0;
    std::set<std::string> moved;
    for (KElement *e : solvercheck::elements(f)) {
        if (e->type == KELT_TRACK && e != elt && before[e->id] == after[e->id])
            ++kept;
        if (before[e->id] != after[e->id])
            moved.insert(e->name);
    }
    EXPECT_EQ(best.kept, kept) << elt->name;
    EXPECT_EQ(elt->name, changed.front());
    EXPECT_EQ(moved, std::set<std::string>(changed.begin(), changed.end())) << elt->name;
    for (const std::string &name : changed) {
        if (isATrack(f, name.c_str())) {
            EXPECT_EQ(isPlaying(f, name.c_str()), isSelected(f, name.c_str())) << name;
        }
    }
}

TEST_F(StatusSolverTest, GeneratedProjectsAgreeWithEnumeration)
{
    std::mt19937 rng(20240611);
    for (int project = 0; project < 150; ++project) {
        ProjectBuilder p;
        randomProject(p, rng, true);
        KFile *f = p.file();
        for (int request = 0; request < 5; ++request) {
            KElement *elt = f->eltsById[rng() % static_cast<unsigned>(f->eltCount)];
            SCOPED_TRACE("project " + std::to_string(project) + " request " + elt->name);
            checkSwitch(f, elt);
            if (HasFatalFailure())
                return;
        }
    }
}

TEST_F(StatusSolverTest, GeneratedProjectsStayValidUnderRandomSelection)
{
    std::mt19937 rng(77);
    std::srand(77);
    for (int project = 0; project < 40; ++project) {
        ProjectBuilder p;
        randomProject(p, rng, false); // stopped is a valid state: no minimum to meet
        ASSERT_EQ(1, randomSlct(p.file()));
        EXPECT_TRUE(solvercheck::statusViolations(p.file()).empty()) << project;
        EXPECT_EQ(0, statusIsOk(p.file(), nullptr));
    }
}

TEST_F(StatusSolverTest, GeneratedWholeProjectChecksAgreeWithEnumeration)
{
    std::mt19937 rng(4242);
    for (int project = 0; project < 40; ++project) {
        ProjectBuilder p;
        randomProject(p, rng, true);
        KFile *f = p.file();
        auto before = statuses(f);
        KFile *stopped = KFile_clone(f);
        ASSERT_NE(nullptr, stopped);
        setAllStatusStop(stopped);
        int playable = 0, grouped = 0, playableAll = 0, tracks = 0;
        for (KElement *e : solvercheck::elements(stopped)) {
            if (e->type != KELT_TRACK)
                continue;
            const bool feasible =
                solvercheck::bestPlay(stopped, e, true, solvercheck::currentPlay(stopped))
                    .feasible;
            ++tracks;
            playableAll += feasible;
            if (!e->parents.head)
                continue;
            ++grouped;
            playable += feasible;
        }
        _freeZark(stopped);
        int expected = playable == grouped ? 0 : (playable > 0 ? 1 : 2);
        EXPECT_EQ(expected, checkConstraintsWF(f, notOrphanCanPlay, grouped)) << project;
        // The exact number of playable tracks: the check answers 0 only for that count.
        if (playable > 0) {
            EXPECT_EQ(0, checkConstraintsWF(f, notOrphanCanPlay, playable)) << project;
        }
        if (playableAll > 0) {
            EXPECT_EQ(0, checkConstraintsWF(f, canPlay, playableAll)) << project;
        }
        EXPECT_EQ(before, statuses(f)) << project;
    }
}

// 120 tracks under overlapping groups {0, 1..3}, exclusions and implications: no minimum, so
// stopping any track is always possible.
void pressureProject(ProjectBuilder &p, std::mt19937 &rng)
{
    const int tracks = 120;
    for (int i = 0; i < tracks; ++i)
        p.track(("T" + std::to_string(i)).c_str());
    auto track = [&rng] { return "T" + std::to_string(rng() % tracks); };
    for (int g = 0; g < tracks / 4; ++g) {
        std::string name = "G" + std::to_string(g);
        p.group(name.c_str(), {}, 0, 1 + static_cast<int>(rng() % 3));
        for (int m = 0; m < 4; ++m)
            p.link(name.c_str(), {("T" + std::to_string(4 * g + m)).c_str()});
    }
    for (int r = 0; r < tracks / 2; ++r) {
        std::string name = "R" + std::to_string(r), a = track(), b = track();
        if (a == b)
            continue;
        if (r % 2)
            p.rule(KCONST_IMPLY, name.c_str(), {b.c_str()}, a.c_str());
        else
            p.rule(KCONST_GROUP, name.c_str(), {a.c_str(), b.c_str()});
    }
}

// `tracks` tracks under `groups` overlapping groups of 4 to 6 tracks with minimums of 0 to 2 and
// maximums up to 3 above them, with a few at-most-one pairs and implications: switching one track
// sets off chains of repairs through the groups; from the stopped state, every group with a
// minimum is broken.
void overlappingProject(ProjectBuilder &p, std::mt19937 &rng, int tracks, int groups)
{
    auto track = [&rng, tracks] { return "T" + std::to_string(rng() % static_cast<unsigned>(tracks)); };
    for (int i = 0; i < tracks; ++i)
        p.track(("T" + std::to_string(i)).c_str());
    for (int g = 0; g < groups; ++g) {
        const std::string name = "G" + std::to_string(g);
        const int min = static_cast<int>(rng() % 3);
        p.group(name.c_str(), {}, min, min + 1 + static_cast<int>(rng() % 3));
        std::set<std::string> members;
        const size_t size = 4 + rng() % 3;
        while (members.size() < size)
            members.insert(track());
        for (const std::string &m : members)
            p.link(name.c_str(), {m.c_str()});
    }
    for (int r = 0; r < 4; ++r) {
        const std::string name = "R" + std::to_string(r), a = track(), b = track();
        if (a == b)
            continue;
        if (r % 2)
            p.rule(KCONST_IMPLY, name.c_str(), {b.c_str()}, a.c_str());
        else
            p.rule(KCONST_ONE, name.c_str(), {a.c_str(), b.c_str()});
    }
}

// A search that reaches its time limit before any state is followed by a search for any state:
// a possible request is answered, with a state that breaks no rule.
TEST(StatusSolverUnderPressure, LimitReachedBeforeAnyStateStillAnswersAPossibleRequest)
{
    k_setStatusSolverTimeLimit(20000);
    std::mt19937 rng(7);
    ProjectBuilder p;
    pressureProject(p, rng);
    KFile *f = p.file();
    for (int i = 0; i < 60; ++i)
        toggle(f, ("T" + std::to_string(rng() % 120)).c_str());
    k_setStatusSolverTimeLimit(1);
    const long hits = k_statusSolverLimitHits();
    int asked = 0;
    for (int i = 0; i < 120 && asked < 20; ++i) {
        const std::string name = "T" + std::to_string(i);
        if (!isPlaying(f, name.c_str()))
            continue;
        ++asked;
        std::vector<std::string> changed = takeList(checkStatus(f, name.c_str()));
        ASSERT_FALSE(changed.empty()) << name;
        EXPECT_EQ(0, isPlaying(f, name.c_str()));
        std::vector<std::string> broken = solvercheck::statusViolations(f);
        EXPECT_TRUE(broken.empty()) << name << ": " << broken.front();
    }
    EXPECT_GT(asked, 0);
    // From the stopped state of 192 tracks under overlapping groups with minimums, one request
    // has to repair most groups: far more search than the limit allows.
    ProjectBuilder q;
    overlappingProject(q, rng, 192, 64);
    const char *track = "T0";
    std::vector<std::string> changed = takeList(checkStatus(q.file(), track));
    ASSERT_FALSE(changed.empty());
    EXPECT_EQ(1, isPlaying(q.file(), track));
    std::vector<std::string> broken = solvercheck::statusViolations(q.file());
    EXPECT_TRUE(broken.empty()) << broken.front();
    EXPECT_GT(k_statusSolverLimitHits(), hits);
    k_setStatusSolverTimeLimit(0);
}

// The whole-project check counts the same tracks as asking the solver for each track in turn,
// also when the time limit stops its quick searches and the complete search has to answer.
TEST(StatusSolverUnderPressure, WholeProjectCheckCountsWhatPerTrackRequestsFind)
{
    for (unsigned long limit : {20000ul, 1ul}) {
        for (unsigned seed : {3u, 11u, 29u}) {
            k_setStatusSolverTimeLimit(20000);
            std::mt19937 rng(seed);
            ProjectBuilder p;
            pressureProject(p, rng);
            // Implications into closed groups make some tracks unplayable.
            for (int c = 0; c < 6; ++c) {
                const std::string closed = "Closed" + std::to_string(c);
                const std::string target = "T" + std::to_string(rng() % 120);
                p.group(closed.c_str(), {target.c_str()}, 0, 0);
            }
            KFile *f = p.file();
            KFile *copy = KFile_clone(f);
            ASSERT_NE(nullptr, copy);
            KCheckWFData perTrack{copy, 0};
            for (KElement *e : solvercheck::elements(copy))
                notOrphanCanPlay(e->name, e, &perTrack);
            _freeZark(copy);
            ASSERT_GT(perTrack.counter, 0);
            ASSERT_LT(perTrack.counter, notOrphanTracksNbr(f));
            k_setStatusSolverTimeLimit(limit);
            EXPECT_EQ(0, checkConstraintsWF(f, notOrphanCanPlay, perTrack.counter))
                << "seed " << seed << " limit " << limit;
        }
    }
    k_setStatusSolverTimeLimit(0);
}

// A track that, once playing, asks six players into five one-player slots: rule propagation
// cannot see that this is impossible, so a search that plays it first fails again and again
// before it tries the track silent. The whole-project check still counts every other track, and
// not this one.
TEST_F(StatusSolverTest, WholeProjectCheckSeesPastAHiddenContradiction)
{
    ProjectBuilder p;
    p.track("Trigger").group("Top", {"Trigger"});
    const int pigeons = 6, holes = 5;
    for (int j = 0; j < holes; ++j)
        p.group(("Hole" + std::to_string(j)).c_str(), {}, 0, 1);
    for (int i = 0; i < pigeons; ++i) {
        const std::string pigeon = "Pigeon" + std::to_string(i);
        p.group(pigeon.c_str());
        for (int j = 0; j < holes; ++j) {
            const std::string seat = pigeon + "Hole" + std::to_string(j);
            p.track(seat.c_str()).link(pigeon.c_str(), {seat.c_str()});
            p.link(("Hole" + std::to_string(j)).c_str(), {seat.c_str()});
        }
    }
    p.rule(KCONST_IMPLY, "Seated", {}, "Trigger");
    for (int i = 0; i < pigeons; ++i)
        p.link("Seated", {("Pigeon" + std::to_string(i)).c_str()});
    const int tracks = 1 + pigeons * holes;
    EXPECT_EQ(0, checkConstraintsWF(p.file(), canPlay, tracks - 1));
    EXPECT_EQ(1, checkConstraintsWF(p.file(), notOrphanCanPlay, tracks));
}

// Under a time limit too short for the whole search, an answer is still a state that breaks no
// rule, and a request that finds none changes nothing.
TEST(StatusSolverUnderPressure, ShortLimitStillGivesValidStatesOrRefusals)
{
    k_setStatusSolverTimeLimit(2);
    std::mt19937 rng(99);
    ProjectBuilder p;
    pressureProject(p, rng);
    auto track = [&rng] { return "T" + std::to_string(rng() % 120); };
    KFile *f = p.file();
    for (int request = 0; request < 60; ++request) {
        std::string name = track();
        auto before = statuses(f);
        GSList *changed = changeEltStatusWithCnsttControl(f, name.c_str(), 1);
        if (changed) {
            std::vector<std::string> broken = solvercheck::statusViolations(f);
            EXPECT_TRUE(broken.empty()) << name << ": " << broken.front();
        } else {
            EXPECT_EQ(before, statuses(f)) << name;
        }
        g_slist_free(changed);
    }
    k_setStatusSolverTimeLimit(0);
}

} // namespace

namespace {

// The current mix's tracks by name, in list order.
std::vector<std::string> currentMixTracks(KFile *f)
{
    std::vector<std::string> names;
    for (GSList *l = f->mixes->current->tracks; l; l = l->next)
        names.push_back(static_cast<KTrack *>(l->data)->elt->name);
    return names;
}

} // namespace

// A run of switches answers as the same switches made one at a time: the same statuses, the
// same changed names (each once, in order of first change) and the same current mix, whether
// the run starts from a state that breaks no rule or from a stopped project that breaks some.
TEST_F(StatusSolverTest, SwitchingManyElementsAnswersAsSwitchingEachInTurn)
{
    std::mt19937 rng(20261211);
    for (int project = 0; project < 120; ++project) {
        SCOPED_TRACE("project " + std::to_string(project));
        ProjectBuilder p;
        randomProject(p, rng, project % 2 == 0);
        KFile *f = p.file();
        if (project % 3 != 0)
            for (int i = 0; i < 3; ++i)
                toggle(f, f->eltsById[rng() % static_cast<unsigned>(f->eltCount)]->name);
        KFile *twin = KFile_clone(f);
        ASSERT_NE(nullptr, twin);
        std::vector<const char *> names;
        for (int id = 0; id < f->eltCount; ++id)
            if (rng() % 4 != 0)
                names.push_back(f->eltsById[id]->name);
        std::shuffle(names.begin(), names.end(), rng);
        const int play = project % 4 != 1;
        const int control = project % 5 != 0;

        std::vector<std::string> oneByOne;
        for (const char *name : names) {
            KElement *e = giveElt(twin, name);
            if ((e->status > 0) == (play != 0))
                continue;
            for (const std::string &changed :
                 takeList(changeEltStatusWithCnsttControl(twin, name, control)))
                if (std::find(oneByOne.begin(), oneByOne.end(), changed) == oneByOne.end())
                    oneByOne.push_back(changed);
        }
        std::vector<std::string> together = takeList(changeEltsStatusWithCnsttControl(
            f, names.data(), static_cast<int>(names.size()), play, control));

        EXPECT_EQ(oneByOne, together);
        EXPECT_EQ(statuses(twin), statuses(f));
        EXPECT_EQ(currentMixTracks(twin), currentMixTracks(f));
        _freeZark(twin);
        if (HasFailure())
            return;
    }
}


// On projects too large to enumerate, every answer changes the fewest tracks: a state that
// breaks no rule, the requested track switched, and no state with fewer other tracks switched
// (every smaller set of switched tracks tried); the same answer on a copy of the project.
TEST_F(StatusSolverTest, OverlappingGroupsGetTheFewestChanges)
{
    std::mt19937 rng(1211);
    int answered = 0, chained = 0;
    for (int project = 0; project < 12; ++project) {
        SCOPED_TRACE("project " + std::to_string(project));
        ProjectBuilder p;
        overlappingProject(p, rng, 24, 10);
        KFile *f = p.file();
        // A starting state that breaks no rule, from the stopped one that breaks the minimums.
        for (int i = 0; i < 20 && !solvercheck::statusViolations(f).empty(); ++i)
            toggle(f, ("T" + std::to_string(rng() % 24)).c_str());
        if (!solvercheck::statusViolations(f).empty())
            continue;
        for (int request = 0; request < 10; ++request) {
            KElement *elt = giveElt(f, ("T" + std::to_string(rng() % 24)).c_str());
            SCOPED_TRACE(std::string("request ") + elt->name);
            const solvercheck::PlayState before = solvercheck::currentPlay(f);
            const auto beforeStatuses = statuses(f);
            const bool wanted = elt->status <= 0;
            KFile *twin = KFile_clone(f);
            ASSERT_NE(nullptr, twin);
            const std::vector<std::string> twinChanged = takeList(checkStatus(twin, elt->name));
            _freeZark(twin);
            const std::vector<std::string> changed = takeList(checkStatus(f, elt->name));
            EXPECT_EQ(twinChanged, changed);
            if (changed.empty()) {
                EXPECT_EQ(beforeStatuses, statuses(f));
                continue;
            }
            ++answered;
            const std::vector<std::string> broken = solvercheck::statusViolations(f);
            ASSERT_TRUE(broken.empty()) << broken.front();
            ASSERT_EQ(wanted, elt->status > 0);
            const solvercheck::PlayState after = solvercheck::currentPlay(f);
            int moved = 0;
            for (KElement *e : solvercheck::elements(f))
                moved += e->type == KELT_TRACK && e != elt && before[e->id] != after[e->id];
            chained += moved >= 2;
            EXPECT_FALSE(solvercheck::fewChangesSuffice(f, elt, wanted, before, moved - 1))
                << moved << " other tracks switched";
        }
    }
    // The projects exercise what they are meant to: answers that move several other tracks.
    EXPECT_GE(answered, 60);
    EXPECT_GE(chained, 10);
}

// A repair that runs through a group's own status: switching A off leaves the inner group
// without a sure playing member, so the outer group's minimum needs B or C on, although no rule
// looks broken while every undecided track is counted as it was (the inner group still as
// playing). The search must not take "keep everything else" for an answer without checking it.
TEST_F(StatusSolverTest, RepairThroughAGroupStatusIsFound)
{
    for (const char *asked : {"A", "Inner"}) {
        SCOPED_TRACE(asked);
        ProjectBuilder p;
        p.track("A").track("B").track("C");
        p.group("Inner", {"A", "C"}, 0, 2);
        p.group("Outer", {"Inner", "B"}, 1, 2);
        KFile *f = p.file();
        const char *playing[] = {"A"};
        ASSERT_EQ(1, controlStatus(f, playing, 1));
        const std::vector<std::string> changed = takeList(checkStatus(f, asked));
        ASSERT_FALSE(changed.empty());
        EXPECT_EQ(asked, changed.front());
        EXPECT_TRUE(solvercheck::statusViolations(f).empty());
        EXPECT_FALSE(isPlaying(f, "A"));
        // One other track, the fewest possible.
        EXPECT_EQ(1, isPlaying(f, "B") + isPlaying(f, "C"));
    }
}

// The same repair where the first undecided track (B) is the expensive one to change: B on
// implies D on, while C on is enough alone. Keeping every undecided track fails, and the fewest
// changes keep B and change a later track, so the search must still try keeping B alone after
// keeping everything failed.
TEST_F(StatusSolverTest, RepairThatKeepsTheFirstUndecidedTrackIsFound)
{
    ProjectBuilder p;
    p.track("A").track("B").track("C").track("D");
    p.group("Inner", {"A", "C"}, 0, 2);
    p.group("Outer", {"Inner", "B"}, 1, 2);
    p.rule(KCONST_IMPLY, "BNeedsD", {"D"}, "B");
    KFile *f = p.file();
    const char *playing[] = {"A"};
    ASSERT_EQ(1, controlStatus(f, playing, 1));
    const std::vector<std::string> changed = takeList(checkStatus(f, "A"));
    EXPECT_EQ((std::vector<std::string>{"A", "C"}), changed);
    EXPECT_TRUE(solvercheck::statusViolations(f).empty());
}

// The first switch of a session on a project of 256 elements: everything stopped breaks many
// minimums at once, and switching T152 on needs 28 other tracks switched. At the default time
// limit the answer switches at most 30: the searches that bound it are counted in failures, not
// timed, so the verdict is the same on a loaded machine.
TEST(StatusSolverFirstRequest, StoppedProjectIsRepairedWithFewChangesAtTheDefaultLimit)
{
    k_setStatusSolverTimeLimit(0);
    std::ifstream in(TOVRA_TEST_DATA_DIR "/data/stopped-project-256.xml");
    std::stringstream text;
    text << in.rdbuf();
    KFile *f = newZark("Stopped", 2.0);
    ASSERT_EQ(1, LoadFromXmlDesc(f, text.str().c_str()));
    for (KElement *e : solvercheck::elements(f))
        ASSERT_LE(e->status, 0) << e->name;
    ASSERT_FALSE(solvercheck::statusViolations(f).empty());

    const std::vector<std::string> changed = takeList(checkStatus(f, "T152"));
    ASSERT_FALSE(changed.empty());
    EXPECT_EQ("T152", changed.front());
    EXPECT_TRUE(solvercheck::statusViolations(f).empty());
    const long others = std::count_if(changed.begin() + 1, changed.end(), [f](const std::string &n) {
        return isATrack(f, n.c_str()) == 1;
    });
    EXPECT_LE(others, 30);
    _freeZark(f);
}
