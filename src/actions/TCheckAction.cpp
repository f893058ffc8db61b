#include "actions/TCheckAction.h"

#include "actions/MacroState.h"
#include "actions/ValueActions.h"

#include "prefs/TDravikPreferences.h"
#include "script/ScriptHost.h"

#include <exception>

TCheckAction::TCheckAction(QObject* aOwner)
    : TCustomAbstractAction(aOwner)
{
    m_isCheckAction = true;
    SetAutoCheck(false);
}

void TCheckAction::FollowState()
{
    const bool on = Checked();
    SetCaption(on ? m_trueCaption : m_falseCaption);
    SetHint(on ? m_trueHint : m_falseHint);
    SetImageIndex(on ? m_trueImage : m_falseImage);
}

void TCheckAction::SetDefaultValue(bool aValue)
{
    m_default = aValue;
    SetPlatformChecked(aValue);
    FollowState();
}

void TCheckAction::SetTrueCaption(const QString& aText)
{
    m_trueCaption = aText;
    if (Checked())
        SetCaption(aText);
}

void TCheckAction::SetFalseCaption(const QString& aText)
{
    m_falseCaption = aText;
    if (!Checked())
        SetCaption(aText);
}

void TCheckAction::SetTrueHint(const QString& aText)
{
    m_trueHint = aText;
    if (Checked())
        SetHint(aText);
}

void TCheckAction::SetFalseHint(const QString& aText)
{
    m_falseHint = aText;
    if (!Checked())
        SetHint(aText);
}

void TCheckAction::SetTrueImageIndex(int aIndex)
{
    m_trueImage = aIndex;
    if (Checked())
        SetImageIndex(aIndex);
}

void TCheckAction::SetFalseImageIndex(int aIndex)
{
    m_falseImage = aIndex;
    if (!Checked())
        SetImageIndex(aIndex);
}

void TCheckAction::SetChecked(bool aChecked)
{
    SetPlatformChecked(aChecked);
    // The action that shows the script window is never recorded, yet it still keeps what its
    // handlers apply out of the macro.
    const TMacroScope macro([this] {
        if (ScriptName == QLatin1String("Script") || !Recorded())
            return QString();
        return QString(QStringLiteral("    set") + ScriptName + u'(' +
                       (Checked() ? QStringLiteral("True") : QStringLiteral("False")) +
                       QStringLiteral(");"));
    });
    Apply();
}

void TCheckAction::ApplyChecked(bool aChecked)
{
    SetPlatformChecked(aChecked);
    Apply();
}

void TCheckAction::Apply()
{
    if (Checked()) {
        if (OnBeforeTrueApply)
            OnBeforeTrueApply();
        if (OnInternalTrueApply)
            OnInternalTrueApply();
        if (OnAfterTrueApply)
            OnAfterTrueApply();
    } else {
        if (OnBeforeFalseApply)
            OnBeforeFalseApply();
        if (OnInternalFalseApply)
            OnInternalFalseApply();
        if (OnAfterFalseApply)
            OnAfterFalseApply();
    }
    FollowState();
}

void TCheckAction::DoExecute(QObject*)
{
    if ((!OnPrepare || OnPrepare()) && (!OnInternalPrepare || OnInternalPrepare()))
        SetChecked(!Checked());
}

void TCheckAction::SetAsText(const QString& aText)
{
    SetChecked(TextToBoolean(aText));
}

bool TCheckAction::LoadFromPrefs(TDravikPreferences& gp)
{
    try {
        if (OnDefault)
            OnDefault(m_default);
        if (OnInternalDefault)
            OnInternalDefault(m_default);
        SetPlatformChecked(gp.ReadBool(ScriptName, m_default));
        FollowState();
        if (ApplyWhenLoad)
            Apply();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TCheckAction::SaveToPrefs(TDravikPreferences& gp)
{
    try {
        bool v = Checked();
        if (BeforeSave)
            BeforeSave(v);
        if (OnInternalBeforeSave)
            OnInternalBeforeSave(v);
        return gp.WriteBool(ScriptName, v);
    } catch (const std::exception&) {
        return false;
    }
}

QString TCheckAction::ScriptDeclaration()
{
    return QStringLiteral("procedure set") + ScriptName + QStringLiteral("(const ") +
           VariablesOr(QStringLiteral("fisTrue")) + QStringLiteral(":Boolean);\r\nprocedure ") +
           ScriptName + u';';
}

QString TCheckAction::SwitchSyntax()
{
    return u'/' + Switch + QStringLiteral(" +") + Switch + QStringLiteral(" -") + Switch;
}

bool TCheckAction::RegisterInScript(IScriptRegistrar& aScript)
{
    try {
        const bool set = aScript.RegisterRoutine(QStringLiteral("procedure set") + ScriptName +
                                                     QStringLiteral("(const aBoolean:Boolean);"),
                                                 [this](const TScriptArgs& args) {
                                                     SetChecked(args.value(0).ToBool());
                                                     return TScriptValue();
                                                 });
        return set && aScript.RegisterRoutine(QStringLiteral("procedure ") + ScriptName + u';',
                                              [this](const TScriptArgs&) {
                                                  Toggle();
                                                  return TScriptValue();
                                              });
    } catch (const std::exception&) {
        return false;
    }
}

void TCheckAction::ClearHooks()
{
    OnInternalPrepare = nullptr;
    OnInternalDefault = nullptr;
    OnInternalBeforeSave = nullptr;
    OnInternalTrueApply = nullptr;
    OnInternalFalseApply = nullptr;
}
