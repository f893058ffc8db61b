#include "media/gst/CapsFormat.h"

#include <gst/audio/audio.h>
#include <gst/video/video.h>

#include <algorithm>
#include <limits>

namespace {

int IntField(const GstStructure* s, const char* name)
{
    int v = 0;
    return gst_structure_get_int(s, name, &v) ? v : 0;
}

QString StringField(const GstStructure* s, const char* name)
{
    const gchar* v = gst_structure_get_string(s, name);
    return v ? QString::fromUtf8(v) : QString();
}

int RawVideoBits(const QString& format)
{
    const GstVideoFormat f = gst_video_format_from_string(format.toUtf8().constData());
    const GstVideoFormatInfo* info = gst_video_format_get_info(f);
    if (!info || f == GST_VIDEO_FORMAT_UNKNOWN || f == GST_VIDEO_FORMAT_ENCODED)
        return 0;
    if (GST_VIDEO_FORMAT_INFO_N_PLANES(info) == 1 && !GST_VIDEO_FORMAT_INFO_IS_TILED(info))
        return GST_VIDEO_FORMAT_INFO_PSTRIDE(info, 0) * 8;
    int bits = 0;
    for (guint c = 0; c < GST_VIDEO_FORMAT_INFO_N_COMPONENTS(info); ++c)
        bits += GST_VIDEO_FORMAT_INFO_DEPTH(info, c) >>
                (GST_VIDEO_FORMAT_INFO_W_SUB(info, c) + GST_VIDEO_FORMAT_INFO_H_SUB(info, c));
    return bits;
}

} // namespace

TStreamFormat StreamFormatFromCaps(const GstCaps* caps)
{
    TStreamFormat f;
    if (!caps || gst_caps_is_any(caps) || gst_caps_is_empty(caps))
        return f;
    const GstStructure* s = gst_caps_get_structure(caps, 0);
    f.name = QString::fromUtf8(gst_structure_get_name(s));
    gboolean system = FALSE;
    f.systemStream = gst_structure_get_boolean(s, "systemstream", &system) && system;
    f.format = StringField(s, "format");
    for (const char* field : {"mpegversion", "divxversion", "msmpegversion", "wmvversion",
                              "wmaversion", "indeoversion", "svqversion", "h263version"}) {
        if (gst_structure_has_field(s, field)) {
            f.version = IntField(s, field);
            break;
        }
    }
    f.layer = IntField(s, "layer");
    f.mpegAudioVersion = IntField(s, "mpegaudioversion");
    f.layout = StringField(s, "layout");
    f.width = IntField(s, "width");
    f.height = IntField(s, "height");
    int num = 0, den = 1;
    if (gst_structure_get_fraction(s, "framerate", &num, &den) && num > 0 && den > 0) {
        f.fpsNum = num;
        f.fpsDen = den;
    }
    if (gst_structure_get_fraction(s, "pixel-aspect-ratio", &num, &den) && num > 0 && den > 0) {
        f.parNum = num;
        f.parDen = den;
    }
    f.bitRate = IntField(s, "bitrate");
    f.channels = IntField(s, "channels");
    f.rate = IntField(s, "rate");
    if (f.name == u"video/x-raw")
        f.bitCount = RawVideoBits(f.format);
    else
        f.bitCount = IntField(s, "bpp");
    if (f.name == u"audio/x-raw") {
        const GstAudioFormat af = gst_audio_format_from_string(f.format.toUtf8().constData());
        const GstAudioFormatInfo* info = gst_audio_format_get_info(af);
        if (info && af != GST_AUDIO_FORMAT_UNKNOWN) {
            f.bitsPerSample = GST_AUDIO_FORMAT_INFO_WIDTH(info);
            if (f.bitRate == 0) {
                const qint64 bits =
                    qint64(std::max(f.rate, 0)) * std::max(f.channels, 0) * f.bitsPerSample;
                f.bitRate = int(std::min<qint64>(bits, std::numeric_limits<int>::max()));
            }
        }
    } else if (f.name.startsWith(u"audio/")) {
        f.bitsPerSample = IntField(s, "depth");
    }
    return f;
}
