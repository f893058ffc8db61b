// Host registration: the declaration texts the actions generate, the macro lines they record,
// host exceptions and re-entrancy.

#include "ScriptTestSupport.h"
#include "script/ScriptBuiltins.h"

#include <QEventLoop>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

// Records every call of every registered routine as "Name(arg, arg)".
class TRecorder {
public:
    QStringList calls;
    QList<TScriptArgs> args;

    THostRoutine Routine(const QString& aName, TScriptValue aResult = TScriptValue())
    {
        return [this, aName, aResult](const TScriptArgs& a) {
            QStringList parts;
            for (const TScriptValue& v : a)
                parts << v.ToString();
            calls << aName + QLatin1Char('(') + parts.join(QStringLiteral(", ")) + QLatin1Char(')');
            args << a;
            return aResult;
        };
    }
};

// The declaration texts of the eleven action classes.
const char* const kActionDeclarations[] = {
    "procedure Grab;",
    "procedure Name(const aWidestring:widestring);",
    "procedure Text(const aString:string);",
    "procedure Volume(const aInteger:integer);",
    "procedure Color(const aColor:TColor);",
    "procedure Ratio(const aDouble:Double);",
    "procedure Loop(const aBoolean:Boolean);",
    "procedure Pos(const x,y:integer);",
    "procedure Rect(const left,right,top,bottom:integer);",
    ("procedure Font(aName:widestring;aSize:integer;aColor:TColor;isBold:Boolean;isItalic:Boolean;"
     "isUnderline:Boolean;isStrikeOut:Boolean);"),
    "procedure setMute(const aBoolean:Boolean);",
    "procedure Mute;",
};

class ScriptHost : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine.SetRegistration([this](IScriptRegistrar& r) {
            RegisterScriptBuiltins(r, hooks);
            for (const char* d : kActionDeclarations) {
                const QString decl = S(d);
                const QString name =
                    decl.section(QLatin1Char(' '), 1).section(QRegularExpression(S("[(;]")), 0, 0);
                accepted << r.RegisterRoutine(decl, recorder.Routine(name));
            }
        });
    }
    bool Run(const QString& aText)
    {
        return engine.Compile(aText, S("macro.pas")) && engine.Execute();
    }
    QString Failure() const
    {
        return engine.IsCompiled() ? engine.ErrorText()
                                   : engine.MessageLines().join(QLatin1Char('\n'));
    }

    TScriptEngine engine;
    TScriptBuiltinHooks hooks;
    TRecorder recorder;
    QList<bool> accepted;
};

TEST_F(ScriptHost, EveryActionDeclarationRegisters)
{
    ASSERT_TRUE(engine.Compile(S("begin end.")));
    EXPECT_EQ(accepted, QList<bool>(std::size(kActionDeclarations), true));
}

TEST_F(ScriptHost, EveryMacroLineFormPassesItsValues)
{
    const QString macro = S("//Macro enregistrée le mardi 5 mars 2024 à 10:11:12\n"
                            "\n"
                            "begin\n"
                            "    Grab;\n"
                            "    Name('l''été');\n"
                            "    Text('x');\n"
                            "    Volume(50);\n"
                            "    Volume(-1);\n"
                            "    Color($0000FF);\n"
                            "    Color($FF00000F);\n"
                            "    Ratio(0.5);\n"
                            "    Ratio(1e-05);\n"
                            "    Ratio(-2.5E+10);\n"
                            "    Loop(False);\n"
                            "    Pos(10,20);\n"
                            "    Rect(1,2,3,4);\n"
                            "    Font('Arial', 12, $0000FF, True, False, False, False);\n"
                            "    setMute(True);\n"
                            "    Mute;\n"
                            "end.\n");
    ASSERT_TRUE(Run(macro)) << Failure().toStdString();
    EXPECT_EQ(
        recorder.calls,
        QStringList({S("Grab()"), S("Name(l'été)"), S("Text(x)"), S("Volume(50)"), S("Volume(-1)"),
                     S("Color(255)"), S("Color(4278190095)"), S("Ratio(0.5)"), S("Ratio(1e-05)"),
                     S("Ratio(-2.5e+10)"), S("Loop(False)"), S("Pos(10, 20)"),
                     S("Rect(1, 2, 3, 4)"), S("Font(Arial, 12, 255, True, False, False, False)"),
                     S("setMute(True)"), S("Mute()")}));
    // The host reads a colour as the 32-bit pattern.
    EXPECT_EQ(qint32(recorder.args[6][0].ToInt()), qint32(0xFF00000F));
    EXPECT_TRUE(recorder.args[6][0].IsInteger());
    EXPECT_TRUE(recorder.args[1][0].IsString());
    EXPECT_TRUE(recorder.args[7][0].IsFloat());
    EXPECT_TRUE(recorder.args[10][0].IsBool());
    EXPECT_TRUE(recorder.args[13][3].IsBool());
}

