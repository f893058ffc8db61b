#include "ui/TScriptEditor.h"

#include "ui/TScriptHighlighter.h"

#include <QFontDatabase>
#include <QTextBlock>
#include <QTextCursor>

#include <utility>

TScriptEditor::TScriptEditor(QWidget* aParent)
    : QPlainTextEdit(aParent)
    , m_highlighter(new TScriptHighlighter(document()))
{
    setObjectName(QStringLiteral("Editor"));
    setFont(EditorFont());
    setLineWrapMode(QPlainTextEdit::NoWrap);
    const qreal column = QFontMetricsF(font()).horizontalAdvance(u' ');
    QTextOption option = document()->defaultTextOption();
    option.setTabs({QTextOption::Tab(2 * column, QTextOption::LeftTab),
                    QTextOption::Tab(4 * column, QTextOption::LeftTab)});
    option.setTabStopDistance(2 * column); // beyond column 5, every two columns
    document()->setDefaultTextOption(option);
}

QFont TScriptEditor::EditorFont()
{
    const QString courier = QStringLiteral("Courier New");
    QFont f = QFontDatabase::families().contains(courier)
                  ? QFont(courier)
                  : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    return f;
}

QStringList TScriptEditor::Lines() const
{
    QStringList lines;
    for (QTextBlock b = document()->firstBlock(); b.isValid(); b = b.next())
        lines << b.text();
    return lines;
}

void TScriptEditor::SetLines(const QStringList& aLines)
{
    m_cleared = false;
    setPlainText(aLines.join(u'\n'));
}

void TScriptEditor::Append(const QString& aLine)
{
    // A cleared editor holds one empty block: the first line takes its place.
    if (std::exchange(m_cleared, false)) {
        QTextCursor c(document());
        c.insertText(aLine);
    } else {
        appendPlainText(aLine);
    }
    moveCursor(QTextCursor::End);
}

void TScriptEditor::Clear()
{
    QTextCursor c(document());
    c.select(QTextCursor::Document);
    c.removeSelectedText(); // an edit: the document counts as modified
    m_cleared = true;
}
