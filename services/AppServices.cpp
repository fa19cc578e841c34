#include "AppServices.h"

#include "AppPaths.h"
#include "DlgUpdate.h"
#include "KItem.h"
#include "KSingleApp.h"
#include "tvr_utils.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QStandardItem>
#include <QStringDecoder>
#include <QTcpSocket>
#include <QUrl>
#include <QWidget>

#include <cmath>
#include <algorithm>
#include <cstdlib>
#include <cstring>

char* AppServices::QStringToKString(const QString& text)
{
    if (text.isEmpty())
        return nullptr;
    const QByteArray bytes = text.toUtf8();
    char* result = static_cast<char*>(tvr_malloc(static_cast<size_t>(bytes.size()) + 1));
    if (!result)
        return nullptr;
    std::memcpy(result, bytes.constData(), static_cast<size_t>(bytes.size()));
    result[bytes.size()] = '\0';
    return result;
}

QString AppServices::KStringToQString(const char* text)
{
    if (!text)
        return QString();
    const QByteArrayView bytes(text, static_cast<qsizetype>(std::strlen(text)));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8(bytes);
    if (!utf8.hasError())
        return decoded;
    return QString::fromLatin1(bytes);
}

void AppServices::freeKString(char* text)
{
    if (!text)
        return;
    tvr_free_called();
    std::free(text);
}

double AppServices::doubleToDecibel(double gain)
{
    // The engine's level of a gain that is not positive is silence.
    if (!(gain > 0.0))
        gain = 0.0;
    return doubleToCB(gain) / 10.0;
}

double AppServices::decibelToDouble(double decibels)
{
    double units = decibels * 10.0;
    if (std::isnan(units))
        units = -240.0;
    // Keep the value an int can hold, and absorb the binary error of the product (2.3 x 10 is
    // 22.999...) so that a displayed value maps back onto its own level unit.
    units = std::fmax(-1.0e6, std::fmin(1.0e6, units));
    const double nudged = units + (units >= 0.0 ? 1e-9 : -1e-9);
    return cBToDouble(static_cast<int>(std::trunc(nudged)));
}

double AppServices::amplitudeToDecibel(double gain)
{
    if (!(gain > 0.0))
        return -240.0;
    const double decibels = std::fmax(-240.0, 20.0 * std::log10(gain));
    return std::round(decibels * 1e4) / 1e4;
}

double AppServices::decibelToAmplitude(double decibels)
{
    if (std::isnan(decibels))
        return 0.0;
    return std::pow(10.0, std::fmin(decibels, 240.0) / 20.0);
}

namespace {
// Every image of the file as an icon entry at device pixel ratio 1, as QIcon's own file
// loading stores them.
void addPictureImages(QIcon& icon, const QString& path)
{
    QImageReader reader(path);
    QImage image;
    while (reader.read(&image)) {
        QPixmap pixmap = QPixmap::fromImage(image);
        pixmap.setDevicePixelRatio(1.0);
        icon.addPixmap(pixmap);
    }
}

// The "@Nx" form of the file for the screen's pixel ratio (from the ratio rounded up down to
// 2), or the file itself when there is none or the ratio is 1.
QString densePicturePath(const QString& path)
{
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    if (ratio <= 1.0)
        return path;
    int dot = path.lastIndexOf(u'.');
    if (dot == -1)
        dot = path.size();
    QString dense = path;
    dense.insert(dot, QStringLiteral("@2x"));
    for (int n = std::min(static_cast<int>(std::ceil(ratio)), 9); n > 1; --n) {
        dense[dot + 1] = QLatin1Char(static_cast<char>('0' + n));
        if (QFile::exists(dense))
            return dense;
    }
    return path;
}
} // namespace

QIcon AppServices::pictureIcon(const QString& path)
{
    QIcon icon;
    if (path.isEmpty())
        return icon;
    addPictureImages(icon, path);
    const QString dense = densePicturePath(path);
    if (dense != path)
        addPictureImages(icon, dense);
    return icon;
}

