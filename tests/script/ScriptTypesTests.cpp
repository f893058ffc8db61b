// Types in depth: casts, subranges, structured values and their copy semantics, scoping.

#include "ScriptTestSupport.h"

#include <gtest/gtest.h>

namespace {

QString Body(const char* aDecl, const char* aBody)
{
    return Program(S(aDecl), S(aBody));
}

TEST(ScriptTypes, Typecasts)
{
    EXPECT_EQ(Emitted(Body("type TE = (e0, e1, e2); var c: Char; b: Boolean;", R"(
        Emit(IntToStr(Integer(True)) + IntToStr(Ord(Char(65))) + IntToStr(Integer('a')));
        b := Boolean(2); if b then Emit('bool');
        Emit(IntToStr(TColor(-1)) + ' ' + IntToStr(Byte(257)) + ' ' + IntToStr(ShortInt(200)));
        Emit(IntToStr(Ord(TE(2))) + ' ' + FloatToStr(Double(3) / 2) + ' ' + string('z'));
        c := Chr(Ord('a') + 2); Emit(c);
    )")),
              S("16597|bool|4294967295 1 -56|2 1.5 z|c"));
    EXPECT_EQ(CompileError(S("var i: Integer;\nbegin\n  i := Integer('ab');\nend.")),
              S("[Erreur] test.pas(3:8): Transtypage invalide de 'string' en 'Integer'"));
}

TEST(ScriptTypes, SubrangesAndOrdinalIndexes)
{
    EXPECT_EQ(Emitted(Body(R"(
        type
          TDigit = 0..9;
          TLetter = 'a'..'z';
          TColorName = (cRed, cGreen, cBlue, cBlack);
          TBright = cRed..cBlue;
        var
          d: TDigit; byLetter: array[TLetter] of Integer; byFlag: array[Boolean] of string;
          byColor: array[TBright] of Char; letters: set of TLetter; x: TBright;)",
                           R"(
        d := High(TDigit); Emit(IntToStr(d) + IntToStr(Low(TDigit)));
        byLetter['c'] := 3; Emit(IntToStr(byLetter['c'] + Length(byLetter)));
        byFlag[True] := 'oui'; byFlag[False] := 'non'; Emit(byFlag[1 > 0] + byFlag[1 < 0]);
        byColor[cGreen] := 'g'; Emit(byColor[cGreen] + IntToStr(Length(byColor)));
        letters := ['a'..'c', 'x']; if ('b' in letters) and not ('d' in letters) then Emit('letters');
        x := cBlue; Emit(IntToStr(Ord(x)) + IntToStr(Ord(High(TBright))));
    )")),
              S("90|29|ouinon|g3|letters|22"));
}

TEST(ScriptTypes, SubrangeBoundsMayStartWithACallOrACast)
{
    EXPECT_EQ(Emitted(Body(R"(
        type TE = (e0, e1, e2, e3);
        const N = 3;
        var a: array[Ord('a')..Ord('c')] of Integer; b: array[Low(Byte)..N] of Integer;
            c: array[Byte(2)..5] of Integer; d: array[TE(1)..High(TE)] of Integer;
            e: array[Succ(N)..Sqr(N)] of Integer; f: array[Low(Int64)..Low(Int64) + 1] of Byte;)",
                           R"(
        a[Ord('b')] := 7;
        Emit(IntToStr(Length(a)) + ' ' + IntToStr(Low(a)) + ' ' + IntToStr(a[98]));
        Emit(IntToStr(Length(b)) + ' ' + IntToStr(Length(c)) + ' ' + IntToStr(Length(d)) + ' ' + IntToStr(Length(e)));
        f[Low(Int64)] := 1; Emit(IntToStr(Low(f)) + ' ' + IntToStr(f[-9223372036854775808]));
    )")),
              S("3 97 7|4 4 3 6|-9223372036854775808 1"));
    EXPECT_EQ(CompileError(S("var x: Integer;\nvar a: array[x..3] of Integer;\nbegin end.")),
              S("[Erreur] test.pas(2:14): Expression constante attendue"));
    EXPECT_EQ(CompileError(S("var a: array[Random(3)..3] of Integer;\nbegin end.")),
              S("[Erreur] test.pas(1:14): Expression constante attendue"));
}

TEST(ScriptTypes, StructuredValuesAreCopiedByValue)
{
    EXPECT_EQ(Emitted(Body(R"(
        type
          TInner = record v: array[1..2] of Integer; name: string; end;
          TOuter = record inner: TInner; list: array[0..1] of TInner; end;
        var a, b: TOuter;
        procedure ByValue(o: TOuter); begin o.inner.v[1] := 99; o.list[1].name := 'changed'; end;
        procedure ByRef(var o: TOuter); begin o.inner.v[1] := 42; end;
        function Make(n: Integer): TOuter; begin Result.inner.v[2] := n; Result.list[0].name := 'made'; end;)",
                           R"(
        a.inner.v[1] := 1; a.list[1].name := 'x';
        b := a; b.inner.v[1] := 2; b.list[1].name := 'y';
        Emit(IntToStr(a.inner.v[1]) + a.list[1].name + IntToStr(b.inner.v[1]) + b.list[1].name);
        ByValue(a); Emit(IntToStr(a.inner.v[1]) + a.list[1].name);
        ByRef(a); Emit(IntToStr(a.inner.v[1]));
        a := Make(7); Emit(IntToStr(a.inner.v[2]) + a.list[0].name + IntToStr(a.inner.v[1]));
        Emit(Make(5).list[0].name + IntToStr(Make(6).inner.v[2]));
    )")),
              S("1x2y|1x|42|7made0|made6"));
}

TEST(ScriptTypes, ShortStringsKeepTheirDeclaredLength)
{
    EXPECT_EQ(Emitted(Body(R"(
        type TS = string[3]; TR = record n: string[2]; end;
        var s: string[3]; r: TR; a: array[1..2] of TS; t: TS; g: string[4] = 'abcdefg'; plain: string;
        const C: string[2] = 'xyz';
        procedure P(v: TS); begin Emit(v); end;
        function F: TS; begin Result := 'hello'; end;)",
                           R"(
        s := 'abcdef'; Emit(s); s := s + 'zz'; Emit(s);
        r.n := 'hello'; a[1] := 'world'; Emit(r.n + ' ' + a[1]);
        P('longer'); Emit(F + ' ' + g + ' ' + C);
        SetLength(s, 10); Emit(s + '|' + IntToStr(Length(s)));
        t := 'q'; Emit(t); plain := 'abcdef'; t := plain; Emit(t + ' ' + plain);
    )")),
              S("abc|abc|he wor|lon|hel abcd xy|abc|3|q|abc abcdef"));
    EXPECT_EQ(CompileError(S("var s: string[0];\nbegin end.")),
              S("[Erreur] test.pas(1:15): Longueur de chaîne courte hors limites : 0 (1 à 255)"));
    EXPECT_EQ(CompileError(S("const N = 256;\nvar s: string[N];\nbegin end.")),
              S("[Erreur] test.pas(2:15): Longueur de chaîne courte hors limites : 256 (1 à 255)"));
    EXPECT_EQ(CompileError(S("var i: Integer; s: string[3];\nbegin\n  i := s;\nend.")),
              S("[Erreur] test.pas(3:8): Types incompatibles : 'Integer' et 'string[3]'"));

    // Through the host too: a value parameter and a result.
    TScriptHarness h;
    QString given;
    h.extra = [&given](IScriptRegistrar& r) {
        r.RegisterType(S("TShort"), S("string[4]"));
        r.RegisterRoutine(S("procedure Take(s: TShort);"), [&given](const TScriptArgs& a) {
            given = a.value(0).ToString();
            return TScriptValue();
        });
        r.RegisterRoutine(S("function Give: TShort;"),
                          [](const TScriptArgs&) { return TScriptValue(S("abcdefgh")); });
    };
    ASSERT_TRUE(h.Run(S("begin Take('123456'); Emit(Give) end."))) << h.Failure().toStdString();
    EXPECT_EQ(given, S("1234"));
    EXPECT_EQ(h.out, QStringList{S("abcd")});
}

TEST(ScriptTypes, NestedRoutinesSeeTheRightActivation)
{
    EXPECT_EQ(Emitted(Body(R"(
        function Outer(n: Integer): Integer;
          function Inner: Integer; begin Result := n; end;
        begin
          if n = 0 then Result := 0 else Result := Inner + Outer(n - 1) * 10;
        end;)",
                           "Emit(IntToStr(Outer(3)));")),
              S("123"));
}

TEST(ScriptTypes, ScopesShadowOuterNames)
{
    EXPECT_EQ(Emitted(Body(R"(
        var x: Integer; s: string;
        procedure P(x: Integer); var s: string; begin s := 'local'; Emit(IntToStr(x) + s); end;
        procedure Q; var IntToStr: Integer; begin IntToStr := 5; x := IntToStr; end;)",
                           R"(
        x := 1; s := 'global'; P(2); Q; Emit(IntToStr(x) + s);
    )")),
              S("2local|5global"));
}

TEST(ScriptTypes, OutParametersAndVarParametersOfEveryKind)
{
    EXPECT_EQ(Emitted(Body(R"(
        type TE = (ea, eb); TS = set of TE; TR = record a: Integer; end;
        procedure Fill(out i: Integer; var d: Double; var c: Char; var e: TE; var s: TS; var r: TR; var t: string);
        begin i := 1; d := d * 2; c := 'q'; e := eb; s := s + [eb]; r.a := 8; t := t + 't'; end;
        var i: Integer; d: Double; c: Char; e: TE; s: TS; r: TR; t: string;)",
                           R"(
        d := 1.25; t := 's';
        Fill(i, d, c, e, s, r, t);
        Emit(IntToStr(i) + ' ' + FloatToStr(d) + ' ' + c + ' ' + IntToStr(Ord(e)) + ' ' + t + ' ' + IntToStr(r.a));
        if eb in s then Emit('set');
    )")),
              S("1 2.5 q 1 st 8|set"));
    EXPECT_EQ(CompileError(
                  S("procedure P(var b: Byte); begin end;\nvar i: Integer;\nbegin\n  P(i);\nend.")),
              S("[Erreur] test.pas(4:5): Les paramètres var doivent être de type identique : "
                "'Byte' attendu, "
                "'Integer' trouvé"));
}

TEST(ScriptTypes, ForwardDeclarationsMustAgree)
{
    EXPECT_EQ(
        CompileError(S(
            "procedure P(a: Integer); forward;\nprocedure P(a: string);\nbegin end;\nbegin end.")),
        S("[Erreur] test.pas(2:11): La déclaration de 'P' diffère de la déclaration forward"));
    EXPECT_EQ(Emitted(S("procedure P(a: Integer); forward;\nprocedure Q; begin P(4) end;\n"
                        "procedure P; begin Emit(IntToStr(a)) end;\nbegin Q end.")),
              S("4"));
    EXPECT_EQ(CompileError(S("procedure P;\nbegin\n  Exit(1);\nend;\nbegin end.")),
              S("[Erreur] test.pas(3:3): Exit avec une valeur hors d'une fonction"));
}

TEST(ScriptTypes, MemoryOfVariablesIsBounded)
{
    const QString deep =
        S("procedure P(n: Integer);\nvar big: array[0..999999] of Byte;\n"
          "begin\n  big[n] := 1;\n  if n < 10 then P(n + 1);\nend;\nbegin P(0) end.");
    EXPECT_EQ(RunError(deep), S("test.pas(5:18): Mémoire des variables épuisée"));
    EXPECT_EQ(RunError(S("var s: string;\nbegin\n  s := DupeString('ab', 50000000);\nend.")),
              S("test.pas(3:8): Chaîne trop longue"));
    EXPECT_EQ(CompileError(S("var a: array[0..999] of array[0..9999] of Integer;\nbegin end.")),
              S("[Erreur] test.pas(1:8): Type trop volumineux"));
}

TEST(ScriptTypes, IndexTypesSpanningInt64AreTooLarge)
{
    // Their element count does not even fit in an Int64.
    const char* const cases[][2] = {
        {"var a: array[Int64] of Byte;", "1:14"},
        {"var a: array[NativeInt] of Byte;", "1:14"},
        {"var a: array[-9223372036854775807..9223372036854775807] of Byte;", "1:14"},
        {"var a: array[-9223372036854775808..9223372036854775807] of Byte;", "1:14"},
        {"var a: array[Low(Int64)..High(Int64)] of Byte;", "1:14"},
        {"var a: array[0..1, Int64] of Byte;", "1:20"},
        {"var a: array[1..2] of array[Int64] of Byte;", "1:29"},
        {"type R = record n: Integer; a: array[Int64] of Byte; end;", "1:38"},
        {"type T = array[Int64] of Integer;", "1:16"},
    };
    for (const auto& [declaration, place] : cases)
        EXPECT_EQ(CompileError(S(declaration) + S("\nbegin end.")),
                  S("[Erreur] test.pas(") + S(place) + S("): Tableau trop grand"))
            << declaration;
    EXPECT_EQ(CompileError(S("var a: array[0..1023, 0..1023, 0..1023] of Byte;\nbegin end.")),
              S("[Erreur] test.pas(1:8): Type trop volumineux"));
    EXPECT_EQ(CompileError(S("type R = record a, b: array[0..999999] of Byte; end;\nbegin end.")),
              S("[Erreur] test.pas(1:20): Type trop volumineux"));
    // The largest index types that still fit.
    EXPECT_EQ(Emitted(Body("var a: array[9223372036854775806..9223372036854775807] of Byte;",
                           "a[High(a)] := 7; Emit(IntToStr(a[9223372036854775807] + Length(a)));")),
              S("9"));
}

} // namespace
