// A small bar that plays one element of the project on its own: play, pause and stop buttons, a
// position slider and a time label over its own transport. Play starts a solo preview of the
// element; stop ends it and puts the mutes and solos back. GUI thread only.
#ifndef TRACKPLAYER_H
#define TRACKPLAYER_H

#include <QString>
#include <QWidget>

class KAudioFilePlayer;
class KButton;
class KCtrlFile;
class KSlider;
class QGridLayout;
class QLabel;
class QSpacerItem;

// The generated form: a grid holding two expanding spacers.
class Ui_TrackPlayerClass
{
public:
    QGridLayout* gridLayout = nullptr;
    QSpacerItem* spacerItem = nullptr;
    QSpacerItem* spacerItem1 = nullptr;
    void setupUi(QWidget* form);
};

class TrackPlayer : public QWidget
{
    Q_OBJECT
public:
    explicit TrackPlayer(KCtrlFile* document, QWidget* parent = nullptr);
    ~TrackPlayer() override;

    void setKCtrlFile(KCtrlFile* document);
    void setTrackName(QString name);
    KAudioFilePlayer* getKAFPlayer() const { return m_player; }
    // Stops the transport, ends a running preview and unchecks play and pause.
    void stop();

    // "m:ss" (or "mm:ss") with the minutes counted from the total, so an hour does not wrap.
    static QString timeText(int seconds, bool twoDigitMinutes);

    KButton* playButton() const { return m_play; }
    KButton* pauseButton() const { return m_pause; }
    KButton* stopButton() const { return m_stop; }
    KSlider* positionSlider() const { return m_slider; }
    QLabel* timeLabel() const { return m_time; }

public slots:
    void play();
    void pause();
    void button_stop();
    void setDate(double seconds);
    void newUserTime(double fraction);

private:
    void showTime(int seconds);
    void showState();

    Ui_TrackPlayerClass ui;
    KAudioFilePlayer* m_player;
    KButton* m_play;
    KButton* m_pause;
    KButton* m_stop;
    KSlider* m_slider;
    QLabel* m_time;
    QString m_length = QStringLiteral("0:00");
    QString m_name;
    KCtrlFile* m_document; // not owned
    // Whether a solo preview is running, so that stop puts back only what a preview changed.
    bool m_previewing = false;
};

#endif
