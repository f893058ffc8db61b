#include "app/TDVIncrustFrame.h"

TDVIncrustFrame::TDVIncrustFrame(QWidget* aParent)
    : TSideFrame(QStringLiteral("DVIncrustFrame"), QStringLiteral("Vidéos DV"), aParent)
{
}
