// Counting allocator, string, list and path helpers, number conversions and level units.
#include <gtest/gtest.h>

#include <clocale>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "tvr_utils.h"

namespace {

// Takes an engine string and returns it as a std::string ("<null>" for null).
std::string take(char *s)
{
    if (!s)
        return "<null>";
    std::string copy(s);
    tvr_free(s);
    return copy;
}

FILE *fileWith(const std::string &content)
{
    FILE *file = std::tmpfile();
    std::fwrite(content.data(), 1, content.size(), file);
    std::rewind(file);
    return file;
}

} // namespace

TEST(Allocator, BlocksAreZeroedAndCounted)
{
    TvrMemoryCounters before = tvr_memoryCounters();
    auto *block = static_cast<unsigned char *>(tvr_malloc(64));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(block[i], 0);
    block = static_cast<unsigned char *>(tvr_realloc(block, 128));
    ASSERT_NE(block, nullptr);
    tvr_free(block);
    TvrMemoryCounters after = tvr_memoryCounters();
    EXPECT_EQ(after.allocations - before.allocations, 2);
    EXPECT_EQ(after.allocatedBytes - before.allocatedBytes, 64 - 4 + 128);
    EXPECT_EQ(after.releases - before.releases, 1);
    EXPECT_EQ(after.releasedBytes - before.releasedBytes, 4);

    void *empty = tvr_malloc(0);
    EXPECT_NE(empty, nullptr) << "a zero-byte block is still a block";
    tvr_free(empty);
}

TEST(Allocator, OverflowingArrayIsRefusedWithTheMessage)
{
    testing::internal::CaptureStderr();
    void *block = tvr_calloc(SIZE_MAX / 4, 8);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(err, " *** ERROR - tvr_malloc() : cannot allocate memory !!! ***\n");

    auto *ints = static_cast<int *>(tvr_calloc(4, sizeof(int)));
    ASSERT_NE(ints, nullptr);
    EXPECT_EQ(ints[3], 0);
    tvr_free(ints);
}

TEST(Allocator, SmallHelpers)
{
    char buffer[4] = {1, 2, 3, 4};
    EXPECT_EQ(oBZero(buffer, 4), 4u);
    EXPECT_EQ(buffer[3], 0);
    EXPECT_EQ(oBZero(nullptr, 4), 0u);
    int a = 0, b = 42;
    tvr_memcpy(&a, &b);
    EXPECT_EQ(a, 42);
    int *clone = tvr_memcln(&b);
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(*clone, 42);
    tvr_free(clone);
    EXPECT_EQ(tvr_memcln(nullptr), nullptr);
}

TEST(Strings, CopyConcatCount)
{
    EXPECT_EQ(take(_tvr_strcpy("abc")), "abc");
    EXPECT_EQ(_tvr_strcpy(nullptr), nullptr);
    EXPECT_EQ(take(tvr_strndup("abcdef", 3)), "abc");
    EXPECT_EQ(take(strConcat(_tvr_strcpy("ab"), "cd")), "abcd");
    EXPECT_EQ(take(strConcat(nullptr, "cd")), "cd");
    EXPECT_EQ(tvr_strChrNbr("a|b||c", '|'), 3);
    EXPECT_EQ(tvr_strChrNbr(nullptr, '|'), 0);
    EXPECT_EQ(k_tolower('Q'), 'q');
    EXPECT_EQ(k_tolower('q'), 'q');
    EXPECT_EQ(k_tolower('@'), '@');
}

TEST(Strings, DigitCount)
{
    const struct {
        int64_t value;
        int digits;
    } cases[] = {{0, 1}, {9, 1}, {-5, 1}, {-240, 1}, {10, 2}, {12345, 5}, {INT64_MAX, 19}};
    for (const auto &c : cases)
        EXPECT_EQ(nbChar(c.value), c.digits) << c.value;
}

TEST(Strings, NameLists)
{
    char a[] = "a", b[] = "b", a2[] = "a", c[] = "c";
    GSList *list = nullptr;
    for (char *s : {a, b, a2, c, b})
        list = g_slist_append(list, s);
    EXPECT_EQ(nameInList(list, "c"), 1);
    EXPECT_EQ(isInGSList("c", list), 1);
    EXPECT_EQ(nameInList(list, "d"), 0);
    EXPECT_EQ(nameInList(list, nullptr), 0);

    GSList *clean = cleanStrList(list);
    std::vector<std::string> names;
    for (GSList *node = clean; node; node = node->next)
        names.push_back(static_cast<char *>(node->data));
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(clean->data, static_cast<void *>(a)) << "first occurrences are kept";
    g_slist_free(clean);
}

