#include "../document/ElementTestEnv.h"
#include "DlgSingleInputUI.h"
#include "EqualisationUi.h"
#include "KAudioFilePlayer.h"
#include "KButton.h"
#include "KCheckMixTV.h"
#include "KListWidget.h"
#include "KMasterMix.h"
#include "KSlider.h"
#include "KSliderVol.h"
#include "KSuperUI.h"
#include "KVolumeUI.h"
#include "KVolumeWdg.h"
#include "MainEqualsUi.h"
#include "MiniPlayerUI.h"
#include "MixViewUI.h"

#include <QDial>
#include <QSignalSpy>
#include <QTest>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QResource>

namespace {
// Answers the name dialogs from a script ({text, default box} or nothing to cancel), the
// questions with `button`, and keeps the titles of every box asked.
class Prompts
{
public:
    struct Name {
        QString text;
        bool isDefault = false;
        bool cancel = false;
    };
    explicit Prompts(QList<Name> names = {}, int button = QMessageBox::Yes) : names(std::move(names))
    {
        previous = KPrompt::setHandler([this, button](const KPrompt::Request& request) {
            KPrompt::Answer answer;
            if (request.kind == KPrompt::Dialog) {
                auto* dialog = static_cast<DlgSingleInputUI*>(request.dialog);
                offered << dialog->getText();
                const Name name = this->names.isEmpty() ? Name{QString(), false, true} : this->names.takeFirst();
                if (name.cancel)
                    return answer;
                dialog->findChild<QLineEdit*>("lineEdit")->setText(name.text);
                dialog->findChild<QCheckBox*>("checkBox")->setChecked(name.isDefault);
                answer.button = 1;
                return answer;
            }
            boxes << request.title + ": " + request.text;
            answer.button = (request.buttons & QMessageBox::Ignore) ? int(QMessageBox::Ignore) : button;
            return answer;
        });
    }
    ~Prompts() { KPrompt::setHandler(previous); }
    QList<Name> names;
    QStringList offered;
    QStringList boxes;

private:
    KPrompt::Handler previous;
};

class MixViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The mini player's and the tool bar's pictures come from the editor's image bundle.
        ASSERT_TRUE(QResource::registerResource(TOVRA_IMAGE_BUNDLE));
        addTracks(document, dir, {"bass", "drums", "voice", "keys"});
        ASSERT_TRUE(document.group("Rhythm", {"bass", "drums"}));
        ASSERT_TRUE(document.group("Top", {"voice", "keys"}));
        panel = std::make_unique<MixViewUI>(&document, nullptr, &host);
        list = panel->getMixList();
    }
    void TearDown() override
    {
        panel.reset();
        QResource::unregisterResource(TOVRA_IMAGE_BUNDLE);
    }
    QPushButton* button(const char* name) const { return panel->findChild<QPushButton*>(name); }
    QString stepText() const { return panel->findChild<QLabel*>("stepLabel")->text(); }
    QStringList levelRows() const
    {
        QStringList rows;
        for (int i = 0; i < panel->getLevelList()->count(); ++i)
            rows << panel->getLevelList()->item(i)->text();
        return rows;
    }
    QStringList boldLevelRows() const
    {
        QStringList rows;
        for (int i = 0; i < panel->getLevelList()->count(); ++i)
            if (panel->getLevelList()->item(i)->font().weight() == QFont::Bold)
                rows << panel->getLevelList()->item(i)->text();
        return rows;
    }
    void play(const QStringList& tracks)
    {
        document.setEltsStatus(false, false);
        for (const QString& track : tracks)
            document.setEltStatus(track, true, false);
    }

    fixtures::TempDir dir;
    Document document;
    QWidget host;
    std::unique_ptr<MixViewUI> panel;
    KListWidget* list = nullptr;
};
} // namespace

TEST_F(MixViewTest, CreateAsksAValidNameAndOpensStepOne)
{
    Prompts prompts({{""}, {"Live", false}, {"live", true}});
    document.saveCurrentMix("Live");
    EXPECT_FALSE(panel->isActive());
    panel->createMix();
    // An empty name, then an existing one, are refused; another letter case is a new name.
    EXPECT_EQ(prompts.boxes.size(), 2);
    EXPECT_TRUE(prompts.boxes[0].endsWith("Nom d'Tovix invalide !"));
    EXPECT_EQ(panel->getEditedMix(), "live");
    EXPECT_TRUE(document.isMix("live"));
    EXPECT_EQ(list->getCurrentMix(), "live");
    EXPECT_EQ(list->getDefaultMix(), "live");
    EXPECT_TRUE(panel->isActive());
    EXPECT_TRUE(panel->hasUnsavedChanges());
    EXPECT_EQ(panel->currentStep(), 0);
    EXPECT_EQ(stepText(), "  Etape 1 : Sélection des pistes");
    EXPECT_FALSE(button("previousButton")->isHidden());
    EXPECT_TRUE(button("nextButton")->isEnabled());

    // Cancelling creates nothing.
    Prompts cancel({{QString(), false, true}}, QMessageBox::No);
    panel->createMix();
    EXPECT_EQ(document.getMixNames().size(), 2);
}

