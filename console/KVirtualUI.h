// What a channel strip or strip row reports to its owner (the console or the row that opened a
// zoomed group), so that a strip never needs to know which one it talks to. Levels are in the
// engine's level units.
#ifndef KVIRTUALUI_H
#define KVIRTUALUI_H

#include <QMap>
#include <QString>

class KVirtualUI
{
public:
    // One strip: level (the default level while editing a rule, else the current one), lock
    // mode (0 free, 1 linked, 2 locked), limits, mute, solo and pan -1..1.
    struct KStructVol {
        int level = 0;
        int mode = 0;
        int min = -24;
        int max = 6;
        bool mute = false;
        bool solo = false;
        double pan = 0.0;
    };
    // 0: live mix of the document; 1: editing a level rule.
    enum VolUIMode { LiveMix = 0, RuleEdit = 1 };

    virtual void changeVolume(const QString& name, int level) = 0;
    virtual void setVolume(const QString& name, int level) = 0;
    virtual QMap<QString, KStructVol> getGroupInfos(const QString& group) = 0;
    virtual void changeStatus(const QString& name, int lockMode, double level) = 0;
    virtual void changeMin(const QString& name, int level) = 0;
    virtual void changeMax(const QString& name, int level) = 0;
    virtual void changeMute(const QString& name, bool on) = 0;
    virtual void changeSolo(const QString& name, bool on) = 0;
    virtual void changeVisible(const QString& name, bool pinned) = 0;
    virtual void changeName(const QString& oldName, const QString& newName) = 0;
    virtual void setPano(const QString& name, double pan) = 0;
    virtual void endDrop() = 0;

protected:
    ~KVirtualUI() = default;
};

#endif
