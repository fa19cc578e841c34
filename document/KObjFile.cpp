#include "KObjFile.h"

#include <cmath>

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include "AppServices.h"
#include "EngineText.h"
#include "KContainer.h"
#include "KEqual.h"
#include "KFile.h"
#include "KPlayer.h"
#include "KSolver.h"
#include "KXml.h"
#include "KZarkXml.h"
#include "XmlObject.h"
#include "tvr_utils.h"

using EngineText::fromEngine;
using EngineText::key;
using EngineText::takeNames;

const QString KObjFile::UnvisibleGrpName = QStringLiteral("__UnvisibleGrp__");
const QString KObjFile::ImportAudioGrpName = QStringLiteral("__ImportAudioGrp__");
const QString KObjFile::DefaultCsttName = QStringLiteral("_cstt_auto_");
const QString KObjFile::NotMutePrefix = QStringLiteral("__NotMute__");
const QString KObjFile::EquivConstPrefix = QStringLiteral("__EquivConst__");
const QString KObjFile::RuleGroupPrefix = QStringLiteral("__UnusefullGrp__");

KObjFile::KObjFile()
    : m_file(newZark(nullptr, 2.0))
{
}

// The playback threads read the project without holding anything of the document's: playback
// ends before a project or its elements are freed. A play that ended by itself is joined too, so
// that no ended thread outlives the document.
static void stopPlayback()
{
    if (so_isPlay())
        so_stop();
    else
        so_joinEndedPlay();
}

KObjFile::~KObjFile()
{
    if (m_file) {
        stopPlayback();
        _freeZark(m_file);
    }
}

void KObjFile::replaceProject(_KFile* project)
{
    stopPlayback();
    aboutToReplaceProject();
    if (m_file)
        _freeZark(m_file);
    m_file = project;
}

KElement* KObjFile::element(const QString& name) const
{
    return m_file ? giveElt(m_file, key(name).constData()) : nullptr;
}

// --- Lifetime and description -------------------------------------------------------------------

KXml* KObjFile::exportToXmlDesc(bool clean) const
{
    if (!m_file)
        return nullptr;
    XmlObject* tree = exportXmlDesc(m_file, clean ? 1 : 0);
    return tree ? new KXml(tree) : nullptr;
}

bool KObjFile::loadFromXmlObj(KXml* description)
{
    if (!m_file || !description || description->isNull())
        return false;
    char* text = XmlToString2(nullptr, description->getXmlObj());
    if (!text)
        return false;
    // The engine builds the new contents aside: a refused description leaves the project as it was.
    stopPlayback();
    const int result = LoadFromXmlDesc(m_file, text);
    EngineText::release(text);
    return result > 0;
}

bool KObjFile::loadTovraFile(const QString& path)
{
    KFile* opened = OpenTovraFile(QFile::encodeName(path).constData());
    if (!opened)
        return false;
    replaceProject(opened);
    return true;
}

// --- Element queries ----------------------------------------------------------------------------

bool KObjFile::contains(const QString& name) const
{
    return element(name) != nullptr;
}

bool KObjFile::isGroup(const QString& name) const
{
    const KElement* elt = element(name);
    return elt && elt->type == KELT_GROUP;
}

bool KObjFile::isTrack(const QString& name) const
{
    const KElement* elt = element(name);
    return elt && elt->type == KELT_TRACK;
}

KTrack* KObjFile::getKTrack(const QString& name) const
{
    return m_file ? giveTrack(m_file, key(name).constData()) : nullptr;
}

QString KObjFile::getParent(const QString& name) const
{
    return m_file ? fromEngine(getParentName(m_file, key(name).constData())) : QString();
}

QStringList KObjFile::getParentList(const QString& name) const
{
    QStringList chain{name};
    QSet<QString> seen{name};
    // A parent already met ends the walk, so a cycle read from a damaged file cannot loop.
    for (QString parent = getParent(name); !parent.isEmpty() && !seen.contains(parent);
         parent = getParent(parent)) {
        seen.insert(parent);
        chain.prepend(parent);
    }
    return chain;
}

QStringList KObjFile::getAllParents(const QString& name) const
{
    if (!m_file)
        return {};
    int count = 0;
    const char** names = k_getAllFathers(m_file, key(name).constData(), &count);
    return takeNames(names, count);
}

bool KObjFile::isParent(const QString& ancestor, const QString& name) const
{
    return m_file && k_isParent(m_file, key(ancestor).constData(), key(name).constData()) == 1;
}

bool KObjFile::isFather(const QString& group, const QString& name) const
{
    return m_file && k_isFather(m_file, key(group).constData(), key(name).constData()) == 1;
}

