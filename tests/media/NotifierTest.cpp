#include "DvFrameBuilder.h"
#include "base/PrivateMessages.h"
#include "media/core/TNotifier.h"

#include "TestPrinters.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Messages(const TNotifyReports& r)
{
    std::vector<int> m;
    for (const auto& p : r)
        m.push_back(p.message);
    return m;
}

TStreamFormat DvCaps(bool system, bool pal = true)
{
    TStreamFormat f;
    f.name = QStringLiteral("video/x-dv");
    f.systemStream = system;
    if (!system) {
        f.width = 720;
        f.height = pal ? 576 : 480;
        f.fpsNum = pal ? 25 : 30000;
        f.fpsDen = pal ? 1 : 1001;
    }
    return f;
}

class NotifierTest : public ::testing::Test {
protected:
    void Start(const TStreamFormat& format)
    {
        n.SetLocale(QLocale::c());
        n.StreamStart();
        n.SetMediaType(format, out);
    }
    TNotifyReports Push(const TDvFrameBuilder& b)
    {
        out.clear();
        n.ProcessSample(b.Data(), b.Size(), out);
        return out;
    }

    TNotifier n;
    TNotifyReports out;
};

TEST_F(NotifierTest, ResetState)
{
    EXPECT_FALSE(n.Enabled());
    EXPECT_EQ(n.FrameData().dateText, u"No Datecode");
    EXPECT_EQ(n.FrameData().timecodeText, u"No Timecode");
    EXPECT_EQ(n.DatecodeFormat(), u"dddddd - tt");
    n.SetAudioNotify(true);
    n.SetVideoNotify(true);
    n.Reset();
    EXPECT_TRUE(n.AudioNotify()); // kept
    EXPECT_FALSE(n.VideoNotify());
    EXPECT_TRUE(n.Enabled());
}

TEST_F(NotifierTest, DisabledPassesWithoutLooking)
{
    Start(DvCaps(false));
    TDvFrameBuilder b;
    b.Timecode(1, 2, 3, 4);
    EXPECT_TRUE(Push(b).empty());
    EXPECT_FALSE(n.FrameData().timecodeValid);
    n.SetTimecodeNotify(false); // any switch enables reading
    Push(b);
    EXPECT_TRUE(n.FrameData().timecodeValid);
}

TEST_F(NotifierTest, DvVideoFrame)
{
    n.SetVideoNotify(true);
    n.SetDatecodeNotify(true);
    n.SetTimecodeNotify(true);
    n.SetDatecodeFormat(QStringLiteral("dd/mm/yyyy hh:nn:ss"));
    Start(DvCaps(false));
    ASSERT_EQ(Messages(out), (std::vector<int>{NM_VIDEO_INFO, NM_VIDEO_INFO}));
    EXPECT_EQ(out[0].kind, kVideoInfoAspect);
    EXPECT_EQ(out[1].kind, kVideoInfoFormat);

    TDvFrameBuilder b;
    b.Timecode(1, 2, 3, 4).Recording(2007, 8, 9, 10, 11, 12).Display(2);
    const auto r = Push(b);
    // Shape changed (aspect class), first sample video, datecode, timecode.
    EXPECT_EQ(Messages(r), (std::vector<int>{NM_VIDEO_INFO, NM_VIDEO_INFO, NM_VIDEO_INFO,
                                             NM_VIDEO_INFO, NM_DATECODE, NM_TIMECODE}));
    const TVideoData& v = n.VideoData();
    EXPECT_EQ(v.description, u"DV Type 2 Pal (16x9)");
    EXPECT_EQ(v.aspectClass, acAspect16x9);
    EXPECT_EQ(v.frameRate, 25);
    const TframeData& f = n.FrameData();
    EXPECT_TRUE(f.dvFrameRead);
    EXPECT_EQ(f.frameNumber, 0);
    EXPECT_EQ(f.tvSystem, tvSystem625);
    EXPECT_EQ(f.dateText, u"09/08/2007 10:11:12");
    EXPECT_EQ(f.timecodeText, u"1:02:03:04");
    EXPECT_EQ(r[4].frame.dateText, f.dateText);
    EXPECT_EQ(r[5].frame.timecodeText, u"1:02:03:04");

    // Same frame again: nothing changed, nothing reported.
    EXPECT_TRUE(Push(b).empty());
    EXPECT_EQ(n.FrameData().frameNumber, 1);

    b.Timecode(1, 2, 3, 5);
    EXPECT_EQ(Messages(Push(b)), (std::vector<int>{NM_TIMECODE}));
}

