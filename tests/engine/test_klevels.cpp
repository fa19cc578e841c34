// Levels and gains down the group tree, level bounds, mix laws, mute and solo spreading with the
// solo count, pan factors and the master gain and pan.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "KLevels.h"
#include "ProjectBuilder.h"

namespace {

void switchOn(KFile *file, std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        KElement *elt = giveElt(file, name);
        ASSERT_NE(nullptr, elt) << name;
        if (elt->status <= 0)
            g_slist_free(moveStatusWithReturn(nullptr, elt));
    }
}

std::set<std::string> soloed(KFile *file)
{
    std::set<std::string> names;
    for (KElement *e = file->firstCreated; e; e = e->nextCreated)
        if (e->solo)
            names.insert(e->name);
    return names;
}

std::set<std::string> muted(KFile *file)
{
    std::set<std::string> names;
    for (KElement *e = file->firstCreated; e; e = e->nextCreated)
        if (e->mute)
            names.insert(e->name);
    return names;
}

} // namespace

// --- Levels and gains ----------------------------------------------------------------------------

TEST(KLevelsGain, TrackLevelGivesOwnAndEffectiveGain)
{
    ProjectBuilder p;
    p.track("T").group("G", {"T"});
    changeLevel(p.elt("T"), 30);
    EXPECT_DOUBLE_EQ(2.0, p.elt("T")->levels->ownGain);
    changeLevel(p.elt("G"), -30);
    EXPECT_DOUBLE_EQ(0.5, p.elt("G")->levels->gain);
    EXPECT_DOUBLE_EQ(1.0, p.elt("T")->levels->gain) << "a group move recomputes its members";
    changeLevel(p.elt("T"), -30);
    EXPECT_DOUBLE_EQ(0.5, p.elt("T")->levels->gain);
}

TEST(KLevelsGain, GainsFollowTheFirstVisibleParentAtAnyDepth)
{
    ProjectBuilder p;
    p.track("T").group("Inner", {"T"}).group("Outer", {"Inner"});
    p.rule(KCONST_GROUP, "Hidden", {"T"});
    changeLevel(p.elt("Outer"), -60);
    EXPECT_DOUBLE_EQ(0.25, p.elt("Inner")->levels->gain);
    EXPECT_DOUBLE_EQ(0.25, p.elt("T")->levels->gain);
    changeLevel(p.elt("Hidden"), -90);
    EXPECT_DOUBLE_EQ(0.25, p.elt("T")->levels->gain) << "a hidden rule is no gain parent";
}

TEST(KLevelsGain, OutOfRangeTrackMoveIsRefusedWithAWarning)
{
    ProjectBuilder p;
    p.track("T");
    testing::internal::CaptureStderr();
    changeLevel(p.elt("T"), 61);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos,
              err.find("!!! WARNING changeLevel (T) : incorrect level value !!!\n"));
    EXPECT_EQ(0, getLevel(p.file(), "T"));
    changeLevel(p.elt("T"), -240);
    EXPECT_EQ(-240, getLevel(p.file(), "T"));
    changeLevel(p.elt("T"), -1);
    EXPECT_EQ(-240, getLevel(p.file(), "T"));
}

TEST(KLevelsGain, BottomOfTheScaleIsSilence)
{
    ProjectBuilder p;
    p.track("T").group("G", {"T"});
    changeLevel(p.elt("T"), KLEVEL_MIN);
    EXPECT_EQ(0.0, p.elt("T")->levels->ownGain);
    EXPECT_EQ(0.0, p.elt("T")->levels->gain);
    changeDefLevel(p.elt("T"), KLEVEL_MIN);
    EXPECT_EQ(0.0, p.elt("T")->levels->defaultGain);
    // Every level silent: the effective gains too, since the mixer plays those.
    changeLevel(p.elt("T"), 240);
    ASSERT_EQ(1, setAllLevelAtZero(p.file()));
    for (const char *name : {"T", "G"}) {
        EXPECT_EQ(KLEVEL_MIN, getLevel(p.file(), name));
        EXPECT_EQ(0.0, p.elt(name)->levels->ownGain);
        EXPECT_EQ(0.0, p.elt(name)->levels->gain);
    }
}

TEST(KLevelsGain, OutOfRangeTrackStillFollowsItsGroup)
{
    ProjectBuilder p;
    p.track("T").group("G", {"T"});
    p.elt("T")->levels->level = 90; // as read from a file without a range test
    changeLevel(p.elt("G"), -30);
    EXPECT_DOUBLE_EQ(0.5 * p.elt("T")->levels->ownGain, p.elt("T")->levels->gain);
    EXPECT_EQ(90, getLevel(p.file(), "T"));
}

