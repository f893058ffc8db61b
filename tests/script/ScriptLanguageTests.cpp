// Conformance of the language: each construct, run through the engine.

#include "ScriptTestSupport.h"

#include <gtest/gtest.h>

namespace {

QString Body(const char* aDecl, const char* aBody)
{
    return Program(S(aDecl), S(aBody));
}

TEST(ScriptLanguage, ArithmeticFollowsPascalPrecedence)
{
    EXPECT_EQ(Emitted(Body("", R"(
        Emit(IntToStr(2 + 3 * 4));
        Emit(IntToStr((2 + 3) * 4));
        Emit(IntToStr(7 div 2) + ' ' + IntToStr(-7 div 2) + ' ' + IntToStr(-7 mod 3) + ' ' + IntToStr(7 mod -3));
        Emit(FloatToStr(7 / 2));
        Emit(IntToStr(1 shl 4) + ' ' + IntToStr($F0 shr 4));
        Emit(IntToStr(5 and 3) + ' ' + IntToStr(5 or 3) + ' ' + IntToStr(5 xor 3) + ' ' + IntToStr(not 0));
        Emit(IntToStr(2 * -3) + ' ' + IntToStr(- 2 - 3) + ' ' + IntToStr(10 - 4 - 3));
        Emit(FloatToStr(1 + 0.5) + ' ' + FloatToStr(2 * 1.25));
    )")),
              S("14|20|3 -3 -1 1|3.5|16 15|1 7 6 -1|-6 -5 3|1.5 2.5"));
}

TEST(ScriptLanguage, IntegersWrapToTheirDeclaredWidth)
{
    EXPECT_EQ(
        Emitted(Body(
            "var i: Integer; c: Cardinal; b: Byte; w: Word; s: SmallInt; k: TColor; n: Int64;", R"(
        i := MaxInt; i := i + 1; Emit(IntToStr(i));
        i := -1; Emit(IntToStr(i shr 28));
        c := -1; Emit(IntToStr(c));
        b := 300; w := 70000; s := 40000; Emit(IntToStr(b) + ' ' + IntToStr(w) + ' ' + IntToStr(s));
        i := $FF00000F; k := $FF00000F; n := $FF00000F;
        Emit(IntToStr(i) + ' ' + IntToStr(k) + ' ' + IntToStr(n));
        Emit(IntToStr($7FFFFFFF + 1));
    )")),
        S("-2147483648|15|4294967295|44 4464 -25536|-16777201 4278190095 4278190095|2147483648"));
}

TEST(ScriptLanguage, ShiftsWorkIn32BitsUpToInteger)
{
    // Delphi's rules: 32 bits and the count mod 32 up to Integer and Cardinal, 64 bits for Int64.
    EXPECT_EQ(Emitted(Body("var i: Integer; s: SmallInt; t: ShortInt; b: Byte; w: Word; "
                           "c: Cardinal; n: Int64;",
                           R"(
        Emit(IntToStr(1 shl 31) + ' ' + IntToStr(1 shl 32) + ' ' + IntToStr(1 shl 33) + ' ' + IntToStr(1 shl -1));
        i := 1 shl 31; Emit(IntToStr(i) + ' ' + IntToStr((1 shl 31) shr 31) + ' ' + IntToStr(i shr 32));
        s := -2; t := -1; Emit(IntToStr(s shr 1) + ' ' + IntToStr(t shr 28));
        b := $FF; w := $FFFF; Emit(IntToStr(b shl 24) + ' ' + IntToStr(w shl 16) + ' ' + IntToStr(b shl 32));
        c := $80000000; Emit(IntToStr(c shl 1) + ' ' + IntToStr(c shr 31) + ' ' + IntToStr(Cardinal(1) shl 31));
        n := 1; Emit(IntToStr(n shl 32) + ' ' + IntToStr(n shl 63) + ' ' + IntToStr(n shl 64));
        n := -2; Emit(IntToStr(n shr 1) + ' ' + IntToStr($100000000 shr 32));
    )")),
              S("-2147483648 1 2 -2147483648|-2147483648 1 -2147483648|2147483647 15|"
                "-16777216 -65536 255|0 1 2147483648|4294967296 -9223372036854775808 1|"
                "9223372036854775807 1"));
}

TEST(ScriptLanguage, NotKeepsTheWidthOfItsOperand)
{
    EXPECT_EQ(Emitted(Body("var b: Byte; w: Word; c: Cardinal; lw: LongWord; si: ShortInt; "
                           "s: SmallInt; i: Integer; n: Int64;",
                           R"(
        b := $0F; w := $00FF; Emit(IntToStr(not b) + ' ' + IntToStr((not w) shr 8) + ' ' + IntToStr(not w));
        c := 5; lw := 0; Emit(IntToStr(not c) + ' ' + IntToStr(not lw));
        si := 5; s := 0; i := 0; n := 0; Emit(IntToStr(not si) + ' ' + IntToStr(not s) + ' ' + IntToStr(not i) + ' ' + IntToStr(not n));
        i := not b; if not b = 240 then Emit(IntToStr(i));
        Emit(IntToStr(not Byte(0)) + ' ' + IntToStr(not Word(1)));
    )")),
              S("240 255 65280|4294967290 4294967295|-6 -1 -1 -1|240|255 65534"));
}

TEST(ScriptLanguage, TheSmallestInt64IsALiteralAndAConstant)
{
    EXPECT_EQ(Emitted(Body(R"(
        const M = -9223372036854775808; L = Low(Int64); H = High(Int64);
        var n: Int64;)",
                           R"(
        n := -9223372036854775808;
        Emit(IntToStr(M) + ' ' + IntToStr(L) + ' ' + IntToStr(n) + ' ' + IntToStr(H));
        if (M = L) and (n = L) and (M < 0) and (M + H = -1) then Emit('same');
        case n of -9223372036854775808: Emit('case'); end;
        Emit(IntToStr(-9223372036854775808 div 2) + ' ' + IntToStr(- 9223372036854775807 - 1));
    )")),
              S("-9223372036854775808 -9223372036854775808 -9223372036854775808 "
                "9223372036854775807|same|case|-4611686018427387904 -9223372036854775808"));
    // Without the minus sign the literal is no Int64.
    EXPECT_EQ(CompileError(S("var n: Int64;\nbegin\n  n := 9223372036854775808;\nend.")),
              S("[Erreur] test.pas(3:8): Constante entière trop grande 9223372036854775808"));
    EXPECT_EQ(CompileError(S("var n: Int64;\nbegin\n  n := -(9223372036854775808);\nend.")),
              S("[Erreur] test.pas(3:10): Constante entière trop grande 9223372036854775808"));
    EXPECT_EQ(CompileError(S("var n: Int64;\nbegin\n  n := -9223372036854775809;\nend.")),
              S("[Erreur] test.pas(3:9): Constante entière trop grande 9223372036854775809"));
}

TEST(ScriptLanguage, LongElseIfChainsCompileAndRun)
{
    // A flat chain nests neither the compiler nor the interpreter, however long it is.
    const int branches = 3000;
    QString text = S("function Pick(n: Integer): Integer;\nbegin\n  if n = 0 then Result := 0\n");
    for (int k = 1; k < branches; ++k)
        text += QStringLiteral("  else if n = %1 then Result := %2\n").arg(k).arg(k * 10);
    text += S("  else Result := -1;\nend;\n"
              "var i, sum: Integer;\nbegin\n"
              "  Emit(IntToStr(Pick(0)) + ' ' + IntToStr(Pick(1)) + ' ' + IntToStr(Pick(2999)) +"
              " ' ' + IntToStr(Pick(5000)));\n"
              "  sum := 0; for i := 0 to 2999 do sum := sum + Pick(i); Emit(IntToStr(sum));\n"
              "  if False then Emit('a') else if False then Emit('b') else if True then\n"
              "    if False then Emit('c') else Emit('inner else')\n"
              "  else Emit('d');\n"
              "end.");
    EXPECT_EQ(Emitted(text), S("0 10 29990 -1|44985000|inner else"));
}

TEST(ScriptLanguage, BooleansShortCircuitAndCompare)
{
    EXPECT_EQ(Emitted(Body("var x: Integer; b: Boolean;", R"(
        x := 0;
        if (x <> 0) and (10 div x > 1) then Emit('no') else Emit('safe');
        if (x = 0) or (10 div x > 1) then Emit('or');
        b := not (x > 1) xor False;
        if b then Emit('T');
        if False < True then Emit('lt');
        if 'abc' < 'abd' then Emit('str');
        if 'b' > 'a' then Emit('char');
        if 2 = 2.0 then Emit('mixed');
        if 'a' + 'b' = 'ab' then Emit('concat');
    )")),
              S("safe|or|T|lt|str|char|mixed|concat"));
}

TEST(ScriptLanguage, StringsConcatenateIndexAndQuote)
{
    EXPECT_EQ(Emitted(Body("var s: string; c: Char;", R"(
        s := 'l''été' + #33;
        Emit(s);
        Emit(IntToStr(Length(s)) + ' ' + s[1] + s[Length(s)]);
        s[2] := 'X';
        Emit(s);
        c := s[3];
        Emit(c + c);
        if 'a'#13#10'b' = 'a' + Chr(13) + Chr(10) + 'b' then Emit('codes');
        Emit(#$41#66'C');
        Emit('');
    )")),
              S("l'été!|6 l!|lXété!|éé|codes|ABC|"));
}

TEST(ScriptLanguage, IfWhileRepeatAndFor)
{
    EXPECT_EQ(Emitted(Body("var i, n: Integer; s: string;", R"(
        n := 0; while n < 5 do n := n + 2; Emit(IntToStr(n));
        repeat n := n - 1 until n <= 3; Emit(IntToStr(n));
        s := ''; for i := 1 to 4 do s := s + IntToStr(i); Emit(s);
        s := ''; for i := 4 downto 1 do s := s + IntToStr(i); Emit(s);
        s := ''; for i := 3 to 1 do s := s + 'x'; Emit('[' + s + ']');
        if n = 3 then if i = 9 then Emit('no') else Emit('dangling') else Emit('outer');
    )")),
              S("6|3|1234|4321|[]|dangling"));
}

TEST(ScriptLanguage, BreakAndContinueLeaveTheInnermostLoop)
{
    EXPECT_EQ(Emitted(Body("var i, j: Integer; s: string;", R"(
        s := '';
        for i := 1 to 5 do begin
          if i = 2 then continue;
          if i = 5 then break;
          for j := 1 to 9 do begin if j > i then break; s := s + IntToStr(j); end;
          s := s + ';';
        end;
        Emit(s);
        i := 0; s := '';
        while True do begin Inc(i); if Odd(i) then continue; s := s + IntToStr(i); if i >= 6 then break; end;
        Emit(s);
        i := 0; s := '';
        repeat Inc(i); if i = 2 then continue; s := s + IntToStr(i); until i >= 4;
        Emit(s);
    )")),
              S("1;123;1234;|246|134"));
}

TEST(ScriptLanguage, CaseWithListsRangesElseAndStrings)
{
    EXPECT_EQ(Emitted(Body(R"(
        type TDay = (Lun, Mar, Mer);
        function Kind(n: Integer): string;
        begin
          case n of
            0: Result := 'zero';
            1, 3, 5: Result := 'odd';
            10..20: Result := 'teen';
          else
            Result := 'other';
          end;
        end;)",
                           R"(
        Emit(Kind(0) + ' ' + Kind(3) + ' ' + Kind(15) + ' ' + Kind(7));
        case Mer of Lun: Emit('lun'); Mar, Mer: Emit('mar-mer'); end;
        case 'b' of 'a'..'c': Emit('abc'); end;
        case 'deux' of 'un': Emit('1'); 'deux': Emit('2'); end;
        case 9 of 1: Emit('one'); end;
    )")),
              S("zero odd teen other|mar-mer|abc|2"));
}

TEST(ScriptLanguage, RoutinesPassByValueConstAndVar)
{
    EXPECT_EQ(Emitted(Body(R"(
        var g: Integer;
        procedure Bump(a: Integer; const b: Integer; var c: Integer);
        begin a := a + 1; c := c + a + b; end;
        function Twice(x: Integer): Integer; begin Twice := x * 2; end;
        function Sum(a: Integer; b: Integer = 10): Integer; begin Result := a + b; end;
        function Answer: Integer; begin Result := 42; end;
        procedure Hello; begin Emit('hello'); end;)",
                           R"(
        g := 1; Bump(g, 5, g); Emit(IntToStr(g));
        Emit(IntToStr(Twice(4)) + ' ' + IntToStr(Sum(1)) + ' ' + IntToStr(Sum(1, 2)));
        Emit(IntToStr(Answer) + ' ' + IntToStr(Answer()));
        Hello; Hello();
    )")),
              S("8|8 11 3|42 42|hello|hello"));
}

TEST(ScriptLanguage, RecursionNestingAndForward)
{
    EXPECT_EQ(Emitted(Body(R"(
        function Fact(n: Integer): Int64;
        begin if n <= 1 then Result := 1 else Result := n * Fact(n - 1); end;
        function IsEven(n: Integer): Boolean; forward;
        function IsOdd(n: Integer): Boolean;
        begin if n = 0 then Result := False else Result := IsEven(n - 1); end;
        function IsEven(n: Integer): Boolean;
        begin if n = 0 then Result := True else Result := IsOdd(n - 1); end;
        function Outer(n: Integer): Integer;
          var total: Integer;
          procedure Add(k: Integer);
            procedure Deeper; begin total := total + k * 100; end;
          begin total := total + k; if k = 2 then Deeper; end;
        begin
          total := 0; Add(n); Add(2); Result := total;
        end;)",
                           R"(
        Emit(IntToStr(Fact(20)));
        if IsEven(10) and IsOdd(7) then Emit('parity');
        Emit(IntToStr(Outer(1)));
    )")),
              S("2432902008176640000|parity|203"));
}

TEST(ScriptLanguage, ExitLeavesRoutinesWithOrWithoutValue)
{
    EXPECT_EQ(Emitted(Body(R"(
        function Find(n: Integer): string;
        var i: Integer;
        begin
          Result := 'none';
          for i := 1 to 10 do if i = n then Exit('found ' + IntToStr(i));
        end;
        procedure Early(b: Boolean); begin if b then Exit; Emit('late'); end;)",
                           R"(
        Emit(Find(3)); Emit(Find(30)); Early(True); Early(False);
        Exit;
        Emit('never');
    )")),
              S("found 3|none|late"));
}

TEST(ScriptLanguage, EnumerationsRecordsArraysAndSets)
{
    EXPECT_EQ(Emitted(Body(R"(
        type
          TSuit = (Clubs, Diamonds, Hearts, Spades);
          TSuits = set of TSuit;
          TCard = record suit: TSuit; rank: Byte; end;
          THand = array[1..3] of TCard;
          TGrid = array[0..1, 0..2] of Integer;
        var h, copy: THand; g: TGrid; s: TSuits; i, j: Integer; counts: array[TSuit] of Integer;)",
                           R"(
        Emit(IntToStr(Ord(Hearts)) + ' ' + IntToStr(Ord(Succ(Clubs))) + ' ' + IntToStr(Ord(High(TSuit))));
        h[1].suit := Spades; h[1].rank := 12; h[2].rank := 7;
        copy := h; copy[1].rank := 1;
        Emit(IntToStr(h[1].rank) + ' ' + IntToStr(copy[1].rank) + ' ' + IntToStr(Ord(copy[1].suit)));
        for i := 0 to 1 do for j := 0 to 2 do g[i, j] := i * 10 + j;
        Emit(IntToStr(g[1][2]) + ' ' + IntToStr(g[0, 1]) + ' ' + IntToStr(Length(g[0])));
        s := [Clubs, Hearts];
        Include(s, Spades); Exclude(s, Clubs);
        if (Hearts in s) and not (Clubs in s) then Emit('in');
        if s = [Hearts, Spades] then Emit('eq');
        if [Hearts] <= s then Emit('subset');
        if s * [Spades, Diamonds] = [Spades] then Emit('inter');
        if s - [Hearts] + [Clubs] = [Clubs, Spades] then Emit('union');
        counts[Diamonds] := 4; Emit(IntToStr(counts[Diamonds] + counts[Clubs]));
        if 5 in [1, 3..6] then Emit('range');
        if not ('z' in ['a'..'y']) then Emit('chars');
        Emit(IntToStr(Integer(Hearts)) + ' ' + IntToStr(Ord(TSuit(3))));
    )")),
              S("2 1 3|12 1 3|12 1 3|in|eq|subset|inter|union|4|range|chars|2 3"));
}

TEST(ScriptLanguage, VarParametersReachFieldsAndElements)
{
    EXPECT_EQ(Emitted(Body(R"(
        type TPair = record a, b: Integer; end;
        var p: TPair; arr: array[0..2] of Integer; s: string;
        procedure SetTo(var x: Integer; v: Integer); begin x := v; end;
        procedure Replace(var r: TPair); var other: TPair; begin other.a := 9; other.b := 8; r := other; end;
        procedure Grow(var t: string); begin t := t + '!'; end;
        function Swapped(r: TPair): TPair; begin Result.a := r.b; Result.b := r.a; end;)",
                           R"(
        SetTo(p.b, 5); SetTo(arr[2], 7);
        Emit(IntToStr(p.b) + ' ' + IntToStr(arr[2]));
        Replace(p); Emit(IntToStr(p.a) + IntToStr(p.b));
        p := Swapped(p); Emit(IntToStr(p.a) + IntToStr(p.b) + ' ' + IntToStr(Swapped(p).a));
        s := 'a'; Grow(s); Grow(s); Emit(s);
    )")),
              S("5 7|98|89 9|a!!"));
}

TEST(ScriptLanguage, ConstantsTypedConstantsAndInitialisedVariables)
{
    EXPECT_EQ(Emitted(Body(R"(
        const
          N = 3 * 4 + 1;
          Greeting = 'bon' + 'jour';
          Half = N / 2;
          Names: array[0..2] of string = ('zéro', 'un', 'deux');
          Origin: record x, y: Integer; end = (x: 5; y: -6);
          Big = $FF00000F;
        var counter: Integer = 40; r: array[1..N] of Byte;)",
                           R"(
        Emit(IntToStr(N) + ' ' + Greeting + ' ' + FloatToStr(Half));
        Emit(Names[0] + Names[2] + ' ' + IntToStr(Origin.x + Origin.y));
        Inc(counter, 2); Emit(IntToStr(counter) + ' ' + IntToStr(High(r)) + ' ' + IntToStr(Big));
    )")),
              S("13 bonjour 6.5|zérodeux -1|42 13 4278190095"));
}

TEST(ScriptLanguage, IdentifiersIgnoreCaseAndCommentsAreSkipped)
{
    EXPECT_EQ(Emitted(S(R"(PROGRAM Demo; // a line comment
        VAR Total: INTEGER; { a brace comment (* with stars *) }
        (* a star comment { with a brace } *)
        BEGIN
          total := 1; TOTAL := Total + 1;
          EMIT(inttostr(ToTaL)); { emit }
          emit(IntToStr(MAXINT))
        END.
        anything after the final dot is ignored)")),
              S("2|2147483647"));
}

TEST(ScriptLanguage, FloatLiteralsAndConversions)
{
    EXPECT_EQ(Emitted(Body("var d: Double; i: Integer;", R"(
        d := 1e-05; Emit(FloatToStr(d));
        d := 1.5E+3; Emit(FloatToStr(d));
        d := 2.5e-7; Emit(FloatToStr(d));
        d := 0.1 + 0.2; Emit(FloatToStr(d));
        i := 3; d := i; Emit(FloatToStr(d / 2));
        Emit(FloatToStr(1e20) + ' ' + FloatToStr(-123456.789));
        Emit(IntToStr(Round(2.5)) + IntToStr(Round(3.5)) + IntToStr(Round(-2.5)) + ' ' + IntToStr(Trunc(-2.7)));
    )")),
              S("0.00001|1500|2.5E-7|0.3|1.5|1E20 -123456.789|24-2 -2"));
}

TEST(ScriptLanguage, ProgramHeaderAndUsesAreAccepted)
{
    EXPECT_EQ(
        Emitted(S("program P(input, output);\nuses SysUtils, Classes;\nbegin Emit('ok') end.")),
        S("ok"));
    EXPECT_EQ(Emitted(S("begin end.")), S(""));
}

TEST(ScriptLanguage, GlobalsStartFreshAtEveryExecution)
{
    TScriptHarness h;
    ASSERT_TRUE(h.Compile(
        Body("var n: Integer; s: string;", "n := n + 1; s := s + 'x'; Emit(IntToStr(n) + s);")));
    ASSERT_TRUE(h.engine.Execute());
    ASSERT_TRUE(h.engine.Execute());
    EXPECT_EQ(h.out.join(QLatin1Char('|')), S("1x|1x"));
}

TEST(ScriptLanguage, AppendingKeepsTheValueReadFirst)
{
    EXPECT_EQ(Emitted(Body(R"(
        var s: string;
        function Touch: string; begin s := 'changed'; Result := '!'; end;
        procedure Local;
        var t: string;
          function Mark: string; begin t := 'x'; Result := '?'; end;
        begin t := 'l'; t := t + Mark + 'm'; Emit(t); t := t + t; Emit(t); end;)",
                           R"(
        s := 'a'; s := s + Touch; Emit(s);
        s := 'b'; s := s + s + 'c'; Emit(s);
        Local;
    )")),
              S("a!|bbc|l?m|l?ml?m"));
}

} // namespace
