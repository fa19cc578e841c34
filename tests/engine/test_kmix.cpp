// Mixes: track lists and gain tables, the mix manager's stored, default and on-play mixes, and
// the project-level operations that store, apply, relink and create mixes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "KEqual.h"
#include "KLevels.h"
#include "KMix.h"
#include "ProjectBuilder.h"

namespace {

std::vector<std::string> trackNames(const KMix *mix)
{
    std::vector<std::string> names;
    for (GSList *l = mix->tracks; l; l = l->next)
        names.push_back(static_cast<KTrack *>(l->data)->elt->name);
    return names;
}

std::vector<std::string> storedOrder(KFile *file)
{
    std::vector<std::string> names;
    for (GList *l = file->mixes->order.head; l; l = l->next)
        names.push_back(static_cast<KMix *>(l->data)->name);
    return names;
}

const char *defaultName(KFile *file)
{
    KMix *mix = MixManager_getDefaultMix(file->mixes);
    return mix ? mix->name : nullptr;
}

// Stores a new mix holding the named tracks.
KMix *store(KFile *file, const char *name, std::initializer_list<const char *> tracks = {})
{
    KMix *mix = KMix_create(name);
    for (const char *t : tracks)
        EXPECT_EQ(1, KMix_addTrack(mix, giveTrack(file, t))) << t;
    EXPECT_EQ(1, addSlct(file, mix, 0)) << name;
    return mix;
}

void switchOn(KFile *file, std::initializer_list<const char *> names)
{
    for (const char *name : names)
        if (giveElt(file, name)->status <= 0)
            g_slist_free(moveStatusWithReturn(nullptr, giveElt(file, name)));
}

} // namespace

// --- One mix -------------------------------------------------------------------------------------

TEST(KMixTracks, AddRemoveAndDefaultGains)
{
    ProjectBuilder p;
    p.track("A").track("B");
    KMix *mix = KMix_create("M");
    KTrack *a = giveTrack(p.file(), "A"), *b = giveTrack(p.file(), "B");
    ASSERT_EQ(1, setDefaultLevel(p.file(), "A", -30));
    EXPECT_EQ(1, KMix_addTrack(mix, a));
    EXPECT_EQ(1, KMix_addTrack(mix, a));
    EXPECT_EQ(1, mix->trackCount);
    EXPECT_DOUBLE_EQ(0.5, KMix_getLevel(mix, "A"));
    EXPECT_EQ(1, KMix_removeTrack(mix, b));
    EXPECT_EQ(1, mix->trackCount);
    EXPECT_EQ(1, KMix_addTrack(mix, b));
    EXPECT_EQ(1, KMix_trackIndex(mix, "B"));
    EXPECT_EQ(-1, KMix_trackIndex(mix, "C"));
    EXPECT_EQ(1, KMix_isInMix(mix, "A"));
    EXPECT_EQ(TVR_ERR_NOT_FOUND, KMix_removeTrackName(mix, "C"));
    EXPECT_EQ(1, KMix_removeTrackName(mix, "A"));
    EXPECT_EQ(std::vector<std::string>{"B"}, trackNames(mix));
    EXPECT_EQ(-1.0, KMix_getLevel(mix, "A"));

    // After a clear, adding records the default gain again.
    ASSERT_EQ(1, KMix_addLevelToElt(mix, "B", 0.125));
    EXPECT_EQ(1, KMix_clear(mix));
    EXPECT_EQ(0, mix->trackCount);
    EXPECT_EQ(-1.0, KMix_getLevel(mix, "B"));
    EXPECT_EQ(1, KMix_addTrack(mix, a));
    EXPECT_DOUBLE_EQ(0.5, KMix_getLevel(mix, "A"));

    EXPECT_EQ(TVR_ERR_PARAM, KMix_addTrack(mix, nullptr));
    EXPECT_EQ(TVR_ERR_PARAM, KMix_addTrack(nullptr, a));
    EXPECT_EQ(TVR_ERR_PARAM, KMix_trackIndex(mix, nullptr));
    KMix_delete(&mix);
    EXPECT_EQ(nullptr, mix);
}

