// Groups, rules, reserved groups and play status under the rules.
#include <gtest/gtest.h>

#include "DocumentFixtures.h"
#include "KFile.h"
#include "KSolver.h"

namespace {

class Rules : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Answers must not depend on the machine's load.
        k_setStatusSolverTimeLimit(5000);
        tracks = addTracks(doc, dir, {"a", "b", "c", "d"});
        ASSERT_EQ(tracks, QStringList({"a", "b", "c", "d"}));
    }
    void TearDown() override { k_setStatusSolverTimeLimit(0); }

    bool visible(const QString& name) { return isVisible(doc.getKFile(), name.toUtf8().constData()); }

    fixtures::TempDir dir;
    KObjFile doc;
    QStringList tracks;
};

} // namespace

TEST_F(Rules, GroupBoundsFollowTheMemberCount)
{
    const struct {
        int min, max, wantMin, wantMax;
    } cases[] = {{1, 2, 1, 2}, {1, -1, 1, 3}, {5, 2, 3, 5}, {0, 0, 0, 0}, {-4, 9, 0, 3}};
    int n = 0;
    for (const auto& c : cases) {
        const QString name = QString("G%1").arg(n++);
        ASSERT_TRUE(doc.createGroup(name, {"a", "b", "c"}, c.min, c.max));
        EXPECT_EQ(doc.getGroupMinPlay(name), c.wantMin) << c.min << "," << c.max;
        EXPECT_EQ(doc.getGroupMaxPlay(name), c.wantMax) << c.min << "," << c.max;
        ASSERT_TRUE(doc.removeGroup(name));
    }
}

TEST_F(Rules, CreateGroupRefusesATakenNameAndReportsMembersThatFailed)
{
    ASSERT_TRUE(doc.createGroup("G", {"a"}, 0, -1));
    EXPECT_FALSE(doc.createGroup("G", {"b"}, 0, -1));
    EXPECT_FALSE(doc.createGroup("a", {"b"}, 0, -1));
    EXPECT_TRUE(doc.isTrack("a"));
    EXPECT_FALSE(doc.createGroup("H", {"b", "nosuch"}, 0, -1));
    EXPECT_TRUE(doc.isFather("H", "b"));
    // A group may not hold its own ancestor.
    ASSERT_TRUE(doc.createGroup("Top", {"G"}, 0, -1));
    EXPECT_FALSE(doc.addEltInGroup("G", "Top"));
}

TEST_F(Rules, PlacedTracksLeaveTheImportGroupAndComeBackHiddenAndWhite)
{
    ASSERT_TRUE(doc.createGroup("G", {"a"}, 0, -1));
    doc.setEltColor("G", QColor(0, 0, 200), true);
    EXPECT_FALSE(doc.isParent(KObjFile::ImportAudioGrpName, "a"));
    EXPECT_TRUE(visible("a"));
    EXPECT_EQ(doc.getElementNames(), QStringList({"a", "G"}));
    EXPECT_TRUE(doc.getTopElement().contains("G"));
    EXPECT_FALSE(doc.getTopElement().contains("a"));

    ASSERT_TRUE(doc.removeEltFromGroup("G", "a"));
    EXPECT_TRUE(doc.isFather(KObjFile::ImportAudioGrpName, "a"));
    EXPECT_FALSE(visible("a"));
    EXPECT_EQ(doc.getEltColor("a"), QColor(Qt::white));

    ASSERT_TRUE(doc.setElementOnTop("a"));
    EXPECT_FALSE(doc.isParent(KObjFile::ImportAudioGrpName, "a"));
    EXPECT_TRUE(visible("a"));
    EXPECT_TRUE(doc.getTopElement().contains("a"));
}

