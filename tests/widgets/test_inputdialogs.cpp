// The text input dialogs and the check-box question box, answered through clicks and keys.
#include "DlgInputUI.h"
#include "DlgSingleInputUI.h"
#include "KCheckBoxDlg.h"
#include "KInputUrl.h"
#include "KPrompt.h"
#include "WidgetTestEnv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
bool notEmpty(const QString& text)
{
    return !text.trimmed().isEmpty();
}

template <typename T>
T* child(QWidget* parent, const char* name)
{
    T* found = parent->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Answers every modal dialog of our own by running the given steps on it.
struct DialogDriver {
    explicit DialogDriver(std::function<void(QDialog*)> steps)
    {
        KPrompt::setHandler([steps](const KPrompt::Request& request) {
            KPrompt::Answer answer;
            if (request.kind == KPrompt::Dialog) {
                request.dialog->show();
                steps(request.dialog);
                answer.button = request.dialog->result();
            }
            return answer;
        });
    }
    ~DialogDriver() { KPrompt::setHandler({}); }
};
}

TEST(DlgInputUI, CheckerGuardsOkFromTheFirstKeystroke)
{
    DlgInputUI dialog(nullptr);
    dialog.show();
    auto* ok = child<QPushButton>(&dialog, "okButton_4");
    auto* edit2 = child<QLineEdit>(&dialog, "lineEdit2");
    dialog.setValuesChecker(notEmpty);
    EXPECT_FALSE(ok->isEnabled());
    QTest::keyClicks(edit2, "a");
    EXPECT_TRUE(ok->isEnabled());
    QTest::keyClick(edit2, Qt::Key_Backspace);
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_EQ(ok->text(), QString("Ok"));
    EXPECT_EQ(child<QPushButton>(&dialog, "cancelButton_4")->text(), QString("Annuler"));
    EXPECT_TRUE(child<QLineEdit>(&dialog, "lineEdit1")->isReadOnly());
    EXPECT_EQ(dialog.size(), QSize(300, 110));
}

TEST(DlgInputUI, CancelEmptiesBothFieldsAndOkKeepsThem)
{
    for (const char* button : {"cancelButton_4", "okButton_4"}) {
        DlgInputUI dialog(nullptr);
        dialog.setTexts("piste.wav", "Batterie");
        dialog.show();
        QSignalSpy rejected(&dialog, &QDialog::rejected);
        QTest::mouseClick(child<QPushButton>(&dialog, button), Qt::LeftButton);
        const bool cancelled = QString(button).startsWith("cancel");
        EXPECT_EQ(dialog.result(), cancelled ? 0 : 1);
        EXPECT_EQ(rejected.count(), cancelled ? 1 : 0);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.getText(1), cancelled ? QString() : QString("piste.wav"));
        EXPECT_EQ(dialog.getText(2), cancelled ? QString() : QString("Batterie"));
        EXPECT_EQ(dialog.getTexts().size(), 2);
    }
}

TEST(DlgInputUI, ToolButtonFillsTheFirstFieldFromTheChooser)
{
    QString answer = QString::fromUtf8("/tmp/dossier|é/piste 1.wav");
    KPrompt::Request asked;
    KPrompt::setHandler([&](const KPrompt::Request& request) {
        asked = request;
        KPrompt::Answer reply;
        reply.text = answer;
        reply.ok = !answer.isEmpty();
        return reply;
    });
    DlgInputUI dialog(nullptr);
    dialog.setTexts("/tmp/ancien.wav", "");
    dialog.show();
    QTest::mouseClick(child<QToolButton>(&dialog, "toolButton"), Qt::LeftButton);
    EXPECT_EQ(asked.kind, KPrompt::OpenFileName);
    EXPECT_EQ(asked.title, QString("Import Audio File"));
    EXPECT_EQ(asked.text, QString("/tmp/ancien.wav"));
    EXPECT_EQ(asked.filter, QString("Audio files (*.wav *.wave)"));
    EXPECT_EQ(dialog.getText(1), answer);

    answer.clear();
    QTest::mouseClick(child<QToolButton>(&dialog, "toolButton"), Qt::LeftButton);
    EXPECT_EQ(dialog.getText(1), QString::fromUtf8("/tmp/dossier|é/piste 1.wav"));
    KPrompt::setHandler({});
}

