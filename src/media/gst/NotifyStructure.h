#pragma once

#include "media/core/TNotifyPayload.h"

#include <gst/gst.h>

// A message's values as a bus structure named after the message ("NM_DATECODE", ...), holding
// copies of everything, and back. Readable in gst-launch-1.0 -m output.
GstStructure* NotifyStructure(const TNotifyPayload& payload);
// False when the structure is not one of ours; then payload is left as it was.
bool PayloadFromStructure(const GstStructure* structure, TNotifyPayload& payload);
