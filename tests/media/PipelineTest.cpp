// Real pipelines on media made here: a DV file (video from the DV encoder, packs written by the
// test) and an MPEG-2 elementary stream, with the messages that reach the main thread.
#include "GstTestEnvironment.h"
#include "TestPrinters.h"
#include "base/PrivateMessages.h"
#include "media/core/TNotifyEvent.h"
#include "media/gst/GstFramesNotifier.h"
#include "media/gst/TNotifyRouter.h"
#include "media/gst/TPipelineBus.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gst/app/gstappsink.h>
#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

constexpr int kFrames = 12;

class TCollector : public QObject {
public:
    std::vector<TNotifyPayload> got;

    int Count(int message) const
    {
        int n = 0;
        for (const auto& p : got)
            n += p.message == message;
        return n;
    }
    std::vector<TNotifyPayload> All(int message) const
    {
        std::vector<TNotifyPayload> out;
        for (const auto& p : got)
            if (p.message == message)
                out.push_back(p);
        return out;
    }

protected:
    bool event(QEvent* e) override
    {
        if (const TNotifyEvent* n = TNotifyEvent::From(e)) {
            got.push_back(n->Payload());
            return true;
        }
        return QObject::event(e);
    }
};

GstElement* Launch(const QString& description)
{
    GError* error = nullptr;
    GstElement* p = gst_parse_launch(description.toUtf8().constData(), &error);
    if (error) {
        ADD_FAILURE() << error->message;
        g_error_free(error);
    }
    return p;
}

// Plays a pipeline to its end, handling Qt events meanwhile. False on error or time-out.
bool PlayToEnd(GstElement* pipeline, TPipelineBus& bus, int timeoutMs = 20'000)
{
    bus.Drain();
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    const GstMessageType end = bus.WaitForBus(GST_MESSAGE_EOS, timeoutMs);
    if (end == GST_MESSAGE_ERROR)
        ADD_FAILURE() << bus.LastError().toStdString();
    else if (end != GST_MESSAGE_EOS)
        ADD_FAILURE() << "no end of stream within " << timeoutMs << " ms";
    QCoreApplication::sendPostedEvents();
    gst_element_set_state(pipeline, GST_STATE_NULL);
    return end == GST_MESSAGE_EOS;
}

std::uint8_t Bcd(int v)
{
    return std::uint8_t(((v / 10) << 4) | (v % 10));
}

// Encodes PAL frames with the DV encoder and writes the camcorder packs into every sequence:
// timecode 10:20:30:<frame>, recorded 2006-05-04 03:02:01, 16:9.
QByteArray MakeDvTape()
{
    GstElement* enc =
        Launch(QStringLiteral(
                   "videotestsrc num-buffers=%1 pattern=ball ! video/x-raw,format=I420,width=720,"
                   "height=576,framerate=25/1,pixel-aspect-ratio=16/15 ! avenc_dvvideo ! appsink "
                   "name=out sync=false")
                   .arg(kFrames));
    if (!enc)
        return {};
    GstElement* sink = gst_bin_get_by_name(GST_BIN(enc), "out");
    gst_element_set_state(enc, GST_STATE_PLAYING);
    QByteArray tape;
    for (int f = 0; GstSample* s = gst_app_sink_pull_sample(GST_APP_SINK(sink)); ++f) {
        GstBuffer* b = gst_sample_get_buffer(s);
        QByteArray frame(int(gst_buffer_get_size(b)), '\0');
        gst_buffer_extract(b, 0, frame.data(), frame.size());
        gst_sample_unref(s);
        if (frame.size() != 144000) {
            ADD_FAILURE() << "DV frame of " << frame.size() << " bytes";
            break;
        }
        auto* d = reinterpret_cast<std::uint8_t*>(frame.data());
        for (int n = 0; n < 12; ++n) {
            std::uint8_t* seq = d + n * 12000;
            for (int id : {110, 190}) {
                const std::uint8_t tc[] = {0x13, Bcd(f), Bcd(30), Bcd(20), Bcd(10)};
                std::copy(std::begin(tc), std::end(tc), seq + id);
            }
            const std::uint8_t rec[] = {0x62, 0xFF, Bcd(4), Bcd(5), Bcd(6),
                                        0x63, 0xFF, Bcd(1), Bcd(2), Bcd(3)};
            std::copy(std::begin(rec), std::end(rec), seq + 458);
            if (n % 2 == 0) {
                seq[453] = 0x61;
                seq[455] = 0xC8 | 0x02; // display mode 2: 16:9
            }
        }
        tape += frame;
    }
    gst_element_set_state(enc, GST_STATE_NULL);
    gst_object_unref(sink);
    gst_object_unref(enc);
    return tape;
}

class Pipelines : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureGstreamer();
        ASSERT_TRUE(dir.isValid());
    }
    QString File(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
};

