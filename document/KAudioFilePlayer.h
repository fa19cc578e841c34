// The transport every player control drives: play, pause, stop, seek, volume, repeat and the
// rule switch over the document's player; the play position and the level meters polled on two
// GUI timers; tracks switched while listening; and a solo preview of one element that puts the
// previous mutes and solos back afterwards.
//
// GUI thread only. The engine's threads are reached through the player and the engine's meter
// and status reads, which lock on their side.
#ifndef KAUDIOFILEPLAYER_H
#define KAUDIOFILEPLAYER_H

#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QTimer>

class KCtrlFile;
class KObjProgress;
class KPlayerFunctions;

class KAudioFilePlayer : public QObject
{
    Q_OBJECT

public:
    enum { Playing = 0, Stopped = 1, Paused = 2 };
    static constexpr int PositionPeriodMs = 91;
    static constexpr int MeterPeriodMs = 40;
    // The meters' floor: silence on the console's level scale.
    static constexpr double MeterFloor = -240.0;

    explicit KAudioFilePlayer(KCtrlFile* document = nullptr, QObject* parent = nullptr);
    ~KAudioFilePlayer() override;

    int getState() const { return m_state; }
    // 0.0 without player or document, else the stored volume.
    double getVolume() const;
    // Position as a fraction of the piece; 0.0 until the tracks are loaded.
    double getTime() const;
    QTime getMusicLen() const;
    // -1 before the first start, 0..100 while the tracks load, 101 once loaded.
    int getLoading() const;
    double getMasterPan() const;
    void initPlaying();

    // A linear meter reading on the level scale; readings at or below 1e-6 give the floor.
    static double doubleToDecibel(double value);

public slots:
    void setKFile(KCtrlFile* document);
    void setPlayerFunc(KPlayerFunctions* player);
    void play();
    void pause();
    void stop();
    void setRepeat(bool repeat);
    void setVolume(double volume);
    void changeTime(double fraction);
    void setConstraintsUsing(bool use);
    void setTrackStatus(QString name, bool on);
    // Solo preview of one element; reset() puts back what it changed.
    void init(QString name);
    void reset();
    void setMasterPan(double pan);
    void refreshDate();
    void refreshStats();

signals:
    void refreshDate(double seconds);
    void stopped();
    void changedEltStatus(QStringList playing);
    void constraintsUsingChanged(bool use);
    void newStatsView(QMap<QString, QList<double> > meters, double masterLeft, double masterRight);

private:
    bool ready() const { return m_player && m_document; }
    void stopTimers();
    void dropDocument();

    QPointer<KCtrlFile> m_document;
    QTimer m_positionTimer;
    QTimer m_meterTimer;
    int m_state = Stopped;
    bool m_repeat = false;
    bool m_constraintsUsing = true;
    double m_volume = 1.0;
    KPlayerFunctions* m_player = nullptr;
    KObjProgress* m_progress = nullptr;
    QStringList m_mutedNames;
    QStringList m_soloedNames;
    // The previewed element's play state and level before init().
    QString m_previewName;
    bool m_previewWasPlaying = false;
    int m_previewLevel = 0;
};

#endif
