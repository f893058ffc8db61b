#include "grab/SavedImageSize.h"

#include "media/core/FitRect.h"

#include <QRect>

QSize SavedImageSize(int aAspectX, int aAspectY, QSize aFrame)
{
    return FitRect(QSize(aAspectX, aAspectY), QRect(QPoint(0, 0), aFrame), 0, false).size();
}
