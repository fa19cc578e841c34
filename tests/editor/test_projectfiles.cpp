#include "MainWindowFixture.h"
#include "ProjectFixture.h"

#include "KCheckAudioDlg.h"
#include "KFile.h"
#include "XmlObject.h"

#include "AppServices.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QFile>
#include <QPushButton>
#include <QTest>


namespace {
// Answers the prompts in order from a script: a file name for a chooser, a button for a box, a
// button to click for a dialog of ours. Everything asked is kept.
class ScriptedPrompts
{
public:
    struct Step {
        QString file;                             // choosers
        int button = QMessageBox::Ok;             // boxes
        const char* click = nullptr;              // dialogs: the button pressed, or "escape"
    };
    explicit ScriptedPrompts(QList<Step> steps = {}) : script(std::move(steps))
    {
        previous = KPrompt::setHandler([this](const KPrompt::Request& request) {
            asked << request;
            const Step step = script.isEmpty() ? Step{} : script.takeFirst();
            KPrompt::Answer answer;
            answer.button = step.button;
            answer.text = step.file;
            answer.ok = !step.file.isEmpty();
            if (request.kind == KPrompt::Dialog && step.click) {
                if (auto* file = request.dialog->findChild<QLabel*>("labelIn1"))
                    shownFiles << file->text();
                grabToScreens(request.dialog, request.dialog->objectName());
                request.dialog->open();
                if (QString(step.click) == "escape")
                    QTest::keyClick(request.dialog, Qt::Key_Escape);
                else if (auto* button = request.dialog->findChild<QPushButton*>(step.click))
                    QTest::mouseClick(button, Qt::LeftButton);
                answer.button = request.dialog->result();
            }
            return answer;
        });
    }
    ~ScriptedPrompts() { KPrompt::setHandler(previous); }
    QStringList titles() const
    {
        QStringList shown;
        for (const KPrompt::Request& request : asked)
            shown << request.title;
        return shown;
    }
    QList<Step> script;
    QList<KPrompt::Request> asked;
    // The file each missing-audio dialog showed.
    QStringList shownFiles;

private:
    KPrompt::Handler previous;
};

class ProjectFilesTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        qRegisterMetaType<KCtrlFile*>("KCtrlFile*");
        rebinds = std::make_unique<QSignalSpy>(window, &ZazuzoziZadiviDU::newKOFile);
        KCtrlFile source;
        ASSERT_TRUE(buildProject(source, dir));
        expected = projectText(source);
        projectFile = QString::fromStdString(dir.file("band.tvprj"));
        ASSERT_TRUE(writeProjectFile(source, projectFile));
    }

    QString path(const char* name) const { return QString::fromStdString(dir.file(name)); }
    QString shownText() const { return window->getTovraFile() ? projectText(*window->getTovraFile()) : QString(); }
    // Views were last told of the document the window holds.
    bool viewsHoldTheDocument() const
    {
        return !rebinds->isEmpty() &&
               *static_cast<KCtrlFile* const*>(rebinds->last()[0].constData()) == window->getTovraFile();
    }

    fixtures::TempDir dir;
    QString projectFile;
    QString expected;
    std::unique_ptr<QSignalSpy> rebinds;
};
} // namespace

