#include "EltPropUI.h"
#include "KCheckBoxDlg.h"
#include "KCtrlFile.h"
#include "KNotMuteLevelUI.h"
#include "MainWindowFixture.h"
#include "ProjectFixture.h"
#include "SonaricParams.h"
#include "TrackPropUI.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {
class EltPropTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        window->createFileObj();
        document = window->getTovraFile();
        ASSERT_TRUE(buildProject(*document, dir));
        document->addTrack("loose", sineTrack(dir, "loose.wav"), nullptr);
        panel = std::make_unique<EltPropUI>(document, window);
        page = panel->getTrackPage();
        params()->setNotMuteLevelMode(SonaricEnums::NotMuteAsk);
        params()->setNotMuteMinLevel(-120);
    }
    void TearDown() override
    {
        panel.reset();
        KPrompt::setHandler({});
        MainWindowTest::TearDown();
    }
    SonaricParams* params() const { return window->getParams(); }
    QString label(const char* name) const { return page->findChild<QLabel*>(name)->text(); }
    QCheckBox* box(const char* name) const { return page->findChild<QCheckBox*>(name); }
    // Answers the always-on question: nothing (reject), or the level panel's minimum in dB.
    int answerLevelQuestion(bool accept, double db, bool remember)
    {
        asked = 0;
        KPrompt::setHandler([=](const KPrompt::Request& request) {
            KPrompt::Answer answer;
            answer.button = (request.buttons & QMessageBox::Ignore) ? QMessageBox::Ignore : QMessageBox::Ok;
            if (request.kind != KPrompt::Dialog)
                return answer;
            ++asked;
            auto* dialog = static_cast<KCheckBoxDlg*>(request.dialog);
            auto* levels = dialog->findChild<KNotMuteLevelUI*>();
            levels->findChild<QRadioButton*>("radioButton3")->click();
            auto* spin = levels->findChild<QSpinBox*>("spinBox1");
            spin->selectAll();
            QTest::keyClicks(spin, QString::number(db));
            QTest::keyClick(spin, Qt::Key_Tab);
            dialog->setChecked(remember);
            answer.button = accept ? 1 : 0;
            return answer;
        });
        return 0;
    }

    fixtures::TempDir dir;
    KCtrlFile* document = nullptr;
    std::unique_ptr<EltPropUI> panel;
    TrackPropUI* page = nullptr;
    int asked = 0;
};
} // namespace

TEST_F(EltPropTest, ShowsTheTrackAsTheDocumentHasIt)
{
    panel->setElement({"bass"});
    EXPECT_EQ(page->getName(), "bass");
    EXPECT_EQ(page->getFilePath(), document->getTrackPath("bass"));
    EXPECT_EQ(label("channelsLbl"), "1 (Mono)");
    EXPECT_EQ(label("bitsLbl"), "16 bit");
    EXPECT_EQ(label("rateLbl"), "44100 Hz");
    EXPECT_EQ(label("sizeLbl"), "4410");
    EXPECT_EQ(label("fileSizeLbl"), TrackPropUI::fileSizeText(QFileInfo(document->getTrackPath("bass")).size()));
    EXPECT_TRUE(box("checkBox_visible")->isEnabled());

    // A track still waiting in the import group cannot take rules or be hidden.
    panel->setElement({"loose"});
    EXPECT_EQ(page->getName(), "loose");
    EXPECT_FALSE(box("checkBox_visible")->isEnabled());
    EXPECT_FALSE(box("checkBox_notmute")->isEnabled());

    // Two names, a group or an unknown name leave the page as it is.
    for (const QStringList& names : {QStringList{"bass", "drums"}, QStringList{"Rhythm"}, QStringList{"nope"}}) {
        panel->setElement(names);
        EXPECT_EQ(page->getName(), "loose");
    }
}

TEST_F(EltPropTest, EditsReachTheDocumentAndTheDocumentReachesThePage)
{
    panel->setElement({"bass"});
    auto* name = page->findChild<QLineEdit*>("nameLE");
    name->setText("low");
    emit name->editingFinished();
    EXPECT_TRUE(document->isTrack("low"));
    EXPECT_EQ(page->getName(), "low");

    // A refused rename (the name is taken) keeps the track and the page on the old name, and
    // the next edit addresses the right track.
    name->setText("drums");
    emit name->editingFinished();
    EXPECT_EQ(page->getName(), "low");
    box("checkBox_visible")->click();
    EXPECT_FALSE(document->isVisibleToExport("low"));
    EXPECT_TRUE(document->isVisibleToExport("drums"));

    // Renamed elsewhere: the page follows.
    ASSERT_TRUE(document->renameElt("low", "sub"));
    EXPECT_EQ(page->getName(), "sub");
}

