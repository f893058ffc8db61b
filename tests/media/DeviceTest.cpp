// Files made at run time become devices with the right sources, through the right elements;
// sources connect to and disconnect from a real pipeline; the cache follows the file.
#include "MediaMaker.h"
#include "TestPrinters.h"
#include "media/TGrapheMan.h"
#include "media/TMediaFactory.h"
#include "media/gst/TPipelineBus.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// One set of clips for the whole program: making them is the slow part.
class TClips {
public:
    static TClips& Get()
    {
        static TClips clips;
        return clips;
    }
    QTemporaryDir dir;
    QString mp4, mkv, mpg, dv2, rawDv, dv1, wav;

private:
    TClips()
    {
        const QString d = dir.path();
        mp4 = MediaMaker::Mp4H264Aac(d);
        mkv = MediaMaker::MkvH264Vorbis(d);
        mpg = MediaMaker::Mpeg2Program(d);
        dv2 = MediaMaker::DvType2Avi(d);
        rawDv = MediaMaker::RawDv(d);
        dv1 = MediaMaker::DvType1Avi(d);
        wav = MediaMaker::Wav(d);
    }
};

class Devices : public ::testing::Test {
protected:
    void SetUp() override
    {
        factory.GrapheMan = &graph;
        if (clips.mp4.isEmpty())
            GTEST_SKIP() << "no ffmpeg to make the clips";
    }
    TClips& clips = TClips::Get();
    TGrapheMan graph;
    TMediaFactory factory;
};

TEST_F(Devices, EachKindOfFileGivesItsSources)
{
    struct TCase {
        QString file;
        int video, audio, dv;
        const char* videoCaps;
    } cases[] = {
        {clips.mp4, 1, 1, 0, "video/x-h264"}, {clips.mkv, 1, 1, 0, "video/x-h264"},
        {clips.mpg, 1, 1, 0, "video/mpeg"},   {clips.dv2, 1, 1, 0, "video/x-dv"},
        {clips.rawDv, 1, 1, 1, "video/x-dv"}, {clips.dv1, 1, 1, 1, "video/x-dv"},
        {clips.wav, 0, 1, 0, nullptr},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        ASSERT_FALSE(c.file.isEmpty());
        TFileDevice* d = factory.GetDevice(c.file);
        ASSERT_NE(d, nullptr);
        EXPECT_TRUE(d->Valid());
        EXPECT_EQ(d->Name(), QFileInfo(c.file).fileName());
        EXPECT_EQ(d->VideoCount, c.video);
        EXPECT_EQ(d->AudioCount, c.audio);
        EXPECT_EQ(d->DVCount, c.dv);
        EXPECT_EQ(d->TargetManager(), &graph);
        EXPECT_EQ(d->Manager(), nullptr); // probed on a pipeline of its own
        if (c.videoCaps) {
            ASSERT_NE(d->Video(0)->Caps(), nullptr);
            EXPECT_STREQ(gst_structure_get_name(gst_caps_get_structure(d->Video(0)->Caps(), 0)),
                         c.videoCaps);
        }
        if (c.dv) {
            ASSERT_EQ(d->DVDevices.size(), 1);
            EXPECT_EQ(d->Video(0)->Parent(), d->DVDevices[0]);
            EXPECT_EQ(d->DVDevices[0]->DisplayName(), d->Name());
        }
        EXPECT_EQ(d->Video(5), nullptr);
    }
    // A .wav file never goes through the primary source.
    EXPECT_EQ(factory.GetDevice(clips.wav)->SourceRec()->Factory, u"filesrc");
    EXPECT_EQ(factory.GetDevice(clips.wav)->SplitterRec()->Factory, u"wavparse");
    EXPECT_EQ(factory.GetDevice(clips.dv1)->SourceRec()->Factory, u"parsebin");
}

TEST_F(Devices, TheCacheKeysOnTheFileAndProbesAgainWhenItChanged)
{
    TFileDevice* first = factory.GetDevice(clips.mp4);
    ASSERT_NE(first, nullptr);
    const QString other = QFileInfo(clips.mp4).dir().filePath(QStringLiteral("./sub/../clip.mp4"));
    QDir(QFileInfo(clips.mp4).dir()).mkpath(QStringLiteral("sub"));
    EXPECT_EQ(factory.GetDevice(other), first);
    const QString link = clips.dir.filePath(QStringLiteral("link.mp4"));
    QFile::link(clips.mp4, link);
    EXPECT_EQ(factory.GetDevice(link), first);

    // Unknown and missing extensions: no device, cached as such, nothing probed again.
    const QString text = clips.dir.filePath(QStringLiteral("notes.txt"));
    EXPECT_EQ(factory.GetDevice(text), nullptr);
    EXPECT_EQ(factory.GetDevice(text), nullptr);
    EXPECT_EQ(factory.GetDevice(clips.dir.filePath(QStringLiteral("noext"))), nullptr);
    EXPECT_EQ(TMediaFactory::Extension(QStringLiteral("/a.b/c")), QString());
    EXPECT_EQ(TMediaFactory::Extension(QStringLiteral("/a/CLIP.AVI")), u".avi");

    // Another file under the same name: probed again.
    const QString copy = clips.dir.filePath(QStringLiteral("same.mp4"));
    ASSERT_TRUE(QFile::copy(clips.mp4, copy));
    TFileDevice* before = factory.GetDevice(copy);
    ASSERT_TRUE(before && before->Valid());
    QFile::remove(copy);
    ASSERT_TRUE(QFile::copy(clips.wav, copy));
    TFileDevice* after = factory.GetDevice(copy);
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->VideoCount, 0);

    factory.ClearCache();
    EXPECT_EQ(factory.CachedCount(), 0);
}

