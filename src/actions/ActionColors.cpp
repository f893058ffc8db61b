#include "actions/ActionColors.h"

#include "script/ColorConstants.h"

#include <QGuiApplication>
#include <QPalette>

bool TextToColor(const QString& aText, TColor& aColor)
{
    const QString t = aText.trimmed();
    if (t.isEmpty())
        return false;
    if (const auto named = ColorFromName(t)) {
        aColor = TColor(*named);
        return true;
    }
    // Qt's number reading forgives spaces and a "0x" after the "$": a colour does not.
    const bool hex = t.startsWith(u'$');
    const QStringView digits = QStringView(t).mid(hex ? 1 : (t[0] == u'-' || t[0] == u'+'));
    if (digits.isEmpty() || digits.size() > 16)
        return false;
    for (const QChar c : digits)
        if (!(c.isDigit() || (hex && QStringLiteral("abcdefABCDEF").contains(c))) ||
            c.unicode() > 127)
            return false;
    bool ok = false;
    const qint64 v = hex ? t.mid(1).toLongLong(&ok, 16) : t.toLongLong(&ok, 10);
    if (!ok || v < -0x80000000LL || v > 0xFFFFFFFFLL)
        return false;
    aColor = TColor(quint32(v));
    return true;
}

QString ColorToText(TColor aColor)
{
    const QString name = ColorName(quint32(aColor));
    if (!name.isEmpty())
        return name;
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
