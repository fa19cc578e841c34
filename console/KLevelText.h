// The texts of a strip's level and pan fields: what they show and how typed text reads back.
#ifndef KLEVELTEXT_H
#define KLEVELTEXT_H

#include <QString>

#include <optional>

namespace KLevelText {
// A level unit doubles the amplitude every 30 units: one unit is 20*log10(2)/30 dB (0.2007 dB).
// Levels run from -240 (-48.2 dB) to 60 (+12.0 dB). Every level readout and every typed level
// goes through these functions, so that what is shown is the amplitude gain in decibels.
constexpr int LevelMin = -240;
constexpr int LevelMax = 60;
// The gain of a level in decibels, unrounded.
double levelToDecibels(int level);
// The level nearest to a gain in decibels, kept within LevelMin..LevelMax (LevelMin when not a
// number).
int levelFromDecibels(double decibels);
// The level's gain in decibels with one decimal ("-6.0", "0.0", "12.0"), silenceText() for
// LevelMin, which mixes with gain 0; each level has its own text and that text reads back to the
// same level.
QString levelText(int level);
// "-inf": the readout of the lowest level.
QString silenceText();
// A typed gain in decibels: the nearest level, kept within the limits; silenceText() is
// LevelMin. Nothing for text that is not a finite number (read in the C locale).
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
