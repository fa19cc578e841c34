// The small transport bar that plays the open project as the mix being edited sounds: play,
// pause, stop, repeat and mute-all buttons, a position slider and a time read-out over one
// owned player object. The bar only drives the player; the engine renders the sound.
#ifndef MINIPLAYERUI_H
#define MINIPLAYERUI_H

#include <QTime>
#include <QWidget>

class KAudioFilePlayer;
class KButton;
class KCtrlFile;
class KIsActiveFuncClass;
class KSliderTime;
class QLabel;

class MiniPlayerUI : public QWidget
{
    Q_OBJECT

public:
    // Number of slider steps over the length of the piece.
    static constexpr int SliderSteps = 300;

    explicit MiniPlayerUI(KCtrlFile* document, QWidget* parent = nullptr);

    // The owned player; the caller must not free it.
    KAudioFilePlayer* getKAFPlayer() const { return player; }
    // Each button acts only while the object says the embedding page is active.
    void setActiveObject(KIsActiveFuncClass* object);
    void printFileTime(const QTime& time);
    void resetMiniPlayer();

    // -1 while not muted; otherwise the volume level (cB) given back to the player on unmute.
    int muteLevel() const { return mutedLevel; }
    QString timeText() const;
    KButton* playButton() const { return buttons[Play]; }
    KButton* pauseButton() const { return buttons[Pause]; }
    KButton* stopButton() const { return buttons[Stop]; }
    KButton* muteButton() const { return buttons[Mute]; }
    KButton* repeatButton() const { return buttons[Repeat]; }
    KSliderTime* positionSlider() const { return slider; }

public slots:
    void play();
    void pause();
    void stop();
    void button_stop();
    void setMute();
    void setRepeat();
    void setDate(double seconds);
    void newUserTime(double fraction);
    void newUserVolume(int level);
    void muteChange(double value);
    void setConstraintsUsing(int state);

signals:
    void played();
    void muted(bool on);

private:
    enum { Play, Pause, Stop, Mute, Repeat, ButtonCount };

    void buildControls(QWidget* surface);
    void connectControls();
    void showPlaying(bool playing);

    KAudioFilePlayer* player;
    int mutedLevel = -1;
    // The player volume the user chose (cB); a mute from the bar gives it back on unmute.
    int userLevel = 0;
    KButton* buttons[ButtonCount] = {};
    QLabel* timeLabel = nullptr;
    KSliderTime* slider = nullptr;
};

#endif
