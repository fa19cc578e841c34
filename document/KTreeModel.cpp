#include "KTreeModel.h"

#include <QBrush>
#include <QGuiApplication>
#include <QMimeData>
#include <QPalette>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <unordered_set>

#include "EngineText.h"
#include "KCtrlFile.h"
#include "KFile.h"
#include "KProjectLock.h"

using EngineText::key;

const QString KModels::EltsDragDropMimeType = QStringLiteral("Tovra/eltNames");
const QString KModels::EltNameSep = QStringLiteral("|");

QStringList KModels::namesFromMimeData(const QMimeData* data)
{
    if (!data || !data->hasFormat(EltsDragDropMimeType))
        return {};
    // Both the tree and the list write UTF-8; empty parts are kept so that a drop can refuse them.
    const QString text = QString::fromUtf8(data->data(EltsDragDropMimeType));
    if (text.isEmpty())
        return {};
    QStringList names;
    for (const QString& name : text.split(EltNameSep, Qt::KeepEmptyParts, Qt::CaseSensitive))
        if (!names.contains(name))
            names.append(name);
    return names;
}

namespace {

bool hasColour(const KElement* elt)
{
    return elt->color != KCOLOR_NONE;
}

QColor elementColour(const KElement* elt)
{
    return QColor::fromRgb(static_cast<QRgb>(elt->color));
}

// Skin colour 2 plus one step of colour 6 per level below the top, each component kept in range.
QColor depthColour(const SItemSkinOptions& skin, int depth)
{
    const int steps = std::max(depth - 1, 0);
    auto component = [steps](int base, int step) { return std::clamp(base + steps * step, 0, 255); };
    return QColor(component(skin.color2.red(), skin.color6.red()),
                  component(skin.color2.green(), skin.color6.green()),
                  component(skin.color2.blue(), skin.color6.blue()), 255);
}

bool isVisibleGroup(const KElement* elt)
{
    return elt && elt->type == KELT_GROUP && elt->visible && elt->data;
}

} // namespace

KTreeModel::KTreeModel(KCtrlFile* document, QObject* parent)
    : QAbstractItemModel(parent)
{
    setKFile(document);
}

KTreeModel::~KTreeModel()
{
    m_loaded = false;
}

void KTreeModel::setSkinOptions(const SItemSkinOptions& skin)
{
    m_skin = skin;
    announce({}, {});
    if (m_loaded)
        emit headerDataChanged(Qt::Horizontal, 0, 0);
}

void KTreeModel::setItemBackground(bool on)
{
    m_itemBackground = on;
    announce({}, {Qt::BackgroundRole, Qt::DecorationRole});
}

void KTreeModel::setColorSelection(bool on)
{
    m_colorSelection = on;
    announce({}, {Qt::DecorationRole});
}

// --- Binding ------------------------------------------------------------------------------------

void KTreeModel::setKFile(KCtrlFile* document)
{
    if (m_doc)
        disconnect(m_doc, nullptr, this, nullptr);
    beginResetModel();
    m_takesDrops.clear();
    m_doc = document;
    m_loaded = document != nullptr;
    if (m_loaded)
        m_tree.assign(projectTree());
    else
        m_tree.clear();
    endResetModel();
    if (!document)
        return;
    for (auto changed : {&KCtrlFile::removedElement, &KCtrlFile::modifiedElement,
                         &KCtrlFile::removedEltFromGroup, &KCtrlFile::addedGroup,
                         &KCtrlFile::addedTrack})
        connect(document, changed, this, &KTreeModel::refresh);
    connect(document, &KCtrlFile::addedConstraint, this, &KTreeModel::refresh);
    connect(document, &KCtrlFile::renamedElement, this, &KTreeModel::renamed);
    connect(document, &KCtrlFile::mixChanged, this, [this] {
        refresh();
        announce({}, {Qt::ForegroundRole, Qt::CheckStateRole});
    });
    connect(document, &KCtrlFile::eltStatusChanged, this, &KTreeModel::statusChanged);
    connect(document, &KCtrlFile::reloaded, this, &KTreeModel::reloaded_slot);
    connect(document, &KCtrlFile::destroyKFile, this, &KTreeModel::cleanAll);
}

void KTreeModel::layoutChanged_slot()
{
    if (m_loaded)
        sort(0, Qt::AscendingOrder);
}

void KTreeModel::cleanAll()
{
    beginResetModel();
    m_takesDrops.clear();
    m_loaded = false;
    m_tree.clear();
    endResetModel();
}

