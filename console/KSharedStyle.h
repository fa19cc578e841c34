// One style instance per class for the whole application, owned by the application object so
// that it outlives the widgets using it.
#ifndef KSHAREDSTYLE_H
#define KSHAREDSTYLE_H

#include <QCoreApplication>
#include <QPointer>

template <class Style>
Style* sharedStyle()
{
    static QPointer<Style> instance;
    if (!instance) {
        instance = new Style;
        instance->setParent(QCoreApplication::instance());
    }
    return instance;
}

#endif