TEST(KLevelsGain, GroupLevelsStayWhereGainsAreFinite)
{
    ProjectBuilder p;
    p.track("T").group("G", {"T"});
    changeLevel(p.elt("G"), 40000);
    EXPECT_EQ(KLEVEL_GROUP_CEIL, getLevel(p.file(), "G"));
    EXPECT_TRUE(std::isfinite(p.elt("T")->levels->gain));
    changeLevel(p.elt("G"), std::numeric_limits<int>::min());
    EXPECT_EQ(KLEVEL_GROUP_FLOOR, getLevel(p.file(), "G"));
    EXPECT_EQ(0.0, p.elt("T")->levels->gain);
}

TEST(KLevelsGain, SetLevelsClonesTheRecord)
{
    ProjectBuilder p;
    p.track("T");
    KLevels levels;
    KLevels_init(&levels);
    levels.level = -30;
    levels.minLevel = -100;
    ASSERT_EQ(1, KElement_setLevels(p.elt("T"), &levels));
    levels.level = 5;
    EXPECT_EQ(-30, getLevel(p.file(), "T"));
    EXPECT_EQ(-100, getMinLevel(p.file(), "T"));
    EXPECT_EQ(0, KElement_setLevels(nullptr, &levels));
    EXPECT_EQ(0, KElement_setLevels(p.elt("T"), nullptr));
}

TEST(KLevelsGain, DefaultLevelAndUnknownNames)
{
    ProjectBuilder p;
    p.track("T");
    EXPECT_EQ(1, setDefaultLevel(p.file(), "T", -30.7));
    EXPECT_EQ(-30, getDefLevel(p.file(), "T"));
    EXPECT_DOUBLE_EQ(0.5, p.elt("T")->levels->defaultGain);
    EXPECT_EQ(-1, setDefaultLevel(p.file(), "nope", 0.0));
    EXPECT_EQ(TVR_ERR_PARAM, setDefaultLevel(p.file(), "T", std::nan("")));
    EXPECT_EQ(1, setDefaultLevel(p.file(), "T", 1e300));
    EXPECT_EQ(KLEVEL_MAX, getDefLevel(p.file(), "T"));
    // Unknown names read as neutral values instead of crashing.
    EXPECT_EQ(0, getLevel(p.file(), "nope"));
    EXPECT_EQ(0, getDefLevel(p.file(), "nope"));
    EXPECT_EQ(KLEVEL_MIN, getMinLevel(p.file(), "nope"));
    EXPECT_EQ(KLEVEL_MAX, getMaxLevel(p.file(), "nope"));
}

TEST(KLevelsBounds, SetMinMaxLevelTable)
{
    const int U = KLEVEL_UNCHANGED;
    struct Case {
        const char *elt;
        int min, max, result, expectMin, expectMax;
    } cases[] = {
        {"T", -250, U, -3, -240, 60}, {"T", U, 61, -2, -240, 60},   {"T", 10, 0, -4, -240, 60},
        {"T", U, U, -2, -240, 60},    {"T", -100, U, 1, -100, 60},  {"T", U, 20, 1, -240, 20},
        {"T", -10, 10, 1, -10, 10},   {"T", -241, 10, -4, -240, 60}, {"T", 0, 61, -4, -240, 60},
        {"G", -300, 100, 1, -300, 100}, {"G", 5, 4, -4, -240, 60},  {"nope", 0, 0, -1, -240, 60},
        // One-sided changes are not compared with the other stored bound.
        {"T", 100, U, 1, 100, 60},
    };
    for (const Case &c : cases) {
        ProjectBuilder p;
        p.track("T").group("G", {"T"});
        EXPECT_EQ(c.result, setMinMaxLevel(p.file(), c.elt, c.min, c.max))
            << c.elt << " " << c.min << " " << c.max;
        EXPECT_EQ(c.expectMin, getMinLevel(p.file(), c.elt)) << c.elt << " " << c.min;
        EXPECT_EQ(c.expectMax, getMaxLevel(p.file(), c.elt)) << c.elt << " " << c.max;
    }
}

