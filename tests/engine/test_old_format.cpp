// Older tag-text project format: the writer's exact text and its refusals (the previous file
// kept), the streaming reader's sections and codes, the song-tag reader's copies, and the plain
// description file reader.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "AudioFixtures.h"
#include "KLevels.h"
#include "KMix.h"
#include "KSafeFile.h"
#include "KZarkOld.h"
#include "KZarkXml.h"
#include "ProjectBuilder.h"

namespace {

using fixtures::readBytes;
using fixtures::TempDir;
using fixtures::writeBytes;

TEST(OldFormat, WriterTextOfATrackProject)
{
    TempDir dir;
    ProjectBuilder p;
    KFile *f = p.file();
    ASSERT_EQ(1, addTrack(f, createTrack(0, nullptr, 4410), "T <1>"));
    ASSERT_EQ(1, setPathWOC(f, "T <1>", _tvr_strcpy("/audio/t&u.wav")));
    ASSERT_EQ(1, addSong(f, "Title", "A & B"));
    const std::string path = dir.file("project.tvs");
    ASSERT_EQ(1, TovraWriteGenDatas(f, path.c_str(), 0));
    EXPECT_EQ("<TVS_PROJECT>\n<VERSION>2.000</VERSION>\n\n<SONG><Title>A &amp; B</Title></SONG>\n"
              "<TRCK><FILE>/audio/t&amp;u.wav</FILE><NAME>T &lt;1&gt;</NAME>"
              "<SIZE>      4410</SIZE></TRCK>\n</TVS_PROJECT>",
              readBytes(path));

    // The distributable form: new ID, root TOVRA, tracks outside any group left out.
    const std::string shipped = dir.file("shipped.tvs");
    ASSERT_EQ(1, TovraWriteGenDatas(f, shipped.c_str(), 1));
    ASSERT_NE(nullptr, f->fileId);
    EXPECT_EQ(std::string("<TOVRA>\n<VERSION>2.000</VERSION>\n\n<SONG><Title>A &amp; B</Title>"
                          "</SONG>\n\n<FKEY>") +
                  f->fileId + "</FKEY>\n</TOVRA>",
              readBytes(shipped));
}

// Stored mixes as older selections, the default one as SLCT_DEF; the pieces this format has no
// form for say so and do nothing.
TEST(OldFormat, SelectionsAndThePiecesWithoutAForm)
{
    TempDir dir;
    ProjectBuilder p;
    p.track("A & 1").track("B");
    KFile *f = p.file();
    ASSERT_EQ(1, addTrackInCurrentMix(f, "A & 1"));
    ASSERT_EQ(1, saveCurrentSlct(f, "First"));
    ASSERT_EQ(1, addTrackInCurrentMix(f, "B"));
    ASSERT_EQ(1, saveCurrentSlct(f, "Second"));
    const std::string path = dir.file("slct.txt");
    FILE *out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, out);
    EXPECT_EQ(1, saveDescSlct(f, out));
    EXPECT_EQ(-1, saveDescSlct(nullptr, out));
    testing::internal::CaptureStderr();
    EXPECT_EQ(0, saveDescMixConfig(f, out));
    EXPECT_EQ(0, TovraWriteSlctCnst(f, out));
    EXPECT_EQ(0, loadDescMixConfig(f, out));
    const std::string err = testing::internal::GetCapturedStderr();
    std::fclose(out);
    EXPECT_EQ("<SLCT_DEF><NAME>First</NAME><S_TRACK><NAME>A &amp; 1</NAME></S_TRACK></SLCT_DEF>\n"
              "<SLCT><NAME>Second</NAME><S_TRACK><NAME>A &amp; 1</NAME></S_TRACK>"
              "<S_TRACK><NAME>B</NAME></S_TRACK></SLCT>\n",
              readBytes(path));
    EXPECT_NE(std::string::npos,
              err.find("!!! WARNING : int saveDescMixConfig (KFile* file, FILE* dFile) is not implemented."));
    EXPECT_NE(std::string::npos, err.find("int TovraWriteSlctCnst (KFile* file, FILE* dFile)"));
    EXPECT_NE(std::string::npos, err.find("int loadDescMixConfig (KFile* file, FILE* dFile)"));
}

