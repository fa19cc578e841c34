// A fixed-width label whose text, when wider than the box, travels back and forth one pixel
// per tick between 3 pixels before its start and 3 pixels past its end. The scroll timer runs
// only while the text overflows and the label is shown.
#ifndef KTEXTBOX_H
#define KTEXTBOX_H

#include <QLabel>

class QTimer;

class KTextBox : public QLabel
{
    Q_OBJECT
public:
    static const bool Def_Transparency;

    KTextBox(int width, const QString& text, QWidget* parent = nullptr);

    void setTextMovingInterval(int ms);
    void setTransparency(const bool& transparent);

    bool isScrolling() const { return m_scrolling; }
    bool isTimerRunning() const;
    int offset() const { return m_offset; }

public slots:
    void setText(const QString& text);
    void timeout_slot();

signals:
    void textChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void measure();
    void updateTimer();

    QTimer* m_timer = nullptr;
    int m_offset = 0;
    int m_step = 1;
    int m_interval = 350;
    bool m_scrolling = false;
    int m_textWidth = 0;
    int m_boxWidth;
};

#endif
