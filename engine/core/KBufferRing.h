// The ring of read buffers that carries mixed audio from the filler thread ("bufferingProc") to
// one reader thread (the sound card's callback or the export writer). One ring per process.
//
// Each buffer is held by at most one side, taken hand over hand: a side takes the next buffer
// before it releases the one it holds, so neither side passes the other and the filler runs at
// most count - 1 buffers ahead. The reader's first step waits until the filler has filled every
// buffer; the filler then waits until the reader holds buffer 0. Blocks therefore reach the
// reader in the order they were filled, each once. No lock is held while a buffer is filled or
// read, and a stop wakes whichever side is waiting.
//
// Threads: initReadBuffers, startBuffering, stopBuffering and cleanReadBuffers are called by one
// controlling thread (the player thread); nextBufferToRead, copyReadBuffer and unlock_readMutex
// by one reader thread; the getters by any thread. The reader may go on across a stop, a
// restart or a clean-up: it then finds no block (copy 0, step -1), or begins the new ring.
#ifndef KBUFFER_RING_H
#define KBUFFER_RING_H

#include <cstdint>

// Fills one buffer of bytes bytes; runs on the filler thread while it holds that buffer.
typedef void (*KFillBufferFunc)(uint8_t *buffer, int bytes, void *context);

// Fewest buffers for which hand-over-hand stepping cannot deadlock.
enum { KBUFFER_RING_MIN_COUNT = 3 };

// Frees any previous ring (stopping its filler), then allocates count zero-filled buffers of
// size bytes; 1, -101 for size < 1 or count < KBUFFER_RING_MIN_COUNT, -102 when memory fails.
int initReadBuffers(int size, int count);
int getBufferBytesSize(void);
int getBufferNumber(void);
// 1 while the filler runs.
int isBufferFilling(void);
// Index of the buffer the reader / the filler holds, -1 when none.
int getReadBufferId(void);
int getFillBufferId(void);
// Reader: copies the filled bytes of the buffer it holds to dst and marks it empty; returns the
// bytes copied (0 for a buffer the reader does not hold, an empty buffer or a null dst).
int copyReadBuffer(int index, void *dst);
// Reader: steps to the next buffer and returns its index; -1 when buffering was never started.
int nextBufferToRead(void);
// Reader that must never wait (the sound card's callback): steps to the next buffer when it is
// ready and returns its index. KBUFFER_RING_LATE, leaving the reader where it was, while the
// ring is still filling for the start or the filler still fills the next buffer; -1 when
// buffering was never started.
enum { KBUFFER_RING_LATE = -2 };
int tryNextBufferToRead(void);
// Reader: releases the buffer it holds (its position is kept, and its next step releases nothing);
// 1, also when it holds none.
int unlock_readMutex(void);
// Filler: steps to the next buffer and returns its index; -1 once the filler is asked to stop.
int nextBufferToFill(void);
// Stops a running filler, resets both positions and handshakes, empties every buffer and
// starts the filler thread calling fill(buffer, size, context); 1, or 0 on any failure (no
// ring, no memory, no thread).
int startBuffering(KFillBufferFunc fill, void *context);
// When a filler runs: asks it to stop, wakes it where it waits for the reader, waits for the end
// of the block it is filling and frees its record; a reader waiting for the ring to fill is woken
// and then finds the blocks filled so far. 1.
int stopBuffering(void);
// Stops the filler, then frees the buffers and the filler record; count, size and positions are
// reset.
void cleanReadBuffers(void);

#endif
