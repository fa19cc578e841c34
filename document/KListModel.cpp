#include "KListModel.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QMimeData>
#include <QPalette>

#include "EngineText.h"
#include "KCtrlFile.h"
#include "KFile.h"
#include "KProjectLock.h"
#include "KTreeModel.h"

using EngineText::key;

namespace {
// Text on an author's element colour: black on light colours, white on dark ones, so that any
// colour keeps its rows readable; the secondary column a little softer.
QColor textOn(const QColor& background, bool secondary)
{
    const bool light = 0.299 * background.red() + 0.587 * background.green() + 0.114 * background.blue() > 140.0;
    if (light)
        return secondary ? QColor(60, 60, 60) : QColor(Qt::black);
    return secondary ? QColor(215, 215, 215) : QColor(Qt::white);
}
}

KListModel::KListModel(KCtrlFile* document, QObject* parent)
    : QAbstractListModel(parent)
{
    setKFile(document);
}

void KListModel::setItemBackground(bool on)
{
    m_itemBackground = on;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 2));
}

void KListModel::setKFile(KCtrlFile* document)
{
    if (m_doc)
        disconnect(m_doc, nullptr, this, nullptr);
    m_doc = document;
    reset(document != nullptr);
    if (!document)
        return;
    for (auto changed : {&KCtrlFile::removedElement, &KCtrlFile::modifiedElement,
                         &KCtrlFile::removedEltFromGroup, &KCtrlFile::addedGroup,
                         &KCtrlFile::addedTrack})
        connect(document, changed, this, &KListModel::layoutChanged_slot);
    connect(document, &KCtrlFile::addedConstraint, this, &KListModel::layoutChanged_slot);
    connect(document, &KCtrlFile::renamedElement, this, &KListModel::renamed);
    connect(document, &KCtrlFile::destroyKFile, this, [this] { reset(false); });
    connect(document, &KCtrlFile::reloaded, this, [this] { reset(true); });
}

void KListModel::reset(bool loaded)
{
    beginResetModel();
    m_loaded = loaded && m_doc;
    std::vector<KNameTree::Spec> rows;
    if (m_loaded)
        for (const QString& name : projectNames())
            rows.push_back({name, {}});
    m_rows.assign(rows);
    readShown(false);
    endResetModel();
}

void KListModel::layoutChanged_slot()
{
    if (!m_loaded)
        return;
    std::vector<KNameTree::Spec> rows;
    for (const QString& name : projectNames())
        rows.push_back({name, {}});
    m_rows.sync(rows, *this);
    // An element moved between groups keeps its row: only the rows whose place or colour changed
    // are announced, so that views refit what changed and not every row.
    readShown(true);
}

KListModel::Shown KListModel::shown(const QString& name) const
{
    Shown row;
    row.location = location(name);
    const KProjectLock lock;
    _KFile* file = m_doc ? m_doc->getKFile() : nullptr;
    if (KElement* elt = file ? giveElt(file, key(name).constData()) : nullptr)
        row.colour = static_cast<quint32>(elt->color);
    return row;
}

void KListModel::readShown(bool announce)
{
    QHash<QString, Shown> now;
    const auto& children = m_rows.root()->children;
    now.reserve(static_cast<qsizetype>(children.size()));
    int first = -1;
    for (int row = 0; row <= static_cast<int>(children.size()); ++row) {
        bool changed = false;
        if (row < static_cast<int>(children.size())) {
            const QString& name = children[row]->name;
            const Shown current = shown(name);
            const auto before = m_shown.constFind(name);
            changed = announce && before != m_shown.constEnd() && !(*before == current);
            now.insert(name, current);
        }
        if (changed && first < 0)
            first = row;
        if (!changed && first >= 0) {
            emit dataChanged(index(first, 0), index(row - 1, 2));
            first = -1;
        }
    }
    m_shown.swap(now);
}

void KListModel::renamed(const QString& oldName, const QString& newName)
{
    if (!m_loaded)
        return;
    for (KNameTree::Node* node : m_rows.rename(oldName, newName))
        emit dataChanged(index(node->row, 1), index(node->row, 2), {Qt::DisplayRole});
}

void KListModel::beginMove(KNameTree::Node*, int row, KNameTree::Node*, int toRow)
{
    const bool ok = beginMoveRows({}, row, row, {}, toRow);
    Q_ASSERT(ok);
    Q_UNUSED(ok);
}

