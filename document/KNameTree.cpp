#include "KNameTree.h"

#include <QSet>

KNameTree::Node::~Node()
{
    std::vector<std::unique_ptr<Node>> pending = std::move(children);
    while (!pending.empty()) {
        std::unique_ptr<Node> last = std::move(pending.back());
        pending.pop_back();
        for (auto& child : last->children)
            pending.push_back(std::move(child));
        last->children.clear();
    }
}

KNameTree::Spec::~Spec()
{
    std::vector<Spec> pending = std::move(children);
    while (!pending.empty()) {
        Spec last = std::move(pending.back());
        pending.pop_back();
        for (Spec& child : last.children)
            pending.push_back(std::move(child));
        last.children.clear();
    }
}

KNameTree::KNameTree()
{
    m_root.settled = true;
}

void KNameTree::assign(const std::vector<Spec>& top)
{
    m_root.children.clear();
    m_byName.clear();
    m_count = 0;
    // One table of the right size rather than one rehash per doubling.
    qsizetype specs = 0;
    std::vector<const std::vector<Spec>*> levels{&top};
    while (!levels.empty()) {
        const std::vector<Spec>* level = levels.back();
        levels.pop_back();
        specs += static_cast<qsizetype>(level->size());
        for (const Spec& spec : *level)
            if (!spec.children.empty())
                levels.push_back(&spec.children);
    }
    m_byName.reserve(specs);
    build(&m_root, top);
}

// Depth first in spec order, with a stack of the levels being filled instead of a call per level.
void KNameTree::build(Node* parent, const std::vector<Spec>& specs)
{
    struct Level {
        Node* parent;
        const std::vector<Spec>* specs;
        size_t next;
    };
    std::vector<Level> work{{parent, &specs, 0}};
    while (!work.empty()) {
        Level& level = work.back();
        if (level.next == level.specs->size()) {
            work.pop_back();
            continue;
        }
        const Spec& spec = (*level.specs)[level.next++];
        Node* under = level.parent;
        auto node = std::make_unique<Node>();
        node->name = spec.name;
        node->parent = under;
        node->row = static_cast<int>(under->children.size());
        m_byName[spec.name].append(node.get());
        ++m_count;
        under->children.push_back(std::move(node));
        if (!spec.children.empty())
            work.push_back({under->children.back().get(), &spec.children, 0});
    }
}

void KNameTree::forget(Node* node)
{
    std::vector<Node*> work{node};
    while (!work.empty()) {
        Node* n = work.back();
        work.pop_back();
        for (auto& child : n->children)
            work.push_back(child.get());
        auto found = m_byName.find(n->name);
        if (found != m_byName.end()) {
            found->removeOne(n);
            if (found->isEmpty())
                m_byName.erase(found);
        }
        --m_count;
    }
}

void KNameTree::renumber(Node* parent, int from)
{
    for (int i = from; i < static_cast<int>(parent->children.size()); ++i)
        parent->children[i]->row = i;
}

int KNameTree::depth(const Node* node)
{
    int depth = 0;
    for (; node && node->parent; node = node->parent)
        ++depth;
    return depth;
}

QList<KNameTree::Node*> KNameTree::rename(const QString& oldName, const QString& newName)
{
    const QList<Node*> renamed = m_byName.take(oldName);
    for (Node* node : renamed) {
        node->name = newName;
        m_byName[newName].append(node);
    }
    return renamed;
}

// Counts the names of the specs and of all their descendants.
static void countNames(const std::vector<KNameTree::Spec>& specs, QHash<QString, int>& counts)
{
    std::vector<const std::vector<KNameTree::Spec>*> work{&specs};
    while (!work.empty()) {
        const std::vector<KNameTree::Spec>* level = work.back();
        work.pop_back();
        for (const KNameTree::Spec& spec : *level) {
            ++counts[spec.name];
            if (!spec.children.empty())
                work.push_back(&spec.children);
        }
    }
}

static void unsettle(KNameTree::Node* node)
{
    std::vector<KNameTree::Node*> work{node};
    while (!work.empty()) {
        KNameTree::Node* n = work.back();
        work.pop_back();
        for (auto& child : n->children) {
            child->settled = false;
            work.push_back(child.get());
        }
    }
}

void KNameTree::sync(const std::vector<Spec>& top, Listener& listener)
{
    QHash<QString, int> wanted;
    countNames(top, wanted);
    unsettle(&m_root);
    place(&m_root, top, wanted, listener);
    prune(&m_root, listener);
}

KNameTree::Node* KNameTree::unsettled(const QString& name, const Node* preferredParent) const
{
    Node* elsewhere = nullptr;
    for (Node* node : m_byName.value(name)) {
        if (node->settled)
            continue;
        if (node->parent == preferredParent)
            return node;
        if (!elsewhere)
            elsewhere = node;
    }
    return elsewhere;
}

