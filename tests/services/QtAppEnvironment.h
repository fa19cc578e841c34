// One QApplication for a whole test program, made before the first test and deleted after the
// last (each test file includes this once).
#ifndef QT_APP_ENVIRONMENT_H
#define QT_APP_ENVIRONMENT_H

#include <QApplication>

#include <gtest/gtest.h>

#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

class QtAppEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "services_test";
        static char* argv[] = {name, nullptr};
        m_app = new QApplication(argc, argv);
    }
    void TearDown() override
    {
        delete m_app;
        m_app = nullptr;
    }

private:
    QApplication* m_app = nullptr;
};

static ::testing::Environment* const qtAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

#endif
