#pragma once

#include "media/core/TNotifyPayload.h"
#include "media/core/TStreamFormat.h"

#include <QLocale>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// What the stream notifier element does with each sample, free of GStreamer: it reads the DV
// packs, MPEG-2 sequence headers and formats, and returns the messages to post, in order.
// Not locked: the element serialises calls.
class TNotifier {
public:
    TNotifier();

    // Video, datecode and timecode reporting off; texts back to "No Datecode"/"No Timecode".
    void Reset();
    void ResetCounters() {}

    // Each also enables the notifier, whatever the value.
    void SetVideoNotify(bool on);
    void SetAudioNotify(bool on);
    void SetDatecodeNotify(bool on);
    void SetTimecodeNotify(bool on);
    // Reports the current values once, also when switching off.
    void SetDvOverlay(bool on, TNotifyReports& out);
    void SetPositionNotify(bool on) { m_positionNotify = on; }
    void SetBehindDvNotifier(bool on) { m_behindDv = on; }
    void SetDatecodeFormat(const QString& format) { m_datecodeFormat = format; }
    void SetMode(int mode) { m_mode = mode; }
    void SetLocale(const QLocale& locale) { m_locale = locale; }

    bool Enabled() const { return m_enabled; }
    // An interleaved DV stream: its samples must be whole frames to be read.
    bool ReadsDvFrames() const { return m_kind == TStreamKind::DvInterleaved; }
    bool VideoNotify() const { return m_videoNotify; }
    bool AudioNotify() const { return m_audioNotify; }
    bool DatecodeNotify() const { return m_datecodeNotify; }
    bool TimecodeNotify() const { return m_timecodeNotify; }
    bool DvOverlay() const { return m_dvOverlay; }
    bool PositionNotify() const { return m_positionNotify; }
    bool BehindDvNotifier() const { return m_behindDv; }
    const QString& DatecodeFormat() const { return m_datecodeFormat; }
    int Mode() const { return m_mode; }

    const TframeData& FrameData() const { return m_frame; }
    const TVideoData& VideoData() const { return m_video; }

    // The stream (re)starts: frames are counted from 0 again and the first sample reports all.
    void StreamStart();
    // The input format is set, at the start or in mid-stream.
    void SetMediaType(const TStreamFormat& format, TNotifyReports& out);
    // One sample; never changes it.
    void ProcessSample(const std::uint8_t* data, std::size_t size, TNotifyReports& out);
    // The DV codes of the sample just processed, kept under its time: the element runs ahead
    // of the picture shown (queues, a decoder's delay), so the text of a frame is looked up by
    // the frame's time, not taken as the latest read.
    void RecordCodesAt(std::int64_t time);
    // The codes kept for the sample nearest to time, within tolerance; none when too far.
    std::optional<TIncrustDV> CodesAt(std::int64_t time, std::int64_t tolerance) const;

private:
    void ReadMpeg2(const std::uint8_t* data, std::size_t size);
    void ReadDvVideo(const std::uint8_t* data, std::size_t size);
    void ReadDvInterleaved(const std::uint8_t* data, std::size_t size);
    void ReadDateAndTimecode(const class TDvFrame& frame);
    void DescribeAudio(const TStreamFormat& format);
    void ReportVideo(TNotifyReports& out) const;
    void ReportFrame(TNotifyReports& out) const;
    void ReportOverlay(TNotifyReports& out) const;

    TStreamKind m_kind = TStreamKind::Other;
    TVideoData m_video, m_previousVideo;
    TframeData m_frame, m_previousFrame;
    QString m_datecodeFormat;
    QLocale m_locale;
    bool m_enabled = false;
    bool m_videoNotify = false;
    bool m_audioNotify = false;
    bool m_datecodeNotify = false;
    bool m_timecodeNotify = false;
    bool m_dvOverlay = false;
    bool m_positionNotify = false;
    bool m_behindDv = false;
    bool m_firstSample = false;
    int m_mode = 0;

    struct TTimedCodes {
        std::int64_t time = 0;
        TIncrustDV codes;
    };
    // Enough for the frames a demuxer's queues hold ahead of the picture.
    std::array<TTimedCodes, 128> m_history;
    std::size_t m_historyNext = 0;
    std::size_t m_historySize = 0;
};
