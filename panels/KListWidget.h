// The list of the project's stored mixes (Tovix): one row a mix in name order, the default mix
// marked by a suffix, the current mix in bold. Mouse and key actions become requests (signals)
// that the mix editor carries out; the list never changes the project.
#ifndef KLISTWIDGET_H
#define KLISTWIDGET_H

#include <QListWidget>

class QMenu;

class KListWidget : public QListWidget
{
    Q_OBJECT

public:
    explicit KListWidget(QWidget* parent = nullptr);

    // The suffix a default mix's row shows after its name.
    QString defaultMarker() const { return marker; }
    void addMixes(const QStringList& names);
    QString getCurrentMix() const { return currentMix; }
    // The mix name of a row, without the marker; empty for no row.
    QString getItemText(QListWidgetItem* item) const;
    void setItemText(QListWidgetItem* item, const QString& name);
    // The row of that mix name, or failing that the row showing exactly that text; null unless
    // exactly one row matches.
    QListWidgetItem* getItem(const QString& name) const;
    bool contains(const QString& name) const { return getItem(name) != nullptr; }
    QString getDefaultMix() const;
    void removeMix(const QString& name);
    void renameMix(const QString& oldName, const QString& newName);
    void setAsDefault(const QString& name);
    void setAsCurrentMix(const QString& name);
    // Removes every row; the current mix and the menu target become empty.
    void reset() override;

public slots:
    void createActionTriggered();
    void selectActionTriggered();
    void deleteActionTriggered();
    void setAsDefActionTriggered();
    void modifyActionTriggered();

signals:
    void itemCreated();
    void itemSelected(const QString& name);
    void itemDeleted(const QString& name);
    void itemSetAsDefault(const QString& name);
    void itemModified(const QString& name);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The row shows its name, followed by the marker when it is the default mix.
    void setRow(QListWidgetItem* item, const QString& name, bool isDefault);
    bool isDefaultRow(QListWidgetItem* item) const;
    void setBold(QListWidgetItem* item, bool bold);
    // Runs the request on the menu's target, then forgets the target.
    void takeTarget(void (KListWidget::*request)(const QString&));

    const QString marker;
    QString currentMix;
    QString menuTarget;
    QMenu* rowMenu = nullptr;
    QMenu* emptyMenu = nullptr;
    bool clearing = false;
};

#endif
