#include "app/TOptionsFrame.h"
#include "app/TRadioGroup.h"

#include "files/TPathEdit.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

QTextEdit* Note(const QString& aText, QWidget* aParent)
{
    auto* t = new QTextEdit(aParent);
    t->setReadOnly(true);
    t->setPlainText(aText);
    t->setFrameShape(QFrame::NoFrame);
    t->setMaximumHeight(110);
    return t;
}

} // namespace

TOptionsFrame::TOptionsFrame(QWidget* aParent)
    : QFrame(aParent)
    , Pages(new QTabWidget(this))
{
    setObjectName(QStringLiteral("OptionsFrame"));
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(Pages);

    auto* prefs = new QWidget;
    auto* prefsLayout = new QVBoxLayout(prefs);
    rgPrefs = new TRadioGroup(QStringLiteral("Sauver les préférences en quittant"),
                              {QStringLiteral("Mode normal (registre)"),
                               QStringLiteral("Mode portable (clé USB)"),
                               QStringLiteral("Ne pas enregistrer en quittant")},
                              prefs);
    rgPrefs->setToolTip(QStringLiteral("Indiquer où les préférences seront conservées pour que "
                                       "vous les retrouviez au prochain démarrage."));
    prefsLayout->addWidget(rgPrefs);
    prefsLayout->addWidget(
        Note(QStringLiteral("Mode normal : les préférences sont conservées dans le registre de "
                            "l'utilisateur.\nMode portable : elles sont conservées dans le "
                            "fichier Tessarine.ini, à côté du programme, et le suivent sur une "
                            "clé USB.\nNe pas enregistrer : elles sont perdues en quittant et les "
                            "valeurs par défaut reviennent au prochain démarrage."),
             prefs));
    prefsLayout->addStretch(1);
    Pages->addTab(prefs, QStringLiteral("Préferences"));

    auto* settings = new QWidget;
    auto* settingsLayout = new QVBoxLayout(settings);
    rgForcerAspectRatio = new TRadioGroup(QStringLiteral("Forcer Aspect Ratio"),
                                          {QStringLiteral("Normal"), QStringLiteral("4x3"),
                                           QStringLiteral("16x9"), QStringLiteral("natif")},
                                          settings);
    cbRAZwhenOpenFile = new QCheckBox(
        QStringLiteral("Remettre les numéros à 0 quand on ouvre une vidéo"), settings);
    cbSauverQuandClic =
        new QCheckBox(QStringLiteral("Enregistrer l'image quand  clic sur la vidéo"), settings);
    cbConfirmerImage =
        new QCheckBox(QStringLiteral("Confirmer avant d'écraser une image"), settings);
    settingsLayout->addWidget(rgForcerAspectRatio);
    settingsLayout->addWidget(cbRAZwhenOpenFile);
    settingsLayout->addWidget(cbSauverQuandClic);
    settingsLayout->addWidget(cbConfirmerImage);
    settingsLayout->addWidget(Note(QStringLiteral("Les valeurs par défaut conviennent à un usage "
                                                  "normal de Tessarine."),
                                   settings));
    settingsLayout->addStretch(1);
    Pages->addTab(settings, QStringLiteral("Réglages"));

    auto* advanced = new QWidget;
    auto* advancedLayout = new QVBoxLayout(advanced);
    cbUsePrivateFilters = new QCheckBox(QStringLiteral("Utiliser les filtres privés"), advanced);
    advancedLayout->addWidget(cbUsePrivateFilters);
    advancedLayout->addWidget(new QLabel(QStringLiteral("Dossier des filtres privés"), advanced));
    dePrivateFolder = new TWideDirectoryEdit(advanced);
    dePrivateFolder->setObjectName(QStringLiteral("dePrivateFolder"));
    dePrivateFolder->DialogTitle = QStringLiteral("Dossier des filtres privés");
    dePrivateFolder->setMinimumHeight(24);
    advancedLayout->addWidget(dePrivateFolder);
    cbImagesDeInterlacer = new QCheckBox(QStringLiteral("Désentrelacer les images"), advanced);
    cbNavPrecise = new QCheckBox(QStringLiteral("Navigation précise"), advanced);
    advancedLayout->addWidget(cbImagesDeInterlacer);
    advancedLayout->addWidget(cbNavPrecise);
    advancedLayout->addWidget(
        new QLabel(QStringLiteral("Preposition pour Navigation précise"), advanced));
    seSeekPrepos = new QSpinBox(advanced);
    seSeekPrepos->setRange(0, 100000);
    seSeekPrepos->setValue(1000);
    advancedLayout->addWidget(seSeekPrepos);
    advancedLayout->addWidget(Note(QStringLiteral("Attention : ces réglages ne sont pas à modifier "
                                                  "pour un usage normal."),
                                   advanced));
    advancedLayout->addStretch(1);
    Pages->addTab(advanced, QStringLiteral("Avancés"));
}
