// The element models: rows of the visible tree and of the element and track lists, the skin's
// colours, check boxes, drag data and drops, and the change notifications every view relies on.
#include "ElementTestEnv.h"

#include <QAbstractItemModelTester>
#include <QIcon>
#include <QImage>
#include <QMimeData>
#include <QPalette>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTranslator>

#include <memory>

#include "KListModel.h"
#include "KTreeModel.h"

namespace {

std::unique_ptr<QMimeData> payload(const QByteArray& bytes,
                                   const QString& format = KModels::EltsDragDropMimeType)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(format, bytes);
    return data;
}

class ElementModels : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tracks = addTracks(doc, dir, {"kick", "snare", "bass", "pad"});
        ASSERT_EQ(tracks.size(), 4);
    }
    // Groups Drums {kick, snare} and Keys {pad}; bass stays imported.
    void arrange()
    {
        ASSERT_TRUE(doc.group("Drums", {"kick", "snare"}));
        ASSERT_TRUE(doc.group("Keys", {"pad"}));
    }
    QModelIndex at(const KTreeModel& model, const QString& name) { return model.getIndex(name); }

    fixtures::TempDir dir;
    Document doc;
    QStringList tracks;
};

TEST_F(ElementModels, TesterFindsNothingWhileTheProjectIsEditedAndEveryStepShows)
{
    TesterComplaints complaints;
    KTreeModel tree(&doc);
    KCheckableTreeModel checkable(&doc);
    KListModel list(&doc);
    KTracksModel trackList(&doc);
    QSortFilterProxyModel sorted;
    sorted.setSourceModel(&tree);
    sorted.setSortCaseSensitivity(Qt::CaseInsensitive);
    sorted.sort(0);
    const auto mode = QAbstractItemModelTester::FailureReportingMode::Warning;
    QAbstractItemModelTester t1(&tree, mode), t2(&checkable, mode), t3(&list, mode),
        t4(&trackList, mode), t5(&sorted, mode);
    QSignalSpy resets(&tree, &QAbstractItemModel::modelReset);

    // Import: the lists grow, the tree shows nothing imported.
    addTracks(doc, dir, {"lead"});
    EXPECT_EQ(rows(tree), "");
    EXPECT_EQ(rows(trackList, {}, 1), "kick,snare,bass,pad,lead");
    // Group.
    arrange();
    EXPECT_EQ(rows(tree), "Drums(kick,snare),Keys(pad)");
    EXPECT_EQ(rows(checkable), rows(tree));
    // Drops: an imported track into a group, a member to the top.
    auto toKeys = payload("bass|lead");
    EXPECT_TRUE(tree.dropMimeData(toKeys.get(), Qt::CopyAction, -1, 0, at(tree, "Keys")));
    EXPECT_EQ(rows(tree), "Drums(kick,snare),Keys(pad,bass,lead)");
    auto toTop = payload("snare");
    EXPECT_TRUE(tree.dropMimeData(toTop.get(), Qt::CopyAction, -1, 0, QModelIndex()));
    EXPECT_EQ(rows(tree), "snare,Drums(kick),Keys(pad,bass,lead)");
    auto groupIntoGroup = payload("Drums");
    EXPECT_TRUE(tree.dropMimeData(groupIntoGroup.get(), Qt::CopyAction, -1, 0, at(tree, "Keys")));
    EXPECT_EQ(rows(tree), "snare,Keys(pad,bass,lead,Drums(kick))");
    EXPECT_EQ(rows(sorted), "Keys(bass,Drums(kick),lead,pad),snare");
    EXPECT_EQ(resets.count(), 0) << "edits are announced row by row";
    // Rename.
    EXPECT_TRUE(doc.renameElt("kick", "Kick808"));
    EXPECT_EQ(rows(tree), "snare,Keys(pad,bass,lead,Drums(Kick808))");
    EXPECT_EQ(rows(list, {}, 1).count("Kick808"), 1);
    // Status switched from the check box: the document's announcement reaches the rows.
    QSignalSpy changed(&checkable, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(checkable.setData(at(checkable, "snare"), Qt::Checked, Qt::CheckStateRole));
    EXPECT_GE(changed.count(), 1);
    EXPECT_EQ(at(checkable, "snare").data(Qt::CheckStateRole).toInt(), Qt::Checked);
    // A refused edit restores the project: the model empties, then shows it again.
    EXPECT_FALSE(doc.group("Bad", {"snare"}, true));
    EXPECT_EQ(rows(tree), "snare,Keys(pad,bass,lead,Drums(Kick808))");
    EXPECT_EQ(at(checkable, "snare").data(Qt::CheckStateRole).toInt(), Qt::Checked);
    // Delete.
    EXPECT_TRUE(doc.remove("Drums"));
    EXPECT_FALSE(rows(tree).contains("Drums"));
    EXPECT_EQ(rows(list, {}, 1).count("Drums"), 0);
    EXPECT_EQ(complaints.count(), 0);
}

TEST_F(ElementModels, AnElementUnderTwoGroupsHasARowUnderEachAndNoUniqueIndex)
{
    TesterComplaints complaints;
    KTreeModel tree(&doc);
    QAbstractItemModelTester tester(&tree, QAbstractItemModelTester::FailureReportingMode::Warning);
    arrange();
    ASSERT_TRUE(doc.group("Both", {"Keys"}));
    ASSERT_TRUE(doc.addEltInGroup("Drums", "pad"));
    doc.modifiedElement("pad");
    EXPECT_EQ(rows(tree), "Drums(kick,snare,pad),Both(Keys(pad))");
    EXPECT_FALSE(tree.getIndex("pad").isValid());
    const QModelIndex kick = tree.getIndex("kick");
    ASSERT_TRUE(kick.isValid());
    EXPECT_EQ(kick.data().toString(), "kick");
    EXPECT_EQ(tree.depth(tree.getIndex("Keys")), 2);
    EXPECT_EQ(complaints.count(), 0);
}

TEST_F(ElementModels, RefusedDropsChangeNothing)
{
    arrange();
    ASSERT_TRUE(doc.group("Empty", {}));
    KTreeModel tree(&doc);
    KListModel list(&doc);
    const QString before = rows(tree);
    const QString listBefore = rows(list, {}, 2);
    const struct {
        const char* label;
        QByteArray bytes;
        QString format;
        QString target;
    } cases[] = {
        {"empty payload", "", KModels::EltsDragDropMimeType, "Keys"},
        {"other format", "kick", "text/plain", "Keys"},
        {"empty name between names", "kick||snare", KModels::EltsDragDropMimeType, "Keys"},
        {"unknown name", "kick|nobody", KModels::EltsDragDropMimeType, "Keys"},
        {"hidden import group", "__ImportAudioGrp__", KModels::EltsDragDropMimeType, ""},
        {"group into itself", "Keys", KModels::EltsDragDropMimeType, "Keys"},
        {"group into its member", "Keys|Drums", KModels::EltsDragDropMimeType, "Drums"},
        {"onto a track", "bass", KModels::EltsDragDropMimeType, "kick"},
    };
    for (const auto& c : cases) {
        auto data = payload(c.bytes, c.format);
        const QModelIndex target = c.target.isEmpty() ? QModelIndex() : tree.getIndex(c.target);
        EXPECT_FALSE(tree.dropMimeData(data.get(), Qt::CopyAction, -1, 0, target)) << c.label;
        EXPECT_EQ(rows(tree), before) << c.label;
        EXPECT_EQ(rows(list, {}, 2), listBefore) << c.label;
    }
    EXPECT_FALSE(tree.flags(tree.getIndex("kick")) & Qt::ItemIsDropEnabled);
    EXPECT_TRUE(tree.flags(tree.getIndex("Keys")) & Qt::ItemIsDropEnabled);
    EXPECT_TRUE(tree.flags(QModelIndex()) & Qt::ItemIsDropEnabled);
    auto ignored = payload("kick");
    EXPECT_TRUE(tree.dropMimeData(ignored.get(), Qt::IgnoreAction, -1, 0, QModelIndex()));
    EXPECT_EQ(rows(tree), before);
}

// A row takes drops by what its name stands for now: a group renamed to a former track's name,
// and a group made under the name of a removed track, after the model has answered for the
// old elements.
TEST_F(ElementModels, DropFlagsFollowWhatANameStandsForAfterRenamesAndRemovals)
{
    arrange();
    KTreeModel tree(&doc);
    const auto takesDrops = [&tree](const QString& name) {
        const QModelIndex index = tree.getIndex(name);
        EXPECT_TRUE(index.isValid()) << qPrintable(name);
        return bool(tree.flags(index) & Qt::ItemIsDropEnabled);
    };
    ASSERT_FALSE(takesDrops("kick"));
    ASSERT_TRUE(takesDrops("Keys"));
    ASSERT_FALSE(takesDrops("snare"));

    ASSERT_TRUE(doc.renameElt("kick", "beat"));
    ASSERT_TRUE(doc.renameElt("Keys", "kick"));
    EXPECT_TRUE(takesDrops("kick"));
    EXPECT_FALSE(takesDrops("beat"));

    ASSERT_TRUE(doc.removeElement("snare"));
    ASSERT_TRUE(doc.group("snare", {}));
    EXPECT_TRUE(takesDrops("snare"));
}

TEST_F(ElementModels, DropIntoAGroupAllowingNoPlayerOpensItToOne)
{
    arrange();
    ASSERT_TRUE(doc.setGroupMinMaxPlay("Keys", 0, 0));
    KTreeModel tree(&doc);
    auto data = payload("kick|bass");
    EXPECT_TRUE(tree.dropMimeData(data.get(), Qt::CopyAction, -1, 0, tree.getIndex("Keys")));
    EXPECT_EQ(doc.getGroupMinPlay("Keys"), 0);
    EXPECT_EQ(doc.getGroupMaxPlay("Keys"), 1);
    EXPECT_EQ(rows(tree), "Drums(snare),Keys(pad,kick,bass)");
}

TEST_F(ElementModels, DragDataCarriesNamesJoinedOnceEach)
{
    arrange();
    ASSERT_TRUE(doc.renameElt("snare", QString::fromUtf8("caisse claire é")));
    KTreeModel tree(&doc);
    KTracksModel trackList(&doc);
    const QString accented = QString::fromUtf8("caisse claire é");
    std::unique_ptr<QMimeData> fromTree(
        tree.mimeData({tree.getIndex("kick"), tree.getIndex(accented)}));
    EXPECT_EQ(fromTree->data(KModels::EltsDragDropMimeType), QString("kick|" + accented).toUtf8());
    EXPECT_EQ(KModels::namesFromMimeData(fromTree.get()), QStringList({"kick", accented}));
    std::unique_ptr<QMimeData> fromList(
        trackList.mimeData({trackList.index(0, 0), trackList.index(0, 1), trackList.index(0, 2)}));
    EXPECT_EQ(fromList->data(KModels::EltsDragDropMimeType), QByteArray("kick"));
    std::unique_ptr<QMimeData> none(trackList.mimeData({}));
    EXPECT_FALSE(none->hasFormat(KModels::EltsDragDropMimeType));
    // The accented name dragged from the tree drops back by its own name.
    EXPECT_TRUE(tree.dropMimeData(fromTree.get(), Qt::CopyAction, -1, 0, tree.getIndex("Keys")));
    EXPECT_EQ(rows(tree), "Drums,Keys(pad,kick," + accented + ")");
}

TEST_F(ElementModels, ListShowsFormatNameAndPlace)
{
    arrange();
    KListModel list(&doc);
    KTracksModel trackList(&doc);
    EXPECT_EQ(trackList.rowCount(), 4);
    EXPECT_EQ(trackList.columnCount(), 3);
    auto rowOf = [&](const QString& name) {
        for (int row = 0; row < list.rowCount(); ++row)
            if (list.index(row, 1).data().toString() == name)
                return row;
        return -1;
    };
    const struct {
        const char* name;
        const char* place;
    } places[] = {{"kick", "(dans \"Drums\")"}, {"bass", ""}, {"Keys", "(à la racine)"}};
    for (const auto& p : places) {
        const int row = rowOf(p.name);
        ASSERT_GE(row, 0) << p.name;
        EXPECT_EQ(list.index(row, 2).data().toString(), QString::fromUtf8(p.place)) << p.name;
    }
    // In English through the library's own catalogue.
    QTranslator english;
    ASSERT_TRUE(english.load(":/TovraTr/document_en.qm"));
    QCoreApplication::installTranslator(&english);
    EXPECT_EQ(list.index(rowOf("kick"), 2).data().toString(), "(in \"Drums\")");
    EXPECT_EQ(list.index(rowOf("Keys"), 2).data().toString(), "(at the root)");
    EXPECT_EQ(KCtrlFile::tr("Suppression d'un groupe"), "Delete a group...");
    QCoreApplication::removeTranslator(&english);
    EXPECT_EQ(list.index(rowOf("kick"), 0).data().toString(), "WAV");
    EXPECT_EQ(list.index(rowOf("Keys"), 0).data().toString(), "");
    EXPECT_FALSE(list.index(0, 0, list.index(0, 0)).isValid());
    EXPECT_FALSE(list.index(0, 3).isValid());
    EXPECT_FALSE(list.index(list.rowCount(), 0).isValid());
    // Item background: the element's colour, Tahoma, every column's text readable on it.
    list.setItemBackground(true);
    const QModelIndex kick = list.index(rowOf("kick"), 0);
    const auto luma = [](const QColor& c) { return 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue(); };
    for (const QColor chosen : {QColor(200, 40, 40), QColor(Qt::black), QColor(250, 240, 120), QColor(254, 254, 254)}) {
        doc.setEltColor("kick", chosen, false);
        EXPECT_EQ(kick.data(Qt::BackgroundRole).value<QColor>(), chosen);
        for (int column = 0; column < 3; ++column) {
            const QColor text = list.index(rowOf("kick"), column).data(Qt::ForegroundRole).value<QColor>();
            EXPECT_GT(std::abs(luma(text) - luma(chosen)), 100.0) << chosen.name().toStdString() << " " << column;
        }
    }
    EXPECT_EQ(kick.data(Qt::FontRole).value<QFont>().family(), "Tahoma");
    EXPECT_TRUE(kick.data(Qt::FontRole).value<QFont>().bold());
    // Without a colour of its own the row keeps the view's (dark) background and text.
    EXPECT_FALSE(list.index(rowOf("Keys"), 0).data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(list.index(rowOf("Keys"), 1).data(Qt::ForegroundRole).isValid());
}

// A track moved between groups announces its own row alone, in both lists, and the row shows
// its new place: views refit what changed, not every row.
TEST_F(ElementModels, AMoveAnnouncesOnlyTheMovedRow)
{
    arrange();
    KListModel list(&doc);
    KTracksModel trackList(&doc);
    QSignalSpy listChanges(&list, &QAbstractItemModel::dataChanged);
    QSignalSpy trackChanges(&trackList, &QAbstractItemModel::dataChanged);
    ASSERT_TRUE(doc.removeEltFromGroup("Keys", "pad"));
    ASSERT_TRUE(doc.addEltInGroup("Drums", "pad"));
    for (auto [model, spy] : {std::pair<KListModel*, QSignalSpy*>{&list, &listChanges},
                              {&trackList, &trackChanges}}) {
        QStringList announced;
        for (const QList<QVariant>& change : *spy) {
            const QModelIndex from = change.at(0).toModelIndex();
            const QModelIndex to = change.at(1).toModelIndex();
            for (int row = from.row(); row <= to.row(); ++row)
                announced << model->index(row, 1).data().toString();
        }
        announced.removeDuplicates();
        EXPECT_EQ(announced, QStringList({"pad"}));
        for (int row = 0; row < model->rowCount(); ++row) {
            if (model->index(row, 1).data().toString() == "pad") {
                EXPECT_EQ(model->index(row, 2).data().toString(),
                          QString::fromUtf8("(dans \"Drums\")"));
            }
        }
    }
}

TEST_F(ElementModels, SkinColoursByDepthAndPlayStatus)
{
    arrange();
    ASSERT_TRUE(doc.group("Top", {"Drums"}));
    KTreeModel tree(&doc);
    EXPECT_FALSE(tree.getIndex("kick").data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(tree.getIndex("kick").data(Qt::ForegroundRole).isValid());
    SItemSkinOptions skin;
    skin.color0 = QColor(1, 2, 3);
    skin.color1 = QColor(4, 5, 6);
    skin.color2 = QColor(10, 10, 10);
    skin.color6 = QColor(20, 0, 0);
    skin.text = "Ma musique";
    skin.color4 = QColor(7, 7, 7);
    tree.setSkinOptions(skin);
    const struct {
        const char* name;
        QColor background;
    } depths[] = {{"Top", QColor(10, 10, 10)}, {"Drums", QColor(30, 10, 10)}, {"kick", QColor(50, 10, 10)}};
    for (const auto& d : depths)
        EXPECT_EQ(tree.getIndex(d.name).data(Qt::BackgroundRole).value<QBrush>().color(),
                  d.background)
            << d.name;
    skin.color6 = QColor(200, 0, 0);
    tree.setSkinOptions(skin);
    EXPECT_EQ(tree.getIndex("kick").data(Qt::BackgroundRole).value<QBrush>().color(),
              QColor(255, 10, 10));
    EXPECT_EQ(tree.headerData(0, Qt::Horizontal).toString(), "Ma musique");
    EXPECT_EQ(tree.headerData(0, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(), QColor(7, 7, 7));
    EXPECT_FALSE(tree.headerData(0, Qt::Vertical).isValid());
    EXPECT_EQ(tree.getIndex("kick").data(Qt::ForegroundRole).value<QColor>(), QColor(4, 5, 6));
    EXPECT_FALSE(doc.setEltStatus("kick", true, true).isEmpty());
    EXPECT_EQ(tree.getIndex("kick").data(Qt::ForegroundRole).value<QColor>(), QColor(1, 2, 3));
}

TEST_F(ElementModels, ColourIconHasAOnePixelBlackFrame)
{
    const QImage icon = KTreeModel::getColorIcon(Qt::red).pixmap(16, 16).toImage();
    ASSERT_EQ(icon.size(), QSize(16, 16));
    const struct {
        int x, y;
        QColor colour;
    } pixels[] = {{0, 0, Qt::black}, {1, 1, Qt::red}, {14, 14, Qt::red}, {15, 15, Qt::black}, {15, 8, Qt::black}};
    for (const auto& p : pixels)
        EXPECT_EQ(QColor(icon.pixel(p.x, p.y)), p.colour) << p.x << "," << p.y;
    arrange();
    KTreeModel tree(&doc);
    doc.setEltColor("Keys", QColor(0, 0, 255), false);
    EXPECT_FALSE(tree.getIndex("Keys").data(Qt::DecorationRole).isValid());
    tree.setColorSelection(true);
    EXPECT_EQ(tree.getIndex("Keys").data(Qt::DecorationRole).typeId(), QMetaType::QIcon);
    EXPECT_FALSE(tree.getIndex("pad").data(Qt::DecorationRole).isValid()) << "tracks get no square";
}

// A group without a colour of its own is stored with the engine's "none", which reads as white:
// its square and its rows take the view's own colours, while an author's colour (black or any
// other) shows as it is.
TEST_F(ElementModels, GroupWithoutColourShowsTheViewsBackgroundNotWhite)
{
    const QPalette previous = QGuiApplication::palette();
    QPalette dark = previous;
    dark.setColor(QPalette::Base, QColor(42, 45, 51));
    dark.setColor(QPalette::Mid, QColor(74, 79, 89));
    QGuiApplication::setPalette(dark);
    arrange();
    doc.setEltColor("Keys", QColor(0, 0, 0), false);
    KTreeModel tree(&doc);
    tree.setColorSelection(true);
    const auto square = [&](const QString& name) {
        return tree.getIndex(name).data(Qt::DecorationRole).value<QIcon>().pixmap(16, 16).toImage();
    };
    const QImage none = square("Drums");
    ASSERT_EQ(none.size(), QSize(16, 16));
    EXPECT_EQ(QColor(none.pixel(8, 8)), QColor(42, 45, 51));
    EXPECT_EQ(QColor(none.pixel(0, 0)), QColor(74, 79, 89));
    EXPECT_EQ(QColor(none.pixel(15, 8)), QColor(74, 79, 89));
    EXPECT_EQ(QColor(square("Keys").pixel(8, 8)), QColor(0, 0, 0)) << "an author's black stays black";
    tree.setColorSelection(false);
    tree.setItemBackground(true);
    EXPECT_FALSE(tree.getIndex("Drums").data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(tree.getIndex("Drums").data(Qt::DecorationRole).isValid());
    EXPECT_EQ(tree.getIndex("Keys").data(Qt::BackgroundRole).value<QColor>(), QColor(0, 0, 0));
    QGuiApplication::setPalette(previous);
}

TEST_F(ElementModels, UnloadedBetweenReplacementAndReloadAndDeafToAnEarlierDocument)
{
    arrange();
    KTreeModel tree(&doc);
    KListModel list(&doc);
    tree.cleanAll();
    EXPECT_EQ(tree.rowCount(), 0);
    EXPECT_FALSE(tree.index(0, 0).isValid());
    tree.reloaded_slot();
    EXPECT_EQ(rows(tree), "Drums(kick,snare),Keys(pad)");
    EXPECT_FALSE(tree.index(0, 1).isValid());
    EXPECT_FALSE(tree.index(5, 0).isValid());
    // Both models are empty while the document swaps its project.
    QStringList seen;
    QObject::connect(&doc, &KCtrlFile::destroyKFile, &tree, [&] {
        seen << QString::number(tree.rowCount()) + "/" + QString::number(list.rowCount());
    });
    doc.copyElts();
    doc.resetElts();
    EXPECT_EQ(seen, QStringList({"0/0"}));
    EXPECT_EQ(rows(tree), "Drums(kick,snare),Keys(pad)");
    // Bound to another document, the model no longer follows the first one.
    Document other;
    tree.setKFile(&other);
    list.setKFile(&other);
    ASSERT_TRUE(doc.group("Late", {"bass"}));
    EXPECT_EQ(tree.rowCount(), 0);
    EXPECT_EQ(list.rowCount(), 0);
}

} // namespace
