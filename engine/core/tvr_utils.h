// The engine's small shared toolkit: the counting allocator through which every engine string,
// array and record is allocated, string, list and path helpers, locale-independent number and
// text conversions, and the level units. Nothing here is locked: each call works on what the
// caller hands it; the allocation counters alone are atomic.
#ifndef TVR_UTILS_H
#define TVR_UTILS_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <glib.h>

// --- Counting allocator ------------------------------------------------------------------------
// Blocks are zero-filled. Other subsystems release engine-made strings and arrays with the
// standard free() after calling tvr_free_called().
void *tvr_malloc(size_t size);
// Zero-filled array of count elements of size bytes; null (with the allocator's message) when
// count x size overflows.
void *tvr_calloc(size_t count, size_t size);
void *tvr_realloc(void *block, size_t size);
void tvr_free_called(void);
// Counts the release and frees the block; null is ignored.
void tvr_free(void *block);
void tvr_debug(const char *format, ...);
void printMemory(void);
size_t oBZero(void *buffer, size_t length);
void tvr_memcpy(int *destination, const int *source);
int *tvr_memcln(const int *value);

// Diagnostic counters: allocations, bytes allocated, releases, bytes released.
struct TvrMemoryCounters {
    int32_t allocations;
    int32_t allocatedBytes;
    int32_t releases;
    int32_t releasedBytes;
};
TvrMemoryCounters tvr_memoryCounters(void);

// --- Strings, lists and files ------------------------------------------------------------------
char *_tvr_strcpy(const char *s);
// New NUL-terminated copy of the first length bytes of s (which need no NUL among them).
char *tvr_strndup(const char *s, size_t length);
char *strConcat(char *s, const char *t);
int tvr_strChrNbr(const char *s, char ch);
int nbChar(int64_t value);
int k_tolower(int ch);
void k_sleep(unsigned int seconds);
int nameInList(GSList *list, const char *s);
int isInGSList(const char *s, GSList *list);
GSList *cleanStrList(GSList *list);
char randChar(void);
char *cleanPathFile(char *s);
long fileSize(FILE *file);
char *fileWithOutExt(const char *path);
char *makeRelativePath(const char *path, const char *base);
char *makePath(const char *dir, const char *name);
char *returnFile(const char *path);
char *returnDir(const char *path);
char *readUntil(FILE *file, const char *delimiter);

// --- Numbers and text (C locale whatever the process locale) -----------------------------------
char *doubleToString(double x);
char *intToString(int n);
char *doublearrayToString(const double *values, int n);
char *intarrayToString(const int *values, int n);
int stringToIntarray(const char *s, int *out, int max);
int stringToDoublearray(const char *s, double *out, int max);
// Locale-independent parse of a whole decimal number; false when s is not one finite number.
bool tvr_parseDouble(const char *s, double *out);

// --- Level units -------------------------------------------------------------------------------
// Level = 30 x log2(linear gain), truncated toward zero (a value within 0.01 of a whole level
// is that level, so that cBToDouble round trips); exactly 0.0 gives -240 (silence); a negative
// or NaN gain gives -241 (below silence, "no level"); +inf gives 30720.
int doubleToCB(double x);
double cBToDouble(int units);

#endif
