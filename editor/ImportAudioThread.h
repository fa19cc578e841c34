// Imports a list of audio files as tracks of the project document on a worker thread, under the
// progress dialog. A file the document cannot add is recorded and the next one is tried; a cancel
// is seen between two files, so every track is either wholly added or not at all.
#ifndef IMPORTAUDIOTHREAD_H
#define IMPORTAUDIOTHREAD_H

#include <QMutex>
#include <QStringList>

#include "KObjThread.h"

class KCtrlFile;

class ImportAudioThread : public KObjThread
{
    Q_OBJECT

public:
    // Imports into the main window's document (taken here, on the GUI thread).
    ImportAudioThread(const QStringList& paths, QObject* parent = nullptr);
    ImportAudioThread(const QStringList& paths, KCtrlFile* document, QObject* parent = nullptr);
    ~ImportAudioThread() override;

    // The names of the tracks added so far, in the order of their files.
    QStringList getTrackNames() const;
    // The paths of the files that could not be added.
    QStringList getFailedPaths() const;

protected:
    void run() override;

private:
    QStringList m_paths;
    KCtrlFile* m_document; // not owned
    mutable QMutex m_mutex; // guards the two lists below, read by the GUI thread
    QStringList m_trackNames;
    QStringList m_failedPaths;
};

#endif
