// The about box and the kit's identity.
#include "DlgAbout.h"
#include "KPrompt.h"
#include "WidgetKit.h"
#include "WidgetTestEnv.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTranslator>

TEST(DlgAbout, LanguageAndApplicationNameChooseTextAndButton)
{
    const struct {
        const char* appName;
        const char* language;
        bool english;
        const char* border;
    } cases[] = {
        {"Sonaric", "EN", true, "#FF9900"},  {"Sonaric", "en", false, "#FF9900"},
        {"Sonaric", "FR", false, "#FF9900"}, {"Sonaric", "", false, "#FF9900"},
        {"X Player", "EN", true, "#99FF00"}, {"x player", "EN", true, "#FF9900"},
    };
    for (const auto& c : cases) {
        DlgAbout about(":/Window/AboutFree", c.appName, "1.1.90217", "", c.language, nullptr);
        auto* text = about.findChild<QTextEdit*>("textEdit");
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->toPlainText().contains("Interactive multitrack music editor"), c.english)
            << c.language;
        EXPECT_EQ(text->toPlainText().contains(QString::fromUtf8("multipiste interactive")),
                  !c.english);
        EXPECT_TRUE(text->isReadOnly());
        EXPECT_EQ(text->textCursor().position(), 0);
        const QString style = about.findChild<QPushButton*>("pushButton")->styleSheet();
        EXPECT_TRUE(style.contains(c.border)) << c.appName;
    }
}

TEST(DlgAbout, TitleVersionIconAndOk)
{
    QWidget parent;
    DlgAbout about(":/Window/AboutFree", "Sonaric", "1.1.90217", ":/Img/SonaricIcon", "FR", &parent);
    EXPECT_EQ(about.windowTitle(), QString("A propos d'Tovra Sonaric Free"));
    EXPECT_EQ(about.findChild<QLabel*>("versionLabel")->text(),
              QString("Version courante : 1.1.90217  Tovra Sonaric Free"));
    EXPECT_FALSE(about.windowIcon().isNull());
    EXPECT_EQ(about.palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_FALSE(about.palette().brush(QPalette::Window).texture().isNull());
    about.show();
    grabScreen(about, "dlg_about");
    QTest::mouseClick(about.findChild<QPushButton*>("pushButton"), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());

    DlgAbout plain("", "Sonaric", "1.0", "", "EN", nullptr);
    EXPECT_EQ(plain.windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
}

TEST(DlgAbout, OpenRunsModallyAndHelloWorldAsksNothingElse)
{
    QStringList seen;
    KPrompt::setHandler([&](const KPrompt::Request& request) {
        seen << (request.kind == KPrompt::Dialog ? request.title : request.text);
        KPrompt::Answer answer;
        answer.button = request.kind == KPrompt::Dialog ? 0 : QMessageBox::Ok;
        return answer;
    });
    DlgAbout::open(nullptr, ":/Window/AboutFree", "Sonaric", "1.0", "x", "EN", "");
    WidgetKit().helloWorld();
    KPrompt::setHandler({});
    EXPECT_EQ(seen, (QStringList{"A propos d'Tovra Sonaric Free", "Hello World !"}));
}

TEST(WidgetKit, EnglishCatalogueTranslatesTheFrenchTexts)
{
    QTranslator english;
    ASSERT_TRUE(english.load(":/TovraTr/widgetkit_en.qm"));
    const struct {
        const char* context;
        const char* source;
        const char* english;
    } cases[] = {
        {"DlgProgBar", "Annulation en cours...", "Canceled..."},
        {"QObject", "Action terminée avec des erreurs !", "Action failed"},
        {"KTagEditor", "Artist", "Author"},
        {"WdgFmtSndFile", "Non compressé", "Uncompressed"},
        {"DlgAbout", "A propos d'", "About "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(english.translate(c.context, c.source), QString::fromUtf8(c.english)) << c.source;
}
