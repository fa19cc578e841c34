#include "MiniPlayerUI.h"

#include "AppServices.h"
#include "KAudioFilePlayer.h"
#include "KButton.h"
#include "KCtrlFile.h"
#include "KSlider.h"
#include "KStyleSlider.h"
#include "tvr_utils.h"

#include <QHBoxLayout>
#include <QLabel>

namespace {
const char* const TitleStripStyle =
    " QLabel { color : #99FF00; min-height : 45px; background : url(:/Img/LabelBar); }";
constexpr int BarWidth = 300;
constexpr int BarHeight = 60;

// The three pictures of a button: off, hover and on.
void setPictures(KButton* button, const QString& name)
{
    button->setIcons(AppServices::pictureIcon(":/Img/" + name + "Off"),
                     AppServices::pictureIcon(":/Img/" + name + "Over"),
                     AppServices::pictureIcon(":/Img/" + name + "On"));
}
} // namespace

MiniPlayerUI::MiniPlayerUI(KCtrlFile* document, QWidget* parent)
    : QWidget(parent), player(new KAudioFilePlayer(document, this))
{
    setWindowTitle("MiniPlayerUI");
    auto* layout = new QHBoxLayout(this);
    layout->setObjectName("horizontalLayout");
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* surface = new QWidget(this);
    surface->setObjectName("widget");
    layout->addWidget(surface);

    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, QColor(0, 153, 204));
    colours.setColor(QPalette::Text, QColor(0, 153, 204));
    colours.setColor(QPalette::Window, QColor(100, 100, 100));
    colours.setColor(QPalette::Base, QColor(100, 100, 100));
    setPalette(colours);

    buildControls(surface);
    connectControls();

    player->setConstraintsUsing(true);
    printFileTime(QTime(0, 0));
    player->setVolume(cBToDouble(0));
}

void MiniPlayerUI::buildControls(QWidget* surface)
{
    surface->setFixedSize(BarWidth, BarHeight);
    auto* background = new QLabel(surface);
    background->setObjectName("background");
    background->setPixmap(QPixmap(":/Img/PlayerBG"));
    background->setGeometry(0, 0, BarWidth, BarHeight);
    background->setStyleSheet(TitleStripStyle);
    background->setFont(QFont("MS Shell Dlg 2", 14));

    const char* const pictures[ButtonCount] = {"Play", "Pause", "Stop", "MutePlayer", "Repeat"};
    const char* const names[ButtonCount] = {"playButton", "pauseButton", "stopButton", "muteButton",
                                            "repeatButton"};
    const char* const tips[ButtonCount] = {"Play", "Pause", "Stop", "Mute", "Repeat"};
    // Transport buttons from the left, repeat and mute together at the right of them.
    const int x[ButtonCount] = {6, 40, 74, 142, 108};
    for (int i = 0; i < ButtonCount; ++i) {
        auto* button = new KButton(surface);
        button->setObjectName(names[i]);
        setPictures(button, pictures[i]);
        button->setCheckable(i != Stop);
        button->setFlat(true);
        button->setIconSize(QSize(32, 32));
        button->setGeometry(x[i], 4, 32, 32);
        button->setToolTip(tips[i]);
        button->setAccessibleName(tips[i]);
        buttons[i] = button;
    }

    timeLabel = new QLabel("0:00:00:000", surface);
    timeLabel->setObjectName("timeLabel");
    timeLabel->setFont(QFont("Tahoma", 11));
    timeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    timeLabel->setGeometry(178, 4, BarWidth - 184, 32);

    slider = new KSlider(Qt::Horizontal, surface);
    slider->setStyle(KStyleSlider::shared());
    slider->setObjectName("positionSlider");
    slider->setRange(1, SliderSteps);
    slider->setPageStep(1);
    slider->setValue(0);
    slider->setCursor(Qt::PointingHandCursor);
    slider->setGeometry(6, 40, BarWidth - 12, 16);
    slider->setAccessibleName("Position");
}

