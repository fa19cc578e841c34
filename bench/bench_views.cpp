// The editor's views over large projects. Opening a project of 1,000 tracks, 100 groups and
// 2,000 rules in the main window, from the start of the load until the views are idle and drawn,
// beside the document's own load (the rule check and the engine's rebuild, no view) and beside a
// QStandardItemModel tree and table of the same shape built, expanded and drawn. Then a cycle
// through the five tabs with 500 tracks and 20 stored mixes, beside a QStackedWidget cycling five
// pages.
#include <benchmark/benchmark.h>

#include "../tests/editor/ProjectFixture.h"
#include "KCtrlFile.h"
#include "KPrompt.h"
#include "KXml.h"
#include "TovraOLib.h"
#include "ZazuzoziZadiviDU.h"

#include <QApplication>
#include <QResource>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeView>

#include <memory>

namespace
{

QApplication& app()
{
    static int argc = 1;
    static char name[] = "bench_views";
    static char* argv[] = {name, nullptr};
    static QTemporaryDir config;
    static QApplication* application = nullptr;
    if (application)
        return *application;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    // Left to the end of the process: the windows' pictures and devices outlive every case.
    application = new QApplication(argc, argv);
    QResource::registerResource(TOVRA_IMAGE_BUNDLE);
    // Every box is answered with its default, so no case waits on a person.
    KPrompt::setHandler([](const KPrompt::Request& request) {
        KPrompt::Answer answer;
        answer.button = (request.buttons & QMessageBox::Ignore) ? QMessageBox::Ignore : QMessageBox::Ok;
        return answer;
    });
    return *application;
}

struct Shape {
    int tracks;
    int groups;
    int rules;
    int mixes;
};

// A project file of `tracks` short WAV tracks spread over `groups` groups, half the rules
// exclusions of two tracks in different groups and half implications, and `mixes` stored mixes.
// Built once per shape, on an unchecked document.
QString projectFile(const Shape& shape)
{
    static fixtures::TempDir dir;
    const QString path = QString::fromStdString(
        dir.file(QString("p%1_%2_%3_%4.tvprj").arg(shape.tracks).arg(shape.groups).arg(shape.rules).arg(shape.mixes).toStdString()));
    if (QFile::exists(path))
        return path;
    const std::vector<float> samples = fixtures::sine(441, 44100, 440, 0.5);
    KObjFile document;
    QStringList names;
    for (int t = 0; t < shape.tracks; ++t) {
        const QString name = QString("Track %1").arg(t);
        const std::string file = dir.file(QString("t%1.wav").arg(t).toStdString());
        fixtures::writeAudio(file, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1, samples);
        names << document.addTrack(name, QString::fromStdString(file), nullptr);
    }
    const int perGroup = shape.tracks / shape.groups;
    for (int g = 0; g < shape.groups; ++g)
        document.createGroup(QString("Group %1").arg(g), names.mid(g * perGroup, perGroup), 0, -1);
    for (int r = 0; r < shape.rules; ++r) {
        const QString a = names[(r * 7) % shape.tracks];
        const QString b = names[(r * 7 + perGroup + 1) % shape.tracks];
        if (r % 2)
            document.createExclu({a, b}, QString());
        else
            document.createImply(a, {b}, QString());
    }
    for (const QString& name : names)
        document.setEltStatus(name, true, false);
    for (int m = 0; m < shape.mixes; ++m)
        document.saveCurrentMix(QString("Mix %1").arg(m));
    if (!writeProjectFile(document, path))
        return QString();
    return path;
}

void settle(QWidget* window)
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(window->grab());
}

ZazuzoziZadiviDU* shownWindow()
{
    ZazuzoziZadiviDU* window = ZazuzoziZadiviDU::getInstance();
    window->resize(1280, 900);
    window->show();
    return window;
}

const Shape Large{1000, 100, 2000, 1};