void KTreeModel::reloaded_slot()
{
    beginResetModel();
    m_takesDrops.clear();
    m_loaded = m_doc != nullptr;
    m_tree.assign(m_loaded ? projectTree() : std::vector<KNameTree::Spec>());
    endResetModel();
}

void KTreeModel::refresh()
{
    m_takesDrops.clear();
    if (m_loaded && m_doc)
        m_tree.sync(projectTree(), *this);
}

void KTreeModel::renamed(const QString& oldName, const QString& newName)
{
    m_takesDrops.clear();
    if (!m_loaded)
        return;
    // A name changes no row's place: the top level and the members keep their order.
    announce(m_tree.rename(oldName, newName), {Qt::DisplayRole});
}

void KTreeModel::statusChanged(const QStringList& names)
{
    const QList<int> roles{Qt::ForegroundRole, Qt::CheckStateRole};
    if (names.size() > 64) {
        announce({}, roles);
        return;
    }
    QList<KNameTree::Node*> nodes;
    for (const QString& name : names)
        nodes += m_tree.nodes(name);
    announce(nodes, roles);
}

void KTreeModel::announce(const QList<KNameTree::Node*>& nodes, const QList<int>& roles)
{
    if (!m_loaded)
        return;
    if (!nodes.isEmpty()) {
        for (KNameTree::Node* n : nodes) {
            const QModelIndex at = indexOf(n);
            emit dataChanged(at, at, roles);
        }
        return;
    }
    // Every row: one range per parent.
    std::vector<KNameTree::Node*> work{m_tree.root()};
    while (!work.empty()) {
        KNameTree::Node* parent = work.back();
        work.pop_back();
        if (parent->children.empty())
            continue;
        emit dataChanged(indexOf(parent->children.front().get()),
                         indexOf(parent->children.back().get()), roles);
        for (auto& child : parent->children)
            work.push_back(child.get());
    }
}

// The visible tree: top elements without the import group's subtree, then each group's visible
// members in link order. A member already on the path is skipped, so a damaged graph cannot
// make the walk endless. The walk keeps its own stack, so a chain of any depth takes no call
// per level, and the path is a set, so each member is checked at once.
std::vector<KNameTree::Spec> KTreeModel::projectTree() const
{
    // An import worker may be adding tracks while the GUI thread redraws the tree.
    const KProjectLock lock;
    _KFile* file = m_doc ? m_doc->getKFile() : nullptr;
    if (!file)
        return {};
    const QByteArray excluded = key(KObjFile::ImportAudioGrpName);
    struct Level {
        const KElement* group;
        GList* next;           // the member to look at next
        KNameTree::Spec* spec; // the group's spec, filled in member order
    };
    auto membersOf = [](const KElement* elt) -> GList* {
        return (elt->type == KELT_GROUP && elt->data)
                   ? static_cast<const KGroupData*>(elt->data)->members.head
                   : nullptr;
    };
    std::unordered_set<const KElement*> onPath;
    std::vector<Level> work;
    std::vector<KNameTree::Spec> top;
    const int count = k_getEltOnTopNbr(file, excluded.constData());
    top.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        const KElement* elt = k_getNthEltOnTop(file, i, excluded.constData());
        if (!elt)
            continue;
        top.emplace_back(EngineText::fromEngine(elt->name));
        if (elt->type != KELT_GROUP || !elt->data)
            continue;
        // A spec's children only grow while its level is the deepest on the stack, so the
        // pointers the stack holds stay valid.
        onPath.insert(elt);
        work.push_back({elt, membersOf(elt), &top.back()});
        while (!work.empty()) {
            Level& level = work.back();
            if (!level.next) {
                onPath.erase(level.group);
                work.pop_back();
                continue;
            }
            const auto* member = static_cast<const KElement*>(level.next->data);
            level.next = level.next->next;
            if (!member->visible || onPath.count(member))
                continue;
            KNameTree::Spec* parentSpec = level.spec;
            parentSpec->children.emplace_back(EngineText::fromEngine(member->name));
            if (member->type == KELT_GROUP && member->data) {
                onPath.insert(member);
                work.push_back({member, membersOf(member), &parentSpec->children.back()});
            }
        }
    }
    return top;
}

// --- Listener -----------------------------------------------------------------------------------

QModelIndex KTreeModel::indexOf(KNameTree::Node* n) const
{
    return (n && n->parent) ? createIndex(n->row, 0, n) : QModelIndex();
}

void KTreeModel::beginInsert(KNameTree::Node* parent, int first, int last)
{
    beginInsertRows(indexOf(parent), first, last);
}

