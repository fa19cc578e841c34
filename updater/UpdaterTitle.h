// The updater's title: of both windows and of most message boxes.
#ifndef UPDATER_TITLE_H
#define UPDATER_TITLE_H

#include <QString>

inline QString updaterTitle()
{
    return QStringLiteral("Tovra Sonaric Update 1.1");
}

#endif