TEST_F(ScriptHost, ColorConstantsAndIntegerPatternsReachTheHost)
{
    ASSERT_TRUE(Run(S(
        "var i: Integer;\nbegin\n  Color(clBtnFace); Color(clNone); Color(clRed); i := $FF00000F; "
        "Volume(i); Volume($FF00000F); Color(clMoneyGreen);\nend.")))
        << Failure().toStdString();
    ASSERT_EQ(recorder.args.size(), 6);
    EXPECT_EQ(recorder.args[0][0].ToInt(), 0xFF00000FLL);
    EXPECT_EQ(recorder.args[1][0].ToInt(), 0x1FFFFFFFLL);
    EXPECT_EQ(recorder.args[2][0].ToInt(), 0xFFLL);
    // An Integer parameter arrives sign-extended, with the same 32-bit pattern.
    EXPECT_EQ(recorder.args[3][0].ToInt(), -16777201);
    EXPECT_EQ(qint32(recorder.args[4][0].ToInt()), qint32(0xFF00000F));
    EXPECT_EQ(recorder.args[5][0].ToInt(), 12639424);
}

TEST_F(ScriptHost, RegisteredNamesShadowTheLibrary)
{
    // "Pos" of a point action hides the library's Pos; the library stays reachable elsewhere.
    ASSERT_TRUE(Run(S("begin Pos(1, 2) end."))) << Failure().toStdString();
    EXPECT_EQ(recorder.calls, QStringList{S("Pos(1, 2)")});
    EXPECT_EQ(Emitted(S("begin Emit(IntToStr(Pos('b', 'abc'))) end.")), S("2"));
}

TEST(ScriptRegistration, DeclarationFormsAndFunctionResults)
{
    TRecorder rec;
    TScriptHarness h;
    QList<bool> answers;
    h.extra = [&](IScriptRegistrar& r) {
        answers << r.RegisterRoutine(
                       S("function findfirst(dossier:widestring;masque:widestring):widestring;"),
                       rec.Routine(S("findfirst"), TScriptValue(S("found"))))
                << r.RegisterRoutine(S("procedure renamefile(oldfile,newname:widestring);"),
                                     rec.Routine(S("renamefile")))
                << r.RegisterRoutine(S("procedure sleep(milli:Cardinal);"), rec.Routine(S("sleep")))
                << r.RegisterRoutine(S("function Count: Integer"),
                                     rec.Routine(S("Count"), TScriptValue(7)))
                << r.RegisterRoutine(S("function Half(x: Double): Double;"),
                                     rec.Routine(S("Half"), TScriptValue(0.25)))
                << r.RegisterRoutine(S("function Ok: Boolean;"),
                                     rec.Routine(S("Ok"), TScriptValue(true)))
                << r.RegisterRoutine(S("function Big: TColor;"),
                                     rec.Routine(S("Big"), TScriptValue(qint64(-16777201))))
                << r.RegisterRoutine(S("function Letter: Char;"),
                                     rec.Routine(S("Letter"), TScriptValue(S("xyz"))))
                << r.RegisterRoutine(S("function Small: Byte;"),
                                     rec.Routine(S("Small"), TScriptValue(300)))
                << r.RegisterRoutine(S("procedure Opt(a: Integer; b: string = 'def');"),
                                     rec.Routine(S("Opt")));
    };
    ASSERT_TRUE(h.Run(S("begin\n"
                        "  Emit(findfirst('/tmp', '*.*'));\n"
                        "  renamefile('a', 'b');\n"
                        "  sleep(4000000000);\n"
                        "  Emit(IntToStr(Count + Count()));\n"
                        "  Emit(FloatToStr(Half(3)));\n"
                        "  if Ok then Emit('ok');\n"
                        "  Emit(IntToStr(Big) + ' ' + Letter + ' ' + IntToStr(Small));\n"
                        "  Opt(1); Opt(2, 'x');\n"
                        "end.")))
        << h.Failure().toStdString();
    EXPECT_EQ(answers, QList<bool>(10, true));
    EXPECT_EQ(h.out, QStringList({S("found"), S("14"), S("0.25"), S("ok"), S("4278190095 x 44")}));
    EXPECT_EQ(rec.calls,
              QStringList({S("findfirst(/tmp, *.*)"), S("renamefile(a, b)"), S("sleep(4000000000)"),
                           S("Count()"), S("Count()"), S("Half(3)"), S("Ok()"), S("Big()"),
                           S("Letter()"), S("Small()"), S("Opt(1, def)"), S("Opt(2, x)")}));
    EXPECT_TRUE(rec.args[5][0].IsFloat());
}

