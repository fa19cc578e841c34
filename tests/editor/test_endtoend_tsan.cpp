// The editor through a whole session, driven as an author drives it: four audio files of four
// formats imported on the worker, grouped in the group dialog, ruled in the constraint dialog, a
// track made always on in its property dialog, mixed, played from the mini player, saved, the
// editor quit and started again on the saved file, the distributable file exported and the
// default mix rendered to WAV and MP3, both read back and measured against the mix's settings.
// With TOVRA_E2E_GRAB set, every window, dialog and page on the way is saved as
// screens/e2e_<step>.png.
#include "AuthorPrompts.h"
#include "DlgCreateConstt.h"
#include "DlgNewGroupUI.h"
#include "DlgSingleInputUI.h"
#include "EltPropUI.h"
#include "EqualisationUi.h"
#include "ExportFixture.h"
#include "KAudioFilePlayer.h"
#include "KButton.h"
#include "KCheckBoxDlg.h"
#include "KCheckMixTV.h"
#include "KDDMenuTV.h"
#include "KDragMenuLV.h"
#include "KListWidget.h"
#include "KMasterMix.h"
#include "KNotMuteLevelUI.h"
#include "KSlider.h"
#include "KSliderVol.h"
#include "KSuperUI.h"
#include "KVolumeUI.h"
#include "KVolumeWdg.h"
#include "MainEqualsUi.h"
#include "MiniPlayerUI.h"
#include "MixViewUI.h"
#include "SonaricParams.h"
#include "SonaricStartup.h"
#include "TabViewUI.h"
#include "TrackPropUI.h"
#include "tvr_utils.h"
#include "WorkSpaceUI.h"

#include <QCheckBox>
#include <QDial>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTabBar>
#include <QThread>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr double Amplitude = 0.5;

// The mixer fades every track in over its first 2 s: the sources last 3 s and the renders
// are measured after the fade.
constexpr int SourceFrames = 3 * 44100;
constexpr double MeasuredFrom = 2.2, MeasuredTo = 2.9;