TEST_F(ProjectFilesTest, OpenSaveAsCloseAndReopenGiveTheSameProject)
{
    {
        ScriptedPrompts prompts({{projectFile}});
        actions->getAction(1)->trigger();
        EXPECT_EQ(prompts.titles(), QStringList{"Open a project"});
        EXPECT_EQ(prompts.asked[0].filter, "Tovra Sonaric projects (*.tvprj *.kpr)");
    }
    ASSERT_NE(window->getTovraFile(), nullptr);
    EXPECT_TRUE(viewsHoldTheDocument());
    EXPECT_EQ(shownText(), expected);
    EXPECT_EQ(window->windowTitle(), "band - Tovra Sonaric Free");
    EXPECT_TRUE(window->projectIsSaved());
    EXPECT_TRUE(actions->getAction(2)->isEnabled());
    EXPECT_EQ(window->getParams()->getRecentPathPrj(0), projectFile);
    EXPECT_EQ(window->getParams()->getLastPrjDirectory(), QString::fromStdString(dir.path().string()));

    // Save as, without extension: the extension is added and the old file stays as it was.
    const QByteArray before = fixtures::readBytes(projectFile.toStdString()).c_str();
    window->setUnsavedProject();
    {
        ScriptedPrompts prompts({{path("copy")}});
        actions->getAction(3)->trigger();
        EXPECT_EQ(prompts.titles(), QStringList{"Save a project"});
    }
    EXPECT_EQ(window->getProjectPath(), path("copy.tvprj"));
    EXPECT_TRUE(window->projectIsSaved());
    EXPECT_EQ(window->windowTitle(), "copy - Tovra Sonaric Free");
    EXPECT_EQ(QByteArray(fixtures::readBytes(projectFile.toStdString()).c_str()), before);
    // The file is the wrapper around exactly one engine description.
    KXml written(TovraOLib::readStreamFromFile(path("copy.tvprj")));
    ASSERT_FALSE(written.isNull());
    EXPECT_EQ(written.getHeader(), "SONARIC_PROJECT");
    ASSERT_EQ(written.getXmlObj()->count, 1);
    EXPECT_EQ(QString(written.getXmlObj()->children[0]->name), "TOVRA-2.0");

    // Close (saved: the question is still asked; No goes on), then reopen from the recent list.
    {
        ScriptedPrompts prompts({{QString(), QMessageBox::No}});
        actions->getAction(4)->trigger();
        // The question, then the start dialog.
        EXPECT_EQ(prompts.titles(), QStringList({"Close project", window->getParams()->getSoftName()}));
    }
    EXPECT_EQ(window->getTovraFile(), nullptr);
    EXPECT_TRUE(viewsHoldTheDocument());
    EXPECT_FALSE(actions->getAction(2)->isEnabled());
    {
        ScriptedPrompts prompts;
        EXPECT_TRUE(window->openProject(0));
        EXPECT_TRUE(prompts.asked.isEmpty());
    }
    EXPECT_EQ(shownText(), expected);
    EXPECT_EQ(window->getProjectPath(), path("copy.tvprj"));
}

TEST_F(ProjectFilesTest, UnsavedWorkQuestionDecidesWhetherToGoOn)
{
    const struct {
        const char* name;
        bool neverSaved;
        int command;
        QList<ScriptedPrompts::Step> script;
        QStringList titles;
        bool keepsProject;
    } rows[] = {
        {"new, cancel", false, 0, {{QString(), QMessageBox::Cancel}}, {"New Project"}, true},
        {"new, no", false, 0, {{QString(), QMessageBox::No}}, {"New Project"}, false},
        // Yes saves first; a cancelled save chooser stops the command.
        {"close, yes, save cancelled", true, 4, {{QString(), QMessageBox::Yes}, {}}, {"Close project", "Save a project"}, true},
        {"close, cancel", false, 4, {{QString(), QMessageBox::Cancel}}, {"Close project"}, true},
        // The file chooser is cancelled after No: the open project and its edits stay.
        {"open, no, chooser cancelled", false, 1, {{QString(), QMessageBox::No}, {}}, {"Open a project", "Open a project"}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.neverSaved) {
            ASSERT_TRUE(window->newProject(false));
        } else {
            ScriptedPrompts opening;
            ASSERT_TRUE(window->openTovraProject(projectFile));
        }
        window->setUnsavedProject();
        KCtrlFile* open = window->getTovraFile();
        const QString openPath = window->getProjectPath();
        {
            ScriptedPrompts prompts(row.script);
            actions->getAction(row.command)->trigger();
            EXPECT_EQ(prompts.titles(), row.titles);
            EXPECT_EQ(prompts.asked[0].text, "Do you want to save the current project before closing?");
            EXPECT_EQ(prompts.asked[0].defaultButton, QMessageBox::Yes);
        }
        EXPECT_EQ(window->getTovraFile() == open, row.keepsProject);
        if (row.keepsProject) {
            EXPECT_FALSE(window->projectIsSaved());
            EXPECT_EQ(window->getProjectPath(), openPath);
        } else {
            EXPECT_TRUE(window->projectIsSaved());
            EXPECT_TRUE(viewsHoldTheDocument());
            EXPECT_EQ(window->windowTitle(), "[Untitled] - Tovra Sonaric Free");
        }
        window->closeProject(false);
    }
}

