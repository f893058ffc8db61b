#include "actions/uScriptAction.h"
#include "actions/uWndComponent.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLocale>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class TEditor : public TScriptEditorLines {
public:
    QStringList Text;
    void Append(const QString& aLine) override { Text << aLine; }
    void Clear() override { Text.clear(); }
    QStringList Lines() const override { return Text; }
};

// One action of every class in a list attached to the script component.
class ScriptBinding : public ::testing::Test {
protected:
    TKoScript script;
    TKoActionList list;
    TKoActionList scriptList;
    TEditor editor;
    QStringList memo;
    std::unique_ptr<TMacroCommands> macros;
    TNopeAction* execute = nullptr;

    TNopeAction* grab = Make<TNopeAction>("naGrab");
    TWidestringAction* text = Make<TWidestringAction>("waPerso");
    TStringAction* bytes = Make<TStringAction>("saLines");
    TIntegerAction* volume = Make<TIntegerAction>("iaVolume");
    TColorAction* color = Make<TColorAction>("laColor");
    TDoubleAction* ratio = Make<TDoubleAction>("daRatio");
    TBooleanAction* flag = Make<TBooleanAction>("baFlag");
    TPointAction* point = Make<TPointAction>("paPos");
    TRectAction* rect = Make<TRectAction>("raBounds");
    TFontAction* font = Make<TFontAction>("faFont");
    TCheckAction* mute = Make<TCheckAction>("caMute");
    int grabs = 0;

    template <class A> A* Make(const char* aId)
    {
        auto* a = TCustomAbstractAction::CreateInternal<A>(QString::fromLatin1(aId), &list);
        a->ScriptName = QString::fromLatin1(aId + 2);
        return a;
    }

    void SetUp() override
    {
        grab->OnInternalApply = [this] { ++grabs; };
        list.SetPascalScript(&script);
        macros = std::make_unique<TMacroCommands>(
            script, editor, [this] { memo.clear(); }, [this](const QStringList& m) { memo << m; });
        execute = TCustomAbstractAction::CreateInternal<TNopeAction>(
            QStringLiteral("naExecuteMacro"), &scriptList);
        execute->ScriptName = QStringLiteral("ExecuteMacro");
        execute->OnInternalApply = [this] { macros->ExecuteMacro(); };
        scriptList.SetPascalScript(&script);
    }
    void TearDown() override
    {
        MacroLines = nullptr;
        InApply = false;
    }
    bool Run(const QString& aProgram)
    {
        script.Script = aProgram.split(u'\n');
        return script.Compile() && script.Execute();
    }
    void ResetValues()
    {
        text->SetValue(QString());
        bytes->SetValue(QByteArray());
        volume->SetValue(0);
        color->SetValue(0);
        ratio->SetValue(0);
        flag->SetValue(false);
        point->SetValue(0, 0);
        rect->SetValue(TRect{});
        font->SetValue(TFontDesc{});
        mute->SetChecked(false);
        grabs = 0;
    }
};

TEST_F(ScriptBinding, EveryDeclarationRegistersAndCallsItsSetter)
{
    ASSERT_TRUE(Run(QStringLiteral(
        "begin\n Grab;\n Perso('a''b');\n Lines('x');\n Volume(50);\n Color(clBtnFace);\n"
        " Ratio(2.5);\n Flag(True);\n Pos(3, 4);\n Bounds(1, 3, 2, 4);\n"
        " Font('Arial', 12, clRed, True, False, True, False);\n setMute(True);\n Mute;\n end.")))
        << script.Messages().join(u'\n').toStdString();
    EXPECT_EQ(grabs, 1);
    EXPECT_EQ(text->Value(), QStringLiteral("a'b"));
    EXPECT_EQ(bytes->Value(), QByteArray("x"));
    EXPECT_EQ(volume->Value(), 50);
    EXPECT_EQ(color->Value(), TColor(0xFF00000F));
    EXPECT_EQ(ratio->Value(), 2.5);
    EXPECT_TRUE(flag->Value());
    EXPECT_EQ(point->Value(), (TPoint{3, 4}));
    EXPECT_EQ(rect->Value(), (TRect{1, 2, 3, 4}));
    EXPECT_EQ(font->Value().Name, QStringLiteral("Arial"));
    EXPECT_EQ(font->Value().Color, 0x0000FF);
    EXPECT_TRUE(font->Value().Underline);
    EXPECT_FALSE(mute->Checked()); // set, then toggled
    EXPECT_EQ(script.Messages().last(), QStringLiteral("*** Exécution réussie ***"));
}

