#include "PanoramisationUi.h"

#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

void Ui_PanoramisationUiClass::setupUi(QWidget* form)
{
    form->setObjectName(QStringLiteral("PanoramisationUiClass"));
    form->resize(312, 226);
    form->setWindowTitle(QStringLiteral("PanoramisationUi"));
    vboxLayout = new QVBoxLayout(form);
    vboxLayout->setSpacing(6);
    label = new QLabel(QStringLiteral("TextLabel"), form);
    horizontalSlider = new QSlider(Qt::Horizontal, form);
    radioButton = new QRadioButton(QStringLiteral("RadioButton"), form);
    radioButton_2 = new QRadioButton(QStringLiteral("RadioButton"), form);
    vboxLayout->addWidget(label);
    vboxLayout->addWidget(horizontalSlider);
    vboxLayout->addWidget(radioButton);
    vboxLayout->addWidget(radioButton_2);
}

PanoramisationUi::PanoramisationUi(QWidget* parent)
    : QWidget(parent)
{
    ui.setupUi(this);
    QSlider* slider = ui.horizontalSlider;
    slider->setRange(-100, 100);
    slider->setTickPosition(QSlider::TicksBothSides);
    slider->setTickInterval(50);
    slider->setAccessibleName(tr("Panoramique"));
    ui.label->setAlignment(Qt::AlignCenter);
    //: Centre of the pan scale
    ui.label->setText(tr("C"));
    ui.radioButton->setText(tr("Exporter en mono"));
    ui.radioButton_2->setText(tr("Exporter en stéréo"));
    ui.radioButton->hide();
    ui.radioButton_2->hide();
    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    m_group->addButton(ui.radioButton);
    m_group->addButton(ui.radioButton_2);
    connect(ui.radioButton, &QRadioButton::clicked, this, &PanoramisationUi::changeTick);
    connect(ui.radioButton_2, &QRadioButton::clicked, this, &PanoramisationUi::changeTick);
    connect(slider, &QSlider::valueChanged, this, &PanoramisationUi::userValueChanged);
}

void PanoramisationUi::setValuePano(double pan)
{
    // NaN and values beyond the ends show as the nearest end.
    showValue(pan >= -1.0 ? (pan <= 1.0 ? int(pan * 100) : 100) : -100);
}

void PanoramisationUi::showValue(int v)
{
    {
        // The readout below is this call's own; the slider's signal would only come back here.
        const QSignalBlocker blocker(ui.horizontalSlider);
        ui.horizontalSlider->setValue(v);
    }
    QString text;
    if (v == 0)
        text = tr("C");
    else if (v <= -100)
        text = QStringLiteral("L");
    else if (v < 0)
        text = QStringLiteral("L") + QString::number(-v);
    else if (v >= 100)
        text = QStringLiteral("R");
    else
        text = QStringLiteral("R") + QString::number(v);
    ui.label->setText(text);
}

void PanoramisationUi::setMode(PanoramisationUi::Channel mode)
{
    if (mode == Mono) {
        ui.radioButton->setChecked(true);
        ui.radioButton_2->setEnabled(false);
    } else {
        ui.radioButton_2->setChecked(true);
    }
    ui.radioButton->show();
    ui.radioButton_2->show();
}

int PanoramisationUi::getChannel() const
{
    return ui.radioButton->isChecked() ? Mono : Stereo;
}

int PanoramisationUi::getValue() const
{
    return ui.horizontalSlider->value() / 100;
}

void PanoramisationUi::userValueChanged(int value)
{
    // The slider's own position is shown as it is: 29 / 100.0 * 100 truncates to 28.
    showValue(value);
    emit panoValueChanged(value / 100.0);
}

void PanoramisationUi::changeTick()
{
    emit modeStereo(!ui.radioButton->isChecked());
}
