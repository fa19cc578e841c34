// Stored mixes on the document: naming, selection, master values, mastering curves, mix files and
// rendering a mix to an audio file.
// The mixer header names a field "slots", which Qt defines as a keyword: it comes before Qt.
#include "KMixer.h"

#include "KObjFile.h"

#include <cmath>

#include <QFile>
#include <QFileInfo>

#include "AppServices.h"
#include "EngineText.h"
#include "KAudioConvert.h"
#include "KEqual.h"
#include "KFile.h"
#include "KPlayer.h"
#include "KMix.h"
#include "KMixFile.h"
#include "KOMix.h"
#include "KObjProgress.h"
#include "KRender.h"
#include "tvr_utils.h"

using EngineText::fromEngine;
using EngineText::key;

namespace {

// The stored mix of that name, or null.
KMix* storedMix(_KFile* file, const QString& name)
{
    return file ? findThisSlct(file, key(name).constData()) : nullptr;
}

// Temporary AU file with float samples that Ogg and MP3 targets are rendered to first.
const int TemporaryRenderFormat = 0x30006;
// Vorbis quality of a target code without quality bits.
const float DefaultVorbisQuality = 0.3f;

// "<complete base>_<n>.tmp" in the target's folder, the first n that is free.
QString freeRenderTemporary(const QString& target)
{
    const QFileInfo info(target);
    const QString stem = info.absolutePath() + '/' + info.completeBaseName() + '_';
    for (int n = 0;; ++n) {
        const QString candidate = stem + QString::number(n) + ".tmp";
        if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink())
            return candidate;
    }
}

// The quality that a Vorbis target code carries in its low word (256..266 for 0.0..1.0); a code
// without it gets the default rather than a value the encoder refuses after the whole render.
float vorbisQuality(int code)
{
    const int low = code & KAUDIOFMT_SUB_MASK;
    if (low < KAUDIOFMT_VORBIS_QUALITY_BASE || low > KAUDIOFMT_VORBIS_QUALITY_BASE + 10)
        return DefaultVorbisQuality;
    return static_cast<float>(low - KAUDIOFMT_VORBIS_QUALITY_BASE) / 10.0f;
}

} // namespace

int KObjFile::mixCount() const
{
    return m_file ? qMax(0, MixManager_getMixNbr(m_file->mixes)) : 0;
}

QStringList KObjFile::getMixNames() const
{
    if (!m_file)
        return {};
    int count = 0;
    const char** names = giveSlctName(m_file, &count);
    return EngineText::takeNames(names, count);
}

QString KObjFile::getDefaultMixName() const
{
    const KMix* mix = m_file ? MixManager_getDefaultMix(m_file->mixes) : nullptr;
    return mix ? fromEngine(mix->name) : QString();
}

bool KObjFile::isMix(const QString& name) const
{
    return storedMix(m_file, name) != nullptr;
}

bool KObjFile::saveCurrentMix(const QString& name)
{
    const KProjectLock lock;
    return m_file && !name.isEmpty() && saveCurrentSlct(m_file, key(name).constData()) > 0;
}

bool KObjFile::removeMix(const QString& name)
{
    const KProjectLock lock;
    KMix* mix = storedMix(m_file, name);
    if (!mix || MixManager_removeMix(m_file->mixes, key(name).constData()) <= 0)
        return false;
    // The manager only unlinks it.
    KMix_delete(&mix);
    return true;
}

bool KObjFile::renameMix(const QString& oldName, const QString& newName)
{
    const KProjectLock lock;
    return m_file && !newName.isEmpty()
           && MixManager_renameMix(m_file->mixes, key(oldName).constData(),
                                   key(newName).constData())
                  > 0;
}

bool KObjFile::setCurrentMix(const QString& name)
{
    const KProjectLock lock;
    KMix* mix = storedMix(m_file, name);
    return mix && setMixAsCurrentMix(m_file, mix, 1) > 0;
}

bool KObjFile::setKmixAsCurrent(KMix* mix)
{
    const KProjectLock lock;
    return m_file && mix && setMixAsCurrentMix(m_file, mix, 1) > 0;
}

