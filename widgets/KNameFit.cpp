#include "KNameFit.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QWidget>

void KNameFit::fitCombo(QComboBox* combo, int chars)
{
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(chars);
    const auto tipItems = [combo](int first, int last) {
        for (int row = first; row <= last; ++row)
            combo->setItemData(row, combo->itemText(row), Qt::ToolTipRole);
    };
    tipItems(0, combo->count() - 1);
    QObject::connect(combo->model(), &QAbstractItemModel::rowsInserted, combo,
                     [tipItems](const QModelIndex&, int first, int last) { tipItems(first, last); });
    // An item's text is set after its row is inserted: tooltips follow text changes too.
    QObject::connect(combo->model(), &QAbstractItemModel::dataChanged, combo,
                     [combo](const QModelIndex& from, const QModelIndex& to, const QList<int>& roles) {
                         if (!roles.isEmpty() && !roles.contains(Qt::DisplayRole))
                             return;
                         for (int row = from.row(); row <= to.row(); ++row)
                             if (combo->itemData(row, Qt::ToolTipRole).toString() != combo->itemText(row))
                                 combo->setItemData(row, combo->itemText(row), Qt::ToolTipRole);
                     });
    combo->setToolTip(combo->currentText());
    QObject::connect(combo, &QComboBox::currentTextChanged, combo, &QComboBox::setToolTip);
}

QString KNameFit::fitted(const QWidget* widget, const QString& name, int width)
{
    return widget->fontMetrics().elidedText(name, Qt::ElideRight, width);
}
