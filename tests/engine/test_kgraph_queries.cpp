// Graph queries: lookups, ancestry, tree positions for the element views, depth, counts, name
// lists in creation order, song tags and a track's audio fields.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProjectBuilder.h"

using Names = std::vector<std::string>;

namespace {

// Runs a query that fills an out count, then copies and frees its array.
template <typename Query> Names list(Query query)
{
    int n = 0;
    const char **array = query(&n);
    return takeNames(array, n);
}

// A top group "Top" holding "G" holding "T1"; "Import" holding three hidden tracks; a second top
// group "Other"; a hidden rule over T1.
class TreeTest : public testing::Test {
protected:
    void SetUp() override
    {
        p.track("T1").track("I1").track("I2").track("I3");
        p.group("Top").group("G", {"T1"}).group("Other").group("Import", {"I1", "I2", "I3"});
        p.link("Top", {"G"});
        for (const char *t : {"I1", "I2", "I3"})
            hideElt(p.file(), t);
        p.rule(KCONST_GROUP, "Excl", {"T1", "I1"});
    }
    ProjectBuilder p;
};

} // namespace

TEST_F(TreeTest, AncestryAndParents)
{
    KFile *f = p.file();
    EXPECT_EQ(1, k_isParent(f, "Top", "Top"));
    EXPECT_EQ(0, k_isFather(f, "Top", "Top"));
    EXPECT_EQ(1, k_isParent(f, "Top", "T1"));
    EXPECT_EQ(0, k_isFather(f, "Top", "T1"));
    EXPECT_EQ(1, k_isFather(f, "G", "T1"));
    EXPECT_EQ(0, k_isParent(f, "T1", "Top"));
    EXPECT_EQ(1, isSon(p.elt("T1"), "Top"));
    EXPECT_EQ(1, isSon(p.elt("T1"), "Excl"));
    EXPECT_EQ(0, isSon(p.elt("T1"), "T1"));
    EXPECT_EQ(0, isSon(p.elt("Top"), "T1"));

    EXPECT_EQ((Names{"Top", "G", "T1"}), list([&](int *n) { return k_getAllParents(f, "T1", n); }));
    int n;
    EXPECT_EQ((Names{"G", "Excl"}), list([&](int *n) { return k_getAllFathers(f, "T1", n); }));
    EXPECT_EQ(nullptr, k_getAllFathers(f, "Top", &n));
    EXPECT_EQ(0, n);
    EXPECT_STREQ("G", getParentName(f, "T1"));
    EXPECT_EQ(p.elt("G"), getVisibleFatherElt(f, "T1"));
    EXPECT_EQ(nullptr, getVisibleFather(f, "Top"));
    EXPECT_EQ(1, hasVisibleParent(f, "T1"));
    EXPECT_EQ(0, hasVisibleParent(f, "Top"));
    EXPECT_EQ(1, isOrphan(f, "Top"));
    EXPECT_EQ(0, isOrphan(f, "T1"));
    EXPECT_EQ(-1, isOrphan(f, "nope"));
    EXPECT_EQ(-2, isOrphanVisibleElt(f, "nope"));
    EXPECT_EQ(1, isOrphanVisibleElt(f, "Other"));
}

TEST_F(TreeTest, AncestryThroughDiamondsVisitsEachGroupOnce)
{
    // 24 layers of two groups, each a member of both groups above: 2^24 paths upward.
    ProjectBuilder d;
    d.track("leaf").group("L0a").group("L0b");
    for (int layer = 1; layer < 24; ++layer) {
        std::string a = "L" + std::to_string(layer) + "a", b = "L" + std::to_string(layer) + "b";
        std::string upA = "L" + std::to_string(layer - 1) + "a",
                    upB = "L" + std::to_string(layer - 1) + "b";
        d.group(a.c_str()).group(b.c_str());
        d.link(upA.c_str(), {a.c_str(), b.c_str()}).link(upB.c_str(), {a.c_str(), b.c_str()});
    }
    d.link("L23a", {"leaf"});
    EXPECT_EQ(1, k_isParent(d.file(), "L0b", "leaf"));
    EXPECT_EQ(0, k_isParent(d.file(), "L23b", "leaf"));
    EXPECT_EQ(1, isSon(d.elt("leaf"), "L0a"));
    EXPECT_EQ(0, isSon(d.elt("leaf"), "nope"));
    EXPECT_EQ(-3, addSubElt(d.file(), "L23b", "L0a"));
}

