// A spin box over level units that shows and reads them as decibels (KLevelText): each step is
// one level unit, so every level can be reached and a shown value is exactly the stored one.
#ifndef KLEVELSPINBOX_H
#define KLEVELSPINBOX_H

#include <QSpinBox>

class KLevelSpinBox : public QSpinBox
{
    Q_OBJECT

public:
    explicit KLevelSpinBox(QWidget* parent = nullptr);

protected:
    QString textFromValue(int level) const override;
    int valueFromText(const QString& text) const override;
    QValidator::State validate(QString& text, int& position) const override;
};

#endif