TEST_F(ProjectFilesTest, MissingAudioIsRelocatedOrDropped)
{
    // drums.wav and keys.wav are gone; voice's FILE text is made empty, which counts as missing
    // and must not be mistaken for another track's file.
    {
        KXml description(TovraOLib::readStreamFromFile(projectFile));
        QList<XmlObjectStruct*> files;
        std::function<void(XmlObjectStruct*)> collect = [&](XmlObjectStruct* node) {
            if (QString(node->name) == "FILE")
                files << node;
            for (int i = 0; i < node->count; ++i)
                collect(node->children[i]);
        };
        collect(description.getXmlObj());
        ASSERT_EQ(files.size(), 4);
        for (XmlObjectStruct* node : files)
            if (QString(node->text) == path("voice.wav")) {
                AppServices::freeKString(node->text);
                node->text = nullptr;
            }
        ASSERT_TRUE(TovraOLib::writeStreamInFile(description.exportToStream(), projectFile));
    }
    ASSERT_TRUE(QFile::remove(path("drums.wav")));
    ASSERT_TRUE(QFile::remove(path("keys.wav")));
    QDir(QString::fromStdString(dir.path().string())).mkdir("moved");
    const QString moved = sineTrack(dir, "moved/drums2.wav");

    const ScriptedPrompts::Step relocate{QString(), 0, "relocateButt"};
    const ScriptedPrompts::Step drop{QString(), 0, "deleteButt"};
    const ScriptedPrompts::Step escape{QString(), 0, "escape"};
    const struct {
        const char* name;
        QList<ScriptedPrompts::Step> script;
        bool drumsMoved;
    } rows[] = {
        {"relocate drums, drop the others", {relocate, {moved}, drop, drop}, true},
        {"drop all", {drop, drop, drop}, false},
        // Escape after a relocation drops the next file; it does not hand it the last answer.
        {"relocate drums, escape on the others", {relocate, {moved}, escape, escape}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        window->getParams()->setLastImportDirectory("/nowhere");
        ScriptedPrompts prompts(row.script);
        ASSERT_TRUE(window->openTovraProject(projectFile));
        // The new paths are changes to save: the window says so and a quit would ask.
        EXPECT_FALSE(window->projectIsSaved());
        EXPECT_TRUE(window->windowTitle().contains("*")) << window->windowTitle().toStdString();
        const QStringList shownFiles = prompts.shownFiles;
        for (const KPrompt::Request& request : prompts.asked) {
            if (request.kind == KPrompt::Dialog) {
                EXPECT_EQ(request.title, "Load Tovra Project");
            }
        }
        EXPECT_EQ(shownFiles.size(), 3);
        EXPECT_TRUE(shownFiles.contains(path("drums.wav")));
        EXPECT_TRUE(shownFiles.contains(QString()));
        KCtrlFile* document = window->getTovraFile();
        ASSERT_NE(document, nullptr);
        const QStringList tracks = document->getTrackNames();
        ASSERT_TRUE(tracks.contains("bass"));
        EXPECT_EQ(document->getTrackPath("bass"), path("bass.wav"));
        if (row.drumsMoved) {
            EXPECT_EQ(document->getTrackPath("drums"), moved);
            EXPECT_EQ(window->getParams()->getLastImportDirectory(), QFileInfo(moved).absolutePath());
        } else {
            EXPECT_EQ(window->getParams()->getLastImportDirectory(), "/nowhere");
        }
        // Dropped files are left without audio, never pointed at another track's file.
        for (const QString track : {"drums", "keys", "voice"})
            if (tracks.contains(track) && !(row.drumsMoved && QString(track) == "drums")) {
                const QString trackPath = document->getTrackPath(track);
                EXPECT_TRUE(trackPath.isEmpty() || trackPath == "::ignore_audio::") << trackPath.toStdString();
            }
        window->closeProject(false);
    }
}

// A track the project file already marks as without audio (an earlier open dropped its file) is
// not asked about again.
TEST_F(ProjectFilesTest, TracksMarkedWithoutAudioAreNotAskedAboutAgain)
{
    {
        KXml description(TovraOLib::readStreamFromFile(projectFile));
        std::function<void(XmlObjectStruct*)> mark = [&](XmlObjectStruct* node) {
            if (QString(node->name) == "FILE" && QString(node->text) == path("keys.wav")) {
                AppServices::freeKString(node->text);
                node->text = AppServices::QStringToKString("::ignore_audio::");
            }
            for (int i = 0; i < node->count; ++i)
                mark(node->children[i]);
        };
        mark(description.getXmlObj());
        ASSERT_TRUE(TovraOLib::writeStreamInFile(description.exportToStream(), projectFile));
    }
    ASSERT_TRUE(QFile::remove(path("keys.wav")));
    ScriptedPrompts prompts;
    ASSERT_TRUE(window->openTovraProject(projectFile));
    EXPECT_TRUE(prompts.asked.isEmpty()) << prompts.titles().join("|").toStdString();
    ASSERT_NE(window->getTovraFile(), nullptr);
    EXPECT_TRUE(window->getTovraFile()->getTrackNames().contains("bass"));
    window->closeProject(false);
}

TEST_F(ProjectFilesTest, DamagedOrForeignFilesAreRefusedAndTheOpenProjectStays)
{
    KCtrlFile other;
    ASSERT_TRUE(buildProject(other, dir));
    std::string random(4096, '\0');
    for (size_t i = 0; i < random.size(); ++i)
        random[i] = char((i * 7919 + 13) % 251);
    fixtures::writeBytes(dir.file("random.tvprj"), random);
    fixtures::writeBytes(dir.file("empty.tvprj"), "");
    ASSERT_TRUE(writeProjectFile(other, path("foreign.tvprj"), "OTHER_PROGRAM"));
    {
        // A description the engine refuses under a header we accept.
        KXml wrapper("SONARIC_PROJECT", QString());
        wrapper.addSubObject("TOVRA-2.0", "no project here");
        ASSERT_TRUE(TovraOLib::writeStreamInFile(wrapper.exportToStream(), path("hollow.tvprj")));
    }

    const struct {
        const char* file;
        bool loadBox; // the description was read but refused
    } rows[] = {
        {"random.tvprj", false}, {"empty.tvprj", false}, {"foreign.tvprj", false},
        {"hollow.tvprj", true},  {"absent.tvprj", false},
    };
    {
        ScriptedPrompts opening;
        ASSERT_TRUE(window->openTovraProject(projectFile));
    }
    window->setUnsavedProject();
    KCtrlFile* open = window->getTovraFile();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        rebinds->clear();
        ScriptedPrompts prompts({{QString(), QMessageBox::No}, {path(row.file)}});
        EXPECT_FALSE(window->openProject(true));
        QStringList titles = {"Open a project", "Open a project", "Open a project"};
        if (row.loadBox)
            titles.insert(2, "Error");
        EXPECT_EQ(prompts.titles(), titles);
        EXPECT_EQ(prompts.asked.last().text, "Error: cannot open project");
        EXPECT_EQ(prompts.asked.last().kind, KPrompt::Critical);
        EXPECT_EQ(window->getTovraFile(), open);
        EXPECT_TRUE(rebinds->isEmpty());
        EXPECT_EQ(shownText(), expected);
        EXPECT_EQ(window->getProjectPath(), projectFile);
        EXPECT_FALSE(window->projectIsSaved());
        EXPECT_TRUE(window->centralWidget()->isEnabled());
    }
}