TEST_F(TreeTest, TopElementsAndRowsForTheTreeView)
{
    KFile *f = p.file();
    // Visible top elements in id order: Top, Other, Import; the import group excluded.
    EXPECT_EQ(3, k_getEltOnTopNbr(f, nullptr));
    EXPECT_EQ(2, k_getEltOnTopNbr(f, "Import"));
    EXPECT_EQ(p.elt("Top"), k_getNthEltOnTop(f, 0, "Import"));
    EXPECT_EQ(p.elt("Other"), k_getNthEltOnTop(f, 1, "Import"));
    EXPECT_EQ(nullptr, k_getNthEltOnTop(f, 2, "Import"));
    EXPECT_EQ(1, k_getEltOnTopIndex(f, p.elt("Other"), "Import"));
    EXPECT_EQ(-1, k_getEltOnTopIndex(f, p.elt("Import"), "Import"));
    EXPECT_EQ(-1, k_getEltOnTopIndex(f, p.elt("G"), nullptr));
    EXPECT_EQ(1, KElement_getIndexFromParent(f, p.elt("Other"), "Import"));
    EXPECT_EQ(0, KElement_getIndexFromParent(f, p.elt("T1"), "Import"));
    ProjectBuilder empty;
    EXPECT_EQ(0, k_getEltOnTopNbr(empty.file(), nullptr)); // caches are per project

    // The answers follow every change of the tree.
    hideElt(f, "Other");
    EXPECT_EQ(1, k_getEltOnTopNbr(f, "Import"));
    showElt(f, "Other");
    EXPECT_EQ(1, delSubElt(f, "Top", "G"));
    EXPECT_EQ(p.elt("G"), k_getNthEltOnTop(f, 1, "Import"));
    EXPECT_EQ(1, addSubElt(f, "Top", "G"));
    EXPECT_EQ(p.elt("Other"), k_getNthEltOnTop(f, 1, "Import"));
    EXPECT_EQ(1, deleteElt(f, "T1")); // "Excl" (last id) takes id 0; it stays hidden
    EXPECT_EQ(0, k_getEltOnTopIndex(f, p.elt("Top"), "Import"));
    _hideEltRec(p.elt("Top"));
    EXPECT_EQ(p.elt("Other"), k_getNthEltOnTop(f, 0, "Import"));
    showElt(f, "Top");
    EXPECT_EQ(2, k_getEltOnTopNbr(f, "Import"));
    EXPECT_EQ(3, k_getEltOnTopNbr(f, nullptr));

    // Rows under a group skip hidden members.
    p.track("V1").track("V2").track("H");
    hideElt(f, "H");
    p.link("Other", {"H", "V1", "V2"});
    KElement *other = p.elt("Other");
    EXPECT_EQ(2, KElement_getVisibleChildCount(other));
    EXPECT_EQ(p.elt("V1"), KElement_getVisibleChild(other, 0));
    EXPECT_EQ(p.elt("V2"), KElement_getVisibleChild(other, 1));
    EXPECT_EQ(nullptr, KElement_getVisibleChild(other, 2));
    EXPECT_EQ(1, KElement_getIndexFromParent(f, p.elt("V2"), "Import"));
    EXPECT_EQ(0, KElement_getVisibleChildCount(p.elt("V1")));
    EXPECT_EQ(nullptr, KElement_getVisibleChild(p.elt("V1"), 0));
}

TEST_F(TreeTest, DepthOfTheVisibleTree)
{
    KFile *f = p.file();
    EXPECT_EQ(3, getLevelFamily(f, "T1"));
    EXPECT_EQ(1, getLevelFamily(f, "Top"));
    EXPECT_EQ(0, getLevelFamily(f, "nope"));
    EXPECT_EQ(3, k_getTreeDepth(f));
    int n;
    EXPECT_EQ((Names{"Top", "Other", "Import"}),
              list([&](int *n) { return k_getEltsInNthDepth(f, 0, n); }));
    EXPECT_EQ((Names{"G"}), list([&](int *n) { return k_getEltsInNthDepth(f, 1, n); }));
    EXPECT_EQ(nullptr, k_getEltsInNthDepth(f, 5, &n));
}

