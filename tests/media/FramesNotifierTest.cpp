#include "base/PrivateMessages.h"
#include "media/core/TFramesNotifier.h"

#include "TestPrinters.h"

#include <gtest/gtest.h>

namespace {

TStreamFormat Video(int fpsNum, int fpsDen)
{
    TStreamFormat f;
    f.name = QStringLiteral("video/x-raw");
    f.format = QStringLiteral("I420");
    f.width = 320;
    f.height = 240;
    f.fpsNum = fpsNum;
    f.fpsDen = fpsDen;
    return f;
}

TEST(FramesNotifier, FrameDurationFromEachFormat)
{
    TFramesNotifier n;
    EXPECT_EQ(n.FrameDuration(), 1);
    TNotifyReports out;
    n.SetMediaType(Video(25, 1), out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].message, NM_FRAME_DURATION);
    EXPECT_EQ(out[0].frameDuration, 400'000);
    EXPECT_EQ(n.FrameDuration(), 400'000);
    out.clear();
    n.SetMediaType(Video(0, 1), out); // variable rate
    EXPECT_EQ(out[0].frameDuration, TFramesNotifier::kFallbackFrameTime);
    n.SetMediaType(Video(30000, 1001), out);
    EXPECT_EQ(out.back().frameDuration, 333'667);
}

TEST(FramesNotifier, TargetFiresOnceOnTheRightFrame)
{
    TFramesNotifier n;
    n.SetFrameDuration(400'000);
    n.SetDeliver(false);
    n.ArmTarget(0, 20'000'000);
    TNotifyReports out;
    EXPECT_FALSE(n.ProcessSample(true, 19'600'000, out));
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(n.IsArmed(0));
    EXPECT_TRUE(n.ProcessSample(true, 20'000'000, out)); // delivery back on with the target
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].message, NM_TARGET_REACHED);
    EXPECT_EQ(out[0].slot, 0);
    EXPECT_EQ(out[0].target, 20'000'000);
    EXPECT_EQ(out[0].position, 20'000'000);
    EXPECT_FALSE(n.IsArmed(0));
    out.clear();
    n.ProcessSample(true, 20'400'000, out);
    EXPECT_TRUE(out.empty());
}

TEST(FramesNotifier, DroppedSamplesTellNoPosition)
{
    TFramesNotifier n;
    n.SetNotify(true);
    n.SetFrameDuration(400'000);
    TNotifyReports out;
    n.ProcessSample(true, 0, out);
    out.clear();
    n.SetDeliver(false);
    n.ArmTarget(0, 2'000'000);
    for (qint64 p = 400'000; p < 2'000'000; p += 400'000)
        EXPECT_FALSE(n.ProcessSample(true, p, out));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(n.CurrentPosition(), 1'600'000); // still counted for the waits
    EXPECT_TRUE(n.ProcessSample(true, 2'000'000, out));
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].message, NM_TARGET_REACHED);
    EXPECT_EQ(out[1].message, NM_POSITION_CHANGED);
    EXPECT_EQ(out[2].text, u"0:00:00:05");
}

TEST(FramesNotifier, TwoSlotsAndHalfFrameRule)
{
    TFramesNotifier n;
    n.SetFrameDuration(400'000);
    n.ArmTarget(1, 10'000'000);
    n.ArmTarget(0, 10'000'000);
    TNotifyReports out;
    n.ProcessSample(true, 9'800'000, out); // exactly target - d/2: not yet
    EXPECT_TRUE(out.empty());
    n.ProcessSample(true, 9'800'001, out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].slot, 0);
    EXPECT_EQ(out[1].slot, 1);
    n.ArmTarget(5, 1); // no such slot
    EXPECT_FALSE(n.IsArmed(5));
}

TEST(FramesNotifier, PositionTexts)
{
    TFramesNotifier n;
    n.SetNotify(true);
    n.SetFrameDuration(400'000);
    TNotifyReports out;
    n.ProcessSample(true, 0, out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].message, NM_POSITION_CHANGED);
    EXPECT_EQ(out[1].message, NM_POSITION_TEXT);
    EXPECT_EQ(out[1].text, u"0:00:00:00");
    out.clear();
    n.ProcessSample(true, 100'000, out); // same frame text
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].message, NM_POSITION_TEXT);
    out.clear();
    n.ProcessSample(false, 0, out); // no time stamp: the last position stays
    EXPECT_EQ(n.CurrentPosition(), 100'000);
    n.StreamStart();
    out.clear();
    n.ProcessSample(true, 100'000, out);
    EXPECT_EQ(out.size(), 2u); // the text counts as new after a start
    n.SetNotify(false);
    out.clear();
    n.ProcessSample(true, 800'000, out);
    EXPECT_TRUE(out.empty());
    // On again: the frame that went by unreported is told at once.
    n.SetNotify(true, &out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1].text, u"0:00:00:02");
    n.SetNotify(true, &out); // already on: nothing new
    EXPECT_EQ(out.size(), 2u);
    // With frame duration 1 the last field counts 100 ns units.
    n.SetNotify(true);
    n.SetFrameDuration(1);
    n.ProcessSample(true, 12'345, out);
    EXPECT_EQ(out.back().text, u"0:00:00:12345");
    n.ProcessSample(true, -400'000, out); // before the segment start
    EXPECT_EQ(out.back().text, u"0:00:00:00");
}

} // namespace
