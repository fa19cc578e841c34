// Helpers of the document tests: audio files generated in a temporary folder and a document
// holding tracks made from them.
#ifndef DOCUMENT_FIXTURES_H
#define DOCUMENT_FIXTURES_H

#include <QString>
#include <QStringList>

#include <ostream>

#include <sndfile.h>

#include "../engine/AudioFixtures.h"
#include "KObjFile.h"

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* out)
{
    *out << '[' << list.join(", ").toStdString() << ']';
}

// A sine file of that many seconds and channels in the folder; its path.
inline QString sineFile(const fixtures::TempDir& dir, const QString& name, double seconds,
                        int channels = 1, int sfFormat = SF_FORMAT_WAV | SF_FORMAT_PCM_16,
                        int rate = 44100)
{
    const int frames = static_cast<int>(seconds * rate);
    const std::vector<float> mono = fixtures::sine(frames, rate, 440.0, 0.5);
    std::vector<float> samples;
    samples.reserve(mono.size() * channels);
    for (float s : mono)
        for (int c = 0; c < channels; ++c)
            samples.push_back(s);
    return QString::fromStdString(
        fixtures::writeAudio(dir.file(name.toStdString()), sfFormat, rate, channels, samples));
}

// Adds one short mono track per name and returns the document's names for them.
inline QStringList addTracks(KObjFile& document, const fixtures::TempDir& dir,
                             const QStringList& names, double seconds = 0.2)
{
    QStringList added;
    for (const QString& name : names)
        added << document.addTrack(name, sineFile(dir, name + ".wav", seconds), nullptr);
    return added;
}

#endif
