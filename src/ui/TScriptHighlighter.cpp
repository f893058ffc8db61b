#include "ui/TScriptHighlighter.h"

#include "actions/ActionColors.h"
#include "script/ColorConstants.h"
#include "script/TScriptEngine.h"

using tscript::TScanClass;
using tscript::TScanResult;
using tscript::TScanSpan;
using tscript::TScanState;
using tscript::TScriptLexer;

namespace {

// The language's own colour constants, so that "clMaroon" here is clMaroon in a script.
QColor Named(const char* aName)
{
    return ColorToQColor(TColor(ColorFromName(QString::fromLatin1(aName)).value_or(0)));
}

QTextCharFormat Format(const char* aColor, bool aBold = false, bool aItalic = false)
{
    QTextCharFormat f;
    f.setForeground(Named(aColor));
    if (aBold)
        f.setFontWeight(QFont::Bold);
    if (aItalic)
        f.setFontItalic(true);
    return f;
}

} // namespace

TScriptHighlighter::TScriptHighlighter(QTextDocument* aDocument)
    : QSyntaxHighlighter(aDocument)
{
    m_formats[size_t(TScanClass::Keyword)] = Format("clMaroon", true);
    m_formats[size_t(TScanClass::Number)] = Format("clNavy");
    m_formats[size_t(TScanClass::String)] = Format("clPurple");
    m_formats[size_t(TScanClass::Comment)] = Format("clGreen", false, true);
    m_formats[size_t(TScanClass::Directive)] = Format("clGreen");
    m_formats[size_t(TScanClass::Symbol)] = Format("clBlue");
    // Refused text keeps the plain colours; a wavy line says the compiler will stop there.
    QTextCharFormat& error = m_formats[size_t(TScanClass::Error)];
    error.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    error.setUnderlineColor(Named("clRed"));
    m_routineFormat.setFontWeight(QFont::Bold);
    SetRoutineNames(TScriptEngine::LibraryRoutineNames());
}

void TScriptHighlighter::SetRoutineNames(const QStringList& aNames)
{
    m_routines.clear();
    AddRoutineNames(aNames);
}

void TScriptHighlighter::AddRoutineNames(const QStringList& aNames)
{
    for (const QString& name : aNames)
        m_routines.insert(name.toLower());
    rehighlight();
}

bool TScriptHighlighter::IsRoutineName(const QString& aName) const
{
    return m_routines.contains(aName.toLower());
}

const QTextCharFormat& TScriptHighlighter::FormatOf(TScanClass aClass) const
{
    return m_formats[size_t(aClass)];
}

void TScriptHighlighter::highlightBlock(const QString& aText)
{
    const int previous = previousBlockState();
    const TScanState state = previous > 0 && previous <= int(TScanState::StarDirective)
                                 ? TScanState(previous)
                                 : TScanState::Code;
    const TScanResult result = TScriptLexer::Scan(aText, state);
    for (const TScanSpan& span : result.spans) {
        const bool routine =
            span.cls == TScanClass::Ident && IsRoutineName(aText.mid(span.start, span.length));
        const QTextCharFormat& format = routine ? m_routineFormat : FormatOf(span.cls);
        if (format.propertyCount() > 0)
            setFormat(int(span.start), int(span.length), format);
    }
    setCurrentBlockState(int(result.state));
}