TEST(DlgInputUI, OpenInputDialogReturnsTheTextsOrNothing)
{
    QString name = "Refrain", description = "Entrée";
    const struct {
        QString* text1;
        QString* text2;
        const char* button;
        QStringList expected;
    } cases[] = {
        {&name, &description, "okButton_4", {"Refrain", QString::fromUtf8("Entrée")}},
        {&name, nullptr, "okButton_4", {"", ""}},
        {nullptr, &description, "okButton_4", {"", ""}},
        {&name, &description, "cancelButton_4", {}},
    };
    for (const auto& c : cases) {
        bool toolHidden = false, firstEditable = false;
        DialogDriver driver([&](QDialog* dialog) {
            toolHidden = !child<QToolButton>(dialog, "toolButton")->isVisible();
            firstEditable = !child<QLineEdit>(dialog, "lineEdit1")->isReadOnly();
            QTest::mouseClick(child<QPushButton>(dialog, c.button), Qt::LeftButton);
        });
        EXPECT_EQ(DlgInputUI::openInputDialog("Nom", "Description", c.text1, c.text2), c.expected);
        EXPECT_TRUE(toolHidden);
        EXPECT_TRUE(firstEditable);
    }
}

TEST(DlgSingleInputUI, CancelPutsBackTheGivenTextAndState)
{
    QWidget parent;
    QFont big = parent.font();
    big.setPointSize(14);
    parent.setFont(big);
    const struct {
        const char* button;
        QString text;
        bool checked;
    } cases[] = {{"cancelButton", "a", true}, {"okButton", "ab", false}};
    for (const auto& c : cases) {
        DlgSingleInputUI dialog(&parent);
        dialog.setText("a");
        dialog.setChecked(true);
        dialog.setLabelCheckBox("Partager");
        dialog.show();
        EXPECT_EQ(child<QLineEdit>(&dialog, "lineEdit")->font().pointSize(), 14);
        QTest::keyClicks(child<QLineEdit>(&dialog, "lineEdit"), "b");
        QTest::keyClick(child<QCheckBox>(&dialog, "checkBox"), Qt::Key_Space);
        QTest::mouseClick(child<QPushButton>(&dialog, c.button), Qt::LeftButton);
        EXPECT_EQ(dialog.getText(), c.text);
        EXPECT_EQ(dialog.isChecked(), c.checked);
        EXPECT_EQ(dialog.result(), QString(c.button) == "okButton" ? 1 : 0);
    }
    DlgSingleInputUI parentless(nullptr);
    EXPECT_EQ(parentless.font().pointSize(), 9);
    parentless.setChecked(true);
    parentless.setEnabledCheckBox(false);
    EXPECT_FALSE(parentless.isChecked());
}

TEST(KInputUrl, OpenGivesTheTypedTextOrANullString)
{
    const struct {
        const char* button;
        bool null;
    } cases[] = {{"cancelButton", true}, {"openButton", false}};
    for (const auto& c : cases) {
        DialogDriver driver([&](QDialog* dialog) {
            auto* combo = child<QComboBox>(dialog, "comboBox");
            combo->setCurrentText("");
            QTest::keyClicks(combo, "x");
            QTest::mouseClick(child<QPushButton>(dialog, c.button), Qt::LeftButton);
        });
        const QString url = KInputUrl::open(nullptr, {"http://a.invalid", "http://b.invalid"});
        EXPECT_EQ(url.isNull(), c.null);
        if (!c.null) {
            EXPECT_EQ(url, QString("x"));
        }
    }
}

TEST(KCheckBoxDlg, ExecReturnsWhatTheUserChose)
{
    const struct {
        const char* how;
        int expected;
    } cases[] = {{"acceptButt", 1}, {"rejectButt", 0}, {"ignoreAllButton", 2}, {"escape", 0}};
    for (const auto& c : cases) {
        KCheckBoxDlg dialog("Conversion", "Convertir en mono ?", "Se souvenir", "Convertir",
                            "Ignorer", false, nullptr, "Ignorer tout");
        QTimer::singleShot(0, &dialog, [&] {
            if (QString(c.how) == "escape")
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else {
                QTest::mouseClick(child<QCheckBox>(&dialog, "checkBox"), Qt::LeftButton);
                QTest::mouseClick(child<QPushButton>(&dialog, c.how), Qt::LeftButton);
            }
        });
        EXPECT_EQ(dialog.exec(), c.expected) << c.how;
        EXPECT_EQ(dialog.isChecked(), QString(c.how) != "escape") << c.how;
    }
}

