#include "../document/ElementTestEnv.h"
#include "UrlRecorder.h"
#include "DlgInputUI.h"
#include "KBandLinkValid.h"
#include "ProjectPropUI.h"

#include <QComboBox>

#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QDate>
#include <QTest>

namespace {
// Answers every input dialog with the next pair of texts (an empty pair cancels) and every box
// with Ok, counting the boxes.
struct Answers {
    explicit Answers(QList<QStringList> pairs) : pairs(std::move(pairs))
    {
        previous = KPrompt::setHandler([this](const KPrompt::Request& request) {
            KPrompt::Answer answer;
            if (request.kind == KPrompt::Dialog) {
                auto* dialog = static_cast<DlgInputUI*>(request.dialog);
                asked << dialog->getTexts();
                const QStringList texts = this->pairs.takeFirst();
                if (texts.isEmpty())
                    return answer;
                dialog->setTexts(texts[0], texts[1]);
                answer.button = QDialog::Accepted;
                return answer;
            }
            ++boxes;
            answer.button = QMessageBox::Ok;
            return answer;
        });
    }
    ~Answers() { KPrompt::setHandler(previous); }
    QList<QStringList> pairs;
    QList<QStringList> asked;
    int boxes = 0;
    KPrompt::Handler previous;
};

struct Panel {
    QWidget host;
    ProjectPropUI* panel = new ProjectPropUI(&host);
    template <typename T> T* child(const char* name) const { return panel->findChild<T*>(name); }
    QPushButton* button(const char* name) const { return child<QPushButton>(name); }
};

QStringList metadata(KObjFile& document)
{
    QStringList pairs;
    for (const char* key : {"TITLE", "AUTHOR", "COPYRIGHT", "ALBUM", "STYLE", "YEAR"})
        if (!document.getMediaInfo(key).isEmpty())
            pairs << key << document.getMediaInfo(key);
    return pairs + document.getOtherMediaInfos();
}
} // namespace

TEST(KBandLinkValid, PrefixesDecideWhileTypingAndWhenDone)
{
    KBandLinkValid validator(nullptr);
    const QString www = KBandLinkValid::ValidPrefixes[0];
    const QString http = KBandLinkValid::ValidPrefixes[1];
    const QString httpWww = KBandLinkValid::ValidPrefixes[2];
    const struct {
        QString text;
        int pos;
        QValidator::State state;
    } cases[] = {
        {"", 0, QValidator::Intermediate},
        {"w", 1, QValidator::Intermediate},
        {"http://w", 8, QValidator::Intermediate},
        {www, int(www.size()), QValidator::Intermediate},
        {www + "band", int(www.size()) + 4, QValidator::Acceptable},
        {http + "b", int(http.size()) + 1, QValidator::Acceptable},
        {httpWww + "b", int(httpWww.size()) + 1, QValidator::Acceptable},
        {"x", 1, QValidator::Invalid},
        {"ftp://a/b/c/d/e/f/g/h/i/j/k/l", 30, QValidator::Invalid},
        // The cursor inside the prefix of a longer text refuses the edit.
        {www + "band", 2, QValidator::Invalid},
    };
    for (const auto& c : cases) {
        QString text = c.text;
        int pos = c.pos;
        EXPECT_EQ(validator.validate(text, pos), c.state) << c.text.toStdString() << " @" << c.pos;
    }
}

TEST(ProjectPropUI, FreshPanelSavesOnlyTheYear)
{
    Panel p;
    Document document;
    document.setMediaInfo("AUTHOR", "old");
    ASSERT_TRUE(p.panel->saveMediaSong(&document));
    // The year is this year's.
    EXPECT_EQ(metadata(document), QStringList({"YEAR", QString::number(QDate::currentDate().year())}));
    EXPECT_FALSE(p.panel->saveMediaSong(nullptr));
    EXPECT_FALSE(p.button("modifyButton")->isEnabled());
    EXPECT_FALSE(p.button("deleteButton")->isEnabled());
    EXPECT_FALSE(p.button("checkButton")->isEnabled());
}

