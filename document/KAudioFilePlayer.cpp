// The mixer header comes before Qt's, whose "slots" keyword it uses as a field name.
#include "KMixer.h"

#include "KAudioFilePlayer.h"

#include <cmath>

#include "EngineText.h"
#include "KCtrlFile.h"
#include "KFile.h"
#include "KLevels.h"
#include "KObjProgress.h"
#include "KPlayer.h"
#include "KPlayerFunctions.h"

KAudioFilePlayer::KAudioFilePlayer(KCtrlFile* document, QObject* parent)
    : QObject(parent)
    , m_positionTimer(this)
    , m_meterTimer(this)
{
    m_positionTimer.setInterval(PositionPeriodMs);
    m_meterTimer.setInterval(MeterPeriodMs);
    connect(&m_positionTimer, &QTimer::timeout, this,
            static_cast<void (KAudioFilePlayer::*)()>(&KAudioFilePlayer::refreshDate));
    connect(&m_meterTimer, &QTimer::timeout, this, &KAudioFilePlayer::refreshStats);
    if (document)
        setKFile(document);
}

KAudioFilePlayer::~KAudioFilePlayer()
{
    stop();
    if (ready())
        m_player->close();
    delete m_progress;
}

double KAudioFilePlayer::doubleToDecibel(double value)
{
    // Silent blocks read 0: the floor, never -inf.
    if (!(value > 0.000001))
        return MeterFloor;
    return ((20.0 * std::log10(value / 0.000001)) * 30.0 / 190.0 - 24.0) * 10.0;
}

// --- Document and player ------------------------------------------------------------------------

void KAudioFilePlayer::setKFile(KCtrlFile* document)
{
    if (m_document && m_document != document) {
        stop();
        disconnect(m_document, nullptr, this, nullptr);
    }
    m_document = document;
    if (!document) {
        m_player = nullptr;
        return;
    }
    connect(document, &KCtrlFile::playerFuncChanged, this, &KAudioFilePlayer::setPlayerFunc,
            Qt::UniqueConnection);
    // The document stops the engine before it frees or replaces the project; the transport
    // follows, while the old project can still be read.
    connect(document, &KCtrlFile::destroyKFile, this, &KAudioFilePlayer::stop,
            Qt::UniqueConnection);
    connect(document, &QObject::destroyed, this, &KAudioFilePlayer::dropDocument,
            Qt::UniqueConnection);
    m_player = document->getPlayerFunctions();
    m_player->init();
    m_player->setVolume(m_volume);
}

void KAudioFilePlayer::setPlayerFunc(KPlayerFunctions* player)
{
    m_player = player;
    // A load stopped the engine: the transport must not stay playing over a stopped player.
    if (m_state != Stopped)
        stop();
}

void KAudioFilePlayer::dropDocument()
{
    // The document deleted its player with itself and stopped the engine.
    m_player = nullptr;
    stopTimers();
    m_state = Stopped;
}

// --- Start, pause and stop ----------------------------------------------------------------------

void KAudioFilePlayer::initPlaying()
{
    if (!ready())
        return;
    m_document->initPlaying(QString());
    m_player->setLoop(m_repeat ? SO_LOOP : SO_LOOP_NONE);
    m_positionTimer.start();
    m_meterTimer.start();
}

void KAudioFilePlayer::play()
{
    if (!ready())
        return;
    switch (m_state) {
    case Stopped: {
        initPlaying();
        // The start stops any earlier play first, so the old progress record is freed after it.
        KObjProgress* previous = m_progress;
        m_progress = new KObjProgress;
        const bool started = m_player->playThread(m_document, m_progress);
        delete previous;
        if (started) {
            m_state = Playing;
        } else {
            delete m_progress;
            m_progress = nullptr;
            stopTimers();
        }
        break;
    }
    case Paused:
        if (m_player->pause())
            m_state = Playing;
        break;
    case Playing:
        m_player->setTime(0.0);
        break;
    }
}

void KAudioFilePlayer::pause()
{
    if (!ready() || m_state == Stopped)
        return;
    if (m_player->pause())
        m_state = m_state == Playing ? Paused : Playing;
}

void KAudioFilePlayer::stop()
{
    if (!ready() || m_state == Stopped)
        return;
    stopTimers();
    if (m_player->isPlay()) {
        m_player->stop();
        m_player->setTime(0.0);
    }
    m_state = Stopped;
    // Every meter falls to the floor.
    refreshStats();
}

void KAudioFilePlayer::stopTimers()
{
    if (m_meterTimer.isActive())
        m_meterTimer.stop();
    if (m_positionTimer.isActive())
        m_positionTimer.stop();
}

// --- Settings -----------------------------------------------------------------------------------

void KAudioFilePlayer::setRepeat(bool repeat)
{
    m_repeat = repeat;
    if (ready())
        m_player->setLoop(repeat ? SO_LOOP : SO_LOOP_NONE);
}

void KAudioFilePlayer::setVolume(double volume)
{
    m_volume = volume;
    if (ready())
        m_player->setVolume(volume);
}

double KAudioFilePlayer::getVolume() const
{
    return ready() ? m_volume : 0.0;
}

void KAudioFilePlayer::changeTime(double fraction)
{
    if (ready())
        m_player->setTime(fraction);
}

