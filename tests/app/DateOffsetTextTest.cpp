// The DV date offset as text and the zone-free dates of the DV panel.
#include "app/DateOffsetText.h"
#include "TestPrinters.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

QString F(double aDays)
{
    return FormatOffset(aDays);
}

TEST(FormatOffset, OnlyTheFirstPartIsSpelledOut)
{
    EXPECT_EQ(F(2.0 / 24), u" 02 heures");
    EXPECT_EQ(F(1.0 / 24 + 30.0 / 1440), u" 01 heure 30 m");
    EXPECT_EQ(F(1.5), u" 1 jour 12 h");
    EXPECT_EQ(F(90.0 / 86400), u" 01 minute 30 s");
    EXPECT_EQ(F(1.0 / 86400), u" 01 seconde");
    EXPECT_EQ(F(2 + 3.0 / 24 + 4.0 / 1440 + 5.0 / 86400), u" 2 jours 03 h 04 m 05 s");
    EXPECT_EQ(F(7.0 / 72), u" 02 heures 20 m");
    EXPECT_EQ(F(0), u"aucun");
}

TEST(FormatOffset, NegativePartsAllCarryTheSign)
{
    EXPECT_EQ(F(-2.0 / 24), u" -02 heures");
    EXPECT_EQ(F(-1.0 / 24), u" -01 heure");
    EXPECT_EQ(F(-1.5), u" -1 jour -12 h");
    EXPECT_EQ(F(-2.0), u" -2 jours");
    EXPECT_EQ(F(-61.0 / 86400), u" -01 minute -01 s");
}

TEST(FormatOffset, SecondsAreRoundedHalfToEven)
{
    EXPECT_EQ(F(0.4 / 86400), u"aucun");
    EXPECT_EQ(F(0.6 / 86400), u" 01 seconde");
    EXPECT_EQ(F(2.5 / 86400), u" 02 secondes");
    EXPECT_EQ(F(3.5 / 86400), u" 04 secondes");
    // A float difference just short of the minute is the minute.
    EXPECT_EQ(F(20.0 / 1440 - 1e-12), u" 20 minutes");
}

TEST(FormatOffset, NoNumberIsNoOffsetAndHugeOnesStopAtACentury)
{
    EXPECT_EQ(F(std::numeric_limits<double>::quiet_NaN()), u"aucun");
    EXPECT_EQ(F(std::numeric_limits<double>::infinity()), u"aucun");
    EXPECT_EQ(F(1e300), u" 36525 jours");
    EXPECT_EQ(F(-1e300), u" -36525 jours");
}

TEST(DateOffset, SaneAndRounded)
{
    EXPECT_EQ(SaneDateOffset(std::numeric_limits<double>::quiet_NaN()), 0.0);
    EXPECT_EQ(SaneDateOffset(-std::numeric_limits<double>::infinity()), 0.0);
    EXPECT_EQ(SaneDateOffset(4e4), kMaxDateOffset);
    EXPECT_EQ(SaneDateOffset(-4e4), -kMaxDateOffset);
    EXPECT_EQ(SaneDateOffset(0.25), 0.25);
    EXPECT_EQ(RoundToHours(2.4 / 24), 2.0 / 24);
    EXPECT_EQ(RoundToHours(-2.6 / 24), -3.0 / 24);
    EXPECT_EQ(RoundToHours(7.0 / 72), 2.0 / 24);
    EXPECT_TRUE(IsWholeHours(-5.0 / 24));
    EXPECT_TRUE(IsWholeHours(36525));
    EXPECT_FALSE(IsWholeHours(2.4 / 24));
    EXPECT_FALSE(IsWholeHours(1.0 / 86400));
}

TEST(DateOffset, WallClockDatesCarryNoZone)
{
    const double d = WallClockToDays(QDate(2005, 3, 27), QTime(2, 30));
    EXPECT_DOUBLE_EQ(d, 38438 + 2.5 / 24);
    const QDateTime w = DaysToWallClock(d);
    EXPECT_EQ(w.timeSpec(), Qt::UTC);
    EXPECT_EQ(w.date(), QDate(2005, 3, 27));
    EXPECT_EQ(w.time(), QTime(2, 30));
    // Rounded to the second, also when a float sum falls just short of it.
    EXPECT_EQ(DaysToWallClock(d + 1.0 / 24 - 1e-11).time(), QTime(3, 30));
    // Before the epoch the time of day stays positive.
    EXPECT_EQ(DaysToWallClock(-0.25), QDateTime(QDate(1899, 12, 29), QTime(18, 0), Qt::UTC));
    EXPECT_FALSE(DaysToWallClock(std::numeric_limits<double>::quiet_NaN()).isValid());
    EXPECT_DOUBLE_EQ(WallClockToDays(QDate(1999, 12, 31), QTime(0, 0)), 36525);
}

TEST(DateOffset, DroppingMillisecondsKeepsTheSecond)
{
    const double second = WallClockToDays(QDate(2005, 6, 1), QTime(14, 0, 5));
    EXPECT_DOUBLE_EQ(DropMilliseconds(second + 0.999 / 86400), second);
    EXPECT_DOUBLE_EQ(DropMilliseconds(second), second);
    EXPECT_EQ(DropMilliseconds(std::numeric_limits<double>::infinity()), 0.0);
}

} // namespace
