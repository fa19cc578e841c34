// Unpacking of gzip-compressed tar archives inside the updater, bounded as it reads: only regular
// files and folders (named by POSIX, GNU long-name or pax headers) whose names stay inside the
// target folder, the sizes their headers announce checked against a total cap and the free disk
// space before any byte of them is written.
// Callable from a worker thread; cancel and progress are shared through atomics.
#ifndef TAR_GZ_H
#define TAR_GZ_H

#include <QString>

#include <atomic>

namespace TarGz {

// Bounds of an accepted archive: headers of every kind (folders and extended headers included),
// the text of one extended header, and the length of a member's path.
constexpr int MaxHeaders = 10000;
constexpr qint64 MaxMetadataSize = 64 * 1024;
constexpr int MaxNameLength = 4096;

struct Control {
    std::atomic<bool> cancel{false};
    std::atomic<qint64> done{0};  // compressed bytes read so far
    std::atomic<qint64> total{0}; // size of the archive
};

// Unpacks archive into folder (made when missing). False, with a reason for the user, when a
// member is refused, the archive is damaged (each gzip member's CRC and length are checked, also
// after the tar end block), holds more than MaxHeaders headers, the files would pass maxTotal
// bytes, the disk is too full, or control->cancel was set; what was written is then left for the
// caller to remove.
bool unpack(const QString& archive, const QString& folder, qint64 maxTotal, Control* control,
            QString* error);

} // namespace TarGz

#endif
