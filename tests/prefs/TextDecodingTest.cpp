#include "base/TextDecoding.h"
#include "base/NumberText.h"

#include <gtest/gtest.h>

TEST(TextDecoding, EightBitTextIsUtf8WhenValidElseWindows1252)
{
    EXPECT_EQ(DecodeText(QByteArray("caf\xC3\xA9")), QStringLiteral("café"));
    EXPECT_EQ(DecodeText(QByteArray("caf\xE9 \x80 \x9C")), QStringLiteral("café € œ"));
    EXPECT_EQ(DecodeText(QByteArray("\xFF\xFE")), QString());
    EXPECT_EQ(DecodeText(QByteArray("\xFF\xFE"
                                    "a",
                                    3)),
              QString()); // odd byte dropped
}

TEST(NumberText, FloatsAreShortAndReadBothSeparators)
{
    EXPECT_EQ(FloatToText(0.1), QStringLiteral("0.1"));
    EXPECT_EQ(FloatToText(-3.0), QStringLiteral("-3"));
    double v = 0;
    EXPECT_TRUE(TextToFloat(FloatToText(1.0 / 3.0), v));
    EXPECT_EQ(v, 1.0 / 3.0);
    EXPECT_TRUE(TextToFloat(QStringLiteral(" 2,5 "), v));
    EXPECT_EQ(v, 2.5);
    EXPECT_FALSE(TextToFloat(QStringLiteral("1,2,3"), v));
    EXPECT_FALSE(TextToFloat(QString(), v));
    qint32 i = 0;
    EXPECT_TRUE(TextToInt(QStringLiteral(" -12 "), i));
    EXPECT_EQ(i, -12);
    EXPECT_FALSE(TextToInt(QStringLiteral("99999999999"), i));
}
