// A progress bar and a message label fed by a polling thread that reads a worker's progress.
#ifndef KPROGBAR_H
#define KPROGBAR_H

#include <QWidget>

class KObjProgress;
class ProgThread;
class QLabel;
class QProgressBar;

class KProgBar : public QWidget
{
    Q_OBJECT
public:
    KProgBar(KObjProgress* progress, QWidget* parent = nullptr);
    ~KProgBar() override;

    bool isRunning() const;
    QProgressBar* bar() const { return m_bar; }
    // The whole message; the label shows it elided to its width.
    QString text() const { return m_text; }

signals:
    void finished();

public slots:
    bool start();
    bool stop();
    void setProgress(int value);
    void setText(const QString& text);
    void finishedThread();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showElided();

    QProgressBar* m_bar;
    QLabel* m_label;
    KObjProgress* m_progress;
    ProgThread* m_thread = nullptr;
    QString m_text;
    bool m_polling = false; // the poller's reports are shown
};

#endif
