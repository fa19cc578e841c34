// Projects far larger than a person builds by hand, as a generated file can hold them: a chain of
// nested groups listed outermost or innermost first, and many groups side by side. Loading them
// and asking the tree questions the element views ask must cost a step per element: the tests
// compare 100,000 elements with 10,000 (a ratio, never a time), so a step per element per level
// fails them by far, and a call per level would overflow the stack.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "KZarkXml.h"
#include "AudioFixtures.h"
#include "ProjectBuilder.h"

namespace {

enum class Shape { OutermostFirst, InnermostFirst, SideBySide };

std::string groupName(int i)
{
    return "G" + std::to_string(i);
}

// A project description of `n` groups. In a chain, group i holds group i + 1 and the last one
// holds the only track; side by side, every group holds nothing.
std::string describe(Shape shape, int n)
{
    std::string text = "<TOVRA-2.0><VERSION>2.000000</VERSION>"
                       "<TRCK><NAME>T</NAME><SIZE>4410</SIZE><DATE>0</DATE><STREAM>0</STREAM></TRCK>";
    text.reserve(static_cast<size_t>(n) * 110);
    auto group = [&](int i) {
        text += "<CNST><NAME>" + groupName(i) + "</NAME>";
        if (shape != Shape::SideBySide)
            text += "<SUB_ELT>" + (i + 1 < n ? groupName(i + 1) : std::string("T")) + "</SUB_ELT>";
        text += "<S_CONST>GRP </S_CONST><S_MIN>0</S_MIN><S_MAX>1</S_MAX></CNST>";
    };
    if (shape == Shape::InnermostFirst)
        for (int i = n - 1; i >= 0; --i)
            group(i);
    else
        for (int i = 0; i < n; ++i)
            group(i);
    return text + "</TOVRA-2.0>";
}

// What the element views ask of a loaded project: the top rows one by one, the depth, the
// elements at a few depths and the depth of the deepest element.
long askTreeQuestions(KFile *file)
{
    long sum = 0;
    const int tops = k_getEltOnTopNbr(file, nullptr);
    for (int i = 0; i < tops; ++i)
        sum += k_getNthEltOnTop(file, i, nullptr) != nullptr;
    sum += k_getTreeDepth(file);
    for (int d : {0, 1, 2}) {
        int count = 0;
        tvr_free(k_getEltsInNthDepth(file, d, &count));
        sum += count;
    }
    sum += getLevelFamily(file, "T");
    return sum;
}

// Loads the description and asks the questions; the fastest of `runs` runs, in seconds.
double loadAndAsk(const std::string &text, int runs, int expectedTops, int expectedDepth)
{
    double fastest = 1e30;
    for (int run = 0; run < runs; ++run) {
        ProjectBuilder p;
        const double start = fixtures::threadSeconds();
        EXPECT_EQ(1, LoadFromXmlDesc(p.file(), text.c_str())) << getXmlDescErrorReason();
        askTreeQuestions(p.file());
        const double took = fixtures::threadSeconds() - start;
        fastest = std::min(fastest, took);
        EXPECT_EQ(expectedTops, k_getEltOnTopNbr(p.file(), nullptr));
        EXPECT_EQ(expectedDepth, k_getTreeDepth(p.file()));
    }
    return fastest;
}

} // namespace

TEST(LargeProjects, DeepAndWideFilesLoadAndAnswerInLinearTime)
{
    struct Case {
        const char *what;
        Shape shape;
    };
    for (const Case c : {Case{"chain, outermost first", Shape::OutermostFirst},
                         Case{"chain, innermost first", Shape::InnermostFirst},
                         Case{"side by side", Shape::SideBySide}}) {
        SCOPED_TRACE(c.what);
        const bool chain = c.shape != Shape::SideBySide;
        // Tops: the outermost group of a chain; side by side every group and the track.
        auto tops = [&](int n) { return chain ? 1 : n + 1; };
        auto depth = [&](int n) { return chain ? n + 1 : 1; };
        const double small = loadAndAsk(describe(c.shape, 10000), 3, tops(10000), depth(10000));
        const double large = loadAndAsk(describe(c.shape, 100000), 2, tops(100000), depth(100000));
        // Ten times the elements: linear costs about 10x; a step per level per element 100x.
        EXPECT_LT(large, 20 * small) << "10,000: " << small << " s, 100,000: " << large << " s";
    }
}

TEST(LargeProjects, TreeAnswersFollowEveryStructureEdit)
{
    // The answers come from an index built once per structure: each kind of edit must show.
    ProjectBuilder p;
    p.track("T1").track("T2").group("A", {"T1"}).group("B");
    KFile *f = p.file();
    auto topNames = [f] {
        std::string names;
        for (int i = 0; i < k_getEltOnTopNbr(f, nullptr); ++i)
            names += std::string(k_getNthEltOnTop(f, i, nullptr)->name) + " ";
        return names;
    };
    EXPECT_EQ("T2 A B ", topNames());
    EXPECT_EQ(2, k_getTreeDepth(f));
    ASSERT_EQ(1, addSubElt(f, "B", "A"));
    EXPECT_EQ("T2 B ", topNames());
    EXPECT_EQ(3, k_getTreeDepth(f));
    EXPECT_EQ(3, getLevelFamily(f, "T1"));
    EXPECT_EQ(1, k_getEltOnTopIndex(f, p.elt("B"), nullptr));
    hideElt(f, "B");
    EXPECT_EQ("T2 A ", topNames());
    EXPECT_EQ(2, k_getTreeDepth(f));
    showElt(f, "B");
    EXPECT_EQ("T2 B ", topNames());
    ASSERT_EQ(1, delSubElt(f, "B", "A"));
    EXPECT_EQ("T2 A B ", topNames());
    EXPECT_EQ("T2 B ", [&] {
        std::string names;
        for (int i = 0; i < k_getEltOnTopNbr(f, "A"); ++i)
            names += std::string(k_getNthEltOnTop(f, i, "A")->name) + " ";
        return names;
    }());
    // B takes the id T2 leaves: the top rows follow the ids.
    ASSERT_EQ(1, deleteElt(f, "T2"));
    EXPECT_EQ("B A ", topNames());
    EXPECT_EQ(nullptr, k_getNthEltOnTop(f, 2, nullptr));
    p.track("T3");
    EXPECT_EQ("B A T3 ", topNames());
    EXPECT_EQ(2, k_getEltOnTopIndex(f, p.elt("T3"), nullptr));
    _hideEltRec(p.elt("A"));
    EXPECT_EQ("B T3 ", topNames());
    int count = 0;
    const char **second = k_getEltsInNthDepth(f, 1, &count);
    EXPECT_EQ(0, count); // T1 went hidden with A
    tvr_free(second);
}

