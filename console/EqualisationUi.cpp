#include "EqualisationUi.h"

#include "KPictureCache.h"

#include <QDial>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpression>
#include <QWheelEvent>
#include <QStyleOptionSlider>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kDialMax = 1000;
constexpr double kPi = 3.14159265358979323846;

// The number in front of a field's last three characters (" Hz", " dB"); 0 when there is none.
int fieldNumber(const QLineEdit* field)
{
    const QString text = field->text();
    return text.left(std::max<int>(0, int(text.size()) - 3)).toInt();
}

// The field's number when its validator accepts the whole text.
bool acceptedNumber(const QLineEdit* field, int* number)
{
    QString text = field->text();
    int position = 0;
    if (field->validator()->validate(text, position) != QValidator::Acceptable)
        return false;
    *number = fieldNumber(field);
    return true;
}
} // namespace

KNumValid::KNumValid(int min, int max, const QString& suffix, QObject* parent)
    : QValidator(parent)
    , m_min(min)
    , m_max(max)
    , m_suffix(suffix)
{
}

// A number being typed without its unit: digits with an optional leading minus, or nothing.
static bool bareNumber(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^-?[0-9]*$"));
    return pattern.match(text).hasMatch();
}

QValidator::State KNumValid::validate(QString& text, int&) const
{
    // While typing: the number alone, or followed by a blank and the start of the unit.
    const int blank = int(text.indexOf(' '));
    const QString typed = blank < 0 ? text : text.left(blank);
    const QString unit = blank < 0 ? QString() : text.mid(blank + 1);
    if (bareNumber(typed) && unit.size() < m_suffix.size() && m_suffix.startsWith(unit)) {
        if (typed == "-")
            return m_min < 0 ? Intermediate : Invalid;
        return typed.isEmpty() || typed.toInt() <= m_max ? Intermediate : Invalid;
    }
    const int tail = int(m_suffix.size()) + 1;
    if (text.size() < 3 || text.size() < tail || text.right(tail) != ' ' + m_suffix)
        return Invalid;
    const QString number = text.left(text.size() - tail);
    if (number.isEmpty() || (number == "-" && m_min < 0))
        return Intermediate;
    bool ok = false;
    const int value = number.toInt(&ok);
    if (!ok || value > m_max)
        return Invalid;
    return value < m_min ? Intermediate : Acceptable;
}

void KNumValid::fixup(QString& text) const
{
    const QString number = text.section(' ', 0, 0);
    const QString unit = text.section(' ', 1);
    if (!bareNumber(number) || number.isEmpty() || number == "-" || !m_suffix.startsWith(unit))
        return;
    // A number beyond the range becomes the nearest limit: the field shows what applies.
    bool ok = false;
    const int value = number.toInt(&ok);
    text = QString::number(ok ? std::clamp(value, m_min, m_max) : m_min) + ' ' + m_suffix;
}

QPoint KDialStyle::knobPosition(int value, int minimum, int maximum, const QSize& dialSize,
                                const QSize& knobSize)
{
    const double f = maximum > minimum ? double(value - minimum) / (maximum - minimum) : 0.0;
    const double angle = 11.0 * kPi / 8.0 - f * 14.0 * kPi / 8.0;
    const int x = int(dialSize.width() / 2 + 22.0 * std::cos(angle));
    const int y = int(dialSize.height() / 2 - 22.0 * std::sin(angle));
    return QPoint(x - knobSize.width() / 2 + 1, y - knobSize.height() / 2 + 2);
}

void KDialStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                    QPainter* painter, const QWidget* widget) const
{
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_Dial || !slider || !(slider->subControls & SC_DialHandle)) {
        QCommonStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const QPixmap knob = KPictureCache::pixmap(QStringLiteral("Equal/Button"));
    const QSize dialSize = widget ? widget->size() : slider->rect.size();
    painter->drawPixmap(knobPosition(slider->sliderValue, slider->minimum, slider->maximum,
                                     dialSize, knob.size()),
                        knob);
}

