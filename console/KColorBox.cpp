#include "KColorBox.h"

#include "KPrompt.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

const double KColorBox::KColorBoxDefaultSizeProp = 0.2;
const QColor KColorBox::KColorBoxDefaultMin = QColor(255, 255, 255);
const QColor KColorBox::KColorBoxDefaultMax = QColor(0, 0, 0);

KColorBox::KColorBox(QWidget* parent)
    : QWidget(parent)
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    updateSteps();
    updateGeometryRects();
}

void KColorBox::setColors(const QList<QColor>& colors)
{
    if (colors.isEmpty())
        return;
    m_colors = colors;
    m_nbColors = int(colors.size());
    updateGeometryRects();
    update();
}

void KColorBox::setRangeColors(const QColor& start, const QColor& end)
{
    m_rangeStart = start;
    m_rangeEnd = end;
    m_selected = start;
    m_colors.clear();
    updateSteps();
    update();
}

void KColorBox::setColorNb(int n)
{
    if (n < 1)
        return;
    m_nbColors = m_colors.isEmpty() ? n : std::min(n, int(m_colors.size()));
    updateSteps();
    updateGeometryRects();
    update();
}

void KColorBox::setMode(CBMode mode)
{
    m_mode = mode;
    update();
}

void KColorBox::setSizeProportion(double proportion)
{
    m_sizeProp = std::clamp(proportion, 0.0, 1.0);
    updateGeometryRects();
    update();
}

void KColorBox::fixColor(const QColor& color)
{
    m_selected = color;
    update();
}

void KColorBox::updateSteps()
{
    const int start[3] = {m_rangeStart.red(), m_rangeStart.green(), m_rangeStart.blue()};
    const int end[3] = {m_rangeEnd.red(), m_rangeEnd.green(), m_rangeEnd.blue()};
    for (int c = 0; c < 3; ++c)
        m_step[c] = (end[c] - start[c]) / m_nbColors; // C++ division truncates toward zero
}

void KColorBox::updateGeometryRects()
{
    const int w = width();
    const int h = height();
    // A cell is never narrower than one pixel, so that picking never divides by zero.
    m_cellWidth = std::max(1, int(w * (1.0 - m_sizeProp) / m_nbColors));
    const int stripEnd = m_cellWidth * m_nbColors;
    m_stripRect = QRect(QPoint(1, 1), QPoint(stripEnd, h - 2));
    m_previewRect = QRect(QPoint(stripEnd + 3, 1), QPoint(w - 2, h - 2));
}

QColor KColorBox::cellColor(int index) const
{
    if (!m_colors.isEmpty())
        return m_colors.value(std::clamp(index, 0, int(m_colors.size()) - 1));
    int r = m_rangeStart.red();
    int g = m_rangeStart.green();
    int b = m_rangeStart.blue();
    if (m_mode == ChannelByChannel) {
        const int a = m_nbColors / 3;
        const int bEnd = 2 * m_nbColors / 3;
        r += 3 * m_step[0] * std::min(index, a);
        g += 3 * m_step[1] * std::max(0, std::min(index, bEnd) - a);
        b += 3 * m_step[2] * std::max(0, index - bEnd);
    } else {
        r += index * m_step[0];
        g += index * m_step[1];
        b += index * m_step[2];
    }
    return QColor(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
}

bool KColorBox::pickAt(const QPoint& point)
{
    if (!m_stripRect.contains(point))
        return false;
    const int index = std::min((point.x() - m_stripRect.left()) / m_cellWidth, m_nbColors - 1);
    m_selected = cellColor(index);
    emit colorChanged(m_selected);
    update();
    return true;
}

void KColorBox::hideBox()
{
    if (isHidden())
        return;
    hide();
    emit hided();
}

void KColorBox::mousePressEvent(QMouseEvent* event)
{
    if (pickAt(event->position().toPoint()))
        m_chosen = true;
}

void KColorBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (pickAt(event->position().toPoint()))
        m_chosen = true;
    hideBox();
}

void KColorBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (pickAt(event->position().toPoint()))
        m_chosen = true;
    hideBox();
}

void KColorBox::mouseMoveEvent(QMouseEvent* event)
{
    pickAt(event->position().toPoint());
}

void KColorBox::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    hideBox();
}

void KColorBox::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    hideBox();
}

void KColorBox::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_chosen = false;
}

void KColorBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateGeometryRects();
}

void KColorBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_mode != Unpainted)
        for (int i = 0; i < m_nbColors; ++i)
            painter.fillRect(QRect(m_stripRect.left() + i * m_cellWidth, m_stripRect.top(),
                                   m_cellWidth, m_stripRect.height()),
                             cellColor(i));
    painter.fillRect(m_previewRect, m_selected);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(m_stripRect.adjusted(-1, -1, 0, 0));
    painter.drawRect(m_previewRect.adjusted(-1, -1, 0, 0));
}

KColorBoxDlg::KColorBoxDlg(QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags)
    , m_box(new KColorBox(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_box);
    connect(m_box, &KColorBox::hided, this, &QDialog::accept);
}

bool KColorBoxDlg::event(QEvent* event)
{
    if (event->type() == QEvent::WindowDeactivate && isVisible())
        accept();
    return QDialog::event(event);
}

QColor KColorBoxDlg::run(KColorBoxDlg& dialog, const QSize& size, const QPoint& point,
                         const QColor& current)
{
    if (current.isValid())
        dialog.m_box->fixColor(current);
    dialog.resize(size);
    const int half = dialog.height() / 2;
    dialog.move(point - QPoint(half, half));
    KPrompt::exec(&dialog);
    // Leaving or losing the focus dismisses the popup: only a cell pressed or released on counts.
    return dialog.m_box->hasChosen() ? dialog.m_box->getSelectedColor() : QColor();
}

QColor KColorBoxDlg::open(const QList<QColor>& colors, const QSize& size, const QPoint& point,
                          double proportion, QWidget* parent, const QColor& current)
{
    KColorBoxDlg dialog(parent, Qt::FramelessWindowHint);
    dialog.m_box->setSizeProportion(proportion);
    dialog.m_box->setColors(colors);
    return run(dialog, size, point, current);
}

QColor KColorBoxDlg::open(const QColor& start, const QColor& end, int nbColors, const QSize& size,
                          const QPoint& point, double proportion, QWidget* parent,
                          const QColor& current)
{
    KColorBoxDlg dialog(parent, Qt::FramelessWindowHint);
    dialog.m_box->setRangeColors(start, end);
    dialog.m_box->setColorNb(nbColors);
    dialog.m_box->setSizeProportion(proportion);
    return run(dialog, size, point, current);
}
