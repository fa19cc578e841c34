#include "TarGz.h"

#include "UpdatePaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace TarGz {

namespace {

constexpr int Block = 512;
constexpr qint64 ChunkSize = 256 * 1024;
constexpr qint64 DiskMargin = 1024 * 1024;

bool fail(QString* error, const QString& text)
{
    *error = text;
    return false;
}

// The gzip stream as a sequence of bytes read on demand.
class Inflater
{
public:
    Inflater(QFile& in, Control* control) : m_in(in), m_control(control), m_input(ChunkSize)
    {
        m_ok = inflateInit2(&m_z, 16 + MAX_WBITS) == Z_OK;
    }
    ~Inflater() { inflateEnd(&m_z); }

    // Fills size bytes; false at the end of the stream or on damage (reason() tells).
    bool read(char* data, qint64 size)
    {
        m_z.next_out = reinterpret_cast<Bytef*>(data);
        m_z.avail_out = uInt(size);
        while (m_z.avail_out > 0) {
            if (!m_ok || m_ended) {
                m_reason = m_ok ? QStringLiteral("the archive ends too early") : QStringLiteral("the archive is damaged");
                return false;
            }
            if (m_control && m_control->cancel.load()) {
                m_reason = QStringLiteral("the unpacking was cancelled");
                return false;
            }
            if (m_z.avail_in == 0) {
                const qint64 got = m_in.read(m_input.data(), ChunkSize);
                if (got <= 0) {
                    m_reason = QStringLiteral("the archive ends too early");
                    return false;
                }
                if (m_control)
                    m_control->done.fetch_add(got);
                m_z.next_in = reinterpret_cast<Bytef*>(m_input.data());
                m_z.avail_in = uInt(got);
            }
            const int status = inflate(&m_z, Z_NO_FLUSH);
            if (status == Z_STREAM_END)
                m_ended = true;
            else if (status != Z_OK && status != Z_BUF_ERROR)
                m_ok = false;
        }
        return true;
    }
    QString reason() const { return m_reason; }

private:
    QFile& m_in;
    Control* m_control;
    std::vector<char> m_input;
    z_stream m_z{};
    bool m_ok = false;
    bool m_ended = false;
    QString m_reason;
};

bool parseOctal(const char* field, int width, qint64* value)
{
    qint64 result = 0;
    int i = 0;
    while (i < width && field[i] == ' ')
        ++i;
    bool digits = false;
    for (; i < width && field[i] >= '0' && field[i] <= '7'; ++i) {
        if (result > (qint64(1) << 55))
            return false;
        result = result * 8 + (field[i] - '0');
        digits = true;
    }
    for (; i < width; ++i) {
        if (field[i] != ' ' && field[i] != '\0')
            return false;
    }
    *value = result;
    return digits;
}

bool headerSumMatches(const char* header)
{
    qint64 stored = 0;
    if (!parseOctal(header + 148, 8, &stored))
        return false;
    qint64 sum = 0;
    for (int i = 0; i < Block; ++i)
        sum += (i >= 148 && i < 156) ? ' ' : static_cast<unsigned char>(header[i]);
    return sum == stored;
}

QString field(const char* data, int width)
{
    return QString::fromUtf8(data, int(strnlen(data, size_t(width))));
}

} // namespace

bool unpack(const QString& archive, const QString& folder, qint64 maxTotal, Control* control,
            QString* error)
{
    QFile in(archive);
    if (!in.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("cannot read the archive: ") + in.errorString());
    if (control)
        control->total.store(in.size());
    if (!QDir().mkpath(folder))
        return fail(error, QStringLiteral("cannot make the folder \"%1\"").arg(folder));
    Inflater stream(in, control);
    std::vector<char> buffer(ChunkSize);
    char header[Block];
    qint64 unpacked = 0;
    while (true) {
        if (!stream.read(header, Block))
            return fail(error, stream.reason());
        if (std::all_of(header, header + Block, [](char c) { return c == 0; }))
            return true; // the end-of-archive block
        if (!headerSumMatches(header))
            return fail(error, QStringLiteral("the archive is damaged"));
        QString name = field(header, 100);
        const QString prefix = std::memcmp(header + 257, "ustar", 5) == 0 ? field(header + 345, 155) : QString();
        if (!prefix.isEmpty())
            name = prefix + QLatin1Char('/') + name;
        while (name.endsWith(QLatin1Char('/')))
            name.chop(1);
        const char type = header[156];
        qint64 size = 0;
        if (!parseOctal(header + 124, 12, &size))
            return fail(error, QStringLiteral("the archive is damaged"));
        const bool isFile = type == '0' || type == '\0';
        const QString path = UpdatePaths::resolveInside(folder, name);
        if ((!isFile && type != '5') || path.isEmpty())
            return fail(error, QStringLiteral("the server sent an unsafe archive member \"%1\"").arg(name));
        if (!isFile) {
            if (!QDir().mkpath(path))
                return fail(error, QStringLiteral("cannot make the folder \"%1\"").arg(name));
            continue;
        }
        // The announced size is checked before any byte of the member is written.
        if (size > maxTotal - unpacked)
            return fail(error, QStringLiteral("the archive unpacks to more than %1 bytes").arg(maxTotal));
        unpacked += size;
        if (QStorageInfo(folder).bytesAvailable() < size + DiskMargin)
            return fail(error, QStringLiteral("not enough disk space"));
        if (!QDir().mkpath(QFileInfo(path).path()) || QFileInfo(path).isDir())
            return fail(error, QStringLiteral("cannot write the member \"%1\"").arg(name));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly))
            return fail(error, QStringLiteral("cannot write the member \"%1\": %2").arg(name, out.errorString()));
        const qint64 padded = (size + Block - 1) / Block * Block;
        for (qint64 left = padded; left > 0;) {
            const qint64 n = qMin<qint64>(left, ChunkSize);
            if (!stream.read(buffer.data(), n))
                return fail(error, stream.reason());
            const qint64 keep = qMin<qint64>(n, size - (padded - left));
            if (keep > 0 && out.write(buffer.data(), keep) != keep) {
                const bool full = QStorageInfo(folder).bytesAvailable() < keep + DiskMargin;
                return fail(error, full ? QStringLiteral("not enough disk space")
                                        : QStringLiteral("cannot write the member \"%1\"").arg(name));
            }
            left -= n;
        }
    }
}

} // namespace TarGz
