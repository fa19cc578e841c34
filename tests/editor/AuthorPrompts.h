// A prompt handler for tests that drive the editor as an author: progress dialogs run for real,
// our own dialogs are driven by a function, message boxes get a chosen button.
#ifndef AUTHOR_PROMPTS_H
#define AUTHOR_PROMPTS_H

#include "DlgProgBar.h"
#include "KPrompt.h"

#include <QDialog>
#include <QPushButton>
#include <QTimer>

#include <functional>

// Answers every prompt: the progress dialog runs for real, our own dialogs are driven by the
// step's function, message boxes get the step's button. Everything asked is kept.
struct Author {
    Author()
    {
        previous = KPrompt::setHandler([this](const KPrompt::Request& request) {
            KPrompt::Answer answer;
            if (auto* progress = qobject_cast<DlgProgBar*>(request.dialog)) {
                answer.button = runProgress(progress);
                return answer;
            }
            if (request.kind == KPrompt::SaveFileName) {
                answer.ok = !savePath.isEmpty();
                answer.text = savePath;
                return answer;
            }
            asked << (request.dialog ? request.dialog->windowTitle() : request.text);
            if (request.kind == KPrompt::Dialog) {
                request.dialog->show();
                answer.button = drive ? drive(request.dialog) : 0;
            } else {
                answer.button = button;
            }
            return answer;
        });
    }
    ~Author() { KPrompt::setHandler(previous); }

    // Runs the progress dialog; a failure is confirmed as the author would. The dialog's outcome
    // reads as a failure until the worker reports, so the report is known by the button turning
    // to "Ok": pressing it earlier would cancel a worker still running.
    int runProgress(DlgProgBar* dialog)
    {
        QTimer poll;
        auto* button = dialog->findChild<QPushButton*>("cancelButton");
        QObject::connect(&poll, &QTimer::timeout, dialog, [&] {
            if (dialog->outcome() == DlgProgBar::Failure && button->text() == "Ok") {
                poll.stop();
                button->click();
            }
        });
        poll.start(10);
        return dialog->exec();
    }

    std::function<int(QDialog*)> drive;
    int button = QMessageBox::Ok;
    QString savePath; // the answer to a save chooser
    QStringList asked;
    KPrompt::Handler previous;
};

#endif
