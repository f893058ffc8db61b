// The audio manager on files made here: the branch of an AAC and of a raw PCM stream with their
// decoder and format texts, mute and volume steps on the volume element, the placeholder, next
// decoder through every candidate and back, a disconnection that leaves the video in place, the
// DV roles, the preferences while muted, and the sink that keeps real time without a sound card.
#include "MediaMaker.h"
#include "TestDirs.h"
#include "TestPrinters.h"
#include "actions/TCheckAction.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "media/TAudioMan.h"
#include "media/TDecoderList.h"
#include "media/TMediaFactory.h"
#include "media/TNavMan.h"
#include "media/core/TNotifyEvent.h"
#include "media/gst/TPipelineBus.h"
#include "prefs/TDravikPreferences.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// What the window's gauge, slider and picture were last told.
struct TRecordingDisplay : TAudioDisplay {
    int gaugeMin = -1, gaugeMax = -1, gaugeAlert = -1, gauge = -1;
    int sliderMin = -1, sliderMax = -1, slider = -1;
    int image = -1;
    void SetGaugeRange(int aMin, int aMax, int aAlert) override
    {
        gaugeMin = aMin;
        gaugeMax = aMax;
        gaugeAlert = aAlert;
    }
    void SetGaugeValue(int aValue) override { gauge = aValue; }
    void SetSliderRange(int aMin, int aMax) override
    {
        sliderMin = aMin;
        sliderMax = aMax;
    }
    void SetSliderValue(int aValue) override { slider = aValue; }
    void ShowStatusImage(int aIndex) override { image = aIndex; }
};

bool Muted(GstElement* aVolume)
{
    gboolean on = FALSE;
    g_object_get(aVolume, "mute", &on, nullptr);
    return on;
}

double Linear(GstElement* aVolume)
{
    gdouble v = -1;
    g_object_get(aVolume, "volume", &v, nullptr);
    return v;
}

