#pragma once

#include <QString>
#include <QtGlobal>

// 0x00BBGGRR, or 0xFF000000 + a system colour index; stored as a signed 32-bit integer.
using TColor = qint32;

struct TPoint {
    qint32 X = 0;
    qint32 Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Edges, not origin and size: Right and Bottom are the coordinates just past the rectangle.
struct TRect {
    qint32 Left = 0;
    qint32 Top = 0;
    qint32 Right = 0;
    qint32 Bottom = 0;
    friend bool operator==(const TRect&, const TRect&) = default;
};

// A font as the preferences and the script language know it.
struct TFontDesc {
    QString Name = QStringLiteral("Sans Serif");
    qint32 Size = 8;                   // points
    TColor Color = TColor(0xFF000008); // window text
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    qint32 Charset = 1; // default character set
    qint32 Pitch = 0;   // 0 default, 1 variable, 2 fixed
    qint32 PixelsPerInch = 96;
    friend bool operator==(const TFontDesc&, const TFontDesc&) = default;
};
