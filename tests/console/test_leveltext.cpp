// Level and pan texts of the strips: decibels shown, typed and rendered, and the pan validator.
// The engine's mixer headers name a member "slots": they come before any Qt header.
#include "../engine/MixerFixtures.h"
#include "KLevels.h"

#include "KLevelText.h"
#include "KValidator.h"

#include <QString>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

using namespace KLevelText;

TEST(LevelText, ShowsDecibelsAndReadsTypedDecibels)
{
    // One unit is 20*log10(2)/30 = 0.2007 dB; 30 units double the amplitude.
    const std::pair<int, const char*> shown[] = {
        {-240, "-inf"},  {-239, "-48.0"}, {-60, "-12.0"}, {-35, "-7.0"}, {-30, "-6.0"}, {-1, "-0.2"},
        {0, "0.0"},      {1, "0.2"},     {30, "6.0"},   {60, "12.0"}};
    for (const auto& [level, text] : shown)
        EXPECT_EQ(levelText(level), QString::fromLatin1(text)) << level;
    struct Case {
        const char* text;
        std::optional<int> level;
    };
    const Case cases[] = {
        {"-6", -30},    {"-6.1", -30},  {"-5.9", -29},  {"0.1", 0},     {"0.11", 1},
        {"12", 60},     {"13", 60},     {"-48.2", -240}, {"-60", -240}, {" 1.0 ", 5},
        {"1e400", std::nullopt},        {"6,5", std::nullopt},          {"nan", std::nullopt},
        {"", std::nullopt},             {"inf", std::nullopt},          {"-inf", -240},
        {" -INF ", -240},               {"+inf", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(levelFromText(QString::fromUtf8(c.text)), c.level) << c.text;
    // Every level has its own text, and that text reads back to the same level.
    for (int level = LevelMin; level <= LevelMax; ++level) {
        ASSERT_EQ(levelFromText(levelText(level)), level) << level;
        if (level > LevelMin) {
            ASSERT_NE(levelText(level), levelText(level - 1)) << level;
        }
    }
}

namespace {
// A constant 3 s stereo track rendered by the mixer at a level; the steady sample once the
// track's 2 s fade-in is over.
int renderedSample(int level)
{
    fixtures::TempDir dir;
    ProjectBuilder project;
    const int frames = 3 * 44100;
    const std::string path = mixfx::writeShorts(dir.file("dc.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16,
                                                44100, 2, mixfx::dc(frames, 2, 8000));
    mixfx::addFileTrack(project.file(), "A", path, frames);
    changeLevel(giveElt(project.file(), "A"), level);
    const std::vector<int16_t> out = mixfx::runMixer(project.file(), 44100, 60);
    return mixfx::at(out, size_t(55) * SO_FRAMES_PER_BLOCK, 0);
}
}

TEST(LevelText, ShownDecibelsAreTheRenderedGain)
{
    const int unity = renderedSample(0);
    ASSERT_GT(unity, 0);
    // What a strip shows for its level is what the track renders at, against level 0.
    for (const char* typed : {"-6", "-20", "-12.5", "6", "12"}) {
        const std::optional<int> level = levelFromText(QString::fromLatin1(typed));
        ASSERT_TRUE(level) << typed;
        const double shown = levelText(*level).toDouble();
        EXPECT_NEAR(shown, std::atof(typed), 0.15) << typed;
        const double rendered = 20.0 * std::log10(double(renderedSample(*level)) / unity);
        EXPECT_NEAR(rendered, shown, 0.1) << typed;
    }
    EXPECT_EQ(levelText(*levelFromText(QStringLiteral("-6"))), "-6.0");
}

TEST(LevelText, PanTextsBothWays)
{
    const std::pair<int, const char*> shown[] = {
        {-100, "L"}, {-50, "L50"}, {0, "C"}, {7, "R7"}, {100, "R"}, {-1, "L1"}};
    for (const auto& [value, text] : shown) {
        EXPECT_EQ(panText(value), QString::fromLatin1(text));
        EXPECT_EQ(panFromText(QString::fromLatin1(text)), value == 0 ? 0 : value) << text;
    }
    const std::pair<const char*, int> typed[] = {
        {"L", -100}, {"r", 100},  {"R150", 100}, {"L7", -7},  {"l099", -99}, {"X12", 0},
        {"L-5", 0},  {"R-99", 0}, {"L 5", 0},    {"L1000", 0}, {"", 0},      {"C", 0}};
    for (const auto& [text, value] : typed)
        EXPECT_EQ(panFromText(QString::fromLatin1(text)), value) << text;

    // Stored pans come back to the slider unchanged (0.29 is 28.999... in binary).
    EXPECT_EQ(panToSlider(0.29), 29);
    EXPECT_EQ(panToSlider(-0.57), -57);
    EXPECT_EQ(panToSlider(5.0), 100);
    EXPECT_EQ(panToSlider(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(LevelText, ValidatorAcceptsOnlySidesWithDigitsOrTheCentre)
{
    KValidator validator;
    const char* acceptable[] = {"", "L", "r", "L5", "L50", "L100", "R05", "C", "c", "0", "ab12"};
    const char* invalid[] = {"L0", "5", "Lx", "C1", "L-5", "L-99", "R 5", "L1000", "Rx5"};
    int position = 0;
    for (const char* text : acceptable) {
        QString s = QString::fromLatin1(text);
        EXPECT_EQ(validator.validate(s, position), QValidator::Acceptable) << text;
    }
    for (const char* text : invalid) {
        QString s = QString::fromLatin1(text);
        EXPECT_EQ(validator.validate(s, position), QValidator::Invalid) << text;
    }
    // Whatever the validator accepts reads as a pan on the side of its letter.
    for (const char* text : acceptable) {
        const QString s = QString::fromLatin1(text);
        const int pan = panFromText(s);
        EXPECT_LE(std::abs(pan), 100);
        if (!s.isEmpty() && (s[0] == u'L' || s[0] == u'l')) {
            EXPECT_LT(pan, 0) << text;
        }
        if (!s.isEmpty() && (s[0] == u'R' || s[0] == u'r')) {
            EXPECT_GT(pan, 0) << text;
        }
    }
}
