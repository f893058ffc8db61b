// Decoder choice on real pipelines: the remembered decoder first, exclusions, the retry, "next
// decoder" through every candidate and back, each one checked by its pictures against an
// independent decode; the memory through the three stores.
#include "MediaMaker.h"
#include "TestDirs.h"
#include "TestPrinters.h"
#include "media/TDecoderBranch.h"
#include "media/TDecoderList.h"
#include "media/TGrapheMan.h"
#include "media/TMediaFactory.h"
#include "media/gst/TPipelineBus.h"
#include "prefs/TDravikPreferences.h"

#include <QTemporaryDir>

#include <gst/app/gstappsink.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

struct TFrame {
    int width = 0, height = 0;
    QByteArray bgrx;
    int Number() const
    {
        return bgrx.isEmpty()
                   ? -2
                   : MediaMaker::ReadStrip(reinterpret_cast<const std::uint8_t*>(bgrx.constData()),
                                           width * 4, width, height);
    }
};

// Mean absolute difference of two BGRx pictures of the same size, per byte.
double Difference(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size() || a.isEmpty())
        return 1e9;
    qint64 sum = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (i % 4 != 3)
            sum += std::abs(int(quint8(a[i])) - int(quint8(b[i])));
    return double(sum) / (double(a.size()) * 3 / 4);
}

// A renderer of our own for the tests: the frames as BGRx, at their size.
GstElement* TestRenderer(bool aVideo)
{
    GstElement* bin = gst_bin_new(nullptr);
    GstElement* first = nullptr;
    if (aVideo) {
        GstElement* convert = gst_element_factory_make("videoconvert", nullptr);
        GstElement* sink = gst_element_factory_make("appsink", "frames");
        GstCaps* caps = gst_caps_from_string("video/x-raw,format=BGRx");
        g_object_set(sink, "caps", caps, "sync", FALSE, "max-buffers", 2, "drop", TRUE, nullptr);
        gst_caps_unref(caps);
        gst_bin_add_many(GST_BIN(bin), convert, sink, nullptr);
        gst_element_link(convert, sink);
        first = convert;
    } else {
        GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
        GstElement* sink = gst_element_factory_make("fakesink", nullptr);
        g_object_set(sink, "sync", FALSE, nullptr);
        gst_bin_add_many(GST_BIN(bin), convert, sink, nullptr);
        gst_element_link(convert, sink);
        first = convert;
    }
    TGstRef<GstPad> in(gst_element_get_static_pad(first, "sink"));
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", in.get()));
    return bin;
}

TFrame FrameOf(GstSample* s)
{
    TFrame f;
    const GstStructure* st = gst_caps_get_structure(gst_sample_get_caps(s), 0);
    gst_structure_get_int(st, "width", &f.width);
    gst_structure_get_int(st, "height", &f.height);
    GstBuffer* b = gst_sample_get_buffer(s);
    f.bgrx.resize(f.width * f.height * 4);
    gst_buffer_extract(b, 0, f.bgrx.data(), f.bgrx.size());
    return f;
}

TFrame Shown(GstElement* aRenderer)
{
    TGstRef<GstElement> sink(gst_bin_get_by_name(GST_BIN(aRenderer), "frames"));
    TGstSampleRef s(gst_app_sink_try_pull_preroll(GST_APP_SINK(sink.get()), 5 * GST_SECOND));
    return s ? FrameOf(s.get()) : TFrame();
}

