// One QApplication for a whole test program and a recorder of the updater's message boxes.
#ifndef UPDATER_TEST_APP_H
#define UPDATER_TEST_APP_H

#include "../PollUntil.h"
#include "UpdaterPrompt.h"

#include <QApplication>
#include <QDir>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

class UpdaterAppEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "updater_test";
        static char* argv[] = {name, nullptr};
        // Qt's own event dispatcher: GLib's wake-up descriptor is not visible to ThreadSanitizer.
        qputenv("QT_NO_GLIB", "1");
        // The editor's settings store of this run only.
        m_config = QDir::tempPath() + QStringLiteral("/updater_test_config_")
                   + QString::number(QCoreApplication::applicationPid());
        qputenv("XDG_CONFIG_HOME", m_config.toLocal8Bit());
        m_app = new QApplication(argc, argv);
    }
    void TearDown() override
    {
        delete m_app;
        m_app = nullptr;
        QDir(m_config).removeRecursively();
    }

private:
    QApplication* m_app = nullptr;
    QString m_config;
};

static ::testing::Environment* const updaterAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new UpdaterAppEnvironment);

// Records the text of every box shown while it lives.
class BoxRecorder
{
public:
    BoxRecorder()
    {
        m_previous = UpdaterPrompt::setHandler([this](const UpdaterPrompt::Request& r) {
            texts << r.text;
            titles << r.title;
        });
    }
    ~BoxRecorder() { UpdaterPrompt::setHandler(m_previous); }

    QStringList texts;
    QStringList titles;

private:
    UpdaterPrompt::Handler m_previous;
};

#endif
