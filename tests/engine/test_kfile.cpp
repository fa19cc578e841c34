// Project graph: lifetime, tracks, groups and rules, integrity refusals, renaming and deletion
// with every reference kept valid, cloning, validation and status toggles. Run under ASan/LSan,
// so every ownership rule is also checked for leaks and double frees.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "KEqual.h"
#include "ProjectBuilder.h"

namespace {

char *engineString(const char *s)
{
    return _tvr_strcpy(s);
}

void releaseEngineString(char *s)
{
    tvr_free_called();
    std::free(s);
}

// Puts a track into a mix with a gain entry, as the mix operations do.
void putInMix(KMix *mix, KTrack *track, double gain)
{
    mix->tracks = g_slist_append(mix->tracks, track);
    ++mix->trackCount;
    double *value = static_cast<double *>(tvr_malloc(sizeof(double)));
    *value = gain;
    g_hash_table_replace(mix->levels, _tvr_strcpy(track->elt->name), value);
}

// Stores a new named mix in the project's manager.
KMix *storeMix(KFile *file, const char *name)
{
    KMix *mix = KMix_create(name);
    g_hash_table_insert(file->mixes->mixes, mix->name, mix);
    g_queue_push_tail(&file->mixes->order, mix);
    if (!file->mixes->defaultMix)
        file->mixes->defaultMix = mix;
    return mix;
}

double gainIn(KMix *mix, const char *name)
{
    const double *gain = static_cast<const double *>(g_hash_table_lookup(mix->levels, name));
    return gain ? *gain : -1.0;
}

int *bounds(KFile *file, const char *name)
{
    return static_cast<int *>(giveConst(file, name)->kindData);
}

std::vector<std::string> statusChanges(KElement *elt)
{
    GSList *list = moveStatusWithReturn(nullptr, elt);
    std::vector<std::string> names;
    for (GSList *l = list; l; l = l->next)
        names.emplace_back(static_cast<const char *>(l->data));
    g_slist_free(list);
    return names;
}

// Checks the invariants every operation keeps: unique names filed under themselves, gapless ids,
// mirrored member and parent lists, playing counts.
void expectConsistent(KFile *file)
{
    ASSERT_EQ(static_cast<guint>(file->eltCount), g_hash_table_size(file->elts));
    for (int id = 0; id < file->eltCount; ++id) {
        KElement *e = file->eltsById[id];
        ASSERT_NE(nullptr, e);
        EXPECT_EQ(id, e->id);
        EXPECT_EQ(e, giveElt(file, e->name));
        for (GList *l = e->parents.head; l; l = l->next) {
            KGroupData *g = static_cast<KGroupData *>(static_cast<KElement *>(l->data)->data);
            EXPECT_NE(nullptr, g_queue_find(&g->members, e)) << e->name;
        }
        if (e->type == KELT_GROUP) {
            KGroupData *g = static_cast<KGroupData *>(e->data);
            int playing = 0;
            for (GList *l = g->members.head; l; l = l->next) {
                KElement *m = static_cast<KElement *>(l->data);
                EXPECT_NE(nullptr, g_queue_find(&m->parents, e)) << e->name;
                playing += m->status > 0;
            }
            EXPECT_EQ(static_cast<int>(g->members.length), g->memberCount) << e->name;
            EXPECT_EQ(playing, g->playCount) << e->name;
            if (g->kind == KCONST_IMPLY) {
                EXPECT_EQ(giveElt(file, static_cast<const char *>(g->kindData))->name, g->kindData);
            }
        }
    }
}

} // namespace

TEST(KFileLifetime, NewProjectDefaultsAndVersionCheck)
{
    char *name = engineString("Song");
    KFile *file = newZark(name, 2.0);
    releaseEngineString(name); // the project keeps a copy
    ASSERT_NE(nullptr, file);
    EXPECT_STREQ("Song", file->name);
    EXPECT_EQ(44100.0, file->format->rate);
    EXPECT_EQ(1.0, file->masterGain);
    EXPECT_EQ(nullptr, file->fileId);
    EXPECT_EQ(0, getEltNbr(file));
    EXPECT_STREQ(KMIX_CURRENT_NAME, file->mixes->current->name);
    EXPECT_EQ(1, _freeZark(file));

    EXPECT_EQ(nullptr, newZark("x", 3.0));
    EXPECT_EQ(nullptr, newZark("x", NAN));
    KFile *unnamed = newZark(nullptr, 2.5);
    ASSERT_NE(nullptr, unnamed);
    EXPECT_EQ(-1, isValid(unnamed));
    _freeZark(unnamed);
    EXPECT_EQ(1, _freeZark(nullptr));
    EXPECT_EQ(0, isValid(nullptr));
}

