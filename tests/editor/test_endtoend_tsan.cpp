// The editor through a whole session: four audio files of four formats imported on the worker,
// grouped in the group dialog, ruled in the constraint dialog, mixed, played from the mini player,
// saved, reopened from the saved file, exported as the distributable file and its default mix
// rendered to WAV and MP3, both read back and compared.
#include "AuthorPrompts.h"
#include "DlgCreateConstt.h"
#include "DlgNewGroupUI.h"
#include "ExportFixture.h"
#include "KAudioFilePlayer.h"
#include "KButton.h"
#include "KDragMenuLV.h"
#include "MiniPlayerUI.h"
#include "PreMixView.h"
#include "SonaricParams.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QSpinBox>

#include <cmath>

namespace {

// A mono sine of 1 s at 44100 Hz in the given format; empty when libsndfile cannot write it.
QString sineFile(const fixtures::TempDir& dir, const char* name, int format, double amplitude)
{
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 1;
    info.format = format;
    if (!sf_format_check(&info))
        return QString();
    return QString::fromStdString(
        fixtures::writeAudio(dir.file(name), format, 44100, 1, fixtures::sine(44100, 44100, 440, amplitude)));
}

// The RMS of the first channel over the middle of the file, in dB.
double middleLevel(const QString& path)
{
    SF_INFO info{};
    const std::vector<float> samples = fixtures::readAudio(path.toStdString(), &info);
    if (info.frames < 4 || info.channels < 1)
        return -200.0;
    const size_t frames = size_t(info.frames);
    return 20.0 * std::log10(fixtures::rms(samples, info.channels, 0, frames / 4, frames / 2) + 1e-12);
}

class EndToEnd : public ExportTest
{
protected:
    // The group dialog opened by a drop on the tree's root, filled and confirmed.
    void makeGroup(const QString& name, const QStringList& members)
    {
        author.drive = [name](QDialog* shown) {
            const Ui_Dialog& form = static_cast<DlgNewGroupUI*>(shown)->form();
            form.nameLineEdit->setText(name);
            QTest::mouseClick(form.okButton, Qt::LeftButton);
            return shown->result();
        };
        window->dropOnRootTV(members);
        author.drive = nullptr;
    }
    // The constraint dialog opened by its command, filled and confirmed.
    void makeRule(int action, const QString& first, const QString& second)
    {
        actions->getAction(action)->trigger();
        auto* dialog = window->findChild<DlgCreateConstt*>();
        ASSERT_NE(dialog, nullptr);
        dialog->comboBox1->setCurrentText(first);
        dialog->comboBox2->setCurrentText(second);
        QTest::mouseClick(dialog->okButton, Qt::LeftButton);
        delete dialog;
    }
    // Plays what is switched on from a mini player on the open project, then stops. The
    // mixing-rules page's own player acts only while a rule is open in its console.
    void playAndStop()
    {
        MiniPlayerUI player(window->getTovraFile(), window);
        player.show();
        MiniPlayerUI* bar = &player;
        QTest::mouseClick(bar->playButton(), Qt::LeftButton);
        ASSERT_EQ(bar->getKAFPlayer()->getState(), KAudioFilePlayer::Playing);
        QTRY_VERIFY_WITH_TIMEOUT(bar->timeText() != "0:00:00.000" && !bar->timeText().contains('%'), 20000);
        QTest::mouseClick(bar->stopButton(), Qt::LeftButton);
        EXPECT_EQ(bar->getKAFPlayer()->getState(), KAudioFilePlayer::Stopped);
    }
    // The default mix rendered from the export page's mix tab to the named format.
    void renderDefaultMix(const QString& format, const QString& path)
    {
        ExportPrompts prompts;
        showExportPage();
        page->form().tabWidget->setCurrentIndex(1);
        EXPECT_EQ(page->getSelectedMix(), doc->getDefaultMixName());
        chooseFormat(format);
        chooseRate(44100.0);
        setPath(path);
        clickExport();
        EXPECT_EQ(prompts.progressText, "Tovix export \"" + doc->getDefaultMixName() + "\" successful");
    }

