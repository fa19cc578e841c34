// What a saved picture must show, checked on the widgets themselves: every widget shown lies
// inside the widgets that hold it up to the window (those that scroll inside a scroll area are
// checked against nothing but the area), and every one-line text shows whole in the room its
// widget gives it. The widgets a picture is about can be named: they must be shown, not empty,
// and wholly in sight, scroll areas included.
#ifndef PICTURE_CHECKS_H
#define PICTURE_CHECKS_H

#include <algorithm>
#include <initializer_list>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QList>
#include <QRadioButton>
#include <QStringList>
#include <QStyle>
#include <QTextDocument>
#include <QWidget>

#include <gtest/gtest.h>

namespace pictureCheck {

// A text in one line and the width its widget has for it; no text for other widgets.
struct ShownText {
    QString text;
    int room = -1;
};

inline QString withoutMnemonics(QString text)
{
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove('&');
    text.replace('\x01', '&');
    return text;
}

inline ShownText shownText(const QWidget* widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        const QString text = label->text();
        if (text.isEmpty() || label->wordWrap() || text.contains('\n') || Qt::mightBeRichText(text))
            return {};
        const int indent = std::max(label->indent(), 0);
        return {text, label->contentsRect().width() - 2 * label->margin() - indent};
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        const QString text = withoutMnemonics(button->text());
        if (text.isEmpty() || text.contains('\n'))
            return {};
        int room = button->width();
        if (!button->icon().isNull())
            room -= button->iconSize().width();
        if (qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget))
            room -= button->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, button)
                    + button->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, button);
        return {text, room};
    }
    if (const auto* box = qobject_cast<const QGroupBox*>(widget)) {
        const QString text = withoutMnemonics(box->title());
        return text.isEmpty() ? ShownText{} : ShownText{text, box->width()};
    }
    return {};
}

inline QString describe(const QWidget* widget)
{
    QString name = QString::fromLatin1(widget->metaObject()->className());
    if (!widget->objectName().isEmpty())
        name += " \"" + widget->objectName() + "\"";
    const ShownText shown = shownText(widget);
    if (!shown.text.isEmpty())
        name += " showing \"" + shown.text + "\"";
    return name;
}

// The widget moves with a scroll area's contents somewhere below `top`.
inline bool scrolls(const QWidget* widget, const QWidget* top)
{
    for (const QWidget* up = widget->parentWidget(); up && up != top; up = up->parentWidget()) {
        const auto* area = qobject_cast<const QAbstractScrollArea*>(up->parentWidget());
        if (area && area->viewport() == up)
            return true;
    }
    return false;
}

// The widget lies inside each widget that holds it, up to `top`.
inline bool insideHolders(const QWidget* widget, const QWidget* top)
{
    QRect rect(QPoint(0, 0), widget->size());
    for (const QWidget* at = widget; at != top && at->parentWidget(); at = at->parentWidget()) {
        rect.translate(at->pos());
        if (!at->parentWidget()->rect().contains(rect))
            return false;
    }
    return true;
}

// The window's children of those names, for `about` (one not found counts as not shown).
inline QList<const QWidget*> named(const QWidget* window, std::initializer_list<const char*> names)
{
    QList<const QWidget*> found;
    for (const char* name : names)
        found << window->findChild<QWidget*>(name);
    return found;
}

// Success when the window shows its widgets and their texts whole, and each of `about` is shown
// and wholly in sight; otherwise every fault, one a line. The texts of `moving` (a text box that
// scrolls a long name through itself) are shown whole over time and not measured.
inline ::testing::AssertionResult showsWhole(const QWidget& window, const QList<const QWidget*>& about = {},
                                             const QList<const QWidget*>& moving = {})
{
    QStringList faults;
    if (!window.isVisible())
        faults << "the window is not shown";
    for (const QWidget* widget : about) {
        if (!widget || !widget->isVisibleTo(&window) || widget->width() <= 0 || widget->height() <= 0)
            faults << "not shown: " + (widget ? describe(widget) : QStringLiteral("(none)"));
        else if (!insideHolders(widget, &window))
            faults << "not wholly in sight: " + describe(widget);
    }
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->isWindow() || !widget->isVisibleTo(&window))
            continue;
        if (!scrolls(widget, &window) && !insideHolders(widget, &window))
            faults << "outside its holder: " + describe(widget);
        const ShownText shown = moving.contains(widget) ? ShownText{} : shownText(widget);
        if (!shown.text.isEmpty()) {
            const int needed = widget->fontMetrics().horizontalAdvance(shown.text);
            if (needed > shown.room)
                faults << QString("text cut (%1 for %2 px): ").arg(needed).arg(shown.room) + describe(widget);
        }
    }
    if (faults.isEmpty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << faults.join('\n').toStdString();
}

} // namespace pictureCheck

#endif
