#include "DvFrameBuilder.h"
#include "GstTestEnvironment.h"
#include "base/PrivateMessages.h"
#include "media/gst/GstFramesNotifier.h"
#include "media/gst/GstStreamNotifier.h"
#include "media/gst/NotifyStructure.h"

#include "TestPrinters.h"
#include <gst/check/gstharness.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr GstClockTime kFrame = 40 * GST_MSECOND;

GstBuffer* Buffer(const std::uint8_t* data, std::size_t size, GstClockTime pts = 0)
{
    GstBuffer* b = gst_buffer_new_memdup(data, size);
    GST_BUFFER_PTS(b) = pts;
    GST_BUFFER_DURATION(b) = kFrame;
    return b;
}

std::vector<TNotifyPayload> Payloads(TBusCollector& bus)
{
    std::vector<TNotifyPayload> out;
    for (GstMessage* m : bus.Take()) {
        TNotifyPayload p;
        if (PayloadFromStructure(gst_message_get_structure(m), p))
            out.push_back(p);
        gst_message_unref(m);
    }
    return out;
}

const TNotifyPayload* Find(const std::vector<TNotifyPayload>& v, int message)
{
    const auto it =
        std::find_if(v.begin(), v.end(), [&](const auto& p) { return p.message == message; });
    return it == v.end() ? nullptr : &*it;
}

int Count(const std::vector<TNotifyPayload>& v, int message)
{
    return int(
        std::count_if(v.begin(), v.end(), [&](const auto& p) { return p.message == message; }));
}

class StreamNotifierElement : public ::testing::Test {
protected:
    void SetUp() override { EnsureGstreamer(); }

    // Pushes one buffer and checks it comes out untouched.
    void PushThrough(GstHarness* h, const TDvFrameBuilder& b)
    {
        ASSERT_EQ(gst_harness_push(h, Buffer(b.Data(), b.Size())), GST_FLOW_OK);
        GstBuffer* out = gst_harness_pull(h);
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(gst_buffer_get_size(out), b.Size());
        EXPECT_EQ(gst_buffer_memcmp(out, 0, b.Data(), b.Size()), 0);
        gst_buffer_unref(out);
    }
};

TEST_F(StreamNotifierElement, DvVideoDateAndTimecode)
{
    const THarness harness(gst_harness_new("streamnotifier"));
    GstHarness* h = harness.get();
    TBusCollector bus(h->element);
    g_object_set(h->element, "datecode-format", "yyyy-mm-dd hh:nn:ss", nullptr);
    gst_harness_set_src_caps_str(
        h, "video/x-dv,systemstream=false,width=720,height=576,framerate=25/1");
    for (int f = 0; f < 3; ++f) {
        TDvFrameBuilder b;
        b.Timecode(0, 0, 0, f).Recording(2039, 2, 28, 23, 59, 58).Display(2);
        PushThrough(h, b);
    }
    const auto p = Payloads(bus);
    ASSERT_EQ(Count(p, NM_DATECODE), 1);
    EXPECT_EQ(Count(p, NM_TIMECODE), 3);
    const TNotifyPayload* date = Find(p, NM_DATECODE);
    EXPECT_TRUE(date->frame.dateValid);
    EXPECT_EQ(date->frame.dateText, u"2039-02-28 23:59:58");
    EXPECT_EQ(date->frame.timecodeText, u"0:00:00:00");
    std::vector<QString> codes;
    for (const auto& x : p)
        if (x.message == NM_TIMECODE)
            codes.push_back(x.frame.timecodeText);
    EXPECT_EQ(codes,
              (std::vector<QString>{QStringLiteral("0:00:00:00"), QStringLiteral("0:00:00:01"),
                                    QStringLiteral("0:00:00:02")}));
    const TNotifyPayload* video = nullptr;
    for (const auto& x : p)
        if (x.message == NM_VIDEO_INFO)
            video = &x;
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->video.description, u"DV Type 2 Pal (16x9)");
    EXPECT_EQ(video->video.averageFrameTime, 400'000);
    EXPECT_EQ(TessStreamNotifierFrameData(h->element).frameNumber, 2);
}

