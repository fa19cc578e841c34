#include "../document/ElementTestEnv.h"
#include "KButton.h"
#include "KSlider.h"
#include "TrackPlayer.h"
#include "TrackPropUI.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QResource>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace {
struct Panel {
    QWidget host;
    TrackPropUI* panel = new TrackPropUI(nullptr, &host);
    QString label(const char* name) const { return panel->findChild<QLabel*>(name)->text(); }
    QCheckBox* box(const char* name) const { return panel->findChild<QCheckBox*>(name); }
    QLineEdit* nameLE() const { return panel->findChild<QLineEdit*>("nameLE"); }
};
} // namespace

TEST(TrackPropUI, DetailsShowAsTheSettersGiveThem)
{
    Panel p;
    const struct {
        int channels;
        const char* shown;
    } channels[] = {{1, "1 (Mono)"}, {2, "2 (Stereo)"}, {6, "6"}, {0, "0"}};
    for (const auto& row : channels) {
        p.panel->setChannels(row.channels);
        EXPECT_EQ(p.label("channelsLbl"), row.shown);
    }
    p.panel->setRate(44100.0);
    EXPECT_EQ(p.label("rateLbl"), "44100 Hz");
    p.panel->setLength(1.23456789);
    EXPECT_EQ(p.label("lengthLbl"), "1.23457 sec");
    p.panel->setSize(88200);
    EXPECT_EQ(p.label("sizeLbl"), "88200");
    // Bits and bit rate share one caption and one value label.
    p.panel->setKBPS("128");
    EXPECT_EQ(p.label("label_6"), "Bitrate");
    EXPECT_EQ(p.label("bitsLbl"), "128 kbps");
    p.panel->setBits(24);
    EXPECT_EQ(p.label("label_6"), "Taille des échantillons");
    EXPECT_EQ(p.label("bitsLbl"), "24 bit");
}

