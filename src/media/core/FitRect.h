#pragma once

#include <QRect>
#include <QSize>

#include <array>

// Rectangles here are read through x/y/width/height only: QRect's right() and bottom() are the
// last pixel (left + width - 1), not the edge just past it.

// The largest rectangle of aspect aAspect (width a, height b) centred in aRect shrunk by aBorder
// on every side; that shrunk rectangle itself when a or b is not positive. The shrunk rectangle
// is empty, never negative, when aRect is smaller than twice the border (a negative border
// grows it). With aRelative the result is given from aRect's top-left corner.
QRect FitRect(QSize aAspect, const QRect& aRect, int aBorder, bool aRelative);

// The four bands between aOuter and aInner, in this order: left (full height), right (full
// height), top and bottom (both as wide as aInner). A band that has no room is empty.
std::array<QRect, 4> Bands(const QRect& aOuter, const QRect& aInner);
