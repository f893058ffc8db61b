#include "media/core/VideoFormat.h"
#include "media/core/TStreamFormat.h"
#include "media/core/WaveFormatName.h"

#include "TestPrinters.h"

#include <gtest/gtest.h>

namespace {

TStreamFormat Video(const char* name, int w, int h, int fpsN, int fpsD, int parN = 0, int parD = 0)
{
    TStreamFormat f;
    f.name = QString::fromLatin1(name);
    f.width = w;
    f.height = h;
    f.fpsNum = fpsN;
    f.fpsDen = fpsD;
    f.parNum = parN;
    f.parDen = parD;
    return f;
}

TEST(AspectClass, Classes)
{
    EXPECT_EQ(AspectClass(4, 3), acAspect4x3);
    EXPECT_EQ(AspectClass(768, 576), acAspect4x3);
    EXPECT_EQ(AspectClass(16, 9), acAspect16x9);
    EXPECT_EQ(AspectClass(0, 0), acAspectNone);
    EXPECT_EQ(AspectClass(-4, -3), acAspectNone);
    EXPECT_EQ(AspectClass(221, 100), acAspectOther);
    EXPECT_EQ(AspectClass(5, 0), acAspectOther);
}

TEST(CompleteVideoData, DescriptionsAndReduction)
{
    TVideoData v;
    v.subtypeName = QStringLiteral("MPEG2");
    v.aspectX = 16;
    v.aspectY = 9;
    CompleteVideoData(v, QLocale::c());
    EXPECT_EQ(v.aspectClass, acAspect16x9);
    EXPECT_EQ(v.description, u"MPEG2 (16x9)");

    v.aspectX = 221;
    v.aspectY = 100;
    CompleteVideoData(v, QLocale::c());
    EXPECT_EQ(v.aspectClass, acAspectOther);
    EXPECT_EQ(v.aspectX, 22);
    EXPECT_EQ(v.aspectY, 10);
    EXPECT_EQ(v.description, u"MPEG2 (22x10)");

    // 1250 / 10 = 125 -> 12.5 rounds to the even 12; 1150 -> 115 -> 11.5 rounds to 12.
    v.aspectX = 1250;
    v.aspectY = 1150;
    CompleteVideoData(v, QLocale::c());
    EXPECT_EQ(v.aspectX, 12);
    EXPECT_EQ(v.aspectY, 12);

    v.aspectX = 0;
    v.aspectY = 0;
    CompleteVideoData(v, QLocale::c());
    EXPECT_EQ(v.description, u"MPEG2");
}

TEST(CompleteVideoData, FrameRateFromFrameTime)
{
    TVideoData v;
    v.width = 720;
    v.height = 576;
    v.averageFrameTime = 400'000;
    CompleteVideoData(v, QLocale::c());
    EXPECT_DOUBLE_EQ(v.frameRate, 25.0);
    EXPECT_EQ(v.sizeText, u"720x576 - 25 fps");
    v.frameRate = 0;
    v.averageFrameTime = 0;
    CompleteVideoData(v, QLocale::c());
    EXPECT_EQ(v.sizeText, u"720x576");
}

TEST(SizeText, LocaleAndRounding)
{
    EXPECT_EQ(SizeText(720, 480, 30000.0 / 1001, QLocale::c()), u"720x480 - 29.97 fps");
    EXPECT_EQ(SizeText(720, 480, 30000.0 / 1001, QLocale(QLocale::French)), u"720x480 - 29,97 fps");
    EXPECT_EQ(SizeText(1920, 1080, 24000.0 / 1001, QLocale::c()), u"1920x1080 - 23.98 fps");
    EXPECT_EQ(SizeText(1920, 1080, 1200, QLocale(QLocale::German)), u"1920x1080 - 1200 fps");
    EXPECT_EQ(SizeText(16, 16, 0, QLocale::c()), u"16x16");
}

TEST(FrameTime, ExactRates)
{
    EXPECT_EQ(FrameTimeFromRate(25, 1), 400'000);
    EXPECT_EQ(FrameTimeFromRate(30000, 1001), 333'667);
    EXPECT_EQ(FrameTimeFromRate(24000, 1001), 417'083);
    EXPECT_EQ(FrameTimeFromRate(60000, 1001), 166'833);
    EXPECT_EQ(FrameTimeFromRate(0, 1), 0);
    EXPECT_EQ(FrameTimeFromRate(25, 0), 0);
}

TEST(DescribeVideoFormat, RawAndCompressed)
{
    TVideoData v;
    TStreamFormat f = Video("video/x-raw", 720, 480, 30000, 1001, 10, 11);
    f.format = QStringLiteral("I420");
    f.bitCount = 12;
    DescribeVideoFormat(f, v, QLocale::c());
    EXPECT_TRUE(v.valid);
    EXPECT_EQ(v.subtypeName, u"I420");
    EXPECT_EQ(v.averageFrameTime, 333'667);
    EXPECT_EQ(v.frameRate, 30000.0 / 1001); // the exact rate, not 10^7 / 333,667
    EXPECT_EQ(v.bitCount, 12);
    EXPECT_EQ(v.aspectX, 15); // 7200:5280 reduced
    EXPECT_EQ(v.aspectY, 11);
    EXPECT_EQ(v.description, u"I420 (15x11)");
    EXPECT_EQ(v.sizeText, u"720x480 - 29.97 fps");

    f = Video("video/mpeg", 720, 576, 25, 1, 64, 45);
    f.version = 2;
    DescribeVideoFormat(f, v, QLocale::c());
    EXPECT_EQ(v.description, u"MPEG2 (16x9)");

    f = Video("video/x-h264", 1920, 1080, 50, 1, 1, 1);
    DescribeVideoFormat(f, v, QLocale::c());
    EXPECT_EQ(v.description, u"H264 (16x9)");
    EXPECT_EQ(v.sizeText, u"1920x1080 - 50 fps");

    // No pixel aspect ratio: no aspect.
    f = Video("video/x-raw", 640, 480, 0, 1);
    f.format = QStringLiteral("BGRx");
    DescribeVideoFormat(f, v, QLocale::c());
    EXPECT_EQ(v.subtypeName, u"RGB32");
    EXPECT_EQ(v.aspectClass, acAspectNone);
    EXPECT_EQ(v.description, u"RGB32");
    EXPECT_EQ(v.sizeText, u"640x480");
}

TEST(DescribeVideoFormat, DvTakesNoAspectFromCaps)
{
    TVideoData v;
    TStreamFormat f = Video("video/x-dv", 720, 576, 25, 1, 16, 15);
    DescribeVideoFormat(f, v, QLocale::c());
    EXPECT_EQ(v.subtypeName, u"DV Type 2");
    EXPECT_EQ(v.aspectClass, acAspectNone);
    f.format = QStringLiteral("DVCP");
    EXPECT_EQ(SubtypeName(f), u"DV Type 1");
}

TEST(DescribeVideoFormat, NotVideoLeavesTheRecord)
{
    TVideoData v;
    DescribeVideoFormat(Video("video/x-raw", 320, 240, 25, 1), v, QLocale::c());
    const TVideoData before = v;
    TStreamFormat audio;
    audio.name = QStringLiteral("audio/x-raw");
    DescribeVideoFormat(audio, v, QLocale::c());
    EXPECT_FALSE(v.valid);
    EXPECT_EQ(v.width, before.width);
    EXPECT_EQ(v.description, before.description);
    TStreamFormat system = Video("video/x-dv", 720, 576, 25, 1);
    system.systemStream = true;
    DescribeVideoFormat(system, v, QLocale::c());
    EXPECT_FALSE(v.valid);
    DescribeVideoFormat(Video("video/quicktime", 1, 1, 25, 1), v, QLocale::c());
    EXPECT_FALSE(v.valid);
}

TEST(SubtypeName, Codes)
{
    TStreamFormat f;
    auto name = [&](const char* caps, int version = 0, const char* format = "") {
        f = TStreamFormat();
        f.name = QString::fromLatin1(caps);
        f.version = version;
        f.format = QString::fromLatin1(format);
        return SubtypeName(f);
    };
    EXPECT_EQ(name("video/mpeg", 1), u"MPEG1");
    EXPECT_EQ(name("video/mpeg", 4), u"MP4V");
    EXPECT_EQ(name("video/x-divx", 5), u"DX50");
    EXPECT_EQ(name("video/x-wmv", 3, "WVC1"), u"WVC1");
    EXPECT_EQ(name("video/x-raw", 0, "RGB"), u"RGB24");
    EXPECT_EQ(name("video/x-raw", 0, "RGB16"), u"RGB565");
    EXPECT_EQ(name("video/x-raw", 0, "YUY2"), u"YUY2");
    EXPECT_EQ(name("image/jpeg"), u"MJPG");
    EXPECT_EQ(name("video/x-something"), u"SOME");
}

TEST(WaveFormatName, Table)
{
    int known = 0;
    for (int tag = 0; tag <= 0xFFFF; ++tag)
        known += !WaveFormatName(quint16(tag)).isEmpty();
    EXPECT_EQ(known, 144);
    EXPECT_EQ(WaveFormatName(0x0001), u"PCM");
    EXPECT_EQ(WaveFormatName(0x0050), u"MPEG Audio");
    EXPECT_EQ(WaveFormatName(0x0088), u"ISIAUDIO ");
    EXPECT_EQ(WaveFormatName(0x0088).left(4), u"ISIA");
    EXPECT_EQ(WaveFormatName(0x1103), u"LH_SBC");
    EXPECT_EQ(WaveFormatName(0x7A22), u"GSM_AMR");
    EXPECT_EQ(WaveFormatName(0x2001), u"DTS");
    EXPECT_EQ(WaveFormatName(0x0008), u"DTS");
    EXPECT_EQ(WaveFormatName(0x0000), QString());
    EXPECT_EQ(WaveFormatName(0xFFFF), QString());
}

TEST(AudioFormatName, Names)
{
    auto name = [](const char* caps, int version = 0, int layer = 0, const char* format = "") {
        TStreamFormat f;
        f.name = QString::fromLatin1(caps);
        f.version = version;
        f.layer = layer;
        f.format = QString::fromLatin1(format);
        return AudioFormatName(f);
    };
    EXPECT_EQ(name("video/x-raw"), u"???");
    EXPECT_EQ(name("audio/x-raw", 0, 0, "S16LE"), u"PCM");
    EXPECT_EQ(name("audio/x-raw", 0, 0, "F32LE"), u"IEEE");
    EXPECT_EQ(name("audio/mpeg", 1, 3), u"MP3");
    EXPECT_EQ(name("audio/mpeg", 1, 2), u"MPEG1");
    EXPECT_EQ(name("audio/mpeg", 4), u"AAC");
    EXPECT_EQ(name("audio/x-ac3"), u"DOLBY AC3");
    EXPECT_EQ(name("audio/x-lpcm"), u"LPCM");
    EXPECT_EQ(name("audio/x-wma", 2), u"WMA");
    EXPECT_EQ(name("audio/x-wma", 3), u"WMA_");
    EXPECT_EQ(name("audio/x-opus"), u"???");
}

} // namespace
