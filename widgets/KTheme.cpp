#include "KTheme.h"

#include "KThemeStyle.h"

#include <QApplication>
#include <QFont>

QColor KTheme::color(Role role)
{
    static const QRgb colours[] = {
        0x1f2125, 0x2a2d33, 0x353941, 0x414650, 0x4a4f59, 0xe6e8eb, 0x9aa0a8,
        0x3fa7d6, 0xe0a030, 0x4cc38a, 0xe5484d, 0x4cc38a, 0xe5c13b, 0xe5484d,
    };
    return QColor(colours[role]);
}

QColor KTheme::meter(double dbfs)
{
    if (dbfs < -18.0)
        return color(MeterLow);
    return color(dbfs <= -6.0 ? MeterMid : MeterHigh);
}

QPalette KTheme::palette()
{
    QPalette pal;
    auto set = [&pal](QPalette::ColorRole role, Role theme) { pal.setColor(role, color(theme)); };
    set(QPalette::Window, Window);
    set(QPalette::WindowText, Text);
    set(QPalette::Base, Panel);
    set(QPalette::AlternateBase, Panel);
    set(QPalette::ToolTipBase, Panel);
    set(QPalette::ToolTipText, Text);
    set(QPalette::PlaceholderText, DimText);
    set(QPalette::Text, Text);
    set(QPalette::Button, Raised);
    set(QPalette::ButtonText, Text);
    set(QPalette::BrightText, Warning);
    set(QPalette::Light, Hover);
    set(QPalette::Midlight, Raised);
    set(QPalette::Mid, Line);
    set(QPalette::Dark, Line);
    set(QPalette::Shadow, Window);
    set(QPalette::Highlight, Accent);
    set(QPalette::HighlightedText, Text);
    set(QPalette::Link, Accent);
    set(QPalette::LinkVisited, Accent);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        pal.setColor(QPalette::Disabled, role, color(DimText));
    pal.setColor(QPalette::Disabled, QPalette::Highlight, color(Line));
    return pal;
}

QStyle* KTheme::createStyle()
{
    return new KThemeStyle;
}

void KTheme::apply(QApplication& app)
{
    // The widgets name Tahoma and Microsoft Sans Serif, which Linux rarely has: both are drawn
    // with DejaVu Sans, a sans-serif of similar width.
    QFont::insertSubstitution("Tahoma", "DejaVu Sans");
    QFont::insertSubstitution("Microsoft Sans Serif", "DejaVu Sans");
    app.setStyle(createStyle());
    app.setPalette(palette());
}