QStringList KObjFile::getSubElt(const QString& name) const
{
    if (!m_file)
        return {};
    int count = 0;
    const char** names = subEltName(m_file, key(name).constData(), &count);
    return takeNames(names, count);
}

int KObjFile::getSubEltNbr(const QString& name) const
{
    return m_file ? subEltNbr(m_file, key(name).constData()) : -1;
}

int KObjFile::getPlaySubEltNb(const QString& name) const
{
    return m_file ? subPlayEltNbr(m_file, key(name).constData()) : 0;
}

int KObjFile::getElementDepth(const QString& name) const
{
    return m_file ? getLevelFamily(m_file, key(name).constData()) : 0;
}

int KObjFile::getTreeDepth() const
{
    return m_file ? k_getTreeDepth(m_file) : 0;
}

QStringList KObjFile::getEltsInNthDepth(int depth) const
{
    if (!m_file)
        return {};
    int count = 0;
    const char** names = k_getEltsInNthDepth(m_file, depth, &count);
    return takeNames(names, count);
}

QString KObjFile::getEltDesc(const QString& name) const
{
    if (!m_file)
        return QString();
    const QString text = fromEngine(getEltComment(m_file, key(name).constData()));
    return text.isNull() ? QString("") : text;
}

QColor KObjFile::getEltColor(const QString& name) const
{
    KElement* elt = element(name);
    // The engine keeps QColor::rgb() whole (alpha included), so white is its "no colour" -1.
    return elt ? QColor::fromRgb(static_cast<QRgb>(KElement_getColor(elt))) : QColor();
}

// --- Name lists ---------------------------------------------------------------------------------

QStringList KObjFile::getTrackNames() const
{
    if (!m_file)
        return {};
    int count = 0;
    const char** names = tracksName(m_file, &count);
    return takeNames(names, count);
}

QStringList KObjFile::getPlayedTracks() const
{
    QStringList played;
    for (const QString& track : getTrackNames())
        if (elementPlays(track))
            played.append(track);
    return played;
}

QStringList KObjFile::getElementNames() const
{
    QStringList result;
    for (const QString& name : getConstNames()) {
        const QByteArray k = key(name);
        if (!isVisible(m_file, k.constData()))
            continue;
        if (isGroup(name) || (isTrack(name) && !isParent(ImportAudioGrpName, name)))
            result.append(name);
    }
    return result;
}

QStringList KObjFile::getGroupNames() const
{
    QStringList result;
    for (const QString& name : getElementNames())
        if (isGroup(name))
            result.append(name);
    return result;
}

QStringList KObjFile::getConstNames() const
{
    if (!m_file)
        return {};
    int count = 0;
    const char** names = allEltsNames(m_file, &count);
    return takeNames(names, count);
}

QStringList KObjFile::getTopElement() const
{
    if (!m_file)
        return {};
    int count = 0;
    const char** names = structureEltsName(m_file, &count);
    QStringList result;
    for (const QString& name : takeNames(names, count))
        if (hasVisibleParent(m_file, key(name).constData()) == 0)
            result.append(name);
    return result;
}

QStringList KObjFile::getAllElements() const
{
    QStringList result;
    if (!m_file)
        return result;
    for (int id = 0; id < m_file->eltCount; ++id) {
        const KElement* elt = m_file->eltsById ? m_file->eltsById[id] : nullptr;
        if (elt && (elt->type == KELT_TRACK || elt->visible != 0))
            result.append(fromEngine(elt->name));
    }
    return result;
}

// --- Tracks -------------------------------------------------------------------------------------

QString KObjFile::getTrackPath(const QString& name) const
{
    if (!m_file)
        return QString();
    const char* path = getTrackFilePath(m_file, key(name).constData());
    return path ? QFile::decodeName(path) : QString();
}

bool KObjFile::setTrackPath(const QString& name, const QString& path)
{
    const KProjectLock lock;
    if (!isTrack(name) || path.isEmpty())
        return false;
    const QByteArray encoded = QFile::encodeName(path);
    char* kPath = _tvr_strcpy(encoded.constData());
    if (!kPath)
        return false;
    if (addSamplePath(m_file, key(name).constData(), kPath) > 0)
        return true; // the track took the string over
    EngineText::release(kPath);
    return false;
}

int KObjFile::getTrackSize(const QString& name) const
{
    return m_file ? static_cast<int>(tvr_getTrackSize(m_file, key(name).constData())) : 0;
}

double KObjFile::getTrackLength(const QString& name) const
{
    return m_file ? tvr_getTrackLength(m_file, key(name).constData()) : 0.0;
}

