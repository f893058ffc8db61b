#include "base/ScriptDateTime.h"

#include "TestPrinters.h"

#include <ctime>

#include <gtest/gtest.h>

namespace {

const QDateTime kWhen(QDate(2007, 8, 9), QTime(10, 11, 12), Qt::UTC);

TEST(DateTimeDays, Epoch)
{
    EXPECT_DOUBLE_EQ(ScriptDateTimeFromQt(QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC)),
                     0.0);
    EXPECT_DOUBLE_EQ(ScriptDateTimeFromQt(QDateTime(QDate(1900, 1, 1), QTime(12, 0), Qt::UTC)),
                     2.5);
    EXPECT_NEAR(ScriptDateTimeFromQt(kWhen), 39303.424444, 1e-6);
    const QDateTime back = ScriptDateTimeToQt(ScriptDateTimeFromQt(kWhen));
    EXPECT_EQ(back.date(), kWhen.date());
    EXPECT_EQ(back.time(), kWhen.time());
    EXPECT_FALSE(ScriptDateTimeToQt(1e300).isValid());
}

TEST(DateTimeDays, ADateInADaylightSavingGapKeepsItsTime)
{
    const QByteArray previous = qgetenv("TZ");
    const bool had = qEnvironmentVariableIsSet("TZ");
    qputenv("TZ", "Europe/Paris");
    tzset();
    // 02:30 on 27 March 2005 does not exist in Paris local time.
    const QDateTime gap = ScriptDateTimeToQt(38438 + 2.5 / 24);
    EXPECT_EQ(gap.date(), QDate(2005, 3, 27));
    EXPECT_EQ(gap.time(), QTime(2, 30));
    EXPECT_EQ(FormatScriptDateTime(QStringLiteral("hh:nn"), gap, QLocale::c()), u"02:30");
    // A day across the change is 24 hours.
    EXPECT_EQ(ScriptDateTimeToQt(38437.5).secsTo(ScriptDateTimeToQt(38438.5)), 86400);
    if (had)
        qputenv("TZ", previous);
    else
        qunsetenv("TZ");
    tzset();
}

TEST(FormatDateTime, Pictures)
{
    const QLocale c = QLocale::c();
    EXPECT_EQ(FormatScriptDateTime(QStringLiteral("yyyy-mm-dd hh:nn:ss"), kWhen, c),
              u"2007-08-09 10:11:12");
    EXPECT_EQ(FormatScriptDateTime(QStringLiteral("d/m/yy h:mm"), kWhen, c), u"9/8/07 10:11");
    EXPECT_EQ(
        FormatScriptDateTime(QStringLiteral("'le' dd mmmm yyyy"), kWhen, QLocale(QLocale::French)),
        u"le 09 août 2007");
    EXPECT_EQ(FormatScriptDateTime(QStringLiteral("dddd"), kWhen, QLocale(QLocale::French)),
              u"jeudi");
    EXPECT_EQ(FormatScriptDateTime(QStringLiteral("\"h\"hh"), kWhen, c), u"h10");
    EXPECT_EQ(FormatScriptDateTime(QStringLiteral("h am/pm"), kWhen.addSecs(4 * 3600), c), u"2 pm");
    EXPECT_EQ(FormatScriptDateTime(QStringLiteral("zzz"), kWhen, c), u"000");
}

TEST(FormatDateTime, LocaleForms)
{
    const QLocale fr(QLocale::French);
    EXPECT_EQ(FormatScriptDateTime(QStringLiteral("dddddd - tt"), kWhen, fr),
              u"jeudi 9 août 2007 - 10:11:12");
    EXPECT_EQ(FormatScriptDateTime(QString(), kWhen, fr), u"09/08/2007 10:11:12");
    // Midnight: "c" shows the date only.
    EXPECT_EQ(
        FormatScriptDateTime(QString(), QDateTime(QDate(2007, 8, 9), QTime(0, 0), Qt::UTC), fr),
        u"09/08/2007");
}

} // namespace
