#include "KContainerExtras.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "KContainer.h"
#include "KScramble.h"

namespace {

// The whole descrambled range [position, position + length) of the stream, or false.
bool readAt(FILE *stream, int64_t position, size_t length, unsigned char *out)
{
    return fseeko(stream, static_cast<off_t>(position), SEEK_SET) == 0 &&
           (length == 0 || tvrReadFunc(out, 1, length, stream) == length);
}

int64_t littleEndian64(const unsigned char *in)
{
    uint64_t v = 0;
    for (int b = 7; b >= 0; --b)
        v = (v << 8) | in[b];
    return static_cast<int64_t>(v);
}

} // namespace

int InsertDescFile(ogg_stream_state *state, const char *path, FILE *stream)
{
    FILE *in = path ? std::fopen(path, "rb") : nullptr;
    if (!in) {
        std::fprintf(stderr, "ERROR InsertDescFile : cannot open file %s\n", path ? path : "");
        return -1;
    }
    std::string text;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), in)) > 0)
        text.append(buffer, got);
    const bool failed = std::ferror(in) != 0 || text.size() > KCONTAINER_MAX_DESCRIPTION;
    std::fclose(in);
    if (failed) {
        std::fprintf(stderr, "ERROR InsertDescFile : cannot read on file %s\n", path);
        return -2;
    }
    return insertXmlStream(state, stream, text.data(), static_cast<long>(text.size()));
}

long GetPage(FILE *stream)
{
    if (!stream)
        return -1;
    const off_t start = ftello(stream);
    unsigned char header[27 + 255];
    if (start < 0 || !readAt(stream, start, 27, header) || std::memcmp(header, "OggS", 4) != 0)
        return -1;
    const int segments = header[26];
    if (!readAt(stream, start + 27, static_cast<size_t>(segments), header + 27))
        return -1;
    long body = 0;
    for (int s = 0; s < segments; ++s)
        body += header[27 + s];
    const long headerBytes = 27 + segments;
    std::vector<unsigned char> skipped(static_cast<size_t>(body));
    if (!readAt(stream, start + headerBytes, skipped.size(), skipped.data()))
        return -1;
    std::printf("header : %ld - body : %ld\n", headerBytes, body);
    return headerBytes + body;
}

int k_read_ogg(const char *path)
{
    FILE *stream = path ? std::fopen(path, "rb") : nullptr;
    if (!stream)
        return -1;
    int result = -1;
    unsigned char bytes[8];
    int64_t size = -1;
    if (fseeko(stream, 0, SEEK_END) == 0)
        size = ftello(stream);
    const int64_t n = size >= 8 && readAt(stream, size - 8, 8, bytes) ? littleEndian64(bytes) : -1;
    if (n >= 0 && n <= size / 8 - 1) {
        const int64_t table = size - 8 * (n + 1);
        result = static_cast<int>(n);
        for (int64_t k = 0; k < n && result >= 0; ++k) {
            unsigned char magic[5] = {};
            int64_t offset = -1;
            if (!readAt(stream, table + 8 * k, 8, bytes) ||
                (offset = littleEndian64(bytes)) < 0 || offset + 4 > table ||
                !readAt(stream, offset, 4, magic)) {
                result = -1;
                break;
            }
            for (unsigned char &c : magic)
                if (c != 0 && (c < 0x20 || c > 0x7E))
                    c = '.';
            std::printf("%d) %lld : %s\n", static_cast<int>(k), static_cast<long long>(offset),
                        reinterpret_cast<const char *>(magic));
        }
    }
    std::fclose(stream);
    return result;
}

long findKStringInFile(const char *path, const char *text)
{
    const size_t length = text ? std::strlen(text) : 0;
    FILE *stream = path && length > 0 ? std::fopen(path, "rb") : nullptr;
    if (!stream)
        return -1;
    // Descrambled chunks, each searched with the last length - 1 bytes of the one before.
    std::string window;
    int64_t windowStart = 0; // file position of window[0]
    long count = 0;
    std::vector<char> chunk(1 << 16);
    for (;;) {
        const size_t got = tvrReadFunc(chunk.data(), 1, chunk.size(), stream);
        if (got == 0)
            break;
        window.append(chunk.data(), got);
        for (size_t at = window.find(text); at != std::string::npos;
             at = window.find(text, at + 1)) {
            std::printf("%lld\n", static_cast<long long>(windowStart + static_cast<int64_t>(at)));
            ++count;
        }
        const size_t keep = std::min(window.size(), length - 1);
        windowStart += static_cast<int64_t>(window.size() - keep);
        window.erase(0, window.size() - keep);
    }
    const bool failed = std::ferror(stream) != 0;
    std::fclose(stream);
    return failed ? -1 : count;
}

void print_opacket(const ogg_packet *packet)
{
    if (!packet)
        return;
    std::printf("packet : bytes %ld - b_o_s %ld - e_o_s %ld - granulepos %lld - packetno %lld\n",
                packet->bytes, packet->b_o_s, packet->e_o_s,
                static_cast<long long>(packet->granulepos),
                static_cast<long long>(packet->packetno));
}

void print_opacket_2(const ogg_packet *packet)
{
    if (!packet)
        return;
    std::printf("bytes : %ld\nb_o_s : %ld\ne_o_s : %ld\ngranulepos : %lld\npacketno : %lld\n",
                packet->bytes, packet->b_o_s, packet->e_o_s,
                static_cast<long long>(packet->granulepos),
                static_cast<long long>(packet->packetno));
    std::printf("data :");
    for (long i = 0; packet->packet && i < std::min<long>(packet->bytes, 16); ++i)
        std::printf(" %02x", packet->packet[i]);
    std::printf("\n");
}

void print_opage(const ogg_page *page)
{
    if (!page)
        return;
    ogg_page copy = *page; // libogg's readers take a non-const page
    std::printf("page : header %ld - body %ld - version %d - continued %d - bos %d - eos %d - "
                "granulepos %lld - serialno %d - pageno %ld - packets %d\n",
                copy.header_len, copy.body_len, ogg_page_version(&copy),
                ogg_page_continued(&copy) != 0, ogg_page_bos(&copy) != 0, ogg_page_eos(&copy) != 0,
                static_cast<long long>(ogg_page_granulepos(&copy)), ogg_page_serialno(&copy),
                ogg_page_pageno(&copy), ogg_page_packets(&copy));
}
