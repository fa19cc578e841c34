#include "KLevelSpinBox.h"
#include "KLevelText.h"

#include <QLocale>

#include <cmath>

KLevelSpinBox::KLevelSpinBox(QWidget* parent) : QSpinBox(parent)
{
    setRange(KLevelText::LevelMin, KLevelText::LevelMax);
    setSuffix(QStringLiteral(" dB"));
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QString KLevelSpinBox::textFromValue(int level) const
{
    return KLevelText::levelText(level);
}

int KLevelSpinBox::valueFromText(const QString& text) const
{
    QString number = text;
    if (number.endsWith(suffix()))
        number.chop(suffix().size());
    return KLevelText::levelFromText(number).value_or(value());
}

QValidator::State KLevelSpinBox::validate(QString& text, int&) const
{
    QString number = text;
    if (number.endsWith(suffix()))
        number.chop(suffix().size());
    number = number.trimmed();
    if (number.isEmpty() || number == u"-" || number == u"+" || number == u"." || number == u"-.")
        return QValidator::Intermediate;
    // The silence readout, whole or being typed.
    const QString silence = KLevelText::silenceText();
    if (number.compare(silence, Qt::CaseInsensitive) == 0)
        return QValidator::Acceptable;
    if (silence.startsWith(number, Qt::CaseInsensitive))
        return QValidator::Intermediate;
    bool ok = false;
    const double decibels = QLocale::c().toDouble(number, &ok);
    return ok && std::isfinite(decibels) ? QValidator::Acceptable : QValidator::Invalid;
}
