#include "DlgProgBar.h"

#include "KObjProgress.h"
#include "KObjThread.h"
#include "KPrompt.h"
#include "KProgBar.h"
#include "KitFonts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

QString DlgProgBar::SuccessEndMsg = QCoreApplication::translate("QObject", "Action terminée avec succès !");
QString DlgProgBar::ErrorEndMsg = QCoreApplication::translate("QObject", "Action terminée avec des erreurs !");

DlgProgBar::Result DlgProgBar::open(bool autoClose, KObjThread* thread, const QString& title,
                                    const QString& successMsg, const QString& errorMsg,
                                    QWidget* parent, const QString& imagePath)
{
    DlgProgBar dialog(autoClose, thread, title, parent);
    dialog.setSuccessMsg(successMsg);
    dialog.setErrorMsg(errorMsg);
    if (!imagePath.isEmpty())
        dialog.setImage(imagePath);
    if (!dialog.start()) {
        dialog.hide();
        return Failure;
    }
    thread->start(QThread::InheritPriority);
    dialog.setFocus();
    KPrompt::exec(&dialog);
    // The worker has reported or been asked to stop; it ends within one of its steps.
    thread->wait();
    return dialog.outcome();
}

DlgProgBar::DlgProgBar(bool autoClose, KObjThread* thread, const QString& title, QWidget* parent)
    : QDialog(parent),
      m_autoClose(autoClose),
      m_thread(thread),
      m_successMsg(SuccessEndMsg),
      m_errorMsg(ErrorEndMsg),
      m_layout(new QVBoxLayout(this)),
      m_label(new QLabel("TextLabel", this)),
      m_cancelButton(new QPushButton(this)),
      m_progBar(nullptr)
{
    setObjectName("DlgProgBar");
    m_layout->setObjectName("verticalLayout");
    m_label->setObjectName("label");
    m_cancelButton->setObjectName("cancelButton");
    m_layout->setSpacing(5);
    m_layout->setContentsMargins(5, 5, 5, 5);
    m_layout->addWidget(m_label);
    auto* row = new QHBoxLayout;
    row->setObjectName("horizontalLayout");
    row->setSpacing(0);
    row->addStretch();
    row->addWidget(m_cancelButton);
    m_layout->addLayout(row);
    resize(301, 63);
    QFont form = font();
    form.setPointSize(9);
    setFont(form);
    passParentFont(this, parent);

    m_progBar = new KProgBar(thread ? thread->getProgress() : nullptr, this);
    m_layout->insertWidget(0, m_progBar);
    m_label->hide();
    m_cancelButton->setText(tr("Annuler"));
    connect(m_cancelButton, &QPushButton::released, this, &DlgProgBar::cancelAction);
    setWindowTitle(title);
    if (thread) {
        connect(thread, &KObjThread::success, this, &DlgProgBar::stop_ok, Qt::QueuedConnection);
        connect(thread, &KObjThread::failure, this, &DlgProgBar::stop_bad, Qt::QueuedConnection);
        connect(thread, &QThread::finished, this, &DlgProgBar::workerEnded, Qt::QueuedConnection);
    }
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    activateWindow();
}

void DlgProgBar::setSuccessMsg(const QString& text)
{
    m_successMsg = text;
}

void DlgProgBar::setErrorMsg(const QString& text)
{
    m_errorMsg = text;
}

void DlgProgBar::setImage(const QString& path)
{
    if (path.isEmpty())
        return;
    const QPixmap picture(path);
    auto* image = new QLabel(this);
    image->setObjectName("image");
    image->setAlignment(Qt::AlignHCenter);
    image->setPixmap(picture);
    m_layout->insertWidget(0, image);
    if (maximumHeight() < QWIDGETSIZE_MAX)
        setMaximumHeight(std::min(QWIDGETSIZE_MAX, maximumHeight() + picture.height()));
}

bool DlgProgBar::start()
{
    setModal(true);
    show();
    const bool started = m_progBar->start();
    if (!started)
        KPrompt::critical(this, tr("Erreur"), m_errorMsg, QMessageBox::Ok);
    return started;
}

void DlgProgBar::stop_ok()
{
    m_reported = true;
    if (m_cancelling) {
        m_outcome = Success; // the work was done before the stop request was seen
        return;
    }
    if (m_progBar->isRunning())
        m_progBar->stop();
    if (!m_autoClose)
        m_cancelButton->setText(tr("Ok"));
    m_progBar->setProgress(100);
    m_progBar->setText(m_successMsg);
    m_outcome = Success;
    if (m_autoClose)
        cancelAction();
}

void DlgProgBar::stop_bad()
{
    m_reported = true;
    if (m_cancelling)
        return;
    if (m_progBar->isRunning())
        m_progBar->stop();
    m_cancelButton->setText(tr("Ok"));
    m_progBar->setText(m_errorMsg);
    // A failed worker leaves its cause in the progress record: shown whole under the bar.
    KObjProgress* progress = m_thread ? m_thread->getProgress() : nullptr;
    const QString cause = progress && progress->getState() == -2 ? progress->getMsg() : QString();
    if (!cause.isEmpty() && cause != m_errorMsg) {
        m_label->setWordWrap(true);
        m_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_label->setText(cause);
        m_label->show();
        adjustSize();
    }
    m_outcome = Failure;
}

void DlgProgBar::cancelAction()
{
    if (m_cancelling)
        return;
    if (!m_reported && m_thread && m_thread->isRunning()) {
        m_cancelling = true;
        m_outcome = Cancelled;
        m_progBar->stop();
        m_progBar->setText(tr("Annulation en cours..."));
        m_cancelButton->setEnabled(false);
        m_cancelButton->repaint();
        m_thread->quit();
        // workerEnded() closes the dialog once the worker has stopped.
        return;
    }
    hide();
}

void DlgProgBar::workerEnded()
{
    if (m_cancelling)
        hide();
}

void DlgProgBar::reject()
{
    cancelAction();
}

void DlgProgBar::closeEvent(QCloseEvent* event)
{
    event->ignore();
    cancelAction();
}
