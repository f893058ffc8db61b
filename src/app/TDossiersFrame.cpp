#include "app/TDossiersFrame.h"

#include "files/TPathEdit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

template <class W> W* Named(W* aWidget, const char* aName)
{
    aWidget->setObjectName(QString::fromLatin1(aName));
    return aWidget;
}

} // namespace

TDossiersFrame::TDossiersFrame(QWidget* aParent)
    : TSideFrame(QStringLiteral("SaveImagesFrame"), QStringLiteral("Réglages de l'image"), aParent)
{
    QVBoxLayout* body = Body();

    body->addWidget(new QLabel(QStringLiteral("Dossier où enregistrer les images"), this));
    deDossierSave = Named(new TWideDirectoryEdit(this), "deDossierSave");
    deDossierSave->setToolTip(
        QStringLiteral("Indiquez le dossier où les images extraites doivent être enregistrées."));
    body->addWidget(deDossierSave);

    // The two radio groups are separate group boxes, so each keeps its own exclusive choice.
    auto* rootGroup = Named(new QGroupBox(this), "gbRacine");
    auto* rootLayout = new QVBoxLayout(rootGroup);
    rbUtiliserRacine =
        Named(new QRadioButton(QStringLiteral("Utiliser la racine suivante:"), rootGroup),
              "rbUtiliserRacine");
    rbUtiliserRacine->setToolTip(
        QStringLiteral("Le nom du fichier de la prochaine image commencera \r\npar cette racine. "
                       "Vous pourrez y ajouter soit un numéro, \r\nsoit le timestamp de l'image"));
    NomRacineEdit = Named(new QLineEdit(rootGroup), "NomRacineEdit");
    NomRacineEdit->setToolTip(
        QStringLiteral("racine utilisée pour le nom de l'image enregistrée\r\n"
                       "quand on n'utilise pas le nom du fichier vidéo"));
    rbUtiliserNomVideo =
        Named(new QRadioButton(QStringLiteral("Utiliser les noms de fichiers vidéo"), rootGroup),
              "rbUtiliserNomVideo");
    rbUtiliserNomVideo->setToolTip(
        QStringLiteral("Le nom de la prochaine image sera formé à partir du nom de la vidéo.\r\n"
                       "Vous pouvez limiter le nombre de caractères à utiliser."));
    cbLimiterLongueur =
        Named(new QCheckBox(QStringLiteral("Limiter la longueur utilisée"), rootGroup),
              "cbLimiterLongueur");
    cbLimiterLongueur->setToolTip(QStringLiteral(
        "Cliquez ici si vous utilisez le nom de la vidéo pour nommer les\r\n"
        "images extraites et que vous voulez limiter le nombre de caractères utilisés."));
    RacineLengthEdit = Named(new QSpinBox(rootGroup), "RacineLengthEdit");
    RacineLengthEdit->setRange(0, 9999);
    RacineLengthEdit->setToolTip(
        QStringLiteral("Nombre maximum de caractères du nom de la vidéo \r\n"
                       "utilisés pour former le nom de l'image."));
    auto* lengthRow = new QHBoxLayout;
    lengthRow->addWidget(new QLabel(QStringLiteral("Longueur maxi:"), rootGroup));
    lengthRow->addWidget(RacineLengthEdit);
    lengthRow->addStretch();
    rootLayout->addWidget(rbUtiliserRacine);
    rootLayout->addWidget(NomRacineEdit);
    rootLayout->addWidget(rbUtiliserNomVideo);
    rootLayout->addWidget(cbLimiterLongueur);
    rootLayout->addLayout(lengthRow);
    body->addWidget(rootGroup);

    auto* suffixGroup = Named(new QGroupBox(this), "gbAjouter");
    auto* suffixLayout = new QVBoxLayout(suffixGroup);
    rbTimestamp =
        Named(new QRadioButton(QStringLiteral("Ajouter le timestamp"), suffixGroup), "rbTimestamp");
    rbTimestamp->setToolTip(QStringLiteral("Ajouter le timestamp de l'image  \r\n"
                                           "pour former le nom de l'image enregistrée"));
    rbNumero = Named(new QRadioButton(QStringLiteral("Numéroter depuis"), suffixGroup), "rbNumero");
    rbNumero->setToolTip(QStringLiteral("Ajouter un numéro pour former\r\n"
                                        "le nom de l'image enregistrée. \r\n"
                                        "Le numéro est automatiquement incrémenté\r\n"
                                        "à chaque capture d'image."));
    seNextNum = Named(new QSpinBox(suffixGroup), "seNextNum");
    seNextNum->setRange(0, 999999);
    DigitsEdit = Named(new QSpinBox(suffixGroup), "DigitsEdit");
    DigitsEdit->setRange(1, 16);
    DigitsEdit->setToolTip(
        QStringLiteral("Indique le nombre de chiffres utilisés quand on ajoute un\r\n"
                       "numéro au nom de l'image. Il est complété par des 0 s'il y a lieu.\r\n"
                       "Par exemple avec 3 digits, on aura 000, 001,002 etc."));
    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(rbNumero);
    numberRow->addWidget(seNextNum);
    auto* digitsRow = new QHBoxLayout;
    digitsRow->addWidget(new QLabel(QStringLiteral("Nb de digits:"), suffixGroup));
    digitsRow->addWidget(DigitsEdit);
    digitsRow->addStretch();
    suffixLayout->addWidget(rbTimestamp);
    suffixLayout->addLayout(numberRow);
    suffixLayout->addLayout(digitsRow);
    body->addWidget(suffixGroup);

    rgExtension = Named(new QGroupBox(this), "rgExtension");
    rgExtension->setToolTip(QStringLiteral("Choisir le format de l'image enregistrée:\r\n"
                                           "soit Bitmap, soit Jpeg."));
    auto* extLayout = new QHBoxLayout(rgExtension);
    ExtensionItems = new QButtonGroup(rgExtension);
    const char* items[] = {"bmp", "jpeg"};
    for (int i = 0; i < 2; ++i) {
        auto* item = new QRadioButton(QString::fromLatin1(items[i]), rgExtension);
        ExtensionItems->addButton(item, i);
        extLayout->addWidget(item);
    }
    body->addWidget(rgExtension);

    gbQuality = Named(new QGroupBox(QStringLiteral("Qualité jpeg"), this), "gbQuality");
    gbQuality->setToolTip(
        QStringLiteral("Régler la qualité Jpeg.\r\nmini à gauche - maxi à droite"));
    auto* qualityLayout = new QHBoxLayout(gbQuality);
    TrackBar1 = Named(new QSlider(Qt::Horizontal, gbQuality), "TrackBar1");
    TrackBar1->setRange(1, 100);
    TrackBar1->setValue(50);
    TrackBar1->setToolTip(
        QStringLiteral("Qualité de l'image jpeg,\r\n"
                       "depuis 1 = la pire, mais utilise le moins de place\r\n"
                       "jusqu'à 100 = la meilleure, mais utilise beaucoup de place."));
    labQuality = Named(new QLabel(QStringLiteral("50"), gbQuality), "labQuality");
    labQuality->setMinimumWidth(labQuality->fontMetrics().horizontalAdvance(QStringLiteral("100")) +
                                4);
    qualityLayout->addWidget(TrackBar1);
    qualityLayout->addWidget(labQuality);
    body->addWidget(gbQuality);
    body->addStretch();
}
