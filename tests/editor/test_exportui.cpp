// The export page: the offered rates, the format list of each tab with its codes, the path
// completed to the chosen format, and the checks made before the main window exports.
#include "ExportFixture.h"

#include <QTabBar>
#include "WdgAudioFormat.h"

#include <QFile>
#include <QRadioButton>
#include <QSignalSpy>

namespace {
QStringList comboTexts(const QComboBox* combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}
} // namespace

TEST_F(ExportTest, RatesMergeTheTrackRatesWithTheStandardOnes)
{
    openProject(false);
    const struct {
        QList<double> given;
        QStringList shown;
        QString selected;
    } cases[] = {
        {{32000, 44100},
         {"11025.0 Hz", "16000.0 Hz", "22050.0 Hz", "32000.0 Hz", "44100.0 Hz", "48000.0 Hz", "96000.0 Hz"},
         "44100.0 Hz"},
        {{22050}, {"11025.0 Hz", "16000.0 Hz", "22050.0 Hz", "44100.0 Hz", "48000.0 Hz", "96000.0 Hz"}, "22050.0 Hz"},
        // One rate per track, in project order: sorted and shown once, the last track's selected.
        {{44100, 8000, 44100, 22050},
         {"8000.0 Hz", "11025.0 Hz", "16000.0 Hz", "22050.0 Hz", "44100.0 Hz", "48000.0 Hz", "96000.0 Hz"},
         "22050.0 Hz"},
        {{}, {"11025.0 Hz", "16000.0 Hz", "22050.0 Hz", "44100.0 Hz", "48000.0 Hz", "96000.0 Hz"}, "44100.0 Hz"},
    };
    for (const auto& c : cases) {
        page->setAvailableRates(c.given);
        EXPECT_EQ(comboTexts(page->form().comboBox1_2), c.shown);
        EXPECT_EQ(page->form().comboBox1_2->currentText(), c.selected);
        EXPECT_EQ(QString::number(page->getRate(), 'f', 1) + " Hz", c.selected);
    }
}

TEST_F(ExportTest, EachTabOffersItsFormatsAndTheModeFollowsTheProject)
{
    openProject(false);
    const Ui_ExportUIClass& ui = page->form();
    // Without a stored mix the author chooses the default mix of the file.
    EXPECT_TRUE(page->exportTovra());
    EXPECT_EQ(page->getExportMode(), ExportUI::ModeNoMix);
    EXPECT_FALSE(ui.radioButton1_2->isHidden());
    EXPECT_TRUE(page->getRandomMix());
    EXPECT_TRUE(ui.mixComboBox->isHidden());
    EXPECT_EQ(comboTexts(ui.comboBox2_2), QStringList{"Compressed"});
    EXPECT_EQ(page->getFormat(), 0x5100FF); // Vorbis at the lowest quality
    window->show();
    grabToScreens(window->getExportPage(), "ExportUI_tovra");

    ui.tabWidget->setCurrentIndex(1);
    EXPECT_FALSE(page->exportTovra());
    EXPECT_FALSE(ui.mixComboBox->isHidden());
    EXPECT_EQ(comboTexts(ui.comboBox2_2), QStringList({"OGG VORBIS", "MP3", "WAVE", "AIFF", "AU", "CAF"}));
    // The shown option widget is that of the chosen format, and only that one.
    chooseFormat("MP3");
    int shown = 0;
    for (WdgAudioFormat* format : page->currentFormats())
        shown += format->isHidden() ? 0 : 1;
    EXPECT_EQ(shown, 1);
    auto* bitRate = page->currentFormats().at(1)->findChild<QComboBox*>("comboBox");
    ASSERT_TRUE(bitRate);
    bitRate->setCurrentIndex(bitRate->findText("192 kbps"));
    EXPECT_EQ(page->getFormat(), 0x5200C0);
    grabToScreens(window->getExportPage(), "ExportUI_tovix");

    // With stored mixes the project's own mixes travel in the file: no policy to choose.
    ASSERT_TRUE(doc->addTrackInCurMix("a"));
    ASSERT_TRUE(doc->saveCurrentMix("M"));
    showExportPage();
    EXPECT_EQ(page->getExportMode(), ExportUI::ModeMixes);
    EXPECT_EQ(comboTexts(ui.mixComboBox), QStringList{"M"});
    EXPECT_TRUE(ui.radioButton1_2->isHidden());
    EXPECT_EQ(ui.tabWidget->currentIndex(), 0);
}

