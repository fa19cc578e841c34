// The document the editor uses: a KObjFile that announces every change by a signal, keeps the
// checkpoint and the user backup that restore a whole project, and the per-track stereo choices
// of the distributable export. Every call comes on the GUI thread, except addTrack and
// exportToTovraFile (worker threads under the progress dialog).
#ifndef KCTRLFILE_H
#define KCTRLFILE_H

#include <QHash>

#include <functional>

#include "KMixSolver.h"
#include "KObjFile.h"

class QWidget;
class KPlayerFunctions;

class KCtrlFile : public KObjFile
{
    Q_OBJECT

public:
    // The checked edit a rule check speaks about, naming the texts of its message boxes.
    enum EActCnst {
        ActCreateGroup = 0,
        ActCreateExclu = 1,
        ActCreateImply = 2,
        ActCreateEquiv = 3,
        ActModifyGroup = 4,
        ActRemoveGroup = 5,
        ActRemoveConstraint = 6,
        ActRemoveElement = 7,
        ActRemoveEltFromGroup = 8,
        ActLoadProject = 9,
        ActCreateNotMute = 10
    };
    Q_ENUM(EActCnst)

    explicit KCtrlFile(QWidget* parent = nullptr);
    ~KCtrlFile() override;

    static QString getMsgTitle(EActCnst act);
    static QString getWarningMsg(EActCnst act);
    static QString getErrorMsg(EActCnst act);

    // Edits of structure and rules. Each takes a checkpoint, makes the edit and checks that the
    // grouped tracks can still play: accepted, kept after a warning answered Ignore, or else the
    // checkpoint comes back (destroyKFile, then reloaded). A failed edit also puts the checkpoint
    // back, so nothing half-done stays.
    bool createGroup(const QString& name, const QStringList& members, int min, int max);
    bool createGroupWithRemovingElements(const QString& name, const QStringList& members, int min,
                                         int max);
    QString createExclu(const QStringList& members, const QString& comment);
    QString createImply(const QString& implying, const QStringList& implied, const QString& comment);
    QString createEquiv(const QString& name, const QStringList& members, const QString& comment);
    bool setGroupMinMaxPlay(const QString& group, int min, int max);
    // A group that lets no member play is first opened to one playing member; a refusal of that
    // step ends the edit with the project as it was.
    bool addEltInGroup(const QString& group, const QString& element);
    // Moves an element out of its group into another (or from the top level into it) as one
    // edit under one checkpoint and one rule check: a refusal leaves it where it was.
    bool moveEltToGroup(const QString& element, const QString& group);
    bool removeGroup(const QString& group);
    bool removeConstraint(const QString& rule);
    bool removeElement(const QString& name);
    bool removeEltFromGroup(const QString& group, const QString& element);
    bool setEltNotMute(const QString& element, bool on);
    // Several of KObjFile's own edits under one checkpoint and one rule check, as one edit of a
    // dialog: a failed step or a refusal brings the whole project back. Announced by reloaded().
    bool checkedEdits(EActCnst act, const std::function<bool()>& edits);
    // True when the last checked edit was refused after the user was told why (a contradiction)
    // or chose to abort it; false when it succeeded or the edit itself failed without a word.
    bool lastRefusalExplained() const { return m_refusalExplained; }

    QWidget* parentWidget() const { return m_parent; }

    bool setElementOnTop(const QString& name);
    bool improvize();
    bool renameMix(const QString& oldName, const QString& newName);
    bool saveCurrentMix(const QString& name);
    bool saveCurrentSlctToMix(const QString& name);
    bool saveCurrentLevelsToMix(const QString& name);
    QString addTrack(const QString& name, const QString& path, const KStreamFormat* format) override;
    void setEltSolo(const QString& name, bool solo);
    void setEltMute(const QString& name, bool mute);
    bool getEltSolo(const QString& name) const;
    bool getEltMute(const QString& name) const;
    bool isAProject() const;
    bool initPlaying(const QString& mix);
    // Moves the level through the mix-law solver; a refused move changes nothing, emits nothing
    // and returns false.
    bool setElementLevel(const QString& name, int level, TypeMixSolver type, bool outOfMix);

