#pragma once

#include "script/TScriptLexer.h"

#include <QSet>
#include <QStringList>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

#include <array>

// Colours script text with the engine's own lexer: comments green italic, numbers navy, strings
// purple, symbols blue, reserved words maroon bold, directives green, known routines bold, and
// what the compiler would refuse underlined in red; the rest keeps the editor's colours. A
// comment or directive left open at the end of a block goes on in the next (the block state
// is the lexer's scan state).
class TScriptHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit TScriptHighlighter(QTextDocument* aDocument = nullptr);

    // The routines shown bold, compared without case. At first the engine's library; the host
    // gives the names its registration adds (TScriptEngine::RoutineNames: built-ins, actions).
    void SetRoutineNames(const QStringList& aNames);
    void AddRoutineNames(const QStringList& aNames);
    bool IsRoutineName(const QString& aName) const;

    // The format of one class of text (empty for plain text), and that of a known routine.
    const QTextCharFormat& FormatOf(tscript::TScanClass aClass) const;
    const QTextCharFormat& RoutineFormat() const { return m_routineFormat; }

protected:
    void highlightBlock(const QString& aText) override;

private:
    std::array<QTextCharFormat, size_t(tscript::TScanClass::Error) + 1> m_formats;
    QTextCharFormat m_routineFormat;
    QSet<QString> m_routines; // lower case
};
