// A style under which tab bars and tool boxes show no tabs; it keeps the pictures of the tabs
// and which one is current for the owner that draws them.
#ifndef KSTYLETAB_H
#define KSTYLETAB_H

#include <QCommonStyle>
#include <QList>
#include <QPixmap>

class KStyleTab : public QCommonStyle
{
    Q_OBJECT
public:
    KStyleTab() = default;

    void setPixmaps(const QList<QPixmap>& pixmaps);
    const QList<QPixmap>& pixmaps() const { return m_pixmaps; }
    int currentTab() const { return m_current; }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;

public slots:
    void setCurrentTab(int index);

private:
    QList<QPixmap> m_pixmaps;
    int m_current = -1;
};

#endif
