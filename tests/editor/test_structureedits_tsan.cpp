// The editor driven as an author does it: audio files imported on the worker under the progress
// dialog with the stereo question, a group made in its dialog, rules made in the constraint
// dialog (one of them refused), a rename, a new colour and a deletion; the project and the
// constraints page are checked after each step.
#include "AuthorPrompts.h"
#include "DlgCreateConstt.h"
#include "DlgNewGroupUI.h"
#include "DlgProgBar.h"
#include "ExcluWidget.h"
#include "KCheckBoxDlg.h"
#include "KCheckBoxMultiDlg.h"
#include "MainWindowFixture.h"
#include "ProjectFixture.h"
#include "SonaricParams.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include <functional>

namespace {

QStringList rows(ExcluWidget* page, KObjFile::EConst kind)
{
    QStringList shown;
    QTableWidget* table = page->table(kind);
    for (int row = 0; row < table->rowCount(); ++row)
        shown << table->item(row, 0)->text() + " > " + table->item(row, 1)->text();
    return shown;
}

class AuthorSession : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        window->getParams()->setImportStereoMode(SonaricEnums::ImportAsk);
        window->getParams()->setImportStereoConvert(SonaricEnums::ConvertAsk);
        ASSERT_TRUE(window->newProject(false));
        doc = window->getTovraFile();
        page = window->getExcluWidget();
    }

    // The constraint dialog the command opened, filled and confirmed.
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

    fixtures::TempDir dir;
    KCtrlFile* doc = nullptr;
    ExcluWidget* page = nullptr;
    Author author;
};

TEST_F(AuthorSession, ImportsGroupsRulesRenamesRecoloursAndDeletes)
{
    // 1. Import: three WAV files, one of them stereo, and a file that is no audio at all.
    QFile notes(QString::fromStdString(dir.file("notes.wav")));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("not samples");
    notes.close();
    const QStringList files = {sineTrack(dir, "kick.wav"), stereoTrack(dir, "pads.wav"), notes.fileName(),
                               sineTrack(dir, "bass.wav")};
    author.drive = [](QDialog* dialog) {
        if (auto* question = qobject_cast<KCheckBoxDlg*>(dialog)) {
            question->setChecked(true); // convert, and remember
            return 1;
        }
        if (qobject_cast<KCheckBoxMultiDlg*>(dialog))
            return int(QDialog::Accepted); // a new file with the suffix "_mono"
        return 0;
    };
    window->importAudioPath(files);
    EXPECT_EQ(doc->getTrackNames(), QStringList({"kick", "pads", "bass"}));
    ASSERT_FALSE(author.asked.isEmpty());
    EXPECT_TRUE(author.asked.first().contains("\"notes.wav\"")) << author.asked.join("|").toStdString();
    EXPECT_EQ(doc->getTrackChannels("pads"), 1);
    EXPECT_EQ(QFileInfo(doc->getTrackPath("pads")).fileName(), "pads_mono.wav");
    EXPECT_EQ(window->getParams()->getImportStereoMode(), SonaricEnums::ImportConvertMono);
    EXPECT_EQ(window->getParams()->getLastImportDirectory(), QFileInfo(files[0]).absolutePath());
    EXPECT_TRUE(window->hasTrack());
    EXPECT_FALSE(window->hasTrackInStructure());

    // 2. Groups dropped on the tree's root: kick and pads with at most one of them playing, and
    // bass alone.
    QString groupName;
    int groupMax = 0;
    author.drive = [&](QDialog* shown) {
        const Ui_Dialog& form = static_cast<DlgNewGroupUI*>(shown)->form();
        form.nameLineEdit->setText(groupName);
        form.maxSpinBox->setValue(groupMax);
        QTest::mouseClick(form.okButton, Qt::LeftButton);
        return shown->result();
    };
    groupName = "Beat";
    groupMax = 1;
    window->dropOnRootTV({"kick", "pads"});
    EXPECT_EQ(doc->getSubElt("Beat"), QStringList({"kick", "pads"}));
    EXPECT_EQ(doc->getGroupMaxPlay("Beat"), 1);
    EXPECT_TRUE(window->hasTrackInStructure());
    groupName = "Low";
    window->dropOnRootTV({"bass"});
    EXPECT_EQ(doc->getSubElt("Low"), QStringList({"bass"}));

    // 3. An exclusion and an implication from the constraint dialog.
    const int hiddenBefore = doc->contraintNames().size();
    makeRule(22, "kick", "bass");
    makeRule(21, "bass", "pads");
    EXPECT_EQ(rows(page, KObjFile::Exclusion), QStringList({"kick > bass"}));
    EXPECT_EQ(rows(page, KObjFile::Implication), QStringList({"bass > pads"}));
    EXPECT_EQ(doc->contraintNames().size(), hiddenBefore + 2);

    // A rule that would silence a track is refused: project and page stay as they were.
    const QString before = projectText(*doc);
    author.button = QMessageBox::Abort;
    makeRule(21, "pads", "kick");
    author.button = QMessageBox::Ok;
    EXPECT_EQ(projectText(*doc), before);
    EXPECT_EQ(rows(page, KObjFile::Implication), QStringList({"bass > pads"}));

    // 4. Rename a track in the track dialog.
    author.drive = [](QDialog* dialog) {
        dialog->findChild<QLineEdit*>("lineEdit2")->setText("sub");
        QTest::mouseClick(dialog->findChild<QPushButton*>("okButton_4"), Qt::LeftButton);
        return dialog->result();
    };
    EXPECT_TRUE(window->renameAudio("bass"));
    EXPECT_FALSE(doc->isElement("bass"));
    EXPECT_EQ(rows(page, KObjFile::Exclusion), QStringList({"kick > sub"}));
    EXPECT_EQ(rows(page, KObjFile::Implication), QStringList({"sub > pads"}));

    // 5. Recolour the group: it and its tracks.
    const QColor green = ZazuzoziZadiviDU::elementPalette().at(5);
    window->setElementColour("Beat", green);
    for (const QString name : {"Beat", "kick", "pads"})
        EXPECT_EQ(doc->getEltColor(name), green) << name.toStdString();

    // 6. Delete a track: its rules go from the project and the page.
    ASSERT_TRUE(doc->removeElement("kick"));
    EXPECT_FALSE(doc->isElement("kick"));
    EXPECT_EQ(doc->getSubElt("Beat"), QStringList({"pads"}));
    EXPECT_TRUE(rows(page, KObjFile::Exclusion).isEmpty());
    EXPECT_EQ(rows(page, KObjFile::Implication), QStringList({"sub > pads"}));
    EXPECT_EQ(doc->contraintNames().size(), hiddenBefore + 1);
}

// "Ignorer tout" ends the stereo questions of this import at once; nothing is remembered.
TEST_F(AuthorSession, IgnoreAllEndsTheStereoQuestions)
{
    int questions = 0;
    author.drive = [&questions](QDialog*) {
        ++questions;
        return 2;
    };
    window->importAudioPath({stereoTrack(dir, "a.wav"), stereoTrack(dir, "b.wav")});
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(doc->getTrackChannels("a"), 2);
    EXPECT_EQ(doc->getTrackChannels("b"), 2);
    EXPECT_EQ(window->getParams()->getImportStereoMode(), SonaricEnums::ImportAsk);
}

} // namespace
