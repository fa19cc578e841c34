// The settings dialog: the page each command opens, the preferences written back on OK only,
// the language stored for the next start with its notice, and a language file that cannot be
// written reported instead of the notice.
#include "KParamsDlg.h"
#include "KParamsUI.h"
#include "MainWindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {
// Runs the settings dialog through the given edit and button; message boxes are recorded.
class SettingsPrompts
{
public:
    using Edit = std::function<void(KParamsDlg*)>;
    SettingsPrompts(Edit edit, QDialogButtonBox::StandardButton button, const QString& screen = QString())
    {
        previous = KPrompt::setHandler([=](const KPrompt::Request& request) {
            KPrompt::Answer answer;
            answer.button = QMessageBox::Ok;
            auto* dialog = qobject_cast<KParamsDlg*>(request.dialog);
            if (!dialog) {
                boxes << request;
                return answer;
            }
            tab = dialog->panel()->findChild<QTabWidget*>("tabWidget")->currentIndex();
            title = dialog->windowTitle();
            edit(dialog);
            if (!screen.isEmpty())
                grabToScreens(dialog, screen);
            dialog->QDialog::open();
            QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(button), Qt::LeftButton);
            answer.button = dialog->result();
            return answer;
        });
    }
    ~SettingsPrompts() { KPrompt::setHandler(previous); }

    QList<KPrompt::Request> boxes;
    int tab = -1;
    QString title;

private:
    KPrompt::Handler previous;
};

QString storedLanguage()
{
    return QSettings(EditorTestEnvironment::get()->langFile(), QSettings::IniFormat).value("LANG").toString();
}

void chooseFrench(KParamsDlg* dialog)
{
    dialog->panel()->findChild<QComboBox*>("langCB")->setCurrentText("Français");
}

class SettingsTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        params = window->getParams();
        params->setLanguage("EN");
        window->changeLanguage("EN");
        EditorTestEnvironment::get()->writeLanguage("EN");
    }
    void TearDown() override
    {
        EditorTestEnvironment::get()->writeLanguage("EN");
        MainWindowTest::TearDown();
    }
    SonaricParams* params = nullptr;
};
} // namespace

TEST_F(SettingsTest, EachCommandOpensItsPage)
{
    const struct {
        int action;
        int tab;
        const char* screen;
    } cases[] = {{36, 0, "KParamsDlg_general"}, {37, 2, "KParamsDlg_tovix"}, {38, 3, "KParamsDlg_conversion"}};
    for (const auto& c : cases) {
        SettingsPrompts prompts([](KParamsDlg*) {}, QDialogButtonBox::Cancel, c.screen);
        actions->getAction(c.action)->trigger();
        EXPECT_EQ(prompts.tab, c.tab);
        EXPECT_EQ(prompts.title, "Parameters");
        EXPECT_TRUE(prompts.boxes.isEmpty());
    }
}

TEST_F(SettingsTest, TheLanguageIsStoredForTheNextStartOnOkOnly)
{
    {
        SettingsPrompts prompts(chooseFrench, QDialogButtonBox::Cancel);
        window->openSettingsDialog(0);
        EXPECT_TRUE(prompts.boxes.isEmpty());
        EXPECT_EQ(storedLanguage(), "EN");
    }
    {
        SettingsPrompts prompts(chooseFrench, QDialogButtonBox::Ok);
        window->openSettingsDialog(0);
        ASSERT_EQ(prompts.boxes.size(), 1);
        EXPECT_EQ(prompts.boxes[0].kind, KPrompt::Information);
        EXPECT_EQ(prompts.boxes[0].title, "Parameters");
        EXPECT_EQ(prompts.boxes[0].text, "The application needs to restart to take changes into account.");
        EXPECT_EQ(storedLanguage(), "FR");
        // The running program keeps its language.
        EXPECT_EQ(params->getLanguage(), "EN");
        EXPECT_EQ(window->getLanguage(), "EN");
    }
    {
        // Opened again: the panel shows this run's language, and OK without a change says nothing.
        SettingsPrompts prompts([](KParamsDlg*) {}, QDialogButtonBox::Ok);
        window->openSettingsDialog(0);
        EXPECT_TRUE(prompts.boxes.isEmpty());
        EXPECT_EQ(storedLanguage(), "EN");
    }
}

TEST_F(SettingsTest, ALanguageFileThatCannotBeWrittenIsReported)
{
    // A folder where the language file should be: nothing can be written there.
    QTemporaryDir stage;
    ASSERT_TRUE(QDir(stage.path()).mkpath("bin"));
    ASSERT_TRUE(QDir(stage.path()).mkpath("Resources/lang.ini"));
    AppPaths::setProgramDir(stage.path() + "/bin");
    SettingsPrompts prompts(
        [](KParamsDlg* dialog) {
            chooseFrench(dialog);
            dialog->panel()->setUseCnsttSelection(false);
        },
        QDialogButtonBox::Ok);
    params->setUseCnsttSelection(true);
    window->openSettingsDialog(0);
    AppPaths::setProgramDir(EditorTestEnvironment::get()->programDir());
    ASSERT_EQ(prompts.boxes.size(), 1);
    EXPECT_EQ(prompts.boxes[0].kind, KPrompt::Warning);
    EXPECT_TRUE(prompts.boxes[0].text.contains("lang.ini")) << prompts.boxes[0].text.toStdString();
    // The other preferences are still stored.
    EXPECT_FALSE(params->getUseCnsttSelection());
}

TEST_F(SettingsTest, PreferencesAreWrittenBackAsTheyWereEdited)
{
    params->setImportStereoSuffix("_mono");
    params->setUseCnsttLevel(true);
    QSignalSpy levelRule(params, &SonaricParams::useCnsttLevelChanged);
    const struct {
        SonaricEnums::EImportStereo convert;
        const char* typed;
        const char* stored;
    } cases[] = {{SonaricEnums::ConvertOverwrite, "_new", "_mono"}, {SonaricEnums::ConvertWithSuffix, "_left", "_left"}};
    for (const auto& c : cases) {
        SettingsPrompts prompts(
            [&](KParamsDlg* dialog) {
                dialog->panel()->setImportStereoConvert(c.convert);
                dialog->panel()->setImportStereoSuffix(c.typed);
                dialog->panel()->setUpdateSearch(SonaricEnums::UpdateCheckOnly);
                // Switched off and on again: no change to tell.
                dialog->panel()->setUseCnsttLevel(false);
                dialog->panel()->setUseCnsttLevel(true);
            },
            QDialogButtonBox::Ok);
        window->openSettingsDialog(0);
        EXPECT_EQ(params->getImportStereoConvert(), int(c.convert));
        EXPECT_EQ(params->getImportStereoSuffix(), c.stored);
        EXPECT_EQ(params->getUpdateSearch(), int(SonaricEnums::UpdateCheckOnly));
    }
    EXPECT_TRUE(params->getUseCnsttLevel());
    EXPECT_EQ(levelRule.count(), 0);
}
