#include "KProgBar.h"

#include "KObjProgress.h"
#include "KitFonts.h"
#include "ProgThread.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr unsigned long StopWaitMs = 1000;
}

KProgBar::KProgBar(KObjProgress* progress, QWidget* parent)
    : QWidget(parent), m_bar(new QProgressBar(this)), m_label(new QLabel(this)), m_progress(progress)
{
    setObjectName("KProgBar");
    m_bar->setObjectName("progressBar");
    m_label->setObjectName("label");
    auto* layout = new QVBoxLayout(this);
    layout->setObjectName("vboxLayout");
    layout->setSpacing(5);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_bar);
    layout->addWidget(m_label);
    m_bar->setRange(0, 100);
    // Long messages are elided instead of widening the dialog.
    m_label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    resize(310, 55);
    setMaximumHeight(55);
    QFont form = font();
    form.setPointSize(9);
    setFont(form);
    passParentFont(this, parent);

    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_bar->setEnabled(false);
}

KProgBar::~KProgBar()
{
    delete m_thread;
}

bool KProgBar::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

bool KProgBar::start()
{
    if (!m_progress)
        return false;
    m_bar->setTextVisible(true);
    m_bar->setEnabled(true);
    setText(m_progress->getMsg());
    m_bar->setValue(0);
    delete m_thread; // a polling thread of an earlier job is stopped and waited for
    m_thread = new ProgThread(m_progress);
    m_polling = true;
    // Polls already queued when polling stops must not overwrite the final text and value.
    connect(m_thread, &ProgThread::setProgress, this, [this](int value) {
        if (m_polling)
            setProgress(value);
    });
    connect(m_thread, &ProgThread::setText, this, [this](const QString& text) {
        if (m_polling)
            setText(text);
    });
    connect(m_thread, &QThread::finished, this, &KProgBar::finishedThread);
    m_thread->start(QThread::InheritPriority);
    return true;
}

bool KProgBar::stop()
{
    if (!m_thread)
        return true;
    m_polling = false;
    m_thread->stop();
    setText(tr("Annulation en cours..."));
    return m_thread->wait(StopWaitMs);
}

void KProgBar::setProgress(int value)
{
    m_bar->setValue(std::clamp(value, m_bar->minimum(), m_bar->maximum()));
    m_bar->repaint();
}

void KProgBar::setText(const QString& text)
{
    m_text = text;
    showElided();
    m_label->repaint();
    repaint();
}

void KProgBar::finishedThread()
{
    if (m_thread && m_thread->isFinished())
        emit finished();
}

void KProgBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    showElided();
}

void KProgBar::showElided()
{
    // Only the first line is shown, cut to the label's width.
    const QString line = m_text.section('\n', 0, 0).left(4096);
    m_label->setText(m_label->fontMetrics().elidedText(line, Qt::ElideRight,
                                                       std::max(m_label->width(), 1)));
    m_label->setToolTip(m_text.size() > line.size() || m_label->text() != line ? m_text.left(4096)
                                                                                : QString());
}
