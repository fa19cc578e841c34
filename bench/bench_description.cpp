// Project description: writing and reading back projects of 10, 100 and 1,000 tracks (with
// groups, rules and 10 stored mixes holding every track). Counters give the text's size; the
// time per byte must stay flat as the project grows. Comparison: Qt's QXmlStreamReader reading
// every token of the same text, against our tag-tree parse alone and against the whole load.
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QXmlStreamReader>

#include <string>

#include "KFile.h"
#include "KMix.h"
#include "KZarkXml.h"
#include "tvr_utils.h"

namespace {

// N tracks in groups of ten, one exclusion and one implication per group, 10 mixes of all tracks.
KFile *makeProject(int tracks)
{
    KFile *file = newZark("Bench", 2.0);
    for (int t = 0; t < tracks; ++t) {
        std::string name = "Track " + std::to_string(t);
        addBitstreamTrack(file, name.c_str(), t * 10, nullptr, 44100 + t, t);
        setEltComment(file, name.c_str(), "Take & <mix> notes");
    }
    for (int g = 0; g * 10 < tracks; ++g) {
        std::string group = "Group " + std::to_string(g);
        std::string excl = "Excl " + std::to_string(g);
        std::string impl = "Impl " + std::to_string(g);
        createElt(file, KCONST_GROUP, group.c_str(), createDataGrp(0, 10));
        createElt(file, KCONST_GROUP, excl.c_str(), createDataGrp(0, 1));
        hideElt(file, excl.c_str());
        std::string first = "Track " + std::to_string(g * 10);
        createElt(file, KCONST_IMPLY, impl.c_str(), const_cast<char *>(first.c_str()));
        hideElt(file, impl.c_str());
        for (int t = g * 10; t < tracks && t < g * 10 + 10; ++t) {
            std::string name = "Track " + std::to_string(t);
            addSubElt(file, group.c_str(), name.c_str());
            if (t < g * 10 + 2)
                addSubElt(file, excl.c_str(), name.c_str());
            else if (t < g * 10 + 4)
                addSubElt(file, impl.c_str(), name.c_str());
        }
    }
    addSong(file, "Title", "Bench");
    for (int m = 0; m < 10; ++m) {
        KMix *mix = KMix_create(("Mix " + std::to_string(m)).c_str());
        for (int t = 0; t < tracks; ++t) {
            std::string name = "Track " + std::to_string(t);
            KMix_addTrack(mix, giveTrack(file, name.c_str()));
            KMix_addLevelToElt(mix, name.c_str(), 0.5 + 0.001 * t);
        }
        addSlct(file, mix, m == 0 ? KSLCT_AS_DEFAULT : 0);
    }
    return file;
}

std::string describe(KFile *file)
{
    XmlObject *tree = exportXmlDesc(file, 0);
    char *text = XmlToString2(nullptr, tree);
    DeleteRecXmlObject(tree);
    std::string out = text ? text : "";
    tvr_free(text);
    return out;
}

void setBytes(benchmark::State &state, size_t bytes)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_Write(benchmark::State &state)
{
    KFile *file = makeProject(static_cast<int>(state.range(0)));
    size_t bytes = 0;
    for (auto _ : state) {
        std::string text = describe(file);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    setBytes(state, bytes);
    _freeZark(file);
}

void BM_Load(benchmark::State &state)
{
    KFile *source = makeProject(static_cast<int>(state.range(0)));
    const std::string text = describe(source);
    _freeZark(source);
    for (auto _ : state) {
        KFile *file = newZark("Bench", 2.0);
        if (LoadFromXmlDesc(file, text.c_str()) != 1)
            state.SkipWithError("the description does not load");
        _freeZark(file);
    }
    setBytes(state, text.size());
}

void BM_TagTreeParse(benchmark::State &state)
{
    KFile *source = makeProject(static_cast<int>(state.range(0)));
    const std::string text = describe(source);
    _freeZark(source);
    for (auto _ : state) {
        XmlObject *tree = XmlParserFromString(text.c_str());
        benchmark::DoNotOptimize(tree);
        DeleteRecXmlObject(tree);
    }
    setBytes(state, text.size());
}

void BM_QtStreamReader(benchmark::State &state)
{
    KFile *source = makeProject(static_cast<int>(state.range(0)));
    const QByteArray text = QByteArray::fromStdString(describe(source));
    _freeZark(source);
    for (auto _ : state) {
        QXmlStreamReader reader(text);
        qsizetype characters = 0;
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.isCharacters())
                characters += reader.text().toString().size(); // a copy, as the tag tree keeps
        }
        if (reader.hasError())
            state.SkipWithError("Qt cannot read the description");
        benchmark::DoNotOptimize(characters);
    }
    setBytes(state, static_cast<size_t>(text.size()));
}

} // namespace

BENCHMARK(BM_Write)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TagTreeParse)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QtStreamReader)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
