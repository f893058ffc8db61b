#pragma once

// Values of the notifier messages. An element posts each as a bus message whose structure is
// named after the constant; the router turns it into a Qt event of type QEvent::User + value.
constexpr int NM_VIDEO_INFO = 0x2403;
constexpr int NM_AUDIO_INFO = 0x2404;
constexpr int NM_DATECODE = 0x2409;
constexpr int NM_TIMECODE = 0x240A;
constexpr int NM_STREAM_CODES = 0x240C;
constexpr int NM_POSITION_CHANGED = 0x241A;
constexpr int NM_POSITION_TEXT = 0x2420;
constexpr int NM_FRAME_DURATION = 0x2421;
constexpr int NM_TARGET_REACHED = 0x2422;

// Kinds carried with NM_VIDEO_INFO (format and aspect) and NM_AUDIO_INFO.
constexpr int kVideoInfoAspect = 4;
constexpr int kVideoInfoFormat = 2;
constexpr int kAudioInfoFormat = 3;

// "NM_DATECODE" for NM_DATECODE; nullptr for a value that is not a notifier message.
const char* NotifyMessageName(int value);
// The value of a message name, 0 when the name is not one of ours.
int NotifyMessageValue(const char* name);
