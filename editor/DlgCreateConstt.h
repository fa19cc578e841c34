// The small dialog that creates one implication (optionally with its reciprocal) or one
// exclusion between two elements, or, prepared with setCstt, the new version of an existing one.
#ifndef DLGCREATECONSTT_H
#define DLGCREATECONSTT_H

#include <QDialog>

#include "KObjFile.h"

class KCtrlFile;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTextEdit;
class ZazuzoziZadiviDU;

class DlgCreateConstt : public QDialog
{
    Q_OBJECT

public:
    DlgCreateConstt(KObjFile::EConst kind, ZazuzoziZadiviDU* window, QWidget* parent = nullptr);

    void setCstt(const QString& name);

    QComboBox* comboBox1 = nullptr;
    QComboBox* comboBox2 = nullptr;
    QTextEdit* textEdit = nullptr;
    QCheckBox* checkBox = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

public slots:
    void okAction();
    void cancelAction();

private:
    // Selects the element; one the list does not offer (hidden, or still in the import group) is
    // added, so that the rule keeps its own elements.
    static void selectElement(QComboBox* combo, const QString& element);
    void refuse(const QString& text);
    QString refusalText(const KCtrlFile* document) const;

    KObjFile::EConst m_kind;
    ZazuzoziZadiviDU* m_window;
    QString m_name;
    QLabel* symbol = nullptr;
};

#endif