TEST(KMixTracks, GainTableEntriesAreOwnedCopies)
{
    ProjectBuilder p;
    p.track("A");
    KMix *mix = KMix_new();
    std::string name = "Gx";
    ASSERT_EQ(1, KMix_addLevelToElt(mix, name.c_str(), 0.25));
    name[1] = 'y'; // the caller's buffer changes: the entry keeps its key
    EXPECT_EQ(0.25, KMix_getLevel(mix, "Gx"));
    EXPECT_EQ(1, KMix_renameElt(mix, "Gx", "Gz"));
    EXPECT_EQ(-1.0, KMix_getLevel(mix, "Gx"));
    EXPECT_EQ(0.25, KMix_getLevel(mix, "Gz"));
    EXPECT_EQ(1, KMix_renameElt(mix, "absent", "other"));

    const char *names[] = {"A", "B"};
    const double gains[] = {1.5, 0.0};
    EXPECT_EQ(1, KMix_addLevelsToElts(mix, names, gains, 2));
    EXPECT_EQ(0.0, KMix_getLevel(mix, "B"));
    EXPECT_EQ(TVR_ERR_PARAM, KMix_addLevelsToElts(mix, names, gains, 0));
    EXPECT_EQ(-1.0, KMix_getLevel(nullptr, "A"));

    KMix *clone = KMix_clone(mix);
    KMix_delete(&mix);
    EXPECT_EQ(1.5, KMix_getLevel(clone, "A"));
    KMix_delete(&clone);
}

TEST(KMixTracks, RemovingAGroupRemovesItsMembers)
{
    ProjectBuilder p;
    p.track("A").track("B").track("C").group("Inner", {"B"}).group("G", {"A", "Inner"});
    KMix *mix = KMix_create("M");
    for (const char *t : {"A", "B", "C"})
        KMix_addTrack(mix, giveTrack(p.file(), t));
    EXPECT_EQ(1, KMix_removeElt(mix, p.elt("G")));
    EXPECT_EQ(3, mix->trackCount) << "a group without a gain entry changes nothing";
    KMix_addLevelToElt(mix, "G", 1.0);
    KMix_addLevelToElt(mix, "Inner", 1.0);
    EXPECT_EQ(1, KMix_removeElt(mix, p.elt("G")));
    EXPECT_EQ(std::vector<std::string>{"C"}, trackNames(mix));
    EXPECT_EQ(-1.0, KMix_getLevel(mix, "Inner"));
    EXPECT_EQ(TVR_ERR_PARAM, KMix_removeElt(mix, nullptr));
    KMix_delete(&mix);
}

TEST(KMixTracks, CurrentLevelsComeFromTracksAndVisibleParents)
{
    ProjectBuilder p;
    p.track("A").track("B").group("G", {"A"}).group("Top", {"G"}).rule(KCONST_GROUP, "R", {"B"});
    changeLevel(p.elt("A"), -30);
    changeLevel(p.elt("Top"), 30);
    KMix *mix = KMix_new();
    KMix_addTrack(mix, giveTrack(p.file(), "A"));
    KMix_addTrack(mix, giveTrack(p.file(), "B"));
    KMix_addLevelToElt(mix, "stale", 1.0);
    EXPECT_EQ(1, KMix_fixCurrentLevels(mix));
    EXPECT_DOUBLE_EQ(0.5, KMix_getLevel(mix, "A"));
    EXPECT_DOUBLE_EQ(1.0, KMix_getLevel(mix, "G"));
    EXPECT_DOUBLE_EQ(2.0, KMix_getLevel(mix, "Top"));
    EXPECT_DOUBLE_EQ(1.0, KMix_getLevel(mix, "B"));
    EXPECT_EQ(-1.0, KMix_getLevel(mix, "R")) << "hidden rules hold no gain";
    EXPECT_EQ(-1.0, KMix_getLevel(mix, "stale"));
    EXPECT_EQ(4u, g_hash_table_size(mix->levels));
    KMix_delete(&mix);
}

TEST(KMixTracks, MasteringIsCopied)
{
    _KEqualization *curve = KEqual_new();
    KEqual_setAmplitude(curve, 100.0, 0.5);
    KMix *mix = KMix_new();
    EXPECT_EQ(1, KMix_setMastering(mix, curve));
    KEqual_setAmplitude(curve, 200.0, 0.7);
    EXPECT_EQ(1, KEqual_getNbFreq(KMix_getMastering(mix)));
    EXPECT_EQ(1, KMix_setMastering(mix, curve));
    EXPECT_EQ(2, KEqual_getNbFreq(KMix_getMastering(mix)));
    EXPECT_EQ(TVR_ERR_PARAM, KMix_setMastering(mix, nullptr));
    EXPECT_EQ(-1, KMix_setMastering(nullptr, curve));
    KEqual_delete(&curve);
    KMix_delete(&mix);
}

