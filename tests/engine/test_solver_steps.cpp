// Search steps over a space of the whole project: each call posts one status where the project
// or a rule's bounds call for it, seen through the space's listing.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "KSolver.h"
#include "ProjectBuilder.h"

namespace
{

// Assigned status variables of the space by element name, read from its listing.
std::map<std::string, int> assigned(OSpace *space, KFile *file)
{
    testing::internal::CaptureStdout();
    seeOS(space);
    std::istringstream lines(testing::internal::GetCapturedStdout());
    std::map<std::string, int> out;
    std::string line;
    while (std::getline(lines, line)) {
        int id = -1, value = -1;
        if (std::sscanf(line.c_str(), " S[%d] = %d", &id, &value) == 2)
            out[file->eltsById[id]->name] = value;
    }
    return out;
}

using Statuses = std::map<std::string, int>;

TEST(SolverSteps, AddConstraints2FollowsTheCurrentStatusOneTrackPerCall)
{
    ProjectBuilder p;
    p.track("A").track("B").group("G", {"A", "B"});
    p.elt("A")->status = KSTATUS_ON;
    OSpace *space = OSpace_create(p.file());
    ASSERT_NE(nullptr, space);
    EXPECT_EQ(1, addConstraints2(space, p.file()));
    EXPECT_EQ((Statuses{{"A", 1}}), assigned(space, p.file()));
    EXPECT_EQ(1, addConstraints2(space, p.file()));
    EXPECT_EQ((Statuses{{"A", 1}, {"B", 0}}), assigned(space, p.file()));
    EXPECT_EQ(0, addConstraints2(space, p.file())); // the group is not a track
    OSpace_destroy(&space);
    EXPECT_EQ(nullptr, space);
    EXPECT_EQ(0, addConstraints2(nullptr, p.file()));
}

struct BoundsCase {
    const char *name;
    int kind, min, max;
    int playing;           // members A, B, C, D playing, from the first
    Statuses first, second; // assigned after one and after two calls
};

TEST(SolverSteps, AddConstraintsMovesTheFirstFreeMemberTowardsTheBounds)
{
    const BoundsCase cases[] = {
        {"below the minimum", KCONST_GROUP, 2, 4, 0, {{"A", 1}}, {{"A", 1}, {"B", 1}}},
        {"above the maximum", KCONST_ONE, 0, 1, 3, {{"A", 0}}, {{"A", 0}, {"B", 0}}},
        {"within the bounds", KCONST_GROUP, 1, 3, 2, {}, {}},
        {"all together", KCONST_ALL, 4, 4, 3, {{"A", 1}}, {{"A", 1}, {"B", 1}}},
    };
    for (const BoundsCase &c : cases) {
        SCOPED_TRACE(c.name);
        ProjectBuilder p;
        p.track("A").track("B").track("C").track("D");
        ASSERT_EQ(1, createElt(p.file(), c.kind, "R", createDataGrp(c.min, c.max)));
        for (const char *m : {"A", "B", "C", "D"})
            ASSERT_EQ(1, addSubElt(p.file(), "R", m));
        const char *names[] = {"A", "B", "C", "D"};
        for (int i = 0; i < 4; ++i)
            p.elt(names[i])->status = i < c.playing ? KSTATUS_ON : KSTATUS_STOPPED;
        OSpace *space = OSpace_create(p.file());
        ASSERT_NE(nullptr, space);
        EXPECT_EQ(c.first.empty() ? 0 : 1, addConstraints(space, p.file()));
        EXPECT_EQ(c.first, assigned(space, p.file()));
        addConstraints(space, p.file());
        EXPECT_EQ(c.second, assigned(space, p.file()));
        OSpace_destroy(&space);
    }
}

TEST(SolverSteps, AMemberThatIsNeitherTrackNorRuleIsReportedAndSkipped)
{
    ProjectBuilder p;
    p.track("A").track("B").group("G", {"A", "B"}, 1, 2);
    p.elt("A")->type = 7;
    OSpace *space = OSpace_create(p.file());
    testing::internal::CaptureStderr();
    EXPECT_EQ(1, addConstraints(space, p.file()));
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find(
                                     "Error addConstraints : element type \"7\" not correct."));
    p.elt("A")->type = KELT_TRACK;
    EXPECT_EQ((Statuses{{"B", 1}}), assigned(space, p.file()));
    OSpace_destroy(&space);
}

} // namespace
