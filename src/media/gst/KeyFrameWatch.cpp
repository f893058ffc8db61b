#include "media/gst/KeyFrameWatch.h"

#include "base/RefTime.h"
#include "media/core/TKeyFrames.h"

namespace {

// Touched only by the pad's streaming thread.
struct TWatch {
    std::shared_ptr<TKeyFrames> keys;
    GstSegment segment;
    bool timed = false;
};

GstPadProbeReturn OnData(GstPad*, GstPadProbeInfo* aInfo, gpointer aData)
{
    auto* w = static_cast<TWatch*>(aData);
    if (aInfo->type & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
        GstEvent* event = GST_PAD_PROBE_INFO_EVENT(aInfo);
        if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
            const GstSegment* segment = nullptr;
            gst_event_parse_segment(event, &segment);
            gst_segment_copy_into(segment, &w->segment);
            w->timed = segment->format == GST_FORMAT_TIME;
        }
        return GST_PAD_PROBE_OK;
    }
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(aInfo);
    if (!buffer || !w->timed || !GST_BUFFER_PTS_IS_VALID(buffer))
        return GST_PAD_PROBE_OK;
    guint64 streamTime = 0;
    const gint sign = gst_segment_to_stream_time_full(&w->segment, GST_FORMAT_TIME,
                                                      GST_BUFFER_PTS(buffer), &streamTime);
    if (sign == 0)
        return GST_PAD_PROBE_OK;
    const qint64 units = qint64(streamTime / kNsPerRefTime);
    w->keys->Note(sign > 0 ? units : -units,
                  !GST_BUFFER_FLAG_IS_SET(buffer, GST_BUFFER_FLAG_DELTA_UNIT));
    return GST_PAD_PROBE_OK;
}

} // namespace

void WatchKeyFrames(GstPad* aPad, std::shared_ptr<TKeyFrames> aKeys)
{
    if (!aPad || !aKeys)
        return;
    auto* w = new TWatch{std::move(aKeys), {}, false};
    gst_segment_init(&w->segment, GST_FORMAT_TIME);
    gst_pad_add_probe(
        aPad, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
        OnData, w, [](gpointer p) { delete static_cast<TWatch*>(p); });
}
