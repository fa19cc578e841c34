// Mix files: stored mixes of a project kept apart from it, in a description-only container whose
// tag tree has the root "ZARK_MIX", the format version, the project's file ID and one TOVIX
// element per mix. Also the engine's few level functions on the current mix.
//
// Threads: the GUI thread (or a worker that owns the project); no lock. Loading adds mixes to the
// project, so playback of the mixes must not be under way.
#ifndef KMIXFILE_H
#define KMIXFILE_H

#include "KFile.h"
#include "XmlObject.h"

#define KMIXFILE_ROOT "ZARK_MIX"

// exportTovraMixToFile modes: add the mix to an existing mix file, or write a new one.
enum { KMIXFILE_NEW = 1, KMIXFILE_ADD = 2 };

// Codes of the mix-file functions besides the container writer's positive result and the mix
// update's codes.
enum {
    KMIXFILE_ERR_PARAM = -1,   // null project, path or name, or an invalid project
    KMIXFILE_ERR_NO_DESC = -2, // no readable description, or the tree cannot be built
    KMIXFILE_ERR_PARSE = -3,   // the description does not parse, or the file cannot be written
    KMIXFILE_ERR_ROOT = -4,    // not a mix file (root other than "ZARK_MIX")
    KMIXFILE_ERR_VERSION = -5, // no VERSION, or one the engine refuses
    KMIXFILE_ERR_FILE_ID = -6, // no FKEY, or not this project's (or the project has no ID)
    KMIXFILE_ERR_CHILD = -7    // a mix of the file cannot be read
};

// Writes the named mix to a new mix file (any mode but 2), or adds it to the mix file at `path`
// (mode 2; the file must be a mix file of this project, else -4 or -6 and nothing is written).
// The file is replaced only once completely written. Returns the container writer's result (1)
// or a code above.
int exportTovraMixToFile(KFile *file, const char *path, const char *mixName, int mode);
// A new tree with the given root holding VERSION, FKEY (generated when the project has none) and
// the mix's TOVIX; null for a null project or name, an unknown mix, or a memory failure.
XmlObject *exportTovraMixToXml(KFile *file, const char *mixName, const char *rootName);
// Loads every mix of a mix file into the project, all or nothing: a mix that cannot be read
// leaves the project as it was. Returns updateSomeMix's result (1 on success, -201, -202) or a
// code above. A mix of the same name as a stored mix replaces it.
int loadTovraMixFile(KFile *file, const char *path);
// A new copy (tvr_malloc, the caller frees) of the FKEY text of a mix file, or null.
char *getIdFromMixTovraFile(const char *path);

// --- Levels of the current mix ------------------------------------------------------------------
// Re-applies the level of every track of the current mix; -1 when there is none, else 1.
int initializeLevel(KFile *file);
// The element's current level (level units); -1.0 when no element has that name.
double getTrackLevel(KFile *file, const char *name);
// For the first parent of the element whose mix law is 21 or 22, the status of that parent's
// first playing member; 0 when there is none.
int updateLevel(KElement *elt);
// Not implemented: writes a warning and returns 1.
int randomMix(KFile *file);

#endif
