// The private filter sets, with a set of our own built next to the tests (privateset/): loading
// by folder, the records, blocking when off, the remembered decoder mapped back, the settings
// files, and a real file split and decoded by the private LAV set only.
#include "MediaMaker.h"
#include "TestDirs.h"
#include "TestPrinters.h"
#include "media/MediaInit.h"
#include "media/TDecoderBranch.h"
#include "media/TDecoderList.h"
#include "media/TGrapheMan.h"
#include "media/TMediaFactory.h"
#include "media/TPrivateFilters.h"
#include "media/gst/TPipelineBus.h"
#include "prefs/TRegistryHive.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gst/app/gstappsink.h>
#include <gtest/gtest.h>

#include <thread>

namespace {

const QString kFolder = QStringLiteral(TESS_PRIVATE_SET_DIR);

const char* const kFactories[] = {"tessffvideodec", "tessffaudiodec", "tesslavsplitter",
                                  "tesslavvideodec", "tesslavaudiodec"};

QString Name(const char16_t* aName)
{
    return QString::fromUtf16(aName);
}

bool Blocked(const char* aFactory)
{
    return PrivateFactoryBlocked(QString::fromUtf8(aFactory));
}

QString FactoryOf(GstElement* aElement)
{
    GstElementFactory* f = aElement ? gst_element_get_factory(aElement) : nullptr;
    return f ? QString::fromUtf8(GST_OBJECT_NAME(f)) : QString();
}

// Makes an element of the record and answers its factory's name (empty when none was made).
QString Made(const TFilterRec* aRecord)
{
    GstElement* e = aRecord ? aRecord->CreateInstance() : nullptr;
    const QString name = FactoryOf(e);
    if (e)
        gst_object_unref(gst_object_ref_sink(e));
    return name;
}

GstRank RankOf(const char* aFactory)
{
    TGstRef<GstElementFactory> f(gst_element_factory_find(aFactory));
    return f ? GstRank(gst_plugin_feature_get_rank(GST_PLUGIN_FEATURE(f.get()))) : GST_RANK_NONE;
}

void WriteFile(const QString& aPath, const QByteArray& aBytes)
{
    QDir().mkpath(QFileInfo(aPath).path());
    QFile f(aPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(aBytes);
}

class PrivateFilters : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureMediaFramework();
        // The stand-ins wrap installed decoders: without them the modules have no factory.
        for (const char* inner : {"avdec_h264", "avdec_aac", "parsebin"})
            if (!TGstRef<GstElementFactory>(gst_element_factory_find(inner)))
                GTEST_SKIP() << "no " << inner;
    }
    TPrivateFilters filters;
};

TEST_F(PrivateFilters, SwitchingOnLoadsBothSets)
{
    ASSERT_TRUE(filters.SwitchOn(kFolder));
    EXPECT_TRUE(filters.IsOn());
    EXPECT_TRUE(filters.FfdshowLoaded());
    EXPECT_TRUE(filters.LavLoaded());
    const TBaseFilterRec* records[] = {filters.FfdshowVideo(), filters.FfdshowAudio(),
                                       filters.LavSplitter(), filters.LavVideo(),
                                       filters.LavAudio()};
    const char16_t* names[] = {TPrivateFilters::kFfdshowVideoName,
                               TPrivateFilters::kFfdshowAudioName,
                               TPrivateFilters::kLavSplitterName, TPrivateFilters::kLavVideoName,
                               TPrivateFilters::kLavAudioName};
    for (int i = 0; i < 5; ++i) {
        ASSERT_NE(records[i], nullptr) << i;
        EXPECT_EQ(records[i]->Name, Name(names[i]));
        EXPECT_EQ(records[i]->Factory, QString::fromUtf8(kFactories[i]));
        ASSERT_NE(records[i]->ElementFactory(), nullptr) << i;
        // The loaded module's code, reporting its own factory.
        EXPECT_EQ(Made(records[i]), QString::fromUtf8(kFactories[i]));
        EXPECT_FALSE(Blocked(kFactories[i])) << kFactories[i];
        // Never picked by the automatic choice: only where a record is placed.
        EXPECT_EQ(RankOf(kFactories[i]), GST_RANK_NONE) << kFactories[i];
    }
    EXPECT_EQ(records[0]->Name, u"Private ffdshow Video decoder");
    EXPECT_EQ(records[4]->Name, u"Private LAV Audio Decoder");
}

