// One item of an update to download: the version that listed it, where it comes from and the
// folder (relative to the editor folder, written with its closing "/") it is installed into.
#ifndef PROPERTIES_FILE_H
#define PROPERTIES_FILE_H

#include <QString>

class PropertiesFile
{
public:
    PropertiesFile() = default;
    PropertiesFile(const QString& version, const QString& url, const QString& installDirectory)
        : m_version(version), m_url(url), m_installDirectory(installDirectory)
    {
    }

    void setVersion(const QString& version) { m_version = version; }
    QString getVersion() const { return m_version; }
    void setUrl(const QString& url) { m_url = url; }
    QString getUrl() const { return m_url; }
    void setInstallDirectory(const QString& dir) { m_installDirectory = dir; }
    QString getInstallDirectory() const { return m_installDirectory; }

private:
    QString m_version;
    QString m_url;
    QString m_installDirectory;
};

#endif
