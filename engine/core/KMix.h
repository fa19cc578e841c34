// Stored mixes ("selections"): a named choice of tracks with a gain per element, a master gain
// and pan and an optional mastering curve, and the project's MixManager that stores them, marks
// the default, names the mix on play and keeps the working "Current Mix". No lock: called on the
// GUI thread while the playback threads read the current mix.
#ifndef KMIX_H
#define KMIX_H

#include <glib.h>

struct KTrack;
struct KElement;
struct _KFile;
struct _KEqualization;

typedef struct KMix {
    GSList *tracks;  // KTrack* in list order, not owned; no two with the same name
    int trackCount;  // always the length of tracks
    char *name;      // owned; unique among stored mixes
    // Element name -> gain (double*). Keys and values are owned by the table (tvr_malloc'd;
    // the table frees them), so a key never points into the project.
    GHashTable *levels;
    struct _KEqualization *mastering; // owned, may be null
    double masterGain; // 1.0
    double masterPan;  // 0.0, -1..1
} KMix;

typedef struct MixManager {
    GHashTable *mixes;  // mix name -> KMix*; the key is the mix's own name; the manager owns mixes
    KMix *current;      // owned, named "Current Mix"
    KMix *defaultMix;   // one of the stored mixes, or null
    char *onPlay;       // owned copy of the name of the stored mix on play, or null
    // The stored mixes (KMix*) in the order they were stored: lists and files use this order so
    // that the same project always gives the same output. Kept in step with `mixes`.
    GQueue order;
} MixManager;

#define KMIX_CURRENT_NAME "Current Mix"
#define KMIX_DEFAULT_SELECTION "Default Selection"

// addSlct flag: the stored mix also becomes the default.
enum { KSLCT_AS_DEFAULT = 21 };

// --- Mix records --------------------------------------------------------------------------------
// Thread: the GUI thread (or a worker that owns the project), no lock.
KMix *KMix_new(void);
KMix *KMix_init(KMix *mix);
KMix *KMix_create(const char *name); // the name is copied
KMix *KMix_clone(const KMix *mix);   // shares the track records
// Clone whose tracks are the project's tracks of the same names; names the project lacks are
// dropped (the count follows).
KMix *KMix_cloneWithLinks(struct _KFile *file, const KMix *mix);
void KMix_delete(KMix **mix);
// The name becomes a copy (it may point at the old name); 1, 0 absent mix or name, -102.
int KMix_setName(KMix *mix, const char *name);
// Empties the track list and the level table, deletes the mastering; 1, -101.
int KMix_clear(KMix *mix);
// Appends the track unless one of that name is listed (then 1, nothing changes); the level
// table gets the element's default gain under its name. 1, -101 absent argument, -102.
int KMix_addTrack(KMix *mix, struct KTrack *track);
// Takes the track out of the list (if listed) and its name out of the level table; 1, -101.
int KMix_removeTrack(KMix *mix, struct KTrack *track);
// KMix_addTrack for each track whose `plays` entry is nonzero and KMix_removeTrack for each other
// one, in the given order and with the same outcome, in one pass over the list (a long run of
// switches stays linear). Tracks without a name are passed over. 1, -101 absent mix.
int KMix_followTracks(KMix *mix, struct KTrack *const *tracks, const char *plays, int count);
int KMix_isInMix(const KMix *mix, const char *name); // 1 when a listed track has that name
int KMix_trackIndex(const KMix *mix, const char *name); // list position, -1, -101
int KMix_removeTrackName(KMix *mix, const char *name); // -101, -201 not listed, else 1
// A track: KMix_removeTrack. A group with a gain entry: the entry goes and every member is
// removed the same way (the first result at most 0 is returned); without an entry 1. -101.
int KMix_removeElt(KMix *mix, struct KElement *elt);
int KMix_addLevelToElt(KMix *mix, const char *name, double gain); // 1, -101, -102
int KMix_addLevelsToElts(KMix *mix, const char **names, const double *gains, int n);
int KMix_renameElt(KMix *mix, const char *oldName, const char *newName); // 1, -101, -102
// The element's gain in the mix; -1.0 when there is no entry (never a level: test before
// converting with doubleToCB).
double KMix_getLevel(const KMix *mix, const char *name);
// Rebuilds the level table from the own gains of the listed tracks and of their first visible
// group parents upward; 1, -101.
int KMix_fixCurrentLevels(KMix *mix);
// Copies the curve into the mix's own (made when absent); the caller keeps its curve.
// 1, -1 absent mix, -101 absent curve, -102 memory.
int KMix_setMastering(KMix *mix, const struct _KEqualization *curve);
struct _KEqualization *KMix_getMastering(const KMix *mix);

