#include "actions/TMacroCommands.h"

#include "actions/ActionTable.h"
#include "actions/TCustomKoActionList.h"
#include "actions/TKoScript.h"
#include "actions/TNopeAction.h"

#include "base/ScriptDateTime.h"

#include <QDateTime>
#include <QLocale>

namespace {

const TActionRow kRows[] = {
    {.Kind = TActionKind::Nope,
     .Name = "naExecuteMacro",
     .ShortCut = "Ctrl+F12",
     .Category = "Dravik",
     .Caption = "Executer",
     .Image = 2},
    {.Kind = TActionKind::Nope,
     .Name = "naStartMacro",
     .Category = "Dravik",
     .Caption = "Démarrer",
     .Image = 5,
     .ScriptName = ""},
    {.Kind = TActionKind::Nope,
     .Name = "naStopMacro",
     .Category = "Dravik",
     .Caption = "Arrêter",
     .Image = 4,
     .ScriptName = ""},
};

TNopeAction* Make(const TActionRow& aRow, TCustomKoActionList& aList)
{
    return static_cast<TNopeAction*>(CreateAction(aRow, &aList));
}

} // namespace

TMacroCommands::TMacroCommands(TKoScript& aScript, TCustomKoActionList& aList,
                               TScriptEditorLines& aEditor, std::function<void()> aClearResult,
                               std::function<void(const QStringList&)> aAppendResult)
    : naExecuteMacro(Make(kRows[0], aList))
    , naStartMacro(Make(kRows[1], aList))
    , naStopMacro(Make(kRows[2], aList))
    , m_script(aScript)
    , m_editor(aEditor)
    , m_clearResult(std::move(aClearResult))
    , m_appendResult(std::move(aAppendResult))
{
    naExecuteMacro->OnInternalApply = [this] { ExecuteMacro(); };
    naStartMacro->OnInternalApply = [this] { StartMacro(); };
    naStopMacro->OnInternalApply = [this] { StopMacro(); };
}

std::span<const TActionRow> TMacroCommands::ActionRows()
{
    return kRows;
}

QString TMacroCommands::HeaderLine()
{
    const QLocale fr(QLocale::French, QLocale::France);
    const QDateTime now = QDateTime::currentDateTime();
    return QStringLiteral("//Macro enregistrée le ") +
           fr.toString(now.date(), QLocale::LongFormat) + QStringLiteral(" à ") +
           now.time().toString(QStringLiteral("HH:mm:ss"));
}

void TMacroCommands::StartMacro()
{
    MacroLines = &m_editor;
    m_editor.Clear();
    m_editor.Append(HeaderLine());
    m_editor.Append(QString());
    m_editor.Append(QStringLiteral("begin"));
}

void TMacroCommands::StopMacro()
{
    if (!MacroLines)
        return;
    MacroLines->Append(QStringLiteral("end."));
    MacroLines = nullptr;
}

void TMacroCommands::ExecuteMacro()
{
    if (m_clearResult)
        m_clearResult();
    if (!m_script.Running())
        m_script.Script = m_editor.Lines();
    m_script.Compile();
    if (m_appendResult)
        m_appendResult(m_script.Messages());
    m_script.Execute();
    if (m_appendResult)
        m_appendResult(m_script.Messages());
}
