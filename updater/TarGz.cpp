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

// The gzip stream as a sequence of bytes read on demand. Members that follow one another are
// read as one stream, as gzip does; zlib checks each member's CRC and length at its end.
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
            if (!step())
                return false;
            if (m_ended) {
                m_reason = QStringLiteral("the archive ends too early");
                return false;
            }
        }
        return true;
    }

    // Reads what follows the end of the tar data up to the end of the last gzip member, so that
    // every member's CRC and length are checked: false when they do not match, a member is cut
    // short or the rest unpacks to more than limit bytes.
    bool finish(qint64 limit)
    {
        std::vector<char> sink(64 * 1024);
        qint64 drained = 0;
        while (true) {
            m_z.next_out = reinterpret_cast<Bytef*>(sink.data());
            m_z.avail_out = uInt(sink.size());
            if (!step())
                return false;
            if (m_ended)
                return true;
            drained += qint64(sink.size() - m_z.avail_out);
            if (drained > limit) {
                m_reason = QStringLiteral("the archive unpacks to more than its limit");
                return false;
            }
        }
    }
    QString reason() const { return m_reason; }

private:
    // Input on hand, read from the file when none is left; false at the end of the file.
    bool pull()
    {
        if (m_z.avail_in > 0)
            return true;
        const qint64 got = m_in.read(m_input.data(), ChunkSize);
        if (got <= 0)
            return false;
        if (m_control)
            m_control->done.fetch_add(got);
        m_z.next_in = reinterpret_cast<Bytef*>(m_input.data());
        m_z.avail_in = uInt(got);
        return true;
    }

    // One turn of inflation; sets m_ended when the last member has ended with the file.
    bool step()
    {
        if (!m_ok) {
            m_reason = QStringLiteral("the archive is damaged");
            return false;
        }
        if (m_control && m_control->cancel.load()) {
            m_reason = QStringLiteral("the unpacking was cancelled");
            return false;
        }
        if (m_memberEnded) {
            if (!pull()) {
                m_ended = true;
                return true;
            }
            // Another member follows.
            inflateReset(&m_z);
            m_memberEnded = false;
        }
        if (!pull()) {
            m_reason = QStringLiteral("the archive ends too early");
            return false;
        }
        const int status = inflate(&m_z, Z_NO_FLUSH);
        if (status == Z_STREAM_END) {
            m_memberEnded = true;
        } else if (status != Z_OK && status != Z_BUF_ERROR) {
            m_ok = false;
            m_reason = QStringLiteral("the archive is damaged (%1)")
                           .arg(QString::fromLatin1(m_z.msg ? m_z.msg : "bad data"));
            return false;
        }
        return true;
    }

    QFile& m_in;
    Control* m_control;
    std::vector<char> m_input;
    z_stream m_z{};
    bool m_ok = false;
    bool m_memberEnded = false;
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

// The "path" record of a pax extended header ("<length> path=<value>\n" records); a null text
// when there is none. False when the records are malformed.
bool readPaxPath(const QByteArray& data, QString* path)
{
    *path = QString();
    qsizetype at = 0;
    while (at < data.size()) {
        const qsizetype space = data.indexOf(' ', at);
        bool ok = false;
        const qint64 length = space > at ? data.mid(at, space - at).toLongLong(&ok) : 0;
        if (!ok || length <= space - at + 1 || length > data.size() - at || data[at + length - 1] != '\n')
            return false;
        const QByteArray record = data.mid(space + 1, length - (space - at) - 2);
        if (record.startsWith("path="))
            *path = QString::fromUtf8(record.mid(5));
        at += length;
    }
    return true;
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
    int headers = 0;
    QString longName; // from a GNU long-name or a pax header, for the member that follows
    while (true) {
        if (!stream.read(header, Block))
            return fail(error, stream.reason());
        if (std::all_of(header, header + Block, [](char c) { return c == 0; })) {
            // The end-of-archive block: the rest of the stream is read for its checksums.
            if (!stream.finish(maxTotal - unpacked))
                return fail(error, stream.reason());
            return true;
        }
        if (++headers > MaxHeaders)
            return fail(error, QStringLiteral("the archive holds more than %1 members").arg(MaxHeaders));
        if (!headerSumMatches(header))
            return fail(error, QStringLiteral("the archive is damaged"));
        const char type = header[156];
        qint64 size = 0;
        if (!parseOctal(header + 124, 12, &size))
            return fail(error, QStringLiteral("the archive is damaged"));
        const qint64 padded = (size + Block - 1) / Block * Block;
        // A GNU long name or a pax extended header: text that describes the next member.
        if (type == 'L' || type == 'x' || type == 'g') {
            if (size > MaxMetadataSize)
                return fail(error, QStringLiteral("the archive holds an oversized member header"));
            QByteArray data(int(padded), '\0');
            if (!stream.read(data.data(), padded))
                return fail(error, stream.reason());
            data.truncate(int(size));
            if (type == 'L') {
                longName = field(data.constData(), data.size());
            } else if (type == 'x') {
                QString path;
                if (!readPaxPath(data, &path))
                    return fail(error, QStringLiteral("the archive is damaged"));
                if (!path.isNull())
                    longName = path;
            }
            continue;
        }
        QString name = longName;
        longName.clear();
        if (name.isEmpty()) {
            name = field(header, 100);
            // Only POSIX ustar headers hold a name prefix; GNU headers keep times in its place.
            const QString prefix = std::memcmp(header + 257, "ustar\0", 6) == 0 ? field(header + 345, 155) : QString();
            if (!prefix.isEmpty())
                name = prefix + QLatin1Char('/') + name;
        }
        while (name.endsWith(QLatin1Char('/')))
            name.chop(1);
        while (name.startsWith(QLatin1String("./")))
            name.remove(0, 2);
        const bool isFile = type == '0' || type == '\0';
        if (type == '5' && (name.isEmpty() || name == QLatin1String(".")))
            continue; // the archive's own root folder
        const QString path = name.size() > MaxNameLength ? QString() : UpdatePaths::resolveInside(folder, name);
        if ((!isFile && type != '5') || path.isEmpty())
            return fail(error, QStringLiteral("the server sent an unsafe archive member \"%1\"")
                                   .arg(name.size() > 80 ? name.left(80) + QStringLiteral("...") : name));
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
