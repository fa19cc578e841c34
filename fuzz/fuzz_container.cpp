// Reads arbitrary container images: the input is the unscrambled image, whose Ogg page checksums
// are set right here (so mutations reach past the page checks, which the unit tests cover) and
// which is then scrambled, so the readers see what a damaged file would give them. Every reader
// must refuse bad input with a message, never crash, hang or allocate without bound. Stderr
// diagnostics are expected.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <ogg/ogg.h>

#include "KCodecVorbis.h"
#include "KContainer.h"
#include "KOggSndfile.h"
#include "KScramble.h"
#include "tvr_utils.h"

namespace
{

const std::string &imagePath()
{
    static const std::string path = "/tmp/fuzz-container-" + std::to_string(getpid()) + ".tvx";
    return path;
}

// At most this much audio is decoded per track, so a long valid track cannot time out.
constexpr int kMaxBytes = 1 << 20;

void readUncompressed(const char *path, int k)
{
    SOggSF *track = k_oggSndfileOpen(path, k);
    if (!track)
        return;
    std::vector<char> buffer(8192);
    int total = 0, got;
    while (total < kMaxBytes && (got = k_sndfile_read(track, buffer.data(), 8192)) > 0)
        total += got;
    k_sndfile_seek(track, 3);
    k_sndfile_read(track, buffer.data(), 100);
    k_sndfile_close(&track);
}

void readVorbis(const char *path, int link)
{
    KCodecVorbis *track = tvrVorbis_load(path, link, 0, 2, 0.0);
    if (!track)
        return;
    std::vector<char> buffer(8192);
    int total = 0, got;
    while (total < kMaxBytes && (got = tvrVorbis_read(track, buffer.data(), 8192)) > 0)
        total += got;
    tvrVorbis_seek(track, 5);
    tvrVorbis_read(track, buffer.data(), 100);
    KCodecVorbis_close(&track);
}

// Sets the checksum of every page found walking the image from its start.
void setPageChecksums(std::vector<uint8_t> &image)
{
    size_t at = 0;
    while (at + 27 <= image.size()) {
        uint8_t *page = image.data() + at;
        const size_t segments = page[26];
        if (std::memcmp(page, "OggS", 4) != 0 || at + 27 + segments > image.size()) {
            ++at;
            continue;
        }
        size_t body = 0;
        for (size_t s = 0; s < segments; ++s)
            body += page[27 + s];
        if (at + 27 + segments + body > image.size()) {
            ++at;
            continue;
        }
        ogg_page og;
        og.header = page;
        og.header_len = static_cast<long>(27 + segments);
        og.body = page + 27 + segments;
        og.body_len = static_cast<long>(body);
        ogg_page_checksum_set(&og);
        at += 27 + segments + body;
    }
}

} // namespace

// libvorbisfile 1.3.7 leaks serial-number lists and the stream headers of the links it had read
// when ov_open_callbacks refuses some damaged chains; those leaks are the library's, not the
// readers'. Fast unwinding may stop inside libvorbis, so both libraries are named.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libvorbisfile.so\nleak:libvorbis.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<uint8_t> image(data, data + size);
    setPageChecksums(image);
    ke(image.data(), image.size(), 0);
    const char *path = imagePath().c_str();
    FILE *out = std::fopen(path, "wb");
    if (!out)
        return 0;
    const bool written = std::fwrite(image.data(), 1, image.size(), out) == image.size();
    std::fclose(out);
    if (!written)
        return 0;

    tvr_free(extractXmlDescFromOgg(path));
    KFile *project = OpenTovraFile(path);
    if (project)
        _freeZark(project);
    for (int k = 0; k < 3; ++k)
        readUncompressed(path, k);
    for (int link = 0; link < 2; ++link)
        readVorbis(path, link);
    unlink(path);
    return 0;
}
