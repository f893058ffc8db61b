#pragma once

#include "media/core/TVideoData.h"
#include "media/core/TframeData.h"

#include <gst/gst.h>

#include <optional>

// The stream notifier element (factory "streamnotifier"): a passthrough transform placed on a
// demuxer's output, before any decoder. It reads DV packs, MPEG-2 sequence headers and formats
// and posts NM_VIDEO_INFO, NM_AUDIO_INFO, NM_DATECODE, NM_TIMECODE, NM_STREAM_CODES and
// NM_FRAME_DURATION element messages.
//
// Made by its factory it reports everything (handy with gst-launch-1.0 -m):
//   gst-launch-1.0 -m filesrc location=tape.dv ! dvdemux ! streamnotifier ! fakesink
// Properties: video-notify, audio-notify, datecode-notify, timecode-notify, position-notify,
// dv-overlay, behind-dv-notifier, datecode-format, mode; enabled (read only).
GType tess_stream_notifier_get_type();
#define TESS_TYPE_STREAM_NOTIFIER (tess_stream_notifier_get_type())

// A stream notifier in the program's start state: nothing reported until a switch is set.
GstElement* TessStreamNotifierNew(const char* name);
void TessStreamNotifierReset(GstElement* notifier);
TframeData TessStreamNotifierFrameData(GstElement* notifier);
// The DV codes of the sample whose time (its buffer's PTS) is nearest to time, within tolerance:
// those of the frame on screen when time is the shown frame's.
std::optional<TIncrustDV> TessStreamNotifierCodesAt(GstElement* notifier, GstClockTime time,
                                                    GstClockTime tolerance);
TVideoData TessStreamNotifierVideoData(GstElement* notifier);
