// A dock around one property panel, titled after what it shows.
#ifndef DWPROPERTIES_H
#define DWPROPERTIES_H

#include <QDockWidget>

class DWProperties : public QDockWidget
{
    Q_OBJECT

public:
    explicit DWProperties(QWidget* parent = nullptr);

    // Shows the widget (an empty one when null) under the title, or under the default title
    // when the title is empty. The previous content stays a child of the dock.
    void addCentralWidget(QWidget* widget, const QString& title);

    static QString defaultTitle();
};

#endif
