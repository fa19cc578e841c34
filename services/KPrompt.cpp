#include "KPrompt.h"

#include <QDialog>

namespace {
KPrompt::Handler& installedHandler()
{
    static KPrompt::Handler handler;
    return handler;
}

KPrompt::Answer ask(const KPrompt::Request& request)
{
    return installedHandler()(request);
}
} // namespace

KPrompt::Handler KPrompt::setHandler(Handler handler)
{
    Handler previous = std::move(installedHandler());
    installedHandler() = std::move(handler);
    return previous;
}

bool KPrompt::hasHandler()
{
    return static_cast<bool>(installedHandler());
}

QMessageBox::StandardButton KPrompt::messageBox(Kind kind, QWidget* parent, const QString& title,
                                                const QString& text,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton)
{
    if (hasHandler()) {
        Request request;
        request.kind = kind;
        request.parent = parent;
        request.title = title;
        request.text = text;
        request.buttons = buttons;
        request.defaultButton = defaultButton;
        return static_cast<QMessageBox::StandardButton>(ask(request).button);
    }
    switch (kind) {
    case Warning:
        return QMessageBox::warning(parent, title, text, buttons, defaultButton);
    case Information:
        return QMessageBox::information(parent, title, text, buttons, defaultButton);
    case Question:
        return QMessageBox::question(parent, title, text, buttons, defaultButton);
    default:
        return QMessageBox::critical(parent, title, text, buttons, defaultButton);
    }
}

QMessageBox::StandardButton KPrompt::critical(QWidget* parent, const QString& title,
                                              const QString& text,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton)
{
    return messageBox(Critical, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton KPrompt::warning(QWidget* parent, const QString& title,
                                             const QString& text,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    return messageBox(Warning, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton KPrompt::information(QWidget* parent, const QString& title,
                                                 const QString& text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton)
{
    return messageBox(Information, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton KPrompt::question(QWidget* parent, const QString& title,
                                              const QString& text,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton)
{
    return messageBox(Question, parent, title, text, buttons, defaultButton);
}

namespace {
// The handler's answer to a file chooser: its text, or nothing when cancelled.
KPrompt::Answer askChooser(KPrompt::Kind kind, QWidget* parent, const QString& caption,
                           const QString& dir, const QString& filter)
{
    KPrompt::Request request;
    request.kind = kind;
    request.parent = parent;
    request.title = caption;
    request.text = dir;
    request.filter = filter;
    KPrompt::Answer answer = ask(request);
    if (!answer.ok) {
        answer.text.clear();
        answer.texts.clear();
    }
    return answer;
}

// The handler's answer to an input dialog; ok tells whether it was accepted.
KPrompt::Answer askInput(KPrompt::Request request, bool* ok)
{
    const KPrompt::Answer answer = ask(request);
    if (ok)
        *ok = answer.ok;
    return answer;
}

KPrompt::Request inputRequest(KPrompt::Kind kind, QWidget* parent, const QString& title,
                              const QString& label)
{
    KPrompt::Request request;
    request.kind = kind;
    request.parent = parent;
    request.title = title;
    request.text = label;
    return request;
}
} // namespace

QString KPrompt::getOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                 const QString& filter, QString* selectedFilter,
                                 QFileDialog::Options options)
{
    if (hasHandler())
        return askChooser(OpenFileName, parent, caption, dir, filter).text;
    return QFileDialog::getOpenFileName(parent, caption, dir, filter, selectedFilter, options);
}

QStringList KPrompt::getOpenFileNames(QWidget* parent, const QString& caption, const QString& dir,
                                      const QString& filter, QString* selectedFilter,
                                      QFileDialog::Options options)
{
    if (hasHandler())
        return askChooser(OpenFileNames, parent, caption, dir, filter).texts;
    return QFileDialog::getOpenFileNames(parent, caption, dir, filter, selectedFilter, options);
}

QString KPrompt::getSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                 const QString& filter, QString* selectedFilter,
                                 QFileDialog::Options options)
{
    if (hasHandler())
        return askChooser(SaveFileName, parent, caption, dir, filter).text;
    return QFileDialog::getSaveFileName(parent, caption, dir, filter, selectedFilter, options);
}

QString KPrompt::getExistingDirectory(QWidget* parent, const QString& caption, const QString& dir,
                                      QFileDialog::Options options)
{
    if (hasHandler())
        return askChooser(ExistingDirectory, parent, caption, dir, QString()).text;
    return QFileDialog::getExistingDirectory(parent, caption, dir, options);
}

QString KPrompt::getText(QWidget* parent, const QString& title, const QString& label,
                         QLineEdit::EchoMode echo, const QString& text, bool* ok,
                         Qt::WindowFlags flags)
{
    if (hasHandler()) {
        Request request = inputRequest(TextInput, parent, title, label);
        request.value = text;
        const Answer answer = askInput(request, ok);
        return answer.ok ? answer.text : QString();
    }
    return QInputDialog::getText(parent, title, label, echo, text, ok, flags);
}

int KPrompt::getInt(QWidget* parent, const QString& title, const QString& label, int value,
                    int minValue, int maxValue, int step, bool* ok, Qt::WindowFlags flags)
{
    if (hasHandler()) {
        Request request = inputRequest(IntInput, parent, title, label);
        request.number = value;
        const Answer answer = askInput(request, ok);
        return answer.ok ? static_cast<int>(answer.number) : value;
    }
    return QInputDialog::getInt(parent, title, label, value, minValue, maxValue, step, ok, flags);
}

double KPrompt::getDouble(QWidget* parent, const QString& title, const QString& label,
                          double value, double minValue, double maxValue, int decimals, bool* ok,
                          Qt::WindowFlags flags)
{
    if (hasHandler()) {
        Request request = inputRequest(DoubleInput, parent, title, label);
        request.number = value;
        const Answer answer = askInput(request, ok);
        return answer.ok ? answer.number : value;
    }
    return QInputDialog::getDouble(parent, title, label, value, minValue, maxValue, decimals, ok,
                                   flags);
}

QString KPrompt::getItem(QWidget* parent, const QString& title, const QString& label,
                         const QStringList& items, int current, bool editable, bool* ok,
                         Qt::WindowFlags flags)
{
    if (hasHandler()) {
        Request request = inputRequest(ItemInput, parent, title, label);
        request.items = items;
        request.value = items.value(current);
        const Answer answer = askInput(request, ok);
        return answer.ok ? answer.text : request.value;
    }
    return QInputDialog::getItem(parent, title, label, items, current, editable, ok, flags);
}

int KPrompt::exec(QDialog* dialog)
{
    if (!dialog)
        return QDialog::Rejected;
    if (hasHandler()) {
        Request request;
        request.kind = Dialog;
        request.parent = dialog->parentWidget();
        request.title = dialog->windowTitle();
        request.dialog = dialog;
        if (auto* box = qobject_cast<QMessageBox*>(dialog))
            request.text = box->text();
        return ask(request).button;
    }
    return dialog->exec();
}
