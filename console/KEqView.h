// The picture of an equaliser curve on a Bark frequency scale: a grid, the curve sampled once per
// column from the engine's own evaluation (so what is drawn is what plays), and a dot per point.
// The vertical scale runs from +12 dB at the top to -12 dB at the bottom. GUI thread only.
#ifndef KEQVIEW_H
#define KEQVIEW_H

#include <QColor>
#include <QList>
#include <QMap>
#include <QPixmap>
#include <QPolygon>
#include <QSize>

struct _KEqualization;

class KEqView
{
public:
    static const QColor BgColor;
    static const QColor GridColor;
    static const QColor EqColor;
    static const QColor PtColor;

    static double HertzToBark(double hertz);
    static double BarkToHertz(double bark);

    // Null picture for a null curve.
    static QPixmap getPixmapView(_KEqualization* curve, const QSize& size, double fmin,
                                 double fmax);
    // The curve of the points (Hz to dB); null picture for an empty map.
    static QPixmap getPixmapView(const QMap<int, double>& hzToDb, const QSize& size, double fmin,
                                 double fmax);
    // The column of a frequency in a view of that width from 20 Hz to 20 kHz, or the nearest of
    // the given marks (columns) when there are marks.
    static int convertHz(double hertz, int width, QList<int> marks);

    // One point per column: the curve's value in dB at the column's frequency, kept inside the
    // picture.
    static QPolygon curvePolyline(const _KEqualization* curve, const QSize& size, double fmin,
                                  double fmax);
};

#endif
