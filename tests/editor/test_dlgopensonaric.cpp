// The start dialog: its rows of recent projects, and each link ending the dialog before its
// command runs, including the commands that show a start dialog again.
#include "DlgOpenSonaric.h"
#include "KUrlLabel.h"
#include "MainWindowFixture.h"
#include "UrlCatcher.h"
#include "ProjectFixture.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QTest>
#include <QUrl>

#include <functional>

namespace {
// Answers the start dialogs in turn: each click names the link to press ("" closes the dialog
// with its close button); message boxes are recorded.
class StartPrompts
{
public:
    explicit StartPrompts(QStringList clicks) : script(std::move(clicks))
    {
        previous = KPrompt::setHandler([this](const KPrompt::Request& request) {
            KPrompt::Answer answer;
            auto* dialog = qobject_cast<DlgOpenSonaric*>(request.dialog);
            if (!dialog) {
                boxes << request.title;
                return answer;
            }
            ++shown;
            EXPECT_EQ(DlgOpenSonaric::current(), dialog);
            dialog->QDialog::open();
            if (!screen.isEmpty())
                grabToScreens(dialog, screen);
            const QString click = script.isEmpty() ? QString() : script.takeFirst();
            KUrlLabel* link = nullptr;
            for (KUrlLabel* label : dialog->findChildren<KUrlLabel*>())
                if (label->text() == click)
                    link = label;
            if (link)
                QTest::mouseClick(link, Qt::LeftButton);
            else
                dialog->close();
            EXPECT_TRUE(dialog->isHidden());
            answer.button = dialog->result();
            return answer;
        });
    }
    ~StartPrompts() { KPrompt::setHandler(previous); }

    QStringList script;
    QStringList boxes;
    int shown = 0;
    QString screen;

private:
    KPrompt::Handler previous;
};

class StartDialogTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        window->getParams()->setLanguage("EN");
        window->getParams()->setRecentPrj(QStringList());
    }
    // The texts and tool tips of the recent-projects grid, row by row.
    static QStringList gridRows(QGridLayout* grid, bool tips)
    {
        QStringList rows;
        for (int row = 0; row < grid->rowCount(); ++row)
            if (QLayoutItem* item = grid->itemAtPosition(row, 1))
                if (auto* label = qobject_cast<QLabel*>(item->widget()))
                    rows << (tips ? label->toolTip() : label->text());
        return rows;
    }
    fixtures::TempDir dir;
};
} // namespace

TEST_F(StartDialogTest, RecentProjectsAreListedNewestFirstAboveOpen)
{
    for (int count : {0, 6}) {
        QStringList recent, names, paths;
        for (int i = count; i > 0; --i) {
            names << QString("song %1").arg(i);
            paths << QString("/music/song%1.tvprj").arg(i);
            recent << names.last() << paths.last();
        }
        window->getParams()->setRecentPrj(recent);
        QStringList rows, tips;
        bool background = false;
        const KPrompt::Handler previous = KPrompt::setHandler([&](const KPrompt::Request& request) {
            auto* dialog = qobject_cast<DlgOpenSonaric*>(request.dialog);
            if (dialog) {
                rows = gridRows(dialog->recentGrid(), false);
                tips = gridRows(dialog->recentGrid(), true);
                background = dialog->palette().brush(QPalette::Window).texture().size() == QSize(584, 518);
                EXPECT_EQ(dialog->windowTitle(), window->getParams()->getSoftName());
                dialog->show();
                grabToScreens(dialog, QString("DlgOpenSonaric_%1").arg(count));
            }
            return KPrompt::Answer();
        });
        window->openStartDialog();
        KPrompt::setHandler(previous);
        EXPECT_EQ(rows, names + QStringList{"Open..."});
        EXPECT_EQ(tips.mid(0, count), paths);
        EXPECT_TRUE(background);
        EXPECT_EQ(DlgOpenSonaric::current(), nullptr);
    }
}

TEST_F(StartDialogTest, EachLinkEndsTheDialogThenRunsItsCommand)
{
    const QString gone = QString::fromStdString(dir.file("gone.tvprj"));
    window->getParams()->setRecentPrj({"gone", gone});
    {
        // A recent project that has gone: the failure is reported and a fresh dialog offered.
        StartPrompts prompts({"gone", ""});
        window->openStartDialog();
        EXPECT_EQ(prompts.shown, 2);
        EXPECT_EQ(prompts.boxes, QStringList{"Open a project"});
        EXPECT_EQ(window->getTovraFile(), nullptr);
    }
    {
        // "Open...": the file chooser; cancelled without a project, the start dialog comes back.
        StartPrompts prompts({"Open...", ""});
        window->openStartDialog();
        EXPECT_EQ(prompts.shown, 2);
        EXPECT_EQ(prompts.boxes, QStringList{"Open a project"});
    }
    {
        UrlCatcher catcher;
        StartPrompts prompts({"Read the latest news"});
        window->openStartDialog();
        StartPrompts docPrompts({"Read the documentation"});
        window->openStartDialog();
        ASSERT_EQ(catcher.urls.size(), 2);
        EXPECT_EQ(catcher.urls[0].toString(), QString(TOVRA_TEST_WEB_HOME));
        EXPECT_TRUE(catcher.urls[1].toLocalFile().contains("/documentation/EN/")) << catcher.urls[1].toString().toStdString();
        EXPECT_EQ(window->getTovraFile(), nullptr);
    }
    {
        StartPrompts prompts({"New Tovra project"});
        window->openStartDialog();
        EXPECT_NE(window->getTovraFile(), nullptr);
        EXPECT_TRUE(prompts.boxes.isEmpty());
    }
    EXPECT_EQ(DlgOpenSonaric::current(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window->findChildren<DlgOpenSonaric*>().isEmpty());
}

TEST_F(StartDialogTest, ClosedByTheMainWindowWhileShown)
{
    // A project opened while the start dialog is up ends it with result 0.
    bool ended = false;
    const KPrompt::Handler previous = KPrompt::setHandler([&](const KPrompt::Request& request) {
        KPrompt::Answer answer;
        if (auto* dialog = qobject_cast<DlgOpenSonaric*>(request.dialog)) {
            dialog->QDialog::open();
            window->newProject(false);
            ended = dialog->isHidden() && DlgOpenSonaric::current() == nullptr;
            answer.button = dialog->result();
        }
        return answer;
    });
    EXPECT_EQ(DlgOpenSonaric::open(window), 0);
    KPrompt::setHandler(previous);
    EXPECT_TRUE(ended);
    EXPECT_NE(window->getTovraFile(), nullptr);
}

#include "moc_UrlCatcher.cpp"
