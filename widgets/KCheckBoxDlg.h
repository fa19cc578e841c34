// A question box with a check box: exec() gives 0 (rejected or closed), 1 (accepted) or
// 2 (ignore all).
#ifndef KCHECKBOXDLG_H
#define KCHECKBOXDLG_H

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QVBoxLayout;

class KCheckBoxDlg : public QDialog
{
    Q_OBJECT
public:
    explicit KCheckBoxDlg(QWidget* parent = nullptr);
    KCheckBoxDlg(const QString& title, const QString& label, const QString& checkBoxText,
                 const QString& acceptText, const QString& rejectText, bool checked,
                 QWidget* parent = nullptr, const QString& ignoreAllText = QString());

    void setTitle(const QString& text);
    void setLabel(const QString& text);
    void setCheckBoxTxt(const QString& text);
    void setButtonsTxt(const QString& acceptText, const QString& rejectText);
    void setChecked(bool checked);
    bool isChecked() const;
    // Inserts a widget under the message; the dialog takes it over.
    void setWidget(QWidget* widget);

public slots:
    void ignoreAll();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QVBoxLayout* m_layout;
    QLabel* m_label;
    QCheckBox* m_checkBox;
    QPushButton* m_acceptButton;
    QPushButton* m_rejectButton;
    QPushButton* m_ignoreAllButton;
};

#endif