double KObjFile::getTrackRate(const QString& name) const
{
    KTrack* track = getKTrack(name);
    return track ? k_getTrackRate(m_file, track) : 0.0;
}

QList<double> KObjFile::getTracksRates() const
{
    QList<double> rates;
    if (!m_file)
        return rates;
    int count = 0;
    double* values = k_getTracksRates(m_file, &count);
    // A track without a rate of its own is stored as -1: it is no rate.
    for (int i = 0; values && i < count; ++i)
        if (values[i] > 0)
            rates.append(values[i]);
    EngineText::release(values);
    return rates;
}

int KObjFile::getTrackChannels(const QString& name) const
{
    KTrack* track = getKTrack(name);
    return track ? k_getTrackChannels(m_file, track) : 0;
}

bool KObjFile::setTrackChannels(const QString& name, int channels)
{
    const KProjectLock lock;
    KTrack* track = getKTrack(name);
    return track && k_setTrackChannels(track, channels) > 0;
}

int KObjFile::getTrackBitrate(const QString& name) const
{
    return isTrack(name) ? k_getTrackBitrate(m_file, key(name).constData()) : 0;
}

int KObjFile::getTrackBPS(const QString& name) const
{
    KTrack* track = getKTrack(name);
    if (!track)
        return 0;
    if ((k_getTrackAudioFmt(m_file, track) & KAUDIOFMT_MAJOR_MASK) == KAUDIOFMT_MPEG)
        return -1;
    return k_getTrackBits(m_file, track);
}

// The MPEG fields of a stream format's extra record: version code, layer, bit rate, mode.
enum { MpegVersion = 0, MpegLayer = 1, MpegBitrate = 2, MpegMode = 3 };

QString KObjFile::getTrackMpgKBPS(const QString& name) const
{
    KTrack* track = getKTrack(name);
    if (!track || !track->format || !track->format->extra)
        return QString();
    const int* values = track->format->extra->values;
    static const char* const modes[] = {"", "CBR", "VBR", "ABR"};
    const int mode = values[MpegMode];
    return QString::number(values[MpegBitrate]) + " ("
           + (mode >= 1 && mode <= 3 ? modes[mode] : "") + ")";
}

QString KObjFile::getTrackAudioFormat(const QString& name) const
{
    KTrack* track = getKTrack(name);
    if (!track)
        return QString();
    const int code = k_getTrackAudioFmt(m_file, track);
    const QString major = fromEngine(KAudioFmt_getMajorFmtName(code));
    if (major == fromEngine(KAudioFmt_getMajorFmtName(KAUDIOFMT_MPEG))) {
        if (!track->format || !track->format->extra)
            return major;
        const int* values = track->format->extra->values;
        static const char* const versions[] = {"1.0", "2.0", "2.5"};
        const int version = values[MpegVersion];
        return major + "  Version " + (version >= 4 && version <= 6 ? versions[version - 4] : "")
               + "  Layer " + QString::number(values[MpegLayer]);
    }
    const QString sub = fromEngine(KAudioFmt_getSubFmtName(code));
    return sub.isEmpty() ? major : major + " (" + sub + ")";
}

QTime KObjFile::getFileLength() const
{
    if (!m_file)
        return QTime();
    double seconds = 0.0;
    {
        // The player works the length out again under the lock when it starts.
        const KProjectLock lock;
        seconds = lengthInSec(m_file);
    }
    return QTime(0, 0).addMSecs(static_cast<int>(seconds * 1000.0));
}

QString KObjFile::addTrack(const QString& name, const QString& path, const KStreamFormat* format)
{
    const KProjectLock lock;
    const QFileInfo info(path);
    // Only a regular file: a FIFO or a device would block the importing thread in the reader.
    if (!m_file || path.isEmpty() || !info.isFile() || !info.isReadable())
        return QString();
    const QString unique = getNewEltName(name.isEmpty() ? info.baseName() : name);
    char* kPath = _tvr_strcpy(QFile::encodeName(path).constData());
    if (!kPath)
        return QString();
    if (addFilteredTrackWithFilePath(m_file, key(unique).constData(), 0, nullptr, -1, kPath, format)
        <= 0) {
        EngineText::release(kPath);
        return QString();
    }
    createImportGroup();
    addEltInGroup(ImportAudioGrpName, unique);
    return unique;
}