TEST(Strings, RandCharStaysInTheIdAlphabet)
{
    bool sawLow = false, sawHigh = false;
    for (int i = 0; i < 100000; ++i) {
        char ch = randChar();
        ASSERT_GE(ch, '0');
        ASSERT_LE(ch, 'z');
        ASSERT_NE(ch, '<');
        ASSERT_NE(ch, '>');
        sawLow |= ch == '1';
        sawHigh |= ch == 'y';
    }
    EXPECT_TRUE(sawLow && sawHigh);
    std::string first, second;
    for (int i = 0; i < 128; ++i)
        first += randChar();
    for (int i = 0; i < 128; ++i)
        second += randChar();
    EXPECT_NE(first, second);
}

TEST(Paths, Table)
{
    const struct {
        const char *what;
        char *result;
        const char *expected;
    } cases[] = {
        {"makePath plain", makePath("dir", "f"), "dir/f"},
        {"makePath slash", makePath("dir/", "f"), "dir/f"},
        {"makePath empty dir", makePath("", "f"), "f"},
        {"makeRelativePath inside", makeRelativePath("/a/b/c.wav", "/a/"), "b/c.wav"},
        {"makeRelativePath outside", makeRelativePath("/x/c.wav", "/a/"), "<null>"},
        {"returnFile", returnFile("/a/b/c.wav"), "c.wav"},
        {"returnFile no slash", returnFile("c.wav"), "c.wav"},
        {"returnDir", returnDir("/a/b/c.wav"), "/a/b/"},
        {"returnDir no slash", returnDir("c.wav"), ""},
        {"fileWithOutExt", fileWithOutExt("/a/b/c.tar.gz"), "/a/b/c.tar"},
        {"fileWithOutExt no dot", fileWithOutExt("/a.b/c"), "/a.b/c"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(take(c.result), c.expected) << c.what;
}

TEST(Paths, CleanPathFile)
{
    const struct {
        const char *in;
        const char *out;
    } cases[] = {{"\"a b\"", "a b"}, {"\"\"", ""}, {"\"", "\""}, {"\"a", "\"a"}, {"a", "a"}, {"", ""}};
    for (const auto &c : cases) {
        std::vector<char> s(c.in, c.in + std::strlen(c.in) + 1);
        EXPECT_STREQ(cleanPathFile(s.data()), c.out) << c.in;
    }
}

TEST(Files, FileSizeKeepsThePosition)
{
    FILE *file = fileWith("0123456789");
    std::fseek(file, 3, SEEK_SET);
    EXPECT_EQ(fileSize(file), 10);
    EXPECT_EQ(std::ftell(file), 3);
    std::fclose(file);
    EXPECT_EQ(fileSize(nullptr), -1);
}

TEST(Files, ReadUntil)
{
    FILE *file = fileWith("xxaabcyy<END>z");
    EXPECT_EQ(take(readUntil(file, "abc")), "xxa") << "a partial match does not hide a match";
    EXPECT_EQ(take(readUntil(file, "<END>")), "yy");
    EXPECT_EQ(std::fgetc(file), 'z');
    EXPECT_EQ(readUntil(file, "<END>"), nullptr) << "end of stream";
    std::fclose(file);

    file = fileWith(std::string(499, 'a') + "|" + std::string(500, 'b') + "|");
    EXPECT_EQ(take(readUntil(file, "|")), std::string(499, 'a'));
    EXPECT_EQ(readUntil(file, "|"), nullptr) << "500 bytes before the delimiter";
    std::fclose(file);
}

TEST(Numbers, Formatting)
{
    EXPECT_EQ(take(doubleToString(2.0)), "2.000000");
    EXPECT_EQ(take(doubleToString(-0.5)), "-0.500000");
    char expected[400];
    std::snprintf(expected, sizeof expected, "%f", 1e300);
    EXPECT_EQ(take(doubleToString(1e300)), expected);
    EXPECT_EQ(take(intToString(-240)), "-240");

    const int ints[] = {-240, 0, 60, INT_MIN, INT_MAX};
    EXPECT_EQ(take(intarrayToString(ints, 5)), "-240 0 60 -2147483648 2147483647");
    const double doubles[] = {1.5, -2.0, 1e300};
    EXPECT_EQ(take(doublearrayToString(doubles, 3)), std::string("1.500000 -2.000000 ") + expected);
    EXPECT_EQ(take(doublearrayToString(doubles, 0)), "");
    EXPECT_EQ(doublearrayToString(nullptr, 2), nullptr);
}

TEST(Numbers, ParsingArrays)
{
    const std::string longToken(600, '7');
    const struct {
        std::string in;
        int max;
        std::vector<double> values;
    } cases[] = {
        {"1.5 2 3", 2, {1.5, 2.0}},
        {"1.5 2 3", 5, {1.5, 2.0, 3.0}},
        {"1 2  3", 5, {1.0, 2.0}},
        {"1 2 ", 5, {1.0, 2.0}},
        {"", 5, {}},
        {"1 2", 0, {}},
        {"-0.25 x 7", 5, {-0.25, 0.0, 7.0}},
        {"1 " + longToken + " 3", 5, {1.0}},
    };
    for (const auto &c : cases) {
        double doubles[8] = {};
        int ints[8] = {};
        int n = stringToDoublearray(c.in.c_str(), doubles, c.max);
        ASSERT_EQ(n, static_cast<int>(c.values.size())) << c.in;
        EXPECT_EQ(stringToIntarray(c.in.c_str(), ints, c.max), n) << c.in;
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(doubles[i], c.values[i]) << c.in;
            EXPECT_EQ(ints[i], std::atoi(std::to_string(static_cast<long>(c.values[i])).c_str()))
                << c.in;
        }
    }
    double out[2];
    EXPECT_EQ(stringToDoublearray(nullptr, out, 2), 0);
    int big[1];
    EXPECT_EQ(stringToIntarray("99999999999", big, 1), 1);
    EXPECT_EQ(big[0], INT_MAX) << "clamped, never undefined";
}

TEST(Numbers, ParseDouble)
{
    const struct {
        const char *in;
        bool ok;
        double value;
    } cases[] = {{"2.5", true, 2.5}, {" -1e3 ", true, -1000.0}, {"0", true, 0.0},
                 {"", false, 0}, {"abc", false, 0}, {"1.5x", false, 0}, {"nan", false, 0},
                 {"inf", false, 0}, {"1e400", false, 0}};
    for (const auto &c : cases) {
        double value = -7;
        EXPECT_EQ(tvr_parseDouble(c.in, &value), c.ok) << c.in;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.in;
        }
    }
    double value;
    EXPECT_FALSE(tvr_parseDouble(nullptr, &value));
}

