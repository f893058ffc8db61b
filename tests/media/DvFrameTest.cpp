#include "DvFrameBuilder.h"
#include "media/core/TDvFrame.h"

#include "TestPrinters.h"

#include <gtest/gtest.h>

namespace {

TDvFrame View(const TDvFrameBuilder& b)
{
    return TDvFrame(b.Data(), b.Size());
}

TEST(DvFrame, OnlyWholeFramesAreRead)
{
    TDvFrameBuilder b;
    b.Timecode(1, 2, 3, 4);
    EXPECT_TRUE(View(b).IsFrame());
    for (std::size_t size : {std::size_t(0), std::size_t(12000), std::size_t(143999),
                             std::size_t(144001), std::size_t(120001)}) {
        const TDvFrame f(b.Data(), size);
        EXPECT_FALSE(f.IsFrame()) << size;
        EXPECT_FALSE(f.Timecode().valid);
        EXPECT_FALSE(f.Recording().valid);
        EXPECT_EQ(f.SystemVote(), tvSystemUndecided);
        EXPECT_EQ(f.At(0, 110), 0xFF);
    }
    EXPECT_FALSE(TDvFrame(nullptr, 144000).IsFrame());
    EXPECT_TRUE(TDvFrame(b.Data(), 120000).IsFrame()); // the first ten sequences
}

TEST(DvFrame, SystemVote)
{
    EXPECT_EQ(View(TDvFrameBuilder(true)).SystemVote(), tvSystem625);
    EXPECT_EQ(View(TDvFrameBuilder(false)).SystemVote(), tvSystem525);
    TDvFrameBuilder tie(true);
    for (int n = 0; n < 5; ++n)
        tie.System(n, 0x3F);
    EXPECT_EQ(View(tie).SystemVote(), tvSystemUndecided);
    // Sequences 10 and 11 do not vote.
    TDvFrameBuilder late(true);
    for (int n = 0; n < 6; ++n)
        late.System(n, 0x3F);
    EXPECT_EQ(View(late).SystemVote(), tvSystem525);
}

TEST(DvFrame, TimecodeWithFlagBits)
{
    TDvFrameBuilder b;
    b.Timecode(23, 59, 58, 24, 0, 0xC0);
    const TDvTimecode tc = View(b).Timecode();
    ASSERT_TRUE(tc.valid);
    EXPECT_EQ(tc.hours, 23);
    EXPECT_EQ(tc.minutes, 59);
    EXPECT_EQ(tc.seconds, 58);
    EXPECT_EQ(tc.frames, 24);
}

TEST(DvFrame, TimecodeNeedsBothPackIdentifiers)
{
    TDvFrameBuilder b;
    b.Timecode(1, 2, 3, 4, 1);
    b.Timecode(9, 9, 9, 9, 0);
    b.At(0, 190) = 0xFF; // sequence 0 only has the first identifier
    b.Timecode(1, 2, 3, 4, 1);
    const TDvTimecode tc = View(b).Timecode();
    ASSERT_TRUE(tc.valid);
    EXPECT_EQ(tc.hours, 1);
    EXPECT_EQ(tc.frames, 4);
    EXPECT_FALSE(View(TDvFrameBuilder()).Timecode().valid);
}

TEST(DvFrame, RecordingDate)
{
    TDvFrameBuilder b;
    b.Recording(2007, 12, 31, 23, 45, 59);
    const TDvRecording rec = View(b).Recording();
    ASSERT_TRUE(rec.valid);
    EXPECT_EQ(rec.dateTime, QDateTime(QDate(2007, 12, 31), QTime(23, 45, 59), Qt::UTC));
}

TEST(DvFrame, RecordingYearsAndAbsentPacks)
{
    TDvFrameBuilder b;
    b.RecordingRaw(0, 0x62, 0x01, 0x01, 0x39, 0x63, 0, 0, 0);
    EXPECT_EQ(View(b).Recording().dateTime.date().year(), 2039);
    b.RecordingRaw(0, 0x62, 0x01, 0x01, 0x40, 0x63, 0, 0, 0);
    EXPECT_EQ(View(b).Recording().dateTime.date().year(), 1940);
    b.RecordingRaw(0, 0x62, 0x01, 0x01, 0x99, 0x63, 0, 0, 0);
    EXPECT_EQ(View(b).Recording().dateTime.date().year(), 1999);
    // Month 10-12 by bit 4.
    b.RecordingRaw(0, 0x62, 0x15, 0x12, 0x05, 0x63, 0, 0, 0);
    EXPECT_EQ(View(b).Recording().dateTime.date(), QDate(2005, 12, 15));
    // Absent packs (zeros) are acceptable but day and month 0 are no date.
    b.RecordingRaw(0, 0x00, 0, 0, 0, 0x00, 0, 0, 0);
    EXPECT_FALSE(View(b).Recording().valid);
    // The first acceptable sequence decides, even when it is no date.
    b.Recording(2010, 1, 1, 0, 0, 0);
    b.RecordingRaw(0, 0x00, 0, 0, 0, 0x00, 0, 0, 0);
    EXPECT_FALSE(View(b).Recording().valid);
    // No acceptable identifier: sequence 0 is skipped.
    b.RecordingRaw(0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0);
    EXPECT_TRUE(View(b).Recording().valid);
    // Impossible dates and times, and years past 99.
    b.RecordingRaw(0, 0x62, 0x31, 0x02, 0x07, 0x63, 0, 0, 0);
    EXPECT_FALSE(View(b).Recording().valid);
    b.RecordingRaw(0, 0x62, 0x01, 0x01, 0x07, 0x63, 0, 0, 0x24);
    EXPECT_FALSE(View(b).Recording().valid);
    b.RecordingRaw(0, 0x62, 0x01, 0x01, 0xA0, 0x63, 0, 0, 0);
    EXPECT_FALSE(View(b).Recording().valid);
}

TEST(DvFrame, WidePicture)
{
    EXPECT_FALSE(View(TDvFrameBuilder()).IsWide());
    EXPECT_TRUE(View(TDvFrameBuilder().Display(2)).IsWide());
    EXPECT_FALSE(View(TDvFrameBuilder().Display(0)).IsWide());
    EXPECT_TRUE(View(TDvFrameBuilder().Display(7, 0)).IsWide());
    EXPECT_FALSE(View(TDvFrameBuilder().Display(7, 1)).IsWide());
    // The first sequence with the pack decides.
    TDvFrameBuilder b;
    b.Display(0, 0, 1).Display(2, 0, 2);
    EXPECT_FALSE(View(b).IsWide());
}

TEST(DvFrame, AudioParameters)
{
    EXPECT_EQ(View(TDvFrameBuilder()).Audio().samplingRate, -1);
    EXPECT_EQ(View(TDvFrameBuilder()).Audio().bitsPerSample, -1);
    const int rates[] = {48000, 44100, 32000, 0};
    for (int code = 0; code < 4; ++code)
        EXPECT_EQ(View(TDvFrameBuilder().AudioSource(code, 0)).Audio().samplingRate, rates[code]);
    EXPECT_EQ(View(TDvFrameBuilder().AudioSource(2, 1)).Audio().bitsPerSample, 12);
    EXPECT_EQ(View(TDvFrameBuilder().AudioSource(2, 0)).Audio().bitsPerSample, 16);
    EXPECT_EQ(View(TDvFrameBuilder().AudioSource(2, 3)).Audio().bitsPerSample, 0);
}

TEST(DvFrame, StructureCheck)
{
    for (bool pal : {true, false}) {
        TDvFrameBuilder good(pal);
        good.Structure();
        EXPECT_TRUE(View(good).StructureOk()) << pal;

        TDvFrameBuilder audioOff = good;
        audioOff.At(pal ? 11 : 9, 5) |= 0x80;
        EXPECT_FALSE(View(audioOff).StructureOk());

        TDvFrameBuilder noControl = good;
        noControl.At(1, 483 + 1280) = 0xFF;
        EXPECT_FALSE(View(noControl).StructureOk());

        TDvFrameBuilder badRate(pal);
        badRate.Structure(3, 0);
        EXPECT_FALSE(View(badRate).StructureOk());

        TDvFrameBuilder otherSystem = good;
        otherSystem.System(0, pal ? 0x3F : 0xBF);
        EXPECT_FALSE(View(otherSystem).StructureOk());

        TDvFrameBuilder noVs = good;
        noVs.At(2, 448) = 0xFF;
        EXPECT_FALSE(View(noVs).StructureOk());
    }
    EXPECT_FALSE(View(TDvFrameBuilder()).StructureOk());
}

} // namespace