// From the start of the load until the views are idle and drawn.
void EditorOpensLargeProject(benchmark::State& state)
{
    app();
    const QString path = projectFile(Large);
    ZazuzoziZadiviDU* window = shownWindow();
    for (auto _ : state) {
        if (!window->openTovraProject(path)) {
            state.SkipWithError("the project did not open");
            break;
        }
        settle(window);
    }
    if (KCtrlFile* opened = window->getTovraFile()) {
        state.counters["tracks"] = opened->getTrackNames().size();
        state.counters["rules"] = opened->getConstNames().size();
    }
    ZazuzoziZadiviDU::deleteInstance();
}
BENCHMARK(EditorOpensLargeProject)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The document alone: reading the file, the rule check and the engine's rebuild, with no view.
void DocumentLoadsLargeProject(benchmark::State& state)
{
    app();
    const QString path = projectFile(Large);
    for (auto _ : state) {
        KXml description(TovraOLib::readStreamFromFile(path));
        std::unique_ptr<KXml> node(description.getOXmlField({"SONARIC_PROJECT", "TOVRA-2.0"}, QString()));
        KCtrlFile document;
        if (!node || !document.loadFromXmlObj(node.get())) {
            state.SkipWithError("the description did not load");
            break;
        }
    }
}
BENCHMARK(DocumentLoadsLargeProject)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The same shape as standard items: a library table of every track and a tree of the groups,
// filled, expanded and drawn.
void StandardModelsOfTheSameShape(benchmark::State& state)
{
    app();
    QWidget window;
    window.resize(1280, 900);
    QStandardItemModel treeModel, listModel;
    QTreeView tree(&window);
    QTableView list(&window);
    tree.setModel(&treeModel);
    list.setModel(&listModel);
    tree.setGeometry(300, 0, 900, 900);
    list.setGeometry(0, 0, 300, 900);
    window.show();
    const int perGroup = Large.tracks / Large.groups;
    for (auto _ : state) {
        treeModel.clear();
        listModel.clear();
        for (int g = 0; g < Large.groups; ++g) {
            auto* group = new QStandardItem(QString("Group %1").arg(g));
            for (int t = 0; t < perGroup; ++t) {
                const QString name = QString("Track %1").arg(g * perGroup + t);
                group->appendRow(new QStandardItem(name));
                listModel.appendRow({new QStandardItem("WAV"), new QStandardItem(name),
                                     new QStandardItem(QString("(in \"Group %1\")").arg(g))});
            }
            treeModel.appendRow(group);
        }
        tree.expandAll();
        list.resizeColumnsToContents();
        list.resizeRowsToContents();
        settle(&window);
    }
}
BENCHMARK(StandardModelsOfTheSameShape)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

const int TabCycle[] = {0, 1, 2, 3, 4, 0};

// One cycle through the five tabs, each drawn, with 500 tracks and 20 stored mixes.
void EditorTabCycle(benchmark::State& state)
{
    app();
    const QString path = projectFile({500, 50, 0, 20});
    ZazuzoziZadiviDU* window = shownWindow();
    if (!window->openTovraProject(path)) {
        state.SkipWithError("the project did not open");
        return;
    }
    settle(window);
    for (auto _ : state)
        for (int tab : TabCycle) {
            window->setCurrentTab(tab);
            settle(window);
        }
    ZazuzoziZadiviDU::deleteInstance();
}
BENCHMARK(EditorTabCycle)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// The comparison: five plain pages of a stacked widget, each drawn.
void StackedPagesCycle(benchmark::State& state)
{
    app();
    QStackedWidget stack;
    stack.resize(1280, 900);
    for (int i = 0; i < 5; ++i)
        stack.addWidget(new QTreeView);
    stack.show();
    for (auto _ : state)
        for (int tab : TabCycle) {
            stack.setCurrentIndex(tab);
            settle(&stack);
        }
}
BENCHMARK(StackedPagesCycle)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

} // namespace
