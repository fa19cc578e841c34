#include "KStyleTab.h"
#include "KStyleToolBar.h"
#include "SncItemDeleg.h"

#include "KPictureCache.h"

#include <QPainter>
#include <QStyleOptionToolBar>
#include <QToolBar>
#include <QtWidgets/qdrawutil.h>

void KStyleTab::setPixmaps(const QList<QPixmap>& pixmaps)
{
    m_pixmaps = pixmaps;
}

void KStyleTab::setCurrentTab(int index)
{
    m_current = index < m_pixmaps.size() ? index : -1;
}

void KStyleTab::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                              QPainter* painter, const QWidget* widget) const
{
    if (element == PE_FrameTabBarBase || element == PE_IndicatorTabTear)
        return;
    QCommonStyle::drawPrimitive(element, option, painter, widget);
}

void KStyleTab::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                            const QWidget* widget) const
{
    switch (element) {
    case CE_TabBarTab:
    case CE_TabBarTabShape:
    case CE_ToolBoxTab:
    case CE_ToolBoxTabShape:
    case CE_ToolBoxTabLabel:
        return;
    default:
        QCommonStyle::drawControl(element, option, painter, widget);
    }
}

void KStyleToolBar::drawControl(ControlElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const
{
    const auto* toolBar = qstyleoption_cast<const QStyleOptionToolBar*>(option);
    if (element != CE_ToolBar || !toolBar) {
        QCommonStyle::drawControl(element, option, painter, widget);
        return;
    }
    drawPrimitive(PE_PanelToolBar, option, painter, widget);
    if (widget && qobject_cast<const QToolBar*>(widget->parentWidget()))
        return;
    const QBrush tiles(KPictureCache::pixmap(QStringLiteral("Img/ToolBar")));
    qDrawShadePanel(painter, option->rect, option->palette, false, 0, &tiles);
}

QSize SncItemDeleg::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return QSize(QItemDelegate::sizeHint(option, index).width(), 20);
}

void SncItemDeleg::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const
{
    QItemDelegate::paint(painter, option, index);
    const QRect& r = option.rect;
    painter->save();
    painter->setPen(m_lineColor);
    painter->drawLine(r.left(), r.bottom(), r.right() + 1, r.bottom());
    painter->restore();
}
