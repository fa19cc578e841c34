// The program's actions under integer identifiers. Every action is a child of the registry and
// calls a slot of the given receiver, or of the default receiver when none is given.
#ifndef ACTION_MANAGER_H
#define ACTION_MANAGER_H

#include <QHash>
#include <QIcon>
#include <QKeySequence>
#include <QObject>

class QAction;

class ActionManager : public QObject
{
    Q_OBJECT

public:
    ActionManager(QObject* receiver, QObject* parent = nullptr);
    ~ActionManager() override;

    // slot is a normalised signature as SLOT() makes it. Registering an identifier again
    // replaces the entry; the earlier action stays alive but gives up its shortcut, so that
    // the two never fight over one key.
    void addAction(const int& id, const QString& text, QObject* receiver, const char* slot,
                   const QIcon& icon, const QKeySequence& shortcut);
    void addAction(const int& id, const QString& text, const char* slot, const QIcon& icon,
                   const QKeySequence& shortcut);
    void addAction(const int& id, const QString& text, const char* slot, const QString& iconPath,
                   const QKeySequence& shortcut);
    void addAction(const int& id, const QString& text, QObject* receiver, const char* slot,
                   const QString& iconPath);

    // Null for an identifier that was never registered.
    QAction* getAction(const int& id) const;

private:
    QHash<int, QAction*> m_actions;
    QObject* m_receiver;
};

#endif