TEST(KCheckBoxDlg, EmptyTextsHideTheLabelAndTheThirdButton)
{
    KCheckBoxDlg dialog("Titre", "", "Niveau minimum", "Oui", "Non", true, nullptr);
    dialog.show();
    EXPECT_FALSE(child<QLabel>(&dialog, "label")->isVisible());
    EXPECT_FALSE(child<QPushButton>(&dialog, "ignoreAllButton")->isVisible());
    EXPECT_TRUE(dialog.isChecked());
    auto* layout = qobject_cast<QVBoxLayout*>(dialog.layout());
    const int count = layout->count();
    dialog.setWidget(nullptr);
    EXPECT_EQ(layout->count(), count);
    auto* extra = new QLineEdit("-12 dB");
    dialog.setWidget(extra);
    EXPECT_EQ(layout->indexOf(extra), 1);
    dialog.setLabel("Fixer un niveau minimum ?");
    EXPECT_TRUE(child<QLabel>(&dialog, "label")->isVisible());
}

// A message of several wrapped lines with a widget under it: shown, the dialog is tall enough
// for every line of the message and for the widget, at its start width.
TEST(KCheckBoxDlg, LongMessageAndInsertedWidgetShowWhole)
{
    QString message;
    for (int line = 0; line < 5; ++line)
        message += "Une phrase assez longue pour passer à la ligne dans une boîte de quatre cents points.\n";
    KCheckBoxDlg dialog("Piste", message, "Se souvenir", "Ok", "Annuler", false, nullptr);
    auto* extra = new QWidget;
    extra->setMinimumHeight(120);
    dialog.setWidget(extra);
    dialog.show();
    QApplication::processEvents();
    auto* label = child<QLabel>(&dialog, "label");
    EXPECT_EQ(dialog.width(), 400);
    EXPECT_GE(label->height(), label->heightForWidth(label->width()));
    EXPECT_GE(extra->height(), 120);
    EXPECT_GE(dialog.height(), dialog.heightForWidth(dialog.width()));
}

TEST(InputDialogs, Screens)
{
    DlgInputUI input(nullptr);
    input.setWindowTitle("Renommer la piste");
    input.setLabels("Fichier", "Nom");
    input.setTexts("/musique/batterie.wav", "Batterie");
    grabScreen(input, "dlg_input");
    EXPECT_TRUE(pictureCheck::showsWhole(input, pictureCheck::named(&input, {"label1", "label2", "lineEdit1", "lineEdit2",
                                                                  "toolButton", "okButton_4", "cancelButton_4"})));

    DlgSingleInputUI single(nullptr);
    single.setTitle("Nouveau mix");
    single.setLabel("Nom du mix :");
    single.setText("Mix 1");
    single.setLabelCheckBox("Partager");
    grabScreen(single, "dlg_single_input");
    EXPECT_TRUE(pictureCheck::showsWhole(
        single, pictureCheck::named(&single, {"label", "lineEdit", "checkBox", "okButton", "cancelButton"})));

    KInputUrl url(nullptr);
    url.setItems({"http://exemple.invalid/projet"});
    grabScreen(url, "dlg_input_url");
    EXPECT_TRUE(pictureCheck::showsWhole(url, pictureCheck::named(&url, {"comboBox", "openButton", "cancelButton"})));

    KCheckBoxDlg question("Import", "Ce fichier est en stéréo. Le convertir en mono ?",
                          "Se souvenir de ce choix", "Convertir", "Ignorer", false, nullptr,
                          "Ignorer tout");
    grabScreen(question, "dlg_checkbox");
    EXPECT_TRUE(pictureCheck::showsWhole(question, pictureCheck::named(&question, {"label", "checkBox", "acceptButt",
                                                                         "rejectButt", "ignoreAllButton"})));
}
