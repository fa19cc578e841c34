// The main window with a small project open and the export page reached, and a prompt handler
// that answers boxes and file choosers as scripted and runs the progress dialog to its end.
#ifndef EXPORT_FIXTURE_H
#define EXPORT_FIXTURE_H

#include "DlgProgBar.h"
#include "ExportUI.h"
#include "KCtrlFile.h"
#include "KProgBar.h"
#include "KProjectLock.h"
#include "MainWindowFixture.h"
#include "ProjectFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

class ExportPrompts
{
public:
    ExportPrompts()
    {
        previous = KPrompt::setHandler([this](const KPrompt::Request& request) {
            asked << request;
            KPrompt::Answer answer;
            answer.button = request.kind == KPrompt::Question ? questionButton : QMessageBox::Ok;
            answer.text = savePath;
            answer.ok = !savePath.isEmpty();
            if (auto* progress = qobject_cast<DlgProgBar*>(request.dialog))
                answer.button = runProgress(progress);
            return answer;
        });
    }
    ~ExportPrompts()
    {
        releaseWorker();
        KPrompt::setHandler(previous);
    }

    // Every export worker clones the project under the project lock before it renders: with the
    // lock held here (recursive, so the GUI thread goes on), the worker waits at its first step
    // until the progress dialog has been answered, however fast or slow the machine is.
    void holdWorker()
    {
        if (!workerHeld)
            k_lockProject();
        workerHeld = true;
    }

    QStringList texts() const
    {
        QStringList shown;
        for (const KPrompt::Request& request : asked)
            shown << request.text;
        return shown;
    }

    QList<KPrompt::Request> asked;
    int questionButton = QMessageBox::Yes;
    QString savePath;
    bool cancel = false;
    // The last progress dialog's title, final text and the cause shown under it (if any).
    QString progressTitle, progressText, progressCause;
    QString screenName;

private:
    // Waits for the worker's report (or cancels at once), then closes the dialog as a user would.
    int runProgress(DlgProgBar* dialog)
    {
        dialog->QDialog::open();
        auto* button = dialog->findChild<QPushButton*>("cancelButton");
        if (!button)
            return 0;
        if (!cancel) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return button->text() == "Ok"; }, 120000));
        }
        progressTitle = dialog->windowTitle();
        progressText = dialog->progressBar()->text();
        auto* cause = dialog->findChild<QLabel*>("label");
        progressCause = cause && cause->isVisible() ? cause->text() : QString();
        if (!screenName.isEmpty())
            grabToScreens(dialog, screenName);
        QTest::mouseClick(button, Qt::LeftButton);
        releaseWorker();
        EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->isHidden(); }, 120000));
        return 0;
    }

    void releaseWorker()
    {
        if (workerHeld)
            k_unlockProject();
        workerHeld = false;
    }

    KPrompt::Handler previous;
    bool workerHeld = false;
};

class ExportTest : public MainWindowTest
{
protected:
    // Tracks a and b placed in group G; with a stored mix "M" of both when asked.
    void openProject(bool withMix, double seconds = 0.5)
    {
        window->getParams()->setLanguage("EN");
        ASSERT_TRUE(window->newProject(false));
        doc = window->getTovraFile();
        for (const QString name : {"a", "b"})
            tracks << doc->addTrack(name, sine(name + ".wav", seconds), nullptr);
        ASSERT_TRUE(doc->createGroup("G", tracks, 0, -1));
        if (withMix) {
            for (const QString& track : tracks)
                ASSERT_TRUE(doc->addTrackInCurMix(track));
            ASSERT_TRUE(doc->saveCurrentMix("M"));
        }
        showExportPage();
    }
    void showExportPage()
    {
        window->changeViewMenu(4);
        page = window->getExportPage();
    }
    // A mono 16-bit WAV sine of the given length at 44100 Hz.
    QString sine(const QString& name, double seconds) const
    {
        const int frames = int(seconds * 44100);
        return QString::fromStdString(fixtures::writeAudio(dir.file(name.toStdString()),
                                                           SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1,
                                                           fixtures::sine(frames, 44100, 440, 0.5)));
    }
    QString file(const char* name) const { return QString::fromStdString(dir.file(name)); }
    void setPath(const QString& path) { page->form().lineEdit_2->setText(path); }
    void chooseFormat(const QString& name)
    {
        const int index = page->form().comboBox2_2->findText(name);
        ASSERT_GE(index, 0) << name.toStdString();
        page->form().comboBox2_2->setCurrentIndex(index);
    }
    void chooseRate(double rate)
    {
        const int index = page->form().comboBox1_2->findText(QString::number(rate, 'f', 1) + " Hz");
        ASSERT_GE(index, 0);
        page->form().comboBox1_2->setCurrentIndex(index);
    }
    void clickExport() { page->form().okButton_2->click(); }

    fixtures::TempDir dir;
    KCtrlFile* doc = nullptr;
    ExportUI* page = nullptr;
    QStringList tracks;
};

#endif
