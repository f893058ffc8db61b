// The video manager on real files: the branch through its own renderer, the texts it reports,
// frames that reach the main thread, the grab image with the text in it, next decoder in place,
// the idle displays, and the text composed from its patterns.
#include "MediaMaker.h"
#include "TestPrinters.h"
#include "media/TDecoderList.h"
#include "media/TMediaFactory.h"
#include "media/TNavMan.h"
#include "media/TVideoMan.h"
#include "media/gst/TPipelineBus.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

int StripOf(const QImage& aImage)
{
    const QImage rgb = aImage.convertToFormat(QImage::Format_RGB32);
    return MediaMaker::ReadStrip(rgb.constBits(), int(rgb.bytesPerLine()), rgb.width(),
                                 rgb.height());
}

class VideoMan : public ::testing::Test {
protected:
    void SetUp() override
    {
        nav.Setup();
        video.Setup();
        factory.GrapheMan = &nav;
        VideoDecoderMemory().Clear();
        video.OnNotifyVideoDecoder = [this](const QString& t) { decoder = t; };
        video.OnNotifyVideoFormat = [this](const QString& t) { format = t; };
        video.OnRepaint = [this] { ++repaints; };
    }
    void TearDown() override { video.DisconnectVideo(false); }
    bool Open(const QString& aFile)
    {
        TFileDevice* d = factory.GetDevice(aFile);
        if (!d || !d->Video(0))
            return false;
        nav.NewFile();
        video.ResetForFile();
        if (!video.ConnectVideo(d->Video(0)))
            return false;
        nav.SetRange(true, -1, -1);
        QCoreApplication::sendPostedEvents();
        return true;
    }

    TNavMan nav;
    TVideoMan video;
    TMediaFactory factory;
    QTemporaryDir dir;
    QString decoder, format;
    int repaints = 0;
};

