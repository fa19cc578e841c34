// Checks a typed pan while it is typed: a side letter alone or followed by digits, or the
// centre.
#ifndef KVALIDATOR_H
#define KVALIDATOR_H

#include <QValidator>

class KValidator : public QValidator
{
    Q_OBJECT
public:
    explicit KValidator(QObject* parent = nullptr);
    State validate(QString& text, int& position) const override;
};

#endif
