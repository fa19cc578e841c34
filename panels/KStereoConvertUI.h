// The stereo-to-mono conversion choice: up to four exclusive choices (1 overwrite, 2 new file
// with a suffix, 3 new file under another name, 4 free), choice 2 carrying the suffix field
// framed by two labels. A choice given an empty text is hidden.
#ifndef KSTEREOCONVERTUI_H
#define KSTEREOCONVERTUI_H

#include <QWidget>

class QLabel;
class QLineEdit;
class QRadioButton;

class KStereoConvertUI : public QWidget
{
    Q_OBJECT

public:
    explicit KStereoConvertUI(QWidget* parent = nullptr);

    void setText(int choice, const QString& text);
    void setFirstLabel(const QString& text);
    void setLabels(const QString& before, const QString& after);
    void setLineEditText(const QString& text);
    QString getLineEditText() const;
    // 1, 2 or 3 when that choice is checked, otherwise 4.
    int getChoose() const;
    void setChoose(int choice);

public slots:
    void buttonClicked_slot(int id);

private:
    QRadioButton* button(int choice) const;

    QLabel* label1;
    QLabel* label2;
    QLabel* label3;
    QLineEdit* lineEdit;
    QRadioButton* radioButton1;
    QRadioButton* radioButton2;
    QRadioButton* radioButton3;
    QRadioButton* radioButton4;
};

#endif
