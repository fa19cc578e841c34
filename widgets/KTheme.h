// The one dark look shared by every window: the palette, the colours of states (mute, solo,
// accent, clip) and of meters, and the proxy style over Fusion that draws with them.
#ifndef KTHEME_H
#define KTHEME_H

#include <QColor>
#include <QPalette>

class QApplication;
class QStyle;

class KTheme
{
public:
    enum Role {
        Window,   // main window, docks, dialogs
        Panel,    // strips, group boxes, tab pages
        Raised,   // buttons at rest, slider grooves
        Hover,    // buttons and handles under the pointer
        Line,     // borders and separators
        Text,
        DimText,  // units, disabled text, secondary labels
        Accent,   // selection, focus, checked state, dragged handles
        Mute,
        Solo,
        Warning,  // clip indicators, refusals
        MeterLow, // below -18 dBFS
        MeterMid, // -18 to -6 dBFS
        MeterHigh // above -6 dBFS
    };

    static QColor color(Role role);
    static QColor accent() { return color(Accent); }
    static QColor mute() { return color(Mute); }
    static QColor solo() { return color(Solo); }
    static QColor warning() { return color(Warning); }
    // Meter colour for a level in dBFS.
    static QColor meter(double dbfs);

    static QPalette palette();
    // A new proxy style over Fusion drawing the theme; the caller owns it.
    static QStyle* createStyle();
    // Installs the style, the palette and the font substitutes on the application.
    static void apply(QApplication& app);
};

#endif
