#include "media/core/FitRect.h"

#include <algorithm>

namespace {

// A rectangle from its edges, right and bottom exclusive; empty when they cross.
QRect EdgeRect(qint64 aLeft, qint64 aTop, qint64 aRight, qint64 aBottom)
{
    return QRect(int(aLeft), int(aTop), int(std::max<qint64>(0, aRight - aLeft)),
                 int(std::max<qint64>(0, aBottom - aTop)));
}

} // namespace

QRect FitRect(QSize aAspect, const QRect& aRect, int aBorder, bool aRelative)
{
    // 64-bit throughout: the products below overflow int for large pictures.
    qint64 x = qint64(aRect.x()) + aBorder;
    qint64 y = qint64(aRect.y()) + aBorder;
    qint64 w = std::max<qint64>(0, qint64(aRect.width()) - 2 * qint64(aBorder));
    qint64 h = std::max<qint64>(0, qint64(aRect.height()) - 2 * qint64(aBorder));
    const qint64 a = aAspect.width();
    const qint64 b = aAspect.height();
    if (a > 0 && b > 0) {
        if (w * b < h * a) {
            const qint64 fitted = w * b / a;
            y += (h - fitted) / 2;
            h = fitted;
        } else {
            const qint64 fitted = h * a / b;
            x += (w - fitted) / 2;
            w = fitted;
        }
    }
    if (aRelative) {
        x -= aRect.x();
        y -= aRect.y();
    }
    return QRect(int(x), int(y), int(w), int(h));
}

std::array<QRect, 4> Bands(const QRect& aOuter, const QRect& aInner)
{
    const qint64 ol = aOuter.x(), ot = aOuter.y();
    const qint64 orr = ol + aOuter.width(), ob = ot + aOuter.height();
    const qint64 il = aInner.x(), it = aInner.y();
    const qint64 ir = il + aInner.width(), ib = it + aInner.height();
    return {EdgeRect(ol, ot, il, ob), EdgeRect(ir, ot, orr, ob), EdgeRect(il, ot, ir, it),
            EdgeRect(il, ib, ir, ob)};
}
