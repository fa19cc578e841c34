// The plain entry points in a program that has no application object of its own.
#include "AppServices.h"

#include <QApplication>

#include <gtest/gtest.h>

TEST(PlainApi, InitMakesOneApplicationAndCloseDeletesIt)
{
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    EXPECT_EQ(kQt_initAppServices(), 1);
    QCoreApplication* made = QCoreApplication::instance();
    ASSERT_NE(made, nullptr);
    EXPECT_NE(qobject_cast<QApplication*>(made), nullptr);
    EXPECT_EQ(kQt_initAppServices(), 1);
    EXPECT_EQ(QCoreApplication::instance(), made);
    EXPECT_EQ(kQt_closeAppServices(), 1);
    EXPECT_EQ(QCoreApplication::instance(), nullptr);
    EXPECT_EQ(kQt_closeAppServices(), 1);
    // A new one can be made after closing.
    EXPECT_EQ(kQt_initAppServices(), 1);
    EXPECT_NE(QCoreApplication::instance(), nullptr);
    EXPECT_EQ(kQt_closeAppServices(), 1);
}
