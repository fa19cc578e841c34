// The console's master strip: master level fader and pan with their texts, the output meters,
// the master mute and clear buttons. It reports the user's master level and pan as signals and
// leaves the document to the console.
#ifndef KMASTERMIX_H
#define KMASTERMIX_H

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
    QSlider* meterLeft() const { return m_meterLeft; }
    QSlider* meterRight() const { return m_meterRight; }
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
    QSlider* m_meterLeft;
    QSlider* m_meterRight;
    KButton* m_mute;
    KButton* m_clear;
    KButton* m_equaliser;
};

#endif