// --- Manager -------------------------------------------------------------------------------------

TEST(KMixManager, DefaultFollowsStoringRemovingAndRenaming)
{
    ProjectBuilder p;
    KFile *f = p.file();
    KMix *m1 = store(f, "M1");
    EXPECT_STREQ("M1", defaultName(f));
    KMix *m2 = store(f, "M2");
    EXPECT_STREQ("M1", defaultName(f));
    EXPECT_EQ(1, deleteSlct(f, "M1"));
    KMix_delete(&m1);
    EXPECT_STREQ("M2", defaultName(f));
    EXPECT_EQ(1, MixManager_renameMix(f->mixes, "M2", "M3"));
    EXPECT_STREQ("M3", defaultName(f));
    EXPECT_EQ(m2, findThisSlct(f, "M3"));
    EXPECT_EQ(nullptr, findThisSlct(f, "M2"));
    EXPECT_EQ(TVR_ERR_NOT_FOUND, deleteSlct(f, "M2"));
    EXPECT_EQ(1, deleteSlct(f, "M3"));
    KMix_delete(&m2);
    EXPECT_EQ(nullptr, defaultName(f));
    EXPECT_EQ(0, getNbSlct(f));
}

TEST(KMixManager, RenameRefusalsChangeNothing)
{
    ProjectBuilder p;
    KFile *f = p.file();
    store(f, "A");
    store(f, "B");
    EXPECT_EQ(TVR_ERR_PARAM, MixManager_renameMix(f->mixes, "A", "B"));
    EXPECT_EQ(TVR_ERR_MIX_CORRUPTED, MixManager_renameMix(f->mixes, "nope", "C"));
    EXPECT_EQ(TVR_ERR_MIX_CORRUPTED, MixManager_renameMix(f->mixes, nullptr, "C"));
    EXPECT_EQ(TVR_ERR_PARAM, MixManager_renameMix(f->mixes, "A", nullptr));
    EXPECT_EQ((std::vector<std::string>{"A", "B"}), storedOrder(f));
    EXPECT_STREQ("A", defaultName(f));
    // Renaming to its own name is a name already stored.
    EXPECT_EQ(TVR_ERR_PARAM, MixManager_renameMix(f->mixes, "A", findThisSlct(f, "A")->name));
    EXPECT_EQ(1, MixManager_renameMix(f->mixes, "A", "Z"));
    EXPECT_EQ((std::vector<std::string>{"Z", "B"}), storedOrder(f)) << "renaming keeps the order";
}

TEST(KMixManager, MixOnPlayFollowsRenameAndRemoval)
{
    ProjectBuilder p;
    KFile *f = p.file();
    KMix *mix = store(f, "A");
    mix->masterGain = 0.5;
    mix->masterPan = -0.5;
    MixManager_setMixOnPlay(f->mixes, "A");
    EXPECT_STREQ("A", MixManager_MixOnPlay(f->mixes));
    EXPECT_EQ(0.5, f->mixes->current->masterGain);
    EXPECT_EQ(-0.5, f->mixes->current->masterPan);
    ASSERT_EQ(1, MixManager_renameMix(f->mixes, "A", "B"));
    EXPECT_STREQ("B", MixManager_MixOnPlay(f->mixes));
    ASSERT_EQ(1, MixManager_removeMixLink(f->mixes, "B"));
    EXPECT_EQ(nullptr, MixManager_MixOnPlay(f->mixes));
    EXPECT_EQ(1.0, f->mixes->current->masterGain);
    EXPECT_EQ(0.0, f->mixes->current->masterPan);
    ASSERT_EQ(1, MixManager_addMix(f->mixes, mix));
    MixManager_setMixOnPlay(f->mixes, "nope");
    EXPECT_EQ(nullptr, MixManager_MixOnPlay(f->mixes));
}

