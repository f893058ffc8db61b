#include "media/gst/GstFramesNotifier.h"

#include "base/RefTime.h"
#include "media/core/TFramesNotifier.h"
#include "media/gst/CapsFormat.h"
#include "media/gst/NotifierPost.h"

#include <gst/base/gstbasetransform.h>

#include <mutex>

GST_DEBUG_CATEGORY_STATIC(tess_frames_notifier_debug);
#define GST_CAT_DEFAULT tess_frames_notifier_debug

namespace {

struct TFramesNotifierState {
    std::mutex lock;
    TFramesNotifier logic;
    bool frameless = false; // an EOS or a gap came and no flush since
    qint64 hurriedTo = -1;  // the target the decoder was told about since the last flush
};

} // namespace

struct TessFramesNotifier {
    GstBaseTransform parent;
    TFramesNotifierState* state;
};

struct TessFramesNotifierClass {
    GstBaseTransformClass parent_class;
};

G_DEFINE_TYPE(TessFramesNotifier, tess_frames_notifier, GST_TYPE_BASE_TRANSFORM)

namespace {

enum {
    PROP_0,
    PROP_NOTIFY,
    PROP_DELIVER,
    PROP_FRAME_DURATION,
    PROP_CURRENT_POSITION,
    PROP_ORIGIN,
};

GstStaticPadTemplate sink_template =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS_ANY);
GstStaticPadTemplate src_template =
    GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS_ANY);

TessFramesNotifier* Self(gpointer p)
{
    return reinterpret_cast<TessFramesNotifier*>(p);
}

void SetLogic(TFramesNotifier& n, guint id, const GValue* value, GParamSpec* pspec, GObject* object,
              TNotifyReports& reports)
{
    switch (id) {
    case PROP_NOTIFY:
        n.SetNotify(g_value_get_boolean(value), &reports);
        break;
    case PROP_DELIVER:
        n.SetDeliver(g_value_get_boolean(value));
        break;
    case PROP_FRAME_DURATION:
        n.SetFrameDuration(g_value_get_int64(value));
        break;
    case PROP_ORIGIN:
        n.SetOrigin(g_value_get_int64(value), reports);
        break;
    default:
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
        break;
    }
}

void SetProperty(GObject* object, guint id, const GValue* value, GParamSpec* pspec)
{
    TessFramesNotifier* self = Self(object);
    TNotifyReports reports;
    {
        std::lock_guard guard(self->state->lock);
        SetLogic(self->state->logic, id, value, pspec, object, reports);
    }
    PostNotifyReports(GST_ELEMENT(self), reports);
}

void GetProperty(GObject* object, guint id, GValue* value, GParamSpec* pspec)
{
    TessFramesNotifier* self = Self(object);
    std::lock_guard guard(self->state->lock);
    const TFramesNotifier& n = self->state->logic;
    switch (id) {
    case PROP_NOTIFY:
        g_value_set_boolean(value, n.Notify());
        break;
    case PROP_DELIVER:
        g_value_set_boolean(value, n.Deliver());
        break;
    case PROP_FRAME_DURATION:
        g_value_set_int64(value, n.FrameDuration());
        break;
    case PROP_CURRENT_POSITION:
        g_value_set_int64(value, n.CurrentPosition());
        break;
    case PROP_ORIGIN:
        g_value_set_int64(value, n.Origin());
        break;
    default:
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
        break;
    }
}

void Finalize(GObject* object)
{
    delete Self(object)->state;
    G_OBJECT_CLASS(tess_frames_notifier_parent_class)->finalize(object);
}

gboolean Start(GstBaseTransform* trans)
{
    TessFramesNotifier* self = Self(trans);
    std::lock_guard guard(self->state->lock);
    self->state->logic.StreamStart();
    return TRUE;
}

gboolean SinkEvent(GstBaseTransform* trans, GstEvent* event)
{
    TessFramesNotifier* self = Self(trans);
    switch (GST_EVENT_TYPE(event)) {
    case GST_EVENT_STREAM_START: {
        std::lock_guard guard(self->state->lock);
        self->state->logic.StreamStart();
        self->state->frameless = false;
        break;
    }
    case GST_EVENT_EOS:
    case GST_EVENT_GAP:
    case GST_EVENT_FLUSH_STOP: {
        std::lock_guard guard(self->state->lock);
        self->state->frameless = GST_EVENT_TYPE(event) != GST_EVENT_FLUSH_STOP;
        if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP)
            self->state->hurriedTo = -1; // the decoder forgets what it was told
        break;
    }
    default:
        break;
    }
    return GST_BASE_TRANSFORM_CLASS(tess_frames_notifier_parent_class)->sink_event(trans, event);
}