// --- Manager -----------------------------------------------------------------------------------
// Stored mixes are kept in the order they were first stored; every list, walk and file uses it.
MixManager *MixManager_new(void);
MixManager *MixManager_init(MixManager *manager);
MixManager *MixManager_create(void);
void MixManager_delete(MixManager **manager);
void _MixManager_delete(MixManager *manager);
MixManager *MixManager_clone(const MixManager *manager);
// Replaces file's manager by a copy of `manager` linked to file's own tracks; 0 absent manager
// (or a copy that could not be made, the project's manager then unchanged), else 1.
int MixManager_cloneWithLinks(struct _KFile *file, const MixManager *manager);
int MixManager_getMixNbr(const MixManager *manager); // -101 absent
KMix *MixManager_getMix(const MixManager *manager, const char *name);
// function(name, mix, data) for every stored mix in stored order; 1, -101.
int MixManager_forEachMix(MixManager *manager, void (*function)(const char *, KMix *, void *),
                          void *data);
// Rebuilds the current mix's gains (KMix_fixCurrentLevels) and returns it.
KMix *MixManager_getCurrentMix(MixManager *manager);
KMix *MixManager_getDefaultMix(const MixManager *manager);
const char *MixManager_MixOnPlay(const MixManager *manager); // points into the manager
// No mix on play; the current mix's master gain 1.0 and pan 0.
void MixManager_outOfMix(MixManager *manager);
int MixManager_clearCurrentMix(MixManager *manager); // then out of mix; 1, -101
int MixManager_addTrackInCurMix(MixManager *manager, struct KTrack *track);
int MixManager_removeTrackFromCurMix(MixManager *manager, struct KTrack *track);
int MixManager_renameElt(MixManager *manager, const char *oldName, const char *newName);
// Takes the named mix over and stores it (the first stored mix becomes the default). A stored mix
// of the same name is replaced in place and freed: the new mix takes its place in the order and
// its default role. Storing the mix that is already stored changes nothing. 1, -101 absent or
// unnamed mix.
int MixManager_addMix(MixManager *manager, KMix *mix);
// Both unlink the stored mix without freeing it: the caller frees or re-stores it. A removed
// default passes to the first other stored mix (none when it was the only one); a removed mix on
// play leaves no mix on play. 1, -201 not stored, -101.
int MixManager_removeMix(MixManager *manager, const char *name);
int MixManager_removeMixLink(MixManager *manager, const char *name);
int MixManager_setMixAsDef(MixManager *manager, const char *name); // 1, -1 unknown, -101
// Renames a stored mix in place (order, default role and the on-play name follow).
// 1, -202 old name absent or not stored, -101 new name absent or already stored, -102.
int MixManager_renameMix(MixManager *manager, const char *oldName, const char *newName);
// A stored mix becomes the mix on play and lends the current mix its master gain and pan;
// any other name: MixManager_outOfMix.
void MixManager_setMixOnPlay(MixManager *manager, const char *name);
// Makes the current mix hold the tracks of `mix`. With switchStatus set, removed tracks that play
// are switched off and added tracks that do not play are switched on. 1, -101.
int MixManager_setMixAsCur(MixManager *manager, KMix *mix, int switchStatus);