TEST(KMixManager, ReplacingAStoredMixKeepsItsPlaceAndDefaultRole)
{
    ProjectBuilder p;
    KFile *f = p.file();
    store(f, "A");
    store(f, "B");
    store(f, "C");
    ASSERT_EQ(1, setSlctAsDef(f, "B"));
    KMix *replacement = KMix_create("B");
    ASSERT_EQ(1, addSlct(f, replacement, 0)); // the replaced mix is freed (checked by ASan)
    EXPECT_EQ(replacement, findThisSlct(f, "B"));
    EXPECT_EQ(replacement, MixManager_getDefaultMix(f->mixes));
    EXPECT_EQ((std::vector<std::string>{"A", "B", "C"}), storedOrder(f));
    EXPECT_EQ(3, getNbSlct(f));
    EXPECT_EQ(1, addSlct(f, replacement, 0)) << "storing the stored mix again changes nothing";
    EXPECT_EQ(3, getNbSlct(f));

    int count = 0;
    const char **names = giveSlctName(f, &count);
    EXPECT_EQ((std::vector<std::string>{"B", "A", "C"}), takeNames(names, count));
    EXPECT_EQ(TVR_ERR_PARAM, addSlct(f, f->mixes->current, 0));
    KMix *unnamed = KMix_new();
    EXPECT_EQ(TVR_ERR_PARAM, addSlct(f, unnamed, 0));
    KMix_delete(&unnamed);
    EXPECT_EQ(-1, setSlctAsDef(f, "nope"));
}

TEST(KMixManager, RemovingTheDefaultPassesItOnInOrder)
{
    ProjectBuilder p;
    KFile *f = p.file();
    for (const char *name : {"C", "A", "B"})
        store(f, name);
    KMix *removed = findThisSlct(f, "C");
    ASSERT_EQ(1, MixManager_removeMix(f->mixes, "C"));
    KMix_delete(&removed);
    EXPECT_STREQ("A", defaultName(f)) << "the first other mix in stored order";
    ASSERT_EQ(1, addSlct(f, KMix_create("D"), KSLCT_AS_DEFAULT));
    EXPECT_STREQ("D", defaultName(f));
}

TEST(KMixManager, CloneKeepsOrderDefaultAndOnPlay)
{
    ProjectBuilder p;
    p.track("A");
    KFile *f = p.file();
    store(f, "X", {"A"});
    store(f, "Y");
    setSlctAsDef(f, "Y");
    MixManager_setMixOnPlay(f->mixes, "X");
    MixManager *copy = MixManager_clone(f->mixes);
    ASSERT_NE(nullptr, copy);
    EXPECT_STREQ("Y", MixManager_getDefaultMix(copy)->name);
    EXPECT_STREQ("X", MixManager_MixOnPlay(copy));
    EXPECT_EQ(giveTrack(f, "A"), MixManager_getMix(copy, "X")->tracks->data);
    EXPECT_EQ(2, MixManager_getMixNbr(copy));
    MixManager_delete(&copy);
    EXPECT_EQ(TVR_ERR_PARAM, MixManager_getMixNbr(nullptr));
}

TEST(KMixManager, ForEachMixInStoredOrder)
{
    ProjectBuilder p;
    for (const char *name : {"b", "c", "a"})
        store(p.file(), name);
    std::vector<std::string> seen;
    auto collect = [](const char *name, KMix *, void *data) {
        static_cast<std::vector<std::string> *>(data)->push_back(name);
    };
    EXPECT_EQ(1, MixManager_forEachMix(p.file()->mixes, collect, &seen));
    EXPECT_EQ((std::vector<std::string>{"b", "c", "a"}), seen);
    EXPECT_EQ(TVR_ERR_PARAM, MixManager_forEachMix(nullptr, collect, &seen));
}

// --- Current mix and applying mixes --------------------------------------------------------------

TEST(KMixApply, SwitchingAMixMovesStatusesOnlyWhereNeeded)
{
    ProjectBuilder p;
    p.track("A").track("B").track("C").track("D").group("G", {"A", "B"});
    KFile *f = p.file();
    addTrackInCurrentMix(f, "A");
    addTrackInCurrentMix(f, "B");
    switchOn(f, {"A", "D"}); // B is listed but stopped; D plays without being listed
    KMix *mix = store(f, "M", {"C", "D"});
    ASSERT_EQ(1, setMixAsCurrentMix(f, mix, 1));
    EXPECT_EQ((std::vector<std::string>{"C", "D"}), trackNames(f->mixes->current));
    EXPECT_EQ(KSTATUS_OFF, getEltStatus(f, "A"));
    EXPECT_GE(0, getEltStatus(f, "B")) << "a stopped track taken out stays stopped";
    EXPECT_EQ(KSTATUS_ON, getEltStatus(f, "C"));
    EXPECT_EQ(KSTATUS_ON, getEltStatus(f, "D")) << "a playing track added keeps playing";
    EXPECT_GE(0, getEltStatus(f, "G"));
    EXPECT_STREQ("M", MixManager_MixOnPlay(f->mixes));
    EXPECT_EQ(1, isSelected(f, "C"));
    EXPECT_EQ(0, isSelected(f, "A"));
    EXPECT_EQ(2, selectedTracksNbr(f));
    const char **names = selectedTracksName(f);
    EXPECT_EQ((std::vector<std::string>{"C", "D"}), takeNames(names, 2));

    // Without switching, statuses stay.
    KMix *other = store(f, "N", {"A"});
    ASSERT_EQ(1, MixManager_setMixAsCur(f->mixes, other, 0));
    EXPECT_EQ(KSTATUS_ON, getEltStatus(f, "C"));
    EXPECT_EQ(KSTATUS_OFF, getEltStatus(f, "A"));
    EXPECT_EQ(TVR_ERR_PARAM, setMixAsCurrentMix(f, nullptr, 1));
}