TEST_F(Rules, AutomaticRuleNamesAndKinds)
{
    const QString first = doc.createExclu({"a", "b"}, "x");
    const QString second = doc.createExclu({"c", "d"}, "");
    const QString imply = doc.createImply("a", {"c"}, "");
    const QString equiv = doc.createEquiv("E", {"a", "d"}, "");
    EXPECT_EQ(first, "_cstt_auto_");
    EXPECT_EQ(second, "_cstt_auto__0");
    EXPECT_EQ(imply, "_cstt_auto__1");
    EXPECT_EQ(equiv, "E");
    const struct {
        QString name;
        KObjFile::EConst kind;
    } kinds[] = {{first, KObjFile::Exclusion}, {second, KObjFile::Exclusion},
                 {imply, KObjFile::Implication}, {equiv, KObjFile::OtherConst},
                 {"a", KObjFile::OtherConst}, {"nosuch", KObjFile::OtherConst}};
    for (const auto& k : kinds)
        EXPECT_EQ(doc.getConstraintType(k.name), k.kind) << k.name.toStdString();
    EXPECT_EQ(doc.getImplying(imply), "a");
    EXPECT_EQ(doc.getAllImplies("a"), QStringList({imply}));
    EXPECT_EQ(doc.getEltDesc(first), "x");
    // An implication from an unknown element is refused outright.
    EXPECT_EQ(doc.createImply("nosuch", {"c"}, ""), "");
    // Its data is another element's name, not a {min, max} block.
    EXPECT_FALSE(doc.setGroupMinMaxPlay(imply, 0, 1));
    EXPECT_EQ(doc.getImplying(imply), "a");
}

TEST_F(Rules, CreateEquivReplacesOnlyAnOlderEquivalence)
{
    ASSERT_EQ(doc.createEquiv("E", {"a"}, ""), "E");
    ASSERT_EQ(doc.createEquiv("E", {"b", "c"}, ""), "E");
    EXPECT_EQ(doc.getSubElt("E"), QStringList({"b", "c"}));
    EXPECT_TRUE(doc.isTrack("a"));
    ASSERT_TRUE(doc.createGroup("G", {"d"}, 0, -1));
    EXPECT_EQ(doc.createEquiv("G", {"a"}, ""), "");
    EXPECT_EQ(doc.createEquiv("a", {"b"}, ""), "");
    EXPECT_TRUE(doc.isGroup("G"));
    EXPECT_TRUE(doc.isTrack("a"));
    EXPECT_TRUE(doc.isTrack("d"));
}

TEST_F(Rules, RemovingAnElementRemovesTheRulesThatNeedIt)
{
    const QString exclu = doc.createExclu({"a", "b", "c"}, "");
    const QString imply = doc.createImply("d", {"b"}, "");
    ASSERT_TRUE(doc.setEltNotMute("d", true));
    ASSERT_TRUE(doc.removeElement("a"));
    EXPECT_FALSE(doc.contains(exclu));
    EXPECT_TRUE(doc.isTrack("b"));
    EXPECT_TRUE(doc.isTrack("c"));
    ASSERT_TRUE(doc.removeElement("d"));
    EXPECT_FALSE(doc.contains(imply));
    EXPECT_FALSE(doc.contains("__NotMute__d"));
    EXPECT_FALSE(doc.isNotMute("d"));
    EXPECT_EQ(doc.getTrackNames(), QStringList({"b", "c"}));
    EXPECT_FALSE(doc.removeElement("nosuch"));
}

TEST_F(Rules, RemovingAGroupKeepsASubgroupThatAnotherGroupHolds)
{
    ASSERT_TRUE(doc.createGroup("Shared", {"a"}, 0, -1));
    ASSERT_TRUE(doc.createGroup("Own", {"b"}, 0, -1));
    ASSERT_TRUE(doc.createGroup("G", {"Shared", "Own", "c"}, 0, -1));
    ASSERT_TRUE(doc.createGroup("H", {"Shared"}, 0, -1));
    ASSERT_TRUE(doc.removeGroup("G"));
    EXPECT_FALSE(doc.contains("G"));
    EXPECT_FALSE(doc.contains("Own"));
    EXPECT_TRUE(doc.isFather("H", "Shared"));
    EXPECT_TRUE(doc.isFather("Shared", "a"));
    // The tracks of deleted groups wait in the import group.
    for (const QString& t : {QString("b"), QString("c")})
        EXPECT_TRUE(doc.isFather(KObjFile::ImportAudioGrpName, t)) << t.toStdString();
    EXPECT_FALSE(doc.removeGroup("a"));
}

TEST_F(Rules, AlwaysOnRuleIsMadeOnce)
{
    EXPECT_TRUE(doc.setEltNotMute("a", true));
    EXPECT_TRUE(doc.setEltNotMute("a", true));
    EXPECT_EQ(doc.contraintNames().count("__NotMute__a"), 1);
    EXPECT_TRUE(doc.isNotMute("a"));
    EXPECT_EQ(doc.getGroupMinPlay("__NotMute__a"), 1);
    EXPECT_EQ(doc.getGroupMaxPlay("__NotMute__a"), 1);
    EXPECT_TRUE(doc.setEltNotMute("a", false));
    EXPECT_FALSE(doc.isNotMute("a"));
    EXPECT_FALSE(doc.setEltNotMute("a", false));
}

