#include "script/ScriptMessage.h"

namespace {

// A message is one line, whatever a host's exception text holds.
QString OneLine(const QString& aText)
{
    QString t = aText;
    for (QChar& c : t)
        if (c == u'\n' || c == u'\r')
            c = u' ';
    return t;
}

} // namespace

QString TScriptMessage::PlaceAndText() const
{
    QString place = file;
    if (line > 0)
        place += QLatin1Char('(') % QString::number(line) % QLatin1Char(':') %
                 QString::number(column) % QLatin1Char(')');
    if (place.isEmpty())
        return OneLine(text);
    return place % QStringLiteral(": ") % OneLine(text);
}

QString TScriptMessage::ToString() const
{
    QString kindText;
    switch (kind) {
    case TKind::Error:
        kindText = QStringLiteral("[Erreur] ");
        break;
    case TKind::Warning:
        kindText = QStringLiteral("[Avertissement] ");
        break;
    case TKind::Hint:
        kindText = QStringLiteral("[Conseil] ");
        break;
    }
    return kindText % PlaceAndText();
}