TEST_F(NotifierTest, DvVideoNtscBehindDvNotifier)
{
    n.SetVideoNotify(true);
    n.SetBehindDvNotifier(true);
    Start(DvCaps(false, false));
    TDvFrameBuilder b(false);
    Push(b);
    EXPECT_EQ(n.VideoData().description, u"DV type 1 NTSC (4x3)");
    EXPECT_EQ(n.VideoData().frameRate, 30000.0 / 1001);
    EXPECT_EQ(n.FrameData().tvSystem, tvSystem525);
    EXPECT_EQ(n.FrameData().dateText, u"N/A");
    EXPECT_EQ(n.FrameData().timecodeText, u"N/A");
}

TEST_F(NotifierTest, WrongSizeIsIgnored)
{
    n.SetTimecodeNotify(true);
    Start(DvCaps(false));
    TDvFrameBuilder b;
    b.Timecode(1, 2, 3, 4);
    b.Bytes().resize(100'000);
    EXPECT_TRUE(Push(b).empty());
    EXPECT_EQ(n.FrameData().timecodeText, u"No Timecode");
    EXPECT_FALSE(n.FrameData().dvFrameRead);
}

TEST_F(NotifierTest, InterleavedFrame)
{
    n.SetVideoNotify(true);
    n.SetAudioNotify(true);
    Start(DvCaps(true));
    EXPECT_TRUE(n.FrameData().dvInfoFormat);
    EXPECT_EQ(n.FrameData().tvSystem, tvSystemUndecided);
    TDvFrameBuilder b;
    b.Structure(0, 0);
    const auto r = Push(b);
    const TVideoData& v = n.VideoData();
    EXPECT_EQ(v.description, u"DV type1 Pal  (4x3) ");
    EXPECT_EQ(v.sizeText, u"720x576 - 25 fps");
    EXPECT_EQ(v.width, 720);
    EXPECT_EQ(v.height, 576);
    EXPECT_EQ(n.FrameData().audioText, u"DV 48000Hz 16bits stéréo");
    EXPECT_EQ(n.FrameData().samplingRate, 48000);
    EXPECT_TRUE(n.FrameData().dvFrameRead);
    // Audio changed, first sample (audio then video), audio text changed.
    EXPECT_EQ(r.front().message, NM_VIDEO_INFO);
    EXPECT_EQ(
        std::count_if(r.begin(), r.end(), [](const auto& p) { return p.message == NM_AUDIO_INFO; }),
        3);

    TDvFrameBuilder ntsc(false);
    ntsc.Structure(2, 1).Display(2);
    Push(ntsc);
    EXPECT_EQ(n.VideoData().description, u"DV type1 NTSC  (16x9) ");
    EXPECT_EQ(n.VideoData().sizeText, u"720x480 - 29.97 fps");
    EXPECT_EQ(n.FrameData().audioText, u"DV 32000Hz 12bits stéréo");

    // A tie keeps the size fields; the broken structure is seen.
    TDvFrameBuilder tie(false);
    for (int s = 0; s < 5; ++s)
        tie.System(s, 0xBF);
    Push(tie);
    EXPECT_EQ(n.FrameData().tvSystem, tvSystemUndecided);
    EXPECT_EQ(n.VideoData().height, 480);
    EXPECT_EQ(n.VideoData().description, u"DV type1  (4x3) ");
    EXPECT_FALSE(n.FrameData().dvFrameRead);
}

TEST_F(NotifierTest, Mpeg2SequenceHeader)
{
    n.SetVideoNotify(true);
    TStreamFormat f;
    f.name = QStringLiteral("video/mpeg");
    f.version = 2;
    f.width = 352;
    f.height = 288;
    f.fpsNum = 25;
    Start(f);
    std::vector<std::uint8_t> h = {0, 0, 1, 0xB3, 0x2D, 0x02, 0x40, 0x38, 0xFF, 0xFF, 0xE0, 0x18};
    out.clear();
    n.ProcessSample(h.data(), h.size(), out);
    EXPECT_EQ(n.VideoData().width, 720);
    EXPECT_EQ(n.VideoData().height, 576);
    EXPECT_EQ(n.VideoData().frameRate, 60);
    EXPECT_EQ(n.VideoData().description, u"MPEG2 (16x9)");
    const TVideoData before = n.VideoData();
    // A picture that does not start with a header, and a header cut short, change nothing.
    std::vector<std::uint8_t> picture = {0, 0, 1, 0x00, 0x12, 0x34, 0x56, 0x78};
    out.clear();
    n.ProcessSample(picture.data(), picture.size(), out);
    n.ProcessSample(h.data(), 11, out);
    EXPECT_EQ(n.VideoData(), before);
    EXPECT_TRUE(out.empty());
}

TEST_F(NotifierTest, AudioDescription)
{
    n.SetAudioNotify(true);
    TStreamFormat f;
    f.name = QStringLiteral("audio/x-raw");
    f.format = QStringLiteral("S16LE");
    f.channels = 2;
    f.rate = 48000;
    f.bitsPerSample = 16;
    f.bitRate = 1'536'000;
    Start(f);
    ASSERT_EQ(Messages(out), (std::vector<int>{NM_AUDIO_INFO}));
    EXPECT_EQ(out[0].kind, kAudioInfoFormat);
    EXPECT_EQ(n.FrameData().audioText, u"PCM 48000Hz 16bits  stéréo");

    f.name = QStringLiteral("audio/mpeg");
    f.version = 1;
    f.layer = 3;
    f.channels = 1;
    f.bitsPerSample = 0;
    f.bitRate = 128'000;
    f.rate = 44100;
    n.SetMediaType(f, out);
    EXPECT_EQ(n.FrameData().audioText, u"MP3 44100Hz 128Kb/s mono");
    f.channels = 6;
    n.SetMediaType(f, out);
    EXPECT_EQ(n.FrameData().audioText, u"MP3 44100Hz 128Kb/s 6 canaux");
}

TEST_F(NotifierTest, FirstSampleAfterEachStartReportsAll)
{
    n.SetVideoNotify(true);
    n.SetAudioNotify(true);
    n.SetPositionNotify(true);
    Start(DvCaps(false));
    TDvFrameBuilder b;
    Push(b);
    for (int run = 0; run < 2; ++run) {
        n.StreamStart();
        const auto r = Push(b);
        EXPECT_EQ(Messages(r), (std::vector<int>{NM_AUDIO_INFO, NM_VIDEO_INFO, NM_VIDEO_INFO,
                                                 NM_FRAME_DURATION}));
        EXPECT_EQ(r.back().frameDuration, 400'000);
        EXPECT_EQ(n.FrameData().frameNumber, 0);
    }
}

TEST_F(NotifierTest, EarliestDateAndOverlay)
{
    n.SetDatecodeNotify(true);
    Start(DvCaps(false));
    TDvFrameBuilder later;
    later.Recording(2008, 1, 2, 3, 4, 5).Timecode(0, 0, 1, 0);
    TDvFrameBuilder earlier;
    earlier.Recording(2001, 1, 2, 3, 4, 5);
    Push(later);
    Push(earlier);
    Push(later);
    const double early = n.FrameData().earliestDate;
    EXPECT_GT(early, 0);
    EXPECT_LT(early, n.FrameData().date);

    out.clear();
    n.SetDvOverlay(true, out);
    ASSERT_EQ(Messages(out), (std::vector<int>{NM_STREAM_CODES}));
    EXPECT_TRUE(out[0].overlay.dateValid);
    EXPECT_EQ(out[0].overlay.timecodeText, u"0:00:01:00");
    const auto r = Push(later);
    EXPECT_EQ(r.back().message, NM_STREAM_CODES);
    out.clear();
    n.SetDvOverlay(false, out);
    EXPECT_EQ(out.size(), 1u);
    EXPECT_EQ(Push(later).size(), 0u);
}

} // namespace

// The element reads ahead of the picture: the codes of a frame are found again by its time.
TEST_F(NotifierTest, CodesAreKeptUnderEachSamplesTimeAndFoundNearest)
{
    n.SetDatecodeNotify(true);
    Start(DvCaps(false));
    EXPECT_FALSE(n.CodesAt(0, 20).has_value()); // nothing read yet
    for (int f = 0; f < 200; ++f) {
        TDvFrameBuilder b;
        b.Timecode(1, 2, 3 + f / 25, f % 25).Recording(2003, 7, 14, 9, 8, 7);
        Push(b);
        n.RecordCodesAt(std::int64_t(f) * 40);
    }
    const auto at = [this](std::int64_t t, std::int64_t tolerance = 20) {
        const auto c = n.CodesAt(t, tolerance);
        return c && c->timecodeValid ? c->timecodeText : QStringLiteral("none");
    };
    EXPECT_EQ(at(199 * 40), u"1:02:10:24");
    EXPECT_EQ(at(150 * 40 + 19), u"1:02:09:00"); // nearest within half a frame
    EXPECT_EQ(at(150 * 40 + 21), u"1:02:09:01");
    EXPECT_EQ(at(200 * 40 + 30), u"none"); // past the last one read
    EXPECT_EQ(at(72 * 40), u"1:02:05:22"); // the oldest of the last 128
    EXPECT_EQ(at(71 * 40), u"none");       // overwritten
    const auto c = n.CodesAt(100 * 40, 20);
    ASSERT_TRUE(c.has_value());
    EXPECT_TRUE(c->dateValid);
    EXPECT_GT(c->date, 0);
}
