// Two labelled fields; the first can be filled from a file chooser, and an optional checker
// keeps Ok disabled while the second field's text is unacceptable.
#ifndef DLGINPUTUI_H
#define DLGINPUTUI_H

#include <QDialog>
#include <QIcon>
#include <QStringList>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

class DlgInputUI : public QDialog
{
    Q_OBJECT
public:
    using ValuesChecker = bool (*)(const QString&);

    explicit DlgInputUI(QWidget* parent = nullptr);

    void setLabels(const QString& label1, const QString& label2);
    void setLabel(int n, const QString& text);
    void setTexts(const QString& text1, const QString& text2);
    QString getText(int n) const;
    QStringList getTexts() const;
    void setOkButtonText(const QString& text);
    void setCancelButtonText(const QString& text);
    void setToolButtonText(const QString& text);
    void setToolButtonIcon(const QIcon& icon);
    void setToolButtonUnVisible();
    void setValuesChecker(ValuesChecker checker);

    static QStringList openInputDialog(const QString& label1, const QString& label2, QString* text1,
                                       QString* text2, QWidget* parent = nullptr);
    static QStringList openFileDialog(const QString& label1, const QString& label2, QString* text1,
                                      QString* text2, QWidget* parent = nullptr);

public slots:
    void okAction();
    void cancelAction();
    void textChanged(const QString& text);
    void toolAction();

private:
    static QStringList run(DlgInputUI& dialog, const QString& label1, const QString& label2,
                           QString* text1, QString* text2);

    QGridLayout* m_grid;
    QLabel* m_label1;
    QLabel* m_label2;
    QLineEdit* m_lineEdit1;
    QLineEdit* m_lineEdit2;
    QToolButton* m_toolButton;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
    ValuesChecker m_checker = nullptr;
};

#endif
