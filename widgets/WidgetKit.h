// Identity of the widget kit library.
#ifndef WIDGETKIT_H
#define WIDGETKIT_H

class WidgetKit
{
public:
    WidgetKit() = default;
    ~WidgetKit() = default;
    void helloWorld();
};

#endif