TEST_F(PrivateFilters, AFolderWithoutLavGivesTheFfdshowSetAlone)
{
    // Both sets loaded once, then off: their factories are known to be private.
    ASSERT_TRUE(filters.SwitchOn(kFolder));
    filters.SwitchOff();

    QTemporaryDir other;
    QDir(other.path()).mkpath(QStringLiteral("ffdshow"));
    ASSERT_TRUE(QFile::copy(kFolder + QStringLiteral("ffdshow/ffdshow.ax"),
                            other.filePath(QStringLiteral("ffdshow/ffdshow.ax"))));
    ASSERT_TRUE(filters.SwitchOn(other.path()));
    EXPECT_TRUE(filters.FfdshowLoaded());
    EXPECT_FALSE(filters.LavLoaded());
    EXPECT_EQ(filters.FfdshowVideo()->Factory, u"tessffvideodec");
    EXPECT_EQ(filters.FfdshowAudio()->Factory, u"tessffaudiodec");
    for (const TBaseFilterRec* lav :
         {filters.LavSplitter(), filters.LavVideo(), filters.LavAudio()}) {
        ASSERT_NE(lav, nullptr);
        EXPECT_TRUE(lav->IsNull());
        EXPECT_EQ(lav->Name, u"No BaseFilter");
        EXPECT_EQ(lav->ElementFactory(), nullptr);
        EXPECT_EQ(lav->CreateInstance(), nullptr);
    }
    // The LAV set stays off while the ffdshow set is on.
    EXPECT_FALSE(Blocked("tessffvideodec"));
    EXPECT_TRUE(Blocked("tesslavvideodec"));
    EXPECT_TRUE(Blocked("tesslavsplitter"));

    // The splitter alone: the video decoder is not even looked for, the set is incomplete.
    QTemporaryDir splitterOnly;
    QDir(splitterOnly.path()).mkpath(QStringLiteral("LAV"));
    ASSERT_TRUE(QFile::copy(kFolder + QStringLiteral("LAV/LAVSplitter.ax"),
                            splitterOnly.filePath(QStringLiteral("LAV/LAVSplitter.ax"))));
    ASSERT_TRUE(filters.SwitchOn(splitterOnly.path()));
    EXPECT_FALSE(filters.FfdshowLoaded());
    EXPECT_FALSE(filters.LavLoaded());
    EXPECT_TRUE(filters.FfdshowVideo()->IsNull());
    EXPECT_EQ(filters.LavSplitter()->Factory, u"tesslavsplitter");
    EXPECT_TRUE(filters.LavVideo()->IsNull());
    EXPECT_TRUE(filters.LavAudio()->IsNull());
    EXPECT_TRUE(Blocked("tessffvideodec"));

    // An empty folder: nothing at all, off.
    QTemporaryDir empty;
    EXPECT_FALSE(filters.SwitchOn(empty.path()));
    EXPECT_FALSE(filters.IsOn());
    EXPECT_EQ(filters.FfdshowVideo(), nullptr);
}

TEST_F(PrivateFilters, ARelativeFolderLoadsNothing)
{
    // The set is right there, relative to the working folder: still nothing is read.
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(kFolder));
    const bool relative = filters.SwitchOn(QStringLiteral("."));
    const bool relative2 = filters.SwitchOn(QStringLiteral("../folder/"));
    QDir::setCurrent(previous);
    EXPECT_FALSE(relative);
    EXPECT_FALSE(relative2);
    EXPECT_FALSE(filters.SwitchOn(QString()));
    EXPECT_FALSE(filters.IsOn());
    EXPECT_FALSE(filters.FfdshowLoaded());
    EXPECT_FALSE(filters.LavLoaded());
    EXPECT_EQ(filters.FfdshowVideo(), nullptr);
    EXPECT_EQ(filters.LavVideo(), nullptr);
}

