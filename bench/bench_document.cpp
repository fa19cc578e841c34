// The document's file work beside standard tools doing the same job.
//
// SaveReopen/N against QtXmlSaveReopen/N: a project of N tracks, N/5 groups, 2N rules and 50
// stored mixes of every track (1,000 tracks: 200 groups, 2,000 rules) saved to a project file and
// reopened through the document, beside QXmlStreamWriter writing the same description tree to a
// file and QXmlStreamReader reading it back into a tree. Goal: within 2x, and linear in N.
// StereoToMono against SndfileMixToMono (or SoxToMono where that tool is missing): a 10-minute
// 24-bit stereo WAV folded to mono. Goal: at most 1.5x.
// RenderOgg against SoxOggenc: a stored mix of 16 stereo tracks of 3 minutes rendered to Ogg
// Vorbis, beside `sox -m` piped into `oggenc` on the same files. Goal: at most 1.2x.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <memory>
#include <string>
#include <vector>

#include <sndfile.h>

#include "BenchFixtures.h"
#include "KCtrlFile.h"
#include "KFile.h"
#include "KTypes.h"
#include "KXml.h"
#include "TovraOLib.h"
#include "XmlObject.h"

namespace
{

// The project of N tracks through the document (tracks are container streams, no audio).
std::unique_ptr<KCtrlFile> makeProject(int tracks)
{
    auto doc = std::make_unique<KCtrlFile>();
    QStringList names;
    for (int t = 0; t < tracks; ++t) {
        const QString name = QString("Track %1").arg(t);
        addBitstreamTrack(doc->getKFile(), name.toUtf8().constData(), t * 10, nullptr, 44100, t);
        names << name;
    }
    for (int g = 0; g < tracks / 5; ++g)
        doc->createGroup(QString("Group %1").arg(g), names.mid(g * 5, 5), 0, -1);
    for (int r = 0; r < tracks; ++r) {
        doc->createExclu({names[r], names[(r + 1) % tracks]}, "Take & <mix> notes");
        doc->createImply(names[r], {names[(r + 2) % tracks]}, QString());
    }
    for (const QString& name : names)
        doc->addTrackInCurMix(name);
    for (int m = 0; m < 50; ++m) {
        doc->setMixLevel("", -m);
        doc->saveCurrentMix(QString("Mix %1").arg(m));
    }
    return doc;
}

void SaveReopen(benchmark::State& state)
{
    fixtures::TempDir dir;
    const QString path = QString::fromStdString(dir.file("project.tvr"));
    std::unique_ptr<KCtrlFile> doc = makeProject(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::unique_ptr<KXml> desc(doc->exportToXmlDesc(false));
        if (!TovraOLib::writeStreamInFile(desc->toQString(), path))
            state.SkipWithError("save failed");
        KCtrlFile reopened;
        KXml read(TovraOLib::readStreamFromFile(path));
        if (!reopened.loadFromXmlObj(&read))
            state.SkipWithError("reopen failed");
    }
    state.counters["bytes"] = QFileInfo(path).size();
}
BENCHMARK(SaveReopen)->Arg(100)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(5);

// A tree read back by QXmlStreamReader.
struct Node {
    QString name, text;
    std::vector<std::unique_ptr<Node>> children;
};

void writeNode(QXmlStreamWriter& writer, const XmlObject* node)
{
    writer.writeStartElement(QString::fromUtf8(node->name));
    if (node->text)
        writer.writeCharacters(QString::fromUtf8(node->text));
    for (int i = 0; i < node->count; ++i)
        writeNode(writer, node->children[i]);
    writer.writeEndElement();
}

std::unique_ptr<Node> readTree(QXmlStreamReader& reader)
{
    std::unique_ptr<Node> root;
    std::vector<Node*> open;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            auto node = std::make_unique<Node>();
            node->name = reader.name().toString();
            Node* raw = node.get();
            if (open.empty())
                root = std::move(node);
            else
                open.back()->children.push_back(std::move(node));
            open.push_back(raw);
        } else if (reader.isCharacters() && !open.empty()) {
            open.back()->text += reader.text();
        } else if (reader.isEndElement()) {
            open.pop_back();
        }
    }
    return root;
}

void QtXmlSaveReopen(benchmark::State& state)
{
    fixtures::TempDir dir;
    const QString path = QString::fromStdString(dir.file("project.xml"));
    std::unique_ptr<KCtrlFile> doc = makeProject(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::unique_ptr<KXml> desc(doc->exportToXmlDesc(false));
        {
            QFile out(path);
            out.open(QIODevice::WriteOnly);
            QXmlStreamWriter writer(&out);
            writeNode(writer, desc->getXmlObj());
        }
        QFile in(path);
        in.open(QIODevice::ReadOnly);
        QXmlStreamReader reader(&in);
        std::unique_ptr<Node> tree = readTree(reader);
        if (!tree || reader.hasError())
            state.SkipWithError("Qt cannot read the tree back");
    }
    state.counters["bytes"] = QFileInfo(path).size();
}
BENCHMARK(QtXmlSaveReopen)->Arg(100)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(5);

