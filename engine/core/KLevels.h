// Levels of one element: its gains and level bounds in the engine's level unit (30 units per
// doubling of gain, 0 = unity), plus the mix-law constants. The element's mix-law type and data,
// mute, solo and pan live on KElement itself (KFile.h); the project's solo count and master gain
// and pan on the project. No lock: the GUI thread writes these while the playback threads read.
#ifndef KLEVELS_H
#define KLEVELS_H

typedef struct KLevels {
    double gain;        // effective gain: own gain x the gain of the first visible group parent
    double ownGain;     // 2^(level / 30)
    double defaultGain; // 2^(defaultLevel / 30): the gain a track brings into a mix
    double lawBound1;   // read by the level-law checker only
    double lawBound2;   // idem; 4.0 is the gain of level 60
    int law;            // not changed by the level operations
    int level;          // current level in level units
    int defaultLevel;   // level units
    int minLevel;       // level units
    int maxLevel;       // level units
} KLevels;

enum {
    KLEVEL_DEFAULT = 0,
    KLEVEL_MIN = -240, // silence
    KLEVEL_MAX = 60,   // a track's upper bound
    KLEVEL_UNCHANGED = 1000000 // setMinMaxLevel: leave this bound as it is
};

// Mix-law types stored in KElement::mixLawType.
enum {
    KMIXLAW_NONE = 0,
    KMIXLAW_TRACK = 10, // the law every new track gets
    KMIXLAW_BALANCE = 21,
    KMIXLAW_EQUIV = 22,
    KMIXLAW_UPCOEF = 23 // upper bound with one real parameter (a double in the law data)
};

// --- Record lifetime (any thread that owns the record) -----------------------------------------
KLevels *KLevels_new(void);
KLevels *KLevels_init(KLevels *levels);
KLevels *KLevels_clone(const KLevels *levels);
void KLevels_delete(KLevels **levels);

// --- Level operations (GUI thread) --------------------------------------------------------------
struct KElement;
struct _KFile;
struct KTrack;

int KElement_setLevels(struct KElement *elt, const KLevels *levels);
void changeLevel(struct KElement *elt, int delta);
void changeMinLevel(struct KElement *elt, int level);
void changeMaxLevel(struct KElement *elt, int level);
void changeDefLevel(struct KElement *elt, int level);
int setDefaultLevel(struct _KFile *file, const char *name, double level);
int setMinMaxLevel(struct _KFile *file, const char *name, int min, int max);
int setMixLaw(struct _KFile *file, const char *name, int lawType, void *lawData);
int setAllLevelAtZero(struct _KFile *file);
int getLevel(struct _KFile *file, const char *name);
int getDefLevel(struct _KFile *file, const char *name);
int getMinLevel(struct _KFile *file, const char *name);
int getMaxLevel(struct _KFile *file, const char *name);
int k_getTotalPan(struct KElement *elt, double *left, double *right);

// --- Mute, solo, master ------------------------------------------------------------------------
void k_setMute(struct _KFile *file, const char *name, int value);
void k_setSolo(struct _KFile *file, const char *name, int value);
void k_checkMute(struct KElement *group);
void k_checkSolo(struct _KFile *file, struct KElement *group);
void k_resetSoloMute(struct _KFile *file);
int k_isMute(struct _KFile *file, const char *name);
int k_isSolo(struct _KFile *file, const char *name);
int eltIsMute(struct KElement *elt);
int eltIsSolo(struct KElement *elt);
int eltCanPlayWithMuteSoloMode(struct _KFile *file, struct KElement *elt);
// Array of the tracks that sound under solo; the caller frees the array (tvr_free_called, free).
struct KTrack **getTrackSolo(struct _KFile *file, int *count);
int k_setMasterLvl(struct _KFile *file, double gain);
double k_getMasterLvl(struct _KFile *file);
int k_setMasterPan(struct _KFile *file, double pan);
double k_getMasterPan(struct _KFile *file);

#endif
