// A one-column list of stored mixes: a click selects a row, paints it with the selection picture
// and colour, restores the previous selection and emits the chosen name. Rows whose text colour
// has a blue component of exactly 153 (headers, the trailing blank row) are inert.
#ifndef KTABLEWIDGET_H
#define KTABLEWIDGET_H

#include <QColor>
#include <QStringList>
#include <QTableWidget>

class KTableWidget : public QTableWidget
{
    Q_OBJECT
public:
    static const QColor SelectedColour;
    static const QColor BlankRowColour;

    explicit KTableWidget(QWidget* parent = nullptr);

    void initTable();
    void addMyItem(const QString& name, QColor colour);
    void addMyItems(const QList<QTableWidgetItem*>& items);
    void removeMyItem(const QList<QTableWidgetItem*>& items);

    QTableWidgetItem* currentMyItem() const { return m_current; }
    QStringList names() const { return m_names; }
    int firstUserRow() const { return m_firstUserRow; }

public slots:
    void itemClick_slot(QTableWidgetItem* item);

signals:
    void clicked(const QString& name);

private:
    static bool isInert(const QTableWidgetItem* item);
    void blackenAround(int row);
    void selectRowOne();

    QTableWidgetItem* m_current = nullptr;
    QStringList m_names;
    int m_firstUserRow = 0;
};

#endif
