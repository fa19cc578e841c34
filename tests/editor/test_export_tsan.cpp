// Exports run from the editor's export page on a worker under the progress dialog: the
// distributable file, compressed and uncompressed, read back through the engine; one stored mix
// rendered to each audio format; a cancel or a failed write that leaves the old file and the
// open project as they were.
#include "ExportFixture.h"
#include "ExportThread.h"
#include "KObjProgress.h"
#include "KTypes.h"
#include "ProjectPropUI.h"

#include <QDir>
#include <QFile>
#include <QTranslator>

namespace {
struct SoundInfo {
    int major = 0;
    int rate = 0;
    int channels = 0;
    sf_count_t frames = 0;
};

SoundInfo soundInfo(const QString& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.toUtf8().constData(), SFM_READ, &info);
    if (!file)
        return {};
    sf_close(file);
    return {info.format & SF_FORMAT_TYPEMASK, info.samplerate, info.channels, info.frames};
}

QStringList folderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}
} // namespace

TEST_F(ExportTest, TheDistributableFileIsWrittenAndReadsBackThroughTheEngine)
{
    openProject(false);
    page->addCompressionOptions();
    showExportPage();
    ExportPrompts prompts;
    const struct {
        int format; // Vorbis, then the uncompressed option added above
        const char* name;
        double rate;
        bool randomMix;
    } cases[] = {{0, "song.tovra", 22050.0, true}, {1, "raw.tovra", 44100.0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        page->form().comboBox2_2->setCurrentIndex(c.format);
        chooseRate(c.rate);
        (c.randomMix ? page->form().radioButton1_2 : page->form().radioButton2_2)->setChecked(true);
        setPath(file(c.name));
        prompts.screenName = QString("DlgProgBar_export_") + c.name;
        clickExport();
        EXPECT_EQ(prompts.progressTitle, "Export to Tovra");
        EXPECT_EQ(prompts.progressText, "Export successful");
        KObjFile written;
        ASSERT_TRUE(written.loadTovraFile(file(c.name)));
        EXPECT_EQ(written.getTrackNames(), tracks);
        for (const QString& track : tracks)
            EXPECT_EQ(written.getTrackRate(track), c.rate);
        // The project had no mix: the chosen default mix travels in the file.
        EXPECT_EQ(written.getMixNames().size(), 1);
    }
    EXPECT_NE(QFile(file("song.tovra")).size(), QFile(file("raw.tovra")).size());
}

TEST_F(ExportTest, OneMixIsRenderedToEachAudioFormat)
{
    openProject(true, 1.0);
    page->form().tabWidget->setCurrentIndex(1);
    EXPECT_EQ(page->getSelectedMix(), "M");
    ExportPrompts prompts;
    const struct {
        const char* format;
        const char* name;
        int major;
        double rate;
    } cases[] = {{"WAVE", "mix.wav", SF_FORMAT_WAV, 44100.0},
                 {"OGG VORBIS", "mix.ogg", SF_FORMAT_OGG, 48000.0},
                 {"MP3", "mix.mp3", SF_FORMAT_MPEG, 44100.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        chooseFormat(c.format);
        chooseRate(c.rate);
        setPath(file(c.name));
        prompts.screenName = QString("DlgProgBar_mix_") + c.format;
        clickExport();
        EXPECT_EQ(prompts.progressTitle, "Export your Tovix");
        EXPECT_EQ(prompts.progressText, "Tovix export \"M\" successful");
        const SoundInfo info = soundInfo(file(c.name));
        EXPECT_EQ(info.major, c.major);
        EXPECT_EQ(info.rate, int(c.rate));
        EXPECT_EQ(info.channels, 2);
        EXPECT_NEAR(double(info.frames), c.rate, 2048.0 + c.rate * 0.01);
    }
    prompts.screenName.clear();
    // FLAC is not on the page; the same worker writes it from the same format record.
    KStreamFormat* flac = KStreamFormat_new();
    flac->code = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    flac->channels = 0;
    flac->rate = 16000.0;
    flac->bits = KAudioFmt_getNumberBits(flac->code);
    KObjProgress progress;
    {
        ExportTovixThread thread("M", file("mix.flac"), flac, &progress, doc, window);
        EXPECT_EQ(DlgProgBar::open(false, &thread, "flac", "ok", "bad", window), DlgProgBar::Success);
    }
    KStreamFormat_delete(&flac);
    const SoundInfo info = soundInfo(file("mix.flac"));
    EXPECT_EQ(info.major, SF_FORMAT_FLAC);
    EXPECT_EQ(info.rate, 16000);
    EXPECT_NEAR(double(info.frames), 16000.0, 2048.0 + 160.0);
}

TEST_F(ExportTest, ACancelledOrFailedExportKeepsTheOldFileAndTheProject)
{
    openProject(true, 2.0);
    ExportPrompts prompts;
    // Every export stores the Export page's song metadata first; nothing else may change.
    ASSERT_TRUE(window->getProjectProp()->saveMediaSong(doc));
    const QString before = projectText(*doc);
    const QByteArray old = "the previous export\n";
    for (int tab : {0, 1}) {
        SCOPED_TRACE(tab);
        page->form().tabWidget->setCurrentIndex(tab);
        const QString target = file(tab == 0 ? "kept.tovra" : "kept.wave");
        {
            QFile previous(target);
            ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
            previous.write(old);
        }
        const QStringList entries = folderEntries(QString::fromStdString(dir.file("")));
        setPath(target);
        prompts.cancel = true;
        prompts.holdWorker(); // the cancel comes before the worker has written anything
        clickExport();
        QFile kept(target);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), old);
        EXPECT_EQ(folderEntries(QString::fromStdString(dir.file(""))), entries);
        EXPECT_EQ(projectText(*doc), before);

        // A target that cannot be replaced (a folder of that name) is reported as a failure.
        const QString blocked = file(tab == 0 ? "folder.tovra" : "folder.wave");
        ASSERT_TRUE(QDir().mkpath(blocked + "/inside"));
        setPath(blocked);
        prompts.cancel = false;
        clickExport();
        EXPECT_EQ(prompts.progressText, tab == 0 ? QString("Export to Tovra failed!")
                                                 : QString("Tovix export \"M\" has failed"));
        EXPECT_TRUE(QFileInfo::exists(blocked + "/inside"));
        EXPECT_EQ(projectText(*doc), before);
    }
}

