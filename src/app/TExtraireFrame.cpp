#include "app/TExtraireFrame.h"

TExtraireFrame::TExtraireFrame(QWidget* aParent)
    : TSideFrame(QStringLiteral("ExtraireFrame"), QStringLiteral("Imagette capturée"), aParent)
{
}
