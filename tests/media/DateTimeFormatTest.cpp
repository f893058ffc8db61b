#include "DateTimeFormat.h"

#include "TestPrinters.h"

#include <gtest/gtest.h>

namespace {

const QDateTime kWhen(QDate(2007, 8, 9), QTime(10, 11, 12), Qt::UTC);

TEST(DateTimeDays, Epoch)
{
    EXPECT_DOUBLE_EQ(DateTimeToDays(QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC)), 0.0);
    EXPECT_DOUBLE_EQ(DateTimeToDays(QDateTime(QDate(1900, 1, 1), QTime(12, 0), Qt::UTC)), 2.5);
    EXPECT_NEAR(DateTimeToDays(kWhen), 39303.424444, 1e-6);
    EXPECT_EQ(DaysToDateTime(DateTimeToDays(kWhen)), kWhen);
    EXPECT_FALSE(DaysToDateTime(1e300).isValid());
}

TEST(FormatDateTime, Pictures)
{
    const QLocale c = QLocale::c();
    EXPECT_EQ(FormatDateTime(QStringLiteral("yyyy-mm-dd hh:nn:ss"), kWhen, c),
              u"2007-08-09 10:11:12");
    EXPECT_EQ(FormatDateTime(QStringLiteral("d/m/yy h:mm"), kWhen, c), u"9/8/07 10:11");
    EXPECT_EQ(FormatDateTime(QStringLiteral("'le' dd mmmm yyyy"), kWhen, QLocale(QLocale::French)),
              u"le 09 août 2007");
    EXPECT_EQ(FormatDateTime(QStringLiteral("dddd"), kWhen, QLocale(QLocale::French)), u"jeudi");
    EXPECT_EQ(FormatDateTime(QStringLiteral("\"h\"hh"), kWhen, c), u"h10");
    EXPECT_EQ(FormatDateTime(QStringLiteral("h am/pm"), kWhen.addSecs(4 * 3600), c), u"2 pm");
    EXPECT_EQ(FormatDateTime(QStringLiteral("zzz"), kWhen, c), u"000");
}

TEST(FormatDateTime, LocaleForms)
{
    const QLocale fr(QLocale::French);
    EXPECT_EQ(FormatDateTime(QStringLiteral("dddddd - tt"), kWhen, fr),
              u"jeudi 9 août 2007 - 10:11:12");
    EXPECT_EQ(FormatDateTime(QString(), kWhen, fr), u"09/08/2007 10:11:12");
    // Midnight: "c" shows the date only.
    EXPECT_EQ(FormatDateTime(QString(), QDateTime(QDate(2007, 8, 9), QTime(0, 0), Qt::UTC), fr),
              u"09/08/2007");
}

} // namespace
