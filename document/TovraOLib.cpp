#include "TovraOLib.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <QFile>
#include <QFileInfo>

#include "AppServices.h"
#include "EngineText.h"
#include "KAudioConvert.h"
#include "KContainer.h"
#include "KTypes.h"

bool TovraOLib::writeStreamInFile(const QString& text, const QString& path)
{
    if (path.isEmpty())
        return false;
    char* kText = AppServices::QStringToKString(text);
    const QByteArray kPath = QFile::encodeName(path);
    // An empty text still writes a container, with an empty description.
    const int result = MeskToOgg5(nullptr, kPath.constData(), nullptr, kText ? kText : "", nullptr);
    AppServices::freeKString(kText);
    return result > 0;
}

QString TovraOLib::readStreamFromFile(const QString& path)
{
    if (path.isEmpty())
        return QString();
    char* text = extractXmlDescFromOgg(QFile::encodeName(path).constData());
    QString result = text ? EngineText::fromEngine(text) : QString();
    EngineText::release(text);
    return result.isNull() ? QString("") : result;
}

QString TovraOLib::getMsgError(EReturn code)
{
    return EngineText::fromEngine(getStrTvrError(code));
}

// "<complete base>.<n>.tmp.<suffix>" in the folder of `path`, the first n that is free.
static QString freeTemporaryPath(const QFileInfo& target)
{
    const QString stem = target.absolutePath() + '/' + target.completeBaseName() + '.';
    for (int n = 0;; ++n) {
        const QString candidate = stem + QString::number(n) + ".tmp." + target.suffix();
        if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink())
            return candidate;
    }
}

bool TovraOLib::convertStereoToMono(const QString& source, const QString& destination,
                                    QString* cause)
{
    if (cause)
        cause->clear();
    if (source.isEmpty() || destination.isEmpty()) {
        if (cause)
            *cause = QStringLiteral("no file named");
        return false;
    }
    const QFileInfo sourceInfo(source);
    const QFileInfo destinationInfo(destination);
    const bool inPlace = source == destination
                         || (destinationInfo.exists()
                             && sourceInfo.canonicalFilePath() == destinationInfo.canonicalFilePath());
    const QString output = inPlace ? freeTemporaryPath(destinationInfo) : destination;
    const QByteArray kSource = QFile::encodeName(source);
    const QByteArray kOutput = QFile::encodeName(output);
    char engineCause[1024] = "";
    if (k_convertStereoToMonoWithCause(kSource.constData(), kOutput.constData(), engineCause,
                                       sizeof(engineCause))
        == 0) {
        if (inPlace)
            QFile::remove(output);
        if (cause)
            *cause = QString::fromLocal8Bit(engineCause);
        return false;
    }
    if (!inPlace)
        return true;
    // rename(2) replaces the source atomically: the source is never removed before the mono
    // file stands in its place.
    const QByteArray kTarget = QFile::encodeName(sourceInfo.canonicalFilePath());
    if (std::rename(kOutput.constData(), kTarget.constData()) != 0) {
        const int error = errno;
        QFile::remove(output);
        if (cause)
            *cause = QString("cannot replace \"%1\" (%2)").arg(source, QString::fromLocal8Bit(std::strerror(error)));
        return false;
    }
    return true;
}
