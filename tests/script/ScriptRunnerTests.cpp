// The command-line runner: output and exit status.

#include "ScriptTestSupport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct TResult {
    int code = -1;
    QStringList lines;
};

TResult RunRunner(const QStringList& aArgs)
{
    QProcess p;
    p.start(S(TESS_SCRIPT_RUNNER), aArgs);
    if (!p.waitForFinished(30000))
        return {};
    TResult r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.lines =
        QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return r;
}

class ScriptRunner : public ::testing::Test {
protected:
    QString Script(const char* aName, const QString& aText)
    {
        const QString path = m_dir.filePath(S(aName));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(aText.toUtf8());
        return path;
    }
    QTemporaryDir m_dir;
};

TEST_F(ScriptRunner, SuccessPrintsShownMessagesAndExitsZero)
{
    const QString path = Script("ok.pas", S("begin\n  showmessage('Bonjour, été !');\n  "
                                            "showmessage(extractfilename('a\\b.txt'));\nend."));
    const TResult r = RunRunner({path});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.lines, QStringList({S("*** Compilation succeeded ***"), S("Bonjour, été !"),
                                    S("b.txt"), S("*** Exécution réussie ***")}));
}

TEST_F(ScriptRunner, CompilationErrorsExitOne)
{
    const TResult r = RunRunner({Script("bad.pas", S("begin\n  Nope;\nend."))});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.lines, QStringList({S("[Erreur] bad.pas(2:3): Identificateur inconnu 'Nope'"),
                                    S("### Compilation Failed")}));
}

TEST_F(ScriptRunner, RunTimeErrorsExitOne)
{
    const TResult r = RunRunner({Script(
        "div.pas", S("var z: Integer;\nbegin\n  showmessage('avant');\n  z := 1 div z;\nend."))});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.lines,
              QStringList({S("*** Compilation succeeded ***"), S("avant"),
                           S("### Erreur pendant l'exécution: div.pas(4:10): Division par zéro")}));
}

TEST_F(ScriptRunner, DefinesAndIncludes)
{
    Script("part.inc", S("procedure Hi; begin showmessage('hi'); end;"));
    const QString path =
        Script("main.pas", S("{$I part.inc}\nbegin {$IFDEF LOUD} Hi; {$ENDIF} end."));
    EXPECT_EQ(RunRunner({S("-DLOUD"), path}).lines.value(1), S("hi"));
    EXPECT_EQ(RunRunner({path}).lines.size(), 2);
}

TEST_F(ScriptRunner, BadUsageExitsTwo)
{
    EXPECT_EQ(RunRunner({}).code, 2);
    EXPECT_EQ(RunRunner({m_dir.filePath(S("absent.pas"))}).code, 2);
    EXPECT_EQ(RunRunner({S("a.pas"), S("b.pas")}).code, 2);
}

} // namespace
