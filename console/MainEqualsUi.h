// The equaliser editor: a row of band editors (frequency and gain dials) beside the picture of the
// resulting curve. It reports its bands as a map from frequency (Hz) to gain (dB) after every
// change made by the user; the caller turns the map into the engine's curve. GUI thread only.
#ifndef MAINEQUALSUI_H
#define MAINEQUALSUI_H

#include <QList>
#include <QMap>
#include <QPixmap>
#include <QSize>
#include <QVector>
#include <QWidget>

class EqualisationUi;
class QHBoxLayout;
class QLabel;

class MainEqualsUi : public QWidget
{
    Q_OBJECT
public:
    // Most bands the editor shows; points beyond them are kept as they are.
    static constexpr int MaxBands = 8;

    MainEqualsUi(int nbRanges, int* rangeLimitsHz, int gainStep, int* gainRangeDb, int nbBands,
                 QWidget* parent = nullptr);

    void openEqualisationButtons(QMap<int, double> values);
    QMap<int, double> getEqualisationValues() const { return m_values; }
    void sendEqualValues();
    void updateEqView(QPixmap picture);
    void closeEqualisationButtons();

    int bandCount() const { return m_nbButtons; }
    const QList<EqualisationUi*>& bands() const { return m_buttons; }
    QHBoxLayout* bandRow() const { return m_buttonsLayout; }
    QLabel* curveLabel() const { return m_eqView; }
    // Where the curve is drawn into the background picture, and its size.
    static QPoint curveOrigin() { return QPoint(12, 1); }
    static QSize curveSize() { return QSize(482, 236); }

public slots:
    void addEqualisationButtons();
    void removeEqualisationButtons();
    void userAction();

signals:
    void equalValuesChanged();

private:
    EqualisationUi* newBand(int frequencyHz, int id);
    void redrawCurve();

    QHBoxLayout* m_buttonsLayout;
    QList<EqualisationUi*> m_buttons;
    QMap<int, double> m_values;
    int m_defaultFreqs[4] = {100, 800, 2000, 12000};
    QVector<int> m_limits;
    int m_gainRange[2];
    int m_nbButtons = 0;
    int m_nbRanges;
    int m_gainStep;
    QLabel* m_eqView;
    QLabel* m_eqViewOver;
    // Points of an opened curve beyond the bands shown, reported unchanged.
    QMap<int, double> m_hiddenValues;
};

#endif
