#include "KButton.h"

#include "KIsActiveFuncClass.h"
#include "KTheme.h"

#include <QAction>
#include <QEnterEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimeLine>
#include <QTimer>

namespace {
constexpr int BlinkIntervalMs = 100;
constexpr int FadeMs = 500;
}

KButton::KButton(QWidget* parent, bool animated) : QPushButton(parent)
{
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QPushButton::clicked, this, &KButton::released_slot);
    connect(this, &QAbstractButton::toggled, this, &KButton::updateBlinkTimer);
    if (animated)
        setActiveAnim();
}

QTimeLine* KButton::timeLine()
{
    // Made when the pointer first comes or a click first fades: most buttons of a console never
    // see either.
    if (!m_timeLine) {
        m_timeLine = new QTimeLine(FadeMs, this);
        m_timeLine->setDirection(QTimeLine::Forward);
        connect(m_timeLine, &QTimeLine::valueChanged, this, &KButton::anim,
                Qt::DirectConnection);
    }
    return m_timeLine;
}

void KButton::setIcons(const QIcon& normal, const QIcon& hover, const QIcon& checked)
{
    m_normalIcon = normal;
    m_hoverIcon = hover;
    m_checkedIcon = checked;
    setIcon(normal);
}

void KButton::setActiveFunc(bool (*func)())
{
    m_activeFunc = func;
}

void KButton::setActiveObject(KIsActiveFuncClass* object)
{
    m_activeObject = object;
}

void KButton::setActiveAnim()
{
    m_animated = true;
    updateBlinkTimer();
}

void KButton::setAction(QAction* action)
{
    if (action)
        connect(this, &KButton::isClicked, action, &QAction::trigger, Qt::UniqueConnection);
}

void KButton::removeAction(QAction* action)
{
    if (action)
        disconnect(this, &KButton::isClicked, action, &QAction::trigger);
}

bool KButton::isBlinking() const
{
    return m_blinkTimer && m_blinkTimer->isActive();
}

void KButton::setChecked(bool checked)
{
    QPushButton::setChecked(checked);
    updateBlinkTimer();
    emit stateChanged(checked);
}

void KButton::setState(bool checked)
{
    QPushButton::setChecked(checked);
    showIconFor(checked);
    updateBlinkTimer();
}

void KButton::setText(const QString& text)
{
    m_caption = text;
    setAccessibleName(text);
    update();
}

bool KButton::gateRefuses()
{
    return (m_activeFunc && !m_activeFunc()) || (m_activeObject && !m_activeObject->isActive());
}

bool KButton::isOneShot() const
{
    static const QStringList names = {"helpButton", "optionButton", "mixButton", "plusButton",
                                      "manageButton"};
    return names.contains(objectName());
}

void KButton::showIconFor(bool checked)
{
    if (checked && !m_checkedIcon.isNull())
        setIcon(m_checkedIcon);
    else if (!m_normalIcon.isNull())
        setIcon(m_normalIcon);
}

void KButton::updateBlinkTimer()
{
    const bool run = m_animated && isChecked() && isVisible();
    // The pulse timer is made the first time the pulse runs.
    if (run && !m_blinkTimer) {
        m_blinkTimer = new QTimer(this);
        m_blinkTimer->setInterval(BlinkIntervalMs);
        connect(m_blinkTimer, &QTimer::timeout, this, &KButton::loop);
    }
    if (run && !m_blinkTimer->isActive())
        m_blinkTimer->start();
    else if (!run && m_blinkTimer)
        m_blinkTimer->stop();
}

void KButton::released_slot()
{
    if (gateRefuses()) {
        setChecked(false);
        return;
    }
    showIconFor(isChecked());
    updateBlinkTimer();
    emit isClicked();
    if (!m_hoverSuppressed && isOneShot()) {
        setChecked(false);
        m_hoverSuppressed = true;
        if (!m_normalIcon.isNull())
            setIcon(m_normalIcon);
        timeLine()->setDirection(QTimeLine::Backward);
        if (m_timeLine->state() != QTimeLine::Running)
            m_timeLine->start();
        m_notHovered = true;
    }
}

void KButton::anim(qreal value)
{
    m_fade = value;
    update();
    const bool forward = m_timeLine->direction() == QTimeLine::Forward;
    if ((forward && value >= 1.0) || (!forward && value <= 0.0))
        m_hoverSuppressed = false;
}

void KButton::loop()
{
    m_blinkValue = m_blinkCounter * 0.1;
    if (m_blinkCounter == 0)
        m_blinkRising = true;
    else if (m_blinkCounter == 10)
        m_blinkRising = false;
    m_blinkCounter += m_blinkRising ? 1 : -1;
    update();
}

void KButton::enterEvent(QEnterEvent* event)
{
    QPushButton::enterEvent(event);
    if (m_hoverSuppressed && isOneShot()) {
        m_hoverSuppressed = false;
        m_notHovered = false;
        return;
    }
    timeLine()->setDirection(QTimeLine::Forward);
    if (m_timeLine->state() != QTimeLine::Running)
        m_timeLine->start();
    if (gateRefuses())
        return;
    m_notHovered = false;
    update();
}

void KButton::leaveEvent(QEvent* event)
{
    QPushButton::leaveEvent(event);
    timeLine()->setDirection(QTimeLine::Backward);
    if (m_timeLine->state() != QTimeLine::Running)
        m_timeLine->start();
    showIconFor(isChecked());
    m_notHovered = true;
    update();
}

void KButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect();
    if (icon().isNull()) {
        // Without pictures the button is the theme's flat panel.
        QStyleOptionButton option;
        initStyleOption(&option);
        if (!m_notHovered)
            option.state |= QStyle::State_MouseOver;
        style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &painter, this);
    } else {
        painter.drawPixmap(area, icon().pixmap(area.size(), devicePixelRatio()));
    }
    if (!m_hoverIcon.isNull()) {
        painter.setOpacity(isChecked() ? m_blinkValue : m_fade);
        painter.drawPixmap(area, m_hoverIcon.pixmap(area.size(), devicePixelRatio()));
        painter.setOpacity(1.0);
    }
    if (!m_caption.isEmpty()) {
        QFont bold = font();
        bold.setWeight(QFont::Bold);
        painter.setFont(bold);
        // Light at rest; the accent under the pointer (dark text would vanish on dark pictures).
        painter.setPen(m_notHovered ? KTheme::color(KTheme::Text) : KTheme::accent());
        painter.drawText(area, Qt::AlignCenter, m_caption);
    }
}

void KButton::showEvent(QShowEvent* event)
{
    QPushButton::showEvent(event);
    updateBlinkTimer();
}

void KButton::hideEvent(QHideEvent* event)
{
    QPushButton::hideEvent(event);
    updateBlinkTimer();
}
