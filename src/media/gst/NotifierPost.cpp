#include "media/gst/NotifierPost.h"

#include "media/gst/NotifyStructure.h"

void PostNotifyReports(GstElement* element, const TNotifyReports& reports)
{
    for (const auto& r : reports) {
        if (GstStructure* s = NotifyStructure(r))
            gst_element_post_message(element, gst_message_new_element(GST_OBJECT(element), s));
    }
}