// A French desktop must write and read the same bytes as an English one.
TEST(Numbers, IndependentOfTheProcessLocale)
{
    if (!std::setlocale(LC_ALL, "fr_FR.UTF-8"))
        GTEST_SKIP() << "fr_FR.UTF-8 is not installed";
    char local[32];
    std::snprintf(local, sizeof local, "%f", 0.5);
    EXPECT_STREQ(local, "0,500000") << "the locale really uses a decimal comma";

    EXPECT_EQ(take(doubleToString(0.5)), "0.500000");
    const double values[] = {0.5, -1.25};
    EXPECT_EQ(take(doublearrayToString(values, 2)), "0.500000 -1.250000");
    double parsed[2] = {};
    EXPECT_EQ(stringToDoublearray("1.5 2.25", parsed, 2), 2);
    EXPECT_EQ(parsed[0], 1.5);
    EXPECT_EQ(parsed[1], 2.25);
    double single = 0;
    EXPECT_TRUE(tvr_parseDouble("0.75", &single));
    EXPECT_EQ(single, 0.75);
    std::setlocale(LC_ALL, "C");
}

TEST(LevelUnits, DoubleToCB)
{
    const struct {
        double gain;
        int level;
    } cases[] = {
        {1.0, 0},
        {2.0, 30},
        {0.5, -30},
        {0.0, -240},
        {1.0 / 256, -240},
        {1.5, 17}, // 30 x 0.585 = 17.5, truncated toward zero
        {0.7, -15},
        {-1.0, -241},
        {std::numeric_limits<double>::quiet_NaN(), -241},
        {std::numeric_limits<double>::infinity(), 30720},
        {std::numeric_limits<double>::max(), 30720},
        {std::numeric_limits<double>::denorm_min(), -32220},
    };
    for (const auto &c : cases)
        EXPECT_EQ(doubleToCB(c.gain), c.level) << c.gain;
}

TEST(LevelUnits, CBToDouble)
{
    EXPECT_EQ(cBToDouble(-240), 0.00390625);
    EXPECT_EQ(cBToDouble(0), 1.0);
    EXPECT_EQ(cBToDouble(30), 2.0);
    EXPECT_EQ(cBToDouble(INT_MIN), 0.0);
    EXPECT_TRUE(std::isinf(cBToDouble(INT_MAX)));
    // A level turned into a gain and back is the same level (master gain, mix levels), also
    // through the six decimals of a stored gain.
    for (int level = -240; level <= 60; ++level) {
        EXPECT_EQ(doubleToCB(cBToDouble(level)), level) << level;
        char stored[64];
        std::snprintf(stored, sizeof stored, "%f", cBToDouble(level));
        EXPECT_EQ(doubleToCB(std::atof(stored)), level) << stored;
    }
}
