// Mix-law level solver: hand-made moves, refusals that change nothing, and a property over
// generated projects verified against an exhaustive enumeration of the levels.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "KMixSolver.h"
#include "ProjectBuilder.h"
#include "SolverChecker.h"

namespace {

class MixSolverTest : public ::testing::Test {
protected:
    void SetUp() override { k_setLevelSolverTimeLimit(20000); }
    void TearDown() override { k_setLevelSolverTimeLimit(0); }
};

using solvercheck::takeList;

void play(KFile *f, const char *name)
{
    g_slist_free(moveStatusWithReturn(nullptr, giveElt(f, name)));
}

// Default and current level of an element.
void levels(KFile *f, const char *name, int defaultLevel, int level)
{
    KElement *e = giveElt(f, name);
    changeDefLevel(e, defaultLevel);
    changeLevel(e, level - e->levels->level);
}

std::vector<int> allLevels(KFile *f)
{
    std::vector<int> out;
    for (KElement *e : solvercheck::elements(f))
        out.push_back(e->levels->level);
    return out;
}

TEST_F(MixSolverTest, EquivalenceKeepsTheProportionOfDefaults)
{
    ProjectBuilder p;
    p.track("A").track("B").rule(KCONST_EQUIV, "Eq", {"A", "B"});
    levels(p.file(), "A", 0, 0);
    levels(p.file(), "B", -30, -30);
    play(p.file(), "A");
    play(p.file(), "B");
    EXPECT_EQ((std::vector<std::string>{"A", "B"}),
              takeList(moveLevelParams(p.file(), "A", 30, TMS_PLAYING_BUT_MOVED, 0)));
    EXPECT_EQ(30, getLevel(p.file(), "A"));
    EXPECT_EQ(-4, getLevel(p.file(), "B"));
    EXPECT_TRUE(solvercheck::levelViolations(p.file(), 1).empty());
}

TEST_F(MixSolverTest, MoveRequests)
{
    struct Case {
        const char *what;
        const char *name;
        int level;
        TypeMixSolver type;
        bool accepted;
        int expectedLevel; // of the named element afterwards
    } cases[] = {
        {"above 60 counts as 60", "B", 75, TMS_PLAYING_BUT_MOVED, true, 60},
        {"below silence", "A", -241, TMS_PLAYING_BUT_MOVED, false, -10},
        {"silence", "B", -240, TMS_PLAYING_BUT_MOVED, true, -240},
        {"above the element's maximum", "A", 25, TMS_PLAYING_BUT_MOVED, false, -10},
        {"below the element's minimum", "A", -200, TMS_ALL_BUT_MOVED, false, -10},
        {"silent element, playing ones only", "S", -50, TMS_PLAYING_BUT_MOVED, false, 0},
        {"silent element, every element", "S", -50, TMS_ALL_BUT_MOVED, true, -50},
        {"a rule bears no level", "Ex", -50, TMS_ALL_BUT_MOVED, false, 0},
        {"unknown element", "Z", 0, TMS_ALL_BUT_MOVED, false, 0},
    };
    for (const Case &c : cases) {
        ProjectBuilder p;
        p.track("A").track("S").track("B").rule(KCONST_GROUP, "Ex", {"B"});
        ASSERT_EQ(1, setMinMaxLevel(p.file(), "A", -150, 20));
        levels(p.file(), "A", 0, -10);
        play(p.file(), "A");
        play(p.file(), "B");
        std::vector<int> before = allLevels(p.file());
        GSList *list = moveLevelParams(p.file(), c.name, c.level, c.type, 0);
        EXPECT_EQ(c.accepted, list != nullptr) << c.what;
        if (list) {
            EXPECT_EQ((std::vector<std::string>{c.name}), takeList(list)) << c.what;
            EXPECT_TRUE(solvercheck::levelViolations(p.file(), c.type).empty()) << c.what;
        } else {
            EXPECT_EQ(before, allLevels(p.file())) << c.what;
        }
        if (giveElt(p.file(), c.name)) {
            EXPECT_EQ(c.expectedLevel, getLevel(p.file(), c.name)) << c.what;
        }
    }
    EXPECT_EQ(nullptr, moveLevelParams(nullptr, "A", 0, TMS_ALL_BUT_MOVED, 0));
}

TEST_F(MixSolverTest, SolvingWithoutAMove)
{
    ProjectBuilder p;
    p.track("A").track("B");
    EXPECT_EQ(nullptr, checkLevel(p.file(), nullptr, 0, TMS_ALL_PLAYING)); // nothing plays
    play(p.file(), "A");
    levels(p.file(), "A", 0, -20);
    // A single taking-part element within its bounds stays where it is.
    EXPECT_EQ((std::vector<std::string>{"A"}),
              takeList(checkLevel(p.file(), "A", 0, TMS_ALL_PLAYING)));
    EXPECT_EQ(-20, getLevel(p.file(), "A"));
    EXPECT_EQ(nullptr, checkLevel(p.file(), nullptr, 0, TMS_ALL_PLAYING));
    // Under type 1 it takes the requested level.
    EXPECT_EQ((std::vector<std::string>{"A"}),
              takeList(checkLevel(p.file(), "A", 12, TMS_PLAYING_BUT_MOVED)));
    EXPECT_EQ(12, getLevel(p.file(), "A"));
    // A lone playing element outside its bounds keeps its level (nothing to balance it against)
    // unless its bounds fix it; with a second one playing, it is brought back to the nearest bound.
    ASSERT_EQ(1, setMinMaxLevel(p.file(), "A", -100, 0));
    EXPECT_EQ(nullptr, checkLevel(p.file(), nullptr, 0, TMS_ALL_PLAYING));
    EXPECT_EQ(12, getLevel(p.file(), "A"));
    play(p.file(), "B");
    EXPECT_EQ((std::vector<std::string>{"A"}),
              takeList(checkLevel(p.file(), nullptr, 0, TMS_ALL_PLAYING)));
    EXPECT_EQ(0, getLevel(p.file(), "A"));
    play(p.file(), "B");
    ASSERT_EQ(1, setMinMaxLevel(p.file(), "A", -7, -7));
    EXPECT_EQ((std::vector<std::string>{"A"}),
              takeList(checkLevel(p.file(), nullptr, 0, TMS_ALL_PLAYING)));
    EXPECT_EQ(-7, getLevel(p.file(), "A"));
}

TEST_F(MixSolverTest, SilentDefaultsInAnEquivalence)
{
    ProjectBuilder p;
    p.track("A").track("B").track("C").rule(KCONST_EQUIV, "Eq", {"A", "B"});
    p.rule(KCONST_EQUIV, "Eq2", {"B", "C"});
    levels(p.file(), "A", -240, -240);
    levels(p.file(), "B", -240, -240);
    levels(p.file(), "C", 0, -240);
    for (const char *n : {"A", "B", "C"})
        play(p.file(), n);
    // Two silent defaults have no proportion: A moves alone.
    EXPECT_EQ((std::vector<std::string>{"A"}),
              takeList(moveLevelParams(p.file(), "A", -100, TMS_PLAYING_BUT_MOVED, 0)));
    EXPECT_EQ(-240, getLevel(p.file(), "B"));
    // A silent default beside a sounding one keeps its element silent.
    EXPECT_EQ(nullptr, moveLevelParams(p.file(), "B", -100, TMS_PLAYING_BUT_MOVED, 0));
    EXPECT_EQ((std::vector<std::string>{"C"}),
              takeList(moveLevelParams(p.file(), "C", -30, TMS_PLAYING_BUT_MOVED, 0)));
    EXPECT_EQ(-240, getLevel(p.file(), "B"));
}

TEST_F(MixSolverTest, GroupsAndSilentElementsUnderEachType)
{
    ProjectBuilder p;
    p.track("A").track("B").group("G", {"A"}).rule(KCONST_EQUIV, "Eq", {"G", "B"});
    p.rule(KCONST_GROUP, "Hidden", {"B"});
    levels(p.file(), "G", 0, 0);
    levels(p.file(), "B", 0, 0);
    play(p.file(), "A"); // G plays through its member, B is silent
    // A silent B takes no part under type 1; under type 3 it follows the group.
    EXPECT_EQ((std::vector<std::string>{"G"}),
              takeList(moveLevelParams(p.file(), "G", -30, TMS_PLAYING_BUT_MOVED, 0)));
    EXPECT_EQ(0, getLevel(p.file(), "B"));
    EXPECT_EQ((std::vector<std::string>{"G", "B"}),
              takeList(moveLevelParams(p.file(), "G", -60, TMS_ALL_BUT_MOVED, 0)));
    EXPECT_EQ(-60, getLevel(p.file(), "B"));
    EXPECT_EQ(0, getLevel(p.file(), "Hidden")); // a hidden group bears no level
    // checkLevel under type 1 refuses a silent element (no deviation array to overflow).
    EXPECT_EQ(nullptr, checkLevel(p.file(), "B", 0, TMS_PLAYING_BUT_MOVED));
    ProjectBuilder quiet;
    quiet.track("T");
    EXPECT_EQ(nullptr, checkLevel(quiet.file(), "T", 0, TMS_PLAYING_BUT_MOVED));
}

TEST_F(MixSolverTest, OutOfMixAndBadArguments)
{
    ProjectBuilder p;
    p.track("A");
    play(p.file(), "A");
    KMix *mix = KMix_create("Stored");
    ASSERT_EQ(1, MixManager_addMix(p.file()->mixes, mix));
    MixManager_setMixOnPlay(p.file()->mixes, "Stored");
    ASSERT_NE(nullptr, MixManager_MixOnPlay(p.file()->mixes));
    ASSERT_EQ(1, setMinMaxLevel(p.file(), "A", -240, 10));
    EXPECT_EQ(nullptr, moveLevelParams(p.file(), "A", 30, TMS_PLAYING_BUT_MOVED, 1)); // refused
    EXPECT_NE(nullptr, MixManager_MixOnPlay(p.file()->mixes));
    g_slist_free(moveLevelParams(p.file(), "A", 5, TMS_PLAYING_BUT_MOVED, 1));
    EXPECT_EQ(nullptr, MixManager_MixOnPlay(p.file()->mixes));

    testing::internal::CaptureStderr();
    EXPECT_EQ(nullptr, checkLevel(p.file(), "A", 0, static_cast<TypeMixSolver>(7)));
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find(
                                     "unknown value of TypeMixSolver"));
    EXPECT_EQ(nullptr, checkLevel(nullptr, "A", 0, TMS_ALL_BUT_MOVED));
    EXPECT_EQ(nullptr, checkLevel(p.file(), "A", INT_MAX, TMS_ALL_BUT_MOVED));
    EXPECT_EQ(nullptr, checkLevel(p.file(), "A", INT_MIN, TMS_ALL_BUT_MOVED));
    EXPECT_EQ(5, getLevel(p.file(), "A"));
}

