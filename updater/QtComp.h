// The "qtcomp" single-file format: a 4-byte big-endian count of the uncompressed bytes followed
// by a zlib stream of them (what qCompress writes). Both directions stream through fixed buffers.
#ifndef QT_COMP_H
#define QT_COMP_H

#include <QString>

#include <atomic>

namespace QtComp {

// Compresses source into target at level (0 stored .. 9 strongest, clamped). The target is
// replaced whole or left as it was.
bool compressFile(const QString& source, const QString& target, int level, QString* error = nullptr);

// Uncompresses source into target. Fails, leaving target as it was, when the stream is damaged,
// does not end, is followed by other bytes, or does not give exactly the announced size, and
// when that size is above maxSize. A set cancel flag stops it between chunks.
bool uncompressFile(const QString& source, const QString& target, qint64 maxSize,
                    QString* error = nullptr, const std::atomic<bool>* cancel = nullptr);

} // namespace QtComp

#endif