TEST(OldFormat, WriterRefusalsKeepThePreviousFile)
{
    TempDir dir;
    const std::string path = dir.file("project.tvs");
    writeBytes(path, "previous");
    ProjectBuilder grouped;
    grouped.track("T").group("G", {"T"});
    EXPECT_EQ(-1, TovraWriteGenDatas(grouped.file(), path.c_str(), 0));
    ProjectBuilder badKey;
    ASSERT_EQ(1, addSong(badKey.file(), "a<b", "v"));
    EXPECT_EQ(-1, TovraWriteGenDatas(badKey.file(), path.c_str(), 0));

    ProjectBuilder plain;
    plain.track("T");
    KSafeFile_failWritesAfter(10);
    EXPECT_EQ(-1, TovraWriteGenDatas(plain.file(), path.c_str(), 0));
    KSafeFile_failWritesAfter(-1);
    EXPECT_EQ("previous", readBytes(path));
    EXPECT_EQ((std::vector<std::string>{"project.tvs"}), dir.entries());

    EXPECT_EQ(-2, TovraWriteGenDatas(nullptr, path.c_str(), 0));
    EXPECT_EQ(-2, TovraWriteGenDatas(plain.file(), nullptr, 0));
    EXPECT_EQ(-3, TovraWriteGenDatas(plain.file(), dir.file("no/such/folder/x.tvs").c_str(), 0));
}

const char *kOldText =
    "<ZARK>\n<VERSION>2.000</VERSION>\n\n"
    "<SONG><Title>Chanson &amp; \xC3\xA9t\xC3\xA9</Title><Author>Me</Author></SONG>\n"
    "<FMT><RATE>44100</RATE></FMT>"
    "<NCHANNELS>2</NCHANNELS>"
    "<TRCK><FILE>/a.wav</FILE><NAME>A</NAME><SIZE>        10</SIZE></TRCK>"
    "<CNST><NAME>G</NAME><S_CONST>GRP </S_CONST><SUB_ELT>H</SUB_ELT><S_MAX>2</S_MAX>"
    "<COLOR>3</COLOR></CNST>"
    "<CNST><NAME>H</NAME><S_CONST>GRP </S_CONST><S_VISIBLE>NO</S_VISIBLE></CNST>"
    "<MIXLAW><M_TYPE>M_UPPER</M_TYPE><M_ELT>G</M_ELT><M_UPCOEF>1.5</M_UPCOEF>"
    "<M_DEFAULT>12</M_DEFAULT><M_MIN>-100</M_MIN></MIXLAW>\n"
    "</ZARK>";

TEST(OldFormat, ReaderBuildsTheSectionsAndNeverWritesTheFile)
{
    TempDir dir;
    const std::string path = dir.file("old.zark");
    writeBytes(path, kOldText);
    setZarkError(-1);
    KFile *f = loadDPZark(path.c_str(), "ZARK");
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(0, getZarkError());
    EXPECT_STREQ("Chanson & \xC3\xA9t\xC3\xA9", giveSongField(f, "Title"));
    EXPECT_EQ(2, f->format->channels);
    EXPECT_EQ(1, k_isFather(f, "G", "H"));
    const int *bounds = giveGrpDatas(f, "G");
    EXPECT_EQ(0, bounds[0]);
    EXPECT_EQ(2, bounds[1]);
    bounds = giveGrpDatas(f, "H"); // absent bounds: 0 and the member count
    EXPECT_EQ(0, bounds[1]);
    EXPECT_EQ(0, isVisible(f, "H"));
    KElement *g = giveElt(f, "G");
    EXPECT_EQ(KMIXLAW_UPCOEF, g->mixLawType);
    ASSERT_NE(nullptr, g->mixLawData);
    EXPECT_DOUBLE_EQ(1.5, *static_cast<double *>(g->mixLawData));
    EXPECT_EQ(12, getDefLevel(f, "G"));
    EXPECT_EQ(-100, getMinLevel(f, "G"));
    EXPECT_EQ(60, getMaxLevel(f, "G")); // absent: unchanged
    ASSERT_NE(nullptr, f->fileId); // made in memory for an older file without one
    EXPECT_EQ(128u, std::string(f->fileId).size());
    EXPECT_EQ(kOldText, readBytes(path));
    _freeZark(f);
}