TEST_F(MixSolverTest, LevelLawChecker)
{
    ProjectBuilder p;
    p.track("A").track("B").rule(KCONST_EQUIV, "Eq", {"A", "B"});
    play(p.file(), "A");
    play(p.file(), "B");
    EXPECT_EQ(0, checkLevelLaws(p.file(), nullptr, "A", 1.0));
    testing::internal::CaptureStderr();
    levels(p.file(), "B", 0, -30); // out of proportion with A
    GSList *list = g_slist_append(nullptr, const_cast<char *>("B"));
    EXPECT_EQ(3, checkLevelLaws(p.file(), list, "A", 0.5));
    std::string err = testing::internal::GetCapturedStderr();
    g_slist_free(list);
    EXPECT_NE(std::string::npos, err.find("checkLevelLaws 1"));
    EXPECT_NE(std::string::npos, err.find("checkLevelLaws 2"));
    EXPECT_NE(std::string::npos, err.find("cLLForeach 3 : B"));
}

TEST(MixSolverLimit, APossibleMoveIsAcceptedWhenTheLimitPassesBeforeAnyAnswer)
{
    // Setting up 600 elements alone outlasts a 1 ms limit, as a busy machine does.
    ProjectBuilder p;
    for (int rule = 0; rule < 60; ++rule) {
        const std::string name = "Eq" + std::to_string(rule);
        p.rule(KCONST_EQUIV, name.c_str(), {});
        for (int i = 0; i < 10; ++i) {
            const std::string track = "T" + std::to_string(rule) + "_" + std::to_string(i);
            p.track(track.c_str());
            ASSERT_EQ(1, addSubElt(p.file(), name.c_str(), track.c_str()));
        }
    }
    k_setLevelSolverTimeLimit(1);
    const std::vector<std::string> changed =
        takeList(moveLevelParams(p.file(), "T7_3", -30, TMS_ALL_BUT_MOVED, 0));
    k_setLevelSolverTimeLimit(0);
    ASSERT_FALSE(changed.empty());
    EXPECT_EQ(-30, getLevel(p.file(), "T7_3"));
    EXPECT_TRUE(solvercheck::levelViolations(p.file(), TMS_ALL_BUT_MOVED).empty());
}

