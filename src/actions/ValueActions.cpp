#include "actions/ValueActions.h"

#include "actions/ActionColors.h"

#include "base/NumberText.h"

namespace {

QString BoolText(bool aValue)
{
    return aValue ? QStringLiteral("True") : QStringLiteral("False");
}

QString HexColor(TColor aColor, int aDigits)
{
    return QString::number(quint32(aColor), 16).toUpper().rightJustified(aDigits, u'0');
}

qint32 IntOrZero(QStringView aText)
{
    qint32 v = 0;
    return TextToInt(aText.toString(), v) ? v : 0;
}

qint32 IntArg(const TScriptArgs& aArgs, qsizetype i)
{
    return qint32(aArgs.value(i).ToInt());
}

// The inside of "( ... )" after trimming, or nothing when the brackets are missing.
std::optional<QString> Bracketed(const QString& aText)
{
    const QString t = aText.trimmed();
    if (t.size() < 2 || !t.startsWith(u'(') || !t.endsWith(u')'))
        return std::nullopt;
    return t.mid(1, t.size() - 2);
}

} // namespace

bool TextToBoolean(const QString& aText)
{
    const QString t = aText.trimmed().toLower();
    if (t == QLatin1String("true") || t == QLatin1String("vrai") || t == QLatin1String("t") ||
        t == QLatin1String("v"))
        return true;
    qint32 n = 0;
    return TextToInt(t, n) && n != 0;
}

// --- wide string

void TWidestringAction::SetAsText(const QString& aText)
{
    SetValue(aText);
}
void TWidestringAction::ReadValue(TDravikPreferences& gp)
{
    m_value = gp.ReadString(ScriptName, DefaultValue);
}
bool TWidestringAction::WriteValue(TDravikPreferences& gp)
{
    return gp.WriteString(ScriptName, m_value);
}
QString TWidestringAction::MacroArguments(const QString& aValue) const
{
    return PascalQuote(aValue);
}
QString TWidestringAction::FromScript(const TScriptArgs& aArgs) const
{
    return aArgs.value(0).ToString();
}

// --- 8-bit string

void TStringAction::SetAsText(const QString& aText)
{
    SetValue(aText.toUtf8());
}
void TStringAction::ReadValue(TDravikPreferences& gp)
{
    m_value = gp.ReadString(ScriptName, QString::fromUtf8(DefaultValue)).toUtf8();
}
bool TStringAction::WriteValue(TDravikPreferences& gp)
{
    return gp.WriteString(ScriptName, QString::fromUtf8(m_value));
}
QString TStringAction::MacroArguments(const QByteArray& aValue) const
{
    return PascalQuote(QString::fromUtf8(aValue));
}
QByteArray TStringAction::FromScript(const TScriptArgs& aArgs) const
{
    return aArgs.value(0).ToString().toUtf8();
}

// --- integer

void TIntegerAction::SetAsText(const QString& aText)
{
    qint32 v = -1;
    if (!TextToInt(aText, v))
        v = -1;
    SetValue(v);
}
void TIntegerAction::ReadValue(TDravikPreferences& gp)
{
    m_value = gp.ReadInteger(ScriptName, DefaultValue);
}
bool TIntegerAction::WriteValue(TDravikPreferences& gp)
{
    return gp.WriteInteger(ScriptName, m_value);
}
QString TIntegerAction::MacroArguments(const qint32& aValue) const
{
    return QString::number(aValue);
}
qint32 TIntegerAction::FromScript(const TScriptArgs& aArgs) const
{
    return IntArg(aArgs, 0);
}

// --- colour

void TColorAction::SetAsText(const QString& aText)
{
    TColor c = 0;
    if (TextToColor(aText, c))
        SetValue(c);
}
void TColorAction::ReadValue(TDravikPreferences& gp)
{
    m_value = gp.ReadInteger(ScriptName, DefaultValue);
}
bool TColorAction::WriteValue(TDravikPreferences& gp)
{
    return gp.WriteInteger(ScriptName, m_value);
}
QString TColorAction::MacroArguments(const TColor& aValue) const
{
    return u'$' + HexColor(aValue, 6);
}
TColor TColorAction::FromScript(const TScriptArgs& aArgs) const
{
    return TColor(quint32(aArgs.value(0).ToInt()));
}

// --- float

void TDoubleAction::SetAsText(const QString& aText)
{
    double v = -1.0;
    if (!TextToFloat(aText, v))
        v = -1.0;
    SetValue(v);
}
void TDoubleAction::ReadValue(TDravikPreferences& gp)
{
    m_value = gp.ReadFloat(ScriptName, DefaultValue);
}
bool TDoubleAction::WriteValue(TDravikPreferences& gp)
{
    return gp.WriteFloat(ScriptName, m_value);
}
QString TDoubleAction::MacroArguments(const double& aValue) const
{
    return FloatToText(aValue);
}
double TDoubleAction::FromScript(const TScriptArgs& aArgs) const
{
    return aArgs.value(0).ToDouble();
}

// --- Boolean

