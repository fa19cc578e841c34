// Project description: round trips of every field in the ordinary and the clean form, the exact
// text of a small project, the load codes, refused descriptions that leave the caller's project
// as it was, second-pass links, the audio clean-up and locale independence.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <clocale>
#include <cstring>
#include <string>
#include <vector>

#include "AudioFixtures.h"
#include "KEqual.h"
#include "KLevels.h"
#include "KMix.h"
#include "KZarkXml.h"
#include "ProjectBuilder.h"

namespace {

// Text form of a tree; empty when there is none.
std::string treeText(XmlObject *tree)
{
    if (!tree)
        return {};
    char *text = XmlToString2(nullptr, tree);
    DeleteRecXmlObject(tree);
    std::string out = text ? text : "";
    tvr_free(text);
    return out;
}

std::string describe(KFile *file, int clean = 0)
{
    return treeText(exportXmlDesc(file, clean));
}

std::string desc(const std::string &body)
{
    return "<TOVRA-2.0><VERSION>2.000000</VERSION>" + body + "</TOVRA-2.0>";
}

const char *kChoir = "Ch\xC5\x93ur \xE2\x82\xAC 1"; // "Chœur € 1" in UTF-8

// A project holding every field the description carries.
struct RichProject {
    fixtures::TempDir dir;
    ProjectBuilder p{"Rich"};
    std::string wav;