TEST_F(ScriptBinding, ARecordedMacroReplaysToTheSameValues)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    macros->StartMacro();
    text->SetValue(QStringLiteral("l'été\r\n\"cité\""));
    bytes->SetValue(QByteArray("ça"));
    volume->SetValue(-7);
    color->SetValue(TColor(0xFF00000F));
    ratio->SetValue(0.1);
    flag->SetValue(true);
    point->SetValue(-10, 20);
    rect->SetValue(TRect{5, 6, 7, 8});
    TFontDesc f;
    f.Name = QStringLiteral("O'Neil");
    f.Size = 14;
    f.Color = TColor(0xFF000008);
    f.Italic = true;
    f.StrikeOut = true;
    font->SetValue(f);
    mute->Toggle();
    grab->Apply();
    macros->StopMacro();
    QLocale::setDefault(previous);

    ASSERT_GE(editor.Text.size(), 3);
    EXPECT_TRUE(editor.Text[0].startsWith(QStringLiteral("//Macro enregistrée le ")));
    const QRegularExpression header(
        QStringLiteral("^//Macro enregistrée le \\w+ \\d{1,2} \\w+ \\d{4} à \\d{2}:\\d{2}:\\d{2}$"),
        QRegularExpression::UseUnicodePropertiesOption);
    EXPECT_TRUE(header.match(editor.Text[0]).hasMatch()) << editor.Text[0].toStdString();
    EXPECT_EQ(editor.Text[1], QString());
    EXPECT_EQ(editor.Text[2], QStringLiteral("begin"));
    EXPECT_TRUE(
        editor.Text.contains(QStringLiteral("    setMute(True);"))); // toggles record the set
    EXPECT_EQ(editor.Text.last(), QStringLiteral("end."));
    EXPECT_EQ(MacroLines, nullptr);

    const QStringList recorded = editor.Text;
    ResetValues();
    macros->ExecuteMacro();
    EXPECT_EQ(memo.last(), QStringLiteral("*** Exécution réussie ***"))
        << memo.join(u'\n').toStdString();
    EXPECT_EQ(text->Value(), QStringLiteral("l'été\r\n\"cité\""));
    EXPECT_EQ(bytes->Value(), QByteArray("ça"));
    EXPECT_EQ(volume->Value(), -7);
    EXPECT_EQ(color->Value(), TColor(0xFF00000F));
    EXPECT_EQ(ratio->Value(), 0.1);
    EXPECT_TRUE(flag->Value());
    EXPECT_EQ(point->Value(), (TPoint{-10, 20}));
    EXPECT_EQ(rect->Value(), (TRect{5, 6, 7, 8}));
    EXPECT_EQ(font->Value().Name, f.Name);
    EXPECT_EQ(font->Value().Size, 14);
    EXPECT_EQ(font->Value().Color, f.Color);
    EXPECT_TRUE(font->Value().Italic && font->Value().StrikeOut && !font->Value().Bold);
    EXPECT_TRUE(mute->Checked());
    EXPECT_EQ(grabs, 1);
    EXPECT_EQ(editor.Text, recorded); // replaying records nothing
}

TEST_F(ScriptBinding, RunningDuringARecordingRecordsOnlyItsOwnLine)
{
    macros->StartMacro();
    volume->SetValue(5);
    editor.Text << QStringLiteral("    setMute(True);") << QStringLiteral("end.");
    execute->Action()->trigger();
    const qsizetype runs = editor.Text.count(QStringLiteral("    ExecuteMacro;"));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(editor.Text.count(QStringLiteral("    setMute(True);")),
              1); // the script's call is not recorded
    EXPECT_TRUE(mute->Checked());
    macros->StopMacro();
}