TEST_F(TreeTest, CountsAndNameListsFollowCreationOrder)
{
    KFile *f = p.file();
    EXPECT_EQ(9, getEltNbr(f));
    EXPECT_EQ(4, tracksNbr(f));
    EXPECT_EQ(5, constraintsNbr(f));
    EXPECT_EQ(4, notOrphanTracksNbr(f));
    EXPECT_EQ(4, getVisibleGrpNbr(f)); // Excl is hidden
    int n;
    EXPECT_EQ((Names{"T1", "I1", "I2", "I3", "Top", "G", "Other", "Import", "Excl"}),
              list([&](int *n) { return allEltsNames(f, n); }));
    EXPECT_EQ((Names{"T1", "I1", "I2", "I3"}), list([&](int *n) { return tracksName(f, n); }));
    EXPECT_EQ((Names{"Top", "G", "Other", "Import", "Excl"}),
              list([&](int *n) { return eltsName(f, n); }));
    EXPECT_EQ((Names{"T1", "I1", "I2", "I3", "Top", "G", "Other", "Import"}),
              list([&](int *n) { return structureEltsName(f, n); }));
    EXPECT_EQ((Names{"Excl"}), list([&](int *n) { return unVisibleEltsName(f, n); }));
    EXPECT_EQ((Names{"Excl"}), list([&](int *n) { return getSpecElsNames(f, n, KCONST_ONE); }));
    EXPECT_EQ(nullptr, getSpecElsNames(f, &n, KCONST_ALL));
    EXPECT_EQ(nullptr, getSpecElsNames(f, &n, KCONST_IMPLY));

    // Deleting and renaming keep the remaining elements in creation order, not table order.
    EXPECT_EQ(1, deleteElt(f, "I1"));
    EXPECT_EQ(1, changeEltName(f, "T1", "Z"));
    p.track("New");
    EXPECT_EQ((Names{"Z", "I2", "I3", "Top", "G", "Other", "Import", "Excl", "New"}),
              list([&](int *n) { return allEltsNames(f, n); }));
    EXPECT_STREQ("Z", k_getNthElement(f, 0));
    EXPECT_STREQ("New", k_getNthElement(f, 8));
    EXPECT_EQ(nullptr, k_getNthElement(f, 9));
    EXPECT_STREQ("New", k_getNthTrackName(f, 3));
    EXPECT_EQ(nullptr, k_getNthTrackName(f, -1));

    int counter = computeInEltHT(f, [](gpointer, gpointer elt, gpointer counter) {
        *static_cast<int *>(counter) += static_cast<KElement *>(elt)->type == KELT_TRACK;
    });
    EXPECT_EQ(4, counter);
}

