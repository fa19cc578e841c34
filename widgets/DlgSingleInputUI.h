// One field, an optional check box and two buttons whose captions the caller sets; cancelling
// puts back the text and check state the caller gave.
#ifndef DLGSINGLEINPUTUI_H
#define DLGSINGLEINPUTUI_H

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class DlgSingleInputUI : public QDialog
{
    Q_OBJECT
public:
    explicit DlgSingleInputUI(QWidget* parent = nullptr);

    void setTitle(const QString& text);
    void setLabel(const QString& text);
    void setLabelCheckBox(const QString& text);
    void setLabelButton1(const QString& text);
    void setLabelButton2(const QString& text);
    void setText(const QString& text);
    void setChecked(bool checked);
    void setEnabledCheckBox(bool enabled);
    QString getText() const;
    bool isChecked() const;

public slots:
    void okAction();
    void cancelAction();

private:
    QLabel* m_label;
    QLineEdit* m_lineEdit;
    QCheckBox* m_checkBox;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
    QString m_rememberedText;
    bool m_rememberedChecked = false;
};

#endif
