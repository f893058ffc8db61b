// Navigation lands on the exact frame, checked by the frame-number strip of the picture shown:
// random precise seeks and single steps on H.264 with B-frames, DV, MPEG-2 program streams and
// a 29.97 frames a second file; queued steps; seeks while playing; a file shorter than it says.
#include "MediaMaker.h"
#include "TestPrinters.h"
#include "media/TDecoderBranch.h"
#include "media/TDecoderList.h"
#include "media/TMediaFactory.h"
#include "media/TNavMan.h"
#include "media/gst/GstFramesNotifier.h"
#include "media/gst/TPipelineBus.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <gst/app/gstappsink.h>
#include <gtest/gtest.h>

#include <random>

namespace {

// What the window would be: convert, frames notifier, sink, as the video manager builds it.
struct TTestVideo {
    GstElement* bin = gst_bin_new(nullptr);
    GstElement* notifier = TessFramesNotifierNew("Frames Notifier");
    GstElement* sink = gst_element_factory_make("appsink", nullptr);

    TTestVideo()
    {
        GstElement* convert = gst_element_factory_make("videoconvert", nullptr);
        GstCaps* caps = gst_caps_from_string("video/x-raw,format=BGRx");
        // Nobody pulls while playing: the end must not wait for the samples to be taken.
        g_object_set(sink, "caps", caps, "sync", TRUE, "max-buffers", 1u, "drop", TRUE,
                     "wait-on-eos", FALSE, nullptr);
        gst_caps_unref(caps);
        gst_bin_add_many(GST_BIN(bin), convert, notifier, sink, nullptr);
        gst_element_link_many(convert, notifier, sink, nullptr);
        TGstRef<GstPad> in(gst_element_get_static_pad(convert, "sink"));
        gst_element_add_pad(bin, gst_ghost_pad_new("sink", in.get()));
    }
    // The number in the strip of the frame the sink holds.
    int Shown() const
    {
        GstSample* last = nullptr;
        g_object_get(sink, "last-sample", &last, nullptr); // what it holds, not taken from it
        TGstSampleRef s(last);
        if (!s)
            return -2;
        const GstStructure* st = gst_caps_get_structure(gst_sample_get_caps(s.get()), 0);
        int w = 0, h = 0;
        gst_structure_get_int(st, "width", &w);
        gst_structure_get_int(st, "height", &h);
        GstMapInfo map;
        GstBuffer* b = gst_sample_get_buffer(s.get());
        if (!gst_buffer_map(b, &map, GST_MAP_READ))
            return -3;
        const int n = MediaMaker::ReadStrip(map.data, w * 4, w, h);
        gst_buffer_unmap(b, &map);
        return n;
    }
};

class Navigation : public ::testing::Test {
protected:
    void SetUp() override
    {
        factory.GrapheMan = &nav;
        nav.Setup();
        VideoDecoderMemory().Clear();
    }
    void TearDown() override
    {
        nav.SetFramesNotifier(nullptr, nullptr);
        videoBranch.Remove();
        audioBranch.Remove();
        if (video)
            video->Disconnect();
        if (audio)
            audio->Disconnect();
    }
    // Opens aFile as the program does: sound first, then the picture, then the range.
    void Open(const QString& aFile)
    {
        ASSERT_FALSE(aFile.isEmpty());
        TFileDevice* d = factory.GetDevice(aFile);
        ASSERT_TRUE(d && d->Valid());
        nav.NewFile();
        audio = d->Audio(0);
        if (audio) {
            GstElement* a = gst_parse_bin_from_description(
                "audioconvert ! audioresample ! fakesink sync=true", TRUE, nullptr);
            ASSERT_TRUE(audio->Connect(&nav, &sink));
            ASSERT_TRUE(nav.Add(a, QStringLiteral("Ko Audio Renderer")));
            ASSERT_TRUE(audioBranch.Connect(nav, *audio, a, AudioDecoderMemory()));
        }
        video = d->Video(0);
        ASSERT_NE(video, nullptr);
        ASSERT_TRUE(video->Connect(&nav, &sink));
        ASSERT_TRUE(nav.Add(picture.bin, QStringLiteral("Ko VideoWindow")));
        nav.ResetForStream();
        nav.SetFramesNotifier(picture.notifier, picture.sink, videoBranch.KeyFrames());
        nav.SetVideoSource(video);
        ASSERT_TRUE(videoBranch.Connect(nav, *video, picture.bin, VideoDecoderMemory()))
            << nav.Bus().LastError().toStdString();
        nav.ReadDuration();
        // The frame duration comes with the first frame's format.
        for (int i = 0; i < 50 && nav.FrameDuration() <= 1; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        ASSERT_GT(nav.FrameDuration(), 1);
        nav.SetRange(true, -1, -1);
        ASSERT_EQ(picture.Shown(), 0);
        // The first frame is at 0, whatever time the stream starts at (0.5 s in MPEG-PS).
        EXPECT_EQ(nav.CurrentPosition(), 0);
    }
    qint64 Frame(int n) const { return n * nav.FrameDuration() + nav.FrameDuration() / 3; }
    int FrameCount() const { return int(nav.TotalDuration() / nav.FrameDuration()); }

    // Random precise seeks, then single steps forward and back.
    void LandsOnEveryFrame(int aSeeks, int aSteps)
    {
        std::mt19937 random(42);
        const int last = FrameCount() - 3;
        ASSERT_GT(last, 10);
        for (int i = 0; i < aSeeks; ++i) {
            const int k = std::uniform_int_distribution<int>(1, last)(random);
            nav.PreciseSeekTo(Frame(k));
            ASSERT_EQ(picture.Shown(), k) << "seek " << i << " to frame " << k;
        }
        nav.PreciseSeekTo(Frame(5));
        int at = 5;
        for (int i = 0; i < aSteps; ++i) {
            const bool forward = (i / 7) % 2 == 0 ? at < last : at <= 1;
            if (forward) {
                nav.StepForward(nav.FrameDuration());
                ++at;
            } else {
                nav.StepBack(nav.FrameDuration());
                --at;
            }
            ASSERT_EQ(picture.Shown(), at) << "step " << i << (forward ? " forward" : " back");
        }
        EXPECT_NE(nav.State(), gmPlaying);
    }

    TNavMan nav;
    TMediaFactory factory;
    QObject sink;
    TTestVideo picture;
    TDecoderBranch videoBranch{true};
    TDecoderBranch audioBranch{false};
    TVideoSource* video = nullptr;
    TAudioSource* audio = nullptr;
    QTemporaryDir dir;
};

TEST_F(Navigation, H264WithBFramesLandsOnEveryFrame)
{
    Open(MediaMaker::Mp4H264Aac(dir.path(), 75));
    LandsOnEveryFrame(50, 100);
}

// Moves of up to a second forward decode on from the frame shown: with the sound's own paused
// sink holding its branch, with and without a key frame on the way.
TEST_F(Navigation, ShortMovesForwardDecodeOnToTheirFrame)
{
    MediaMaker::TClip clip;
    clip.Frames = 150;
    clip.Output = {QStringLiteral("-c:v"), QStringLiteral("libx264"), QStringLiteral("-g"),
                   QStringLiteral("30"),   QStringLiteral("-bf"),     QStringLiteral("2"),
                   QStringLiteral("-c:a"), QStringLiteral("aac")};
    const QString file = QDir(dir.path()).filePath(QStringLiteral("gop30.mp4"));
    ASSERT_TRUE(MediaMaker::Make(file, clip));
    Open(file);
    ASSERT_NE(audio, nullptr);
    int at = 0;
    for (int step : {3, 7, 12, 24, 1, 9, 20, 25, 2, 13, 30}) {
        at += step;
        nav.PreciseSeekTo(Frame(at));
        ASSERT_EQ(picture.Shown(), at) << "forward " << step;
        EXPECT_NE(nav.State(), gmPlaying);
    }
    // Back and forward again: what was learnt of the key frames does not mislead.
    for (int target : {40, 47, 61, 64, 89, 100}) {
        nav.PreciseSeekTo(Frame(target));
        ASSERT_EQ(picture.Shown(), target);
    }
}

TEST_F(Navigation, DvLandsOnEveryFrame)
{
    Open(MediaMaker::DvType2Avi(dir.path(), 40));
    LandsOnEveryFrame(50, 100);
}

TEST_F(Navigation, Mpeg2ProgramStreamLandsOnEveryFrame)
{
    Open(MediaMaker::Mpeg2Program(dir.path(), 75));
    LandsOnEveryFrame(50, 100);
}

// A first seek to the target itself lands after the last key frame of a program stream: the
// decoder then fails. Each is the first seek of a fresh open, so many frames from the end.
class NavigationNearTheEnd : public Navigation, public ::testing::WithParamInterface<int> {};

TEST_P(NavigationNearTheEnd, Mpeg2LandsOnItsFirstSeek)
{
    Open(MediaMaker::Mpeg2Program(dir.path(), 250));
    const int k = FrameCount() - GetParam();
    QElapsedTimer t;
    t.start();
    nav.PreciseSeekTo(Frame(k));
    EXPECT_EQ(picture.Shown(), k);
    EXPECT_LT(t.elapsed(), 5000);
}

INSTANTIATE_TEST_SUITE_P(FramesFromTheEnd, NavigationNearTheEnd, ::testing::Values(21, 8, 3));

TEST_F(Navigation, NtscRateLandsOnEveryFrame)
{
    MediaMaker::TClip c;
    c.Frames = 60;
    c.Rate = QStringLiteral("30000/1001");
    c.Output = {QStringLiteral("-c:v"), QStringLiteral("libx264"),  QStringLiteral("-g"),
                QStringLiteral("15"),   QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"),
                QStringLiteral("-c:a"), QStringLiteral("aac")};
    const QString file = dir.filePath(QStringLiteral("ntsc.mp4"));
    ASSERT_TRUE(MediaMaker::Make(file, c));
    Open(file);
    EXPECT_EQ(nav.FrameDuration(), 333'667);
    LandsOnEveryFrame(50, 100);
}

TEST_F(Navigation, QueuedStepsMoveAsManyFramesAndStayPaused)
{
    Open(MediaMaker::Mp4H264Aac(dir.path(), 75));
    nav.PreciseSeekTo(Frame(20));
    ASSERT_EQ(picture.Shown(), 20);
    // Ten key presses arrive before any is handled, as auto-repeat does.
    for (int i = 0; i < 10; ++i)
        QTimer::singleShot(0, &nav, [this] { nav.StepForward(nav.FrameDuration()); });
    for (int i = 0; i < 50 && picture.Shown() != 30; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
    EXPECT_EQ(picture.Shown(), 30);
    EXPECT_NE(nav.State(), gmPlaying);
    for (int i = 0; i < 10; ++i)
        QTimer::singleShot(0, &nav, [this] { nav.StepBack(nav.FrameDuration()); });
    for (int i = 0; i < 50 && picture.Shown() != 20; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(picture.Shown(), 20);
}

TEST_F(Navigation, APreciseSeekWhilePlayingKeepsPlaying)
{
    Open(MediaMaker::Mp4H264Aac(dir.path(), 75));
    ASSERT_TRUE(nav.Play());
    nav.PreciseSeekTo(Frame(40));
    EXPECT_EQ(nav.State(), gmPlaying);
    ASSERT_EQ(nav.Bus().WaitForBus(GST_MESSAGE_EOS, 10000), GST_MESSAGE_EOS);
}

TEST_F(Navigation, ASeekPastTheEndOfATruncatedFileReturns)
{
    const QString whole = MediaMaker::DvType2Avi(dir.path(), 40);
    const QString cut =
        MediaMaker::Truncated(whole, 144000 * 20 + 20000, QStringLiteral("cut.avi"));
    Open(cut);
    QElapsedTimer clock;
    clock.start();
    nav.PreciseSeekTo(Frame(35)); // the header says 40 frames, about 20 are there
    EXPECT_LT(clock.elapsed(), 15000);
    const int shown = picture.Shown();
    EXPECT_GE(shown, 0);
    EXPECT_LE(shown, 21);
    // Delivery is back on: a later seek shows its frame.
    nav.PreciseSeekTo(Frame(10));
    EXPECT_EQ(picture.Shown(), 10);
}

TEST_F(Navigation, StepsClampToTheRangeAndThePositionTellsItsFraction)
{
    Open(MediaMaker::DvType2Avi(dir.path(), 40));
    QList<int> fractions;
    nav.OnKPosition = [&](int k) { fractions << k; };
    nav.StepBack(10 * nav.FrameDuration());
    EXPECT_EQ(picture.Shown(), 0);
    nav.GoToEnd();
    nav.CurrentPosition();
    // The end is the last frame, and no step goes past it.
    EXPECT_EQ(picture.Shown(), FrameCount() - 1);
    nav.StepForward(10 * nav.FrameDuration());
    EXPECT_EQ(picture.Shown(), FrameCount() - 1);
    nav.GoToStart();
    nav.CurrentPosition();
    ASSERT_FALSE(fractions.isEmpty());
    EXPECT_EQ(fractions.last(), 0);
    // An empty range tells 0 instead of dividing by zero.
    nav.SetRange(false, 0, 0);
    nav.PreciseSeekTo(Frame(3));
    nav.CurrentPosition();
}

} // namespace
