#pragma once

#include <QString>

// Floats as text that reads back the same whatever the locale: the shortest exact form, with a
// point ("0.5", "1e-05", "-3").
QString FloatToText(double aValue);

// Reads a float written with a point or a comma, spaces around allowed; false for anything else.
bool TextToFloat(const QString& aText, double& aValue);

// A decimal 32-bit integer, spaces around allowed; false for anything else.
bool TextToInt(const QString& aText, qint32& aValue);
