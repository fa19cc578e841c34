// The stored-mix chooser and the tag editor.
#include "KTableWidget.h"
#include "KTagEditor.h"
#include "WidgetTestEnv.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {
const QColor Header(200, 200, 153);
const QColor Grey(100, 100, 100);

// A chooser as the owner fills it: author's mixes, the users' header, users' mixes.
void fill(KTableWidget& table)
{
    table.initTable();
    table.addMyItem(" Tovix ", Header);
    table.addMyItem("Original", Grey);
    table.addMyItem("Radio", Grey);
    table.addMyItem(" Users Tovix ", Header);
    for (const char* name : {"Mix A", "Mix B", "Mix C"})
        table.addMyItem(name, Qt::white);
    table.addMyItems({});
}

void click(KTableWidget& table, int row)
{
    const QRect cell = table.visualItemRect(table.item(row, 0));
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, cell.center());
}
}

TEST(KTableWidget, FillingSelectsRowOneAndIgnoresDuplicates)
{
    KTableWidget table(nullptr);
    table.resize(280, 300);
    table.show();
    QSignalSpy clicked(&table, &KTableWidget::clicked);
    fill(table);
    EXPECT_EQ(table.rowCount(), 8);
    EXPECT_EQ(table.firstUserRow(), 4);
    ASSERT_GE(clicked.count(), 1);
    EXPECT_EQ(clicked.first().at(0).toString(), QString("Original"));
    EXPECT_EQ(table.currentMyItem(), table.item(1, 0));
    table.addMyItem("Mix A", Qt::white);
    EXPECT_EQ(table.rowCount(), 8);
    EXPECT_EQ(table.item(4, 0)->text(), QString("     Mix A"));
    EXPECT_EQ(table.item(7, 0)->text(), QString());
    EXPECT_EQ(table.rowHeight(4), 25);
    EXPECT_EQ(table.columnWidth(0), 260);
    grabScreen(table, "table_tovix");
}

TEST(KTableWidget, ClicksSelectAndRestoreColours)
{
    KTableWidget table(nullptr);
    table.resize(280, 300);
    table.show();
    fill(table);
    QSignalSpy clicked(&table, &KTableWidget::clicked);
    const struct {
        int row;
        const char* emitted; // null: inert, nothing happens
    } cases[] = {{5, "Mix B"}, {0, nullptr}, {7, nullptr}, {2, "Radio"}, {6, "Mix C"}};
    for (const auto& c : cases) {
        QTableWidgetItem* before = table.currentMyItem();
        const int spied = clicked.count();
        click(table, c.row);
        if (!c.emitted) {
            EXPECT_EQ(clicked.count(), spied) << c.row;
            EXPECT_EQ(table.currentMyItem(), before);
            continue;
        }
        ASSERT_EQ(clicked.count(), spied + 1) << c.row;
        EXPECT_EQ(clicked.last().at(0).toString(), QString(c.emitted));
        EXPECT_EQ(table.item(c.row, 0)->foreground().color(), KTableWidget::SelectedColour);
        EXPECT_EQ(before->foreground().color(),
                  before->row() >= table.firstUserRow() ? QColor(Qt::white) : Grey);
        EXPECT_EQ(before->background().color(), QColor(Qt::black));
    }
}

TEST(KTableWidget, RemovingStopsAboveTheUserRowsAndNeverDangles)
{
    KTableWidget table(nullptr);
    fill(table);
    click(table, 6); // Mix C is current, then removed with its neighbours
    table.removeMyItem({table.item(6, 0), table.item(4, 0), table.item(1, 0), table.item(5, 0)});
    // Mix C and Mix A go; Original stops the walk, so Mix B stays.
    EXPECT_EQ(table.rowCount(), 6);
    EXPECT_EQ(table.names(),
              (QStringList{" Tovix ", "Original", "Radio", " Users Tovix ", "Mix B", ""}));
    EXPECT_EQ(table.currentMyItem(), table.item(1, 0));
    QTableWidgetItem given("Mix D");
    table.addMyItems({&given});
    EXPECT_EQ(table.rowCount(), 7);
    EXPECT_EQ(table.item(5, 0)->text(), QString("     Mix D"));
    EXPECT_EQ(table.item(6, 0)->foreground().color(), KTableWidget::BlankRowColour);

    // The last row and an empty table.
    table.removeMyItem({table.item(6, 0)});
    KTableWidget empty(nullptr);
    empty.initTable();
    empty.addMyItem("Seul", Qt::white);
    empty.removeMyItem({empty.item(0, 0)});
    EXPECT_EQ(empty.rowCount(), 0);
    EXPECT_EQ(empty.currentMyItem(), nullptr);
}

TEST(KTagEditor, FieldsExtendedTagsAndReadOnly)
{
    QWidget parent;
    KTagEditor editor(&parent);
    editor.setTitle("t", false);
    editor.setArtist("Groupe", true);
    editor.setFile("/musique/batterie.wav", false);
    editor.setBitrate("320", false);
    auto* title = editor.findChild<QLineEdit*>("TitleEdit");
    editor.show();
    QTest::keyClicks(title, "x");
    EXPECT_EQ(editor.getTitle(), QString("t"));
    QTest::keyClicks(editor.findChild<QLineEdit*>("ArtistEdit"), "!");
    EXPECT_EQ(editor.getArtist(), QString("Groupe!"));

    editor.setExtendedTags({"Compositeur", "Anonyme", "Tempo"});
    auto* grid = editor.findChild<QGridLayout*>("tagsGridLayout");
    ASSERT_NE(grid, nullptr);
    auto label = [grid](int row, int column) {
        QLayoutItem* item = grid->itemAtPosition(row, column);
        return item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
    };
    ASSERT_NE(label(0, 0), nullptr);
    EXPECT_EQ(label(0, 0)->text(), QString("Compositeur :"));
    EXPECT_TRUE(label(0, 0)->alignment() & Qt::AlignRight);
    EXPECT_EQ(label(0, 1)->text(), QString("Anonyme"));
    EXPECT_TRUE(label(0, 1)->font().bold());
    EXPECT_EQ(label(1, 0)->text(), QString("Tempo :"));
    EXPECT_EQ(label(1, 1), nullptr);
    EXPECT_NE(grid->itemAtPosition(2, 0)->spacerItem(), nullptr);
    grabScreen(editor, "dlg_tag_editor");

    KTagEditor bare(nullptr);
    bare.setExtendedTags({});
    auto* bareGrid = bare.findChild<QGridLayout*>("tagsGridLayout");
    EXPECT_EQ(bareGrid->count(), 2);
    EXPECT_NE(bareGrid->itemAtPosition(0, 1)->spacerItem(), nullptr);
}
