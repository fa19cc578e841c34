// The one road to the user's modal answers: message boxes, file choosers, input dialogs and our
// own modal dialogs. By default each call opens the standard Qt dialog exactly as asked; a test
// installs a handler that answers instead, so no test ever waits on a modal dialog.
// GUI thread only.
#ifndef KPROMPT_H
#define KPROMPT_H

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>

class QDialog;
class QWidget;

class KPrompt
{
public:
    enum Kind {
        Critical,
        Warning,
        Information,
        Question,
        OpenFileName,
        OpenFileNames,
        SaveFileName,
        ExistingDirectory,
        TextInput,
        IntInput,
        DoubleInput,
        ItemInput,
        Dialog
    };

    // What was asked. title is the window title or the chooser's caption; text is the message,
    // the input label or the chooser's start folder.
    struct Request {
        Kind kind = Critical;
        QWidget* parent = nullptr;
        QString title;
        QString text;
        QString filter;          // file choosers
        QString value;           // text input: proposed text; item input: current item
        QStringList items;       // item input
        double number = 0.0;     // int and double input: proposed value
        QMessageBox::StandardButtons buttons = QMessageBox::NoButton;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        QDialog* dialog = nullptr; // Dialog: the dialog that would have been run
    };

    // The answer a handler gives. button: the standard button of a message box, or the result
    // of a dialog. ok: false when an input dialog or chooser was cancelled.
    struct Answer {
        int button = 0;
        bool ok = false;
        QString text;
        QStringList texts;
        double number = 0.0;
    };

    using Handler = std::function<Answer(const Request&)>;

    // Installs the handler and returns the previous one; an empty handler restores the standard
    // dialogs.
    static Handler setHandler(Handler handler);
    static bool hasHandler();

    static QMessageBox::StandardButton critical(QWidget* parent, const QString& title,
                                                const QString& text,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton warning(QWidget* parent, const QString& title,
                                               const QString& text,
                                               QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                               QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton information(QWidget* parent, const QString& title,
                                                   const QString& text,
                                                   QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                   QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton question(QWidget* parent, const QString& title,
                                                const QString& text,
                                                QMessageBox::StandardButtons buttons =
                                                    QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No),
                                                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    static QString getOpenFileName(QWidget* parent = nullptr, const QString& caption = QString(),
                                   const QString& dir = QString(), const QString& filter = QString(),
                                   QString* selectedFilter = nullptr,
                                   QFileDialog::Options options = QFileDialog::Options());
    static QStringList getOpenFileNames(QWidget* parent = nullptr, const QString& caption = QString(),
                                        const QString& dir = QString(), const QString& filter = QString(),
                                        QString* selectedFilter = nullptr,
                                        QFileDialog::Options options = QFileDialog::Options());
    static QString getSaveFileName(QWidget* parent = nullptr, const QString& caption = QString(),
                                   const QString& dir = QString(), const QString& filter = QString(),
                                   QString* selectedFilter = nullptr,
                                   QFileDialog::Options options = QFileDialog::Options());
    static QString getExistingDirectory(QWidget* parent = nullptr, const QString& caption = QString(),
                                        const QString& dir = QString(),
                                        QFileDialog::Options options = QFileDialog::ShowDirsOnly);

    static QString getText(QWidget* parent, const QString& title, const QString& label,
                           QLineEdit::EchoMode echo = QLineEdit::Normal, const QString& text = QString(),
                           bool* ok = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    static int getInt(QWidget* parent, const QString& title, const QString& label, int value = 0,
                      int minValue = -2147483647, int maxValue = 2147483647, int step = 1,
                      bool* ok = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    static double getDouble(QWidget* parent, const QString& title, const QString& label,
                            double value = 0, double minValue = -2147483647,
                            double maxValue = 2147483647, int decimals = 1, bool* ok = nullptr,
                            Qt::WindowFlags flags = Qt::WindowFlags());
    static QString getItem(QWidget* parent, const QString& title, const QString& label,
                           const QStringList& items, int current = 0, bool editable = true,
                           bool* ok = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

    // Runs a modal dialog of our own (dialog->exec()), or lets the handler answer for it; the
    // handler may drive the dialog (click its buttons) and returns its result.
    static int exec(QDialog* dialog);

private:
    static QMessageBox::StandardButton messageBox(Kind kind, QWidget* parent, const QString& title,
                                                  const QString& text,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::StandardButton defaultButton);
};

#endif
