// A stand-alone pan control: a slider over -100..100 with a readout ("L<n>", "C", "R<n>") and an
// optional choice between mono and stereo export. GUI thread only.
#ifndef PANORAMISATIONUI_H
#define PANORAMISATIONUI_H

#include <QWidget>

class QButtonGroup;
class QLabel;
class QRadioButton;
class QSlider;
class QVBoxLayout;

// The generated form: label, slider and two radio buttons, top to bottom.
class Ui_PanoramisationUiClass
{
public:
    QVBoxLayout* vboxLayout = nullptr;
    QLabel* label = nullptr;
    QSlider* horizontalSlider = nullptr;
    QRadioButton* radioButton = nullptr;
    QRadioButton* radioButton_2 = nullptr;
    void setupUi(QWidget* form);
};

class PanoramisationUi : public QWidget
{
    Q_OBJECT
public:
    enum Channel { Mono = 0, Stereo = 1 };

    explicit PanoramisationUi(QWidget* parent = nullptr);

    void setValuePano(double pan);
    void setMode(PanoramisationUi::Channel mode);
    int getChannel() const;
    // The slider position over 100 as a whole number: -1, 0 or 1.
    int getValue() const;

    QLabel* label() const { return ui.label; }
    QSlider* slider() const { return ui.horizontalSlider; }
    QRadioButton* monoButton() const { return ui.radioButton; }
    QRadioButton* stereoButton() const { return ui.radioButton_2; }

signals:
    void panoValueChanged(double pan);
    void modeStereo(bool stereo);

public slots:
    void userValueChanged(int value);
    void changeTick();

private:
    // Puts the slider at v (-100..100) without reporting it and writes the readout.
    void showValue(int v);

    Ui_PanoramisationUiClass ui;
    QButtonGroup* m_group;
};

#endif
