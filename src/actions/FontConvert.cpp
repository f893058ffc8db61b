#include "actions/FontConvert.h"

QFont FontDescToQFont(const TFontDesc& f)
{
    QFont font(f.Name);
    font.setPointSize(f.Size > 0 ? f.Size : 8);
    font.setBold(f.Bold);
    font.setItalic(f.Italic);
    font.setUnderline(f.Underline);
    font.setStrikeOut(f.StrikeOut);
    if (f.Pitch == 2)
        font.setFixedPitch(true);
    return font;
}

TFontDesc QFontToFontDesc(const QFont& aFont, TColor aColor, int aPixelsPerInch)
{
    TFontDesc f;
    f.Name = aFont.family();
    f.Size = aFont.pointSize() > 0 ? aFont.pointSize() : qRound(aFont.pointSizeF());
    f.Color = aColor;
    f.Bold = aFont.bold();
    f.Italic = aFont.italic();
    f.Underline = aFont.underline();
    f.StrikeOut = aFont.strikeOut();
    f.Pitch = aFont.fixedPitch() ? 2 : 0;
    f.PixelsPerInch = aPixelsPerInch;
    return f;
}