EqualisationUi::EqualisationUi(int nbRanges, const int* rangeLimitsHz, int gainStep,
                               const int* gainRangeDb, QWidget* parent)
    : QWidget(parent)
    // At least one range and one dial position per range, so that no step divides by zero.
    , m_nbRanges(std::clamp(nbRanges, 1, kDialMax))
    , m_gainStep(std::max(1, gainStep))
    , m_limits(rangeLimitsHz, rangeLimitsHz + m_nbRanges + 1)
    , m_gainRange{gainRangeDb[0], std::max(gainRangeDb[0], gainRangeDb[1])}
    , m_bg(new QLabel(this))
    , m_freqDial(new QDial(this))
    , m_gainDial(new QDial(this))
    , m_freqEdit(new QLineEdit(this))
    , m_gainEdit(new QLineEdit(this))
{
    static KDialStyle dialStyle;
    setStyle(&dialStyle);
    m_freqDial->setStyle(&dialStyle);
    m_gainDial->setStyle(&dialStyle);
    setBackground(KPictureCache::pixmap(QStringLiteral("Equal/BG_HzAmp")));

    m_freqDial->setGeometry(12, 5, 76, 76);
    m_gainDial->setGeometry(12, 131, 76, 76);
    m_freqEdit->setGeometry(20, 90, 58, 20);
    m_gainEdit->setGeometry(20, 214, 58, 20);
    m_freqDial->setRange(0, kDialMax);
    m_freqDial->setTracking(true);
    m_gainDial->setRange(m_gainRange[0], m_gainRange[1]);
    m_gainDial->setSingleStep(m_gainStep);
    m_gainDial->setValue(0);
    m_freqDial->setAccessibleName(tr("Fréquence"));
    m_gainDial->setAccessibleName(tr("Gain"));

    // Tahoma (DejaVu Sans on Linux, see KTheme) at 11 pixels, whatever the screen's resolution,
    // so that "20000 Hz" fits the field.
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    font.setWeight(QFont::Normal);
    for (QLineEdit* field : {m_freqEdit, m_gainEdit}) {
        field->setFont(font);
        field->setAlignment(Qt::AlignCenter);
        field->setStyleSheet(
            QStringLiteral("QLineEdit {background-color : black; color : #ffffff; border : 0px}"));
    }
    m_freqEdit->setValidator(new KNumValid(20, 20000, QStringLiteral("Hz"), this));
    m_gainEdit->setValidator(new KNumValid(-12, 12, QStringLiteral("dB"), this));
    m_freqEdit->setText(QStringLiteral("0 Hz"));
    m_gainEdit->setText(QStringLiteral("0 dB"));

    // One wheel notch turns the gain by one step (Qt's default turns several).
    m_gainDial->installEventFilter(this);

    connect(m_freqDial, &QDial::valueChanged, this, &EqualisationUi::setValueSpinBoxFrequency);
    connect(m_gainDial, &QDial::valueChanged, this, &EqualisationUi::setValueSpinBoxAmplitude);
    connect(m_freqDial, &QDial::valueChanged, this, &EqualisationUi::sendValuesChanged);
    connect(m_gainDial, &QDial::valueChanged, this, &EqualisationUi::sendValuesChanged);
    connect(m_freqEdit, &QLineEdit::editingFinished, this, &EqualisationUi::editingFinished1_slot);
    connect(m_gainEdit, &QLineEdit::editingFinished, this, &EqualisationUi::editingFinished2_slot);
}

EqualisationUi::~EqualisationUi()
{
    // A field losing the focus while the children are deleted ends its editing: its signal must
    // not reach this band, which is then no longer whole.
    for (QObject* child : {static_cast<QObject*>(m_freqEdit), static_cast<QObject*>(m_gainEdit),
                           static_cast<QObject*>(m_freqDial), static_cast<QObject*>(m_gainDial)})
        child->disconnect(this);
}

void EqualisationUi::setBackground(const QPixmap& picture)
{
    m_bg->setPixmap(picture);
    m_bg->setGeometry(0, 0, picture.width(), picture.height());
    m_bg->lower();
    setFixedSize(picture.size());
}

