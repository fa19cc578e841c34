// Every picture a widget draws, loaded once per name and size: the resource ":/<name>" (or its
// "@2x" form on high-density screens), scaled to the asked size when it differs.
#ifndef KPICTURECACHE_H
#define KPICTURECACHE_H

#include <QPixmap>
#include <QSize>
#include <QString>

class KPictureCache
{
public:
    // The picture at its drawn size (an empty size keeps the source's own). A null pixmap when
    // the name is unknown. GUI thread only.
    static QPixmap pixmap(const QString& name, QSize size = QSize(), qreal devicePixelRatio = 1.0);
    static void clear();
    // pixmap(name) at its own size, without its alpha channel when every pixel is opaque: for
    // pictures drawn often, such as backgrounds repainted under moving meters.
    static QPixmap opaquePixmap(const QString& name);
    // The picture itself, or, when every pixel of it is opaque, the same picture without an
    // alpha channel: drawn alike, but copied rather than blended onto what lies beneath.
    static QPixmap withoutUnusedAlpha(const QPixmap& picture);
};

#endif
