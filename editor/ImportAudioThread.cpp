#include "ImportAudioThread.h"

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

// The file names between double quotes, for the messages.
QString quotedNames(const QStringList& paths)
{
    QStringList names;
    for (const QString& path : paths)
        names << "\"" + QFileInfo(path).fileName() + "\"";
    return names.join(", ");
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
        progress->setMsg(tr("Erreur : impossible d'importer la piste") + " " + quotedNames(failed)
                         + " !");
        progress->setState(-2);
        emit failure();
    } else {
        progress->setMsg(tr("Piste audio importée !"));
        progress->setState(3);
        emit success();
    }
}