TEST(KMixApply, GainsBecomeLevelsAndMissingGainsTheDefault)
{
    struct Case {
        double gain; // negative: no entry
        int defaultLevel, expected;
    } cases[] = {
        {0.5, 0, -30},  {1.0, -60, 0},     {-1.0, -60, -60}, {0.0, 0, -240},
        {0.001, 0, -240}, {4.0, 0, 60},    {8.0, 0, 0},      {std::nan(""), -90, -90},
    };
    for (const Case &c : cases) {
        ProjectBuilder p;
        p.track("T");
        KFile *f = p.file();
        ASSERT_EQ(1, setDefaultLevel(f, "T", c.defaultLevel));
        KMix *mix = store(f, "M", {"T"});
        g_hash_table_remove_all(mix->levels);
        if (!(c.gain < 0.0))
            KMix_addLevelToElt(mix, "T", c.gain);
        testing::internal::CaptureStderr(); // a gain above the track's range is refused
        ASSERT_EQ(1, setMixAsCurrentMix(f, mix, 1));
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(c.expected, getLevel(f, "T")) << "gain " << c.gain;
        EXPECT_DOUBLE_EQ(KLevels_levelToGain(c.expected), p.elt("T")->levels->gain);
    }
}

TEST(KMixApply, ChooseAndDefaultMix)
{
    ProjectBuilder p;
    p.track("A").track("B");
    KFile *f = p.file();
    EXPECT_EQ(0, setDefSlct(f));
    EXPECT_EQ(-1, setDefSlct(nullptr));
    KMix *mix = store(f, "M", {"B"});
    KMix_addLevelToElt(mix, "B", 0.25);
    store(f, "Empty");
    EXPECT_EQ(1, setDefSlct(f));
    EXPECT_EQ(-60, getLevel(f, "B"));
    EXPECT_EQ(1, isPlaying(f, "B"));
    EXPECT_EQ(1, chooseSlct(f, "M"));
    EXPECT_EQ(-1, chooseSlct(f, "Empty"));
    EXPECT_EQ(0, isPlaying(f, "B"));
    // An unknown name applies the current mix as it is.
    addTrackInCurrentMix(f, "A");
    switchOn(f, {"A"});
    changeLevel(p.elt("A"), -12);
    EXPECT_EQ(-1, chooseSlct(f, "nope"));
    EXPECT_EQ(-12, getLevel(f, "A"));
    EXPECT_EQ(1, initLevel(f, "M"));
    EXPECT_EQ(-1, initLevel(f, "Empty"));
    EXPECT_EQ(1, isInSlct(f, "B", "M"));
    EXPECT_EQ(0, isInSlct(f, "A", "M"));
}

