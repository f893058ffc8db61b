#include "base/ScriptDateTime.h"

#include <cmath>

namespace {

const QDate kEpoch(1899, 12, 30);

QString LongTimeFormat(const QLocale& aLocale)
{
    // The locale's long time format names the time zone; the language's long time does not.
    QString f = aLocale.timeFormat(QLocale::LongFormat);
    f.remove(QLatin1Char('t'));
    return f.trimmed();
}

QString Pad(int aValue, int aWidth)
{
    return QString::number(aValue).rightJustified(aWidth, QLatin1Char('0'));
}

bool StartsWithCi(const QString& aText, qsizetype aPos, QLatin1String aWhat)
{
    return aText.mid(aPos, aWhat.size()).compare(aWhat, Qt::CaseInsensitive) == 0;
}

} // namespace

double ScriptDateTimeFromQt(const QDateTime& aWhen)
{
    const qint64 days = kEpoch.daysTo(aWhen.date());
    const double frac = aWhen.time().msecsSinceStartOfDay() / 86400000.0;
    return days >= 0 ? double(days) + frac : double(days) - frac;
}

QDateTime ScriptDateTimeToQt(double aValue)
{
    if (!std::isfinite(aValue) || std::fabs(aValue) > 3.0e6)
        return QDateTime();
    const double whole = std::trunc(aValue);
    const double frac = std::fabs(aValue - whole);
    qint64 ms = qint64(std::llround(frac * 86400000.0));
    qint64 days = qint64(whole);
    if (ms >= 86400000) {
        ms -= 86400000;
        days += aValue >= 0 ? 1 : -1;
    }
    // A wall-clock value with no zone: in local time a time in a daylight-saving gap would be
    // invalid or moved, and a span across a change an hour off.
    return QDateTime(kEpoch.addDays(days), QTime::fromMSecsSinceStartOfDay(int(ms)), Qt::UTC);
}

QString FormatScriptDateTime(const QString& aPicture, const QDateTime& aWhen,
                             const QLocale& aLocale)
{
    // An empty picture is "c", as in the language.
    const QString aFormat = aPicture.isEmpty() ? QStringLiteral("c") : aPicture;
    const QDate d = aWhen.date();
    const QTime t = aWhen.time();
    // An "am/pm" anywhere switches the hours to the 12-hour clock.
    const bool twelve = aFormat.contains(QLatin1String("am/pm"), Qt::CaseInsensitive) ||
                        aFormat.contains(QLatin1String("a/p"), Qt::CaseInsensitive) ||
                        aFormat.contains(QLatin1String("ampm"), Qt::CaseInsensitive);
    QString out;
    bool lastWasHour = false;
    const qsizetype n = aFormat.size();
    for (qsizetype p = 0; p < n;) {
        const QChar c = aFormat.at(p);
        const QChar lc = c.toLower();
        qsizetype run = 1;
        while (p + run < n && aFormat.at(p + run).toLower() == lc)
            ++run;
        if (c == u'"' || c == u'\'') {
            const qsizetype end = aFormat.indexOf(c, p + 1);
            if (end < 0) {
                out += aFormat.mid(p + 1);
                break;
            }
            out += aFormat.mid(p + 1, end - p - 1);
            p = end + 1;
            continue;
        }
        if (lc == u'a') {
            if (StartsWithCi(aFormat, p, QLatin1String("am/pm"))) {
                out += t.hour() < 12 ? QStringLiteral("am") : QStringLiteral("pm");
                p += 5;
                continue;
            }
            if (StartsWithCi(aFormat, p, QLatin1String("a/p"))) {
                out += t.hour() < 12 ? QStringLiteral("a") : QStringLiteral("p");
                p += 3;
                continue;
            }
            if (StartsWithCi(aFormat, p, QLatin1String("ampm"))) {
                out += t.hour() < 12 ? aLocale.amText() : aLocale.pmText();
                p += 4;
                continue;
            }
        }
        switch (lc.unicode()) {
        case u'c':
            out += aLocale.toString(d, QLocale::ShortFormat);
            if (t.msecsSinceStartOfDay() != 0)
                out += QLatin1Char(' ') % aLocale.toString(t, LongTimeFormat(aLocale));
            break;
        case u'd':
            if (run == 1)
                out += QString::number(d.day());
            else if (run == 2)
                out += Pad(d.day(), 2);
            else if (run == 3)
                out += aLocale.dayName(d.dayOfWeek(), QLocale::ShortFormat);
            else if (run == 4)
                out += aLocale.dayName(d.dayOfWeek(), QLocale::LongFormat);
            else if (run == 5)
                out += aLocale.toString(d, QLocale::ShortFormat);
            else
                out += aLocale.toString(d, QLocale::LongFormat);
            run = std::min<qsizetype>(run, 6);
            break;
        case u'm':
            if (lastWasHour && run <= 2) {
                out += run == 1 ? QString::number(t.minute()) : Pad(t.minute(), 2);
            } else {
                run = std::min<qsizetype>(run, 4);
                if (run == 1)
                    out += QString::number(d.month());
                else if (run == 2)
                    out += Pad(d.month(), 2);
                else if (run == 3)
                    out += aLocale.monthName(d.month(), QLocale::ShortFormat);
                else
                    out += aLocale.monthName(d.month(), QLocale::LongFormat);
            }
            break;
        case u'y':
            out += run <= 2 ? Pad(d.year() % 100, 2) : Pad(d.year(), 4);
            break;
        case u'h': {
            run = std::min<qsizetype>(run, 2);
            int h = t.hour();
            if (twelve)
                h = h % 12 == 0 ? 12 : h % 12;
            out += run == 1 ? QString::number(h) : Pad(h, 2);
            p += run;
            lastWasHour = true;
            continue;
        }
        case u'n':
            run = std::min<qsizetype>(run, 2);
            out += run == 1 ? QString::number(t.minute()) : Pad(t.minute(), 2);
            break;
        case u's':
            run = std::min<qsizetype>(run, 2);
            out += run == 1 ? QString::number(t.second()) : Pad(t.second(), 2);
            break;
        case u'z':
            if (run >= 3) {
                out += Pad(t.msec(), 3);
                run = 3;
            } else {
                out += QString::number(t.msec());
                run = 1;
            }
            break;
        case u't':
            run = std::min<qsizetype>(run, 2);
            out += run == 1 ? aLocale.toString(t, QLocale::ShortFormat)
                            : aLocale.toString(t, LongTimeFormat(aLocale));
            break;
        case u'/':
            out += QLatin1Char('/');
            run = 1;
            break;
        case u':':
            out += QLatin1Char(':');
            run = 1;
            break;
        default:
            out += c;
            run = 1;
            break;
        }
        // "m" right after an hour means minutes; anything but separators ends that.
        if (lc != u' ' && lc != u':')
            lastWasHour = false;
        p += run;
    }
    return out;
}
