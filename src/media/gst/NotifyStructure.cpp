#include "media/gst/NotifyStructure.h"

#include "base/PrivateMessages.h"

namespace {

// Writes fields into a structure.
class TWriter {
public:
    explicit TWriter(GstStructure* s)
        : m_s(s)
    {
    }
    void Field(const char* key, bool v) { gst_structure_set(m_s, key, G_TYPE_BOOLEAN, v, nullptr); }
    void Field(const char* key, qint32 v) { gst_structure_set(m_s, key, G_TYPE_INT, v, nullptr); }
    void Field(const char* key, quint8 v) { Field(key, qint32(v)); }
    void Field(const char* key, qint64 v)
    {
        gst_structure_set(m_s, key, G_TYPE_INT64, gint64(v), nullptr);
    }
    void Field(const char* key, double v)
    {
        gst_structure_set(m_s, key, G_TYPE_DOUBLE, v, nullptr);
    }
    void Field(const char* key, const QString& v)
    {
        gst_structure_set(m_s, key, G_TYPE_STRING, v.toUtf8().constData(), nullptr);
    }

private:
    GstStructure* m_s;
};

// Reads fields out of a structure; a missing or mistyped field leaves the value as it was.
class TReader {
public:
    explicit TReader(const GstStructure* s)
        : m_s(s)
    {
    }
    void Field(const char* key, bool& v)
    {
        gboolean b = FALSE;
        if (gst_structure_get_boolean(m_s, key, &b))
            v = b;
    }
    void Field(const char* key, qint32& v)
    {
        gint i = 0;
        if (gst_structure_get_int(m_s, key, &i))
            v = i;
    }
    void Field(const char* key, quint8& v)
    {
        gint i = 0;
        if (gst_structure_get_int(m_s, key, &i) && i >= 0 && i <= 255)
            v = quint8(i);
    }
    void Field(const char* key, qint64& v)
    {
        gint64 i = 0;
        if (gst_structure_get_int64(m_s, key, &i))
            v = i;
    }
    void Field(const char* key, double& v)
    {
        gdouble d = 0;
        if (gst_structure_get_double(m_s, key, &d))
            v = d;
    }
    void Field(const char* key, QString& v)
    {
        if (const gchar* s = gst_structure_get_string(m_s, key))
            v = QString::fromUtf8(s);
    }

private:
    const GstStructure* m_s;
};

// One list of fields per record, used both ways.
template <class V, class T> void VideoFields(V& v, T& d)
{
    v.Field("valid", d.valid);
    v.Field("width", d.width);
    v.Field("height", d.height);
    v.Field("bit-count", d.bitCount);
    v.Field("average-frame-time", d.averageFrameTime);
    v.Field("subtype-name", d.subtypeName);
    v.Field("aspect-x", d.aspectX);
    v.Field("aspect-y", d.aspectY);
    v.Field("bit-rate", d.bitRate);
    v.Field("frame-rate", d.frameRate);
    v.Field("size-text", d.sizeText);
    v.Field("aspect-class", d.aspectClass);
    v.Field("description", d.description);
}

template <class V, class T> void FrameFields(V& v, T& d)
{
    v.Field("frame-number", d.frameNumber);
    v.Field("dv-info-format", d.dvInfoFormat);
    v.Field("dv-frame-read", d.dvFrameRead);
    v.Field("tv-system", d.tvSystem);
    v.Field("date-valid", d.dateValid);
    v.Field("date", d.date);
    v.Field("earliest-date", d.earliestDate);
    v.Field("date-text", d.dateText);
    v.Field("timecode-valid", d.timecodeValid);
    v.Field("hours", d.hours);
    v.Field("minutes", d.minutes);
    v.Field("seconds", d.seconds);
    v.Field("frames", d.frames);
    v.Field("timecode-text", d.timecodeText);
    v.Field("audio-format-name", d.audioFormatName);
    v.Field("channels", d.channels);
    v.Field("bits-per-sample", d.bitsPerSample);
    v.Field("sampling-rate", d.samplingRate);
    v.Field("audio-bit-rate", d.bitRate);
    v.Field("audio-text", d.audioText);
}

template <class V, class T> void OverlayFields(V& v, T& d)
{
    v.Field("date-valid", d.dateValid);
    v.Field("timecode-valid", d.timecodeValid);
    v.Field("date", d.date);
    v.Field("timecode-text", d.timecodeText);
}

template <class V, class P> void PayloadFields(V& v, P& p)
{
    switch (p.message) {
    case NM_VIDEO_INFO:
        v.Field("kind", p.kind);
        VideoFields(v, p.video);
        break;
    case NM_AUDIO_INFO:
        v.Field("kind", p.kind);
        FrameFields(v, p.frame);
        break;
    case NM_DATECODE:
    case NM_TIMECODE:
        FrameFields(v, p.frame);
        break;
    case NM_STREAM_CODES:
        OverlayFields(v, p.overlay);
        break;
    case NM_POSITION_CHANGED:
    case NM_POSITION_TEXT:
        v.Field("text", p.text);
        v.Field("position", p.position);
        v.Field("origin", p.origin);
        break;
    case NM_FRAME_DURATION:
        v.Field("frame-duration", p.frameDuration);
        break;
    case NM_TARGET_REACHED:
        v.Field("slot", p.slot);
        v.Field("target", p.target);
        v.Field("position", p.position);
        break;
    default:
        break;
    }
}

} // namespace

GstStructure* NotifyStructure(const TNotifyPayload& payload)
{
    const char* name = NotifyMessageName(payload.message);
    if (!name)
        return nullptr;
    GstStructure* s = gst_structure_new_empty(name);
    TWriter writer(s);
    writer.Field("value", qint32(payload.message));
    PayloadFields(writer, payload);
    return s;
}

bool PayloadFromStructure(const GstStructure* structure, TNotifyPayload& payload)
{
    if (!structure)
        return false;
    const int message = NotifyMessageValue(gst_structure_get_name(structure));
    if (message == 0)
        return false;
    TNotifyPayload p;
    p.message = message;
    TReader reader(structure);
    PayloadFields(reader, p);
    payload = std::move(p);
    return true;
}
