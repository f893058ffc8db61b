#pragma once

#include "actions/ShortCut.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

class QAction;
class IScriptRegistrar;
class TCustomKoActionList;
class TDravikPreferences;
class TImageList;

// Base of every typed action: a command or setting that is at once a menu item or button
// (through the QAction it owns), a shortcut, a command-line switch, a script procedure, a macro
// line, a stored preference and an entry of the help window.
class TCustomAbstractAction : public QObject {
    Q_OBJECT
public:
    explicit TCustomAbstractAction(QObject* aOwner = nullptr);
    ~TCustomAbstractAction() override;

    // Builds an action owned by aList, put into it, with the category "internal".
    template <class A>
    static A* CreateInternal(const QString& aInternalId, TCustomKoActionList* aList)
    {
        auto* a = new A();
        a->InitInternal(aInternalId, aList);
        return a;
    }
    void InitInternal(const QString& aInternalId, TCustomKoActionList* aList);

    bool IncludePrefs = true;
    QString InternalId;
    QString Variables;
    QStringList Comments;
    bool ApplyWhenLoad = false;
    QString ScriptName;
    QString Switch;
    std::function<void(TImageList*, int)> OnImageChanged;
    QString Category;
    // Runs at once even while a command waits (stopping it is its purpose: Esc, the end of a
    // run); any other command that comes during a wait runs once the wait is over.
    bool Immediate = false;

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& aCaption);
    QString Hint() const { return m_hint; }
    void SetHint(const QString& aHint);
    TShortCut ShortCut() const { return m_shortCut; }
    void SetShortCut(TShortCut aShortCut);
    QList<TShortCut> SecondaryShortcuts() const { return m_secondary; }
    void SetSecondaryShortcuts(const QList<TShortCut>& aShortCuts);
    int ImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int aIndex);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool aEnabled);
    bool Visible() const { return m_visible; }
    void SetVisible(bool aVisible);
    bool AutoCheck() const { return m_autoCheck; }
    void SetAutoCheck(bool aAutoCheck);
    // The toolkit's check state, without any apply or recording.
    bool Checked() const { return m_checked; }
    void SetPlatformChecked(bool aChecked);

    TCustomKoActionList* ActionList() const { return m_actionList; }
    // Whether an apply of this action writes a macro line (its list's choice).
    bool Recorded() const;
    void SetActionList(TCustomKoActionList* aList);
    // What menus and buttons show; triggering it calls DoExecute.
    QAction* Action() const { return m_action; }
    // Refreshes the icon from the list's images.
    void UpdateIcon();

    virtual bool RegisterInScript(IScriptRegistrar& aScript) = 0;
    virtual void DoExecute(QObject* aSender) = 0;
    // DoExecute from a menu, a button or a key: one command at a time (see Immediate).
    void Execute(QObject* aSender);
    virtual QString ScriptDeclaration() = 0;
    virtual QString SwitchSyntax() = 0;
    virtual void ClearBindings();
    virtual void SetAsText(const QString& aText) = 0;
    virtual void Apply() = 0;
    virtual bool LoadFromPrefs(TDravikPreferences& gp) = 0;
    virtual bool SaveToPrefs(TDravikPreferences& gp) = 0;

protected:
    virtual void ClearHooks() = 0;
    // Stores Variables' default name when it is empty, then gives it.
    QString VariablesOr(const QString& aDefault);

private:
    void Triggered();
    void UpdateShortcuts();
    void UpdateCheckable();

    QAction* m_action;
    QString m_caption;
    QString m_hint;
    TShortCut m_shortCut = scNone;
    QList<TShortCut> m_secondary;
    int m_imageIndex = -1;
    bool m_enabled = true;
    bool m_visible = true;
    bool m_autoCheck = false;
    bool m_checked = false;
    TCustomKoActionList* m_actionList = nullptr;

protected:
    bool m_isCheckAction = false; // a two-state action always shows a check mark
};

// Base of every action with a plain caption.
class TAbstractAction : public TCustomAbstractAction {
    Q_OBJECT
public:
    using TCustomAbstractAction::TCustomAbstractAction;
};
