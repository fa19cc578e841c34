// The solver's stress harness: the random rules it adds keep to their stated shapes, the batch
// and removal helpers count right, and its checks find the solver's answers sound.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "KSolver.h"
#include "KSolverStress.h"

namespace {

struct Project {
    explicit Project(int tracks) : file(fileCreation(tracks)) {}
    ~Project() { _freeZark(file); }
    KFile *file;
};

std::set<std::string> memberNames(KGroupData *rule)
{
    std::set<std::string> names;
    for (GList *l = rule->members.head; l; l = l->next)
        names.insert(static_cast<KElement *>(l->data)->name);
    return names;
}

TEST(SolverStress, RandomRulesKeepTheirShapes)
{
    std::srand(5);
    Project p(10);
    ASSERT_NE(p.file, nullptr);
    EXPECT_EQ(10, tracksNbr(p.file));
    EXPECT_EQ(60, addRandomConstraints(p.file, 60));
    EXPECT_EQ(20, addRandomConstraints(p.file, 20)); // numbering goes on from the rule count
    ASSERT_EQ(80, constraintsNbr(p.file));
    int groups = 0, implications = 0;
    for (int k = 0; k < 80; ++k) {
        const std::string name = "Const_" + std::to_string(k);
        KGroupData *rule = giveConst(p.file, name.c_str());
        ASSERT_NE(rule, nullptr) << name;
        EXPECT_EQ(0, isVisible(p.file, name.c_str())) << name;
        const std::set<std::string> members = memberNames(rule);
        ASSERT_GE(members.size(), 1u) << name;
        ASSERT_LE(members.size(), 9u) << name; // one track always stays outside
        EXPECT_EQ(static_cast<int>(members.size()), rule->memberCount) << name;
        for (const std::string &m : members)
            EXPECT_EQ(1, isATrack(p.file, m.c_str())) << name;
        if (rule->kind == KCONST_GROUP) {
            ++groups;
            const int *bounds = static_cast<const int *>(rule->kindData);
            EXPECT_GE(bounds[1], 1) << name;
            EXPECT_LE(bounds[1], rule->memberCount) << name;
            EXPECT_GE(bounds[0], 0) << name;
            EXPECT_LE(bounds[0], bounds[1]) << name;
        } else {
            ASSERT_EQ(KCONST_IMPLY, rule->kind) << name;
            ++implications;
            const char *implying = getImplying(p.file, name.c_str());
            ASSERT_NE(implying, nullptr);
            EXPECT_EQ(1, isATrack(p.file, implying)) << name;
            EXPECT_EQ(0u, members.count(implying)) << name;
        }
    }
    EXPECT_GT(groups, implications); // four in five are groups
    EXPECT_GT(implications, 0);

    Project lone(1);
    EXPECT_EQ(-2, addRandomConstraints(lone.file, 3));
    EXPECT_EQ(-1, addRandomConstraints(nullptr, 3));
    EXPECT_EQ(nullptr, fileCreation(0));
}

TEST(SolverStress, BatchesRemovalsAndCodes)
{
    std::srand(9);
    Project p(8);
    const struct {
        int levels, total, result, rules;
    } cases[] = {
        {3, 10, 1, 10}, // 3 + 3 + 4
        {1, 1, 1, 11},
        {4, 3, -1, 11}, // fewer rules than batches
        {0, 5, -1, 11},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.result, createGraph(p.file, c.levels, c.total)) << c.levels << "/" << c.total;
        EXPECT_EQ(c.rules, constraintsNbr(p.file)) << c.levels << "/" << c.total;
    }
    EXPECT_EQ(-2, createGraph(nullptr, 1, 1));
    Project lone(1);
    EXPECT_EQ(-2, createGraph(lone.file, 1, 1)); // the batch comes out empty

    EXPECT_EQ(4, moveRandomConstraints(p.file, 4));
    EXPECT_EQ(7, constraintsNbr(p.file));
    EXPECT_EQ(7, removeAllConstraints(p.file));
    EXPECT_EQ(0, constraintsNbr(p.file));
    EXPECT_EQ(0, moveRandomConstraints(p.file, 2));
    EXPECT_EQ(8, tracksNbr(p.file));
    const std::string track = getOneTrack(p.file);
    EXPECT_EQ(0u, track.rfind("Track_", 0));
    EXPECT_EQ(nullptr, getOneTrack(nullptr));
}

TEST(SolverStress, ChecksFindTheSolversAnswersSoundAndPrintSummaries)
{
    std::srand(11);
    Project p(8);
    addRandomConstraints(p.file, 12);
    EXPECT_EQ(0, checkGraphConfig(p.file, 20, stderr));
    EXPECT_EQ(0, playEltNbr(p.file)); // left stopped
    EXPECT_EQ(-1, checkGraphConfig(nullptr, 1, nullptr));

    char *text = nullptr;
    size_t size = 0;
    FILE *stream = open_memstream(&text, &size);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(0, checkGraphConst(6, 4, 2, 3, stream));
    EXPECT_EQ(0, gecodeFighter_2(4, 2, 2, stream));
    std::fclose(stream);
    const std::string rule(56, '=');
    EXPECT_EQ(rule + "\ntNb = 2 -- iter = 3  || badSol = 0\n" + rule + "\n" + rule +
                  "\ntNb = 4 -- iter = 3  || badSol = 0\n" + rule + "\n" + rule +
                  "\ntNb = 2 -- iter = 2  || badSol = 0\n" + rule + "\n" + rule +
                  "\ntNb = 4 -- iter = 2  || badSol = 0\n" + rule + "\n",
              std::string(text, size));
    std::free(text);
}

} // namespace
