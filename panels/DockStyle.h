// The look of the editor's dock windows: a one-pixel black border, a left-aligned title on the
// bar picture, borderless close and float buttons and tool bars on their own picture. Every
// picture comes from the editor's image bundle.
#ifndef DOCKSTYLE_H
#define DOCKSTYLE_H

#include <QColor>
#include <QString>

class QWidget;

namespace DockStyle {
// With buttonStates the close and float buttons also change picture under the pointer and
// while pressed; without, they keep their resting picture.
QString sheet(bool buttonStates);
// Draws a one-pixel frame of that colour along the widget's edge; called from a paint handler.
void drawFrame(QWidget* widget, const QColor& colour);
} // namespace DockStyle

#endif
