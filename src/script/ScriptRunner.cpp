// tessarine-script [-DSYMBOL]... [--steps=N] FILE: compiles and runs a script with the engine's
// library and the built-in routines, printing the messages and what showmessage shows.
//
// --steps=N (or --max-steps=N) ends the script after N steps, 0 for no limit (the default).
// Ctrl+C (SIGINT) or SIGTERM stops the script at its next step with "Exécution interrompue";
// a second one ends the runner at once.
//
// Exit status: 0 only when both compilation and execution succeeded, 1 when either failed,
// 2 for bad usage, 128 + the signal's number when a signal stopped it (130 for SIGINT, 143 for
// SIGTERM).

#include "base/TextDecoding.h"
#include "script/ScriptBuiltins.h"
#include "script/TScriptEngine.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>

namespace {

// Set by the signal handler, read by the engine's yield hook: the one thing a handler may
// safely do is store to a lock-free atomic.
std::atomic<int> gSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void OnSignal(int aSignal)
{
    gSignal.store(aSignal, std::memory_order_relaxed);
}

void CatchSignals()
{
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // The handler is removed once it ran: a script stuck in a host routine still ends at the
    // second Ctrl+C.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int SignalStatus()
{
    return 128 + gSignal.load(std::memory_order_relaxed);
}

void Print(const QString& aLine)
{
    const QByteArray bytes = aLine.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// "--steps=N" or "--max-steps=N" with N a count of steps; false for anything else.
bool StepsOption(const QString& aArg, bool& aValid, qint64& aSteps)
{
    for (const char* prefix : {"--steps=", "--max-steps="}) {
        if (!aArg.startsWith(QLatin1String(prefix)))
            continue;
        const QString value = aArg.mid(qsizetype(qstrlen(prefix)));
        bool digits = !value.isEmpty();
        for (const QChar c : value)
            digits = digits && c >= u'0' && c <= u'9';
        aSteps = digits ? value.toLongLong(&aValid) : 0;
        aValid = digits && aValid;
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    CatchSignals();
    QCoreApplication app(argc, argv);
    QStringList defines;
    QStringList files;
    qint64 steps = 0;
    bool usable = true;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (const QString& a : args) {
        bool valid = false;
        if (a.startsWith(QLatin1String("-D")) && a.size() > 2)
            defines << a.mid(2);
        else if (StepsOption(a, valid, steps))
            usable = usable && valid;
        else if (a.startsWith(QLatin1String("--")))
            usable = false;
        else
            files << a;
    }
    if (!usable || files.size() != 1) {
        Print(QStringLiteral("Usage : tessarine-script [-DSYMBOLE]... [--steps=N] FICHIER"));
        return 2;
    }
    const QString path = files.first();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Print(QStringLiteral("Lecture impossible de '") % path % QLatin1Char('\''));
        return 2;
    }
    const QString text = DecodeText(file.readAll());

    TScriptBuiltinHooks hooks;
    hooks.ShowMessage = [](const QString& aText) { Print(aText); };
    // In short naps, so that a signal does not wait for the end of a long sleep.
    hooks.Sleep = [](quint32 aMs) {
        for (quint32 left = aMs; left > 0 && !gSignal.load(std::memory_order_relaxed);) {
            const quint32 nap = std::min<quint32>(left, 20);
            QThread::msleep(nap);
            left -= nap;
        }
    };
    TScriptEngine engine;
    engine.SetDefines(defines);
    engine.SetStepLimit(steps);
    engine.SetRegistration([&hooks](IScriptRegistrar& r) { RegisterScriptBuiltins(r, hooks); });
    engine.SetYieldHook([&engine] {
        if (gSignal.load(std::memory_order_relaxed))
            engine.Abort();
    });

    const bool compiled = engine.Compile(text, path);
    for (const QString& line : engine.MessageLines())
        Print(line);
    if (!compiled) {
        Print(QStringLiteral("### Compilation Failed"));
        return 1;
    }
    Print(QStringLiteral("*** Compilation succeeded ***"));
    const bool executed = !gSignal.load(std::memory_order_relaxed) && engine.Execute();
    // A signal also counts when the script ended right after a sleep that it cut short.
    if (gSignal.load(std::memory_order_relaxed)) {
        const QString error = engine.ErrorText();
        Print(QStringLiteral("### Erreur pendant l'exécution: ") %
              (error.isEmpty() ? QStringLiteral("Exécution interrompue") : error));
        return SignalStatus();
    }
    if (!executed) {
        Print(QStringLiteral("### Erreur pendant l'exécution: ") % engine.ErrorText());
        return 1;
    }
    Print(QStringLiteral("*** Exécution réussie ***"));
    return 0;
}