TEST_F(EltPropTest, AlwaysOnWithAStoredMinimumLevel)
{
    params()->setNotMuteLevelMode(SonaricEnums::NotMuteMinLevel);
    answerLevelQuestion(true, 0, false);
    panel->setElement({"bass"});
    document->setEltMinLevel("bass", -240);
    const struct {
        int changedMinimum; // 0: left alone
        int afterOff;
    } cases[] = {{0, -240}, {-100, -100}};
    for (const auto& c : cases) {
        page->setCheckNotMute(false);
        box("checkBox_notmute")->click();
        EXPECT_TRUE(document->isNotMute("bass"));
        EXPECT_EQ(document->getMinEltLevel("bass"), -120);
        if (c.changedMinimum)
            document->setEltMinLevel("bass", c.changedMinimum);
        box("checkBox_notmute")->click();
        EXPECT_FALSE(document->isNotMute("bass"));
        EXPECT_EQ(document->getMinEltLevel("bass"), c.afterOff);
        document->setEltMinLevel("bass", -240);
    }
    EXPECT_EQ(asked, 0);
}

TEST_F(EltPropTest, AlwaysOnAsksAndRemembersTheAnswer)
{
    panel->setElement({"drums"});
    document->setEltMinLevel("drums", -240);
    // Declined: the track stays always on, its minimum untouched.
    answerLevelQuestion(false, -12.0, true);
    box("checkBox_notmute")->click();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(document->isNotMute("drums"));
    EXPECT_EQ(document->getMinEltLevel("drums"), -240);
    EXPECT_EQ(params()->getNotMuteLevelMode(), int(SonaricEnums::NotMuteAsk));

    // Accepted at -12 dB, remembered: mode 1 and level -60 stored, the minimum raised; the next
    // switch asks nothing.
    box("checkBox_notmute")->click();
    answerLevelQuestion(true, -12.0, true);
    box("checkBox_notmute")->click();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(params()->getNotMuteLevelMode(), int(SonaricEnums::NotMuteMinLevel));
    EXPECT_EQ(params()->getNotMuteMinLevel(), -60);
    EXPECT_EQ(document->getMinEltLevel("drums"), -60);
    box("checkBox_notmute")->click();
    box("checkBox_notmute")->click();
    EXPECT_EQ(asked, 1);
}

