#include "KTextBox.h"

#include <QEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>

const bool KTextBox::Def_Transparency = true;

namespace {
constexpr int Overshoot = 3;
}

KTextBox::KTextBox(int width, const QString& text, QWidget* parent)
    : QLabel(parent), m_boxWidth(width)
{
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setFixedWidth(width);
    setTransparency(Def_Transparency);
    // An empty box is already what setText would make of it: a box given its font and then its
    // text is set up once.
    if (!text.isEmpty())
        setText(text);
}

void KTextBox::setTextMovingInterval(int ms)
{
    m_interval = ms;
    if (m_timer)
        m_timer->setInterval(ms);
}

void KTextBox::setTransparency(const bool& transparent)
{
    QPalette pal = palette();
    QColor base(Qt::white);
    base.setAlpha(transparent ? 0 : 255);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        pal.setColor(group, QPalette::Base, base);
    setPalette(pal);
    setBackgroundRole(QPalette::Base);
}

bool KTextBox::isTimerRunning() const
{
    return m_timer && m_timer->isActive();
}

void KTextBox::setText(const QString& text)
{
    if (m_timer)
        m_timer->stop();
    QLabel::setText(text);
    setFixedWidth(m_boxWidth);
    setToolTip(text);
    measure();
    emit textChanged(text);
}

void KTextBox::measure()
{
    // An empty text has no width: no font to look up for it (a box is often built empty and
    // given its font before its text).
    m_textWidth = text().isEmpty() ? 0 : fontMetrics().horizontalAdvance(text());
    m_offset = 0;
    m_step = 1;
    m_scrolling = m_textWidth > m_boxWidth - Overshoot;
    updateTimer();
}

void KTextBox::updateTimer()
{
    // The scroll timer is made the first time a text overflows a shown box.
    if (m_scrolling && isVisible()) {
        if (!m_timer) {
            m_timer = new QTimer(this);
            m_timer->setInterval(m_interval);
            connect(m_timer, &QTimer::timeout, this, &KTextBox::timeout_slot);
        }
        m_timer->start();
    } else if (m_timer) {
        m_timer->stop();
    }
}

void KTextBox::timeout_slot()
{
    m_offset += m_step;
    if (m_offset + m_boxWidth > m_textWidth + Overshoot || m_offset < -Overshoot)
        m_step = -m_step;
    // Stay inside the travel even if the box or the text changed size between ticks.
    m_offset = std::clamp(m_offset, -Overshoot - 1,
                          std::max(-Overshoot, m_textWidth + Overshoot - m_boxWidth + 1));
    update();
}

void KTextBox::paintEvent(QPaintEvent* event)
{
    if (!m_scrolling) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(rect().translated(-m_offset, 0), Qt::AlignLeft | Qt::AlignVCenter, text());
}

void KTextBox::showEvent(QShowEvent* event)
{
    QLabel::showEvent(event);
    updateTimer();
}

void KTextBox::hideEvent(QHideEvent* event)
{
    QLabel::hideEvent(event);
    updateTimer();
}

void KTextBox::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        measure();
}
