// The project description: the whole project written as a tag tree (root "TOVRA-2.0") and read
// back into a project. Elements and mixes are written in creation order, so the same project always
// gives the same bytes. The reader checks everything it reads (names, links, numbers, stream
// numbers) and builds the project aside: a refused description leaves the caller's project as it
// was.
//
// Threads: every function runs on the caller's thread and takes no lock; loading replaces the
// project's contents, so playback must be stopped first.
#ifndef KZARKXML_H
#define KZARKXML_H

#include "KFile.h"
#include "XmlObject.h"

// Codes of LoadFromXmlDesc besides 1 (success) and -(1000 + position) (a failing child of the
// root, counted from 0): the codes of updateElt (-1, -2) and updateMix (-202, -203), -303 (a
// track marked "::ignore_audio::" could not be removed), and these.
enum {
    KDESC_ERR_UNREADABLE = -9, // the text does not parse, or its root is not a description root
    KDESC_ERR_VERSION = -123,  // no VERSION, or a version too old or too new
    KDESC_ERR_CHILD = -1000    // base of the failing-child codes
};

// Text of a LoadFromXmlDesc code, for the user (never null).
const char *getStrXmlDescError(int code);
// Why the last LoadFromXmlDesc on the calling thread refused its description, in words naming the
// element (its position and tag) and the name at fault, e.g. 'element 7 (TRCK): track "Bass" has
// a bad COLOR'; empty after a success. Valid until the next load on this thread.
const char *getXmlDescErrorReason(void);

// --- Writing ------------------------------------------------------------------------------------
// The description tree of the project; clean 1 gives the form of distributable files (a new file
// ID replaces the project's, groups and rules without members are left out unless an implication
// depends on them). The ordinary form writes the project's file ID, generating one when it has
// none. Null for a null project, a rule of a kind other than 10, 11 or 14, a working element, a
// song key that cannot be a tag name, or a memory failure. Released with DeleteRecXmlObject.
XmlObject *exportXmlDesc(KFile *file, int clean);
// The clean description as one text (tvr_malloc'd, freed by the caller); null as above.
char *exportToCleanXmlDesc(KFile *file);
// The TOVIX element of one stored mix, as in the description; null for an unknown mix.
XmlObject *exportXmlSlcts(KFile *file, const char *mixName);
// True when a song key can be written as a tag name: not empty, no "<", ">" or "&", not
// beginning with "/".
bool isValidSongKey(const char *key);
// LEVELS {LMIX, LMAX, LDEF} of a levels record; null on memory failure.
XmlObject *exportXmlLevels(const KLevels *levels);
// NCHANNELS with the project's channel count (no writer of the description uses it).
XmlObject *exportXmlNChannels(const KFile *file);
// SFORMAT with the fields of the format that are set; null on memory failure.
XmlObject *exportXmlSFormat(const KStreamFormat *format);

// --- Reading ------------------------------------------------------------------------------------
// Replaces the project's contents (elements, mixes, song tags, format, file ID, master gain and
// pan, version) by those of the description text; the project keeps its name. 1 on success; on
// any failure a negative code (see above), a line naming the cause on the standard error stream,
// and the project unchanged. The text stays the caller's.
int LoadFromXmlDesc(KFile *file, const char *text);

// A new mix read from a TOVIX element (S_TRACK/S_ELT entries resolved against the project's
// elements; entries naming no element are dropped). *isDefault (may be null) is set from DEFAULT.
// Null when the element is malformed or memory fails. The mix is not stored: see addSlct.
KMix *ExtractXmlMix(KFile *file, const XmlObject *node, int *isDefault);
// A new mix read from an older SLCT or SLCT_DEF element (*isDefault set for SLCT_DEF); names of
// no track of the project are dropped, so the mix may hold none. Null when it has no name or no
// S_TRACK entry.
KMix *ExtractXmlSlct(KFile *file, const XmlObject *node, int *isDefault);
// Adds every child of a SONG element as a song tag; 1, or -1 when a child has no text or a name
// that the writer could not write back (tags read before it stay).
int ExtractXmlSong(KFile *file, const XmlObject *node);
// Reads a LEVELS element into *levels (KLevels_init first); false when a value is not a whole
// number within the bounds of a track (track 1) or of a group.
bool extractXmlLevels(const XmlObject *node, int track, KLevels *levels);
// Reads an SFORMAT element into *format (KStreamFormat_init first; format must be zeroed or
// initialised); false when a value is not a number or out of range.
bool extractXmlStreamFormat(const XmlObject *node, KStreamFormat *format);

// --- Groups and rules read before their members -------------------------------------------------
// The readers create groups and rules as they meet them and link their members once every element
// exists. The pending links live here, never in the project's element table, so no element name
// can collide with them.
typedef struct KPendingElts KPendingElts;
KPendingElts *KPendingElts_new(void);
void KPendingElts_delete(KPendingElts **pending);
// True when the name is an element of the project or a rule still waiting to be created.
bool KPendingElts_nameTaken(const KPendingElts *pending, KFile *file, const char *name);

// What a CNST element (or the older format's CNST section) describes. Strings are the caller's.
typedef struct KConstDesc {
    const char *name;
    const char *kindText;     // "GRP ", "IMPL" or "EQUIV"
    int min, max;             // bounds of a group; -1: 0 for min, the member count for max
    const char *implying;     // S_IMPLY, may be null
    const char *const *members;
    int memberCount;
    int visible;              // 1 shown, 0 hidden
    const char *comment;      // may be null
    const KLevels *levels;    // may be null
    int hasColor, color;
    int hasPan;
    double pan;
} KConstDesc;

// Creates the group or rule now, or, for an implication whose implying element does not exist
// yet, when updateElt runs; files its members to be linked by updateElt. 1; -1 unknown kind text;
// -204 the name is taken; -101 no name; -102 memory; another code of createElt.
int makeTmpConst(KFile *file, KPendingElts *pending, const KConstDesc *desc);
// Files a mix law (and levels) of the older text format for the named element, applied by
// updateElt: law 0, default level 0, bounds -240 and KLEVEL_UNCHANGED leave that value alone. A
// law of type 23 gets a block holding the coefficient.
int KPendingElts_addMixLaw(KPendingElts *pending, const char *name, int lawType, double coefficient,
                           int defaultLevel, int minLevel, int maxLevel);
// Second pass: creates the waiting implications, links every filed member into its group, applies
// the filed mix laws, and empties the pending records. 1; -1 a rule or link was refused (unknown
// element, a group that would contain itself or an ancestor); -2 a mix law was refused. A line
// names each refusal on the standard error stream.
int updateElt(KFile *file, KPendingElts *pending);

// Removes the tracks marked "::ignore_audio::" and the rules left pointless by their removal;
// 1, or -303 when a track cannot be removed.
int updateAudio(KFile *file);

#endif