void KAudioFilePlayer::setConstraintsUsing(bool use)
{
    if (!ready() || use == m_constraintsUsing)
        return;
    m_constraintsUsing = use;
    emit constraintsUsingChanged(use);
}

void KAudioFilePlayer::setMasterPan(double pan)
{
    so_setMasterPan(pan);
}

double KAudioFilePlayer::getMasterPan() const
{
    return so_getMasterPan();
}

// --- Position and meters ------------------------------------------------------------------------

int KAudioFilePlayer::getLoading() const
{
    if (!m_progress)
        return -1;
    if (m_progress->getState() != 2)
        return 101;
    const int percent = static_cast<int>(m_progress->getProg() * 100.0);
    return qBound(0, percent, 100);
}

double KAudioFilePlayer::getTime() const
{
    if (!ready() || getLoading() < 101)
        return 0.0;
    return m_player->getTime(m_document);
}

QTime KAudioFilePlayer::getMusicLen() const
{
    return ready() ? m_document->getFileLength() : QTime();
}

void KAudioFilePlayer::refreshDate()
{
    if (!ready())
        return;
    const double fraction = getTime();
    if (!m_player->isPlay()) {
        emit stopped();
        return;
    }
    const QTime length = m_document->getFileLength();
    const double ms = length.isValid() ? QTime(0, 0).msecsTo(length) : 0.0;
    const double seconds = fraction * ms / 1000.0;
    // An empty piece has no position.
    emit refreshDate(std::isfinite(seconds) && ms > 0.0 ? seconds : 0.0);
}

void KAudioFilePlayer::refreshStats()
{
    if (!m_document || !m_document->getKFile())
        return;
    const bool playing = m_state == Playing;
    QMap<QString, QList<double> > meters;
    double masterLeft = MeterFloor, masterRight = MeterFloor;
    {
        // The mixer writes statuses while it plays.
        const KProjectLock lock;
        KFile* file = m_document->getKFile();
        int count = 0;
        const char** names = allEltsNames(file, &count);
        for (int i = 0; i < count; ++i) {
            const char* name = names[i];
            double left = MeterFloor, right = MeterFloor;
            if (playing) {
                right = doubleToDecibel(so_getDataView(name, 1));
                const KElement* elt = giveElt(file, name);
                if (elt && elt->status > 0 && (elt->type == KELT_TRACK || elt->visible))
                    left = doubleToDecibel(so_getDataView(name, 0));
            }
            meters.insert(EngineText::fromEngine(name), {left, right});
        }
        EngineText::release(names);
        if (playing) {
            masterLeft = doubleToDecibel(so_getDataView(nullptr, 0));
            masterRight = doubleToDecibel(so_getDataView(nullptr, 1));
        }
    }
    emit newStatsView(meters, masterLeft, masterRight);
}

// --- Tracks while listening ---------------------------------------------------------------------

void KAudioFilePlayer::setTrackStatus(QString name, bool on)
{
    if (!ready())
        return;
    m_document->setEltStatus(name, on, m_constraintsUsing);
    if (!m_constraintsUsing) {
        int level = 0;
        if (on) {
            m_document->addTrackInCurMix(name);
            const KProjectLock lock;
            level = m_document->getDefEltLevel(name);
        } else {
            m_document->removeTrackFromCurMix(name);
        }
        m_document->setEltLevel(name, level);
    }
    QStringList playing;
    {
        const KProjectLock lock;
        playing = m_document->getPlayedTracks();
    }
    emit changedEltStatus(playing);
}

// --- Solo preview -------------------------------------------------------------------------------

void KAudioFilePlayer::init(QString name)
{
    if (!m_document || !m_document->getKFile())
        return;
    m_mutedNames.clear();
    m_soloedNames.clear();
    {
        const KProjectLock lock;
        KFile* file = m_document->getKFile();
        int count = 0;
        const char** names = allEltsNames(file, &count);
        for (int i = 0; i < count; ++i) {
            if (k_isSolo(file, names[i]))
                m_soloedNames.append(EngineText::fromEngine(names[i]));
            if (k_isMute(file, names[i]))
                m_mutedNames.append(EngineText::fromEngine(names[i]));
        }
        EngineText::release(names);
        m_previewName = name;
        m_previewWasPlaying = m_document->elementPlays(name);
        m_previewLevel = m_document->getElementLevel(name);
    }
    m_document->resetSoloMute();
    m_document->setEltSolo(name, true);
    m_document->setEltStatus(name, true, false);
}

void KAudioFilePlayer::reset()
{
    if (!m_document || !m_document->getKFile())
        return;
    // The preview switched the element on outside the rules (and into the current mix): switch
    // it off again and give it back its level, so no rule-breaking selection is left behind.
    if (!m_previewName.isEmpty() && !m_previewWasPlaying) {
        bool plays;
        {
            const KProjectLock lock;
            plays = m_document->elementPlays(m_previewName);
        }
        if (plays) {
            m_document->setEltStatus(m_previewName, false, false);
            m_document->setEltLevel(m_previewName, m_previewLevel);
        }
    }
    m_previewName.clear();
    m_document->resetSoloMute();
    for (const QString& name : m_mutedNames)
        m_document->setEltMute(name, true);
    for (const QString& name : m_soloedNames)
        m_document->setEltSolo(name, true);
}
