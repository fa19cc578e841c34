// The texts of a strip's level and pan fields: what they show and how typed text reads back.
#ifndef KLEVELTEXT_H
#define KLEVELTEXT_H

#include <QString>

#include <optional>

namespace KLevelText {
// level / 10 in its shortest form, up to 6 significant digits.
QString levelText(int level);
// A typed level in decibels: above 6 gives 60, below -24 gives -240, else tenths truncated
// toward zero. Nothing for text that is not a finite number (read in the C locale).
std::optional<int> levelFromText(const QString& text);
// "C" for 0, "L<n>" or "R<n>" for -100..100, "L" or "R" alone at the ends.
QString panText(int value);
// A typed pan: a side letter alone is the full side; followed by one to three digits, that
// many (at most 100) on that side; anything else is the centre.
int panFromText(const QString& text);
// The pan slider's position for a pan of -1..1, rounded and kept within -100..100 (0 when not
// a number).
int panToSlider(double pan);
}

#endif
