// The editor's structure edits at project scale, each beside its comparison.
//
// Import/N/V: N generated stereo WAV files (TOVRA_BENCH_IMPORT_SECONDS long, 30 s unless set;
// 180 s gives the three-minute files, 6 GB for 200) imported by the import worker into a new
// document, with (V=1) or without (V=0) the document's structure tree and track table attached,
// until every queued view update has run. SndfileInfo/N: the audio-file library's own
// `sndfile-info` over the same files, one process. Goal: Import/200/0 under twice SndfileInfo/200,
// and Import/N/1 minus Import/N/0 growing linearly with N.
//
// ConstraintEdit/D: one exclusion made through the constraint dialog's Ok (D=1) on a project of
// 200 tracks (groups of 8) and 500 exclusions, with the constraints page showing them; beside it
// (D=0) the same exclusion made by the document alone, which is the rule check's share.
// p50/p95 in ms. Goal: p95 under 200 ms.
//
// GroupModify/D: a group of a 300-track, 50-rule project modified from its dialog: its 10
// members replaced by 10 tracks of other groups (20 member changes); the time of Ok. D=1 is the
// dialog (one checkpoint, one rule check); D=0 the same changes as separate checked edits of the
// document, its comparison. Counter checkpoints: rule-checked steps per modification.
//
// AddToGroup/N: one track moved into another group as a drop on the structure tree does it (the
// main window's addEltInGroup: out of its group, into the other, each step rule-checked), with
// the queued view updates, on a project of N tracks in groups of 5 and 50 exclusions open in the
// main window with its views. 500 against 5,000. Goal: under 100 ms at 5,000 tracks.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QListView>
#include <QProcess>
#include <QSpinBox>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include <sndfile.h>

#include "DlgCreateConstt.h"
#include "DlgNewGroupUI.h"
#include "ExcluWidget.h"
#include "ImportAudioThread.h"
#include "KCtrlFile.h"
#include "KDragDropTreeView.h"
#include "KDragTrackList.h"
#include "KFile.h"
#include "KPrompt.h"
#include "ZazuzoziZadiviDU.h"

