// Message boxes of the updater. By default each call opens the standard box; a test installs a
// handler that records and answers instead, so no test waits on a modal box. GUI thread only.
#ifndef UPDATER_PROMPT_H
#define UPDATER_PROMPT_H

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

class UpdaterPrompt
{
public:
    enum Kind { Critical, Warning, Information };

    struct Request {
        Kind kind = Critical;
        QWidget* parent = nullptr;
        QString title;
        QString text;
    };

    using Handler = std::function<void(const Request&)>;

    // Installs handler and returns the previous one; an empty handler restores the boxes.
    static Handler setHandler(Handler handler);

    static void critical(QWidget* parent, const QString& title, const QString& text);
    static void warning(QWidget* parent, const QString& title, const QString& text);
    static void information(QWidget* parent, const QString& title, const QString& text);

private:
    static void show(Kind kind, QWidget* parent, const QString& title, const QString& text);
};

#endif
