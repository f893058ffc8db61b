#pragma once

#include "media/core/TNotifyPayload.h"

#include <gst/gst.h>

// Posts each report as an element message from `element`, in order. Called without locks held:
// a bus sync handler may run inside.
void PostNotifyReports(GstElement* element, const TNotifyReports& reports);
