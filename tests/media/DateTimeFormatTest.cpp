#include "base/ScriptDateTime.h"

#include "TestPrinters.h"

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
