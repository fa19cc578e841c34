// A sorted list of element names from which one name at a time is dragged onto the element
// views.
#ifndef LISTVIEWUI_H
#define LISTVIEWUI_H

#include <QListView>
#include <QPoint>
#include <QStringList>

class QDrag;
class QMimeData;
class QStringListModel;

class ListViewUI : public QListView
{
    Q_OBJECT

public:
    explicit ListViewUI(QWidget* parent = nullptr);

    void addItem(const QString& name);
    // The row only places the name for a moment: the list is sorted again at once.
    void addItem(const QString& name, int row);
    void addItems(const QStringList& names);
    void removeRow(int row);
    void removeItems(const QStringList& names);

    QStringList getItems() const;
    // A null string outside the list.
    QString getItem(int row) const;
    QStringList getSelectedItems() const;

    // What a drag of that element carries: the element drag format with the name, and the
    // name as plain text.
    static QMimeData* dragData(const QString& name);

public slots:
    void removeItem(const QString& name);
    void renamedElement(const QString& oldName, const QString& newName);

signals:
    void itemsAdded(QStringList names);
    void itemsRemoved(QStringList names);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // Runs the drag; its own step so that a test can see the drag without a drop loop.
    virtual void execDrag(QDrag* drag);

private:
    void insertNames(const QStringList& names, int row);
    void sortNames();

    QStringListModel* m_model;
    QPoint m_pressPos;
    QString m_pressed; // the name under the last left press
};

#endif
