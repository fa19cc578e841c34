#include "KOMix.h"

#include "EngineText.h"
#include "KMix.h"
#include "KObjFile.h"

KOMix::KOMix(KMix* mix, KObjFile* document, const QString& name)
    : m_mix(mix ? KMix_clone(mix) : nullptr)
    , m_document(document)
{
    if (m_mix && !name.isEmpty())
        KMix_setName(m_mix, EngineText::key(name).constData());
}

KOMix::KOMix(const QString& name, KObjFile* document)
    : m_mix(name.isEmpty() ? nullptr : KMix_create(EngineText::key(name).constData()))
    , m_document(document)
{
}

KOMix::~KOMix()
{
    KMix_delete(&m_mix);
}

bool KOMix::addTrack(const QString& name)
{
    if (isNull())
        return false;
    KTrack* track = m_document->getKTrack(name);
    return track && KMix_addTrack(m_mix, track) >= 1;
}

bool KOMix::removeTrack(const QString& name)
{
    return !isNull() && KMix_removeTrackName(m_mix, EngineText::key(name).constData()) >= 1;
}

bool KOMix::addTracks(const QStringList& names)
{
    for (const QString& name : names)
        if (!addTrack(name))
            return false;
    return true;
}

bool KOMix::removeTracks(const QStringList& names)
{
    for (const QString& name : names)
        if (!removeTrack(name))
            return false;
    return true;
}
