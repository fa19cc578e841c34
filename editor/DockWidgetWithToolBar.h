// A dock window with a tool bar above its panel, drawn in the editor's dock look.
#ifndef DOCKWIDGETWITHTOOLBAR_H
#define DOCKWIDGETWITHTOOLBAR_H

#include <QDockWidget>

class QToolBar;
class QVBoxLayout;

class DockWidgetWithToolBar : public QDockWidget
{
    Q_OBJECT

public:
    explicit DockWidgetWithToolBar(QWidget* parent = nullptr);

    // The previous tool bar or panel is deleted; null removes it.
    void setToolBar(QToolBar* toolBar);
    QToolBar* getToolBar() const { return m_toolBar; }
    void setCentralWidget(QWidget* widget);
    QWidget* getCentralWidget() const { return m_central; }

public slots:
    // A floating window takes the desktop's own title bar; docked, it takes the dock look back.
    void floatableChange(bool floating);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void replace(QWidget*& slot, QWidget* widget, int position);

    QWidget* m_holder;
    QVBoxLayout* m_layout;
    QToolBar* m_toolBar = nullptr;
    QWidget* m_central = nullptr;
};

#endif
