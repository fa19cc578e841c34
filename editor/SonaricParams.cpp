#include "SonaricParams.h"

#include "AppPaths.h"
#include "AppServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#ifndef TOVRA_BUILD_DATE
#error "TOVRA_BUILD_DATE must give the build date as \"Mmm dd yyyy\""
#endif

namespace Snc {
const QString SonaricParams = QStringLiteral("SonaricParams/");
const QString CurrentVersion = QStringLiteral("CurrentVersion");
const QString CompanyName = QStringLiteral("Tovra Media");
const QString ApplicationName = QStringLiteral("Tovra Sonaric Pro");
const QString UpdateFile = QStringLiteral("SonaricUpdate");
const QString UpdateFileUrl = QStringLiteral(TOVRA_UPDATE_FILE_URL);
const QString UpdateInstallerUrl = QStringLiteral(TOVRA_UPDATE_INSTALLER_URL);
const QString UpdateTmpDir = QStringLiteral(".tvrudttmp");
// Copied for the updater when the program folder ships its own toolkit (a relocatable bundle).
const QStringList UpdateLibBinaries = {"libQt6Core.so.6", "libQt6Gui.so.6", "libQt6Widgets.so.6",
                                       "libQt6Xml.so.6", "libQt6Network.so.6"};
const QString LangDirPath = QStringLiteral("../Resources/");
const QString LangFileName = QStringLiteral("lang.ini");
const QString LangKey = QStringLiteral("LANG");
} // namespace Snc

QStringList SonaricDefines::ExportFormats()
{
    return {"OGG VORBIS", "Flac", "Raw"};
}

QString SonaricDefines::ExportDefaultFormat()
{
    return "OGG VORBIS";
}

QList<double> SonaricDefines::ExportRates()
{
    return {11025.0, 16000.0, 22050.0, 44100.0, 48000.0, 96000.0};
}

double SonaricDefines::ExportDefaultRate()
{
    return 44100.0;
}

namespace {
constexpr int MaxRecentEntries = 10;

// Removes a file, a link (never followed) or a whole folder; a missing path is no error.
void removeTree(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}
} // namespace

SonaricParams::SonaricParams(QObject* parent)
    : QObject(parent),
      currentVersion(AppServices::getVersion("1.1", TOVRA_BUILD_DATE)),
      settings(new QSettings(QSettings::NativeFormat, QSettings::UserScope, Snc::CompanyName,
                             Snc::ApplicationName)),
      softName("Tovra Sonaric Free")
{
    if (settings->value(Snc::CurrentVersion, QString()).toString() != currentVersion) {
        settings->setValue(Snc::CurrentVersion, currentVersion);
        cleanUpdateFiles();
    }
}

SonaricParams::~SonaricParams()
{
    delete settings;
}

QVariant SonaricParams::value(const char* name, const QVariant& fallback) const
{
    return settings->value(Snc::SonaricParams + QLatin1String(name), fallback);
}

void SonaricParams::setValue(const char* name, const QVariant& value)
{
    settings->setValue(Snc::SonaricParams + QLatin1String(name), value);
}

QStringList SonaricParams::getRecentPrj() const
{
    return value("RecentProjects", QStringList()).toStringList();
}

void SonaricParams::setRecentPrj(const QStringList& list)
{
    setValue("RecentProjects", list);
}

void SonaricParams::setRecentPrj(const QString& name, const QString& path)
{
    if (!QFileInfo(path).isFile())
        return;
    QStringList list = getRecentPrj();
    // A list edited by hand may end with a name that has no path: drop it, so that names
    // and paths never change places.
    if (list.size() % 2)
        list.removeLast();
    int found = -1;
    for (int i = 1; i < list.size(); i += 2) {
        if (list[i] == path) {
            found = i - 1;
            break;
        }
    }
    if (found >= 0)
        list.erase(list.begin() + found, list.begin() + found + 2);
    else if (list.size() > MaxRecentEntries)
        list.erase(list.end() - 2, list.end());
    list.prepend(path);
    list.prepend(name);
    setRecentPrj(list);
}

QString SonaricParams::getRecentPathPrj(int n) const
{
    const QStringList list = getRecentPrj();
    if (n < 0 || n >= list.size() / 2)
        return QString();
    return list[2 * n + 1];
}

QStringList SonaricParams::getCleanRecentPrj() const
{
    const QStringList list = getRecentPrj();
    QStringList texts;
    for (int i = 0; i + 1 < list.size(); i += 2)
        texts << list[i] + " (\"" + list[i + 1] + "\")";
    return texts;
}

