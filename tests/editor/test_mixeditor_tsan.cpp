#include "DlgSingleInputUI.h"
#include "KCheckMixTV.h"
#include "KListWidget.h"
#include "KMasterMix.h"
#include "KSliderVol.h"
#include "KSlider.h"
#include "KSuperUI.h"
#include "KVolumeUI.h"
#include "KVolumeWdg.h"
#include "MainWindowFixture.h"
#include "MixViewUI.h"
#include "ProjectFixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTest>

#include <algorithm>
#include <cmath>

namespace {
// Names every new mix `name` and answers every box with its Yes (or Ignore for a rule check).
KPrompt::Handler namePrompt(const QString& name)
{
    return [name](const KPrompt::Request& request) {
        KPrompt::Answer answer;
        if (request.kind == KPrompt::Dialog) {
            request.dialog->findChild<QLineEdit*>("lineEdit")->setText(name);
            answer.button = 1;
            return answer;
        }
        answer.button = (request.buttons & QMessageBox::Ignore) ? QMessageBox::Ignore : QMessageBox::Yes;
        return answer;
    };
}

double peak(const std::vector<float>& samples)
{
    double top = 0.0;
    for (float s : samples)
        top = std::max(top, std::fabs(double(s)));
    return top;
}

// The mix rendered by the document to a float WAV, its peak.
double renderedPeak(KCtrlFile& document, const QString& mix, const fixtures::TempDir& dir)
{
    KStreamFormat format{};
    KStreamFormat_init(&format);
    format.code = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    format.rate = 44100;
    format.channels = 2;
    const std::string path = dir.file((mix + ".wav").toStdString());
    if (!document.exportTovixToAudioFile(mix, QString::fromStdString(path), &format, nullptr))
        return -1.0;
    return peak(fixtures::readAudio(path));
}

// Clicks the check box of the element's row in the step-1 tree.
void clickTreeRow(KCheckMixTV* tree, const QString& name)
{
    QSortFilterProxyModel* proxy = tree->proxy();
    const QModelIndex source = tree->getKModel()->getIndex(name);
    const QModelIndex index = proxy->mapFromSource(source);
    ASSERT_TRUE(index.isValid()) << name.toStdString();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());
}
} // namespace

TEST_F(MainWindowTest, MixBuiltInTheEditorPlaysAndRendersAsSetAfterReopen)
{
    fixtures::TempDir dir;
    window->createFileObj();
    KCtrlFile* document = window->getTovraFile();
    // One-second tones, long enough for the render to reach its full level.
    for (const QString name : {"bass", "drums", "voice", "keys"}) {
        const std::string path = fixtures::writeAudio(dir.file((name + ".wav").toStdString()),
                                                      SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1,
                                                      fixtures::sine(44100, 44100, 440, 0.4));
        ASSERT_EQ(document->addTrack(name, QString::fromStdString(path), nullptr), name);
    }
    ASSERT_TRUE(document->createGroupWithRemovingElements("Rhythm", {"bass", "drums"}, 0, 2));
    ASSERT_TRUE(document->createGroupWithRemovingElements("Top", {"voice", "keys"}, 0, 2));
    window->initUIForOpenedProject();
    // The reference: both tracks at unity, master at unity.
    document->setEltsStatus(false, false);
    document->setEltStatus("bass", true, false);
    document->setEltStatus("voice", true, false);
    ASSERT_TRUE(document->saveCurrentMix("Reference"));

    MixViewUI* editor = window->getMixView();
    window->resize(1000, 800);
    window->show();
    window->setCurrentTab(3);
    {
        ScopedPromptHandler prompt(namePrompt("Evening"));
        EXPECT_TRUE(window->createTovix());
    }
    ASSERT_EQ(editor->getEditedMix(), "Evening");
    editor->expandAll();
    QApplication::processEvents();
    // Step 1: the tracks that play.
    clickTreeRow(editor->getKCheckableTV(), "bass");
    clickTreeRow(editor->getKCheckableTV(), "voice");
    EXPECT_EQ(document->getPlayedTracks(), QStringList({"bass", "voice"}));
    // Step 2: what the console sets, voice 60 units down and the master 30 units down.
    editor->findChild<QPushButton*>("nextButton")->click();
    ASSERT_EQ(editor->currentStep(), 1);
    KSuperUI* console = editor->getSuperUI();
    ASSERT_NE(console->row(), nullptr);
    ASSERT_NE(console->row()->strip("voice"), nullptr);
    console->row()->strip("voice")->fader()->setValue(-60);
    console->master()->fader()->setValue(-30);
    EXPECT_EQ(document->getElementLevel("voice"), -60);
    editor->findChild<QPushButton*>("nextButton")->click();
    ASSERT_EQ(editor->currentStep(), 2);
    editor->findChild<QPushButton*>("saveButton")->click();
    EXPECT_FALSE(editor->hasUnsavedChanges());
    EXPECT_FALSE(editor->isActive());

    const QString file = QString::fromStdString(dir.file("evening.tvprj"));
    ASSERT_TRUE(window->saveTovraProject(file));
    ASSERT_TRUE(window->closeProject(false));
    EXPECT_EQ(editor->getMixList()->count(), 0);
    ASSERT_TRUE(window->openTovraProject(file));
    document = window->getTovraFile();
    EXPECT_TRUE(editor->getMixList()->contains("Evening"));
    EXPECT_EQ(document->getMixLevel("Evening"), -30);
    EXPECT_EQ(document->getMixMastering("Evening"), MixViewUI::flatMastering());

    // Gains: 30 units double a level, so voice plays at 1/4 and the master at 1/2.
    const double reference = renderedPeak(*document, "Reference", dir);
    const double evening = renderedPeak(*document, "Evening", dir);
    ASSERT_GT(reference, 0.1);
    EXPECT_NEAR(evening / reference, 0.5 * (1.0 + 0.25) / 2.0, 0.01);
    window->setCurrentTab(3);
    editor->getMixList()->setAsCurrentMix("Evening");
    QApplication::processEvents();
    EXPECT_TRUE(grabToScreens(window, "editor_mix_editor"));
}