class Decoders : public ::testing::Test {
protected:
    void SetUp() override
    {
        factory.GrapheMan = &graph;
        VideoDecoderMemory().Clear();
        AudioDecoderMemory().Clear();
    }
    void TearDown() override
    {
        branch.Remove();
        if (source)
            source->Disconnect();
        if (renderer)
            graph.Remove(renderer);
    }
    // Connects the first video source of aFile to a test renderer through the branch.
    bool Open(const QString& aFile)
    {
        TFileDevice* d = factory.GetDevice(aFile);
        if (!d || !d->Video(0))
            return false;
        source = d->Video(0);
        renderer = TestRenderer(true);
        return source->Connect(&graph, &sink) &&
               graph.Add(renderer, QStringLiteral("Ko VideoWindow")) &&
               branch.Connect(graph, *source, renderer, VideoDecoderMemory());
    }
    // The "next decoder" steps: exclude the one found, forget it, build again where we were.
    bool Next()
    {
        branch.Exclude(branch.Found());
        VideoDecoderMemory().Forget(branch.Key());
        const qint64 at = graph.Position();
        branch.Remove();
        graph.SetPositionToRestore(at);
        return branch.Connect(graph, *source, renderer, VideoDecoderMemory());
    }
    // Frame 0 and frame 10 as this decoder shows them, against ffmpeg's. Frame 10 is reached by
    // playing: exact seeking is the navigation's business (MPEG program streams need more).
    void CheckPictures(const QList<QByteArray>& aReference, const QString& aDecoder)
    {
        ASSERT_TRUE(graph.SeekAccurate(0))
            << aDecoder.toStdString() << ": " << graph.Bus().LastError().toStdString();
        TFrame first = Shown(renderer);
        EXPECT_EQ(first.Number(), 0) << aDecoder.toStdString();
        EXPECT_LT(Difference(first.bgrx, aReference.value(0)), 8.0) << aDecoder.toStdString();
        TGstRef<GstElement> frames(gst_bin_get_by_name(GST_BIN(renderer), "frames"));
        g_object_set(frames.get(), "drop", FALSE, "max-buffers", 0u, nullptr);
        ASSERT_TRUE(graph.Play());
        TFrame later;
        for (int i = 0; i < 30 && later.Number() != 10; ++i) {
            TGstSampleRef s(
                gst_app_sink_try_pull_sample(GST_APP_SINK(frames.get()), 5 * GST_SECOND));
            if (!s)
                break;
            later = FrameOf(s.get());
        }
        EXPECT_EQ(later.Number(), 10) << aDecoder.toStdString();
        EXPECT_LT(Difference(later.bgrx, aReference.value(10)), 8.0) << aDecoder.toStdString();
        ASSERT_TRUE(graph.Pause());
        g_object_set(frames.get(), "drop", TRUE, "max-buffers", 2u, nullptr);
    }
    // Next decoder as many times as there are candidates, plus one: each candidate that can
    // play the stream shows the right pictures, and the first comes back.
    void Cycle(const QString& aFile, int aWidth, int aHeight)
    {
        ASSERT_FALSE(aFile.isEmpty());
        ASSERT_TRUE(Open(aFile)) << graph.Bus().LastError().toStdString();
        const QList<QByteArray> reference =
            MediaMaker::DecodeWithFfmpeg(aFile, aWidth, aHeight, 12);
        ASSERT_GE(reference.size(), 11);
        const QStringList candidates = TDecoderBranch::Candidates(source->Caps());
        ASSERT_FALSE(candidates.isEmpty());
        const QString first = branch.Found();
        EXPECT_EQ(first, candidates.first());
        QStringList seen;
        for (int i = 0; i <= candidates.size(); ++i) {
            seen << branch.Found();
            CheckPictures(reference, branch.Found());
            ASSERT_TRUE(Next()) << graph.Bus().LastError().toStdString();
        }
        for (const QString& c : candidates)
            if (!seen.contains(c))
                ADD_FAILURE() << "never tried " << c.toStdString();
        EXPECT_EQ(seen.last(), first) << seen.join(u' ').toStdString(); // and back
    }

    TGrapheMan graph;
    TMediaFactory factory;
    QObject sink;
    TDecoderBranch branch{true};
    TVideoSource* source = nullptr;
    GstElement* renderer = nullptr;
    QTemporaryDir dir;
};

TEST_F(Decoders, NextDecoderCyclesThroughEveryH264Candidate)
{
    Cycle(MediaMaker::Mp4H264Aac(dir.path()), 320, 240);
}

TEST_F(Decoders, NextDecoderCyclesThroughEveryMpeg2Candidate)
{
    Cycle(MediaMaker::Mpeg2Program(dir.path()), 320, 240);
}

TEST_F(Decoders, NextDecoderCyclesThroughEveryDvCandidate)
{
    Cycle(MediaMaker::DvType2Avi(dir.path()), 720, 576);
}

TEST_F(Decoders, TheRememberedDecoderComesFirstAndExclusionsHold)
{
    const QString file = MediaMaker::Mpeg2Program(dir.path());
    ASSERT_FALSE(file.isEmpty());
    {
        // Remembered: the second candidate is taken although the first ranks higher.
        TFileDevice* d = factory.GetDevice(file);
        const QStringList candidates = TDecoderBranch::Candidates(d->Video(0)->Caps());
        ASSERT_GE(candidates.size(), 2);
        TMediaTypeKey key;
        key.Major = QStringLiteral("video");
        key.Subtype = QStringLiteral("video/mpeg");
        key.Format = QStringLiteral("mpegversion=2,systemstream=false");
        VideoDecoderMemory().Remember(
            key, std::make_unique<TFilterRec>(candidates[1], QStringLiteral("x")));
        ASSERT_TRUE(Open(file));
        EXPECT_EQ(branch.Key(), key);
        EXPECT_EQ(branch.Found(), candidates[1]);
        // The memory now holds what was found, with its shown name.
        EXPECT_EQ(VideoDecoderMemory().Find(key)->Factory, candidates[1]);
        EXPECT_NE(VideoDecoderMemory().Find(key)->Name, u"x");
    }
    // A remembered decoder that is not installed: decodebin chooses, the memory follows.
    branch.Remove();
    VideoDecoderMemory().Remember(
        branch.Key(), std::make_unique<TFilterRec>(QStringLiteral("gone"), QStringLiteral("gone")));
    ASSERT_TRUE(branch.Connect(graph, *source, renderer, VideoDecoderMemory()));
    EXPECT_NE(VideoDecoderMemory().Find(branch.Key())->Factory, u"gone");

    // The H.264 exclusion rule with a stand-in decoder: never chosen, even remembered.
    TDecoderBranch h264(true);
    h264.H264Excluded = QStringLiteral("avdec_h264");
    TearDown();
    source = nullptr;
    const QString mp4 = MediaMaker::Mp4H264Aac(dir.path());
    TFileDevice* d = factory.GetDevice(mp4);
    ASSERT_TRUE(d && d->Video(0));
    TVideoSource* v = d->Video(0);
    GstElement* r = TestRenderer(true);
    ASSERT_TRUE(v->Connect(&graph, &sink));
    ASSERT_TRUE(graph.Add(r, QStringLiteral("Ko VideoWindow")));
    VideoDecoderMemory().Remember(
        v->MediaType(),
        std::make_unique<TFilterRec>(QStringLiteral("avdec_h264"), QStringLiteral("libav")));
    if (TDecoderBranch::Candidates(v->Caps()).size() > 1) {
        ASSERT_TRUE(h264.Connect(graph, *v, r, VideoDecoderMemory()));
        EXPECT_NE(h264.Found(), u"avdec_h264");
        EXPECT_TRUE(h264.Excluded().contains(QStringLiteral("avdec_h264")));
    }
    h264.Remove();
    v->Disconnect();
    graph.Remove(r);
}

