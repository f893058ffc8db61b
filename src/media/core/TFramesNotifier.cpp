#include "media/core/TFramesNotifier.h"

#include "base/PrivateMessages.h"
#include "media/core/FormatPosition.h"
#include "media/core/VideoFormat.h"

#include <utility>

void TFramesNotifier::SetMediaType(const TStreamFormat& format, TNotifyReports& out)
{
    DescribeVideoFormat(format, m_video, m_locale);
    if (m_video.averageFrameTime <= 0)
        m_video.averageFrameTime = kFallbackFrameTime;
    // Taken at once: the positions of the next samples and the target test need it before the
    // navigation manager has seen the message.
    m_frameDuration = m_video.averageFrameTime;
    TNotifyPayload p;
    p.message = NM_FRAME_DURATION;
    p.frameDuration = m_video.averageFrameTime;
    out.push_back(std::move(p));
}

bool TFramesNotifier::ProcessSample(bool hasPosition, qint64 position, TNotifyReports& out)
{
    if (hasPosition)
        m_position = position - m_origin;
    m_seen = true;
    for (int slot = 0; slot < kTargetSlots; ++slot) {
        if (!m_armed[slot] ||
            static_cast<__int128>(m_targets[slot]) - m_frameDuration / 2 >= m_position)
            continue;
        m_armed[slot] = false;
        // Nobody can answer in time from the main thread: the sample that reaches the target is
        // shown, and so are the following ones.
        m_deliver = true;
        TNotifyPayload p;
        p.message = NM_TARGET_REACHED;
        p.slot = slot;
        p.target = m_targets[slot];
        p.position = m_position;
        out.push_back(std::move(p));
    }
    // A dropped sample is never shown: its position is nobody's business (a move forward
    // drops dozens, and the window would redraw the position box for each).
    if (!m_deliver)
        return false;
    TellPosition(out);
    return m_deliver;
}

void TFramesNotifier::TellPosition(TNotifyReports& out)
{
    const QString text = FormatPosition(m_frameDuration, m_position);
    if (m_notify) {
        TNotifyPayload p;
        p.text = text;
        p.position = m_position;
        p.origin = m_origin;
        if (text != m_lastText) {
            p.message = NM_POSITION_CHANGED;
            out.push_back(p);
        }
        p.message = NM_POSITION_TEXT;
        out.push_back(std::move(p));
    }
    m_lastText = text;
}

void TFramesNotifier::SetNotify(bool on, TNotifyReports* out)
{
    const bool was = std::exchange(m_notify, on);
    if (on && !was && out && m_seen) {
        m_lastText.clear();
        TellPosition(*out);
    }
}

void TFramesNotifier::SetOrigin(qint64 origin, TNotifyReports& out)
{
    if (origin == m_origin)
        return;
    m_position -= origin - m_origin;
    m_origin = origin;
    TellPosition(out);
}

void TFramesNotifier::ArmTarget(int slot, qint64 target)
{
    if (slot < 0 || slot >= kTargetSlots)
        return;
    m_targets[slot] = target;
    m_armed[slot] = true;
}

void TFramesNotifier::DisarmTarget(int slot)
{
    if (slot >= 0 && slot < kTargetSlots)
        m_armed[slot] = false;
}

bool TFramesNotifier::IsArmed(int slot) const
{
    return slot >= 0 && slot < kTargetSlots && m_armed[slot];
}

qint64 TFramesNotifier::Target(int slot) const
{
    return slot >= 0 && slot < kTargetSlots ? m_targets[slot] : 0;
}