TEST_F(VideoMan, ConnectsReportsAndShowsFrames)
{
    ASSERT_TRUE(Open(MediaMaker::DvType2Avi(dir.path(), 25)));
    EXPECT_EQ(video.DisplayState(), TVideoMan::dsVideo);
    EXPECT_FALSE(decoder.isEmpty());
    EXPECT_NE(decoder, u"Aucun décodeur Video");
    for (int i = 0; i < 50 && format.isEmpty(); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(format.startsWith(QStringLiteral("DV"))) << format.toStdString();
    EXPECT_TRUE(format.contains(QStringLiteral("720x576"))) << format.toStdString();
    EXPECT_EQ(video.Aspect(), QSize(4, 3));
    // The first frame is on screen, and a grab gets it at its own size.
    QImage grab;
    ASSERT_TRUE(video.GetCurrentImage(grab));
    EXPECT_EQ(grab.size(), QSize(720, 576));
    EXPECT_EQ(StripOf(grab), 0);
    // Frames are taken in while playing, whether painted or not.
    const int before = video.FramesDrawn();
    ASSERT_TRUE(nav.Play());
    ASSERT_EQ(nav.Bus().WaitForBus(GST_MESSAGE_EOS, 10000), GST_MESSAGE_EOS);
    QCoreApplication::sendPostedEvents();
    EXPECT_GE(video.FramesDrawn() - before, 20);
    EXPECT_GT(repaints, 0);
    // Forced aspects.
    video.SetForcedAspect(2);
    EXPECT_EQ(video.Aspect(), QSize(16, 9));
    video.SetForcedAspect(3);
    EXPECT_EQ(video.Aspect(), QSize(720, 576));
}

TEST_F(VideoMan, TheGrabHasTheTextAndNextDecoderKeepsThePicture)
{
    ASSERT_TRUE(Open(MediaMaker::Mp4H264Aac(dir.path(), 50)));
    nav.PreciseSeekTo(20 * nav.FrameDuration() + 1000);
    QCoreApplication::sendPostedEvents();
    QImage plain;
    ASSERT_TRUE(video.GetCurrentImage(plain));
    EXPECT_EQ(StripOf(plain), 20);

    video.TextSlots[0] = QStringLiteral("MMMMMMMM");
    video.Style.Font.Color = 0x0000FF; // red
    video.Style.Font.Size = 30;
    video.Style.AnchorX = 0;
    video.Style.AnchorY = 5000;
    video.Compose();
    video.ShowText(true);
    QImage withText;
    ASSERT_TRUE(video.GetCurrentImage(withText));
    int red = 0;
    for (int y = withText.height() / 2; y < withText.height(); ++y)
        for (int x = 0; x < withText.width(); ++x)
            red += qRed(withText.pixel(x, y)) > 200 && qGreen(withText.pixel(x, y)) < 60;
    EXPECT_GT(red, 50);
    EXPECT_EQ(StripOf(withText), 20); // the text is below the strip

    const QString first = video.Branch().Found();
    ASSERT_TRUE(video.NextDecoder());
    EXPECT_NE(video.Branch().Found(), first);
    QCoreApplication::sendPostedEvents();
    QImage after;
    ASSERT_TRUE(video.GetCurrentImage(after));
    EXPECT_EQ(StripOf(after), 20);
    EXPECT_NE(nav.State(), gmPlaying);
}

TEST_F(VideoMan, DisconnectingTheVideoLeavesTheSoundAndTheNavigationAlone)
{
    ASSERT_TRUE(Open(MediaMaker::DvType2Avi(dir.path(), 12)));
    EXPECT_EQ(nav.FramesNotifier(), video.FramesNotifier());
    video.DisconnectVideo(true);
    EXPECT_EQ(nav.FramesNotifier(), nullptr);
    EXPECT_EQ(video.DisplayState(), TVideoMan::dsNoVideo);
    EXPECT_EQ(decoder, u"Aucun décodeur Video");
    EXPECT_EQ(format, u"Pas de Vidéo");
    EXPECT_FALSE(video.ConnectVideo(NoVideoSource())); // the placeholder never answers true
    EXPECT_EQ(video.IdleImage(), u"NOVIDEO");
}

TEST_F(VideoMan, ExclusionsThatLeaveNoDecoderAreClearedAndTheSearchRunsAgain)
{
    ASSERT_TRUE(Open(MediaMaker::DvType2Avi(dir.path(), 12)));
    TVideoSource* source = video.Source();
    video.DisconnectVideo(false);
    // Every decoder refused: the search fails even after clearing (the rule stays).
    video.Branch().H264Excluded.clear();
    for (const QString& c : TDecoderBranch::Candidates(source->Caps()))
        video.Branch().Exclude(c);
    video.Branch().Fallback = nullptr;
    EXPECT_TRUE(video.ConnectVideo(source));
    EXPECT_TRUE(video.Branch().Excluded().isEmpty());
    EXPECT_EQ(video.DisplayState(), TVideoMan::dsVideo);
}

TEST(VideoText, TokensAreReplacedOnceAndIgnoreCase)
{
    TVideoMan v;
    v.TextSlots[0] = QStringLiteral("%d-%D|%t|%S|%n|%f%e in %P|100%|%x");
    v.TextSlots[16] = QStringLiteral("sans date");
    v.TextSlots[24] = QStringLiteral("--");
    EXPECT_EQ(v.ComposeLine(0), QStringLiteral("sans date-sans date|--||| in |100%|%x"));
    TIncrustDV dv;
    dv.dateValid = true;
    dv.date = 38841.5; // 2006-05-04 12:00
    dv.timecodeValid = true;
    dv.timecodeText = QStringLiteral("10:20:30:04");
    v.TextSlots[8] = QStringLiteral("yyyy-mm-dd hh:nn");
    v.SetDateOffset(1.0 / 24); // one hour
    v.SetStreamCodes(dv);
    v.SetNumber(true, QStringLiteral("007"));
    v.SetFileName(true, QStringLiteral("/vidéos/été/%T.dv"));
    v.SetPositionText(QStringLiteral("0:00:01:02"));
    // What a token puts in is not read again: the file named "%T" stays "%T".
    EXPECT_EQ(v.ComposeLine(0), QStringLiteral("2006-05-04 13:00-2006-05-04 13:00|10:20:30:04|"
                                               "0:00:01:02|007|%T.dv in /vidéos/été/|100%|%x"));
    EXPECT_TRUE(v.Lines[0].Enabled);
    v.TextSlots[1].clear();
    v.Compose();
    EXPECT_FALSE(v.Lines[1].Enabled);
}

} // namespace