TEST(KMixApply, SavingTheCurrentMix)
{
    ProjectBuilder p;
    p.track("A").track("B").group("G", {"A", "B"});
    KFile *f = p.file();
    store(f, "Old");
    store(f, "Other");
    addTrackInCurrentMix(f, "A");
    switchOn(f, {"A"});
    changeLevel(p.elt("A"), -30);
    changeLevel(p.elt("G"), 30);
    f->mixes->current->masterGain = 0.75;

    ASSERT_EQ(1, saveCurrentSlct(f, findThisSlct(f, "Old")->name)); // the name of a replaced mix
    KMix *saved = findThisSlct(f, "Old");
    EXPECT_EQ(saved, MixManager_getDefaultMix(f->mixes));
    EXPECT_STREQ("Old", MixManager_MixOnPlay(f->mixes));
    EXPECT_EQ((std::vector<std::string>{"Old", "Other"}), storedOrder(f));
    EXPECT_EQ((std::vector<std::string>{"A"}), trackNames(saved));
    EXPECT_DOUBLE_EQ(0.5, KMix_getLevel(saved, "A"));
    EXPECT_DOUBLE_EQ(2.0, KMix_getLevel(saved, "G"));
    EXPECT_EQ(0.75, saved->masterGain);
    EXPECT_EQ(0.75, f->mixes->current->masterGain);
    EXPECT_EQ(-1, saveCurrentSlct(f, nullptr));
    EXPECT_EQ(-1, saveCurrentSlct(nullptr, "x"));

    // The current mix's track list (not its gains) can go to a stored mix.
    addTrackInCurrentMix(f, "B");
    EXPECT_EQ(nullptr, MixManager_MixOnPlay(f->mixes)) << "changing the tracks leaves the mix";
    EXPECT_EQ(1, k_saveCurrentSlctToMix(f, "Other"));
    EXPECT_EQ((std::vector<std::string>{"A", "B"}), trackNames(findThisSlct(f, "Other")));
    EXPECT_EQ(2, findThisSlct(f, "Other")->trackCount);
    EXPECT_EQ(0, k_saveCurrentSlctToMix(f, "nope"));
    EXPECT_EQ(1, removeTrackFromCurrentMix(f, "B"));
    EXPECT_EQ(TVR_ERR_PARAM, removeTrackFromCurrentMix(f, "nope"));
    EXPECT_EQ(1, clearCurrentMix(f));
    EXPECT_EQ(0, selectedTracksNbr(f));
    EXPECT_EQ(nullptr, selectedTracksName(f));
}

TEST(KMixApply, CurrentLevelsGoIntoAMix)
{
    ProjectBuilder p;
    p.track("A").track("B").group("G", {"A"}).rule(KCONST_GROUP, "R", {"A"});
    KFile *f = p.file();
    switchOn(f, {"A"});
    changeLevel(p.elt("A"), 30);
    KMix *mix = KMix_new();
    EXPECT_EQ(1, k_setCurrentLevelsInMix(f, mix));
    EXPECT_EQ(0u, g_hash_table_size(mix->levels)) << "a mix without tracks takes nothing";
    KMix_addTrack(mix, giveTrack(f, "B"));
    EXPECT_EQ(1, k_setCurrentLevelsInMix(f, mix));
    EXPECT_DOUBLE_EQ(2.0, KMix_getLevel(mix, "A"));
    EXPECT_DOUBLE_EQ(1.0, KMix_getLevel(mix, "G"));
    EXPECT_EQ(-1.0, KMix_getLevel(mix, "R")) << "hidden rules are left out";
    KMix_delete(&mix);
}

// --- References to elements ----------------------------------------------------------------------

TEST(KMixReferences, DeletedTracksLeaveNoPointerInAnyMix)
{
    ProjectBuilder p;
    p.track("A").track("B").group("G", {"A"});
    KFile *f = p.file();
    KMix *mix = store(f, "M", {"A", "B"});
    KMix_addLevelToElt(mix, "G", 0.5);
    addTrackInCurrentMix(f, "A");
    ASSERT_EQ(1, deleteElt(f, "A"));
    EXPECT_EQ((std::vector<std::string>{"B"}), trackNames(mix));
    EXPECT_EQ(1, mix->trackCount);
    EXPECT_EQ(-1.0, KMix_getLevel(mix, "A"));
    EXPECT_EQ(0, selectedTracksNbr(f));
    ASSERT_EQ(1, removeTrack(f, "B"));
    EXPECT_EQ(0, mix->trackCount);
    ASSERT_EQ(1, deleteElt(f, "G"));
    EXPECT_EQ(0u, g_hash_table_size(mix->levels));
    // Using the mixes afterwards touches no freed track (ASan).
    EXPECT_EQ(1, setMixAsCurrentMix(f, mix, 1));
    EXPECT_EQ(1, updateMix(f));
}

