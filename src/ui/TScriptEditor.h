#pragma once

#include "actions/TMacroCommands.h"

#include <QPlainTextEdit>

class TScriptHighlighter;

// The script text: fixed pitch, no wrapping, tab stops at columns 3 and 5, coloured by the
// engine's own lexer. Recorded macro lines are appended to it.
class TScriptEditor : public QPlainTextEdit, public TScriptEditorLines {
    Q_OBJECT
public:
    explicit TScriptEditor(QWidget* aParent = nullptr);

    // "Courier New" when installed, else the system's fixed-pitch font.
    static QFont EditorFont();

    QStringList Lines() const override;
    void SetLines(const QStringList& aLines);
    void Append(const QString& aLine) override;
    void Clear() override;
    TScriptHighlighter* Highlighter() const { return m_highlighter; }

private:
    TScriptHighlighter* m_highlighter;
    bool m_cleared = false;
};