TEST(MixSolverLimit, SetterAndDefault)
{
    EXPECT_EQ(10ul, k_getLevelSolverTimeLimit());
    k_setLevelSolverTimeLimit(300);
    EXPECT_EQ(300ul, k_getLevelSolverTimeLimit());
    k_setLevelSolverTimeLimit(0);
    EXPECT_EQ(10ul, k_getLevelSolverTimeLimit());
    EXPECT_EQ(0, levelToInt(-240));
    EXPECT_EQ(60, intToLevel(300));
}

// --- Generated projects --------------------------------------------------------------------------

void randomProject(ProjectBuilder &p, std::mt19937 &rng)
{
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    KFile *f = p.file();
    int tracks = 2 + pick(5);
    std::vector<std::string> t;
    for (int i = 0; i < tracks; ++i) {
        t.push_back("T" + std::to_string(i));
        p.track(t.back().c_str());
    }
    if (pick(2))
        p.group("G", {t[0].c_str(), t[1].c_str()});
    std::vector<std::string> bearers = t;
    if (giveElt(f, "G"))
        bearers.push_back("G");
    for (const std::string &name : bearers) {
        KElement *e = giveElt(f, name.c_str());
        int lo = pick(4) ? -240 : -200 + pick(100);
        int hi = pick(4) ? 60 : -40 + pick(100);
        if (setMinMaxLevel(f, name.c_str(), lo, std::max(lo, hi)) != 1)
            ADD_FAILURE() << name;
        changeDefLevel(e, pick(8) ? -90 + pick(120) : -240);
        changeLevel(e, -200 + pick(260) - e->levels->level);
        if (pick(3))
            play(f, name.c_str());
    }
    int equivalences = pick(3);
    for (int i = 0; i < equivalences; ++i) {
        std::vector<std::string> members = bearers;
        std::shuffle(members.begin(), members.end(), rng);
        members.resize(
            static_cast<size_t>(std::min<int>(2 + pick(2), static_cast<int>(members.size()))));
        std::string name = "Eq" + std::to_string(i);
        p.rule(KCONST_EQUIV, name.c_str(), {});
        for (const std::string &m : members)
            p.link(name.c_str(), {m.c_str()});
    }
}

