#pragma once

#include "actions/MacroState.h"

#include <QStringList>

#include <functional>
#include <span>

struct TActionRow;
class TCustomKoActionList;
class TKoScript;
class TNopeAction;

// The script editor as the macro commands see it: recorded lines go into it.
class TScriptEditorLines : public TMacroLines {
public:
    virtual QStringList Lines() const = 0;
};

// The three macro commands of the script window: start recording into the editor, stop, and run
// the editor's text (which the main window's "run the script" shares).
class TMacroCommands {
public:
    // aClearResult and aAppendResult drive the window's result memo.
    TMacroCommands(TKoScript& aScript, TCustomKoActionList& aList, TScriptEditorLines& aEditor,
                   std::function<void()> aClearResult,
                   std::function<void(const QStringList&)> aAppendResult);

    TNopeAction* naExecuteMacro;
    TNopeAction* naStartMacro;
    TNopeAction* naStopMacro;

    void StartMacro();
    void StopMacro();
    // Copies the editor's lines into the script, compiles and runs, reporting both outcomes.
    void ExecuteMacro();

    static QString HeaderLine();
    // The table the three commands are created from.
    static std::span<const TActionRow> ActionRows();

private:
    TKoScript& m_script;
    TScriptEditorLines& m_editor;
    std::function<void()> m_clearResult;
    std::function<void(const QStringList&)> m_appendResult;
};
