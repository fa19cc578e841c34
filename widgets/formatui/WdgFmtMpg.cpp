#include "WdgFmtMpg.h"

#include "KRender.h"
#include "KTypes.h"
#include "KitFonts.h"

#include <QComboBox>
#include <QHBoxLayout>

namespace {
constexpr double CheckRate = 44100.0;
}

WdgFmtMpg::WdgFmtMpg(QWidget* parent) : WdgAudioFormat(parent), m_comboBox(new QComboBox(this))
{
    setObjectName("WdgFmtMpg");
    m_comboBox->setObjectName("comboBox");
    auto* layout = new QHBoxLayout(this);
    layout->setObjectName("horizontalLayout");
    layout->addWidget(m_comboBox);
    passParentFont(this, parent);
    // Only the rates the audio-file library can write are offered.
    for (int rate : {64, 96, 128, 160, 192, 256, 320}) {
        if (k_renderFormatCode(KAUDIOFMT_MPEG | rate, CheckRate) == 0)
            continue;
        m_bitRates << rate;
        m_comboBox->addItem(QString::number(rate) + " kbps");
    }
    m_comboBox->setCurrentIndex(m_bitRates.isEmpty() ? -1 : 0);
}

int WdgFmtMpg::getOptionValue()
{
    const int index = m_comboBox->currentIndex();
    return index < 0 ? -1 : (m_bitRates.at(index) | KAUDIOFMT_MPEG);
}

QString WdgFmtMpg::getOptionName()
{
    return tr("Bitrate");
}

QString WdgFmtMpg::getFormatName()
{
    return "MP3";
}

QStringList WdgFmtMpg::getExtensions()
{
    return {"mp3"};
}
