// Small audio fixtures generated at test time with libsndfile: sines, clicks and silence in
// every format the engine reads, written into a temporary folder removed with the fixture.
#ifndef AUDIOFIXTURES_H
#define AUDIOFIXTURES_H

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include <ogg/ogg.h>
#include <sndfile.h>

namespace fixtures {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir()
    {
        static std::atomic<int> counter{0};
        m_path = std::filesystem::temp_directory_path() /
                 ("tovra-audio-" + std::to_string(getpid()) + "-" +
                  std::to_string(counter.fetch_add(1)));
        std::filesystem::create_directories(m_path);
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::filesystem::path &path() const { return m_path; }
    std::string file(const std::string &name) const { return (m_path / name).string(); }
    // Names in the folder, sorted: to check that nothing was left behind.
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator(m_path))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path m_path;
};

struct FileFormat {
    const char *name;      // for test names
    const char *extension; // chooses the engine's reader
    int sfFormat;          // libsndfile format written
    double tolerance;      // largest expected sample error when read back as float
};

// Every format the engine reads, with how exactly each one returns what was written.
inline const std::vector<FileFormat> &allFormats()
{
    static const std::vector<FileFormat> formats = {
        {"Wav16", "wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1.0 / 32768 + 1e-6},
        {"Wav24", "wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1.0 / 8388608 + 1e-6},
        {"WavFloat", "wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1e-7},
        {"Aiff16", "aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 1.0 / 32768 + 1e-6},
        {"Au16", "au", SF_FORMAT_AU | SF_FORMAT_PCM_16, 1.0 / 32768 + 1e-6},
        {"Flac16", "flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1.0 / 32768 + 1e-6},
        {"Caf16", "caf", SF_FORMAT_CAF | SF_FORMAT_PCM_16, 1.0 / 32768 + 1e-6},
        // Lossy: checked by level and frequency rather than sample by sample.
        {"OggVorbis", "ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 0.05},
    };
    return formats;
}

inline std::vector<float> sine(int frames, double rate, double frequency, double amplitude)
{
    std::vector<float> samples(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i)
        samples[i] = static_cast<float>(amplitude * std::sin(2.0 * M_PI * frequency * i / rate));
    return samples;
}

// One full-scale-ish sample at position, silence elsewhere.
inline std::vector<float> click(int frames, int position, float value = 0.9f)
{
    std::vector<float> samples(static_cast<size_t>(frames), 0.0f);
    if (position >= 0 && position < frames)
        samples[position] = value;
    return samples;
}

inline std::vector<float> silence(int frames)
{
    return std::vector<float>(static_cast<size_t>(frames), 0.0f);
}

inline std::vector<float> interleave(const std::vector<float> &left,
                                     const std::vector<float> &right)
{
    std::vector<float> frames(left.size() * 2);
    for (size_t i = 0; i < left.size(); ++i) {
        frames[2 * i] = left[i];
        frames[2 * i + 1] = right[i];
    }
    return frames;
}

// Writes interleaved samples as a file of the given format; throws when libsndfile refuses.
inline std::string writeAudio(const std::string &path, int sfFormat, int rate, int channels,
                              const std::vector<float> &interleaved)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = sfFormat;
    SNDFILE *file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        throw std::runtime_error("cannot write fixture " + path + ": " + sf_strerror(nullptr));
    const sf_count_t frames = static_cast<sf_count_t>(interleaved.size()) / channels;
    const sf_count_t written = sf_writef_float(file, interleaved.data(), frames);
    sf_close(file);
    if (written != frames)
        throw std::runtime_error("short write of fixture " + path);
    return path;
}

// Reads a whole file back with libsndfile, as floats.
inline std::vector<float> readAudio(const std::string &path, SF_INFO *info = nullptr)
{
    SF_INFO local{};
    SNDFILE *file = sf_open(path.c_str(), SFM_READ, &local);
    if (!file)
        throw std::runtime_error("cannot read " + path + ": " + sf_strerror(nullptr));
    std::vector<float> samples(static_cast<size_t>(local.frames * local.channels));
    sf_readf_float(file, samples.data(), local.frames);
    sf_close(file);
    if (info)
        *info = local;
    return samples;
}

// The processor time this thread has used, in seconds: unlike the wall clock, it does not grow
// while other work on a loaded machine holds the processor.
inline double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

inline std::string readBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What a device played, read from the disk driver's raw 16-bit file, with the whole silent blocks
// left out: a callback that found no block ready plays one block of silence. Returns the offset at
// which `want` starts in what is left, or -1 when it is not there whole.
inline long findRenderInPlayed(const std::string &playedFile, const std::vector<int16_t> &want,
                               size_t block, std::vector<int16_t> *played)
{
    const std::string bytes = readBytes(playedFile);
    std::vector<int16_t> stream(bytes.size() / 2);
    std::memcpy(stream.data(), bytes.data(), stream.size() * 2);
    played->clear();
    for (size_t at = 0; at + block <= stream.size(); at += block)
        if (std::any_of(stream.begin() + at, stream.begin() + at + block,
                        [](int16_t v) { return v != 0; }))
            played->insert(played->end(), stream.begin() + at, stream.begin() + at + block);
    for (size_t start = 0; start + want.size() <= played->size(); start += block)
        if (std::equal(want.begin(), want.begin() + std::min(block, want.size()), played->begin() + start))
            return static_cast<long>(start);
    return -1;
}

inline void writeBytes(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// An Ogg Vorbis image (unscrambled) whose n-th setup header (counting from 0) has an
// overpopulated first codebook, every code length set to 1: the headers still parse but the
// codebook cannot be built. The page holding it gets a fresh checksum.
inline std::string breakCodebook(std::string image, int n = 0)
{
    size_t at = std::string::npos;
    for (int i = 0; i <= n; ++i)
        at = image.find(std::string("\x05vorbis", 7), at == std::string::npos ? 0 : at + 1);
    if (at == std::string::npos)
        throw std::runtime_error("no such setup header");
    unsigned char *setup = reinterpret_cast<unsigned char *>(&image[at]);
    // Packet type and "vorbis", the book count, "BCV", dimensions (16 bits), entries (24 bits),
    // then the ordered and sparse flags and a 5-bit length per entry.
    const int entries = setup[13] | setup[14] << 8 | setup[15] << 16;
    if (setup[8] != 'B' || (setup[16] & 3) != 0)
        throw std::runtime_error("first codebook not in the plain form");
    for (int bit = 2; bit < 2 + 5 * entries; ++bit)
        setup[16 + bit / 8] &= static_cast<unsigned char>(~(1u << (bit % 8)));
    const size_t pageAt = image.rfind("OggS", at);
    unsigned char *page = reinterpret_cast<unsigned char *>(&image[pageAt]);
    long body = 0;
    for (int s = 0; s < page[26]; ++s)
        body += page[27 + s];
    ogg_page og;
    og.header = page;
    og.header_len = 27 + page[26];
    og.body = page + og.header_len;
    og.body_len = body;
    ogg_page_checksum_set(&og);
    return image;
}

// Root-mean-square level of one channel of interleaved samples, over [from, to) frames.
inline double rms(const std::vector<float> &samples, int channels, int channel, size_t from,
                  size_t to)
{
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) {
        const double v = samples[i * channels + channel];
        sum += v * v;
    }
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

} // namespace fixtures

#endif
