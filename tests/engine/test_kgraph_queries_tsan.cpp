// Graph queries asked by several threads at once: queries never change the project (the tree
// queries keep their index under its own lock), so readers need no lock between them (clean
// under ThreadSanitizer).
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "ProjectBuilder.h"

namespace {

TEST(GraphQueriesConcurrent, ReadersAfterEditsShareTheProject)
{
    ProjectBuilder p;
    p.track("A").track("B").group("G", {"A"});
    KFile *f = p.file();
    for (int round = 0; round < 8; ++round) {
        // Edits between the rounds, made while no reader runs.
        const std::string name = "T" + std::to_string(round);
        p.track(name.c_str());
        if (round % 2) {
            ASSERT_EQ(1, hideElt(f, "G"));
        } else {
            ASSERT_EQ(1, showElt(f, "G"));
        }
        const int tracks = tracksNbr(f);
        const int tops = k_getEltOnTopNbr(f, nullptr);
        std::vector<std::thread> readers;
        for (int r = 0; r < 3; ++r)
            readers.emplace_back([f, tracks, tops, name, r] {
                for (int i = 0; i < 50; ++i) {
                    EXPECT_EQ(tracks, tracksNbr(f));
                    EXPECT_EQ(tops, k_getEltOnTopNbr(f, nullptr));
                    EXPECT_STREQ(name.c_str(), k_getNthTrackName(f, tracks - 1));
                    EXPECT_NE(nullptr, k_getNthElement(f, 0));
                    EXPECT_NE(nullptr, k_getNthEltOnTop(f, tops - 1, nullptr));
                    EXPECT_EQ(tops - 1, k_getEltOnTopIndex(f, k_getNthEltOnTop(f, tops - 1, nullptr),
                                                           nullptr));
                    // Readers asking with and without an excluded element rebuild the index
                    // in turn.
                    EXPECT_LE(k_getEltOnTopNbr(f, r % 2 ? "G" : nullptr), tops);
                    EXPECT_GE(k_getTreeDepth(f), 1);
                    EXPECT_GE(getLevelFamily(f, "A"), 1);
                }
            });
        for (std::thread &t : readers)
            t.join();
    }
}

} // namespace
