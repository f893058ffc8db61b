// The DV manager on a type 1 DV AVI made here: the recording date and the timecodes written into
// the frames reach its events; the roles switch the notifier on and off; the sibling stream of
// an interleaved DV chain does not reset the notifier the other one reports through.
#include "MediaMaker.h"
#include "TestPrinters.h"
#include "media/TDVMan.h"
#include "media/TMediaFactory.h"
#include "media/gst/TPipelineBus.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The stream goes nowhere further: the notifier reads the DV frames before any decoder.
void EndIn(TGrapheMan& aGraph, TavSource& aSource, const char* aName)
{
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(sink, "sync", FALSE, nullptr);
    ASSERT_TRUE(aGraph.Add(sink, QString::fromLatin1(aName)));
    ASSERT_TRUE(gst_element_link(aSource.Tail(), sink));
}

bool Notifying(GstElement* aNotifier, const char* aSwitch)
{
    gboolean on = FALSE;
    g_object_get(aNotifier, aSwitch, &on, nullptr);
    return on;
}

TEST(DvMan, DatesAndTimecodesReachItsEventsFromTheRightNotifier)
{
    QTemporaryDir dir;
    const QString file = MediaMaker::DvType1Avi(dir.path(), 12);
    ASSERT_FALSE(file.isEmpty());
    TDVMan dv;
    TMediaFactory factory;
    factory.GrapheMan = &dv;
    TFileDevice* device = factory.GetDevice(file);
    ASSERT_TRUE(device && device->Video(0) && device->Audio(0));
    TVideoSource* video = device->Video(0);
    TAudioSource* audio = device->Audio(0);
    QObject sink;
    ASSERT_TRUE(video->Connect(&dv, &sink));
    EndIn(dv, *video, "video end");

    QStringList dates, codes;
    dv.OnDatecode = [&](const QString& d) { dates << d; };
    dv.OnTimecode = [&](const QString& t) { codes << t; };
    dv.DatecodeFormat = QStringLiteral("yyyy-mm-dd hh:nn:ss");
    dv.SetDatecodeSource(video);
    dv.SetTimecodeSource(video);
    GstElement* active = video->ActiveNotifier();
    EXPECT_TRUE(Notifying(active, "datecode-notify"));
    EXPECT_FALSE(Notifying(video->Notifier(), "datecode-notify"));

    // The audio of the same DV stream connects afterwards: the chain is already in place, so
    // its notifier keeps its switches.
    ASSERT_TRUE(audio->Connect(&dv, &sink));
    EndIn(dv, *audio, "audio end");
    EXPECT_TRUE(Notifying(active, "datecode-notify"));
    EXPECT_TRUE(Notifying(active, "timecode-notify"));

    dv.DatecodeOn = true;
    dv.Bus().Drain();
    ASSERT_TRUE(dv.Play());
    ASSERT_EQ(dv.Bus().WaitForBus(GST_MESSAGE_EOS, 20000), GST_MESSAGE_EOS)
        << dv.Bus().LastError().toStdString();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(dates, QStringList{QStringLiteral("2006-05-04 03:02:01")}); // once: it never changed
    ASSERT_EQ(codes.size(), 12);
    EXPECT_EQ(codes.first(), u"10:20:30:00");
    EXPECT_EQ(codes.last(), u"10:20:30:11");

    // Nil only switches the holder off.
    dv.SetDatecodeSource(nullptr);
    EXPECT_FALSE(Notifying(active, "datecode-notify"));
    EXPECT_EQ(dv.DatecodeSource(), nullptr);
    dv.SetTimecodeSource(nullptr);
    audio->Disconnect();
    video->Disconnect();
}

} // namespace

namespace {

// An error while playing ends the waits at once and reaches the user's event in French.
TEST(GraphErrors, AnErrorWhilePlayingEndsEveryWaitAndIsTold)
{
    QTemporaryDir dir;
    const QString file = MediaMaker::DvType1Avi(dir.path(), 12);
    ASSERT_FALSE(file.isEmpty());
    TDVMan graph;
    TMediaFactory factory;
    factory.GrapheMan = &graph;
    TFileDevice* device = factory.GetDevice(file);
    ASSERT_TRUE(device && device->Video(0));
    QObject sink;
    ASSERT_TRUE(device->Video(0)->Connect(&graph, &sink));
    // A sink that fails at its first buffer once playing, as a broken device would.
    GstElement* end = gst_element_factory_make("fakesink", nullptr);
    g_object_set(end, "sync", TRUE, "signal-handoffs", TRUE, nullptr);
    g_signal_connect(end, "handoff", G_CALLBACK(+[](GstElement* e, GstBuffer*, GstPad*, gpointer) {
                         GST_ELEMENT_ERROR(e, RESOURCE, WRITE, ("panne"), ("test"));
                     }),
                     nullptr);
    ASSERT_TRUE(graph.Add(end, QStringLiteral("broken")));
    ASSERT_TRUE(gst_element_link(device->Video(0)->Tail(), end));
    QStringList told;
    graph.OnError = [&](const QString& t) { told << t; };
    bool completed = false;
    graph.OnGraphCompleted = [&] { completed = true; };
    QElapsedTimer clock;
    clock.start();
    graph.Play(); // the preroll already meets the error
    EXPECT_EQ(graph.Bus().WaitForBus(GST_MESSAGE_EOS, 20000), GST_MESSAGE_ERROR);
    EXPECT_LT(clock.elapsed(), 10000);
    // Met by a wait, it is the waiting command's to handle; met while playing, it is told, in
    // French and without GStreamer's detail.
    EXPECT_TRUE(told.isEmpty());
    GST_ELEMENT_ERROR(end, STREAM, DECODE, ("cassé"), ("detail.c(12): test"));
    for (int i = 0; i < 50 && told.isEmpty(); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(told.first(), QStringLiteral("La lecture de la vidéo s'est arrêtée sur des images ou "
                                           "des sons qui ne peuvent pas être décodés."));
    EXPECT_FALSE(completed);
    device->Video(0)->Disconnect();
}

} // namespace
