#include "KMeter.h"

#include "KStyleJaugeStereo.h"

#include "KPictureCache.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QHash>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QSet>
#include <QStyleOptionSlider>
#include <QTimer>

#include <algorithm>

namespace {
std::function<qint64()>& peakClock()
{
    static std::function<qint64()> current;
    return current;
}

qint64 now()
{
    if (peakClock())
        return peakClock()();
    static QElapsedTimer monotonic;
    if (!monotonic.isValid())
        monotonic.start();
    return monotonic.elapsed();
}

// Meters whose peak line stands above their level, and the timer that lowers those lines while
// no new level arrives (playback stopped). The timer runs only while there are any.
QSet<KMeter*>& falling()
{
    static QSet<KMeter*> meters;
    return meters;
}

QTimer* fallTimer()
{
    static QPointer<QTimer> timer;
    if (!timer) {
        timer = new QTimer(QCoreApplication::instance());
        timer->setInterval(40);
        QObject::connect(timer, &QTimer::timeout, &KMeter::advanceAll);
    }
    return timer;
}

// The dark and the fully lit picture of a meter, shared by every meter of the same size, style
// and state: a console shows hundreds of identical meters.
struct Pictures
{
    QPixmap dark;
    QPixmap lit;
    QList<int> rows; // the first lit row of each level from the minimum up
};

struct PicturesKey
{
    QSize size;
    qreal ratio;
    const QStyle* style;
    bool enabled;
    bool operator==(const PicturesKey& other) const
    {
        return size == other.size && ratio == other.ratio && style == other.style
               && enabled == other.enabled;
    }
};

size_t qHash(const PicturesKey& key, size_t seed = 0)
{
    return qHashMulti(seed, key.size.width(), key.size.height(), key.ratio, key.style, key.enabled);
}

QHash<PicturesKey, Pictures>& pictureCache()
{
    static QHash<PicturesKey, Pictures> cache;
    return cache;
}

// The pictures go with the application, before the windowing system they belong to.
void dropPictures()
{
    pictureCache().clear();
}

constexpr int PeakLine = 2;
}

KMeter::KMeter(QWidget* parent) : QSlider(Qt::Vertical, parent)
{
    setStyle(KStyleJaugeStereo::shared());
    setRange(-240, 60);
    setValue(-240);
    m_peak = minimum();
    m_peakRow = -1;
    m_shownRow = litRow(value());
}

KMeter::~KMeter()
{
    falling().remove(this);
}

void KMeter::setClock(std::function<qint64()> clockFunction)
{
    peakClock() = std::move(clockFunction);
}

void KMeter::advanceAll()
{
    const qint64 time = now();
    const QList<KMeter*> meters = falling().values();
    for (KMeter* meter : meters)
        meter->updatePeak(time);
    if (falling().isEmpty())
        fallTimer()->stop();
}

void KMeter::setLevel(int level)
{
    if (level == value())
        updatePeak(now());
    else
        setValue(level); // moves the peak through sliderChange
}

int KMeter::litRow(int level) const
{
    if (level <= minimum())
        return height();
    const qsizetype at = qsizetype(level) - minimum();
    if (at < m_rows.size())
        return m_rows[at];
    return styleLitRow(level);
}

int KMeter::styleLitRow(int level) const
{
    if (level <= minimum())
        return height();
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.sliderPosition = option.sliderValue = level;
    // The style draws the lit picture two rows below the handle's top.
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    return std::clamp(handle.y() + 2, 0, height());
}

void KMeter::makePictures()
{
    if (size().isEmpty())
        return;
    const qreal ratio = devicePixelRatioF();
    const PicturesKey key{size(), ratio, style(), isEnabled()};
    auto found = pictureCache().constFind(key);
    if (found == pictureCache().cend()) {
        if (pictureCache().isEmpty())
            qAddPostRoutine(dropPictures);
        const auto draw = [&](int level) {
            QPixmap picture(size() * ratio);
            picture.setDevicePixelRatio(ratio);
            picture.fill(Qt::transparent);
            QStyleOptionSlider option;
            initStyleOption(&option);
            option.sliderPosition = option.sliderValue = level;
            option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
            QPainter painter(&picture);
            style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
            painter.end();
            return KPictureCache::withoutUnusedAlpha(picture);
        };
        QList<int> rows;
        rows.reserve(maximum() - minimum() + 1);
        for (int level = minimum(); level <= maximum(); ++level)
            rows.append(styleLitRow(level));
        found = pictureCache().insert(key, Pictures{draw(minimum()), draw(maximum()), rows});
    }
    m_dark = found->dark;
    m_lit = found->lit;
    m_rows = found->rows;
}

