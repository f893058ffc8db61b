#pragma once

#include "actions/TScriptComponent.h"

#include "script/ScriptBuiltins.h"
#include "script/TScriptEngine.h"

#include <QStringList>

#include <functional>

// The program's script component: compiles and runs the script text with the built-in routines
// and every action of the attached lists as procedures, and words the outcome as message lines.
class TKoScript : public TScriptComponent {
    Q_OBJECT
public:
    explicit TKoScript(QObject* aOwner = nullptr);
    ~TKoScript() override;

    // The script text, and the file it came from ({$I} looks beside it).
    QStringList Script;
    QString FileName;
    // Called at every compilation after the built-ins, before the actions of the lists.
    std::function<void(TKoScript&)> OnCompile;
    // What showmessage shows; the window puts up a message box.
    std::function<void(const QString&)> OnShowMessage;

    bool Compiled() const { return m_compiled; }
    const QStringList& Messages() const { return m_messages; }
    bool Running() const { return m_engine.IsRunning(); }

    bool Compile();
    bool Execute();
    // Ends a running script at its next step; Execute then reports the interruption.
    void Abort();
    // The built-in routines, constants and types.
    void RegisterBuiltins(IScriptRegistrar& aScript);

    TScriptEngine& Engine() { return m_engine; }

private:
    TScriptEngine m_engine;
    TScriptBuiltinHooks m_hooks;
    bool m_compiled = false;
    QStringList m_messages;
};