TEST(GraphQueries, RulesAndMembers)
{
    ProjectBuilder p;
    p.track("X").track("A").track("B").group("G", {"A"});
    p.rule(KCONST_IMPLY, "R2", {"A", "B"}, "X").rule(KCONST_IMPLY, "R1", {"B"}, "X");
    KFile *f = p.file();
    int n;
    const char **members = subEltName(f, "R2", &n);
    EXPECT_EQ(2, n);
    EXPECT_EQ((Names{"A", "B", "X"}), takeNames(members, 3));
    EXPECT_EQ(3, subEltNbr(f, "R2"));
    EXPECT_EQ(1, subEltNbr(f, "G"));
    EXPECT_EQ(-1, subEltNbr(f, "A"));
    EXPECT_EQ(nullptr, subEltName(f, "A", &n));
    EXPECT_STREQ("X", getImplying(f, "R1"));
    EXPECT_EQ(nullptr, getImplying(f, "G"));
    EXPECT_EQ(nullptr, giveGrpDatas(f, "R1"));
    ASSERT_NE(nullptr, giveGrpDatas(f, "G"));
    // Rules naming X, in id order.
    EXPECT_EQ((Names{"R2", "R1"}), list([&](int *n) { return getImplyWithElt(f, "X", n); }));
    EXPECT_EQ(nullptr, getImplyWithElt(f, "A", &n));
    EXPECT_EQ((Names{"R2", "R1"}),
              list([&](int *n) { return getSpecElsNames(f, n, KCONST_IMPLY); }));

    EXPECT_EQ(0, subGroupNbr(f, "G"));
    p.group("Outer", {"G", "X"});
    EXPECT_EQ(1, subGroupNbr(f, "Outer"));
    EXPECT_EQ(-2, subGroupNbr(f, "A"));
    EXPECT_EQ(-1, subGroupNbr(f, nullptr));

    GSList *l = moveStatusWithReturn(nullptr, p.elt("A"));
    g_slist_free(l);
    EXPECT_EQ(1, subPlayEltNbr(f, "G"));
    EXPECT_EQ(-1, subPlayEltNbr(f, "A"));
    GSList *known = g_slist_append(nullptr, const_cast<char *>("A"));
    EXPECT_STREQ("A", findLostSon(f, "R2", nullptr));
    EXPECT_EQ(nullptr, findLostSon(f, "R2", known));
    g_slist_free(known);
    EXPECT_EQ(1, isATrack(f, "A"));
    EXPECT_EQ(0, isATrack(f, "G"));
    EXPECT_EQ(nullptr, giveElt(f, nullptr));
    EXPECT_EQ(nullptr, giveElt(nullptr, "A"));
    EXPECT_STREQ("X", findName(f, 0));
    EXPECT_EQ(nullptr, giveEltName(f, 99));
    // playTrackNbr counts every playing element, groups too.
    EXPECT_EQ(playEltNbr(f), playTrackNbr(f));
    EXPECT_EQ(4, playEltNbr(f)); // A, G, R2, Outer
}

TEST(GraphQueries, SongTagsKeepTheirOrder)
{
    ProjectBuilder p;
    KFile *f = p.file();
    EXPECT_EQ(1, addSong(f, "TITLE", "x"));
    EXPECT_EQ(1, addSong(f, "ARTIST", "y"));
    EXPECT_EQ(1, addSong(f, "TITLE", "z"));
    EXPECT_STREQ("z", giveSongField(f, "TITLE"));
    int n;
    EXPECT_EQ((Names{"TITLE", "z", "ARTIST", "y"}),
              list([&](int *n) { return giveCompleteSongInfos(f, n); }));
    EngineArray owner(giveCompleteSongInfos(f, &n));
    EXPECT_EQ(4, n);
    EXPECT_EQ(-3, removeSongInfo(f, "nope"));
    EXPECT_EQ(-1, addSong(f, nullptr, "v"));
    EXPECT_EQ(1, removeSongInfo(f, "TITLE"));
    EXPECT_EQ((Names{"ARTIST", "y"}), list([&](int *n) { return giveCompleteSongInfos(f, n); }));
    EXPECT_EQ(1, deleteMediaSongs(f));
    EXPECT_EQ(nullptr, giveSongField(f, "ARTIST"));
}