TEST_F(PrivateFilters, SwitchingOffBlocksCreationAndOnAgainWorks)
{
    ASSERT_TRUE(filters.SwitchOn(kFolder));
    ASSERT_TRUE(filters.SwitchOn(kFolder)); // on while on: off first
    // A record kept past the switch, as a stale pointer elsewhere would be.
    TBaseFilterRec kept(filters.LavVideo()->ElementFactory(), QStringLiteral("kept"));
    EXPECT_EQ(Made(&kept), u"tesslavvideodec");

    filters.SwitchOff();
    EXPECT_FALSE(filters.IsOn());
    EXPECT_EQ(filters.FfdshowVideo(), nullptr);
    EXPECT_EQ(filters.LavSplitter(), nullptr);
    EXPECT_EQ(kept.CreateInstance(), nullptr);
    for (const char* f : kFactories) {
        EXPECT_TRUE(Blocked(f)) << f;
        EXPECT_EQ(RankOf(f), GST_RANK_NONE) << f;
    }
    // Any thread may ask.
    bool fromThread = false;
    std::thread([&] { fromThread = Blocked("tesslavaudiodec"); }).join();
    EXPECT_TRUE(fromThread);
    // Nothing else is touched.
    EXPECT_FALSE(Blocked("avdec_h264"));
    EXPECT_FALSE(Blocked("fakesink"));
    for (const char* other : {"avdec_h264", "fakesink"}) {
        GstElement* e = gst_element_factory_make(other, nullptr);
        EXPECT_EQ(FactoryOf(e), QString::fromUtf8(other));
        if (e)
            gst_object_unref(gst_object_ref_sink(e));
    }
    // The installed H.264 decoders are still candidates, the private one never.
    TGstCapsRef h264(gst_caps_from_string("video/x-h264,stream-format=avc,alignment=au"));
    const QStringList candidates = TDecoderBranch::Candidates(h264.get());
    EXPECT_TRUE(candidates.contains(QStringLiteral("avdec_h264")));
    EXPECT_FALSE(candidates.contains(QStringLiteral("tesslavvideodec")));

    ASSERT_TRUE(filters.SwitchOn(kFolder));
    EXPECT_EQ(Made(&kept), u"tesslavvideodec");
    EXPECT_EQ(Made(filters.FfdshowAudio()), u"tessffaudiodec");
    for (const char* f : kFactories)
        EXPECT_FALSE(Blocked(f)) << f;
}

TEST_F(PrivateFilters, ARememberedPrivateDecoderMapsToTheLoadedOne)
{
    const TFilterRec ffdshow(QStringLiteral("gone"),
                             QStringLiteral("Private ffdshow Video decoder (2)"));
    const TFilterRec lav(QString(), QStringLiteral("Private LAV Video Decoder"));
    const TFilterRec byFactory(QStringLiteral("tesslavvideodec"),
                               QStringLiteral("Tessarine test LAV video decoder"));
    const TFilterRec installed(QStringLiteral("avdec_h264"), QStringLiteral("libav H.264"));
    const TFilterRec privateAudio(QStringLiteral("x"), QStringLiteral("Private LAV Audio Decoder"));

    // Off: everything as it is.
    EXPECT_EQ(filters.RestorePrivate(&ffdshow), &ffdshow);
    EXPECT_EQ(filters.RestorePrivate(&lav), &lav);
    EXPECT_EQ(filters.RestorePrivate(nullptr), nullptr);

    ASSERT_TRUE(filters.SwitchOn(kFolder));
    EXPECT_EQ(filters.RestorePrivate(&ffdshow), filters.FfdshowVideo());
    EXPECT_EQ(filters.RestorePrivate(&lav), filters.LavVideo());
    EXPECT_EQ(filters.RestorePrivate(&byFactory), filters.LavVideo());
    EXPECT_EQ(filters.RestorePrivate(&installed), &installed);
    EXPECT_EQ(filters.RestorePrivate(&privateAudio), &privateAudio); // video decoders only
    EXPECT_EQ(filters.RestorePrivate(nullptr), nullptr);

    // A decoder branch given the mapping gets the loaded record.
    TDecoderBranch branch(true);
    branch.OnRestorePrivate = [this](const TFilterRec* r) { return filters.RestorePrivate(r); };
    EXPECT_EQ(branch.OnRestorePrivate(&lav), filters.LavVideo());
}

TEST(PrivateSettings, ImportWritesOnlyTheSetsKeysAndDeleteRemovesThem)
{
    TTestConfigHome home;
    const QString hive = home.HiveFile();
    QStringList errors;
    ASSERT_TRUE(TPrivateFilters::ImportSettings(kFolder, hive, &errors))
        << qPrintable(errors.join(u'\n'));
    EXPECT_TRUE(errors.isEmpty());
    {
        TRegistryHive h(hive, TRegistryHive::ReadOnly);
        const auto software = h.OpenKey(QStringLiteral("Software"), false);
        ASSERT_TRUE(software);
        QStringList keys = h.SubKeyNames(*software).value_or(QStringList());
        keys.sort();
        EXPECT_EQ(keys, (QStringList{QStringLiteral("DRV"), QStringLiteral("ZUD")}));
        const auto root = h.SubKeyNames(TRegistryHive::RootKey).value_or(QStringList());
        EXPECT_EQ(root, QStringList{QStringLiteral("Software")});
        const auto drv = h.OpenKey(QStringLiteral("Software\\DRV\\default"), false);
        ASSERT_TRUE(drv);
        const auto deinterlace = h.QueryValue(*drv, QStringLiteral("isDeinterlace"));
        ASSERT_TRUE(deinterlace);
        EXPECT_EQ(deinterlace->Type, TRegistryHive::REG_DWORD);
        EXPECT_EQ(deinterlace->Data, QByteArray("\1\0\0\0", 4));
        const auto zud = h.OpenKey(QStringLiteral("Software\\ZUD\\LAV\\Video"), false);
        ASSERT_TRUE(zud);
        const auto ar = h.QueryValue(*zud, QStringLiteral("StreamAR"));
        ASSERT_TRUE(ar);
        EXPECT_EQ(ar->Data, QByteArray("\2\0\0\0", 4));
    }

    TPrivateFilters::DeleteSettings(hive);
    EXPECT_EQ(TRegistryHive::ProbeKey(hive, QStringLiteral("Software\\DRV")),
              TRegistryHive::Missing);
    EXPECT_EQ(TRegistryHive::ProbeKey(hive, QStringLiteral("Software\\ZUD")),
              TRegistryHive::Missing);
    EXPECT_EQ(TRegistryHive::ProbeKey(hive, QStringLiteral("Software")), TRegistryHive::Exists);
    TPrivateFilters::DeleteSettings(hive); // nothing left: no harm
}