QString SonaricParams::getLastPrjDirectory() const
{
    return value("LastProjectDir", QString()).toString();
}

void SonaricParams::setLastPrjDirectory(const QString& dir)
{
    setValue("LastProjectDir", dir);
}

QString SonaricParams::getLastExportDirectory() const
{
    return value("LastExportDir", QString()).toString();
}

void SonaricParams::setLastExportDirectory(const QString& dir)
{
    setValue("LastExportDir", dir);
}

QString SonaricParams::getLastImportDirectory() const
{
    return value("LastImportDir", QString()).toString();
}

void SonaricParams::setLastImportDirectory(const QString& dir)
{
    setValue("LastImportDir", dir);
}

bool SonaricParams::getWantTips() const
{
    return value("WantTips", true).toBool();
}

void SonaricParams::setWantTips(bool want)
{
    setValue("WantTips", want);
}

int SonaricParams::getImportStereoMode() const
{
    return value("ImportStereo", int(ImportAsk)).toInt();
}

void SonaricParams::setImportStereoMode(int mode)
{
    setValue("ImportStereo", mode);
}

int SonaricParams::getImportStereoConvert() const
{
    return value("ImportStereoConvert", int(ConvertAsk)).toInt();
}

void SonaricParams::setImportStereoConvert(int mode)
{
    setValue("ImportStereoConvert", mode);
}

QString SonaricParams::getImportStereoSuffix() const
{
    return value("ImportStereoSuffix", QString("_mono")).toString();
}

void SonaricParams::setImportStereoSuffix(const QString& suffix)
{
    setValue("ImportStereoSuffix", suffix);
}

int SonaricParams::getUpdateSearch() const
{
    return value("UpdateSearch", int(UpdateCheckOnly)).toInt();
}

void SonaricParams::setUpdateSearch(int mode)
{
    setValue("UpdateSearch", mode);
}

bool SonaricParams::getUseCnsttSelection() const
{
    return value("UseCnsttSelection", true).toBool();
}

void SonaricParams::setUseCnsttSelection(bool use)
{
    const bool old = getUseCnsttSelection();
    setValue("UseCnsttSelection", use);
    if (old != use)
        emit useCnsttSelectionChanged(use);
}

bool SonaricParams::getUseCnsttLevel() const
{
    return value("UseCnsttLevel", true).toBool();
}

void SonaricParams::setUseCnsttLevel(bool use)
{
    const bool old = getUseCnsttLevel();
    setValue("UseCnsttLevel", use);
    if (old != use)
        emit useCnsttLevelChanged(use);
}

int SonaricParams::getNotMuteLevelMode() const
{
    return value("NotMuteLevelMode", int(NotMuteAsk)).toInt();
}

void SonaricParams::setNotMuteLevelMode(int mode)
{
    setValue("NotMuteLevelMode", mode);
}

int SonaricParams::getNotMuteMinLevel() const
{
    return value("NotMuteMinLevel", -120).toInt();
}

void SonaricParams::setNotMuteMinLevel(int level)
{
    setValue("NotMuteMinLevel", level);
}

QString SonaricParams::getAudioFileFilter() const
{
    return QStringList{tr("Fichiers audio") +
                           " (*.wav *.wave *.aif *.aiff *.ogg *.mp3 *.mp2 *.mpeg *.au *.caf)",
                       tr("Fichiers Wave") + " (*.wav *.wave)",
                       tr("Fichiers AIFF") + " (*.aif *.aiff)",
                       tr("Fichiers OGG-Vorbis") + " (*.ogg)",
                       tr("Fichiers MPEG") + " (*.mp3 *.mp2 *.mpeg)",
                       tr("Fichiers AU") + " (*.au)",
                       tr("Fichiers CAF") + " (*.caf)"}
        .join(";;");
}

QString SonaricParams::updateWorkDir()
{
    return AppPaths::programDir() + "/" + Snc::UpdateTmpDir;
}

void SonaricParams::cleanUpdateFiles()
{
    // Links are removed as links and never followed (QDir::removeRecursively does the same
    // inside a folder), so an unpacked archive cannot make the tidying reach outside the work
    // folder; emptied sub-folders go too.
    const QString work = updateWorkDir();
    removeTree(work + "/TovraMedia");
    for (const QString& name : Snc::UpdateLibBinaries)
        QFile::remove(work + "/" + name);
    QFile::remove(work + "/" + Snc::UpdateFile);
    removeTree(work);
}

void SonaricParams::sync()
{
    settings->sync();
}