TEST(KFileLifetime, FileIdsDifferAndVersionsCompare)
{
    ProjectBuilder p;
    std::string first = TovraGenerateFileId(p.file());
    std::string second = TovraGenerateFileId(p.file());
    EXPECT_EQ(128u, first.size());
    EXPECT_NE(first, second);
    EXPECT_EQ(std::string::npos, second.find_first_of("<>"));
    EXPECT_EQ(nullptr, TovraGenerateFileId(nullptr));

    EXPECT_EQ(1, cFVersIsOk(2.0, p.file()));
    p.file()->version = 1.0;
    EXPECT_EQ(-2, cFVersIsOk(2.0, p.file()));
    EXPECT_EQ(1, cFVersIsOk(1.5, p.file()));
}

TEST(KFileElements, IdsStayGaplessWhenElementsAreDeleted)
{
    ProjectBuilder p;
    p.track("A").track("B").track("C");
    EXPECT_EQ(1, deleteElt(p.file(), "B"));
    EXPECT_EQ(2, getEltNbr(p.file()));
    EXPECT_STREQ("C", giveEltName(p.file(), 1));
    EXPECT_EQ(1, p.elt("C")->id);
    EXPECT_EQ(1, deleteElt(p.file(), "C"));
    EXPECT_EQ(1, getEltNbr(p.file()));
    EXPECT_STREQ("A", giveEltName(p.file(), 0));
    EXPECT_EQ(-2, deleteElt(p.file(), "nope"));
    EXPECT_EQ(-1, deleteElt(nullptr, "A"));
    expectConsistent(p.file());
}

TEST(KFileElements, DuplicateNamesAndBadReferencesAreRefused)
{
    ProjectBuilder p;
    p.track("T").group("G");
    // A refused track or data block is released by the engine (LSan checks it).
    EXPECT_EQ(TVR_ERR_ELT_TABLE, addTrack(p.file(), createTrack(0, nullptr, 10), "T"));
    EXPECT_EQ(TVR_ERR_ELT_TABLE, addTrack(p.file(), createTrack(0, nullptr, 10), "G"));
    EXPECT_EQ(TVR_ERR_ELT_TABLE, createElt(p.file(), KCONST_GROUP, "T", createDataGrp(0, 1)));
    EXPECT_EQ(TVR_ERR_PARAM, addTrack(p.file(), createTrack(0, nullptr, 10), ""));
    EXPECT_EQ(TVR_ERR_PARAM, createElt(p.file(), 42, "K", nullptr));
    EXPECT_EQ(TVR_ERR_NOT_FOUND,
              createElt(p.file(), KCONST_IMPLY, "I", const_cast<char *>("nope")));
    EXPECT_EQ(2, getEltNbr(p.file()));
    EXPECT_EQ(-3, changeEltName(p.file(), "T", "G"));
    EXPECT_EQ(-2, changeEltName(p.file(), "nope", "X"));
    EXPECT_EQ(-1, changeEltName(p.file(), "T", ""));
    EXPECT_STREQ("T", p.elt("T")->name);
    expectConsistent(p.file());
}

TEST(KFileElements, LinksRefuseSelfMembershipAndCycles)
{
    ProjectBuilder p;
    p.track("T").group("Top").group("Mid").group("Low");
    p.link("Top", {"Mid"}).link("Mid", {"Low"}).link("Low", {"T"});
    struct Case {
        const char *group, *member;
        int expected;
    } cases[] = {
        {"nope", "T", -1},  {"T", "Top", -1},   {"Top", "nope", -2},
        {"Top", "Top", -3}, {"Low", "Top", -3}, {"Mid", "Top", -3},
        {"Low", "Mid", -3}, {"Low", "T", 1}, // already a member: no second link
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.expected, addSubElt(p.file(), c.group, c.member))
            << c.group << " <- " << c.member;
    EXPECT_EQ(1, giveConst(p.file(), "Low")->memberCount);
    EXPECT_EQ(1u, p.elt("T")->parents.length);
    // A diamond is not a cycle.
    EXPECT_EQ(1, addSubElt(p.file(), "Top", "T"));
    expectConsistent(p.file());
}

TEST(KFileElements, KindDataAtCreationAndLinking)
{
    ProjectBuilder p;
    p.track("A").track("B");
    ASSERT_EQ(1, createElt(p.file(), KCONST_ALL, "All", createDataGrp(7, 7))); // block replaced
    ASSERT_EQ(1, createElt(p.file(), KCONST_ONE, "One", nullptr));
    ASSERT_EQ(1, createElt(p.file(), KCONST_EQUIV, "Eq", nullptr));
    p.link("All", {"A", "B"});
    EXPECT_EQ(2, bounds(p.file(), "All")[0]);
    EXPECT_EQ(2, bounds(p.file(), "All")[1]);
    EXPECT_EQ(0, bounds(p.file(), "One")[0]);
    EXPECT_EQ(1, bounds(p.file(), "One")[1]);
    EXPECT_EQ(nullptr, giveConst(p.file(), "Eq")->kindData);
    // Deleting a member of an "all together" rule keeps it satisfiable.
    EXPECT_EQ(1, deleteElt(p.file(), "A"));
    EXPECT_EQ(1, bounds(p.file(), "All")[0]);
    EXPECT_EQ(1, bounds(p.file(), "All")[1]);
}

