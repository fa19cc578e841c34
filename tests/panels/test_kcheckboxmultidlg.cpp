#include "../widgets/WidgetTestEnv.h"
#include "KCheckBoxMultiDlg.h"
#include "KPrompt.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {
template <typename T>
T* child(QWidget& parent, const char* name)
{
    T* found = parent.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Answers every box and keeps what was asked.
struct Boxes {
    Boxes()
    {
        previous = KPrompt::setHandler([this](const KPrompt::Request& request) {
            asked << request;
            KPrompt::Answer answer;
            answer.button = QMessageBox::Ok;
            return answer;
        });
    }
    ~Boxes() { KPrompt::setHandler(previous); }
    QList<KPrompt::Request> asked;
    KPrompt::Handler previous;
};
} // namespace

TEST(KCheckBoxMultiDlg, OpensOnTheSuffixChoiceAroundTheFileName)
{
    KCheckBoxMultiDlg dialog("/x/song.take1.aif");
    EXPECT_EQ(dialog.windowTitle(), "Conversion d'une piste stéréo en mono");
    EXPECT_EQ(dialog.getChoose(), SonaricEnums::ConvertWithSuffix);
    EXPECT_EQ(dialog.getLineEditText(), "_mono");
    EXPECT_EQ(child<QLabel>(dialog, "label2")->text(), "/x/song.take1");
    EXPECT_EQ(child<QLabel>(dialog, "label3")->text(), ".aif");
    EXPECT_EQ(child<QLabel>(dialog, "label1")->text(),
              "Pour convertir le fichier stéréo \"/x/song.take1.aif\"\nen mono, vous souhaitez :");
    EXPECT_FALSE(dialog.isChecked());
    dialog.show();
    EXPECT_TRUE(child<QRadioButton>(dialog, "radioButton1")->isVisible());
    EXPECT_FALSE(child<QRadioButton>(dialog, "radioButton4")->isVisible());
    EXPECT_TRUE(child<QLineEdit>(dialog, "lineEdit")->isEnabled());
    grabScreen(dialog, "KCheckBoxMultiDlg");

    // Choosing another answer by a click disables the suffix row.
    QTest::mouseClick(child<QRadioButton>(dialog, "radioButton3"), Qt::LeftButton);
    EXPECT_EQ(dialog.getChoose(), SonaricEnums::ConvertOtherName);
    EXPECT_FALSE(child<QLineEdit>(dialog, "lineEdit")->isEnabled());
}

TEST(KCheckBoxMultiDlg, SetChooseMapsEveryAnswer)
{
    const struct {
        int given;
        SonaricEnums::EImportStereo shown;
    } rows[] = {{21, SonaricEnums::ConvertOverwrite}, {22, SonaricEnums::ConvertWithSuffix},
                {23, SonaricEnums::ConvertOtherName}, {20, SonaricEnums::ConvertWithSuffix},
                {-1, SonaricEnums::ConvertWithSuffix}};
    KCheckBoxMultiDlg dialog("/x/a.wav");
    for (const auto& row : rows) {
        dialog.setChoose(SonaricEnums::EImportStereo(row.given));
        EXPECT_EQ(dialog.getChoose(), row.shown) << row.given;
    }
}

TEST(KCheckBoxMultiDlg, ButtonsEndTheDialogAndBadSuffixesAreRefused)
{
    const struct {
        int choice;
        const char* suffix;
        const char* button;
        int result; // -1: still open
        int boxes;
    } rows[] = {
        {22, "_mono", "acceptButt", QDialog::Accepted, 0},
        {22, "_mono", "rejectButt", QDialog::Rejected, 0},
        {21, "", "rejectButt", QDialog::Rejected, 0},
        // An empty suffix would write over the source, a separator outside its folder.
        {22, "", "acceptButt", -1, 1},
        {22, "/../x", "acceptButt", -1, 1},
        {22, "..", "acceptButt", -1, 1},
        // The suffix matters only for its own choice.
        {21, "", "acceptButt", QDialog::Accepted, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.suffix) + " " + row.button);
        Boxes boxes;
        KCheckBoxMultiDlg dialog("/x/a.wav");
        dialog.setChoose(SonaricEnums::EImportStereo(row.choice));
        dialog.setLineEditText(row.suffix);
        QTest::mouseClick(child<QCheckBox>(dialog, "checkBox"), Qt::LeftButton);
        dialog.open();
        QTest::mouseClick(child<QPushButton>(dialog, row.button), Qt::LeftButton);
        EXPECT_EQ(dialog.isVisible(), row.result == -1);
        if (row.result != -1) {
            EXPECT_EQ(dialog.result(), row.result);
        }
        ASSERT_EQ(boxes.asked.size(), row.boxes);
        if (row.boxes) {
            EXPECT_EQ(boxes.asked[0].kind, KPrompt::Critical);
        }
        EXPECT_TRUE(dialog.isChecked());
    }
}
