#pragma once

#include "actions/TCustomAbstractAction.h"

#include <functional>

// A command without value.
class TNopeAction : public TAbstractAction {
    Q_OBJECT
public:
    using TPrepareNopeEvent = std::function<bool()>;
    using TApplyNopeEvent = std::function<void()>;

    using TAbstractAction::TAbstractAction;

    TPrepareNopeEvent OnPrepare;
    TApplyNopeEvent OnBeforeApply;
    TApplyNopeEvent OnAfterApply;
    TApplyNopeEvent BeforeSave;

    TPrepareNopeEvent OnInternalPrepare;
    TApplyNopeEvent OnInternalApply;
    TApplyNopeEvent OnInternalBeforeSave;

    // Records "    ScriptName;" when recording, not nested and named.
    void Apply() override;
    void DoExecute(QObject* aSender) override;
    // The text is ignored: the command runs.
    void SetAsText(const QString&) override { Apply(); }
    bool LoadFromPrefs(TDravikPreferences& gp) override;
    bool SaveToPrefs(TDravikPreferences& gp) override;
    QString ScriptDeclaration() override;
    QString SwitchSyntax() override;
    bool RegisterInScript(IScriptRegistrar& aScript) override;

protected:
    void ClearHooks() override;
};
