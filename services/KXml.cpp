#include "KXml.h"

#include "AppServices.h"
#include "XmlObject.h"

namespace {
// A temporary engine copy of a text, released when it goes out of scope.
class KString
{
public:
    explicit KString(const QString& text) : m_bytes(AppServices::QStringToKString(text)) {}
    ~KString() { AppServices::freeKString(m_bytes); }
    KString(const KString&) = delete;
    KString& operator=(const KString&) = delete;
    const char* get() const { return m_bytes; }

private:
    char* m_bytes;
};

QString serialise(const XmlObjectStruct* node)
{
    if (!node)
        return QString();
    char* text = XmlToString2(nullptr, node);
    QString result = AppServices::KStringToQString(text);
    AppServices::freeKString(text);
    return result;
}

XmlObjectStruct* parse(const QString& text)
{
    if (text.isEmpty())
        return nullptr;
    KString bytes(text);
    // A node written with both text and children reads back with both.
    return bytes.get() ? XmlParserFromStringKeepingText(bytes.get()) : nullptr;
}

bool contains(const XmlObjectStruct* tree, const XmlObjectStruct* node)
{
    if (!tree)
        return false;
    if (tree == node)
        return true;
    for (int i = 0; i < tree->count; ++i) {
        if (contains(tree->children[i], node))
            return true;
    }
    return false;
}
} // namespace

KXml::KXml() : m_root(nullptr), m_owns(true) {}

KXml::KXml(const QString& text) : m_root(parse(text)), m_owns(true) {}

KXml::KXml(const QString& header, const QString& value) : m_root(nullptr), m_owns(true)
{
    KString name(header);
    KString text(value);
    m_root = CreateXmlObject(name.get(), text.get());
}

KXml::KXml(XmlObjectStruct* tree) : m_root(tree), m_owns(true) {}

KXml::~KXml()
{
    release();
}

void KXml::release()
{
    if (m_owns)
        DeleteRecXmlObject(m_root);
    m_root = nullptr;
    m_owns = true;
}

XmlObjectStruct* KXml::getXmlObj() const
{
    return m_root;
}

bool KXml::isNull() const
{
    return m_root == nullptr;
}

bool KXml::ownsTree() const
{
    return m_owns;
}

bool KXml::addSubObject(const QString& header, const QString& value)
{
    if (!m_root)
        return false;
    KString name(header);
    KString text(value);
    XmlObjectStruct* child = CreateXmlObject(name.get(), text.get());
    if (!child)
        return false;
    if (AddSubObject(m_root, child) > 0)
        return true;
    DeleteRecXmlObject(child);
    return false;
}

bool KXml::addSubObject(KXml* other)
{
    if (!m_root || !other || other == this || !other->m_root || !other->m_owns)
        return false;
    // Appending a tree that holds this node would make a cycle.
    if (contains(other->m_root, m_root))
        return false;
    if (AddSubObject(m_root, other->m_root) <= 0)
        return false;
    other->m_owns = false;
    return true;
}

bool KXml::importFromStream(const QString& text)
{
    release();
    m_root = parse(text);
    return m_root != nullptr;
}

XmlObjectStruct* KXml::getOXmlField(XmlObjectStruct* node, const QStringList& path,
                                     const QString& value)
{
    if (path.isEmpty() || !node || !node->name)
        return nullptr;
    if (AppServices::KStringToQString(node->name) != path.first())
        return nullptr;
    if (path.size() == 1) {
        if (value.isEmpty() || AppServices::KStringToQString(node->text) == value)
            return node;
        return nullptr;
    }
    const QStringList rest = path.mid(1);
    for (int i = 0; i < node->count; ++i) {
        XmlObjectStruct* child = node->children[i];
        if (!child || !child->name || AppServices::KStringToQString(child->name) != rest.first())
            continue;
        if (XmlObjectStruct* found = getOXmlField(child, rest, value))
            return found;
    }
    return nullptr;
}

KXml* KXml::getOXmlField(const QStringList& path, const QString& value) const
{
    KXml* result = new KXml(getOXmlField(m_root, path, value));
    result->m_owns = false;
    return result;
}

bool KXml::replaceValue(const QStringList& list, const QString& text)
{
    if (list.isEmpty())
        return false;
    XmlObjectStruct* node = getOXmlField(m_root, list.mid(0, list.size() - 1), list.last());
    if (!node)
        return false;
    char* old = node->text;
    node->text = AppServices::QStringToKString(text);
    AppServices::freeKString(old);
    return true;
}

QString KXml::getStringField(const QStringList& path) const
{
    const XmlObjectStruct* node = getOXmlField(m_root, path, QString());
    return node ? AppServices::KStringToQString(node->text) : QString();
}

QString KXml::getHeader() const
{
    if (!m_root || !m_root->name)
        return QString("");
    return AppServices::KStringToQString(m_root->name);
}

QString KXml::getField() const
{
    return m_root ? AppServices::KStringToQString(m_root->text) : QString();
}

QString KXml::toQString() const
{
    return serialise(m_root);
}

QString KXml::exportToStream() const
{
    return serialise(m_root);
}

QStringList KXml::cutSubOXml() const
{
    QStringList result;
    if (!m_root)
        return result;
    for (int i = 0; i < m_root->count; ++i) {
        const XmlObjectStruct* child = m_root->children[i];
        if (!child)
            continue;
        result << AppServices::KStringToQString(child->name);
        result << (child->text ? AppServices::KStringToQString(child->text) : serialise(child));
    }
    return result;
}

QList<QStringList> KXml::getAllHeadersAndValues(const QString& header, XmlObjectStruct* node,
                                                const QStringList& prefix) const
{
    QList<QStringList> result;
    if (!node)
        node = m_root;
    if (!node)
        return result;
    QStringList path = prefix;
    path << AppServices::KStringToQString(node->name);
    if (path.last() == header) {
        path << AppServices::KStringToQString(node->text);
        result << path;
    }
    for (int i = 0; i < node->count; ++i) {
        if (node->children[i])
            result << getAllHeadersAndValues(header, node->children[i], path);
    }
    return result;
}
