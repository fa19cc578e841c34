// Reading of the update description: which files, archives and deletions of the published
// versions apply to the installed editor.
#ifndef UPDATE_DESCRIPTION_H
#define UPDATE_DESCRIPTION_H

#include "KDwnArchive.h"
#include "PropertiesFile.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

struct UpdateContent {
    QMap<QString, PropertiesFile> items;  // by item name, ascending
    QList<KDwnArchive> archives;          // document order
    QStringList deleteList;               // document order, duplicates kept
    QStringList deleteVersions;           // the version that listed each deletion
};

namespace UpdateDescription {

// Bounds of an accepted description, checked in one pass before it is parsed.
constexpr int MaxDepth = 16;
constexpr qint64 MaxElements = 100000;
// File and archive names are shown in the window: far below the platform's own limits. Folders,
// delete paths and archive members stay well below the platform's path limit too.
constexpr int MaxNameLength = 255;
constexpr int MaxPathLength = 1024;

// True when published is strictly newer than installed under the one version rule; a missing or
// invalid installed version counts as 0, a published text without a valid version is never newer.
bool isNewer(const QString& published, const QString& installed);

// Parses xml and adds what every newer version lists to content. onVersion receives the number
// of every version element read. False, with a reason in error, when the text is not well-formed,
// passes one of the bounds above or an entry names a path that would leave its folder; content
// is then left empty.
bool read(const QByteArray& xml, const QString& installed, UpdateContent& content,
          const std::function<void(const QString&)>& onVersion, QString* error);

} // namespace UpdateDescription

#endif
