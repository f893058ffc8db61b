#include "media/core/TNotifier.h"

#include "base/PrivateMessages.h"
#include "base/ScriptDateTime.h"
#include "media/core/TDvFrame.h"
#include "media/core/TMpeg2SequenceHeader.h"
#include "media/core/VideoFormat.h"

#include <algorithm>

namespace {

const QString kNotAvailable = QStringLiteral("N/A");

bool VideoShapeChanged(const TVideoData& a, const TVideoData& b)
{
    return a.width != b.width || a.height != b.height || a.aspectX != b.aspectX ||
           a.aspectY != b.aspectY || a.aspectClass != b.aspectClass;
}

bool VideoFormatChanged(const TVideoData& a, const TVideoData& b)
{
    return a.width != b.width || a.height != b.height || a.bitCount != b.bitCount ||
           a.frameRate != b.frameRate || a.averageFrameTime != b.averageFrameTime ||
           a.subtypeName != b.subtypeName || a.aspectX != b.aspectX || a.aspectY != b.aspectY;
}

bool AudioChanged(const TframeData& a, const TframeData& b)
{
    return a.audioFormatName != b.audioFormatName || a.channels != b.channels ||
           a.bitsPerSample != b.bitsPerSample || a.samplingRate != b.samplingRate ||
           a.bitRate != b.bitRate;
}

QString TimecodeText(const TframeData& f)
{
    return QString::asprintf("%d:%.2d:%.2d:%.2d", f.hours, f.minutes, f.seconds, f.frames);
}

} // namespace

TNotifier::TNotifier()
{
    Reset();
}

void TNotifier::Reset()
{
    m_videoNotify = false;
    m_datecodeNotify = false;
    m_timecodeNotify = false;
    m_datecodeFormat = QStringLiteral("dddddd - tt");
    m_frame.dateValid = false;
    m_frame.timecodeValid = false;
    m_frame.dateText = QStringLiteral("No Datecode");
    m_frame.timecodeText = QStringLiteral("No Timecode");
    m_frame.frameNumber = 0;
    m_frame.audioFormatName.clear();
    m_video.subtypeName.clear();
}

void TNotifier::SetVideoNotify(bool on)
{
    m_videoNotify = on;
    m_enabled = true;
}

void TNotifier::SetAudioNotify(bool on)
{
    m_audioNotify = on;
    m_enabled = true;
}

void TNotifier::SetDatecodeNotify(bool on)
{
    m_datecodeNotify = on;
    m_enabled = true;
}

void TNotifier::SetTimecodeNotify(bool on)
{
    m_timecodeNotify = on;
    m_enabled = true;
}

void TNotifier::SetDvOverlay(bool on, TNotifyReports& out)
{
    m_dvOverlay = on;
    ReportOverlay(out);
}

void TNotifier::StreamStart()
{
    m_frame.frameNumber = -1;
    m_frame.earliestDate = 0;
    m_firstSample = true;
}

void TNotifier::SetMediaType(const TStreamFormat& format, TNotifyReports& out)
{
    m_kind = StreamKind(format);
    DescribeVideoFormat(format, m_video, m_locale);
    m_frame.dvInfoFormat = m_kind == TStreamKind::DvInterleaved;
    if (m_frame.dvInfoFormat && m_videoNotify) {
        m_frame.tvSystem = tvSystemUndecided;
        m_video.aspectClass = acAspectNone;
    }
    if (m_video.valid && (m_videoNotify || m_datecodeNotify || m_timecodeNotify))
        ReportVideo(out);
    if (m_kind == TStreamKind::Audio) {
        DescribeAudio(format);
        ReportFrame(out);
    }
}

void TNotifier::DescribeAudio(const TStreamFormat& format)
{
    m_frame.audioFormatName = AudioFormatName(format);
    m_frame.channels = format.channels;
    m_frame.samplingRate = format.rate;
    m_frame.bitRate = format.bitRate;
    m_frame.bitsPerSample = format.bitsPerSample;
    QString text = m_frame.audioFormatName;
    if (m_frame.samplingRate > 0)
        text += u' ' + QString::number(m_frame.samplingRate) + u"Hz";
    if (m_frame.bitsPerSample > 0)
        text += u' ' + QString::number(m_frame.bitsPerSample) + u"bits ";
    else if (m_frame.bitRate > 0)
        text += u' ' + QString::number(m_frame.bitRate / 1000) + u"Kb/s";
    if (m_frame.channels == 1)
        text += u" mono";
    else if (m_frame.channels == 2)
        text += u" stéréo";
    else
        text += QString::asprintf(" %d canaux", m_frame.channels);
    m_frame.audioText = text;
}