TEST_F(MixViewTest, LevelListShowsPlayingElementsByDepthAndPicksTheConsoleDepth)
{
    play({"bass", "voice"});
    panel->setListLevel();
    const QStringList expected{"Toutes les pistes",  "--------------------- ", "Niveau 1", "    - Rhythm",
                               "    - Top",          "--------------------- ", "Niveau 2", "    - bass",
                               "    - voice"};
    EXPECT_EQ(levelRows(), expected);
    const int depth = document.getTreeDepth();
    ASSERT_EQ(depth, 2);
    EXPECT_EQ(panel->getShownDepth(), depth);
    EXPECT_EQ(boldLevelRows(), QStringList({"Toutes les pistes"}));

    const struct {
        int row;
        int depth;
        QStringList bold;
    } picks[] = {{3, 0, {"Niveau 1", "    - Rhythm", "    - Top", "--------------------- "}},
                 {8, 1, {"Niveau 2", "    - bass", "    - voice"}},
                 {1, 2, {"--------------------- "}}};
    for (const auto& pick : picks) {
        panel->displayItem(panel->getLevelList()->item(pick.row));
        EXPECT_EQ(panel->getShownDepth(), pick.depth) << pick.row;
        EXPECT_EQ(boldLevelRows(), pick.bold) << pick.row;
    }
    // The document's status changes rebuild the list.
    document.setEltStatus("keys", true, false);
    EXPECT_TRUE(levelRows().contains("    - keys"));
}

TEST_F(MixViewTest, StepsMoveForwardAndBackAndRefuseThePastTheEnds)
{
    Prompts prompts({{"Mix"}});
    panel->createMix();
    panel->previousPage();
    EXPECT_EQ(prompts.boxes.last(), ": Action impossible");
    panel->nextPage();
    EXPECT_EQ(panel->currentStep(), 1);
    EXPECT_EQ(stepText(), "  Etape 2 : Mixage des pistes");
    EXPECT_FALSE(panel->findChild<QCheckBox*>("rulesBox")->isHidden());
    EXPECT_TRUE(panel->findChild<QCheckBox*>("constraintsBox")->isHidden());
    panel->nextPage();
    EXPECT_EQ(panel->currentStep(), 2);
    EXPECT_EQ(stepText(), "  Etape 3 : Egalisation des pistes");
    EXPECT_TRUE(button("nextButton")->isHidden());
    EXPECT_FALSE(button("saveButton")->isHidden());
    EXPECT_TRUE(button("exportButton")->isEnabled());
    const int boxes = prompts.boxes.size();
    panel->nextPage();
    EXPECT_EQ(prompts.boxes.size(), boxes + 1);
    EXPECT_EQ(panel->currentStep(), 2);
    panel->previousPage();
    panel->previousPage();
    EXPECT_EQ(panel->currentStep(), 0);
    EXPECT_FALSE(button("previousButton")->isEnabled());
}

TEST_F(MixViewTest, ConsoleOfStepTwoAndEqualizerOfStepThreeEditTheOpenMix)
{
    Prompts prompts({{"Mix"}});
    panel->createMix();
    KSuperUI* console = panel->getSuperUI();
    EXPECT_TRUE(console->master()->isHidden());
    play({"bass", "voice"});
    panel->nextPage();
    // Step 2: the master strip beside the console, which shows the playing tracks of every depth.
    EXPECT_FALSE(console->master()->isHidden());
    ASSERT_NE(console->row(), nullptr);
    EXPECT_EQ(console->row()->getListElt(), QStringList({"bass", "voice"}));
    console->row()->strip("bass")->fader()->setValue(-60);
    console->row()->strip("voice")->panSlider()->setValue(50);
    EXPECT_EQ(document.getElementLevel("bass"), -60);
    EXPECT_DOUBLE_EQ(document.getPan("voice"), 0.5);
    // The first depth shows the two groups.
    panel->displayItem(panel->getLevelList()->item(3));
    EXPECT_EQ(console->row()->getListElt(), QStringList({"Rhythm", "Top"}));

    // Step 3: the equaliser shows the flat curve; a band moved is stored into the mix at once.
    panel->nextPage();
    MainEqualsUi* equalizer = panel->getEqualizer();
    ASSERT_NE(equalizer, nullptr);
    EXPECT_EQ(equalizer->getEqualisationValues(), MixViewUI::flatMastering());
    panel->setSaveCheck(false);
    equalizer->bands()[1]->gainDial()->setValue(-6);
    EXPECT_TRUE(panel->hasUnsavedChanges());
    EXPECT_EQ(document.getMixMastering("Mix"), equalizer->getEqualisationValues());
    EXPECT_NE(document.getMixMastering("Mix"), MixViewUI::flatMastering());

    // Saving keeps the levels, pan and mastering set on the way, and goes back to the start.
    QTest::mouseClick(button("saveButton"), Qt::LeftButton);
    EXPECT_FALSE(panel->isActive());
    const QMap<int, double> stored = document.getMixMastering("Mix");
    document.resetElementsStatus();
    ASSERT_TRUE(document.setCurrentMix("Mix"));
    EXPECT_EQ(document.getPlayedTracks(), QStringList({"bass", "voice"}));
    EXPECT_EQ(document.getElementLevel("bass"), -60);
    EXPECT_DOUBLE_EQ(document.getPan("voice"), 0.5);
    EXPECT_EQ(document.getMixMastering("Mix"), stored);
}