gboolean SetCaps(GstBaseTransform* trans, GstCaps* incaps, GstCaps*)
{
    TessFramesNotifier* self = Self(trans);
    const TStreamFormat format = StreamFormatFromCaps(incaps);
    TNotifyReports reports;
    {
        std::lock_guard guard(self->state->lock);
        self->state->logic.SetMediaType(format, reports);
    }
    PostNotifyReports(GST_ELEMENT(self), reports);
    return TRUE;
}

// The sample's position: its stream time, which is what a seek aims at (time stamps are not
// positions: frame 0 of a stream with B-frames may carry 0.08 s).
bool SamplePosition(GstBaseTransform* trans, GstBuffer* buffer, qint64& position)
{
    GstClockTime ts = GST_BUFFER_PTS(buffer);
    if (!GST_CLOCK_TIME_IS_VALID(ts))
        ts = GST_BUFFER_DTS(buffer);
    if (!GST_CLOCK_TIME_IS_VALID(ts) || trans->segment.format != GST_FORMAT_TIME)
        return false;
    guint64 streamTime = 0;
    const gint sign =
        gst_segment_to_stream_time_full(&trans->segment, GST_FORMAT_TIME, ts, &streamTime);
    if (sign == 0)
        return false;
    const qint64 units = qint64(streamTime / kNsPerRefTime);
    position = sign > 0 ? units : -units;
    return true;
}

// While samples are dropped on the way to an armed target, the frames before it are late for
// the decoder: a QoS event says so, and decoders that can (libav's) skip the frames no other
// frame refers to. Two frames before the target stay on time, so the target itself is decoded.
// Called under the state's lock: gives the stream time to announce, or -1.
qint64 HurryTarget(TFramesNotifierState& state)
{
    const TFramesNotifier& logic = state.logic;
    if (logic.Deliver() || !logic.IsArmed(0) || logic.Target(0) == state.hurriedTo)
        return -1;
    state.hurriedTo = logic.Target(0);
    const qint64 streamTime = logic.Target(0) + logic.Origin() - 3 * logic.FrameDuration();
    return streamTime > 0 ? streamTime : -1;
}

void SendHurry(GstBaseTransform* trans, qint64 streamTime)
{
    if (trans->segment.format != GST_FORMAT_TIME)
        return;
    const guint64 ts = gst_segment_position_from_stream_time(&trans->segment, GST_FORMAT_TIME,
                                                             guint64(streamTime) * kNsPerRefTime);
    const guint64 running = gst_segment_to_running_time(&trans->segment, GST_FORMAT_TIME, ts);
    if (!GST_CLOCK_TIME_IS_VALID(running))
        return;
    GST_DEBUG_OBJECT(trans, "frames before running time %" GST_TIME_FORMAT " are late",
                     GST_TIME_ARGS(running));
    gst_pad_push_event(GST_BASE_TRANSFORM_SINK_PAD(trans),
                       gst_event_new_qos(GST_QOS_TYPE_UNDERFLOW, 1.0, 0, running));
}

GstFlowReturn TransformIp(GstBaseTransform* trans, GstBuffer* buffer)
{
    TessFramesNotifier* self = Self(trans);
    qint64 position = 0;
    const bool hasPosition = SamplePosition(trans, buffer, position);
    TNotifyReports reports;
    bool deliver = true;
    qint64 hurry = -1;
    {
        std::lock_guard guard(self->state->lock);
        hurry = HurryTarget(*self->state);
        deliver = self->state->logic.ProcessSample(hasPosition, position, reports);
    }
    if (hurry >= 0)
        SendHurry(trans, hurry);
    PostNotifyReports(GST_ELEMENT(self), reports);
    return deliver ? GST_FLOW_OK : GST_BASE_TRANSFORM_FLOW_DROPPED;
}

} // namespace