TEST(KMixReferences, RenamesAndRemovalsReachEveryMix)
{
    ProjectBuilder p;
    p.track("A").track("B").group("G", {"A", "B"});
    KFile *f = p.file();
    KMix *m1 = store(f, "M1", {"A", "B"});
    KMix *m2 = store(f, "M2", {"A"});
    KMix_addLevelToElt(m1, "G", 0.5);
    addTrackInCurrentMix(f, "A");

    EXPECT_EQ(1, renameEltInAllMix(f, "G", "H"));
    EXPECT_EQ(0.5, KMix_getLevel(m1, "H"));
    EXPECT_EQ(TVR_ERR_PARAM, renameEltInAllMix(f, "nope", "x"));

    EXPECT_EQ(1, removeTrackFromAllSlct(f, "A"));
    EXPECT_EQ(0, KMix_isInMix(m1, "A"));
    EXPECT_EQ(0, m2->trackCount);
    EXPECT_EQ(0, isSelected(f, "A"));
    EXPECT_EQ(1, removeTrackFromAllSlct(f, "G"));

    KMix_addLevelToElt(m1, "G", 0.5);
    EXPECT_EQ(1, removeEltFromAllMix(f, "G"));
    EXPECT_EQ(0, m1->trackCount) << "a group's removal takes its member tracks";
    EXPECT_EQ(1, removeEltFromAllMix(f, "nope"));
}

TEST(KMixReferences, UpdateRelinksToTheProjectsOwnTracks)
{
    ProjectBuilder source;
    source.track("A").track("B");
    ProjectBuilder p;
    p.track("A").track("C");
    KFile *f = p.file();
    // A mix built against another project, as a reader or a copy might leave it.
    KMix *mix = KMix_create("M");
    KMix_addTrack(mix, giveTrack(source.file(), "A"));
    mix->tracks = g_slist_append(mix->tracks, giveTrack(f, "A"));
    mix->trackCount = 2;
    ASSERT_EQ(1, addSlct(f, mix, 0));
    EXPECT_EQ(1, updateMix(f));
    ASSERT_EQ(1, mix->trackCount) << "both entries name the same track";
    EXPECT_EQ(giveTrack(f, "A"), mix->tracks->data);
    EXPECT_EQ(1, isPlaying(f, "A")) << "the default mix is applied";

    KMix_addTrack(mix, giveTrack(source.file(), "B"));
    GSList *names = g_slist_append(nullptr, const_cast<char *>("M"));
    testing::internal::CaptureStderr();
    EXPECT_EQ(TVR_ERR_MIX_CORRUPTED, updateSomeMix(f, names));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ((std::vector<std::string>{"A"}), trackNames(mix));
    names = g_slist_append(names, const_cast<char *>("nope"));
    EXPECT_EQ(TVR_ERR_NOT_FOUND, updateSomeMix(f, names));
    g_slist_free(names);
}

// Applying, relinking and removing rebuild the track lists in one pass each: the order of what
// stays must not change, and added tracks follow in the mix's order.
TEST(KMixReferences, ListsKeepTheirOrderThroughApplyRelinkAndRemoval)
{
    ProjectBuilder source;
    source.track("A").track("B").track("D");
    ProjectBuilder p;
    p.track("A").track("B").track("C").track("D").track("E").group("G", {"B", "D"});
    KFile *f = p.file();
    for (const char *t : {"E", "A", "D", "B"})
        addTrackInCurrentMix(f, t);
    KMix *mix = store(f, "M", {"C", "B", "E"});
    ASSERT_EQ(1, MixManager_setMixAsCur(f->mixes, mix, 0));
    KMix *current = f->mixes->current;
    EXPECT_EQ((std::vector<std::string>{"E", "B", "C"}), trackNames(current));
    EXPECT_EQ(3, current->trackCount);
    EXPECT_EQ(-1.0, KMix_getLevel(current, "A")) << "a removed track's gain goes";
    EXPECT_EQ(giveElt(f, "C")->levels->defaultGain, KMix_getLevel(current, "C"));

    // Entries of another project, a repeat in the middle: relinked in first-seen order.
    KMix *foreign = KMix_create("R");
    for (KTrack *t : {giveTrack(source.file(), "D"), giveTrack(source.file(), "B"),
                      giveTrack(f, "D"), giveTrack(source.file(), "A"), giveTrack(f, "B")})
        foreign->tracks = g_slist_append(foreign->tracks, t);
    foreign->trackCount = 5;
    ASSERT_EQ(1, addSlct(f, foreign, 0));
    EXPECT_EQ(1, updateMix(f));
    EXPECT_EQ((std::vector<std::string>{"D", "B", "A"}), trackNames(foreign));
    EXPECT_EQ(3, foreign->trackCount);
    for (GSList *l = foreign->tracks; l; l = l->next)
        EXPECT_EQ(giveTrack(f, static_cast<KTrack *>(l->data)->elt->name), l->data);

    KMix_addLevelToElt(foreign, "G", 1.0);
    EXPECT_EQ(1, KMix_removeElt(foreign, p.elt("G")));
    EXPECT_EQ(std::vector<std::string>{"A"}, trackNames(foreign));
    EXPECT_EQ(1, foreign->trackCount);
}

