#include "media/core/FormatPosition.h"

#include "base/RefTime.h"

#include <limits>

namespace {

using i128 = __int128;

// a / b rounded to the nearest integer, halves to the even neighbour (a >= 0, b > 0).
i128 DivRoundEven(i128 a, i128 b)
{
    i128 q = a / b;
    const i128 r = a % b;
    if (2 * r > b || (2 * r == b && (q & 1) != 0))
        ++q;
    return q;
}

qint64 EffectiveDuration(qint64 d)
{
    return d > 0 ? d : kDefaultFrameDuration;
}

// The characters of a window [first, first + count) of positions counted from 1; the part that
// falls outside the text is left out.
QStringView Window(QStringView text, qsizetype first, qsizetype count)
{
    qsizetype last = first + count - 1;
    if (first < 1)
        first = 1;
    if (last > text.size())
        last = text.size();
    if (last < first)
        return {};
    return text.mid(first - 1, last - first + 1);
}

// Decimal digits only (spaces around are allowed); anything else is 0. Saturates at cap.
qint64 ToNumber(QStringView part, qint64 cap)
{
    part = part.trimmed();
    if (part.isEmpty())
        return 0;
    qint64 value = 0;
    for (const QChar c : part) {
        if (c < u'0' || c > u'9')
            return 0;
        if (value < cap)
            value = value * 10 + (c.unicode() - u'0');
    }
    return value < cap ? value : cap;
}

} // namespace

QString FormatPosition(qint64 frameDuration, qint64 time)
{
    const i128 d = EffectiveDuration(frameDuration);
    if (time < 0)
        time = 0;
    const i128 snapped = DivRoundEven(time, d) * d;
    i128 seconds = snapped / kRefTimePerSecond;
    i128 remainder = snapped % kRefTimePerSecond;
    if (kRefTimePerSecond - remainder < d / 2) {
        remainder = 0;
        ++seconds;
    }
    const qint64 frames = qint64(DivRoundEven(remainder, d));
    const qint64 hours = qint64(seconds / 3600);
    const int minutes = int((seconds / 60) % 60);
    const int secs = int(seconds % 60);
    return QString::asprintf("%lld:%.2d:%.2d:%.2lld", static_cast<long long>(hours), minutes, secs,
                             static_cast<long long>(frames));
}

qint64 ParsePosition(const QString& text, qint64 frameDuration)
{
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    const qint64 maxHours = kMax / (3600 * kRefTimePerSecond);
    const QStringView view(text);
    const qsizetype len = view.size();
    const qint64 hours = ToNumber(Window(view, 1, len - 9), maxHours);
    const qint64 minutes = ToNumber(Window(view, len - 7, 2), 99);
    const qint64 seconds = ToNumber(Window(view, len - 4, 2), 99);
    const qint64 frames = ToNumber(Window(view, len - 1, 2), 99);
    const i128 total = (i128(hours) * 3600 + minutes * 60 + seconds) * kRefTimePerSecond +
                       i128(frames) * EffectiveDuration(frameDuration);
    return total > kMax ? kMax : qint64(total);
}