TEST(KFileElements, DeleteLowersGroupBoundsWhileUnlinkKeepsThem)
{
    for (bool viaDelete : {true, false}) {
        ProjectBuilder p;
        p.track("A").track("B").track("C").group("G", {"A", "B", "C"}, 2, 3);
        if (viaDelete) {
            EXPECT_EQ(1, deleteElt(p.file(), "C"));
        } else {
            EXPECT_EQ(1, delSubElt(p.file(), "G", "C"));
        }
        EXPECT_EQ(2, giveConst(p.file(), "G")->memberCount);
        EXPECT_EQ(2, bounds(p.file(), "G")[0]);
        EXPECT_EQ(viaDelete ? 2 : 3, bounds(p.file(), "G")[1]);
        EXPECT_EQ(1, updateDataIfGroup(p.file(), "G"));
        EXPECT_EQ(2, bounds(p.file(), "G")[1]);
        expectConsistent(p.file());
    }
    ProjectBuilder p;
    p.track("A").group("Empty", {}, 0, 0).group("G", {"A"}, 0, 0);
    EXPECT_EQ(1, updateDataIfGroup(p.file(), "G"));
    EXPECT_EQ(1, bounds(p.file(), "G")[1]);
    EXPECT_EQ(1, updateDataIfGroup(p.file(), "Empty"));
    EXPECT_EQ(0, bounds(p.file(), "Empty")[1]);
    EXPECT_EQ(0, updateDataIfGroup(p.file(), "A"));
    EXPECT_EQ(-2, updateDataIfGroup(p.file(), "nope"));
    EXPECT_EQ(-2, delSubElt(p.file(), "G", "nope"));
    EXPECT_EQ(-2, delSubElt(p.file(), "A", "G"));
}

TEST(KFileElements, LastConstRuleTakesTheDeletedRuleName)
{
    ProjectBuilder p;
    p.track("T");
    p.rule(KCONST_GROUP, "Const_0", {"T"}).rule(KCONST_GROUP, "Const_1", {"T"});
    p.rule(KCONST_IMPLY, "Const_2", {"T"}, "T");
    KElement *last = p.elt("Const_2");
    EXPECT_EQ(1, deleteElt(p.file(), "Const_0"));
    EXPECT_EQ(last, p.elt("Const_0"));
    EXPECT_STREQ("Const_0", last->name);
    EXPECT_EQ(nullptr, p.elt("Const_2"));
    EXPECT_STREQ("T", getImplying(p.file(), "Const_0"));
    // Deleting the last one renames nothing.
    EXPECT_EQ(1, deleteElt(p.file(), "Const_1"));
    EXPECT_STREQ("Const_0", last->name);
    expectConsistent(p.file());
}

TEST(KFileElements, DeletingTheImplyingElementTurnsTheRuleIntoAGroup)
{
    ProjectBuilder p;
    p.track("X").track("Y").track("Z");
    p.rule(KCONST_IMPLY, "InMembers", {"X", "Y", "Z"}, "X");
    p.rule(KCONST_IMPLY, "NotMember", {"Y"}, "X");
    EXPECT_EQ(1, deleteElt(p.file(), "X"));
    for (const char *rule : {"InMembers", "NotMember"}) {
        KGroupData *g = giveConst(p.file(), rule);
        EXPECT_EQ(KCONST_GROUP, g->kind) << rule;
        EXPECT_EQ(0, bounds(p.file(), rule)[0]);
        EXPECT_EQ(g->memberCount, bounds(p.file(), rule)[1]) << rule;
    }
    EXPECT_EQ(2, giveConst(p.file(), "InMembers")->memberCount);
    expectConsistent(p.file());
    EXPECT_EQ(1, isValid(p.file()));
}

TEST(KFileElements, RenameKeepsEveryReferenceValid)
{
    ProjectBuilder p;
    p.track("X").track("Y").group("G", {"X"});
    p.rule(KCONST_IMPLY, "R1", {"Y"}, "X").rule(KCONST_IMPLY, "R2", {"Y"}, "X");
    KMix *stored = storeMix(p.file(), "Mix");
    putInMix(stored, giveTrack(p.file(), "X"), 0.5);
    putInMix(p.file()->mixes->current, giveTrack(p.file(), "X"), 0.25);

    // The old name is a pointer into the model and the new one a temporary of the caller's.
    char *newName = engineString("X2");
    EXPECT_EQ(1, changeEltName(p.file(), p.elt("X")->name, newName));
    releaseEngineString(newName);
    KElement *x = p.elt("X2");
    ASSERT_NE(nullptr, x);
    EXPECT_EQ(nullptr, p.elt("X"));
    EXPECT_EQ(x->name, getImplying(p.file(), "R1"));
    EXPECT_EQ(x->name, getImplying(p.file(), "R2"));
    EXPECT_EQ(0.5, gainIn(stored, "X2"));
    EXPECT_EQ(nullptr, g_hash_table_lookup(stored->levels, "X"));
    EXPECT_NE(nullptr, g_hash_table_lookup(p.file()->mixes->current->levels, "X2"));
    EXPECT_EQ(1, k_isFather(p.file(), "G", "X2"));
    // Renaming to its own name, given as the model's own pointer, changes nothing.
    EXPECT_EQ(1, changeEltName(p.file(), "X2", x->name));
    EXPECT_STREQ("X2", x->name);
    expectConsistent(p.file());
    EXPECT_EQ(1, isValid(p.file()));
}

