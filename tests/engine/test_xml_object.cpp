// The tag tree: building, writing, parsing, and the parser's behaviour on bad input.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "XmlObject.h"
#include "tvr_utils.h"

namespace {

// Compact picture of a tree: name, {text} when present, [children] when any.
std::string shape(const XmlObject *node)
{
    if (!node)
        return "<null>";
    std::string s = node->name ? node->name : "<noname>";
    if (node->text)
        s += "{" + std::string(node->text) + "}";
    if (node->count > 0) {
        s += "[";
        for (int i = 0; i < node->count; ++i)
            s += (i ? "," : "") + shape(node->children[i]);
        s += "]";
    }
    return s;
}

std::string parseShape(const std::string &text)
{
    XmlObject *tree = XmlParserFromString(text.c_str());
    std::string s = shape(tree);
    DeleteRecXmlObject(tree);
    return s;
}

std::string write(const XmlObject *node, const char *prefix = nullptr)
{
    char *text = XmlToString2(prefix ? _tvr_strcpy(prefix) : nullptr, node);
    std::string s = text ? text : "<null>";
    tvr_free(text);
    return s;
}

std::string nested(int depth)
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<a>";
    text += "x";
    for (int i = 0; i < depth; ++i)
        text += "</a>";
    return text;
}

} // namespace

TEST(XmlTree, AddSubObjectResults)
{
    XmlObject *node = CreateXmlObject("A", nullptr);
    ASSERT_NE(node, nullptr);
    XmlObject *child = CreateXmlObject("B", "y");
    EXPECT_EQ(AddSubObject(nullptr, child), -1);
    EXPECT_EQ(AddSubObject(node, nullptr), 0);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(AddSubObject(node, CreateXmlObject("C", nullptr)), 1);
    EXPECT_EQ(AddSubObject(node, child), 1);
    EXPECT_EQ(node->count, 1001);
    EXPECT_EQ(node->children[1000], child);
    DeleteRecXmlObject(node);
    DeleteRecXmlObject(nullptr);
}

TEST(XmlTree, WriterFormAndEscaping)
{
    XmlObject *a = CreateXmlObject("A", "x");
    AddSubObject(a, CreateXmlObject("B", "y"));
    EXPECT_EQ(write(a), "<A>x<B>y</B></A>");
    EXPECT_EQ(write(a, "head:"), "head:<A>x<B>y</B></A>");
    EXPECT_EQ(parseShape(write(a)), "A[B{y}]") << "text beside children is not read back";
    DeleteRecXmlObject(a);

    XmlObject *text = CreateXmlObject("T", "a<b> & \"c\" 'd'");
    EXPECT_EQ(write(text), "<T>a&lt;b&gt; &amp; \"c\" 'd'</T>");
    EXPECT_EQ(parseShape(write(text)), "T{a<b> & \"c\" 'd'}");
    DeleteRecXmlObject(text);

    XmlObject *empty = CreateXmlObject("E", nullptr);
    EXPECT_EQ(write(empty), "<E></E>");
    DeleteRecXmlObject(empty);
    EXPECT_EQ(write(nullptr, "consumed"), "<null>");

    char *begin = CreateBeginXmlFlag("NAME");
    char *end = CreateEndXmlFlag("NAME");
    EXPECT_STREQ(begin, "<NAME>");
    EXPECT_STREQ(end, "</NAME>");
    tvr_free(begin);
    tvr_free(end);
}

