// Build-time tool: renders SVG sources to PNG at fixed sizes, once at 1x and once at 2x
// ("name@2x.png") for high-density screens. The PNG rows are stored unfiltered at a fast
// compression level: the pictures are flat colours, for which that file is hardly larger, and
// the program decodes it in less than half the time of an adaptively filtered one.
// Usage: svg2png <out-dir> <source.svg>=<name>=<W>x<H> ...
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

#include <png.h>

// Writes the picture as 8-bit RGBA, unpremultiplied, with its resolution, as QImage::save would,
// but with unfiltered rows.
static bool writePng(const QImage& picture, const QString& target)
{
    const QImage rows = picture.convertToFormat(QImage::Format_RGBA8888);
    FILE* file = std::fopen(QFile::encodeName(target).constData(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    volatile bool written = false; // read after a longjmp from libpng's error handler
    if (info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
        png_set_compression_level(png, 3);
        png_set_IHDR(png, info, rows.width(), rows.height(), 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
        png_set_pHYs(png, info, rows.dotsPerMeterX(), rows.dotsPerMeterY(), PNG_RESOLUTION_METER);
        png_write_info(png, info);
        for (int y = 0; y < rows.height(); ++y)
            png_write_row(png, rows.constScanLine(y));
        png_write_end(png, info);
        written = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && written;
}

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
    if (!writePng(image, target)) {
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
