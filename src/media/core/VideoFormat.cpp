#include "media/core/VideoFormat.h"

#include "base/RefTime.h"
#include "media/core/WaveFormatName.h"

#include <cmath>
#include <limits>
#include <numeric>

namespace {

bool StartsWith(const QString& s, const char* prefix)
{
    return s.startsWith(QLatin1StringView(prefix));
}
bool Is(const QString& s, const char* name)
{
    return s == QLatin1StringView(name);
}

// Containers and multiplexed streams carry no video description of their own.
bool IsContainer(const TStreamFormat& f)
{
    static const char* const kContainers[] = {
        "video/x-msvideo", "video/quicktime", "video/x-matroska", "video/webm",   "video/mpegts",
        "video/x-flv",     "video/x-ms-asf",  "video/ogg",        "video/x-cdxa",
    };
    if (f.systemStream)
        return true;
    for (const char* c : kContainers)
        if (Is(f.name, c))
            return true;
    return false;
}

bool IsVideo(const TStreamFormat& f)
{
    return (StartsWith(f.name, "video/") || StartsWith(f.name, "image/")) && !IsContainer(f);
}

struct TRawName {
    const char* format;
    const char* name;
};

// Raw formats named as the RGB subtypes; the YUV ones keep their own four-character names.
constexpr TRawName kRawNames[] = {
    {"RGB", "RGB24"},    {"BGR", "RGB24"},    {"BGRx", "RGB32"},   {"xRGB", "RGB32"},
    {"RGBx", "RGB32"},   {"xBGR", "RGB32"},   {"BGRA", "RGB32"},   {"ARGB", "RGB32"},
    {"RGBA", "RGB32"},   {"ABGR", "RGB32"},   {"RGB16", "RGB565"}, {"BGR16", "RGB565"},
    {"RGB15", "RGB555"}, {"BGR15", "RGB555"}, {"RGB8P", "RGB8"},   {"GRAY8", "Y800"},
};

struct TCodecName {
    const char* caps;
    int version; // 0: any
    const char* name;
};

constexpr TCodecName kCodecNames[] = {
    {"video/x-h264", 0, "H264"},    {"video/x-h265", 0, "HEVC"},
    {"video/x-h263", 0, "H263"},    {"video/mpeg", 1, "MPEG1"},
    {"video/mpeg", 2, "MPEG2"},     {"video/mpeg", 4, "MP4V"},
    {"video/x-divx", 3, "DIV3"},    {"video/x-divx", 4, "DIVX"},
    {"video/x-divx", 5, "DX50"},    {"video/x-xvid", 0, "XVID"},
    {"video/x-msmpeg", 41, "MPG4"}, {"video/x-msmpeg", 42, "MP42"},
    {"video/x-msmpeg", 43, "MP43"}, {"video/x-wmv", 1, "WMV1"},
    {"video/x-wmv", 2, "WMV2"},     {"video/x-wmv", 3, "WMV3"},
    {"video/x-vp8", 0, "VP80"},     {"video/x-vp9", 0, "VP90"},
    {"video/x-av1", 0, "AV01"},     {"image/jpeg", 0, "MJPG"},
    {"video/x-theora", 0, "THEO"},  {"video/x-huffyuv", 0, "HFYU"},
    {"video/x-ffv", 0, "FFV1"},     {"video/x-flash-video", 0, "FLV1"},
    {"video/x-dirac", 0, "drac"},   {"video/x-cinepak", 0, "cvid"},
    {"video/x-dnxhd", 0, "AVdn"},   {"video/x-prores", 0, "apcn"},
};

QString FourCcFromName(const TStreamFormat& f)
{
    if (Is(f.name, "video/x-raw")) {
        for (const auto& r : kRawNames)
            if (Is(f.format, r.format))
                return QLatin1StringView(r.name);
        return f.format.left(4);
    }
    // WMV 3 and VC-1 differ only by their "format" field.
    if (Is(f.name, "video/x-wmv") && f.version == 3 && f.format.size() == 4)
        return f.format;
    for (const auto& c : kCodecNames)
        if (Is(f.name, c.caps) && (c.version == 0 || c.version == f.version))
            return QLatin1StringView(c.name);
    // Unknown codec: the first letters of its caps name.
    QString tail = f.name.mid(f.name.indexOf(u'/') + 1);
    if (tail.startsWith(u"x-"))
        tail = tail.mid(2);
    return tail.left(4).toUpper();
}

// Four-character DV code of a DV video stream.
QString DvFourCc(const TStreamFormat& f)
{
    const QString lower = f.format.toLower();
    return lower == u"dvcp" ? lower : QStringLiteral("dvsd");
}

qint32 ClampToInt32(qint64 v)
{
    return v > std::numeric_limits<qint32>::max() ? std::numeric_limits<qint32>::max() : qint32(v);
}

// x / 10 rounded, halves to even.
qint32 DivTenRoundEven(qint32 x)
{
    qint32 q = x / 10;
    const qint32 r = x % 10;
    if (r > 5 || (r == 5 && (q & 1) != 0))
        ++q;
    return q;
}

} // namespace