QPixmap AppServices::picture(const QString& path)
{
    return QPixmap::fromImage(QImage(path));
}

void AppServices::setFontParent(QWidget* widget, QFont font)
{
    if (!widget)
        return;
    widget->setFont(font);
    // findChildren already walks every depth.
    const QList<QWidget*> children = widget->findChildren<QWidget*>();
    for (QWidget* child : children)
        child->setFont(font);
}

QString AppServices::searchFileInList(const QStringList& items)
{
    // The longest join first: "/a/My" "Song.tvprj" names "/a/My Song.tvprj" even when a file
    // "/a/My" exists too.
    for (qsizetype count = items.size(); count > 0; --count) {
        const QString joined = items.mid(0, count).join(' ');
        if (QFileInfo(joined).isFile())
            return joined;
    }
    return QString();
}

QString AppServices::addExtIfNec(const QString& name, const QString& ext)
{
    if (name.isEmpty() && ext.isEmpty())
        return QString();
    if (name.endsWith(ext, Qt::CaseSensitive))
        return name;
    return name + ext;
}

namespace {
// Removes every file below a folder, keeping the folders; links are removed, never followed.
bool emptyFolder(const QString& folder)
{
    const QFileInfoList entries = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::NoSort);
    for (const QFileInfo& entry : entries) {
        const bool ok = (entry.isSymLink() || !entry.isDir())
                            ? QFile::remove(entry.absoluteFilePath())
                            : emptyFolder(entry.absoluteFilePath());
        if (!ok)
            return false;
    }
    return true;
}
} // namespace

bool AppServices::removeDir(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || (!info.exists() && !info.isSymLink()))
        return false;
    if (info.isSymLink() || !info.isDir())
        return QFile::remove(path);
    return emptyFolder(path);
}

bool AppServices::openDoc(const QString& path, bool relative)
{
    if (relative) {
        const QString local = QDir::toNativeSeparators(AppPaths::programDir() + QDir::separator() + path);
        return QDesktopServices::openUrl(QUrl::fromLocalFile(local));
    }
    return QDesktopServices::openUrl(QUrl(path, QUrl::TolerantMode));
}

bool AppServices::openPdf(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.suffix() != "pdf")
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

QString AppServices::getBaseName(const QString& path, const QString& base)
{
    QString slashedPath = path;
    QString slashedBase = base;
    const QStringList pathParts = slashedPath.replace('\\', '/').split('/', Qt::SkipEmptyParts);
    const QStringList baseParts = slashedBase.replace('\\', '/').split('/', Qt::SkipEmptyParts);
    if (pathParts.size() < 2)
        return QString();
    const int start = pathParts[0].contains("http:", Qt::CaseInsensitive)
                              || pathParts[0].contains("https:", Qt::CaseInsensitive)
                          ? 1
                          : 0;
    if (pathParts.size() < start + baseParts.size())
        return QString();
    for (int i = 0; i < baseParts.size(); ++i) {
        if (!pathParts[start + i].contains(baseParts[i], Qt::CaseInsensitive))
            return QString();
    }
    return pathParts.last();
}

int AppServices::dateToInt(const QString& date)
{
    static const char* const months[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                         "jul", "aug", "sep", "oct", "nov", "dec"};
    const QStringList parts = date.split(' ', Qt::SkipEmptyParts);
    if (parts.size() < 3)
        return 0;
    QString month;
    const QString monthName = parts[0].left(3).toLower();
    for (int i = 0; i < 12; ++i) {
        if (monthName == QLatin1String(months[i]))
            month = QString("%1").arg(i + 1, 2, 10, QChar('0'));
    }
    QString day = parts[1];
    if (day.size() == 1)
        day.prepend('0');
    return (parts[2].right(1) + month + day).toInt();
}

