// The console tests' application (themed, as the widget kit's tests) and short tracks for a
// document.
#ifndef CONSOLE_TEST_ENV_H
#define CONSOLE_TEST_ENV_H

#include "../engine/AudioFixtures.h"
#include "../widgets/WidgetTestEnv.h"

#include "KObjFile.h"

#include <QStringList>

// One short mono sine track per name; the document's names for them.
inline QStringList addSineTracks(KObjFile& document, const fixtures::TempDir& dir,
                                 const QStringList& names, double seconds = 0.2)
{
    QStringList added;
    const int rate = 44100;
    for (const QString& name : names) {
        const std::string path =
            fixtures::writeAudio(dir.file(name.toStdString() + ".wav"),
                                 SF_FORMAT_WAV | SF_FORMAT_PCM_16, rate, 1,
                                 fixtures::sine(int(seconds * rate), rate, 440.0, 0.5));
        added << document.addTrack(name, QString::fromStdString(path), nullptr);
    }
    return added;
}

#endif
