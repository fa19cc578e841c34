#include "../document/ElementTestEnv.h"
#include "UrlRecorder.h"
#include "KCheckMixTV.h"
#include "KListWidget.h"

#include <QAction>

#include <QMenu>
#include <QSignalSpy>
#include <QTest>

namespace {
QStringList shown(const QListWidget& list)
{
    QStringList texts;
    for (int row = 0; row < list.count(); ++row)
        texts << list.item(row)->text();
    return texts;
}

bool bold(QListWidgetItem* item)
{
    return item && item->font().weight() == QFont::Bold;
}

QPoint rowCentre(KListWidget& list, const QString& name)
{
    return list.visualItemRect(list.getItem(name)).center();
}
} // namespace

TEST(KListWidget, RowsMarkerAndLookups)
{
    KListWidget list;
    const QString marker = list.defaultMarker();
    list.addMixes({"Verse", "chorus", "Bridge"});
    EXPECT_EQ(shown(list), QStringList({"Bridge", "Verse", "chorus"}));
    list.setAsDefault("Verse");
    EXPECT_EQ(list.item(1)->text(), "Verse" + marker);
    EXPECT_EQ(list.getDefaultMix(), "Verse");
    // Found by its name and by its full text; letter case counts.
    EXPECT_EQ(list.getItem("Verse"), list.item(1));
    EXPECT_EQ(list.getItem("Verse" + marker), list.item(1));
    EXPECT_FALSE(list.contains("verse"));
    EXPECT_EQ(list.getItemText(list.item(1)), "Verse");
    EXPECT_EQ(list.getItemText(nullptr), "");

    // Marking it again changes nothing; another default takes the marker over.
    list.setAsDefault("Verse");
    EXPECT_EQ(list.getDefaultMix(), "Verse");
    list.setAsDefault("Bridge");
    EXPECT_EQ(shown(list), QStringList({"Bridge" + marker, "Verse", "chorus"}));

    // A mix whose own name ends like the marker is never taken for the default one.
    list.addMixes({"Outro" + marker});
    EXPECT_EQ(list.getDefaultMix(), "Bridge");
    EXPECT_EQ(list.getItemText(list.getItem("Outro" + marker)), "Outro" + marker);

    // Renaming keeps the marker.
    list.renameMix("Bridge", "Intro");
    EXPECT_EQ(list.getDefaultMix(), "Intro");
    EXPECT_TRUE(list.contains("Intro" + marker));
    list.removeMix("Intro");
    EXPECT_EQ(list.getDefaultMix(), "");
    list.reset();
    EXPECT_EQ(list.count(), 0);
}

TEST(KListWidget, CurrentMixIsBoldAndFollowsRenameAndRemoval)
{
    KListWidget list;
    list.addMixes({"A", "B"});
    QSignalSpy selected(&list, &KListWidget::itemSelected);
    list.setAsCurrentMix("A");
    EXPECT_EQ(list.getCurrentMix(), "A");
    EXPECT_TRUE(bold(list.getItem("A")));
    list.setAsCurrentMix("B");
    EXPECT_FALSE(bold(list.getItem("A")));
    EXPECT_TRUE(bold(list.getItem("B")));
    // An unknown name: the bold row turns normal, the current mix stays, an empty name is sent.
    list.setAsCurrentMix("Z");
    EXPECT_FALSE(bold(list.getItem("B")));
    EXPECT_EQ(list.getCurrentMix(), "B");
    ASSERT_EQ(selected.count(), 3);
    EXPECT_EQ(selected[2][0].toString(), "");

    list.renameMix("B", "C");
    EXPECT_EQ(list.getCurrentMix(), "C");
    list.removeMix("C");
    EXPECT_EQ(list.getCurrentMix(), "");
}