TEST(KFileElements, DeleteLeavesNoReferenceInGroupsMixesOrCounts)
{
    ProjectBuilder p;
    p.track("A").track("B").group("G", {"A", "B"});
    KElement *a = p.elt("A");
    KMix *stored = storeMix(p.file(), "Mix");
    putInMix(stored, giveTrack(p.file(), "A"), 1.0);
    putInMix(stored, giveTrack(p.file(), "B"), 1.0);
    putInMix(p.file()->mixes->current, giveTrack(p.file(), "A"), 1.0);
    double *groupGain = static_cast<double *>(tvr_malloc(sizeof(double)));
    g_hash_table_replace(stored->levels, _tvr_strcpy("G"), groupGain);
    statusChanges(a);
    a->solo = 1;
    p.file()->soloCount = 1;
    ASSERT_EQ(1, giveConst(p.file(), "G")->playCount);

    EXPECT_EQ(1, removeTrack(p.file(), "A"));
    EXPECT_EQ(1, stored->trackCount);
    EXPECT_EQ(nullptr, g_hash_table_lookup(stored->levels, "A"));
    EXPECT_EQ(0, p.file()->mixes->current->trackCount);
    EXPECT_EQ(0, p.file()->soloCount);
    EXPECT_EQ(0, giveConst(p.file(), "G")->playCount);
    EXPECT_EQ(1, deleteElt(p.file(), "G"));
    EXPECT_EQ(nullptr, g_hash_table_lookup(stored->levels, "G"));
    EXPECT_EQ(0u, p.elt("B")->parents.length);
    EXPECT_EQ(-2, removeTrack(p.file(), "G"));
    expectConsistent(p.file());
}

TEST(KFileElements, LosingASoloedMemberUnsolosTheGroup)
{
    for (bool viaDelete : {true, false}) {
        ProjectBuilder p;
        p.track("A").track("B").group("G", {"A", "B"});
        k_setSolo(p.file(), "A", 1);
        ASSERT_EQ(1, k_isSolo(p.file(), "G"));
        if (viaDelete) {
            EXPECT_EQ(1, deleteElt(p.file(), "A"));
        } else {
            EXPECT_EQ(1, delSubElt(p.file(), "G", "A"));
        }
        EXPECT_EQ(0, k_isSolo(p.file(), "G"));
        EXPECT_EQ(viaDelete ? 0 : 1, p.file()->soloCount);
    }
}

TEST(KFileStatus, ToggleSwitchesParentsOnAndOffInOrderOfChange)
{
    ProjectBuilder p;
    p.track("T").track("U").group("G", {"T", "U"}).group("Top", {"G"});
    EXPECT_EQ((std::vector<std::string>{"T", "G", "Top"}), statusChanges(p.elt("T")));
    EXPECT_EQ(KSTATUS_ON, getEltStatus(p.file(), "G"));
    EXPECT_EQ((std::vector<std::string>{"U"}), statusChanges(p.elt("U")));
    EXPECT_EQ((std::vector<std::string>{"T"}), statusChanges(p.elt("T")));
    EXPECT_EQ((std::vector<std::string>{"U", "G", "Top"}), statusChanges(p.elt("U")));
    EXPECT_EQ(KSTATUS_OFF, getEltStatus(p.file(), "Top"));
    EXPECT_EQ(0, isPlaying(p.file(), "G"));
    expectConsistent(p.file());

    // A parent already on is not switched off when its first member starts.
    EXPECT_EQ((std::vector<std::string>{"G", "Top"}), statusChanges(p.elt("G")));
    EXPECT_EQ((std::vector<std::string>{"T"}), statusChanges(p.elt("T")));
    EXPECT_EQ(KSTATUS_ON, getEltStatus(p.file(), "G"));
}

TEST(KFileStatus, ChangeStatusWarns)
{
    ProjectBuilder p;
    p.track("T");
    char *name = engineString("T");
    testing::internal::CaptureStderr();
    changeStatus(name, p.file());
    EXPECT_EQ(
        "!!! WARNING : the new function void changeStatus (gpointer, gpointer) is called !!!\n",
        testing::internal::GetCapturedStderr());
    releaseEngineString(name);
    EXPECT_EQ(KSTATUS_ON, getEltStatus(p.file(), "T"));
}

