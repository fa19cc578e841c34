// Result and load-error texts, audio format names, stream format and progress records, versions.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "KTypes.h"

namespace {
std::string str(const char *s)
{
    return s ? s : "<null>";
}
} // namespace

TEST(Codes, ResultTexts)
{
    const struct {
        int code;
        const char *text;
    } cases[] = {
        {1, "Error : No error"},
        {-101, "Error : Bad parameters"},
        {-102, "Error : Memory error"},
        {-201, "Error : Element not found"},
        {-202, "Error : Mix is corrupted"},
        {-203, "Error : Error in MixManager"},
        {-204, "Error : Error in element hash table"},
        {-205, "Error : Error in element organization"},
        {-301, "Error : Error in SDL library"},
        {-302, "Error : Audio format not supported"},
        {-303, "Error : Cannot remove bad tracks"},
        {0, "Error : Unknown error"},
        {42, "Error : Unknown error"},
    };
    for (const auto &c : cases)
        EXPECT_STREQ(getStrTvrError(c.code), c.text) << c.code;
}

TEST(Codes, LoadErrorTexts)
{
    const struct {
        int code;
        const char *text;
    } cases[] = {
        {0, "Unknown error."},
        {101, "Warning : Your player is old. Please update it."},
        {103, "Warning : This Zark file is old. Some parameters may be not available."},
        {-102, "ERROR : Your player is too old. You must update it."},
        {-104, "ERROR : This Zark file is too old. Canno't associate configuration."},
        {-201, "ERROR : Incorrect file."},
        {-202, "ERROR : Incorrect selection chunk."},
        {-203, "ERROR : Incorrect fmt chunk."},
        {-204, "ERROR : Incorrect song chunk."},
        {-205, "ERROR : Incorrect track chunk."},
        {-206, "ERROR : Incorrect constraint chunk."},
        {-207, "ERROR : Incorrect id chunk."},
        {-208, "ERROR : Incorrect mixlaw chunk."},
        {-301, "ERROR : Incorrect parameters."},
        {-302, "ERROR : Cannot open file."},
        {7, "ERROR : undefined error."},
        {-209, "ERROR : undefined error."},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(setZarkError(c.code), c.code);
        EXPECT_EQ(getZarkError(), c.code);
        EXPECT_STREQ(getStrZarkError(), c.text) << c.code;
    }
    setZarkError(0);
}

