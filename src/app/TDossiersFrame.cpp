#include "app/TDossiersFrame.h"

TDossiersFrame::TDossiersFrame(QWidget* aParent)
    : TSideFrame(QStringLiteral("SaveImagesFrame"), QStringLiteral("Réglages de l'image"), aParent)
{
}
