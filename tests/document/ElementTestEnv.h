// Shared by the element model and view tests: one themed application, a document whose edits
// take the checked road (checkpoint, edit, then the signal or a restore), the rows a model shows
// as text, and grabbing a widget into the screens folder.
#ifndef ELEMENT_TEST_ENV_H
#define ELEMENT_TEST_ENV_H

#include <QAbstractItemModel>
#include <QApplication>
#include <QLoggingCategory>
#include <QWidget>

#include <gtest/gtest.h>

#include "../PictureChecks.h"
#include "DocumentFixtures.h"
#include "KCtrlFile.h"
#include "KPrompt.h"
#include "KTheme.h"

class ElementTestEnv : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "element_test";
        static char* argv[] = {name, nullptr};
        m_app = new QApplication(argc, argv);
        KTheme::apply(*m_app);
        // The document's checked edits ask before keeping a change that silences tracks: the
        // author keeps it (Ignore), and a refusal is acknowledged, so no test waits on a box.
        KPrompt::setHandler([](const KPrompt::Request& request) {
            KPrompt::Answer answer;
            answer.button = (request.buttons & QMessageBox::Ignore) ? QMessageBox::Ignore : QMessageBox::Ok;
            return answer;
        });
    }
    void TearDown() override
    {
        delete m_app;
        m_app = nullptr;
    }

private:
    QApplication* m_app = nullptr;
};

static ::testing::Environment* const elementTestEnv =
    ::testing::AddGlobalTestEnvironment(new ElementTestEnv);

// Structural edits as the checked road makes them: a refused one puts the checkpoint back.
class Document : public KCtrlFile
{
public:
    bool group(const QString& name, const QStringList& members, bool refuse = false)
    {
        copyElts();
        if (!KObjFile::createGroup(name, members, 0, members.size()))
            return false;
        if (refuse)
            return !resetElts();
        emit addedGroup(name);
        return true;
    }
    bool remove(const QString& name)
    {
        copyElts();
        if (!KObjFile::removeElement(name))
            return false;
        emit reloaded();
        return true;
    }
    using KCtrlFile::copyElts;
    using KCtrlFile::resetElts;
};

// The rows under `parent` as "a,b(c,d)", in the model's order.
inline QString rows(const QAbstractItemModel& model, const QModelIndex& parent = QModelIndex(),
                    int column = 0)
{
    QStringList shown;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, column, parent);
        QString text = index.data().toString();
        if (model.rowCount(index) > 0)
            text += "(" + rows(model, index, column) + ")";
        shown << text;
    }
    return shown.join(",");
}

// Counts the item-model tester's complaints while it lives.
class TesterComplaints
{
public:
    TesterComplaints()
    {
        s_count = 0;
        s_previous = qInstallMessageHandler(&TesterComplaints::handle);
    }
    ~TesterComplaints() { qInstallMessageHandler(s_previous); }
    int count() const { return s_count; }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (context.category && QByteArray(context.category) == "qt.modeltest") {
            ++s_count;
            ADD_FAILURE() << text.toStdString();
        } else if (s_previous) {
            s_previous(type, context, text);
        }
    }
    static inline int s_count = 0;
    static inline QtMessageHandler s_previous = nullptr;
};

// Saves what the widget shows as screens/<name>.png.
inline void grabScreen(QWidget& widget, const QString& name)
{
    if (!widget.isVisible())
        widget.show();
    QApplication::processEvents();
    const QString path = QStringLiteral(TOVRA_SCREENS_DIR) + '/' + name + ".png";
    EXPECT_TRUE(widget.grab().save(path)) << path.toStdString();
}

#endif
