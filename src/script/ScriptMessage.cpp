#include "ScriptMessage.h"

QString TScriptMessage::PlaceAndText() const
{
    QString place = file;
    if (line > 0)
        place += QLatin1Char('(') % QString::number(line) % QLatin1Char(':') %
                 QString::number(column) % QLatin1Char(')');
    if (place.isEmpty())
        return text;
    return place % QStringLiteral(": ") % text;
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
