// Widgets both kinds of strip build alike: pictures, value fields, meters and picture buttons.
#ifndef KSTRIPPARTS_H
#define KSTRIPPARTS_H

#include <QIcon>
#include <QString>

#include <optional>

class KButton;
class QLabel;
class KMeter;
class QLineEdit;
class QSlider;
class QWidget;

namespace KStripParts {
// The picture as an icon, made once per name.
QIcon icon(const QString& name);
QLabel* picture(QWidget* parent, const QString& name, int x, int y, int w, int h);
// A frameless centred field on black, in the text colour given, font "Tahoma" 9.
QLineEdit* valueField(QWidget* parent, const QString& textColor, int x, int y, int w, int h);
// A disabled vertical level meter, 13 x 202, at silence.
KMeter* meter(QWidget* parent, int x, int y);
// A picture button with its off, over and on pictures (the on picture may be empty).
KButton* button(QWidget* parent, int x, int y, int w, int h, const QString& on,
                const QString& over, const QString& off, const QString& toolTip);
// Moves the fader, without its signal, to the level typed in the field, shows that level in the
// field and returns it; on text that is no number, shows the fader's level again and returns
// nothing.
std::optional<int> takeTypedLevel(QLineEdit* field, QSlider* fader);
// Moves the pan slider, without its signal, to the pan typed in the field and returns it.
int takeTypedPan(QLineEdit* field, QSlider* pan);
// Shows the button checked or not, with its on or off picture, sending nothing.
void showChecked(KButton* button, bool on, const QString& onPicture, const QString& offPicture);
}

#endif