TEST_F(MixViewTest, MasterStripSetsTheOpenMixsLevel)
{
    Prompts prompts({{"Mix"}});
    panel->createMix();
    play({"drums"});
    panel->nextPage();
    emit panel->getSuperUI()->masterLvlChanged(-40);
    panel->nextPage();
    panel->save_slot();
    EXPECT_EQ(document.getMixLevel("Mix"), -40);
    // The master strip shows what was set, also after going back a step.
    panel->previousPage();
    EXPECT_EQ(panel->getSuperUI()->master()->fader()->value(), -40);
}

TEST_F(MixViewTest, MiniPlayerPlaysTheOpenMixAndMutesTheConsole)
{
    Prompts prompts({{"Mix"}});
    MiniPlayerUI* player = panel->getMiniPlayer();
    panel->createMix();
    play({"bass"});
    panel->nextPage();
    // The mute button of the bar mutes every strip of the console.
    QSignalSpy muted(player, &MiniPlayerUI::muted);
    QTest::mouseClick(player->muteButton(), Qt::LeftButton);
    ASSERT_EQ(muted.count(), 1);
    EXPECT_TRUE(muted[0][0].toBool());
    EXPECT_TRUE(document.getEltMute("bass"));
    QTest::mouseClick(player->muteButton(), Qt::LeftButton);
    EXPECT_FALSE(document.getEltMute("bass"));
}

TEST_F(MixViewTest, SavingStoresTheWorkingMixAndItsMastering)
{
    Prompts prompts({{"Mix"}});
    panel->createMix();
    // Nothing playing: refused, and the changes stay marked unsaved.
    panel->save_slot();
    EXPECT_TRUE(prompts.boxes.last().endsWith("Sélectionnez vos pistes !"));
    EXPECT_TRUE(panel->hasUnsavedChanges());
    EXPECT_TRUE(panel->modifyMix(QString()));

    play({"bass", "keys"});
    panel->masterLvlChanged_slot(-30);
    panel->save_slot();
    EXPECT_FALSE(panel->hasUnsavedChanges());
    ASSERT_TRUE(document.setCurrentMix("Mix"));
    EXPECT_EQ(document.getPlayedTracks(), QStringList({"bass", "keys"}));
    EXPECT_EQ(document.getMixLevel("Mix"), -30);
    EXPECT_EQ(document.getMixMastering("Mix"), MixViewUI::flatMastering());
}

TEST_F(MixViewTest, OpeningAnotherMixAsksToSaveAndKeepsEachMixsMastering)
{
    play({"bass"});
    ASSERT_TRUE(document.saveCurrentMix("A"));
    ASSERT_TRUE(document.setMixMastering("A", {{20, 3.0}, {100, 0.0}, {1000, -2.0}, {20000, 0.0}}));
    play({"voice"});
    ASSERT_TRUE(document.saveCurrentMix("B"));
    const QMap<int, double> masteringB = document.getMixMastering("B");

    Prompts prompts({}, QMessageBox::Yes);
    host.show(); // statuses changed while the editor is shown are edits of its mix
    list->setAsCurrentMix("A");
    EXPECT_EQ(panel->getEditedMix(), "A");
    EXPECT_EQ(panel->getKeptEquals(), document.getMixMastering("A"));
    EXPECT_EQ(document.getPlayedTracks(), QStringList({"bass"}));
    EXPECT_TRUE(prompts.boxes.isEmpty());

    // A change, then leaving for B: the question stores A; B keeps its own mastering.
    document.setEltStatus("drums", true, false);
    EXPECT_TRUE(panel->hasUnsavedChanges());
    list->setAsCurrentMix("B");
    ASSERT_EQ(prompts.boxes.size(), 1);
    EXPECT_EQ(prompts.boxes[0], "Enregistrer un Tovix: Voulez-vous enregistrer cet Tovix \"A\"?");
    ASSERT_TRUE(document.setCurrentMix("A"));
    EXPECT_EQ(document.getPlayedTracks(), QStringList({"bass", "drums"}));
    ASSERT_TRUE(document.setCurrentMix("B"));
    panel->save_slot("B");
    EXPECT_EQ(document.getMixMastering("B"), masteringB.isEmpty() ? MixViewUI::flatMastering() : masteringB);

    // Empty space or an unknown name opens nothing.
    list->setAsCurrentMix("nosuch");
    EXPECT_EQ(panel->getEditedMix(), "B");
}

