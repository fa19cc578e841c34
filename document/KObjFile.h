// The document over exactly one engine project: every element (track, group, rule, stored mix) is
// addressed by its name, each request becomes the engine's plain function calls, and the engine's
// results come back as Qt values. KCtrlFile derives from it and adds the signals.
//
// Threads: the GUI thread, except addTrack (audio import worker) and the two exports (export
// workers). Edits of what the playback threads read (structure, levels, pan, mixes) hold the
// engine's project lock; freeing or replacing the project stops playback first.
#ifndef KOBJFILE_H
#define KOBJFILE_H

#include <QColor>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTime>

#include "TovraOLib.h"

struct _KFile;
struct KElement;
struct KTrack;
struct KMix;
struct KStreamFormat;
class KXml;
class KOMix;
class KObjProgress;

class KObjFile : public QObject
{
    Q_OBJECT

public:
    // Reserved names.
    static const QString UnvisibleGrpName;  // "__UnvisibleGrp__": left out of the export
    static const QString ImportAudioGrpName; // "__ImportAudioGrp__": imported, not yet placed
    static const QString DefaultCsttName;    // "_cstt_auto_": base of automatic rule names
    static const QString NotMutePrefix;      // "__NotMute__" + element: always-on rule
    static const QString EquivConstPrefix;   // "__EquivConst__" + parent (or "ROOT")
    static const QString RuleGroupPrefix;    // "__UnusefullGrp__" + rule: mix-rule group

    // What the distributable export does when the project has no stored mix.
    enum EDefMix { DefMixAllTracks = 0, DefMixPlain = 1, DefMixNone = 2 };
    // The kind of a rule: 0 implication, 1 exclusion, 2 equivalence, 3 anything else.
    enum EConst { Implication = 0, Exclusion = 1, Equivalence = 2, OtherConst = 3 };
    Q_ENUM(EDefMix)
    Q_ENUM(EConst)

    KObjFile();
    ~KObjFile() override;
    KObjFile(const KObjFile&) = delete;
    KObjFile& operator=(const KObjFile&) = delete;

    // --- Lifetime and description ---------------------------------------------------------------
    _KFile* getKFile() const { return m_file; }
    bool fileIsValid() const { return m_file != nullptr; }
    // The description tree in a new KXml the caller owns; null when the engine refuses.
    KXml* exportToXmlDesc(bool clean) const;
    // Replaces the project's contents by the description; a refused one changes nothing.
    bool loadFromXmlObj(KXml* description);
    // Opens the project file into a new project that replaces the current one only on success.
    bool loadTovraFile(const QString& path);

    // --- Element queries ------------------------------------------------------------------------
    bool contains(const QString& name) const;
    bool isElement(const QString& name) const { return contains(name); }
    bool isGroup(const QString& name) const;
    bool isTrack(const QString& name) const;
    KTrack* getKTrack(const QString& name) const;
    QString getParent(const QString& name) const;
    QStringList getParentList(const QString& name) const;
    QStringList getAllParents(const QString& name) const;
    bool isParent(const QString& ancestor, const QString& name) const;
    bool isFather(const QString& group, const QString& name) const;
    QStringList getSubElt(const QString& name) const;
    int getSubEltNbr(const QString& name) const;
    int getGroupEltCount(const QString& name) const { return getSubEltNbr(name); }
    int getPlaySubEltNb(const QString& name) const;
    int getElementDepth(const QString& name) const;
    int getTreeDepth() const;
    QStringList getEltsInNthDepth(int depth) const;
    QString getEltDesc(const QString& name) const;
    QColor getEltColor(const QString& name) const;

    // --- Name lists -----------------------------------------------------------------------------
    QStringList getTrackNames() const;
    QStringList getPlayedTracks() const;
    QStringList getElementNames() const;
    QStringList getGroupNames() const;
    QStringList getConstNames() const;
    QStringList getTopElement() const;
    QStringList getAllElements() const;

