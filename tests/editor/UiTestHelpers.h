// The editor's image bundle registered for a test suite, a main window to dock into, and a
// window's named child.
#ifndef UI_TEST_HELPERS_H
#define UI_TEST_HELPERS_H

#include "EditorTestEnvironment.h"

#include <QDockWidget>
#include <QMainWindow>
#include <QResource>

class BundleTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(QResource::registerResource(EditorTestEnvironment::get()->bundlePath()));
    }
    static void TearDownTestSuite() { QResource::unregisterResource(EditorTestEnvironment::get()->bundlePath()); }
};

template <typename T>
T* child(QWidget& parent, const char* name)
{
    T* found = parent.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// A window of that size with the dock on its left, shown.
inline void dockInWindow(QMainWindow& window, QDockWidget* dock, QSize size)
{
    window.resize(size);
    window.setCentralWidget(new QWidget);
    window.addDockWidget(Qt::LeftDockWidgetArea, dock);
    window.show();
}

#endif
