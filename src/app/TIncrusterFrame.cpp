#include "app/TIncrusterFrame.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFontComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

template <class W> W* Named(W* aWidget, const char* aName)
{
    aWidget->setObjectName(QString::fromLatin1(aName));
    return aWidget;
}

QToolButton* Button(QWidget* aParent, const char* aName, const QString& aText, const QString& aHint,
                    bool aCheckable = false)
{
    auto* b = Named(new QToolButton(aParent), aName);
    b->setText(aText);
    b->setToolTip(aHint);
    b->setCheckable(aCheckable);
    b->setAutoRaise(true);
    return b;
}

QFont Styled(QFont aFont, void (QFont::*aSet)(bool))
{
    (aFont.*aSet)(true);
    return aFont;
}

} // namespace

TIncrusterFrame::TIncrusterFrame(QWidget* aParent)
    : TSideFrame(QStringLiteral("IncrusterFrame"), QStringLiteral("Réglages de l'incrustation"),
                 aParent)
{
    QVBoxLayout* body = Body();

    auto* bar1 = new QHBoxLayout;
    tbBold = Button(this, "tbBold", QStringLiteral("G"), QStringLiteral("Incruster en Gras"), true);
    tbBold->setFont(Styled(tbBold->font(), &QFont::setBold));
    tbItalic = Button(this, "tbItalic", QStringLiteral("I"),
                      QStringLiteral("Incruster en italiques"), true);
    tbItalic->setFont(Styled(tbItalic->font(), &QFont::setItalic));
    tbUnderline = Button(this, "tbUnderline", QStringLiteral("S"),
                         QStringLiteral("Souligner le texte incrusté"), true);
    tbUnderline->setFont(Styled(tbUnderline->font(), &QFont::setUnderline));
    tbStrikeOut = Button(this, "tbStrikeOut", QStringLiteral("ab"),
                         QStringLiteral("Barrer le texte incrusté"), true);
    tbStrikeOut->setFont(Styled(tbStrikeOut->font(), &QFont::setStrikeOut));
    ColorButton = Button(this, "ColorButton", QString(),
                         QStringLiteral("Choisir la couleur de la police d'incrustation"));
    tbBorder = Button(this, "tbBorder", QStringLiteral("2"),
                      QStringLiteral("Définir la taille de la bordure qui entoure l'incrustation"
                                     "\r\npour permettre un contraste sur tous les fonds."));
    pmBorder = Named(new QMenu(this), "pmBorder");
    const QString widths[] = {QStringLiteral("Aucun bord"), QStringLiteral("1 pixel"),
                              QStringLiteral("2 pixels"),   QStringLiteral("3 pixels"),
                              QStringLiteral("4 pixels"),   QStringLiteral("5 pixels")};
    for (int w = 0; w < 6; ++w)
        connect(pmBorder->addAction(widths[w]), &QAction::triggered, this, [this, w] {
            if (OnBorderWidth)
                OnBorderWidth(w);
        });
    tbBorder->setMenu(pmBorder);
    tbBorder->setPopupMode(QToolButton::InstantPopup);
    InsertColorButton =
        Button(this, "InsertColorButton", QString(),
               QStringLiteral("Choisir la couleur de la bordure de la police d'incrustation"));
    for (QToolButton* b :
         {tbBold, tbItalic, tbUnderline, tbStrikeOut, ColorButton, tbBorder, InsertColorButton})
        bar1->addWidget(b);
    bar1->addStretch();
    body->addLayout(bar1);
    ShowColor(ColorButton, Qt::black);
    ShowColor(InsertColorButton, Qt::black);
    const auto pick = [this](QToolButton* aButton, const std::function<void(QColor)>& aChosen,
                             const QString& aTitle) {
        const QColor c = QColorDialog::getColor(ShownColor(aButton), this, aTitle);
        if (c.isValid() && aChosen)
            aChosen(c);
    };
    connect(ColorButton, &QToolButton::clicked, this,
            [this, pick] { pick(ColorButton, OnFontColor, ColorButton->toolTip()); });
    connect(InsertColorButton, &QToolButton::clicked, this,
            [this, pick] { pick(InsertColorButton, OnBorderColor, InsertColorButton->toolTip()); });

    FontComboBox = Named(new QFontComboBox(this), "FontComboBox");
    FontComboBox->setToolTip(QStringLiteral("Police de l'incrustation"));
    cbSize = Named(new QComboBox(this), "cbSize");
    cbSize->setEditable(true);
    cbSize->addItem(QStringLiteral("auto"));
    for (int s : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        cbSize->addItem(QString::number(s));
    cbSize->setToolTip(
        QStringLiteral("Taille de la police de l'incrustation.\r\n"
                       "\"auto\" donne une police adaptée à la taille de la vidéo."));
    auto* bar2 = new QHBoxLayout;
    bar2->addWidget(FontComboBox, 1);
    bar2->addWidget(cbSize);
    body->addLayout(bar2);

    const char* insertNames[] = {"tbTimestamp", "tbNumero",  "tbTimecode",
                                 "tbDatecode",  "tbSysdate", "tbPerso"};
    const QString insertTexts[] = {QStringLiteral("Timestamp"), QStringLiteral("Numéro"),
                                   QStringLiteral("Timecode"),  QStringLiteral("Datecode"),
                                   QStringLiteral("Réel"),      QStringLiteral("Perso")};
    auto* inserts = new QGridLayout;
    for (int i = 0; i < 6; ++i) {
        InsertButtons[i] = Button(this, insertNames[i], insertTexts[i], QString());
        InsertButtons[i]->setAutoRaise(false);
        InsertButtons[i]->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        inserts->addWidget(InsertButtons[i], i / 3, i % 3);
    }
    body->addLayout(inserts);

    auto* bar3 = new QHBoxLayout;
    tbLeftAlign = Button(this, "tbLeftAlign", QStringLiteral("⇤"),
                         QStringLiteral("Aligner les 2 lignes à gauche"), true);
    tbCenter = Button(this, "tbCenter", QStringLiteral("↔"),
                      QStringLiteral("Centrer les deux lignes  l'une sur l'autre"), true);
    tbRightAlign = Button(this, "tbRightAlign", QStringLiteral("⇥"),
                          QStringLiteral("Aligner les deux lignes à droite"), true);
    tbSousTitre =
        Button(this, "tbSousTitre", QStringLiteral("ST"),
               QStringLiteral("Centrer l'incrustation dans l'image\r\ncomme si c'était un "
                              "sous-titre"));
    tbSliders = Button(this, "tbSliders", QStringLiteral("✥"), QString(), true);
    seTransparency = Named(new QSpinBox(this), "seTransparency");
    seTransparency->setRange(0, 100);
    seTransparency->setToolTip(
        QStringLiteral("Transparence de l'incrustation\r\n100=opaque\r\n0=totalement transparent, "
                       "donc invisible"));
    for (QToolButton* b : {tbLeftAlign, tbCenter, tbRightAlign, tbSousTitre, tbSliders})
        bar3->addWidget(b);
    bar3->addStretch();
    bar3->addWidget(seTransparency);
    body->addLayout(bar3);

    auto* group = Named(new QGroupBox(QStringLiteral("modèles d'incrustation personnalisée"), this),
                        "gbPerso");
    auto* groupLayout = new QVBoxLayout(group);
    edPerso1 = Named(new QLineEdit(group), "edPerso1");
    edPerso1->setToolTip(QStringLiteral("Définir le modèle de l'incrustation pour la 1ère ligne"));
    edPerso2 = Named(new QLineEdit(group), "edPerso2");
    edPerso2->setToolTip(QStringLiteral("Définir le modèle de l'incrustation pour la 2ème ligne"));
    groupLayout->addWidget(edPerso1);
    groupLayout->addWidget(edPerso2);
    body->addWidget(group);
}

void TIncrusterFrame::ShowColor(QToolButton* aButton, QColor aColor)
{
    QPixmap swatch(16, 16);
    swatch.fill(aColor);
    {
        QPainter p(&swatch);
        p.setPen(Qt::gray);
        p.drawRect(0, 0, 15, 15);
    }
    aButton->setIcon(QIcon(swatch));
    aButton->setProperty("shownColor", aColor);
}

QColor TIncrusterFrame::ShownColor(const QToolButton* aButton)
{
    return aButton->property("shownColor").value<QColor>();
}
