#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

// The DV date offset: a float in days (1/24 an hour, 1/86400 a second) added to the recorded
// date. Dates here are wall-clock values with no zone, days since 30 December 1899.

// The largest offset accepted, a century either way.
inline constexpr double kMaxDateOffset = 36525;

// Not finite gives 0; beyond a century is clamped.
double SaneDateOffset(double aDays);

// The offset as French text, each unit after a space; the first non-zero unit spelled out
// (" 01 heure 30 m"), "aucun" when it rounds to no whole second.
QString FormatOffset(double aDays);

// Whole hours, halves away from zero.
double RoundToHours(double aDays);
// True when aDays is a whole number of hours up to the float's own error.
bool IsWholeHours(double aDays);

// The date rounded to the second, as a zone-free (UTC) date and time; invalid when not finite
// or out of any calendar.
QDateTime DaysToWallClock(double aDays);
double WallClockToDays(const QDate& aDate, const QTime& aTime);
// The milliseconds dropped: the day plus its hours, minutes and seconds.
double DropMilliseconds(double aDays);
