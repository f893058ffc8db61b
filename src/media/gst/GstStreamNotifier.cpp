#include "media/gst/GstStreamNotifier.h"

#include "media/core/TDvFramer.h"
#include "media/core/TNotifier.h"
#include "media/gst/CapsFormat.h"
#include "media/gst/NotifierPost.h"

#include <gst/base/gstbasetransform.h>

#include <mutex>

GST_DEBUG_CATEGORY_STATIC(tess_stream_notifier_debug);
#define GST_CAT_DEFAULT tess_stream_notifier_debug

namespace {

struct TStreamNotifierState {
    std::mutex lock;
    TNotifier logic;
    // A raw DV file comes in chunks of any size: they are put back into frames.
    TDvFramer framer;
};

} // namespace

struct TessStreamNotifier {
    GstBaseTransform parent;
    TStreamNotifierState* state;
};

struct TessStreamNotifierClass {
    GstBaseTransformClass parent_class;
};

G_DEFINE_TYPE(TessStreamNotifier, tess_stream_notifier, GST_TYPE_BASE_TRANSFORM)

namespace {

enum {
    PROP_0,
    PROP_VIDEO_NOTIFY,
    PROP_AUDIO_NOTIFY,
    PROP_DATECODE_NOTIFY,
    PROP_TIMECODE_NOTIFY,
    PROP_POSITION_NOTIFY,
    PROP_DV_OVERLAY,
    PROP_BEHIND_DV,
    PROP_DATECODE_FORMAT,
    PROP_MODE,
    PROP_ENABLED,
};

GstStaticPadTemplate sink_template =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS_ANY);
GstStaticPadTemplate src_template =
    GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS_ANY);

TessStreamNotifier* Self(gpointer p)
{
    return reinterpret_cast<TessStreamNotifier*>(p);
}

// Runs f on the logic under the lock, then posts what it reported.
template <class F> void WithLogic(TessStreamNotifier* self, F&& f)
{
    TNotifyReports reports;
    {
        std::lock_guard guard(self->state->lock);
        f(self->state->logic, reports);
    }
    PostNotifyReports(GST_ELEMENT(self), reports);
}

void SetProperty(GObject* object, guint id, const GValue* value, GParamSpec* pspec)
{
    TessStreamNotifier* self = Self(object);
    WithLogic(self, [&](TNotifier& n, TNotifyReports& out) {
        switch (id) {
        case PROP_VIDEO_NOTIFY:
            n.SetVideoNotify(g_value_get_boolean(value));
            break;
        case PROP_AUDIO_NOTIFY:
            n.SetAudioNotify(g_value_get_boolean(value));
            break;
        case PROP_DATECODE_NOTIFY:
            n.SetDatecodeNotify(g_value_get_boolean(value));
            break;
        case PROP_TIMECODE_NOTIFY:
            n.SetTimecodeNotify(g_value_get_boolean(value));
            break;
        case PROP_POSITION_NOTIFY:
            n.SetPositionNotify(g_value_get_boolean(value));
            break;
        case PROP_DV_OVERLAY:
            n.SetDvOverlay(g_value_get_boolean(value), out);
            break;
        case PROP_BEHIND_DV:
            n.SetBehindDvNotifier(g_value_get_boolean(value));
            break;
        case PROP_DATECODE_FORMAT: {
            const gchar* s = g_value_get_string(value);
            n.SetDatecodeFormat(s ? QString::fromUtf8(s) : QString());
            break;
        }
        case PROP_MODE:
            n.SetMode(g_value_get_int(value));
            break;
        default:
            G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
            break;
        }
    });
}

void GetProperty(GObject* object, guint id, GValue* value, GParamSpec* pspec)
{
    TessStreamNotifier* self = Self(object);
    std::lock_guard guard(self->state->lock);
    const TNotifier& n = self->state->logic;
    switch (id) {
    case PROP_VIDEO_NOTIFY:
        g_value_set_boolean(value, n.VideoNotify());
        break;
    case PROP_AUDIO_NOTIFY:
        g_value_set_boolean(value, n.AudioNotify());
        break;
    case PROP_DATECODE_NOTIFY:
        g_value_set_boolean(value, n.DatecodeNotify());
        break;
    case PROP_TIMECODE_NOTIFY:
        g_value_set_boolean(value, n.TimecodeNotify());
        break;
    case PROP_POSITION_NOTIFY:
        g_value_set_boolean(value, n.PositionNotify());
        break;
    case PROP_DV_OVERLAY:
        g_value_set_boolean(value, n.DvOverlay());
        break;
    case PROP_BEHIND_DV:
        g_value_set_boolean(value, n.BehindDvNotifier());
        break;
    case PROP_DATECODE_FORMAT:
        g_value_set_string(value, n.DatecodeFormat().toUtf8().constData());
        break;
    case PROP_MODE:
        g_value_set_int(value, n.Mode());
        break;
    case PROP_ENABLED:
        g_value_set_boolean(value, n.Enabled());
        break;
    default:
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
        break;
    }
}