// --- Project-level mix operations ("selections") -----------------------------------------------
// Thread: the GUI thread, no lock. Mix and element names are the caller's (copied when kept).
KMix *findThisSlct(struct _KFile *file, const char *name);
KMix *findASlct(struct _KFile *file, const char *name); // else the (rebuilt) current mix
KMix *giveSlct(struct _KFile *file);
KMix *getCurrentSlct(struct _KFile *file);
int getNbSlct(struct _KFile *file);
int setSlctAsDef(struct _KFile *file, const char *name);
// MixManager_addMix; with flag 21 (KSLCT_AS_DEFAULT) the mix also becomes the default.
int addSlct(struct _KFile *file, KMix *mix, int flag);
int deleteSlct(struct _KFile *file, const char *name); // unlinks; the caller frees the mix
// A new mix of that name holding the tracks (KTrack*) of the list; the caller keeps its list.
KMix *newSlct(GSList *tracks, const char *name);
int initLevel(struct _KFile *file, const char *name);
int isInSlct(struct _KFile *file, const char *trackName, const char *mixName);
int isSelected(struct _KFile *file, const char *trackName);
int selectedTracksNbr(struct _KFile *file);
// Arrays of names pointing into the model; the caller frees the array alone.
const char **selectedTracksName(struct _KFile *file);
const char **giveSlctName(struct _KFile *file, int *count); // the default first
int addTrackInCurrentMix(struct _KFile *file, const char *trackName);
int removeTrackFromCurrentMix(struct _KFile *file, const char *trackName);
int addMixInCurrentMix(struct _KFile *file, GSList *tracks); // KTrack* list, the caller's
int clearCurrentMix(struct _KFile *file);
int renameEltInAllMix(struct _KFile *file, const char *oldName, const char *newName);
int removeTrackFromAllSlct(struct _KFile *file, const char *trackName);
int removeEltFromAllMix(struct _KFile *file, const char *name); // 1 (also for an unknown name)
int k_saveCurrentSlctToMix(struct _KFile *file, const char *mixName);
int k_setCurrentLevelsInMix(struct _KFile *file, KMix *mix);
// Stores the current mix with the project's gains under `name` (replacing a stored mix of that
// name, keeping its default role) and puts it on play. 1, -1 absent argument, -12 not stored.
int saveCurrentSlct(struct _KFile *file, const char *name);
int setMixAsCurrentMix(struct _KFile *file, KMix *mix, int switchStatus);
// Sets every playing element's level from its gain in the mix; an element without a gain entry
// takes its default level; gains below the silence level give silence. 1, -101.
int k_applyLevelsFromMix(struct _KFile *file, KMix *mix);
int setDefSlct(struct _KFile *file);
int chooseSlct(struct _KFile *file, const char *name);
// After reading a description: every stored mix's tracks are relinked by name to the project's
// own tracks (duplicates and names the project lacks are dropped), then the default mix is
// applied. 1; -202 when a listed name is not one of the project's tracks (the other mixes are
// still relinked, the default is not applied); -203 when the default cannot be applied.
int updateMix(struct _KFile *file);
// The same for the named mixes (a list of char*); -201 unknown mix, -202 incomplete, else 1.
int updateSomeMix(struct _KFile *file, GSList *mixNames);
int createDefaultMix(struct _KFile *file);
int createDefaultSlct(struct _KFile *file, const char *name);
int createDefaultSlctWithAllTracks(struct _KFile *file, const char *name);
struct _KEqualization *k_getMixMastering(struct _KFile *file, const char *mixName);
int k_setMixMastering(struct _KFile *file, const char *mixName, const struct _KEqualization *curve);
void tvr_debug_slct(struct _KFile *file);
// New "Selection_<n>" (tvr_malloc'd; the caller frees it): the first n above the project's
// selection counter that no stored mix bears.
char *TovraNextConfigName(struct _KFile *file);

#endif
