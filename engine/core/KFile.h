// The project graph: the project record, its elements (tracks, and groups/rules that link other
// elements as members), the track record, and the operations that build, edit, query, clone and
// release them. Elements are addressed by name; names are NUL-terminated byte strings.
//
// Threads: every operation runs on the caller's thread and takes no lock; the contract of
// KProjectLock.h says who holds the project lock around them. Queries (lookups, counts, lists,
// the tree) never change the project (the tree queries keep their index under its own mutex),
// so any number of threads may ask them at once; every other operation
// changes the project and, on the playing project, runs with the project lock held.
//
// Ownership: name arguments are the caller's unless a function says it takes the string over.
// Returned texts point into the model and are never freed by the caller. Returned arrays of names
// are tvr_malloc blocks whose strings point into the model: the caller releases the array alone
// (tvr_free_called, then free).
#ifndef KFILE_H
#define KFILE_H

#include <cstdint>

#include <glib.h>

#include "KLevels.h"
#include "KMix.h"
#include "KTypes.h"

struct _KEqualization;

// Element types (KElement::type).
typedef enum KEltType {
    KELT_TRACK = 3,
    KELT_GROUP = 5,    // group or rule
    KELT_WORK = -1,    // unnumbered working element
    KELT_WORK_ALT = -2 // unnumbered working element of the second sort
} KEltType;

// Play statuses (KElement::status); an element plays when its status is above 0.
typedef enum KEltStatus {
    KSTATUS_STOPPED = -1,  // the reset value
    KSTATUS_OFF = -2,      // switched off
    KSTATUS_BY_MEMBER = 1, // playing because a member plays
    KSTATUS_ON = 2         // switched on
} KEltStatus;

// Kinds of group/rule elements (KGroupData::kind).
typedef enum KConstKind {
    KCONST_GROUP = 10, // between min and max members play; kind data int[2] {min, max}, owned
    KCONST_IMPLY = 11, // implication; kind data = the implying element's own name (not owned)
    KCONST_ALL = 12,   // all members together; int[2] owned
    KCONST_ONE = 13,   // at most one member; int[2] owned
    KCONST_EQUIV = 14  // equivalence; no kind data
} KConstKind;

enum { KCOLOR_NONE = -1, KSTREAM_NONE = -1, KELT_NO_ID = -1 };

// A track's path when the track has no audio file.
#define KTRACK_IGNORE_AUDIO "::ignore_audio::"

typedef struct KPoint {
    double x, y, z;
} KPoint;

typedef struct KElement {
    int type;         // KEltType
    char *name;       // owned; unique in the project; the element table's key
    int status;       // KEltStatus
    GQueue parents;   // KElement* of the groups holding this element, in link order
    void *data;       // KTrack* for a track, KGroupData* for a group or rule
    int id;           // index in the by-id array; -1 when unnumbered
    int mixLawType;   // KMIXLAW_*
    void *mixLawData; // owned; for KMIXLAW_UPCOEF one double
    KLevels *levels;  // owned
    char *comment;    // owned, may be null
    int mute;
    int solo;
    int visible; // 1 visible, 0 hidden; set through showElt, hideElt, _hideEltRec
    int color;   // packed RGB, -1 none
    double pan;  // -1 (left) .. 1 (right)
    // Bookkeeping kept by the graph operations; read it, never write it.
    GQueue impliedBy; // kind-11 rule elements whose implying element is this one
    struct KElement *prevCreated, *nextCreated; // creation order, the order of every name list
    unsigned long createdRank; // rises with the creation order, for sorting a few elements by it
} KElement;

typedef struct KTrack {
    KStreamFormat *format; // owned, may be null; unset fields fall back to the project's
    int stream;            // stream number in a container; -1 none
    KElement *elt;         // back link
    int date;              // start in sample frames
    uint32_t length;       // length in sample frames
    int begin;
    KPoint *position; // owned
    char *path;       // owned (taken over when bound); may be KTRACK_IGNORE_AUDIO's text
    struct _KEqualization *equal; // owned, may be null
} KTrack;

typedef struct KGroupData {
    KElement *owner;
    int kind; // KConstKind
    int memberCount;
    int playCount;  // members whose status is above 0
    GQueue members; // KElement*, in link order
    void *kindData; // see KConstKind
} KGroupData;

