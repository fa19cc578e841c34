// Build-time tool: renders SVG sources to PNG at fixed sizes, once at 1x and once at 2x
// ("name@2x.png") for high-density screens.
// Usage: svg2png <out-dir> <source.svg>=<name>=<W>x<H> ...
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

static bool renderOne(const QString& source, const QString& target, QSize size)
{
    QSvgRenderer renderer(source);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "svg2png: cannot read %s\n", qPrintable(source));
        return false;
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    QDir().mkpath(QFileInfo(target).absolutePath());
    if (!image.save(target, "PNG")) {
        std::fprintf(stderr, "svg2png: cannot write %s\n", qPrintable(target));
        return false;
    }
    return true;
}

int main(int argc, char** argv)
{
    // Text in the sources needs fonts, hence a GUI application, but never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: svg2png <out-dir> <source.svg>=<name>=<W>x<H> ...\n");
        return 2;
    }
    const QString outDir = args.at(1);
    for (int i = 2; i < args.size(); ++i) {
        const QStringList parts = args.at(i).split('=');
        const QStringList dims = parts.value(2).split('x');
        const QSize size(dims.value(0).toInt(), dims.value(1).toInt());
        if (parts.size() != 3 || dims.size() != 2 || size.isEmpty()) {
            std::fprintf(stderr, "svg2png: bad picture %s\n", qPrintable(args.at(i)));
            return 2;
        }
        const QString base = outDir + '/' + parts.at(1);
        if (!renderOne(parts.at(0), base + ".png", size) ||
            !renderOne(parts.at(0), base + "@2x.png", size * 2))
            return 1;
    }
    return 0;
}
