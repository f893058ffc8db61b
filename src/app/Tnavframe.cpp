#include "app/Tnavframe.h"

Tnavframe::Tnavframe(QWidget* aParent)
    : QFrame(aParent)
{
    setObjectName(QStringLiteral("navframe"));
    setFrameShape(QFrame::StyledPanel);
}