// A project nested deeper than the tree views can lay out is refused at open, before any view
// sees it, whichever order its groups are stored in; one at the limit opens and is shown.
TEST_F(ProjectFilesTest, ProjectsNestedDeeperThanTheViewsShowAreRefused)
{
    const int limit = ZazuzoziZadiviDU::MaxShownDepth;
    const struct {
        int groups; // nested in a chain, the one track in the innermost
        bool outermostFirst;
    } rows[] = {{limit - 1, true}, {limit, false}, {30000, true}, {30000, false}};
    window->show();
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.groups) + (row.outermostFirst ? " outermost first" : " innermost first"));
        const QString file = path("deep.tvprj");
        {
            KCtrlFile deep;
            ASSERT_EQ(deep.addTrack("T", sineTrack(dir, "t.wav"), nullptr), "T");
            KFile* engine = deep.getKFile();
            auto name = [](int i) { return "G" + std::to_string(i); };
            for (int n = 0; n < row.groups; ++n) {
                const int i = row.outermostFirst ? n : row.groups - 1 - n;
                ASSERT_EQ(1, createElt(engine, KCONST_GROUP, name(i).c_str(), createDataGrp(0, 1)));
            }
            for (int i = 1; i < row.groups; ++i)
                ASSERT_EQ(1, addSubElt(engine, name(i - 1).c_str(), name(i).c_str()));
            ASSERT_EQ(1, addSubElt(engine, name(row.groups - 1).c_str(), "T"));
            ASSERT_EQ(deep.getTreeDepth(), row.groups + 1);
            ASSERT_TRUE(writeProjectFile(deep, file));
        }
        rebinds->clear();
        ScriptedPrompts prompts;
        const bool opens = row.groups + 1 <= limit;
        EXPECT_EQ(window->openTovraProject(file), opens);
        if (opens) {
            EXPECT_TRUE(prompts.asked.isEmpty()) << prompts.titles().join("|").toStdString();
            EXPECT_TRUE(viewsHoldTheDocument());
            // Laid out and painted as a person sees it.
            QApplication::processEvents();
            EXPECT_TRUE(grabToScreens(window, "editor_deepest_project_shown"));
            window->closeProject(false);
            continue;
        }
        ASSERT_EQ(prompts.asked.size(), 1);
        EXPECT_EQ(prompts.asked[0].kind, KPrompt::Critical);
        EXPECT_EQ(prompts.asked[0].text, QString("This project nests its groups %1 levels deep; the editor shows at "
                                                 "most %2 levels.")
                                             .arg(row.groups + 1)
                                             .arg(limit));
        EXPECT_EQ(window->getTovraFile(), nullptr);
        EXPECT_TRUE(rebinds->isEmpty());
    }
}

