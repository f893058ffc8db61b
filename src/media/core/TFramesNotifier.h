#pragma once

#include "media/core/TNotifyPayload.h"
#include "media/core/TStreamFormat.h"

#include <QLocale>

// What the frames notifier element does with each video sample, free of GStreamer: the position
// text, the two armed targets and the deliver switch. Positions are stream times in reference
// time units. Not locked: the element serialises calls.
class TFramesNotifier {
public:
    static constexpr int kTargetSlots = 2;
    // Frame time assumed when a format gives none (10 ms).
    static constexpr qint64 kFallbackFrameTime = 100'000;

    // The input format is set: describes it, adopts its frame time and reports it.
    void SetMediaType(const TStreamFormat& format, TNotifyReports& out);
    void StreamStart() { m_lastText.clear(); }
    // One sample at `position`; returns whether it goes on downstream. Without a position (a
    // sample without time stamp) the last one is kept.
    bool ProcessSample(bool hasPosition, qint64 position, TNotifyReports& out);

    // Arms a slot: the first sample later than target - frame duration / 2 fires it once.
    void ArmTarget(int slot, qint64 target);
    void DisarmTarget(int slot);
    bool IsArmed(int slot) const;
    qint64 Target(int slot) const;

    // Turned on again, it tells the position of the sample seen last into `out`: one that went
    // by unreported (a seek's preroll, a rebuild) would otherwise leave the old text up.
    void SetNotify(bool on, TNotifyReports* out = nullptr);
    bool Notify() const { return m_notify; }
    void SetDeliver(bool on) { m_deliver = on; }
    bool Deliver() const { return m_deliver; }
    void SetFrameDuration(qint64 d) { m_frameDuration = d; }
    qint64 FrameDuration() const { return m_frameDuration; }
    // Positions count from the file's first frame: its stream time is the origin (an MPEG
    // program stream's first frame may sit half a second or hours in).
    // The position of the sample seen last moves with it: it is told again at once.
    void SetOrigin(qint64 origin, TNotifyReports& out);
    qint64 Origin() const { return m_origin; }
    qint64 CurrentPosition() const { return m_position; }
    const TVideoData& VideoData() const { return m_video; }
    void SetLocale(const QLocale& locale) { m_locale = locale; }

private:
    // The position reports of the sample seen last (the change only when its text changed).
    void TellPosition(TNotifyReports& out);

    TVideoData m_video;
    QLocale m_locale;
    QString m_lastText;
    qint64 m_targets[kTargetSlots] = {0, 0};
    bool m_armed[kTargetSlots] = {false, false};
    qint64 m_position = 0;
    qint64 m_origin = 0;
    qint64 m_frameDuration = 1;
    bool m_notify = false;
    bool m_seen = false;
    bool m_deliver = true;
};
