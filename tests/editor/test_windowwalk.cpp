// Every page of the main window and the editor's dialogs, in English and in French: at their
// default size and at 1024x700 each text has the room it needs, every child lies inside its
// window, the window can shrink to 1024x700, and no French word shows in English. Each window is
// grabbed into screens/ as it is checked. The walk runs on a 1600x1000 screen, so that the main
// window opens at a desktop's size and its shrinking to 1024x700 is a real change.
#include "EditorTestEnvironment.h"
#include "LayoutCheck.h"
#include "ProjectFixture.h"

#include "DlgAbout.h"
#include "DlgCreateConstt.h"
#include "DlgExportToTovraUI.h"
#include "DlgNewGroupUI.h"
#include "DlgOpenSonaric.h"
#include "EltPropUI.h"
#include "KDDMenuTV.h"
#include "PreMixView.h"
#include "RulesListView.h"
#include "KSuperUI.h"
#include "DlgSingleInputUI.h"
#include "KCheckAudioDlg.h"
#include "KCheckBoxDlg.h"
#include "KCheckBoxMultiDlg.h"
#include "KNotMuteLevelUI.h"
#include "KParamsDlg.h"
#include "KParamsUI.h"
#include "SonaricStartup.h"
#include "TabViewUI.h"
#include "TVRAction.h"
#include "ZazuzoziZadiviDU.h"

#include <QDir>
#include <QResource>
#include <QScreen>
#include <QTableWidget>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <QTranslator>

#include <functional>
#include <memory>
#include <vector>

namespace {

// The offscreen platform's own screen is 800x600; the walk asks it for a desktop's screen
// before the application starts (the test environment builds it once the tests run).
constexpr QSize screenSize(1600, 1000);
const bool desktopScreen = [] {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" TOVRA_WALK_SCREEN);
    return true;
}();

class WindowWalk : public ::testing::TestWithParam<const char*>
{
protected:
    void SetUp() override
    {
        code = GetParam();
        EditorTestEnvironment::get()->writeLanguage(code);
        QString error;
        ASSERT_TRUE(SonaricStartup::loadTranslations(code, editorTr, qtTr, &error)) << error.toStdString();
        // As the program does: the libraries' catalogues only for English.
        if (code == "EN")
            for (const QString& name : QDir(":/TovraTr").entryList({"*_en.qm"}, QDir::Files)) {
                auto translator = std::make_unique<QTranslator>();
                ASSERT_TRUE(translator->load(":/TovraTr/" + name)) << name.toStdString();
                QCoreApplication::installTranslator(translator.get());
                libraries.push_back(std::move(translator));
            }
        QCoreApplication::installTranslator(&editorTr);
        QCoreApplication::installTranslator(&qtTr);
        ASSERT_TRUE(QResource::registerResource(EditorTestEnvironment::get()->bundlePath()));
        ASSERT_EQ(QGuiApplication::primaryScreen()->size(), screenSize);
        window = ZazuzoziZadiviDU::getInstance();
        // As the program does once its window is built.
        window->getParams()->setLanguage(code);
        KCtrlFile project;
        ASSERT_TRUE(buildProject(project, dir));
        ASSERT_FALSE(project.createRuleGroup(RulesListView::getGroupName("Lead"), {"voice", "keys"},
                                             "voice over keys")
                         .isEmpty());
        const QString path = QString::fromStdString(dir.file("song.tvprj"));
        ASSERT_TRUE(writeProjectFile(project, path));
        ASSERT_TRUE(window->openTovraProject(path));
    }
    void TearDown() override
    {
        ZazuzoziZadiviDU::deleteInstance();
        QResource::unregisterResource(EditorTestEnvironment::get()->bundlePath());
        for (const auto& translator : libraries)
            QCoreApplication::removeTranslator(translator.get());
        QCoreApplication::removeTranslator(&editorTr);
        QCoreApplication::removeTranslator(&qtTr);
        EditorTestEnvironment::get()->writeLanguage("EN");
    }

