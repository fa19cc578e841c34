#include "MainEqualsUi.h"

#include "EqualisationUi.h"
#include "KEqView.h"
#include "KPictureCache.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

#include <algorithm>

namespace {
// The frequency a band starts at when it is the count-th band made beyond the defaults.
int extraBandFrequency(int count)
{
    return 2000 * count + 6000;
}
} // namespace

MainEqualsUi::MainEqualsUi(int nbRanges, int* rangeLimitsHz, int gainStep, int* gainRangeDb,
                           int /*nbBands*/, QWidget* parent)
    : QWidget(parent)
    , m_buttonsLayout(new QHBoxLayout)
    , m_limits(rangeLimitsHz, rangeLimitsHz + std::max(1, nbRanges) + 1)
    , m_gainRange{gainRangeDb[0], gainRangeDb[1]}
    , m_nbRanges(std::max(1, nbRanges))
    , m_gainStep(gainStep)
    , m_eqView(new QLabel(this))
    , m_eqViewOver(new QLabel(this))
{
    m_buttonsLayout->setContentsMargins(0, 0, 0, 0);
    m_buttonsLayout->setSpacing(0);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addLayout(m_buttonsLayout, 0, 0);
    grid->addWidget(m_eqView, 0, 1, Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(m_eqViewOver, 0, 1, Qt::AlignLeft | Qt::AlignTop);
    grid->setRowStretch(0, 10);
    grid->setRowStretch(1, 10);
    grid->setColumnStretch(0, 0);
    grid->setColumnStretch(1, 0);
    grid->setColumnStretch(2, 10);
    m_eqView->setPixmap(KPictureCache::pixmap(QStringLiteral("Equal/EqualBG")));
    m_eqViewOver->setPixmap(KPictureCache::pixmap(QStringLiteral("Equal/EqualBGOver")));
    m_eqViewOver->setAttribute(Qt::WA_TransparentForMouseEvents);
}

EqualisationUi* MainEqualsUi::newBand(int frequencyHz, int id)
{
    auto* band = new EqualisationUi(m_nbRanges, m_limits.constData(), m_gainStep, m_gainRange,
                                    this);
    band->setInitialisation(frequencyHz, 0.0);
    band->setIdButtons(id);
    connect(band, &EqualisationUi::valuesButtonsChanged, this, &MainEqualsUi::userAction);
    return band;
}

void MainEqualsUi::openEqualisationButtons(QMap<int, double> values)
{
    const int shown = std::min<int>(int(values.size()), MaxBands);
    if (m_buttons.size() != shown) {
        while (!m_buttons.isEmpty())
            delete m_buttons.takeLast();
        for (int i = 0; i < shown; ++i) {
            EqualisationUi* band =
                newBand(i < 4 ? m_defaultFreqs[i] : extraBandFrequency(i), i + 1);
            m_buttons.append(band);
            m_buttonsLayout->addWidget(band);
        }
    }
    m_nbButtons = int(m_buttons.size());
    if (values.isEmpty()) {
        m_values.clear();
        m_hiddenValues.clear();
        return;
    }
    m_hiddenValues.clear();
    int i = 0;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it, ++i) {
        if (i >= shown) {
            m_hiddenValues.insert(it.key(), it.value());
            continue;
        }
        EqualisationUi* band = m_buttons[i];
        const QSignalBlocker blocker(band);
        band->setInitialisation(it.key(), it.value());
    }
    m_values = values;
    redrawCurve();
}

void MainEqualsUi::addEqualisationButtons()
{
    if (m_nbButtons < MaxBands) {
        EqualisationUi* band = newBand(extraBandFrequency(m_nbButtons), m_nbButtons);
        int at = int(m_buttons.size());
        m_buttons.append(band);
        while (at > 0 && band->getFrequency() < m_buttons[at - 1]->getFrequency()) {
            m_buttons.swapItemsAt(at, at - 1);
            --at;
        }
        m_buttonsLayout->insertWidget(at, band);
        ++m_nbButtons;
    }
    sendEqualValues();
}

void MainEqualsUi::removeEqualisationButtons()
{
    if (!m_buttons.isEmpty()) {
        delete m_buttons.takeLast();
        --m_nbButtons;
    }
    sendEqualValues();
}

void MainEqualsUi::sendEqualValues()
{
    QMap<int, double> values = m_hiddenValues;
    QMap<int, double> taken;
    for (EqualisationUi* band : std::as_const(m_buttons)) {
        int hz = band->getFrequency();
        // Two bands never share a frequency: the later one moves up to the next free hertz, so
        // that no band is lost from the curve.
        if (taken.contains(hz)) {
            while (taken.contains(hz))
                ++hz;
            band->setFrequencyQuietly(hz);
        }
        taken.insert(hz, 0.0);
        values.insert(hz, band->getGain());
    }
    m_values = values;
    emit equalValuesChanged();
}

void MainEqualsUi::userAction()
{
    sendEqualValues();
    redrawCurve();
}

void MainEqualsUi::redrawCurve()
{
    updateEqView(KEqView::getPixmapView(m_values, curveSize(), 20.0, 20000.0));
}

void MainEqualsUi::updateEqView(QPixmap picture)
{
    QPixmap background = KPictureCache::pixmap(QStringLiteral("Equal/EqualBG")).copy();
    if (!background.isNull() && !picture.isNull()) {
        QPainter painter(&background);
        painter.drawPixmap(curveOrigin(), picture);
    }
    m_eqView->setPixmap(background);
    m_eqView->repaint();
    m_eqViewOver->repaint();
}

void MainEqualsUi::closeEqualisationButtons()
{
    close();
}
