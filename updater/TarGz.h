// Unpacking of gzip-compressed tar archives inside the updater, bounded as it reads: only regular
// files and folders whose names stay inside the target folder, the sizes their headers announce
// checked against a total cap and the free disk space before any byte of them is written.
// Callable from a worker thread; cancel and progress are shared through atomics.
#ifndef TAR_GZ_H
#define TAR_GZ_H

#include <QString>

#include <atomic>

namespace TarGz {

struct Control {
    std::atomic<bool> cancel{false};
    std::atomic<qint64> done{0};  // compressed bytes read so far
    std::atomic<qint64> total{0}; // size of the archive
};

// Unpacks archive into folder (made when missing). False, with a reason for the user, when a
// member is refused, the archive is damaged, the files would pass maxTotal bytes, the disk is
// too full, or control->cancel was set; what was written is then left for the caller to remove.
bool unpack(const QString& archive, const QString& folder, qint64 maxTotal, Control* control,
            QString* error);

} // namespace TarGz

#endif