TEST(KLevelsLaw, SetMixLawAcceptanceTable)
{
    struct Case {
        const char *elt;
        int type, result;
    } cases[] = {
        {"T", 23, 0},       {"T", 0, 1},      {"T", 10, 1},      {"T", 21, 0},
        {"Imply", 23, 1},   {"Imply", 21, 0}, {"Equiv", 23, 1},  {"Equiv", 22, 0},
        {"Excl", 21, 0},    {"Wide", 21, 1},  {"Wide", 22, 1},   {"All", 21, 1},
        {"One", 21, 0},     {"Excl", 0, 1},   {"nope", 10, -1},
    };
    for (const Case &c : cases) {
        ProjectBuilder p;
        p.track("T").track("U").track("V");
        p.rule(KCONST_IMPLY, "Imply", {"U"}, "T").rule(KCONST_EQUIV, "Equiv", {"T", "U"});
        p.rule(KCONST_GROUP, "Excl", {"T", "U"}).group("Wide", {"T", "U"}, 0, 2);
        p.rule(KCONST_ALL, "All", {"T", "U"}).rule(KCONST_ONE, "One", {"U", "V"});
        // The law data is taken over on success only.
        double *data = static_cast<double *>(tvr_malloc(sizeof(double)));
        *data = 0.75;
        int result = setMixLaw(p.file(), c.elt, c.type, data);
        EXPECT_EQ(c.result, result) << c.elt << " " << c.type;
        if (result == 1) {
            EXPECT_EQ(c.type, p.elt(c.elt)->mixLawType);
            EXPECT_EQ(data, p.elt(c.elt)->mixLawData);
        } else {
            tvr_free(data);
        }
    }
}

TEST(KLevelsLaw, ReplacingTheLawFreesTheOldData)
{
    ProjectBuilder p;
    p.track("T").track("U").rule(KCONST_IMPLY, "Imply", {"U"}, "T");
    for (double coefficient : {0.5, 0.25}) {
        double *data = static_cast<double *>(tvr_malloc(sizeof(double)));
        *data = coefficient;
        ASSERT_EQ(1, setMixLaw(p.file(), "Imply", KMIXLAW_UPCOEF, data));
    }
    EXPECT_EQ(0.25, *static_cast<double *>(p.elt("Imply")->mixLawData));
    EXPECT_EQ(1, setMixLaw(p.file(), "Imply", KMIXLAW_NONE, nullptr));
    EXPECT_EQ(nullptr, p.elt("Imply")->mixLawData);
}

// --- Mute ----------------------------------------------------------------------------------------

TEST(KLevelsMute, GroupFollowsItsPlayingMembers)
{
    ProjectBuilder p;
    p.track("A").track("B").track("C").group("G", {"A", "B", "C"}).group("Top", {"G"});
    switchOn(p.file(), {"A", "B"});
    k_setMute(p.file(), "A", 1);
    EXPECT_EQ(0, k_isMute(p.file(), "G"));
    k_setMute(p.file(), "B", 1);
    EXPECT_EQ((std::set<std::string>{"A", "B", "G", "Top"}), muted(p.file()))
        << "the stopped member C does not keep the group unmuted";
    k_setMute(p.file(), "A", 0);
    EXPECT_EQ((std::set<std::string>{"B"}), muted(p.file()));
}

TEST(KLevelsMute, GroupMuteSpreadsToEveryMember)
{
    ProjectBuilder p;
    p.track("A").track("B").group("Inner", {"B"}).group("G", {"A", "Inner"});
    switchOn(p.file(), {"A", "B"});
    k_setMute(p.file(), "G", 1);
    EXPECT_EQ((std::set<std::string>{"A", "B", "Inner", "G"}), muted(p.file()));
    k_setMute(p.file(), "G", 0);
    EXPECT_TRUE(muted(p.file()).empty());
    k_setMute(p.file(), "nope", 1);
    EXPECT_EQ(0, k_isMute(p.file(), "nope"));
}

TEST(KLevelsMute, GroupCountsOnlyItsPlayingMembers)
{
    // G holds A and B under Top: G is muted when every playing member is muted, so a group
    // without a playing member is muted by any check; a silent member's mute does not count.
    using S = std::set<std::string>;
    struct Case {
        std::initializer_list<const char *> playing;
        std::vector<std::pair<const char *, int>> mutes;
        S muted;
    } cases[] = {
        {{}, {{"A", 1}}, S{"A", "G", "Top"}},
        {{}, {{"A", 1}, {"A", 0}}, S{"G", "Top"}},
        {{"A"}, {{"B", 1}}, S{"B"}},
        {{"A"}, {{"A", 1}}, S{"A", "G", "Top"}},
        {{"A"}, {{"A", 1}, {"A", 0}}, S{}},
        {{"A", "B"}, {{"A", 1}, {"B", 1}, {"B", 0}}, S{"A"}},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        ProjectBuilder p;
        p.track("A").track("B").group("G", {"A", "B"}).group("Top", {"G"});
        switchOn(p.file(), cases[i].playing);
        for (const auto &mute : cases[i].mutes)
            k_setMute(p.file(), mute.first, mute.second);
        EXPECT_EQ(cases[i].muted, muted(p.file())) << "case " << i;
    }
}

