#include "actions/TKoScript.h"

#include "base/TCommandQueue.h"

#include "actions/MacroState.h"

#include <QCoreApplication>

namespace {
const QString kRunning = QStringLiteral(
    "### Un script est déjà en cours d'exécution : un script ne peut pas se relancer lui-même.");
}

TKoScript::TKoScript(QObject* aOwner)
    : TScriptComponent(aOwner)
{
    InApply = false;
    m_hooks.ShowMessage = [this](const QString& aText) {
        if (OnShowMessage)
            OnShowMessage(aText);
    };
    m_engine.SetRegistration([this](IScriptRegistrar& r) {
        RegisterBuiltins(r);
        if (OnCompile)
            OnCompile(*this);
        RegisterAttachedLists(r);
    });
    // A running script keeps the window alive: events go through at a bounded rate, so the
    // user can still stop it (naAbort, closing the program); other commands wait for its end.
    m_engine.SetYieldHook(
        [] {
            const TCommandQueue::TWait wait;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        },
        50);
}

void TKoScript::Abort()
{
    if (m_engine.IsRunning())
        m_engine.Abort();
}

TKoScript::~TKoScript() = default;

void TKoScript::RegisterBuiltins(IScriptRegistrar& aScript)
{
    RegisterScriptBuiltins(aScript, m_hooks);
}

bool TKoScript::Compile()
{
    m_messages.clear();
    if (m_engine.IsRunning()) {
        // Compiling would replace the program that is running.
        m_messages << kRunning;
        return false;
    }
    m_compiled = m_engine.Compile(Script.join(u'\n'), FileName);
    m_messages << m_engine.MessageLines();
    m_messages << (m_compiled ? QStringLiteral("*** Compilation succeeded ***")
                              : QStringLiteral("### Compilation Failed"));
    return m_compiled;
}

bool TKoScript::Execute()
{
    m_messages.clear();
    if (m_engine.IsRunning()) {
        m_messages << kRunning;
        return false;
    }
    if (!m_compiled) {
        m_messages << QStringLiteral("### Compilation non prête");
        return false;
    }
    const bool ok = m_engine.Execute();
    m_messages << (ok ? QStringLiteral("*** Exécution réussie ***")
                      : QStringLiteral("### Erreur pendant l'exécution: ") + m_engine.ErrorText());
    return ok;
}
