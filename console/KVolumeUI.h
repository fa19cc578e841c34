// A horizontally scrolling row of channel strips, one per element, which can open a zoomed row
// of a group's children in its own place. Changes go to the owner (the console or the row that
// opened this one); the row reads the document only for play status, levels, mute and solo.
#ifndef KVOLUMEUI_H
#define KVOLUMEUI_H

#include "KVirtualUI.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QStringList>
#include <QWidget>

class KCtrlFile;
class KSuperUI;
class KVolumeWdg;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QScrollArea;

class KVolumeUI : public QWidget, public KVirtualUI
{
    Q_OBJECT
public:
    static constexpr int ColumnWidth = 90;
    static constexpr int RowHeight = 325;

    KVolumeUI(QMap<QString, KStructVol> records, bool closable, int verticalOrigin,
              KVirtualUI::VolUIMode mode, KVolumeUI* parent);
    KVolumeUI(QMap<QString, KStructVol> records, bool closable, int verticalOrigin,
              KVirtualUI::VolUIMode mode, KSuperUI* parent);
    ~KVolumeUI() override;

    // KVirtualUI: passed to the owner, except setVolume and changeName, shown here.
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
    KCtrlFile* document() const { return m_document; }
    double getEltVolume(const QString& name) const;
    int getNbElt() const { return m_strips.size(); }
    QStringList getListElt() const;
    KVolumeWdg* strip(const QString& name) const { return m_byName.value(name); }
    const QList<KVolumeWdg*>& strips() const { return m_strips; }
    KVolumeUI* zoomedRow() const { return m_zoomed; }
    int horizontalScroll() const;
    bool isAllMute() const;
    void setAllMute(bool on);
    void clearAll();
    void updateMuteSolo();
    void setPixmapPath(const QString& suffix);
    void setJauge(const QMap<QString, QList<double>>& meters);
    void zoom(const QString& group);
    void resetWidgets(const QString& name);
    void switchWidgets(const QMap<QString, KStructVol>& records, bool fromDrop, int entryX,
                       int dropX);
    // Shows exactly `records`, in their order: strips of elements still shown are kept and show
    // their new values, the others go, and strips are built only for elements new to the row.
    // A zoomed row is closed.
    void showRecords(const QMap<QString, KStructVol>& records);
    void menu() {}

public slots:
    void resetKVolUI();
    void closeMePlease();

signals:
    void addedElementWidget(const QString& name);
    void removedElementWidget(const QString& name, int remaining);

private:
    KVolumeUI(QMap<QString, KStructVol> records, bool closable, int verticalOrigin,
              KVirtualUI::VolUIMode mode, QWidget* parent, KVirtualUI* owner);
    KVolumeWdg* addStrip(const QString& name, const KStructVol& record, int column);
    void removeStrip(KVolumeWdg* strip);
    void resizeContainer();
    // What a rule-editing row switches on for an element given a strip: the element and, for a
    // group with children, its first child.
    QStringList switchedOnForRule(const QString& name) const;

    KVirtualUI* m_owner;
    KCtrlFile* m_document = nullptr;
    QStringList m_names;
    QList<KStructVol> m_records;
    int m_origin;
    KVirtualUI::VolUIMode m_mode;
    QList<KVolumeWdg*> m_strips;
    QHash<QString, KVolumeWdg*> m_byName;
    KVolumeWdg* m_lastCreated = nullptr;
    KVolumeUI* m_zoomed = nullptr;
    QHBoxLayout* m_outer;
    QScrollArea* m_scroll;
    QWidget* m_container;
    QHBoxLayout* m_stripLayout;
    QLabel* m_hint;
    QPushButton* m_reset;
};

#endif
