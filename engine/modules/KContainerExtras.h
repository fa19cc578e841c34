// Container functions nothing in the editor calls: a description read from a file into the
// description stream, and diagnostics that print what a container holds to the standard output.
//
// Threads: any; each call works on the caller's stream or file only.
#ifndef KCONTAINEREXTRAS_H
#define KCONTAINEREXTRAS_H

#include <cstdio>

#include <ogg/ogg.h>

// Puts the whole content of the file at `path` in as the stream's one packet and writes its pages
// scrambled, as insertXmlStream does: 1, 0 when a write fails, -1 "ERROR InsertDescFile : cannot
// open file %s" or -2 "ERROR InsertDescFile : cannot read on file %s" (on the standard error).
int InsertDescFile(ogg_stream_state *state, const char *path, FILE *stream);

// Reads the page at the stream's position (descrambled), prints "header : %d - body : %d" and
// leaves the stream after it. The page's length in bytes, or -1 when no whole page is there.
long GetPage(FILE *stream);
// Prints "%d) %d : %s" for each trailer entry of an uncompressed container: the track, its start
// offset and the first four bytes found there. The number of tracks, or -1 for a file without a
// readable trailer.
int k_read_ogg(const char *path);
// Prints the position of every occurrence of `text` in the descrambled file, one "%lld" a line;
// returns their number, or -1 when the file cannot be read or the text is empty.
long findKStringInFile(const char *path, const char *text);
// Print a packet's fields on one line, a packet's fields one a line with its first bytes in hex,
// and a page's header fields.
void print_opacket(const ogg_packet *packet);
void print_opacket_2(const ogg_packet *packet);
void print_opage(const ogg_page *page);

#endif