TEST(KFileStatus, InitializeFromTheCurrentMixAndLinkingCounts)
{
    ProjectBuilder p;
    p.track("A").track("B").track("C").group("G", {"A", "B"}).group("Top", {"G"});
    putInMix(p.file()->mixes->current, giveTrack(p.file(), "A"), 1.0);
    putInMix(p.file()->mixes->current, giveTrack(p.file(), "B"), 1.0);
    statusChanges(p.elt("C"));
    EXPECT_EQ(1, initializeStatus(p.file()));
    EXPECT_EQ(KSTATUS_ON, getEltStatus(p.file(), "A"));
    EXPECT_EQ(KSTATUS_STOPPED, getEltStatus(p.file(), "C"));
    EXPECT_EQ(KSTATUS_BY_MEMBER, getEltStatus(p.file(), "G"));
    EXPECT_EQ(KSTATUS_BY_MEMBER, getEltStatus(p.file(), "Top"));
    EXPECT_EQ(2, subPlayEltNbr(p.file(), "G"));
    expectConsistent(p.file());

    // Linking a playing member into a silent group makes the group and its parents count it.
    p.group("H").link("Top", {"H"}).link("H", {"A"});
    EXPECT_EQ(KSTATUS_BY_MEMBER, getEltStatus(p.file(), "H"));
    EXPECT_EQ(2, subPlayEltNbr(p.file(), "Top"));
    expectConsistent(p.file());

    EXPECT_EQ(1, setAllStatusStop(p.file()));
    EXPECT_EQ(0, playEltNbr(p.file()));
    p.file()->mixes->current->tracks = g_slist_append(p.file()->mixes->current->tracks, nullptr);
    EXPECT_EQ(-1, initializeStatus(p.file()));
}

TEST(KFileClone, CloneIsCompleteAndIndependent)
{
    KFile *original = newZark("Song", 2.0);
    ASSERT_EQ(1, addTrack(original, createTrack(10, nullptr, 500), "A"));
    ASSERT_EQ(1, addTrack(original, createTrack(0, nullptr, 700), "B"));
    ASSERT_EQ(1, createElt(original, KCONST_GROUP, "G", createDataGrp(1, 2)));
    ASSERT_EQ(1, createElt(original, KCONST_IMPLY, "I", const_cast<char *>("A")));
    ASSERT_EQ(1, createElt(original, KCONST_ALL, "All", nullptr));
    ASSERT_EQ(1, createElt(original, KCONST_ONE, "One", nullptr));
    ASSERT_EQ(1, createElt(original, KCONST_EQUIV, "Eq", nullptr));
    for (const char *rule : {"G", "I", "All", "One", "Eq"}) {
        ASSERT_EQ(1, addSubElt(original, rule, "A"));
        ASSERT_EQ(1, addSubElt(original, rule, "B"));
    }
    hideElt(original, "I");
    setEltComment(original, "A", "first");
    addSong(original, "TITLE", "t");
    TovraGenerateFileId(original);
    _KEqualization *curve = KEqual_new();
    KEqual_setAmplitude(curve, 100.0, 2.0);
    KTrack_setEqual(giveTrack(original, "A"), curve);
    char *path = engineString(KTRACK_IGNORE_AUDIO);
    ASSERT_EQ(1, addSamplePath(original, "B", path));
    KMix *stored = storeMix(original, "Mix");
    putInMix(stored, giveTrack(original, "A"), 0.5);
    putInMix(original->mixes->current, giveTrack(original, "B"), 1.0);
    original->mixes->onPlay = _tvr_strcpy("Mix");
    statusChanges(giveElt(original, "A"));

    KFile *clone = KFile_clone(original);
    ASSERT_NE(nullptr, clone);
    std::string id = original->fileId;
    _freeZark(original); // nothing in the clone may point into the original

    expectConsistent(clone);
    EXPECT_EQ(id, clone->fileId);
    EXPECT_EQ(7, getEltNbr(clone));
    EXPECT_STREQ("A", giveEltName(clone, 0));
    EXPECT_STREQ("first", getEltComment(clone, "A"));
    EXPECT_STREQ("t", giveSongField(clone, "TITLE"));
    EXPECT_STREQ(KTRACK_IGNORE_AUDIO, getTrackFilePath(clone, "B"));
    EXPECT_EQ(10, giveTrack(clone, "A")->date);
    EXPECT_EQ(1, KEqual_getNbFreq(KTrack_getEqual(giveTrack(clone, "A"))));
    EXPECT_EQ(giveElt(clone, "A")->name, getImplying(clone, "I"));
    EXPECT_EQ(0, isVisible(clone, "I"));
    EXPECT_EQ(2, bounds(clone, "All")[0]);
    EXPECT_EQ(KSTATUS_ON, getEltStatus(clone, "A"));
    KMix *clonedMix = static_cast<KMix *>(g_hash_table_lookup(clone->mixes->mixes, "Mix"));
    ASSERT_NE(nullptr, clonedMix);
    EXPECT_EQ(clonedMix, clone->mixes->defaultMix);
    EXPECT_EQ(giveTrack(clone, "A"), clonedMix->tracks->data);
    EXPECT_EQ(giveTrack(clone, "B"), clone->mixes->current->tracks->data);
    EXPECT_STREQ("Mix", clone->mixes->onPlay);
    // Renaming in the clone follows everywhere there too.
    EXPECT_EQ(1, changeEltName(clone, "A", "A2"));
    EXPECT_STREQ("A2", getImplying(clone, "I"));
    EXPECT_EQ(1, isValid(clone));
    _freeZark(clone);
}

