#include "QtComp.h"

#include <QFile>
#include <QSaveFile>

#include <zlib.h>

#include <vector>

namespace QtComp {

namespace {

constexpr qint64 ChunkSize = 256 * 1024;

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

bool writeAll(QSaveFile& out, const char* data, qint64 size)
{
    return size == 0 || out.write(data, size) == size;
}

} // namespace

bool compressFile(const QString& source, const QString& target, int level, QString* error)
{
    QFile in(source);
    if (!in.exists())
        return fail(error, QStringLiteral("no file ") + source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(error, in.errorString());
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return fail(error, out.errorString());
    const qint64 size = in.size();
    if (size > qint64(0xffffffffu))
        return fail(error, QStringLiteral("file larger than 4 GiB"));
    const quint32 count = quint32(size);
    const char header[4] = {char(count >> 24), char(count >> 16), char(count >> 8), char(count)};
    if (!writeAll(out, header, 4))
        return fail(error, out.errorString());
    if (size > 0) {
        z_stream z{};
        if (deflateInit(&z, qBound(-1, level, 9)) != Z_OK)
            return fail(error, QStringLiteral("compressor not available"));
        std::vector<char> input(ChunkSize), output(ChunkSize);
        int status = Z_OK;
        bool ok = true;
        while (ok && status != Z_STREAM_END) {
            const qint64 got = in.read(input.data(), ChunkSize);
            if (got < 0) {
                ok = fail(error, in.errorString());
                break;
            }
            const int flush = in.atEnd() || got == 0 ? Z_FINISH : Z_NO_FLUSH;
            z.next_in = reinterpret_cast<Bytef*>(input.data());
            z.avail_in = uInt(got);
            do {
                z.next_out = reinterpret_cast<Bytef*>(output.data());
                z.avail_out = uInt(ChunkSize);
                status = deflate(&z, flush);
                if (!writeAll(out, output.data(), ChunkSize - z.avail_out))
                    ok = fail(error, out.errorString());
            } while (ok && z.avail_out == 0);
            if (flush != Z_FINISH && z.avail_in != 0)
                ok = fail(error, QStringLiteral("compression stopped"));
        }
        deflateEnd(&z);
        if (!ok)
            return false;
    }
    if (!out.commit())
        return fail(error, out.errorString());
    return true;
}

bool uncompressFile(const QString& source, const QString& target, qint64 maxSize, QString* error,
                    const std::atomic<bool>* cancel)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(error, in.errorString());
    unsigned char header[4];
    if (in.read(reinterpret_cast<char*>(header), 4) != 4)
        return fail(error, QStringLiteral("no size header"));
    const qint64 expected = (qint64(header[0]) << 24) | (header[1] << 16) | (header[2] << 8) | header[3];
    if (expected > maxSize)
        return fail(error, QStringLiteral("announced size %1 too large").arg(expected));
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return fail(error, out.errorString());
    if (expected == 0 && in.atEnd()) {
        if (!out.commit())
            return fail(error, out.errorString());
        return true;
    }
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return fail(error, QStringLiteral("decompressor not available"));
    std::vector<char> input(ChunkSize), output(ChunkSize);
    qint64 total = 0;
    int status = Z_OK;
    QString reason;
    while (reason.isEmpty() && status != Z_STREAM_END) {
        if (cancel && cancel->load()) {
            reason = QStringLiteral("the unpacking was cancelled");
            break;
        }
        const qint64 got = in.read(input.data(), ChunkSize);
        if (got <= 0) {
            reason = QStringLiteral("stream cut short");
            break;
        }
        z.next_in = reinterpret_cast<Bytef*>(input.data());
        z.avail_in = uInt(got);
        // A full output buffer may leave more output pending even when the input is used up.
        do {
            z.next_out = reinterpret_cast<Bytef*>(output.data());
            z.avail_out = uInt(ChunkSize);
            status = inflate(&z, Z_NO_FLUSH);
            if (status == Z_BUF_ERROR)
                status = Z_OK;
            else if (status != Z_OK && status != Z_STREAM_END)
                reason = QStringLiteral("damaged stream");
            const qint64 produced = ChunkSize - z.avail_out;
            total += produced;
            if (total > expected)
                reason = QStringLiteral("more data than announced");
            else if (reason.isEmpty() && !writeAll(out, output.data(), produced))
                reason = out.errorString();
        } while (reason.isEmpty() && status != Z_STREAM_END && (z.avail_in > 0 || z.avail_out == 0));
        if (status == Z_STREAM_END && (z.avail_in > 0 || !in.atEnd()))
            reason = QStringLiteral("bytes after the stream");
    }
    inflateEnd(&z);
    if (reason.isEmpty() && total != expected)
        reason = QStringLiteral("size %1 instead of %2").arg(total).arg(expected);
    if (!reason.isEmpty())
        return fail(error, reason);
    if (!out.commit())
        return fail(error, out.errorString());
    return true;
}

} // namespace QtComp