TEST(KLevelsMute, SoloedGroupIsNotMutedByItsCheck)
{
    ProjectBuilder p;
    p.track("A").track("B").group("G", {"A", "B"});
    k_setSolo(p.file(), "G", 1);
    k_setMute(p.file(), "A", 1);
    EXPECT_EQ(0, k_isMute(p.file(), "G"));
    EXPECT_EQ(1, k_isSolo(p.file(), "G"));
    EXPECT_EQ(0, k_isSolo(p.file(), "A"));
}

// --- Solo ----------------------------------------------------------------------------------------

struct SoloStep {
    const char *op; // "solo", "unsolo", "mute", "unmute", "delete"
    const char *name;
    std::set<std::string> soloed;
};

// Project: G1 {A, B}, G2 {C, G3}, G3 {D}, top track E, all playing; G4 {F, H} with F and H
// stopped.
void buildSoloProject(ProjectBuilder &p)
{
    p.track("A").track("B").track("C").track("D").track("E").track("F").track("H");
    p.group("G1", {"A", "B"}).group("G3", {"D"}).group("G2", {"C", "G3"}).group("G4", {"F", "H"});
    switchOn(p.file(), {"A", "B", "C", "D", "E"});
}

void runSoloSequence(const std::vector<SoloStep> &steps, int sequence)
{
    ProjectBuilder p;
    buildSoloProject(p);
    for (size_t i = 0; i < steps.size(); ++i) {
        const SoloStep &s = steps[i];
        std::string op = s.op;
        if (op == "solo" || op == "unsolo") {
            k_setSolo(p.file(), s.name, op == "solo");
        } else if (op == "mute" || op == "unmute") {
            k_setMute(p.file(), s.name, op == "mute");
        } else {
            ASSERT_EQ("delete", op);
            ASSERT_EQ(1, deleteElt(p.file(), s.name));
        }
        SCOPED_TRACE("sequence " + std::to_string(sequence) + " step " + std::to_string(i) + " " +
                     op + " " + s.name);
        EXPECT_EQ(s.soloed, soloed(p.file()));
        EXPECT_EQ(static_cast<int>(s.soloed.size()), p.file()->soloCount);
    }
}

TEST(KLevelsSolo, SequencesKeepFlagsAndCount)
{
    using S = std::set<std::string>;
    const std::vector<std::vector<SoloStep>> sequences = {
        // Tracks in any order.
        {{"solo", "A", S{"A", "G1"}},
         {"solo", "B", S{"A", "B", "G1"}},
         {"unsolo", "A", S{"B", "G1"}},
         {"unsolo", "B", S{}}},
        // A group solos its members; unsoloing one keeps the group; unsoloing the group ends it.
        {{"solo", "G1", S{"G1", "A", "B"}},
         {"unsolo", "A", S{"G1", "B"}},
         {"unsolo", "G1", S{}}},
        // Nested groups spread both ways.
        {{"solo", "G2", S{"G2", "C", "G3", "D"}},
         {"unsolo", "D", S{"G2", "C"}},
         {"unsolo", "C", S{}}},
        {{"solo", "D", S{"D", "G3", "G2"}},
         {"solo", "E", S{"D", "G3", "G2", "E"}},
         {"unsolo", "G2", S{"E"}},
         {"unsolo", "E", S{}}},
        // A group already holding a soloed member solos nobody else.
        {{"solo", "A", S{"A", "G1"}},
         {"solo", "G1", S{"A", "G1"}},
         {"unsolo", "G1", S{}}},
        // Mute clears solo; solo clears mute.
        {{"solo", "A", S{"A", "G1"}},
         {"mute", "A", S{}},
         {"solo", "G1", S{"G1", "A", "B"}},
         {"mute", "G1", S{}}},
        // A group whose members are stopped: soloing and unsoloing it ends at count 0.
        {{"solo", "G4", S{"G4", "F", "H"}},
         {"unsolo", "G4", S{}},
         {"solo", "G4", S{"G4", "F", "H"}},
         {"unsolo", "F", S{"G4", "H"}},
         {"unsolo", "H", S{}}},
        // Deletions: a soloed track, a soloed group, a soloed member of a nested group.
        {{"solo", "A", S{"A", "G1"}},
         {"delete", "A", S{}},
         {"solo", "B", S{"B", "G1"}}},
        {{"solo", "G1", S{"G1", "A", "B"}},
         {"delete", "G1", S{"A", "B"}},
         {"unsolo", "A", S{"B"}},
         {"unsolo", "B", S{}}},
        {{"solo", "D", S{"D", "G3", "G2"}},
         {"delete", "D", S{}}},
        {{"solo", "G2", S{"G2", "C", "G3", "D"}},
         {"delete", "C", S{"G2", "G3", "D"}},
         // A group left without members holds no solo.
         {"delete", "G3", S{"D"}},
         {"unsolo", "D", S{}}},
    };
    for (size_t i = 0; i < sequences.size(); ++i)
        runSoloSequence(sequences[i], static_cast<int>(i));
}

