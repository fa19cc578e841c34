// The modal progress dialog that runs one worker to its end: a bar and a message polled from
// the worker, its success or error text, and a cancel that asks the worker to stop and closes
// once it has ended. No thread is ever killed and the dialog never blocks while waiting.
#ifndef DLGPROGBAR_H
#define DLGPROGBAR_H

#include <QDialog>

class KObjThread;
class KProgBar;
class QLabel;
class QPushButton;
class QVBoxLayout;

class DlgProgBar : public QDialog
{
    Q_OBJECT
public:
    enum Result { Success, Failure, Cancelled };

    static QString SuccessEndMsg;
    static QString ErrorEndMsg;

    // Runs the worker under the dialog and returns once it has ended. A worker without a
    // progress record is never started.
    static Result open(bool autoClose, KObjThread* thread, const QString& title,
                       const QString& successMsg, const QString& errorMsg, QWidget* parent,
                       const QString& imagePath = QString());

    DlgProgBar(bool autoClose, KObjThread* thread, const QString& title, QWidget* parent);

    void setSuccessMsg(const QString& text);
    void setErrorMsg(const QString& text);
    void setImage(const QString& path);
    bool start();

    Result outcome() const { return m_outcome; }
    KProgBar* progressBar() const { return m_progBar; }

public slots:
    void stop_ok();
    void stop_bad();
    void cancelAction();
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void workerEnded();

    bool m_autoClose;
    KObjThread* m_thread;
    QString m_successMsg;
    QString m_errorMsg;
    QVBoxLayout* m_layout;
    QLabel* m_label;
    QPushButton* m_cancelButton;
    KProgBar* m_progBar;
    bool m_reported = false;   // the worker has emitted success() or failure()
    bool m_cancelling = false; // cancel asked; the dialog closes when the worker has ended
    Result m_outcome = Failure;
};

#endif
