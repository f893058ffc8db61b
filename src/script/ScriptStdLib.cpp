#include "script/ScriptStdLib.h"

#include "base/ScriptDateTime.h"
#include "script/ScriptFormat.h"
#include "script/TScriptParser.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cmath>

namespace tscript {

namespace {

QString Quoted(const QString& aText)
{
    return QLatin1Char('\'') % aText % QLatin1Char('\'');
}

// Scripts written on Windows separate folders with backslashes.
QString LocalPath(const QString& aPath)
{
    QString p = aPath;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

QString TrimChars(const QString& aText, bool aLeft, bool aRight)
{
    qsizetype b = 0, e = aText.size();
    if (aLeft)
        while (b < e && aText.at(b).unicode() <= 32)
            ++b;
    if (aRight)
        while (e > b && aText.at(e - 1).unicode() <= 32)
            --e;
    return aText.mid(b, e - b);
}

QString AsciiCase(const QString& aText, bool aUpper)
{
    QString out = aText;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (aUpper && u >= u'a' && u <= u'z')
            c = QChar(char16_t(u - 32));
        if (!aUpper && u >= u'A' && u <= u'Z')
            c = QChar(char16_t(u + 32));
    }
    return out;
}

// CompareText and SameText fold the case of a..z only, as in Delphi (AnsiUpperCase is the
// Unicode one): 'a' and 'A' are the same text, 'é' and 'É' are not.
int CompareTextAscii(const QString& aLeft, const QString& aRight)
{
    return AsciiCase(aLeft, true).compare(AsciiCase(aRight, true));
}

QString Repeat(const QString& aText, qint64 aCount)
{
    if (aCount <= 0 || aText.isEmpty())
        return QString();
    CheckLength(qint64(aText.size()) * aCount);
    return aText.repeated(qsizetype(aCount));
}

qint64 FloatToInt64(double aValue)
{
    if (!(aValue >= -9.2233720368547758e18 && aValue < 9.2233720368547758e18))
        ThrowFault(QStringLiteral("Valeur hors limites pour un entier"));
    return qint64(aValue);
}

double FromQt(const QDateTime& aWhen)
{
    return ScriptDateTimeFromQt(aWhen);
}

QDateTime ToQt(double aValue)
{
    const QDateTime when = ScriptDateTimeToQt(aValue);
    if (!when.isValid())
        ThrowFault(QStringLiteral("Date ou heure incorrecte"));
    return when;
}

struct TNativeDef {
    const char* declaration;
    TNativeFn fn;
};

const TNativeDef kNatives[] = {
    // Conversions.
    {"function IntToStr(Value: Int64): string;",
     [](TRun&, TVal* a, TVal& r) { r.s = QString::number(a[0].n.i); }},
    {"function StrToInt(const S: string): Integer;",
     [](TRun&, TVal* a, TVal& r) {
         qint64 v = 0;
         if (!TextToInt(a[0].s, v) || v < std::numeric_limits<qint32>::min() || v > 0xFFFFFFFFLL)
             ThrowFault(Quoted(a[0].s) % QStringLiteral(" n'est pas une valeur entière correcte"));
         r.n.i = v;
     }},
    {"function StrToInt64(const S: string): Int64;",
     [](TRun&, TVal* a, TVal& r) {
         qint64 v = 0;
         if (!TextToInt(a[0].s, v))
             ThrowFault(Quoted(a[0].s) % QStringLiteral(" n'est pas une valeur entière correcte"));
         r.n.i = v;
     }},
    {"function StrToIntDef(const S: string; Default: Integer): Integer;",
     [](TRun&, TVal* a, TVal& r) {
         qint64 v = 0;
         const bool ok = TextToInt(a[0].s, v) && v >= std::numeric_limits<qint32>::min() && v <= 0xFFFFFFFFLL;
         r.n.i = ok ? v : a[1].n.i;
     }},
    {"function FloatToStr(Value: Double): string;",
     [](TRun&, TVal* a, TVal& r) { r.s = FloatToText(a[0].n.f); }},
    {"function StrToFloat(const S: string): Double;",
     [](TRun&, TVal* a, TVal& r) {
         // "inf" and "1e999" are no values a script can compute with.
         if (!TextToFloat(a[0].s, r.n.f) || !std::isfinite(r.n.f))
             ThrowFault(Quoted(a[0].s) % QStringLiteral(" n'est pas une valeur en virgule flottante correcte"));
     }},
    {"function StrToFloatDef(const S: string; Default: Double): Double;",
     [](TRun&, TVal* a, TVal& r) {
         if (!TextToFloat(a[0].s, r.n.f) || !std::isfinite(r.n.f)) r.n.f = a[1].n.f;
     }},
    {"function BoolToStr(B: Boolean; UseBoolStrs: Boolean = False): string;",
     [](TRun&, TVal* a, TVal& r) {
         if (a[1].n.i)
             r.s = a[0].n.i ? QStringLiteral("True") : QStringLiteral("False");
         else
             r.s = a[0].n.i ? QStringLiteral("-1") : QStringLiteral("0");
     }},
    {"function StrToBool(const S: string): Boolean;",
     [](TRun&, TVal* a, TVal& r) {
         const QString t = a[0].s.trimmed().toLower();
         qint64 v = 0;
         if (t == QLatin1String("true"))
             r.n.i = 1;
         else if (t == QLatin1String("false"))
             r.n.i = 0;
         else if (TextToInt(t, v))
             r.n.i = v != 0;
         else
             ThrowFault(Quoted(a[0].s) % QStringLiteral(" n'est pas une valeur booléenne correcte"));
     }},
    // Texts.
    {"function Copy(const S: string; Index: Integer; Count: Integer = MaxInt): string;",
     [](TRun&, TVal* a, TVal& r) {
         const qint64 len = a[0].s.size();
         const qint64 index = std::max<qint64>(a[1].n.i, 1);
         const qint64 count = std::min(a[2].n.i, len - index + 1);
         r.s = index > len || count <= 0 ? QString() : a[0].s.mid(qsizetype(index - 1), qsizetype(count));
     }},
    {"function Pos(const SubStr, S: string): Integer;",
     [](TRun&, TVal* a, TVal& r) { r.n.i = a[0].s.isEmpty() ? 0 : a[1].s.indexOf(a[0].s) + 1; }},
    {"function PosEx(const SubStr, S: string; Offset: Integer = 1): Integer;",
     [](TRun&, TVal* a, TVal& r) {
         const qint64 from = a[2].n.i;
         if (a[0].s.isEmpty() || from < 1 || from > a[1].s.size())
             r.n.i = 0;
         else
             r.n.i = a[1].s.indexOf(a[0].s, qsizetype(from - 1)) + 1;
     }},
    {"procedure Delete(var S: string; Index, Count: Integer);",
     [](TRun&, TVal* a, TVal&) {
         QString& s = a[0].n.ref->s;
         const qint64 index = a[1].n.i, count = a[2].n.i;
         if (index < 1 || index > s.size() || count <= 0) return;
         s.remove(qsizetype(index - 1), qsizetype(std::min<qint64>(count, s.size() - index + 1)));
     }},
    {"procedure Insert(const Source: string; var S: string; Index: Integer);",
     [](TRun&, TVal* a, TVal&) {
         QString& s = a[1].n.ref->s;
         CheckLength(qint64(s.size()) + a[0].s.size());
         const qint64 index = std::clamp<qint64>(a[2].n.i, 1, s.size() + 1);
         s.insert(qsizetype(index - 1), a[0].s);
     }},
    {"function UpperCase(const S: string): string;",
     [](TRun&, TVal* a, TVal& r) { r.s = AsciiCase(a[0].s, true); }},
    {"function LowerCase(const S: string): string;",
     [](TRun&, TVal* a, TVal& r) { r.s = AsciiCase(a[0].s, false); }},
    {"function AnsiUpperCase(const S: string): string;",
     [](TRun&, TVal* a, TVal& r) { r.s = a[0].s.toUpper(); }},
    {"function AnsiLowerCase(const S: string): string;",
     [](TRun&, TVal* a, TVal& r) { r.s = a[0].s.toLower(); }},
    {"function Trim(const S: string): string;",
     [](TRun&, TVal* a, TVal& r) { r.s = TrimChars(a[0].s, true, true); }},
    {"function TrimLeft(const S: string): string;",
     [](TRun&, TVal* a, TVal& r) { r.s = TrimChars(a[0].s, true, false); }},
    {"function TrimRight(const S: string): string;",
     [](TRun&, TVal* a, TVal& r) { r.s = TrimChars(a[0].s, false, true); }},
    {"function StringReplace(const S, OldPattern, NewPattern: string; Flags: TReplaceFlags): string;",
     [](TRun&, TVal* a, TVal& r) {
         const bool all = a[3].agg->Has(0);
         const Qt::CaseSensitivity cs = a[3].agg->Has(1) ? Qt::CaseInsensitive : Qt::CaseSensitive;
         const QString& s = a[0].s;
         const QString& from = a[1].s;
         if (from.isEmpty()) {
             r.s = s;
             return;
         }
         QString out;
         qsizetype p = 0;
         for (;;) {
             const qsizetype hit = s.indexOf(from, p, cs);
             if (hit < 0) break;
             out += QStringView(s).mid(p, hit - p);
             out += a[2].s;
             CheckLength(out.size());
             p = hit + from.size();
             if (!all) break;
         }
         out += QStringView(s).mid(p);
         r.s = out;
     }},
    {"function QuotedStr(const S: string): string;",
     [](TRun&, TVal* a, TVal& r) {
         // In one pass: QString::replace moves the whole tail again for every block of quotes.
         const QString& s = a[0].s;
         const qsizetype quotes = s.count(QLatin1Char('\''));
         CheckLength(qint64(s.size()) + quotes + 2);
         QString out;
         out.reserve(s.size() + quotes + 2);
         out += QLatin1Char('\'');
         qsizetype p = 0;
         for (qsizetype hit; (hit = s.indexOf(QLatin1Char('\''), p)) >= 0; p = hit + 1) {
             out += QStringView(s).mid(p, hit + 1 - p);
             out += QLatin1Char('\'');
         }
         out += QStringView(s).mid(p);
         out += QLatin1Char('\'');
         r.s = std::move(out);
     }},
    {"function StringOfChar(Ch: Char; Count: Integer): string;",
     [](TRun&, TVal* a, TVal& r) { r.s = Repeat(QString(QChar(char16_t(a[0].n.i))), a[1].n.i); }},
    {"function DupeString(const AText: string; ACount: Integer): string;",
     [](TRun&, TVal* a, TVal& r) { r.s = Repeat(a[0].s, a[1].n.i); }},
    {"function CompareStr(const S1, S2: string): Integer;",
     [](TRun&, TVal* a, TVal& r) { r.n.i = a[0].s.compare(a[1].s); }},
    {"function CompareText(const S1, S2: string): Integer;",
     [](TRun&, TVal* a, TVal& r) { r.n.i = CompareTextAscii(a[0].s, a[1].s); }},
    {"function SameText(const S1, S2: string): Boolean;",
     [](TRun&, TVal* a, TVal& r) { r.n.i = CompareTextAscii(a[0].s, a[1].s) == 0; }},
    {"function LeftStr(const AText: string; ACount: Integer): string;",
     [](TRun&, TVal* a, TVal& r) { r.s = a[1].n.i <= 0 ? QString() : a[0].s.left(qsizetype(std::min<qint64>(a[1].n.i, a[0].s.size()))); }},
    {"function RightStr(const AText: string; ACount: Integer): string;",
     [](TRun&, TVal* a, TVal& r) { r.s = a[1].n.i <= 0 ? QString() : a[0].s.right(qsizetype(std::min<qint64>(a[1].n.i, a[0].s.size()))); }},
    {"function UpCase(Ch: Char): Char;",
     [](TRun&, TVal* a, TVal& r) {
         const qint64 c = a[0].n.i;
         r.n.i = c >= 'a' && c <= 'z' ? c - 32 : c;
     }},
    // Arithmetic.
    {"function Sqrt(X: Double): Double;",
     [](TRun&, TVal* a, TVal& r) { r.n.f = CheckFloat(std::sqrt(a[0].n.f)); }},
    {"function Sin(X: Double): Double;", [](TRun&, TVal* a, TVal& r) { r.n.f = std::sin(a[0].n.f); }},
    {"function Cos(X: Double): Double;", [](TRun&, TVal* a, TVal& r) { r.n.f = std::cos(a[0].n.f); }},
    {"function Tan(X: Double): Double;", [](TRun&, TVal* a, TVal& r) { r.n.f = CheckFloat(std::tan(a[0].n.f)); }},
    {"function ArcTan(X: Double): Double;", [](TRun&, TVal* a, TVal& r) { r.n.f = std::atan(a[0].n.f); }},
    {"function Exp(X: Double): Double;", [](TRun&, TVal* a, TVal& r) { r.n.f = CheckFloat(std::exp(a[0].n.f)); }},
    {"function Ln(X: Double): Double;",
     [](TRun&, TVal* a, TVal& r) {
         if (!(a[0].n.f > 0)) ThrowFault(QStringLiteral("Opération en virgule flottante incorrecte"));
         r.n.f = std::log(a[0].n.f);
     }},
    {"function Power(Base, Exponent: Double): Double;",
     [](TRun&, TVal* a, TVal& r) { r.n.f = CheckFloat(std::pow(a[0].n.f, a[1].n.f)); }},
    {"function Frac(X: Double): Double;",
     [](TRun&, TVal* a, TVal& r) { r.n.f = a[0].n.f - std::trunc(a[0].n.f); }},
    {"function Int(X: Double): Double;", [](TRun&, TVal* a, TVal& r) { r.n.f = std::trunc(a[0].n.f); }},
    {"function Pi: Double;", [](TRun&, TVal*, TVal& r) { r.n.f = 3.14159265358979323846; }},
    {"function Ceil(X: Double): Int64;",
     [](TRun&, TVal* a, TVal& r) { r.n.i = FloatToInt64(std::ceil(a[0].n.f)); }},
    {"function Floor(X: Double): Int64;",
     [](TRun&, TVal* a, TVal& r) { r.n.i = FloatToInt64(std::floor(a[0].n.f)); }},
    {"procedure Randomize;",
     [](TRun& run, TVal*, TVal&) { run.rng.seed(std::random_device{}()); }},
    // Dates and times.
    {"function Now: TDateTime;",
     [](TRun&, TVal*, TVal& r) { r.n.f = FromQt(QDateTime::currentDateTime()); }},
    {"function Date: TDateTime;",
     [](TRun&, TVal*, TVal& r) { r.n.f = FromQt(QDateTime(QDate::currentDate(), QTime(0, 0))); }},
    {"function Time: TDateTime;",
     [](TRun&, TVal*, TVal& r) {
         r.n.f = QTime::currentTime().msecsSinceStartOfDay() / 86400000.0;
     }},
    {"function FormatDateTime(const Format: string; DateTime: TDateTime): string;",
     [](TRun&, TVal* a, TVal& r) { r.s = FormatScriptDateTime(a[0].s, ToQt(a[1].n.f)); }},
    {"function DateToStr(DateTime: TDateTime): string;",
     [](TRun&, TVal* a, TVal& r) { r.s = FormatScriptDateTime(QStringLiteral("ddddd"), ToQt(a[0].n.f)); }},
    {"function TimeToStr(DateTime: TDateTime): string;",
     [](TRun&, TVal* a, TVal& r) { r.s = FormatScriptDateTime(QStringLiteral("tt"), ToQt(a[0].n.f)); }},
    {"function DateTimeToStr(DateTime: TDateTime): string;",
     [](TRun&, TVal* a, TVal& r) { r.s = FormatScriptDateTime(QStringLiteral("c"), ToQt(a[0].n.f)); }},
    {"function EncodeDate(Year, Month, Day: Word): TDateTime;",
     [](TRun&, TVal* a, TVal& r) {
         const QDate d(int(a[0].n.i), int(a[1].n.i), int(a[2].n.i));
         if (!d.isValid()) ThrowFault(QStringLiteral("Date incorrecte"));
         r.n.f = FromQt(QDateTime(d, QTime(0, 0)));
     }},
    {"function EncodeTime(Hour, Min, Sec, MSec: Word): TDateTime;",
     [](TRun&, TVal* a, TVal& r) {
         const QTime t(int(a[0].n.i), int(a[1].n.i), int(a[2].n.i), int(a[3].n.i));
         if (!t.isValid()) ThrowFault(QStringLiteral("Heure incorrecte"));
         r.n.f = t.msecsSinceStartOfDay() / 86400000.0;
     }},
    {"procedure DecodeDate(const DateTime: TDateTime; var Year, Month, Day: Word);",
     [](TRun&, TVal* a, TVal&) {
         const QDate d = ToQt(a[0].n.f).date();
         a[1].n.ref->n.i = d.year();
         a[2].n.ref->n.i = d.month();
         a[3].n.ref->n.i = d.day();
     }},
    {"procedure DecodeTime(const DateTime: TDateTime; var Hour, Min, Sec, MSec: Word);",
     [](TRun&, TVal* a, TVal&) {
         const QTime t = ToQt(a[0].n.f).time();
         a[1].n.ref->n.i = t.hour();
         a[2].n.ref->n.i = t.minute();
         a[3].n.ref->n.i = t.second();
         a[4].n.ref->n.i = t.msec();
     }},
    {"function DayOfWeek(const DateTime: TDateTime): Integer;",
     [](TRun&, TVal* a, TVal& r) { r.n.i = ToQt(a[0].n.f).date().dayOfWeek() % 7 + 1; }},
    {"function GetTickCount: Cardinal;",
     [](TRun&, TVal*, TVal& r) {
         static QElapsedTimer clock = [] {
             QElapsedTimer t;
             t.start();
             return t;
         }();
         r.n.i = clock.elapsed();
     }},
    // Files.
    {"function FileExists(const FileName: string): Boolean;",
     [](TRun&, TVal* a, TVal& r) { r.n.i = QFileInfo(LocalPath(a[0].s)).isFile(); }},
    {"function DirectoryExists(const Directory: string): Boolean;",
     [](TRun&, TVal* a, TVal& r) { r.n.i = !a[0].s.isEmpty() && QFileInfo(LocalPath(a[0].s)).isDir(); }},
    {"function GetCurrentDir: string;", [](TRun&, TVal*, TVal& r) { r.s = QDir::currentPath(); }},
};

struct TIntrinsicDef {
    const char* name;
    TIntrinsic id;
};

const TIntrinsicDef kIntrinsics[] = {
    {"Exit", TIntrinsic::Exit},         {"Break", TIntrinsic::Break},
    {"Continue", TIntrinsic::Continue}, {"Inc", TIntrinsic::Inc},
    {"Dec", TIntrinsic::Dec},           {"Include", TIntrinsic::Include},
    {"Exclude", TIntrinsic::Exclude},   {"SetLength", TIntrinsic::SetLength},
    {"Length", TIntrinsic::Length},     {"Low", TIntrinsic::Low},
    {"High", TIntrinsic::High},         {"Ord", TIntrinsic::Ord},
    {"Chr", TIntrinsic::Chr},           {"Succ", TIntrinsic::Succ},
    {"Pred", TIntrinsic::Pred},         {"Abs", TIntrinsic::Abs},
    {"Sqr", TIntrinsic::Sqr},           {"Round", TIntrinsic::Round},
    {"Trunc", TIntrinsic::Trunc},       {"Min", TIntrinsic::Min},
    {"Max", TIntrinsic::Max},           {"Format", TIntrinsic::Format},
    {"IntToHex", TIntrinsic::IntToHex}, {"Random", TIntrinsic::Random},
    {"Concat", TIntrinsic::Concat},     {"Odd", TIntrinsic::Odd},
};

struct TTypeName {
    const char* name;
    const TScriptType* (*type)();
};

const TTypeName kTypeNames[] = {
    {"Integer", types::Integer},
    {"LongInt", types::Integer},
    {"Cardinal", types::Cardinal},
    {"LongWord", types::Cardinal},
    {"DWORD", types::Cardinal},
    {"UInt32", types::Cardinal},
    {"SmallInt", types::SmallInt},
    {"ShortInt", types::ShortInt},
    {"Word", types::Word},
    {"Byte", types::Byte},
    {"Int64", types::Int64},
    {"NativeInt", types::Int64},
    {"TColor", types::Color},
    {"Double", types::Double},
    {"Single", types::Double},
    {"Extended", types::Double},
    {"Real", types::Double},
    {"Currency", types::Double},
    {"TDateTime", types::Double},
    {"TDate", types::Double},
    {"TTime", types::Double},
    {"Boolean", types::Boolean},
    {"ByteBool", types::Boolean},
    {"WordBool", types::Boolean},
    {"LongBool", types::Boolean},
    {"Char", types::Char},
    {"WideChar", types::Char},
    {"AnsiChar", types::Char},
    {"string", types::String},
    {"WideString", types::String},
    {"AnsiString", types::String},
    {"UnicodeString", types::String},
    {"ShortString", types::String},
    {"UTF8String", types::String},
    {"RawByteString", types::String},
};

class TSystemUnit {
public:
    TSystemUnit()
        : m_scope(nullptr, 0)
    {
        try {
            for (const TTypeName& t : kTypeNames)
                Add(TSymKind::Type, t.name, t.type());
            AddConst("True", types::Boolean(), TVal::Int(1));
            AddConst("False", types::Boolean(), TVal::Int(0));
            AddConst("MaxInt", types::Integer(), TVal::Int(2147483647));
            AddConst("MaxLongint", types::Integer(), TVal::Int(2147483647));
            for (const TIntrinsicDef& d : kIntrinsics)
                Add(TSymKind::Intrinsic, d.name, nullptr)->intrinsic = d.id;
            DeclareType("TReplaceFlag", "(rfReplaceAll, rfIgnoreCase)");
            DeclareType("TReplaceFlags", "set of TReplaceFlag");
            for (const TNativeDef& d : kNatives) {
                TScriptParser parser(m_unit,
                                     TScriptLexer::Tokenize(QString::fromUtf8(d.declaration)));
                QString key;
                TRoutine* r = parser.ParseHeadingText(m_scope, TRoutine::TKind::Native, key);
                r->native = d.fn;
                TSymbol* sym = m_unit.NewSymbol();
                sym->kind = TSymKind::Routine;
                sym->name = r->name;
                sym->routine = r;
                if (!m_scope.Add(key, sym))
                    qFatal("duplicate library routine");
            }
        } catch (const TCompileError& e) {
            qFatal("script library: %s", qPrintable(e.text));
        }
    }
    const TScope& Scope() const { return m_scope; }

private:
    TSymbol* Add(TSymKind aKind, const char* aName, const TScriptType* aType)
    {
        TSymbol* sym = m_unit.NewSymbol();
        sym->kind = aKind;
        sym->name = QString::fromLatin1(aName);
        sym->type = aType;
        if (!m_scope.Add(sym->name.toLower(), sym))
            qFatal("duplicate library name %s", aName);
        return sym;
    }
    void AddConst(const char* aName, const TScriptType* aType, TVal aValue)
    {
        Add(TSymKind::Const, aName, aType)->value = std::move(aValue);
    }
    void DeclareType(const char* aName, const char* aDefinition)
    {
        TScriptParser parser(m_unit, TScriptLexer::Tokenize(QString::fromLatin1(aDefinition)));
        const TScriptType* t = parser.ParseTypeText(m_scope);
        const_cast<TScriptType*>(t)->name = QString::fromLatin1(aName);
        Add(TSymKind::Type, aName, t);
    }

    TProgram m_unit;
    TScope m_scope;
};

} // namespace

const TScope& SystemScope()
{
    static const TSystemUnit unit;
    return unit.Scope();
}

} // namespace tscript
