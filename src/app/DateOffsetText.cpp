#include "app/DateOffsetText.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace {

const QDate kEpoch(1899, 12, 30);
constexpr qint64 kDaySeconds = 86400;

// Division rounding toward minus infinity, so that a date before the epoch keeps a positive time.
qint64 FloorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

QString Plural(qint64 aCount)
{
    return aCount > 1 || aCount < -1 ? QStringLiteral("s") : QString();
}

} // namespace

double SaneDateOffset(double aDays)
{
    if (!std::isfinite(aDays))
        return 0;
    return std::clamp(aDays, -kMaxDateOffset, kMaxDateOffset);
}

QString FormatOffset(double aDays)
{
    // Seconds rounded half to even, whatever rounding mode another library left behind.
    const int mode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const qint64 t = qint64(std::nearbyint(SaneDateOffset(aDays) * double(kDaySeconds)));
    std::fesetround(mode);
    // Truncating divisions: days, hours, minutes and seconds all have the sign of the whole.
    const qint64 days = t / kDaySeconds;
    const qint64 hours = (t / 3600) % 24;
    const qint64 minutes = (t / 60) % 60;
    const qint64 seconds = t % 60;

    QString out;
    if (days != 0)
        out += QString::asprintf(" %lld jour", days) + Plural(days);
    if (hours != 0) {
        out += QString::asprintf(" %.2lld h", hours);
        if (days == 0)
            out += QStringLiteral("eure") + Plural(hours);
    }
    if (minutes != 0) {
        out += QString::asprintf(" %.2lld m", minutes);
        if (days == 0 && hours == 0)
            out += QStringLiteral("inute") + Plural(minutes);
    }
    if (seconds != 0) {
        out += QString::asprintf(" %.2lld s", seconds);
        if (days == 0 && hours == 0 && minutes == 0)
            out += QStringLiteral("econde") + Plural(seconds);
    }
    return out.isEmpty() ? QStringLiteral("aucun") : out;
}

double RoundToHours(double aDays)
{
    return std::round(SaneDateOffset(aDays) * 24) / 24;
}

bool IsWholeHours(double aDays)
{
    const double hours = aDays * 24;
    return std::fabs(hours - std::round(hours)) <= 1e-9 * std::max(1.0, std::fabs(hours));
}

QDateTime DaysToWallClock(double aDays)
{
    // Far beyond any calendar a QDate can hold.
    if (!std::isfinite(aDays) || std::fabs(aDays) > 1.0e9)
        return QDateTime();
    const qint64 total = std::llround(aDays * double(kDaySeconds));
    const qint64 days = FloorDiv(total, kDaySeconds);
    const int seconds = int(total - days * kDaySeconds);
    return QDateTime(kEpoch.addDays(days), QTime(0, 0).addSecs(seconds), Qt::UTC);
}

double WallClockToDays(const QDate& aDate, const QTime& aTime)
{
    return double(kEpoch.daysTo(aDate)) + aTime.msecsSinceStartOfDay() / 86400000.0;
}

double DropMilliseconds(double aDays)
{
    if (!std::isfinite(aDays))
        return 0;
    const qint64 ms = std::llround(aDays * 86400000.0);
    return double(FloorDiv(ms, 1000)) / double(kDaySeconds);
}
