// The document the editor uses: a KObjFile that announces every change by a signal, keeps the
// checkpoint and the user backup that restore a whole project, and the per-track stereo choices
// of the distributable export. Every call comes on the GUI thread, except addTrack and
// exportToTovraFile (worker threads under the progress dialog).
#ifndef KCTRLFILE_H
#define KCTRLFILE_H

#include <QHash>

#include "KMixSolver.h"
#include "KObjFile.h"

class QWidget;
class KPlayerFunctions;

class KCtrlFile : public KObjFile
{
    Q_OBJECT

public:
    explicit KCtrlFile(QWidget* parent = nullptr);
    ~KCtrlFile() override;

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
    // After a successful load: announces the new project.
    virtual void projectLoaded();
    // Tells every holder to drop its pointers into the old project (playback has stopped).
    void aboutToReplaceProject() override;

private:
    // Checks the level rules and announces the moved levels.
    void announceLevelRules();

    QHash<QString, bool> m_exportToStereo;
    _KFile* m_checkpoint = nullptr;
    _KFile* m_backup = nullptr;
    KPlayerFunctions* m_player = nullptr;
    QWidget* m_parent;
};

#endif