    Author author;
};

TEST_F(EndToEnd, ImportGroupRuleMixPlaySaveReopenExportAndRender)
{
    const QStringList files = {
        sineFile(dir, "kick.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.5),
        sineFile(dir, "bass.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 0.5),
        sineFile(dir, "pads.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 0.5),
        sineFile(dir, "voice.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 0.5)};
    ASSERT_FALSE(files.contains(QString())) << "libsndfile lacks one of the four writers";
    window->getParams()->setLanguage("EN");
    ASSERT_TRUE(window->newProject(false));
    doc = window->getTovraFile();

    // Import on the worker under the progress dialog.
    window->importAudioPath(files);
    ASSERT_EQ(doc->getTrackNames(), QStringList({"kick", "bass", "pads", "voice"}));

    // Two groups from the group dialog, an exclusion and an implication from the constraint
    // dialog. The always-on rule has no command of its own yet: the document makes it.
    makeGroup("Beat", {"kick", "bass"});
    makeGroup("Top", {"pads", "voice"});
    EXPECT_EQ(doc->getSubElt("Beat"), QStringList({"bass", "kick"}));
    EXPECT_EQ(doc->getSubElt("Top"), QStringList({"pads", "voice"}));
    makeRule(22, "kick", "bass");
    makeRule(21, "voice", "pads");
    ASSERT_TRUE(doc->setEltNotMute("pads", true));
    EXPECT_TRUE(doc->isNotMute("pads"));

    // Levels, pan and the mastering curve go through the document, as the console does; two
    // mixes are stored and the second made the default.
    for (const QString name : {"kick", "pads"}) {
        doc->setEltStatus(name, true);
        ASSERT_TRUE(doc->addTrackInCurMix(name));
    }
    doc->setEltLevel("kick", -60);
    doc->setPan("pads", -0.5);
    ASSERT_TRUE(doc->saveCurrentMix("Plain"));
    ASSERT_TRUE(doc->setMixMastering("Plain", {{100, -3.0}, {4000, 2.0}}));
    ASSERT_TRUE(doc->saveCurrentMix("Night"));
    ASSERT_TRUE(doc->setMixAsDefault("Night"));
    playAndStop();
    doc->resetEltsStatus();
    // Saved under a new name, window closed, the editor started again on the saved file.
    author.savePath = file("session.tvprj");
    ASSERT_TRUE(window->saveProject(false));
    EXPECT_TRUE(window->projectIsSaved());
    const QString saved = projectText(*doc);
    ZazuzoziZadiviDU::deleteInstance();
    window = ZazuzoziZadiviDU::getInstance();
    actions = window->getActionManager();
    ASSERT_TRUE(window->openTovraProject(author.savePath));
    window->show();
    doc = window->getTovraFile();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(projectText(*doc), saved);
    EXPECT_EQ(window->getLibraryView()->getEltCount(), 4);
    EXPECT_EQ(doc->getMixNames(), QStringList({"Night", "Plain"}));
    EXPECT_EQ(doc->getDefaultMixName(), "Night");
    EXPECT_EQ(doc->getMixMastering("Plain").keys(), QList<int>({100, 4000}));

    // The distributable file from the export page, read back through the engine.
    {
        ExportPrompts prompts;
        showExportPage();
        page->form().comboBox2_2->setCurrentIndex(0);
        chooseRate(44100.0);
        page->form().radioButton2_2->setChecked(true);
        setPath(file("song.tovra"));
        clickExport();
        EXPECT_EQ(prompts.progressText, "Export successful");
    }
    KObjFile written;
    ASSERT_TRUE(written.loadTovraFile(file("song.tovra")));
    EXPECT_EQ(written.getTrackNames().size(), 4);

    // The default mix rendered to WAV and MP3: the same level within a decibel, and the
    // attenuated kick with the pads under full scale.
    renderDefaultMix("WAVE", file("night.wav"));
    renderDefaultMix("MP3", file("night.mp3"));
    const double wav = middleLevel(file("night.wav"));
    const double mp3 = middleLevel(file("night.mp3"));
    EXPECT_GT(wav, -30.0);
    EXPECT_LT(wav, 0.0);
    EXPECT_NEAR(mp3, wav, 1.0);
}

} // namespace
