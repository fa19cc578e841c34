// The mix editor on a 500-track project (five levels: 5, 10, 50 and 100 groups, then the
// tracks, every track playing):
//  - rebuilding the level list after a play switch, beside filling a QListWidget with 600
//    prebuilt strings (the floor any rebuild of that many rows pays); goal under 5 ms;
//  - opening each of 20 stored mixes from the list, until the events it queued are handled, on
//    the track step and on the console step; goal under 100 ms each.
#include "KCtrlFile.h"
#include "KListWidget.h"
#include "MixViewUI.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <memory>
#include <vector>

namespace {
QApplication& app()
{
    static int argc = 1;
    static char name[] = "bench_mixeditor";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(argc, argv);
    return application;
}

// A short mono tone shared by every track.
QString toneFile(const QTemporaryDir& dir)
{
    const QString path = dir.filePath("tone.wav");
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.toUtf8().constData(), SFM_WRITE, &info);
    std::vector<short> samples(4410, 1000);
    sf_write_short(file, samples.data(), sf_count_t(samples.size()));
    sf_close(file);
    return path;
}

// Groups of `fanOut[level]` children per parent, level by level, 500 tracks at the bottom.
struct Project {
    QTemporaryDir dir;
    KCtrlFile document;
    QStringList tracks;
    Project()
    {
        const QString tone = toneFile(dir);
        const int fanOut[] = {5, 2, 5, 2, 5};
        // Names level by level: element i of a level holds the next level's elements from
        // fanOut[level + 1] * i on.
        QList<QStringList> levels;
        int count = 1;
        for (int level = 0; level < 5; ++level) {
            count *= fanOut[level];
            QStringList names;
            for (int i = 0; i < count; ++i)
                names << QString("L%1_%2").arg(level).arg(i);
            levels << names;
        }
        for (const QString& name : levels[4])
            tracks << document.addTrack(name, tone, nullptr);
        // Groups from the bottom up, so that every member exists.
        for (int level = 3; level >= 0; --level)
            for (int i = 0; i < levels[level].size(); ++i)
                document.KObjFile::createGroup(levels[level][i],
                                               levels[level + 1].mid(i * fanOut[level + 1], fanOut[level + 1]),
                                               0, fanOut[level + 1]);
        document.setEltsStatus(true, false);
    }
};

void BM_LevelListRebuildAfterToggle(benchmark::State& state)
{
    app();
    Project project;
    QWidget host;
    MixViewUI editor(&project.document, nullptr, &host);
    editor.setListLevel();
    state.counters["depth"] = project.document.getTreeDepth();
    int toggle = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString& track = project.tracks[toggle % project.tracks.size()];
        project.document.KObjFile::setEltStatus(track, toggle % 2 != 0, false);
        ++toggle;
        state.ResumeTiming();
        editor.setListLevel();
    }
    state.counters["rows"] = editor.getLevelList()->count();
}
BENCHMARK(BM_LevelListRebuildAfterToggle)->Iterations(100)->Unit(benchmark::kMillisecond);

void BM_QListWidgetFill600Strings(benchmark::State& state)
{
    app();
    QStringList rows;
    for (int i = 0; i < 600; ++i)
        rows << QString("    - track %1").arg(i);
    QListWidget list;
    for (auto _ : state) {
        list.clear();
        list.addItems(rows);
    }
}
BENCHMARK(BM_QListWidgetFill600Strings)->Iterations(100)->Unit(benchmark::kMillisecond);

void BM_OpenStoredMix(benchmark::State& state)
{
    app();
    Project project;
    for (int i = 0; i < 20; ++i) {
        project.document.KObjFile::setEltStatus(project.tracks[i], false, false);
        project.document.saveCurrentMix(QString("Mix %1").arg(i, 2, 10, QChar('0')));
    }
    QWidget host;
    host.resize(1000, 800);
    MixViewUI editor(&project.document, nullptr, &host);
    host.show();
    QApplication::processEvents();
    // Argument 1: the console page shows, so each opened mix also fills the console.
    if (state.range(0) == 1) {
        editor.getMixList()->setAsCurrentMix("Mix 19");
        editor.nextPage();
        QApplication::processEvents();
    }
    int mix = 0;
    for (auto _ : state) {
        editor.getMixList()->setAsCurrentMix(QString("Mix %1").arg(mix % 20, 2, 10, QChar('0')));
        QApplication::processEvents();
        ++mix;
    }
}
BENCHMARK(BM_OpenStoredMix)->Arg(0)->Arg(1)->Iterations(20)->Unit(benchmark::kMillisecond);
} // namespace