TEST(ProjectPropUI, MetadataRoundTripsThroughTheDocument)
{
    const QString link = KBandLinkValid::ValidPrefixes[2] + "my-band";
    Document source;
    const QStringList pairs{"TITLE", "Night", "AUTHOR", "Ana", "COPYRIGHT", "(c) Ana", "ALBUM", "Dawn",
                            "STYLE", "Chiptune", "YEAR", "1999", "RAVERUREZI_BANDLINK", link,
                            "iTUNES_LINK", "https://music.example/x", "Zeta", "last", "Label", "Indie"};
    for (int i = 0; i < pairs.size(); i += 2)
        ASSERT_TRUE(source.setMediaInfo(pairs[i], pairs[i + 1]));
    Panel p;
    p.panel->setMediaSong(&source);
    EXPECT_EQ(p.panel->getDefineInfo(Snc::Style), "Chiptune");
    EXPECT_EQ(p.panel->getDefineInfo(Snc::Year), "1999");
    EXPECT_EQ(p.panel->getDefineInfo(Snc::BandLink), link);
    EXPECT_TRUE(p.button("checkButton")->isEnabled());
    // Links are never rows; the rows are sorted by name.
    EXPECT_EQ(p.panel->getUserLabels(), QStringList({"Label", "Zeta"}));
    EXPECT_EQ(p.panel->getUserValues(), QStringList({"Indie", "last"}));
    // Showing the project again shows each row once.
    p.panel->setMediaSong(&source);
    EXPECT_EQ(p.panel->getUserLabels(), QStringList({"Label", "Zeta"}));

    Document target;
    ASSERT_TRUE(p.panel->saveMediaSong(&target));
    QStringList expected{"TITLE", "Night", "AUTHOR", "Ana", "COPYRIGHT", "(c) Ana", "ALBUM", "Dawn",
                         "STYLE", "Chiptune", "YEAR", "1999", "RAVERUREZI_BANDLINK", link,
                         "iTUNES_LINK", "https://music.example/x", "Label", "Indie", "Zeta", "last"};
    EXPECT_EQ(metadata(target), expected);

    // The caret's place in the field never decides whether the link is kept.
    p.child<QLineEdit>("bandLinkLineEdit")->setCursorPosition(0);
    Document again;
    ASSERT_TRUE(p.panel->saveMediaSong(&again));
    EXPECT_EQ(again.getMediaInfo("RAVERUREZI_BANDLINK"), link);
}

TEST(ProjectPropUI, YearAndBandLinkEdgeCases)
{
    Panel p;
    const struct {
        QString given;
        QString read;
    } years[] = {{"1999", "1999"}, {"1850", "1900"}, {"3000", "2100"}, {"abc", ""}, {"0", ""}};
    for (const auto& row : years) {
        p.panel->setDefineInfo(Snc::Year, row.given);
        EXPECT_EQ(p.panel->getDefineInfo(Snc::Year), row.read) << row.given.toStdString();
    }
    // A project without a year is saved without one.
    Document document;
    ASSERT_TRUE(p.panel->saveMediaSong(&document));
    EXPECT_EQ(document.getMediaInfo("YEAR"), "");

    // A bare prefix, or a link from the document that the validator refuses, is shown but
    // neither checkable nor saved; one character more makes it acceptable.
    for (const QString& link : {KBandLinkValid::ValidPrefixes[0], QString("ftp://elsewhere/band")}) {
        p.panel->setDefineInfo(Snc::BandLink, link);
        EXPECT_EQ(p.child<QLineEdit>("bandLinkLineEdit")->text(), link);
        EXPECT_TRUE(p.panel->getDefineInfo(Snc::BandLink).isNull());
        EXPECT_FALSE(p.button("checkButton")->isEnabled());
    }
    p.panel->setDefineInfo(Snc::BandLink, KBandLinkValid::ValidPrefixes[0] + "b");
    EXPECT_TRUE(p.button("checkButton")->isEnabled());
    EXPECT_TRUE(p.panel->getDefineInfo(Snc::EMediaSong(8)).isNull());
}