namespace
{

QTemporaryDir& workDir()
{
    static QTemporaryDir dir;
    return dir;
}

void ensureApp()
{
    static QApplication* app = nullptr;
    if (app)
        return;
    // The editor's preferences go to a folder of the run, never the user's.
    qputenv("XDG_CONFIG_HOME", workDir().filePath("config").toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_structure_edits";
    static char* argv[] = {name, nullptr};
    app = new QApplication(argc, argv);
    // No box may block: warnings are kept, errors answered.
    KPrompt::setHandler([](const KPrompt::Request&) {
        KPrompt::Answer answer;
        answer.button = QMessageBox::Ignore;
        return answer;
    });
}

// The N stereo files, written once per run.
QStringList importFiles(int count)
{
    static QStringList files;
    const int seconds = qEnvironmentVariableIsSet("TOVRA_BENCH_IMPORT_SECONDS")
                            ? qEnvironmentVariableIntValue("TOVRA_BENCH_IMPORT_SECONDS")
                            : 30;
    const int rate = 44100;
    std::vector<short> block(2 * rate);
    for (int i = 0; i < rate; ++i)
        block[2 * i] = block[2 * i + 1] = short(8000 * ((i / 50) % 2 ? 1 : -1));
    while (files.size() < count) {
        const QString path = workDir().filePath(QString("take%1.wav").arg(files.size()));
        SF_INFO info{};
        info.samplerate = rate;
        info.channels = 2;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open(path.toUtf8().constData(), SFM_WRITE, &info);
        for (int s = 0; file && s < seconds; ++s)
            sf_write_short(file, block.data(), sf_count_t(block.size()));
        sf_close(file);
        files << path;
    }
    return files.mid(0, count);
}

void Import(benchmark::State& state)
{
    ensureApp();
    const QStringList files = importFiles(int(state.range(0)));
    const bool views = state.range(1) != 0;
    for (auto _ : state) {
        KCtrlFile doc;
        std::unique_ptr<KDragDropTreeView> tree;
        std::unique_ptr<KDragTrackList> library;
        if (views) {
            tree = std::make_unique<KDragDropTreeView>(&doc, nullptr, nullptr);
            library = std::make_unique<KDragTrackList>(&doc, nullptr);
        }
        const auto start = std::chrono::steady_clock::now();
        ImportAudioThread worker(files, &doc);
        worker.start();
        while (!worker.wait(1))
            QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        if (worker.getTrackNames().size() != files.size()) {
            state.SkipWithError("import failed");
            break;
        }
    }
    state.counters["tracks"] = double(files.size());
}

void SndfileInfo(benchmark::State& state)
{
    ensureApp();
    const QStringList files = importFiles(int(state.range(0)));
    for (auto _ : state) {
        QProcess tool;
        tool.setStandardOutputFile(QProcess::nullDevice());
        const auto start = std::chrono::steady_clock::now();
        tool.start("sndfile-info", files);
        tool.waitForFinished(-1);
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        if (tool.exitStatus() != QProcess::NormalExit) {
            state.SkipWithError("sndfile-info did not run");
            break;
        }
    }
}

QString track(int t)
{
    return QString("Track %1").arg(t);
}

// A project of bitstream tracks in groups of `groupSize` and `rules` exclusions across groups,
// in the main window's document.
KCtrlFile* makeProject(int tracks, int groupSize, int rules)
{
    ZazuzoziZadiviDU* window = ZazuzoziZadiviDU::getInstance();
    window->newProject(false);
    KCtrlFile* doc = window->getTovraFile();
    QStringList names;
    for (int t = 0; t < tracks; ++t) {
        addBitstreamTrack(doc->getKFile(), track(t).toUtf8().constData(), 0, nullptr, 44100, t);
        names << track(t);
    }
    for (int g = 0; g * groupSize < tracks; ++g)
        doc->KObjFile::createGroup(QString("Group %1").arg(g), names.mid(g * groupSize, groupSize), 0,
                                   groupSize);
    for (int r = 0; r < rules; ++r) {
        const int a = (r * 7) % tracks;
        const int b = (a + groupSize + (r * 13) % std::max(1, tracks - groupSize)) % tracks;
        if (a / groupSize != b / groupSize)
            doc->KObjFile::createExclu({track(a), track(b)}, QString());
    }
    window->getExcluWidget()->initUI(doc);
    return doc;
}

void percentiles(benchmark::State& state, std::vector<double> times)
{
    if (times.empty())
        return;
    std::sort(times.begin(), times.end());
    state.counters["p50_ms"] = times[times.size() / 2];
    state.counters["p95_ms"] = times[std::min(times.size() - 1, times.size() * 95 / 100)];
}

void ConstraintEdit(benchmark::State& state)
{
    ensureApp();
    KCtrlFile* doc = makeProject(200, 8, 500);
    ZazuzoziZadiviDU* window = ZazuzoziZadiviDU::getInstance();
    const bool dialogRoad = state.range(0) != 0;
    std::vector<double> times;
    int n = 0;
    for (auto _ : state) {
        DlgCreateConstt dialog(KObjFile::Exclusion, window, window);
        const QString first = track(n % 8);
        const QString second = track(16 + (n * 5) % 180);
        dialog.comboBox1->setCurrentText(first);
        dialog.comboBox2->setCurrentText(second);
        ++n;
        const auto start = std::chrono::steady_clock::now();
        QString made;
        if (dialogRoad) {
            dialog.okAction();
            if (dialog.result() == 1)
                made = window->getExcluWidget()->ruleNames(KObjFile::Exclusion).last();
        } else {
            made = doc->createExclu({first, second}, QString());
        }
        const auto end = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(end - start).count();
        state.SetIterationTime(seconds);
        times.push_back(seconds * 1000.0);
        if (made.isEmpty()) {
            state.SkipWithError("edit refused");
            break;
        }
        doc->KObjFile::removeConstraint(made);
        window->getExcluWidget()->removeElement(KObjFile::Exclusion, made);
    }
    percentiles(state, times);
    ZazuzoziZadiviDU::deleteInstance();
}

void GroupModify(benchmark::State& state)
{
    ensureApp();
    const bool dialogRoad = state.range(0) != 0;
    KCtrlFile* doc = makeProject(300, 10, 50);
    ZazuzoziZadiviDU* window = ZazuzoziZadiviDU::getInstance();
    const QStringList before = doc->getSubElt("Group 0");
    QStringList incoming;
    for (int g = 1; g <= 10; ++g)
        incoming << track(g * 10 + 5);
    std::vector<double> times;
    int steps = 0;
    for (auto _ : state) {
        bool done = true;
        if (dialogRoad) {
            // The author's moves in the dialog are not timed, only its Ok.
            DlgNewGroupUI real(doc, DlgNewGroupUI::Modify, window);
            real.setName("Group 0");
            real.setParent(QString());
            real.setEltInGrp(before);
            real.setMinMaxPlay(0, 10);
            real.form().eltList->selectAll();
            real.removeElt_clicked();
            for (const QString& name : incoming) {
                real.form().trackList->clearSelection();
                const auto* model = real.form().trackList->model();
                for (int row = 0; row < model->rowCount(); ++row)
                    if (model->index(row, 0).data().toString() == name)
                        real.form().trackList->selectionModel()->select(model->index(row, 0),
                                                                        QItemSelectionModel::Select);
                real.addTrack_clicked();
            }
            real.form().maxSpinBox->setValue(10);
            const auto okStart = std::chrono::steady_clock::now();
            real.okModify_clicked();
            const auto okEnd = std::chrono::steady_clock::now();
            done = real.result() == 1;
            steps = 1;
            const double seconds = std::chrono::duration<double>(okEnd - okStart).count();
            state.SetIterationTime(seconds);
            times.push_back(seconds * 1000.0);
        } else {
            const auto start = std::chrono::steady_clock::now();
            steps = 0;
            for (const QString& member : before) {
                done = doc->removeEltFromGroup("Group 0", member) && done;
                ++steps;
            }
            for (const QString& member : incoming) {
                done = doc->removeEltFromGroup(doc->getParent(member), member) && done;
                done = doc->addEltInGroup("Group 0", member) && done;
                steps += 2;
            }
            const auto end = std::chrono::steady_clock::now();
            const double seconds = std::chrono::duration<double>(end - start).count();
            state.SetIterationTime(seconds);
            times.push_back(seconds * 1000.0);
        }
        if (!done || doc->getSubElt("Group 0").size() != 10) {
            state.SkipWithError("modification refused");
            break;
        }
        // Back to the starting project, outside the measured time.
        for (const QString& member : incoming) {
            doc->KObjFile::removeEltFromGroup("Group 0", member);
            const int g = member.section(' ', 1).toInt() / 10;
            doc->KObjFile::addEltInGroup(QString("Group %1").arg(g), member);
        }
        for (const QString& member : before)
            doc->KObjFile::addEltInGroup("Group 0", member);
    }
    state.counters["checkpoints"] = steps;
    percentiles(state, times);
    ZazuzoziZadiviDU::deleteInstance();
}

void AddToGroup(benchmark::State& state)
{
    ensureApp();
    const int tracks = int(state.range(0));
    KCtrlFile* doc = makeProject(tracks, 5, 50);
    ZazuzoziZadiviDU* window = ZazuzoziZadiviDU::getInstance();
    window->updateUI();
    QCoreApplication::processEvents();
    std::vector<double> times;
    int n = 0;
    for (auto _ : state) {
        // A track of a group in the first half into a group of the second half, and back untimed.
        const QString moved = track((n * 37) % (tracks / 2));
        const QString from = doc->getParent(moved);
        const QString to = QString("Group %1").arg(tracks / 10 + n % (tracks / 10));
        ++n;
        const auto start = std::chrono::steady_clock::now();
        const bool done = window->addEltInGroup(moved, to);
        QCoreApplication::processEvents();
        const auto end = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(end - start).count();
        state.SetIterationTime(seconds);
        times.push_back(seconds * 1000.0);
        if (!done || doc->getParent(moved) != to || !window->addEltInGroup(moved, from)) {
            state.SkipWithError("move refused");
            break;
        }
        QCoreApplication::processEvents();
    }
    percentiles(state, times);
    ZazuzoziZadiviDU::deleteInstance();
}

} // namespace

BENCHMARK(Import)
    ->ArgsProduct({{50, 100, 200}, {0, 1}})
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(SndfileInfo)->Arg(50)->Arg(100)->Arg(200)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(ConstraintEdit)->Arg(1)->Arg(0)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);
BENCHMARK(GroupModify)->Arg(1)->Arg(0)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(AddToGroup)->Arg(500)->Arg(5000)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
