#pragma once

#include "actions/TCustomAbstractAction.h"

#include <functional>

// A two-state action: its state is the toolkit's check state, and its caption, hint and image
// follow the state.
class TCheckAction : public TCustomAbstractAction {
    Q_OBJECT
public:
    using TPrepareNopeEvent = std::function<bool()>;
    using TApplyNopeEvent = std::function<void()>;
    using TPrepareBooleanEvent = std::function<bool(bool&)>;

    explicit TCheckAction(QObject* aOwner = nullptr);

    TApplyNopeEvent OnBeforeTrueApply;
    TApplyNopeEvent OnAfterTrueApply;
    TApplyNopeEvent OnBeforeFalseApply;
    TApplyNopeEvent OnAfterFalseApply;
    TPrepareNopeEvent OnPrepare;
    TPrepareBooleanEvent OnDefault;
    TPrepareBooleanEvent BeforeSave;

    TPrepareNopeEvent OnInternalPrepare;
    TPrepareBooleanEvent OnInternalDefault;
    TPrepareBooleanEvent OnInternalBeforeSave;
    TApplyNopeEvent OnInternalTrueApply;
    TApplyNopeEvent OnInternalFalseApply;

    bool DefaultValue() const { return m_default; }
    // Also puts the action into that state, without apply or recording.
    void SetDefaultValue(bool aValue);
    QString TrueCaption() const { return m_trueCaption; }
    void SetTrueCaption(const QString& aText);
    QString FalseCaption() const { return m_falseCaption; }
    void SetFalseCaption(const QString& aText);
    QString TrueHint() const { return m_trueHint; }
    void SetTrueHint(const QString& aText);
    QString FalseHint() const { return m_falseHint; }
    void SetFalseHint(const QString& aText);
    int TrueImageIndex() const { return m_trueImage; }
    void SetTrueImageIndex(int aIndex);
    int FalseImageIndex() const { return m_falseImage; }
    void SetFalseImageIndex(int aIndex);

    // Records "    setName(True);" (never for the action named "Script") and applies, also for
    // an unchanged state.
    void SetChecked(bool aChecked);
    void Toggle() { SetChecked(!Checked()); }
    // Sets the state and applies without recording and without touching InApply.
    void ApplyChecked(bool aChecked);

    void Apply() override;
    void DoExecute(QObject* aSender) override;
    void SetAsText(const QString& aText) override;
    bool LoadFromPrefs(TDravikPreferences& gp) override;
    bool SaveToPrefs(TDravikPreferences& gp) override;
    QString ScriptDeclaration() override;
    QString SwitchSyntax() override;
    bool RegisterInScript(IScriptRegistrar& aScript) override;

protected:
    void ClearHooks() override;

private:
    void FollowState();

    bool m_default = false;
    QString m_trueCaption;
    QString m_falseCaption;
    QString m_trueHint;
    QString m_falseHint;
    int m_trueImage = -1;
    int m_falseImage = -1;
};
