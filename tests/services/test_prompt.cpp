#include "KPrompt.h"
#include "QtAppEnvironment.h"

#include <QDialog>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {
// Installs a handler for one test and restores the standard dialogs afterwards.
class PromptTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        KPrompt::setHandler([this](const KPrompt::Request& request) {
            asked << request;
            return answer;
        });
    }
    void TearDown() override { KPrompt::setHandler(nullptr); }

    QList<KPrompt::Request> asked;
    KPrompt::Answer answer;
};
} // namespace

TEST_F(PromptTest, MessageBoxesReachTheHandlerWithWhatWasAsked)
{
    answer.button = QMessageBox::Abort;
    QWidget parent;
    EXPECT_EQ(KPrompt::warning(&parent, "Attention", "Continuer ?",
                               QMessageBox::Ignore | QMessageBox::Abort, QMessageBox::Abort),
              QMessageBox::Abort);
    EXPECT_EQ(KPrompt::critical(nullptr, "Erreur", "Impossible"), QMessageBox::Abort);
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[0].kind, KPrompt::Warning);
    EXPECT_EQ(asked[0].parent, &parent);
    EXPECT_EQ(asked[0].title, "Attention");
    EXPECT_EQ(asked[0].text, "Continuer ?");
    EXPECT_EQ(asked[0].buttons, QMessageBox::Ignore | QMessageBox::Abort);
    EXPECT_EQ(asked[0].defaultButton, QMessageBox::Abort);
    EXPECT_EQ(asked[1].kind, KPrompt::Critical);
    EXPECT_EQ(asked[1].buttons, QMessageBox::Ok);
}

TEST_F(PromptTest, ChoosersAndInputsReturnTheAnswerOrNothingWhenCancelled)
{
    answer.ok = true;
    answer.text = "/tmp/a.tvprj";
    answer.texts = QStringList{"/tmp/1.wav", "/tmp/2.wav"};
    answer.number = 7;
    EXPECT_EQ(KPrompt::getOpenFileName(nullptr, "Ouvrir", "/tmp", "(*.tvprj)"), "/tmp/a.tvprj");
    EXPECT_EQ(asked.last().filter, "(*.tvprj)");
    EXPECT_EQ(asked.last().text, "/tmp");
    EXPECT_EQ(KPrompt::getOpenFileNames(), answer.texts);
    EXPECT_EQ(KPrompt::getSaveFileName(), "/tmp/a.tvprj");
    EXPECT_EQ(KPrompt::getExistingDirectory(), "/tmp/a.tvprj");
    bool ok = false;
    EXPECT_EQ(KPrompt::getText(nullptr, "Nom", "Nom :", QLineEdit::Normal, "x", &ok), "/tmp/a.tvprj");
    EXPECT_TRUE(ok);
    EXPECT_EQ(asked.last().value, "x");
    EXPECT_EQ(KPrompt::getInt(nullptr, "N", "n", 3, 0, 10, 1, &ok), 7);
    EXPECT_DOUBLE_EQ(KPrompt::getDouble(nullptr, "N", "n", 3.5), 7.0);

    answer.ok = false;
    EXPECT_TRUE(KPrompt::getOpenFileName().isNull());
    EXPECT_TRUE(KPrompt::getOpenFileNames().isEmpty());
    EXPECT_TRUE(KPrompt::getText(nullptr, "Nom", "Nom :", QLineEdit::Normal, "x", &ok).isNull());
    EXPECT_FALSE(ok);
    EXPECT_EQ(KPrompt::getInt(nullptr, "N", "n", 3, 0, 10, 1, &ok), 3);
    EXPECT_EQ(KPrompt::getItem(nullptr, "C", "c", {"a", "b"}, 1, false, &ok), "b");
    EXPECT_EQ(asked.last().items, (QStringList{"a", "b"}));
}

TEST_F(PromptTest, OwnDialogsCanBeDrivenByTheHandler)
{
    QDialog dialog;
    dialog.setWindowTitle("Choix");
    auto* button = new QPushButton("OK", &dialog);
    QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::accept);
    KPrompt::setHandler([](const KPrompt::Request& request) {
        EXPECT_EQ(request.kind, KPrompt::Dialog);
        EXPECT_EQ(request.title, "Choix");
        request.dialog->findChild<QPushButton*>()->click();
        KPrompt::Answer answer;
        answer.button = request.dialog->result();
        return answer;
    });
    EXPECT_EQ(KPrompt::exec(&dialog), QDialog::Accepted);
    EXPECT_EQ(KPrompt::exec(nullptr), QDialog::Rejected);
}

TEST(Prompt, WithoutAHandlerTheStandardDialogRuns)
{
    ASSERT_FALSE(KPrompt::hasHandler());
    QDialog dialog;
    // Close the real modal dialog as soon as it shows.
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.done(QDialog::Accepted); });
    EXPECT_EQ(KPrompt::exec(&dialog), QDialog::Accepted);
    QTimer::singleShot(0, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(KPrompt::information(nullptr, "Info", "Texte"), QMessageBox::Ok);
}