// One generated source: a mono sine. Each track has its own frequency, so that tracks
// playing together add up in power over the measured span, whatever their phases.
struct Source {
    const char* file;
    int format;
    double frequency;
};
const Source Sources[] = {
    {"kick.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 441.0},
    {"bass.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 551.25},
    {"pads.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 661.5},
    {"voice.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 882.0},
};

// The source's sine at 44100 Hz in its format; empty when libsndfile cannot write it.
QString sineFile(const fixtures::TempDir& dir, const Source& source)
{
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 1;
    info.format = source.format;
    if (!sf_format_check(&info))
        return QString();
    return QString::fromStdString(fixtures::writeAudio(dir.file(source.file), source.format, 44100, 1,
                                                       fixtures::sine(SourceFrames, 44100, source.frequency, Amplitude)));
}

// The RMS of each channel over the measured span, in dB.
struct Levels {
    double left = -200.0, right = -200.0;
};
Levels measuredLevels(const QString& path)
{
    SF_INFO info{};
    const std::vector<float> samples = fixtures::readAudio(path.toStdString(), &info);
    Levels levels;
    const auto from = size_t(MeasuredFrom * info.samplerate), to = size_t(MeasuredTo * info.samplerate);
    if (info.channels < 2 || size_t(info.frames) < to)
        return levels;
    levels.left = 20.0 * std::log10(fixtures::rms(samples, info.channels, 0, from, to) + 1e-12);
    levels.right = 20.0 * std::log10(fixtures::rms(samples, info.channels, 1, from, to) + 1e-12);
    return levels;
}

// What the engine's mixer makes of playing mono tracks: each enters at half the gain of its
// level (cBToDouble), a pan below 0 lowers the right side by (1 + pan) and above 0 the left side
// by (1 - pan), and the gain of the mix's master level scales the sum.
struct Playing {
    int level;
    double pan;
};
Levels predictedLevels(const QList<Playing>& tracks, int masterLevel)
{
    double left = 0.0, right = 0.0;
    const double master = cBToDouble(masterLevel);
    for (const Playing& track : tracks) {
        const double gain = 0.5 * master * cBToDouble(track.level) * Amplitude / std::sqrt(2.0);
        const double l = gain * (track.pan > 0 ? 1.0 - track.pan : 1.0);
        const double r = gain * (track.pan < 0 ? 1.0 + track.pan : 1.0);
        left += l * l;
        right += r * r;
    }
    return {10.0 * std::log10(left), 10.0 * std::log10(right)};
}

// The kinds of the project's exclusions and implications, in order.
QList<int> ruleKinds(const KObjFile& document)
{
    QList<int> kinds;
    for (const QString& name : document.contraintNames()) {
        const int kind = document.isConstraint(name) ? int(document.getConstraintType(name)) : -1;
        if (kind == KObjFile::Implication || kind == KObjFile::Exclusion)
            kinds << kind;
    }
    std::sort(kinds.begin(), kinds.end());
    return kinds;
}

bool grabbing()
{
    return qEnvironmentVariableIsSet("TOVRA_E2E_GRAB");
}

// In grab mode, the widget, laid out and painted, saved as screens/e2e_<step>.png.
void shot(QWidget* widget, const QString& step)
{
    if (!grabbing() || !widget)
        return;
    if (widget->isWindow()) {
        EXPECT_TRUE(QTest::qWaitForWindowExposed(widget)) << step.toStdString();
    }
    // Each layout that grows asks its parent's layout in a new request: let them all run.
    for (int pass = 0; pass < 8; ++pass) {
        QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QApplication::processEvents();
    }
    EXPECT_TRUE(grabToScreens(widget, "e2e_" + step)) << step.toStdString();
}

// Clicks a check box or radio button on its indicator, where a click acts whatever the
// button's width.
void clickCheckBox(QAbstractButton* box)
{
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->height() / 2, box->height() / 2));
}

class EndToEnd : public ExportTest
{
protected:
    // The libraries' English catalogues too, as the program's start-up installs them.
    // Installed before the window is built, so that its panels take their English texts.
    void SetUp() override
    {
        for (const QString& name : QDir(":/TovraTr").entryList({"*_en.qm"}, QDir::Files)) {
            auto translator = std::make_unique<QTranslator>();
            ASSERT_TRUE(translator->load(":/TovraTr/" + name)) << name.toStdString();
            QCoreApplication::installTranslator(translator.get());
            libraryTr.push_back(std::move(translator));
        }
        ExportTest::SetUp();
    }
    void TearDown() override
    {
        for (const auto& translator : libraryTr)
            QCoreApplication::removeTranslator(translator.get());
        ExportTest::TearDown();
    }

    // The main window's page of that tab, reached by a click on the tab.
    void openTab(int index)
    {
        auto* workspace = qobject_cast<WorkSpaceUI*>(window->centralWidget());
        ASSERT_NE(workspace, nullptr);
        QTabBar* bar = workspace->tabStrip()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        ASSERT_EQ(window->currentTab(), index);
        page = window->getExportPage();
    }
    // The export page's file field typed over.
    void typePath(const QString& path)
    {
        QLineEdit* field = page->form().lineEdit_2;
        field->selectAll();
        QTest::keyClicks(field, path);
        EXPECT_EQ(field->text(), path);
    }
    // The group dialog opened by a drop on the tree's root, filled and confirmed.
    void makeGroup(const QString& name, const QStringList& members)
    {
        author.drive = [name](QDialog* shown) {
            const Ui_Dialog& form = static_cast<DlgNewGroupUI*>(shown)->form();
            QTest::keyClicks(form.nameLineEdit, name);
            shot(shown, "02_group_" + name);
            QTest::mouseClick(form.okButton, Qt::LeftButton);
            return shown->result();
        };
        window->dropOnRootTV(members);
        author.drive = nullptr;
    }
    // The constraint dialog opened by its command, filled and confirmed.
    void makeRule(int action, const QString& first, const QString& second)
    {
        actions->getAction(action)->trigger();
        auto* dialog = window->findChild<DlgCreateConstt*>();
        ASSERT_NE(dialog, nullptr);
        dialog->comboBox1->setCurrentText(first);
        dialog->comboBox2->setCurrentText(second);
        shot(dialog, QString("03_rule_%1").arg(action));
        QTest::mouseClick(dialog->okButton, Qt::LeftButton);
        delete dialog;
    }
    // Where the element's row of the structure tree shows.
    QPoint structureRow(const QString& name) const
    {
        KDDMenuTV* tree = window->getStructureView();
        const QModelIndex source = tree->getKModel()->getIndex(name);
        return tree->visualRect(tree->proxy()->mapFromSource(source)).center();
    }
    // The track selected in the structure tree, its property dialog opened from the row's menu,
    // "always on" ticked, the minimum-level question answered with -24.1 dB, the dialog confirmed.
    void makeAlwaysOn(const QString& track)
    {
        openTab(0);
        KDDMenuTV* tree = window->getStructureView();
        tree->expandAll();
        QApplication::processEvents();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, structureRow(track));
        ASSERT_EQ(tree->getSelectedItem(), track);
        QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, structureRow(track));
        auto* menu = tree->findChild<QMenu*>("trackMenu");
        ASSERT_NE(menu, nullptr);
        ASSERT_TRUE(menu->isVisible());
        shot(menu, "04_track_menu");
        QAction* properties = actions->getAction(47);
        ASSERT_TRUE(menu->actions().contains(properties));
        bool askedLevel = false;
        author.drive = [&](QDialog* shown) {
            if (auto* question = qobject_cast<KCheckBoxDlg*>(shown)) {
                askedLevel = true;
                auto* levels = question->findChild<KNotMuteLevelUI*>();
                EXPECT_NE(levels, nullptr);
                if (!levels)
                    return 0;
                QTest::mouseClick(levels->findChild<QRadioButton*>("radioButton3"), Qt::LeftButton);
                auto* spin = levels->findChild<QSpinBox*>("spinBox1");
                spin->selectAll();
                QTest::keyClicks(spin, "-24.1");
                shot(question, "06_always_on_question");
                QTest::mouseClick(question->findChild<QPushButton*>("acceptButt"), Qt::LeftButton);
                return question->result();
            }
            auto* panel = shown->findChild<EltPropUI*>();
            EXPECT_NE(panel, nullptr);
            if (!panel)
                return 0;
            EXPECT_EQ(panel->getName(), track);
            shot(shown, "05_track_properties");
            auto* box = panel->getTrackPage()->findChild<QCheckBox*>("checkBox_notmute");
            EXPECT_TRUE(box && box->isEnabled());
            clickCheckBox(box);
            EXPECT_TRUE(box && box->isChecked());
            QTest::mouseClick(shown->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok),
                              Qt::LeftButton);
            return shown->result();
        };
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(properties).center());
        author.drive = nullptr;
        EXPECT_TRUE(askedLevel);
    }
    // A slider moved by the arrow keys, one step a key, until it shows the value.
    static void moveSlider(QAbstractSlider* slider, int value)
    {
        ASSERT_NE(slider, nullptr);
        const Qt::Key down = slider->orientation() == Qt::Vertical ? Qt::Key_Down : Qt::Key_Left;
        const Qt::Key up = slider->orientation() == Qt::Vertical ? Qt::Key_Up : Qt::Key_Right;
        for (int guard = 0; slider->value() != value && guard < 600; ++guard)
            QTest::keyClick(slider, slider->value() > value ? down : up);
        EXPECT_EQ(slider->value(), value);
    }
    QPushButton* mixButton(const char* name) const
    {
        return window->getMixView()->findChild<QPushButton*>(name);
    }
    // A new mix from the create command, its name typed into the name dialog.
    void createMix(const QString& name)
    {
        author.drive = [&](QDialog* shown) {
            auto* dialog = qobject_cast<DlgSingleInputUI*>(shown);
            EXPECT_NE(dialog, nullptr);
            if (!dialog)
                return 0;
            QTest::keyClicks(dialog->findChild<QLineEdit*>("lineEdit"), name);
            shot(dialog, "07_mix_name_" + name);
            QTest::mouseClick(dialog->findChild<QPushButton*>("okButton"), Qt::LeftButton);
            return dialog->result();
        };
        actions->getAction(15)->trigger();
        author.drive = nullptr;
        EXPECT_EQ(window->getMixView()->getEditedMix(), name);
    }
    // Step 1: the track's check box clicked in the mix editor's element tree.
    void checkInMixTree(const QString& track)
    {
        KCheckMixTV* tree = window->getMixView()->getKCheckableTV();
        tree->expandAll();
        QApplication::processEvents();
        const QModelIndex index = tree->proxy()->mapFromSource(tree->getKModel()->getIndex(track));
        ASSERT_TRUE(index.isValid()) << track.toStdString();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());
    }
    // The strip of the element on the console's row, or on the row a group opened.
    KVolumeWdg* consoleStrip(const QString& name) const
    {
        for (KVolumeUI* row = window->getMixView()->getSuperUI()->row(); row; row = row->zoomedRow())
            if (KVolumeWdg* strip = row->strip(name))
                return strip;
        return nullptr;
    }
    // From step 1 to step 3 of the open mix; on the console the tracks' faders, pans and the
    // master fader moved to the given values.
    void mixOnConsole(const QMap<QString, int>& levels, const QMap<QString, int>& pans, int master,
                      const QString& screen)
    {
        MixViewUI* editor = window->getMixView();
        QTest::mouseClick(mixButton("nextButton"), Qt::LeftButton);
        ASSERT_EQ(editor->currentStep(), 1);
        ASSERT_NE(editor->getSuperUI(), nullptr);
        QApplication::processEvents();
        for (auto level = levels.begin(); level != levels.end(); ++level) {
            KVolumeWdg* strip = consoleStrip(level.key());
            ASSERT_NE(strip, nullptr) << level.key().toStdString();
            moveSlider(strip->fader(), level.value());
        }
        for (auto pan = pans.begin(); pan != pans.end(); ++pan) {
            KVolumeWdg* strip = consoleStrip(pan.key());
            ASSERT_NE(strip, nullptr) << pan.key().toStdString();
            moveSlider(strip->panSlider(), pan.value());
        }
        moveSlider(editor->getSuperUI()->master()->fader(), master);
        shot(window, "08_mix_console_" + screen);
        QTest::mouseClick(mixButton("nextButton"), Qt::LeftButton);
        ASSERT_EQ(editor->currentStep(), 2);
        ASSERT_NE(editor->getEqualizer(), nullptr);
    }
    // Plays the open mix from the mix editor's own player until the time moves, then stops.
    void playAndStop()
    {
        MiniPlayerUI* bar = window->getMixView()->getMiniPlayer();
        ASSERT_NE(bar, nullptr);
        // In a loop: the short piece still plays however late the read-out is looked at.
        QTest::mouseClick(bar->repeatButton(), Qt::LeftButton);
        QTest::mouseClick(bar->playButton(), Qt::LeftButton);
        ASSERT_EQ(bar->getKAFPlayer()->getState(), KAudioFilePlayer::Playing);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return bar->timeText() != "0:00:00.000" && !bar->timeText().contains('%'); }, 60000))
            << bar->timeText().toStdString();
        shot(window, "08_mix_playing");
        QTest::mouseClick(bar->stopButton(), Qt::LeftButton);
        EXPECT_EQ(bar->getKAFPlayer()->getState(), KAudioFilePlayer::Stopped);
        QTest::mouseClick(bar->repeatButton(), Qt::LeftButton);
    }
    // The stored mix made the default from its row's menu, through the modify dialog's
    // "Mettre par défaut" box.
    void makeDefault(const QString& mix)
    {
        KListWidget* list = window->getMixView()->getMixList();
        QListWidgetItem* row = list->getItem(mix);
        ASSERT_NE(row, nullptr);
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, list->visualItemRect(row).center());
        auto* menu = list->findChild<QMenu*>("rowMenu");
        ASSERT_TRUE(menu && menu->isVisible());
        ASSERT_EQ(menu->actions().size(), 4);
        shot(menu, "09_mix_menu");
        author.drive = [&](QDialog* shown) {
            auto* dialog = qobject_cast<DlgSingleInputUI*>(shown);
            EXPECT_NE(dialog, nullptr);
            if (!dialog)
                return 0;
            EXPECT_EQ(dialog->findChild<QLineEdit*>("lineEdit")->text(), mix);
            clickCheckBox(dialog->findChild<QCheckBox*>("checkBox"));
            shot(dialog, "09_mix_default");
            QTest::mouseClick(dialog->findChild<QPushButton*>("okButton"), Qt::LeftButton);
            return dialog->result();
        };
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions()[1]).center());
        author.drive = nullptr;
        EXPECT_EQ(list->getDefaultMix(), mix);
    }
    // The default mix rendered from the export page's mix tab to the named format.
    void renderDefaultMix(const QString& format, const QString& path)
    {
        ExportPrompts prompts;
        prompts.screenName = grabbing() ? "e2e_13_render_" + format : QString();
        openTab(4);
        QTabBar* kinds = page->form().tabWidget->tabBar();
        QTest::mouseClick(kinds, Qt::LeftButton, {}, kinds->tabRect(1).center());
        ASSERT_EQ(page->form().tabWidget->currentIndex(), 1);
        EXPECT_EQ(page->getSelectedMix(), doc->getDefaultMixName());
        chooseFormat(format);
        chooseRate(44100.0);
        typePath(path);
        shot(window, "12_export_mix_" + format);
        QTest::mouseClick(page->form().okButton_2, Qt::LeftButton);
        EXPECT_EQ(prompts.progressText, "Tovix export \"" + doc->getDefaultMixName() + "\" successful");
    }

    // The first session, from a new project to the saved file.
    void authorSession();
    // Everything the first session made, found in the editor started again on the saved file,
    // then exported and rendered.
    void checkReopened();

    std::vector<std::unique_ptr<QTranslator>> libraryTr;
    Author author;
    QString savedText;
    bool reopenedChecked = false;
};

