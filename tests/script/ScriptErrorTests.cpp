// Compiler messages and run-time errors, with the place they name.

#include "ScriptTestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <vector>

namespace {

struct TErrorCase {
    const char* program;
    const char* message;
};

TEST(ScriptErrors, CompilerMessagesNameLineAndColumn)
{
    const TErrorCase cases[] = {
        {"begin\n  Foo;\nend.", "[Erreur] test.pas(2:3): Identificateur inconnu 'Foo'"},
        {"begin\n  Emit('a')\n  Emit('b');\nend.",
         "[Erreur] test.pas(3:3): ';' attendu mais 'Emit' trouvé"},
        {"var i: Integer;\nbegin\n  i := 'abc';\nend.",
         "[Erreur] test.pas(3:8): Types incompatibles : 'Integer' et 'string'"},
        {"var s: string;\nbegin\n  s := 1.5;\nend.",
         "[Erreur] test.pas(3:8): Types incompatibles : 'string' et 'Double'"},
        {"begin\n  if 1 then Emit('x');\nend.",
         "[Erreur] test.pas(2:6): Types incompatibles : 'Boolean' et 'Integer'"},
        {"begin\n  Emit('x'\nend.", "[Erreur] test.pas(3:1): ')' attendu mais 'end' trouvé"},
        {"begin\n  Emit('x');",
         "[Erreur] test.pas(2:12): 'end' attendu mais fin de fichier trouvé"},
        {"begin\nend", "[Erreur] test.pas(2:1): '.' attendu mais fin de fichier trouvé"},
        {"begin\n  break;\nend.", "[Erreur] test.pas(2:3): BREAK ou CONTINUE hors d'une boucle"},
        {"begin\n  Emit('a', 'b');\nend.",
         "[Erreur] test.pas(2:13): Trop de paramètres dans l'appel de 'Emit'"},
        {"begin\n  Emit;\nend.",
         "[Erreur] test.pas(2:3): Pas assez de paramètres dans l'appel de 'Emit'"},
        {"var a, a: Integer;\nbegin end.", "[Erreur] test.pas(1:8): Identificateur redéclaré 'a'"},
        {"procedure P(var x: Integer); begin end;\nbegin\n  P(3);\nend.",
         "[Erreur] test.pas(3:5): Variable attendue mais '3' trouvé"},
        {"const C = 1;\nbegin\n  C := 2;\nend.",
         "[Erreur] test.pas(3:3): Affectation impossible à la constante 'C'"},
        {"procedure P(const x: Integer); begin x := 1; end;\nbegin end.",
         "[Erreur] test.pas(1:38): Affectation impossible à 'x' (lecture seule)"},
        {"begin\n  if True then Emit('a');\n  else Emit('b');\nend.",
         "[Erreur] test.pas(3:3): ';' n'est pas autorisé avant 'else'"},
        {"procedure P; begin end;\nvar i: Integer;\nbegin\n  i := P;\nend.",
         "[Erreur] test.pas(4:8): La procédure 'P' ne renvoie pas de valeur"},
        {"const X = 10 div (5 - 5);\nbegin end.", "[Erreur] test.pas(1:14): Division par zéro"},
        {"var a: array[1..3] of Integer;\nbegin\n  a[4] := 0;\nend.",
         "[Erreur] test.pas(3:5): Indice hors limites : 4 (bornes 1..3)"},
        {"procedure P; forward;\nbegin end.",
         "[Erreur] test.pas(1:11): Déclaration forward non résolue 'P'"},
        {"var r: record x: Integer; end;\nbegin\n  r.y := 1;\nend.",
         "[Erreur] test.pas(3:5): Champ inconnu 'y'"},
        {"begin\n  with x do;\nend.",
         "[Erreur] test.pas(2:3): Instruction non prise en charge : 'with'"},
        {"var i: Integer;\nbegin\n  i := 1 + 'a';\nend.",
         "[Erreur] test.pas(3:10): Opérateur non applicable à ce type d'opérande"},
        {"type TAB = (a, b);\nvar t: TAB;\nbegin\n  t := 1;\nend.",
         "[Erreur] test.pas(4:8): Types incompatibles : 'TAB' et 'Integer'"},
        {"type T = (a, b);\nvar t: T;\nbegin end.",
         "[Erreur] test.pas(2:5): Identificateur redéclaré 't'"},
        {"begin\n  case 1 of 1: ; 1: ; end;\nend.",
         "[Erreur] test.pas(2:18): Étiquette de case en double"},
        {"var x: array of Integer;\nbegin end.",
         "[Erreur] test.pas(1:8): Tableaux dynamiques non pris en charge"},
        {"var x: array[0..100000000] of Integer;\nbegin end.",
         "[Erreur] test.pas(1:14): Tableau trop grand"},
        {"begin\n  Emit('a') Emit('b');\nend.",
         "[Erreur] test.pas(2:13): ';' attendu mais 'Emit' trouvé"},
    };
    for (const TErrorCase& c : cases)
        EXPECT_EQ(CompileError(S(c.program)), S(c.message)) << c.program;
}

TEST(ScriptErrors, OneMessageLineEachWithFileName)
{
    TScriptHarness h;
    EXPECT_FALSE(h.Compile(S("begin\n  Foo;\nend."), S("/some/folder/macro.pas")));
    ASSERT_EQ(h.engine.Messages().size(), 1);
    const TScriptMessage& m = h.engine.Messages().first();
    EXPECT_EQ(m.kind, TScriptMessage::TKind::Error);
    EXPECT_EQ(m.file, S("macro.pas"));
    EXPECT_EQ(m.line, 2);
    EXPECT_EQ(m.column, 3);
    EXPECT_FALSE(m.ToString().contains(QLatin1Char('\n')));
    // Without a file name the text is "script".
    EXPECT_FALSE(h.Compile(S("begin Foo end.")));
    EXPECT_FALSE(h.engine.Compile(S("begin Foo end."), QString()));
    EXPECT_EQ(h.engine.MessageLines(),
              QStringList{S("[Erreur] script(1:7): Identificateur inconnu 'Foo'")});
}

TEST(ScriptErrors, DeepNestingAndHugeExpressionsFailCleanly)
{
    QString nested = S("var i: Integer;\nbegin i := ");
    for (int k = 0; k < 5000; ++k)
        nested += QLatin1Char('(');
    nested += QLatin1Char('1');
    for (int k = 0; k < 5000; ++k)
        nested += QLatin1Char(')');
    nested += S("; end.");
    EXPECT_TRUE(CompileError(nested).contains(S("Imbrication trop profonde")))
        << CompileError(nested).toStdString();

    QString chain = S("var i: Integer;\nbegin i := i");
    for (int k = 0; k < 5000; ++k)
        chain += S(" + i");
    chain += S("; end.");
    EXPECT_TRUE(CompileError(chain).contains(S("Expression trop complexe")));

    QString blocks = S("begin ");
    for (int k = 0; k < 5000; ++k)
        blocks += S("begin ");
    for (int k = 0; k < 5000; ++k)
        blocks += S("end; ");
    blocks += S("end.");
    EXPECT_TRUE(CompileError(blocks).contains(S("Imbrication trop profonde")));

    // A long chain of constants folds as it is built and stays well within the limits.
    QString folded = S("begin Emit(IntToStr(0");
    for (int k = 0; k < 5000; ++k)
        folded += S(" + 1");
    folded += S(")) end.");
    EXPECT_EQ(Emitted(folded), S("5000"));
}

TEST(ScriptErrors, RuntimeErrorsStopWithTheirPlace)
{
    const TErrorCase cases[] = {
        {"var a, b: Integer;\nbegin\n  b := 0;\n  a := 10 div b;\nend.",
         "test.pas(4:11): Division par zéro"},
        {"var a: Integer;\nbegin\n  a := 0;\n  Emit(IntToStr(5 mod a));\nend.",
         "test.pas(4:19): Division par zéro"},
        {"var d: Double; z: Double;\nbegin\n  d := 1 / z;\nend.",
         "test.pas(3:10): Division par zéro"},
        {"var a: array[1..3] of Integer; i: Integer;\nbegin\n  i := 7;\n  a[i] := 1;\nend.",
         "test.pas(4:5): Indice hors limites : 7 (bornes 1..3)"},
        {"var s: string;\nbegin\n  s := 'ab';\n  Emit(s[3]);\nend.",
         "test.pas(4:10): Indice de chaîne hors limites : 3 (longueur 2)"},
        {"begin\n  Emit(IntToStr(StrToInt('douze')));\nend.",
         "test.pas(2:17): 'douze' n'est pas une valeur entière correcte"},
        {"var d: Double;\nbegin\n  d := 1e300;\n  Emit(IntToStr(Trunc(d)));\nend.",
         "test.pas(4:17): Valeur hors limites pour un entier"},
        {"begin\n  Emit(Format('%d', ['x']));\nend.",
         "test.pas(2:8): Format '%d' incorrect ou incompatible avec l'argument"},
    };
    for (const TErrorCase& c : cases)
        EXPECT_EQ(RunError(S(c.program)), S(c.message)) << c.program;
}

TEST(ScriptErrors, FloatOverflowIsARunTimeError)
{
    const TErrorCase cases[] = {
        {"var x: Double;\nbegin\n  x := 1e308 * 10;\nend.",
         "test.pas(3:14): Débordement de virgule flottante"},
        {"var x: Double;\nbegin\n  x := Exp(1000);\nend.",
         "test.pas(3:8): Débordement de virgule flottante"},
        {"var x, y: Double;\nbegin\n  y := 1e308;\n  x := y + y;\nend.",
         "test.pas(4:10): Débordement de virgule flottante"},
        {"var x, y: Double;\nbegin\n  y := -1e308;\n  x := y - 1e308;\nend.",
         "test.pas(4:10): Débordement de virgule flottante"},
        {"var x: Double;\nbegin\n  x := 1e300 / 1e-300;\nend.",
         "test.pas(3:14): Débordement de virgule flottante"},
        {"var x: Double;\nbegin\n  x := Sqr(1e200);\nend.",
         "test.pas(3:8): Débordement de virgule flottante"},
        {"var x: Double;\nbegin\n  x := Power(10, 400);\nend.",
         "test.pas(3:8): Débordement de virgule flottante"},
        {"var x: Double;\nbegin\n  x := StrToFloat('1e999');\nend.",
         "test.pas(3:8): '1e999' n'est pas une valeur en virgule flottante correcte"},
    };
    for (const TErrorCase& c : cases)
        EXPECT_EQ(RunError(S(c.program)), S(c.message)) << c.program;
    // Code that never runs does not fail; a constant declaration fails when compiled.
    EXPECT_EQ(Emitted(S("var x: Double;\nbegin\n  if False then x := 1e308 * 10;\n"
                        "  x := 1e308 * 0.5 + Exp(700); Emit('ok');\nend.")),
              S("ok"));
    EXPECT_EQ(CompileError(S("const C = 1e308 * 10;\nbegin end.")),
              S("[Erreur] test.pas(1:17): Débordement de virgule flottante"));
}

TEST(ScriptErrors, RunawayRecursionEndsAsAnError)
{
    const QString text =
        S("function F(n: Integer): Integer;\nbegin\n  Result := F(n + 1) + 1;\nend;\n"
          "begin\n  Emit(IntToStr(F(0)));\nend.");
    EXPECT_EQ(RunError(text), S("test.pas(3:13): Récursion trop profonde : pile épuisée"));
    // Also with big frames and through a procedure with a var parameter.
    const QString big = S("procedure P(var n: Integer); var a: array[0..50] of string; begin a[0] "
                          ":= 'x'; Inc(n); P(n); end;\n"
                          "var k: Integer;\nbegin P(k); end.");
    EXPECT_TRUE(RunError(big).contains(S("Récursion trop profonde")));
}

TEST(ScriptErrors, StepLimitAndAbortStopEndlessLoops)
{
    TScriptHarness h;
    h.engine.SetStepLimit(1000);
    ASSERT_TRUE(h.Compile(S("begin\n  while True do ;\nend.")));
    EXPECT_FALSE(h.engine.Execute());
    EXPECT_EQ(h.engine.ErrorText(), S("test.pas(2:3): Limite d'exécution atteinte (1000 pas)"));

    TScriptHarness a;
    a.extra = [&a](IScriptRegistrar& r) {
        r.RegisterRoutine(S("procedure StopMe;"), [&a](const TScriptArgs&) {
            a.engine.Abort();
            return TScriptValue();
        });
    };
    ASSERT_TRUE(
        a.Compile(S("var i: Integer;\nbegin\n  StopMe;\n  for i := 1 to 10 do Emit('x');\nend.")));
    EXPECT_FALSE(a.engine.Execute());
    EXPECT_EQ(a.engine.ErrorText(), S("test.pas(4:3): Exécution interrompue"));
    EXPECT_TRUE(a.out.isEmpty());
}

TEST(ScriptErrors, YieldHookLetsTheHostStopAnEndlessLoop)
{
    TScriptHarness h;
    int calls = 0;
    bool compileRefused = false, executeRefused = false, running = false;
    h.engine.SetYieldHook(
        [&] {
            ++calls;
            running = h.engine.IsRunning();
            if (calls == 1) {
                compileRefused = !h.engine.Compile(S("begin end."));
                executeRefused = !h.engine.Execute();
            }
            if (calls == 3)
                h.engine.Abort();
        },
        10);
    ASSERT_TRUE(h.Compile(S("begin\n  while True do ;\nend.")));
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(h.engine.Execute());
    EXPECT_EQ(h.engine.ErrorText(), S("test.pas(2:3): Exécution interrompue"));
    EXPECT_EQ(calls, 3);
    EXPECT_TRUE(running);
    EXPECT_TRUE(compileRefused);
    EXPECT_TRUE(executeRefused);
    // Three intervals of 10 ms, far from any time limit.
    EXPECT_GE(clock.elapsed(), 30);
    EXPECT_LT(clock.elapsed(), 5000);
    // The refused compilation left the program in place.
    EXPECT_TRUE(h.engine.IsCompiled());
}

TEST(ScriptErrors, YieldHookKeepsItsInterval)
{
    TScriptHarness h;
    using TClock = std::chrono::steady_clock;
    std::vector<TClock::time_point> calls;
    const TClock::time_point start = TClock::now();
    h.engine.SetYieldHook(
        [&] {
            calls.push_back(TClock::now());
            if (calls.back() - start > std::chrono::milliseconds(300))
                h.engine.Abort();
        },
        50);
    // Through loops and calls alike.
    ASSERT_TRUE(h.Compile(S("procedure P; begin end;\nbegin\n  repeat P until False;\nend.")));
    EXPECT_FALSE(h.engine.Execute());
    // At the loop or at the call, whichever counted the step.
    EXPECT_TRUE(QRegularExpression(S("^test\\.pas\\(3:(3|10)\\): Exécution interrompue$"))
                    .match(h.engine.ErrorText())
                    .hasMatch())
        << h.engine.ErrorText().toStdString();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_LE(calls.size(), 7u);
    EXPECT_GE(calls.front() - start, std::chrono::milliseconds(50));
    for (size_t k = 1; k < calls.size(); ++k)
        EXPECT_GE(calls[k] - calls[k - 1], std::chrono::milliseconds(50));

    // An exception from the hook ends the script; without a hook nothing is called.
    h.engine.SetYieldHook([] { throw std::runtime_error("assez"); }, 0);
    EXPECT_FALSE(h.engine.Execute());
    EXPECT_TRUE(h.engine.ErrorText().endsWith(S("): assez")));
    h.engine.SetYieldHook({});
    h.engine.SetStepLimit(100000);
    EXPECT_FALSE(h.engine.Execute());
    EXPECT_TRUE(h.engine.ErrorText().endsWith(S("): Limite d'exécution atteinte (100000 pas)")));
}

// The fuzzers' seed programs, replayed in every build: each compiles or is refused, and runs
// to its end or to an error, within a step limit.
TEST(ScriptErrors, FuzzSeedProgramsEndCleanly)
{
    const QDir seeds(S(TESS_SCRIPT_SEEDS));
    const QStringList names = seeds.entryList({S("*.pas")}, QDir::Files, QDir::Name);
    EXPECT_GE(names.size(), 20);
    for (const QString& name : names) {
        QFile file(seeds.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        TScriptHarness h;
        h.extra = [](IScriptRegistrar& r) {
            r.RegisterRoutine(S("procedure showmessage(z: string);"),
                              [](const TScriptArgs&) { return TScriptValue(); });
        };
        h.engine.SetStepLimit(100000);
        if (h.Compile(QString::fromUtf8(file.readAll()), name))
            h.engine.Execute();
        EXPECT_FALSE(h.Failure().contains(S("Erreur interne"))) << name.toStdString();
    }
}

TEST(ScriptErrors, ExecuteNeedsTheLastCompilationToHaveSucceeded)
{
    TScriptHarness h;
    EXPECT_FALSE(h.engine.Execute());
    EXPECT_EQ(h.engine.ErrorText(), S("Aucun script compilé"));
    ASSERT_TRUE(h.Compile(S("begin Emit('a') end.")));
    EXPECT_TRUE(h.engine.IsCompiled());
    EXPECT_FALSE(h.Compile(S("begin Emit( end.")));
    EXPECT_FALSE(h.engine.IsCompiled());
    EXPECT_FALSE(h.engine.Execute());
    EXPECT_TRUE(h.out.isEmpty());
}

TEST(ScriptErrors, UnknownDirectivesWarnButCompile)
{
    TScriptHarness h;
    ASSERT_TRUE(h.Run(S("{$R+}{$FOO bar}\nbegin Emit('ok') end.")));
    EXPECT_EQ(h.engine.MessageLines(),
              QStringList{S("[Avertissement] test.pas(1:6): Directive inconnue ignorée {$FOO}")});
}

TEST(ScriptErrors, StepLimitCountsCopiesOfLargeValues)
{
    TScriptHarness h;
    h.engine.SetStepLimit(100000);
    ASSERT_TRUE(h.Compile(S("var a, b: array[0..9999] of Integer; i: Integer;\n"
                            "begin\n  for i := 1 to 100 do a := b;\nend.")));
    EXPECT_FALSE(h.engine.Execute());
    EXPECT_EQ(h.engine.ErrorText(), S("test.pas(3:24): Limite d'exécution atteinte (100000 pas)"));
}

} // namespace
