// A dock whose content is a stack of panels, one shown at a time, drawn in the editor's dock
// look (bar, close and float pictures of the image bundle).
#ifndef KSTACKEDDW_H
#define KSTACKEDDW_H

#include <QDockWidget>

class QStackedWidget;

class KStackedDW : public QDockWidget
{
    Q_OBJECT

public:
    explicit KStackedDW(QWidget* parent = nullptr);

    int addWidget(QWidget* widget);
    int count() const;
    void setCurrentIndex(int index);
    // Shows the widget (added to the stack when it is not in it yet) under the title.
    void setCurrentWidget(QWidget* widget, const QString& title);

    QStackedWidget* stack() const { return m_stack; }

private:
    QStackedWidget* m_stack;
};

#endif
