#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// Day count since 1899-12-30 with the time of day as fraction, and back.
double DateTimeToDays(const QDateTime& dateTime);
QDateTime DaysToDateTime(double days);

// Formats a date and time with the classic picture syntax: d dd ddd dddd ddddd (short date)
// dddddd (long date), m mm mmm mmmm (minutes after h/hh), yy yyyy, h hh, n nn, s ss, z zzz,
// t (short time), tt (long time), am/pm, a/p, ampm, c, "/" separator, quoted literals.
// An empty format is "c": the short date, then the long time unless it is midnight.
QString FormatDateTime(const QString& format, const QDateTime& dateTime,
                       const QLocale& locale = QLocale());
