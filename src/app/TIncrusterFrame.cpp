#include "app/TIncrusterFrame.h"

TIncrusterFrame::TIncrusterFrame(QWidget* aParent)
    : TSideFrame(QStringLiteral("IncrusterFrame"), QStringLiteral("Réglages de l'incrustation"),
                 aParent)
{
}