typedef struct _KFile {
    char *name;            // owned, may be null
    GHashTable *songs;     // key -> value, both owned
    MixManager *mixes;     // owned
    uint32_t lengthFrames; // end of the longest track at the project rate
    KStreamFormat *format; // owned: rate 44100, the rest unset
    double lengthSeconds;
    int eltCount;     // numbered elements; also the next id
    GHashTable *elts; // name -> KElement*; the key is the element's own name
    int slctCounter;
    double version;
    char *fileId;        // owned, 128 characters, null until generated
    KElement **eltsById; // index = id
    int soloCount;
    double masterGain;
    double masterPan;
    // Bookkeeping kept by the graph operations; read it, never write it.
    int eltsByIdCapacity;
    int groupCount;                       // group/rule elements of type 5
    KElement *firstCreated, *lastCreated; // every filed element in creation order
    GQueue songKeys;                      // song keys (the table's own strings) in order added
    // Creation-ordered arrays of all elements and of the tracks, kept in step by the operations
    // that file and remove elements (queries only read them); not valid after a failed growth,
    // and then the queries walk the creation list.
    KElement **orderCache, **trackCache;
    int orderCacheLen, trackCacheLen, orderCacheValid;
    int orderCacheCapacity, trackCacheCapacity;
    // The top elements and every element's tree depth, worked out once per structure (owned; the
    // tree queries rebuild it after an edit that moves, links, shows or hides elements).
    struct KTreeIndex *treeIndex;
    unsigned long createdRanks; // the last createdRank given
} KFile;

// --- Versions and file ID -----------------------------------------------------------------------
// -2 when the project's version has a smaller integer part than `version`, else oLVersIsOk.
int cFVersIsOk(double version, KFile *file);
// Replaces the project's file ID by 128 new random characters and returns it (owned by the
// project); null for a null project. Two calls never give the same ID.
const char *TovraGenerateFileId(KFile *file);

// --- Points --------------------------------------------------------------------------------------
KPoint *KPoint_new(void);
KPoint *KPoint_init(KPoint *point);
void KPoint_delete(KPoint **point);

// --- Project lifetime ----------------------------------------------------------------------------
KFile *newZark(const char *name, double version);
int _freeZark(KFile *file);
// Deep copy; null when the copy is not complete (nothing half-made is returned).
KFile *KFile_clone(KFile *file);
// 1, 0 absent project, or the copyEltsTo failure (-10, -20, -30), -102 memory.
int KFile_copy(KFile *source, KFile *target);
int copyEltsTo(KFile *source, KFile *target);
int resetEltsInFile(KFile *file);
int isValid(KFile *file);
int eltIsValid(KFile *file, KElement *elt);

// --- Tracks -------------------------------------------------------------------------------------
// Takes `position` over (a zero one is made when null).
KTrack *createTrack(int date, KPoint *position, uint32_t length);
// Takes `track` over (freed on failure); the name is copied. 1, -101 bad arguments,
// -204 the name is taken, -102 memory.
int addTrack(KFile *file, KTrack *track, const char *name);
int addBitstreamTrack(KFile *file, const char *name, int date, KPoint *position, uint32_t length,
                      int stream);
// Takes `position` over; `path` as for addSamplePath: taken over on success, the caller's on
// failure (the track is then removed again). -302 no path or the file fails the filter.
int addFilteredTrackWithFilePath(KFile *file, const char *name, int date, KPoint *position,
                                 int length, char *path, const KStreamFormat *filter);
// Binds an audio file to a track. On success (1) the track takes the path string over (a
// tvr_malloc'd string) and frees its previous path; on failure the string stays the caller's.
// -1 unknown track, unreadable file, MPEG or unknown extension; -101 bad arguments.
// KTRACK_IGNORE_AUDIO binds without touching the file system.
int addSamplePath(KFile *file, const char *trackName, char *path);
// Sets the path without any check, taking the string over; 1, -1 bad arguments, -2 not a track.
int setPathWOC(KFile *file, const char *trackName, char *path);
int setSizeSample(KFile *file, uint32_t frames, const char *trackName);
int addTrackFormat(KFile *file, const char *trackName, const KStreamFormat *format);
int checkAudioPath(const char *path, const KStreamFormat *filter);
int resetBitStream(KFile *file);
int KTrack_setEqual(KTrack *track, struct _KEqualization *curve);
struct _KEqualization *KTrack_getEqual(KTrack *track);

