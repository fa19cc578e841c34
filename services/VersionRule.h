// The one rule by which the editor and the updater compare versions: dotted parts compared as
// numbers from left to right, a missing part counting as 0. Leading parts that are not numbers
// (a product word) are skipped; a text without a valid version, or longer than MaxLength, is
// never newer. Header-only and
// Qt Core only, so that every program can share it.
#ifndef VERSION_RULE_H
#define VERSION_RULE_H

#include <QString>
#include <QStringList>

namespace VersionRule {

// The longest version text taken, surrounding spaces left out: a longer one is not a version.
constexpr int MaxLength = 32;

inline bool fitsLength(const QString& version)
{
    return version.trimmed().size() <= MaxLength;
}

inline bool isNumberPart(const QString& part)
{
    if (part.isEmpty())
        return false;
    for (QChar c : part) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// The numeric parts of a version, leading zeros removed; empty when there is no valid version
// (no numeric part, or a part after the first numeric one that is not a number).
inline QStringList numericParts(const QStringList& parts)
{
    int first = 0;
    while (first < parts.size() && !isNumberPart(parts[first].trimmed()))
        ++first;
    QStringList result;
    for (int i = first; i < parts.size(); ++i) {
        QString part = parts[i].trimmed();
        if (!isNumberPart(part))
            return QStringList();
        while (part.size() > 1 && part.startsWith(QLatin1Char('0')))
            part.remove(0, 1);
        result << part;
    }
    return result;
}

inline QStringList numericParts(const QString& version)
{
    if (!fitsLength(version))
        return QStringList();
    return numericParts(version.trimmed().split(QLatin1Char('.')));
}

inline bool isValid(const QString& version)
{
    return !numericParts(version).isEmpty();
}

// Compares two lists of numeric parts (numericParts' form): below 0, 0 or above 0. Parts of any
// length compare as numbers (no overflow).
inline int compareParts(const QStringList& a, const QStringList& b)
{
    const qsizetype n = qMax(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const QString x = i < a.size() ? a[i] : QStringLiteral("0");
        const QString y = i < b.size() ? b[i] : QStringLiteral("0");
        if (x.size() != y.size())
            return x.size() < y.size() ? -1 : 1;
        const int c = x.compare(y);
        if (c != 0)
            return c < 0 ? -1 : 1;
    }
    return 0;
}

// True when remote is strictly newer than installed; false whenever either is not a valid
// version.
inline bool isNewer(const QStringList& remoteParts, const QStringList& installedParts)
{
    const QStringList remote = numericParts(remoteParts);
    const QStringList installed = numericParts(installedParts);
    if (remote.isEmpty() || installed.isEmpty())
        return false;
    return compareParts(remote, installed) > 0;
}

inline bool isNewer(const QString& remote, const QString& installed)
{
    if (!fitsLength(remote) || !fitsLength(installed))
        return false;
    return isNewer(remote.trimmed().split(QLatin1Char('.')), installed.trimmed().split(QLatin1Char('.')));
}

} // namespace VersionRule

#endif
