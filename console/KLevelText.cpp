#include "KLevelText.h"
#include "KValidator.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {
bool isSide(QChar c)
{
    return c == u'L' || c == u'l' || c == u'R' || c == u'r';
}

bool allDigits(QStringView text)
{
    return !text.isEmpty()
           && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}
}

namespace {
// 20 * log10(2) / 30: the decibels of one level unit.
const double DecibelsPerLevel = 20.0 * std::log10(2.0) / 30.0;
}

double KLevelText::levelToDecibels(int level)
{
    return level * DecibelsPerLevel;
}

int KLevelText::levelFromDecibels(double decibels)
{
    if (std::isnan(decibels))
        return LevelMin;
    const double level = std::clamp(decibels / DecibelsPerLevel, double(LevelMin), double(LevelMax));
    return int(std::lround(level));
}

QString KLevelText::levelText(int level)
{
    // The lowest level is silence: it renders with no gain at all.
    if (level <= LevelMin)
        return silenceText();
    return QString::number(levelToDecibels(level), 'f', 1);
}

QString KLevelText::silenceText()
{
    return QStringLiteral("-inf");
}

std::optional<int> KLevelText::levelFromText(const QString& text)
{
    if (text.trimmed().compare(silenceText(), Qt::CaseInsensitive) == 0)
        return LevelMin;
    bool ok = false;
    const double d = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    return levelFromDecibels(d);
}

QString KLevelText::panText(int value)
{
    if (value == 0)
        return QStringLiteral("C");
    if (value <= -100)
        return QStringLiteral("L");
    if (value >= 100)
        return QStringLiteral("R");
    return value < 0 ? QStringLiteral("L%1").arg(-value) : QStringLiteral("R%1").arg(value);
}

int KLevelText::panFromText(const QString& text)
{
    if (text.isEmpty() || !isSide(text.at(0)))
        return 0;
    const int sign = (text.at(0) == u'L' || text.at(0) == u'l') ? -1 : 1;
    if (text.size() == 1)
        return sign * 100;
    // Only digits may follow the side letter: "L-5" must not read as a right pan.
    const QStringView digits = QStringView(text).mid(1);
    if (text.size() > 4 || !allDigits(digits))
        return 0;
    return sign * std::min(digits.toInt(), 100);
}

int KLevelText::panToSlider(double pan)
{
    if (!std::isfinite(pan))
        return 0;
    return int(std::lround(std::clamp(pan, -1.0, 1.0) * 100.0));
}

KValidator::KValidator(QObject* parent) : QValidator(parent)
{
}

QValidator::State KValidator::validate(QString& text, int&) const
{
    if (text.isEmpty())
        return Acceptable;
    if (isSide(text.at(0))) {
        if (text.size() == 1)
            return Acceptable;
        if (!allDigits(QStringView(text).mid(1)))
            return Invalid;
        if (text.size() == 2)
            return text.at(1) == u'0' ? Invalid : Acceptable;
        return text.size() <= 4 ? Acceptable : Invalid;
    }
    if (text == u"C" || text == u"c" || text == u"0")
        return Acceptable;
    return text.size() == 4 && text.back().isDigit() ? Acceptable : Invalid;
}
