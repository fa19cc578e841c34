#include "KXml.h"
#include "XmlObject.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
const QString twoTs = "<R><T>1</T><T>2</T></R>";
}

TEST(KXmlBuild, EmptyOrUnreadableTextGivesANullObject)
{
    for (const QString& text : {QString(), QString(""), QString("<R><T>1</T>"), QString("no tag"),
                               QString("<R></R><R></R>"), QString("x<R></R>"), QString("<R><T>1</U></R>")}) {
        KXml xml(text);
        EXPECT_TRUE(xml.isNull()) << text.toStdString();
        EXPECT_TRUE(xml.getStringField({"R", "T"}).isNull());
        EXPECT_EQ(xml.getHeader(), "");
        EXPECT_TRUE(xml.getField().isNull());
        EXPECT_TRUE(xml.exportToStream().isEmpty());
        EXPECT_TRUE(xml.cutSubOXml().isEmpty());
        EXPECT_TRUE(xml.getAllHeadersAndValues("T").isEmpty());
        EXPECT_FALSE(xml.addSubObject("A", "b"));
    }
    KXml empty;
    EXPECT_TRUE(empty.isNull());
}

TEST(KXmlBuild, NodesBuiltInCodeSerialiseAndParseBack)
{
    KXml root("SONARIC_PROJECT", "");
    ASSERT_FALSE(root.isNull());
    EXPECT_TRUE(root.getField().isNull());
    auto* desc = new KXml("<TOVRA-2.0><NAME>Cœur &amp; âme</NAME></TOVRA-2.0>");
    ASSERT_FALSE(desc->isNull());
    EXPECT_TRUE(root.addSubObject(desc));
    EXPECT_FALSE(desc->ownsTree());
    EXPECT_TRUE(root.addSubObject("FILE", "/home/é/a<b>.wav"));
    delete desc; // frees nothing: the tree now belongs to root

    const QString text = root.exportToStream();
    EXPECT_EQ(text, root.toQString());
    KXml again(text);
    ASSERT_FALSE(again.isNull());
    EXPECT_EQ(again.getHeader(), "SONARIC_PROJECT");
    std::unique_ptr<KXml> found(again.getOXmlField({"SONARIC_PROJECT", "TOVRA-2.0"}, ""));
    EXPECT_FALSE(found->isNull());
    EXPECT_EQ(again.getStringField({"SONARIC_PROJECT", "TOVRA-2.0", "NAME"}), QString::fromUtf8("Cœur & âme"));
    EXPECT_EQ(again.getStringField({"SONARIC_PROJECT", "FILE"}), QString::fromUtf8("/home/é/a<b>.wav"));
}

TEST(KXmlBuild, ANodeWithTextAndChildrenKeepsBothThroughARoundTrip)
{
    KXml root("R", "head & <text>");
    ASSERT_TRUE(root.addSubObject("T", "1"));
    auto* inner = new KXml("U", "u");
    ASSERT_TRUE(inner->addSubObject("V", "v"));
    ASSERT_TRUE(root.addSubObject(inner));
    delete inner;

    const QString text = root.exportToStream();
    KXml again(text);
    ASSERT_FALSE(again.isNull());
    EXPECT_EQ(again.getField(), "head & <text>");
    EXPECT_EQ(again.getStringField({"R", "U"}), "u");
    EXPECT_EQ(again.getStringField({"R", "U", "V"}), "v");
    EXPECT_EQ(again.exportToStream(), text);
    // Indentation between tags is no text.
    EXPECT_TRUE(KXml("<R>\n  <T>1</T>\n</R>").getField().isNull());
}

TEST(KXmlSearch, PathsStartAtTheRootAndTheFilterPicksTheNode)
{
    KXml xml(twoTs);
    XmlObjectStruct* root = xml.getXmlObj();
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->count, 2);
    struct Case {
        QStringList path;
        QString value;
        XmlObjectStruct* expected;
    };
    const Case cases[] = {
        {{"R", "T"}, "2", root->children[1]},
        {{"R", "T"}, "", root->children[0]},
        {{"R", "T"}, "3", nullptr},
        {{"T"}, "", nullptr},
        {{"R"}, "", root},
        {{}, "", nullptr},
        {{"r", "t"}, "", nullptr},
    };
    for (const Case& c : cases) {
        std::unique_ptr<KXml> found(xml.getOXmlField(c.path, c.value));
        EXPECT_EQ(found->getXmlObj(), c.expected) << c.path.join("/").toStdString();
        EXPECT_FALSE(found->ownsTree());
    }
    EXPECT_EQ(xml.getStringField({"R", "T"}), "1");
}

