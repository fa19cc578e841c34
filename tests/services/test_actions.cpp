#include "ActionManager.h"
#include "QtAppEnvironment.h"

#include <QAction>
#include <QPointer>

#include <gtest/gtest.h>

namespace {
class Receiver : public QObject
{
    Q_OBJECT
public:
    int opened = 0;
    int saved = 0;
public slots:
    void open() { ++opened; }
    void save() { ++saved; }
};
} // namespace

TEST(ActionManager, ActionsCallTheirReceiverOrTheDefaultOne)
{
    Receiver defaultReceiver;
    Receiver other;
    ActionManager registry(&defaultReceiver);
    EXPECT_EQ(registry.getAction(99), nullptr);

    registry.addAction(1, "Ouvrir", nullptr, SLOT(open()), QIcon(), QKeySequence("Ctrl+O"));
    registry.addAction(2, "Enregistrer", &other, SLOT(save()), QString());
    registry.addAction(3, "Ouvrir aussi", SLOT(open()), QString(":/Img/none"), QKeySequence("Ctrl+P"));
    registry.addAction(4, "Encore", SLOT(save()), QIcon(), QKeySequence());

    ASSERT_NE(registry.getAction(1), nullptr);
    EXPECT_EQ(registry.getAction(1)->text(), "Ouvrir");
    EXPECT_EQ(registry.getAction(1)->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(registry.getAction(1)->parent(), &registry);
    EXPECT_TRUE(registry.getAction(2)->shortcut().isEmpty());
    EXPECT_EQ(registry.getAction(3)->shortcut(), QKeySequence("Ctrl+P"));

    registry.getAction(1)->trigger();
    registry.getAction(2)->trigger();
    registry.getAction(3)->trigger();
    registry.getAction(4)->trigger();
    EXPECT_EQ(defaultReceiver.opened, 2);
    EXPECT_EQ(defaultReceiver.saved, 1);
    EXPECT_EQ(other.saved, 1);
}

TEST(ActionManager, ReRegisteringReplacesTheEntryWithoutSharingTheShortcut)
{
    Receiver receiver;
    ActionManager registry(&receiver);
    registry.addAction(1, "first", SLOT(open()), QIcon(), QKeySequence("Ctrl+O"));
    QAction* first = registry.getAction(1);
    registry.addAction(1, "second", SLOT(save()), QIcon(), QKeySequence("Ctrl+O"));
    QAction* second = registry.getAction(1);
    ASSERT_NE(first, second);
    EXPECT_EQ(second->text(), "second");
    // The earlier action stays usable where it was placed, without the shortcut.
    EXPECT_EQ(first->parent(), &registry);
    EXPECT_TRUE(first->shortcut().isEmpty());
    EXPECT_EQ(second->shortcut(), QKeySequence("Ctrl+O"));
    first->trigger();
    EXPECT_EQ(receiver.opened, 1);
}

TEST(ActionManager, ActionsGoWithTheRegistry)
{
    Receiver receiver;
    auto* registry = new ActionManager(&receiver);
    registry->addAction(1, "a", SLOT(open()), QIcon(), QKeySequence());
    QPointer<QAction> action = registry->getAction(1);
    delete registry;
    EXPECT_TRUE(action.isNull());
}

#include "test_actions.moc"