TEST(ScriptRegistration, RefusedDeclarationsAnswerFalse)
{
    TScriptHarness h;
    QList<bool> answers;
    const THostRoutine nop = [](const TScriptArgs&) { return TScriptValue(); };
    h.extra = [&](IScriptRegistrar& r) {
        answers << r.RegisterType(S("TPointX"), S("record x, y: Integer; end;"))
                << r.RegisterRoutine(S("procedure Emit(const s: string);"), nop)  // duplicate
                << r.RegisterRoutine(S("procedure Broken(;"), nop)                // syntax
                << r.RegisterRoutine(S("procedure P(x: TUnknown);"), nop)         // unknown type
                << r.RegisterRoutine(S("procedure V(var x: Integer);"), nop)      // var parameter
                << r.RegisterRoutine(S("procedure R(p: TPointX);"), nop)          // record type
                << r.RegisterRoutine(S("function F: Integer; procedure G;"), nop) // two headings
                << r.RegisterRoutine(S("procedure begin;"), nop)                  // reserved word
                << r.RegisterRoutine(S("procedure Empty;"), THostRoutine()) // no implementation
                << r.RegisterRoutine(S("{$DEFINE X} procedure D;"), nop)    // directive
                << r.RegisterRoutine(S(""), nop)
                << r.RegisterType(S("TPointX"), S("Integer"))        // duplicate
                << r.RegisterType(S("TBad"), S("record x: Integer")) // syntax
                << r.RegisterType(S("TClash"), S("(alpha, Emit)"))   // member clashes
                << r.RegisterType(S("1abc"), S("Integer"))           // name
                << r.RegisterConstant(S("Answer"), S("Integer"), TScriptValue(42))
                << r.RegisterConstant(S("Answer"), S("Integer"), TScriptValue(43)) // duplicate
                << r.RegisterConstant(S("Nope"), S("TUnknown"), TScriptValue(1))
                << r.RegisterConstant(S("Rec"), S("TPointX"), TScriptValue(1))
                << r.RegisterConstant(S("a b"), S("Integer"), TScriptValue(1));
    };
    ASSERT_TRUE(h.Run(S("var p: TPointX; begin p.x := Answer; Emit(IntToStr(p.x)); end.")))
        << h.Failure().toStdString();
    EXPECT_EQ(answers,
              QList<bool>({true,  false, false, false, false, false, false, false, false, false,
                           false, false, false, false, false, true,  false, false, false, false}));
    EXPECT_EQ(h.out, QStringList{S("42")});
    // The member "alpha" of the refused type was not left behind.
    EXPECT_EQ(CompileError(S("begin Emit(IntToStr(Ord(alpha))) end.")),
              S("[Erreur] test.pas(1:25): Identificateur inconnu 'alpha'"));
}

TEST(ScriptRegistration, RegistrarAnswersFalseOutsideCompilation)
{
    TScriptEngine engine;
    EXPECT_FALSE(engine.RegisterRoutine(S("procedure P;"),
                                        [](const TScriptArgs&) { return TScriptValue(); }));
    EXPECT_FALSE(engine.RegisterConstant(S("C"), S("Integer"), TScriptValue(1)));
    EXPECT_FALSE(engine.RegisterType(S("T"), S("Integer")));
}

