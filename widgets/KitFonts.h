// The parent's font passed down to a widget and all its children; the application's font when
// there is no parent, so a parentless dialog never reads through a null pointer.
#ifndef KITFONTS_H
#define KITFONTS_H

#include "AppServices.h"

#include <QApplication>
#include <QWidget>

inline void passParentFont(QWidget* widget, const QWidget* parent)
{
    AppServices::setFontParent(widget, parent ? parent->font() : QApplication::font());
}

#endif