    // --- Tracks ---------------------------------------------------------------------------------
    QString getTrackPath(const QString& name) const;
    bool setTrackPath(const QString& name, const QString& path);
    int getTrackSize(const QString& name) const;
    double getTrackLength(const QString& name) const;
    double getTrackRate(const QString& name) const;
    QList<double> getTracksRates() const;
    int getTrackChannels(const QString& name) const;
    bool setTrackChannels(const QString& name, int channels);
    int getTrackBitrate(const QString& name) const;
    int getTrackBPS(const QString& name) const;
    QString getTrackMpgKBPS(const QString& name) const;
    QString getTrackAudioFormat(const QString& name) const;
    QTime getFileLength() const;
    // The new track's name (unique, from the file's base name when empty), placed in the import
    // group; empty when the file is not a readable regular file or the engine refuses it.
    virtual QString addTrack(const QString& name, const QString& path, const KStreamFormat* format);
    // addTrack for each path with the file's own name and format; the names that came back.
    QStringList addTracks(const QStringList& paths);

    // --- Levels, pan and curves -----------------------------------------------------------------
    int getElementLevel(const QString& name) const;
    void setEltLevel(const QString& name, int level);
    int getDefEltLevel(const QString& name) const;
    int getMinEltLevel(const QString& name) const;
    int getMaxEltLevel(const QString& name) const;
    void setDefEltLevel(const QString& name, int level);
    void setEltMinLevel(const QString& name, int level);
    void setEltMaxLevel(const QString& name, int level);
    double getPan(const QString& name) const;
    void setPan(const QString& name, double pan);
    int getMasterLvl() const;
    void setMasterLvl(int level);
    double getMasterPan() const;
    void setMasterPan(double pan);
    // Hz (rounded) -> linear amplitude of each point of the track's curve.
    QMap<int, double> getEqualization(const QString& track) const;
    void removeEqualFreq(const QString& track, int hz);
    bool setEqualization(const QString& track, const QMap<int, double>& hzToGain);
    bool setEqualization(const QString& track, int hz, double gain, int index);

    // --- Visibility and colour ------------------------------------------------------------------
    void show(const QString& name);
    void hide(const QString& name);
    void hideRec(const QString& name);
    void setEltColor(const QString& name, const QColor& colour, bool recursive);

    // --- Song metadata --------------------------------------------------------------------------
    QString getTitle() const;
    QString getAuthor() const;
    QString getAlbum() const;
    QString getCopyright() const;
    QString getStyle() const;
    unsigned getYear() const;
    QString getMediaInfo(const QString& key) const;
    bool setMediaInfo(const QString& key, const QString& value);
    bool setGenMediaInfo(const QString& title, const QString& author, const QString& copyright,
                         const QString& album, const QString& style, int year);
    void clearMediaInfo();
    QStringList getOtherMediaInfos() const;

    // --- Other ----------------------------------------------------------------------------------
    QString getNewEltName(const QString& base) const;
    // Refuses an empty new name, one already taken, one holding "|" (the drag separator), and a
    // reserved name or prefix unless the old name has the same prefix.
    bool renameElt(const QString& oldName, const QString& newName);
    QString getId() const;
    QString getPath() const;
    QString textError(EReturn code) const;
    bool canMixTracks() const;
    bool improvize();

    // --- Groups and rules -----------------------------------------------------------------------
    int getGroupMinPlay(const QString& group) const;
    int getGroupMaxPlay(const QString& group) const;
    EConst getConstraintType(const QString& name) const;
    bool isConstraint(const QString& name) const;
    QStringList contraintNames() const;
    QStringList rulesNames() const;
    QString getImplying(const QString& rule) const;
    QStringList getAllImplies(const QString& name) const;
    bool isNotMute(const QString& name) const;
    bool elementPlays(const QString& name) const;
    bool isPlay(const QString& name) const { return elementPlays(name); }
    QString nextConstraintName() const;

    void createImportGroup();
    void createUnvisibleGroup();
    bool createGroup(const QString& name, const QStringList& members, int min, int max);
    bool createGroupWithRemovingElements(const QString& name, const QStringList& members, int min,
                                         int max);
    bool addEltInGroup(const QString& group, const QString& element);
    bool removeEltFromGroup(const QString& group, const QString& element);
    bool setElementOnTop(const QString& name);
    bool setGroupMinMaxPlay(const QString& group, int min, int max);
    bool removeGroup(const QString& group);
    bool removeElement(const QString& name);
    bool removeConstraint(const QString& rule);
    bool removeFromAllParents(const QString& name);