TEST_F(Pipelines, DvTapeDatecodeTimecodeAndPositions)
{
    const QByteArray tape = MakeDvTape();
    ASSERT_EQ(tape.size(), kFrames * 144000);
    QFile file(File("tape.dv"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(tape);
    file.close();

    GstElement* pipeline =
        Launch(QStringLiteral("filesrc location=\"%1\" ! dvdemux ! streamnotifier name=sn "
                              "datecode-format=\"yyyy-mm-dd hh:nn:ss\" ! queue ! avdec_dvvideo ! "
                              "videoconvert ! framesnotifier name=fn ! fakesink sync=false")
                   .arg(file.fileName()));
    ASSERT_NE(pipeline, nullptr);
    GstElement* sn = gst_bin_get_by_name(GST_BIN(pipeline), "sn");
    GstElement* fn = gst_bin_get_by_name(GST_BIN(pipeline), "fn");
    TCollector dv, video, nav;
    TNotifyRouter router;
    router.SetTarget(sn, NM_DATECODE, &dv);
    router.SetTarget(sn, NM_TIMECODE, &dv);
    router.SetTarget(sn, NM_VIDEO_INFO, &video);
    router.SetTarget(fn, NM_POSITION_CHANGED, &video);
    router.SetTarget(fn, NM_POSITION_TEXT, &nav);
    router.SetTarget(fn, NM_FRAME_DURATION, &nav);
    router.SetTarget(fn, NM_TARGET_REACHED, &nav);
    TessFramesNotifierArmTarget(fn, 0, 4 * 400'000);
    TPipelineBus owner(pipeline, &router);

    ASSERT_TRUE(PlayToEnd(pipeline, owner));

    const auto dates = dv.All(NM_DATECODE);
    ASSERT_EQ(dates.size(), 1u);
    EXPECT_EQ(dates[0].frame.dateText, u"2006-05-04 03:02:01");
    const auto codes = dv.All(NM_TIMECODE);
    ASSERT_EQ(codes.size(), size_t(kFrames));
    for (int f = 0; f < kFrames; ++f)
        EXPECT_EQ(codes[f].frame.timecodeText, QString::asprintf("10:20:30:%.2d", f));
    ASSERT_GT(video.Count(NM_VIDEO_INFO), 0);
    EXPECT_EQ(video.All(NM_VIDEO_INFO).back().video.description, u"DV Type 2 Pal (16x9)");
    const auto changed = video.All(NM_POSITION_CHANGED);
    ASSERT_EQ(changed.size(), size_t(kFrames));
    EXPECT_EQ(changed.front().text, u"0:00:00:00");
    EXPECT_EQ(changed.back().text, u"0:00:00:11");
    EXPECT_EQ(nav.Count(NM_POSITION_TEXT), kFrames);
    ASSERT_GT(nav.Count(NM_FRAME_DURATION), 0);
    EXPECT_EQ(nav.All(NM_FRAME_DURATION).back().frameDuration, 400'000);
    const auto reached = nav.All(NM_TARGET_REACHED);
    ASSERT_EQ(reached.size(), 1u);
    EXPECT_EQ(reached[0].position, 4 * 400'000);
    gst_object_unref(sn);
    gst_object_unref(fn);
    gst_object_unref(pipeline);
}

TEST_F(Pipelines, PreciseSeekStopsOnTheTargetOnce)
{
    const QByteArray tape = MakeDvTape();
    ASSERT_EQ(tape.size(), kFrames * 144000);
    QFile file(File("seek.dv"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(tape);
    file.close();
    GstElement* pipeline =
        Launch(QStringLiteral("filesrc location=\"%1\" ! dvdemux ! queue ! avdec_dvvideo ! "
                              "framesnotifier name=fn ! fakesink name=sink sync=false "
                              "signal-handoffs=true")
                   .arg(file.fileName()));
    ASSERT_NE(pipeline, nullptr);
    GstElement* fn = gst_bin_get_by_name(GST_BIN(pipeline), "fn");
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
    std::vector<GstClockTime> shown;
    g_signal_connect(
        sink, "handoff", G_CALLBACK(+[](GstElement*, GstBuffer* b, GstPad*, gpointer user) {
            static_cast<std::vector<GstClockTime>*>(user)->push_back(GST_BUFFER_PTS(b));
        }),
        &shown);
    TCollector nav;
    TNotifyRouter router;
    router.SetTarget(fn, NM_TARGET_REACHED, &nav);
    router.SetTarget(fn, NM_POSITION_TEXT, &nav);
    TPipelineBus owner(pipeline, &router);

    gst_element_set_state(pipeline, GST_STATE_PAUSED);
    ASSERT_EQ(gst_element_get_state(pipeline, nullptr, nullptr, 10 * GST_SECOND),
              GST_STATE_CHANGE_SUCCESS);
    // Hide the frames before the target, aim a little before it, play until it is reached.
    g_object_set(fn, "deliver", FALSE, nullptr);
    TessFramesNotifierArmTarget(fn, 0, 7 * 400'000);
    shown.clear();
    ASSERT_TRUE(gst_element_seek_simple(pipeline, GST_FORMAT_TIME,
                                        GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT),
                                        3 * 40 * GST_MSECOND));
    ASSERT_TRUE(PlayToEnd(pipeline, owner));

    const auto reached = nav.All(NM_TARGET_REACHED);
    ASSERT_EQ(reached.size(), 1u);
    EXPECT_EQ(reached[0].position, 7 * 400'000);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), 7 * 40 * GST_MSECOND); // frames 3 to 6 were dropped
    EXPECT_EQ(shown.size(), size_t(kFrames - 7));
    EXPECT_EQ(nav.All(NM_POSITION_TEXT).back().text, u"0:00:00:11");
    gst_object_unref(sink);
    gst_object_unref(fn);
    gst_object_unref(pipeline);
}

TEST_F(Pipelines, Mpeg2SequenceHeaders)
{
    // The ffmpeg command line: avenc_mpeg2video of this GStreamer refuses every frame rate.
    const QString path = File("clip.m2v");
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
                  QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"),
                  QStringLiteral("lavfi"), QStringLiteral("-i"),
                  QStringLiteral("testsrc=size=720x576:rate=25"), QStringLiteral("-frames:v"),
                  QStringLiteral("10"), QStringLiteral("-c:v"), QStringLiteral("mpeg2video"),
                  QStringLiteral("-g"), QStringLiteral("5"), QStringLiteral("-aspect"),
                  QStringLiteral("16:9"), path});
    if (!ffmpeg.waitForStarted())
        GTEST_SKIP() << "no ffmpeg";
    ASSERT_TRUE(ffmpeg.waitForFinished(30'000));
    ASSERT_EQ(ffmpeg.exitCode(), 0) << ffmpeg.readAllStandardError().toStdString();

    GstElement* pipeline =
        Launch(QStringLiteral("filesrc location=\"%1\" ! mpegvideoparse ! streamnotifier "
                              "name=sn ! fakesink sync=false")
                   .arg(path));
    ASSERT_NE(pipeline, nullptr);
    TCollector video;
    TNotifyRouter router;
    router.SetTarget(NM_VIDEO_INFO, &video);
    TPipelineBus owner(pipeline, &router);
    ASSERT_TRUE(PlayToEnd(pipeline, owner));
    const auto infos = video.All(NM_VIDEO_INFO);
    ASSERT_FALSE(infos.empty());
    const TVideoData& v = infos.back().video;
    EXPECT_EQ(v.width, 720);
    EXPECT_EQ(v.height, 576);
    EXPECT_EQ(v.frameRate, 25);
    EXPECT_EQ(v.description, u"MPEG2 (16x9)");
    EXPECT_EQ(v.sizeText, u"720x576 - 25 fps");
    gst_object_unref(pipeline);
}

} // namespace
