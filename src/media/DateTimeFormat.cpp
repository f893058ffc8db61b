#include "DateTimeFormat.h"

#include <cmath>

namespace {

const QDate kEpoch(1899, 12, 30);

// Qt's picture for a locale's time, without the time zone that the long form may carry.
QString TimePicture(const QLocale& locale, QLocale::FormatType type)
{
    QString picture = locale.timeFormat(type);
    picture.remove(QLatin1StringView(" t"));
    picture.remove(u't');
    return picture.trimmed();
}

qsizetype RunLength(const QString& f, qsizetype i)
{
    const QChar c = f.at(i).toLower();
    qsizetype n = 1;
    while (i + n < f.size() && f.at(i + n).toLower() == c)
        ++n;
    return n;
}

bool StartsWithAt(const QString& f, qsizetype i, const char* token)
{
    return QStringView(f).mid(i).startsWith(QLatin1StringView(token), Qt::CaseInsensitive);
}

bool HasAmPm(const QString& f)
{
    return f.contains(QLatin1StringView("am/pm"), Qt::CaseInsensitive) ||
           f.contains(QLatin1StringView("a/p"), Qt::CaseInsensitive) ||
           f.contains(QLatin1StringView("ampm"), Qt::CaseInsensitive);
}

QString Two(int v)
{
    return QString::asprintf("%.2d", v);
}

class TFormatter {
public:
    TFormatter(const QDateTime& dt, const QLocale& locale)
        : m_date(dt.date())
        , m_time(dt.time())
        , m_locale(locale)
    {
    }

    QString Run(const QString& f, int depth)
    {
        QString out;
        const bool twelve = HasAmPm(f);
        bool afterHour = false;
        for (qsizetype i = 0; i < f.size();) {
            const QChar c = f.at(i);
            const QChar lc = c.toLower();
            if (c == u'"' || c == u'\'') {
                const qsizetype end = f.indexOf(c, i + 1);
                const qsizetype stop = end < 0 ? f.size() : end;
                out += QStringView(f).mid(i + 1, stop - i - 1);
                i = stop + 1;
                continue;
            }
            if (lc == u'a') {
                if (StartsWithAt(f, i, "am/pm")) {
                    out += m_time.hour() < 12 ? QStringLiteral("am") : QStringLiteral("pm");
                    i += 5;
                    continue;
                }
                if (StartsWithAt(f, i, "a/p")) {
                    out += m_time.hour() < 12 ? QStringLiteral("a") : QStringLiteral("p");
                    i += 3;
                    continue;
                }
                if (StartsWithAt(f, i, "ampm")) {
                    out += m_time.hour() < 12 ? m_locale.amText() : m_locale.pmText();
                    i += 4;
                    continue;
                }
            }
            const qsizetype n = RunLength(f, i);
            bool hour = false;
            if (lc == u'd') {
                if (n == 1)
                    out += QString::number(m_date.day());
                else if (n == 2)
                    out += Two(m_date.day());
                else if (n == 3)
                    out += m_locale.dayName(m_date.dayOfWeek(), QLocale::ShortFormat);
                else if (n == 4)
                    out += m_locale.dayName(m_date.dayOfWeek(), QLocale::LongFormat);
                else if (n == 5)
                    out += m_locale.toString(m_date, QLocale::ShortFormat);
                else
                    out += m_locale.toString(m_date, QLocale::LongFormat);
            } else if (lc == u'm') {
                if (afterHour && n <= 2)
                    out += n == 1 ? QString::number(m_time.minute()) : Two(m_time.minute());
                else if (n == 1)
                    out += QString::number(m_date.month());
                else if (n == 2)
                    out += Two(m_date.month());
                else if (n == 3)
                    out += m_locale.monthName(m_date.month(), QLocale::ShortFormat);
                else
                    out += m_locale.monthName(m_date.month(), QLocale::LongFormat);
            } else if (lc == u'y') {
                out += n <= 2 ? Two(m_date.year() % 100) : QString::number(m_date.year());
            } else if (lc == u'h') {
                int h = m_time.hour();
                if (twelve) {
                    h %= 12;
                    if (h == 0)
                        h = 12;
                }
                out += n == 1 ? QString::number(h) : Two(h);
                hour = true;
            } else if (lc == u'n') {
                out += n == 1 ? QString::number(m_time.minute()) : Two(m_time.minute());
            } else if (lc == u's') {
                out += n == 1 ? QString::number(m_time.second()) : Two(m_time.second());
            } else if (lc == u'z') {
                out += n < 3 ? QString::number(m_time.msec())
                             : QString::asprintf("%.3d", m_time.msec());
            } else if (lc == u't') {
                const auto type = n == 1 ? QLocale::ShortFormat : QLocale::LongFormat;
                out += m_locale.toString(m_time, TimePicture(m_locale, type));
            } else if (lc == u'c' && depth == 0) {
                out += Run(QStringLiteral("ddddd"), depth + 1);
                if (m_time != QTime(0, 0))
                    out += u' ' + Run(QStringLiteral("tt"), depth + 1);
            } else if (c == u'/') {
                out += m_locale.dateFormat(QLocale::ShortFormat).contains(u'.') ? u'.' : u'/';
            } else {
                out += QStringView(f).mid(i, n);
            }
            // "m" right after an hour means minutes; spaces and separators keep that link.
            if (hour)
                afterHour = true;
            else if (lc.isLetter())
                afterHour = false;
            i += n;
        }
        return out;
    }

private:
    QDate m_date;
    QTime m_time;
    QLocale m_locale;
};

} // namespace

double DateTimeToDays(const QDateTime& dateTime)
{
    const QTime t = dateTime.time();
    const double fraction = (t.msecsSinceStartOfDay()) / 86'400'000.0;
    return double(kEpoch.daysTo(dateTime.date())) + fraction;
}

QDateTime DaysToDateTime(double days)
{
    if (!std::isfinite(days) || std::fabs(days) > 3e6)
        return {};
    const double whole = std::floor(days);
    const qint64 ms = std::llround((days - whole) * 86'400'000.0);
    // UTC: a recording time is a wall-clock time and must not fall into a DST gap.
    return QDateTime(kEpoch.addDays(qint64(whole)), QTime(0, 0), Qt::UTC).addMSecs(ms);
}

QString FormatDateTime(const QString& format, const QDateTime& dateTime, const QLocale& locale)
{
    TFormatter formatter(dateTime, locale);
    return formatter.Run(format.isEmpty() ? QStringLiteral("c") : format, 0);
}
