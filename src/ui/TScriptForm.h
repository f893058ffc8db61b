#pragma once

#include <QRect>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QToolButton;
class TDravikPreferences;
class TImageList;
class TKoActionList;
class TKoScript;
class TMacroCommands;
class TMonoFichierMan;
class TNopeAction;
class TRectAction;
class TScriptEditor;
class TStringAction;
class TCustomAbstractAction;

// Where the script window's parts go for a client size.
struct TScriptFormLayout {
    QRect Editor, Memo, Panel;
};

// The window in which scripts are written, loaded, saved, run and recorded. It owns the
// program's script engine ("KoScript"), its own actions ("al_script") and the manager of script
// files ("ficman_script"), whose values live in the section "ScriptForm".
class TScriptForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPanelWidth = 145, kMemoHeight = 49;
    static constexpr int kButtonWidth = 96, kButtonHeight = 32;

    explicit TScriptForm(QWidget* aParent = nullptr);
    ~TScriptForm() override;

    // The editor's text at creation and after a close: five lines.
    static QStringList Template();
    static TScriptFormLayout ComputeLayout(QSize aClient);

    // The true state of the show action: the document goes back to the template through the
    // close command (its question, the name cleared), except during a recording.
    void ShowScript();
    void HideScript();
    // Runs the editor's text, shown or not (the main window's run command too).
    void ExecuteMacro();
    bool Recording() const;
    void StartMacro();
    void StopMacro();

    // Section "ScriptForm": the file manager, then "al_script"; saved in the reverse order.
    void LoadPrefs(TDravikPreferences& aPrefs);
    void SavePrefs(TDravikPreferences& aPrefs);

    // Script files: UTF-8, else Windows-1252; written UTF-8. False with the user told.
    bool ReadScript(const QString& aFileName);
    bool WriteScript(const QString& aFileName);

    // The window was closed by its own close button.
    std::function<void()> OnClosed;

    TScriptEditor* Editor;
    QPlainTextEdit* Memo;
    QWidget* Panel;
    QGroupBox* GroupBox1;
    QToolButton* BitBtn1;
    QToolButton* BitBtn2;
    QToolButton* HelpBtn;
    QToolButton* ClearBtn;
    QToolButton* LoadBtn;
    QToolButton* SaveBtn;
    QToolButton* ExecuteBtn;
    QLabel* FileLab;
    TImageList* Images;
    TKoScript* KoScript;
    TKoActionList* al_script;
    TMonoFichierMan* ficman_script;

    TRectAction* raScriptFormSave;
    TNopeAction* naExecuteMacro;
    TNopeAction* naStartMacro;
    TNopeAction* naStopMacro;
    TNopeAction* naHelpMacro;
    TStringAction* saLines;

protected:
    void resizeEvent(QResizeEvent* aEvent) override;
    void closeEvent(QCloseEvent* aEvent) override;

private:
    QToolButton* MakeButton(QWidget* aParent, TCustomAbstractAction* aAction, QPoint aAt,
                            const QString& aCaption = QString());
    void BindActions();
    void BindFiles();
    // Start is offered while nothing records, stop while this window records.
    void ShowRecording();
    void Layout();

    std::unique_ptr<TMacroCommands> m_macros;
};