void KNameTree::move(Node* node, Node* to, int toRow, Listener& listener)
{
    Node* from = node->parent;
    const int row = node->row;
    listener.beginMove(from, row, to, toRow);
    std::unique_ptr<Node> owned = std::move(from->children[row]);
    from->children.erase(from->children.begin() + row);
    // Within one parent, a later destination counts the rows before the move.
    const int at = (from == to && toRow > row) ? toRow - 1 : toRow;
    owned->parent = to;
    to->children.insert(to->children.begin() + at, std::move(owned));
    renumber(from, row);
    renumber(to, from == to ? qMin(row, at) : at);
    listener.endMove();
}

// Each node's level is placed before the levels below it, depth first in spec order; a placed
// node stays where it is until the end, so the stack may hold it.
void KNameTree::place(Node* parent, const std::vector<Spec>& specs,
                      const QHash<QString, int>& wanted, Listener& listener)
{
    std::vector<std::pair<Node*, const std::vector<Spec>*>> work{{parent, &specs}};
    while (!work.empty()) {
        const auto [node, wantedHere] = work.back();
        work.pop_back();
        placeLevel(node, *wantedHere, wanted, listener);
        for (int i = static_cast<int>(wantedHere->size()) - 1; i >= 0; --i)
            work.push_back({node->children[i].get(), &(*wantedHere)[i].children});
    }
}

void KNameTree::placeLevel(Node* parent, const std::vector<Spec>& specs,
                           const QHash<QString, int>& wanted, Listener& listener)
{
    QSet<QString> here;
    for (const Spec& spec : specs)
        here.insert(spec.name);
    // Children wanted nowhere go at once; children wanted elsewhere wait at the end, where a
    // later step can move them, so that the rows kept here stay in their order.
    for (int i = static_cast<int>(parent->children.size()) - 1; i >= 0; --i) {
        const QString& name = parent->children[i]->name;
        if (here.contains(name) || wanted.contains(name))
            continue;
        int first = i;
        while (first > 0 && !here.contains(parent->children[first - 1]->name)
               && !wanted.contains(parent->children[first - 1]->name))
            --first;
        listener.beginRemove(parent, first, i);
        for (int r = first; r <= i; ++r)
            forget(parent->children[r].get());
        parent->children.erase(parent->children.begin() + first, parent->children.begin() + i + 1);
        renumber(parent, first);
        listener.endRemove();
        i = first;
    }
    std::vector<Node*> leaving;
    for (auto& child : parent->children)
        if (!here.contains(child->name))
            leaving.push_back(child.get());
    for (Node* node : leaving)
        if (node->row != static_cast<int>(parent->children.size()) - 1)
            move(node, parent, static_cast<int>(parent->children.size()), listener);

    for (int i = 0; i < static_cast<int>(specs.size()); ++i) {
        const QString& name = specs[i].name;
        Node* current = i < static_cast<int>(parent->children.size()) ? parent->children[i].get()
                                                                       : nullptr;
        if (!(current && !current->settled && current->name == name)) {
            current = unsettled(name, parent);
            if (current) {
                move(current, parent, i, listener);
            } else {
                listener.beginInsert(parent, i, i);
                auto node = std::make_unique<Node>();
                node->name = name;
                node->parent = parent;
                current = node.get();
                m_byName[name].append(current);
                ++m_count;
                parent->children.insert(parent->children.begin() + i, std::move(node));
                renumber(parent, i);
                listener.endInsert();
            }
        }
        current->settled = true;
    }
}

// Below each node first (its settled rows in order), then the node's own unsettled tail.
void KNameTree::prune(Node* parent, Listener& listener)
{
    struct Level {
        Node* node;
        int kept;
        int next;
    };
    auto settledRows = [](const Node* node) {
        int kept = 0;
        while (kept < static_cast<int>(node->children.size()) && node->children[kept]->settled)
            ++kept;
        return kept;
    };
    std::vector<Level> work{{parent, settledRows(parent), 0}};
    while (!work.empty()) {
        Level& level = work.back();
        if (level.next < level.kept) {
            Node* child = level.node->children[level.next++].get();
            work.push_back({child, settledRows(child), 0});
            continue;
        }
        Node* node = level.node;
        const int kept = level.kept;
        work.pop_back();
        const int last = static_cast<int>(node->children.size()) - 1;
        if (kept > last)
            continue;
        listener.beginRemove(node, kept, last);
        for (int r = kept; r <= last; ++r)
            forget(node->children[r].get());
        node->children.erase(node->children.begin() + kept, node->children.end());
        listener.endRemove();
    }
}
