#include "../engine/AudioFixtures.h"
#include "DlgExportToTovraUI.h"
#include "UiTestHelpers.h"
#include "KObjFile.h"
#include "SonaricParams.h"
#include "WdgFmtSndFile.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTranslator>

namespace {
constexpr int Flac = 0x170000, Raw = 0x40000;

// Answers the file chooser with a path and every box with a button, keeping what was asked.
class Answers
{
public:
    Answers(const QString& file, int button)
    {
        previous = KPrompt::setHandler([=](const KPrompt::Request& request) {
            asked << request;
            KPrompt::Answer answer;
            answer.button = button;
            answer.ok = !file.isEmpty();
            answer.text = file;
            return answer;
        });
    }
    ~Answers() { KPrompt::setHandler(previous); }
    QList<KPrompt::Request> asked;

private:
    KPrompt::Handler previous;
};
} // namespace

class ExportDialog : public BundleTest
{
protected:
    void SetUp() override
    {
        dialog.addFormat(new WdgFmtSndFile(Flac));
        dialog.addFormat(new WdgFmtSndFile(Raw));
        dialog.show();
    }
    SonaricParams params;
    DlgExportToTovraUI dialog{&params};
};

TEST_F(ExportDialog, OpensWithTheDefaultChoicesAndShowsOneOptionWidget)
{
    EXPECT_EQ(dialog.windowTitle(), "Exporter en Tovra");
    auto* rates = child<QComboBox>(dialog, "rateComboBox");
    ASSERT_EQ(rates->count(), 6);
    EXPECT_EQ(rates->itemText(0), "11025 Hz");
    EXPECT_EQ(rates->currentText(), "44100 Hz");
    EXPECT_EQ(dialog.getRate(), 44100.0);
    // Track rates join the list once each, in order.
    dialog.setAvailableRates({48000.0, 32000.0, 48000.0, 44100.0});
    EXPECT_EQ(rates->count(), 3);
    EXPECT_EQ(rates->itemText(0), "32000 Hz");
    EXPECT_EQ(dialog.getRate(), 44100.0);

    auto* formats = child<QComboBox>(dialog, "formatComboBox");
    ASSERT_EQ(formats->count(), 2);
    auto options = dialog.findChildren<WdgFmtSndFile*>();
    ASSERT_EQ(options.size(), 2);
    EXPECT_TRUE(options[0]->isVisible());
    EXPECT_FALSE(options[1]->isVisible());
    EXPECT_EQ(child<QLabel>(dialog, "optionLabel")->text(), options[0]->getOptionName());
    EXPECT_EQ(dialog.getFormat() & 0xfff0000, Flac);
    grabToScreens(&dialog, "DlgExportToTovraUI");

    formats->setCurrentIndex(1);
    EXPECT_FALSE(options[0]->isVisible());
    EXPECT_TRUE(options[1]->isVisible());
    EXPECT_EQ(dialog.getFormat() & 0xfff0000, Raw);
}

TEST_F(ExportDialog, ModeDecidesTheDefaultMixPolicy)
{
    auto* random = child<QRadioButton>(dialog, "randomRadio");
    auto* all = child<QRadioButton>(dialog, "allTracksRadio");
    const struct {
        int mode;
        bool clickAll;
        bool shown;
        int policy;
    } rows[] = {
        {1, false, true, KObjFile::DefMixPlain},
        {1, true, true, KObjFile::DefMixAllTracks},
        {0, false, false, KObjFile::DefMixNone},
        {0, true, false, KObjFile::DefMixNone}, // hidden: the stored mixes travel, whatever was picked
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.mode * 10 + row.clickAll);
        dialog.setMode(row.mode);
        EXPECT_EQ(random->isVisible(), row.shown);
        EXPECT_EQ(all->isVisible(), row.shown);
        if (row.clickAll)
            all->setChecked(true);
        EXPECT_EQ(dialog.getDefMixPolicy(), row.policy);
    }
    // Asking for the choice again starts from the random mix.
    dialog.setMode(1);
    EXPECT_TRUE(random->isChecked());
}