TEST(KFileClone, LargeProjectsCloneWithEveryId)
{
    ProjectBuilder p;
    for (int i = 0; i < 100; ++i)
        p.track(("T" + std::to_string(i)).c_str());
    deleteElt(p.file(), "T3"); // ids no longer follow creation order
    KFile *clone = KFile_clone(p.file());
    ASSERT_NE(nullptr, clone);
    expectConsistent(clone);
    EXPECT_EQ(99, getEltNbr(clone));
    EXPECT_STREQ("T99", giveEltName(clone, 3));
    _freeZark(clone);
}

TEST(KFileClone, LawDataIsCopiedAndForeignMixEntriesDropped)
{
    ProjectBuilder p, other;
    p.track("A");
    other.track("Stranger");
    KElement *a = p.elt("A");
    a->mixLawType = KMIXLAW_UPCOEF;
    a->mixLawData = tvr_malloc(sizeof(double));
    *static_cast<double *>(a->mixLawData) = 0.75;
    KMix *mix = storeMix(p.file(), "Mix");
    putInMix(mix, giveTrack(p.file(), "A"), 1.0);
    putInMix(mix, giveTrack(other.file(), "Stranger"), 1.0); // a track the clone cannot have

    KFile *clone = KFile_clone(p.file());
    ASSERT_NE(nullptr, clone);
    KElement *copy = giveElt(clone, "A");
    ASSERT_NE(nullptr, copy->mixLawData);
    EXPECT_NE(a->mixLawData, copy->mixLawData);
    EXPECT_EQ(0.75, *static_cast<double *>(copy->mixLawData));
    KMix *cloned = static_cast<KMix *>(g_hash_table_lookup(clone->mixes->mixes, "Mix"));
    EXPECT_EQ(1, cloned->trackCount);
    EXPECT_EQ(giveTrack(clone, "A"), cloned->tracks->data);
    _freeZark(clone);
}

TEST(KFileClone, IncompleteCloneIsReportedAndFreed)
{
    ProjectBuilder p;
    p.track("A");
    ASSERT_EQ(1, createElt(p.file(), KELT_WORK, "tmp_pending", nullptr));
    testing::internal::CaptureStderr();
    EXPECT_EQ(nullptr, KFile_clone(p.file()));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(nullptr, KFile_clone(nullptr));
    KFile *target = newZark("T", 2.0);
    EXPECT_EQ(-30, KFile_copy(p.file(), target));
    EXPECT_EQ(0, KFile_copy(nullptr, target));
    _freeZark(target);
}

TEST(KFileValidation, RepairsCountsBoundsDatesAndReports)
{
    ProjectBuilder p;
    p.track("A").track("B").track("C").group("G", {"A", "B", "C"}, 5, 1);
    giveTrack(p.file(), "A")->date = -5;
    p.elt("A")->status = KSTATUS_ON; // written without the toggle: counts are stale
    EXPECT_EQ(1, isValid(p.file()));
    EXPECT_EQ(0, giveTrack(p.file(), "A")->date);
    EXPECT_EQ(3, bounds(p.file(), "G")[0]);
    EXPECT_EQ(3, bounds(p.file(), "G")[1]);
    EXPECT_EQ(1, subPlayEltNbr(p.file(), "G"));
    EXPECT_EQ(KSTATUS_ON, getEltStatus(p.file(), "G"));

    p.group("Empty");
    testing::internal::CaptureStderr();
    EXPECT_EQ(-9, isValid(p.file()));
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find(
                                     " !!! Error eltIsValid : constraint not valid (-3) !!!"));
}

TEST(KFileTracks, PathOwnershipAndLengths)
{
    ProjectBuilder p;
    p.track("T");
    char *path = engineString(KTRACK_IGNORE_AUDIO);
    EXPECT_EQ(1, addSamplePath(p.file(), "T", path)); // taken over
    EXPECT_EQ(path, giveTrack(p.file(), "T")->path);
    char *other = engineString("/no/such/file.wav");
    testing::internal::CaptureStderr();
    EXPECT_EQ(-1, addSamplePath(p.file(), "T", other)); // stays the caller's
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(-1, addSamplePath(p.file(), "nope", other));
    EXPECT_EQ(-1, addSamplePath(p.file(), "T", const_cast<char *>("x.mp3")));
    EXPECT_EQ(TVR_ERR_PARAM, addSamplePath(p.file(), "T", nullptr));
    EXPECT_EQ(1, setPathWOC(p.file(), "T", other)); // taken over; the previous path is freed
    EXPECT_EQ(-2, setPathWOC(p.file(), "nope", other));

    KStreamFormat *half = KStreamFormat_new();
    half->rate = 22050.0;
    EXPECT_EQ(1, addTrackFormat(p.file(), "T", half));
    half->rate = 0.0;
    EXPECT_EQ(0, addTrackFormat(p.file(), "T", half));
    KStreamFormat_delete(&half);
    EXPECT_EQ(1, setSizeSample(p.file(), 44100, "T"));
    EXPECT_DOUBLE_EQ(2.0, lengthInSec(p.file()));
    EXPECT_EQ(88200u, p.file()->lengthFrames);
    EXPECT_EQ(TVR_ERR_NOT_FOUND, setSizeSample(p.file(), 1, "nope"));

    p.track("Late", 44100, 44100);
    EXPECT_DOUBLE_EQ(2.0, computeLengthFile(p.file()));
    EXPECT_EQ(1, resetBitStream(p.file()));
}

