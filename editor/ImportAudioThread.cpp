#include "ImportAudioThread.h"

#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>

#include "KCtrlFile.h"
#include "KObjProgress.h"
#include "ZazuzoziZadiviDU.h"

namespace {

KCtrlFile* mainWindowDocument()
{
    return ZazuzoziZadiviDU::hasInstance() ? ZazuzoziZadiviDU::getInstance()->getTovraFile()
                                           : nullptr;
}

// Whether the file starts as one of the audio containers the reader knows.
bool looksLikeAudio(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(12);
    return (head.startsWith("RIFF") && head.mid(8, 4) == "WAVE") || head.startsWith("fLaC")
           || head.startsWith("OggS") || head.startsWith("ID3") || head.startsWith("FORM")
           || head.startsWith(".snd") || head.startsWith("caff")
           || (head.size() >= 2 && uchar(head[0]) == 0xFF && (uchar(head[1]) & 0xE0) == 0xE0);
}

// Why the document could not add the file as a track.
QString refusalCause(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return ImportAudioThread::tr("fichier introuvable");
    if (!info.isFile())
        return ImportAudioThread::tr("ce n'est pas un fichier");
    if (!info.isReadable())
        return ImportAudioThread::tr("lecture refusée");
    if (info.size() == 0)
        return ImportAudioThread::tr("fichier vide");
    if (!looksLikeAudio(path))
        return ImportAudioThread::tr("ce n'est pas un fichier audio");
    return ImportAudioThread::tr("données audio endommagées ou codage non pris en charge");
}

// One line per refused file: its name between double quotes and the cause.
QString refusedLines(const QStringList& paths)
{
    QStringList lines;
    for (const QString& path : paths)
        lines << "\"" + QFileInfo(path).fileName() + "\" : " + refusalCause(path);
    return lines.join('\n');
}

} // namespace

ImportAudioThread::ImportAudioThread(const QStringList& paths, QObject* parent)
    : ImportAudioThread(paths, mainWindowDocument(), parent)
{
}

ImportAudioThread::ImportAudioThread(const QStringList& paths, KCtrlFile* document,
                                     QObject* parent)
    : KObjThread(new KObjProgress, parent), m_paths(paths), m_document(document)
{
}

ImportAudioThread::~ImportAudioThread()
{
    stopAndWait();
    delete progress;
}

QStringList ImportAudioThread::getTrackNames() const
{
    QMutexLocker lock(&m_mutex);
    return m_trackNames;
}

QStringList ImportAudioThread::getFailedPaths() const
{
    QMutexLocker lock(&m_mutex);
    return m_failedPaths;
}

void ImportAudioThread::run()
{
    const int n = m_paths.size();
    progress->setState(2);
    progress->setMsg(tr("Initialisation de l'import..."));
    int i = 0;
    for (; keepRunning && i < n; ++i) {
        const QString& path = m_paths.at(i);
        progress->setMsg(tr("Importer une piste") + " \"" + QFileInfo(path).fileName() + "\"...");
        const QString name =
            m_document ? m_document->addTrack(QString(), path, nullptr) : QString();
        {
            QMutexLocker lock(&m_mutex);
            if (name.isEmpty())
                m_failedPaths << path;
            else
                m_trackNames << name;
        }
        progress->setProg(double(i + 1) / n);
    }
    const QStringList failed = getFailedPaths();
    if (i < n) {
        progress->setMsg(tr("Import interrompu"));
        progress->setState(-2);
        emit failure();
    } else if (!failed.isEmpty()) {
        progress->setMsg(tr("Erreur : impossible d'importer la piste") + " !\n" + refusedLines(failed));
        progress->setState(-2);
        emit failure();
    } else {
        progress->setMsg(tr("Piste audio importée !"));
        progress->setState(3);
        emit success();
    }
}
