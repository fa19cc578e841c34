// A strip's level meter: a disabled vertical slider whose value is the level, drawn from two
// cached pictures of the whole meter (dark and fully lit) cut at the level, with a peak-hold line
// held about 1.5 s and then falling. A level change repaints only the rows that changed.
// A strip showing many meters can draw them itself (setDrawnByParent): the meter then keeps its
// level, peak and pictures but is never shown, and its changes repaint the parent's rows under it.
#ifndef KMETER_H
#define KMETER_H

#include <QPixmap>
#include <QSlider>

#include <functional>

class QPainter;
class QTimer;

class KMeter : public QSlider
{
    Q_OBJECT
public:
    // How long the peak line stays at a peak before it falls, and how fast it then falls.
    static constexpr int HoldMs = 1500;
    static constexpr int FallUnitsPerSecond = 150;

    explicit KMeter(QWidget* parent = nullptr);
    ~KMeter() override;

    // Shows a level and moves the peak line: up to a higher level at once, down only once the
    // peak has been held for HoldMs.
    void setLevel(int level);
    // The level the peak line shows; the minimum when there is none.
    int peak() const { return m_peak; }

    // Hides the meter and has its parent draw it, in the parent's paint event through
    // paintInParent: a level change asks `repaint` to repaint the changed rows of the parent
    // beneath the meter's geometry (the parent's update() when empty), so a strip takes one
    // paint event for all its meters instead of one each. Call once the meter has its geometry.
    void setDrawnByParent(std::function<void(const QRect&)> repaint = {});
    // Draws the part of the meter within `area` (parent coordinates) as the meter itself would
    // show it.
    void paintInParent(QPainter& painter, const QRect& area);
    // Whether paintInParent covers every pixel of the meter's geometry with opaque pixels, so
    // that nothing beneath needs painting first.
    bool paintsOpaque() const;

    // The millisecond clock the peak hold runs on; tests give their own. An empty function
    // restores the monotonic clock.
    static void setClock(std::function<qint64()> clock);
    // Moves every falling peak line to where the clock says it is now.
    static void advanceAll();

protected:
    void paintEvent(QPaintEvent* event) override;
    void sliderChange(SliderChange change) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The first widget row showing the lit picture for a level (the height when nothing is lit).
    int litRow(int level) const;
    int styleLitRow(int level) const;
    // Takes the pictures and rows of this meter's size, style and state, drawing them once.
    void makePictures();
    void dropPicturesOfThisMeter();
    void updatePeak(qint64 now);
    void repaintRows(int from, int to);
    // Pictures, level row and peak row again for the meter's present size, style and state.
    void refresh();
    // Draws the meter's rows within `area` (meter coordinates), the meter's top-left at `at`.
    void drawArea(QPainter& painter, const QRect& area, QPoint at) const;

    QPixmap m_dark;
    QPixmap m_lit;
    QList<int> m_rows;
    int m_shownRow = 0;
    int m_peak = -240;
    int m_peakHeld = 0;
    int m_peakRow = -1;
    qint64 m_peakSince = 0;
    bool m_drawnByParent = false;
    std::function<void(const QRect&)> m_repaintParent;
};

#endif