void EndToEnd::authorSession()
{
    QStringList files;
    for (const Source& source : Sources)
        files << sineFile(dir, source);
    ASSERT_FALSE(files.contains(QString())) << "libsndfile lacks one of the four writers";
    window->getParams()->setLanguage("EN");
    window->resize(1100, 800);
    window->show();
    ASSERT_TRUE(window->newProject(false));
    doc = window->getTovraFile();

    // Import on the worker under the progress dialog.
    window->importAudioPath(files);
    ASSERT_EQ(doc->getTrackNames(), QStringList({"kick", "bass", "pads", "voice"}))
        << "asked: " << author.asked.join(" | ").toStdString();
    shot(window, "01_imported");

    // Two groups from the group dialog, an exclusion and an implication from the constraint
    // dialog, the pads always on from their property dialog.
    makeGroup("Beat", {"kick", "bass"});
    makeGroup("Top", {"pads", "voice"});
    EXPECT_EQ(doc->getSubElt("Beat"), QStringList({"bass", "kick"}));
    EXPECT_EQ(doc->getSubElt("Top"), QStringList({"pads", "voice"}));
    makeRule(22, "kick", "bass");
    makeRule(21, "voice", "pads");
    EXPECT_EQ(ruleKinds(*doc), QList<int>({KObjFile::Implication, KObjFile::Exclusion}));
    makeAlwaysOn("pads");
    EXPECT_TRUE(doc->isNotMute("pads"));
    EXPECT_EQ(doc->getMinEltLevel("pads"), -120);

    // Two mixes in the mix editor. "Plain": the kick with the always-on pads, a band of the
    // mastering equaliser lowered. "Night": the same tracks, the kick's fader 60 units down,
    // the pads panned half left, the master fader 30 units down; played from the editor's
    // player, then made the default.
    openTab(3);
    MixViewUI* editor = window->getMixView();
    shot(window, "07_mix_editor");
    createMix("Plain");
    checkInMixTree("kick");
    EXPECT_EQ(doc->getPlayedTracks(), QStringList({"kick", "pads"}));
    shot(window, "08_mix_tracks_Plain");
    mixOnConsole({}, {}, 0, "Plain");
    QDial* lowest = editor->getEqualizer()->bands()[0]->gainDial();
    moveSlider(lowest, lowest->value() - 3);
    shot(window, "08_mix_equaliser_Plain");
    QTest::mouseClick(mixButton("saveButton"), Qt::LeftButton);
    EXPECT_FALSE(editor->isActive());

    createMix("Night");
    checkInMixTree("kick");
    EXPECT_EQ(doc->getPlayedTracks(), QStringList({"kick", "pads"}));
    mixOnConsole({{"kick", -60}}, {{"pads", -50}}, -30, "Night");
    shot(window, "08_mix_equaliser_Night");
    playAndStop();
    QTest::mouseClick(mixButton("saveButton"), Qt::LeftButton);
    EXPECT_FALSE(editor->isActive());
    makeDefault("Night");
    EXPECT_EQ(doc->getDefaultMixName(), "Night");
    EXPECT_EQ(doc->getMixMastering("Plain").value(20), -3.0);
    EXPECT_EQ(doc->getMixMastering("Night"), MixViewUI::flatMastering());
    EXPECT_EQ(doc->getMixLevel("Night"), -30);
    EXPECT_EQ(doc->getMixLevel("Plain"), 0);

    // Saved under a new name from the save-as command, then the editor quit from its command.
    author.savePath = file("session.tvprj");
    EXPECT_FALSE(window->projectIsSaved());
    actions->getAction(3)->trigger();
    ASSERT_TRUE(window->projectIsSaved());
    ASSERT_TRUE(QFileInfo::exists(author.savePath));
    savedText = projectText(*doc);
    const int askedBefore = author.asked.size();
    actions->getAction(5)->trigger();
    EXPECT_TRUE(window->isClosing());
    EXPECT_EQ(author.asked.size(), askedBefore) << "a saved project quits without a question";
}