TEST(OldFormat, ReaderCodes)
{
    TempDir dir;
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    const std::string id(128, 'k');
    const std::string head = "<TVS_PROJECT><VERSION>2.000</VERSION>";
    const std::string tail = "</TVS_PROJECT>";
    const struct {
        std::string text;
        int code;
    } cases[] = {
        {head + "<FMT>x</FMT><TRCK><NAME>T</NAME></TRCK><FKEY>" + id + "</FKEY>" + tail, 0},
        {"<TVS_PROJECT><SONG></SONG>" + tail, -201},
        {"<OTHER><VERSION>2.0</VERSION></OTHER>", -201},
        {"<TVS_PROJECT><VERSION>99</VERSION>" + tail, -102},
        {"<TVS_PROJECT><VERSION>nan</VERSION>" + tail, -201},
        {head + "<FMT>x", -203},
        {head + "<SONG><T>" + std::string(600, 'x') + "</T></SONG>" + tail, -204},
        {head + "<SONG><a&b>x</a&b></SONG>" + tail, -204},
        {head + "<FKEY>short</FKEY>" + tail, -207},
        {head + "<CNST><NAME>G</NAME></CNST>" + tail, -206},
        {head + "<CNST><NAME>G</NAME><S_CONST>GRP </S_CONST><SUB_ELT>Nobody</SUB_ELT></CNST>" + tail,
         -206},
        {head + "<CNST><NAME>G</NAME><S_CONST>GRP </S_CONST><SUB_ELT>G</SUB_ELT></CNST>" + tail, -206},
        {head + "<CNST><NAME>G</NAME><S_CONST>GRP </S_CONST></CNST>"
                "<CNST><NAME>G</NAME><S_CONST>GRP </S_CONST></CNST>" + tail,
         -206},
        {head + "<MIXLAW><M_TYPE>M_ODD</M_TYPE><M_ELT>G</M_ELT></MIXLAW>" + tail, -208},
        {head + "<MIXLAW><M_TYPE>M_EQUIV</M_TYPE><M_ELT>Nobody</M_ELT></MIXLAW>" + tail, -208},
        {head + "<NCHANNELS>x</NCHANNELS>" + tail, -209},
        {head + "<SONG></SONG>", -201},
    };
    for (const auto &c : cases) {
        const std::string path = dir.file("case.tvs");
        writeBytes(path, c.text);
        KFile *f = loadDPZark(path.c_str(), "TVS_PROJECT");
        EXPECT_EQ(c.code, getZarkError()) << c.text;
        EXPECT_EQ(c.code == 0, f != nullptr) << c.text;
        _freeZark(f);
    }
    EXPECT_EQ(nullptr, loadDPZark(nullptr, "ZARK"));
    EXPECT_EQ(-301, getZarkError());
    EXPECT_EQ(nullptr, loadDPZark(dir.file("missing").c_str(), "ZARK"));
    EXPECT_EQ(-302, getZarkError());
    EXPECT_EQ(nullptr, loadDPZark(fifo.c_str(), "ZARK"));
    EXPECT_EQ(-302, getZarkError());
}

TEST(OldFormat, SongTagsComeBackAsCopies)
{
    TempDir dir;
    const std::string path = dir.file("old.zark");
    writeBytes(path, kOldText);
    int count = 0;
    char **infos = GetMediaInfoFromPath(path.c_str(), &count);
    ASSERT_EQ(4, count);
    ASSERT_NE(nullptr, infos);
    EXPECT_STREQ("Title", infos[0]);
    EXPECT_STREQ("Chanson & \xC3\xA9t\xC3\xA9", infos[1]);
    EXPECT_STREQ("Author", infos[2]);
    EXPECT_STREQ("Me", infos[3]);
    freeMediaInfo(infos, count);

    const struct {
        std::string text;
        int code;
    } cases[] = {
        {"<?xml version=\"1.0\"?><TOVRA><VERSION>2</VERSION><SONG><k>v</k></SONG></TOVRA>", 1},
        {"<PROJECT><SONG></SONG></PROJECT>", -52},
        {"<ZARK><VERSION>2</VERSION></ZARK>", -53},
        {"<ZARK><SONG><k>v</SONG></ZARK>", -1},
    };
    for (const auto &c : cases) {
        writeBytes(path, c.text);
        ProjectBuilder p;
        EXPECT_EQ(c.code, loadMediaInfo(p.file(), path.c_str())) << c.text;
    }
    ProjectBuilder p;
    EXPECT_EQ(-51, loadMediaInfo(p.file(), dir.file("missing").c_str()));
    EXPECT_EQ(nullptr, GetMediaInfoFromPath(dir.file("missing").c_str(), &count));
    EXPECT_EQ(-1, count);
}

TEST(OldFormat, PlainDescriptionFile)
{
    TempDir dir;
    ProjectBuilder source;
    source.track("T").group("G", {"T"});
    XmlObject *tree = exportXmlDesc(source.file(), 0);
    char *text = XmlToString2(nullptr, tree);
    DeleteRecXmlObject(tree);
    const std::string path = dir.file("desc.xml");
    writeBytes(path, text);
    tvr_free(text);

    KFile *f = loadDTovraFile(path.c_str());
    ASSERT_NE(nullptr, f);
    EXPECT_STREQ(path.c_str(), f->name);
    EXPECT_EQ(1, k_isFather(f, "G", "T"));
    _freeZark(f);

    writeBytes(path, "<TOVRA-2.0><VERSION>2.0</VERSION><TRCK></TRCK></TOVRA-2.0>");
    EXPECT_EQ(nullptr, loadDTovraFile(path.c_str()));
    EXPECT_EQ(nullptr, loadDTovraFile(dir.file("missing").c_str()));
    EXPECT_EQ(nullptr, loadDTovraFile(dir.path().string().c_str()));
    EXPECT_EQ(nullptr, loadDTovraFile(nullptr));
}

} // namespace
