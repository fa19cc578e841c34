// Sample-size options for one major format of the audio-file library, or for the mobile
// compression (major -1: compressed AIFF).
#ifndef WDGFMTSNDFILE_H
#define WDGFMTSNDFILE_H

#include "WdgAudioFormat.h"

#include <QList>

class QComboBox;

class WdgFmtSndFile : public WdgAudioFormat
{
    Q_OBJECT
public:
    static constexpr int MobileCompression = -1;

    explicit WdgFmtSndFile(int major, QWidget* parent = nullptr);

    int getOptionValue() override;
    QString getOptionName() override;
    QString getFormatName() override;
    QStringList getExtensions() override;

    // The encodings offered for a major format, in combo order: those of the format's list
    // that the audio-file library accepts.
    static QList<int> offeredEncodings(int major);

private:
    QComboBox* m_comboBox;
    int m_major;
    QList<int> m_encodings;
};

#endif
