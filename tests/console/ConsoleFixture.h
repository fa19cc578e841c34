// A console test's document: tracks t1, t2, t3 from short generated sines, in groups G1{t1,t2}
// and G2{t3}, and message boxes answered from a queue.
#ifndef CONSOLE_FIXTURE_H
#define CONSOLE_FIXTURE_H

#include "../document/DocumentFixtures.h"

#include "KTheme.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include "KCtrlFile.h"
#include "KMixSolver.h"
#include "KPrompt.h"
#include "KSolver.h"

#include <vector>

// One themed application per test program (the widget tests' environment, without their
// printers, which the document fixtures already give).
class ConsoleTestEnv : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "console_test";
        static char* argv[] = {name, nullptr};
        m_app = new QApplication(argc, argv);
        KTheme::apply(*m_app);
    }
    void TearDown() override
    {
        delete m_app;
        m_app = nullptr;
    }

private:
    QApplication* m_app = nullptr;
};

static ::testing::Environment* const consoleTestEnv =
    ::testing::AddGlobalTestEnvironment(new ConsoleTestEnv);

// Saves what the widget shows as screens/<name>.png.
inline void grabScreen(QWidget& widget, const QString& name)
{
    if (!widget.isVisible())
        widget.show();
    QApplication::processEvents();
    const QString path = QStringLiteral(TOVRA_SCREENS_DIR) + '/' + name + ".png";
    EXPECT_TRUE(widget.grab().save(path)) << path.toStdString();
}

class ConsoleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        k_setStatusSolverTimeLimit(5000);
        k_setLevelSolverTimeLimit(5000);
        ASSERT_EQ(addTracks(doc, dir, {"t1", "t2", "t3"}), QStringList({"t1", "t2", "t3"}));
        ASSERT_TRUE(doc.KObjFile::createGroup("G1", {"t1", "t2"}, 0, -1));
        ASSERT_TRUE(doc.KObjFile::createGroup("G2", {"t3"}, 0, -1));
        m_previous = KPrompt::setHandler([this](const KPrompt::Request& request) {
            asked.push_back(request);
            KPrompt::Answer answer;
            answer.button = answers.isEmpty() ? QMessageBox::No : answers.takeFirst();
            return answer;
        });
    }
    void TearDown() override
    {
        KPrompt::setHandler(m_previous);
        k_setStatusSolverTimeLimit(0);
        k_setLevelSolverTimeLimit(0);
    }

    fixtures::TempDir dir;
    KCtrlFile doc;
    QList<QMessageBox::StandardButton> answers;
    std::vector<KPrompt::Request> asked;

private:
    KPrompt::Handler m_previous;
};

#endif