TEST_F(ExportTest, TheContainerCarriesTheMetadataTypedOnThePageAndARefusedEntryStopsIt)
{
    openProject(false);
    ProjectPropUI* panel = window->getProjectProp();
    window->show();
    // Typed on the Export page, never saved.
    QTest::keyClicks(panel->findChild<QLineEdit*>("titleLineEdit"), "Night drive");
    QTest::keyClicks(panel->findChild<QLineEdit*>("authorLineEdit"), "Ana");
    QTest::keyClicks(panel->findChild<QLineEdit*>("iTunesLink"), "https://music.example/night");
    panel->setUserValue("Label", "Indie");
    ExportPrompts prompts;
    setPath(file("song.tovra"));
    clickExport();
    ASSERT_EQ(prompts.progressText, "Export successful");
    KObjFile written;
    ASSERT_TRUE(written.loadTovraFile(file("song.tovra")));
    EXPECT_EQ(written.getTitle(), "Night drive");
    EXPECT_EQ(written.getAuthor(), "Ana");
    EXPECT_EQ(written.getMediaInfo("iTUNES_LINK"), "https://music.example/night");
    EXPECT_EQ(written.getMediaInfo("Label"), "Indie");

    // A property without value: nothing is exported and the author is told.
    panel->setUserValue("Empty", "");
    prompts.asked.clear();
    prompts.progressText.clear();
    setPath(file("refused.tovra"));
    clickExport();
    EXPECT_FALSE(QFile::exists(file("refused.tovra")));
    EXPECT_TRUE(prompts.progressText.isEmpty());
    ASSERT_EQ(prompts.asked.size(), 1);
    EXPECT_EQ(prompts.asked[0].kind, KPrompt::Critical);
    EXPECT_TRUE(prompts.asked[0].text.startsWith("Export to Tovra failed!")) << prompts.asked[0].text.toStdString();
}