TEST(ScriptRegistration, RegistrationsAreMadeAnewAtEveryCompilation)
{
    TScriptHarness h;
    bool withExtra = true;
    h.extra = [&](IScriptRegistrar& r) {
        if (withExtra)
            r.RegisterRoutine(S("procedure Extra;"),
                              [](const TScriptArgs&) { return TScriptValue(); });
    };
    ASSERT_TRUE(h.Run(S("begin Extra; Emit('1') end.")));
    ASSERT_TRUE(h.Run(S("begin Extra; Emit('2') end.")));
    EXPECT_EQ(h.registrations, 2);
    withExtra = false;
    EXPECT_FALSE(h.Compile(S("begin Extra end.")));
    EXPECT_EQ(h.registrations, 3);
}

TEST(ScriptRegistration, HostExceptionsBecomeRunTimeErrors)
{
    TScriptHarness h;
    h.extra = [](IScriptRegistrar& r) {
        r.RegisterRoutine(S("procedure Boom(const why: string);"),
                          [](const TScriptArgs& a) -> TScriptValue {
                              throw std::runtime_error(a.value(0).ToString().toStdString());
                          });
        r.RegisterRoutine(S("procedure Weird;"),
                          [](const TScriptArgs&) -> TScriptValue { throw 42; });
    };
    ASSERT_TRUE(h.Compile(
        S("begin\n  Emit('before');\n  Boom('périphérique absent');\n  Emit('after');\nend.")));
    EXPECT_FALSE(h.engine.Execute());
    EXPECT_EQ(h.engine.ErrorText(), S("test.pas(3:3): périphérique absent"));
    EXPECT_EQ(h.engine.RunError().line, 3);
    EXPECT_EQ(h.out, QStringList{S("before")});
    ASSERT_TRUE(h.Compile(S("begin Weird end.")));
    EXPECT_FALSE(h.engine.Execute());
    EXPECT_EQ(h.engine.ErrorText(), S("test.pas(1:7): Exception inconnue dans 'Weird'"));
    // The engine stays usable.
    EXPECT_TRUE(h.Run(S("begin Emit('again') end.")));
}

TEST(ScriptRegistration, ARunningEngineRefusesToCompileOrExecuteAgain)
{
    TScriptHarness h;
    QList<bool> answers;
    bool runningSeen = false;
    h.extra = [&](IScriptRegistrar& r) {
        r.RegisterRoutine(S("procedure ExecuteMacro;"), [&](const TScriptArgs&) {
            runningSeen = h.engine.IsRunning();
            answers << h.engine.Execute() << h.engine.Compile(S("begin end."));
            // A nested event loop that tries again from a timer.
            QEventLoop loop;
            QTimer::singleShot(0, &loop, [&] {
                answers << h.engine.Execute();
                loop.quit();
            });
            loop.exec();
            return TScriptValue();
        });
    };
    ASSERT_TRUE(h.Run(S("begin ExecuteMacro; Emit('done') end."))) << h.Failure().toStdString();
    EXPECT_TRUE(runningSeen);
    EXPECT_EQ(answers, QList<bool>({false, false, false}));
    EXPECT_EQ(h.out, QStringList{S("done")});
    EXPECT_FALSE(h.engine.IsRunning());
    // The refused compilation did not replace the running program.
    EXPECT_TRUE(h.engine.IsCompiled());
}

TEST(ScriptValues, ConversionsAreLenientAndDefined)
{
    EXPECT_EQ(TScriptValue(2.9).ToInt(), 2);
    EXPECT_EQ(TScriptValue(1e300).ToInt(), std::numeric_limits<qint64>::max());
    EXPECT_EQ(TScriptValue(-1e300).ToInt(), std::numeric_limits<qint64>::min());
    EXPECT_EQ(TScriptValue(std::nan("")).ToInt(), 0);
    EXPECT_EQ(TScriptValue(S(" 12 ")).ToInt(), 12);
    EXPECT_EQ(TScriptValue(S("abc")).ToInt(), 0);
    EXPECT_TRUE(TScriptValue(S("TRUE")).ToBool());
    EXPECT_EQ(TScriptValue(true).ToString(), S("True"));
}

} // namespace
