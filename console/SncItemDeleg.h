// Item delegate for lists of rows 20 pixels high, each underlined in the line colour.
#ifndef SNCITEMDELEG_H
#define SNCITEMDELEG_H

#include <QColor>
#include <QItemDelegate>

class SncItemDeleg : public QItemDelegate
{
    Q_OBJECT
public:
    explicit SncItemDeleg(QObject* parent = nullptr) : QItemDelegate(parent) {}

    void setLineColor(const QColor& color) { m_lineColor = color; }
    QColor lineColor() const { return m_lineColor; }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    QColor m_lineColor;
};

#endif