TEST_F(ProjectFilesTest, CommandLineFailureLeavesNoProjectBehind)
{
    fixtures::writeBytes(dir.file("junk.tvprj"), "junk");
    const QStringList recent = window->getParams()->getRecentPrj();
    ScriptedPrompts prompts;
    EXPECT_FALSE(window->openTovraProject(path("junk.tvprj")));
    EXPECT_TRUE(prompts.asked.isEmpty());
    EXPECT_EQ(window->getTovraFile(), nullptr);
    EXPECT_TRUE(rebinds->isEmpty());
    EXPECT_EQ(window->getParams()->getRecentPrj(), recent);
}

TEST_F(ProjectFilesTest, FailedSaveKeepsWhatWasThereAndTheUnsavedMark)
{
    {
        ScriptedPrompts opening;
        ASSERT_TRUE(window->openTovraProject(projectFile));
    }
    // The chosen name is taken by a folder that holds a file: the rename over it fails even for
    // the super-user.
    const QString folder = QString::fromStdString(dir.path().string());
    QDir(folder).mkpath("locked.tvprj");
    fixtures::writeBytes(dir.file("locked.tvprj/inside"), "kept");
    const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    window->setUnsavedProject();
    {
        ScriptedPrompts prompts({{path("locked")}});
        EXPECT_FALSE(window->saveProject(false));
        EXPECT_EQ(prompts.titles(), QStringList({"Save a project", "Save a project"}));
        EXPECT_EQ(prompts.asked.value(1).kind, KPrompt::Critical);
        EXPECT_EQ(prompts.asked.value(1).text, "Error: cannot save project");
    }
    EXPECT_EQ(fixtures::readBytes(dir.file("locked.tvprj/inside")), "kept");
    // No temporary is left beside it.
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
    EXPECT_FALSE(window->projectIsSaved());
    EXPECT_EQ(window->getProjectPath(), path("locked.tvprj"));
    EXPECT_EQ(window->windowTitle(), "locked* - Tovra Sonaric Free");
    // Save as with the chooser cancelled: false and no box.
    ScriptedPrompts prompts;
    EXPECT_FALSE(window->saveProject(false));
    EXPECT_EQ(prompts.titles(), QStringList{"Save a project"});
    EXPECT_EQ(prompts.asked[0].kind, KPrompt::SaveFileName);
}

TEST_F(ProjectFilesTest, ProRootIsReadUnderItsOwnTag)
{
    KCtrlFile source;
    ASSERT_TRUE(buildProject(source, dir));
    ASSERT_TRUE(writeProjectFile(source, path("pro.tvprj"), "SONARIC_PRO_PROJECT"));
    ScriptedPrompts prompts;
    EXPECT_TRUE(window->openTovraProject(path("pro.tvprj")));
    EXPECT_TRUE(prompts.asked.isEmpty());
    EXPECT_EQ(shownText(), projectText(source));
}