TEST_F(EltPropTest, NewAudioFileIsLinkedOrRefused)
{
    panel->setElement({"keys"});
    const QString before = document->getTrackPath("keys");
    const QString text = QString::fromStdString(dir.file("notes.txt"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not audio");
    file.close();
    const QString audio = sineTrack(dir, "other.wav");
    QList<KPrompt::Request> requests;
    for (const QString& chosen : {QString(), text, audio}) {
        KPrompt::setHandler([&](const KPrompt::Request& request) {
            requests << request;
            KPrompt::Answer answer;
            answer.button = QMessageBox::Ok;
            answer.text = chosen;
            answer.ok = !chosen.isEmpty();
            return answer;
        });
        page->findChild<QToolButton*>("fileButton")->click();
    }
    ASSERT_EQ(requests.size(), 4);
    EXPECT_EQ(requests[0].kind, KPrompt::OpenFileName);
    EXPECT_EQ(requests[0].text, before);
    EXPECT_EQ(requests[2].kind, KPrompt::Critical);
    EXPECT_TRUE(requests[2].text.contains('"' + text + '"'));
    EXPECT_TRUE(requests[2].text.contains("\"keys\""));
    EXPECT_EQ(document->getTrackPath("keys"), audio);
    EXPECT_EQ(page->getFilePath(), audio);
}

TEST_F(EltPropTest, MonoButtonConvertsTheTrackAndShowsTheNewFile)
{
    const QString stereo = stereoTrack(dir, "wide.wav");
    ASSERT_EQ(document->addTrack("wide", stereo, nullptr), "wide");
    params()->setImportStereoConvert(SonaricEnums::ConvertWithSuffix);
    params()->setImportStereoSuffix("_mono");
    panel->setElement({"wide"});
    EXPECT_EQ(label("channelsLbl"), "2 (Stereo)");
    page->findChild<QPushButton*>("monoConvertButt")->click();
    const QString mono = document->getTrackPath("wide");
    EXPECT_EQ(QFileInfo(mono).fileName(), "wide_mono.wav");
    EXPECT_TRUE(QFileInfo::exists(stereo));
    EXPECT_EQ(page->getFilePath(), mono);
    EXPECT_EQ(label("channelsLbl"), "1 (Mono)");
}

// Always on for bass silences drums (they exclude each other): aborting at the document's
// warning leaves the box as the document has the track, and asks nothing more.
TEST_F(EltPropTest, AbortingAlwaysOnUnticksTheBox)
{
    panel->setElement({"bass"});
    QList<KPrompt::Kind> kinds;
    KPrompt::setHandler([&](const KPrompt::Request& request) {
        kinds << request.kind;
        KPrompt::Answer answer;
        answer.button = request.kind == KPrompt::Warning ? QMessageBox::Abort : QMessageBox::Ok;
        return answer;
    });
    const QString before = projectText(*document);
    QTest::mouseClick(box("checkBox_notmute"), Qt::LeftButton);
    EXPECT_EQ(kinds, QList<KPrompt::Kind>({KPrompt::Warning}));
    EXPECT_FALSE(document->isNotMute("bass"));
    EXPECT_FALSE(box("checkBox_notmute")->isChecked());
    EXPECT_EQ(projectText(*document), before);
}

// Every imported type converts beside its source, into a file of the same type that the track
// then reads as mono.
TEST_F(EltPropTest, MonoButtonConvertsEveryImportedType)
{
    params()->setImportStereoConvert(SonaricEnums::ConvertWithSuffix);
    params()->setImportStereoSuffix("_mono");
    QStringList boxes;
    KPrompt::setHandler([&](const KPrompt::Request& request) {
        boxes << request.text;
        return KPrompt::Answer{};
    });
    const struct {
        const char* file;
        int sfFormat;
    } types[] = {
        {"wide.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
        {"wide.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24},
        {"wide.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
        {"wide.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
        {"wide.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III},
    };
    std::vector<float> both;
    for (float sample : fixtures::sine(44100, 44100, 440, 0.5))
        both.insert(both.end(), {sample, sample});
    for (const auto& type : types) {
        const QString stereo = QString::fromStdString(
            fixtures::writeAudio(dir.file(type.file), type.sfFormat, 44100, 2, both));
        const QString name = QFileInfo(stereo).suffix();
        ASSERT_EQ(document->addTrack(name, stereo, nullptr), name);
        panel->setElement({name});
        ASSERT_EQ(label("channelsLbl"), "2 (Stereo)") << type.file;
        QTest::mouseClick(page->findChild<QPushButton*>("monoConvertButt"), Qt::LeftButton);
        const QFileInfo mono(document->getTrackPath(name));
        EXPECT_EQ(mono.fileName(), "wide_mono." + name) << type.file;
        EXPECT_EQ(document->getTrackChannels(name), 1) << type.file;
        EXPECT_EQ(label("channelsLbl"), "1 (Mono)") << type.file;
    }
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(" | ").toStdString();
}

TEST_F(EltPropTest, AFailedConversionSaysWhyAndNamesTheFile)
{
    const QString stereo = stereoTrack(dir, "gone.wav");
    ASSERT_EQ(document->addTrack("gone", stereo, nullptr), "gone");
    params()->setImportStereoConvert(SonaricEnums::ConvertWithSuffix);
    params()->setImportStereoSuffix("_mono");
    panel->setElement({"gone"});
    ASSERT_TRUE(QFile::remove(stereo));
    QStringList boxes;
    KPrompt::setHandler([&](const KPrompt::Request& request) {
        boxes << request.text;
        return KPrompt::Answer{};
    });
    QTest::mouseClick(page->findChild<QPushButton*>("monoConvertButt"), Qt::LeftButton);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith("Error during conversion!\n")) << boxes[0].toStdString();
    EXPECT_TRUE(boxes[0].contains(stereo)) << boxes[0].toStdString();
    EXPECT_TRUE(boxes[0].contains("No such file or directory")) << boxes[0].toStdString();
    EXPECT_EQ(document->getTrackPath("gone"), stereo);
}

TEST_F(EltPropTest, PropertyCommandShowsTheDialog)
{
    QString title;
    KPrompt::setHandler([&](const KPrompt::Request& request) {
        KPrompt::Answer answer;
        if (request.kind == KPrompt::Dialog) {
            title = request.dialog->windowTitle();
            auto* shown = request.dialog->findChild<EltPropUI*>();
            EXPECT_NE(shown, nullptr);
            shown->setElement({"voice"});
            request.dialog->resize(380, 460);
            request.dialog->show();
            QApplication::processEvents();
            EXPECT_TRUE(grabToScreens(request.dialog, "EltPropUI"));
        }
        answer.button = QDialog::Accepted;
        return answer;
    });
    window->setPropWidget(0);
    EXPECT_FALSE(title.isEmpty());
}
