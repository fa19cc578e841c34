// The constraints page: one table of implications (element 1 plays, so element 2 plays) and one
// of exclusions (never together), each row standing for a rule of the document whose generated
// name is kept beside the table, never shown. It follows the document's renamings and removals.
#ifndef EXCLUWIDGET_H
#define EXCLUWIDGET_H

#include <QStringList>
#include <QWidget>

#include "KObjFile.h"

class KCtrlFile;
class QTableWidget;

class ExcluWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ExcluWidget(QWidget* parent = nullptr);

    void initUI(KCtrlFile* document);
    void resetUI();
    void addImplyLine(const QString& name, const QString& element1, const QString& element2,
                      const QString& description);
    void addExcluLine(const QString& name, const QString& element1, const QString& element2,
                      const QString& description);
    QString getCurrentElement(KObjFile::EConst kind) const;
    QString getCurrentDescription(KObjFile::EConst kind) const;
    void removeElement(KObjFile::EConst kind, const QString& name);

    QTableWidget* table(KObjFile::EConst kind) const;
    // The rule names in row order.
    QStringList ruleNames(KObjFile::EConst kind) const;

public slots:
    void setKFile(KCtrlFile* document);
    void cnsttChanged();
    void removedElement(const QString& name);
    void renamedElement(const QString& oldName, const QString& newName);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildHalf(KObjFile::EConst kind, const QString& title, const char* titleStyle,
                       const QList<int>& actionIds, QWidget* parent);
    void addLine(KObjFile::EConst kind, const QString& name, const QString& element1,
                 const QString& element2, const QString& description);
    QStringList& names(KObjFile::EConst kind);
    void setColumnWidths();

    QTableWidget* implyTW = nullptr;
    QTableWidget* excluTW = nullptr;
    QStringList implyNames;
    QStringList excluNames;
    KCtrlFile* m_document = nullptr;
};

#endif
