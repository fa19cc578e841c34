// Documents far larger than a person builds by hand: the element tree over a chain of nested
// groups and over many groups side by side, switching every track, and grouping thousands of
// tracks in one checked edit. Each is compared with a tenth of its size (a ratio, never a time):
// a step per element per element, or a call per level of nesting, fails them.
#include <gtest/gtest.h>

#include <QStringList>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "DocumentFixtures.h"
#include "KCtrlFile.h"
#include "KFile.h"
#include "KPrompt.h"
#include "KSolver.h"
#include "KTreeModel.h"

namespace {

// The fastest of `runs` runs of `prepare` then `work`, timing `work` alone; in seconds.
double fastest(int runs, const std::function<void()>& prepare, const std::function<void()>& work)
{
    double best = 1e30;
    for (int run = 0; run < runs; ++run) {
        prepare();
        const double start = fixtures::threadSeconds();
        work();
        const double took = fixtures::threadSeconds() - start;
        best = std::min(best, took);
    }
    return best;
}

std::string name(const char* prefix, int i)
{
    return prefix + std::to_string(i);
}

void addTracks(KCtrlFile& doc, int count)
{
    for (int i = 0; i < count; ++i)
        ASSERT_EQ(1, addBitstreamTrack(doc.getKFile(), name("T", i).c_str(), 0, nullptr, 44100, i));
}

// `groups` visible groups: each inside the one before (outermost made first), the last holding
// the one track; or side by side, each holding nothing.
void addGroups(KCtrlFile& doc, int groups, bool chain)
{
    KFile* file = doc.getKFile();
    addTracks(doc, 1);
    for (int i = 0; i < groups; ++i) {
        ASSERT_EQ(1, createElt(file, KCONST_GROUP, name("G", i).c_str(), createDataGrp(0, 1)));
        if (chain && i > 0) {
            ASSERT_EQ(1, addSubElt(file, name("G", i - 1).c_str(), name("G", i).c_str()));
        }
    }
    if (chain) {
        ASSERT_EQ(1, addSubElt(file, name("G", groups - 1).c_str(), "T0"));
    }
}

// Makes the tree, brings it in line with the project again, walks the first row down to its
// deepest row and lets the tree go; the depth of that row.
int showTree(KCtrlFile& doc)
{
    auto model = std::make_unique<KTreeModel>(&doc);
    model->refresh();
    QModelIndex deepest;
    for (QModelIndex at = model->index(0, 0); at.isValid(); at = model->index(0, 0, at))
        deepest = at;
    return model->depth(deepest);
}

} // namespace

TEST(LargeDocuments, TreeOfADeepChainOrOfManyGroupsSideBySideIsLinear)
{
    for (bool chain : {true, false}) {
        SCOPED_TRACE(chain ? "chain" : "side by side");
        double seconds[2];
        int sizes[2] = {10000, 100000};
        for (int s = 0; s < 2; ++s) {
            KCtrlFile doc;
            addGroups(doc, sizes[s], chain);
            int depth = 0;
            int rows = 0;
            seconds[s] = fastest(s == 0 ? 3 : 2, [] {}, [&] {
                depth = showTree(doc);
                KTreeModel model(&doc);
                rows = model.rowCount();
            });
            // The chain shows one top row with every group below it and the track last; side by
            // side every group and the track are top rows.
            EXPECT_EQ(chain ? sizes[s] + 1 : 1, depth);
            EXPECT_EQ(chain ? 1 : sizes[s] + 1, rows);
        }
        // Linear costs about 10x, somewhat more under the memory checkers, whose allocator slows
        // as the heap grows past its quarantine; a step per row per row costs 100x.
        EXPECT_LT(seconds[1], 30 * seconds[0])
            << "10,000: " << seconds[0] << " s, 100,000: " << seconds[1] << " s";
    }
}

TEST(LargeDocuments, SwitchingEveryTrackIsLinear)
{
    k_setStatusSolverTimeLimit(20000);
    // Tracks in groups of five; every tenth group lets at most four play, so there the fifth
    // switch meets a rule and the solver answers it.
    auto makeProject = [](KCtrlFile& doc, int tracks) {
        addTracks(doc, tracks);
        for (int g = 0; g < tracks / 5; ++g) {
            QStringList members;
            for (int t = 0; t < 5; ++t)
                members << QString::fromStdString(name("T", g * 5 + t));
            ASSERT_TRUE(doc.KObjFile::createGroup(QString::fromStdString(name("G", g)), members, 0,
                                                  g % 10 == 0 ? 4 : 5));
        }
    };
    double seconds[2];
    int sizes[2] = {500, 5000};
    for (int s = 0; s < 2; ++s) {
        KCtrlFile doc;
        makeProject(doc, sizes[s]);
        QStringList on;
        seconds[s] = fastest(s == 0 ? 3 : 2, [&] { doc.setEltsStatus(false); }, [&] { on = doc.setEltsStatus(true); });
        // All but one track of every tenth group play; every track and group changed, each
        // listed once.
        int playing = 0;
        for (int t = 0; t < sizes[s]; ++t)
            playing += isPlaying(doc.getKFile(), name("T", t).c_str());
        EXPECT_EQ(sizes[s] - sizes[s] / 50, playing);
        QStringList once = on;
        EXPECT_EQ(0, once.removeDuplicates());
        EXPECT_EQ(sizes[s] + sizes[s] / 5, on.size());
    }
    k_setStatusSolverTimeLimit(0);
    // Ten times the tracks: linear costs 10-14x here; a step per track per track costs 100x.
    EXPECT_LT(seconds[1], 30 * seconds[0])
        << "500: " << seconds[0] << " s, 5,000: " << seconds[1] << " s";
}

TEST(LargeDocuments, GroupingThousandsOfTracksInOneCheckedEditIsLinear)
{
    // The rule check of a checked edit runs once for the whole batch.
    double seconds[2];
    int sizes[2] = {500, 5000};
    for (int s = 0; s < 2; ++s) {
        std::unique_ptr<KCtrlFile> doc;
        // Five runs each: the fastest of a few is what a busy machine leaves nearly untouched.
        seconds[s] = fastest(
            5,
            [&] {
                doc = std::make_unique<KCtrlFile>();
                addTracks(*doc, sizes[s]);
            },
            [&] {
                ASSERT_TRUE(doc->checkedEdits(KCtrlFile::ActCreateGroup, [&] {
                    bool all = true;
                    for (int g = 0; g < sizes[s] / 5; ++g) {
                        QStringList members;
                        for (int t = 0; t < 5; ++t)
                            members << QString::fromStdString(name("T", g * 5 + t));
                        all = doc->KObjFile::createGroup(QString::fromStdString(name("G", g)),
                                                         members, 0, 5)
                              && all;
                    }
                    return all;
                }));
            });
        EXPECT_EQ(sizes[s] / 5, constraintsNbr(doc->getKFile()));
        EXPECT_EQ(sizes[s], notOrphanTracksNbr(doc->getKFile()));
    }
    // The batch at 500 takes a few milliseconds, where a loaded machine's noise weighs most:
    // linear measures 10-12x; a rule check per group about 100x, a copy of the whole check per
    // few groups over 30x.
    EXPECT_LT(seconds[1], 30 * seconds[0])
        << "500: " << seconds[0] << " s, 5,000: " << seconds[1] << " s";
}
