// The container's description-from-file writer and its diagnostics, checked against containers
// the engine writes.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <string>
#include <vector>

#include "AudioFixtures.h"
#include "KContainer.h"
#include "KContainerExtras.h"
#include "KOggSndfile.h"
#include "ProjectBuilder.h"
#include "tvr_utils.h"

namespace {

using fixtures::TempDir;

std::string takeText(char *text)
{
    std::string out = text ? text : "";
    tvr_free(text);
    return out;
}

TEST(ContainerExtras, DescriptionFromAFileReadsBackAndItsPageIsMeasured)
{
    TempDir dir;
    const std::string text = "<ZARK><VERSION>2.0</VERSION>" + std::string(300, 'x') + "</ZARK>";
    fixtures::writeBytes(dir.file("desc.xml"), text);
    const std::string path = dir.file("desc.tvx");
    FILE *out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    ogg_stream_state state;
    ogg_stream_init(&state, 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(-1, InsertDescFile(&state, dir.file("absent.xml").c_str(), out));
    EXPECT_EQ(-1, InsertDescFile(&state, nullptr, out));
    EXPECT_EQ(-2, InsertDescFile(&state, dir.path().c_str(), out)); // a folder cannot be read
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("ERROR InsertDescFile : cannot open file "), std::string::npos);
    EXPECT_NE(errors.find("ERROR InsertDescFile : cannot read on file "), std::string::npos);
    EXPECT_EQ(1, InsertDescFile(&state, dir.file("desc.xml").c_str(), out));
    ogg_stream_clear(&state);
    std::fclose(out);
    EXPECT_EQ(text, takeText(extractXmlDescFromOgg(path.c_str())));

    // One page: 27 header bytes and two lacing values (255 + 80) for a 335-byte body.
    ASSERT_EQ(335u, text.size());
    FILE *in = std::fopen(path.c_str(), "rb");
    ASSERT_NE(in, nullptr);
    testing::internal::CaptureStdout();
    EXPECT_EQ(29 + 335, GetPage(in));
    EXPECT_EQ(-1, GetPage(in)); // nothing after it
    EXPECT_EQ("header : 29 - body : 335\n", testing::internal::GetCapturedStdout());
    std::fclose(in);

    testing::internal::CaptureStdout();
    EXPECT_EQ(2, findKStringInFile(path.c_str(), "VERSION"));
    EXPECT_EQ(300 - 3 + 1, findKStringInFile(path.c_str(), "xxx")); // overlapping ones count
    EXPECT_EQ(0, findKStringInFile(path.c_str(), "absent"));
    const std::string positions = testing::internal::GetCapturedStdout();
    EXPECT_EQ(0u, positions.find("36\n49\n")); // after 29 header bytes and "<ZARK><"
    EXPECT_EQ(-1, findKStringInFile(path.c_str(), ""));
    EXPECT_EQ(-1, findKStringInFile(dir.file("absent").c_str(), "x"));
}

TEST(ContainerExtras, TrailerEntriesArePrintedWithTheFirstBytesOfEachTrack)
{
    TempDir dir;
    ProjectBuilder project("Export");
    for (const char *name : {"A", "B", "C"}) {
        const std::string wav = fixtures::writeAudio(dir.file(std::string(name) + ".wav"),
                                                     SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1,
                                                     fixtures::sine(1000, 44100, 440, 0.5));
        project.track(name, 1000);
        ASSERT_EQ(1, addSamplePath(project.file(), name, _tvr_strcpy(wav.c_str())));
    }
    KStreamFormat format = {};
    KStreamFormat_init(&format);
    format.code = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    format.bits = 16;
    format.channels = 0;
    format.rate = 44100;
    const std::string path = dir.file("song.tvx");
    ASSERT_EQ(1, MeskToOgg5(project.file(), path.c_str(), &format, nullptr, nullptr));
    std::string expected;
    for (int k = 0; k < 3; ++k) {
        SOggSF *track = k_oggSndfileOpen(path.c_str(), k);
        ASSERT_NE(track, nullptr);
        expected += std::to_string(k) + ") " + std::to_string(track->start) + " : RIFF\n";
        k_sndfile_close(&track);
    }
    testing::internal::CaptureStdout();
    EXPECT_EQ(3, k_read_ogg(path.c_str()));
    EXPECT_EQ(expected, testing::internal::GetCapturedStdout());

    // A description-only file has no trailer to read.
    const std::string descOnly = dir.file("desc.tvx");
    ASSERT_EQ(1, MeskToOgg5(nullptr, descOnly.c_str(), nullptr, "<ZARK></ZARK>", nullptr));
    testing::internal::CaptureStdout();
    EXPECT_EQ(-1, k_read_ogg(descOnly.c_str()));
    EXPECT_EQ(-1, k_read_ogg(dir.file("absent").c_str()));
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
}

TEST(ContainerExtras, PacketAndPagePrintersShowTheFields)
{
    unsigned char data[3] = {0x01, 0xAB, 0xFF};
    ogg_packet packet = {};
    packet.packet = data;
    packet.bytes = 3;
    packet.b_o_s = 1;
    packet.granulepos = 1024;
    packet.packetno = 7;
    ogg_stream_state state;
    ogg_stream_init(&state, 42);
    ogg_stream_packetin(&state, &packet);
    ogg_page page;
    ASSERT_GT(ogg_stream_flush(&state, &page), 0);
    testing::internal::CaptureStdout();
    print_opacket(&packet);
    print_opacket_2(&packet);
    print_opage(&page);
    print_opacket(nullptr);
    print_opage(nullptr);
    const std::string printed = testing::internal::GetCapturedStdout();
    ogg_stream_clear(&state);
    EXPECT_NE(printed.find("packet : bytes 3 - b_o_s 1 - e_o_s 0 - granulepos 1024 - packetno 7\n"),
              std::string::npos);
    EXPECT_NE(printed.find("granulepos : 1024\npacketno : 7\ndata : 01 ab ff\n"),
              std::string::npos);
    // A stream's first page carries granule position 0 whatever its packet says.
    EXPECT_NE(printed.find("page : header 28 - body 3 - version 0 - continued 0 - bos 1 - eos 0 - "
                           "granulepos 0 - serialno 42 - pageno 0 - packets 1\n"),
              std::string::npos);
}

} // namespace