void EndToEnd::checkReopened()
{
    reopenedChecked = true;
    actions = window->getActionManager();
    doc = window->getTovraFile();
    ASSERT_NE(doc, nullptr);
    shot(window, "10_reopened");
    EXPECT_TRUE(window->windowTitle().startsWith("session")) << window->windowTitle().toStdString();
    EXPECT_EQ(projectText(*doc), savedText);
    EXPECT_EQ(window->getMixView()->getMixList()->getDefaultMix(), "Night");
    // Structure and rules.
    EXPECT_EQ(window->getLibraryView()->getEltCount(), 4);
    EXPECT_EQ(doc->getSubElt("Beat"), QStringList({"bass", "kick"}));
    EXPECT_EQ(doc->getSubElt("Top"), QStringList({"pads", "voice"}));
    EXPECT_EQ(ruleKinds(*doc), QList<int>({KObjFile::Implication, KObjFile::Exclusion}));
    // Always on, with its minimum level.
    EXPECT_TRUE(doc->isNotMute("pads"));
    EXPECT_EQ(doc->getMinEltLevel("pads"), -120);
    // Mixes, the default one, its levels, pan and master level, the other's mastering.
    EXPECT_EQ(doc->getMixNames(), QStringList({"Night", "Plain"}));
    EXPECT_EQ(doc->getDefaultMixName(), "Night");
    EXPECT_EQ(doc->getMixLevel("Night"), -30);
    EXPECT_EQ(doc->getMixMastering("Plain").value(20), -3.0);
    EXPECT_EQ(doc->getMixMastering("Night"), MixViewUI::flatMastering());
    ASSERT_TRUE(doc->setCurrentMix("Night"));
    EXPECT_EQ(doc->getPlayedTracks(), QStringList({"kick", "pads"}));
    EXPECT_EQ(doc->getElementLevel("kick"), -60);
    EXPECT_EQ(doc->getElementLevel("pads"), 0);
    EXPECT_DOUBLE_EQ(doc->getPan("pads"), -0.5);
    doc->resetEltsStatus();

    // The distributable file from the export page, read back through the engine.
    {
        ExportPrompts prompts;
        prompts.screenName = grabbing() ? "e2e_11_export_progress" : QString();
        openTab(4);
        page->form().comboBox2_2->setCurrentIndex(0);
        chooseRate(44100.0);
        clickCheckBox(page->form().radioButton2_2);
        EXPECT_TRUE(page->form().radioButton2_2->isChecked());
        typePath(file("song.tovra"));
        shot(window, "11_export_tovra");
        QTest::mouseClick(page->form().okButton_2, Qt::LeftButton);
        EXPECT_EQ(prompts.progressText, "Export successful");
    }
    KObjFile written;
    ASSERT_TRUE(written.loadTovraFile(file("song.tovra")));
    EXPECT_EQ(written.getTrackNames().size(), 4);

    // The default mix rendered to WAV and MP3, each channel at the level the mix's settings
    // give: the kick 60 units down in the centre, the pads at unity panned half left, the
    // master 30 units down.
    renderDefaultMix("WAVE", file("night.wav"));
    renderDefaultMix("MP3", file("night.mp3"));
    const Levels expected = predictedLevels({{-60, 0.0}, {0, -0.5}}, -30);
    const Levels wav = measuredLevels(file("night.wav"));
    const Levels mp3 = measuredLevels(file("night.mp3"));
    EXPECT_NEAR(wav.left, expected.left, 1.0);
    EXPECT_NEAR(wav.right, expected.right, 1.0);
    EXPECT_NEAR(mp3.left, expected.left, 1.5);
    EXPECT_NEAR(mp3.right, expected.right, 1.5);
}

