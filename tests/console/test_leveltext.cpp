// Level and pan texts of the strips: display, typed reading and the pan validator.
#include "KLevelText.h"
#include "KValidator.h"

#include <QString>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace KLevelText;

TEST(LevelText, ShowsTenthsAndReadsTypedLevels)
{
    EXPECT_EQ(levelText(-35), "-3.5");
    EXPECT_EQ(levelText(0), "0");
    EXPECT_EQ(levelText(-240), "-24");
    struct Case {
        const char* text;
        std::optional<int> level;
    };
    const Case cases[] = {
        {"7", 60},      {"6", 60},    {"6.5", 60},   {"-30", -240},    {"-25", -240},
        {"-3.55", -35}, {"0.05", 0},  {"-24", -240}, {" 1.5 ", 15},   {"6,5", std::nullopt},
        {"nan", std::nullopt},        {"1e400", std::nullopt},         {"", std::nullopt},
        {"inf", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(levelFromText(QString::fromUtf8(c.text)), c.level) << c.text;
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
        if (!s.isEmpty() && (s[0] == u'L' || s[0] == u'l'))
            EXPECT_LT(pan, 0) << text;
        if (!s.isEmpty() && (s[0] == u'R' || s[0] == u'r'))
            EXPECT_GT(pan, 0) << text;
    }
}