TEST(XmlTree, ParserTable)
{
    const struct {
        std::string in;
        const char *tree;
    } cases[] = {
        {"<A><B>1</B><E>2</E></A>", "A[B{1},E{2}]"},
        {"<A></A>", "A{}"},
        {"<A> 1 </A>", "A{ 1 }"},
        {" \n<A>x</A>\r\n\t", "A{x}"},
        {"<A>1<B>2</B>3</A>", "A[B{2}]"},
        {"<NAME>v</NAMEX>", "NAME{v}"},
        {"<A a=\"1\">v</A a=\"1\">", "A a=\"1\"{v}"},
        // Malformed documents are refused whole: text or a second element around the root,
        // wrong and stray end tags.
        {"lead <A>x</A>", "<null>"},
        {"<A>x</A> trail", "<null>"},
        {"<A>x</A><B>y</B>", "<null>"},
        {"<A>x</A></A>", "<null>"},
        {"</B><A>x</A>", "<null>"},
        {"<A><B>x</E></A>", "<null>"},
        {"<A><B>&lt;</B><C>x</D></A>", "<null>"},
        // Entities and character references.
        {"<A>&amp;&lt;&gt;&quot;&apos;</A>", "A{&<>\"'}"},
        {"<A>&#65;&#x42;&#xe9;&#x1F3B5;</A>", "A{AB\xC3\xA9\xF0\x9F\x8E\xB5}"},
        {"<A>&#0;&#xD800;&#x110000;&#;&#x;&bogus;&amp</A>", "A{&#0;&#xD800;&#x110000;&#;&#x;&bogus;&amp}"},
        // Unreadable documents.
        {"<A><B>x</B>", "<null>"},
        {"<A>x</B>", "<null>"},
        {"", "<null>"},
        {"no tags", "<null>"},
        {"<A", "<null>"},
        {"<A>text", "<null>"},
        {"<A>text</A", "<null>"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parseShape(c.in), c.tree) << c.in;
}

// The text-keeping reader gives a node with children back the text written before them; blanks
// (indentation) and text between or after children are not kept; malformed input is refused
// as by the plain reader.
TEST(XmlTree, KeepingTextReadsMixedNodesBack)
{
    const struct {
        const char *in;
        const char *tree;
    } cases[] = {
        {"<A>x<B>y</B></A>", "A{x}[B{y}]"},
        {"<A>&lt;x&gt;<B>y</B><C></C></A>", "A{<x>}[B{y},C{}]"},
        {"<A>\n  <B>y</B>\n</A>", "A[B{y}]"},
        {"<A><B>y</B>tail</A>", "A[B{y}]"},
        {"<A>x<B>y</E></A>", "<null>"},
        {"<A>x</A><B></B>", "<null>"},
    };
    for (const auto &c : cases) {
        XmlObject *tree = XmlParserFromStringKeepingText(c.in);
        EXPECT_EQ(shape(tree), c.tree) << c.in;
        DeleteRecXmlObject(tree);
    }
}

TEST(XmlTree, TagHelpers)
{
    const char *text = "x<A>y</A b>";
    const char *cursor = text;
    char *tag = FindXmlFlag(&cursor);
    EXPECT_STREQ(tag, "A");
    EXPECT_STREQ(cursor, "y</A b>");
    tvr_free(tag);
    tag = FindXmlFlag(&cursor);
    EXPECT_STREQ(tag, "/A b");
    EXPECT_TRUE(IsEndFlag(tag));
    EXPECT_TRUE(IsEndFlagOf(tag, "A"));
    EXPECT_FALSE(IsEndFlagOf(tag, "AB"));
    EXPECT_FALSE(IsEndFlag("A"));
    tvr_free(tag);
    EXPECT_EQ(FindXmlFlag(&cursor), nullptr);

    // The start tag already read: the element's content and end tag follow the cursor.
    cursor = "x<B>y</B></A>rest";
    XmlObject *a = XmlParserFromString2(&cursor, "A");
    EXPECT_EQ(shape(a), "A[B{y}]");
    EXPECT_STREQ(cursor, "rest");
    DeleteRecXmlObject(a);
}

TEST(XmlTree, NestingLimit)
{
    EXPECT_NE(parseShape(nested(XML_MAX_DEPTH)), "<null>");
    EXPECT_EQ(parseShape(nested(XML_MAX_DEPTH + 1)), "<null>");
    EXPECT_EQ(parseShape(nested(200000)), "<null>");
}

TEST(XmlTree, EmbeddedNulIsTruncatedInput)
{
    const std::string cut("<A>x\0</A>", 9);
    EXPECT_EQ(parseShape(cut.c_str()), "<null>");
    const std::string tail("<A>x</A>\0<B>", 12);
    EXPECT_EQ(parseShape(tail.c_str()), "A{x}");
}

TEST(XmlTree, EveryTruncationIsSafe)
{
    const std::string doc = "<TOVRA-2.0><NAME>P &amp; Q</NAME><TRCK><NAME>T1</NAME><LEVELS>0 -240 "
                            "60</LEVELS></TRCK><CNST><NAME>G</NAME><SUB_ELT>T1</SUB_ELT><X>&#233;"
                            "</X></CNST></TOVRA-2.0>";
    for (size_t length = 0; length < doc.size(); ++length) {
        XmlObject *tree = XmlParserFromString(doc.substr(0, length).c_str());
        EXPECT_EQ(tree, nullptr) << length;
        DeleteRecXmlObject(tree);
    }
    EXPECT_EQ(parseShape(doc), "TOVRA-2.0[NAME{P & Q},TRCK[NAME{T1},LEVELS{0 -240 60}],"
                               "CNST[NAME{G},SUB_ELT{T1},X{\xC3\xA9}]]");
}

// A description of hundreds of tracks (several MB) and very wide elements parse whole; the
// writer's output parses back to the same text.
TEST(XmlTree, LargeDocumentsRoundTrip)
{
    XmlObject *root = CreateXmlObject("TOVRA-2.0", nullptr);
    const std::string comment(8000, 'c');
    for (int t = 0; t < 300; ++t) {
        XmlObject *track = CreateXmlObject("TRCK", nullptr);
        AddSubObject(track, CreateXmlObject("NAME", ("track <" + std::to_string(t) + ">").c_str()));
        AddSubObject(track, CreateXmlObject("COMMENT", comment.c_str()));
        for (int k = 0; k < 50; ++k)
            AddSubObject(track, CreateXmlObject("LEVEL", "1.000000 & 0.5"));
        AddSubObject(root, track);
    }
    char *text = XmlToString2(nullptr, root);
    ASSERT_NE(text, nullptr);
    EXPECT_GT(std::strlen(text), 2000000u);
    XmlObject *parsed = XmlParserFromString(text);
    ASSERT_NE(parsed, nullptr);
    ASSERT_EQ(parsed->count, 300);
    EXPECT_STREQ(parsed->children[299]->children[0]->text, "track <299>");
    char *again = XmlToString2(nullptr, parsed);
    EXPECT_STREQ(again, text);
    tvr_free(again);
    tvr_free(text);
    DeleteRecXmlObject(parsed);
    DeleteRecXmlObject(root);

    std::string wide = "<L>";
    for (int i = 0; i < 100000; ++i)
        wide += "<i>1</i>";
    wide += "</L>";
    XmlObject *list = XmlParserFromString(wide.c_str());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count, 100000);
    DeleteRecXmlObject(list);
}

TEST(XmlTree, DebugPrint)
{
    XmlObject *a = CreateXmlObject("A", "x");
    AddSubObject(a, CreateXmlObject("B", nullptr));
    testing::internal::CaptureStdout();
    PrintXmlObjectRec(a, 0);
    printNSpace(2);
    PrintXmlObject();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "header : A\n  body   : x\n  header : B\n    ");
    DeleteRecXmlObject(a);
}
