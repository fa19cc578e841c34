#include "KColumnShares.h"

#include <QHeaderView>
#include <QTableView>

#include <algorithm>

void KColumnShares::apply(QTableView* table, int width, std::initializer_list<int> divisors)
{
    int column = 0;
    for (int divisor : divisors) {
        table->setColumnWidth(column, std::max(width / divisor,
                                               table->horizontalHeader()->sectionSizeHint(column)));
        ++column;
    }
}
