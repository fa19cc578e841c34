// Qt-side handle on one engine tag tree (XmlObject): tag, text and ordered children, no
// attributes. Fields are addressed by paths of tag names that start with the tag of the node
// where the search starts.
//
// Ownership: a KXml built from text, from a tag and a value, or around a given tree owns that
// tree and frees it when destroyed. A KXml returned by getOXmlField, and one whose tree was
// appended to another by addSubObject(KXml*), only refers to nodes of a tree owned elsewhere:
// it is valid while that tree lives, and destroying it frees nothing.
#ifndef KXML_H
#define KXML_H

#include <QList>
#include <QString>
#include <QStringList>

struct XmlObjectStruct;

class KXml
{
public:
    KXml();
    explicit KXml(const QString& text);
    KXml(const QString& header, const QString& value);
    explicit KXml(XmlObjectStruct* tree);
    ~KXml();

    KXml(const KXml&) = delete;
    KXml& operator=(const KXml&) = delete;

    XmlObjectStruct* getXmlObj() const;
    bool isNull() const;
    // False for a wrapper that refers to nodes owned by another tree.
    bool ownsTree() const;

    bool addSubObject(const QString& header, const QString& value);
    // Appends the other object's tree as the root's last child; that tree then belongs to this
    // one and the other object becomes a non-owning reference to it. Refused (false) for a
    // non-owning other object and for a tree that holds this object's root.
    bool addSubObject(KXml* other);
    bool importFromStream(const QString& text);

    // The first node in document order whose tag chain from the root equals the path and whose
    // text equals value (any text when value is empty), as a new non-owning KXml (null inside
    // when nothing matches). The caller deletes the returned object.
    KXml* getOXmlField(const QStringList& path, const QString& value) const;
    static XmlObjectStruct* getOXmlField(XmlObjectStruct* node, const QStringList& path,
                                         const QString& value);
    // list = path followed by a value filter; replaces the found node's text.
    bool replaceValue(const QStringList& list, const QString& text);
    QString getStringField(const QStringList& path) const;
    QString getHeader() const;
    QString getField() const;

    QString toQString() const;
    QString exportToStream() const;
    QStringList cutSubOXml() const;
    QList<QStringList> getAllHeadersAndValues(const QString& header, XmlObjectStruct* node = nullptr,
                                              const QStringList& prefix = QStringList()) const;

private:
    void release();

    XmlObjectStruct* m_root;
    bool m_owns;
};

#endif