TStreamKind StreamKind(const TStreamFormat& f)
{
    if (Is(f.name, "video/x-dv"))
        return f.systemStream ? TStreamKind::DvInterleaved : TStreamKind::DvVideo;
    if (Is(f.name, "video/mpeg") && f.version == 2 && !f.systemStream)
        return TStreamKind::Mpeg2Video;
    if (IsVideo(f))
        return TStreamKind::Video;
    if (StartsWith(f.name, "audio/"))
        return TStreamKind::Audio;
    return TStreamKind::Other;
}

qint64 FrameTimeFromRate(int num, int den)
{
    if (num <= 0 || den <= 0)
        return 0;
    // Rounded: 30000/1001 gives 333,667.
    return (qint64(den) * kRefTimePerSecond * 2 + num) / (qint64(num) * 2);
}

quint8 AspectClass(qint32 x, qint32 y)
{
    if (x <= 0 && y <= 0)
        return acAspectNone;
    const qint64 lx = x, ly = y;
    if (3 * lx == 4 * ly)
        return acAspect4x3;
    if (9 * lx == 16 * ly)
        return acAspect16x9;
    return acAspectOther;
}

QString SizeText(int width, int height, double frameRate, const QLocale& locale)
{
    QString text = QString::number(width) + u'x' + QString::number(height);
    if (frameRate > 0) {
        QLocale l = locale;
        l.setNumberOptions(QLocale::OmitGroupSeparator);
        const double rounded = std::round(frameRate * 100) / 100;
        text += u" - " + l.toString(rounded, 'g', 15) + u" fps";
    }
    return text;
}

void CompleteVideoData(TVideoData& v, const QLocale& locale)
{
    v.aspectClass = AspectClass(v.aspectX, v.aspectY);
    if (v.aspectClass == acAspectOther) {
        while (v.aspectX > 99 && v.aspectY > 99) {
            v.aspectX = DivTenRoundEven(v.aspectX);
            v.aspectY = DivTenRoundEven(v.aspectY);
        }
    }
    switch (v.aspectClass) {
    case acAspect4x3:
        v.description = v.subtypeName + u" (4x3)";
        break;
    case acAspect16x9:
        v.description = v.subtypeName + u" (16x9)";
        break;
    case acAspectOther:
        v.description = v.subtypeName + u" (" + QString::number(v.aspectX) + u'x' +
                        QString::number(v.aspectY) + u')';
        break;
    default:
        v.description = v.subtypeName;
        break;
    }
    if (v.frameRate <= 0)
        v.frameRate = v.averageFrameTime > 0 ? double(kRefTimePerSecond) / v.averageFrameTime : 0;
    v.sizeText = SizeText(v.width, v.height, v.frameRate, locale);
}