// Metadata typed on the Export page are stored into the project by the export: a saved project
// becomes modified (the window's title says so and the author will be asked to save), while an
// export that stores nothing new leaves it saved.
TEST_F(ExportTest, StoringTypedMetadataDuringExportMarksTheProjectModified)
{
    openProject(false);
    ProjectPropUI* panel = window->getProjectProp();
    window->show();
    ASSERT_TRUE(window->saveTovraProject(file("song.tvprj")));
    ASSERT_TRUE(window->projectIsSaved());
    ExportPrompts prompts;
    const auto exportTo = [&](const char* name) {
        prompts.progressText.clear();
        setPath(file(name));
        QTest::mouseClick(page->form().okButton_2, Qt::LeftButton);
        EXPECT_EQ(prompts.progressText, "Export successful") << name;
    };

    exportTo("unchanged.tovra");
    EXPECT_TRUE(window->projectIsSaved());
    EXPECT_FALSE(window->windowTitle().contains('*')) << window->windowTitle().toStdString();

    QTest::keyClicks(panel->findChild<QLineEdit*>("titleLineEdit"), "Night drive");
    exportTo("typed.tovra");
    EXPECT_EQ(doc->getTitle(), "Night drive");
    EXPECT_FALSE(window->projectIsSaved());
    EXPECT_TRUE(window->windowTitle().contains('*')) << window->windowTitle().toStdString();

    // Saved again, the same page exported once more changes nothing.
    ASSERT_TRUE(window->saveTovraProject(file("song.tvprj")));
    exportTo("again.tovra");
    EXPECT_TRUE(window->projectIsSaved());
}

// A failed export or render says which file stopped it and why: a track's missing audio file,
// or a target that cannot be written.
TEST_F(ExportTest, AFailedExportOrRenderNamesTheFileAndTheCause)
{
    openProject(true);
    // The causes come from the document library's catalogue, in English as the program shows.
    QTranslator documentTr;
    ASSERT_TRUE(documentTr.load(":/TovraTr/document_en.qm"));
    QCoreApplication::installTranslator(&documentTr);
    ExportPrompts prompts;
    const QString blocked = file("taken.wav");
    ASSERT_TRUE(QDir().mkpath(blocked + "/inside"));
    const QString missing = doc->getTrackPath("b");
    for (int tab : {0, 1}) {
        SCOPED_TRACE(tab);
        page->form().tabWidget->setCurrentIndex(tab);
        setPath(tab == 0 ? blocked.chopped(4) + ".tovra" : blocked);
        if (tab == 0) {
            ASSERT_TRUE(QDir().mkpath(blocked.chopped(4) + ".tovra"));
        }
        clickExport();
        EXPECT_TRUE(prompts.progressCause.contains(tab == 0 ? blocked.chopped(4) + ".tovra" : blocked))
            << prompts.progressCause.toStdString();
        EXPECT_TRUE(prompts.progressCause.contains("a folder has that name"))
            << prompts.progressCause.toStdString() << "|" << prompts.progressText.toStdString();

        ASSERT_TRUE(QFile::rename(missing, missing + ".away"));
        setPath(file(tab == 0 ? "out.tovra" : "out.wav"));
        clickExport();
        EXPECT_FALSE(QFileInfo::exists(file(tab == 0 ? "out.tovra" : "out.wav")));
        EXPECT_TRUE(prompts.progressCause.contains(missing)) << prompts.progressCause.toStdString();
        EXPECT_TRUE(prompts.progressCause.contains("\"b\""));
        EXPECT_TRUE(prompts.progressCause.contains("No such file or directory"))
            << prompts.progressCause.toStdString();
        ASSERT_TRUE(QFile::rename(missing + ".away", missing));
    }
    QCoreApplication::removeTranslator(&documentTr);
}