    QString createExclu(const QStringList& members, const QString& comment);
    QString createImply(const QString& implying, const QStringList& implied, const QString& comment);
    QString createEquiv(const QString& name, const QStringList& members, const QString& comment);
    QString createNotMute(const QString& rule, const QString& element, const QString& comment);
    bool setEltNotMute(const QString& element, bool on);
    bool createEquivConst(const QString& parent);
    bool addToEquivConst(const QString& element, const QString& parent);
    bool removeFromEquivConst(const QString& element, const QString& parent);
    bool removeEquivConst(const QString& parent);
    bool isUnderEquivConst(const QString& element, const QString& parent) const;
    QString createRuleGroup(const QString& name, const QStringList& members, const QString& comment);
    bool addToRuleGroup(const QString& element, const QString& group);
    bool removeFromRuleGroup(const QString& element, const QString& group);

    // --- Play status ----------------------------------------------------------------------------
    // Switches the element through the engine's rule-aware change; the changed names, empty when
    // the element is unknown, already in that state, or the switch is refused (nothing changed).
    QStringList setEltStatus(const QString& name, const bool& play, const bool& rules);
    // setEltStatus for every track in turn, as one run of the engine: each changed name once, in
    // order of first change.
    QStringList setTracksStatus(bool play, bool rules);
    // setEltStatus for each named element in turn, as one run of the engine: each changed name
    // once, in order of first change. Unknown names are passed over.
    QStringList setElementsStatus(const QStringList& names, bool play, bool rules);
    void resetElementsStatus();
    QStringList checkVolConst();

    // --- Stored mixes ---------------------------------------------------------------------------
    int mixCount() const;
    QStringList getMixNames() const;
    QString getDefaultMixName() const;
    bool isMix(const QString& name) const;
    bool saveCurrentMix(const QString& name);
    bool removeMix(const QString& name);
    bool renameMix(const QString& oldName, const QString& newName);
    bool setCurrentMix(const QString& name);
    bool setKmixAsCurrent(KMix* mix);
    KMix* getCurrentKmix() const;
    void setMixOnPlay(const QString& name);
    bool addTrackInCurMix(const QString& name);
    bool removeTrackFromCurMix(const QString& name);
    int getMixLevel(const QString& mix) const;
    double getMixPan(const QString& mix) const;
    void setMixLevel(const QString& mix, int level);
    void setMixPan(const QString& mix, double pan);
    // Hz (rounded) -> decibels of each point of the mix's mastering curve.
    QMap<int, double> getMixMastering(const QString& mix) const;
    bool setMixMastering(const QString& mix, const QMap<int, double>& hzToDb);
    bool setMixMastering(const QString& mix, int hz, double db, int index);
    void removeMixMasteringFreq(const QString& mix, int hz);
    bool loadTovixFile(const QString& path);
    bool exportTovixFile(const QString& mix, const QString& path, bool fresh);
    QString getTovixFileId(const QString& path) const;
    KOMix* getKOMix(const QString& name);
    bool addMixLink(KOMix* mix);
    bool removeMixLink(KOMix* mix);
    bool exportTovixToAudioFile(const QString& mix, const QString& path, KStreamFormat* format,
                                KObjProgress* progress);

    // --- Export preparation ---------------------------------------------------------------------
    bool isVisibleToExport(const QString& name) const;
    bool setVisibleToExport(const QString& name, bool visible);
    // Writes the distributable file from a clone of the project (the open project is untouched).
    // A raw format in the caller's record becomes AU.
    bool exportToTovraFile(const QString& path, KStreamFormat* format, KObjProgress* progress,
                           EDefMix policy);
    // Why an export or render of `project` to `target` failed, naming the file concerned: the
    // first track whose audio file cannot be read, else the target when it cannot be written,
    // else the target with the engine's own message.
    static QString exportFailureCause(_KFile* project, const QString& target,
                                      const QString& engineMessage);

protected:
    // The export with channel counts given per track name, applied to the clone only.
    bool exportToTovraFile(const QString& path, KStreamFormat* format, KObjProgress* progress,
                           EDefMix policy, const QHash<QString, int>& channels);
    // Called once playback has stopped, before the project is replaced (not from the destructor).
    virtual void aboutToReplaceProject() {}
    // Frees the project and puts `project` in its place (may be null).
    void replaceProject(_KFile* project);

private:
    KElement* element(const QString& name) const;
    // Puts the cause of a failed (not cancelled) export into the progress record, failed state.
    static void reportExportFailure(_KFile* project, const QString& target, KObjProgress* progress);

    _KFile* m_file;
};

#endif
