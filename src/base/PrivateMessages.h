#pragma once

#include <QEvent>

// The private messages between the program's parts. Each reaches a message object as a Qt event
// of type MessageEventType(value); a notifier element posts its messages as bus messages whose
// structure is named after the constant.
constexpr int WM_INTERVAL_DONE = 0x2402;    // main window to itself: an interval run ended
constexpr int NM_VIDEO_INFO = 0x2403;       // stream notifier to video manager
constexpr int NM_AUDIO_INFO = 0x2404;       // stream notifier to audio manager
constexpr int WM_PAUSE_REQUEST = 0x2406;    // to the main window: pause
constexpr int NM_DATECODE = 0x2409;         // stream notifier to DV manager
constexpr int NM_TIMECODE = 0x240A;         // stream notifier to DV manager
constexpr int NM_STREAM_CODES = 0x240C;     // stream notifier to video manager (DV text values)
constexpr int NM_POSITION_CHANGED = 0x241A; // frames notifier to video manager
constexpr int NM_SYSTEM_DATE = 0x241B;      // main window to video manager
constexpr int NM_NUMBER = 0x241D;           // main window to video manager
constexpr int NM_FILE_NAME = 0x241E;        // main window to video manager
constexpr int NM_POSITION_TEXT = 0x2420;    // frames notifier to navigation manager
constexpr int NM_FRAME_DURATION = 0x2421;   // frames and stream notifiers to navigation manager
constexpr int NM_TARGET_REACHED = 0x2422;   // frames notifier to navigation manager

// Kinds carried with NM_VIDEO_INFO (format and aspect) and NM_AUDIO_INFO.
constexpr int kVideoInfoAspect = 4;
constexpr int kVideoInfoFormat = 2;
constexpr int kAudioInfoFormat = 3;

// The event type of a private message value.
inline QEvent::Type MessageEventType(int aMessage)
{
    return QEvent::Type(QEvent::User + aMessage);
}
// The message value of an event type; 0 for an event that is no private message.
inline int MessageOfEvent(QEvent::Type aType)
{
    return aType >= QEvent::User && aType <= QEvent::MaxUser ? int(aType) - int(QEvent::User) : 0;
}

// "NM_DATECODE" for NM_DATECODE; nullptr for a value that is not a notifier message.
const char* NotifyMessageName(int value);
// The value of a notifier message name, 0 when the name is not one of ours.
int NotifyMessageValue(const char* name);