KMix* KObjFile::getCurrentKmix() const
{
    KMix* current = m_file ? MixManager_getCurrentMix(m_file->mixes) : nullptr;
    KMix* clone = current ? KMix_clone(current) : nullptr;
    if (clone && k_setCurrentLevelsInMix(m_file, clone) != 1)
        KMix_delete(&clone);
    return clone;
}

void KObjFile::setMixOnPlay(const QString& name)
{
    const KProjectLock lock;
    if (m_file)
        MixManager_setMixOnPlay(m_file->mixes, key(name).constData());
}

bool KObjFile::addTrackInCurMix(const QString& name)
{
    const KProjectLock lock;
    return isTrack(name) && addTrackInCurrentMix(m_file, key(name).constData()) > 0;
}

bool KObjFile::removeTrackFromCurMix(const QString& name)
{
    const KProjectLock lock;
    return isTrack(name) && removeTrackFromCurrentMix(m_file, key(name).constData()) > 0;
}

int KObjFile::getMixLevel(const QString& mix) const
{
    const KMix* stored = storedMix(m_file, mix);
    return stored ? doubleToCB(stored->masterGain) : 0;
}

double KObjFile::getMixPan(const QString& mix) const
{
    const KMix* stored = storedMix(m_file, mix);
    return stored ? stored->masterPan : 0.0;
}

// The stored mix of that name, or the current mix for an empty or unknown name.
static KMix* storedOrCurrentMix(_KFile* file, const QString& name)
{
    if (!file)
        return nullptr;
    KMix* mix = name.isEmpty() ? nullptr : storedMix(file, name);
    return mix ? mix : file->mixes->current;
}

void KObjFile::setMixLevel(const QString& mix, int level)
{
    const KProjectLock lock;
    if (KMix* target = storedOrCurrentMix(m_file, mix))
        target->masterGain = cBToDouble(level);
}

void KObjFile::setMixPan(const QString& mix, double pan)
{
    const KProjectLock lock;
    if (KMix* target = storedOrCurrentMix(m_file, mix))
        target->masterPan = pan;
}

QMap<int, double> KObjFile::getMixMastering(const QString& mix) const
{
    QMap<int, double> points;
    const _KEqualization* curve = m_file ? k_getMixMastering(m_file, key(mix).constData()) : nullptr;
    for (int i = 0; i < KEqual_getNbFreq(curve); ++i)
        points.insert(static_cast<int>(std::lround(KEqual_getFreqAt(curve, i))),
                      AppServices::amplitudeToDecibel(KEqual_getAmplAt(curve, i)));
    return points;
}

// Copies the curve into the mix, releases it and tells the player; true when the mix took it.
static bool storeMastering(_KFile* file, const QString& mix, _KEqualization* curve)
{
    const QByteArray mixKey = key(mix);
    const bool stored = curve && k_setMixMastering(file, mixKey.constData(), curve) == 1;
    KEqual_delete(&curve);
    if (stored)
        so_mixEqualMoved(mixKey.constData());
    return stored;
}

bool KObjFile::setMixMastering(const QString& mix, const QMap<int, double>& hzToDb)
{
    const KProjectLock lock;
    if (!m_file || hzToDb.isEmpty() || mix.isEmpty())
        return false;
    _KEqualization* curve = KEqual_new();
    if (!curve)
        return false;
    for (auto it = hzToDb.constBegin(); it != hzToDb.constEnd(); ++it)
        KEqual_setAmplitude(curve, it.key(), AppServices::decibelToAmplitude(it.value()));
    return storeMastering(m_file, mix, curve);
}

bool KObjFile::setMixMastering(const QString& mix, int hz, double db, int index)
{
    const KProjectLock lock;
    if (!m_file || hz < 0 || index < 0)
        return false;
    const QByteArray mixKey = key(mix);
    const double gain = AppServices::decibelToAmplitude(db);
    if (_KEqualization* curve = k_getMixMastering(m_file, mixKey.constData())) {
        if (KEqual_setAmplitudeAt(curve, hz, gain, index) != 1)
            return false;
        so_mixEqualMoved(mixKey.constData());
        return true;
    }
    const double frequency = hz;
    return storeMastering(m_file, mix, KEqual_initAmplitudes(&frequency, &gain, 1));
}

