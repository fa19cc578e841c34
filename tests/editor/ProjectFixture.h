// Project files for the editor tests: short sine tracks in a temporary folder, a project of a
// few tracks, groups and rules written in the project file format, and what identifies a
// project when it comes back.
#ifndef PROJECT_FIXTURE_H
#define PROJECT_FIXTURE_H

#include "../engine/AudioFixtures.h"
#include "KCtrlFile.h"
#include "KXml.h"
#include "TovraOLib.h"

#include <QStringList>

#include <memory>

inline QString sineTrack(const fixtures::TempDir& dir, const QString& name)
{
    return QString::fromStdString(fixtures::writeAudio(dir.file(name.toStdString()), SF_FORMAT_WAV | SF_FORMAT_PCM_16,
                                                       44100, 1, fixtures::sine(4410, 44100, 440, 0.5)));
}

// A stereo sine file of 0.1 s.
inline QString stereoTrack(const fixtures::TempDir& dir, const QString& name)
{
    std::vector<float> both;
    for (float sample : fixtures::sine(4410, 44100, 440, 0.5))
        both.insert(both.end(), {sample, sample});
    return QString::fromStdString(
        fixtures::writeAudio(dir.file(name.toStdString()), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, both));
}

// The description text wrapped as a project file, written at path. Root and engine header may
// be changed to make foreign files.
inline bool writeProjectFile(const KObjFile& document, const QString& path,
                             const QString& root = "SONARIC_PROJECT")
{
    KXml wrapper(root, QString());
    KXml* description = document.exportToXmlDesc(false);
    const bool added = description && wrapper.addSubObject(description);
    delete description;
    return added && TovraOLib::writeStreamInFile(wrapper.exportToStream(), path);
}

// Tracks bass, drums, voice, keys from WAVs in dir; groups "Rhythm" (bass, drums) and "Top"
// (voice, keys); an exclusion between bass and drums and keys implying voice.
inline bool buildProject(KCtrlFile& document, const fixtures::TempDir& dir)
{
    for (const QString name : {"bass", "drums", "voice", "keys"})
        if (document.addTrack(name, sineTrack(dir, name + ".wav"), nullptr) != name)
            return false;
    return document.createGroupWithRemovingElements("Rhythm", {"bass", "drums"}, 0, 2) &&
           document.createGroupWithRemovingElements("Top", {"voice", "keys"}, 0, 2) &&
           !document.createExclu({"bass", "drums"}, "one at a time").isEmpty() &&
           !document.createImply("keys", {"voice"}, "keys need voice").isEmpty();
}

// Everything the project holds, as its own description text.
inline QString projectText(const KObjFile& document)
{
    std::unique_ptr<KXml> description(document.exportToXmlDesc(false));
    return description ? description->exportToStream() : QString();
}

#endif
