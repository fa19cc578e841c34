#include "UpdaterTheme.h"

#include <QApplication>
#include <QStyleFactory>

namespace UpdaterTheme {

QPalette palette()
{
    const QColor window(0x1f, 0x21, 0x25);
    const QColor panel(0x2a, 0x2d, 0x33);
    const QColor raised(0x35, 0x39, 0x41);
    const QColor line(0x4a, 0x4f, 0x59);
    const QColor text(0xe6, 0xe8, 0xeb);
    const QColor dim(0x9a, 0xa0, 0xa8);
    const QColor accent(0x3f, 0xa7, 0xd6);
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, panel);
    p.setColor(QPalette::AlternateBase, raised);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, raised);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Highlight, accent);
    p.setColor(QPalette::HighlightedText, window);
    p.setColor(QPalette::ToolTipBase, panel);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, dim);
    p.setColor(QPalette::Light, line);
    p.setColor(QPalette::Midlight, raised);
    p.setColor(QPalette::Mid, line);
    p.setColor(QPalette::Dark, window);
    p.setColor(QPalette::Shadow, QColor(0x10, 0x11, 0x13));
    p.setColor(QPalette::Link, accent);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, dim);
    return p;
}

void apply()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(palette());
}

} // namespace UpdaterTheme