TEST_F(Devices, DamagedAndEmptyFilesGiveInvalidDevicesQuickly)
{
    QElapsedTimer clock;
    clock.start();
    const QString empty = clips.dir.filePath(QStringLiteral("empty.mp4"));
    QFile(empty).open(QIODevice::WriteOnly);
    const QString noise = clips.dir.filePath(QStringLiteral("noise.avi"));
    {
        QFile f(noise);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QByteArray junk(200000, '\0');
        for (int i = 0; i < junk.size(); ++i)
            junk[i] = char((i * 7919) >> 3);
        f.write(junk);
    }
    for (const QString& f : {empty, noise}) {
        TFileDevice* d = factory.GetDevice(f);
        ASSERT_NE(d, nullptr);
        EXPECT_FALSE(d->Valid()) << f.toStdString();
        EXPECT_EQ(d->VideoCount + d->AudioCount, 0);
    }
    // A truncated clip still plays what it holds.
    const QString cut = MediaMaker::Truncated(clips.mpg, QFileInfo(clips.mpg).size() / 2,
                                              QStringLiteral("cut.mpg"));
    TFileDevice* d = factory.GetDevice(cut);
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->Valid());
    EXPECT_EQ(d->VideoCount, 1);
    EXPECT_LT(clock.elapsed(), 30000);
}

TEST_F(Devices, SourcesConnectAndTheLastOneOutTakesTheDevice)
{
    TFileDevice* d = factory.GetDevice(clips.dv2);
    ASSERT_TRUE(d && d->Valid());
    QObject sink;
    TVideoSource* v = d->Video(0);
    TAudioSource* a = d->Audio(0);
    ASSERT_TRUE(v->Connect(&graph, &sink));
    EXPECT_TRUE(v->Connect(&graph, &sink)); // twice: nothing more
    EXPECT_EQ(v->MediaType().Subtype, u"video/x-dv");
    EXPECT_EQ(graph.ConnectedVideo, QList<TVideoSource*>{v});
    ASSERT_TRUE(a->Connect(&graph, &sink));
    EXPECT_TRUE(TMediaDevice::HasConnectedStream(d));
    ASSERT_TRUE(graph.Preroll()) << graph.Bus().LastError().toStdString();

    EXPECT_TRUE(v->Disconnect());
    EXPECT_EQ(d->Manager(), &graph); // the audio still needs it
    EXPECT_TRUE(graph.ConnectedVideo.isEmpty());
    EXPECT_TRUE(a->Disconnect());
    EXPECT_EQ(d->Manager(), nullptr);
    GST_OBJECT_LOCK(graph.Pipeline());
    const int left = GST_BIN(graph.Pipeline())->numchildren;
    GST_OBJECT_UNLOCK(graph.Pipeline());
    EXPECT_EQ(left, 0);
    EXPECT_FALSE(v->Disconnect());
}

TEST_F(Devices, DvSourcesShareTheDvChainAndItsNotifier)
{
    TFileDevice* d = factory.GetDevice(clips.dv1);
    ASSERT_TRUE(d && d->Valid() && d->DVCount == 1);
    QObject sink;
    TVideoSource* v = d->Video(0);
    TAudioSource* a = d->Audio(0);
    ASSERT_TRUE(a->Connect(&graph, &sink));
    ASSERT_TRUE(v->Connect(&graph, &sink));
    EXPECT_EQ(v->ActiveNotifier(), a->ActiveNotifier());
    EXPECT_NE(v->ActiveNotifier(), v->Notifier());
    ASSERT_TRUE(graph.Preroll()) << graph.Bus().LastError().toStdString();
    a->Disconnect();
    v->Disconnect();
    EXPECT_EQ(d->DVDevices[0]->Manager(), nullptr);
    EXPECT_EQ(d->Manager(), nullptr);
}

TEST_F(Devices, AChainEmptiedUnderItsSourceIsInsertedAgain)
{
    TFileDevice* d = factory.GetDevice(clips.mp4);
    ASSERT_TRUE(d && d->Valid());
    QObject sink;
    ASSERT_TRUE(d->Video(0)->Connect(&graph, &sink));
    // Someone empties the pipeline (closing a file does).
    GstIterator* it = gst_bin_iterate_elements(GST_BIN(graph.Pipeline()));
    QList<GstElement*> all;
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        all << GST_ELEMENT(g_value_get_object(&item));
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
    for (GstElement* e : all)
        graph.Remove(e);
    ASSERT_TRUE(d->Video(0)->Connect(&graph, &sink));
    EXPECT_TRUE(graph.Contains(d->BaseFilter()));
    EXPECT_TRUE(graph.Preroll()) << graph.Bus().LastError().toStdString();
    d->Video(0)->Disconnect();
}

} // namespace