TEST(TrackPropUI, FileSizeInKoThenMo)
{
    const struct {
        qint64 bytes;
        const char* shown;
    } sizes[] = {{0, "0.00 Ko"},
                 {512000, "500.00 Ko"},
                 {1048575, "1024.00 Ko"},
                 {1048576, "1.00 Mo"},
                 {2000000, "1.91 Mo"}};
    for (const auto& row : sizes)
        EXPECT_EQ(TrackPropUI::fileSizeText(row.bytes), row.shown) << row.bytes;

    fixtures::TempDir dir;
    const QString path = QString::fromStdString(dir.file("data.bin"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(512000, 'x'));
    file.close();
    Panel p;
    p.panel->setFilePath(path);
    p.panel->setFileSize();
    EXPECT_EQ(p.label("fileSizeLbl"), "500.00 Ko");
    p.panel->setFilePath(path + ".missing");
    p.panel->setFileSize();
    EXPECT_EQ(p.label("fileSizeLbl"), "0.00 Ko");
}

TEST(TrackPropUI, BoxesEmitTheKeptNameAndTheirMeaning)
{
    Panel p;
    p.panel->setName("Bass");
    p.panel->setTrackVisible(false);
    EXPECT_TRUE(p.box("checkBox_visible")->isChecked());
    QSignalSpy visible(p.panel, &TrackPropUI::visibleChanged);
    QSignalSpy notMute(p.panel, &TrackPropUI::trkCheckBoxChanged);
    p.panel->show();
    QTest::mouseClick(p.box("checkBox_visible"), Qt::LeftButton);
    ASSERT_EQ(visible.count(), 1);
    EXPECT_EQ(visible[0][0].toString(), "Bass");
    EXPECT_TRUE(visible[0][1].toBool());
    QTest::mouseClick(p.box("checkBox_notmute"), Qt::LeftButton);
    ASSERT_EQ(notMute.count(), 1);
    EXPECT_EQ(notMute[0][1].toBool(), true);
    p.panel->setContraintsEnabled(false);
    EXPECT_FALSE(p.box("checkBox_visible")->isEnabled());
    EXPECT_FALSE(p.box("checkBox_notmute")->isEnabled());

    // After reset the fields are empty but the signals still name the kept track.
    p.panel->setContraintsEnabled(true);
    p.panel->reset();
    EXPECT_EQ(p.panel->getName(), "");
    EXPECT_FALSE(p.box("checkBox_notmute")->isChecked());
    QTest::mouseClick(p.box("checkBox_notmute"), Qt::LeftButton);
    EXPECT_EQ(notMute.last()[0].toString(), "Bass");
}

TEST(TrackPropUI, RenameKeepsTheNameOnlyWhenAccepted)
{
    Panel p;
    p.panel->setName("Bass");
    QSignalSpy renamed(p.panel, &TrackPropUI::nameChanged);
    // Unchanged text still asks.
    emit p.nameLE()->editingFinished();
    ASSERT_EQ(renamed.count(), 1);
    EXPECT_EQ(renamed[0], QVariantList({"Bass", "Bass"}));

    // A receiver that refuses: the field comes back and later signals keep naming the track.
    p.nameLE()->setText("Drums");
    emit p.nameLE()->editingFinished();
    EXPECT_EQ(renamed.last(), QVariantList({"Bass", "Drums"}));
    EXPECT_EQ(p.panel->getName(), "Bass");

    // A receiver that accepts answers with setName.
    QObject::connect(p.panel, &TrackPropUI::nameChanged, p.panel,
                     [&](const QString&, const QString& name) { p.panel->setName(name); });
    p.nameLE()->setText("Keys");
    emit p.nameLE()->editingFinished();
    EXPECT_EQ(p.panel->getName(), "Keys");
    QSignalSpy visible(p.panel, &TrackPropUI::visibleChanged);
    p.box("checkBox_visible")->click();
    EXPECT_EQ(visible.last()[0].toString(), "Keys");
}

TEST(TrackPropUI, MonoButtonSendsTheNameFieldAndFollowsTheStereoFlag)
{
    Panel p;
    p.panel->setName("Bass");
    auto* mono = p.panel->findChild<QPushButton*>("monoConvertButt");
    p.panel->setStereo(false);
    EXPECT_FALSE(mono->isEnabled());
    p.panel->setStereo(true);
    QSignalSpy convert(p.panel, &TrackPropUI::filePathChanged);
    p.nameLE()->setText("Bass edited");
    mono->click();
    ASSERT_EQ(convert.count(), 1);
    EXPECT_EQ(convert[0][0].toString(), "Bass edited");
}

TEST(TrackPropUI, PlayerRowShowsTheWholeBar)
{
    Panel p;
    p.host.resize(360, 380);
    p.panel->resize(360, 380);
    p.panel->layout()->activate();
    const TrackPlayer* player = p.panel->getTrackPlayer();
    const QRect bar = player->rect();
    for (const QWidget* control : {static_cast<const QWidget*>(player->stopButton()),
                                   static_cast<const QWidget*>(player->positionSlider()),
                                   static_cast<const QWidget*>(player->timeLabel())})
        EXPECT_TRUE(bar.contains(control->geometry())) << control->metaObject()->className();
}

TEST(TrackPropUI, Screen)
{
    // The player's and the file button's pictures come from the editor's image bundle.
    ASSERT_TRUE(QResource::registerResource(TOVRA_IMAGE_BUNDLE));
    fixtures::TempDir dir;
    Panel p;
    p.panel->setName("Lead guitar");
    p.panel->setFilePath(sineFile(dir, "lead.wav", 0.5, 2));
    p.panel->setFormat("WAV");
    p.panel->setSize(22050);
    p.panel->setChannels(2);
    p.panel->setBits(16);
    p.panel->setRate(44100);
    p.panel->setLength(0.5);
    p.panel->setFileSize();
    p.panel->setStereo(true);
    p.panel->setCheckNotMute(true);
    p.panel->setTrackVisible(true);
    p.host.resize(360, 380);
    p.panel->resize(360, 380);
    grabScreen(p.host, "TrackPropUI");
    QResource::unregisterResource(TOVRA_IMAGE_BUNDLE);
}

TEST(TrackPropUI, LongFormatNameWrapsInsideTheBox)
{
    Panel p;
    p.host.resize(360, 380);
    p.panel->resize(360, 380);
    p.host.show();
    p.panel->setFormat("Microsoft WAVE with extensible header, 32 bit floating point samples");
    QApplication::processEvents();
    auto* area = p.panel->findChild<QScrollArea*>("scrollArea");
    ASSERT_NE(area, nullptr);
    EXPECT_FALSE(area->horizontalScrollBar()->isVisible());
    auto* format = p.panel->findChild<QLabel*>("formatLbl");
    // The whole label lies within the visible part of the box.
    const QRect shown(format->mapTo(area->viewport(), QPoint(0, 0)), format->size());
    EXPECT_LE(shown.right(), area->viewport()->width());
}
