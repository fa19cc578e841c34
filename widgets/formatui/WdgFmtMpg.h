// MP3 options: the bit rate.
#ifndef WDGFMTMPG_H
#define WDGFMTMPG_H

#include "WdgAudioFormat.h"

#include <QList>

class QComboBox;

class WdgFmtMpg : public WdgAudioFormat
{
    Q_OBJECT
public:
    explicit WdgFmtMpg(QWidget* parent = nullptr);

    int getOptionValue() override;
    QString getOptionName() override;
    QString getFormatName() override;
    QStringList getExtensions() override;

private:
    QComboBox* m_comboBox;
    QList<int> m_bitRates; // kbit/s, in combo order
};

#endif