void DescribeVideoFormat(const TStreamFormat& f, TVideoData& v, const QLocale& locale)
{
    if (!IsVideo(f)) {
        v.valid = false;
        return;
    }
    v.valid = true;
    v.width = f.width;
    v.height = f.height;
    v.bitCount = f.bitCount;
    v.bitRate = f.bitRate;
    v.averageFrameTime = FrameTimeFromRate(f.fpsNum, f.fpsDen);
    // The exact rate when the caps give one: 30000/1001, not 10^7 / 333,667.
    v.frameRate = v.averageFrameTime > 0 ? double(f.fpsNum) / f.fpsDen : 0;
    v.aspectX = 0;
    v.aspectY = 0;
    // DV takes its aspect from the frames themselves.
    if (StreamKind(f) != TStreamKind::DvVideo && f.parNum > 0 && f.parDen > 0 && f.width > 0 &&
        f.height > 0) {
        qint64 x = qint64(f.width) * f.parNum;
        qint64 y = qint64(f.height) * f.parDen;
        const qint64 g = std::gcd(x, y);
        x /= g;
        y /= g;
        while (x > std::numeric_limits<qint32>::max() || y > std::numeric_limits<qint32>::max()) {
            x /= 10;
            y /= 10;
        }
        v.aspectX = ClampToInt32(x);
        v.aspectY = ClampToInt32(y);
    }
    v.subtypeName = SubtypeName(f);
    CompleteVideoData(v, locale);
}

QString SubtypeName(const TStreamFormat& f)
{
    if (Is(f.name, "video/x-dv")) {
        const QString code = DvFourCc(f);
        return code == u"dvcp" ? QStringLiteral("DV Type 1") : QStringLiteral("DV Type 2");
    }
    return FourCcFromName(f);
}

quint16 WaveFormatTag(const TStreamFormat& f)
{
    const QString& n = f.name;
    if (Is(n, "audio/x-raw")) {
        if (f.format.startsWith(u'F'))
            return 0x0003;
        return f.format.isEmpty() ? 0 : 0x0001;
    }
    if (Is(n, "audio/mpeg")) {
        if (f.version == 1 && f.layer == 3)
            return 0x0055;
        if (f.version == 2 || f.version == 4)
            return 0x00FF;
        return 0;
    }
    struct TTag {
        const char* caps;
        int version;
        quint16 tag;
    };
    static constexpr TTag kTags[] = {
        {"audio/x-alaw", 0, 0x0006},   {"audio/x-mulaw", 0, 0x0007},
        {"audio/x-dts", 0, 0x2001},    {"audio/x-gsm", 0, 0x0031},
        {"audio/x-wma", 1, 0x0160},    {"audio/x-wma", 2, 0x0161},
        {"audio/x-wma", 3, 0x0162},    {"audio/x-wma", 4, 0x0163},
        {"audio/x-vorbis", 0, 0x674F}, {"audio/x-truespeech", 0, 0x0022},
        {"audio/x-sipro", 0, 0x0130},  {"audio/x-voxware", 0, 0x0075},
        {"audio/x-cook", 0, 0x2004},
    };
    if (Is(n, "audio/x-adpcm")) {
        if (f.layout == u"microsoft")
            return 0x0002;
        if (f.layout == u"dvi")
            return 0x0011;
        return 0;
    }
    for (const auto& t : kTags)
        if (Is(n, t.caps) && (t.version == 0 || t.version == f.version))
            return t.tag;
    return 0;
}

QString AudioFormatName(const TStreamFormat& f)
{
    const QString& n = f.name;
    if (!StartsWith(n, "audio/"))
        return QStringLiteral("???");
    if (Is(n, "audio/x-ac3") || Is(n, "audio/ac3") || Is(n, "audio/x-eac3"))
        return QStringLiteral("DOLBY AC3");
    if (Is(n, "audio/x-lpcm") || Is(n, "audio/x-private1-lpcm"))
        return QStringLiteral("LPCM");
    if (Is(n, "audio/mpeg") && f.version == 1 && f.layer != 3)
        return f.mpegAudioVersion >= 2 ? QStringLiteral("MPEG2") : QStringLiteral("MPEG1");
    const quint16 tag = WaveFormatTag(f);
    if (tag != 0)
        return WaveFormatName(tag).left(4);
    return QStringLiteral("???");
}
