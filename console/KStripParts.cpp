#include "KStripParts.h"

#include "KLevelText.h"
#include "KMeter.h"

#include "KButton.h"
#include "KPictureCache.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>

namespace {
// The strips' icons, made once per picture: every strip shows the same few.
QHash<QString, QIcon>& icons()
{
    static QHash<QString, QIcon> made;
    return made;
}

// The icons go with the application, before the windowing system their pictures belong to.
void dropIcons()
{
    icons().clear();
}

// The point size of the value fields' font for a field width: the largest, from 9 down to 6,
// that keeps the widest values whole. Measured once per width, not once per field.
int fieldPointSize(int width)
{
    static QHash<int, int> sizes;
    const auto found = sizes.constFind(width);
    if (found != sizes.cend())
        return *found;
    QFont font(QStringLiteral("Tahoma"), 9);
    const auto widest = [](const QFont& shown) {
        const QFontMetrics metrics(shown);
        return std::max(metrics.horizontalAdvance(QStringLiteral("-48.2")),
                        metrics.horizontalAdvance(QStringLiteral("L100")));
    };
    while (font.pointSize() > 6 && widest(font) > width - 4)
        font.setPointSize(font.pointSize() - 1);
    sizes.insert(width, font.pointSize());
    return font.pointSize();
}
}

QIcon KStripParts::icon(const QString& name)
{
    auto found = icons().constFind(name);
    if (found == icons().cend()) {
        if (icons().isEmpty())
            qAddPostRoutine(dropIcons);
        found = icons().insert(name, QIcon(KPictureCache::pixmap(name)));
    }
    return *found;
}

QLabel* KStripParts::picture(QWidget* parent, const QString& name, int x, int y, int w, int h)
{
    auto* label = new QLabel(parent);
    label->setPixmap(KPictureCache::pixmap(name));
    label->setGeometry(x, y, w, h);
    return label;
}

QLineEdit* KStripParts::valueField(QWidget* parent, const QString& textColor, int x, int y, int w,
                                   int h)
{
    auto* field = new QLineEdit(parent);
    field->setGeometry(x, y, w, h);
    // The widest values the fields show, a level at its floor and a pan, keep every character
    // (the leading minus first of all) within the field: a smaller size where 9 points is too wide.
    field->setFont(QFont(QStringLiteral("Tahoma"), fieldPointSize(w)));
    field->setFrame(false);
    field->setAlignment(Qt::AlignCenter);
    // Black field, coloured text: set through the palette, which draws the same as a style
    // sheet without a style-sheet style per field (a console holds hundreds of them). One
    // palette per text colour, holding only those two roles: the field takes the others from
    // its strip as before.
    static QHash<QString, QPalette> palettes;
    auto palette = palettes.constFind(textColor);
    if (palette == palettes.cend()) {
        QPalette colours;
        colours.setColor(QPalette::Base, Qt::black);
        colours.setColor(QPalette::Text, QColor(textColor));
        palette = palettes.insert(textColor, colours);
    }
    field->setPalette(*palette);
    return field;
}

KMeter* KStripParts::meter(QWidget* parent, int x, int y)
{
    auto* meter = new KMeter(parent);
    // Its size before its state: the meter takes its pictures once, at the size it shows.
    meter->setGeometry(x, y, 13, 202);
    meter->setEnabled(false);
    // The meter's picture covers it whole: a level change repaints the meter alone, not the
    // strip beneath it.
    meter->setAttribute(Qt::WA_OpaquePaintEvent);
    return meter;
}

KButton* KStripParts::button(QWidget* parent, int x, int y, int w, int h, const QString& on,
                             const QString& over, const QString& off, const QString& toolTip)
{
    auto* button = new KButton(parent);
    button->setGeometry(x, y, w, h);
    button->setIconSize(QSize(w, h));
    button->setIcons(icon(off), icon(over), on.isEmpty() ? icon(off) : icon(on));
    button->setIcon(icon(off));
    button->setToolTip(toolTip);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

std::optional<int> KStripParts::takeTypedLevel(QLineEdit* field, QSlider* fader)
{
    const std::optional<int> level = KLevelText::levelFromText(field->text());
    if (!level) {
        field->setText(KLevelText::levelText(fader->value()));
        return level;
    }
    const QSignalBlocker blocker(fader);
    fader->setValue(*level);
    // The field shows the level it reached: a typed "13" reads back as the limit "12.0".
    field->setText(KLevelText::levelText(*level));
    return level;
}

int KStripParts::takeTypedPan(QLineEdit* field, QSlider* pan)
{
    const int value = KLevelText::panFromText(field->text());
    const QSignalBlocker blocker(pan);
    pan->setValue(value);
    return value;
}

void KStripParts::showChecked(KButton* button, bool on, const QString& onPicture,
                              const QString& offPicture)
{
    const QSignalBlocker blocker(button);
    button->setChecked(on);
    button->setIcon(icon(on ? onPicture : offPicture));
}
