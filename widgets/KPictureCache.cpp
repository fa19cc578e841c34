#include "KPictureCache.h"

#include <QFile>
#include <QHash>
#include <QImage>

namespace {
// A picture's name, drawn size and density. Widgets ask for their pictures on every paint and
// every build, hundreds of times in a console: the key is compared as it is, never formatted.
struct Key
{
    QString name;
    QSize size;
    qreal ratio;
    bool operator==(const Key& other) const
    {
        return name == other.name && size == other.size && ratio == other.ratio;
    }
};

size_t qHash(const Key& key, size_t seed = 0)
{
    return qHashMulti(seed, key.name, key.size.width(), key.size.height(), key.ratio);
}

QHash<Key, QPixmap>& cache()
{
    static QHash<Key, QPixmap> pictures;
    return pictures;
}

QHash<QString, QPixmap>& opaqueCache()
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
    const Key key{name, size, devicePixelRatio};
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

QPixmap KPictureCache::opaquePixmap(const QString& name)
{
    auto found = opaqueCache().constFind(name);
    if (found == opaqueCache().cend())
        found = opaqueCache().insert(name, withoutUnusedAlpha(pixmap(name)));
    return *found;
}

QPixmap KPictureCache::withoutUnusedAlpha(const QPixmap& picture)
{
    if (picture.isNull() || !picture.hasAlphaChannel())
        return picture;
    const QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(row[x]) != 255)
                return picture;
    }
    QPixmap opaque = QPixmap::fromImage(image.convertToFormat(QImage::Format_RGB32));
    opaque.setDevicePixelRatio(picture.devicePixelRatio());
    return opaque;
}

void KPictureCache::clear()
{
    cache().clear();
    opaqueCache().clear();
}
