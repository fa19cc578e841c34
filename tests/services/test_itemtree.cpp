#include "AppServices.h"
#include "KItem.h"
#include "QtAppEnvironment.h"

#include <QSignalSpy>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

KItem* item(const QString& text)
{
    auto* result = new KItem(text);
    result->setCheckable(true);
    return result;
}

// ROOT{ G{a, b}, H{S{x, y}, c}, solo }
class ItemTree : public ::testing::Test
{
public:
    void SetUp() override
    {
        G = item("G");
        a = item("a");
        b = item("b");
        G->appendRow(a);
        G->appendRow(b);
        H = item("H");
        S = item("S");
        x = item("x");
        y = item("y");
        c = item("c");
        S->appendRow(x);
        S->appendRow(y);
        H->appendRow(S);
        H->appendRow(c);
        solo = item("solo");
        model.appendRow(G);
        model.appendRow(H);
        model.appendRow(solo);
    }

    QString states() const
    {
        QString text;
        for (KItem* i : {G, a, b, H, S, x, y, c, solo})
            text += i->checkState() == Qt::Checked ? '2' : i->checkState() == Qt::Unchecked ? '0' : '1';
        return text;
    }
    void setStates(const QString& text)
    {
        const QList<KItem*> items{G, a, b, H, S, x, y, c, solo};
        for (int i = 0; i < items.size(); ++i)
            items[i]->QStandardItem::setCheckState(text[i] == '2' ? Qt::Checked : Qt::Unchecked);
    }
    // What a click on the box does: a plain change of the state.
    static void click(KItem* target, Qt::CheckState state) { target->QStandardItem::setCheckState(state); }

    KItemModel model;
    KItem *G, *a, *b, *H, *S, *x, *y, *c, *solo;
};

} // namespace

TEST_F(ItemTree, TheTreeRuleMovesTheParentAndOneLevelOfChildren)
{
    struct Case {
        const char* name;
        const char* before; // G a b H S x y c solo
        KItem* ItemTree::*target;
        Qt::CheckState state;
        const char* after;
    };
    const Case cases[] = {
        {"check a group with no checked member", "000000000", &ItemTree::G, Qt::Checked, "220000000"},
        {"check a group with a checked member", "002000000", &ItemTree::G, Qt::Checked, "202000000"},
        {"uncheck a group with checked members", "222000000", &ItemTree::G, Qt::Unchecked, "000000000"},
        {"check a member of an unchecked group", "000000000", &ItemTree::a, Qt::Checked, "220000000"},
        {"uncheck the last checked member", "220000000", &ItemTree::a, Qt::Unchecked, "000000000"},
        {"uncheck one of two members", "222000000", &ItemTree::a, Qt::Unchecked, "202000000"},
        {"the rule climbs", "000000000", &ItemTree::x, Qt::Checked, "000222000"},
        {"partial with a checked child", "002000000", &ItemTree::G, Qt::PartiallyChecked, "202000000"},
        {"partial without", "200000000", &ItemTree::G, Qt::PartiallyChecked, "000000000"},
        {"a leaf", "000000000", &ItemTree::solo, Qt::Checked, "000000002"},
    };
    for (const Case& c : cases) {
        setStates(c.before);
        (this->*c.target)->setCheckState(c.state);
        EXPECT_EQ(states(), c.after) << c.name;
    }
}

TEST_F(ItemTree, WithConstraintsUseOnAClickChangesOnlyItsBox)
{
    QSignalSpy spy(&model, &KItemModel::itemDataChanged);
    click(G, Qt::Checked);
    EXPECT_EQ(states(), "200000000");
    EXPECT_EQ(spy.size(), 0);
}

TEST_F(ItemTree, WithConstraintsUseOffClicksFollowTheRuleAndAreReported)
{
    model.setConstraintsUse(false);
    QSignalSpy spy(&model, &KItemModel::itemDataChanged);
    click(H, Qt::Checked);
    // H checks its first member S, whose own rule checks x in turn.
    EXPECT_EQ(states(), "000222000");
    QStringList reported;
    for (const QList<QVariant>& args : spy)
        reported << args[0].toString() + (args[1].toBool() ? "+" : "-");
    EXPECT_EQ(reported, (QStringList{"x+", "S+", "H+"}));

    spy.clear();
    click(H, Qt::Unchecked);
    EXPECT_EQ(states(), "000000000");
    EXPECT_FALSE(spy.isEmpty());

    model.setConstraintsUse(true);
    spy.clear();
    click(a, Qt::Checked);
    EXPECT_EQ(states(), "020000000");
    EXPECT_TRUE(spy.isEmpty());
}

TEST_F(ItemTree, UpdateCheckedChecksExactlyTheNamedItems)
{
    setStates("222222222");
    model.updateChecked({"b", "y", "nobody"});
    EXPECT_EQ(states(), "202220200");
    model.updateChecked({});
    EXPECT_EQ(states(), "000000000");
}

TEST_F(ItemTree, SearchesCompareTextsExactly)
{
    EXPECT_EQ(AppServices::findNode(model.invisibleRootItem(), "y"), y);
    EXPECT_EQ(AppServices::findNode(model.invisibleRootItem(), "Y"), nullptr);
    EXPECT_EQ(AppServices::findNode(H, "H"), H);
    EXPECT_EQ(AppServices::findNode(G, "x"), nullptr);
    EXPECT_EQ(AppServices::findNode(nullptr, "x"), nullptr);

    EXPECT_TRUE(AppServices::isAParentNode(H, "x"));
    EXPECT_FALSE(AppServices::isAParentNode(H, "H"));
    EXPECT_FALSE(AppServices::isAParentNode(x, "x"));
    EXPECT_FALSE(AppServices::isAParentNode(nullptr, "x"));

    QStringList parents;
    AppServices::getParentNodes(model.invisibleRootItem(), parents, QString());
    EXPECT_EQ(parents, (QStringList{"G", "H", "S"}));
    parents.clear();
    AppServices::getParentNodes(H, parents, "H");
    EXPECT_EQ(parents, (QStringList{"S"}));
    parents.clear();
    AppServices::getParentNodes(x, parents, QString());
    EXPECT_TRUE(parents.isEmpty());
}

TEST_F(ItemTree, TheDelegateDrawsTextWithoutCheckBoxes)
{
    QTreeView view;
    view.setModel(&model);
    view.setItemDelegate(new KItemDelegate(&view));
    view.expandAll();
    view.resize(200, 200);
    const QImage picture = view.grab().toImage();
    EXPECT_FALSE(picture.isNull());
    // Items the model makes itself are KItems too.
    EXPECT_NE(dynamic_cast<const KItem*>(model.itemPrototype()), nullptr);
}
