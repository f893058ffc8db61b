#pragma once

#include <QString>

#include <vector>

namespace tscript {

struct TFormatArg {
    enum class TKind { Int, Float, Str };
    TKind kind = TKind::Int;
    qint64 i = 0;
    double f = 0;
    QString s;
};

// Format('%d %s %.2f %x', [...]) of the language: % [index:] [-] [width] [.precision] type, types
// d u x e f g n m p s and %%. Width and precision may be '*'. Throws ThrowFault on a bad format.
QString FormatText(const QString& aFormat, const std::vector<TFormatArg>& aArgs);

// FloatToStr: 15 significant digits, the point as decimal separator, scientific notation
// below 0.00001 and from 1E15 ("1E-6", "1.5E20").
QString FloatToText(double aValue);

// StrToFloat: a point or a comma as decimal separator, an exponent, spaces around.
bool TextToFloat(const QString& aText, double& aValue);

// StrToInt: decimal, "$FF" or "0xFF", a sign, spaces around.
bool TextToInt(const QString& aText, qint64& aValue);

} // namespace tscript