    // The window checked as it opens and again at 1024x700 (or smaller where it is smaller);
    // `visit` is called with a step number for each page to look at, until it returns false.
    void walk(QWidget* shown, const QString& name, const std::function<bool(int)>& visit = {})
    {
        shown->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(shown));
        const QSize opened = shown->size();
        // What the layout lets the window shrink to.
        const QSize least = shown->minimumSizeHint().expandedTo(shown->minimumSize());
        EXPECT_LE(least.width(), 1024) << name.toStdString() << " needs " << least.width() << " px of width";
        EXPECT_LE(least.height(), 700) << name.toStdString() << " needs " << least.height() << " px of height";
        for (const bool small : {false, true}) {
            if (small) {
                // A maximised window keeps the screen's size: it is brought back to normal first.
                shown->setWindowState(shown->windowState() & ~Qt::WindowMaximized);
                shown->resize(std::min(opened.width(), 1024), std::min(opened.height(), 700));
                QApplication::processEvents();
                EXPECT_LE(shown->width(), 1024) << name.toStdString() << " cannot be narrowed to 1024";
                EXPECT_LE(shown->height(), 700) << name.toStdString() << " cannot be lowered to 700";
            }
            for (int step = 0;; ++step) {
                if (visit && !visit(step))
                    break;
                QApplication::processEvents();
                const QString shot = QString("walk_%1_%2%3_%4").arg(code, name, small ? "_small" : "").arg(step);
                grabToScreens(shown, shot);
                const QStringList found = layoutcheck::faults(shown, code == "EN");
                EXPECT_TRUE(found.isEmpty()) << shot.toStdString() << ":\n  "
                                             << found.join("\n  ").toStdString();
                if (!visit)
                    break;
            }
        }
    }

    // Steps through the pages of the first tab widget or stack below the window.
    static std::function<bool(int)> pagesOf(QWidget* shown)
    {
        return [shown](int step) {
            if (auto* tabs = shown->findChild<QTabWidget*>()) {
                if (step >= tabs->count())
                    return false;
                tabs->setCurrentIndex(step);
                return true;
            }
            if (auto* stack = shown->findChild<QStackedWidget*>()) {
                if (step >= stack->count())
                    return false;
                stack->setCurrentIndex(step);
                return true;
            }
            return step == 0;
        };
    }

    QString code;
    QTranslator editorTr;
    QTranslator qtTr;
    std::vector<std::unique_ptr<QTranslator>> libraries;
    fixtures::TempDir dir;
    // No question may wait for a person: each is answered with its default.
    PromptRecorder prompts;
    ZazuzoziZadiviDU* window = nullptr;
};

TEST_P(WindowWalk, MainWindowPages)
{
    // Maximised on the desktop's screen.
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->frameGeometry().size(), screenSize);
    auto* strip = window->findChild<TabViewUI*>();
    ASSERT_NE(strip, nullptr);
    walk(window, "main", [this, strip](int step) {
        if (step >= 5)
            return false;
        window->setCurrentTab(step);
        // The tab titles are painted over the strip's pictures: each shows whole.
        for (int tab = 0; tab < TabViewUI::TabCount; ++tab)
            EXPECT_EQ(strip->shownTitle(tab), strip->titles().value(tab)) << "tab " << tab << " on page " << step;
        return true;
    });
}

// The mixing-rules page with a rule opened for editing by a double click in the rule list: the
// console shows the rule's strips.
TEST_P(WindowWalk, MixingRuleOpenForEditing)
{
    window->show();
    window->setCurrentTab(2);
    QTableWidget* rules = window->getPreMixView()->getRulesList()->table();
    ASSERT_EQ(rules->rowCount(), 1);
    QApplication::processEvents();
    const QRect row = rules->visualItemRect(rules->item(0, 0));
    QTest::mouseClick(rules->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(rules->viewport(), Qt::LeftButton, {}, row.center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->getPreMixView()->getSuperUI()->getActiveElementsNb() > 0; }));
    walk(window, "rule");
}

