#include "DockStyle.h"

#include <QPainter>
#include <QWidget>

namespace {
// The close or float button's picture rule for one state ("" at rest, ":hover", ":pressed").
QString buttonRule(const char* button, const char* state, const char* picture)
{
    return QStringLiteral("QDockWidget::%1%2 { border: none; background: transparent; image: url(:/Img/%3); }\n")
        .arg(QLatin1String(button), QLatin1String(state), QLatin1String(picture));
}
} // namespace

QString DockStyle::sheet(bool buttonStates)
{
    QString style = QStringLiteral(
        "QDockWidget { border: 1px solid black; titlebar-close-icon: url(:/Img/DWCloseOff);"
        " titlebar-normal-icon: url(:/Img/DWUndockOff); }\n"
        "QDockWidget::title { text-align: left; padding-left: 5px; background-image: url(:/Img/DWBar); }\n"
        "QToolBar { border: none; background-image: url(:/Img/ToolBar); }\n");
    style += buttonRule("close-button", "", "DWCloseOff");
    style += buttonRule("float-button", "", "DWUndockOff");
    if (buttonStates) {
        style += buttonRule("close-button", ":hover", "DWCloseOver");
        style += buttonRule("close-button", ":pressed", "DWCloseOn");
        style += buttonRule("float-button", ":hover", "DWUndockOver");
        style += buttonRule("float-button", ":pressed", "DWUndockOn");
    }
    return style;
}

void DockStyle::drawFrame(QWidget* widget, const QColor& colour)
{
    QPainter painter(widget);
    painter.setPen(colour);
    painter.drawRect(widget->rect().adjusted(0, 0, -1, -1));
}