static void tess_frames_notifier_class_init(TessFramesNotifierClass* klass)
{
    GObjectClass* gobject = G_OBJECT_CLASS(klass);
    GstElementClass* element = GST_ELEMENT_CLASS(klass);
    GstBaseTransformClass* trans = GST_BASE_TRANSFORM_CLASS(klass);
    gobject->set_property = SetProperty;
    gobject->get_property = GetProperty;
    gobject->finalize = Finalize;
    const auto rw = GParamFlags(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS);
    g_object_class_install_property(
        gobject, PROP_NOTIFY,
        g_param_spec_boolean("notify", "notify", "Post the position of every sample", TRUE, rw));
    g_object_class_install_property(gobject, PROP_DELIVER,
                                    g_param_spec_boolean("deliver", "deliver",
                                                         "Pass samples downstream (off: drop them)",
                                                         TRUE, rw));
    g_object_class_install_property(
        gobject, PROP_FRAME_DURATION,
        g_param_spec_int64("frame-duration", "frame-duration",
                           "Length of one frame in 100 ns units (set from each format)", G_MININT64,
                           G_MAXINT64, 1, rw));
    g_object_class_install_property(
        gobject, PROP_CURRENT_POSITION,
        g_param_spec_int64("current-position", "current-position",
                           "Position of the last sample from the origin, in 100 ns units",
                           G_MININT64, G_MAXINT64, 0,
                           GParamFlags(G_PARAM_READABLE | G_PARAM_STATIC_STRINGS)));
    g_object_class_install_property(
        gobject, PROP_ORIGIN,
        g_param_spec_int64("origin", "origin",
                           "Stream time of the first frame, where positions start (100 ns units)",
                           G_MININT64, G_MAXINT64, 0, rw));

    gst_element_class_set_static_metadata(element, "FramesNotifier de Orvalis",
                                          "Filter/Analyzer/Video",
                                          "Reports the position of every frame and stops "
                                          "precise seeks on their target",
                                          "Orvalis");
    gst_element_class_add_static_pad_template(element, &sink_template);
    gst_element_class_add_static_pad_template(element, &src_template);
    trans->start = Start;
    trans->sink_event = SinkEvent;
    trans->set_caps = SetCaps;
    trans->transform_ip = TransformIp;
    trans->transform_ip_on_passthrough = TRUE;
    GST_DEBUG_CATEGORY_INIT(tess_frames_notifier_debug, "framesnotifier", 0, "Frames notifier");
}

static void tess_frames_notifier_init(TessFramesNotifier* self)
{
    self->state = new TFramesNotifierState;
    self->state->logic.SetNotify(true);
    gst_base_transform_set_passthrough(GST_BASE_TRANSFORM(self), TRUE);
    gst_base_transform_set_in_place(GST_BASE_TRANSFORM(self), TRUE);
}

namespace {

TessFramesNotifier* Notifier(GstElement* e)
{
    return e && G_TYPE_CHECK_INSTANCE_TYPE(e, TESS_TYPE_FRAMES_NOTIFIER)
               ? reinterpret_cast<TessFramesNotifier*>(e)
               : nullptr;
}

} // namespace

GstElement* TessFramesNotifierNew(const char* name)
{
    GstElement* e = GST_ELEMENT(g_object_new(TESS_TYPE_FRAMES_NOTIFIER, "name", name, nullptr));
    TessFramesNotifier* self = Notifier(e);
    std::lock_guard guard(self->state->lock);
    self->state->logic.SetNotify(false);
    return e;
}

void TessFramesNotifierArmTarget(GstElement* notifier, int slot, qint64 position)
{
    if (TessFramesNotifier* self = Notifier(notifier)) {
        std::lock_guard guard(self->state->lock);
        self->state->logic.ArmTarget(slot, position);
    }
}

void TessFramesNotifierDisarmTarget(GstElement* notifier, int slot)
{
    if (TessFramesNotifier* self = Notifier(notifier)) {
        std::lock_guard guard(self->state->lock);
        self->state->logic.DisarmTarget(slot);
    }
}

bool TessFramesNotifierFrameless(GstElement* notifier)
{
    TessFramesNotifier* self = Notifier(notifier);
    if (!self)
        return false;
    std::lock_guard guard(self->state->lock);
    return self->state->frameless;
}

qint64 TessFramesNotifierCurrentPosition(GstElement* notifier)
{
    TessFramesNotifier* self = Notifier(notifier);
    if (!self)
        return 0;
    std::lock_guard guard(self->state->lock);
    return self->state->logic.CurrentPosition();
}

TVideoData TessFramesNotifierVideoData(GstElement* notifier)
{
    TessFramesNotifier* self = Notifier(notifier);
    if (!self)
        return {};
    std::lock_guard guard(self->state->lock);
    return self->state->logic.VideoData();
}

bool TessFramesNotifierFlush(GstElement* notifier)
{
    TessFramesNotifier* self = Notifier(notifier);
    if (!self)
        return false;
    qint64 position = 0;
    double rate = 1.0;
    {
        std::lock_guard guard(self->state->lock);
        position = self->state->logic.CurrentPosition() + self->state->logic.Origin();
    }
    GST_OBJECT_LOCK(self);
    rate = GST_BASE_TRANSFORM(self)->segment.rate;
    GST_OBJECT_UNLOCK(self);
    if (position < 0)
        position = 0;
    GstEvent* seek = gst_event_new_seek(
        rate, GST_FORMAT_TIME, GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
        GST_SEEK_TYPE_SET, GstClockTime(position) * kNsPerRefTime, GST_SEEK_TYPE_NONE, 0);
    return gst_pad_push_event(GST_BASE_TRANSFORM_SINK_PAD(self), seek);
}