void TBooleanAction::SetValue(const bool& aValue)
{
    if (aValue == m_value)
        return;
    TValueAction::SetValue(aValue);
}
void TBooleanAction::SetAsText(const QString& aText)
{
    SetValue(TextToBoolean(aText));
}
void TBooleanAction::ReadValue(TDravikPreferences& gp)
{
    m_value = gp.ReadBool(ScriptName, DefaultValue);
}
bool TBooleanAction::WriteValue(TDravikPreferences& gp)
{
    return gp.WriteBool(ScriptName, m_value);
}
QString TBooleanAction::MacroArguments(const bool& aValue) const
{
    return BoolText(aValue);
}
bool TBooleanAction::FromScript(const TScriptArgs& aArgs) const
{
    return aArgs.value(0).ToBool();
}

// --- point

void TPointAction::SetAsText(const QString& aText)
{
    const auto inside = Bracketed(aText);
    if (!inside)
        return;
    const qsizetype comma = inside->indexOf(u',');
    if (comma < 0)
        return;
    SetValue(IntOrZero(QStringView(*inside).left(comma)),
             IntOrZero(QStringView(*inside).mid(comma + 1)));
}
void TPointAction::ReadValue(TDravikPreferences& gp)
{
    m_value = gp.ReadPoint(ScriptName, DefaultValue);
}
bool TPointAction::WriteValue(TDravikPreferences& gp)
{
    return gp.WritePoint(ScriptName, m_value);
}
QString TPointAction::MacroArguments(const TPoint& aValue) const
{
    return QString::number(aValue.X) + u',' + QString::number(aValue.Y);
}
TPoint TPointAction::FromScript(const TScriptArgs& aArgs) const
{
    return TPoint{IntArg(aArgs, 0), IntArg(aArgs, 1)};
}

// --- rectangle

void TRectAction::SetAsText(const QString& aText)
{
    const auto inside = Bracketed(aText);
    if (!inside)
        return;
    // Left, Top, Right, then everything after the third comma as Bottom.
    QList<QStringView> parts;
    QStringView rest(*inside);
    for (int i = 0; i < 3; ++i) {
        const qsizetype comma = rest.indexOf(u',');
        if (comma < 0)
            return;
        parts << rest.left(comma);
        rest = rest.mid(comma + 1);
    }
    parts << rest;
    SetValue(
        TRect{IntOrZero(parts[0]), IntOrZero(parts[1]), IntOrZero(parts[2]), IntOrZero(parts[3])});
}
void TRectAction::ReadValue(TDravikPreferences& gp)
{
    m_value = gp.ReadRect(ScriptName, DefaultValue);
}
bool TRectAction::WriteValue(TDravikPreferences& gp)
{
    return gp.WriteRect(ScriptName, m_value);
}
QString TRectAction::MacroArguments(const TRect& r) const
{
    return QString::number(r.Left) + u',' + QString::number(r.Right) + u',' +
           QString::number(r.Top) + u',' + QString::number(r.Bottom);
}
TRect TRectAction::FromScript(const TScriptArgs& aArgs) const
{
    return TRect{IntArg(aArgs, 0), IntArg(aArgs, 2), IntArg(aArgs, 1), IntArg(aArgs, 3)};
}

// --- font

void TFontAction::SetValue(const QString& aName, qint32 aSize, TColor aColor, bool isBold,
                           bool isItalic, bool isUnderline, bool isStrikeOut)
{
    TFontDesc f;
    f.Name = aName;
    f.Size = aSize;
    f.Color = aColor;
    f.Bold = isBold;
    f.Italic = isItalic;
    f.Underline = isUnderline;
    f.StrikeOut = isStrikeOut;
    SetValue(f);
}
QString TFontAction::ScriptDeclaration()
{
    return QStringLiteral("procedure ") + ScriptName +
           QStringLiteral("(aName:widestring;aSize:integer;aColor:TColor;isBold:Boolean;"
                          "isItalic:Boolean;isUnderline:Boolean;isStrikeOut:Boolean);");
}
void TFontAction::ReadValue(TDravikPreferences& gp)
{
    gp.ReadFont(ScriptName, DefaultValue, m_value);
}
bool TFontAction::WriteValue(TDravikPreferences& gp)
{
    return gp.WriteFont(ScriptName, m_value);
}
QString TFontAction::MacroArguments(const TFontDesc& f) const
{
    const QString sep = QStringLiteral(", ");
    return PascalQuote(f.Name) + sep + QString::number(f.Size) + sep + u'$' + HexColor(f.Color, 6) +
           sep + BoolText(f.Bold) + sep + BoolText(f.Italic) + sep + BoolText(f.Underline) + sep +
           BoolText(f.StrikeOut);
}
TFontDesc TFontAction::FromScript(const TScriptArgs& aArgs) const
{
    TFontDesc f;
    f.Name = aArgs.value(0).ToString();
    f.Size = IntArg(aArgs, 1);
    f.Color = TColor(quint32(aArgs.value(2).ToInt()));
    f.Bold = aArgs.value(3).ToBool();
    f.Italic = aArgs.value(4).ToBool();
    f.Underline = aArgs.value(5).ToBool();
    f.StrikeOut = aArgs.value(6).ToBool();
    return f;
}
