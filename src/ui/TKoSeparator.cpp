#include "ui/TKoSeparator.h"

TKoSeparator::TKoSeparator(QWidget* aParent)
    : QFrame(aParent)
{
    setFrameShape(QFrame::NoFrame);
    setLineWidth(0);
    resize(8, 28);
}