TEST_F(ScriptBinding, AMacroThatRunsTheMacroAnswersInsteadOfRecursing)
{
    editor.Text = {QStringLiteral("begin"), QStringLiteral("    Volume(3);"),
                   QStringLiteral("    ExecuteMacro;"), QStringLiteral("    Volume(4);"),
                   QStringLiteral("end.")};
    macros->ExecuteMacro();
    EXPECT_EQ(volume->Value(), 4);
    EXPECT_TRUE(memo.filter(QStringLiteral("### Un script est déjà en cours")).size() >= 1)
        << memo.join(u'\n').toStdString();
    EXPECT_EQ(memo.last(), QStringLiteral("*** Exécution réussie ***"));
    EXPECT_FALSE(script.Running());
}

TEST_F(ScriptBinding, CompilationStateFollowsTheLastCompile)
{
    script.Script = {QStringLiteral("begin Volume(1); end.")};
    EXPECT_TRUE(script.Compile());
    EXPECT_EQ(script.Messages().last(), QStringLiteral("*** Compilation succeeded ***"));
    EXPECT_TRUE(script.Compile()); // everything registers again
    EXPECT_TRUE(script.Execute());
    EXPECT_EQ(volume->Value(), 1);

    script.Script = {QStringLiteral("begin Inconnue(1); end.")};
    EXPECT_FALSE(script.Compile());
    EXPECT_EQ(script.Messages().last(), QStringLiteral("### Compilation Failed"));
    EXPECT_GE(script.Messages().size(), 2); // the compiler's own message first
    EXPECT_FALSE(script.Execute());
    EXPECT_EQ(script.Messages(), QStringList{QStringLiteral("### Compilation non prête")});

    TKoScript fresh;
    EXPECT_FALSE(fresh.Execute());
    EXPECT_EQ(fresh.Messages(), QStringList{QStringLiteral("### Compilation non prête")});
}

TEST_F(ScriptBinding, RunTimeErrorsAndHostExceptionsAreReported)
{
    grab->OnInternalApply = [] { throw std::runtime_error("capture impossible"); };
    EXPECT_FALSE(Run(QStringLiteral("begin\n  Grab;\nend.")));
    ASSERT_EQ(script.Messages().size(), 1);
    EXPECT_TRUE(
        script.Messages()[0].startsWith(QStringLiteral("### Erreur pendant l'exécution: ")));
    EXPECT_TRUE(script.Messages()[0].contains(QStringLiteral("capture impossible")));
    EXPECT_FALSE(InApply);
}

// A script that never ends leaves the window alive (timers and posted events still run) and
// stops when the user asks, with its text and the recording untouched.
TEST_F(ScriptBinding, AnEndlessScriptKeepsEventsFlowingAndStopsOnAbort)
{
    editor.Text = {QStringLiteral("keep me")};
    const QString source = QStringLiteral("begin\n  while True do ;\nend.");
    script.Script = source.split(u'\n');
    ASSERT_TRUE(script.Compile());
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, &ticker, [&] {
        if (++ticks == 3)
            script.Abort(); // what Esc and closing the window do
    });
    ticker.start(30);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(script.Execute());
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(ticks, 3);
    ASSERT_EQ(script.Messages().size(), 1);
    EXPECT_TRUE(script.Messages()[0].contains(QStringLiteral("interrompue")))
        << qPrintable(script.Messages()[0]);
    EXPECT_EQ(script.Script.join(u'\n'), source);
    EXPECT_EQ(editor.Text, QStringList{QStringLiteral("keep me")});
    EXPECT_TRUE(script.Compiled()); // it can run again
}

TEST_F(ScriptBinding, BuiltinsAndTheirConstantsAreThere)
{
    QStringList shown;
    script.OnShowMessage = [&](const QString& t) { shown << t; };
    bool compiledHook = false;
    script.OnCompile = [&](TKoScript&) { compiledHook = true; };
    ASSERT_TRUE(Run(QStringLiteral(
        "begin showmessage(extractfilename('/a/b/c.txt') + ' ' + IntToStr(clMoneyGreen)); end.")));
    EXPECT_EQ(shown, QStringList{QStringLiteral("c.txt 12639424")});
    EXPECT_TRUE(compiledHook);
}

} // namespace