TEST(KFileTracks, FilteredTrackFromAWaveFile)
{
    auto dir = std::filesystem::temp_directory_path() / ("kfile_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::string wav = (dir / "tone.wav").string();
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE *out = sf_open(wav.c_str(), SFM_WRITE, &info);
    ASSERT_NE(nullptr, out);
    std::vector<short> frames(22050 * 2, 1000);
    sf_writef_short(out, frames.data(), 22050);
    sf_close(out);

    ProjectBuilder p;
    KStreamFormat *filter = KStreamFormat_new();
    filter->rate = 48000.0;
    char *path = engineString(wav.c_str());
    EXPECT_EQ(TVR_ERR_FORMAT,
              addFilteredTrackWithFilePath(p.file(), "W", 0, nullptr, -1, path, filter));
    EXPECT_EQ(0, getEltNbr(p.file()));
    filter->rate = 44100.0;
    filter->channels = 2;
    EXPECT_GT(addFilteredTrackWithFilePath(p.file(), "W", 0, nullptr, -1, path, filter), 0);
    KTrack *track = giveTrack(p.file(), "W");
    EXPECT_EQ(22050u, tvr_getTrackSize(p.file(), "W"));
    EXPECT_EQ(2, k_getTrackChannels(p.file(), track));
    EXPECT_EQ(16, k_getTrackBits(p.file(), track));
    EXPECT_EQ(0x10002, k_getTrackAudioFmt(p.file(), track));
    EXPECT_DOUBLE_EQ(0.5, lengthInSec(p.file()));
    EXPECT_EQ(1378, k_getTrackBitrate(p.file(), "W"));

    // A duplicate name is refused and the path stays the caller's.
    char *again = engineString(wav.c_str());
    EXPECT_EQ(TVR_ERR_ELT_TABLE,
              addFilteredTrackWithFilePath(p.file(), "W", 0, nullptr, -1, again, nullptr));
    releaseEngineString(again);

    EXPECT_EQ(1, checkAudioPath("missing.wav", nullptr));
    EXPECT_EQ(0, checkAudioPath("missing.xyz", nullptr));
    testing::internal::CaptureStderr();
    EXPECT_EQ(0, checkAudioPath((dir / "missing.wav").c_str(), filter));
    testing::internal::GetCapturedStderr();
    KStreamFormat_delete(&filter);
    std::filesystem::remove_all(dir);
}

TEST(KFileTracks, OggVorbisFileIsDescribedAsVorbis)
{
    auto dir = std::filesystem::temp_directory_path() / ("kfile_ogg_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::string ogg = (dir / "tone.ogg").string();
    SF_INFO info{};
    info.samplerate = 22050;
    info.channels = 1;
    info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    SNDFILE *out = sf_open(ogg.c_str(), SFM_WRITE, &info);
    ASSERT_NE(nullptr, out) << sf_strerror(nullptr);
    std::vector<float> frames(22050);
    for (size_t i = 0; i < frames.size(); ++i)
        frames[i] = 0.5f * std::sin(static_cast<float>(i) * 0.1f);
    sf_writef_float(out, frames.data(), static_cast<sf_count_t>(frames.size()));
    sf_close(out);

    ProjectBuilder p;
    p.track("O");
    char *path = engineString(ogg.c_str());
    ASSERT_EQ(1, addSamplePath(p.file(), "O", path));
    KTrack *track = giveTrack(p.file(), "O");
    EXPECT_EQ(KAUDIOFMT_VORBIS, k_getTrackAudioFmt(p.file(), track));
    EXPECT_EQ(16, k_getTrackBits(p.file(), track));
    EXPECT_EQ(1, k_getTrackChannels(p.file(), track));
    EXPECT_EQ(22050.0, k_getTrackRate(p.file(), track));
    EXPECT_EQ(22050u, tvr_getTrackSize(p.file(), "O"));
    EXPECT_DOUBLE_EQ(1.0, lengthInSec(p.file()));
    std::filesystem::remove_all(dir);
}

TEST(KFileElements, FieldsCommentsVisibilityAndReset)
{
    ProjectBuilder p;
    p.track("A").track("B").group("G", {"A"}).group("Top", {"G", "B"});
    char *comment = engineString("note");
    EXPECT_EQ(1, setEltComment(p.file(), "A", comment));
    releaseEngineString(comment);
    EXPECT_EQ(1, setEltComment(p.file(), "A", "other"));
    EXPECT_STREQ("other", getEltComment(p.file(), "A"));
    EXPECT_EQ(TVR_ERR_NOT_FOUND, setEltComment(p.file(), "nope", "x"));

    KElement *a = p.elt("A");
    EXPECT_EQ(1, KElement_setPan(a, 3.0));
    EXPECT_EQ(1.0, KElement_getPan(a));
    KElement_setPan(a, NAN);
    EXPECT_EQ(0.0, KElement_getPan(a));
    EXPECT_EQ(0, KElement_setPan(nullptr, 0.5));
    EXPECT_EQ(-1, KElement_getColor(nullptr));
    KElement_setColor(a, 0x123456);
    EXPECT_EQ(0x123456, KElement_getColor(a));

    _hideEltRec(p.elt("Top"));
    for (const char *name : {"Top", "G", "A", "B"})
        EXPECT_EQ(0, isVisible(p.file(), name)) << name;
    EXPECT_EQ(0, isVisible(p.file(), "nope"));
    showElt(p.file(), "Top");
    EXPECT_EQ(1, isVisible(p.file(), "Top"));

    // Hidden rules lose the tracks that no visible group holds.
    p.rule(KCONST_GROUP, "Rule", {"A", "B"});
    hideElt(p.file(), "Top");
    showElt(p.file(), "G");
    EXPECT_EQ(1, removeTrackFromUnvisibleElts(p.file()));
    EXPECT_EQ(1, k_isFather(p.file(), "Rule", "A")); // A is in the visible group G
    EXPECT_EQ(0, k_isFather(p.file(), "Rule", "B"));

    putInMix(p.file()->mixes->current, giveTrack(p.file(), "A"), 1.0);
    EXPECT_EQ(1, resetEltsInFile(p.file()));
    EXPECT_EQ(0, getEltNbr(p.file()));
    EXPECT_EQ(0, p.file()->mixes->current->trackCount);
    p.track("A");
    EXPECT_EQ(0, p.elt("A")->id);
}

// Random edits in a fixed sequence: after every step the invariants hold, and a clone taken at
// the end answers every query as the original does.
TEST(KFileElements, RandomEditsKeepTheInvariants)
{
    ProjectBuilder p;
    KFile *f = p.file();
    std::mt19937 random(1234);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto anyName = [&]() -> std::string {
        int n = getEltNbr(f);
        return n ? giveEltName(f, pick(n)) : "none";
    };
    int made = 0;
    for (int step = 0; step < 3000; ++step) {
        std::string a = anyName(), b = anyName();
        switch (pick(9)) {
        case 0:
        case 1:
            addTrack(f, createTrack(0, nullptr, 100), ("t" + std::to_string(made++)).c_str());
            break;
        case 2:
            createElt(f, KCONST_GROUP, ("g" + std::to_string(made++)).c_str(), createDataGrp(0, 3));
            break;
        case 3:
            createElt(f, KCONST_IMPLY, ("i" + std::to_string(made++)).c_str(), &a[0]);
            break;
        case 4:
            addSubElt(f, a.c_str(), b.c_str());
            break;
        case 5:
            delSubElt(f, a.c_str(), b.c_str());
            break;
        case 6:
            if (pick(3) == 0)
                deleteElt(f, a.c_str());
            break;
        case 7:
            changeEltName(f, a.c_str(), ("r" + std::to_string(made++)).c_str());
            break;
        case 8:
            if (KElement *e = giveElt(f, a.c_str()))
                g_slist_free(moveStatusWithReturn(nullptr, e));
            break;
        }
        if (step % 100 == 0)
            expectConsistent(f);
    }
    expectConsistent(f);
    KFile *clone = KFile_clone(f);
    ASSERT_NE(nullptr, clone);
    expectConsistent(clone);
    auto all = [](KFile *file) {
        int n = 0;
        const char **array = allEltsNames(file, &n);
        return takeNames(array, n);
    };
    auto fathers = [](KFile *file, const char *name) {
        int n = 0;
        const char **array = k_getAllFathers(file, name, &n);
        return takeNames(array, n);
    };
    std::vector<std::string> names = all(f);
    EXPECT_GT(names.size(), 300u);
    EXPECT_GT(notOrphanTracksNbr(f), 50);
    EXPECT_EQ(names, all(clone));
    for (const std::string &name : names) {
        const char *c = name.c_str();
        EXPECT_EQ(getEltStatus(f, c), getEltStatus(clone, c)) << c;
        EXPECT_EQ(subEltNbr(f, c), subEltNbr(clone, c)) << c;
        EXPECT_EQ(getLevelFamily(f, c), getLevelFamily(clone, c)) << c;
        EXPECT_EQ(giveElt(f, c)->id, giveElt(clone, c)->id) << c;
        EXPECT_EQ(fathers(f, c), fathers(clone, c)) << c;
    }
    _freeZark(clone);
}
