#include "UpdaterPrompt.h"

namespace {
UpdaterPrompt::Handler& installedHandler()
{
    static UpdaterPrompt::Handler handler;
    return handler;
}
} // namespace

UpdaterPrompt::Handler UpdaterPrompt::setHandler(Handler handler)
{
    Handler previous = std::move(installedHandler());
    installedHandler() = std::move(handler);
    return previous;
}

void UpdaterPrompt::critical(QWidget* parent, const QString& title, const QString& text)
{
    show(Critical, parent, title, text);
}

void UpdaterPrompt::warning(QWidget* parent, const QString& title, const QString& text)
{
    show(Warning, parent, title, text);
}

void UpdaterPrompt::information(QWidget* parent, const QString& title, const QString& text)
{
    show(Information, parent, title, text);
}

void UpdaterPrompt::show(Kind kind, QWidget* parent, const QString& title, const QString& text)
{
    if (installedHandler()) {
        installedHandler()(Request{kind, parent, title, text});
        return;
    }
    switch (kind) {
    case Warning:
        QMessageBox::warning(parent, title, text, QMessageBox::Ok);
        break;
    case Information:
        QMessageBox::information(parent, title, text, QMessageBox::Ok);
        break;
    case Critical:
        QMessageBox::critical(parent, title, text, QMessageBox::Ok);
        break;
    }
}
