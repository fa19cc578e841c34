// A one-row strip of colour cells beside a preview box: the pointer previews the cell under it,
// a press or release on a cell chooses it. KColorBoxDlg shows the strip as a frameless popup and
// returns the chosen colour, or an invalid colour when the popup is dismissed without a choice.
// GUI thread only.
#ifndef KCOLORBOX_H
#define KCOLORBOX_H

#include <QColor>
#include <QDialog>
#include <QList>
#include <QRect>
#include <QWidget>

class KColorBox : public QWidget
{
    Q_OBJECT
public:
    // How a range of colours is stepped: equal steps on every channel; one channel after the
    // other (red, green, then blue, each three times as fast); as the first without painting.
    enum CBMode { EqualSteps = 0, ChannelByChannel = 1, Unpainted = 2 };

    static const double KColorBoxDefaultSizeProp;
    static const QColor KColorBoxDefaultMin;
    static const QColor KColorBoxDefaultMax;

    explicit KColorBox(QWidget* parent = nullptr);

    void setColors(const QList<QColor>& colors);
    void setRangeColors(const QColor& start, const QColor& end);
    void setColorNb(int n);
    void setMode(CBMode mode);
    void setSizeProportion(double proportion);
    void fixColor(const QColor& color);
    QColor getSelectedColor() const { return m_selected; }
    // Whether a cell was pressed or released on since the box was shown.
    bool hasChosen() const { return m_chosen; }

    int cellCount() const { return m_nbColors; }
    int cellWidth() const { return m_cellWidth; }
    QRect stripRect() const { return m_stripRect; }
    QRect previewRect() const { return m_previewRect; }
    // The colour of cell index (0..cellCount()-1), as painted and picked.
    QColor cellColor(int index) const;

signals:
    void colorChanged(QColor color);
    void hided();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void updateGeometryRects();
    void updateSteps();
    // Picks the cell under the point; false when the point lies outside the strip.
    bool pickAt(const QPoint& point);
    void hideBox();

    CBMode m_mode = EqualSteps;
    QRect m_stripRect;
    QRect m_previewRect;
    int m_cellWidth = 1;
    double m_sizeProp = KColorBoxDefaultSizeProp;
    QColor m_rangeStart = KColorBoxDefaultMin;
    QColor m_rangeEnd = KColorBoxDefaultMax;
    QColor m_selected = KColorBoxDefaultMin;
    int m_nbColors = 10;
    int m_step[3] = {0, 0, 0};
    QList<QColor> m_colors;
    bool m_chosen = false;
};

class KColorBoxDlg : public QDialog
{
    Q_OBJECT
public:
    explicit KColorBoxDlg(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

    KColorBox* colorBox() const { return m_box; }

    static QColor open(const QList<QColor>& colors, const QSize& size, const QPoint& point,
                       double proportion, QWidget* parent, const QColor& current);
    static QColor open(const QColor& start, const QColor& end, int nbColors, const QSize& size,
                       const QPoint& point, double proportion, QWidget* parent,
                       const QColor& current);

protected:
    bool event(QEvent* event) override;

private:
    // Places, runs and reads the configured popup.
    static QColor run(KColorBoxDlg& dialog, const QSize& size, const QPoint& point,
                      const QColor& current);

    KColorBox* m_box;
};

#endif
