#include "KEqView.h"

#include "AppServices.h"
#include "KEqual.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

const QColor KEqView::BgColor = QColor(0, 0, 0);
const QColor KEqView::GridColor = QColor(0x66, 0x66, 0x66);
const QColor KEqView::EqColor = QColor(0x00, 0xB6, 0xC1);
const QColor KEqView::PtColor = QColor(0xFF, 0xC1, 0x00);

namespace {
// dB at the top and bottom edges of the picture.
constexpr double kTopDb = 12.0;
constexpr double kSpanDb = 24.0;
const double kGridHz[] = {50, 100, 200, 300, 400, 500, 1000, 2000, 3000, 4000, 5000, 10000};

int dbToY(double db, int h)
{
    return int(h + (db + kTopDb) * h / -kSpanDb);
}
} // namespace

double KEqView::HertzToBark(double hertz)
{
    return 4.0 * std::log2(hertz / 1000.0) + 9.0;
}

double KEqView::BarkToHertz(double bark)
{
    return 1000.0 * std::pow(2.0, (bark - 9.0) / 4.0);
}

QPolygon KEqView::curvePolyline(const _KEqualization* curve, const QSize& size, double fmin,
                                double fmax)
{
    const int w = size.width();
    const int h = size.height();
    const double bmin = HertzToBark(fmin);
    const double bmax = HertzToBark(fmax);
    QPolygon line(w);
    for (int x = 0; x < w; ++x) {
        const double f = BarkToHertz(bmin + x * (bmax - bmin) / w);
        const double db = AppServices::amplitudeToDecibel(KEqual_getAmplitude(curve, f));
        line.setPoint(x, x, std::clamp(dbToY(db, h), 0, h - 1));
    }
    return line;
}

QPixmap KEqView::getPixmapView(_KEqualization* curve, const QSize& size, double fmin, double fmax)
{
    if (!curve || size.isEmpty())
        return QPixmap();
    const int w = size.width();
    const int h = size.height();
    QPixmap picture(size);
    picture.fill(BgColor);
    QPainter painter(&picture);
    painter.setPen(GridColor);
    painter.drawRect(0, 0, w - 1, h - 1);
    for (int i = 0; i < 4; ++i)
        painter.drawLine(0, i * h / 4, w - 1, i * h / 4);
    const double bmin = HertzToBark(fmin);
    const double bmax = HertzToBark(fmax);
    for (double f : kGridHz) {
        const int x = int((HertzToBark(f) - bmin) * w / (bmax - bmin));
        painter.drawLine(x, 0, x, h - 1);
    }
    painter.setPen(QPen(EqColor, 1));
    painter.drawPolyline(curvePolyline(curve, size, fmin, fmax));
    painter.setPen(QPen(PtColor, 5, Qt::SolidLine, Qt::RoundCap));
    const int n = KEqual_getNbFreq(curve);
    for (int i = 0; i < n; ++i) {
        const double f = KEqual_getFreqAt(curve, i);
        // A point outside the view (0 Hz has no place on a logarithmic scale) gets no dot.
        if (!(f >= fmin && f <= fmax))
            continue;
        const double db = AppServices::amplitudeToDecibel(KEqual_getAmplAt(curve, i));
        painter.drawPoint(int((HertzToBark(f) - bmin) * w / (bmax - bmin)), dbToY(db, h));
    }
    return picture;
}

QPixmap KEqView::getPixmapView(const QMap<int, double>& hzToDb, const QSize& size, double fmin,
                               double fmax)
{
    if (hzToDb.isEmpty())
        return QPixmap();
    _KEqualization* curve = KEqual_new();
    for (auto it = hzToDb.constBegin(); it != hzToDb.constEnd(); ++it)
        KEqual_setAmplitude(curve, it.key(), AppServices::decibelToAmplitude(it.value()));
    QPixmap picture = getPixmapView(curve, size, fmin, fmax);
    KEqual_delete(&curve);
    return picture;
}

int KEqView::convertHz(double hertz, int width, QList<int> marks)
{
    const double bmin = HertzToBark(20.0);
    const double bmax = HertzToBark(20000.0);
    const int x = hertz > 0 ? int((HertzToBark(hertz) - bmin) * width / (bmax - bmin)) : 0;
    if (marks.isEmpty())
        return x;
    return *std::min_element(marks.cbegin(), marks.cend(),
                             [x](int a, int b) { return std::abs(a - x) < std::abs(b - x); });
}