const int kRate = 44100;

// Ten minutes of 24-bit stereo, written once.
const std::string& longStereo()
{
    static fixtures::TempDir dir;
    static const std::string path = [] {
        const std::string p = dir.file("long.wav");
        benchfix::writeStereoTrack(p, kRate, 600, SF_FORMAT_WAV | SF_FORMAT_PCM_24, 0,
                                   benchfix::Tones::WithNoise);
        return p;
    }();
    return path;
}

void StereoToMono(benchmark::State& state)
{
    const QString source = QString::fromStdString(longStereo());
    const QString out = source + ".mono.wav";
    for (auto _ : state)
        if (!TovraOLib::convertStereoToMono(source, out))
            state.SkipWithError("conversion failed");
    QFile::remove(out);
}
BENCHMARK(StereoToMono)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void SndfileMixToMono(benchmark::State& state)
{
    const std::string& source = longStereo();
    const std::string command =
        "sndfile-mix-to-mono '" + source + "' '" + source + ".tool.wav' >/dev/null 2>&1";
    for (auto _ : state)
        benchfix::runCommand(state, command, "sndfile-mix-to-mono failed (sndfile-programs?)");
    std::remove((source + ".tool.wav").c_str());
}
BENCHMARK(SndfileMixToMono)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Debian ships sndfile-programs without sndfile-mix-to-mono: sox averaging the two channels
// stands in for it there.
void SoxToMono(benchmark::State& state)
{
    const std::string& source = longStereo();
    const std::string command =
        "sox '" + source + "' '" + source + ".sox.wav' channels 1 >/dev/null 2>&1";
    for (auto _ : state)
        benchfix::runCommand(state, command, "sox failed");
    std::remove((source + ".sox.wav").c_str());
}
BENCHMARK(SoxToMono)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

const int kRenderTracks = 16, kRenderSeconds = 180;

struct RenderCorpus {
    fixtures::TempDir dir;
    std::vector<std::string> files;
    RenderCorpus()
    {
        for (int t = 0; t < kRenderTracks; ++t)
            files.push_back(dir.file("t" + std::to_string(t) + ".wav"));
        benchfix::forEachInParallel(kRenderTracks, [this](int t) {
            benchfix::writeStereoTrack(files[t], kRate, kRenderSeconds,
                                       SF_FORMAT_WAV | SF_FORMAT_PCM_16, t,
                                       benchfix::Tones::Plain);
        });
    }
};

const RenderCorpus& renderCorpus()
{
    static const RenderCorpus corpus;
    return corpus;
}

// Vorbis quality 0.3 for both sides.
const int kOggQuality = 3;

void RenderOgg(benchmark::State& state)
{
    const RenderCorpus& corpus = renderCorpus();
    KCtrlFile doc;
    QStringList names;
    for (const std::string& file : corpus.files)
        names << doc.addTrack("", QString::fromStdString(file), nullptr);
    doc.createGroup("All", names, 0, -1);
    doc.setEltsStatus(true, false);
    for (const QString& name : names)
        doc.addTrackInCurMix(name);
    doc.saveCurrentMix("M");
    KStreamFormat format{};
    KStreamFormat_init(&format);
    format.code = KAUDIOFMT_VORBIS | (KAUDIOFMT_VORBIS_QUALITY_BASE + kOggQuality);
    format.rate = kRate;
    format.channels = 2;
    const QString out = QString::fromStdString(corpus.dir.file("render.ogg"));
    for (auto _ : state)
        if (!doc.exportTovixToAudioFile("M", out, &format, nullptr))
            state.SkipWithError("render failed");
    KStreamFormat_init(&format);
}
BENCHMARK(RenderOgg)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void SoxOggenc(benchmark::State& state)
{
    const RenderCorpus& corpus = renderCorpus();
    std::string command = "sox -m";
    for (const std::string& f : corpus.files)
        command += " '" + f + "'";
    command += " -t wav - 2>/dev/null | oggenc -Q -q " + std::to_string(kOggQuality) + " -o '" +
               corpus.dir.file("sox.ogg") + "' -";
    for (auto _ : state)
        benchfix::runCommand(state, command, "sox or oggenc failed (vorbis-tools?)");
}
BENCHMARK(SoxOggenc)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
