#include "actions/MacroState.h"

TMacroLines* MacroLines = nullptr;
bool InApply = false;

TMacroScope::TMacroScope(const std::function<QString()>& aLine, bool aRecorded)
{
    if (!MacroLines || InApply || !aRecorded)
        return;
    const QString line = aLine();
    if (!line.isNull())
        MacroLines->Append(line);
    InApply = true;
    m_set = true;
}

TMacroScope::~TMacroScope()
{
    if (m_set)
        InApply = false;
}

QString PascalQuote(const QString& aText)
{
    QString out;
    bool open = false;
    for (const QChar c : aText) {
        if (c.unicode() < 32) {
            if (open)
                out += u'\'';
            open = false;
            out += u'#' + QString::number(c.unicode());
            continue;
        }
        if (!open)
            out += u'\'';
        open = true;
        out += c;
        if (c == u'\'')
            out += u'\'';
    }
    if (open)
        out += u'\'';
    return out.isEmpty() ? QStringLiteral("''") : out;
}
