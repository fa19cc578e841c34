// Item models of the open project's element tree: KTreeModel shows the visible groups and tracks
// with the skin's colours and carries element names in drags and drops; KCheckableTreeModel adds
// a check box per element that shows and switches its play status through the document.
// The models change the project only through KCtrlFile. GUI thread only.
#ifndef KTREEMODEL_H
#define KTREEMODEL_H

#include <QAbstractItemModel>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QIcon>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "KCtrlFile.h"
#include "KNameTree.h"

class QMimeData;
struct KElement;

// The element drag format shared by every view: names joined by the separator, no framing.
namespace KModels {
extern const QString EltsDragDropMimeType; // "Tovra/eltNames"
extern const QString EltNameSep;           // "|"

// The names carried by drag data, in order and each once; empty when the data has no names.
QStringList namesFromMimeData(const QMimeData* data);
} // namespace KModels

// The look of the element trees; a default record leaves every colour invalid.
struct SItemSkinOptions {
    QColor color0; // text of an element that plays
    QColor color1; // text of an element that does not play
    QColor color2; // background of a top-level row
    QColor color3; // not read by the models
    QColor color4; // header text
    QColor color5; // header background
    QColor color6; // background step added per depth level
    QFont font;    // rows and header
    QString text;  // header text
};

class KTreeModel : public QAbstractItemModel, private KNameTree::Listener
{
    Q_OBJECT

public:
    KTreeModel(KCtrlFile* document, QObject* parent = nullptr);
    ~KTreeModel() override;

    void setSkinOptions(const SItemSkinOptions& skin);
    const SItemSkinOptions& skinOptions() const { return m_skin; }
    // Stored for the editor; the header shows the skin's text.
    void setHeader(const QString& text) { m_header = text; }
    QString header() const { return m_header; }
    void setItemBackground(bool on);
    void setColorSelection(bool on);
    bool isLoaded() const { return m_loaded; }
    KCtrlFile* document() const { return m_doc; }

    QString getItem(const QModelIndex& index) const;
    // The index of the name when it is shown exactly once, else an invalid index.
    QModelIndex getIndex(const QString& name) const;
    KElement* modelIndexToKElement(const QModelIndex& index) const;
    // 1 for a top-level row.
    int depth(const QModelIndex& index) const;
    static QIcon getColorIcon(const QColor& colour);
    // The square of an element that has no colour of its own.
    static QIcon getNoColorIcon();

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

public slots:
    void setKFile(KCtrlFile* document);
    void layoutChanged_slot();
    void reloaded_slot();
    // The document is about to replace its project: the model shows nothing until reloaded.
    void cleanAll();
    // Brings the rows in line with the project, announcing each inserted, moved or removed row.
    void refresh();

signals:
    void dropOnRoot(QStringList names);
    // Elements a drop has just moved (the views show them where they went).
    void dropped(QStringList names);

protected:
    KElement* element(const QString& name) const;
    const KNameTree::Node* node(const QModelIndex& index) const;
    // Announces a change of the rows' play status.
    void statusChanged(const QStringList& names);
    void announce(const QList<KNameTree::Node*>& nodes, const QList<int>& roles);

private:
    std::vector<KNameTree::Spec> projectTree() const;
    QModelIndex indexOf(KNameTree::Node* node) const;
    void renamed(const QString& oldName, const QString& newName);
    bool dropAllowed(const QStringList& names, const QString& target) const;
    bool moveInto(const QString& name, const QString& target);

    void beginInsert(KNameTree::Node* parent, int first, int last) override;
    void endInsert() override { endInsertRows(); }
    void beginRemove(KNameTree::Node* parent, int first, int last) override;
    void endRemove() override { endRemoveRows(); }
    void beginMove(KNameTree::Node* from, int row, KNameTree::Node* to, int toRow) override;
    void endMove() override { endMoveRows(); }

    QPointer<KCtrlFile> m_doc;
    SItemSkinOptions m_skin;
    QString m_header;
    bool m_itemBackground = false;
    bool m_colorSelection = false;
    bool m_loaded = false;
    KNameTree m_tree;
    // Whether the named element takes drops (it exists and is no track), as flags() found it:
    // the views ask for every row's flags on each layout, and the engine's lookup converts the
    // name each time. Emptied whenever the rows are rebuilt or brought in line with the
    // document, which every change of an element's existence or kind goes through.
    mutable QHash<QString, bool> m_takesDrops;
};

class KCheckableTreeModel : public KTreeModel
{
    Q_OBJECT

public:
    KCheckableTreeModel(KCtrlFile* document, QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool constraintsUse() const { return m_constraintsUse; }

public slots:
    void setConstraintsUse(bool on) { m_constraintsUse = on; }

private:
    bool m_constraintsUse = true;
};

#endif