// The start dialog with a few recent projects.
TEST_P(WindowWalk, StartDialog)
{
    window->getParams()->setRecentPrj({"Evening song", "/home/someone/Music/evening.tvprj", "A much longer project name",
                                       "/home/someone/Music/a much longer project name.tvprj"});
    bool seen = false;
    ScopedPromptHandler answer([&](const KPrompt::Request& request) {
        if (auto* dialog = qobject_cast<DlgOpenSonaric*>(request.dialog)) {
            seen = true;
            walk(dialog, "start");
            dialog->hide();
        }
        return KPrompt::Answer();
    });
    window->openStartDialog();
    EXPECT_TRUE(seen);
}

// The track properties dialog for a track chosen in the structure tree.
TEST_P(WindowWalk, TrackPropertiesDialog)
{
    window->show();
    window->setCurrentTab(0);
    KDDMenuTV* tree = window->getStructureView();
    tree->expandAll();
    const QModelIndexList found = tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole, "voice", 1,
                                                       Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1);
    const QModelIndex voice = found.first();
    tree->scrollTo(voice);
    QApplication::processEvents();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(voice).center());
    ASSERT_EQ(tree->getSelectedItem(), "voice");
    bool seen = false;
    ScopedPromptHandler answer([&](const KPrompt::Request& request) {
        if (request.kind == KPrompt::Dialog && request.dialog->findChild<EltPropUI*>()) {
            seen = true;
            walk(request.dialog, "trackprops");
            request.dialog->hide();
        }
        return KPrompt::Answer();
    });
    window->setPropWidget(0);
    EXPECT_TRUE(seen);
}

TEST_P(WindowWalk, Dialogs)
{
    const QString tovixName = QCoreApplication::translate("MixViewUI", "Nom du Mix");
    const std::vector<std::pair<QString, std::function<QDialog*()>>> dialogs = {
        {"params", [this] {
             auto* dialog = new KParamsDlg(window);
             dialog->init(window->getParams());
             return dialog;
         }},
        {"about", [this] {
             return new DlgAbout(":/Window/AboutFree", window->getParams()->getSoftName(), "1.1.90217",
                                 QString(), code, window);
         }},
        {"newgroup", [this] { return new DlgNewGroupUI(window->getTovraFile(), DlgNewGroupUI::Create, window); }},
        {"implication", [this] { return new DlgCreateConstt(KObjFile::Implication, window, window); }},
        {"exclusion", [this] { return new DlgCreateConstt(KObjFile::Exclusion, window, window); }},
        {"exporttotovra", [this] { return new DlgExportToTovraUI(window->getParams(), window); }},
        {"tovixname", [this, tovixName] {
             auto* dialog = new DlgSingleInputUI(window);
             dialog->setTitle(tovixName);
             dialog->setLabel(tovixName);
             dialog->setEnabledCheckBox(true);
             dialog->setLabelCheckBox(QCoreApplication::translate("MixViewUI", "Mettre par défaut"));
             return dialog;
         }},
        {"missingaudio", [this] {
             auto* dialog = new KCheckAudioDlg(window);
             dialog->setTrack(QString(), "/home/someone/Music/a missing recording.wav");
             return dialog;
         }},
        {"stereoconvert", [this] { return new KCheckBoxMultiDlg("/home/someone/Music/stereo.wav", window); }},
        {"alwayson", [this] {
             const auto text = [](const char* source) { return QCoreApplication::translate("EltPropUI", source); };
             auto* dialog = new KCheckBoxDlg(text("Piste toujours allumée"),
                                             text("Souhaitez-vous définir un volume minimum ?"),
                                             text("Se souvenir de ma réponse"), text("Ok"), text("Annuler"), false,
                                             window);
             auto* levels = new KNotMuteLevelUI;
             levels->setVisibleAlwaysAsk(false);
             levels->setMinLevel(-240);
             dialog->setWidget(levels);
             return dialog;
         }},
    };
    for (const auto& [name, make] : dialogs) {
        SCOPED_TRACE(name.toStdString());
        std::unique_ptr<QDialog> dialog(make());
        walk(dialog.get(), name, pagesOf(dialog.get()));
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, WindowWalk, ::testing::Values("EN", "FR"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