TEST(KXmlSearch, SiblingsAreTriedUntilOneSubTreeMatches)
{
    KXml xml("<R><G><N>a</N></G><G><N>b</N></G></R>");
    std::unique_ptr<KXml> found(xml.getOXmlField({"R", "G", "N"}, "b"));
    ASSERT_FALSE(found->isNull());
    EXPECT_EQ(found->getField(), "b");
    EXPECT_EQ(found->getXmlObj(), xml.getXmlObj()->children[1]->children[0]);
}

TEST(KXmlEdit, ReplaceValueChangesTheFoundNodeOnly)
{
    KXml xml(twoTs);
    EXPECT_TRUE(xml.replaceValue({"R", "T", "1"}, "9"));
    EXPECT_EQ(xml.exportToStream(), "<R><T>9</T><T>2</T></R>");
    EXPECT_TRUE(xml.replaceValue({"R", "T", "2"}, QString::fromUtf8("été")));
    EXPECT_EQ(xml.exportToStream(), QString::fromUtf8("<R><T>9</T><T>été</T></R>"));
    EXPECT_FALSE(xml.replaceValue({"R", "U", ""}, "x"));
    EXPECT_FALSE(xml.replaceValue({}, "x"));
    EXPECT_EQ(xml.exportToStream(), QString::fromUtf8("<R><T>9</T><T>été</T></R>"));
}

TEST(KXmlEdit, ImportReplacesTheTree)
{
    KXml xml(twoTs);
    EXPECT_TRUE(xml.importFromStream("<A>x</A>"));
    EXPECT_EQ(xml.getHeader(), "A");
    EXPECT_EQ(xml.getField(), "x");
    EXPECT_FALSE(xml.importFromStream(""));
    EXPECT_TRUE(xml.isNull());
}

TEST(KXmlEdit, ViewsCanBeDeletedAndRefusedAsDonors)
{
    KXml xml(twoTs);
    KXml* view = xml.getOXmlField({"R", "T"}, "2");
    KXml owner("O2", "v");
    // A view's nodes belong to xml: appending them elsewhere would free them twice.
    EXPECT_FALSE(owner.addSubObject(view));
    // Appending a tree into itself is refused.
    EXPECT_FALSE(view->addSubObject(&xml));
    EXPECT_FALSE(xml.addSubObject(&xml));
    delete view;
    EXPECT_EQ(xml.exportToStream(), twoTs);
    // Importing into a view drops the reference, never the nodes.
    KXml* view2 = xml.getOXmlField({"R", "T"}, "");
    EXPECT_TRUE(view2->importFromStream("<Z>z</Z>"));
    EXPECT_TRUE(view2->ownsTree());
    delete view2;
    EXPECT_EQ(xml.exportToStream(), twoTs);
}

TEST(KXmlWalk, CutSubOXmlListsEachChildTagAndTextOrXml)
{
    KXml xml("<R><T>x</T><U><V>y</V></U><W></W></R>");
    EXPECT_EQ(xml.cutSubOXml(), (QStringList{"T", "x", "U", "<U><V>y</V></U>", "W", ""}));
}

TEST(KXmlWalk, AllHeadersAndValuesKeepMatchedAncestorsTexts)
{
    KXml xml(twoTs);
    EXPECT_EQ(xml.getAllHeadersAndValues("T"), (QList<QStringList>{{"R", "T", "1"}, {"R", "T", "2"}}));
    EXPECT_EQ(xml.getAllHeadersAndValues("T", nullptr, {"P"}),
              (QList<QStringList>{{"P", "R", "T", "1"}, {"P", "R", "T", "2"}}));

    KXml files("<P><G><FILE>a.wav</FILE></G><FILE>b.wav</FILE></P>");
    const QList<QStringList> entries = files.getAllHeadersAndValues("FILE");
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0], (QStringList{"P", "G", "FILE", "a.wav"}));
    // Each entry is a path plus filter that replaceValue takes as it is.
    EXPECT_TRUE(files.replaceValue(entries[1], "/new/b.wav"));
    EXPECT_EQ(files.exportToStream(), "<P><G><FILE>a.wav</FILE></G><FILE>/new/b.wav</FILE></P>");
}

TEST(KXmlWalk, DeepOrHostileInputIsRefusedWithoutACrash)
{
    QString deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    EXPECT_TRUE(KXml(deep).isNull());
    const QString hostile[] = {"<", "<a><b>x</e></a>", QString(2, QChar(0)), "<a>\x01</a>"};
    for (const QString& text : hostile) {
        KXml xml(text);
        (void)xml.exportToStream();
        (void)xml.getAllHeadersAndValues("a");
    }
}