// --- Groups and rules ----------------------------------------------------------------------------
int *createDataGrp(int min, int max);
// New group/rule element. Takes `data` over for kinds 10, 12, 13 (freed on failure too); for
// kind 11 `data` names the implying element, which must exist; for the working kinds -1 and -2
// it stays the caller's. The name is copied.
// 1; -101 bad arguments, -204 the name is taken, -201 unknown implying element, -102 memory.
int createElt(KFile *file, int kind, const char *name, void *data);
// 1 (also when already a member); -1 unknown group, -2 unknown member, -3 the link would make a
// group its own member or ancestor.
int addSubElt(KFile *file, const char *group, const char *member);
int delSubElt(KFile *file, const char *group, const char *member);
int updateDataIfGroup(KFile *file, const char *name);
int removeTrackFromUnvisibleElts(KFile *file);

// --- Any element --------------------------------------------------------------------------------
// Deletes an element and every reference to it: its links, the mixes' entries, the solo count;
// implications it implied become groups {0, members}. The group/rule holding the last
// "Const_<n-1>" name takes the deleted rule's name (a full rename). 1; -1 absent project,
// -2 unknown, -4 that rename failed, -5 table failure.
int deleteElt(KFile *file, const char *name);
// Unlinks the track from its groups, then deleteElt; -1 bad arguments, -2 not a track,
// -3 an unlink failed.
int removeTrack(KFile *file, const char *name);
// The new name is copied. 1; -1 bad arguments or the mix renaming failed, -2 unknown,
// -3 the new name belongs to another element (or table failure).
int changeEltName(KFile *file, const char *oldName, const char *newName);
int setEltComment(KFile *file, const char *name, const char *comment);
const char *getEltComment(KFile *file, const char *name);
int showElt(KFile *file, const char *name);
int hideElt(KFile *file, const char *name);
void _hideEltRec(KElement *elt);
int isVisible(KFile *file, const char *name); // 0 for an unknown name
int KElement_setColor(KElement *elt, int color);
int KElement_getColor(KElement *elt);
int KElement_setPan(KElement *elt, double pan);
double KElement_getPan(KElement *elt);

// --- Status --------------------------------------------------------------------------------------
int setAllStatusStop(KFile *file);
int initializeStatus(KFile *file);
// Toggles `elt` and its parents as needed; returns `list` with the names (pointing into the
// model) of the changed elements appended in order of change. The caller frees the list.
GSList *moveStatusWithReturn(GSList *list, KElement *elt);
void changeStatus(gpointer name, gpointer file);
int getEltStatus(KFile *file, const char *name);
int isPlaying(KFile *file, const char *name);

// --- Lookups (read-only) -------------------------------------------------------------------------
KElement *giveElt(KFile *file, const char *name);
KTrack *giveTrack(KFile *file, const char *name);
int isATrack(KFile *file, const char *name);
KGroupData *giveConst(KFile *file, const char *name);
int *giveGrpDatas(KFile *file, const char *name);
const char *getImplying(KFile *file, const char *name);
const char *getImplyingElt(KElement *elt);
const char **getImplyWithElt(KFile *file, const char *name, int *count);
const char **subEltName(KFile *file, const char *name, int *count);
int subEltNbr(KFile *file, const char *name);
int subPlayEltNbr(KFile *file, const char *name);
int subGroupNbr(KFile *file, const char *name);
const char *findLostSon(KFile *file, const char *name, GSList *names);
const char *giveEltName(KFile *file, int id);
const char *findName(KFile *file, int id);

