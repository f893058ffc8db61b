#include "app/Tintervalloframe.h"

Tintervalloframe::Tintervalloframe(QWidget* aParent)
    : QFrame(aParent)
{
    setObjectName(QStringLiteral("intervalloframe"));
    setFrameShape(QFrame::StyledPanel);
}