QString AppServices::getVersion(const QString& base, const QString& date)
{
    return base + "." + QString::number(dateToInt(date));
}

bool AppServices::versionCheckUp(bool& upToDate, const QString& current, const QString& descUrl,
                                 const QString& product, const QString& server,
                                 const QString& infoUrl, const QString& localFile, QWidget* parent,
                                 bool show, bool* unreadable)
{
    return DlgUpdate::checkup(upToDate, current, descUrl, product, server, infoUrl, localFile,
                              parent, show, unreadable);
}

KItem* AppServices::findNode(QStandardItem* root, const QString& name)
{
    if (!root)
        return nullptr;
    if (auto* item = dynamic_cast<KItem*>(root); item && item->text() == name)
        return item;
    for (int row = 0; row < root->rowCount(); ++row) {
        if (KItem* found = findNode(root->child(row, 0), name))
            return found;
    }
    return nullptr;
}

bool AppServices::isAParentNode(QStandardItem* item, const QString& name)
{
    if (!item)
        return false;
    for (int row = 0; row < item->rowCount(); ++row) {
        if (findNode(item->child(row, 0), name))
            return true;
    }
    return false;
}

void AppServices::getParentNodes(QStandardItem* item, QStringList& names, const QString& exclusion)
{
    if (!item || item->rowCount() == 0)
        return;
    if (item->text() != exclusion)
        names << item->text();
    for (int row = 0; row < item->rowCount(); ++row)
        getParentNodes(item->child(row, 0), names, QString());
}

KSingleApp* AppServices::getSingleApp(int port, const QStringList& args, QObject* parent)
{
    QTcpSocket socket;
    socket.connectToHost(KSingleApp::LocalAdress, static_cast<quint16>(port));
    if (!socket.waitForConnected(1000))
        return new KSingleApp(port, parent);
    if (!args.isEmpty()) {
        QByteArray message = args.join(KSingleApp::Separator).toUtf8();
        message.append('\0');
        socket.write(message);
        socket.waitForBytesWritten(30000);
        // The answer only says the message arrived; it is not read.
        socket.waitForReadyRead(30000);
    }
    socket.close();
    return nullptr;
}

bool AppServices::log(const QString&, bool)
{
    return true;
}

bool AppServices::log(const QStringList&)
{
    return true;
}

void AppServices::closelog() {}

namespace {
QApplication*& madeApplication()
{
    static QApplication* application = nullptr;
    return application;
}
} // namespace

extern "C" int kQt_initAppServices(void)
{
    // Qt needs a program name in argv[0]; the storage outlives the application object.
    static int argc = 1;
    static char programName[] = "appservices";
    static char* argv[] = {programName, nullptr};
    if (!madeApplication() && !QCoreApplication::instance())
        madeApplication() = new QApplication(argc, argv);
    return 1;
}

extern "C" int kQt_closeAppServices(void)
{
    delete madeApplication();
    madeApplication() = nullptr;
    return 1;
}

extern "C" int kQt_openDoc(const char* path)
{
    return AppServices::openDoc(AppServices::KStringToQString(path), false) ? 1 : 0;
}

extern "C" char* kQt_getVersion(const char* base, const char* date)
{
    return AppServices::QStringToKString(
        AppServices::getVersion(AppServices::KStringToQString(base), AppServices::KStringToQString(date)));
}

extern "C" int kQt_versionCheckUp(const char* current, const char* descUrl, const char* product,
                                  const char* server, const char* infoUrl, const char* localFile)
{
    bool upToDate = false;
    return AppServices::versionCheckUp(upToDate, AppServices::KStringToQString(current),
                                       AppServices::KStringToQString(descUrl),
                                       AppServices::KStringToQString(product),
                                       AppServices::KStringToQString(server),
                                       AppServices::KStringToQString(infoUrl),
                                       AppServices::KStringToQString(localFile), nullptr, true)
               ? 1
               : 0;
}
