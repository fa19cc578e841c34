// One themed QApplication per test program, and grabbing a window into the screens folder.
#ifndef WIDGET_TEST_ENV_H
#define WIDGET_TEST_ENV_H

#include "../PictureChecks.h"
#include "KTheme.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

class WidgetTestEnv : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "widgets_test";
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

static ::testing::Environment* const widgetTestEnv =
    ::testing::AddGlobalTestEnvironment(new WidgetTestEnv);

// Saves what the widget shows as screens/<name>.png for people to look through.
inline void grabScreen(QWidget& widget, const QString& name)
{
    if (!widget.isVisible())
        widget.show();
    QApplication::processEvents();
    const QString path = QStringLiteral(TOVRA_SCREENS_DIR) + '/' + name + ".png";
    EXPECT_TRUE(widget.grab().save(path)) << path.toStdString();
}

#endif
