// The editor's preferences: one typed getter and setter per key of the native settings store,
// the recent projects, the version, product name and interface language, and the tidying of the
// update work folder after a new version first runs. GUI thread only.
#ifndef SONARIC_PARAMS_H
#define SONARIC_PARAMS_H

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include "SonaricParamsEnums.h"

class QSettings;
struct KStreamFormat;

// Settings keys and the names of the language file and of the update files.
namespace Snc {
extern const QString SonaricParams;
extern const QString CurrentVersion;
extern const QString CompanyName;
extern const QString ApplicationName;
extern const QString UpdateFile;
extern const QString UpdateFileUrl;
extern const QString UpdateInstallerUrl;
extern const QString UpdateTmpDir;
extern const QStringList UpdateLibBinaries;
extern const QString LangDirPath;
extern const QString LangFileName;
extern const QString LangKey;
} // namespace Snc

// Export formats and sample rates offered by the export page.
class SonaricDefines
{
public:
    static QStringList ExportFormats();
    static QString ExportDefaultFormat();
    static QList<double> ExportRates();
    static double ExportDefaultRate();
};

class SonaricParams : public QObject, public SonaricEnums
{
    Q_OBJECT

public:

    explicit SonaricParams(QObject* parent = nullptr);
    ~SonaricParams() override;

    QStringList getRecentPrj() const;
    void setRecentPrj(const QStringList& list);
    // Puts an existing project file at the front of the recent list (at most six pairs).
    void setRecentPrj(const QString& name, const QString& path);
    // The path of pair n (0 = newest); a null string outside the list.
    QString getRecentPathPrj(int n) const;
    QStringList getCleanRecentPrj() const;

    QString getLastPrjDirectory() const;
    void setLastPrjDirectory(const QString& dir);
    QString getLastExportDirectory() const;
    void setLastExportDirectory(const QString& dir);
    QString getLastImportDirectory() const;
    void setLastImportDirectory(const QString& dir);
    bool getWantTips() const;
    void setWantTips(bool want);
    int getImportStereoMode() const;
    void setImportStereoMode(int mode);
    int getImportStereoConvert() const;
    void setImportStereoConvert(int mode);
    QString getImportStereoSuffix() const;
    void setImportStereoSuffix(const QString& suffix);
    int getUpdateSearch() const;
    void setUpdateSearch(int mode);
    bool getUseCnsttSelection() const;
    void setUseCnsttSelection(bool use);
    bool getUseCnsttLevel() const;
    void setUseCnsttLevel(bool use);
    int getNotMuteLevelMode() const;
    void setNotMuteLevelMode(int mode);
    int getNotMuteMinLevel() const;
    void setNotMuteMinLevel(int level);

    QString getCurrentVersion() const { return currentVersion; }
    QString getLanguage() const { return language; }
    void setLanguage(const QString& code) { language = code; }
    QString getSoftName() const { return softName; }

    // Imports and audio checks apply no format filter.
    KStreamFormat* getAudioStreamFilter() const { return nullptr; }
    QString getAudioFileFilter() const;

    // The update work folder inside the program's folder.
    static QString updateWorkDir();
    void cleanUpdateFiles();
    void sync();

signals:
    void useCnsttSelectionChanged(bool use);
    void useCnsttLevelChanged(bool use);

private:
    QVariant value(const char* name, const QVariant& fallback) const;
    void setValue(const char* name, const QVariant& value);

    QString currentVersion;
    QString language;
    QSettings* settings;
    QString softName;
};

#endif
