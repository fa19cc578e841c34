// The two exports on worker threads under the progress dialog: the distributable file of the
// project (ExportThread) and one stored mix rendered to an audio file (ExportTovixThread). Both
// write through the document, which writes a temporary file and renames it over the target only
// when every write succeeded; a cancel marks the progress record stopped, which the engine's
// writers poll, so the export ends early and leaves the old file and the project as they were.
#ifndef EXPORTTHREAD_H
#define EXPORTTHREAD_H

#include <QString>

#include "KObjFile.h"
#include "KObjThread.h"

class KCtrlFile;
struct KStreamFormat;

class ExportThread : public KObjThread
{
    Q_OBJECT

public:
    // Exports the main window's document (taken here, on the GUI thread). The author's song
    // metadata must be stored in the document before the thread starts.
    ExportThread(const QString& path, KStreamFormat* format, KObjProgress* progress,
                 KObjFile::EDefMix policy, QObject* parent = nullptr);
    ExportThread(const QString& path, KStreamFormat* format, KObjProgress* progress,
                 KObjFile::EDefMix policy, KCtrlFile* document, QObject* parent = nullptr);
    ~ExportThread() override;

protected:
    void run() override;

private:
    QString m_path;
    KStreamFormat* m_format; // not owned
    KObjFile::EDefMix m_policy;
    KCtrlFile* m_document;   // not owned
};

class ExportTovixThread : public KObjThread
{
    Q_OBJECT

public:
    ExportTovixThread(const QString& mix, const QString& path, KStreamFormat* format,
                      KObjProgress* progress, KCtrlFile* document, QObject* parent = nullptr);
    ~ExportTovixThread() override;

protected:
    void run() override;

private:
    QString m_mix;
    QString m_path;
    KStreamFormat* m_format; // not owned
    KCtrlFile* m_document;   // not owned
};

#endif
