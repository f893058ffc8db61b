#include "ui/TSavePrefsForm.h"

#include "ui/TLinkEdit.h"
#include "ui/UserMessages.h"

#include "base/TBatchRun.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr const char* kText =
    "<br><size 10><i>Voulez-vous enregistrer vos préférences pour pouvoir les retrouver au "
    "prochain lancement?<br><br>Cliquez sur votre choix:</i><br><br>* soit pour les enregistrer "
    "dans le registre (mode normal).<br>* soit pour les enregistrer dans un fichier ini (mode "
    "portable).<br>* soit pour ne pas les enregistrer. Dans ce cas, elles seront perdues et les "
    "valeurs par défaut seront chargées lors du prochain lancement.<br></size>";

} // namespace

TSavePrefsForm::TSavePrefsForm(QWidget* aParent)
    : QDialog(aParent)
    , Label(new TLinkEdit(this))
{
    setObjectName(QStringLiteral("SavePrefsForm"));
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double scale = (screen ? screen->logicalDotsPerInchY() : 96.0) / 96.0;
    const auto px = [scale](int v) { return qRound(v * scale); };
    setFixedSize(px(551), px(364));

    Label->setFrameShape(QFrame::NoFrame);
    Label->SetRichText(QString::fromUtf8(kText));

    const auto button = [&](const QString& aCaption, const char* aIcon, const QString& aHint,
                            TSavePreferences aMode) {
        auto* b = new QPushButton(QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(aIcon))),
                                  aCaption, this);
        b->setFixedSize(px(120), px(60));
        b->setIconSize(QSize(22, 22));
        b->setToolTip(aHint);
        connect(b, &QPushButton::clicked, this, [this, aMode] { Choose(aMode); });
        return b;
    };
    btNormal = button(QStringLiteral("Normal"), "drive-harddisk",
                      QStringLiteral("Enregistre les préférences dans le registre.\r\nSi un "
                                     "fichier ini existait, il est supprimé."),
                      spRegistre);
    btPortable = button(QStringLiteral("Portable"), "drive-removable-media",
                        QStringLiteral("Enregistre les préférences dans un fichier ini.\r\nEfface "
                                       "les valeurs contenues dans le registre."),
                        spPortable);
    btAucun = button(QStringLiteral("Aucun"), "edit-delete",
                     QStringLiteral("Quitte sans enregistrer les préférences.\r\nSi elles "
                                    "existaient dans un fichier ini ou dans le registre,\r\nelles "
                                    "sont effacées."),
                     spNone);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {btNormal, btPortable, btAucun}) {
        buttons->addWidget(b);
        buttons->addStretch(1);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label, 1);
    layout->addLayout(buttons);
    layout->addSpacing(px(16));
}

void TSavePrefsForm::Choose(TSavePreferences aMode)
{
    m_choice = aMode;
    accept();
}

std::optional<TSavePreferences> TSavePrefsForm::AskSaveMode(const QString& aCaption)
{
    if (TBatchRun::Active()) {
        // Nobody to ask: nothing is kept this time, and a later run at the window asks.
        TBatchRun::Note(QStringLiteral("préférences non enregistrées : aucun emplacement n'a "
                                       "encore été choisi (lancez le programme sans /quit pour "
                                       "le choisir)."));
        return spNone;
    }
    setWindowTitle(aCaption);
    m_choice.reset();
    exec();
    return m_choice;
}

void TSavePrefsForm::Warn(const QString& aText)
{
    WarnUser(parentWidget(), aText);
}
