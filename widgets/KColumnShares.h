// Column widths given as shares of a table's width, never narrower than the column's title, so
// that a table laid out small (or in a larger font) keeps its titles readable.
#ifndef KCOLUMNSHARES_H
#define KCOLUMNSHARES_H

#include <initializer_list>

class QTableView;

namespace KColumnShares {
// Column i takes width / divisors[i], or its title's width when that is more.
void apply(QTableView* table, int width, std::initializer_list<int> divisors);
} // namespace KColumnShares

#endif
