// Checks for every path that an update description names. Names, folders, delete paths and
// archive members come from the network: each must stay inside the folder it is joined to.
#ifndef UPDATE_PATHS_H
#define UPDATE_PATHS_H

#include <QString>

namespace UpdatePaths {

// A single file name: not empty, no separator, not "." or "..".
bool isPlainName(const QString& name);

// A relative path without ".." components, not absolute, without backslashes or NUL.
bool isSafeRelative(const QString& path);

// root + "/" + relative, cleaned, when relative is safe and no existing component from root down
// to the result (the result included) is a symbolic link; an empty text otherwise.
QString resolveInside(const QString& root, const QString& relative);

} // namespace UpdatePaths

#endif
