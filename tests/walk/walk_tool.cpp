// The small helper of the author walk (scripts/author-walk.sh):
//   walk_tool sine <file> <seconds> <channels> <frequency>
//       writes a sine at 44100 Hz in the format the file's extension names (wav, flac, ogg, mp3),
//       through libsndfile, which writes MP3 where the sound tools here cannot;
//   walk_tool channels <file>
//       prints the number of channels of an audio file;
//   walk_tool frames <file>
//       prints the number of frames and the sample rate of an audio file;
//   walk_tool description <container>
//       prints the XML description of a container file; exit status 1 when it holds none;
//   walk_tool deep <project> <groups> <outermost|innermost> <audio file>
//       writes a project whose groups nest in one chain <groups> deep, the one track (of the
//       audio file) in the innermost, the groups stored outermost or innermost first;
//   walk_tool mixed <project> <audio file> <mix>
//       writes a project of the one track (of the audio file) in a group and one stored mix that
//       plays it.
#include "KCtrlFile.h"
#include "KFile.h"
#include "KXml.h"
#include "TovraOLib.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {
int formatFor(const QString& suffix)
{
    if (suffix == "wav")
        return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    if (suffix == "flac")
        return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    if (suffix == "ogg")
        return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    if (suffix == "mp3")
        return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    return 0;
}

int writeSine(const QString& path, double seconds, int channels, double frequency)
{
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = channels;
    info.format = formatFor(QFileInfo(path).suffix().toLower());
    if (info.format == 0 || channels < 1 || channels > 2 || seconds <= 0 || !sf_format_check(&info)) {
        std::fprintf(stderr, "walk_tool: cannot write %s in that format\n", qPrintable(path));
        return 1;
    }
    SNDFILE* file = sf_open(path.toUtf8().constData(), SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "walk_tool: %s: %s\n", qPrintable(path), sf_strerror(nullptr));
        return 1;
    }
    const auto frames = static_cast<sf_count_t>(seconds * info.samplerate);
    std::vector<float> samples(static_cast<size_t>(frames * channels));
    for (sf_count_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            samples[size_t(i * channels + c)] =
                float(0.4 * std::sin(2.0 * M_PI * frequency * (c + 1) * double(i) / info.samplerate));
    const bool written = sf_writef_float(file, samples.data(), frames) == frames;
    sf_close(file);
    return written ? 0 : 1;
}

// The project as the editor saves it: its description inside the project wrapper.
bool writeProject(const KCtrlFile& project, const QString& path)
{
    KXml wrapper("SONARIC_PROJECT", QString());
    KXml* description = project.exportToXmlDesc(false);
    const bool added = description && wrapper.addSubObject(description);
    delete description;
    return added && TovraOLib::writeStreamInFile(wrapper.exportToStream(), path);
}

int writeDeepProject(const QString& path, int groups, bool outermostFirst, const QString& audio)
{
    KCtrlFile project;
    if (groups < 1 || project.addTrack("T", audio, nullptr) != "T")
        return 1;
    KFile* engine = project.getKFile();
    const auto name = [](int i) { return "G" + std::to_string(i); };
    for (int n = 0; n < groups; ++n) {
        const int i = outermostFirst ? n : groups - 1 - n;
        if (createElt(engine, KCONST_GROUP, name(i).c_str(), createDataGrp(0, 1)) != 1)
            return 1;
    }
    for (int i = 1; i < groups; ++i)
        if (addSubElt(engine, name(i - 1).c_str(), name(i).c_str()) != 1)
            return 1;
    if (addSubElt(engine, name(groups - 1).c_str(), "T") != 1)
        return 1;
    return writeProject(project, path) ? 0 : 1;
}

int writeMixedProject(const QString& path, const QString& audio, const QString& mix)
{
    KCtrlFile project;
    // The track placed in the structure (in a group), out of the import group's waiting list.
    const bool made = project.addTrack("T", audio, nullptr) == "T"
                      && createElt(project.getKFile(), KCONST_GROUP, "G", createDataGrp(0, 1)) == 1
                      && project.addEltInGroup("G", "T") && project.addTrackInCurMix("T")
                      && project.saveCurrentMix(mix);
    return made && writeProject(project, path) ? 0 : 1;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc == 6 && std::strcmp(argv[1], "sine") == 0)
        return writeSine(QString::fromLocal8Bit(argv[2]), std::atof(argv[3]), std::atoi(argv[4]),
                         std::atof(argv[5]));
    if (argc == 3 && (std::strcmp(argv[1], "channels") == 0 || std::strcmp(argv[1], "frames") == 0)) {
        SF_INFO info{};
        SNDFILE* file = sf_open(argv[2], SFM_READ, &info);
        if (!file) {
            std::fprintf(stderr, "walk_tool: %s: %s\n", argv[2], sf_strerror(nullptr));
            return 1;
        }
        sf_close(file);
        if (std::strcmp(argv[1], "channels") == 0)
            std::printf("%d\n", info.channels);
        else
            std::printf("%lld %d\n", static_cast<long long>(info.frames), info.samplerate);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "description") == 0) {
        const QString text = TovraOLib::readStreamFromFile(QString::fromLocal8Bit(argv[2]));
        std::fputs(text.toUtf8().constData(), stdout);
        std::fputc('\n', stdout);
        return text.isEmpty() ? 1 : 0;
    }
    if (argc == 6 && std::strcmp(argv[1], "deep") == 0)
        return writeDeepProject(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]),
                                std::strcmp(argv[4], "outermost") == 0, QString::fromLocal8Bit(argv[5]));
    if (argc == 5 && std::strcmp(argv[1], "mixed") == 0)
        return writeMixedProject(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                                 QString::fromLocal8Bit(argv[4]));
    std::fprintf(stderr, "usage: walk_tool sine <file> <seconds> <channels> <frequency>\n"
                         "       walk_tool channels <file>\n"
                         "       walk_tool frames <file>\n"
                         "       walk_tool description <container>\n"
                         "       walk_tool deep <project> <groups> <outermost|innermost> <audio file>\n"
                         "       walk_tool mixed <project> <audio file> <mix>\n");
    return 2;
}
