// The container's position-dependent byte scramble: a byte b that belongs at absolute file
// position p is stored as (b + (p mod KSCRAMBLE_PERIOD) + KSCRAMBLE_OFFSET) mod 256. Every byte of
// a container passes through it, headers, audio and trailer alike.
//
// Threads: any; nothing is shared except the write statistics, which are atomic.
#ifndef KSCRAMBLE_H
#define KSCRAMBLE_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

// The format's fixed constants: changing either makes every existing container unreadable.
enum { KSCRAMBLE_PERIOD = 518263 };
enum { KSCRAMBLE_OFFSET = 47 };

// Scramble (ke) and descramble (kd) a buffer in place as if it stood at file position `position`.
void ke(void *buffer, size_t length, int64_t position);
void kd(void *buffer, size_t length, int64_t position);
// Out-of-place forms: `out` may equal `in`.
void kScrambleCopy(uint8_t *out, const uint8_t *in, size_t length, int64_t position);
void kDescrambleCopy(uint8_t *out, const uint8_t *in, size_t length, int64_t position);

// Writes a scrambled copy of size x count bytes at the stream's current position; returns the
// count of whole items written (short on a write error). Adds to the write statistics.
size_t tvrWriteFunc(const void *buffer, size_t size, size_t count, FILE *stream);
// Reads size x count bytes at the stream's current position and descrambles them in place;
// returns the count of whole items read.
size_t tvrReadFunc(void *buffer, size_t size, size_t count, FILE *stream);

// Diagnostics: bytes written through tvrWriteFunc and its calls since the process started.
int64_t tvrWrittenBytes(void);
int64_t tvrWriteCalls(void);

#endif