void KObjFile::removeMixMasteringFreq(const QString& mix, int hz)
{
    const KProjectLock lock;
    if (_KEqualization* curve = m_file ? k_getMixMastering(m_file, key(mix).constData()) : nullptr)
        KEqual_eraseFreq(curve, hz);
}

bool KObjFile::loadTovixFile(const QString& path)
{
    const KProjectLock lock;
    return m_file && loadTovraMixFile(m_file, QFile::encodeName(path).constData()) > 0;
}

bool KObjFile::exportTovixFile(const QString& mix, const QString& path, bool fresh)
{
    return m_file
           && exportTovraMixToFile(m_file, QFile::encodeName(path).constData(),
                                   key(mix).constData(), fresh ? KMIXFILE_NEW : KMIXFILE_ADD)
                  > 0;
}

QString KObjFile::getTovixFileId(const QString& path) const
{
    char* id = getIdFromMixTovraFile(QFile::encodeName(path).constData());
    const QString text = id ? fromEngine(id) : QString("");
    EngineText::release(id);
    return text;
}

KOMix* KObjFile::getKOMix(const QString& name)
{
    return isMix(name) ? new KOMix(name, this) : nullptr;
}

bool KObjFile::addMixLink(KOMix* mix)
{
    const KProjectLock lock;
    if (!m_file || !mix || mix->isNull())
        return false;
    // The manager gets a copy: the handle keeps (and frees) its own mix.
    KMix* copy = KMix_clone(mix->getKMix());
    if (!copy)
        return false;
    if (MixManager_addMix(m_file->mixes, copy) > 0)
        return true;
    KMix_delete(&copy);
    return false;
}

bool KObjFile::removeMixLink(KOMix* mix)
{
    const KProjectLock lock;
    if (!m_file || !mix || mix->isNull())
        return false;
    const char* name = mix->getKMix()->name;
    KMix* stored = MixManager_getMix(m_file->mixes, name);
    if (!stored || MixManager_removeMixLink(m_file->mixes, name) <= 0)
        return false;
    KMix_delete(&stored);
    return true;
}

bool KObjFile::exportTovixToAudioFile(const QString& mix, const QString& path,
                                      KStreamFormat* format, KObjProgress* progress)
{
    if (!m_file || !format || path.isEmpty())
        return false;
    KProgress* record = progress ? progress->getKProg() : nullptr;
    const QByteArray mixKey = key(mix);
    const QByteArray target = QFile::encodeName(path);
    if (KAudioFmt_isSndFileFmt(format->code) == 1) {
        const bool rendered = k_exportTovixToAudioFile(m_file, mixKey.constData(),
                                                       target.constData(), format, record)
                              == 1;
        if (!rendered)
            reportExportFailure(m_file, path, progress);
        return rendered;
    }

    const int major = format->code & KAUDIOFMT_MAJOR_MASK;
    if (major != KAUDIOFMT_VORBIS && major != KAUDIOFMT_MPEG)
        return false;
    const QString temporary = freeRenderTemporary(path);
    const QByteArray kTemporary = QFile::encodeName(temporary);
    KStreamFormat* floatFormat = KStreamFormat_clone(format);
    if (!floatFormat)
        return false;
    floatFormat->code = TemporaryRenderFormat;
    floatFormat->bits = KAudioFmt_getNumberBits(TemporaryRenderFormat);
    const int rendered =
        k_exportTovixToAudioFile(m_file, mixKey.constData(), kTemporary.constData(), floatFormat,
                                 record);
    KStreamFormat_delete(&floatFormat);
    bool converted = false;
    if (rendered == 1) {
        if (major == KAUDIOFMT_VORBIS) {
            converted = convertSndfileToOgg(kTemporary.constData(), target.constData(),
                                            vorbisQuality(format->code), record)
                        == 1;
        } else {
            const int bitrate = format->extra ? format->extra->values[2] : 0;
            converted = k_waveToMp3(kTemporary.constData(), target.constData(), bitrate) == 1;
        }
    }
    // Never leave the large float render behind, whatever happened.
    QFile::remove(temporary);
    if (!converted)
        reportExportFailure(m_file, path, progress);
    return converted;
}