void KTreeModel::beginRemove(KNameTree::Node* parent, int first, int last)
{
    beginRemoveRows(indexOf(parent), first, last);
}

void KTreeModel::beginMove(KNameTree::Node* from, int row, KNameTree::Node* to, int toRow)
{
    const bool ok = beginMoveRows(indexOf(from), row, row, indexOf(to), toRow);
    Q_ASSERT(ok);
    Q_UNUSED(ok);
}

// --- Queries ------------------------------------------------------------------------------------

KElement* KTreeModel::element(const QString& name) const
{
    _KFile* file = m_doc ? m_doc->getKFile() : nullptr;
    return file ? giveElt(file, key(name).constData()) : nullptr;
}

const KNameTree::Node* KTreeModel::node(const QModelIndex& index) const
{
    if (!m_loaded || !index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<const KNameTree::Node*>(index.internalPointer());
}

QString KTreeModel::getItem(const QModelIndex& index) const
{
    const KNameTree::Node* n = node(index);
    return n ? n->name : QString();
}

QModelIndex KTreeModel::getIndex(const QString& name) const
{
    const QList<KNameTree::Node*> found = m_loaded ? m_tree.nodes(name) : QList<KNameTree::Node*>();
    return found.size() == 1 ? indexOf(found.front()) : QModelIndex();
}

KElement* KTreeModel::modelIndexToKElement(const QModelIndex& index) const
{
    const KNameTree::Node* n = node(index);
    return n ? element(n->name) : nullptr;
}

int KTreeModel::depth(const QModelIndex& index) const
{
    return KNameTree::depth(node(index));
}

QIcon KTreeModel::getColorIcon(const QColor& colour)
{
    static QHash<QRgb, QIcon> icons;
    auto found = icons.constFind(colour.rgba());
    if (found != icons.constEnd())
        return *found;
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::black);
    QPainter painter(&pixmap);
    painter.fillRect(1, 1, 14, 14, colour);
    painter.end();
    return icons.insert(colour.rgba(), QIcon(pixmap)).value();
}

QIcon KTreeModel::getNoColorIcon()
{
    // An empty square of the view's own background in the border colour, drawn from the
    // application's palette at each call so that it follows the theme in use.
    const QPalette palette = QGuiApplication::palette();
    QPixmap pixmap(16, 16);
    pixmap.fill(palette.color(QPalette::Mid));
    QPainter painter(&pixmap);
    painter.fillRect(1, 1, 14, 14, palette.color(QPalette::Base));
    painter.end();
    return QIcon(pixmap);
}

// --- Model --------------------------------------------------------------------------------------

QModelIndex KTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (!m_loaded || column != 0 || row < 0)
        return QModelIndex();
    const KNameTree::Node* p = parent.isValid() ? node(parent) : m_tree.root();
    if (!p || row >= static_cast<int>(p->children.size()))
        return QModelIndex();
    return createIndex(row, 0, p->children[row].get());
}

QModelIndex KTreeModel::parent(const QModelIndex& index) const
{
    const KNameTree::Node* n = node(index);
    return n ? indexOf(n->parent) : QModelIndex();
}

int KTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!m_loaded || parent.column() > 0)
        return 0;
    const KNameTree::Node* p = parent.isValid() ? node(parent) : m_tree.root();
    return p ? static_cast<int>(p->children.size()) : 0;
}

int KTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant KTreeModel::data(const QModelIndex& index, int role) const
{
    const KNameTree::Node* n = node(index);
    if (!n)
        return QVariant();
    if (role == Qt::DisplayRole)
        return n->name;
    if (role == Qt::FontRole)
        return m_skin.font;
    // The element table may be growing in an import worker while the view paints.
    const KProjectLock lock;
    const KElement* elt = element(n->name);
    if (!elt)
        return QVariant();
    switch (role) {
    // An element without a colour of its own (the engine's "none", which reads as white) shows
    // the view's background rather than a white square or band.
    case Qt::DecorationRole:
        if (m_itemBackground)
            return hasColour(elt) ? QVariant(elementColour(elt)) : QVariant();
        if (m_colorSelection && elt->type != KELT_TRACK)
            return hasColour(elt) ? getColorIcon(elementColour(elt)) : getNoColorIcon();
        return QVariant();
    case Qt::BackgroundRole:
        if (m_itemBackground && hasColour(elt))
            return elementColour(elt);
        if (m_skin.color2.isValid())
            return QBrush(depthColour(m_skin, KNameTree::depth(n)));
        return QVariant();
    case Qt::ForegroundRole:
        if (m_skin.color0.isValid() && m_skin.color1.isValid())
            return m_doc->elementPlays(n->name) ? m_skin.color0 : m_skin.color1;
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant KTreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || !m_loaded)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return m_skin.text;
    case Qt::FontRole:
        return m_skin.font;
    case Qt::BackgroundRole:
        if (m_skin.color5.isValid())
            return QBrush(m_skin.color5);
        break;
    case Qt::ForegroundRole:
        if (m_skin.color4.isValid())
            return m_skin.color4;
        break;
    default:
        break;
    }
    return QAbstractItemModel::headerData(section, orientation, role);
}