void KMeter::repaintRows(int from, int to)
{
    if (from >= to)
        return;
    if (m_drawnByParent) {
        const QRect rows(x(), y() + from, width(), to - from);
        if (m_repaintParent)
            m_repaintParent(rows);
        else if (QWidget* parent = parentWidget())
            parent->update(rows);
    } else {
        update(QRect(0, from, width(), to - from));
    }
}

void KMeter::updatePeak(qint64 time)
{
    const int level = value();
    const int oldRow = m_peakRow;
    if (level >= m_peak) {
        m_peak = level;
        m_peakSince = time;
        m_peakHeld = level;
    } else if (time - m_peakSince > HoldMs) {
        const qint64 fall = (time - m_peakSince - HoldMs) * FallUnitsPerSecond / 1000;
        m_peak = int(std::max<qint64>(level, m_peakHeld - fall));
    }
    m_peakRow = m_peak > minimum() ? litRow(m_peak) : -1;
    if (m_peakRow != oldRow) {
        if (oldRow >= 0)
            repaintRows(oldRow, oldRow + PeakLine);
        if (m_peakRow >= 0)
            repaintRows(m_peakRow, m_peakRow + PeakLine);
    }
    if (m_peak > level) {
        falling().insert(this);
        if (!fallTimer()->isActive())
            fallTimer()->start();
    } else {
        falling().remove(this);
    }
}

void KMeter::sliderChange(SliderChange change)
{
    if (change != SliderValueChange) {
        m_shownRow = litRow(value());
        m_peakRow = m_peak > minimum() ? litRow(m_peak) : -1;
        QSlider::sliderChange(change);
        repaintRows(0, height());
        return;
    }
    // Only the rows between the old and the new level change.
    const int row = litRow(value());
    repaintRows(std::min(row, m_shownRow), std::max(row, m_shownRow));
    m_shownRow = row;
    updatePeak(now());
}

void KMeter::dropPicturesOfThisMeter()
{
    m_dark = m_lit = QPixmap();
    m_rows.clear();
    makePictures();
}

void KMeter::refresh()
{
    dropPicturesOfThisMeter();
    m_shownRow = litRow(value());
    m_peakRow = m_peak > minimum() ? litRow(m_peak) : -1;
}

void KMeter::resizeEvent(QResizeEvent* event)
{
    QSlider::resizeEvent(event);
    refresh();
}

void KMeter::changeEvent(QEvent* event)
{
    QSlider::changeEvent(event);
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::EnabledChange) {
        refresh();
        repaintRows(0, height());
    }
}

void KMeter::setDrawnByParent(std::function<void(const QRect&)> repaint)
{
    m_drawnByParent = true;
    m_repaintParent = std::move(repaint);
    hide();
    // A hidden widget gets its resize event only when shown: the pictures of its size now.
    refresh();
    repaintRows(0, height());
}

void KMeter::drawArea(QPainter& painter, const QRect& area, QPoint at) const
{
    const qreal ratio = m_dark.devicePixelRatio();
    const auto blit = [&](const QPixmap& picture, const QRect& rows) {
        const QRect part = rows & area;
        if (part.isEmpty())
            return;
        painter.drawPixmap(part.topLeft() + at, picture,
                           QRectF(part.x() * ratio, part.y() * ratio, part.width() * ratio,
                                  part.height() * ratio));
    };
    blit(m_dark, QRect(0, 0, width(), m_shownRow));
    blit(m_lit, QRect(0, m_shownRow, width(), height() - m_shownRow));
    // A peak line within the lit rows is drawn with them already.
    if (m_peakRow >= 0 && m_peakRow < m_shownRow)
        blit(m_lit, QRect(0, m_peakRow, width(), PeakLine));
}

bool KMeter::paintsOpaque() const
{
    return !m_dark.isNull() && !m_dark.hasAlphaChannel() && !m_lit.hasAlphaChannel()
           && m_dark.deviceIndependentSize().toSize() == size();
}

void KMeter::paintInParent(QPainter& painter, const QRect& area)
{
    if (m_dark.isNull() || m_dark.deviceIndependentSize().toSize() != size())
        refresh();
    if (m_dark.isNull())
        return;
    drawArea(painter, area.translated(-pos()), pos());
}

void KMeter::paintEvent(QPaintEvent* event)
{
    if (m_dark.isNull())
        makePictures();
    if (m_dark.isNull())
        return;
    QPainter painter(this);
    drawArea(painter, event->rect(), QPoint());
}