    RichProject()
    {
        KFile *f = p.file();
        wav = fixtures::writeAudio(dir.file("\xC3\xA9lan.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100,
                                   1, fixtures::sine(4410, 44100, 440, 0.5));
        EXPECT_EQ(1, addBitstreamTrack(f, kChoir, 100, nullptr, 44100, 0));
        EXPECT_EQ(1, addBitstreamTrack(f, "Bass & <Drums>", 0, nullptr, 22050, 1));
        EXPECT_GT(addFilteredTrackWithFilePath(f, "Keys", 0, nullptr, -1, _tvr_strcpy(wav.c_str()),
                                               nullptr),
                  0);
        EXPECT_EQ(1, addBitstreamTrack(f, "Solo", 0, nullptr, 1000, 2));
        p.group("Verse", {kChoir, "Bass & <Drums>"}, 1, 2);
        p.rule(KCONST_IMPLY, "If bass", {"Keys"}, "Bass & <Drums>");
        p.rule(KCONST_EQUIV, "Same", {"Keys", "Solo"});
        p.rule(KCONST_GROUP, "Either", {kChoir, "Solo"});
        p.group("Empty");

        KStreamFormat own{};
        KStreamFormat_init(&own);
        own.channels = 2;
        own.rate = 48000.0;
        own.bits = 24;
        EXPECT_EQ(1, addTrackFormat(f, "Solo", &own));
        giveTrack(f, "Solo")->position->x = 1.5;
        giveTrack(f, "Solo")->position->z = -2.25;
        setEltComment(f, kChoir, "lead <voice> & \"more\"");
        setEltComment(f, "Verse", "A\xC3\xA9 comment");
        KElement_setColor(p.elt(kChoir), static_cast<int>(0xFF336699u));
        KElement_setColor(p.elt("Verse"), 0x00AA00);
        KElement_setPan(p.elt("Bass & <Drums>"), -0.25);
        KElement_setPan(p.elt("Verse"), 0.5);
        EXPECT_EQ(1, setMinMaxLevel(f, kChoir, -120, 30));
        EXPECT_EQ(1, setDefaultLevel(f, kChoir, -15));
        EXPECT_EQ(1, setMinMaxLevel(f, "Verse", -300, 100));
        EXPECT_EQ(1, setDefaultLevel(f, "Verse", 12));
        hideElt(f, "Solo");
        EXPECT_EQ(1, addSong(f, "Title", "Chanson \xC3\xA0 <trois> & temps"));
        EXPECT_EQ(1, addSong(f, "Author", kChoir));
        EXPECT_EQ(1, k_setMasterLvl(f, 0.75));
        EXPECT_EQ(1, k_setMasterPan(f, -0.5));

        KMix *first = KMix_create("First mix");
        EXPECT_EQ(1, KMix_addTrack(first, giveTrack(f, kChoir)));
        EXPECT_EQ(1, KMix_addTrack(first, giveTrack(f, "Keys")));
        EXPECT_EQ(1, KMix_addLevelToElt(first, "Keys", 0.5));
        EXPECT_EQ(1, KMix_addLevelToElt(first, "Verse", 1.25));
        first->masterGain = 0.9;
        first->masterPan = 0.2;
        EXPECT_EQ(1, addSlct(f, first, 0));
        KMix *second = KMix_create("Mix \xE2\x82\xAC");
        EXPECT_EQ(1, KMix_addTrack(second, giveTrack(f, "Bass & <Drums>")));
        const double freqs[] = {100.0, 1000.0, 8000.0};
        const double ampls[] = {1.5, 0.5, 1.0};
        _KEqualization *curve = KEqual_initAmplitudes(freqs, ampls, 3);
        EXPECT_EQ(1, KMix_setMastering(second, curve));
        KEqual_delete(&curve);
        EXPECT_EQ(1, addSlct(f, second, KSLCT_AS_DEFAULT));
    }
};

TEST(DescriptionXml, RoundTripKeepsEveryFieldAndTheBytes)
{
    RichProject rich;
    KFile *f = rich.p.file();
    const std::string first = describe(f);
    ASSERT_FALSE(first.empty());

    ProjectBuilder loaded("Other name");
    ASSERT_EQ(1, LoadFromXmlDesc(loaded.file(), first.c_str()));
    KFile *g = loaded.file();
    EXPECT_EQ(first, describe(g));
    EXPECT_STREQ("Other name", g->name);
    EXPECT_STREQ(f->fileId, g->fileId);

    EXPECT_EQ((std::vector<std::string>{kChoir, "Bass & <Drums>", "Keys", "Solo", "Verse",
                                        "If bass", "Same", "Either", "Empty"}),
              takeNames(allEltsNames(g, nullptr), getEltNbr(g)));
    EXPECT_EQ((std::vector<std::string>{kChoir, "Bass & <Drums>"}),
              takeNames(subEltName(g, "Verse", nullptr), subEltNbr(g, "Verse")));
    const int *bounds = giveGrpDatas(g, "Verse");
    ASSERT_NE(nullptr, bounds);
    EXPECT_EQ(1, bounds[0]);
    EXPECT_EQ(2, bounds[1]);
    EXPECT_EQ(KCONST_IMPLY, giveConst(g, "If bass")->kind);
    EXPECT_STREQ("Bass & <Drums>", getImplying(g, "If bass"));
    EXPECT_EQ(giveElt(g, "Bass & <Drums>")->name, getImplying(g, "If bass")); // the element's own
    EXPECT_EQ(KCONST_EQUIV, giveConst(g, "Same")->kind);
    EXPECT_EQ(0, isVisible(g, "Either"));
    EXPECT_EQ(0, isVisible(g, "Solo"));
    EXPECT_EQ(1, isVisible(g, "Verse"));

    EXPECT_STREQ("lead <voice> & \"more\"", getEltComment(g, kChoir));
    EXPECT_STREQ("A\xC3\xA9 comment", getEltComment(g, "Verse"));
    EXPECT_EQ(static_cast<int>(0xFF336699u), KElement_getColor(giveElt(g, kChoir)));
    EXPECT_DOUBLE_EQ(-0.25, KElement_getPan(giveElt(g, "Bass & <Drums>")));
    EXPECT_EQ(-120, getMinLevel(g, kChoir));
    EXPECT_EQ(30, getMaxLevel(g, kChoir));
    EXPECT_EQ(-15, getDefLevel(g, kChoir));
    EXPECT_EQ(-15, getLevel(g, kChoir)); // the current level starts at the default
    EXPECT_EQ(-300, getMinLevel(g, "Verse"));
    EXPECT_EQ(12, getDefLevel(g, "Verse"));

    EXPECT_EQ(0, giveTrack(g, kChoir)->stream);
    EXPECT_EQ(100, giveTrack(g, kChoir)->date);
    EXPECT_EQ(44100u, giveTrack(g, kChoir)->length);
    EXPECT_STREQ(rich.wav.c_str(), getTrackFilePath(g, "Keys"));
    EXPECT_EQ(4410u, giveTrack(g, "Keys")->length);
    const KStreamFormat *own = giveTrack(g, "Solo")->format;
    ASSERT_NE(nullptr, own);
    EXPECT_EQ(2, own->channels);
    EXPECT_DOUBLE_EQ(48000.0, own->rate);
    EXPECT_EQ(24, own->bits);
    EXPECT_DOUBLE_EQ(1.5, giveTrack(g, "Solo")->position->x);
    EXPECT_DOUBLE_EQ(-2.25, giveTrack(g, "Solo")->position->z);

    EXPECT_STREQ("Chanson \xC3\xA0 <trois> & temps", giveSongField(g, "Title"));
    EXPECT_STREQ(kChoir, giveSongField(g, "Author"));
    EXPECT_DOUBLE_EQ(0.75, k_getMasterLvl(g));
    EXPECT_DOUBLE_EQ(-0.5, k_getMasterPan(g));

    ASSERT_EQ(2, getNbSlct(g));
    KMix *mix = findThisSlct(g, "First mix");
    ASSERT_NE(nullptr, mix);
    EXPECT_EQ(2, mix->trackCount);
    EXPECT_EQ(1, KMix_isInMix(mix, kChoir));
    EXPECT_DOUBLE_EQ(0.5, KMix_getLevel(mix, "Keys"));
    EXPECT_DOUBLE_EQ(1.25, KMix_getLevel(mix, "Verse"));
    EXPECT_DOUBLE_EQ(0.9, mix->masterGain);
    EXPECT_DOUBLE_EQ(0.2, mix->masterPan);
    KMix *def = MixManager_getDefaultMix(g->mixes);
    ASSERT_NE(nullptr, def);
    EXPECT_STREQ("Mix \xE2\x82\xAC", def->name);
    ASSERT_NE(nullptr, def->mastering);
    EXPECT_EQ(3, KEqual_getNbFreq(def->mastering));
    EXPECT_DOUBLE_EQ(1.5, KEqual_getAmplAt(def->mastering, 0));
    // The default mix was applied: its track plays.
    EXPECT_EQ(1, isPlaying(g, "Bass & <Drums>"));
}

TEST(DescriptionXml, CleanFormDropsEmptyGroupsAndTakesANewId)
{
    RichProject rich;
    KFile *f = rich.p.file();
    const std::string ordinary = describe(f);
    const std::string oldId = f->fileId;
    EXPECT_NE(std::string::npos, ordinary.find("<NAME>Empty</NAME>"));

    char *text = exportToCleanXmlDesc(f);
    ASSERT_NE(nullptr, text);
    const std::string clean = text;
    tvr_free(text);
    EXPECT_EQ(std::string::npos, clean.find("<NAME>Empty</NAME>"));
    EXPECT_NE(oldId, f->fileId); // the new ID replaces the project's
    EXPECT_NE(std::string::npos, clean.find(std::string("<FKEY>") + f->fileId + "</FKEY>"));

    // The clean text read back and written in the ordinary form gives the same bytes.
    ProjectBuilder loaded;
    ASSERT_EQ(1, LoadFromXmlDesc(loaded.file(), clean.c_str()));
    EXPECT_EQ(clean, describe(loaded.file()));
    EXPECT_EQ(nullptr, exportToCleanXmlDesc(nullptr));
}

TEST(DescriptionXml, CleanFormKeepsWhatOtherElementsNeed)
{
    ProjectBuilder p;
    p.track("T").group("Outer", {"T"}).group("Inner").link("Outer", {"Inner"});
    p.rule(KCONST_IMPLY, "Rule", {"T"}, "Inner");
    // "Inner" has no members but an implication depends on it; the parent's member list drops
    // nothing that the text does not define.
    const std::string clean = describe(p.file(), 1);
    ProjectBuilder loaded;
    ASSERT_EQ(1, LoadFromXmlDesc(loaded.file(), clean.c_str())) << clean;
    EXPECT_NE(nullptr, giveElt(loaded.file(), "Inner"));

    ProjectBuilder q;
    q.track("T").group("Outer", {"T"}).group("Inner").link("Outer", {"Inner"});
    const std::string dropped = describe(q.file(), 1);
    EXPECT_EQ(std::string::npos, dropped.find("Inner"));
    ProjectBuilder reloaded;
    ASSERT_EQ(1, LoadFromXmlDesc(reloaded.file(), dropped.c_str())) << dropped;
}

TEST(DescriptionXml, ExactTextOfASmallProject)
{
    ProjectBuilder p;
    KFile *f = p.file();
    ASSERT_EQ(1, addTrack(f, createTrack(0, nullptr, 4410), "T"));
    ASSERT_EQ(1, setPathWOC(f, "T", _tvr_strcpy("/audio/t.wav")));
    const std::string text = describe(f);
    ASSERT_NE(nullptr, f->fileId);
    EXPECT_EQ(std::string("<TOVRA-2.0><VERSION>2.000000</VERSION><FKEY>") + f->fileId +
                  "</FKEY><SFORMAT><MRATE>44100.000000</MRATE></SFORMAT>"
                  "<MASTERLEVEL>1.000000</MASTERLEVEL><PANO>0.000000</PANO><SONG></SONG>"
                  "<TRCK><NAME>T</NAME><SIZE>4410</SIZE><DATE>0</DATE><FILE>/audio/t.wav</FILE>"
                  "<LEVELS><LMIX>-240</LMIX><LMAX>60</LMAX><LDEF>0</LDEF></LEVELS>"
                  "<S_VISIBLE>YES</S_VISIBLE><COLOR>-1</COLOR><PANO>0.000000</PANO></TRCK>"
                  "</TOVRA-2.0>",
              text);

    KStreamFormat unset{};
    KStreamFormat_init(&unset);
    EXPECT_EQ("<SFORMAT></SFORMAT>", treeText(exportXmlSFormat(&unset)));
}

TEST(DescriptionXml, WriterRefusesWhatItCannotWrite)
{
    ProjectBuilder p;
    p.track("T");
    ASSERT_EQ(1, createElt(p.file(), KCONST_ALL, "All", nullptr));
    EXPECT_EQ(nullptr, exportXmlDesc(p.file(), 0)); // kind 12 has no form

    ProjectBuilder q;
    ASSERT_EQ(1, addSong(q.file(), "bad<key", "v"));
    EXPECT_EQ(nullptr, exportXmlDesc(q.file(), 0));
    EXPECT_EQ(nullptr, exportXmlDesc(nullptr, 0));
}

// Numbers are written and read with a "." whatever the locale.
TEST(DescriptionXml, FrenchLocaleWritesAndReadsTheSameBytes)
{
    RichProject rich;
    const std::string english = describe(rich.p.file());
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no French locale";
    const std::string french = describe(rich.p.file());
    ProjectBuilder loaded;
    const int result = LoadFromXmlDesc(loaded.file(), english.c_str());
    const std::string again = describe(loaded.file());
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(english, french);
    ASSERT_EQ(1, result);
    EXPECT_EQ(english, again);
    EXPECT_DOUBLE_EQ(-0.5, k_getMasterPan(loaded.file()));
}

TEST(DescriptionXml, LoadCodes)
{
    const std::string bad = "<TRCK><NAME>B</NAME><STREAM>x</STREAM></TRCK>";
    const struct {
        std::string text;
        int code;
    } cases[] = {
        {"<TOVRA-2.0>" + bad + "<VERSION>2.0</VERSION></TOVRA-2.0>", -1000},
        {"<TOVRA-2.0><VERSION>2.0</VERSION><SONG></SONG>" + bad + "</TOVRA-2.0>", -1002},
        {"<TOVRA-2.0><SONG></SONG></TOVRA-2.0>", KDESC_ERR_VERSION},
        {"<TOVRA-2.0><VERSION>0.2</VERSION></TOVRA-2.0>", KDESC_ERR_VERSION},
        {"<TOVRA-2.0><VERSION>nan</VERSION></TOVRA-2.0>", KDESC_ERR_VERSION},
        {"<TOVRA-2.0><VERSION>99</VERSION></TOVRA-2.0>", KDESC_ERR_VERSION},
        {"<PROJECT><VERSION>2.0</VERSION></PROJECT>", KDESC_ERR_UNREADABLE},
        {"<TOVRA-2.0><VERSION>2.0</VERSION>", KDESC_ERR_UNREADABLE},
        {"no tags at all", KDESC_ERR_UNREADABLE},
        {"<ZARK><VERSION>2.0</VERSION><UNKNOWN>x</UNKNOWN></ZARK>", 1},
        {"<TOVRA><VERSION>1.0</VERSION></TOVRA>", 1},
    };
    for (const auto &c : cases) {
        ProjectBuilder p;
        EXPECT_EQ(c.code, LoadFromXmlDesc(p.file(), c.text.c_str())) << c.text;
        EXPECT_NE(nullptr, getStrXmlDescError(c.code));
    }
    EXPECT_STRNE(getStrXmlDescError(-9), getStrXmlDescError(-123));
}

// An older description gives channels but no codec: its streams are Ogg Vorbis, 16 bits,
// 44100 Hz, and a save writes the whole format back.
TEST(DescriptionXml, ChannelsWithoutACodecReadAsVorbis)
{
    const struct {
        std::string body;
        int code, channels, bits;
        double rate;
    } cases[] = {
        {"<SFORMAT><MCHANNELS>2</MCHANNELS></SFORMAT>", KAUDIOFMT_VORBIS, 2, 16, 44100.0},
        {"<NCHANNELS>1</NCHANNELS>", KAUDIOFMT_VORBIS, 1, 16, 44100.0},
        {"<SFORMAT><MCHANNELS>2</MCHANNELS><MRATE>22050</MRATE><MBITS>8</MBITS></SFORMAT>",
         KAUDIOFMT_VORBIS, 2, 16, 44100.0},
        // a codec, or no channels: as read
        {"<SFORMAT><MFORMAT>65538</MFORMAT><MCHANNELS>2</MCHANNELS></SFORMAT>", 65538, 2, -1, -1.0},
        {"<SFORMAT><MRATE>48000</MRATE></SFORMAT>", 0, -1, -1, 48000.0},
    };
    for (const auto &c : cases) {
        ProjectBuilder p;
        ASSERT_EQ(1, LoadFromXmlDesc(p.file(), desc(c.body).c_str())) << c.body;
        const KStreamFormat *f = p.file()->format;
        EXPECT_EQ(c.code, f->code) << c.body;
        EXPECT_EQ(c.channels, f->channels) << c.body;
        EXPECT_EQ(c.bits, f->bits) << c.body;
        EXPECT_EQ(c.rate, f->rate) << c.body;
    }
    ProjectBuilder p;
    ASSERT_EQ(1, LoadFromXmlDesc(p.file(), desc("<NCHANNELS>2</NCHANNELS>").c_str()));
    EXPECT_NE(std::string::npos,
              describe(p.file()).find("<SFORMAT><MFORMAT>5308416</MFORMAT><MCHANNELS>2</MCHANNELS>"
                                      "<MRATE>44100.000000</MRATE><MBITS>16</MBITS></SFORMAT>"));
}

// An older selection whose tracks the project does not hold still opens: the mix is made and the
// unknown names are dropped.
TEST(DescriptionXml, OlderSelectionOfUnknownTracksLoadsWithoutThem)
{
    ProjectBuilder p;
    const std::string text =
        desc("<TRCK><NAME>T</NAME><STREAM>0</STREAM></TRCK>"
             "<SLCT><NAME>Gone</NAME><S_TRACK>X</S_TRACK><S_TRACK><NAME>Y</NAME></S_TRACK></SLCT>"
             "<SLCT_DEF><NAME>Part</NAME><S_TRACK>X</S_TRACK><S_TRACK>T</S_TRACK></SLCT_DEF>");
    ASSERT_EQ(1, LoadFromXmlDesc(p.file(), text.c_str()));
    KMix *gone = findThisSlct(p.file(), "Gone");
    ASSERT_NE(nullptr, gone);
    EXPECT_EQ(0, gone->trackCount);
    EXPECT_EQ(nullptr, gone->tracks);
    KMix *part = findThisSlct(p.file(), "Part");
    ASSERT_NE(nullptr, part);
    EXPECT_EQ(1, part->trackCount);
    EXPECT_EQ(1, KMix_isInMix(part, "T"));
    EXPECT_EQ(0, KMix_isInMix(part, "X"));
}

// A stored mix whose track list was replaced keeps levels of tracks it no longer lists. Those are
// written as S_ELT, so reading back gives the same list and the same levels: written as S_TRACK
// they would list the dropped track again and lose nothing but the list.
TEST(DescriptionXml, MixListAndLevelsSurviveAReplacedTrackList)
{
    ProjectBuilder p;
    p.track("A").track("B").track("C");
    KFile *f = p.file();
    ASSERT_EQ(1, addTrackInCurrentMix(f, "A"));
    ASSERT_EQ(1, addTrackInCurrentMix(f, "B"));
    ASSERT_EQ(1, saveCurrentSlct(f, "M"));
    KMix *m = findThisSlct(f, "M");
    ASSERT_EQ(1, KMix_addLevelToElt(m, "A", 0.5));
    ASSERT_EQ(1, KMix_addLevelToElt(m, "B", 0.25));
    ASSERT_EQ(1, removeTrackFromCurrentMix(f, "B"));
    ASSERT_EQ(1, addTrackInCurrentMix(f, "C"));
    ASSERT_EQ(1, k_saveCurrentSlctToMix(f, "M"));

    const std::string text = describe(f);
    ProjectBuilder loaded;
    ASSERT_EQ(1, LoadFromXmlDesc(loaded.file(), text.c_str()));
    KMix *back = findThisSlct(loaded.file(), "M");
    ASSERT_NE(nullptr, back);
    EXPECT_EQ(2, back->trackCount);
    EXPECT_EQ(1, KMix_isInMix(back, "A"));
    EXPECT_EQ(0, KMix_isInMix(back, "B"));
    EXPECT_EQ(1, KMix_isInMix(back, "C"));
    EXPECT_DOUBLE_EQ(0.5, KMix_getLevel(back, "A"));
    EXPECT_DOUBLE_EQ(0.25, KMix_getLevel(back, "B"));
    EXPECT_EQ(text, describe(loaded.file()));
}

// A refused load says in words which element failed and which name it carries; a success
// clears the reason.
TEST(DescriptionXml, RefusalReasonNamesTheElementAndTheName)
{
    const std::string track = "<TRCK><NAME>Bass</NAME><STREAM>0</STREAM></TRCK>";
    const struct {
        std::string text;
        std::vector<std::string> words;
    } cases[] = {
        {desc(track + track), {"element 2 (TRCK)", "\"Bass\"", "used twice"}},
        {desc("<TRCK><NAME>Bass</NAME><STREAM>0</STREAM><COLOR>red</COLOR></TRCK>"),
         {"element 1 (TRCK)", "\"Bass\"", "COLOR"}},
        {desc(track + "<CNST><NAME>G</NAME><SUB_ELT>Nobody</SUB_ELT><S_CONST>GRP </S_CONST></CNST>"),
         {"\"Nobody\"", "\"G\""}},
        {desc(track + "<TOVIX><NAME>M</NAME><PANO>x</PANO></TOVIX>"), {"element 2 (TOVIX)"}},
        {desc("<TRCK><NAME>T</NAME><STREAM>3</STREAM></TRCK>"), {"element 1 (TRCK)", "stream number 3"}},
        {"<TOVRA-2.0><VERSION>0.1</VERSION></TOVRA-2.0>", {"VERSION"}},
        {"<TOVRA-2.0></TOVRA-2.0> trailing", {"well-formed"}},
    };
    for (const auto &c : cases) {
        ProjectBuilder p;
        EXPECT_LT(LoadFromXmlDesc(p.file(), c.text.c_str()), 0) << c.text;
        const std::string reason = getXmlDescErrorReason();
        for (const std::string &word : c.words)
            EXPECT_NE(std::string::npos, reason.find(word)) << reason << " / " << word;
    }
    ProjectBuilder p;
    ASSERT_EQ(1, LoadFromXmlDesc(p.file(), desc(track).c_str()));
    EXPECT_STREQ("", getXmlDescErrorReason());
}

// Every refused description leaves the caller's project exactly as it was.
TEST(DescriptionXml, BadDescriptionsAreRefusedAndChangeNothing)
{
    const std::string track = "<TRCK><NAME>T</NAME><STREAM>0</STREAM></TRCK>";
    const std::string tracks2 = track + "<TRCK><NAME>U</NAME><STREAM>1</STREAM></TRCK>";
    const std::string cases[] = {
        // names
        track + track,
        track + "<CNST><NAME>T</NAME><S_CONST>GRP </S_CONST></CNST>",
        "<TRCK><STREAM>0</STREAM></TRCK>",
        "<TRCK><NAME></NAME></TRCK>",
        "<CNST><S_CONST>GRP </S_CONST></CNST>",
        track + "<TOVIX><NAME>M</NAME></TOVIX><TOVIX><NAME>M</NAME></TOVIX>",
        "<TOVIX><DEFAULT>YES</DEFAULT></TOVIX>",
        // graph shape and references
        "<CNST><NAME>G</NAME><SUB_ELT>G</SUB_ELT><S_CONST>GRP </S_CONST></CNST>",
        "<CNST><NAME>A</NAME><SUB_ELT>B</SUB_ELT><S_CONST>GRP </S_CONST></CNST>"
        "<CNST><NAME>B</NAME><SUB_ELT>A</SUB_ELT><S_CONST>GRP </S_CONST></CNST>",
        track + "<CNST><NAME>G</NAME><SUB_ELT>Nobody</SUB_ELT><S_CONST>GRP </S_CONST></CNST>",
        track + "<CNST><NAME>R</NAME><SUB_ELT>T</SUB_ELT><S_CONST>IMPL</S_CONST>"
                "<S_IMPLY>Nobody</S_IMPLY></CNST>",
        track + "<CNST><NAME>G</NAME><S_CONST>ALL</S_CONST></CNST>",
        track + "<CNST><NAME>G</NAME><S_CONST>GRP </S_CONST><S_MIN>-5</S_MIN></CNST>",
        // stream numbers
        "<TRCK><NAME>T</NAME><STREAM>1</STREAM></TRCK>",
        "<TRCK><NAME>T</NAME><STREAM>-1</STREAM></TRCK>",
        "<TRCK><NAME>T</NAME><STREAM>0</STREAM></TRCK><TRCK><NAME>U</NAME><STREAM>0</STREAM></TRCK>",
        "<TRCK><NAME>T</NAME><STREAM>1000000000000</STREAM></TRCK>",
        // (the ignored track is removed: one track is left for stream 1)
        "<TRCK><NAME>T</NAME><FILE>::ignore_audio::</FILE></TRCK>"
        "<TRCK><NAME>U</NAME><STREAM>1</STREAM></TRCK>",
        // numbers that are not numbers, or not finite, or out of range
        "<PANO>abc</PANO>",
        "<PANO>nan</PANO>",
        "<MASTERLEVEL>inf</MASTERLEVEL>",
        "<MASTERLEVEL>1,5</MASTERLEVEL>",
        "<MASTERLEVEL></MASTERLEVEL>",
        "<TRCK><NAME>T</NAME><STREAM>0</STREAM><PANO>0x</PANO></TRCK>",
        "<TRCK><NAME>T</NAME><STREAM>0</STREAM><SIZE>-5</SIZE></TRCK>",
        "<TRCK><NAME>T</NAME><STREAM>0</STREAM><SIZE>99999999999</SIZE></TRCK>",
        "<TRCK><NAME>T</NAME><STREAM>0</STREAM><LEVELS><LDEF>1000000</LDEF></LEVELS></TRCK>",
        "<TRCK><NAME>T</NAME><STREAM>0</STREAM><LEVELS><LMIX>x</LMIX></LEVELS></TRCK>",
        "<TRCK><NAME>T</NAME><STREAM>0</STREAM><COLOR>red</COLOR></TRCK>",
        "<SFORMAT><MRATE>0.5</MRATE></SFORMAT>",
        "<SFORMAT><MCHANNELS>1000</MCHANNELS></SFORMAT>",
        "<SFORMAT><MRATE>1e308</MRATE></SFORMAT>",
        "<NCHANNELS>two</NCHANNELS>",
        tracks2 + "<TOVIX><NAME>M</NAME><S_TRACK><NAME>T</NAME><LEVEL>nan</LEVEL></S_TRACK></TOVIX>",
        tracks2 + "<TOVIX><NAME>M</NAME><MASTERLEVEL>-</MASTERLEVEL></TOVIX>",
        // counts larger than what follows
        track + "<TOVIX><NAME>M</NAME><EQUAL><NBFREQ>5</NBFREQ><INTERPOL>2</INTERPOL>"
                "<FREQ>100 200</FREQ><AMPL>1 1</AMPL></EQUAL></TOVIX>",
        track + "<TOVIX><NAME>M</NAME><EQUAL><NBFREQ>536870912</NBFREQ><FREQ>1</FREQ>"
                "<AMPL>1</AMPL></EQUAL></TOVIX>",
        // other malformed children
        "<FKEY></FKEY>",
        "<SONG><A><B>x</B></A></SONG>",
        "<SLCT><NAME>S</NAME></SLCT>",
    };
    for (const std::string &body : cases) {
        ProjectBuilder p("Mine");
        p.track("Keep").group("Kept", {"Keep"});
        ASSERT_EQ(1, addSong(p.file(), "Key", "Value"));
        const std::string before = describe(p.file());
        const int code = LoadFromXmlDesc(p.file(), desc(body).c_str());
        EXPECT_LT(code, 0) << body;
        EXPECT_EQ(before, describe(p.file())) << body;
        EXPECT_STREQ("Mine", p.file()->name);
    }
}

// The loader keeps its pending links to itself: no element name can collide with them.
TEST(DescriptionXml, NamesLikeTheLoadersOwnAreOrdinaryNames)
{
    ProjectBuilder p;
    p.track("tmp_G").track("tmpMX").group("G", {"tmp_G"}).group("tmp_X", {"tmpMX"});
    const std::string text = describe(p.file());
    ProjectBuilder loaded;
    ASSERT_EQ(1, LoadFromXmlDesc(loaded.file(), text.c_str()));
    EXPECT_EQ(text, describe(loaded.file()));
    EXPECT_EQ(1, k_isFather(loaded.file(), "G", "tmp_G"));
    EXPECT_EQ(1, k_isFather(loaded.file(), "tmp_X", "tmpMX"));
}

TEST(DescriptionXml, SecondPassLinksAndReaderDefaults)
{
    // A member and an implying element that stand later in the text; bounds absent; a pan and
    // master levels out of range; a negative mix master level; a mix entry at silence; an older
    // selection.
    const std::string text = desc(
        "<PANO>3</PANO><MASTERLEVEL>40</MASTERLEVEL>"
        "<TOVIX><NAME>M</NAME><S_TRACK><NAME>A</NAME><LEVEL>0.5</LEVEL></S_TRACK>"
        "<S_TRACK><NAME>Gone</NAME><LEVEL>1</LEVEL></S_TRACK><MASTERLEVEL>-2</MASTERLEVEL></TOVIX>"
        "<TOVIX><NAME>Hush</NAME><S_TRACK><NAME>B</NAME><LEVEL>0.000000</LEVEL></S_TRACK>"
        "<MASTERLEVEL>100</MASTERLEVEL></TOVIX>"
        "<SLCT_DEF><NAME>Old</NAME><S_TRACK>B</S_TRACK></SLCT_DEF>"
        "<CNST><NAME>R</NAME><SUB_ELT>C</SUB_ELT><S_CONST>IMPL</S_CONST><S_IMPLY>A</S_IMPLY>"
        "<S_VISIBLE>no</S_VISIBLE></CNST>"
        "<CNST><NAME>G</NAME><SUB_ELT>A</SUB_ELT><SUB_ELT>B</SUB_ELT><SUB_ELT>C</SUB_ELT>"
        "<S_CONST>GRP </S_CONST></CNST>"
        "<TRCK><NAME>A</NAME><STREAM>0</STREAM></TRCK><TRCK><NAME>B</NAME><STREAM>1</STREAM></TRCK>"
        "<TRCK><NAME>C</NAME><STREAM>2</STREAM></TRCK>");
    ProjectBuilder p;
    ASSERT_EQ(1, LoadFromXmlDesc(p.file(), text.c_str()));
    KFile *f = p.file();
    EXPECT_DOUBLE_EQ(1.0, k_getMasterPan(f));
    EXPECT_DOUBLE_EQ(KMASTER_GAIN_MAX, k_getMasterLvl(f));
    const int *bounds = giveGrpDatas(f, "G");
    EXPECT_EQ(0, bounds[0]);
    EXPECT_EQ(0, bounds[1]);
    EXPECT_EQ(3, subEltNbr(f, "G"));
    EXPECT_STREQ("A", getImplying(f, "R"));
    EXPECT_EQ(0, isVisible(f, "R"));
    KMix *mix = findThisSlct(f, "M");
    ASSERT_NE(nullptr, mix);
    EXPECT_DOUBLE_EQ(0.0, mix->masterGain);
    EXPECT_EQ(1, mix->trackCount); // "Gone" names nothing and is dropped
    KMix *hush = findThisSlct(f, "Hush");
    ASSERT_NE(nullptr, hush);
    EXPECT_EQ(1, hush->trackCount);
    EXPECT_DOUBLE_EQ(0.0, KMix_getLevel(hush, "B"));
    EXPECT_DOUBLE_EQ(KMASTER_GAIN_MAX, hush->masterGain);
    EXPECT_STREQ("Old", MixManager_getDefaultMix(f->mixes)->name);

    // Written again and read back, it stays the same.
    const std::string first = describe(f);
    ProjectBuilder again;
    ASSERT_EQ(1, LoadFromXmlDesc(again.file(), first.c_str()));
    EXPECT_EQ(first, describe(again.file()));
}

// Implications waiting for their implying elements are made in passes over the list: one waiting
// for a rule made earlier in the list comes in the same pass, one waiting for a rule made later in
// the next pass.
TEST(DescriptionXml, WaitingImplicationsAreMadePassByPass)
{
    std::string rules;
    for (const auto &[name, implying] : {std::pair{"P", "Q"}, {"Q", "R"}, {"S", "R"}, {"R", "T"}})
        rules += std::string("<CNST><NAME>") + name + "</NAME><S_CONST>IMPL</S_CONST><S_IMPLY>" +
                 implying + "</S_IMPLY></CNST>";
    const std::string text = desc(rules + "<TRCK><NAME>T</NAME><STREAM>0</STREAM></TRCK>");
    ProjectBuilder p;
    ASSERT_EQ(1, LoadFromXmlDesc(p.file(), text.c_str()));
    std::string made;
    for (KElement *e = p.file()->firstCreated; e; e = e->nextCreated)
        made += e->name;
    EXPECT_EQ("TRQSP", made);
}

TEST(DescriptionXml, RenamedImplyingElementIsWrittenUnderItsNewName)
{
    ProjectBuilder p;
    p.track("X").track("Y").rule(KCONST_IMPLY, "R", {"Y"}, "X");
    ASSERT_EQ(1, changeEltName(p.file(), "X", "Z"));
    const std::string text = describe(p.file());
    EXPECT_NE(std::string::npos, text.find("<S_IMPLY>Z</S_IMPLY>"));
    ProjectBuilder loaded;
    ASSERT_EQ(1, LoadFromXmlDesc(loaded.file(), text.c_str()));
    EXPECT_STREQ("Z", getImplying(loaded.file(), "R"));
}

TEST(DescriptionXml, IgnoredAudioRemovesTheTrackAndItsPointlessRules)
{
    const std::string text = desc(
        "<TRCK><NAME>T</NAME><FILE>::ignore_audio::</FILE></TRCK>"
        "<TRCK><NAME>U</NAME><STREAM>0</STREAM></TRCK>"
        "<TRCK><NAME>V</NAME><STREAM>1</STREAM></TRCK>"
        "<CNST><NAME>X</NAME><SUB_ELT>T</SUB_ELT><SUB_ELT>U</SUB_ELT><S_CONST>GRP </S_CONST>"
        "<S_MIN>0</S_MIN><S_MAX>1</S_MAX><S_VISIBLE>NO</S_VISIBLE></CNST>"
        "<CNST><NAME>I</NAME><SUB_ELT>V</SUB_ELT><S_CONST>IMPL</S_CONST><S_IMPLY>T</S_IMPLY>"
        "<S_VISIBLE>NO</S_VISIBLE></CNST>"
        "<CNST><NAME>Band</NAME><SUB_ELT>T</SUB_ELT><SUB_ELT>U</SUB_ELT><S_CONST>GRP </S_CONST>"
        "<S_MIN>0</S_MIN><S_MAX>2</S_MAX></CNST>");
    ProjectBuilder p;
    ASSERT_EQ(1, LoadFromXmlDesc(p.file(), text.c_str()));
    EXPECT_EQ((std::vector<std::string>{"U", "V", "Band"}),
              takeNames(allEltsNames(p.file(), nullptr), getEltNbr(p.file())));
    EXPECT_EQ(1, subEltNbr(p.file(), "Band"));

    // Deleting a rule renames the last "Const_<n>" rule: both pointless rules still go.
    const std::string renamed = desc(
        "<TRCK><NAME>T</NAME><FILE>::ignore_audio::</FILE></TRCK>"
        "<TRCK><NAME>U</NAME><STREAM>0</STREAM></TRCK>"
        "<CNST><NAME>Const_0</NAME><SUB_ELT>T</SUB_ELT><SUB_ELT>U</SUB_ELT><S_CONST>GRP </S_CONST>"
        "<S_MAX>1</S_MAX><S_VISIBLE>NO</S_VISIBLE></CNST>"
        "<CNST><NAME>Const_1</NAME><SUB_ELT>U</SUB_ELT><S_CONST>GRP </S_CONST><S_MAX>1</S_MAX></CNST>"
        "<CNST><NAME>Const_2</NAME><SUB_ELT>T</SUB_ELT><SUB_ELT>U</SUB_ELT><S_CONST>GRP </S_CONST>"
        "<S_MAX>1</S_MAX><S_VISIBLE>NO</S_VISIBLE></CNST>");
    ProjectBuilder q;
    ASSERT_EQ(1, LoadFromXmlDesc(q.file(), renamed.c_str()));
    ASSERT_EQ(2, getEltNbr(q.file()));
    EXPECT_EQ(1, constraintsNbr(q.file()));
    const char *group = k_getNthElement(q.file(), 1);
    ASSERT_NE(nullptr, group);
    EXPECT_EQ(1, isVisible(q.file(), group)); // the visible group is the one kept
}

TEST(DescriptionXml, FileTracksMustBeRegularAudioFiles)
{
    fixtures::TempDir dir;
    const std::string fifo = dir.file("pipe.wav");
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    for (const std::string &path : {fifo, dir.path().string(), dir.file("missing.wav")}) {
        ProjectBuilder p;
        const std::string text = desc("<TRCK><NAME>T</NAME><FILE>" + path + "</FILE></TRCK>");
        EXPECT_EQ(KDESC_ERR_CHILD - 1, LoadFromXmlDesc(p.file(), text.c_str())) << path;
        EXPECT_EQ(0, getEltNbr(p.file()));
    }
}

TEST(DescriptionXml, LoadingReplacesTheProjectContents)
{
    ProjectBuilder source;
    source.track("New");
    const std::string text = describe(source.file());
    ProjectBuilder p("Kept name");
    p.track("Old").group("Group", {"Old"});
    ASSERT_EQ(1, LoadFromXmlDesc(p.file(), text.c_str()));
    EXPECT_EQ((std::vector<std::string>{"New"}),
              takeNames(allEltsNames(p.file(), nullptr), getEltNbr(p.file())));
    EXPECT_STREQ("Kept name", p.file()->name);
}

TEST(DescriptionXml, SingleMixElementsForTheMixFile)
{
    RichProject rich;
    KFile *f = rich.p.file();
    EXPECT_EQ(nullptr, exportXmlSlcts(f, "No such mix"));
    XmlObject *node = exportXmlSlcts(f, "First mix");
    ASSERT_NE(nullptr, node);
    int isDefault = -1;
    KMix *mix = ExtractXmlMix(f, node, &isDefault);
    DeleteRecXmlObject(node);
    ASSERT_NE(nullptr, mix);
    EXPECT_EQ(0, isDefault);
    EXPECT_STREQ("First mix", mix->name);
    EXPECT_EQ(2, mix->trackCount);
    EXPECT_DOUBLE_EQ(1.25, KMix_getLevel(mix, "Verse"));
    KMix_delete(&mix);
}

} // namespace
