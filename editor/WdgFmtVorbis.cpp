#include "WdgFmtVorbis.h"

#include "KTypes.h"
#include "KitFonts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>

WdgFmtVorbis::WdgFmtVorbis(bool mixForm, QWidget* parent)
    : WdgAudioFormat(parent),
      m_mixForm(mixForm),
      m_slider(new QSlider(Qt::Horizontal, this)),
      m_spinBox(new QSpinBox(this)),
      m_lowLabel(new QLabel(this)),
      m_highLabel(new QLabel(this))
{
    setObjectName("WdgFmtVorbis");
    m_slider->setObjectName("horizontalSlider");
    m_spinBox->setObjectName("spinBox");
    m_slider->setRange(-1, 10);
    m_slider->setValue(4);
    m_spinBox->setRange(-1, 10);
    m_spinBox->setValue(4);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(m_slider, 0, 0);
    grid->addWidget(m_spinBox, 0, 1);
    // The two ends of the scale stand under the two ends of the slider, whatever its width.
    auto* ends = new QHBoxLayout;
    ends->setContentsMargins(0, 0, 0, 0);
    ends->addWidget(m_lowLabel);
    ends->addStretch(1);
    ends->addWidget(m_highLabel);
    grid->addLayout(ends, 1, 0);
    passParentFont(this, parent);
    m_lowLabel->setText(tr("Meilleure compression"));
    m_highLabel->setText(tr("Meilleure qualité"));
    // The quality is fixed at the smallest size until the settings are offered.
    m_slider->setValue(-1);
    m_spinBox->setValue(-1);
    m_slider->setEnabled(false);
    m_spinBox->setEnabled(false);
}

int WdgFmtVorbis::getOptionValue()
{
    return m_spinBox->value() + KAUDIOFMT_VORBIS + KAUDIOFMT_VORBIS_QUALITY_BASE;
}

QString WdgFmtVorbis::getOptionName()
{
    return tr("Qualité de compression");
}

QString WdgFmtVorbis::getFormatName()
{
    return m_mixForm ? QString("OGG VORBIS") : tr("Compressé");
}

QStringList WdgFmtVorbis::getExtensions()
{
    return {"ogg"};
}

void WdgFmtVorbis::addCompressionSettings()
{
    connect(m_slider, &QSlider::valueChanged, m_spinBox, &QSpinBox::setValue);
    connect(m_spinBox, qOverload<int>(&QSpinBox::valueChanged), m_slider, &QSlider::setValue);
}
