// The updater's welcome window: says that an update is available and offers to go on with it
// or to leave. A fixed-size widget; its two buttons only report themselves.
#ifndef START_WINDOW_UI_H
#define START_WINDOW_UI_H

#include <QWidget>

class QPushButton;

class StartWindowUi : public QWidget
{
    Q_OBJECT

public:
    explicit StartWindowUi(QWidget* parent = nullptr);

    QPushButton* nextButton() const { return m_next; }
    QPushButton* exitButton() const { return m_exit; }

signals:
    void continuerPressed();
    void quitterPressed();

private:
    QPushButton* m_next;
    QPushButton* m_exit;
};

#endif