TEST_F(ExportTest, ThePathTakesTheExtensionOfTheChosenFormat)
{
    openProject(true);
    ExportPrompts prompts;
    const struct {
        int tab;
        const char* format;
        QString chosen;
        QString shown;
    } chooser[] = {
        {0, "Compressed", "/m/x.mp3", "/m/x.mp3.tovra"},
        {0, "Compressed", "/m/x.TOVRA", "/m/x.TOVRA.tovra"},
        {0, "Compressed", "/m/x.tovra", "/m/x.tovra"},
        {1, "WAVE", "/m/x", "/m/x.wav"},
        {1, "WAVE", "/m/x.wave", "/m/x.wave"},
        {1, "WAVE", "/m/x.wav", "/m/x.wav"},
        {1, "MP3", "/m/x.ogg", "/m/x.ogg.mp3"},
    };
    for (const auto& c : chooser) {
        page->form().tabWidget->setCurrentIndex(c.tab);
        chooseFormat(c.format);
        prompts.savePath = c.chosen;
        QTest::mouseClick(page->form().toolButton_2, Qt::LeftButton);
        EXPECT_EQ(page->getPath(), c.shown);
        EXPECT_EQ(prompts.asked.last().filter, c.tab == 0 ? " (*.tovra *.tvr)" : c.format == QString("WAVE")
                                                                                   ? "( *.wav *.wave)"
                                                                                   : "( *.mp3)");
    }
    EXPECT_EQ(window->getParams()->getLastExportDirectory(), "/m");
    // The chosen path reads on the dark field: light text on a dark background.
    const QPalette field = page->form().lineEdit_2->palette();
    EXPECT_LT(field.color(QPalette::Base).lightness(), 100);
    EXPECT_GT(field.color(QPalette::Text).lightness() - field.color(QPalette::Base).lightness(), 120);
    // A format or tab change renames the file that will be written.
    page->form().tabWidget->setCurrentIndex(1);
    chooseFormat("WAVE");
    setPath("/m/x.wav");
    chooseFormat("OGG VORBIS");
    EXPECT_EQ(page->getPath(), "/m/x.ogg");
    chooseFormat("WAVE");
    EXPECT_EQ(page->getPath(), "/m/x.wav");
    page->form().tabWidget->setCurrentIndex(0);
    EXPECT_EQ(page->getPath(), "/m/x.tovra");
    // A cancelled chooser changes nothing.
    prompts.savePath.clear();
    QTest::mouseClick(page->form().toolButton_2, Qt::LeftButton);
    EXPECT_EQ(page->getPath(), "/m/x.tovra");
}

// Each tab keeps its own file: choosing the mix's file does not rename the distributable one.
TEST_F(ExportTest, EachTabKeepsItsOwnFile)
{
    openProject(true);
    page->show();
    ExportPrompts prompts;
    QTabBar* tabs = page->form().tabWidget->tabBar();
    auto clickTab = [&](int tab) { QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab).center()); };
    clickTab(0);
    prompts.savePath = "/m/song.tovra";
    QTest::mouseClick(page->form().toolButton_2, Qt::LeftButton);
    clickTab(1);
    ASSERT_EQ(page->form().tabWidget->currentIndex(), 1);
    chooseFormat("WAVE");
    EXPECT_EQ(page->getPath(), "/m/song.wav"); // a tab without a file starts from the other's
    prompts.savePath = "/m/evening mix.wav";
    QTest::mouseClick(page->form().toolButton_2, Qt::LeftButton);
    clickTab(0);
    EXPECT_EQ(page->getPath(), "/m/song.tovra");
    clickTab(1);
    // The tab's format list starts over at its first format, which names the kept file.
    EXPECT_EQ(page->getPath(), "/m/evening mix.ogg");
}

TEST_F(ExportTest, ExportIsRefusedWithAReasonBeforeAnyFileIsWritten)
{
    ExportPrompts prompts;
    ASSERT_TRUE(window->newProject(false));
    doc = window->getTovraFile();
    // Tracks still in the import group are not in the structure.
    ASSERT_EQ(doc->addTrack("a", sine("a.wav", 0.2), nullptr), "a");
    showExportPage();
    QSignalSpy exported(page, &ExportUI::exported);
    setPath(file("out.tovra"));
    clickExport();
    ASSERT_EQ(prompts.asked.size(), 1);
    EXPECT_EQ(prompts.asked[0].kind, KPrompt::Information);
    EXPECT_EQ(prompts.asked[0].text, "No audio file available in the tracks library (structure tab)!");

    ASSERT_TRUE(doc->createGroup("G", {"a"}, 0, -1));
    for (const QString& empty : {QString(), ExportUI::DefaultFileName()}) {
        setPath(empty);
        clickExport();
        EXPECT_EQ(prompts.asked.last().kind, KPrompt::Warning);
        EXPECT_EQ(prompts.asked.last().text, "Please, choose a target file!");
        EXPECT_EQ(page->form().lineEdit_2->palette().color(QPalette::Base), QColor(Qt::red));
        EXPECT_EQ(page->form().lineEdit_2->palette().color(QPalette::Text), QColor(Qt::white));
    }
    EXPECT_EQ(exported.count(), 0);

    // An existing target is replaced only when the user agrees.
    QFile old(file("old.tovra"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("kept");
    old.close();
    setPath(file("old.tovra"));
    prompts.questionButton = QMessageBox::No;
    clickExport();
    EXPECT_EQ(prompts.asked.last().kind, KPrompt::Question);
    EXPECT_EQ(exported.count(), 0);

    // A mix written over one of the project's own audio files is refused.
    prompts.questionButton = QMessageBox::Yes;
    const int before = prompts.asked.size();
    setPath(doc->getTrackPath("a"));
    const QByteArray source = [&] {
        QFile f(doc->getTrackPath("a"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    clickExport();
    EXPECT_EQ(exported.count(), 1);
    ASSERT_EQ(prompts.asked.size(), before + 2);
    EXPECT_EQ(prompts.asked.last().kind, KPrompt::Critical);
    QFile after(doc->getTrackPath("a"));
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), source);
}
