// A console test's document: tracks t1, t2, t3 from short generated sines, in groups G1{t1,t2}
// and G2{t3}, and message boxes answered from a queue (No once it is empty). The themed
// application and the screen grabs are the element tests'.
#ifndef CONSOLE_FIXTURE_H
#define CONSOLE_FIXTURE_H

#include "../document/ElementTestEnv.h"

#include "KCtrlFile.h"
#include "KMixSolver.h"
#include "KPrompt.h"
#include "KSolver.h"

#include <vector>

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
