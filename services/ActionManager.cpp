#include "ActionManager.h"

#include "AppServices.h"

#include <QAction>

ActionManager::ActionManager(QObject* receiver, QObject* parent)
    : QObject(parent), m_receiver(receiver)
{
}

ActionManager::~ActionManager() = default;

void ActionManager::addAction(const int& id, const QString& text, QObject* receiver,
                              const char* slot, const QIcon& icon, const QKeySequence& shortcut)
{
    auto* action = new QAction(icon, text, this);
    action->setShortcut(shortcut);
    if (!receiver)
        receiver = m_receiver;
    if (receiver && slot)
        connect(action, SIGNAL(triggered(bool)), receiver, slot);
    if (QAction* earlier = m_actions.value(id))
        earlier->setShortcut(QKeySequence());
    m_actions.insert(id, action);
}

void ActionManager::addAction(const int& id, const QString& text, const char* slot,
                              const QIcon& icon, const QKeySequence& shortcut)
{
    addAction(id, text, nullptr, slot, icon, shortcut);
}

void ActionManager::addAction(const int& id, const QString& text, const char* slot,
                              const QString& iconPath, const QKeySequence& shortcut)
{
    addAction(id, text, nullptr, slot, AppServices::pictureIcon(iconPath), shortcut);
}

void ActionManager::addAction(const int& id, const QString& text, QObject* receiver,
                              const char* slot, const QString& iconPath)
{
    addAction(id, text, receiver, slot, AppServices::pictureIcon(iconPath), QKeySequence());
}

QAction* ActionManager::getAction(const int& id) const
{
    return m_actions.value(id, nullptr);
}
