#include "app/TDVIncrustFrame.h"

#include "app/DateOffsetText.h"
#include "app/QuietControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

template <class W> W* Named(W* aWidget, const char* aName)
{
    aWidget->setObjectName(QString::fromLatin1(aName));
    return aWidget;
}

// A whole number of hours over a century either way: the offset may be negative or span days.
constexpr int kMaxHours = int(kMaxDateOffset) * 24;

QSpinBox* TimeBox(QWidget* aParent, const char* aName, int aMax, const QString& aHint)
{
    auto* box = Named(new QSpinBox(aParent), aName);
    box->setRange(0, aMax);
    box->setToolTip(aHint);
    return box;
}

QComboBox* FormatList(QWidget* aParent, const char* aName, const QString& aHint)
{
    auto* list = Named(new QComboBox(aParent), aName);
    list->setEditable(true);
    // Typed formats are used as typed, never added to the list nor completed into an item:
    // "d" must stay "d", not become "ddddd".
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setCompleter(nullptr);
    for (const char* f : {"ddddd", "tt", "dddddd", "ddddd tt", "dddddd tt", "d mmm yyyy", "dd",
                          "dddd", "hh:mm", "hh:mm:ss"})
        list->addItem(QString::fromLatin1(f));
    list->setToolTip(aHint);
    return list;
}

} // namespace

TDVIncrustFrame::TDVIncrustFrame(QWidget* aParent)
    : TSideFrame(QStringLiteral("DVIncrustFrame"), QStringLiteral("Vidéos DV"), aParent)
{
    QVBoxLayout* body = Body();

    labVideodate = Named(new QLabel(QStringLiteral("Date de la vidéo"), this), "labVideodate");
    labVideodate->setToolTip(QStringLiteral("Ancienne date, avant correction."));
    labVideodate->setWordWrap(true);
    body->addWidget(labVideodate);

    auto* offsetRow = new QHBoxLayout;
    labDecalage = Named(new QLabel(QStringLiteral("Décalage Horaire:"), this), "labDecalage");
    labDecalageHoraire = Named(new QLabel(QStringLiteral("aucun"), this), "labDecalageHoraire");
    QFont bold = labDecalageHoraire->font();
    bold.setBold(true);
    labDecalageHoraire->setFont(bold);
    QPalette maroon = labDecalageHoraire->palette();
    maroon.setColor(QPalette::WindowText, QColor(0x80, 0x00, 0x00));
    labDecalageHoraire->setPalette(maroon);
    offsetRow->addWidget(labDecalage);
    offsetRow->addWidget(labDecalageHoraire, 1);
    body->addLayout(offsetRow);

    cbDecalageAvance = Named(new QCheckBox(QStringLiteral("Avancé"), this), "cbDecalageAvance");
    body->addWidget(cbDecalageAvance);

    PanelHeures = Named(new QWidget(this), "PanelHeures");
    auto* hoursLayout = new QHBoxLayout(PanelHeures);
    hoursLayout->setContentsMargins(0, 0, 0, 0);
    seDecalerHeures = Named(new QSpinBox(PanelHeures), "seDecalerHeures");
    seDecalerHeures->setRange(-kMaxHours, kMaxHours);
    hoursLayout->addWidget(
        new QLabel(QStringLiteral("Ajuster le décalage en heures:"), PanelHeures));
    hoursLayout->addWidget(seDecalerHeures);
    hoursLayout->addStretch();
    body->addWidget(PanelHeures);

    PanelAvance = Named(new QWidget(this), "PanelAvance");
    auto* advancedLayout = new QVBoxLayout(PanelAvance);
    advancedLayout->setContentsMargins(0, 0, 0, 0);
    gbDateAffichee =
        Named(new QGroupBox(QStringLiteral("Date affichée"), PanelAvance), "gbDateAffichee");
    gbDateAffichee->setToolTip(QStringLiteral("Date et heure de fin d'enregistrement"));
    auto* dateLayout = new QGridLayout(gbDateAffichee);
    DateEdit1 = Named(new QDateEdit(gbDateAffichee), "DateEdit1");
    DateEdit1->setCalendarPopup(true);
    DateEdit1->setToolTip(QStringLiteral("Nouvelle date après correction"));
    seHeure = TimeBox(gbDateAffichee, "seHeure", 23, QStringLiteral("heures"));
    seMinute = TimeBox(gbDateAffichee, "seMinute", 59, QStringLiteral("minutes"));
    seSeconde = TimeBox(gbDateAffichee, "seSeconde", 59, QStringLiteral("secondes"));
    dateLayout->addWidget(DateEdit1, 0, 0, 1, 3);
    dateLayout->addWidget(seHeure, 1, 0);
    dateLayout->addWidget(seMinute, 1, 1);
    dateLayout->addWidget(seSeconde, 1, 2);
    advancedLayout->addWidget(gbDateAffichee);
    PanelAvance->hide();
    body->addWidget(PanelAvance);

    resetBtn = Named(new QPushButton(QStringLiteral("Reset"), this), "resetBtn");
    resetBtn->setToolTip(QStringLiteral("Remettre le décalage horaire à zéro."));
    auto* resetRow = new QHBoxLayout;
    resetRow->addWidget(resetBtn);
    resetRow->addStretch();
    body->addLayout(resetRow);

    gbFormatDatecode = Named(new QGroupBox(QStringLiteral("format du datecode %D par ligne"), this),
                             "gbFormatDatecode");
    auto* formatLayout = new QVBoxLayout(gbFormatDatecode);
    cbDatecode1 = FormatList(gbFormatDatecode, "cbDatecode1",
                             QStringLiteral("Choisir le format du datecode pour la 1ère ligne"));
    cbDatecode2 = FormatList(gbFormatDatecode, "cbDatecode2",
                             QStringLiteral("Choisir le format du datecode pour la 2ème ligne"));
    formatLayout->addWidget(cbDatecode1);
    formatLayout->addWidget(cbDatecode2);
    body->addWidget(gbFormatDatecode);
    body->addStretch();
}

double TDVIncrustFrame::DisplayedDate() const
{
    return WallClockToDays(DateEdit1->date(), QTime(0, 0)) + seHeure->value() / 24.0 +
           seMinute->value() / 1440.0 + seSeconde->value() / 86400.0;
}

void TDVIncrustFrame::ShowCorrectedDate(double aDate)
{
    const QDateTime when = DaysToWallClock(aDate);
    if (!when.isValid())
        return;
    const QTime t = when.time();
    // Written only on a change, so that a box being typed in keeps its cursor.
    if (DateEdit1->date() != when.date()) {
        const QSignalBlocker quiet(DateEdit1);
        DateEdit1->setDate(when.date());
    }
    SetValueQuietly(seHeure, t.hour());
    SetValueQuietly(seMinute, t.minute());
    SetValueQuietly(seSeconde, t.second());
}

void TDVIncrustFrame::showEvent(QShowEvent* aEvent)
{
    TSideFrame::showEvent(aEvent);
    if (OnShown)
        OnShown();
}
