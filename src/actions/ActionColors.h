#pragma once

#include "prefs/PrefTypes.h"

#include <QColor>
#include <QString>

// Colours: 0x00BBGGRR, or 0xFF000000 + the index of a system colour (0xFF00000F is the button
// face); clNone and clDefault are markers, not colours.
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clSystemColor = TColor(0xFF000000);

constexpr TColor RGBToColor(int r, int g, int b)
{
    return TColor(r | (g << 8) | (b << 16));
}

// The colour named by a constant ("clRed", any case), a decimal number or a "$" hexadecimal
// number; false for text that is no colour.
bool TextToColor(const QString& aText, TColor& aColor);
// The constant's name when the colour has one, else "$" and eight hexadecimal digits.
QString ColorToText(TColor aColor);
// The colour on screen: system colours come from the application's palette; clNone is
// transparent.
QColor ColorToQColor(TColor aColor);
TColor QColorToColor(const QColor& aColor);