// What the manager should have chosen here: the first sound output that opens, else fakesink.
QString ExpectedSink()
{
    for (const char* name : {"pulsesink", "alsasink"}) {
        GstElement* e = gst_element_factory_make(name, nullptr);
        if (!e)
            continue;
        gst_object_ref_sink(e);
        const bool ready = gst_element_set_state(e, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
        gst_element_set_state(e, GST_STATE_NULL);
        gst_object_unref(e);
        if (ready)
            return QString::fromLatin1(name);
    }
    return QStringLiteral("fakesink");
}

class AudioMan : public ::testing::Test {
protected:
    void SetUp() override
    {
        factory.GrapheMan = &nav;
        nav.Setup();
        audman.Setup();
        AudioDecoderMemory().Clear();
        audman.OnNotifyAudioDecoder = [this](const QString& t) { decoderText = t; };
        audman.OnNotifyAudioFormat = [this](const QString& t) { formatText = t; };
        audman.OnStatus = [this](TAudioStatus s) { statuses << s; };
        audman.OnVolume = [this](int v) { volumes << v; };
        audman.SetDisplay(&display);
    }
    void TearDown() override
    {
        audman.DisconnectAudio();
        audman.SetDisplay(nullptr);
    }
    TAudioSource* AudioOf(const QString& aFile)
    {
        TFileDevice* d = aFile.isEmpty() ? nullptr : factory.GetDevice(aFile);
        return d ? d->Audio(0) : nullptr;
    }
    // The format report comes from the notifier's streaming thread, through the event queue.
    void WaitForFormat()
    {
        QElapsedTimer clock;
        clock.start();
        while (formatText.isEmpty() && clock.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }

    TNavMan nav;
    TMediaFactory factory;
    TAudioMan audman;
    TRecordingDisplay display;
    QString decoderText, formatText;
    QList<TAudioStatus> statuses;
    QList<int> volumes;
    QTemporaryDir dir;
};

TEST_F(AudioMan, ConnectsAacThroughADecoderAndTellsItsNameAndFormat)
{
    TAudioSource* audio = AudioOf(MediaMaker::Mp4H264Aac(dir.path()));
    ASSERT_NE(audio, nullptr);
    ASSERT_TRUE(audman.ConnectAudio(audio)) << nav.Bus().LastError().toStdString();
    EXPECT_EQ(audman.Status(), asAudioOn);
    EXPECT_EQ(display.image, 4);
    EXPECT_TRUE(audman.Connected());
    EXPECT_EQ(audman.Source(), audio);
    EXPECT_TRUE(nav.Contains(audman.Renderer()));
    EXPECT_EQ(QString::fromUtf8(GST_OBJECT_NAME(audman.Renderer())), u"Ko Audio Renderer");
    const QStringList candidates = TDecoderBranch::Candidates(audio->Caps());
    EXPECT_TRUE(candidates.contains(audman.Branch().Found()))
        << audman.Branch().Found().toStdString();
    EXPECT_EQ(decoderText, audman.Branch().FoundName());
    EXPECT_NE(decoderText, u"Pas de décodeur audio");
    EXPECT_FALSE(decoderText.isEmpty());
    // Remembered for its media type, under the name shown.
    const TFilterRec* remembered = AudioDecoderMemory().Find(audio->MediaType());
    ASSERT_NE(remembered, nullptr);
    EXPECT_EQ(remembered->Factory, audman.Branch().Found());
    // The navigation was told: a new stream and its duration (a 2 s clip).
    EXPECT_GT(nav.TotalDuration(), 15'000'000);
    EXPECT_LT(nav.TotalDuration(), 25'000'000);
    WaitForFormat();
    EXPECT_TRUE(formatText.contains(u"48000Hz")) << formatText.toStdString();
    EXPECT_TRUE(formatText.endsWith(u"mono")) << formatText.toStdString();
    // Asking again for the source already connected changes nothing.
    statuses.clear();
    EXPECT_TRUE(audman.ConnectAudio(audio));
    EXPECT_TRUE(statuses.isEmpty());
}

TEST_F(AudioMan, RawPcmNeedsNoDecoderAndSaysSo)
{
    TAudioSource* audio = AudioOf(MediaMaker::Wav(dir.path()));
    ASSERT_NE(audio, nullptr);
    ASSERT_TRUE(audman.ConnectAudio(audio)) << nav.Bus().LastError().toStdString();
    EXPECT_EQ(audman.Status(), asAudioOn);
    EXPECT_EQ(audman.Branch().Found(), QString());
    EXPECT_EQ(decoderText, u"Pas de décodeur audio");
    WaitForFormat();
    EXPECT_TRUE(formatText.contains(u"48000Hz")) << formatText.toStdString();
    EXPECT_TRUE(formatText.contains(u"16bits")) << formatText.toStdString();

    ASSERT_TRUE(audman.DisconnectAudio());
    EXPECT_EQ(audman.Status(), asNoAudio);
    EXPECT_EQ(display.image, 0);
    EXPECT_EQ(decoderText, u"Aucun décodeur Audio");
    EXPECT_EQ(formatText, u"Pas d'Audio");
    EXPECT_EQ(audman.Source(), NoAudioSource());
    EXPECT_FALSE(nav.Contains(audman.Renderer()));
}

TEST_F(AudioMan, ThePlaceholderGivesNoAudioAndFalse)
{
    EXPECT_EQ(audman.Status(), asNoAudio);
    EXPECT_FALSE(audman.ConnectAudio(NoAudioSource()));
    EXPECT_EQ(audman.Status(), asNoAudio);
    EXPECT_EQ(statuses, QList<TAudioStatus>{asNoAudio});
    EXPECT_FALSE(audman.ConnectAudio(nullptr));
    EXPECT_EQ(audman.Status(), asNoAudio);
    EXPECT_FALSE(audman.Connected());
    EXPECT_EQ(GST_OBJECT_PARENT(audman.Renderer()), nullptr);
}

TEST_F(AudioMan, AFailedConnectionLeavesNoBranch)
{
    TAudioSource* audio = AudioOf(MediaMaker::Wav(dir.path()));
    ASSERT_NE(audio, nullptr);
    // A renderer that breaks at its first buffer, as a broken device would.
    TGstRef<GstElement> convert(gst_bin_get_by_name(GST_BIN(audman.Renderer()), "Audio Convert"));
    ASSERT_NE(convert, nullptr);
    TGstRef<GstPad> in(gst_element_get_static_pad(convert.get(), "sink"));
    gst_pad_add_probe(
        in.get(), GST_PAD_PROBE_TYPE_BUFFER,
        +[](GstPad* aPad, GstPadProbeInfo*, gpointer) {
            GstElement* e = GST_ELEMENT(GST_OBJECT_PARENT(aPad));
            GST_ELEMENT_ERROR(e, RESOURCE, WRITE, ("panne"), ("test"));
            return GST_PAD_PROBE_DROP;
        },
        nullptr, nullptr);

    EXPECT_FALSE(audman.ConnectAudio(audio));
    EXPECT_EQ(audman.Status(), asBadAudio);
    EXPECT_EQ(display.image, 1);
    EXPECT_EQ(decoderText, u"Aucun décodeur Audio");
    EXPECT_EQ(formatText, u"Pas d'Audio");
    EXPECT_FALSE(audman.Connected());
    EXPECT_FALSE(nav.Contains(audman.Renderer()));
    EXPECT_TRUE(nav.ConnectedAudio.isEmpty());
    EXPECT_EQ(audio->Tail(), nullptr);
}

TEST_F(AudioMan, MutingSilencesTheElementWhileTheDisplayKeepsTheVolume)
{
    TAudioSource* audio = AudioOf(MediaMaker::Wav(dir.path()));
    ASSERT_NE(audio, nullptr);
    ASSERT_TRUE(audman.ConnectAudio(audio));
    audman.iaVolume->SetValue(7000);
    EXPECT_EQ(display.gauge, 7000);
    EXPECT_FALSE(Muted(audman.VolumeElement()));
    EXPECT_NEAR(Linear(audman.VolumeElement()),
                std::pow(10.0, TAudioMan::VolumeLevel(7000) / 2000.0), 1e-6);

    audman.caMute->SetChecked(true);
    EXPECT_EQ(audman.Status(), asMuted);
    EXPECT_EQ(display.image, 3);
    EXPECT_TRUE(Muted(audman.VolumeElement()));
    EXPECT_EQ(audman.AppliedLevel(), TAudioMan::kSilenceLevel);
    EXPECT_EQ(display.gauge, 7000);
    EXPECT_EQ(display.slider, 7000);
    EXPECT_EQ(volumes.last(), 7000);
    EXPECT_EQ(audman.CurrentVolume(), 7000);

    audman.caMute->SetChecked(false);
    EXPECT_EQ(audman.Status(), asAudioOn);
    EXPECT_FALSE(Muted(audman.VolumeElement()));
    EXPECT_EQ(audman.AppliedLevel(), TAudioMan::VolumeLevel(7000));

    // Muted before the connection: the new branch starts muted.
    audman.caMute->SetChecked(true);
    audman.DisconnectAudio();
    EXPECT_EQ(audman.Status(), asNoAudio);
    ASSERT_TRUE(audman.ConnectAudio(audio));
    EXPECT_EQ(audman.Status(), asMuted);
    EXPECT_TRUE(Muted(audman.VolumeElement()));
}

TEST_F(AudioMan, VolumeStepsStopAtTheEnds)
{
    audman.iaVolume->SetValue(9500);
    audman.naIncVolume->Apply();
    EXPECT_EQ(audman.CurrentVolume(), 10000);
    EXPECT_EQ(audman.iaVolume->Value(), 10000);
    EXPECT_EQ(audman.AppliedLevel(), 0);
    audman.naIncVolume->Apply();
    EXPECT_EQ(audman.CurrentVolume(), 10000);
    EXPECT_EQ(audman.iaVolume->Value(), 10000);
    EXPECT_EQ(display.gauge, 10000);

    audman.iaVolume->SetValue(500);
    audman.naDecVolume->Apply();
    EXPECT_EQ(audman.CurrentVolume(), 0);
    EXPECT_EQ(audman.iaVolume->Value(), 0);
    EXPECT_EQ(display.slider, 0);
    // -100 dB is not silence: volume 0 mutes the element.
    EXPECT_TRUE(Muted(audman.VolumeElement()));
    EXPECT_EQ(audman.AppliedLevel(), -10000);

    audman.SetVolume(-5);
    EXPECT_EQ(audman.CurrentVolume(), 0);
    audman.SetVolume(12000);
    EXPECT_EQ(audman.CurrentVolume(), 10000);
}

TEST(AudioLevels, VolumesMapToHundredthsOfADecibel)
{
    EXPECT_EQ(TAudioMan::VolumeLevel(0), -10000);
    EXPECT_EQ(TAudioMan::VolumeLevel(5000), -752);
    EXPECT_EQ(TAudioMan::VolumeLevel(10000), 0);
    EXPECT_EQ(TAudioMan::VolumeLevel(5000), std::lround(std::log(5001.0) * 1085.73) - 10000);
    // Louder is never quieter.
    for (int v = 0; v < 10000; v += 250)
        EXPECT_LE(TAudioMan::VolumeLevel(v), TAudioMan::VolumeLevel(v + 250)) << v;
    TAudioMan audman;
    audman.SetVolume(5000);
    EXPECT_NEAR(Linear(audman.VolumeElement()), std::pow(10.0, -752 / 2000.0), 1e-6);
    audman.SetVolume(10000);
    EXPECT_NEAR(Linear(audman.VolumeElement()), 1.0, 1e-6);
}

TEST_F(AudioMan, TheDisplayGetsItsRangesAndMovesTheVolume)
{
    EXPECT_EQ(display.gaugeMin, 0);
    EXPECT_EQ(display.gaugeMax, 10000);
    EXPECT_EQ(display.gaugeAlert, 11000);
    EXPECT_EQ(display.sliderMin, 0);
    EXPECT_EQ(display.sliderMax, 10000);
    EXPECT_EQ(display.image, 0);
    audman.SliderMoved(3000);
    EXPECT_EQ(audman.CurrentVolume(), 3000);
    EXPECT_EQ(display.gauge, 3000);
    EXPECT_EQ(volumes.last(), 3000);
    EXPECT_EQ(TAudioMan::StatusImageIndex(asNoAudio), 0);
    EXPECT_EQ(TAudioMan::StatusImageIndex(asErrorAudio), 2);
    EXPECT_EQ(TAudioMan::StatusImageIndex(asBadAudio), 1);
    EXPECT_EQ(TAudioMan::StatusImageIndex(asMuted), 3);
    EXPECT_EQ(TAudioMan::StatusImageIndex(asAudioOn), 4);
}

TEST_F(AudioMan, OnlyTheFormatKindOfTheAudioReportIsTold)
{
    TNotifyPayload p;
    p.message = NM_AUDIO_INFO;
    p.kind = kAudioInfoFormat;
    p.frame.audioText = QStringLiteral("PCM 48000Hz 16bits  mono");
    QCoreApplication::postEvent(audman.Handle(), new TNotifyEvent(p, QStringLiteral("n")));
    p.kind = kVideoInfoFormat;
    p.frame.audioText = QStringLiteral("autre");
    QCoreApplication::postEvent(audman.Handle(), new TNotifyEvent(p, QStringLiteral("n")));
    QCoreApplication::sendPostedEvents(audman.Handle());
    EXPECT_EQ(formatText, u"PCM 48000Hz 16bits  mono");
}

TEST_F(AudioMan, NextDecoderWalksTheCandidatesAndComesBack)
{
    TAudioSource* audio = AudioOf(MediaMaker::Mp4H264Aac(dir.path()));
    ASSERT_NE(audio, nullptr);
    ASSERT_TRUE(audman.ConnectAudio(audio)) << nav.Bus().LastError().toStdString();
    const QStringList candidates = TDecoderBranch::Candidates(audio->Caps());
    ASSERT_FALSE(candidates.isEmpty());
    const QString first = audman.Branch().Found();
    EXPECT_EQ(first, candidates.first());
    ASSERT_TRUE(nav.Pause());
    // Each step takes the next candidate that can play the stream; once none is left the
    // exclusions are cleared and the first comes back.
    QStringList seen{first};
    for (int i = 0; i <= candidates.size(); ++i) {
        audman.naNextDecoderAudio->Apply();
        ASSERT_TRUE(audman.Connected()) << nav.Bus().LastError().toStdString();
        EXPECT_EQ(audman.Status(), asAudioOn);
        EXPECT_EQ(nav.State(), gmPaused);
        EXPECT_EQ(decoderText, audman.Branch().FoundName());
        // Nothing is remembered for the key but what plays now.
        EXPECT_EQ(AudioDecoderMemory().Find(audio->MediaType())->Factory, audman.Branch().Found());
        seen << audman.Branch().Found();
        if (seen.last() == first)
            break;
    }
    const QString walk = seen.join(u' ');
    EXPECT_EQ(seen.last(), first) << walk.toStdString();
    EXPECT_EQ(QSet<QString>(seen.cbegin(), seen.cend()).size(), seen.size() - 1)
        << walk.toStdString();
    // Skipped only: the decoders that refuse this stream's caps (LATM wants another format).
    for (const QString& c : candidates) {
        TGstRef<GstElementFactory> f(gst_element_factory_find(c.toUtf8().constData()));
        ASSERT_NE(f, nullptr);
        if (!seen.contains(c)) {
            EXPECT_FALSE(gst_element_factory_can_sink_all_caps(f.get(), audio->Caps()))
                << "never tried " << c.toStdString() << ": " << walk.toStdString();
        }
    }
    EXPECT_GE(seen.size(), qMin(3, int(candidates.size()) + 1)) << walk.toStdString();
    // The branch still plays.
    ASSERT_TRUE(nav.Play());
    EXPECT_EQ(nav.Bus().WaitForBus(GST_MESSAGE_EOS, 20000), GST_MESSAGE_EOS)
        << nav.Bus().LastError().toStdString();
}

TEST(AudioWithVideo, DisconnectingTheAudioLeavesTheVideoAndGivesTheRolesBack)
{
    QTemporaryDir dir;
    const QString file = MediaMaker::Mp4H264Aac(dir.path());
    ASSERT_FALSE(file.isEmpty());
    TDVMan dv;
    TMediaFactory factory;
    factory.GrapheMan = &dv;
    TAudioMan audman;
    audman.Setup();
    TFileDevice* device = factory.GetDevice(file);
    ASSERT_TRUE(device && device->Video(0) && device->Audio(0));
    TVideoSource* video = device->Video(0);
    TAudioSource* audio = device->Audio(0);
    QObject sink;
    ASSERT_TRUE(video->Connect(&dv, &sink));
    GstElement* end = gst_element_factory_make("fakesink", nullptr);
    g_object_set(end, "sync", FALSE, nullptr);
    ASSERT_TRUE(dv.Add(end, QStringLiteral("video end")));
    ASSERT_TRUE(gst_element_link(video->Tail(), end));
    // The datecode role is the video's already; the timecode role is free.
    dv.SetDatecodeSource(video);

    ASSERT_TRUE(audman.ConnectAudio(audio)) << dv.Bus().LastError().toStdString();
    EXPECT_EQ(dv.TimecodeSource(), audio);
    EXPECT_EQ(dv.DatecodeSource(), video);
    EXPECT_EQ(dv.ConnectedAudio, QList<TAudioSource*>{audio});

    ASSERT_TRUE(audman.DisconnectAudio());
    EXPECT_EQ(dv.TimecodeSource(), nullptr);
    EXPECT_EQ(dv.DatecodeSource(), video);
    EXPECT_TRUE(dv.ConnectedAudio.isEmpty());
    EXPECT_EQ(dv.ConnectedVideo, QList<TVideoSource*>{video});
    EXPECT_FALSE(dv.Contains(audman.Renderer()));
    ASSERT_NE(video->Tail(), nullptr);
    EXPECT_TRUE(dv.Contains(video->Tail()));
    EXPECT_TRUE(dv.Contains(end));
    EXPECT_TRUE(dv.Contains(device->BaseFilter()));
    // And the picture alone still plays to its end.
    ASSERT_TRUE(dv.Play()) << dv.Bus().LastError().toStdString();
    EXPECT_EQ(dv.Bus().WaitForBus(GST_MESSAGE_EOS, 20000), GST_MESSAGE_EOS)
        << dv.Bus().LastError().toStdString();
    dv.SetDatecodeSource(nullptr);
    video->Disconnect();
}

TEST(AudioGraphGone, AGraphThatGoesFirstLeavesTheManagerUsable)
{
    QTemporaryDir dir;
    const QString file = MediaMaker::Wav(dir.path());
    ASSERT_FALSE(file.isEmpty());
    TAudioMan audman;
    audman.Setup();
    {
        auto graph = std::make_unique<TGrapheMan>();
        auto factory = std::make_unique<TMediaFactory>();
        factory->GrapheMan = graph.get();
        TFileDevice* device = factory->GetDevice(file);
        ASSERT_TRUE(device && device->Audio(0));
        ASSERT_TRUE(audman.ConnectAudio(device->Audio(0)));
        // The sources go, then their graph, with the branch still built.
        factory.reset();
        graph.reset();
    }
    EXPECT_FALSE(audman.Connected());
    EXPECT_EQ(audman.Status(), asNoAudio);
    EXPECT_EQ(audman.Source(), NoAudioSource());
    EXPECT_EQ(GST_OBJECT_PARENT(audman.Renderer()), nullptr);
    TGrapheMan graph;
    TMediaFactory factory;
    factory.GrapheMan = &graph;
    TFileDevice* device = factory.GetDevice(file);
    ASSERT_TRUE(device && device->Audio(0));
    ASSERT_TRUE(audman.ConnectAudio(device->Audio(0))) << graph.Bus().LastError().toStdString();
    EXPECT_EQ(audman.Status(), asAudioOn);
    EXPECT_TRUE(audman.DisconnectAudio());
}

TEST(AudioPrefs, SavingWhileMutedStoresTheStoredVolume)
{
    TTestConfigHome home;
    AudioDecoderMemory().Clear();
    const TMediaTypeKey key{QStringLiteral("audio"), QStringLiteral("audio/mpeg"),
                            QStringLiteral("mpegversion=4")};
    {
        TAudioMan audman;
        audman.Setup();
        audman.iaVolume->SetValue(6500);
        audman.caMute->SetChecked(true);
        AudioDecoderMemory().Remember(
            key, std::make_unique<TFilterRec>(QStringLiteral("faad"), QStringLiteral("FAAD")));
        TDravikPreferences gp;
        gp.SetProgramFolder(home.Path());
        gp.SetHiveFile(home.HiveFile());
        gp.ApplyMode(spRegistre);
        ASSERT_TRUE(gp.OpenSection(QStringLiteral("ShowForm")));
        EXPECT_TRUE(audman.SaveToPrefs(gp));
        EXPECT_TRUE(audman.SavePrefs(gp));
        gp.CloseSection();
        gp.SaveNow();
    }
    AudioDecoderMemory().Clear();
    TDravikPreferences gp;
    gp.SetProgramFolder(home.Path());
    gp.SetHiveFile(home.HiveFile());
    gp.ApplyMode(spRegistre);
    ASSERT_TRUE(gp.OpenSection(QStringLiteral("ShowForm")));
    EXPECT_EQ(gp.ReadInteger(QStringLiteral("Volume"), -1), 6500);
    EXPECT_TRUE(gp.ReadBool(QStringLiteral("Mute"), false));
    TAudioMan back;
    back.Setup();
    EXPECT_TRUE(back.LoadFromPrefs(gp));
    back.LoadPrefs(gp);
    gp.CloseSection();
    EXPECT_EQ(back.CurrentVolume(), 6500);
    EXPECT_TRUE(back.Muted());
    ASSERT_NE(AudioDecoderMemory().Find(key), nullptr);
    EXPECT_EQ(AudioDecoderMemory().Find(key)->Factory, u"faad");
    AudioDecoderMemory().Clear();
}

TEST(AudioSink, WithoutASoundCardTheFallbackKeepsRealTime)
{
    EXPECT_EQ(TAudioMan::SinkFactory(), ExpectedSink());
    QTemporaryDir dir;
    TNavMan nav;
    nav.Setup();
    TMediaFactory factory;
    factory.GrapheMan = &nav;
    TAudioMan audman;
    audman.Setup();
    EXPECT_EQ(audman.Status(), asNoAudio);
    TGstRef<GstElement> sink(gst_bin_get_by_name(GST_BIN(audman.Renderer()), "Audio Sink"));
    ASSERT_NE(sink, nullptr);
    EXPECT_EQ(QString::fromUtf8(GST_OBJECT_NAME(gst_element_get_factory(sink.get()))),
              TAudioMan::SinkFactory());
    TFileDevice* device = factory.GetDevice(MediaMaker::Wav(dir.path()));
    ASSERT_TRUE(device && device->Audio(0));
    ASSERT_TRUE(audman.ConnectAudio(device->Audio(0))) << nav.Bus().LastError().toStdString();
    nav.Bus().Drain();
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(nav.Play());
    ASSERT_EQ(nav.Bus().WaitForBus(GST_MESSAGE_EOS, 20000), GST_MESSAGE_EOS)
        << nav.Bus().LastError().toStdString();
    // A one-second tone: a sink that does not keep the clock ends it far sooner.
    EXPECT_GE(clock.elapsed(), 800);
    EXPECT_LT(clock.elapsed(), 10000);
    audman.DisconnectAudio();
}

} // namespace
