#include "KPictureCache.h"

#include <QFile>
#include <QHash>

namespace {
QHash<QString, QPixmap>& cache()
{
    static QHash<QString, QPixmap> pictures;
    return pictures;
}

QString resourcePath(const QString& name)
{
    return name.startsWith(":/") ? name : ":/" + name;
}
}

QPixmap KPictureCache::pixmap(const QString& name, QSize size, qreal devicePixelRatio)
{
    const QString key = QStringLiteral("%1|%2x%3|%4")
                            .arg(name)
                            .arg(size.width())
                            .arg(size.height())
                            .arg(devicePixelRatio);
    auto found = cache().constFind(key);
    if (found != cache().constEnd())
        return *found;

    const QString path = resourcePath(name);
    QPixmap source;
    const QString dense = path + "@2x";
    if (devicePixelRatio > 1.0 && QFile::exists(dense))
        source.load(dense, "PNG");
    if (source.isNull())
        source.load(path);
    if (!source.isNull() && size.isValid() && !size.isEmpty()) {
        const QSize pixels = size * devicePixelRatio;
        if (source.size() != pixels)
            source = source.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        source.setDevicePixelRatio(devicePixelRatio);
    }
    cache().insert(key, source);
    return source;
}

void KPictureCache::clear()
{
    cache().clear();
}
