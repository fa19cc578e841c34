// The main window's track and element edits without a worker: the track dialog (file, name,
// and a refused rename that changes nothing), the stereo conversion's destinations, moving
// elements between groups, colours, and the group command's dialog.
#include "DlgNewGroupUI.h"
#include "KDragMenuLV.h"
#include "MainWindowFixture.h"
#include "ProjectFixture.h"
#include "SonaricParams.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QSplitter>
#include <QToolButton>

#include <functional>
#include <utility>
#include <vector>

namespace {

// Answers the prompts: dialogs through `drive`, boxes and choosers with fixed answers.
struct Answers {
    Answers()
    {
        previous = KPrompt::setHandler([this](const KPrompt::Request& request) {
            asked << request;
            KPrompt::Answer answer;
            if (request.kind == KPrompt::Dialog) {
                request.dialog->show();
                answer.button = drive ? drive(request.dialog) : 0;
            } else {
                answer.button = QMessageBox::Ok;
                answer.text = fileName;
                answer.ok = !fileName.isEmpty();
            }
            return answer;
        });
    }
    ~Answers() { KPrompt::setHandler(previous); }
    QStringList texts() const { return messageTexts(asked); }

    std::function<int(QDialog*)> drive;
    QString fileName;
    QList<KPrompt::Request> asked;
    KPrompt::Handler previous;
};

// Fills the track dialog's fields and presses Ok when it lets the author.
std::function<int(QDialog*)> trackDialog(const QString& file, const QString& name, bool* okEnabled = nullptr)
{
    return [=](QDialog* dialog) {
        dialog->findChild<QLineEdit*>("lineEdit1")->setText(file);
        dialog->findChild<QLineEdit*>("lineEdit2")->setText(name);
        auto* ok = dialog->findChild<QPushButton*>("okButton_4");
        if (okEnabled)
            *okEnabled = ok->isEnabled();
        if (!ok->isEnabled())
            return 0;
        QTest::mouseClick(ok, Qt::LeftButton);
        return dialog->result();
    };
}

class StructureEdits : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(window->newProject(false));
        doc = window->getTovraFile();
        ASSERT_TRUE(buildProject(*doc, dir));
    }

    fixtures::TempDir dir;
    KCtrlFile* doc = nullptr;
};

TEST_F(StructureEdits, TrackDialogChangesTheFileAloneOrRenamesAndRefusesTakenNames)
{
    const QString other = sineTrack(dir, "other.wav");
    Answers answers;
    bool okEnabled = false;
    answers.drive = trackDialog(other, "bass", &okEnabled);
    EXPECT_TRUE(window->renameAudio("bass")); // its own name stays valid
    EXPECT_TRUE(okEnabled);
    EXPECT_EQ(doc->getTrackPath("bass"), other);

    answers.drive = trackDialog(other, "drums", &okEnabled);
    EXPECT_FALSE(window->renameAudio("bass"));
    EXPECT_FALSE(okEnabled);

    answers.drive = trackDialog(other, "low", &okEnabled);
    EXPECT_TRUE(window->renameAudio("bass"));
    EXPECT_TRUE(doc->isTrack("low"));
    EXPECT_FALSE(doc->isElement("bass"));
    EXPECT_TRUE(answers.texts().isEmpty());
}

TEST_F(StructureEdits, ARefusedRenameTakesBackTheFileChange)
{
    const QString before = doc->getTrackPath("keys");
    Answers answers;
    answers.drive = trackDialog(sineTrack(dir, "new.wav"), "k|eys");
    EXPECT_FALSE(window->renameAudio("keys"));
    EXPECT_EQ(doc->getTrackPath("keys"), before);
    EXPECT_EQ(answers.texts(), QStringList({"Error renaming stem track"}));
}

TEST_F(StructureEdits, ConversionWritesANewFileBesideTheSourceWithoutOverwritingAnother)
{
    const QString source = stereoTrack(dir, "pads.take1.wav");
    ASSERT_EQ(doc->addTrack("pads", source, nullptr), "pads");
    // Another file already has the suffixed name: it stays as it was.
    const QString taken = QFileInfo(source).absolutePath() + "/pads.take1_mono.wav";
    QFile(taken).remove();
    ASSERT_TRUE(QFile::copy(source, taken));
    const qint64 takenSize = QFileInfo(taken).size();
    window->getParams()->setImportStereoConvert(SonaricEnums::ConvertWithSuffix);
    window->getParams()->setImportStereoSuffix("_mono");
    Answers answers;
    EXPECT_TRUE(window->convertStereoToMono("pads"));
    EXPECT_EQ(doc->getTrackPath("pads"), QFileInfo(source).absolutePath() + "/pads.take1_mono_1.wav");
    EXPECT_EQ(doc->getTrackChannels("pads"), 1);
    EXPECT_EQ(QFileInfo(taken).size(), takenSize);
    EXPECT_TRUE(QFileInfo::exists(source));
}

TEST_F(StructureEdits, ConversionToANamedFileStopsQuietlyWhenTheChooserIsCancelled)
{
    ASSERT_EQ(doc->addTrack("pads", stereoTrack(dir, "pads.wav"), nullptr), "pads");
    window->getParams()->setImportStereoConvert(SonaricEnums::ConvertOtherName);
    Answers answers; // the save chooser answers nothing
    const QString before = projectText(*doc);
    EXPECT_FALSE(window->convertStereoToMono("pads"));
    ASSERT_EQ(answers.asked.size(), 1);
    EXPECT_EQ(answers.asked[0].kind, KPrompt::SaveFileName);
    EXPECT_EQ(projectText(*doc), before);

    answers.fileName = QString::fromStdString(dir.file("pads-mono.wav"));
    EXPECT_TRUE(window->convertStereoToMono("pads"));
    EXPECT_EQ(doc->getTrackPath("pads"), answers.fileName);
    EXPECT_EQ(doc->getTrackChannels("pads"), 1);
}