TEST(LargeProjects, LinksThatWouldMakeALoopAreRefusedFromEitherSide)
{
    // A chain A > B > C > D with a side branch B > E: the loop check meets from the group's
    // ancestors and from the member's descendants, whichever side is shorter.
    ProjectBuilder p;
    p.group("A").group("B").group("C").group("D").group("E").track("T");
    p.link("A", {"B"}).link("B", {"C", "E"}).link("C", {"D"}).link("D", {"T"});
    KFile *f = p.file();
    struct Link {
        const char *group, *member;
        int expected;
    };
    for (const Link l : {Link{"D", "A", -3}, Link{"D", "B", -3}, Link{"C", "A", -3},
                         Link{"E", "A", -3}, Link{"D", "D", -3}, Link{"E", "C", 1},
                         Link{"A", "D", 1}, Link{"E", "T", 1}, Link{"D", "E", -3}}) {
        // In order: once E holds C, E is above D too.
        EXPECT_EQ(l.expected, addSubElt(f, l.group, l.member)) << l.group << " <- " << l.member;
    }
    EXPECT_EQ(1, k_isParent(f, "E", "T"));
    EXPECT_EQ(0, k_isParent(f, "D", "E"));
}

namespace {

// `n` implications of the track in a chain listed so that each waits for the next one: rule i is
// implied by rule i + 1, and the last one by the track.
std::string describeImplicationChain(int n)
{
    std::string text = "<TOVRA-2.0><VERSION>2.000000</VERSION>"
                       "<TRCK><NAME>T</NAME><SIZE>4410</SIZE><DATE>0</DATE><STREAM>0</STREAM></TRCK>";
    text.reserve(static_cast<size_t>(n) * 90);
    for (int i = 0; i < n; ++i)
        text += "<CNST><NAME>R" + std::to_string(i) +
                "</NAME><SUB_ELT>T</SUB_ELT><S_CONST>IMPL</S_CONST><S_IMPLY>" +
                (i + 1 < n ? "R" + std::to_string(i + 1) : std::string("T")) + "</S_IMPLY></CNST>";
    return text + "</TOVRA-2.0>";
}

double loadOnly(const std::string &text, int runs)
{
    double fastest = 1e30;
    for (int run = 0; run < runs; ++run) {
        ProjectBuilder p;
        const double start = fixtures::threadSeconds();
        EXPECT_EQ(1, LoadFromXmlDesc(p.file(), text.c_str())) << getXmlDescErrorReason();
        fastest = std::min(fastest, fixtures::threadSeconds() - start);
    }
    return fastest;
}

} // namespace

TEST(LargeProjects, ImplicationsWaitingForEachOtherKeepTheirOrderAndLoadInLinearTime)
{
    // A waits for B, which waits only for the track; C waits for A. Passes over the list make
    // B, then A, then C in the same pass as A: the saved order stays that one.
    const std::string text =
        "<TOVRA-2.0><VERSION>2.000000</VERSION>"
        "<TRCK><NAME>T</NAME><SIZE>4410</SIZE><DATE>0</DATE><STREAM>0</STREAM></TRCK>"
        "<CNST><NAME>A</NAME><SUB_ELT>T</SUB_ELT><S_CONST>IMPL</S_CONST><S_IMPLY>B</S_IMPLY></CNST>"
        "<CNST><NAME>B</NAME><SUB_ELT>T</SUB_ELT><S_CONST>IMPL</S_CONST><S_IMPLY>T</S_IMPLY></CNST>"
        "<CNST><NAME>C</NAME><SUB_ELT>T</SUB_ELT><S_CONST>IMPL</S_CONST><S_IMPLY>A</S_IMPLY></CNST></TOVRA-2.0>";
    ProjectBuilder p;
    ASSERT_EQ(1, LoadFromXmlDesc(p.file(), text.c_str())) << getXmlDescErrorReason();
    char *saved = exportToCleanXmlDesc(p.file());
    ASSERT_NE(nullptr, saved);
    const std::string out(saved);
    tvr_free(saved);
    const size_t a = out.find("<NAME>A</NAME>"), b = out.find("<NAME>B</NAME>"),
                 c = out.find("<NAME>C</NAME>");
    ASSERT_NE(std::string::npos, a);
    ASSERT_NE(std::string::npos, b);
    ASSERT_NE(std::string::npos, c);
    EXPECT_LT(b, a);
    EXPECT_LT(a, c);

    // One pass per link of the chain would make ten times the rules cost a hundred times; a
    // step per rule costs about ten, with room for a loaded machine's noise.
    const double small = loadOnly(describeImplicationChain(2000), 5);
    const double large = loadOnly(describeImplicationChain(20000), 2);
    EXPECT_LT(large, 30 * small) << "2,000: " << small << " s, 20,000: " << large << " s";
}