// Every answer is checked: the laws hold, the moved level is held, the total move is the least
// the enumeration finds, and the list names exactly the elements that moved; a refusal happens
// only when no state exists, and changes nothing.
void checkMove(KFile *f, KElement *moved, int level, TypeMixSolver type)
{
    std::vector<int> before = allLevels(f);
    int held = std::min(level, 60);
    solvercheck::LevelOptimum best = solvercheck::bestLevels(f, type, moved, held, before);
    GSList *list = moved ? moveLevelParams(f, moved->name, level, type, 0)
                         : checkLevel(f, nullptr, 0, type);
    bool preconditions = !moved || ((type == TMS_ALL_BUT_MOVED || moved->status > 0) &&
                                    level >= -240 && solvercheck::takesPart(moved, type));
    if (!list) {
        EXPECT_EQ(before, allLevels(f));
        if (preconditions && !(moved == nullptr && best.feasible && best.cost == 0)) {
            EXPECT_FALSE(best.feasible);
        }
        return;
    }
    ASSERT_TRUE(preconditions);
    ASSERT_TRUE(best.feasible);
    std::vector<std::string> changed = takeList(list);
    std::vector<std::string> broken = solvercheck::levelViolations(f, type);
    EXPECT_TRUE(broken.empty()) << broken.front();
    long cost = 0;
    std::set<std::string> movedNames;
    for (KElement *e : solvercheck::elements(f)) {
        int delta = e->levels->level - before[static_cast<size_t>(e->id)];
        if (e == moved)
            continue;
        if (solvercheck::takesPart(e, type)) {
            cost += std::labs(delta);
        } else {
            EXPECT_EQ(0, delta) << e->name << " takes no part";
        }
        if (delta)
            movedNames.insert(e->name);
    }
    EXPECT_EQ(best.cost, cost);
    if (moved) {
        EXPECT_EQ(held, moved->levels->level);
        ASSERT_EQ(moved->name, changed.front());
        changed.erase(changed.begin());
    }
    EXPECT_EQ(movedNames, std::set<std::string>(changed.begin(), changed.end()));
    EXPECT_EQ(changed.size(), movedNames.size());
}

TEST_F(MixSolverTest, GeneratedProjectsAgreeWithEnumeration)
{
    std::mt19937 rng(1789);
    for (int project = 0; project < 150; ++project) {
        ProjectBuilder p;
        randomProject(p, rng);
        KFile *f = p.file();
        for (int request = 0; request < 4; ++request) {
            KElement *elt = f->eltsById[rng() % static_cast<unsigned>(f->eltCount)];
            int level = -250 + static_cast<int>(rng() % 330);
            TypeMixSolver type = static_cast<TypeMixSolver>(1 + rng() % 3);
            SCOPED_TRACE("project " + std::to_string(project) + " " + elt->name + " to " +
                         std::to_string(level) + " type " + std::to_string(type));
            checkMove(f, type == TMS_ALL_PLAYING ? nullptr : elt, level, type);
            if (HasFatalFailure())
                return;
        }
    }
}

} // namespace