TEST_F(StreamNotifierElement, InterleavedNtscAndWrongSizes)
{
    const THarness harness(gst_harness_new("streamnotifier"));
    GstHarness* h = harness.get();
    TBusCollector bus(h->element);
    gst_harness_set_src_caps_str(h, "video/x-dv,systemstream=true");
    TDvFrameBuilder b(false);
    b.Structure(1, 0).Timecode(1, 0, 0, 0);
    PushThrough(h, b);
    EXPECT_EQ(TessStreamNotifierVideoData(h->element).description, u"DV type1 NTSC  (4x3) ");
    const TframeData f = TessStreamNotifierFrameData(h->element);
    EXPECT_TRUE(f.dvInfoFormat);
    EXPECT_TRUE(f.dvFrameRead);
    EXPECT_EQ(f.audioText, u"DV 44100Hz 16bits stéréo");
    bus.Take();
    // A cut frame passes untouched and teaches nothing.
    TDvFrameBuilder cut(false);
    cut.Timecode(2, 0, 0, 0);
    cut.Bytes().resize(119'999);
    PushThrough(h, cut);
    EXPECT_EQ(Count(Payloads(bus), NM_TIMECODE), 0);
    EXPECT_EQ(TessStreamNotifierFrameData(h->element).timecodeText, u"1:00:00:00");
}

TEST_F(StreamNotifierElement, Mpeg2AndCapsChange)
{
    const THarness harness(gst_harness_new("streamnotifier"));
    GstHarness* h = harness.get();
    TBusCollector bus(h->element);
    gst_harness_set_src_caps_str(h, "video/mpeg,mpegversion=2,systemstream=false,width=720,"
                                    "height=576,framerate=25/1,pixel-aspect-ratio=16/15");
    const std::uint8_t header[] = {0, 0, 1, 0xB3, 0x2D, 0x02, 0x40, 0x33, 0xFF, 0xFF, 0xE0, 0x18};
    gst_harness_push(h, Buffer(header, sizeof header));
    gst_buffer_unref(gst_harness_pull(h));
    EXPECT_EQ(TessStreamNotifierVideoData(h->element).description, u"MPEG2 (16x9)");
    auto p = Payloads(bus);
    EXPECT_EQ(Find(p, NM_FRAME_DURATION)->frameDuration, 400'000);

    gst_harness_set_src_caps_str(h, "video/mpeg,mpegversion=2,systemstream=false,width=720,"
                                    "height=480,framerate=30000/1001,pixel-aspect-ratio=10/11");
    p = Payloads(bus);
    ASSERT_NE(Find(p, NM_FRAME_DURATION), nullptr);
    EXPECT_EQ(Find(p, NM_FRAME_DURATION)->frameDuration, 333'667);
    EXPECT_EQ(Find(p, NM_VIDEO_INFO)->video.sizeText, u"720x480 - 29.97 fps");
    // A sample too short for a header is read safely.
    gst_harness_push(h, Buffer(header, 6));
    gst_buffer_unref(gst_harness_pull(h));
}

TEST_F(StreamNotifierElement, ProgramStartStateReportsNothing)
{
    GstElement* e = TessStreamNotifierNew("Video Source Notifier");
    const THarness harness(gst_harness_new_with_element(e, "sink", "src"));
    GstHarness* h = harness.get();
    TBusCollector bus(h->element);
    gboolean enabled = TRUE;
    g_object_get(e, "enabled", &enabled, nullptr);
    EXPECT_FALSE(enabled);
    gst_harness_set_src_caps_str(h, "video/x-dv,systemstream=false,width=720,height=576");
    TDvFrameBuilder b;
    b.Timecode(1, 2, 3, 4);
    PushThrough(h, b);
    EXPECT_TRUE(bus.Names().empty());
    g_object_set(e, "timecode-notify", TRUE, nullptr);
    b.Timecode(1, 2, 3, 5);
    PushThrough(h, b);
    EXPECT_EQ(bus.Names(), (std::vector<std::string>{"NM_TIMECODE"}));
    g_object_set(e, "dv-overlay", TRUE, nullptr);
    EXPECT_EQ(bus.Names(), (std::vector<std::string>{"NM_STREAM_CODES"}));
    TessStreamNotifierReset(e);
    gboolean timecode = TRUE;
    g_object_get(e, "timecode-notify", &timecode, nullptr);
    EXPECT_FALSE(timecode);
    gst_object_unref(e);
}

class FramesNotifierElement : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureGstreamer();
        h = gst_harness_new("framesnotifier");
        bus = std::make_unique<TBusCollector>(h->element);
        gst_harness_set_src_caps_str(h, "video/x-raw,format=I420,width=64,height=48,"
                                        "framerate=25/1");
    }
    void TearDown() override
    {
        bus.reset();
        gst_harness_teardown(h);
    }
    // Pushes frames from `from` to `to` (excluded); returns how many reached downstream.
    int PushFrames(GstClockTime from, GstClockTime to)
    {
        const std::uint8_t pixels[64 * 48 * 3 / 2] = {};
        for (GstClockTime t = from; t < to; t += kFrame)
            EXPECT_EQ(gst_harness_push(h, Buffer(pixels, sizeof pixels, t)), GST_FLOW_OK);
        int delivered = 0;
        while (GstBuffer* b = gst_harness_try_pull(h)) {
            ++delivered;
            gst_buffer_unref(b);
        }
        return delivered;
    }
    void NewSegment(GstClockTime start, GstClockTime time)
    {
        gst_harness_push_event(h, gst_event_new_flush_start());
        gst_harness_push_event(h, gst_event_new_flush_stop(TRUE));
        GstSegment segment;
        gst_segment_init(&segment, GST_FORMAT_TIME);
        segment.start = start;
        segment.time = time;
        segment.position = start;
        gst_harness_push_event(h, gst_event_new_segment(&segment));
    }

    GstHarness* h = nullptr;
    std::unique_ptr<TBusCollector> bus;
};

TEST_F(FramesNotifierElement, FrameDurationAndPositions)
{
    auto p = Payloads(*bus);
    ASSERT_NE(Find(p, NM_FRAME_DURATION), nullptr);
    EXPECT_EQ(Find(p, NM_FRAME_DURATION)->frameDuration, 400'000);
    gint64 duration = 0;
    g_object_get(h->element, "frame-duration", &duration, nullptr);
    EXPECT_EQ(duration, 400'000);
    EXPECT_EQ(PushFrames(0, 3 * kFrame), 3);
    p = Payloads(*bus);
    EXPECT_EQ(Count(p, NM_POSITION_TEXT), 3);
    EXPECT_EQ(Count(p, NM_POSITION_CHANGED), 3);
    EXPECT_EQ(p.back().text, u"0:00:00:02");
    EXPECT_EQ(TessFramesNotifierCurrentPosition(h->element), 800'000);
}

TEST_F(FramesNotifierElement, PositionIsStreamTime)
{
    // Time stamps start at 0.08 s, as with B-frames; the stream time starts at 0.
    NewSegment(80 * GST_MSECOND, 0);
    bus->Take();
    PushFrames(80 * GST_MSECOND, 160 * GST_MSECOND);
    const auto p = Payloads(*bus);
    ASSERT_EQ(Count(p, NM_POSITION_TEXT), 2);
    EXPECT_EQ(p[1].text, u"0:00:00:00");
    EXPECT_EQ(p[1].position, 0);
}

TEST_F(FramesNotifierElement, TargetAfterFlushingSeek)
{
    PushFrames(0, 5 * kFrame);
    g_object_set(h->element, "deliver", FALSE, nullptr);
    TessFramesNotifierArmTarget(h->element, 0, 120'000'000); // 12 s
    NewSegment(10 * GST_SECOND, 10 * GST_SECOND);
    bus->Take();
    // Frames from 10 s to 12.4 s: only those from 12 s on are shown.
    const int delivered = PushFrames(10 * GST_SECOND, 12 * GST_SECOND + 400 * GST_MSECOND);
    EXPECT_EQ(delivered, 10);
    const auto p = Payloads(*bus);
    ASSERT_EQ(Count(p, NM_TARGET_REACHED), 1);
    const TNotifyPayload* reached = Find(p, NM_TARGET_REACHED);
    EXPECT_EQ(reached->position, 120'000'000);
    EXPECT_EQ(reached->target, 120'000'000);
    gboolean deliver = FALSE;
    g_object_get(h->element, "deliver", &deliver, nullptr);
    EXPECT_TRUE(deliver);
}

} // namespace
