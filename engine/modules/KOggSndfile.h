// Uncompressed tracks of a container: each one is a complete audio file (WAV, AIFF, AU or CAF)
// written and read by libsndfile through a virtual I/O that scrambles, descrambles and confines
// every access to the track's own byte range. The container ends with a trailer: the start
// offset of every track (signed 64-bit little-endian) followed by the number of tracks.
//
// Threads: a context is used by one thread at a time (the export worker while writing, the
// buffer-filling thread while playing); no lock is taken.
#ifndef KOGGSNDFILE_H
#define KOGGSNDFILE_H

#include <cstdint>
#include <cstdio>

#include <sndfile.h>

typedef struct SOggSF {
    FILE *stream;     // the container
    int64_t start;    // absolute position of the track's first byte; -1 unset
    int64_t end;      // absolute position of the track's last byte; -1 unset
    int64_t length;   // bytes of the track; -1 unset. While writing: the bytes written so far
    int streamNumber; // the track's number; -1 unset
    SNDFILE *handle;
    SF_INFO info;
    int writing; // 1 while the track is being written: the length grows with the writes
    int failed;  // a write of the virtual I/O was short
} SOggSF;

SOggSF *SOggSF_new(void);
// Closes the audio file (not the stream) and frees the record; clears the caller's pointer.
void SOggSF_delete(SOggSF **context);

// The virtual I/O given to sf_open_virtual, with the context as user data. Positions are relative
// to the track's start; reads never go past the track's last byte. Seeking from the end counts
// from the track's end (start + length + offset).
sf_count_t k_sf_getlen(void *context);
sf_count_t k_sf_seek(sf_count_t offset, int whence, void *context);
sf_count_t k_sf_read(void *buffer, sf_count_t count, void *context);
sf_count_t k_sf_write(const void *buffer, sf_count_t count, void *context);
sf_count_t k_sf_tell(void *context);
SF_VIRTUAL_IO *k_sf_virtualIO(void);

// Opens track k of an uncompressed container for reading. The trailer is checked against the
// file (track count equal to the description's, offsets increasing, inside the file and after the
// description). Null, with a line naming the cause on the standard error stream, on any failure.
SOggSF *k_oggSndfileOpen(const char *path, int k);
// Reads 16-bit native-endian interleaved samples, whole frames only, at most bytes / 2 samples;
// returns the bytes filled (0 at the end), -1 for bad arguments.
int k_sndfile_read(SOggSF *context, void *buffer, int bytes);
// Moves to a frame counted from the track's start; the frame reached, or -1.
int64_t k_sndfile_seek(SOggSF *context, int64_t frame);
// Closes the audio file and the stream and frees the record; clears the caller's pointer.
void k_sndfile_close(SOggSF **context);

#endif
