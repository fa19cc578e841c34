// The picture button: normal, hover and checked icons, a 500 ms fade of the hover picture, a
// pulsing hover picture while checked, a bold caption painted over the pictures, and gates that
// refuse clicks while the owning panel is inactive. The pulse timer only runs while the button
// is checked, animated and shown, so idle buttons cost nothing.
#ifndef KBUTTON_H
#define KBUTTON_H

#include <QIcon>
#include <QPushButton>

class KIsActiveFuncClass;
class QAction;
class QTimeLine;
class QTimer;

class KButton : public QPushButton
{
    Q_OBJECT
public:
    explicit KButton(QWidget* parent = nullptr, bool animated = false);

    void setIcons(const QIcon& normal, const QIcon& hover, const QIcon& checked);
    void setActiveFunc(bool (*func)());
    void setActiveObject(KIsActiveFuncClass* object);
    // Makes the checked state pulse on a button built without animation.
    void setActiveAnim();
    void setAction(QAction* action);
    void removeAction(QAction* action);

    QString caption() const { return m_caption; }
    double fadeValue() const { return m_fade; }
    double blinkValue() const { return m_blinkValue; }
    bool isBlinking() const;
    bool isHoverSuppressed() const { return m_hoverSuppressed; }
    // Whether the caption is drawn in the light (not hovered) colour.
    bool isNotHovered() const { return m_notHovered; }

public slots:
    void setChecked(bool checked);
    // Checks or unchecks silently and shows the matching icon.
    void setState(bool checked);
    void setText(const QString& text);
    void released_slot();
    void anim(qreal value);
    void loop();

signals:
    void isClicked();
    void stateChanged(bool checked);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool gateRefuses();
    QTimeLine* timeLine();
    bool isOneShot() const;
    void showIconFor(bool checked);
    void updateBlinkTimer();

    KIsActiveFuncClass* m_activeObject = nullptr;
    bool (*m_activeFunc)() = nullptr;
    QIcon m_checkedIcon;
    QIcon m_hoverIcon;
    QIcon m_normalIcon;
    QString m_caption;
    bool m_notHovered = true;
    bool m_hoverSuppressed = false;
    QTimeLine* m_timeLine = nullptr;
    double m_fade = 0.0;
    int m_blinkCounter = 0;
    bool m_blinkRising = true;
    double m_blinkValue = 0.0;
    QTimer* m_blinkTimer = nullptr;
    bool m_animated = false;
};

#endif