void TNotifier::ProcessSample(const std::uint8_t* data, std::size_t size, TNotifyReports& out)
{
    if (!m_enabled)
        return;
    m_previousFrame = m_frame;
    m_previousVideo = m_video;
    switch (m_kind) {
    case TStreamKind::Mpeg2Video:
        ReadMpeg2(data, size);
        break;
    case TStreamKind::DvVideo:
        ReadDvVideo(data, size);
        break;
    case TStreamKind::DvInterleaved:
        ReadDvInterleaved(data, size);
        break;
    default:
        break;
    }
    if (m_videoNotify && VideoShapeChanged(m_video, m_previousVideo))
        ReportVideo(out);
    if (m_audioNotify && AudioChanged(m_frame, m_previousFrame))
        ReportFrame(out);
    if (m_firstSample) {
        ReportFrame(out);
        ReportVideo(out);
    }
    m_frame.frameNumber = m_previousFrame.frameNumber + 1;
    if (m_frame.date > 0 && (m_frame.earliestDate == 0 || m_frame.date < m_frame.earliestDate))
        m_frame.earliestDate = m_frame.date;
    if (m_audioNotify &&
        (AudioChanged(m_frame, m_previousFrame) || m_frame.audioText != m_previousFrame.audioText))
        ReportFrame(out);
    if (m_videoNotify && VideoFormatChanged(m_video, m_previousVideo))
        ReportVideo(out);
    if (m_datecodeNotify &&
        (m_frame.dateValid != m_previousFrame.dateValid || m_frame.date != m_previousFrame.date ||
         m_frame.dateText != m_previousFrame.dateText)) {
        TNotifyPayload p;
        p.message = NM_DATECODE;
        p.frame = m_frame;
        out.push_back(std::move(p));
    }
    if (m_timecodeNotify && (m_frame.timecodeValid != m_previousFrame.timecodeValid ||
                             m_frame.timecodeText != m_previousFrame.timecodeText)) {
        TNotifyPayload p;
        p.message = NM_TIMECODE;
        p.frame = m_frame;
        out.push_back(std::move(p));
    }
    m_firstSample = false;
    if (m_dvOverlay)
        ReportOverlay(out);
}

void TNotifier::ReadMpeg2(const std::uint8_t* data, std::size_t size)
{
    const auto header = TMpeg2SequenceHeader::Parse(data, size);
    if (!header)
        return;
    m_video.width = header->width;
    m_video.height = header->height;
    m_video.aspectClass = header->aspectInformation == 2   ? acAspect4x3
                          : header->aspectInformation == 3 ? acAspect16x9
                                                           : acAspectNone;
    m_video.frameRate = header->frameRate;
    m_video.description = QStringLiteral("MPEG2");
    if (m_video.aspectClass == acAspect4x3)
        m_video.description += u" (4x3)";
    else if (m_video.aspectClass == acAspect16x9)
        m_video.description += u" (16x9)";
}

void TNotifier::ReadDateAndTimecode(const TDvFrame& frame)
{
    const TDvRecording rec = frame.Recording();
    m_frame.dateValid = rec.valid;
    m_frame.date = rec.valid ? ScriptDateTimeFromQt(rec.dateTime) : 0;
    m_frame.dateText =
        rec.valid ? FormatScriptDateTime(m_datecodeFormat, rec.dateTime, m_locale) : kNotAvailable;
    const TDvTimecode tc = frame.Timecode();
    m_frame.timecodeValid = tc.valid;
    m_frame.hours = tc.hours;
    m_frame.minutes = tc.minutes;
    m_frame.seconds = tc.seconds;
    m_frame.frames = tc.frames;
    m_frame.timecodeText = tc.valid ? TimecodeText(m_frame) : kNotAvailable;
}