TEST(AudioFormat, TypeFromExtension)
{
    const struct {
        const char *name;
        int code;
    } cases[] = {
        {"a.wav", 0x10000},   {"a.wave", 0x10000}, {"a.aif", 0x20000},  {"a.aiff", 0x20000},
        {"a.au", 0x30000},    {"a.flac", 0x170000}, {"a.caf", 0x180000}, {"a.mp2", 0x520000},
        {"a.mp3", 0x520000},  {"a.mpeg", 0x520000}, {"x.y.ogg", 0x510000}, {"a.WAV", 0},
        {"noext", 0},         {"a.", 0},            {"a.txt", 0},        {"dir.wav/file", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(k_getAudioType(c.name), c.code) << c.name;
    EXPECT_EQ(k_getAudioType(("a." + std::string(49, 'w')).c_str()), 0);
    EXPECT_EQ(k_getAudioType(("a." + std::string(50, 'w')).c_str()), 0);
    EXPECT_EQ(k_getAudioType(nullptr), 0);
}

TEST(AudioFormat, Names)
{
    EXPECT_EQ(str(KAudioFmt_getSmallName(0x10002)), "WAV");
    EXPECT_EQ(str(KAudioFmt_getSmallName(0x510000 + 258)), "OGG");
    EXPECT_EQ(str(KAudioFmt_getSmallName(0x40000)), "<null>");
    EXPECT_EQ(str(KAudioFmt_getMajorFmtName(0x20010002)), "WAVE");
    EXPECT_EQ(str(KAudioFmt_getMajorFmtName(0xb0000)), "Sonic Foundry's 64 bit RIFF/WAV");
    EXPECT_EQ(str(KAudioFmt_getMajorFmtName(0x190000)), "Unknown audio format");
    EXPECT_EQ(str(KAudioFmt_getEndianFmtName(0x20010002)), "Force big endian-ness");
    EXPECT_EQ(str(KAudioFmt_getEndianFmtName(0x10002)), "Default file endian-ness");
    EXPECT_EQ(str(KAudioFmt_getEndianFmtName(0x30000000)), "Force CPU endian-ness");

    EXPECT_EQ(KAudioFmt_isSndFileFmt(0), 0);
    EXPECT_EQ(KAudioFmt_isSndFileFmt(0x510000), 0);
    EXPECT_EQ(KAudioFmt_isSndFileFmt(0x520080), 0);
    EXPECT_EQ(KAudioFmt_isSndFileFmt(0x10002), 1);
}

TEST(AudioFormat, EncodingNamesAndBits)
{
    const struct {
        int code;
        const char *name;
        int bits;
    } cases[] = {
        {0x10001, "Signed 8 bits", 8},
        {0x10002, "Signed 16 bits", 16},
        {0x20006, "32 bits float", 32},
        {0x10007, "64 bit float", 64},
        {0x10012, "IMA ADPCM", 4},
        {33, "OKI / Dialogix ADPCM", -1},
        {0x10032, "40kbs G723 ADPCM encoding", 40},
        {0x10043, "N bits Delta Width Variable Word encoding", -1},
        {0x10051, "16 bits differential PCM", 16},
        {0x10099, "<null>", -1},
        {0x510000 + 255, "Quality -1", 16},
        {0x510000 + 258, "Quality 2", 16},
        {0x510000 + 266, "Quality 10", 16},
        {0x510000 + 267, "<null>", -1},
        {0x510000 + 2, "<null>", -1},
        // An MP3 code holds its bit rate where other formats hold an encoding.
        {0x520000 + 256, "<null>", -1},
        {0x520000 + 2, "<null>", -1},
        {0x10000 + 258, "<null>", -1},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(str(KAudioFmt_getSubFmtName(c.code)), c.name) << std::hex << c.code;
        EXPECT_EQ(KAudioFmt_getNumberBits(c.code), c.bits) << std::hex << c.code;
    }
}

TEST(StreamFormat, Lifecycle)
{
    KStreamFormat *format = KStreamFormat_new();
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->code, 0);
    EXPECT_EQ(format->bits, -1);
    EXPECT_EQ(format->channels, -1);
    EXPECT_EQ(format->rate, -1.0);
    EXPECT_EQ(format->extra, nullptr);

    KStreamFormat *source = KStreamFormat_new();
    *source = {0x10002, 16, 2, 44100.0, nullptr};
    EXPECT_EQ(KStreamFormat_copy(format, source), format);
    EXPECT_EQ(format->code, 0x10002);
    EXPECT_EQ(format->bits, 16);
    EXPECT_EQ(format->channels, 2);
    EXPECT_EQ(format->rate, 44100.0);
    EXPECT_EQ(format->extra, nullptr);
    KStreamFormat_delete(&source);
    EXPECT_EQ(source, nullptr);
    KStreamFormat_delete(&format);
    KStreamFormat_delete(&format);
    KStreamFormat_delete(nullptr);
}

TEST(StreamFormat, ExtraRecordIsCopiedOwnedAndFreed)
{
    KStreamFormat *source = KStreamFormat_new();
    KStreamFormat *target = KStreamFormat_new();
    // Give the source an extra record through a clone of a record that has one.
    KStreamFormat *seed = KStreamFormat_new();
    KStreamFormat seedWithExtra = *seed;
    KStreamExtra extra = {{0, 0, 128, 0, 0}};
    seedWithExtra.extra = &extra;
    ASSERT_EQ(KStreamFormat_copy(source, &seedWithExtra), source);
    ASSERT_NE(source->extra, nullptr);
    EXPECT_NE(source->extra, &extra) << "the target owns its own extra record";

    KStreamFormat_copy(target, source);
    ASSERT_NE(target->extra, nullptr);
    EXPECT_EQ(target->extra->values[2], 128);
    EXPECT_NE(target->extra, source->extra);

    KStreamFormat *clone = KStreamFormat_clone(source);
    ASSERT_NE(clone->extra, nullptr);
    EXPECT_NE(clone->extra, source->extra);
    EXPECT_EQ(clone->extra->values[2], 128);

    // A source without an extra record leaves the target's own.
    KStreamFormat_copy(target, seed);
    ASSERT_NE(target->extra, nullptr);
    EXPECT_EQ(target->extra->values[2], 128);

    EXPECT_EQ(KStreamFormat_init(target), target);
    EXPECT_EQ(target->extra, nullptr) << "init frees the extra record (LeakSanitizer checks)";
    EXPECT_EQ(KStreamFormat_copy(nullptr, source), nullptr);
    EXPECT_EQ(KStreamFormat_copy(target, nullptr), nullptr);
    EXPECT_EQ(KStreamFormat_clone(nullptr), nullptr);

    for (KStreamFormat *f : {source, target, clone, seed})
        KStreamFormat_delete(&f);
}

TEST(Progress, FractionSequence)
{
    KProgress *p = KProgress_new();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(KProgress_getState(p), KPROGRESS_NEW);
    EXPECT_EQ(KProgress_getProg(p), 0.0);
    EXPECT_EQ(KProgress_getITotal(p), -1);
    EXPECT_EQ(KProgress_getMsg(p), nullptr);

    KProgress_setITotal(p, 10);
    EXPECT_EQ(KProgress_setDProg(p, 0.5), 1);
    EXPECT_EQ(KProgress_getState(p), KPROGRESS_RUNNING);
    EXPECT_EQ(KProgress_getProg(p), 0.5);
    EXPECT_EQ(KProgress_getIDone(p), 5);
    EXPECT_EQ(KProgress_setDProg(p, -0.1), KPROGRESS_RUNNING) << "ignored";
    EXPECT_EQ(KProgress_getProg(p), 0.5);
    KProgress_setDProg(p, 1.0);
    EXPECT_EQ(KProgress_getState(p), KPROGRESS_FINISHED);
    EXPECT_EQ(KProgress_getProg(p), 1.0);
    EXPECT_EQ(KProgress_getIDone(p), 10);
    EXPECT_EQ(KProgress_setDProg(p, 0.2), KPROGRESS_FINISHED) << "a finished job stays finished";
    EXPECT_EQ(KProgress_getProg(p), 1.0);
    KProgress_delete(&p);
    EXPECT_EQ(p, nullptr);
}

TEST(Progress, CountSequenceAndStops)
{
    KProgress *p = KProgress_new();
    EXPECT_EQ(KProgress_setIProg(p, 3), KPROGRESS_RUNNING) << "unknown total: state only";
    EXPECT_EQ(KProgress_getState(p), KPROGRESS_RUNNING);
    EXPECT_EQ(KProgress_getIDone(p), 0);

    KProgress_setITotal(p, 4);
    EXPECT_EQ(KProgress_setIProg(p, 1), 1);
    EXPECT_EQ(KProgress_getProg(p), 0.25);
    KProgress_setIProg(p, 4);
    EXPECT_EQ(KProgress_getState(p), KPROGRESS_FINISHED);
    EXPECT_EQ(KProgress_getIDone(p), 4);

    EXPECT_EQ(KProgress_init(p), p);
    EXPECT_EQ(KProgress_getState(p), KPROGRESS_NEW);
    KProgress_setState(p, KPROGRESS_FAILED);
    EXPECT_EQ(KProgress_setDProg(p, 0.3), KPROGRESS_FAILED);
    EXPECT_EQ(KProgress_getState(p), KPROGRESS_FAILED);
    EXPECT_EQ(KProgress_getProg(p), -1.0);
    KProgress_init(p);
    KProgress_setState(p, KPROGRESS_STOPPED);
    EXPECT_EQ(KProgress_getProg(p), -1.0);
    KProgress_delete(&p);

    EXPECT_EQ(KProgress_getState(nullptr), KPROGRESS_FAILED);
    EXPECT_EQ(KProgress_getProg(nullptr), -1.0);
    EXPECT_EQ(KProgress_setDProg(nullptr, 0.5), 0);
    EXPECT_EQ(KProgress_setIProg(nullptr, 1), 0);
    KProgress_setState(nullptr, 3);
    KProgress_delete(nullptr);
}

TEST(Progress, ReplacedMessagesStayReadableUntilDelete)
{
    KProgress *p = KProgress_new();
    const char *first = KProgress_setMsg(p, "Reading track 1");
    EXPECT_STREQ(KProgress_getMsg(p), "Reading track 1");
    const char *second = KProgress_setMsg(p, "Reading track 2");
    EXPECT_NE(first, second);
    EXPECT_STREQ(first, "Reading track 1") << "a poller may still hold the old message";
    EXPECT_STREQ(KProgress_getMsg(p), "Reading track 2");
    KProgress_init(p);
    EXPECT_EQ(KProgress_getMsg(p), nullptr);
    EXPECT_STREQ(second, "Reading track 2");
    EXPECT_EQ(KProgress_setMsg(p, nullptr), nullptr);
    KProgress_delete(&p); // LeakSanitizer checks every message is freed here
}

TEST(Versions, Checks)
{
    EXPECT_EQ(getZarkLibVersion(), 2.0);
    const struct {
        double version;
        int result;
    } cases[] = {
        {2.0, 1},
        {1.0, 1},
        {0.2, 1},
        {2.5, 0},
        {2.999999, 0},
        {3.0, -1},
        {10.0, -1},
        {std::numeric_limits<double>::quiet_NaN(), -1},
        {std::numeric_limits<double>::infinity(), -1},
        {-std::numeric_limits<double>::infinity(), -1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(oLVersIsOk(c.version), c.result) << c.version;

    k_TovraLibIniatilization();
    EXPECT_EQ(k_libIsInit(), 1);
}
