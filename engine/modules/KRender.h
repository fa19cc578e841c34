// Mix rendering: renders one stored mix of a project into a two-channel audio file of any format
// libsndfile writes. The playback engine mixes exactly as for listening, in its export mode: the
// export thread "k_startExportTovix" takes each mixed block from the buffer ring and writes it.
// The render works on a copy of the project, so the open project is left as it was.
//
// Threads: k_exportTovixToAudioFile runs on the caller's thread (an export worker) and waits for
// the end; the k_*ExportTovix functions are called by the player thread. One render at a time.
#ifndef KRENDER_H
#define KRENDER_H

#include <cstdint>

#include "KFile.h"
#include "KTypes.h"

// Renders the named stored mix to path at format->rate (the project's rate when not positive)
// with format->code (a libsndfile format code; KAUDIOFMT_VORBIS and KAUDIOFMT_MPEG ask for Ogg
// Vorbis and MPEG Layer III; 8-bit WAV is written unsigned). The file holds exactly the piece's
// length; it is written to a temporary file renamed over path only when everything succeeded.
// Setting the progress state to stopped cancels the render. 1 on success; 0 for a null
// argument, an unknown mix, a format libsndfile refuses, a file that cannot be written, a track
// that cannot be read, a failed write or a cancel, and nothing is left at path.
int k_exportTovixToAudioFile(KFile *file, const char *mixName, const char *path,
                             const KStreamFormat *format, KProgress *progress);
// The libsndfile format code a render writes for a requested code (0 when none can be written).
int k_renderFormatCode(int code, double rate);

// Export thread control (player thread).
int k_initExportTovix(int64_t bufferBytes, KProgress *progress, int64_t totalMs, double rate);
int k_startExportTovix(void);
// Asks the thread to end once it has written what the ring still holds; 1.
int k_pauseExportTovix(void);
// Waits for the thread to end and destroys it; 1 (also when there is none).
int k_stopExportTovix(void);
// Re-encodes an audio file as MPEG Layer III through libsndfile; 1 on success, else 0 and
// nothing left at the destination.
int k_waveToMp3(const char *source, const char *destination, int bitrateKbps);

// Result of the last play as seen by the render: 1, or the player's failure code. Player thread
// sets it; the render reads it after the play ended.
void so_renderSetPlayResult(int result);

#endif
