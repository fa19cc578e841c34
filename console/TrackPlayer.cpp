#include "TrackPlayer.h"

#include "KAudioFilePlayer.h"
#include "KButton.h"
#include "KCtrlFile.h"
#include "KSlider.h"
#include "KStyleSlider.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QSpacerItem>

#include <cmath>
#include <QTime>

#include <algorithm>

namespace {
constexpr int kSliderSteps = 300;

// A button of the bar: its three pictures (normal, hover, checked) at the button's size.
void setupButton(KButton* button, const QString& picture, const QRect& geometry, bool checkable)
{
    button->setGeometry(geometry);
    button->setIcons(QIcon(":/Img/" + picture + "Off"), QIcon(":/Img/" + picture + "Over"),
                     QIcon(":/Img/" + picture + "On"));
    button->setIconSize(geometry.size());
    button->setCheckable(checkable);
    button->setFlat(true);
}
} // namespace

QString TrackPlayer::timeText(int seconds, bool twoDigitMinutes)
{
    seconds = std::max(0, seconds);
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, twoDigitMinutes ? 2 : 1, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

void Ui_TrackPlayerClass::setupUi(QWidget* form)
{
    form->setObjectName(QStringLiteral("TrackPlayerClass"));
    form->resize(416, 59);
    form->setWindowTitle(QStringLiteral("TrackPlayer"));
    gridLayout = new QGridLayout(form);
    gridLayout->setSpacing(6);
    gridLayout->setContentsMargins(11, 11, 11, 11);
    spacerItem = new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
    spacerItem1 = new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
    gridLayout->addItem(spacerItem, 0, 0);
    gridLayout->addItem(spacerItem1, 0, 1);
}

TrackPlayer::TrackPlayer(KCtrlFile* document, QWidget* parent)
    : QWidget(parent)
    , m_player(nullptr)
    , m_play(nullptr)
    , m_pause(nullptr)
    , m_stop(nullptr)
    , m_slider(nullptr)
    , m_time(nullptr)
    , m_document(document)
{
    ui.setupUi(this);
    m_player = new KAudioFilePlayer(document, this);

    m_pause = new KButton(this, false);
    m_play = new KButton(this, false);
    m_stop = new KButton(this, false);
    setupButton(m_pause, QStringLiteral("Pause"), QRect(10, 5, 40, 25), true);
    setupButton(m_play, QStringLiteral("Play"), QRect(50, 5, 41, 25), true);
    setupButton(m_stop, QStringLiteral("Stop"), QRect(91, 5, 40, 25), false);
    m_pause->setAccessibleName(tr("Pause"));
    m_play->setAccessibleName(tr("Lecture"));
    m_stop->setAccessibleName(tr("Arrêt"));
    m_pause->setToolTip(tr("Pause"));
    m_play->setToolTip(tr("Lecture"));
    m_stop->setToolTip(tr("Arrêt"));

    m_slider = new KSlider(Qt::Horizontal, this);
    // The style goes with the bar, after the slider that uses it.
    auto* sliderStyle = new KStyleSlider;
    sliderStyle->setParent(this);
    m_slider->setStyle(sliderStyle);
    m_slider->setGeometry(10, 40, 210, 20);
    m_slider->setRange(1, kSliderSteps);
    m_slider->setPageStep(1);
    m_slider->setValue(0);
    m_slider->setCursor(Qt::PointingHandCursor);
    m_slider->setAccessibleName(tr("Position"));

    m_time = new QLabel(this);
    m_time->setGeometry(140, 0, 120, 36);
    m_time->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_time->setFont(QFont(QStringLiteral("Tahoma"), 8, QFont::Bold));
    m_time->setText(QStringLiteral("0:00/0:00"));
    // The controls stand at fixed places: a layout that holds the bar keeps them all in view.
    const QRect used = m_stop->geometry() | m_slider->geometry() | m_time->geometry();
    setMinimumSize(used.right() + 1, used.bottom() + 1);

    connect(m_slider, &KSliderTime::sliderMoved, this, &TrackPlayer::newUserTime);
    connect(m_play, &QPushButton::released, this, &TrackPlayer::play);
    connect(m_pause, &QPushButton::released, this, &TrackPlayer::pause);
    connect(m_stop, &QPushButton::released, this, &TrackPlayer::button_stop);
    connect(m_player, qOverload<double>(&KAudioFilePlayer::refreshDate), this,
            &TrackPlayer::setDate);
    connect(m_player, &KAudioFilePlayer::stopped, this, &TrackPlayer::button_stop);
    showTime(0);
}

TrackPlayer::~TrackPlayer()
{
    // A bar closed while previewing must not leave the project soloed or playing.
    stop();
    m_player->setKFile(nullptr);
}

void TrackPlayer::setKCtrlFile(KCtrlFile* document)
{
    stop();
    m_document = document;
    m_player->setKFile(document);
}

void TrackPlayer::setTrackName(QString name)
{
    m_name = name;
    // Before any play the read-out shows how long the track is.
    const double seconds = m_document && !name.isEmpty() ? m_document->getTrackLength(name) : 0.0;
    m_length = timeText(int(std::lround(seconds)), false);
    if (m_player->getState() == KAudioFilePlayer::Stopped)
        showTime(0);
}

void TrackPlayer::play()
{
    if (m_name.isEmpty())
        return; // no element to preview
    // The preview saves the mutes and solos it changes: only from the stopped state, or a second
    // press would save the preview's own solo as the author's.
    if (m_player->getState() == KAudioFilePlayer::Stopped) {
        if (m_previewing)
            m_player->reset();
        m_player->init(m_name);
        m_previewing = true;
    }
    m_player->play();
    if (m_player->getState() == KAudioFilePlayer::Stopped)
        stop(); // the start failed: the preview's solo goes again
    showState();
}

void TrackPlayer::showState()
{
    // The buttons mirror the transport: a pause it refuses (while a seek is pending) shows as
    // refused.
    const int state = m_player->getState();
    m_play->setState(state == KAudioFilePlayer::Playing);
    m_pause->setState(state == KAudioFilePlayer::Paused);
}

void TrackPlayer::pause()
{
    m_player->pause();
    showState();
}

void TrackPlayer::stop()
{
    m_player->stop();
    if (m_previewing) {
        m_player->reset();
        m_previewing = false;
    }
    m_play->setState(false);
    m_pause->setState(false);
}

void TrackPlayer::button_stop()
{
    stop();
    showTime(0);
    m_slider->setValue(0);
}

void TrackPlayer::showTime(int seconds)
{
    m_time->setText(timeText(seconds, false) + QLatin1Char('/') + m_length);
}

void TrackPlayer::setDate(double seconds)
{
    const QTime length = m_player->getMusicLen();
    // Position and length read alike: minutes without a leading zero.
    m_length = timeText(length.isValid() ? length.msecsSinceStartOfDay() / 1000 : 0, false);
    showTime(std::max(0, int(seconds)));
    m_slider->setValue(int(m_player->getTime() * kSliderSteps));
}

void TrackPlayer::newUserTime(double fraction)
{
    m_player->changeTime(fraction);
}
