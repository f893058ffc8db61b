#include "actions/TNopeAction.h"

#include "actions/MacroState.h"

#include "script/ScriptHost.h"

#include <exception>

void TNopeAction::Apply()
{
    const TMacroScope macro(
        [this] {
            return Recorded() ? QString(QStringLiteral("    ") + ScriptName + u';') : QString();
        },
        !ScriptName.isEmpty());
    if (OnBeforeApply)
        OnBeforeApply();
    if (OnInternalApply)
        OnInternalApply();
    if (OnAfterApply)
        OnAfterApply();
}

void TNopeAction::DoExecute(QObject*)
{
    if ((!OnPrepare || OnPrepare()) && (!OnInternalPrepare || OnInternalPrepare()))
        Apply();
}

bool TNopeAction::LoadFromPrefs(TDravikPreferences&)
{
    try {
        if (ApplyWhenLoad)
            Apply();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TNopeAction::SaveToPrefs(TDravikPreferences&)
{
    try {
        if (BeforeSave)
            BeforeSave();
        if (OnInternalBeforeSave)
            OnInternalBeforeSave();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

QString TNopeAction::ScriptDeclaration()
{
    return QStringLiteral("procedure ") + ScriptName + u';';
}

QString TNopeAction::SwitchSyntax()
{
    return u'/' + Switch;
}

bool TNopeAction::RegisterInScript(IScriptRegistrar& aScript)
{
    if (ScriptName.isEmpty())
        return false;
    return aScript.RegisterRoutine(ScriptDeclaration(), [this](const TScriptArgs&) {
        Apply();
        return TScriptValue();
    });
}

void TNopeAction::ClearHooks()
{
    OnInternalPrepare = nullptr;
    OnInternalApply = nullptr;
    OnInternalBeforeSave = nullptr;
}
