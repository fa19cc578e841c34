#include "../engine/AudioFixtures.h"
#include "../widgets/WidgetTestEnv.h"
#include "KCheckAudioDlg.h"
#include "KPrompt.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {
// Answers the file chooser from a list (an empty entry cancels) and every box with Ok.
struct Chooser {
    explicit Chooser(const QStringList& files) : answers(files)
    {
        previous = KPrompt::setHandler([this](const KPrompt::Request& request) {
            asked << request;
            KPrompt::Answer answer;
            if (request.kind == KPrompt::OpenFileName && !answers.isEmpty()) {
                answer.text = answers.takeFirst();
                answer.ok = !answer.text.isEmpty();
            }
            answer.button = QMessageBox::Ok;
            return answer;
        });
    }
    ~Chooser() { KPrompt::setHandler(previous); }
    int count(KPrompt::Kind kind) const
    {
        int n = 0;
        for (const KPrompt::Request& request : asked)
            n += request.kind == kind;
        return n;
    }
    QStringList answers;
    QList<KPrompt::Request> asked;
    KPrompt::Handler previous;
};

class KCheckAudioDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        wav = QString::fromStdString(fixtures::writeAudio(dir.file("found.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16,
                                                          44100, 1, fixtures::sine(4410, 44100, 440, 0.5)));
        text = QString::fromStdString(dir.file("notes.txt"));
        fixtures::writeBytes(text.toStdString(), "not audio");
        // A known extension on a file that is not audio.
        fakeWav = QString::fromStdString(dir.file("fake.wav"));
        fixtures::writeBytes(fakeWav.toStdString(), "RIFF but nothing else");
    }
    QPushButton* button(const char* name) { return dialog.findChild<QPushButton*>(name); }

    fixtures::TempDir dir;
    QString wav, text, fakeWav;
    KCheckAudioDlg dialog;
};
} // namespace

TEST_F(KCheckAudioDlgTest, ShowsTheMissingFileOnly)
{
    dialog.setTrack("Drums", "/gone/drums.wav");
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Chargement d'un projet Tovra");
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(dialog.findChild<QLabel*>("labelIn1")->text(), "/gone/drums.wav");
    EXPECT_TRUE(dialog.findChild<QLabel*>("label1")->isVisible());
    EXPECT_FALSE(dialog.findChild<QLabel*>("labelIn2")->isVisible());
    EXPECT_EQ(dialog.height(), 80);
    EXPECT_EQ(button("relocateButt")->text(), "Rechercher le Fichier");
    EXPECT_EQ(button("deleteButt")->text(), "Effacer la Piste");
    grabScreen(dialog, "KCheckAudioDlg");
}

TEST_F(KCheckAudioDlgTest, RelocationLoopsUntilAnAudioFileOrCancel)
{
    const struct {
        const char* name;
        QStringList answers;
        int refusals;
        bool found;
    } rows[] = {
        {"audio file", {"W"}, 0, true},
        {"text, then audio", {"T", "W"}, 1, true},
        // Judged by opening the file, not by its extension.
        {"fake wav, then cancel", {"F", ""}, 1, false},
        {"cancel", {""}, 0, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QStringList answers;
        for (const QString& key : row.answers)
            answers << (key == "W" ? wav : key == "T" ? text : key == "F" ? fakeWav : QString());
        Chooser chooser(answers);
        dialog.setTrack(QString(), "/gone/a.wav");
        dialog.setAudioDir(QString::fromStdString(dir.path().string()));
        dialog.setFilter("Audio (*.wav)", nullptr);
        dialog.open();
        QTest::mouseClick(button("relocateButt"), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(chooser.count(KPrompt::OpenFileName), row.answers.size());
        EXPECT_EQ(chooser.count(KPrompt::Critical), row.refusals);
        for (const KPrompt::Request& request : chooser.asked) {
            if (request.kind == KPrompt::OpenFileName) {
                EXPECT_EQ(request.title, "Rechercher Fichier Audio");
                EXPECT_EQ(request.text, QString::fromStdString(dir.path().string()));
                EXPECT_EQ(request.filter, "Audio (*.wav)");
            } else {
                EXPECT_EQ(request.text, "Fichier audio non supporté !");
            }
        }
        EXPECT_EQ(dialog.getClick(), row.found);
        EXPECT_EQ(dialog.getAudioFile(), row.found ? wav : QString());
    }
}

TEST_F(KCheckAudioDlgTest, AnAnswerNeverCarriesOverToTheNextFile)
{
    // After a relocation, the next file is dropped by the delete button, by Esc, or by a new
    // setTrack that is never answered: none of them may hand out the first file's answer.
    for (const char* way : {"delete", "escape", "next"}) {
        SCOPED_TRACE(way);
        Chooser chooser({wav});
        dialog.setTrack(QString(), "/gone/a.wav");
        dialog.open();
        QTest::mouseClick(button("relocateButt"), Qt::LeftButton);
        ASSERT_EQ(dialog.getAudioFile(), wav);
        dialog.setTrack(QString(), "/gone/b.wav");
        if (QString(way) != "next") {
            dialog.open();
            if (QString(way) == "delete")
                QTest::mouseClick(button("deleteButt"), Qt::LeftButton);
            else
                QTest::keyClick(&dialog, Qt::Key_Escape);
            EXPECT_FALSE(dialog.isVisible());
        }
        EXPECT_FALSE(dialog.getClick());
        EXPECT_TRUE(dialog.getAudioFile().isEmpty());
    }
}
