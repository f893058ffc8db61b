#include "actions/TMacroCommands.h"

#include "actions/TKoScript.h"

#include "base/ScriptDateTime.h"

#include <QDateTime>
#include <QLocale>

TMacroCommands::TMacroCommands(TKoScript& aScript, TScriptEditorLines& aEditor,
                               std::function<void()> aClearResult,
                               std::function<void(const QStringList&)> aAppendResult)
    : m_script(aScript)
    , m_editor(aEditor)
    , m_clearResult(std::move(aClearResult))
    , m_appendResult(std::move(aAppendResult))
{
}

bool TMacroCommands::Recording() const
{
    return MacroLines == &m_editor;
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
    if (!Recording())
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
