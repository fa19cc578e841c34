#include "ExportThread.h"

#include "KCtrlFile.h"
#include "ZazuzoziZadiviDU.h"

ExportThread::ExportThread(const QString& path, KStreamFormat* format, KObjProgress* progress,
                           KObjFile::EDefMix policy, QObject* parent)
    : ExportThread(path, format, progress, policy,
                   ZazuzoziZadiviDU::hasInstance()
                       ? ZazuzoziZadiviDU::getInstance()->getTovraFile()
                       : nullptr,
                   parent)
{
}

ExportThread::ExportThread(const QString& path, KStreamFormat* format, KObjProgress* progress,
                           KObjFile::EDefMix policy, KCtrlFile* document, QObject* parent)
    : KObjThread(progress, parent),
      m_path(path),
      m_format(format),
      m_policy(policy),
      m_document(document)
{
}

ExportThread::~ExportThread()
{
    stopAndWait();
}

void ExportThread::run()
{
    const bool ok =
        m_document && m_document->exportToTovraFile(m_path, m_format, progress, m_policy);
    if (ok)
        emit success();
    else
        emit failure();
}

ExportTovixThread::ExportTovixThread(const QString& mix, const QString& path,
                                     KStreamFormat* format, KObjProgress* progress,
                                     KCtrlFile* document, QObject* parent)
    : KObjThread(progress, parent),
      m_mix(mix),
      m_path(path),
      m_format(format),
      m_document(document)
{
}

ExportTovixThread::~ExportTovixThread()
{
    stopAndWait();
}

void ExportTovixThread::run()
{
    const bool ok =
        m_document && m_document->exportTovixToAudioFile(m_mix, m_path, m_format, progress);
    if (ok)
        emit success();
    else
        emit failure();
}
