#include "TovraExportThread.h"

#include "DlgExportToTovraUI.h"
#include "ExportThread.h"
#include "KCtrlFile.h"
#include "KObjProgress.h"
#include "KPrompt.h"
#include "KTypes.h"
#include "SonaricParams.h"
#include "WdgFmtSndFile.h"

namespace {
// The container carries tracks as Vorbis streams or as uncompressed audio files.
constexpr int RawMajor = 0x40000;
}

TovraExportThread::TovraExportThread(KCtrlFile* document, SonaricParams* params, QWidget* parent)
    : QObject(parent), m_document(document), m_params(params), m_dialog(new DlgExportToTovraUI(params, parent))
{
    m_dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    m_dialog->addFormat(new WdgFmtSndFile(RawMajor));
    connect(m_dialog, &DlgExportToTovraUI::exported, this, &TovraExportThread::exportRequested);
    connect(m_dialog, &DlgExportToTovraUI::cancelled, this, &TovraExportThread::cancelRequested);
}

TovraExportThread::~TovraExportThread()
{
    if (m_worker)
        m_worker->quit();
    release();
    delete m_dialog;
}

void TovraExportThread::launch()
{
    if (m_document) {
        m_dialog->setMode(m_document->getMixNames().isEmpty() ? DlgExportToTovraUI::ModeChooseDefault
                                                              : DlgExportToTovraUI::ModeStoredMixes);
        QList<double> rates = SonaricDefines::ExportRates();
        rates += m_document->getTracksRates();
        m_dialog->setAvailableRates(rates);
    }
    m_dialog->open();
}

void TovraExportThread::exportRequested()
{
    if (m_worker)
        return;
    if (!m_document) {
        KPrompt::critical(m_dialog, m_dialog->windowTitle(), tr("Erreur durant l'export en Tovra"));
        return;
    }
    const int code = m_dialog->getFormat();
    m_format = KStreamFormat_new();
    m_format->code = code;
    m_format->channels = 0;
    m_format->rate = m_dialog->getRate();
    m_format->bits = KAudioFmt_getNumberBits(code);
    m_progress = new KObjProgress;
    m_cancelAsked = false;
    m_worker = new ExportThread(m_dialog->getPath(), m_format, m_progress,
                                KObjFile::EDefMix(m_dialog->getDefMixPolicy()), m_document.data());
    connect(m_worker, &KObjThread::success, this, [this] { workerEnded(true); });
    connect(m_worker, &KObjThread::failure, this, [this] { workerEnded(false); });
    m_dialog->beginProgress(m_progress);
    m_worker->start();
}

// A cancel while exporting asks the worker to stop (the engine's writers poll the progress
// record and leave no file behind); the dialog then stays until the worker has ended.
void TovraExportThread::cancelRequested()
{
    if (m_worker) {
        m_cancelAsked = true;
        m_worker->quit();
        return;
    }
    emit finished(Cancelled);
}

void TovraExportThread::workerEnded(bool ok)
{
    if (!m_worker)
        return;
    const bool cancelled = m_cancelAsked && !ok;
    release();
    const QString title = m_dialog->windowTitle();
    if (ok) {
        KPrompt::information(m_dialog, title, tr("L'export s'est terminé avec succès !"));
        m_dialog->accept();
        emit finished(Succeeded);
    } else if (cancelled) {
        KPrompt::information(m_dialog, title, tr("Export annulé !"));
        m_dialog->QDialog::reject();
        emit finished(Cancelled);
    } else {
        KPrompt::critical(m_dialog, title, tr("Erreur durant l'export en Tovra"));
        emit finished(Failed);
    }
}

// The poller stops before the progress object goes, the worker ends before its format and
// progress go.
void TovraExportThread::release()
{
    m_dialog->stopProgress();
    delete m_worker; // waits for run() to end
    m_worker = nullptr;
    delete m_progress;
    m_progress = nullptr;
    KStreamFormat_delete(&m_format);
}
