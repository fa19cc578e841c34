// The mixing console: the master strip and a row of channel strips, one per element, either
// mixing the document live (mode 0) or editing one level rule (mode 1). Every change goes
// through the document; the console keeps no level of its own.
#ifndef KSUPERUI_H
#define KSUPERUI_H

#include "KVirtualUI.h"

#include <QList>
#include <QMap>
#include <QStringList>
#include <QWidget>

class KCtrlFile;
class KMasterMix;
class KRubberBand;
class KVolumeUI;
class QPushButton;
class QVBoxLayout;

class KSuperUI : public QWidget, public KVirtualUI
{
    Q_OBJECT
public:
    KSuperUI(KCtrlFile* document, int verticalOrigin, KVirtualUI::VolUIMode mode,
             QWidget* parent = nullptr);
    ~KSuperUI() override;

    // KVirtualUI
    void changeVolume(const QString& name, int level) override;
    void setVolume(const QString& name, int level) override;
    QMap<QString, KStructVol> getGroupInfos(const QString& group) override;
    void changeStatus(const QString& name, int lockMode, double level) override;
    void changeMin(const QString& name, int level) override;
    void changeMax(const QString& name, int level) override;
    void changeMute(const QString& name, bool on) override;
    void changeSolo(const QString& name, bool on) override;
    void changeVisible(const QString& name, bool pinned) override;
    void changeName(const QString& oldName, const QString& newName) override;
    void setPano(const QString& name, double pan) override;
    void endDrop() override;

    void setKCtrlFile(KCtrlFile* document);
    void activeExternConnections(bool on);
    void setRulesMix(bool on) { m_rulesMix = on; }
    void setPixmapPath(const QString& suffix) { m_pixmapSuffix = suffix; }
    int getActiveElementsNb() const;
    bool isFix(const QString& name) const;
    void updateMasterInfo(double pan, int level);

    KMasterMix* master() const { return m_master; }
    KVolumeUI* row() const { return m_row; }
    QString currentRule() const { return m_currentRule; }
    bool isModified() const { return m_modified; }
    int depth() const { return m_depth; }
    QStringList depthList() const { return m_depthList; }
    KRubberBand* sourceMarker() const { return m_sourceMarker; }
    KRubberBand* dropMarker() const { return m_dropMarker; }

public slots:
    void setLevel(int depth);
    void moveUp();
    void moveDown();
    void resetUI();
    void selectItem(QStringList names);
    void setChangedVolumes(QStringList names);
    void updateSliders(QMap<QString, QList<double>> meters, double left, double right);
    void allMute(bool on);
    void allClear();
    void addedWidgetSlot(const QString& name);
    void removedWidgetSlot(const QString& name, int count);
    void newRule_slot(const QString& rule, const QString& comment);
    void switchRule_slot(QString rule);
    void removeRule_slot(const QString& rule);
    void renameRule_slot(const QString& oldName, const QString& newName);
    void saveRule_slot();
    void checkSaveForModidf();

signals:
    void needsSelectItem(QStringList names);
    void dropWithoutRule(QStringList names);
    void needsSwitchToLAstRule();
    void needsRuleListUpdate();
    void mustStopPlayer();
    void mutedState(double level);
    void masterPanChanged(double pan);
    void masterLvlChanged(int level);
    void changedMix();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    KStructVol record(const QString& name) const;
    QMap<QString, KStructVol> records(const QStringList& names) const;
    QStringList playing(const QStringList& names) const;
    void initVolUI(const QStringList& names);
    void deleteRow();
    void saveDefaultLevels();
    void showMasterMute(bool on);
    void markModified();
    // The element names a drop carries that may become strips: no empty, reserved, unknown or
    // repeated names.
    QStringList droppedNames(const QString& text) const;

    KCtrlFile* m_document;
    int m_origin;
    KVirtualUI::VolUIMode m_mode;
    KMasterMix* m_master;
    KVolumeUI* m_row = nullptr;
    QVBoxLayout* m_rowBox;
    QPushButton* m_up;
    QPushButton* m_down;
    int m_depth = 0;
    QStringList m_depthList;
    QStringList m_pinned;
    QString m_currentRule;
    bool m_rulesMix = false;
    bool m_modified = false;
    bool m_allMuted = false;
    bool m_bulkMute = false;
    QString m_pixmapSuffix;
    int m_entryX = 0;
    int m_dropX = 0;
    bool m_dragging = false;
    KRubberBand* m_sourceMarker = nullptr;
    KRubberBand* m_dropMarker = nullptr;
};

#endif