// --- Made mixes and names ------------------------------------------------------------------------

TEST(KMixCreate, DefaultMixesFromTheProject)
{
    ProjectBuilder empty;
    EXPECT_EQ(TVR_ERR_ELT_TABLE, createDefaultMix(empty.file()));
    EXPECT_EQ(TVR_ERR_NOT_FOUND, createDefaultSlct(empty.file(), "D"));
    EXPECT_EQ(TVR_ERR_NOT_FOUND, createDefaultSlctWithAllTracks(empty.file(), "D"));
    EXPECT_EQ(TVR_ERR_PARAM, createDefaultSlct(nullptr, "D"));

    ProjectBuilder p;
    p.track("A").track("B").track("C").track("D");
    KFile *f = p.file();
    // Only top tracks: no group leads to a track, and a stored mix of that name stays.
    store(f, "Pick", {"D"});
    EXPECT_EQ(TVR_ERR_ELT_ORGANISATION, createDefaultSlct(f, "Pick"));
    EXPECT_EQ((std::vector<std::string>{"D"}), trackNames(findThisSlct(f, "Pick")));

    p.group("Inner", {"B", "A"}).group("G", {"Inner", "C"}).group("Empty");
    p.rule(KCONST_GROUP, "Hidden", {"D"});
    EXPECT_EQ(1, createDefaultSlct(f, "Pick"));
    EXPECT_EQ((std::vector<std::string>{"B"}), trackNames(findThisSlct(f, "Pick")))
        << "the first track down the first members of visible groups";

    EXPECT_EQ(1, createDefaultMix(f));
    EXPECT_EQ((std::vector<std::string>{"A", "B", "C", "D"}),
              trackNames(findThisSlct(f, KMIX_DEFAULT_SELECTION)));
    EXPECT_EQ(1, createDefaultSlctWithAllTracks(f, "Default Mix"));
    EXPECT_EQ(4, findThisSlct(f, "Default Mix")->trackCount);
    EXPECT_EQ((std::vector<std::string>{"Pick", KMIX_DEFAULT_SELECTION, "Default Mix"}),
              storedOrder(f));
}

TEST(KMixCreate, NextSelectionName)
{
    ProjectBuilder p;
    KFile *f = p.file();
    store(f, "Selection_1");
    store(f, "Selection_2");
    char *name = TovraNextConfigName(f);
    EXPECT_STREQ("Selection_3", name);
    tvr_free(name);
    f->slctCounter = 2147483646;
    name = TovraNextConfigName(f);
    EXPECT_STREQ("Selection_2147483647", name);
    tvr_free(name);
    EXPECT_EQ(2147483646, f->slctCounter) << "the counter is not advanced";
}

TEST(KMixCreate, MasteringByMixName)
{
    ProjectBuilder p;
    KFile *f = p.file();
    store(f, "M");
    _KEqualization *curve = KEqual_new();
    KEqual_setAmplitude(curve, 1000.0, 2.0);
    EXPECT_EQ(1, k_setMixMastering(f, "M", curve));
    EXPECT_EQ(0, k_setMixMastering(f, "nope", curve));
    EXPECT_NE(curve, k_getMixMastering(f, "M"));
    EXPECT_EQ(1, KEqual_getNbFreq(k_getMixMastering(f, "M")));
    EXPECT_EQ(nullptr, k_getMixMastering(f, "nope"));
    KEqual_delete(&curve);
}

TEST(KMixCreate, NewSelectionFromATrackList)
{
    ProjectBuilder p;
    p.track("A").track("B");
    GSList *tracks = g_slist_append(nullptr, giveTrack(p.file(), "B"));
    tracks = g_slist_append(tracks, giveTrack(p.file(), "A"));
    tracks = g_slist_append(tracks, giveTrack(p.file(), "B"));
    KMix *mix = newSlct(tracks, "New");
    g_slist_free(tracks);
    ASSERT_NE(nullptr, mix);
    EXPECT_STREQ("New", mix->name);
    EXPECT_EQ((std::vector<std::string>{"B", "A"}), trackNames(mix));
    EXPECT_EQ(1, addMixInCurrentMix(p.file(), mix->tracks));
    EXPECT_EQ(2, selectedTracksNbr(p.file()));
    EXPECT_EQ(TVR_ERR_PARAM, addMixInCurrentMix(p.file(), nullptr));
    KMix_delete(&mix);
}