Qt::ItemFlags KTreeModel::flags(const QModelIndex& index) const
{
    const KNameTree::Node* n = node(index);
    if (!n)
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags f = QAbstractItemModel::flags(index) | Qt::ItemIsDragEnabled;
    auto known = m_takesDrops.constFind(n->name);
    if (known == m_takesDrops.constEnd()) {
        const KElement* elt = element(n->name);
        known = m_takesDrops.insert(n->name, elt && elt->type != KELT_TRACK);
    }
    if (*known)
        f |= Qt::ItemIsDropEnabled;
    return f;
}

QStringList KTreeModel::mimeTypes() const
{
    return {KModels::EltsDragDropMimeType};
}

QMimeData* KTreeModel::mimeData(const QModelIndexList& indexes) const
{
    auto* data = new QMimeData;
    QStringList names;
    for (const QModelIndex& index : indexes) {
        const QString name = getItem(index);
        if (!name.isEmpty() && !names.contains(name))
            names.append(name);
    }
    if (m_loaded && !names.isEmpty())
        data->setData(KModels::EltsDragDropMimeType, names.join(KModels::EltNameSep).toUtf8());
    return data;
}

// Every name must be a track or a visible group; the target (none for the top level) a visible
// group that is neither one of the names nor below one of them.
bool KTreeModel::dropAllowed(const QStringList& names, const QString& target) const
{
    if (names.isEmpty())
        return false;
    if (!target.isEmpty() && !isVisibleGroup(element(target)))
        return false;
    for (const QString& name : names) {
        const KElement* elt = element(name);
        if (!elt || !(elt->type == KELT_TRACK || isVisibleGroup(elt)))
            return false;
        if (!target.isEmpty() && m_doc->isParent(name, target))
            return false;
    }
    return true;
}

// One name leaves its group for the target. Into a group the move is one checked edit of the
// document; to the top level a refused removal ends the move so the element never stays in two
// groups.
bool KTreeModel::moveInto(const QString& name, const QString& target)
{
    if (!target.isEmpty())
        return m_doc->moveEltToGroup(name, target);
    const QString parent = m_doc->getParent(name);
    if (!parent.isEmpty() && !m_doc->removeEltFromGroup(parent, name))
        return false;
    return m_doc->setElementOnTop(name);
}

bool KTreeModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int, int,
                              const QModelIndex& parent)
{
    if (action == Qt::IgnoreAction)
        return true;
    if (!m_loaded || !m_doc)
        return false;
    const QStringList names = KModels::namesFromMimeData(data);
    if (parent.isValid() && !node(parent))
        return false;
    const QString target = getItem(parent);
    if (!dropAllowed(names, target))
        return false;
    bool moved = true;
    for (const QString& name : names)
        if (!(moved = moveInto(name, target)))
            break;
    refresh();
    if (moved)
        emit dropped(names);
    return moved;
}

// --- Check boxes --------------------------------------------------------------------------------

KCheckableTreeModel::KCheckableTreeModel(KCtrlFile* document, QObject* parent)
    : KTreeModel(document, parent)
{
}

QVariant KCheckableTreeModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::CheckStateRole)
        return KTreeModel::data(index, role);
    const KNameTree::Node* n = node(index);
    if (!n || !element(n->name))
        return QVariant();
    return document()->elementPlays(n->name) ? Qt::Checked : Qt::Unchecked;
}

bool KCheckableTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole)
        return KTreeModel::setData(index, value, role);
    const KNameTree::Node* n = node(index);
    if (!n || !element(n->name))
        return false;
    // The document announces every changed status, which updates the rows.
    const bool play = value.toInt() == Qt::Checked || (value.typeId() == QMetaType::Bool && value.toBool());
    return !document()->setEltStatus(n->name, play, m_constraintsUse).isEmpty();
}

Qt::ItemFlags KCheckableTreeModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = KTreeModel::flags(index);
    if (node(index))
        f |= Qt::ItemIsUserCheckable;
    return f;
}
