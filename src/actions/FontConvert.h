#pragma once

#include "prefs/PrefTypes.h"

#include <QFont>

// The Qt font of a font description (its colour is not part of a QFont; see ColorToQColor).
QFont FontDescToQFont(const TFontDesc& aFont);
// A description of a Qt font, keeping aColor and the given pixels per inch.
TFontDesc QFontToFontDesc(const QFont& aFont, TColor aColor, int aPixelsPerInch = 96);
