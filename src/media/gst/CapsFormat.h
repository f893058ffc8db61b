#pragma once

#include "media/core/TStreamFormat.h"

#include <gst/gst.h>

// The facts of the first structure of caps; an empty format for empty or any caps.
TStreamFormat StreamFormatFromCaps(const GstCaps* caps);
