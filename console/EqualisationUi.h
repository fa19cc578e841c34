// One band of the equaliser editor: a frequency dial laid piecewise-linearly over frequency
// ranges and a gain dial, each with a text field, reporting the band's number, frequency and gain
// on every change. KNumValid checks the fields ("<number> <unit>"); KDialStyle draws a dial as a
// picture of its knob. GUI thread only.
#ifndef EQUALISATIONUI_H
#define EQUALISATIONUI_H

#include <QCommonStyle>
#include <QValidator>
#include <QVector>
#include <QWidget>

class QDial;
class QLabel;
class QLineEdit;

class KNumValid : public QValidator
{
    Q_OBJECT
public:
    KNumValid(int min, int max, const QString& suffix, QObject* parent = nullptr);
    // Besides "<number> <unit>", a bare number is Intermediate while it is typed; fixup gives
    // it its unit when the editing ends.
    State validate(QString& text, int& position) const override;
    void fixup(QString& text) const override;

private:
    int m_min;
    int m_max;
    QString m_suffix;
};

class KDialStyle : public QCommonStyle
{
    Q_OBJECT
public:
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
    // Where the knob picture's top-left corner goes for a dial of that size and position.
    static QPoint knobPosition(int value, int minimum, int maximum, const QSize& dialSize,
                               const QSize& knobSize);
};

class EqualisationUi : public QWidget
{
    Q_OBJECT
public:
    // rangeLimitsHz: nbRanges + 1 ascending frequencies; gainRangeDb: minimum and maximum.
    EqualisationUi(int nbRanges, const int* rangeLimitsHz, int gainStep, const int* gainRangeDb,
                   QWidget* parent = nullptr);
    ~EqualisationUi() override;

    void setInitialisation(int frequencyHz, double gainDb);
    int getFrequency() const;
    int getAmplitude() const;
    // The gain as given to setInitialisation until the band's gain itself is edited, so that
    // opening a curve and touching another band keeps this band's fractional gain.
    double getGain() const;
    int getNbRangeFreq() const { return m_nbRanges; }
    const int* getRangeFreq() const { return m_limits.constData(); }
    int getStepAmp() const { return m_gainStep; }
    const int* getAmpMinMax() const { return m_gainRange; }
    void setIdButtons(int id) { m_id = id; }
    int getIdButtons() const { return m_id; }
    void setBackground(const QPixmap& picture);
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Shows another frequency without moving the dial or reporting it.
    void setFrequencyQuietly(int frequencyHz);

    QDial* frequencyDial() const { return m_freqDial; }
    QDial* gainDial() const { return m_gainDial; }
    QLineEdit* frequencyField() const { return m_freqEdit; }
    QLineEdit* gainField() const { return m_gainEdit; }

public slots:
    void setValueSpinBoxFrequency(int dial);
    void setValueDialFrequency(int hz);
    void setValueSpinBoxAmplitude(int db);
    void setValueDialAmplitude(int db);
    void sendValuesChanged();
    void editingFinished1_slot();
    void editingFinished2_slot();

signals:
    void valuesButtonsChanged(int id, int frequencyHz, double gainDb);

private:
    // The dial position of a frequency, or -1 when it lies above every range.
    int dialOf(int hz) const;
    void writeFrequency(int hz);

    int m_dialPos = 0;
    int m_freq = 0;
    int m_nbRanges;
    int m_gainStep;
    QVector<int> m_limits;
    int m_gainRange[2];
    int m_id = 1;
    QLabel* m_bg;
    QDial* m_freqDial;
    QDial* m_gainDial;
    QLineEdit* m_freqEdit;
    QLineEdit* m_gainEdit;
    int m_wheelDelta = 0; // wheel angle not yet turned into gain steps
    double m_exactGain = 0.0;
    bool m_gainExact = false;
};

#endif
