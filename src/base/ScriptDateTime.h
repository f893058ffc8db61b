#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// Dates and times of the script language: a float counting days since 30 December 1899, the
// fraction being the time of day.
double ScriptDateTimeFromQt(const QDateTime& aWhen);
// The date and time as written, zone-free (UTC); invalid when not finite or far out of range.
QDateTime ScriptDateTimeToQt(double aValue);

// FormatDateTime of the language: d dd ddd dddd ddddd dddddd, m mm mmm mmmm, yy yyyy, h hh,
// n nn, s ss, z zzz, t tt, c, am/pm a/p ampm, / :, and quoted text; names and the short and
// long forms come from aLocale. "dddddd à tt" gives the long date, " à " and the long time; an
// empty picture is "c", the short date then the long time unless it is midnight.
QString FormatScriptDateTime(const QString& aFormat, const QDateTime& aWhen,
                             const QLocale& aLocale = QLocale());
