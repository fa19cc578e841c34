// Levels of one element: its gains and level bounds in the engine's level unit (30 units per
// doubling of gain, 0 = unity), plus the mix-law constants. Mix-law type and data, mute, solo and
// pan live on KElement (KFile.h); solo count, master gain and pan on the project. The GUI thread
// writes these and the playback threads read them, on the playing project under the project lock.
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
    KLEVEL_UNCHANGED = 1000000, // setMinMaxLevel: leave this bound as it is
    // Range of group levels: below the floor everything is silent anyway; the ceiling keeps the
    // product of gains down a deep tree finite.
    KLEVEL_GROUP_FLOOR = -3000,
    KLEVEL_GROUP_CEIL = 300
};

// Largest master gain (a linear factor).
#define KMASTER_GAIN_MAX 16.0

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

// Gain of a level: 0 (silence) at or below KLEVEL_MIN, else 2^(level / 30). Every gain the
// level operations store comes from here.
double KLevels_levelToGain(int level);

// --- Level operations (GUI thread; on the playing project with the project lock held) ----------
struct KElement;
struct _KFile;
struct KTrack;

// The element's record becomes a copy of `levels`; 1, 0 when either is absent or memory fails.
int KElement_setLevels(struct KElement *elt, const KLevels *levels);
// Moves the level by delta and recomputes the effective gains of the element and everything below
// it. A track's level must stay in KLEVEL_MIN..KLEVEL_MAX: a move outside is refused with a
// warning on standard error (the gains are still recomputed). Group levels are kept within
// KLEVEL_GROUP_FLOOR..KLEVEL_GROUP_CEIL so that every gain stays finite.
void changeLevel(struct KElement *elt, int delta);
void changeMinLevel(struct KElement *elt, int level); // no range test
void changeMaxLevel(struct KElement *elt, int level); // no range test
void changeDefLevel(struct KElement *elt, int level);
// The default level becomes `level` truncated (kept in the element's possible range);
// 1, -1 unknown name, -101 a value that is not finite.
int setDefaultLevel(struct _KFile *file, const char *name, double level);
// KLEVEL_UNCHANGED leaves a bound as it is. 1; -2 nothing to change or a track maximum above 60;
// -3 a track minimum below -240; -4 both given and refused; -1 unknown.
int setMinMaxLevel(struct _KFile *file, const char *name, int min, int max);
// Stores the mix-law type and takes `lawData` over (a tvr_malloc'd block of one double, or
// null), freeing the previous data. Type 0 always; a track only type 10; a group of kind 10, 12
// or 13 allowing at least two playing members any type; an implication or equivalence only 23.
// 1 stored, 0 refused (the data stays the caller's), -1 unknown.
int setMixLaw(struct _KFile *file, const char *name, int lawType, void *lawData);
// Every level silent: level -240 and gains 0; 1, -1 absent project.
int setAllLevelAtZero(struct _KFile *file);
// Unknown names give the neutral values: level 0, default 0, minimum -240, maximum 60.
int getLevel(struct _KFile *file, const char *name);
int getDefLevel(struct _KFile *file, const char *name);
int getMinLevel(struct _KFile *file, const char *name);
int getMaxLevel(struct _KFile *file, const char *name);
// Multiplies the pan factors of the element and its first visible parents into the two gains;
// 1 at the top, 0 when stopped at a hidden group or for absent arguments.
int k_getTotalPan(struct KElement *elt, double *left, double *right);

// --- Mute, solo, master (GUI thread; on the playing project with the project lock held) --------
// Mute and solo spread down a group to its members and up to the visible groups above; the
// project's solo count is always the number of elements whose solo flag is set. A group is muted
// (soloed) when every one (at least one) of its playing members is, or, when none of its members
// plays, every one (at least one) of its members.
void k_setMute(struct _KFile *file, const char *name, int value);
void k_setSolo(struct _KFile *file, const char *name, int value);
void k_checkMute(struct KElement *group);
void k_checkSolo(struct _KFile *file, struct KElement *group);
// Puts a group's mute and solo back in line after it lost a member (deletion or unlinking), and
// the project's solo count with them; a group left without members loses its solo. Nothing for
// an absent or hidden element.
void k_checkMuteSolo(struct _KFile *file, struct KElement *group);
void k_resetSoloMute(struct _KFile *file);
int k_isMute(struct _KFile *file, const char *name); // 0 when unknown
int k_isSolo(struct _KFile *file, const char *name); // 0 when unknown
int eltIsMute(struct KElement *elt);
int eltIsSolo(struct KElement *elt);
// 0 for an absent element or a negative status other than -2; under solo the element's solo
// flag, else 1 when its mute flag is clear.
int eltCanPlayWithMuteSoloMode(struct _KFile *file, struct KElement *elt);
// Array of the tracks that sound under solo, soloed tracks first in id order; null (count 0)
// when none. The caller frees the array (tvr_free_called, free).
struct KTrack **getTrackSolo(struct _KFile *file, int *count);
// The master gain is kept within 0..KMASTER_GAIN_MAX and the pan within -1..1; a NaN is refused
// (-101). 1 stored, 0 absent project. The getters give 1.0 and 0.0 for an absent project.
int k_setMasterLvl(struct _KFile *file, double gain);
double k_getMasterLvl(struct _KFile *file);
int k_setMasterPan(struct _KFile *file, double pan);
double k_getMasterPan(struct _KFile *file);

#endif