QStringList KObjFile::addTracks(const QStringList& paths)
{
    QStringList names;
    for (const QString& path : paths) {
        const QString name = addTrack(QString(), path, nullptr);
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

// --- Levels, pan and curves ---------------------------------------------------------------------

int KObjFile::getElementLevel(const QString& name) const
{
    return element(name) ? getLevel(m_file, key(name).constData()) : 0;
}

void KObjFile::setEltLevel(const QString& name, int level)
{
    const KProjectLock lock;
    if (KElement* elt = element(name))
        changeLevel(elt, level - getLevel(m_file, key(name).constData()));
}

int KObjFile::getDefEltLevel(const QString& name) const
{
    return element(name) ? getDefLevel(m_file, key(name).constData()) : 0;
}

int KObjFile::getMinEltLevel(const QString& name) const
{
    return element(name) ? getMinLevel(m_file, key(name).constData()) : 0;
}

int KObjFile::getMaxEltLevel(const QString& name) const
{
    return element(name) ? getMaxLevel(m_file, key(name).constData()) : 0;
}

void KObjFile::setDefEltLevel(const QString& name, int level)
{
    const KProjectLock lock;
    if (KElement* elt = element(name))
        changeDefLevel(elt, level);
}

void KObjFile::setEltMinLevel(const QString& name, int level)
{
    const KProjectLock lock;
    if (KElement* elt = element(name))
        changeMinLevel(elt, level);
}

void KObjFile::setEltMaxLevel(const QString& name, int level)
{
    const KProjectLock lock;
    if (KElement* elt = element(name))
        changeMaxLevel(elt, level);
}

double KObjFile::getPan(const QString& name) const
{
    KElement* elt = element(name);
    return elt ? KElement_getPan(elt) : 0.0;
}

void KObjFile::setPan(const QString& name, double pan)
{
    const KProjectLock lock;
    if (KElement* elt = element(name))
        KElement_setPan(elt, qBound(-1.0, pan, 1.0));
}

int KObjFile::getMasterLvl() const
{
    return doubleToCB(k_getMasterLvl(m_file));
}

void KObjFile::setMasterLvl(int level)
{
    const KProjectLock lock;
    if (m_file)
        k_setMasterLvl(m_file, cBToDouble(level));
}

double KObjFile::getMasterPan() const
{
    return k_getMasterPan(m_file);
}

void KObjFile::setMasterPan(double pan)
{
    const KProjectLock lock;
    if (m_file)
        k_setMasterPan(m_file, pan);
}

QMap<int, double> KObjFile::getEqualization(const QString& track) const
{
    QMap<int, double> points;
    KTrack* kTrack = getKTrack(track);
    const _KEqualization* curve = kTrack ? KTrack_getEqual(kTrack) : nullptr;
    // Each point's own amplitude under its rounded frequency: reading the spline at a truncated
    // frequency would give another value.
    for (int i = 0; i < KEqual_getNbFreq(curve); ++i)
        points.insert(static_cast<int>(std::lround(KEqual_getFreqAt(curve, i))),
                      KEqual_getAmplAt(curve, i));
    return points;
}

void KObjFile::removeEqualFreq(const QString& track, int hz)
{
    KTrack* kTrack = getKTrack(track);
    if (_KEqualization* curve = kTrack ? KTrack_getEqual(kTrack) : nullptr)
        KEqual_eraseFreq(curve, hz);
}

bool KObjFile::setEqualization(const QString&, const QMap<int, double>&)
{
    fprintf(stdout, "*** WARNING : function not yet implemented in %s on line %d\n", __FILE__,
            __LINE__);
    return false;
}

bool KObjFile::setEqualization(const QString&, int, double, int)
{
    fprintf(stdout, "*** WARNING : function not yet implemented in %s on line %d\n", __FILE__,
            __LINE__);
    return false;
}

// --- Visibility and colour ----------------------------------------------------------------------

void KObjFile::show(const QString& name)
{
    const KProjectLock lock;
    if (m_file)
        showElt(m_file, key(name).constData());
}

void KObjFile::hide(const QString& name)
{
    const KProjectLock lock;
    if (m_file)
        hideElt(m_file, key(name).constData());
}

void KObjFile::hideRec(const QString& name)
{
    const KProjectLock lock;
    if (KElement* elt = element(name))
        _hideEltRec(elt);
}

void KObjFile::setEltColor(const QString& name, const QColor& colour, bool recursive)
{
    if (!colour.isValid() || !element(name))
        return;
    const int rgb = static_cast<int>(colour.rgb());
    // Each element of the subtree once, even when groups share members.
    QSet<QString> seen;
    QStringList pending{name};
    while (!pending.isEmpty()) {
        const QString current = pending.takeLast();
        if (seen.contains(current))
            continue;
        seen.insert(current);
        if (KElement* elt = element(current)) {
            KElement_setColor(elt, rgb);
            if (recursive && elt->type != KELT_TRACK)
                pending.append(getSubElt(current));
        }
    }
}

// --- Song metadata ------------------------------------------------------------------------------

QString KObjFile::getMediaInfo(const QString& key_) const
{
    if (!m_file)
        return QString();
    const QString value = fromEngine(giveSongField(m_file, key(key_).constData()));
    return value.isNull() ? QString("") : value;
}

QString KObjFile::getTitle() const { return getMediaInfo("TITLE"); }
QString KObjFile::getAuthor() const { return getMediaInfo("AUTHOR"); }
QString KObjFile::getAlbum() const { return getMediaInfo("ALBUM"); }
QString KObjFile::getCopyright() const { return getMediaInfo("COPYRIGHT"); }
QString KObjFile::getStyle() const { return getMediaInfo("STYLE"); }

unsigned KObjFile::getYear() const
{
    bool ok = false;
    const unsigned year = getMediaInfo("YEAR").toUInt(&ok, 10);
    return ok ? year : 0;
}

bool KObjFile::setMediaInfo(const QString& key_, const QString& value)
{
    if (!m_file || key_.isEmpty() || value.isEmpty())
        return false;
    return addSong(m_file, key(key_).constData(), key(value).constData()) > 0;
}

bool KObjFile::setGenMediaInfo(const QString& title, const QString& author,
                               const QString& copyright, const QString& album,
                               const QString& style, int year)
{
    const QPair<const char*, QString> fields[] = {
        {"TITLE", title}, {"AUTHOR", author}, {"COPYRIGHT", copyright},
        {"ALBUM", album}, {"STYLE", style}};
    for (const auto& field : fields)
        if (!field.second.isEmpty() && !setMediaInfo(field.first, field.second))
            return false;
    return setMediaInfo("YEAR", QString::number(year));
}

void KObjFile::clearMediaInfo()
{
    if (m_file)
        deleteMediaSongs(m_file);
}

QStringList KObjFile::getOtherMediaInfos() const
{
    static const QStringList known{"AUTHOR", "TITLE", "ALBUM", "YEAR", "COPYRIGHT", "STYLE"};
    if (!m_file)
        return {};
    int count = 0;
    const QStringList pairs = takeNames(giveCompleteSongInfos(m_file, &count), count);
    QStringList others;
    for (int i = 0; i + 1 < pairs.size(); i += 2)
        if (!known.contains(pairs[i]))
            others << pairs[i] << pairs[i + 1];
    return others;
}

// --- Other --------------------------------------------------------------------------------------

QString KObjFile::getNewEltName(const QString& base) const
{
    const QString stem = base.isEmpty() ? QStringLiteral("Element") : base;
    if (!contains(stem))
        return stem;
    for (int n = 0;; ++n) {
        const QString candidate = stem + '_' + QString::number(n);
        if (!contains(candidate))
            return candidate;
    }
}

// The reserved prefix a name begins with ("_cstt_auto_" included), or the reserved group name it
// is; empty for a plain name.
static QString reservedPart(const QString& name)
{
    for (const QString* prefix : {&KObjFile::NotMutePrefix, &KObjFile::EquivConstPrefix,
                                  &KObjFile::RuleGroupPrefix, &KObjFile::DefaultCsttName})
        if (name.startsWith(*prefix))
            return *prefix;
    if (name == KObjFile::ImportAudioGrpName || name == KObjFile::UnvisibleGrpName)
        return name;
    return QString();
}

bool KObjFile::renameElt(const QString& oldName, const QString& newName)
{
    const KProjectLock lock;
    // A taken name would make two elements share one table key; "|" separates dragged names; a
    // reserved name would give the element a role it does not have.
    if (!m_file || newName.isEmpty() || newName.contains('|') || contains(newName))
        return false;
    const QString reserved = reservedPart(newName);
    if (!reserved.isEmpty() && (reserved == newName || reserved != reservedPart(oldName)))
        return false;
    return changeEltName(m_file, key(oldName).constData(), key(newName).constData()) > 0;
}

QString KObjFile::getId() const
{
    const QString id = m_file ? fromEngine(m_file->fileId) : QString();
    return id.isNull() ? QString("") : id;
}

QString KObjFile::getPath() const
{
    return m_file ? QFileInfo(fromEngine(m_file->name)).baseName() : QString();
}

QString KObjFile::textError(EReturn code) const
{
    return TovraOLib::getMsgError(code);
}

bool KObjFile::canMixTracks() const
{
    // Every project the engine makes can mix its tracks; only a missing project cannot.
    return m_file != nullptr;
}

bool KObjFile::improvize()
{
    return m_file && randomSlct(m_file) > 0;
}
