// The rows an element model shows, as a tree of names, and the step-by-step edit that turns it
// into a new tree while telling the model each insertion, move and removal as it happens, so
// that views and proxies keep their persistent indexes. An element that occurs under several
// groups gets one node per place. GUI thread only.
#ifndef KNAMETREE_H
#define KNAMETREE_H

#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <vector>

class KNameTree
{
public:
    // Nodes and specs free their descendants level by level, so a tree of any depth is released
    // without a call per level.
    struct Node {
        QString name;
        Node* parent = nullptr;
        int row = 0;
        bool settled = false;
        std::vector<std::unique_ptr<Node>> children;
        Node() = default;
        Node(const Node&) = delete;
        Node& operator=(const Node&) = delete;
        ~Node();
    };

    // What a node should become: its name and, in order, its children.
    struct Spec {
        QString name;
        std::vector<Spec> children;
        Spec() = default;
        Spec(QString specName, std::vector<Spec> specChildren = {})
            : name(std::move(specName)), children(std::move(specChildren))
        {
        }
        Spec(const Spec&) = default;
        Spec(Spec&&) noexcept = default;
        Spec& operator=(const Spec&) = default;
        Spec& operator=(Spec&&) noexcept = default;
        ~Spec();
    };

    // Receives each change just before and just after it is made.
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void beginInsert(Node* parent, int first, int last) = 0;
        virtual void endInsert() = 0;
        virtual void beginRemove(Node* parent, int first, int last) = 0;
        virtual void endRemove() = 0;
        virtual void beginMove(Node* from, int row, Node* to, int toRow) = 0;
        virtual void endMove() = 0;
    };

    KNameTree();

    Node* root() { return &m_root; }
    const Node* root() const { return &m_root; }
    // Replaces every node at once (the caller resets its model around it).
    void assign(const std::vector<Spec>& top);
    void clear() { assign({}); }
    // Turns the nodes into `top`, reporting each step to `listener`.
    void sync(const std::vector<Spec>& top, Listener& listener);
    // Gives every node of that name the new one; the nodes renamed.
    QList<Node*> rename(const QString& oldName, const QString& newName);
    QList<Node*> nodes(const QString& name) const { return m_byName.value(name); }
    static int depth(const Node* node);
    int size() const { return m_count; }

private:
    void build(Node* parent, const std::vector<Spec>& specs);
    void forget(Node* node);
    static void renumber(Node* parent, int from);
    void place(Node* parent, const std::vector<Spec>& specs, const QHash<QString, int>& wanted,
               Listener& listener);
    void placeLevel(Node* parent, const std::vector<Spec>& specs,
                    const QHash<QString, int>& wanted, Listener& listener);
    void prune(Node* parent, Listener& listener);
    Node* unsettled(const QString& name, const Node* preferredParent) const;
    void move(Node* node, Node* to, int toRow, Listener& listener);

    Node m_root;
    QHash<QString, QList<Node*>> m_byName;
    int m_count = 0;
};

#endif
