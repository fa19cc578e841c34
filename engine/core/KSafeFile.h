// Saves that never leave a half-written file: the data goes to a temporary file in the target's
// folder, and only a complete, flushed and synced file is renamed over the target. On any
// failure the temporary is removed and the previous target stays as it was. A save killed
// before its commit leaves its temporary behind; the next save of the same target removes it.
//
// Threads: any; a KSafeFile is used by one thread at a time. The test seam is process-wide.
#ifndef KSAFEFILE_H
#define KSAFEFILE_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

typedef struct KSafeFile KSafeFile;

// Creates the temporary file beside `target` (opened for reading and writing, binary). Null,
// with a line on the standard error stream, when it cannot be created.
KSafeFile *KSafeFile_open(const char *target);
// The temporary file's stream: write, seek and read it freely until commit or discard.
FILE *KSafeFile_stream(const KSafeFile *file);
const char *KSafeFile_tempPath(const KSafeFile *file);
// The temporary's descriptor, for writers that take one (write either through it or through the
// stream, not both); -1 for null.
int KSafeFile_fd(const KSafeFile *file);
// Writes every byte or returns false (and remembers the failure, so commit refuses).
bool KSafeFile_write(KSafeFile *file, const void *data, size_t length);
// Marks the file as failed: commit then discards it.
void KSafeFile_fail(KSafeFile *file);
// Flushes, checks the stream's error flag, syncs, closes and renames the temporary over the
// target (keeping the old target's permissions). 1 on success; 0 on any failure, the temporary
// removed and the target untouched. Frees the record and clears the caller's pointer.
int KSafeFile_commit(KSafeFile **file);
// Closes and removes the temporary; the target stays as it was. Null is ignored.
void KSafeFile_discard(KSafeFile **file);

// Test seam: files opened after this call fail every write once `bytes` bytes have been written
// to them (the write then reports ENOSPC, as a full disk would). A negative value disarms it.
void KSafeFile_failWritesAfter(int64_t bytes);

#endif