    bool loadFromXmlObj(KXml* description);
    bool loadTovraFile(const QString& path);

    // Stereo (true) or mono export of a track; without a stored choice, whether it has 2 channels.
    bool getExportToStereo(const QString& track) const;
    void setExportToStereo(const QString& track, bool stereo);
    // With a format of 0 channels the stored choices give each track 2 or 1 channels in the
    // written file; the open project keeps its own channel counts.
    bool exportToTovraFile(const QString& path, KStreamFormat* format, KObjProgress* progress,
                           KObjFile::EDefMix policy);

    // The user backup that the console takes before a rule edit that may be discarded.
    void ActiveBackup();
    // Without a backup nothing happens and the result is false.
    bool RestoreBackup();
    void ClearBackup();
    bool hasBackup() const { return m_backup != nullptr; }

    // The document's player, made on first use; it stays the document's.
    KPlayerFunctions* getPlayerFunctions();
    // Replaces the player by a new one and announces it (playerFuncChanged).
    void setPlayerFunctions();

public slots:
    void setMixPan(const QString& mix, double pan);
    void setMixLevel(const QString& mix, int level);
    void setMasterLvl(int level);
    void setMasterPan(double pan);
    bool setVisibleToExport(const QString& name, bool visible);
    void resetSoloMute();
    bool removeMix(const QString& name);
    bool setCurrentMix(const QString& name);
    bool setKmixAsCurrent(KMix* mix);
    bool renameElt(const QString& oldName, const QString& newName);
    bool setMixAsDefault(const QString& name);
    QStringList setEltStatus(const QString& name);
    QStringList setEltStatus(const QString& name, bool play, bool rules);
    QStringList setEltStatus(const QString& name, bool play);
    QStringList setEltsStatus(bool play, bool rules);
    QStringList setEltsStatus(bool play);
    // setEltStatus(name, play, rules) for each name in turn, as one run of the engine, with one
    // signal for every change.
    QStringList setEltsStatus(const QStringList& names, bool play, bool rules);
    void resetEltsStatus();

signals:
    void destroyKFile();
    void mixChanged();
    void eltStatusChanged(QStringList names);
    void renamedMix(QString oldName, QString newName);
    void renamedElement(QString oldName, QString newName);
    void removedElement(QString name);
    void modifiedElement(QString name);
    void removedEltFromGroup(QString name);
    void addedConstraint(QString name, KObjFile::EConst kind);
    void addedGroup(QString name);
    void addedTrack(QString name);
    void reloaded();
    void levelChanged(QStringList names);
    void mixAdded(QString name);
    void mixRemoved(QString name);
    void newDefaultMix(QString name);
    void playerFuncChanged(KPlayerFunctions* player);

protected:
    // Checkpoint: a clone of the project taken before an edit that may be undone.
    bool copyElts();
    // Puts the checkpoint back as the project (destroyKFile, then reloaded); false without one.
    bool resetElts();
    bool hasCheckpoint() const { return m_checkpoint != nullptr; }
    // Asks the play-status solver whether every grouped track can still play, and the user when
    // some cannot; true when the edit stays, false after the checkpoint came back.
    bool checkConstt(EActCnst act);
    // After a successful load: announces the new project.
    virtual void projectLoaded();
    // Tells every holder to drop its pointers into the old project (playback has stopped).
    void aboutToReplaceProject() override;

private:
    // Clears the solo and mute of the elements that stopped and announces the changes.
    QStringList announceStatusChanges(const QStringList& changed, bool rules);
    // Checks the level rules and announces the moved levels.
    void announceLevelRules();
    // The checked road around one edit that reports success: checkpoint, edit, rule check.
    template <typename Edit> bool checkedEdit(EActCnst act, Edit edit);
    template <typename Edit> QString checkedRule(EActCnst act, Edit edit);

    QHash<QString, bool> m_exportToStereo;
    _KFile* m_checkpoint = nullptr;
    bool m_refusalExplained = false;
    _KFile* m_backup = nullptr;
    KPlayerFunctions* m_player = nullptr;
    QWidget* m_parent;
};

#endif
