// One archive of an update: where it is downloaded from, the folder that receives its files, the
// member paths to install and how it is packed.
#ifndef KDWN_ARCHIVE_H
#define KDWN_ARCHIVE_H

#include <QString>
#include <QStringList>

class KDwnArchive
{
public:
    enum EDwnArchiveType { DAT_none = 0, DAT_targz = 1, DAT_qtcomp = 2 };

    static const QString DAT_targz_str;
    static const QString DAT_qtcomp_str;

    void setUrl(const QString& url) { m_url = url; }
    QString getUrl() const { return m_url; }
    void setInstallDirPath(const QString& dir) { m_installDir = dir; }
    QString getInstallDirPath() const { return m_installDir; }
    void addFile(const QString& member) { m_files << member; }
    QStringList getFiles() const { return m_files; }
    void setType(EDwnArchiveType type) { m_type = type; }
    // "tar.gz" and "qtcomp", exactly; any other text is no type.
    void setType(const QString& type);
    EDwnArchiveType getType() const { return m_type; }

    // The last component of the url: the name the archive is downloaded under.
    QString getName() const;
    bool isValid() const;

private:
    QString m_url;
    QString m_installDir;
    QStringList m_files;
    EDwnArchiveType m_type = DAT_none;
};

#endif
