// The engine's standard library.

#include "ScriptTestSupport.h"
#include "base/ScriptDateTime.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString Body(const char* aDecl, const char* aBody)
{
    return Program(S(aDecl), S(aBody));
}

TEST(ScriptLibrary, Conversions)
{
    EXPECT_EQ(Emitted(Body("", R"(
        Emit(IntToStr(-42) + ' ' + IntToStr(StrToInt(' 17 ')) + ' ' + IntToStr(StrToInt('$FF')) + ' ' + IntToStr(StrToInt('-0x10')));
        Emit(IntToStr(StrToIntDef('abc', -1)) + ' ' + IntToStr(StrToIntDef('12', -1)) + ' ' + IntToStr(StrToInt64('9000000000')));
        Emit(FloatToStr(StrToFloat('2,5')) + ' ' + FloatToStr(StrToFloat(' 1.25e2 ')) + ' ' + FloatToStr(StrToFloatDef('x', 7)));
        Emit(IntToHex(255, 4) + ' ' + IntToHex(-1, 2) + ' ' + IntToHex($FF00000F) + ' ' + IntToHex(10));
        Emit(BoolToStr(True) + ' ' + BoolToStr(False, True));
        if StrToBool('TRUE') and not StrToBool('0') then Emit('bools');
    )")),
              S("-42 17 255 -16|-1 12 9000000000|2.5 125 7|00FF FFFFFFFF FF00000F 0000000A|-1 "
                "False|bools"));
}

TEST(ScriptLibrary, TextRoutines)
{
    EXPECT_EQ(Emitted(Body("var s: string;", R"(
        Emit(Copy('abcdef', 2, 3) + ',' + Copy('abc', 0, 2) + ',' + Copy('abc', 3) + ',' + Copy('abc', 5, 1) + ',' + Copy('abc', 2, -1));
        Emit(IntToStr(Pos('cd', 'abcdcd')) + ' ' + IntToStr(Pos('x', 'abc')) + ' ' + IntToStr(Pos('', 'abc')) + ' ' + IntToStr(PosEx('cd', 'abcdcd', 4)));
        s := 'abcdef'; Delete(s, 2, 2); Emit(s);
        s := 'abcdef'; Delete(s, 5, 99); Delete(s, 0, 1); Emit(s);
        s := 'ad'; Insert('bc', s, 2); Insert('<', s, -5); Insert('>', s, 99); Emit(s);
        Emit(UpperCase('école') + ' ' + AnsiUpperCase('école') + ' ' + LowerCase('ÉCOLE') + ' ' + AnsiLowerCase('ÉCOLE'));
        Emit('[' + Trim(#9'  a b '#13#10) + '][' + TrimLeft('  a ') + '][' + TrimRight('  a ') + ']');
        Emit(StringReplace('a-b-B', '-b', '+', []) + ' ' + StringReplace('a-b-B', '-b', '+', [rfReplaceAll, rfIgnoreCase]));
        Emit(QuotedStr('l''été') + ' ' + StringOfChar('*', 3) + ' ' + DupeString('ab', 2) + ' ' + LeftStr('abc', 2) + RightStr('abc', 1));
        if SameText('Abc', 'aBC') and (CompareText('a', 'B') < 0) and (CompareStr('a', 'B') > 0) then Emit('compare');
        s := 'abc'; SetLength(s, 2); Emit(s + IntToStr(Length(s)));
        Emit(Concat('a', 'b', 'c') + UpCase('q'));
    )")),
              S("bcd,ab,c,,|3 0 0 5|adef|abcd|<abcd>|éCOLE ÉCOLE École école|[a b][a ][  a]|a+-B "
                "a++|'l''été' *** abab abc|compare|ab2|abcQ"));
}

TEST(ScriptLibrary, SameTextAndCompareTextFoldTheSameCases)
{
    // Both fold a..z only, as in Delphi.
    EXPECT_EQ(Emitted(Body("", R"(
        Emit(BoolToStr(SameText('a', 'A'), True) + ' ' + IntToStr(CompareText('a', 'A')));
        Emit(BoolToStr(SameText('É', 'é'), True) + ' ' + BoolToStr(CompareText('É', 'é') <> 0, True));
        Emit(BoolToStr(SameText('École', 'éCOLE'), True) + ' ' + BoolToStr(SameText('Été', 'éTÉ'), True));
        if (CompareText('abc', 'ABD') < 0) and (CompareText('b', 'A') > 0) and SameText('Zz9', 'zZ9') then Emit('order');
    )")),
              S("True 0|False True|False False|order"));
}

TEST(ScriptLibrary, QuotedStrTakesLinearTime)
{
    EXPECT_EQ(Emitted(Body("", R"(
        Emit(QuotedStr('') + ' ' + QuotedStr('''') + ' ' + QuotedStr('a''b''''c') + ' ' + QuotedStr('x'));
    )")),
              S("'' '''' 'a''b''''c' 'x'"));
    // 36 million characters with 4 million quotes: a fraction of a second in one pass, hours
    // (and the test's time-out) when the tail moves for each quote.
    EXPECT_EQ(Emitted(Body("var s: string;", R"(
        s := QuotedStr(DupeString('abcdefgh''', 4000000));
        Emit(IntToStr(Length(s)) + Copy(s, 1, 11) + Copy(s, Length(s) - 10, 11));
    )")),
              S("40000002'abcdefgh''abcdefgh'''"));
}

TEST(ScriptLibrary, Format)
{
    EXPECT_EQ(
        Emitted(Body("", R"(
        Emit(Format('%d|%5d|%-5d|%.3d|%x|%.4X|%s|%.2s|%%', [42, 42, 42, 7, 255, 255, 'abc', 'abc']));
        Emit(Format('%.2f|%f|%e|%g|%n|%8.3f', [3.14159, 2.5, 1234.5, 0.1, 1234567.891, -1.5]));
        Emit(Format('%1:s-%0:s %s', ['a', 'b']));
        Emit(Format('%*d|%s', [4, 7, 12]));
        Emit(Format('%d %s', [-5, 'é']));
    )")),
        S("42|   42|42   |007|FF|00FF|abc|ab|%|3.14|2.50|1.23450000000000E+003|0.1|1,234,567.89|  "
          "-1.500|b-a b|   7|12|-5 é"));
}

TEST(ScriptLibrary, OrdinalsAndArithmetic)
{
    EXPECT_EQ(Emitted(Body("var i: Integer; c: Char;", R"(
        i := 5; Inc(i); Inc(i, 10); Dec(i, 3); Dec(i); Emit(IntToStr(i));
        c := 'a'; Inc(c); Emit(c + Chr(Ord(c) + 1) + IntToStr(Ord('A')));
        Emit(IntToStr(Abs(-7)) + ' ' + FloatToStr(Abs(-1.5)) + ' ' + IntToStr(Sqr(9)) + ' ' + FloatToStr(Sqrt(2.25)));
        Emit(IntToStr(Min(3, 4)) + ' ' + FloatToStr(Max(2, 2.5)) + ' ' + IntToStr(Ceil(1.2)) + ' ' + IntToStr(Floor(-1.2)));
        Emit(FloatToStr(Power(2, 10)) + ' ' + FloatToStr(Frac(2.75)) + ' ' + FloatToStr(Int(-2.75)) + ' ' + FloatToStr(Round(Pi * 1000) / 1000));
        Emit(FloatToStr(Exp(0)) + ' ' + FloatToStr(Ln(1)) + ' ' + FloatToStr(Sin(0)) + ' ' + FloatToStr(Cos(0)));
        i := Random(10); if (i >= 0) and (i < 10) and (Random < 1) then Emit('random');
        Emit(IntToStr(High(Integer)) + ' ' + IntToStr(Low(Byte)) + ' ' + IntToStr(High(Word)) + ' ' + IntToStr(Ord(High(Char))));
    )")),
              S("12|bc65|7 1.5 81 1.5|3 2.5 2 -2|1024 0.75 -2 3.142|1 0 0 1|random|2147483647 0 "
                "65535 65535"));
    EXPECT_EQ(RunError(S("begin Emit(FloatToStr(Sqrt(-1))) end.")),
              S("test.pas(1:23): Opération en virgule flottante incorrecte"));
}

TEST(ScriptLibrary, DatesAndTimes)
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    EXPECT_EQ(Emitted(Body("var d: TDateTime; y, m, dd, h, n, s, ms: Word;", R"(
        d := EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);
        Emit(FormatDateTime('yyyy-mm-dd hh:nn:ss.zzz', d));
        Emit(FormatDateTime('d/m/yy h:n:s', d));
        Emit(FormatDateTime('dddd d mmmm yyyy', d) + ' / ' + FormatDateTime('ddd mmm', d));
        Emit(FormatDateTime('"le" dd "à" hh''h''nn', d));
        Emit(FormatDateTime('hh:mm am/pm', d));
        Emit(DateToStr(d) + ' ' + TimeToStr(d) + ' | ' + DateTimeToStr(EncodeDate(2000, 1, 1)));
        DecodeDate(d, y, m, dd); DecodeTime(d, h, n, s, ms);
        Emit(IntToStr(y) + IntToStr(m) + IntToStr(dd) + ' ' + IntToStr(h) + IntToStr(n) + IntToStr(s) + IntToStr(ms));
        Emit(IntToStr(DayOfWeek(d)) + ' ' + FloatToStr(EncodeDate(1899, 12, 30)) + ' ' + FloatToStr(EncodeDate(1900, 1, 1)));
        if (Date <= Now) and (Now - Date < 1) and (Time < 1) then Emit('now');
    )")),
              S("2024-03-05 14:07:09.045|5/3/24 14:7:9|mardi 5 mars 2024 / mar. mars|le 05 à "
                "14h07|02:07 pm|"
                "05/03/2024 14:07:09 | 01/01/2000|202435 147945|3 0 2|now"));
    QLocale::setDefault(QLocale::c());
}

TEST(ScriptLibrary, MacroHeaderDateFormat)
{
    const QLocale fr(QLocale::French, QLocale::France);
    const QDateTime when(QDate(2024, 3, 5), QTime(10, 11, 12));
    EXPECT_EQ(FormatScriptDateTime(S("dddddd à tt"), when, fr), S("mardi 5 mars 2024 à 10:11:12"));
    EXPECT_DOUBLE_EQ(ScriptDateTimeFromQt(QDateTime(QDate(1899, 12, 29), QTime(6, 0))), -1.25);
    // Script dates carry no zone: what is written comes back, whatever the local time.
    EXPECT_EQ(ScriptDateTimeToQt(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0), Qt::UTC));
    EXPECT_EQ(ScriptDateTimeToQt(45356.5), QDateTime(QDate(2024, 3, 5), QTime(12, 0), Qt::UTC));
    EXPECT_FALSE(ScriptDateTimeToQt(1e300).isValid());
}

TEST(ScriptLibrary, FilesAndFolders)
{
    QTemporaryDir dir;
    QFile f(dir.filePath(S("présent.txt")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QString program =
        S("begin\n"
          "  if FileExists('%1/présent.txt') then Emit('file');\n"
          "  if not FileExists('%1/absent.txt') then Emit('no file');\n"
          "  if not FileExists('%1') then Emit('folder is no file');\n"
          "  if DirectoryExists('%1') and DirectoryExists('%2') then Emit('folder');\n"
          "  if not DirectoryExists('%1/présent.txt') then Emit('file is no folder');\n"
          "  if GetCurrentDir <> '' then Emit('cwd');\n"
          "end.")
            .arg(dir.path(), QString(dir.path()).replace(QLatin1Char('/'), QLatin1Char('\\')));
    EXPECT_EQ(Emitted(program), S("file|no file|folder is no file|folder|file is no folder|cwd"));
}

} // namespace
