#pragma once

#include <QSize>

// The size a grabbed frame is saved at: the largest aspectX:aspectY rectangle inside the frame,
// the frame's own size when either aspect term is not positive, 0 x 0 for an empty frame.
QSize SavedImageSize(int aAspectX, int aAspectY, QSize aFrame);
