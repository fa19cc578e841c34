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

// --- Mix records --------------------------------------------------------------------------------
KMix *KMix_new(void);
KMix *KMix_init(KMix *mix);
KMix *KMix_create(const char *name);
KMix *KMix_clone(const KMix *mix);
// Clone whose tracks are the project's tracks of the same names; names the project lacks are
// dropped (the count follows).
KMix *KMix_cloneWithLinks(struct _KFile *file, const KMix *mix);
void KMix_delete(KMix **mix);
int KMix_setName(KMix *mix, const char *name);
int KMix_clear(KMix *mix);
int KMix_addTrack(KMix *mix, struct KTrack *track);
int KMix_removeTrack(KMix *mix, struct KTrack *track);
int KMix_isInMix(const KMix *mix, const char *name);
int KMix_trackIndex(const KMix *mix, const char *name);
int KMix_removeTrackName(KMix *mix, const char *name);
int KMix_removeElt(KMix *mix, struct KElement *elt);
int KMix_addLevelToElt(KMix *mix, const char *name, double gain);
int KMix_addLevelsToElts(KMix *mix, const char **names, const double *gains, int n);
int KMix_renameElt(KMix *mix, const char *oldName, const char *newName);
double KMix_getLevel(const KMix *mix, const char *name);
int KMix_fixCurrentLevels(KMix *mix);
int KMix_setMastering(KMix *mix, const struct _KEqualization *curve);
struct _KEqualization *KMix_getMastering(const KMix *mix);

// --- Manager -----------------------------------------------------------------------------------
MixManager *MixManager_new(void);
MixManager *MixManager_init(MixManager *manager);
MixManager *MixManager_create(void);
void MixManager_delete(MixManager **manager);
void _MixManager_delete(MixManager *manager);
MixManager *MixManager_clone(const MixManager *manager);
// Replaces file's manager by a copy of `manager` linked to file's own tracks; 0 absent manager
// (or a copy that could not be made, the project's manager then unchanged), else 1.
int MixManager_cloneWithLinks(struct _KFile *file, const MixManager *manager);
int MixManager_getMixNbr(const MixManager *manager);
KMix *MixManager_getMix(const MixManager *manager, const char *name);
int MixManager_forEachMix(MixManager *manager, void (*function)(const char *, KMix *, void *),
                          void *data);
KMix *MixManager_getCurrentMix(MixManager *manager);
KMix *MixManager_getDefaultMix(const MixManager *manager);
const char *MixManager_MixOnPlay(const MixManager *manager);
void MixManager_outOfMix(MixManager *manager);
int MixManager_clearCurrentMix(MixManager *manager);
int MixManager_addTrackInCurMix(MixManager *manager, struct KTrack *track);
int MixManager_removeTrackFromCurMix(MixManager *manager, struct KTrack *track);
int MixManager_renameElt(MixManager *manager, const char *oldName, const char *newName);
int MixManager_addMix(MixManager *manager, KMix *mix);
int MixManager_removeMix(MixManager *manager, const char *name);
int MixManager_removeMixLink(MixManager *manager, const char *name);
int MixManager_setMixAsDef(MixManager *manager, const char *name);
int MixManager_renameMix(MixManager *manager, const char *oldName, const char *newName);
void MixManager_setMixOnPlay(MixManager *manager, const char *name);
int MixManager_setMixAsCur(MixManager *manager, KMix *mix, int switchStatus);

// --- Project-level mix operations ---------------------------------------------------------------
KMix *findThisSlct(struct _KFile *file, const char *name);
KMix *findASlct(struct _KFile *file, const char *name);
KMix *giveSlct(struct _KFile *file);
KMix *getCurrentSlct(struct _KFile *file);
int getNbSlct(struct _KFile *file);
int setSlctAsDef(struct _KFile *file, const char *name);
int addSlct(struct _KFile *file, KMix *mix, int flag);
int deleteSlct(struct _KFile *file, const char *name);
KMix *newSlct(GSList *tracks, const char *name);
int initLevel(struct _KFile *file, const char *name);
int isInSlct(struct _KFile *file, const char *trackName, const char *mixName);
int isSelected(struct _KFile *file, const char *trackName);
int selectedTracksNbr(struct _KFile *file);
const char **selectedTracksName(struct _KFile *file);
const char **giveSlctName(struct _KFile *file, int *count);
int addTrackInCurrentMix(struct _KFile *file, const char *trackName);
int removeTrackFromCurrentMix(struct _KFile *file, const char *trackName);
int addMixInCurrentMix(struct _KFile *file, GSList *tracks);
int clearCurrentMix(struct _KFile *file);
int renameEltInAllMix(struct _KFile *file, const char *oldName, const char *newName);
int removeTrackFromAllSlct(struct _KFile *file, const char *trackName);
int removeEltFromAllMix(struct _KFile *file, const char *name);
int k_saveCurrentSlctToMix(struct _KFile *file, const char *mixName);
int k_setCurrentLevelsInMix(struct _KFile *file, KMix *mix);
int saveCurrentSlct(struct _KFile *file, const char *name);
int setMixAsCurrentMix(struct _KFile *file, KMix *mix, int switchStatus);
int k_applyLevelsFromMix(struct _KFile *file, KMix *mix);
int setDefSlct(struct _KFile *file);
int chooseSlct(struct _KFile *file, const char *name);
int updateMix(struct _KFile *file);
int updateSomeMix(struct _KFile *file, GSList *mixNames);
int createDefaultMix(struct _KFile *file);
int createDefaultSlct(struct _KFile *file, const char *name);
int createDefaultSlctWithAllTracks(struct _KFile *file, const char *name);
struct _KEqualization *k_getMixMastering(struct _KFile *file, const char *mixName);
int k_setMixMastering(struct _KFile *file, const char *mixName, const struct _KEqualization *curve);
void tvr_debug_slct(struct _KFile *file);
char *TovraNextConfigName(struct _KFile *file);

#endif