void Finalize(GObject* object)
{
    delete Self(object)->state;
    G_OBJECT_CLASS(tess_stream_notifier_parent_class)->finalize(object);
}

gboolean Start(GstBaseTransform* trans)
{
    TessStreamNotifier* self = Self(trans);
    std::lock_guard guard(self->state->lock);
    self->state->logic.StreamStart();
    return TRUE;
}

gboolean SinkEvent(GstBaseTransform* trans, GstEvent* event)
{
    TessStreamNotifier* self = Self(trans);
    if (GST_EVENT_TYPE(event) == GST_EVENT_STREAM_START) {
        std::lock_guard guard(self->state->lock);
        self->state->logic.StreamStart();
        self->state->framer.Reset();
    } else if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP ||
               GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
        std::lock_guard guard(self->state->lock);
        self->state->framer.Reset();
    }
    return GST_BASE_TRANSFORM_CLASS(tess_stream_notifier_parent_class)->sink_event(trans, event);
}

gboolean SetCaps(GstBaseTransform* trans, GstCaps* incaps, GstCaps*)
{
    const TStreamFormat format = StreamFormatFromCaps(incaps);
    GST_DEBUG_OBJECT(trans, "caps %" GST_PTR_FORMAT, incaps);
    WithLogic(Self(trans), [&](TNotifier& n, TNotifyReports& out) { n.SetMediaType(format, out); });
    return TRUE;
}

GstFlowReturn TransformIp(GstBaseTransform* trans, GstBuffer* buffer)
{
    TessStreamNotifier* self = Self(trans);
    bool framed = false;
    {
        std::lock_guard guard(self->state->lock);
        if (!self->state->logic.Enabled())
            return GST_FLOW_OK;
        framed = self->state->logic.ReadsDvFrames();
    }
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ))
        return GST_FLOW_OK; // never rejected: an unreadable sample just teaches nothing
    const GstClockTime time =
        GST_BUFFER_PTS_IS_VALID(buffer) ? GST_BUFFER_PTS(buffer) : GST_BUFFER_DTS(buffer);
    GST_LOG_OBJECT(trans,
                   "sample of %" G_GSIZE_FORMAT " bytes at %" GST_TIME_FORMAT
                   ", offset %" G_GUINT64_FORMAT,
                   map.size, GST_TIME_ARGS(time), GST_BUFFER_OFFSET(buffer));
    if (framed && map.size != 144000 && map.size != 120000) {
        // Chunks of a raw file: each frame read once whole, its time from its number, as the
        // demuxer that follows times it.
        const std::int64_t offset =
            GST_BUFFER_OFFSET_IS_VALID(buffer) ? std::int64_t(GST_BUFFER_OFFSET(buffer)) : -1;
        WithLogic(self, [&](TNotifier& n, TNotifyReports& out) {
            self->state->framer.Push(
                map.data, map.size, offset,
                [&](const std::uint8_t* aData, std::size_t aSize, std::int64_t aNumber) {
                    n.ProcessSample(aData, aSize, out);
                    const GstClockTime frame = aSize == 144000
                                                   ? GST_SECOND / 25
                                                   : gst_util_uint64_scale(GST_SECOND, 1001, 30000);
                    n.RecordCodesAt(aNumber * std::int64_t(frame));
                });
        });
    } else {
        WithLogic(self, [&](TNotifier& n, TNotifyReports& out) {
            n.ProcessSample(map.data, map.size, out);
            if (GST_CLOCK_TIME_IS_VALID(time))
                n.RecordCodesAt(std::int64_t(time));
        });
    }
    gst_buffer_unmap(buffer, &map);
    return GST_FLOW_OK;
}

GParamSpec* BoolSpec(const char* name, const char* blurb, gboolean def)
{
    return g_param_spec_boolean(name, name, blurb, def,
                                GParamFlags(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS));
}

} // namespace

