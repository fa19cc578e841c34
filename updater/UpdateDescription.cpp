#include "UpdateDescription.h"

#include "UpdatePaths.h"

#include "VersionRule.h"

#include <QDomDocument>
#include <QDomElement>
#include <QXmlStreamReader>

namespace UpdateDescription {

bool isNewer(const QString& published, const QString& installed)
{
    const QString base = VersionRule::isValid(installed) ? installed : QStringLiteral("0");
    return VersionRule::isNewer(published, base);
}

namespace {

// Element children only: comments and processing instructions between them are skipped.
QList<QDomElement> childElements(const QDomNode& parent)
{
    QList<QDomElement> result;
    for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        result << e;
    return result;
}

// The later listing of a name wins unless it comes from a lower version than the kept one.
void putItem(UpdateContent& content, const QString& name, const PropertiesFile& item)
{
    auto it = content.items.constFind(name);
    if (it != content.items.constEnd()
        && VersionRule::isNewer(it->getVersion(), item.getVersion()))
        return;
    content.items.insert(name, item);
}

// What an error shows of a text from the network: its start when it is long.
QString shown(const QString& text)
{
    return text.size() > 80 ? text.left(80) + QStringLiteral("...") : text;
}

// True when text is at most limit characters long; otherwise false, with what it is in error.
bool fits(const QString& text, int limit, const char* what, QString* error)
{
    if (text.size() <= limit)
        return true;
    *error = QStringLiteral("%1 longer than %2 characters: \"%3\"").arg(QLatin1String(what)).arg(limit).arg(shown(text));
    return false;
}

bool readArchive(const QDomElement& element, const QString& version, UpdateContent& content,
                 QString* error)
{
    KDwnArchive archive;
    archive.setType(element.attribute(QStringLiteral("type")));
    for (const QDomElement& child : childElements(element)) {
        if (child.tagName() == QLatin1String("install"))
            archive.setInstallDirPath(child.text());
        else if (child.tagName() == QLatin1String("file"))
            archive.addFile(child.text());
        else if (child.tagName() == QLatin1String("url"))
            archive.setUrl(child.text());
    }
    if (!archive.isValid())
        return true;
    if (!fits(archive.getName(), MaxNameLength, "archive name", error)
        || !fits(archive.getInstallDirPath(), MaxPathLength, "install folder", error))
        return false;
    if (!UpdatePaths::isPlainName(archive.getName())) {
        *error = QStringLiteral("archive name \"%1\"").arg(shown(archive.getName()));
        return false;
    }
    for (const QString& member : archive.getFiles()) {
        const QString name = member.section(QLatin1Char('/'), -1);
        if (!fits(member, MaxPathLength, "archive member", error) || !fits(name, MaxNameLength, "file name", error))
            return false;
        if (!UpdatePaths::isSafeRelative(member) || !UpdatePaths::isPlainName(name)
            || !UpdatePaths::isSafeRelative(archive.getInstallDirPath() + name)) {
            *error = QStringLiteral("archive member \"%1\" in \"%2\"")
                         .arg(shown(member), shown(archive.getInstallDirPath()));
            return false;
        }
    }
    content.archives << archive;
    putItem(content, archive.getName(), PropertiesFile(version, archive.getUrl(), QString()));
    return true;
}

bool readVersion(const QDomElement& version, const QString& number, UpdateContent& content,
                 QString* error)
{
    for (const QDomElement& child : childElements(version)) {
        const QString tag = child.tagName();
        if (tag == QLatin1String("file")) {
            const QString name = child.attribute(QStringLiteral("name"));
            const QDomElement first = child.firstChildElement();
            const QDomElement second = first.nextSiblingElement();
            const QString folder = second.isNull() ? QString() : second.text();
            if (!fits(name, MaxNameLength, "file name", error) || !fits(folder, MaxPathLength, "install folder", error))
                return false;
            if (!UpdatePaths::isPlainName(name)
                || (!folder.isEmpty() && !UpdatePaths::isSafeRelative(folder + name))) {
                *error = QStringLiteral("file \"%1\" in \"%2\"").arg(shown(name), shown(folder));
                return false;
            }
            putItem(content, name, PropertiesFile(number, first.text(), folder));
        } else if (tag == QLatin1String("delete")) {
            const QString path = child.attribute(QStringLiteral("path"));
            if (path.isEmpty())
                continue;
            if (!fits(path, MaxPathLength, "delete path", error))
                return false;
            if (!UpdatePaths::isSafeRelative(path)) {
                *error = QStringLiteral("delete path \"%1\"").arg(shown(path));
                return false;
            }
            content.deleteList << path;
            content.deleteVersions << number;
        } else if (tag == QLatin1String("archive")) {
            if (!readArchive(child, number, content, error))
                return false;
        }
    }
    return true;
}

// One linear pass that refuses what would make the document model slow or large: deep nesting
// (its parse time grows with the square of the depth), very many elements and overlong
// version numbers (compared and shown digit by digit).
QString checkBounds(const QByteArray& xml)
{
    QXmlStreamReader reader(xml);
    int depth = 0;
    qint64 elements = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth > MaxDepth)
                return QStringLiteral("the description is nested more than %1 levels deep").arg(MaxDepth);
            if (++elements > MaxElements)
                return QStringLiteral("the description holds more than %1 elements").arg(MaxElements);
            if (reader.name() == QLatin1String("version")
                && reader.attributes().value(QLatin1String("number")).size() > VersionRule::MaxLength)
                return QStringLiteral("the description names a version number longer than %1 characters")
                    .arg(VersionRule::MaxLength);
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    if (reader.hasError())
        return QStringLiteral("line %1: %2").arg(reader.lineNumber()).arg(reader.errorString());
    return QString();
}

} // namespace

bool read(const QByteArray& xml, const QString& installed, UpdateContent& content,
          const std::function<void(const QString&)>& onVersion, QString* error)
{
    QString reason;
    QDomDocument document;
    QString parseError;
    int line = 0;
    reason = checkBounds(xml);
    if (!reason.isEmpty()) {
    } else if (!document.setContent(xml, &parseError, &line)) {
        reason = QStringLiteral("line %1: %2").arg(line).arg(parseError);
    } else {
        for (const QDomElement& version : childElements(document.documentElement())) {
            if (version.tagName() != QLatin1String("version"))
                continue;
            const QString number = version.attribute(QStringLiteral("number"));
            if (onVersion)
                onVersion(number);
            if (isNewer(number, installed) && !readVersion(version, number, content, &reason))
                break;
        }
    }
    if (reason.isEmpty())
        return true;
    content = UpdateContent();
    if (error)
        *error = reason;
    return false;
}

} // namespace UpdateDescription