bool EqualisationUi::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_gainDial || event->type() != QEvent::Wheel)
        return QWidget::eventFilter(watched, event);
    const auto* wheel = static_cast<QWheelEvent*>(event);
    const QPoint angle = wheel->angleDelta();
    const int delta = std::abs(angle.y()) >= std::abs(angle.x()) ? angle.y() : angle.x();
    m_wheelDelta += wheel->inverted() ? -delta : delta;
    const int notches = m_wheelDelta / QWheelEvent::DefaultDeltasPerStep;
    m_wheelDelta -= notches * QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0)
        m_gainDial->setValue(m_gainDial->value() + notches * m_gainDial->singleStep());
    event->accept();
    return true;
}

void EqualisationUi::writeFrequency(int hz)
{
    m_freq = hz;
    m_freqEdit->setText(QString::number(hz) + QStringLiteral(" Hz"));
}

void EqualisationUi::setFrequencyQuietly(int frequencyHz)
{
    writeFrequency(frequencyHz);
}

void EqualisationUi::setValueSpinBoxFrequency(int dial)
{
    m_dialPos = dial;
    const int step = kDialMax / m_nbRanges;
    const int i = std::min(m_nbRanges - 1, dial > 0 ? (dial - 1) / step : 0);
    const double perUnit = double(m_limits[i + 1] - m_limits[i]) / step;
    writeFrequency(int(std::lround(m_limits[i] + perUnit * (dial - i * step))));
}

int EqualisationUi::dialOf(int hz) const
{
    const int step = kDialMax / m_nbRanges;
    for (int i = 0; i < m_nbRanges; ++i) {
        if (m_limits[i + 1] >= hz && (i == 0 || m_limits[i] < hz)) {
            const double perUnit = double(m_limits[i + 1] - m_limits[i]) / step;
            if (perUnit <= 0.0)
                return i * step; // a range of no width: its first position
            return int(std::lround((hz - m_limits[i]) / perUnit + i * step));
        }
    }
    return -1;
}

void EqualisationUi::setValueDialFrequency(int hz)
{
    if (hz == m_freq)
        return;
    const int dial = dialOf(hz);
    if (dial >= 0)
        m_freqDial->setValue(dial);
}

void EqualisationUi::setValueSpinBoxAmplitude(int db)
{
    m_gainExact = false;
    m_gainEdit->setText(QString::number(db) + QStringLiteral(" dB"));
}

void EqualisationUi::setValueDialAmplitude(int db)
{
    m_gainDial->setValue(db);
}

void EqualisationUi::sendValuesChanged()
{
    emit valuesButtonsChanged(m_id, getFrequency(), getGain());
}

void EqualisationUi::editingFinished1_slot()
{
    int hz = 0;
    if (!acceptedNumber(m_freqEdit, &hz))
        return;
    {
        // The dial's positions are coarser than whole hertz: move it silently and keep the
        // typed frequency rather than the one of the nearest position.
        const QSignalBlocker blocker(m_freqDial);
        setValueDialFrequency(hz);
    }
    m_dialPos = m_freqDial->value();
    writeFrequency(hz);
    sendValuesChanged();
}

void EqualisationUi::editingFinished2_slot()
{
    int db = 0;
    if (!acceptedNumber(m_gainEdit, &db))
        return;
    {
        const QSignalBlocker blocker(m_gainDial);
        m_gainDial->setValue(db);
    }
    setValueSpinBoxAmplitude(db);
    sendValuesChanged();
}

void EqualisationUi::setInitialisation(int frequencyHz, double gainDb)
{
    setValueDialFrequency(frequencyHz);
    writeFrequency(frequencyHz);
    // The dial holds whole decibels within its range; NaN counts as no gain.
    const double shown = std::isnan(gainDb) ? 0.0 : std::clamp(gainDb, -1e6, 1e6);
    const int rounded = int(std::lround(shown));
    setValueDialAmplitude(rounded);
    setValueSpinBoxAmplitude(rounded);
    m_exactGain = std::isnan(gainDb) ? 0.0 : gainDb;
    m_gainExact = true;
}

int EqualisationUi::getFrequency() const
{
    return fieldNumber(m_freqEdit);
}

int EqualisationUi::getAmplitude() const
{
    return fieldNumber(m_gainEdit);
}

double EqualisationUi::getGain() const
{
    return m_gainExact ? m_exactGain : double(getAmplitude());
}
