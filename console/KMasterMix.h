// The console's master strip: master level fader and pan with their texts, the output meters,
// the master mute and clear buttons. It reports the user's master level and pan as signals and
// leaves the document to the console.
#ifndef KMASTERMIX_H
#define KMASTERMIX_H

#include "KMeter.h"

#include <QWidget>

class KAudioFilePlayer;
class KButton;
class KCtrlFile;
class KSlider;
class QLineEdit;
class QSlider;

class KMasterMix : public QWidget
{
    Q_OBJECT
public:
    KMasterMix(KCtrlFile* document, QWidget* parent = nullptr);
    ~KMasterMix() override;

    void setKCtrlFile(KCtrlFile* document);
    // Shows a master pan and level that come from outside, without reporting them back.
    void applyMasterValues(double pan, int level);

    KSlider* fader() const { return m_fader; }
    KSlider* panSlider() const { return m_panSlider; }
    QLineEdit* levelEdit() const { return m_levelEdit; }
    QLineEdit* panEdit() const { return m_panEdit; }
    KMeter* meterLeft() const { return m_meterLeft; }
    KMeter* meterRight() const { return m_meterRight; }
    KButton* muteButton() const { return m_mute; }
    KButton* clearButton() const { return m_clear; }
    KAudioFilePlayer* transport() const { return m_transport; }

public slots:
    void newUserVolume(int level);
    void setLabel();
    void newUserPano(int value);
    void setPano();

signals:
    void masterValueChanged(int level);
    void panoValueChanged(double pan);

private:
    KCtrlFile* m_document;
    KAudioFilePlayer* m_transport;
    QLineEdit* m_panEdit;
    KSlider* m_panSlider;
    QLineEdit* m_levelEdit;
    KSlider* m_fader;
    KMeter* m_meterLeft;
    KMeter* m_meterRight;
    KButton* m_mute;
    KButton* m_clear;
    KButton* m_equaliser;
};

#endif
