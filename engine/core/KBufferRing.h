// The ring of read buffers that carries mixed audio from the filler thread ("bufferingProc") to
// one reader thread (the sound card's callback or the export writer). One ring per process.
//
// Each buffer has its own recursive mutex, taken hand over hand: a side locks the next buffer
// before it releases the one it holds, so neither side passes the other and the filler runs at
// most count - 1 buffers ahead. The reader's first step waits until the filler has filled every
// buffer; the filler then waits until the reader holds buffer 0.
//
// Threads: initReadBuffers, startBuffering, stopBuffering and cleanReadBuffers are called by one
// controlling thread (the player thread), and the last two only while no reader is inside
// nextBufferToRead/copyReadBuffer holding a buffer it has not released (the reader releases with
// unlock_readMutex, from its own thread). nextBufferToRead, copyReadBuffer and unlock_readMutex
// are the reader's; the getters may be called from any thread.
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
// Reader: copies the buffer's filled bytes to dst and marks it empty; returns the bytes copied
// (0 for a bad index, an empty buffer or a null dst).
int copyReadBuffer(int index, void *dst);
// Reader: steps to the next buffer and returns its index; -1 when buffering was never started.
int nextBufferToRead(void);
// Reader: releases the buffer it holds (its position is kept); 1, also when it holds none,
// 0 when the unlock fails.
int unlock_readMutex(void);
// Filler: steps to the next buffer and returns its index; -1 once the filler is asked to stop.
int nextBufferToFill(void);
// Stops a running filler, resets the locks, semaphores and both positions, empties every
// buffer and starts the filler thread calling fill(buffer, size, context); 1, or 0 on any
// failure (no ring, no memory, no thread).
int startBuffering(KFillBufferFunc fill, void *context);
// When a filler runs: asks it to stop, wakes it where it waits for the reader, waits for its end
// and frees its record. A reader blocked on its first step is woken too. 1.
int stopBuffering(void);
// Stops the filler, then frees the buffers, their mutexes, both semaphores and the filler
// record; count, size and positions are reset.
void cleanReadBuffers(void);

#endif
