// Small helpers of the panel tests: finding a named child and typing a value into a field.
#ifndef PANEL_TEST_HELPERS_H
#define PANEL_TEST_HELPERS_H

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

template <typename T>
T* child(QWidget& parent, const char* name)
{
    T* found = parent.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Replaces the field's text as a user would and ends the edit with Return.
inline void typeInto(QWidget* field, const QString& text)
{
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

#endif