TEST(PrivateSettings, ASettingsFileCannotWriteOutsideItsSetsKey)
{
    TTestConfigHome home;
    const QString hive = home.HiveFile();
    QTemporaryDir folder;
    // The LAV file tries the ffdshow set's key, the ffdshow file the program's own settings.
    WriteFile(folder.filePath(QStringLiteral("LAV/ZUD.reg")),
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\DRV]\r\n\"fromzud\"=\"1\"\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\ZUD]\r\n\"ok\"=\"1\"\r\n");
    WriteFile(folder.filePath(QStringLiteral("ffdshow/DRV.reg")),
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Orvalis\\Tessarine]\r\n"
              "\"FullScreen\"=dword:00000001\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\DRV]\r\n\"lang\"=\"fr\"\r\n");
    QStringList errors;
    EXPECT_FALSE(TPrivateFilters::ImportSettings(folder.path(), hive, &errors));
    EXPECT_GE(errors.size(), 2) << qPrintable(errors.join(u'\n'));
    EXPECT_EQ(TRegistryHive::ProbeKey(hive, QStringLiteral("Software\\Orvalis")),
              TRegistryHive::Missing);
    TRegistryHive h(hive, TRegistryHive::ReadOnly);
    const auto drv = h.OpenKey(QStringLiteral("Software\\DRV"), false);
    ASSERT_TRUE(drv);
    EXPECT_TRUE(h.QueryValue(*drv, QStringLiteral("lang")));
    EXPECT_FALSE(h.QueryValue(*drv, QStringLiteral("fromzud")));
    const auto zud = h.OpenKey(QStringLiteral("Software\\ZUD"), false);
    ASSERT_TRUE(zud);
    EXPECT_TRUE(h.QueryValue(*zud, QStringLiteral("ok")));
}

TEST(PrivateSettings, MissingFilesImportNothingAndRelativeFoldersAreRefused)
{
    TTestConfigHome home;
    QTemporaryDir empty;
    QStringList errors;
    EXPECT_TRUE(TPrivateFilters::ImportSettings(empty.path(), home.HiveFile(), &errors));
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_FALSE(QFile::exists(home.HiveFile()));
    EXPECT_FALSE(
        TPrivateFilters::ImportSettings(QStringLiteral("folder"), home.HiveFile(), &errors));
    EXPECT_EQ(errors.size(), 1);
    EXPECT_FALSE(QFile::exists(home.HiveFile()));
}

// --- a real file through the private LAV set

// The renderers of the decoder tests: the frames as BGRx; the sound to a fakesink.
GstElement* TestRenderer(bool aVideo)
{
    GstElement* bin = gst_bin_new(nullptr);
    GstElement* convert =
        gst_element_factory_make(aVideo ? "videoconvert" : "audioconvert", nullptr);
    GstElement* sink = gst_element_factory_make(aVideo ? "appsink" : "fakesink", "frames");
    if (aVideo) {
        TGstCapsRef caps(gst_caps_from_string("video/x-raw,format=BGRx"));
        g_object_set(sink, "caps", caps.get(), "max-buffers", 2, "drop", TRUE, nullptr);
    }
    g_object_set(sink, "sync", FALSE, nullptr);
    gst_bin_add_many(GST_BIN(bin), convert, sink, nullptr);
    gst_element_link(convert, sink);
    TGstRef<GstPad> in(gst_element_get_static_pad(convert, "sink"));
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", in.get()));
    return bin;
}

