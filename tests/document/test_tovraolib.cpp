// Project file streams and the stereo-to-mono conversion.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sndfile.h>

#include <cmath>
#include <vector>

#include "TovraOLib.h"

namespace {

// A 16-bit WAV of `frames` frames whose channel c at frame i holds (i + 1) * (c + 1) * 7.
void writeWav(const QString& path, int channels, int frames)
{
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    std::vector<short> samples(static_cast<size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            samples[static_cast<size_t>(i) * channels + c] = static_cast<short>((i % 1000 + 1) * (c + 1) * 7);
    sf_writef_short(file, samples.data(), frames);
    sf_close(file);
}

struct Read {
    int channels = 0;
    sf_count_t frames = 0;
    std::vector<short> samples;
};

Read readWav(const QString& path)
{
    Read read;
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return read;
    read.channels = info.channels;
    read.frames = info.frames;
    read.samples.resize(static_cast<size_t>(info.frames) * info.channels);
    sf_readf_short(file, read.samples.data(), info.frames);
    sf_close(file);
    return read;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(TovraOLib, DescriptionTextsRoundTripThroughAProjectFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.tvr");
    const QString accents = QString::fromUtf8("<TOVRA-2.0>Démo é € &lt;&amp;&gt;</TOVRA-2.0>");
    const QString large(100000, QChar('x'));
    const QString medium(65000, QChar('y'));
    for (const QString& text : {QString(), QString("0123456789"), accents, medium, large}) {
        ASSERT_TRUE(TovraOLib::writeStreamInFile(text, path)) << text.size();
        EXPECT_EQ(TovraOLib::readStreamFromFile(path), text) << text.size();
        // The container is scrambled: it never shows the Ogg capture pattern.
        EXPECT_FALSE(readAll(path).startsWith("OggS"));
    }
}

TEST(TovraOLib, ReadingWhatIsNoContainerGivesAnEmptyText)
{
    QTemporaryDir dir;
    const QString wav = dir.filePath("kick.wav");
    writeWav(wav, 1, 100);
    QFile empty(dir.filePath("empty"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    for (const QString& path : {wav, empty.fileName(), dir.filePath("missing"), QString()})
        EXPECT_TRUE(TovraOLib::readStreamFromFile(path).isEmpty()) << path.toStdString();
}

TEST(TovraOLib, WritingToAnUnwritablePlaceFailsAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.tvr");
    ASSERT_TRUE(TovraOLib::writeStreamInFile("old", path));
    EXPECT_FALSE(TovraOLib::writeStreamInFile("new", dir.filePath("no/such/folder/p.tvr")));
    EXPECT_FALSE(TovraOLib::writeStreamInFile("new", QString()));
    EXPECT_EQ(TovraOLib::readStreamFromFile(path), "old");
}

TEST(TovraOLib, StereoToMonoInPlaceGoesThroughAFreeTemporaryName)
{
    QTemporaryDir dir;
    const QString pad = dir.filePath("pad.wav");
    writeWav(pad, 2, 4410);
    const QString taken = dir.filePath("pad.0.tmp.wav");
    writeWav(taken, 1, 10);
    const QByteArray takenBytes = readAll(taken);

    // The same file named two ways is still converted through the temporary file.
    for (const QString& destination : {pad, dir.path() + "/./pad.wav"}) {
        writeWav(pad, 2, 4410);
        ASSERT_TRUE(TovraOLib::convertStereoToMono(pad, destination));
        const Read mono = readWav(pad);
        ASSERT_EQ(mono.channels, 1);
        ASSERT_EQ(mono.frames, 4410);
        for (int i = 0; i < 4410; ++i) {
            const int left = (i % 1000 + 1) * 7, right = left * 2;
            EXPECT_NEAR(mono.samples[i], (left + right) / 2.0, 1.0) << i;
        }
        EXPECT_EQ(readAll(taken), takenBytes);
        EXPECT_FALSE(QFile::exists(dir.filePath("pad.1.tmp.wav")));
    }
}

TEST(TovraOLib, StereoToMonoRefusalsKeepEverything)
{
    QTemporaryDir dir;
    const QString six = dir.filePath("six.wav");
    writeWav(six, 6, 100);
    const QByteArray sixBytes = readAll(six);
    const QString mono = dir.filePath("mono.wav");
    writeWav(mono, 1, 100);
    struct Case {
        QString source, destination;
    } cases[] = {{"", dir.filePath("out.wav")},
                 {six, ""},
                 {six, dir.filePath("out.wav")},
                 {six, six},
                 {mono, mono},
                 {dir.filePath("missing.wav"), dir.filePath("out.wav")}};
    for (const Case& c : cases)
        EXPECT_FALSE(TovraOLib::convertStereoToMono(c.source, c.destination))
            << c.source.toStdString() << " -> " << c.destination.toStdString();
    EXPECT_EQ(readAll(six), sixBytes);
    EXPECT_EQ(readWav(mono).frames, 100);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST(TovraOLib, StereoToMonoToAnotherFile)
{
    QTemporaryDir dir;
    const QString pad = dir.filePath("pad.wav");
    writeWav(pad, 2, 300);
    const QString out = dir.filePath("out.wav");
    ASSERT_TRUE(TovraOLib::convertStereoToMono(pad, out));
    EXPECT_EQ(readWav(out).channels, 1);
    EXPECT_EQ(readWav(pad).channels, 2);
}

TEST(TovraOLib, MessagesOfResultCodes)
{
    EXPECT_FALSE(TovraOLib::getMsgError(-201).isEmpty());
    EXPECT_NE(TovraOLib::getMsgError(-201), TovraOLib::getMsgError(-101));
}
