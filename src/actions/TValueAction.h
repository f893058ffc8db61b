#pragma once

#include "actions/MacroState.h"
#include "actions/TCustomAbstractAction.h"

#include "prefs/TDravikPreferences.h"
#include "script/ScriptHost.h"

#include <exception>
#include <functional>

// An action holding a typed value: the value setter records and applies, the prepare events
// supply a value for menus and buttons, the default and save events refresh values around the
// preferences. Component hooks run right after the published event of the same role.
template <class T> class TValueAction : public TAbstractAction {
public:
    using TPrepareEvent = std::function<bool(T&)>;
    using TApplyEvent = std::function<void(const T&)>;

    using TAbstractAction::TAbstractAction;

    TPrepareEvent OnPrepare;
    TPrepareEvent OnDefault;
    TPrepareEvent BeforeSave;
    TApplyEvent OnBeforeApply;
    TApplyEvent OnAfterApply;

    TPrepareEvent OnInternalPrepare;
    TPrepareEvent OnInternalDefault;
    TPrepareEvent OnInternalBeforeSave;
    TApplyEvent OnInternalApply;

    T DefaultValue{};

    const T& Value() const { return m_value; }
    // Stores, records when recording and not nested, and applies: also an unchanged value.
    // The value kept without applying it: an action that mirrors a part of another one.
    void Assign(const T& aValue) { m_value = aValue; }

    virtual void SetValue(const T& aValue)
    {
        m_value = aValue;
        const TMacroScope macro([this] { return Recorded() ? MacroLine() : QString(); });
        Apply();
    }

    void Apply() override
    {
        if (OnBeforeApply)
            OnBeforeApply(m_value);
        if (OnInternalApply)
            OnInternalApply(m_value);
        if (OnAfterApply)
            OnAfterApply(m_value);
    }

    void DoExecute(QObject*) override
    {
        if (!OnPrepare && !OnInternalPrepare)
            return;
        T v = EmptyValue();
        if (OnPrepare && !OnPrepare(v))
            return;
        if (OnInternalPrepare && !OnInternalPrepare(v))
            return;
        SetValue(v);
    }

    bool LoadFromPrefs(TDravikPreferences& gp) override
    {
        try {
            if (OnDefault)
                OnDefault(DefaultValue);
            if (OnInternalDefault)
                OnInternalDefault(DefaultValue);
            ReadValue(gp);
            if (ApplyWhenLoad)
                Apply();
            return true;
        } catch (const std::exception&) {
            return false;
        }
    }

    bool SaveToPrefs(TDravikPreferences& gp) override
    {
        try {
            if (BeforeSave)
                BeforeSave(m_value);
            if (OnInternalBeforeSave)
                OnInternalBeforeSave(m_value);
            return WriteValue(gp);
        } catch (const std::exception&) {
            return false;
        }
    }

    QString ScriptDeclaration() override
    {
        return QStringLiteral("procedure ") + ScriptName + QStringLiteral("(const ") +
               VariablesOr(DeclarationVariables()) + TypeSuffix();
    }

    QString SwitchSyntax() override
    {
        return u'/' + Switch + u'=' + VariablesOr(SwitchVariables());
    }

    bool RegisterInScript(IScriptRegistrar& aScript) override
    {
        return aScript.RegisterRoutine(ScriptDeclaration(), [this](const TScriptArgs& args) {
            SetValue(FromScript(args));
            return TScriptValue();
        });
    }

    // The line a recorded change appends, four spaces first.
    QString MacroLine() const
    {
        return QStringLiteral("    ") + ScriptName + u'(' + MacroArguments(m_value) +
               QStringLiteral(");");
    }

protected:
    void ClearHooks() override
    {
        OnInternalPrepare = nullptr;
        OnInternalDefault = nullptr;
        OnInternalBeforeSave = nullptr;
        OnInternalApply = nullptr;
    }

    // The value a prepare handler starts from.
    virtual T EmptyValue() const { return T{}; }
    // The value field, read straight from the preferences with DefaultValue as fallback.
    virtual void ReadValue(TDravikPreferences& gp) = 0;
    virtual bool WriteValue(TDravikPreferences& gp) = 0;
    virtual QString MacroArguments(const T& aValue) const = 0;
    virtual QString TypeSuffix() const = 0;
    virtual QString DeclarationVariables() const = 0;
    virtual QString SwitchVariables() const = 0;
    virtual T FromScript(const TScriptArgs& aArgs) const = 0;

    T m_value{};
};
