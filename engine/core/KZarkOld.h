// The older tag-text project format: a writer for projects of tracks only, a streaming reader of
// its sections (song tags, groups and rules, mix laws, channel count, file ID), a reader of the
// song tags alone, and a reader of a plain XML description file. Nothing else in the system
// calls them; they stay part of the library's interface.
//
// Threads: the caller's, no lock. Texts are read as they are written: a value is at most 499
// bytes; "&", "<" and ">" are written as entities and read back.
#ifndef KZARKOLD_H
#define KZARKOLD_H

#include <cstdio>

#include "KFile.h"

// Writes the project as tag text to `path` through a temporary file renamed over it, so a failed
// write leaves the previous file. Root "TOVRA" with the file ID (a new one) when distributable,
// else "TVS_PROJECT"; the distributable form leaves out tracks that belong to no group. 1; -1 the
// project has groups or rules (no form here), a song key that cannot be a tag name, or a write
// failure; -2 null arguments; -3 the file cannot be created.
int TovraWriteGenDatas(KFile *file, const char *path, int distributable);

// Writes every stored mix as an older selection: SLCT (SLCT_DEF for the default mix) holding NAME
// and one S_TRACK {NAME} per track. 1, or -1 for null arguments or a failed write.
// TovraWriteGenDatas does not write selections; the reader skips them.
int saveDescSlct(KFile *file, FILE *dFile);
// Mix configurations and selection rules have no form in this format: these write a warning
// naming themselves to the standard error stream and return 0.
int saveDescMixConfig(KFile *file, FILE *dFile);
int TovraWriteSlctCnst(KFile *file, FILE *dFile);
int loadDescMixConfig(KFile *file, FILE *dFile);

// Reads a text of the given root into a new project named by the path, or null. Sets the load
// error code (getZarkError): 0 success; -301 null path; -302 the file cannot be opened; -102 the
// version is refused; -201 no VERSION or an incorrect file; a failing section: FMT -203, SONG
// -204, CNST -206 (also unlinkable members), FKEY -207, MIXLAW -208 (also a law refused),
// NCHANNELS -209. A "ZARK" text without FKEY gets a new file ID in memory; the file is never
// written.
KFile *loadDPZark(const char *path, const char *root);

// Reads only the SONG section of a "ZARK" or "TOVRA" text into the project. 1; -51 the file
// cannot be opened; -52 no such root; -53 no SONG section; -1 a bad SONG section.
int loadMediaInfo(KFile *file, const char *path);
// The song tags of such a text as new copies: key, value, key, value... (count = twice the tags),
// released with freeMediaInfo. Null with count -1 when the text cannot be read (count 0 and null
// when it holds no tags).
char **GetMediaInfoFromPath(const char *path, int *count);
void freeMediaInfo(char **infos, int count);

// Reads a whole plain XML description file (LoadFromXmlDesc) into a new project named by the
// path; null, with a line on the standard error stream, when it cannot be opened, read or loaded.
KFile *loadDTovraFile(const char *path);

#endif
