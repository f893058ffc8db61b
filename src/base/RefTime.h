#pragma once

#include <QtGlobal>

#include <limits>

// Reference time: signed count of 100-nanosecond units; positions, durations and frame
// durations are all reference times.
constexpr qint64 kRefTimePerSecond = 10'000'000;
// Frame duration used when none is known yet.
constexpr qint64 kDefaultFrameDuration = 10'000;

// GStreamer's clock times are unsigned nanoseconds with all bits set for "none"; spelled out
// here so that every layer can convert without GStreamer's headers.
constexpr quint64 kGstClockTimeNone = std::numeric_limits<quint64>::max();
constexpr qint64 kNsPerRefTime = 100;

// A GStreamer time as a reference time; -1 for "none".
constexpr qint64 RefTimeFromGst(quint64 aNs)
{
    return aNs == kGstClockTimeNone ? -1 : qint64(aNs / quint64(kNsPerRefTime));
}
// A reference time as a GStreamer time; "none" for a negative time.
constexpr quint64 GstFromRefTime(qint64 aRefTime)
{
    return aRefTime < 0 ? kGstClockTimeNone : quint64(aRefTime) * quint64(kNsPerRefTime);
}