void TNotifier::ReadDvVideo(const std::uint8_t* data, std::size_t size)
{
    const TDvFrame frame(data, size);
    if (!frame.IsFrame())
        return;
    m_frame.dvFrameRead = false;
    m_frame.tvSystem = frame.SystemVote();
    QString text = m_behindDv ? QStringLiteral("DV type 1") : m_video.subtypeName;
    if (frame.Is625()) {
        text += u" Pal";
        m_video.frameRate = 25;
    } else {
        text += u" NTSC";
        m_video.frameRate = 30000.0 / 1001;
    }
    const bool wide = frame.IsWide();
    m_video.aspectClass = wide ? acAspect16x9 : acAspect4x3;
    text += wide ? u" (16x9)" : u" (4x3)";
    m_video.description = text;
    ReadDateAndTimecode(frame);
    m_frame.dvFrameRead = true;
}

void TNotifier::ReadDvInterleaved(const std::uint8_t* data, std::size_t size)
{
    const TDvFrame frame(data, size);
    if (!frame.IsFrame())
        return;
    m_frame.dvFrameRead = false;
    QString text = QStringLiteral("DV type1 ");
    m_frame.tvSystem = frame.SystemVote();
    if (m_frame.tvSystem == tvSystem625) {
        m_video.width = 720;
        m_video.height = 576;
        m_video.frameRate = 25;
        text += u"Pal ";
        m_video.sizeText = QStringLiteral("720x576 - 25 fps");
    } else if (m_frame.tvSystem == tvSystem525) {
        m_video.width = 720;
        m_video.height = 480;
        m_video.frameRate = 30000.0 / 1001;
        text += u"NTSC ";
        m_video.sizeText = QStringLiteral("720x480 - 29.97 fps");
    }
    const bool wide = frame.IsWide();
    m_video.aspectClass = wide ? acAspect16x9 : acAspect4x3;
    text += wide ? u" (16x9) " : u" (4x3) ";
    m_video.description = text;
    const TDvAudio audio = frame.Audio();
    m_frame.samplingRate = audio.samplingRate;
    m_frame.bitsPerSample = audio.bitsPerSample;
    m_frame.audioText = u"DV " + QString::number(audio.samplingRate) + u"Hz " +
                        QString::number(audio.bitsPerSample) + u"bits stéréo";
    ReadDateAndTimecode(frame);
    m_frame.dvFrameRead = frame.StructureOk();
}

void TNotifier::ReportVideo(TNotifyReports& out) const
{
    if (m_videoNotify) {
        for (int kind : {kVideoInfoAspect, kVideoInfoFormat}) {
            TNotifyPayload p;
            p.message = NM_VIDEO_INFO;
            p.kind = kind;
            p.video = m_video;
            out.push_back(std::move(p));
        }
    }
    if (m_positionNotify) {
        TNotifyPayload p;
        p.message = NM_FRAME_DURATION;
        p.frameDuration = m_video.averageFrameTime;
        out.push_back(std::move(p));
    }
}

void TNotifier::ReportFrame(TNotifyReports& out) const
{
    if (!m_audioNotify)
        return;
    TNotifyPayload p;
    p.message = NM_AUDIO_INFO;
    p.kind = kAudioInfoFormat;
    p.frame = m_frame;
    out.push_back(std::move(p));
}

void TNotifier::RecordCodesAt(std::int64_t time)
{
    TTimedCodes& slot = m_history[m_historyNext];
    slot.time = time;
    slot.codes.dateValid = m_frame.dateValid;
    slot.codes.timecodeValid = m_frame.timecodeValid;
    slot.codes.date = m_frame.date;
    slot.codes.timecodeText = m_frame.timecodeText;
    m_historyNext = (m_historyNext + 1) % m_history.size();
    m_historySize = std::min(m_historySize + 1, m_history.size());
}

std::optional<TIncrustDV> TNotifier::CodesAt(std::int64_t time, std::int64_t tolerance) const
{
    const TTimedCodes* best = nullptr;
    std::int64_t bestDistance = tolerance;
    for (std::size_t i = 0; i < m_historySize; ++i) {
        const TTimedCodes& c = m_history[i];
        const std::int64_t d = c.time > time ? c.time - time : time - c.time;
        if (d <= bestDistance) {
            best = &c;
            bestDistance = d;
        }
    }
    return best ? std::optional<TIncrustDV>(best->codes) : std::nullopt;
}

void TNotifier::ReportOverlay(TNotifyReports& out) const
{
    TNotifyPayload p;
    p.message = NM_STREAM_CODES;
    p.overlay.dateValid = m_frame.dateValid;
    p.overlay.timecodeValid = m_frame.timecodeValid;
    p.overlay.date = m_frame.date;
    p.overlay.timecodeText = m_frame.timecodeText;
    out.push_back(std::move(p));
}