void MiniPlayerUI::connectControls()
{
    connect(buttons[Play], &KButton::isClicked, this, &MiniPlayerUI::play);
    connect(buttons[Pause], &KButton::isClicked, this, &MiniPlayerUI::pause);
    connect(buttons[Stop], &KButton::isClicked, this, &MiniPlayerUI::stop);
    connect(buttons[Mute], &KButton::isClicked, this, &MiniPlayerUI::setMute);
    connect(buttons[Repeat], &KButton::isClicked, this, &MiniPlayerUI::setRepeat);
    connect(slider, &KSliderTime::valueChangedOnRelease, this, &MiniPlayerUI::newUserTime);
    connect(player, qOverload<double>(&KAudioFilePlayer::refreshDate), this, &MiniPlayerUI::setDate);
    connect(player, &KAudioFilePlayer::stopped, this, &MiniPlayerUI::button_stop);
}

void MiniPlayerUI::setActiveObject(KIsActiveFuncClass* object)
{
    for (KButton* button : buttons)
        button->setActiveObject(object);
}

void MiniPlayerUI::showPlaying(bool playing)
{
    buttons[Play]->setState(playing);
    buttons[Pause]->setState(false);
}

void MiniPlayerUI::play()
{
    showPlaying(true);
    emit played();
    player->play();
    // A start the engine refused (no sound device) leaves the player stopped: so does the bar.
    if (player->getState() == KAudioFilePlayer::Stopped)
        showPlaying(false);
}

void MiniPlayerUI::pause()
{
    if (player->getState() == KAudioFilePlayer::Stopped) {
        buttons[Pause]->setState(false);
    } else if (!buttons[Play]->isChecked()) {
        showPlaying(true);
    } else {
        buttons[Play]->setState(false);
        buttons[Pause]->setState(true);
    }
    player->pause();
}

void MiniPlayerUI::stop()
{
    player->stop();
    button_stop();
}

void MiniPlayerUI::button_stop()
{
    resetMiniPlayer();
    showPlaying(false);
}

void MiniPlayerUI::resetMiniPlayer()
{
    printFileTime(QTime(0, 0));
    slider->setValue(0);
}

void MiniPlayerUI::setDate(double seconds)
{
    printFileTime(QTime(0, 0).addMSecs(static_cast<int>(1000.0 * seconds)));
    slider->setValue(static_cast<int>(slider->maximum() * player->getTime()));
}

void MiniPlayerUI::printFileTime(const QTime& time)
{
    const int loading = player->getLoading();
    if (loading > 100 || loading == -1)
        timeLabel->setText(time.toString("h:mm:ss.zzz"));
    else
        timeLabel->setText(QString::number(loading) + "% loading...");
}

QString MiniPlayerUI::timeText() const
{
    return timeLabel->text();
}

void MiniPlayerUI::newUserTime(double fraction)
{
    player->changeTime(fraction);
}

void MiniPlayerUI::newUserVolume(int level)
{
    userLevel = level;
    player->setVolume(cBToDouble(level));
}

// The silence itself comes from the console, which mutes every strip on muted(true); the bar
// keeps the user's volume to give it back on unmute.
void MiniPlayerUI::setMute()
{
    if (mutedLevel != -1) {
        player->setVolume(cBToDouble(mutedLevel));
        emit muted(false);
        mutedLevel = -1;
    } else {
        mutedLevel = userLevel;
        player->setVolume(cBToDouble(0));
        emit muted(true);
    }
}

// The console reports -1.0 when nothing is muted and its master level otherwise; that level is
// the console's, so an unmute from the bar gives back the user's own volume instead.
void MiniPlayerUI::muteChange(double value)
{
    const bool on = value != -1.0;
    mutedLevel = on ? userLevel : -1;
    buttons[Mute]->setState(on);
}

void MiniPlayerUI::setRepeat()
{
    player->setRepeat(buttons[Repeat]->isChecked());
}

void MiniPlayerUI::setConstraintsUsing(int state)
{
    player->setConstraintsUsing(state == Qt::Checked);
}
