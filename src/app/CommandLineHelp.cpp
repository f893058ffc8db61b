#include "app/CommandLineHelp.h"

#include "actions/TCustomAbstractAction.h"
#include "actions/TCustomKoActionList.h"
#include "ui/TKoAppliMan.h"
#include "ui/TObjetListBox.h"

#include <algorithm>

namespace {

struct TSwitchLine {
    QString key;
    QString syntax;
    QString hint;
};

QList<TSwitchLine> SwitchLines(const QList<TCustomKoActionList*>& aLists)
{
    QList<TSwitchLine> lines;
    for (TCustomKoActionList* list : aLists)
        for (TCustomAbstractAction* a : list->TypedActions()) {
            if (a->Switch.isEmpty())
                continue;
            QString hint = a->Hint();
            hint.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\n', u' ');
            lines.append({TActionObjet(a).Key(kSortSwitch), a->SwitchSyntax(), hint});
        }
    std::stable_sort(lines.begin(), lines.end(), [](const TSwitchLine& x, const TSwitchLine& y) {
        return QString::compare(x.key, y.key, Qt::CaseInsensitive) < 0;
    });
    return lines;
}

const char* const kRules[] = {
    "Un argument sans préfixe est une vidéo à ouvrir.",
    "Les autres commencent par « / », « + » ou « - », suivis du nom d'un switch (la casse ne "
    "compte pas) et, pour donner une valeur, de « =valeur ».",
    "« +nom » coche une option, « -nom » la décoche, « /nom » exécute une commande ou donne "
    "une valeur.",
    "« quit » ferme le programme une fois les autres arguments appliqués.",
};

// roff takes a leading dot or quote as a request and a backslash as an escape.
QString Roff(const QString& aText)
{
    QString out = aText;
    out.replace(u'\\', QStringLiteral("\\e")).replace(u'-', QStringLiteral("\\-"));
    if (out.startsWith(u'.') || out.startsWith(u'\''))
        out.prepend(QStringLiteral("\\&"));
    return out;
}

} // namespace

QString CommandLineHelp(const QList<TCustomKoActionList*>& aLists)
{
    QString out = QStringLiteral("Usage : tessarine [VIDÉO] [/switch[=valeur] ...] [quit]\n\n");
    for (const char* rule : kRules)
        out += QString::fromUtf8(rule) + u'\n';
    out += QStringLiteral("\nSwitches :\n");
    const QList<TSwitchLine> lines = SwitchLines(aLists);
    qsizetype width = 0;
    for (const TSwitchLine& l : lines)
        width = std::max(width, l.syntax.size());
    for (const TSwitchLine& l : lines)
        out += QStringLiteral("  ") + l.syntax.leftJustified(width) + QStringLiteral("  ") +
               l.hint + u'\n';
    out += QStringLiteral("  ") + QStringLiteral("quit").leftJustified(width) +
           QStringLiteral("  Quitter après les autres arguments\n");
    return out;
}

QString ManualPage(const QList<TCustomKoActionList*>& aLists)
{
    QString out = QStringLiteral(".TH TESSARINE 1 \"%1\" \"%2\"\n")
                      .arg(TKoAppliMan::UpdateDate(), TKoAppliMan::FullTitle());
    out += QStringLiteral(".SH NOM\ntessarine \\- lecteur vidéo qui extrait les images\n");
    out += QStringLiteral(".SH SYNOPSIS\n.B tessarine\n[\\fIVIDÉO\\fR] [\\fB/switch\\fR[=\\fIvaleur"
                          "\\fR] ...] [\\fBquit\\fR]\n");
    out += QStringLiteral(".SH DESCRIPTION\n");
    for (const char* rule : kRules)
        out += Roff(QString::fromUtf8(rule)) + QStringLiteral("\n.PP\n");
    out += QStringLiteral(".SH SWITCHES\n");
    for (const TSwitchLine& l : SwitchLines(aLists))
        out += QStringLiteral(".TP\n.B ") + Roff(l.syntax) + u'\n' + Roff(l.hint) + u'\n';
    out += QStringLiteral(".TP\n.B quit\nQuitter après les autres arguments\n");
    out += QStringLiteral(".SH OPTIONS\n.TP\n.B \\-\\-help\nAffiche les switches.\n.TP\n.B "
                          "\\-\\-version\nAffiche la version.\n");
    return out;
}
