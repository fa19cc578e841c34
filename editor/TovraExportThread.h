// Runs exports of the distributable file from the export dialog: it opens the dialog over a
// document, turns the dialog's choices into a stream format, runs the export on a worker
// thread while the dialog shows its progress, and reports success, cancel or failure.
#ifndef TOVRAEXPORTTHREAD_H
#define TOVRAEXPORTTHREAD_H

#include <QObject>
#include <QPointer>

class DlgExportToTovraUI;
class ExportThread;
class KCtrlFile;
class KObjProgress;
class SonaricParams;
class QWidget;
struct KStreamFormat;

class TovraExportThread : public QObject
{
    Q_OBJECT

public:
    enum Outcome { Succeeded = 0, Cancelled = 1, Failed = 2 };

    // document and params are not owned; params may be null.
    TovraExportThread(KCtrlFile* document, SonaricParams* params, QWidget* parent = nullptr);
    // Stops a running export and waits for it.
    ~TovraExportThread() override;

    // Shows the dialog, set up for the document: the default-mix choice when it has no stored
    // mix, the rates of its tracks. Returns at once; finished() tells the end.
    void launch();
    DlgExportToTovraUI* dialog() const { return m_dialog; }
    bool isRunning() const { return m_worker != nullptr; }

signals:
    // The dialog has closed after a successful export (Succeeded) or a cancel (Cancelled); a
    // failed export keeps it open for another try and reports Failed.
    void finished(int outcome);

private:
    void exportRequested();
    void cancelRequested();
    void workerEnded(bool ok);
    void release();

    QPointer<KCtrlFile> m_document;
    SonaricParams* m_params;
    DlgExportToTovraUI* m_dialog;
    ExportThread* m_worker = nullptr;
    KObjProgress* m_progress = nullptr;
    KStreamFormat* m_format = nullptr;
    bool m_cancelAsked = false;
};

#endif