static void tess_stream_notifier_class_init(TessStreamNotifierClass* klass)
{
    GObjectClass* gobject = G_OBJECT_CLASS(klass);
    GstElementClass* element = GST_ELEMENT_CLASS(klass);
    GstBaseTransformClass* trans = GST_BASE_TRANSFORM_CLASS(klass);
    gobject->set_property = SetProperty;
    gobject->get_property = GetProperty;
    gobject->finalize = Finalize;
    g_object_class_install_property(gobject, PROP_VIDEO_NOTIFY,
                                    BoolSpec("video-notify", "Report the video format", TRUE));
    g_object_class_install_property(gobject, PROP_AUDIO_NOTIFY,
                                    BoolSpec("audio-notify", "Report the audio format", TRUE));
    g_object_class_install_property(
        gobject, PROP_DATECODE_NOTIFY,
        BoolSpec("datecode-notify", "Report DV recording date changes", TRUE));
    g_object_class_install_property(
        gobject, PROP_TIMECODE_NOTIFY,
        BoolSpec("timecode-notify", "Report DV timecode changes", TRUE));
    g_object_class_install_property(
        gobject, PROP_POSITION_NOTIFY,
        BoolSpec("position-notify", "Report the frame duration with the video format", TRUE));
    g_object_class_install_property(
        gobject, PROP_DV_OVERLAY,
        BoolSpec("dv-overlay", "Report the DV date and timecode with every sample", FALSE));
    g_object_class_install_property(
        gobject, PROP_BEHIND_DV,
        BoolSpec("behind-dv-notifier", "Describe DV video as coming from a DV device", FALSE));
    g_object_class_install_property(
        gobject, PROP_DATECODE_FORMAT,
        g_param_spec_string("datecode-format", "datecode-format",
                            "Picture of the recording date text (empty: short date, long time)",
                            "dddddd - tt",
                            GParamFlags(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS)));
    g_object_class_install_property(
        gobject, PROP_MODE,
        g_param_spec_int("mode", "mode", "A tag for the owner, not read by the element", G_MININT,
                         G_MAXINT, 0, GParamFlags(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS)));
    g_object_class_install_property(
        gobject, PROP_ENABLED,
        g_param_spec_boolean("enabled", "enabled", "Whether samples are read at all", TRUE,
                             GParamFlags(G_PARAM_READABLE | G_PARAM_STATIC_STRINGS)));

    gst_element_class_set_static_metadata(element, "StreamNotifier de Orvalis",
                                          "Filter/Analyzer/Video/Audio",
                                          "Reports stream formats, DV recording dates, DV "
                                          "timecodes and MPEG-2 sequence headers",
                                          "Orvalis");
    gst_element_class_add_static_pad_template(element, &sink_template);
    gst_element_class_add_static_pad_template(element, &src_template);
    trans->start = Start;
    trans->sink_event = SinkEvent;
    trans->set_caps = SetCaps;
    trans->transform_ip = TransformIp;
    trans->transform_ip_on_passthrough = TRUE;
    GST_DEBUG_CATEGORY_INIT(tess_stream_notifier_debug, "streamnotifier", 0, "Stream notifier");
}

static void tess_stream_notifier_init(TessStreamNotifier* self)
{
    self->state = new TStreamNotifierState;
    // As a plain element it reports everything; the program starts from TessStreamNotifierNew.
    TNotifier& n = self->state->logic;
    n.SetVideoNotify(true);
    n.SetAudioNotify(true);
    n.SetDatecodeNotify(true);
    n.SetTimecodeNotify(true);
    n.SetPositionNotify(true);
    gst_base_transform_set_passthrough(GST_BASE_TRANSFORM(self), TRUE);
    gst_base_transform_set_in_place(GST_BASE_TRANSFORM(self), TRUE);
}

namespace {

TessStreamNotifier* Notifier(GstElement* e)
{
    return e && G_TYPE_CHECK_INSTANCE_TYPE(e, TESS_TYPE_STREAM_NOTIFIER)
               ? reinterpret_cast<TessStreamNotifier*>(e)
               : nullptr;
}

} // namespace

GstElement* TessStreamNotifierNew(const char* name)
{
    GstElement* e = GST_ELEMENT(g_object_new(TESS_TYPE_STREAM_NOTIFIER, "name", name, nullptr));
    TessStreamNotifier* self = Notifier(e);
    std::lock_guard guard(self->state->lock);
    self->state->logic = TNotifier();
    return e;
}

void TessStreamNotifierReset(GstElement* notifier)
{
    if (TessStreamNotifier* self = Notifier(notifier)) {
        std::lock_guard guard(self->state->lock);
        self->state->logic.Reset();
    }
}

TframeData TessStreamNotifierFrameData(GstElement* notifier)
{
    TessStreamNotifier* self = Notifier(notifier);
    if (!self)
        return {};
    std::lock_guard guard(self->state->lock);
    return self->state->logic.FrameData();
}

std::optional<TIncrustDV> TessStreamNotifierCodesAt(GstElement* notifier, GstClockTime time,
                                                    GstClockTime tolerance)
{
    TessStreamNotifier* self = Notifier(notifier);
    if (!self || !GST_CLOCK_TIME_IS_VALID(time))
        return std::nullopt;
    std::lock_guard guard(self->state->lock);
    return self->state->logic.CodesAt(std::int64_t(time), std::int64_t(tolerance));
}

TVideoData TessStreamNotifierVideoData(GstElement* notifier)
{
    TessStreamNotifier* self = Notifier(notifier);
    if (!self)
        return {};
    std::lock_guard guard(self->state->lock);
    return self->state->logic.VideoData();
}