TEST_F(Decoders, RawAudioNeedsNoDecoderAndSaysSo)
{
    const QString wav = MediaMaker::Wav(dir.path());
    TFileDevice* d = factory.GetDevice(wav);
    ASSERT_TRUE(d && d->Audio(0));
    TDecoderBranch audio(false);
    GstElement* r = TestRenderer(false);
    TAudioSource* a = d->Audio(0);
    ASSERT_TRUE(a->Connect(&graph, &sink));
    ASSERT_TRUE(graph.Add(r, QStringLiteral("Ko Audio Renderer")));
    ASSERT_TRUE(audio.Connect(graph, *a, r, AudioDecoderMemory()));
    EXPECT_EQ(audio.Found(), QString());
    EXPECT_EQ(audio.FoundName(), u"Pas de décodeur audio");
    audio.Remove();
    a->Disconnect();
    graph.Remove(r);
}

TEST(DecoderMemory, RoundTripsThroughEveryStoreAndForgetsWhatWasDropped)
{
    TTestConfigHome home;
    for (TSavePreferences mode : {spRegistre, spPortable, spNone}) {
        TDecoderList list;
        TMediaTypeKey h264{QStringLiteral("video"), QStringLiteral("video/x-h264"),
                           QStringLiteral("stream-format=avc")};
        TMediaTypeKey dv{QStringLiteral("video"), QStringLiteral("video/x-dv"),
                         QStringLiteral("systemstream=false")};
        list.Remember(h264, std::make_unique<TFilterRec>(QStringLiteral("avdec_h264"),
                                                         QStringLiteral("libav H.264")));
        list.Remember(
            dv, std::make_unique<TFilterRec>(QString(), QStringLiteral("Pas de décodeur Video")));
        list.Remember(h264, std::make_unique<TFilterRec>(QStringLiteral("openh264dec"),
                                                         QStringLiteral("OpenH264")));
        EXPECT_EQ(list.Count(), 2);
        EXPECT_EQ(list.IndexOf(dv), 1);
        {
            TDravikPreferences gp;
            gp.SetProgramFolder(home.Path());
            gp.SetHiveFile(home.HiveFile());
            gp.ApplyMode(mode);
            gp.OpenSection(QStringLiteral("ShowForm"));
            // An old longer list is replaced, not merged.
            TDecoderList longer;
            for (int i = 0; i < 4; ++i)
                longer.Remember(
                    {QStringLiteral("video"), QStringLiteral("v%1").arg(i), QString()},
                    std::make_unique<TFilterRec>(QStringLiteral("f"), QStringLiteral("n")));
            longer.SaveToPrefs(gp, QStringLiteral("VideoDecoders"));
            list.SaveToPrefs(gp, QStringLiteral("VideoDecoders"));
            gp.CloseSection();
            gp.SaveNow();
        }
        TDravikPreferences gp;
        gp.SetProgramFolder(home.Path());
        gp.SetHiveFile(home.HiveFile());
        gp.ApplyMode(mode);
        gp.OpenSection(QStringLiteral("ShowForm"));
        TDecoderList back;
        back.LoadFromPrefs(gp, QStringLiteral("VideoDecoders"));
        gp.CloseSection();
        if (mode == spNone) {
            EXPECT_EQ(back.Count(), 0);
            continue;
        }
        ASSERT_EQ(back.Count(), 2) << mode;
        EXPECT_EQ(back.Find(h264)->Factory, u"openh264dec");
        EXPECT_EQ(back.Find(h264)->Name, u"OpenH264");
        EXPECT_TRUE(back.Find(dv)->IsNull());
        EXPECT_EQ(back.Find(dv)->Name, u"Pas de décodeur Video");
        back.Forget(dv);
        EXPECT_EQ(back.Find(dv), nullptr);
    }
}

} // namespace