TEST(KLevelsSolo, CountMatchesFlagsAfterAnyOrderOfOperations)
{
    const char *names[] = {"A", "B", "C", "D", "E", "F", "H", "G1", "G2", "G3", "G4"};
    std::mt19937 random(20261210);
    for (int round = 0; round < 20; ++round) {
        ProjectBuilder p;
        buildSoloProject(p);
        for (int step = 0; step < 60; ++step) {
            const char *name = names[random() % 11];
            int value = static_cast<int>(random() % 2);
            if (random() % 3 == 0)
                k_setMute(p.file(), name, value);
            else
                k_setSolo(p.file(), name, value);
            ASSERT_EQ(static_cast<int>(soloed(p.file()).size()), p.file()->soloCount)
                << "round " << round << " step " << step;
            for (KElement *e = p.file()->firstCreated; e; e = e->nextCreated)
                ASSERT_FALSE(e->solo && e->mute) << e->name << " is both soloed and muted";
        }
    }
}

TEST(KLevelsSolo, ResetClearsEverything)
{
    ProjectBuilder p;
    buildSoloProject(p);
    k_setSolo(p.file(), "G2", 1);
    k_setMute(p.file(), "A", 1);
    k_resetSoloMute(p.file());
    EXPECT_TRUE(soloed(p.file()).empty());
    EXPECT_TRUE(muted(p.file()).empty());
    EXPECT_EQ(0, p.file()->soloCount);
}

TEST(KLevelsSolo, WalksUpStopAtTheFirstFlag)
{
    ProjectBuilder p;
    p.track("T").group("G", {"T"}).group("Top", {"G"});
    p.elt("Top")->mute = 1;
    EXPECT_EQ(1, eltIsMute(p.elt("T")));
    p.elt("G")->solo = 1;
    EXPECT_EQ(0, eltIsMute(p.elt("T")));
    EXPECT_EQ(1, eltIsSolo(p.elt("T")));
    p.elt("T")->mute = 1;
    EXPECT_EQ(0, eltIsSolo(p.elt("T")));
    EXPECT_EQ(0, eltIsMute(nullptr));
}

TEST(KLevelsSolo, CanPlayWithMuteSoloModeTable)
{
    struct Case {
        int status, mute, solo, soloCount, expected;
    } cases[] = {
        {-2, 0, 0, 0, 1}, {-1, 0, 0, 0, 0}, {2, 0, 0, 0, 1}, {2, 1, 0, 0, 0},
        {2, 0, 0, 1, 0},  {2, 0, 1, 1, 1},  {-1, 0, 1, 1, 0}, {1, 1, 0, 0, 0},
    };
    for (const Case &c : cases) {
        ProjectBuilder p;
        p.track("T");
        KElement *t = p.elt("T");
        t->status = c.status;
        t->mute = c.mute;
        t->solo = c.solo;
        p.file()->soloCount = c.soloCount;
        EXPECT_EQ(c.expected, eltCanPlayWithMuteSoloMode(p.file(), t))
            << c.status << " " << c.mute << " " << c.solo << " " << c.soloCount;
    }
    ProjectBuilder p;
    EXPECT_EQ(0, eltCanPlayWithMuteSoloMode(p.file(), nullptr));
}

