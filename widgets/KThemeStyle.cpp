#include "KThemeStyle.h"

#include "AppServices.h"
#include "KTheme.h"

#include <QIcon>
#include <QPainter>

#include <algorithm>
#include <QStyleFactory>
#include <QStyleOption>

KThemeStyle::KThemeStyle() : QProxyStyle(QStyleFactory::create("Fusion"))
{
}

void KThemeStyle::polish(QPalette& palette)
{
    palette = KTheme::palette();
}

void KThemeStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const
{
    switch (element) {
    case PE_PanelButtonCommand:
    case PE_PanelButtonBevel: {
        const bool enabled = option->state & State_Enabled;
        const bool down = option->state & (State_Sunken | State_On);
        KTheme::Role fill = KTheme::Raised;
        if (enabled && down)
            fill = KTheme::Accent;
        else if (enabled && (option->state & State_MouseOver))
            fill = KTheme::Hover;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(KTheme::color(KTheme::Line));
        painter->setBrush(KTheme::color(fill));
        painter->drawRoundedRect(QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        painter->restore();
        return;
    }
    case PE_IndicatorCheckBox:
    case PE_IndicatorItemViewItemCheck: {
        // Fusion's box is drawn in the base colour and vanishes on the dark panels: a raised box
        // with a dim-text border, filled with the accent and ticked when checked.
        const bool enabled = option->state & State_Enabled;
        const bool on = option->state & State_On;
        const int side = std::min(option->rect.width(), option->rect.height()) - 2;
        QRectF box(0, 0, side, side);
        box.moveCenter(QRectF(option->rect).center());
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(KTheme::color(enabled ? KTheme::DimText : KTheme::Line));
        painter->setBrush(KTheme::color(on && enabled ? KTheme::Accent : KTheme::Raised));
        painter->drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
        if (on || (option->state & State_NoChange)) {
            QPen tick(KTheme::color(KTheme::Text), 1.6);
            tick.setCapStyle(Qt::RoundCap);
            painter->setPen(tick);
            const QRectF in = box.adjusted(side * 0.25, side * 0.25, -side * 0.25, -side * 0.25);
            if (on)
                painter->drawPolyline(QPolygonF({QPointF(in.left(), in.center().y()),
                                                 QPointF(in.center().x() - side * 0.05, in.bottom()),
                                                 QPointF(in.right(), in.top())}));
            else
                painter->drawLine(QPointF(in.left(), in.center().y()), QPointF(in.right(), in.center().y()));
        }
        painter->restore();
        return;
    }
    case PE_IndicatorRadioButton: {
        // Same reason as the check box: a raised circle with a dim-text ring, an accent dot when on.
        const bool enabled = option->state & State_Enabled;
        const int side = std::min(option->rect.width(), option->rect.height()) - 2;
        QRectF ring(0, 0, side, side);
        ring.moveCenter(QRectF(option->rect).center());
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(KTheme::color(enabled ? KTheme::DimText : KTheme::Line));
        painter->setBrush(KTheme::color(KTheme::Raised));
        painter->drawEllipse(ring.adjusted(0.5, 0.5, -0.5, -0.5));
        if (option->state & State_On) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(KTheme::color(enabled ? KTheme::Accent : KTheme::DimText));
            painter->drawEllipse(ring.adjusted(side * 0.28, side * 0.28, -side * 0.28, -side * 0.28));
        }
        painter->restore();
        return;
    }
    case PE_FrameTabWidget: {
        // Tab pages are panels: the panel colour inside a 1 px line, like group boxes, rather
        // than Fusion's lighter gradient.
        painter->save();
        painter->setPen(KTheme::color(KTheme::Line));
        painter->setBrush(KTheme::color(KTheme::Panel));
        painter->drawRect(QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5));
        painter->restore();
        return;
    }
    case PE_FrameFocusRect: {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(KTheme::accent());
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
        painter->restore();
        return;
    }
    default:
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

QIcon KThemeStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                const QWidget* widget) const
{
    // Single-colour glyphs drawn from the kit's pictures instead of the common style's coloured
    // discs.
    switch (icon) {
    case SP_DialogYesButton:
        return AppServices::pictureIcon(QStringLiteral(":/Img/ButtonYes"));
    case SP_DialogNoButton:
        return AppServices::pictureIcon(QStringLiteral(":/Img/ButtonNo"));
    default:
        return QProxyStyle::standardIcon(icon, option, widget);
    }
}

void KThemeStyle::drawControl(ControlElement element, const QStyleOption* option,
                              QPainter* painter, const QWidget* widget) const
{
    if (element == CE_TabBarTabShape) {
        if (const auto* tab = qstyleoption_cast<const QStyleOptionTab*>(option)) {
            // The current tab in the panel colour of its page with an accent line along its
            // outer edge; the others raised, lighter under the pointer.
            const bool selected = tab->state & State_Selected;
            KTheme::Role fill = selected ? KTheme::Panel : KTheme::Raised;
            if (!selected && (tab->state & State_MouseOver))
                fill = KTheme::Hover;
            QRect area = tab->rect;
            painter->save();
            painter->fillRect(area, KTheme::color(fill));
            painter->setPen(KTheme::color(KTheme::Line));
            painter->drawRect(area.adjusted(0, 0, -1, -1));
            if (selected) {
                QRect line = area;
                switch (tab->shape) {
                case QTabBar::RoundedSouth:
                case QTabBar::TriangularSouth:
                    line.setTop(line.bottom() - 1);
                    break;
                case QTabBar::RoundedWest:
                case QTabBar::TriangularWest:
                    line.setRight(line.left() + 1);
                    break;
                case QTabBar::RoundedEast:
                case QTabBar::TriangularEast:
                    line.setLeft(line.right() - 1);
                    break;
                default:
                    line.setBottom(line.top() + 1);
                }
                painter->fillRect(line, KTheme::accent());
            }
            painter->restore();
            return;
        }
    }
    if (element == CE_ComboBoxLabel) {
        if (const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option)) {
            // A name longer than the field ends in an ellipsis instead of being cut anywhere.
            QStyleOptionComboBox shown = *combo;
            const QRect field = subControlRect(CC_ComboBox, combo, SC_ComboBoxEditField, widget);
            const int room = field.width() - 2 - (combo->currentIcon.isNull() ? 0 : combo->iconSize.width() + 4);
            shown.currentText = combo->fontMetrics.elidedText(combo->currentText, Qt::ElideRight, room);
            QProxyStyle::drawControl(element, &shown, painter, widget);
            return;
        }
    }
    const auto* bar = qstyleoption_cast<const QStyleOptionProgressBar*>(option);
    if (!bar || (element != CE_ProgressBarGroove && element != CE_ProgressBarContents)) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const QRect area = option->rect;
    if (element == CE_ProgressBarGroove) {
        painter->fillRect(area, KTheme::color(KTheme::Line));
        painter->fillRect(area.adjusted(1, 1, -1, -1), KTheme::color(KTheme::Panel));
        return;
    }
    const qint64 span = qint64(bar->maximum) - bar->minimum;
    if (span <= 0 || bar->progress <= bar->minimum)
        return;
    const QRect inner = area.adjusted(1, 1, -1, -1);
    const double fraction = double(qint64(bar->progress) - bar->minimum) / double(span);
    QRect filled = inner;
    filled.setWidth(int(inner.width() * std::min(fraction, 1.0)));
    const bool enabled = option->state & State_Enabled;
    painter->fillRect(filled, KTheme::color(enabled ? KTheme::Accent : KTheme::Line));
}
