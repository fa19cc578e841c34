// A handle on one engine mix that the editor fills by track names. It owns its mix; the
// document lends the tracks.
#ifndef KOMIX_H
#define KOMIX_H

#include <QString>
#include <QStringList>

struct KMix;
class KObjFile;

class KOMix
{
public:
    // Holds a clone of the mix, renamed when the name is not empty.
    KOMix(KMix* mix, KObjFile* document, const QString& name);
    // Holds a new empty mix of that name; an empty name leaves the mix null.
    KOMix(const QString& name, KObjFile* document);
    ~KOMix();
    KOMix(const KOMix&) = delete;
    KOMix& operator=(const KOMix&) = delete;

    bool isNull() const { return !m_mix || !m_document; }
    KMix* getKMix() const { return m_mix; }
    bool addTrack(const QString& name);
    bool removeTrack(const QString& name);
    // One call per name in order, stopping at the first failure; true when all succeeded.
    bool addTracks(const QStringList& names);
    bool removeTracks(const QStringList& names);

private:
    KMix* m_mix;
    KObjFile* m_document;
};

#endif
