// What the updater asks of the system: running and starting programs, unpacking gzip-compressed
// tar archives, and mounting a disk image. The disk image is treated as an archive that is
// unpacked into a mount folder under the work folder. Tests replace it to record what would run.
#ifndef UPDATE_PLATFORM_H
#define UPDATE_PLATFORM_H

#include <QString>
#include <QStringList>

class UpdatePlatform
{
public:
    static constexpr qint64 MaxUnpackedSize = qint64(1) << 30;

    virtual ~UpdatePlatform() = default;

    // Starts program as a process of its own; false when it did not start.
    virtual bool startDetached(const QString& program, const QStringList& arguments);

    // Unpacks archive into folder (made when missing), refusing any member but regular files and
    // folders whose names stay inside folder, and more than MaxUnpackedSize bytes in all.
    // False, with a reason, otherwise.
    virtual bool unpackTarGz(const QString& archive, const QString& folder, QString* error);

    // Mounts image under mountFolder and returns the path of the installer package found in it
    // (the "tvspro-update" volume's "tvspro-update.pkg"), or an empty text.
    virtual QString mountDiskImage(const QString& image, const QString& mountFolder);

    // The platform in use; tests install their own.
    static UpdatePlatform& instance();
    static void setInstance(UpdatePlatform* platform);
};

#endif
