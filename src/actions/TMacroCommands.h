#pragma once

#include "actions/MacroState.h"

#include <QStringList>

#include <functional>

class TKoScript;

// The script editor as the macro commands see it: recorded lines go into it.
class TScriptEditorLines : public TMacroLines {
public:
    virtual QStringList Lines() const = 0;
};

// The three macro commands of the script window: start recording into the editor, stop, and run
// the editor's text (which the main window's "run the script" shares). The window binds its
// actions to them.
class TMacroCommands {
public:
    // aClearResult and aAppendResult drive the window's result memo.
    TMacroCommands(TKoScript& aScript, TScriptEditorLines& aEditor,
                   std::function<void()> aClearResult,
                   std::function<void(const QStringList&)> aAppendResult);

    // Whether lines go into this editor now.
    bool Recording() const;
    void StartMacro();
    void StopMacro();
    // Copies the editor's lines into the script, compiles and runs, reporting both outcomes.
    void ExecuteMacro();

    static QString HeaderLine();

private:
    TKoScript& m_script;
    TScriptEditorLines& m_editor;
    std::function<void()> m_clearResult;
    std::function<void(const QStringList&)> m_appendResult;
};