TEST(ProjectPropUI, PropertyRowsAreAskedModifiedAndDeleted)
{
    Panel p;
    Answers answers({{"Mood", "calm"}, {"Alpha", "1"}, {"", "x"}, {"Label", ""}, {}, {"Beta", "2"}});
    p.button("AddProp_Button")->click();
    EXPECT_TRUE(p.button("modifyButton")->isEnabled());
    p.button("AddProp_Button")->click();
    EXPECT_EQ(p.panel->getUserLabels(), QStringList({"Alpha", "Mood"}));
    // Empty names or values are refused with a message; a cancel adds nothing.
    for (int i = 0; i < 3; ++i)
        p.button("AddProp_Button")->click();
    EXPECT_EQ(answers.boxes, 2);
    EXPECT_EQ(p.panel->getUserLabels(), QStringList({"Alpha", "Mood"}));

    // Modify offers the current row's texts and does not re-sort.
    auto* table = p.child<QTableWidget>("tableWidget");
    table->setCurrentCell(0, 0);
    p.button("modifyButton")->click();
    EXPECT_EQ(answers.asked.last(), QStringList({"Alpha", "1"}));
    EXPECT_EQ(p.panel->getUserLabels(), QStringList({"Beta", "Mood"}));
    EXPECT_EQ(p.panel->getUserValues(), QStringList({"2", "calm"}));

    for (int i = 0; i < 2; ++i) {
        table->setCurrentCell(0, 0);
        p.button("deleteButton")->click();
    }
    EXPECT_TRUE(p.panel->getUserLabels().isEmpty());
    EXPECT_FALSE(p.button("modifyButton")->isEnabled());
    EXPECT_FALSE(p.button("deleteButton")->isEnabled());
}

TEST(ProjectPropUI, RefusedRowFailsTheSaveBeforeAnythingIsRemoved)
{
    Panel p;
    p.panel->setUserValue("Alpha", "1");
    p.panel->setUserValue("Empty", "");
    Document document;
    document.setMediaInfo("TITLE", "kept");
    EXPECT_FALSE(p.panel->saveMediaSong(&document));
    EXPECT_EQ(document.getMediaInfo("TITLE"), "kept");
}

TEST(ProjectPropUI, LinksOpenInTheBrowserAndHelpBoxesShow)
{
    UrlRecorder opener({"http", "https"});
    Panel p;
    const QString link = KBandLinkValid::ValidPrefixes[1] + "band";
    p.panel->setDefineInfo(Snc::BandLink, link);
    p.panel->setDefineInfo(Snc::ITunesLink, "https://music.example/a");
    p.panel->checkAction();
    p.panel->checkAction_2();
    EXPECT_EQ(opener.opened, QList<QUrl>({QUrl(link), QUrl("https://music.example/a")}));

    Answers answers({});
    p.panel->infoAction();
    p.panel->infoAction_2();
    EXPECT_EQ(answers.boxes, 2);
}

TEST(ProjectPropUI, Screen)
{
    Panel p;
    p.panel->setDefineInfo(Snc::Title, "Night drive");
    p.panel->setDefineInfo(Snc::Author, "Ana");
    p.panel->setDefineInfo(Snc::Style, "Jazz");
    p.panel->setDefineInfo(Snc::BandLink, KBandLinkValid::ValidPrefixes[2] + "ana");
    p.panel->setUserValue("Label", "Indie");
    p.panel->setUserValue("Mood", "calm");
    p.host.resize(560, 400);
    p.panel->resize(560, 400);
    grabScreen(p.host, "ProjectPropUI");
    EXPECT_TRUE(pictureCheck::showsWhole(p.host, {p.panel}));
}

#include "moc_UrlRecorder.cpp"
