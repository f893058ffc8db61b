#include "app/Tintervalloframe.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>

Tintervalloframe::Tintervalloframe(QWidget* aParent)
    : QFrame(aParent)
{
    setObjectName(QStringLiteral("intervalloframe"));
    setFrameShape(QFrame::StyledPanel);
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(2, 0, 2, 2);
    GroupBox1 = new QGroupBox(QStringLiteral("Intervallomètre"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setToolTip(QStringLiteral("Fixer les valeurs de l'intervallomètre"));
    outer->addWidget(GroupBox1);
    auto* row = new QHBoxLayout(GroupBox1);
    row->setContentsMargins(6, 0, 6, 2);

    RxSpinEdit7 = new QSpinBox(GroupBox1);
    RxSpinEdit7->setObjectName(QStringLiteral("RxSpinEdit7"));
    RxSpinEdit7->setRange(1, 999999);
    RxSpinEdit7->setToolTip(QStringLiteral("Délai entre deux images de l'intervallomètre"));
    row->addWidget(RxSpinEdit7);

    cboxIntervallo = new QComboBox(GroupBox1);
    cboxIntervallo->setObjectName(QStringLiteral("cboxIntervallo"));
    cboxIntervallo->addItems({QStringLiteral("Frames"), QStringLiteral("Secondes"),
                              QStringLiteral("Minutes"), QString()});
    cboxIntervallo->setToolTip(QStringLiteral("Unité pour calculer le délai de l'intervallomètre"));
    row->addWidget(cboxIntervallo);

    RxSwitch1 = new QToolButton(GroupBox1);
    RxSwitch1->setObjectName(QStringLiteral("RxSwitch1"));
    RxSwitch1->setCheckable(true);
    RxSwitch1->setText(QStringLiteral("I/O"));
    RxSwitch1->setToolTip(QStringLiteral("Basculer l'intervallomètre"));
    row->addWidget(RxSwitch1);

    chronolab = new QLabel(QStringLiteral("0"), GroupBox1);
    chronolab->setObjectName(QStringLiteral("chronolab"));
    QFont large = chronolab->font();
    large.setPixelSize(22);
    large.setBold(true);
    chronolab->setFont(large);
    chronolab->setToolTip(QStringLiteral("Nombre d'images restant à saisir"));
    chronolab->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(chronolab, 1);
}
