// What a person would see wrong in a window's layout: texts wider than the room they are given
// (labels, buttons, check boxes, tabs, column titles, group titles), children lying outside the
// window, and French words left in an English window.
#ifndef LAYOUT_CHECK_H
#define LAYOUT_CHECK_H

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyleOption>
#include <QTabBar>
#include <QTextDocument>
#include <QToolButton>
#include <QWidget>

#include <algorithm>

namespace layoutcheck {

// The widest line of a text as the widget's font draws it ("&" marks a shortcut, not a glyph).
inline int textWidth(const QWidget* widget, QString text, bool mnemonic)
{
    if (mnemonic)
        text.replace(QRegularExpression("&(.)"), "\\1");
    int widest = 0;
    for (const QString& line : text.split('\n'))
        widest = std::max(widest, widget->fontMetrics().horizontalAdvance(line));
    return widest;
}

// The plain text a label shows (rich text rendered to plain).
inline QString labelText(const QLabel* label)
{
    if (Qt::mightBeRichText(label->text()) || label->textFormat() == Qt::RichText) {
        QTextDocument document;
        document.setHtml(label->text());
        return document.toPlainText();
    }
    return label->text();
}

inline QString describe(const QWidget* widget)
{
    QString name = widget->objectName().isEmpty() ? QString("(unnamed)") : widget->objectName();
    return QString("%1 %2").arg(widget->metaObject()->className(), name);
}

// True when the widget is inside the scrolled contents of a scroll area below `top`: such
// children may lie outside the window and are reached by scrolling.
inline bool scrolled(const QWidget* widget, const QWidget* top)
{
    for (const QWidget* parent = widget->parentWidget(); parent && parent != top;
         parent = parent->parentWidget())
        if (auto* area = qobject_cast<const QAbstractScrollArea*>(parent->parentWidget()))
            if (area->viewport() == parent)
                return true;
    return false;
}

// The room a check box's or radio button's text has: its width less the indicator and spacing.
inline int buttonTextRoom(const QAbstractButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    QStyle::SubElement element = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(button))
        element = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<const QRadioButton*>(button))
        element = QStyle::SE_RadioButtonContents;
    const QRect contents = button->style()->subElementRect(element, &option, button);
    int room = contents.width();
    if (!button->icon().isNull())
        room -= button->iconSize().width() + 4;
    if (element == QStyle::SE_CheckBoxContents || element == QStyle::SE_RadioButtonContents)
        room -= 2; // the text margin the style draws inside the contents
    return room;
}

// Every fault of the window's shown children, one line each.
inline QStringList faults(QWidget* window, bool english)
{
    QStringList found;
    const QRect inside = window->rect();
    // Words that only a French text holds; none may show in the English program.
    static const QRegularExpression french(
        "\\b(Fichiers?|Piste|Pistes|Annuler|Niveau|Volume minimum|Ko|Mo|Mes Documents|Verrouillée|Libre|Liée|"
        "Egalisation|Paramètres|Exporter|Ecraser|Créer|Supprimer|Mettre|Groupe|Règles?|Oui|Non)\\b");
    const auto checkWords = [&](const QWidget* widget, const QString& text) {
        if (!english || text.isEmpty())
            return;
        const QRegularExpressionMatch match = french.match(text);
        if (match.hasMatch())
            found << QString("%1: French \"%2\" in \"%3\"").arg(describe(widget), match.captured(0), text);
    };
    const auto tooWide = [&](const QWidget* widget, const QString& text, int need, int room) {
        if (need > room)
            found << QString("%1: \"%2\" needs %3 px, has %4").arg(describe(widget), text).arg(need).arg(room);
    };
    checkWords(window, window->windowTitle());
    const QList<QWidget*> children = window->findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (!child->isVisibleTo(window) || child->isWindow())
            continue;
        const bool inScrolledArea = scrolled(child, window);
        if (!inScrolledArea) {
            const QRect at(child->mapTo(window, QPoint(0, 0)), child->size());
            if (!at.isEmpty() && !inside.contains(at))
                found << QString("%1: at %2,%3 %4x%5 lies outside the window %6x%7")
                             .arg(describe(child))
                             .arg(at.x()).arg(at.y()).arg(at.width()).arg(at.height())
                             .arg(inside.width()).arg(inside.height());
        }
        if (auto* label = qobject_cast<QLabel*>(child)) {
            const QString text = labelText(label);
            checkWords(label, text);
            if (!label->wordWrap() && !text.trimmed().isEmpty() && label->pixmap().isNull())
                tooWide(label, text, textWidth(label, text, false), label->contentsRect().width());
        } else if (auto* button = qobject_cast<QAbstractButton*>(child)) {
            const QString text = button->text();
            checkWords(button, text);
            if (!text.isEmpty() && !qobject_cast<QToolButton*>(button))
                tooWide(button, text, textWidth(button, text, true), buttonTextRoom(button));
        } else if (auto* box = qobject_cast<QGroupBox*>(child)) {
            checkWords(box, box->title());
            if (!box->title().isEmpty())
                tooWide(box, box->title(), textWidth(box, box->title(), true), box->width() - 8);
        } else if (auto* bar = qobject_cast<QTabBar*>(child)) {
            for (int i = 0; i < bar->count(); ++i) {
                checkWords(bar, bar->tabText(i));
                if (!bar->isTabVisible(i) || bar->tabText(i).isEmpty())
                    continue;
                tooWide(bar, bar->tabText(i), textWidth(bar, bar->tabText(i), true), bar->tabRect(i).width() - 8);
            }
            if (bar->currentIndex() >= 0 && !bar->rect().contains(bar->tabRect(bar->currentIndex())))
                found << QString("%1: the current tab \"%2\" is out of view")
                             .arg(describe(bar), bar->tabText(bar->currentIndex()));
        } else if (auto* header = qobject_cast<QHeaderView*>(child)) {
            if (!header->model() || header->orientation() != Qt::Horizontal)
                continue;
            for (int section = 0; section < header->count(); ++section) {
                if (header->isSectionHidden(section))
                    continue;
                const QString title = header->model()->headerData(section, Qt::Horizontal).toString();
                checkWords(header, title);
                if (title.isEmpty())
                    continue;
                // Fusion draws a title with 4 px of margin on each side.
                tooWide(header, title, textWidth(header, title, false) + 8, header->sectionSize(section));
            }
        }
    }
    return found;
}

} // namespace layoutcheck

#endif
