#include "media/gst/CapsFormat.h"
#include "GstTestEnvironment.h"
#include "media/core/VideoFormat.h"

#include "TestPrinters.h"

#include <gtest/gtest.h>

namespace {

TStreamFormat FromString(const char* caps)
{
    EnsureGstreamer();
    GstCaps* c = gst_caps_from_string(caps);
    const TStreamFormat f = StreamFormatFromCaps(c);
    if (c)
        gst_caps_unref(c);
    return f;
}

TVideoData Describe(const char* caps)
{
    TVideoData v;
    DescribeVideoFormat(FromString(caps), v, QLocale::c());
    return v;
}

TEST(CapsFormat, RawVideo)
{
    const TVideoData v = Describe("video/x-raw,format=I420,width=720,height=576,"
                                  "framerate=25/1,pixel-aspect-ratio=16/15");
    EXPECT_TRUE(v.valid);
    EXPECT_EQ(v.bitCount, 12);
    EXPECT_EQ(v.description, u"I420 (4x3)");
    EXPECT_EQ(v.sizeText, u"720x576 - 25 fps");
    EXPECT_EQ(Describe("video/x-raw,format=BGRx,width=2,height=2").bitCount, 32);
    EXPECT_EQ(Describe("video/x-raw,format=YUY2,width=2,height=2").bitCount, 16);
    EXPECT_EQ(Describe("video/x-raw,format=RGB,width=2,height=2").subtypeName, u"RGB24");
}

TEST(CapsFormat, CompressedVideo)
{
    EXPECT_EQ(Describe("video/x-dv,systemstream=false,width=720,height=480,"
                       "framerate=30000/1001,pixel-aspect-ratio=10/11")
                  .description,
              u"DV Type 2");
    EXPECT_FALSE(Describe("video/x-dv,systemstream=true").valid);
    const TVideoData mpeg = Describe("video/mpeg,mpegversion=2,systemstream=false,width=720,"
                                     "height=576,framerate=25/1,pixel-aspect-ratio=64/45");
    EXPECT_EQ(mpeg.description, u"MPEG2 (16x9)");
    EXPECT_EQ(StreamKind(FromString("video/mpeg,mpegversion=2,systemstream=false")),
              TStreamKind::Mpeg2Video);
    EXPECT_EQ(StreamKind(FromString("video/mpeg,mpegversion=2,systemstream=true")),
              TStreamKind::Other);
    EXPECT_EQ(StreamKind(FromString("video/x-dv,systemstream=true")), TStreamKind::DvInterleaved);
    EXPECT_EQ(Describe("video/x-h264,width=1280,height=720,framerate=60000/1001,"
                       "pixel-aspect-ratio=1/1")
                  .sizeText,
              u"1280x720 - 59.94 fps");
}

TEST(CapsFormat, Audio)
{
    TStreamFormat f =
        FromString("audio/x-raw,format=S16LE,rate=48000,channels=2,layout=interleaved");
    EXPECT_EQ(StreamKind(f), TStreamKind::Audio);
    EXPECT_EQ(f.bitsPerSample, 16);
    EXPECT_EQ(f.bitRate, 1'536'000);
    EXPECT_EQ(AudioFormatName(f), u"PCM");
    f = FromString("audio/mpeg,mpegversion=1,layer=3,rate=44100,channels=2,bitrate=128000");
    EXPECT_EQ(AudioFormatName(f), u"MP3");
    EXPECT_EQ(f.bitRate, 128'000);
    EXPECT_EQ(AudioFormatName(FromString("audio/x-ac3,rate=48000,channels=6")), u"DOLBY AC3");
}

TEST(CapsFormat, EmptyAndAny)
{
    EnsureGstreamer();
    EXPECT_TRUE(StreamFormatFromCaps(nullptr).name.isEmpty());
    GstCaps* any = gst_caps_new_any();
    EXPECT_TRUE(StreamFormatFromCaps(any).name.isEmpty());
    gst_caps_unref(any);
    EXPECT_EQ(FromString("video/x-raw,format=NOPE,width=4,height=4").bitCount, 0);
}

} // namespace