// --- Tree and ancestry ---------------------------------------------------------------------------
KElement *KElement_getParent(KElement *elt); // first visible group parent
const char *getParentName(KFile *file, const char *name);
KElement *getVisibleFatherElt(KFile *file, const char *name);
const char *getVisibleFather(KFile *file, const char *name);
int hasVisibleParent(KFile *file, const char *name);
int eltIsOrphan(KElement *elt);
int isOrphan(KFile *file, const char *name);
int isOrphanVisibleElt(KFile *file, const char *name);
int k_isFather(KFile *file, const char *a, const char *b); // a is a direct parent of b
int k_isParent(KFile *file, const char *a, const char *b); // a is b or an ancestor of b
int isSon(KElement *elt, const char *name);                // name is an ancestor of elt
const char **k_getAllFathers(KFile *file, const char *name, int *count);
const char **k_getAllParents(KFile *file, const char *name, int *count);
int KElement_getVisibleChildCount(KElement *elt);
KElement *KElement_getVisibleChild(KElement *elt, int index);
int KElement_getIndexFromParent(KFile *file, KElement *elt, const char *excluded);
int k_getEltOnTopNbr(KFile *file, const char *excluded);
int k_getEltOnTopIndex(KFile *file, KElement *elt, const char *excluded);
KElement *k_getNthEltOnTop(KFile *file, int n, const char *excluded);
int getLevelFamily(KFile *file, const char *name);
int k_getTreeDepth(KFile *file);
const char **k_getEltsInNthDepth(KFile *file, int n, int *count);

// --- Counts and name lists (lists in creation order unless stated) -------------------------------
int getEltNbr(KFile *file);
int tracksNbr(KFile *file);
int constraintsNbr(KFile *file);
int notOrphanTracksNbr(KFile *file);
int playEltNbr(KFile *file);
int playTrackNbr(KFile *file);
int getVisibleGrpNbr(KFile *file);
const char **allEltsNames(KFile *file, int *count);
const char **tracksName(KFile *file, int *count);
const char **eltsName(KFile *file, int *count);
const char **structureEltsName(KFile *file, int *count); // id order
const char **unVisibleEltsName(KFile *file, int *count);
const char **getSpecElsNames(KFile *file, int *count, int kind);
const char **pathsSamples(KFile *file, int *count);
const char *k_getNthElement(KFile *file, int n);
const char *k_getNthTrackName(KFile *file, int n);
int k_isAProject(KFile *file);
int computeInEltHT(KFile *file, GHFunc callback);

// --- Song tags ----------------------------------------------------------------------------------
const char *giveSongField(KFile *file, const char *key);
int addSong(KFile *file, const char *key, const char *value);
int removeSongInfo(KFile *file, const char *key);
int deleteMediaSongs(KFile *file);
// key, value, key, value... in the order the keys were added; count = 2 x tags.
const char **giveCompleteSongInfos(KFile *file, int *count);

// --- Track fields -------------------------------------------------------------------------------
const char *getTrackFilePath(KFile *file, const char *name);
const char *getSamplePath(KFile *file, const char *name);
uint32_t tvr_getTrackSize(KFile *file, const char *name);
int64_t getTrackSamplesNbr(KFile *file, const char *name);
double tvr_getTrackLength(KFile *file, const char *name);
KStreamFormat *getTrackFormat(KFile *file, const char *name);
// The track's own rate, else the project's as it stands (-1.0 when unset there too).
double k_getTrackRate(KFile *file, KTrack *track);
// The rate lengths in seconds are computed with: k_getTrackRate, or 44100.0 when neither the track
// nor the project sets a positive one, so no length divides by an unset rate.
double k_getTrackLengthRate(KFile *file, KTrack *track);
int k_getTrackAudioFmt(KFile *file, KTrack *track);
int k_getTrackBits(KFile *file, KTrack *track);
int k_getTrackChannels(KFile *file, KTrack *track);
int k_setTrackChannels(KTrack *track, int channels);
double *k_getTracksRates(KFile *file, int *count);
int k_getTrackBitrate(KFile *file, const char *name);
double computeLengthFile(KFile *file);
double lengthInSec(KFile *file);

// --- Debug listings (standard output) ------------------------------------------------------------
void giveInfo(KFile *file);
void giveInfoGC(KFile *file);
void printAllElts(KFile *file);
void printStructureComplete(KFile *file);
void seeStatus(KFile *file);
void seeLevels(KFile *file);

#endif
