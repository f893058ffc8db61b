#include "script/ColorConstants.h"

namespace {

constexpr quint32 kSys = 0xFF000000u;

constexpr TColorConstant kColors[] = {
    {"clScrollBar", kSys + 0},
    {"clBackground", kSys + 1},
    {"clActiveCaption", kSys + 2},
    {"clInactiveCaption", kSys + 3},
    {"clMenu", kSys + 4},
    {"clWindow", kSys + 5},
    {"clWindowFrame", kSys + 6},
    {"clMenuText", kSys + 7},
    {"clWindowText", kSys + 8},
    {"clCaptionText", kSys + 9},
    {"clActiveBorder", kSys + 10},
    {"clInactiveBorder", kSys + 11},
    {"clAppWorkSpace", kSys + 12},
    {"clHighlight", kSys + 13},
    {"clHighlightText", kSys + 14},
    {"clBtnFace", kSys + 15},
    {"clBtnShadow", kSys + 16},
    {"clGrayText", kSys + 17},
    {"clBtnText", kSys + 18},
    {"clInactiveCaptionText", kSys + 19},
    {"clBtnHighlight", kSys + 20},
    {"cl3DDkShadow", kSys + 21},
    {"cl3DLight", kSys + 22},
    {"clInfoText", kSys + 23},
    {"clInfoBk", kSys + 24},
    {"clHotLight", kSys + 26},
    {"clGradientActiveCaption", kSys + 27},
    {"clGradientInactiveCaption", kSys + 28},
    {"clMenuHighlight", kSys + 29},
    {"clMenuBar", kSys + 30},
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clLtGray", 0xC0C0C0},
    {"clDkGray", 0x808080},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
};

} // namespace

std::span<const TColorConstant> ColorConstants()
{
    return kColors;
}

std::optional<quint32> ColorFromName(const QString& aName)
{
    const QString name = aName.trimmed();
    for (const TColorConstant& c : kColors)
        if (name.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
            return c.value;
    return std::nullopt;
}

QString ColorName(quint32 aValue)
{
    for (const TColorConstant& c : kColors)
        if (c.value == aValue)
            return QString::fromLatin1(c.name);
    return QString();
}
