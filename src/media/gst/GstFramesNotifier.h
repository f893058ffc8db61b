#pragma once

#include "media/core/TVideoData.h"

#include <gst/gst.h>

// The frames notifier element (factory "framesnotifier"): a passthrough transform in front of
// the video sink. For every sample it works out the position from the stream time, posts
// NM_POSITION_CHANGED / NM_POSITION_TEXT while "notify" is on, NM_TARGET_REACHED for an armed
// target and NM_FRAME_DURATION at each format; while "deliver" is off samples are dropped.
// Properties: notify, deliver, frame-duration; current-position (read only).
GType tess_frames_notifier_get_type();
#define TESS_TYPE_FRAMES_NOTIFIER (tess_frames_notifier_get_type())

// A frames notifier in the program's start state: notify off.
GstElement* TessFramesNotifierNew(const char* name);
// The first sample later than position - frame duration / 2 fires the slot (0 or 1) once,
// posts NM_TARGET_REACHED and turns delivery back on.
void TessFramesNotifierArmTarget(GstElement* notifier, int slot, qint64 position);
void TessFramesNotifierDisarmTarget(GstElement* notifier, int slot);
qint64 TessFramesNotifierCurrentPosition(GstElement* notifier);
// True when an EOS or a gap has come since the last flush: the sink may preroll on it, with
// no new frame.
bool TessFramesNotifierFrameless(GstElement* notifier);
TVideoData TessFramesNotifierVideoData(GstElement* notifier);
// Makes the sink show the current frame again: a flushing, accurate seek to the current
// position sent upstream from this element.
bool TessFramesNotifierFlush(GstElement* notifier);