// The number drawn into the first frame shown, -2 without a frame.
int ShownNumber(GstElement* aRenderer)
{
    TGstRef<GstElement> sink(gst_bin_get_by_name(GST_BIN(aRenderer), "frames"));
    TGstSampleRef s(gst_app_sink_try_pull_preroll(GST_APP_SINK(sink.get()), 5 * GST_SECOND));
    if (!s)
        return -2;
    int width = 0, height = 0;
    const GstStructure* st = gst_caps_get_structure(gst_sample_get_caps(s.get()), 0);
    gst_structure_get_int(st, "width", &width);
    gst_structure_get_int(st, "height", &height);
    QByteArray bgrx(width * height * 4, '\0');
    gst_buffer_extract(gst_sample_get_buffer(s.get()), 0, bgrx.data(), bgrx.size());
    return MediaMaker::ReadStrip(reinterpret_cast<const std::uint8_t*>(bgrx.constData()), width * 4,
                                 width, height);
}

bool InPipeline(GstElement* aPipeline, const QString& aFactory)
{
    bool found = false;
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(aPipeline));
    GValue item = G_VALUE_INIT;
    while (!found && gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        found = FactoryOf(GST_ELEMENT(g_value_get_object(&item))) == aFactory;
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
    return found;
}

class PrivatePipeline : public PrivateFilters {
protected:
    void SetUp() override
    {
        PrivateFilters::SetUp();
        if (IsSkipped())
            return;
        factory.GrapheMan = &graph;
        VideoDecoderMemory().Clear();
        AudioDecoderMemory().Clear();
        mp4 = MediaMaker::Mp4H264Aac(dir.path());
        if (mp4.isEmpty())
            GTEST_SKIP() << "no ffmpeg to make the clip";
    }
    void TearDown() override
    {
        for (auto& [branch, source, renderer] : chains) {
            branch->Remove();
            source->Disconnect();
            graph.Remove(renderer);
        }
        chains.clear();
        // The factory lets the private splitter go before the records are freed.
        factory.SetSourceFilter(nullptr);
        filters.SwitchOff();
    }
    // Connects aSource to a test renderer through aBranch, every installed decoder excluded
    // and the private one as the second chance.
    bool Connect(TDecoderBranch& aBranch, TavSource* aSource, const TFilterRec* aPrivate)
    {
        GstElement* renderer = TestRenderer(aSource->IsVideo());
        if (!aSource->Connect(&graph, &sink) ||
            !graph.Add(renderer, aSource->IsVideo() ? QStringLiteral("Ko VideoWindow")
                                                    : QStringLiteral("Ko Audio Renderer")))
            return false;
        chains.push_back({&aBranch, aSource, renderer});
        const QStringList installed = TDecoderBranch::Candidates(aSource->Caps());
        if (installed.isEmpty())
            return false;
        for (const QString& c : installed)
            aBranch.Exclude(c);
        aBranch.SecondChance = aPrivate;
        return aBranch.Connect(graph, *aSource, renderer,
                               aSource->IsVideo() ? VideoDecoderMemory() : AudioDecoderMemory());
    }

    TGrapheMan graph;
    TMediaFactory factory;
    QObject sink;
    QTemporaryDir dir;
    QString mp4;
    TDecoderBranch video{true};
    TDecoderBranch audio{false};
    struct TChain {
        TDecoderBranch* branch;
        TavSource* source;
        GstElement* renderer;
    };
    std::vector<TChain> chains;
};

TEST_F(PrivatePipeline, ThePrivateLavSetSplitsAndDecodesAFileAlone)
{
    ASSERT_TRUE(filters.SwitchOn(kFolder));
    factory.SetSourceFilter(filters.LavSplitter());
    TFileDevice* device = factory.GetDevice(mp4);
    ASSERT_TRUE(device && device->Video(0) && device->Audio(0));

    ASSERT_TRUE(Connect(video, device->Video(0), filters.LavVideo()))
        << graph.Bus().LastError().toStdString();
    EXPECT_EQ(video.Found(), u"tesslavvideodec");
    EXPECT_EQ(VideoDecoderMemory().Find(video.Key())->Factory, u"tesslavvideodec");
    ASSERT_TRUE(Connect(audio, device->Audio(0), filters.LavAudio()))
        << graph.Bus().LastError().toStdString();
    EXPECT_EQ(audio.Found(), u"tesslavaudiodec");

    EXPECT_TRUE(InPipeline(graph.Pipeline(), QStringLiteral("tesslavsplitter")));
    // Really decoded: the first picture carries its number.
    EXPECT_EQ(ShownNumber(chains.front().renderer), 0);
}

} // namespace