TEST_F(Rules, EquivalencesByParent)
{
    ASSERT_TRUE(doc.createGroup("P", {"a", "b"}, 0, -1));
    EXPECT_TRUE(doc.createEquivConst(""));
    EXPECT_FALSE(doc.createEquivConst(""));
    EXPECT_TRUE(doc.contains("__EquivConst__ROOT"));
    EXPECT_TRUE(doc.addToEquivConst("a", "P"));
    EXPECT_TRUE(doc.addToEquivConst("b", "P"));
    EXPECT_EQ(doc.getSubElt("__EquivConst__P"), QStringList({"a", "b"}));
    EXPECT_TRUE(doc.isUnderEquivConst("a", ""));
    EXPECT_TRUE(doc.isUnderEquivConst("a", "P"));
    EXPECT_FALSE(doc.isUnderEquivConst("a", "Q"));
    EXPECT_FALSE(doc.isUnderEquivConst("c", ""));
    EXPECT_TRUE(doc.removeFromEquivConst("a", "P"));
    EXPECT_FALSE(doc.isUnderEquivConst("a", ""));
    EXPECT_TRUE(doc.removeEquivConst("P"));
    EXPECT_FALSE(doc.contains("__EquivConst__P"));
}

TEST_F(Rules, MixRuleGroupsFollowTheirMemberCount)
{
    const QString rule = KObjFile::RuleGroupPrefix + "r";
    EXPECT_EQ(doc.createRuleGroup(rule, {"a"}, "desc"), rule);
    EXPECT_EQ(doc.createRuleGroup(rule, {"b"}, ""), rule);
    EXPECT_EQ(doc.rulesNames(), QStringList({rule}));
    EXPECT_EQ(doc.getEltDesc(rule), "desc");
    EXPECT_TRUE(doc.addToRuleGroup("b", rule));
    EXPECT_EQ(doc.getGroupMaxPlay(rule), 2);
    EXPECT_TRUE(doc.removeFromRuleGroup("a", rule));
    EXPECT_EQ(doc.getGroupMaxPlay(rule), 1);
    EXPECT_FALSE(doc.addToRuleGroup("a", ""));
    EXPECT_TRUE(doc.addToRuleGroup("c", KObjFile::RuleGroupPrefix + "new"));
    EXPECT_TRUE(doc.isFather(KObjFile::RuleGroupPrefix + "new", "c"));
}

TEST_F(Rules, SwitchingUnderAnExclusionStopsTheOtherMember)
{
    ASSERT_TRUE(doc.createGroup("G", {"a", "b"}, 0, -1));
    ASSERT_FALSE(doc.createExclu({"a", "b"}, "").isEmpty());
    ASSERT_FALSE(doc.setEltStatus("a", true, true).isEmpty());
    ASSERT_TRUE(doc.isPlay("a"));
    const QStringList changed = doc.setEltStatus("b", true, true);
    ASSERT_FALSE(changed.isEmpty());
    EXPECT_EQ(changed.first(), "b");
    EXPECT_TRUE(changed.contains("a"));
    EXPECT_FALSE(doc.isPlay("a"));
    EXPECT_TRUE(doc.isPlay("b"));
    // Already in the wanted state, or unknown: nothing to do.
    EXPECT_TRUE(doc.setEltStatus("b", true, true).isEmpty());
    EXPECT_TRUE(doc.setEltStatus("nosuch", true, true).isEmpty());
    doc.resetElementsStatus();
    EXPECT_TRUE(doc.getPlayedTracks().isEmpty());
}

TEST_F(Rules, ARefusedSwitchChangesNothing)
{
    ASSERT_TRUE(doc.createGroup("Silent", {"c"}, 0, 0));
    ASSERT_FALSE(doc.setEltStatus("a", true, true).isEmpty());
    const QStringList before = doc.getPlayedTracks();
    EXPECT_TRUE(doc.setEltStatus("c", true, true).isEmpty());
    EXPECT_EQ(doc.getPlayedTracks(), before);
    EXPECT_FALSE(doc.isPlay("c"));
}