TEST_F(MixViewTest, RenameDefaultAndDelete)
{
    play({"bass"});
    ASSERT_TRUE(document.saveCurrentMix("A"));
    ASSERT_TRUE(document.saveCurrentMix("B"));
    {
        Prompts prompts({{"B"}, {""}, {"Solo", true}});
        list->setAsCurrentMix("A");
        panel->modifyItem();
        // A taken or empty name shows the dialog again, offering the mix's name.
        EXPECT_EQ(prompts.offered, QStringList({"A", "A", "A"}));
        EXPECT_TRUE(prompts.boxes.isEmpty());
    }
    EXPECT_TRUE(document.isMix("Solo"));
    EXPECT_EQ(list->getDefaultMix(), "Solo");
    EXPECT_EQ(list->getCurrentMix(), "Solo");
    EXPECT_EQ(panel->getEditedMix(), "Solo");

    // Deleting a mix that is not open leaves the pages; deleting the open one closes it.
    {
        Prompts no({}, QMessageBox::No);
        panel->removeMixWithConfirm("B");
        EXPECT_TRUE(document.isMix("B"));
    }
    Prompts yes({}, QMessageBox::Yes);
    panel->removeMixWithConfirm("B");
    EXPECT_FALSE(list->contains("B"));
    EXPECT_TRUE(panel->isActive());
    panel->removeItem();
    EXPECT_FALSE(document.isMix("Solo"));
    EXPECT_FALSE(panel->isActive());
    EXPECT_EQ(list->getCurrentMix(), "");
    // The save command has nothing left to store into.
    panel->save_slot();
    EXPECT_TRUE(document.getMixNames().isEmpty());
}

TEST_F(MixViewTest, CreateCommandsReachTheApplicationAction)
{
    QAction command;
    int triggered = 0;
    QObject::connect(&command, &QAction::triggered, [&] { ++triggered; });
    panel->setCreateTovixAction(&command);
    button("createButton")->click();
    emit list->itemCreated();
    EXPECT_EQ(triggered, 2);
}

TEST_F(MixViewTest, StepButtonsShowTheirWholeTextInALargerWindowFont)
{
    // As the editor gives its font: through its style sheet.
    host.setStyleSheet("* { font-size: 18px; }");
    host.resize(1400, 720);
    host.show();
    QApplication::processEvents();
    for (const char* name : {"createButton", "exportButton"}) {
        QPushButton* shown = button(name);
        EXPECT_GE(shown->width(), shown->fontMetrics().horizontalAdvance(shown->text())) << name;
    }
}

TEST_F(MixViewTest, Screens)
{
    Prompts prompts({{"Evening"}});
    play({"bass", "voice"});
    document.saveCurrentMix("Morning");
    document.setMixAsDefault("Morning");
    // The panel's own smallest width, when more than the picture's.
    const int width = std::max(900, panel->minimumSizeHint().width());
    host.resize(width, 720);
    panel->resize(width, 720);
    grabScreen(host, "MixViewUI_start");
    EXPECT_TRUE(pictureCheck::showsWhole(host, {panel.get()}));
    panel->createMix();
    panel->expandAll();
    grabScreen(host, "MixViewUI_step1");
    EXPECT_TRUE(pictureCheck::showsWhole(host, {panel.get()}));
    play({"bass", "voice"});
    panel->nextPage();
    grabScreen(host, "MixViewUI_step2");
    EXPECT_TRUE(pictureCheck::showsWhole(host, {panel.get()}));
    // The console's strips take the page's width beside a narrow level list, and the mix list
    // stays at the top of the page.
    auto* levels = panel->findChild<QWidget*>("levelList");
    auto* strips = panel->findChild<QWidget*>("mixConsole");
    ASSERT_TRUE(levels && strips);
    EXPECT_LT(levels->width(), strips->width());
    EXPECT_LT(strips->mapTo(panel.get(), QPoint(0, 0)).x(), panel->width() / 2);
    EXPECT_LT(panel->findChild<QWidget*>("mixListContainer")->mapTo(panel.get(), QPoint(0, 0)).y(), 30);
    panel->nextPage();
    grabScreen(host, "MixViewUI_step3");
    EXPECT_TRUE(pictureCheck::showsWhole(host, {panel.get()}));
}
