#include "media/core/FormatPosition.h"
#include "media/core/VideoFormat.h"

#include "TestPrinters.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

QString Fmt(qint64 d, qint64 t)
{
    return FormatPosition(d, t);
}

TEST(FormatPosition, VectorsAt25)
{
    EXPECT_EQ(Fmt(400'000, 0), u"0:00:00:00");
    EXPECT_EQ(Fmt(400'000, 98'000'000), u"0:00:09:20");
    EXPECT_EQ(Fmt(400'000, 9'800'000), u"0:00:00:24");  // 24.5 frames: halves to even
    EXPECT_EQ(Fmt(400'000, 10'200'000), u"0:00:01:01"); // 25.5 frames: up to the even 26
    EXPECT_EQ(Fmt(400'000, 36'000'000'000), u"1:00:00:00");
    EXPECT_EQ(Fmt(400'000, 10 * 36'000'000'000LL + 7 * 400'000), u"10:00:00:07");
}

TEST(FormatPosition, NtscCarriesTheLastFrameIntoTheNextSecond)
{
    const qint64 d = 333'667;
    EXPECT_EQ(Fmt(d, 10'000'000), u"0:00:01:00");
    EXPECT_EQ(Fmt(d, 9'990'000), u"0:00:01:00");
    EXPECT_EQ(Fmt(d, 479 * d), u"0:00:15:29");
    EXPECT_EQ(Fmt(d, 508 * d), u"0:00:16:28");
    EXPECT_EQ(Fmt(d, 509 * d), u"0:00:17:00");
    EXPECT_EQ(Fmt(d, 510 * d), u"0:00:17:01");
}

TEST(FormatPosition, OddFrameDurations)
{
    EXPECT_EQ(Fmt(0, 12'345), u"0:00:00:01"); // 0 means 10,000
    EXPECT_EQ(Fmt(-5, 12'345), u"0:00:00:01");
    EXPECT_EQ(Fmt(1, 12'345), u"0:00:00:12345");
    EXPECT_EQ(Fmt(1, 3 * 10'000'000LL + 9'999'999), u"0:00:03:9999999");
    EXPECT_EQ(Fmt(1, 5), u"0:00:00:05");
}

TEST(FormatPosition, NegativeAndHugeTimes)
{
    EXPECT_EQ(Fmt(400'000, -1), u"0:00:00:00");
    EXPECT_EQ(Fmt(400'000, std::numeric_limits<qint64>::min()), u"0:00:00:00");
    // No overflow at the top of the range.
    const QString top = Fmt(400'000, std::numeric_limits<qint64>::max());
    EXPECT_TRUE(top.startsWith(u"256204778:"));
}

TEST(ParsePosition, Vectors)
{
    EXPECT_EQ(ParsePosition(QStringLiteral("0:00:00:00"), 400'000), 0);
    EXPECT_EQ(ParsePosition(QStringLiteral("12:34:56:07"), 400'000),
              45'296LL * 10'000'000 + 7 * 400'000);
    EXPECT_EQ(ParsePosition(QStringLiteral("1:00:00:99"), 400'000),
              36'000'000'000LL + 99 * 400'000);
    EXPECT_EQ(ParsePosition(QStringLiteral("123:00:00:00"), 400'000), 123 * 36'000'000'000LL);
}

TEST(ParsePosition, ShortTextsReadFromTheRight)
{
    EXPECT_EQ(ParsePosition(QString(), 400'000), 0);
    EXPECT_EQ(ParsePosition(QStringLiteral("7"), 400'000), 7 * 400'000);
    EXPECT_EQ(ParsePosition(QStringLiteral("12"), 400'000), 12 * 400'000);
    EXPECT_EQ(ParsePosition(QStringLiteral("3:12"), 400'000), 30'000'000 + 12 * 400'000);
    EXPECT_EQ(ParsePosition(QStringLiteral("05:03:12"), 400'000),
              (5 * 60 + 3) * 10'000'000LL + 12 * 400'000);
    EXPECT_EQ(ParsePosition(QStringLiteral("01:00:00"), 400'000), 600'000'000);
}

TEST(ParsePosition, GarbageCountsAsZeroAndNeverOverflows)
{
    EXPECT_EQ(ParsePosition(QStringLiteral("a:bc:de:fg"), 400'000), 0);
    EXPECT_EQ(ParsePosition(QStringLiteral("0:-1:00:05"), 400'000), 5 * 400'000);
    EXPECT_EQ(ParsePosition(QStringLiteral("x:00:10:00"), 400'000), 100'000'000);
    const qint64 huge = ParsePosition(QStringLiteral("99999999999999999999999:00:00:00"), 400'000);
    EXPECT_GT(huge, 0);
    EXPECT_LE(huge, std::numeric_limits<qint64>::max());
    EXPECT_EQ(
        ParsePosition(QStringLiteral("256204778:59:59:99"), std::numeric_limits<qint64>::max()),
        std::numeric_limits<qint64>::max());
}

TEST(ParsePosition, ZeroFrameDurationMatchesFormat)
{
    EXPECT_EQ(FormatPosition(0, ParsePosition(QStringLiteral("0:00:00:05"), 0)), u"0:00:00:05");
}

struct TRate {
    int num;
    int den;
};

class PositionRoundTrip : public ::testing::TestWithParam<TRate> {};

// Every frame of an hour: format, parse and format again give the same text, and the parsed
// time lands on the same frame.
TEST_P(PositionRoundTrip, OverAnHour)
{
    const qint64 d = FrameTimeFromRate(GetParam().num, GetParam().den);
    const qint64 frames = qint64(3600) * GetParam().num / GetParam().den;
    int failures = 0;
    for (qint64 n = 0; n <= frames && failures < 5; ++n) {
        const QString text = FormatPosition(d, n * d);
        const qint64 back = ParsePosition(text, d);
        const QString again = FormatPosition(d, back);
        if (again != text || (back + d / 2) / d != n) {
            ++failures;
            ADD_FAILURE() << "frame " << n << ": " << qPrintable(text) << " -> " << back << " -> "
                          << qPrintable(again);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, PositionRoundTrip,
                         ::testing::Values(TRate{25, 1}, TRate{30000, 1001}, TRate{24000, 1001},
                                           TRate{50, 1}, TRate{60000, 1001}));

} // namespace
