#pragma once

#include "script/ScriptHost.h"
#include "script/ScriptMessage.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <memory>

// The script engine: compiles a program of the Pascal-like language and runs it.
//
//   TScriptEngine engine;
//   engine.SetRegistration([&](IScriptRegistrar& r) { r.RegisterRoutine(...); });
//   if (engine.Compile(text, QStringLiteral("/path/macro.pas"))) engine.Execute();
//
// The registration callback runs at the start of every Compile, before the program is parsed;
// what it registers holds for that compilation only. The registrar methods answer false
// outside the callback. Everything runs on the calling thread; a host routine may run a nested
// event loop, but Compile and Execute called while the engine executes are refused (and the
// engine must not be destroyed then).
class TScriptEngine final : public IScriptRegistrar {
public:
    using TRegistration = std::function<void(IScriptRegistrar&)>;

    TScriptEngine();
    ~TScriptEngine() override;
    TScriptEngine(const TScriptEngine&) = delete;
    TScriptEngine& operator=(const TScriptEngine&) = delete;

    void SetRegistration(TRegistration aRegistration);
    // Symbols defined for {$IFDEF} before the program's own {$DEFINE}s.
    void SetDefines(const QStringList& aSymbols);
    // Ends a script after this many steps (0: no limit): a loop turn or a call is one, copying
    // a large value or building a long text counts in proportion to its size.
    void SetStepLimit(qint64 aSteps);
    // Calls aHook while a script executes, at most once every aIntervalMs of wall time (the
    // clock is read every few thousand steps), so that the host can process its window events
    // and call Abort() from inside the hook; the script then fails with "Exécution
    // interrompue". The hook is never re-entered, Compile and Execute called from it are
    // refused, and an exception it throws ends the script. An empty function removes it; a
    // change takes effect at the next Execute.
    void SetYieldHook(std::function<void()> aHook, int aIntervalMs = 50);

    // Compiles aText. aFileName names the text in messages and gives the folder where {$I}
    // looks for files (the current folder when empty). Replaces Messages(); false on any
    // error, and also when the engine is executing (the running program stays untouched).
    bool Compile(const QString& aText, const QString& aFileName = QString());
    // The last compilation succeeded.
    bool IsCompiled() const;
    // Messages of the last compilation, in order.
    const QList<TScriptMessage>& Messages() const;
    QStringList MessageLines() const;

    // Runs the compiled program from fresh global variables. False on a run-time error (see
    // ErrorText and RunError), without a compiled program, or when already executing.
    bool Execute();
    bool IsRunning() const;
    // Asks the running script to stop at its next loop turn or call; it then fails with
    // "Exécution interrompue".
    void Abort();
    // Why the last Execute failed: "macro.pas(3:12): Division par zéro", or a refusal.
    QString ErrorText() const;
    // The same as a message with its place (line 0 for a refusal).
    const TScriptMessage& RunError() const;

    // The names of the routines a script can call, in the spelling of their declarations: the
    // engine's library, and what the registration callback adds (run here on a scratch
    // program, nothing is compiled; left out while a compilation is going on). For the
    // editor, which shows calls of them in bold.
    QStringList RoutineNames();
    static QStringList LibraryRoutineNames();

    // IScriptRegistrar, valid only inside the registration callback.
    bool RegisterRoutine(const QString& aDeclaration, THostRoutine aImpl) override;
    bool RegisterConstant(const QString& aName, const QString& aTypeName,
                          const TScriptValue& aValue) override;
    bool RegisterType(const QString& aName, const QString& aDefinition) override;

private:
    struct TImpl;
    std::unique_ptr<TImpl> d;
};