TEST_F(ExportDialog, ChosenFileGetsItsSuffixAndItsFolderIsRemembered)
{
    fixtures::TempDir dir;
    const QString folder = QString::fromStdString(dir.path().string());
    const struct {
        const char* chosen;
        const char* shown;
    } rows[] = {{"song.tovra", "song.tovra"}, {"song.tvr", "song.tvr"}, {"song", "song.tovra"},
                {"song.mp3", "song.mp3.tovra"}, {"song.TOVRA", "song.TOVRA.tovra"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.chosen);
        Answers answers(folder + "/" + row.chosen, QMessageBox::Ok);
        QTest::mouseClick(child<QToolButton>(dialog, "fileButton"), Qt::LeftButton);
        ASSERT_EQ(answers.asked.size(), 1);
        EXPECT_EQ(answers.asked[0].kind, KPrompt::SaveFileName);
        EXPECT_EQ(answers.asked[0].filter, " (*.tovra *.tvr)");
        EXPECT_EQ(dialog.getPath(), folder + "/" + row.shown);
        EXPECT_EQ(params.getLastExportDirectory(), folder);
    }
    // A cancelled chooser changes nothing.
    Answers none(QString(), QMessageBox::Ok);
    QTest::mouseClick(child<QToolButton>(dialog, "fileButton"), Qt::LeftButton);
    EXPECT_EQ(none.asked[0].text, folder);
    EXPECT_EQ(dialog.getPath(), folder + "/song.TOVRA.tovra");
}

TEST_F(ExportDialog, ExportAsksForATargetAndBeforeOverwritingAnUnconfirmedOne)
{
    fixtures::TempDir dir;
    const QString existing = QString::fromStdString(dir.file("old.tovra"));
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const struct {
        const char* path;
        int answer;
        int boxes;
        bool exported;
    } rows[] = {
        {"", QMessageBox::Ok, 1, false},
        {"new.tovra", QMessageBox::Ok, 0, true},
        {"old.tovra", QMessageBox::No, 1, false},
        {"old.tovra", QMessageBox::Yes, 1, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        Answers answers(QString(), row.answer);
        QSignalSpy exported(&dialog, &DlgExportToTovraUI::exported);
        dialog.setPath(*row.path ? QString::fromStdString(dir.file(row.path)) : QString());
        QTest::mouseClick(child<QPushButton>(dialog, "exportButton"), Qt::LeftButton);
        EXPECT_EQ(answers.asked.size(), row.boxes);
        EXPECT_EQ(exported.size(), row.exported ? 1 : 0);
    }
    // The file the chooser confirmed is not asked about again.
    Answers chooser(existing, QMessageBox::No);
    QSignalSpy exported(&dialog, &DlgExportToTovraUI::exported);
    QTest::mouseClick(child<QToolButton>(dialog, "fileButton"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(dialog, "exportButton"), Qt::LeftButton);
    EXPECT_EQ(chooser.asked.size(), 1);
    EXPECT_EQ(exported.size(), 1);
}

TEST_F(ExportDialog, CancelClosesTheIdleDialog)
{
    QSignalSpy cancelled(&dialog, &DlgExportToTovraUI::cancelled);
    QTest::mouseClick(child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
    EXPECT_EQ(cancelled.size(), 1);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST(ExportDialogTexts, EnglishCatalogueTranslatesTheDialog)
{
    QTranslator english;
    ASSERT_TRUE(english.load(":/TovraTr/EN"));
    QCoreApplication::installTranslator(&english);
    DlgExportToTovraUI dialog(nullptr);
    QCoreApplication::removeTranslator(&english);
    EXPECT_EQ(dialog.windowTitle(), "Export to Tovra");
    EXPECT_EQ(child<QRadioButton>(dialog, "allTracksRadio")->text(), "All stem tracks ON at file launch");
    EXPECT_EQ(child<QPushButton>(dialog, "cancelButton")->text(), "Cancel");
}
