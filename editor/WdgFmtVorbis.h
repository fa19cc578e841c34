// Vorbis options: the compression quality, -1 (smallest) to 10 (best). The same widget serves
// the distributable file ("Compressé") and a mix rendered to an Ogg file ("OGG VORBIS").
#ifndef WDGFMTVORBIS_H
#define WDGFMTVORBIS_H

#include "WdgAudioFormat.h"

class QLabel;
class QSlider;
class QSpinBox;

class WdgFmtVorbis : public WdgAudioFormat
{
    Q_OBJECT

public:
    explicit WdgFmtVorbis(bool mixForm, QWidget* parent = nullptr);

    // The Vorbis code with the quality in the low 16 bits (-1 gives 255, the engine's lowest).
    int getOptionValue() override;
    QString getOptionName() override;
    QString getFormatName() override;
    QStringList getExtensions() override;

    // Ties the slider and the spin box together.
    void addCompressionSettings();

    QSpinBox* spinBox() const { return m_spinBox; }

private:
    bool m_mixForm;
    QSlider* m_slider;
    QSpinBox* m_spinBox;
    QLabel* m_lowLabel;
    QLabel* m_highLabel;
};

#endif