QStringList KListModel::projectNames() const
{
    // An import worker may be adding tracks while the GUI thread refreshes the list.
    const KProjectLock lock;
    _KFile* file = m_doc ? m_doc->getKFile() : nullptr;
    QStringList names;
    const int count = file ? getEltNbr(file) : 0;
    for (int i = 0; i < count; ++i)
        if (const char* name = k_getNthElement(file, i))
            names.append(EngineText::fromEngine(name));
    return names;
}

QString KListModel::modelIndexToQString(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this || index.row() >= rowCount())
        return QString();
    return m_rows.root()->children[index.row()]->name;
}

QModelIndex KListModel::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || row >= rowCount() || column < 0 || column >= 3)
        return QModelIndex();
    return createIndex(row, column);
}

int KListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.root()->children.size());
}

int KListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

// Where the element stands: in its first visible group, nowhere for an imported track not yet
// placed, else at the top level.
QString KListModel::location(const QString& name) const
{
    const QString parent = m_doc->getParent(name);
    if (!parent.isEmpty())
        return "(" + tr("dans ") + "\"" + parent + "\")";
    if (m_doc->isParent(KObjFile::ImportAudioGrpName, name))
        return QString();
    return tr("(à la racine)");
}

QVariant KListModel::data(const QModelIndex& index, int role) const
{
    const QString name = modelIndexToQString(index);
    // The element table may be growing in an import worker while the view paints.
    const KProjectLock lock;
    _KFile* file = m_doc ? m_doc->getKFile() : nullptr;
    KElement* elt = (file && !name.isEmpty()) ? giveElt(file, key(name).constData()) : nullptr;
    if (!elt)
        return QVariant();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        if (column == 1)
            return name;
        if (column == 2)
            return location(name);
        return elt->type == KELT_TRACK
                   ? QString::fromLatin1(
                         KAudioFmt_getSmallName(k_getTrackAudioFmt(file, static_cast<KTrack*>(elt->data))))
                   : QString();
    case Qt::FontRole:
        if (!m_itemBackground)
            return QVariant();
        return QFont("Tahoma", 11, column == 0 ? QFont::Bold : QFont::Normal);
    case Qt::BackgroundRole:
        // An element without a colour of its own keeps the view's dark background instead of
        // the engine's "no colour" white.
        return m_itemBackground && elt->color != KCOLOR_NONE
                   ? QVariant(QColor::fromRgb(static_cast<QRgb>(elt->color)))
                   : QVariant();
    case Qt::ForegroundRole:
        // On an author's colour the texts take the contrasting colour; on the view's own
        // background the names take the palette's text and the place its dim text.
        if (m_itemBackground && elt->color != KCOLOR_NONE)
            return textOn(QColor::fromRgb(static_cast<QRgb>(elt->color)), column == 2);
        return column == 2 ? QVariant(QGuiApplication::palette().color(QPalette::PlaceholderText))
                           : QVariant();
    default:
        return QVariant();
    }
}

Qt::ItemFlags KListModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractListModel::flags(index);
    if (index.isValid())
        f |= Qt::ItemIsDragEnabled;
    return f;
}

QStringList KListModel::mimeTypes() const
{
    return {KModels::EltsDragDropMimeType};
}

QMimeData* KListModel::mimeData(const QModelIndexList& indexes) const
{
    auto* data = new QMimeData;
    QStringList names;
    for (const QModelIndex& index : indexes) {
        const QString name = modelIndexToQString(index);
        if (!name.isEmpty() && !names.contains(name))
            names.append(name);
    }
    if (!names.isEmpty())
        data->setData(KModels::EltsDragDropMimeType, names.join(KModels::EltNameSep).toUtf8());
    return data;
}

KTracksModel::KTracksModel(KCtrlFile* document, QObject* parent)
    : KListModel(nullptr, parent)
{
    setKFile(document);
}

QStringList KTracksModel::projectNames() const
{
    const KProjectLock lock;
    _KFile* file = document() ? document()->getKFile() : nullptr;
    QStringList names;
    const int count = file ? tracksNbr(file) : 0;
    for (int i = 0; i < count; ++i)
        if (const char* name = k_getNthTrackName(file, i))
            names.append(EngineText::fromEngine(name));
    return names;
}
