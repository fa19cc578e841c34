// The editor's export path beside the engine's own export and standard tools, on a project of
// 16 stereo tracks of 3 minutes (16-bit WAV, 44100 Hz).
//
// EditorContainer against EngineContainer: the distributable file (Vorbis, quality -1) written
// from the export page through the main window's slot, on a worker under the progress dialog,
// beside the document's export called directly. Goal: within 1.1x. Oggenc: oggenc -q -1 over
// the 16 files, for scale.
// EditorMixWav against EngineMixWav: one stored mix of the 16 tracks rendered to a 16-bit WAV
// from the export page, beside the document's render called directly. Goal: within 1.1x.
// SoxMix: `sox -m` over the same files into one WAV, for scale.
// A comparison whose tool is missing is skipped with its reason.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QResource>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

#include "BenchFixtures.h"
#include "DlgProgBar.h"
#include "ExportUI.h"
#include "KCtrlFile.h"
#include "KPrompt.h"
#include "KTypes.h"
#include "ZazuzoziZadiviDU.h"

namespace
{
constexpr int kTracks = 16;
constexpr int kSeconds = 180;
constexpr int kRate = 44100;
constexpr int kContainerCode = KAUDIOFMT_VORBIS | (KAUDIOFMT_VORBIS_QUALITY_BASE - 1);
constexpr int kWavCode = SF_FORMAT_WAV | SF_FORMAT_PCM_16;

// The tracks, the application, and the main window with the project open.
struct Editor {
    fixtures::TempDir dir;
    std::vector<std::string> files;
    QTemporaryDir config;
    std::unique_ptr<QApplication> app;
    ZazuzoziZadiviDU* window = nullptr;
    KCtrlFile* doc = nullptr;

    Editor()
    {
        for (int t = 0; t < kTracks; ++t)
            files.push_back(dir.file("track" + std::to_string(t) + ".wav"));
        benchfix::forEachInParallel(kTracks, [this](int t) {
            benchfix::writeStereoTrack(files[t], kRate, kSeconds, kWavCode, t, benchfix::Tones::WithNoise);
        }, 4);
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        static int argc = 1;
        static char name[] = "bench_export";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
        QResource::registerResource(TOVRA_BENCH_IMAGE_BUNDLE);
        window = ZazuzoziZadiviDU::getInstance();
        window->newProject(false);
        doc = window->getTovraFile();
        QStringList names;
        for (const std::string& file : files)
            names << doc->addTrack("", QString::fromStdString(file), nullptr);
        doc->createGroup("All", names, 0, -1);
        doc->setEltsStatus(true, false);
        for (const QString& track : names)
            doc->addTrackInCurMix(track);
        doc->saveCurrentMix("M");
        // The progress dialog is closed as soon as the worker has reported.
        KPrompt::setHandler([](const KPrompt::Request& request) {
            KPrompt::Answer answer;
            answer.button = QMessageBox::Yes;
            if (auto* progress = qobject_cast<DlgProgBar*>(request.dialog)) {
                progress->QDialog::open();
                auto* button = progress->findChild<QPushButton*>("cancelButton");
                // An export that never ends shows as a missing "Ok" after an hour, not as a hang.
                if (!QTest::qWaitFor([&] { return button->text() == "Ok"; }, 3600 * 1000))
                    qFatal("the export did not end within an hour");
                button->click();
                answer.button = progress->outcome() == DlgProgBar::Success ? 1 : 0;
            }
            return answer;
        });
        window->changeViewMenu(4);
    }

    QString out(const char* name) const { return QString::fromStdString(dir.file(name)); }

    // Chooses the tab, the format and the rate on the export page, then presses "Exporter".
    void exportFromPage(int tab, const QString& format, const QString& path)
    {
        ExportUI* page = window->getExportPage();
        page->form().tabWidget->setCurrentIndex(tab);
        page->form().comboBox2_2->setCurrentIndex(page->form().comboBox2_2->findText(format));
        page->form().comboBox1_2->setCurrentIndex(page->form().comboBox1_2->findText("44100.0 Hz"));
        page->form().lineEdit_2->setText(path);
        page->form().okButton_2->click();
    }
};

Editor& editor()
{
    static Editor* shared = new Editor; // kept to the end: the window outlives every case
    return *shared;
}

bool hasTool(const char* tool)
{
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

void EditorContainer(benchmark::State& state)
{
    Editor& e = editor();
    const QString path = e.out("editor.tovra");
    for (auto _ : state) {
        e.exportFromPage(0, ExportUI::tr("Compressé"), path);
        if (e.window->getExportPage()->getFormat() != kContainerCode || !QFile::exists(path))
            state.SkipWithError("export failed");
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
    }
}
BENCHMARK(EditorContainer)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void EngineContainer(benchmark::State& state)
{
    Editor& e = editor();
    KStreamFormat format{};
    KStreamFormat_init(&format);
    format.code = kContainerCode;
    format.channels = 0;
    format.rate = kRate;
    format.bits = KAudioFmt_getNumberBits(format.code);
    const QString path = e.out("engine.tovra");
    for (auto _ : state) {
        if (!e.doc->exportToTovraFile(path, &format, nullptr, KObjFile::DefMixNone))
            state.SkipWithError("export failed");
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
    }
    KStreamFormat_init(&format);
}
BENCHMARK(EngineContainer)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void Oggenc(benchmark::State& state)
{
    Editor& e = editor();
    if (!hasTool("oggenc")) {
        state.SkipWithError("oggenc is missing (vorbis-tools)");
        return;
    }
    std::string command = "true";
    for (const std::string& f : e.files)
        command += " && oggenc -Q -q -1 -o '" + e.dir.file("oggenc.ogg") + "' '" + f + "'";
    for (auto _ : state)
        benchfix::runCommand(state, command);
}
BENCHMARK(Oggenc)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void EditorMixWav(benchmark::State& state)
{
    Editor& e = editor();
    const QString path = e.out("editor.wav");
    for (auto _ : state) {
        e.exportFromPage(1, "WAVE", path);
        if (!QFile::exists(path))
            state.SkipWithError("export failed");
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
    }
}
BENCHMARK(EditorMixWav)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void EngineMixWav(benchmark::State& state)
{
    Editor& e = editor();
    KStreamFormat format{};
    KStreamFormat_init(&format);
    format.code = kWavCode;
    format.channels = 0;
    format.rate = kRate;
    format.bits = KAudioFmt_getNumberBits(format.code);
    const QString path = e.out("engine.wav");
    for (auto _ : state) {
        if (!e.doc->exportTovixToAudioFile("M", path, &format, nullptr))
            state.SkipWithError("render failed");
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
    }
    KStreamFormat_init(&format);
}
BENCHMARK(EngineMixWav)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void SoxMix(benchmark::State& state)
{
    Editor& e = editor();
    if (!hasTool("sox")) {
        state.SkipWithError("sox is missing");
        return;
    }
    std::string command = "sox -m";
    for (const std::string& f : e.files)
        command += " '" + f + "'";
    command += " -b 16 '" + e.dir.file("sox.wav") + "' 2>/dev/null";
    for (auto _ : state)
        benchfix::runCommand(state, command);
}
BENCHMARK(SoxMix)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
