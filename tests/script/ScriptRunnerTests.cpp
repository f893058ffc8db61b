// The command-line runner: output and exit status.

#include "ScriptTestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <utility>

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

// Starts the runner, waits until the script runs, then sends aSignal: the runner must end
// within a few seconds.
TResult Interrupt(const QStringList& aArgs, int aSignal, qint64* aStopMs)
{
    QProcess p;
    p.start(S(TESS_SCRIPT_RUNNER), aArgs);
    QByteArray out;
    QElapsedTimer clock;
    clock.start();
    while (!out.contains("*** Compilation succeeded ***") && clock.elapsed() < 30000 &&
           p.state() != QProcess::NotRunning) {
        p.waitForReadyRead(100);
        out += p.readAllStandardOutput();
    }
    if (!out.contains("*** Compilation succeeded ***"))
        return {};
    QThread::msleep(200);
    clock.restart();
    ::kill(pid_t(p.processId()), aSignal);
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    *aStopMs = clock.elapsed();
    out += p.readAllStandardOutput();
    TResult r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.lines = QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return r;
}

TEST_F(ScriptRunner, SigintAndSigtermStopAnEndlessScript)
{
    const QString loop = Script("loop.pas", S("begin\n  while True do ;\nend."));
    for (const auto& [signal, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        qint64 stopMs = -1;
        const TResult r = Interrupt({loop}, signal, &stopMs);
        EXPECT_EQ(r.code, status) << signal;
        EXPECT_EQ(r.lines.value(r.lines.size() - 1),
                  S("### Erreur pendant l'exécution: loop.pas(2:3): Exécution interrompue"))
            << signal;
        EXPECT_LT(stopMs, 3000) << signal;
    }
    // Also during a long sleep, which the runner takes in short naps.
    qint64 stopMs = -1;
    const TResult r =
        Interrupt({Script("sleep.pas", S("begin\n  sleep(100000);\nend."))}, SIGINT, &stopMs);
    EXPECT_EQ(r.code, 130);
    EXPECT_TRUE(r.lines.value(r.lines.size() - 1).endsWith(S("Exécution interrompue")));
    EXPECT_LT(stopMs, 3000);
}

TEST_F(ScriptRunner, StepsOptionLimitsTheScript)
{
    const QString loop = Script("loop.pas", S("begin\n  while True do ;\nend."));
    for (const char* option : {"--steps=1000", "--max-steps=1000"}) {
        const TResult r = RunRunner({S(option), loop});
        EXPECT_EQ(r.code, 1) << option;
        EXPECT_EQ(r.lines, QStringList({S("*** Compilation succeeded ***"),
                                        S("### Erreur pendant l'exécution: loop.pas(2:3): Limite "
                                          "d'exécution atteinte (1000 pas)")}))
            << option;
    }
    const QString ok = Script("ok.pas", S("var i: Integer;\nbegin for i := 1 to 10 do ; end."));
    EXPECT_EQ(RunRunner({S("--steps=1000"), ok}).code, 0);
    EXPECT_EQ(RunRunner({S("--steps=0"), ok}).code, 0);
    for (const char* bad : {"--steps=", "--steps=-1", "--steps=abc", "--steps=1e3", "--max-steps=x",
                            "--steps=99999999999999999999", "--frobnicate"}) {
        const TResult r = RunRunner({S(bad), ok});
        EXPECT_EQ(r.code, 2) << bad;
        EXPECT_EQ(r.lines,
                  QStringList{S("Usage : tessarine-script [-DSYMBOLE]... [--steps=N] FICHIER")})
            << bad;
    }
}

TEST_F(ScriptRunner, BadUsageExitsTwo)
{
    EXPECT_EQ(RunRunner({}).code, 2);
    EXPECT_EQ(RunRunner({m_dir.filePath(S("absent.pas"))}).code, 2);
    EXPECT_EQ(RunRunner({S("a.pas"), S("b.pas")}).code, 2);
}

} // namespace