TEST_F(EndToEnd, ImportGroupRuleMixPlaySaveReopenExportAndRender)
{
    // The grabbing run wants a real window system; where none could start, Qt fell back to
    // its offscreen platform.
    if (grabbing() && QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "No X server for the xcb platform (running on \""
                     << QGuiApplication::platformName().toStdString() << "\"): nothing to grab";
    authorSession();
    ASSERT_FALSE(HasFatalFailure());
    ZazuzoziZadiviDU::deleteInstance();

    // The editor started again on the saved file, through the program's own start-up, which
    // builds the window; the checks run once its event loop runs, and closing the window ends it.
    window = nullptr;
    QObject waiting; // takes its pending timers along when the test ends
    std::function<void()> whenRunning = [&] {
        if (QThread::currentThread()->loopLevel() == 0 || !ZazuzoziZadiviDU::hasInstance()) {
            QTimer::singleShot(0, &waiting, whenRunning);
            return;
        }
        window = ZazuzoziZadiviDU::getInstance();
        checkReopened();
        author.button = QMessageBox::No;
        window->close();
    };
    QTimer::singleShot(0, &waiting, whenRunning);
    EXPECT_EQ(SonaricStartup::run({author.savePath}), 0);
    EXPECT_TRUE(reopenedChecked);
    window = nullptr;
}

} // namespace