TEST(KListWidget, MouseAndKeysBecomeRequests)
{
    KListWidget list;
    list.resize(240, 200);
    list.addMixes({"A", "B"});
    list.setAsDefault("B");
    list.show();
    QSignalSpy selected(&list, &KListWidget::itemSelected);
    QSignalSpy created(&list, &KListWidget::itemCreated);
    QSignalSpy deleted(&list, &KListWidget::itemDeleted);
    QSignalSpy defaults(&list, &KListWidget::itemSetAsDefault);
    QSignalSpy modified(&list, &KListWidget::itemModified);

    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, rowCentre(list, "B"));
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected[0][0].toString(), "B");
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, QPoint(100, 180));
    EXPECT_EQ(selected.last()[0].toString(), "");
    EXPECT_EQ(list.getCurrentMix(), "B");

    // The row menu names the row's mix, without the marker; each entry uses it once.
    QTest::mouseRelease(list.viewport(), Qt::RightButton, {}, rowCentre(list, "B"));
    auto* menu = list.findChild<QMenu*>("rowMenu");
    ASSERT_NE(menu, nullptr);
    QStringList entries;
    for (QAction* action : menu->actions())
        entries << action->text();
    EXPECT_EQ(entries, QStringList({"Sélectionner \"B\"", "Modifier  \"B\"", "Définir  \"B\" par défaut",
                                    "Effacer \"B\""}));
    menu->actions()[2]->trigger();
    menu->actions()[3]->trigger();
    EXPECT_EQ(defaults.count(), 1);
    EXPECT_EQ(defaults[0][0].toString(), "B");
    EXPECT_EQ(deleted.count(), 0);
    QTest::mouseRelease(list.viewport(), Qt::RightButton, {}, rowCentre(list, "A"));
    list.findChild<QMenu*>("rowMenu")->actions()[1]->trigger();
    EXPECT_EQ(modified.count(), 1);
    EXPECT_EQ(modified[0][0].toString(), "A");

    QTest::mouseRelease(list.viewport(), Qt::RightButton, {}, QPoint(100, 180));
    list.findChild<QMenu*>("emptyMenu")->actions()[0]->trigger();
    EXPECT_EQ(created.count(), 1);

    // Keys: Return asks for a new mix; Delete names the selected mix, marker stripped, and an
    // arrow key never changes the current mix.
    list.setCurrentRow(1);
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(list.getCurrentMix(), "B");
    list.setCurrentRow(1);
    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_EQ(created.count(), 2);
    QTest::keyClick(&list, Qt::Key_Delete);
    ASSERT_EQ(deleted.count(), 1);
    EXPECT_EQ(deleted[0][0].toString(), "B");
    list.clearSelection();
    QTest::keyClick(&list, Qt::Key_Backspace);
    EXPECT_EQ(deleted.count(), 1);
    grabScreen(list, "KListWidget");
}

TEST(KCheckMixTV, MenuSwitchesEveryTrackAndOpensAFixedSite)
{
    fixtures::TempDir dir;
    Document document;
    addTracks(document, dir, {"bass", "drums", "voice"});
    KCheckMixTV tree(&document);
    QStringList entries;
    for (QAction* action : tree.contextMenu()->actions())
        entries << action->text();
    EXPECT_EQ(entries, QStringList({"Sélectionner toutes les pistes", "Désélectionner toutes les pistes",
                                    "Commander une pizza"}));
    tree.contextMenu()->actions()[0]->trigger();
    EXPECT_EQ(document.getPlayedTracks().size(), 3);
    tree.contextMenu()->actions()[1]->trigger();
    EXPECT_TRUE(document.getPlayedTracks().isEmpty());
    tree.selectAll();
    EXPECT_EQ(document.getPlayedTracks().size(), 3);

    // Without a document the entries do nothing.
    tree.setKCtrlFile(nullptr);
    tree.unselectAll();
    EXPECT_EQ(document.getPlayedTracks().size(), 3);

    UrlRecorder opener({"https"});
    tree.contextMenu()->actions()[2]->trigger();
    ASSERT_EQ(opener.opened.size(), 1);
    EXPECT_EQ(opener.opened[0].scheme(), "https");
    EXPECT_EQ(opener.opened[0].host(), KCheckMixTV::pizzaAddress().host());
}

#include "moc_UrlRecorder.cpp"