TEST(KLevelsSolo, TracksThatSoundUnderSolo)
{
    ProjectBuilder p;
    p.track("A").track("B").track("C").track("D").track("E");
    p.group("Inner", {"C", "D"}).group("G", {"A", "B", "Inner"});
    switchOn(p.file(), {"A", "B", "C", "D", "E"});
    int count = -1;
    EXPECT_EQ(nullptr, getTrackSolo(p.file(), &count));
    EXPECT_EQ(0, count);

    k_setSolo(p.file(), "E", 1);
    k_setSolo(p.file(), "G", 1);
    k_setMute(p.file(), "B", 1); // clears B's solo: B does not sound
    KTrack **tracks = getTrackSolo(p.file(), &count);
    EngineArray owner(tracks);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back(tracks[i]->elt->name);
    EXPECT_EQ((std::vector<std::string>{"A", "C", "D", "E"}), names)
        << "soloed tracks in id order, each once; the muted B not at all";
}

// --- Pan and master ------------------------------------------------------------------------------

TEST(KLevelsPan, TotalPanMultipliesUpTheTree)
{
    struct Case {
        double trackPan, groupPan, topPan, left, right;
    } cases[] = {
        {0.5, -0.5, 0.0, 0.5, 0.5},
        {0.0, 0.0, 0.0, 1.0, 1.0},
        {-1.0, 0.0, 0.0, 1.0, 0.0},
        {0.5, 0.5, 0.5, 0.125, 1.0},
    };
    for (const Case &c : cases) {
        ProjectBuilder p;
        p.track("T").group("G", {"T"}).group("Top", {"G"}).rule(KCONST_GROUP, "Rule", {"T"});
        KElement_setPan(p.elt("T"), c.trackPan);
        KElement_setPan(p.elt("G"), c.groupPan);
        KElement_setPan(p.elt("Top"), c.topPan);
        KElement_setPan(p.elt("Rule"), 1.0); // a hidden rule is not on the way up
        double left = 1.0, right = 1.0;
        EXPECT_EQ(1, k_getTotalPan(p.elt("T"), &left, &right));
        EXPECT_DOUBLE_EQ(c.left, left) << c.trackPan << " " << c.groupPan << " " << c.topPan;
        EXPECT_DOUBLE_EQ(c.right, right) << c.trackPan << " " << c.groupPan << " " << c.topPan;
    }
    // Starting at a hidden group stops at once.
    ProjectBuilder p;
    p.track("T").rule(KCONST_GROUP, "Rule", {"T"});
    KElement_setPan(p.elt("Rule"), 0.5);
    double left = 1.0, right = 1.0;
    EXPECT_EQ(0, k_getTotalPan(p.elt("Rule"), &left, &right));
    EXPECT_EQ(1.0, left);
    EXPECT_EQ(0, k_getTotalPan(nullptr, &left, &right));
    EXPECT_EQ(0, k_getTotalPan(p.elt("T"), nullptr, &right));
}

TEST(KLevelsPan, MasterGainAndPanStayInRange)
{
    ProjectBuilder p;
    KFile *f = p.file();
    EXPECT_EQ(1.0, k_getMasterLvl(f));
    EXPECT_EQ(1, k_setMasterPan(f, 3.0));
    EXPECT_EQ(1.0, k_getMasterPan(f));
    EXPECT_EQ(1, k_setMasterPan(f, -0.25));
    EXPECT_EQ(-0.25, k_getMasterPan(f));
    EXPECT_EQ(TVR_ERR_PARAM, k_setMasterPan(f, std::nan("")));
    EXPECT_EQ(-0.25, k_getMasterPan(f));
    EXPECT_EQ(1, k_setMasterLvl(f, 2.5));
    EXPECT_EQ(2.5, k_getMasterLvl(f));
    EXPECT_EQ(1, k_setMasterLvl(f, -1.0));
    EXPECT_EQ(0.0, k_getMasterLvl(f));
    EXPECT_EQ(1, k_setMasterLvl(f, INFINITY));
    EXPECT_EQ(KMASTER_GAIN_MAX, k_getMasterLvl(f));
    EXPECT_EQ(TVR_ERR_PARAM, k_setMasterLvl(f, std::nan("")));
    EXPECT_EQ(0, k_setMasterLvl(nullptr, 1.0));
    EXPECT_EQ(1.0, k_getMasterLvl(nullptr));
    EXPECT_EQ(0.0, k_getMasterPan(nullptr));
}
