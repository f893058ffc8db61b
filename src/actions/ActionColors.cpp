#include "ActionColors.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>
#include <optional>

namespace {

struct ColorName {
    const char* Name;
    quint32 Value;
};

// The colour constants of scripts and switches; the first name of a value is its text form.
constexpr std::array<ColorName, 54> kColorNames{{
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
    {"clWhite", 0xFFFFFF},
    {"clLtGray", 0xC0C0C0},
    {"clDkGray", 0x808080},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
    {"clScrollBar", 0xFF000000},
    {"clBackground", 0xFF000001},
    {"clActiveCaption", 0xFF000002},
    {"clInactiveCaption", 0xFF000003},
    {"clMenu", 0xFF000004},
    {"clWindow", 0xFF000005},
    {"clWindowFrame", 0xFF000006},
    {"clMenuText", 0xFF000007},
    {"clWindowText", 0xFF000008},
    {"clCaptionText", 0xFF000009},
    {"clActiveBorder", 0xFF00000A},
    {"clInactiveBorder", 0xFF00000B},
    {"clAppWorkSpace", 0xFF00000C},
    {"clHighlight", 0xFF00000D},
    {"clHighlightText", 0xFF00000E},
    {"clBtnFace", 0xFF00000F},
    {"clBtnShadow", 0xFF000010},
    {"clGrayText", 0xFF000011},
    {"clBtnText", 0xFF000012},
    {"clInactiveCaptionText", 0xFF000013},
    {"clBtnHighlight", 0xFF000014},
    {"cl3DDkShadow", 0xFF000015},
    {"cl3DLight", 0xFF000016},
    {"clInfoText", 0xFF000017},
    {"clInfoBk", 0xFF000018},
    {"clHotLight", 0xFF00001A},
    {"clGradientActiveCaption", 0xFF00001B},
    {"clGradientInactiveCaption", 0xFF00001C},
    {"clMenuHighlight", 0xFF00001D},
    {"clMenuBar", 0xFF00001E},
}};

std::optional<TColor> FindColorConstant(const QString& aName)
{
    for (const ColorName& c : kColorNames)
        if (aName.compare(QLatin1String(c.Name), Qt::CaseInsensitive) == 0)
            return TColor(c.Value);
    return std::nullopt;
}

std::optional<QString> ColorConstantName(TColor aColor)
{
    for (const ColorName& c : kColorNames)
        if (c.Value == quint32(aColor))
            return QString::fromLatin1(c.Name);
    return std::nullopt;
}

} // namespace

bool TextToColor(const QString& aText, TColor& aColor)
{
    const QString t = aText.trimmed();
    if (t.isEmpty())
        return false;
    if (const auto named = FindColorConstant(t)) {
        aColor = *named;
        return true;
    }
    bool ok = false;
    qint64 v = t.startsWith(u'$') ? t.mid(1).toLongLong(&ok, 16) : t.toLongLong(&ok, 10);
    if (!ok || v < -0x80000000LL || v > 0xFFFFFFFFLL)
        return false;
    aColor = TColor(quint32(v));
    return true;
}

QString ColorToText(TColor aColor)
{
    if (const auto name = ColorConstantName(aColor))
        return *name;
    return u'$' + QString::number(quint32(aColor), 16).toUpper().rightJustified(8, u'0');
}

QColor ColorToQColor(TColor aColor)
{
    const auto c = quint32(aColor);
    if (aColor == clNone)
        return QColor(Qt::transparent);
    if ((c & 0xFF000000u) == 0xFF000000u) {
        const QPalette pal = QGuiApplication::palette();
        switch (c & 0xFF) {
        case 1:
            return pal.color(QPalette::Window); // desktop background
        case 2:
            return pal.color(QPalette::Highlight); // active caption
        case 3:
            return pal.color(QPalette::Mid); // inactive caption
        case 4:
            return pal.color(QPalette::Window); // menu
        case 5:
            return pal.color(QPalette::Base); // window
        case 6:
            return pal.color(QPalette::Shadow); // window frame
        case 7:
            return pal.color(QPalette::WindowText); // menu text
        case 8:
            return pal.color(QPalette::Text); // window text
        case 9:
            return pal.color(QPalette::HighlightedText); // caption text
        case 12:
            return pal.color(QPalette::Dark); // application workspace
        case 13:
            return pal.color(QPalette::Highlight);
        case 14:
            return pal.color(QPalette::HighlightedText);
        case 15:
            return pal.color(QPalette::Button);
        case 16:
            return pal.color(QPalette::Dark);
        case 17:
            return pal.color(QPalette::Disabled, QPalette::Text);
        case 18:
            return pal.color(QPalette::ButtonText);
        case 20:
            return pal.color(QPalette::Light);
        case 21:
            return pal.color(QPalette::Shadow);
        case 22:
            return pal.color(QPalette::Midlight);
        case 23:
            return pal.color(QPalette::ToolTipText);
        case 24:
            return pal.color(QPalette::ToolTipBase);
        case 26:
            return pal.color(QPalette::Link);
        case 29:
            return pal.color(QPalette::Highlight);
        default:
            return pal.color(QPalette::Window);
        }
    }
    if (aColor == clDefault)
        return QGuiApplication::palette().color(QPalette::Window);
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

TColor QColorToColor(const QColor& aColor)
{
    return RGBToColor(aColor.red(), aColor.green(), aColor.blue());
}
