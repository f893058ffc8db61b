#pragma once

#include "media/core/TVideoData.h"
#include "media/core/TframeData.h"

#include <QString>

#include <vector>

// The values one notifier message carries, copied out of the element that sent it. Which members
// are meaningful depends on the message:
//   NM_VIDEO_INFO        kind (kVideoInfoAspect or kVideoInfoFormat), video
//   NM_AUDIO_INFO        kind (kAudioInfoFormat), frame
//   NM_DATECODE          frame (its date, date text, ...)
//   NM_TIMECODE          frame (its timecode, timecode text, ...)
//   NM_STREAM_CODES      overlay
//   NM_POSITION_CHANGED  text, position
//   NM_POSITION_TEXT     text, position
//   NM_FRAME_DURATION    frameDuration
//   NM_TARGET_REACHED    slot, target, position
struct TNotifyPayload {
    int message = 0;
    int kind = 0;
    TVideoData video;
    TframeData frame;
    TIncrustDV overlay;
    QString text;
    qint64 position = 0;
    qint64 frameDuration = 0;
    qint64 target = 0;
    qint64 origin = 0; // of a position: where positions counted from when it was taken
    int slot = 0;

    bool operator==(const TNotifyPayload&) const = default;
};

using TNotifyReports = std::vector<TNotifyPayload>;