TEST_F(StructureEdits, ElementsMoveBetweenGroupsAndColoursReachEveryDescendant)
{
    Answers answers;
    EXPECT_TRUE(window->addEltInGroup("Rhythm", "Top")); // a group into another
    EXPECT_EQ(doc->getParent("Rhythm"), "Top");
    EXPECT_TRUE(window->addEltInGroup("Rhythm", "Top")); // already there
    EXPECT_TRUE(window->addEltInGroup("keys", "Rhythm")); // out of Top first
    EXPECT_EQ(doc->getParent("keys"), "Rhythm");
    EXPECT_TRUE(window->removeEltFromGroup("keys", "Rhythm"));
    EXPECT_NE(doc->getParent("keys"), "Rhythm");

    const QColor before = doc->getEltColor("bass");
    window->setElementColour("Top", QColor()); // the colour box was dismissed
    EXPECT_EQ(doc->getEltColor("bass"), before);
    const QColor colour = ZazuzoziZadiviDU::elementPalette().at(2);
    window->setElementColour("Top", colour);
    for (const QString name : {"Top", "Rhythm", "bass", "drums", "voice"})
        EXPECT_EQ(doc->getEltColor(name), colour) << name.toStdString();
    EXPECT_EQ(ZazuzoziZadiviDU::elementPalette().size(), 17);
}

// A move out of one group into another is one edit: one rule check, one question, and a
// refused move leaves the project as it was, the element still in its own group.
TEST_F(StructureEdits, AMoveIsOneCheckedEditAndARefusedMoveChangesNothing)
{
    // Voice always plays and Rhythm lets one member play: voice in Rhythm would silence bass
    // and drums, though voice alone out of Top silences nothing.
    ASSERT_TRUE(doc->KObjFile::setEltNotMute("voice", true));
    ASSERT_TRUE(doc->KObjFile::setGroupMinMaxPlay("Rhythm", 0, 1));
    const QString before = projectText(*doc);
    Answers answers; // the warning is answered Ok, which does not keep the edit
    EXPECT_FALSE(window->addEltInGroup("voice", "Rhythm"));
    EXPECT_EQ(answers.asked.size(), 1);
    EXPECT_EQ(doc->getParent("voice"), "Top");
    EXPECT_EQ(projectText(*doc), before);
}

TEST_F(StructureEdits, GroupCommandOpensTheGroupDialogOverTheProject)
{
    Answers answers;
    QStringList offered;
    answers.drive = [&offered](QDialog* dialog) {
        auto* group = qobject_cast<DlgNewGroupUI*>(dialog);
        if (!group)
            return 0;
        for (int row = 0; row < group->form().trackList->model()->rowCount(); ++row)
            offered << group->form().trackList->model()->index(row, 0).data().toString();
        return 0;
    };
    actions->getAction(16)->trigger();
    EXPECT_EQ(offered, QStringList({"bass", "drums", "keys", "voice"}));
    EXPECT_FALSE(window->projectIsSaved());
}

// Deleting tracks deletes the rules that name them: the question lists those rules, and
// answering no keeps everything.
TEST_F(StructureEdits, DeleteTrackQuestionNamesTheRulesThatGoWithTheTracks)
{
    window->initUIForOpenedProject();
    window->updateUI();
    window->resize(1024, 700);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const auto deleteButton = [this]() -> QToolButton* {
        for (QToolButton* button : window->findChildren<QToolButton*>())
            if (button->defaultAction() == actions->getAction(14) && button->isVisible())
                return button;
        return nullptr;
    };
    // The library panel made wide enough for its whole tool bar.
    auto* splitter = qobject_cast<QSplitter*>(window->getLibraryView()->parentWidget()->parentWidget());
    ASSERT_NE(splitter, nullptr);
    splitter->setSizes({700, 500});
    QApplication::processEvents();
    QToolButton* remove = deleteButton();
    ASSERT_NE(remove, nullptr);
    const QStringList rulesBefore = doc->contraintNames();
    Answers answers;
    for (const auto& [selected, listed] :
         std::vector<std::pair<QStringList, QStringList>>{
             {{"bass", "keys"},
              {"Exclusion: bass and drums (one at a time)", "Implication: keys implies voice (keys need voice)"}},
             {{"voice"}, {"Implication: keys implies voice (keys need voice)"}}}) {
        answers.asked.clear();
        KDragMenuLV* library = window->getLibraryView();
        ASSERT_TRUE(QTest::qWaitFor([library] { return library->model()->rowCount() == 4; }, 20000));
        library->clearSelection();
        QAbstractItemModel* rows = library->model();
        for (int row = 0; row < rows->rowCount(); ++row)
            for (int column = 0; column < rows->columnCount(); ++column)
                if (selected.contains(rows->index(row, column).data().toString()))
                    library->selectionModel()->select(rows->index(row, column),
                                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
        ASSERT_EQ(library->getSelectedItems().size(), selected.size());
        QTest::mouseClick(remove, Qt::LeftButton);
        ASSERT_EQ(answers.texts().size(), 1);
        const QString question = answers.texts().first();
        EXPECT_TRUE(question.startsWith("Delete selected stem track(s)")) << question.toStdString();
        for (const QString& line : listed)
            EXPECT_TRUE(question.contains(line)) << question.toStdString() << " lacks " << line.toStdString();
        EXPECT_EQ(question.count(QChar(10)), 2 + listed.size()) << question.toStdString();
    }
    EXPECT_TRUE(doc->isTrack("bass"));
    EXPECT_EQ(doc->contraintNames(), rulesBefore);
}

} // namespace