TEST(GraphQueries, TrackFieldsFallBackToTheProjectFormat)
{
    ProjectBuilder p;
    p.track("A", 1000, 500).track("B").track("C").track("Bare").track("Mpeg").track("Ogg");
    KFile *f = p.file();
    struct Format {
        const char *track;
        double rate;
        int channels, bits, code;
    } formats[] = {
        {"A", 48000.0, 2, 16, 0x10002},
        {"B", 44100.0, -1, -1, 0},
        {"C", 44100.0, 1, 24, 0},
        {"Mpeg", 44100.0, 2, 16, KAUDIOFMT_MPEG},
        {"Ogg", 22050.0, 2, 16, KAUDIOFMT_VORBIS},
    };
    for (const Format &fmt : formats) {
        KStreamFormat *format = KStreamFormat_new();
        format->rate = fmt.rate;
        format->channels = fmt.channels;
        format->bits = fmt.bits;
        format->code = fmt.code;
        ASSERT_EQ(1, addTrackFormat(f, fmt.track, format));
        KStreamFormat_delete(&format);
    }
    int n;
    double *rates = k_getTracksRates(f, &n);
    EngineArray owner(rates);
    ASSERT_EQ(3, n);
    EXPECT_EQ(22050.0, rates[0]);
    EXPECT_EQ(44100.0, rates[1]);
    EXPECT_EQ(48000.0, rates[2]);

    KTrack *bare = giveTrack(f, "Bare");
    EXPECT_EQ(44100.0, k_getTrackRate(f, bare));
    EXPECT_EQ(0, k_getTrackAudioFmt(f, bare));
    EXPECT_EQ(-1, k_getTrackChannels(f, bare));
    EXPECT_EQ(0, k_getTrackBitrate(f, "Bare")); // unset bits and channels give no figure
    EXPECT_EQ(0, k_getTrackBitrate(f, "B"));
    EXPECT_EQ(1500, k_getTrackBitrate(f, "A"));
    EXPECT_EQ(1033, k_getTrackBitrate(f, "C"));
    EXPECT_EQ(0, k_getTrackBitrate(f, "Mpeg"));
    giveTrack(f, "Mpeg")->format->extra =
        static_cast<KStreamExtra *>(tvr_calloc(1, sizeof(KStreamExtra)));
    giveTrack(f, "Mpeg")->format->extra->values[2] = 192;
    EXPECT_EQ(192, k_getTrackBitrate(f, "Mpeg"));
    EXPECT_EQ(0, k_getTrackBitrate(f, "Ogg"));
    EXPECT_EQ(0, k_getTrackBitrate(f, "nope"));

    EXPECT_EQ(1000u, tvr_getTrackSize(f, "A"));
    EXPECT_EQ(1500, getTrackSamplesNbr(f, "A"));
    EXPECT_DOUBLE_EQ(1000.0 / 48000.0, tvr_getTrackLength(f, "A"));
    EXPECT_EQ(0.0, tvr_getTrackLength(f, "nope"));
    EXPECT_EQ(nullptr, getTrackFormat(f, "Bare"));
    EXPECT_EQ(1, k_setTrackChannels(bare, 2)); // makes the track's own format
    EXPECT_EQ(2, k_getTrackChannels(f, bare));
    EXPECT_EQ(44100.0, k_getTrackRate(f, bare));

    EXPECT_EQ(0, k_isAProject(f));
    char *path = _tvr_strcpy(KTRACK_IGNORE_AUDIO);
    ASSERT_EQ(1, setPathWOC(f, "B", path));
    EXPECT_EQ(1, k_isAProject(f));
    EXPECT_EQ((Names{KTRACK_IGNORE_AUDIO}), list([&](int *n) { return pathsSamples(f, n); }));
    EXPECT_STREQ(KTRACK_IGNORE_AUDIO, getSamplePath(f, "B"));
    EXPECT_DOUBLE_EQ(2.0, computeLengthFile(f)); // the 22050 Hz track ends last
}

// With no rate of its own and none in the project, a track's rate is the project's unset value;
// lengths still come out in seconds at 44100 Hz rather than negative or infinite.
TEST(GraphQueries, UnsetProjectRateIsReportedAsItStands)
{
    ProjectBuilder p;
    p.track("Bare", 88200).track("Own", 48000);
    KFile *f = p.file();
    KStreamFormat *own = KStreamFormat_new();
    own->rate = 48000.0;
    ASSERT_EQ(1, addTrackFormat(f, "Own", own));
    KStreamFormat_delete(&own);
    f->format->rate = -1.0;
    f->format->bits = 16;
    f->format->channels = 2;
    EXPECT_EQ(-1.0, k_getTrackRate(f, giveTrack(f, "Bare")));
    EXPECT_EQ(-1.0, k_getTrackRate(f, nullptr));
    EXPECT_EQ(48000.0, k_getTrackRate(f, giveTrack(f, "Own")));
    EXPECT_DOUBLE_EQ(2.0, tvr_getTrackLength(f, "Bare"));
    EXPECT_DOUBLE_EQ(2.0, computeLengthFile(f));
    EXPECT_EQ(0, k_getTrackBitrate(f, "Bare"));
    EXPECT_EQ(1, k_getTrackBitrate(f, "Own") > 0);
}
