// {$I} include files and the conditional directives.

#include "ScriptTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void Write(const QString& aPath, const QString& aText)
{
    QDir().mkpath(QFileInfo(aPath).absolutePath());
    QFile f(aPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(aText.toUtf8());
}

class ScriptIncludes : public ::testing::Test {
protected:
    QString Path(const char* aName) const { return m_dir.filePath(S(aName)); }
    QString RunMain(const QString& aText)
    {
        TScriptHarness h;
        if (!h.Run(aText, Path("main.pas")))
            return QStringLiteral("FAILED: ") + h.Failure();
        return h.out.join(QLatin1Char('|'));
    }
    QString MainError(const QString& aText)
    {
        TScriptHarness h;
        if (h.Compile(aText, Path("main.pas")))
            return QStringLiteral("COMPILED");
        return h.engine.MessageLines().join(QLatin1Char('\n'));
    }
    QTemporaryDir m_dir;
};

TEST_F(ScriptIncludes, FilesAreFoundBesideTheFileThatIncludesThem)
{
    Write(Path("lib/util.inc"), S("procedure Hello; begin Emit('hello'); end;\n{$I more.inc}\n"));
    Write(Path("lib/more.inc"), S("const Answer = 42;\n"));
    Write(Path("Upper.INC"), S("procedure Shout; begin Emit('SHOUT'); end;\n"));
    Write(Path("plain.pas"), S("procedure Plain; begin Emit('plain'); end;\n"));
    EXPECT_EQ(RunMain(S("{$I lib/util.inc}\n{$INCLUDE 'upper.inc'}\n{$I plain}\n"
                        "begin Hello; Shout; Plain; Emit(IntToStr(Answer)); end.")),
              S("hello|SHOUT|plain|42"));
    // Backslashes from Windows scripts work as separators.
    EXPECT_EQ(RunMain(S("{$I lib\\util.inc}\nbegin Hello end.")), S("hello"));
}

TEST_F(ScriptIncludes, ErrorsNameTheIncludedFileAndItsLine)
{
    Write(Path("bad.inc"), S("procedure Bad;\nbegin\n  Unknown;\nend;\n"));
    EXPECT_EQ(MainError(S("{$I bad.inc}\nbegin end.")),
              S("[Erreur] bad.inc(3:3): Identificateur inconnu 'Unknown'"));
    EXPECT_EQ(MainError(S("begin\n  {$I missing.inc}\nend.")),
              S("[Erreur] main.pas(2:3): Fichier d'inclusion introuvable 'missing.inc'"));
    Write(Path("self.inc"), S("{$I self.inc}\n"));
    EXPECT_EQ(MainError(S("{$I self.inc}\nbegin end.")),
              S("[Erreur] self.inc(1:1): Inclusions trop imbriquées"));
    // A run-time error inside an included file names it too.
    Write(Path("div.inc"),
          S("procedure Crash(n: Integer);\nbegin\n  Emit(IntToStr(1 div n));\nend;\n"));
    TScriptHarness h;
    ASSERT_TRUE(h.Compile(S("{$I div.inc}\nbegin Crash(0) end."), Path("main.pas")));
    EXPECT_FALSE(h.engine.Execute());
    EXPECT_EQ(h.engine.ErrorText(), S("div.inc(3:19): Division par zéro"));
}

TEST_F(ScriptIncludes, LoneCarriageReturnsEndLinesInEveryFile)
{
    Write(Path("cr.inc"), S("procedure P;\rbegin\r  Unknown;\rend;\r"));
    EXPECT_EQ(MainError(S("{$I cr.inc}\rbegin end.")),
              S("[Erreur] cr.inc(3:3): Identificateur inconnu 'Unknown'"));
    // A line comment ends at a lone "\r", also in skipped text, and so does a directive's word.
    EXPECT_EQ(RunMain(S("{$DEFINE A\rcomment}\rbegin\r{$IFDEF NEVER}\r  // skipped\r{$ELSE}\r"
                        "  Emit('cr'); // kept\r{$ENDIF}\r{$IFDEF A} Emit('a'); {$ENDIF}\rend.")),
              S("cr|a"));
    EXPECT_EQ(MainError(S("begin\r{$IFDEF NEVER}\r{$ENDIF}\r  {$ELSE}\rend.")),
              S("[Erreur] main.pas(4:3): {$ELSE} sans {$IFDEF}"));
}

TEST(ScriptConditionals, DefineIfdefElseEndif)
{
    EXPECT_EQ(Emitted(S("{$DEFINE DEBUG}\nbegin\n"
                        "{$IFDEF DEBUG} Emit('debug'); {$ELSE} Emit('release'); {$ENDIF}\n"
                        "{$IFNDEF DEBUG} Emit('not'); {$ENDIF}\n"
                        "{$UNDEF debug}\n"
                        "{$ifdef Debug} Emit('still'); {$else} Emit('undefined'); {$endif}\n"
                        "{$IFDEF A}{$IFDEF B} Emit('ab'); {$ELSE} Emit('a'); {$ENDIF}{$ELSE}\n"
                        "  {$IFDEF B} Emit('b'); {$ELSE} Emit('none'); {$ENDIF}\n"
                        "{$ENDIF}\n"
                        "(*$DEFINE STAR*) {$IFDEF STAR} Emit('star'); {$ENDIF}\n"
                        "end.")),
              S("debug|undefined|none|star"));
}

TEST(ScriptConditionals, SkippedTextNeedNotBeValid)
{
    EXPECT_EQ(
        Emitted(S("begin\n{$IFDEF NEVER}\n  don't ? even # lex $ this {$I nothere.inc}\n{$ENDIF}\n"
                  "Emit('ok') end.")),
        S("ok"));
}

TEST(ScriptConditionals, SkippedTextIsNotReadForValues)
{
    EXPECT_EQ(Emitted(S("begin\n{$IFDEF NEVER}\n  x := 18446744073709551615; y := 1e999;\n"
                        "  z := $12345678901234567; c := #1114112; d := #; e := $;\n{$ENDIF}\n"
                        "{$IFNDEF NEVER} Emit('ok'); {$ELSE} 99999999999999999999 {$ENDIF}\n"
                        "end.")),
              S("ok"));
}

TEST(ScriptConditionals, DirectivesInSkippedStringsAndCommentsAreNoDirectives)
{
    EXPECT_EQ(Emitted(S("begin\n{$IFDEF NEVER}\n  s := '{$ENDIF}'; t := 'it''s {$ENDIF}';\n"
                        "  // {$ENDIF}\n  (* {$ENDIF} *) { {$ELSE} \n  Emit('skipped');\n"
                        "{$ELSE}\n  Emit('taken');\n{$ENDIF}\nend.")),
              S("taken"));
    // An unterminated string in skipped text ends with its line.
    EXPECT_EQ(Emitted(S("begin\n{$IFDEF NEVER} don't\n{$ELSE} Emit('else'); {$ENDIF}\nend.")),
              S("else"));
}

TEST(ScriptConditionals, IfWithDefinedAndElseIf)
{
    EXPECT_EQ(Emitted(S("{$DEFINE A}\nbegin\n"
                        "{$IF Defined(A)} Emit('1'); {$IFEND}\n"
                        "{$IF defined(B)} Emit('no'); {$ELSE} Emit('2'); {$ENDIF}\n"
                        "{$IF DEFINED(B)} Emit('no'); {$ELSEIF defined(A) and not defined(B)} "
                        "Emit('3'); {$ELSEIF defined(A)} Emit('no'); {$ELSE} Emit('no'); {$IFEND}\n"
                        "{$IF not (defined(A) or defined(B))} Emit('no'); "
                        "{$ELSEIF defined(B) or (defined(A) and not defined(C))} Emit('4'); "
                        "{$ENDIF}\n"
                        "{$IF defined(B)} Emit('no'); {$ELSEIF defined(C)} Emit('no'); "
                        "{$ELSE} Emit('5'); {$ENDIF}\n"
                        "{$IFDEF B}{$IF broken((}{$ELSEIF also broken}{$ENDIF}{$ENDIF}\n"
                        "end.")),
              S("1|2|3|4|5"));
}

TEST(ScriptConditionals, UnsupportedIfConditionsAreRefusedWhereTheyAre)
{
    const QString unsupported =
        S("): Condition de {$IF} non prise en charge : seuls defined(...), not, and, or et les "
          "parenthèses sont admis");
    EXPECT_EQ(CompileError(S("begin\n{$IF CompilerVersion >= 20} Emit('a'); {$IFEND}\nend.")),
              S("[Erreur] test.pas(2:1") + unsupported);
    EXPECT_EQ(CompileError(S("begin\n  {$IF defined(A}\n  {$ENDIF}\nend.")),
              S("[Erreur] test.pas(2:3") + unsupported);
    EXPECT_EQ(CompileError(S("begin\n{$IF}{$ENDIF}\nend.")),
              S("[Erreur] test.pas(2:1") + unsupported);
    EXPECT_EQ(CompileError(S("begin\n{$IF defined(A)}\n{$ELSEIF Declared(X)}\n{$ENDIF}\nend.")),
              S("[Erreur] test.pas(3:1): Condition de {$ELSEIF} non prise en charge : seuls "
                "defined(...), not, and, or et les parenthèses sont admis"));
    EXPECT_EQ(CompileError(S("begin\n  {$ELSEIF defined(A)}\nend.")),
              S("[Erreur] test.pas(2:3): {$ELSEIF} sans {$IF}"));
    EXPECT_EQ(CompileError(S("{$IF defined(A)}{$ELSE}{$ELSEIF defined(B)}{$ENDIF}\nbegin end.")),
              S("[Erreur] test.pas(1:24): {$ELSEIF} sans {$IF}"));
    EXPECT_EQ(CompileError(S("begin\n{$IF defined(A)}\nend.")),
              S("[Erreur] test.pas(2:1): {$ENDIF} manquant"));
}

TEST(ScriptConditionals, PredefinedSymbols)
{
    TScriptHarness h;
    h.engine.SetDefines({S("Linux")});
    ASSERT_TRUE(h.Run(S("begin {$IFDEF LINUX} Emit('linux') {$ENDIF} end.")));
    EXPECT_EQ(h.out, QStringList{S("linux")});
}

TEST(ScriptConditionals, UnbalancedDirectivesAreErrors)
{
    EXPECT_EQ(CompileError(S("begin\n{$IFDEF X}\nend.")),
              S("[Erreur] test.pas(2:1): {$ENDIF} manquant"));
    EXPECT_EQ(CompileError(S("begin\n  {$ENDIF}\nend.")),
              S("[Erreur] test.pas(2:3): {$ENDIF} sans {$IFDEF}"));
    EXPECT_EQ(CompileError(S("{$ELSE}\nbegin end.")),
              S("[Erreur] test.pas(1:1): {$ELSE} sans {$IFDEF}"));
    EXPECT_EQ(CompileError(S("{$IFDEF X}{$ELSE}{$ELSE}{$ENDIF}\nbegin end.")),
              S("[Erreur] test.pas(1:18): {$ELSE} sans {$IFDEF}"));
    EXPECT_EQ(CompileError(S("{$DEFINE}\nbegin end.")),
              S("[Erreur] test.pas(1:1): Nom de symbole attendu après {$DEFINE}"));
}

TEST(ScriptConditionals, SystemFilesAreNoIncludes)
{
    EXPECT_EQ(CompileError(S("{$I /proc/self/status}\nbegin end.")),
              S("[Erreur] test.pas(1:1): Fichier d'inclusion refusé '/proc/self/status'"));
}

} // namespace
