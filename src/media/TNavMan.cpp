#include "media/TNavMan.h"

#include "actions/TCheckAction.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "base/PrivateMessages.h"
#include "base/RefTime.h"
#include "base/TCommandQueue.h"
#include "media/NavManActions.h"
#include "media/TGraphChunk.h"
#include "media/core/FormatPosition.h"
#include "media/core/TKeyFrames.h"
#include "media/core/TNotifyEvent.h"
#include "media/gst/GstFramesNotifier.h"
#include "media/gst/TNotifyRouter.h"
#include "media/gst/TPipelineBus.h"

#include <QElapsedTimer>
#include <QScopedValueRollback>

#include <climits>
#include <cmath>

GST_DEBUG_CATEGORY_STATIC(tess_nav_debug);
#define GST_CAT_DEFAULT tess_nav_debug

namespace {

constexpr qint64 kTenMinutes = 6'000'000'000;
constexpr qint64 kMinute = 600'000'000;
constexpr qint64 kTenSeconds = 100'000'000;
constexpr qint64 kSecond = 10'000'000;

// Slider units are 1024 reference-time units; the widget holds an int.
int SliderUnits(qint64 aPosition)
{
    return int(qBound(qint64(INT_MIN), aPosition / 1024, qint64(INT_MAX)));
}

} // namespace

TNavMan::TNavMan(QObject* aOwner)
    : TDVMan(aOwner)
{
    static std::once_flag once;
    std::call_once(once, [] {
        GST_DEBUG_CATEGORY_INIT(tess_nav_debug, "tessnav", 0, "Tessarine navigation");
    });
}

TNavMan::~TNavMan() = default;

// --- display

void TNavMan::SetDisplay(TNavDisplay* aDisplay)
{
    m_display = aDisplay;
    m_editFollowing = aDisplay && aDisplay->HasPositionEdit();
    m_sliderFollowing = aDisplay && aDisplay->HasSlider();
    if (m_sliderFollowing)
        m_display->SetSliderRange(SliderUnits(m_rangeStart), SliderUnits(m_rangeEnd));
}

void TNavMan::EditFocus(bool aIn)
{
    m_editFollowing = !aIn;
}

void TNavMan::EditReturn(const QString& aText)
{
    if (EditEnabled)
        TCommandQueue::Instance().Submit([this, aText] { SeekToText(aText); },
                                         TCommandQueue::kSeek);
}

void TNavMan::SliderDown(bool aDown, int aValue)
{
    m_sliderDown = aDown;
    m_sliderFollowing = !aDown;
    const bool moved = std::exchange(m_sliderMoved, false);
    if (aDown)
        return;
    // Let go where it was taken: the picture shown stays.
    if (!moved && aValue == m_sliderShown)
        return;
    TCommandQueue::Instance().Submit(
        [this, aValue] {
            if (aValue >= SliderUnits(m_rangeEnd))
                GoToEnd();
            else
                SeekTo(qint64(aValue) * 1024);
            // The thumb goes where the picture landed, even when its text was shown during
            // the drag.
            m_lastText.clear();
            CurrentPosition();
        },
        TCommandQueue::kSeek);
}

void TNavMan::SliderMoved(int aValue)
{
    // Plain, whatever caSeekPrecision says.
    const bool dragged = m_sliderDown;
    m_sliderMoved = dragged;
    TCommandQueue::Instance().Submit(
        [this, aValue, dragged] { SeekTo(qint64(aValue) * 1024, dragged); }, TCommandQueue::kSeek);
}

void TNavMan::ShowSeeking(bool aSeeking)
{
    if (QuietMode)
        return;
    if (m_display && m_display->HasPositionEdit())
        m_display->ShowSeeking(aSeeking);
    if (aSeeking && OnDisplaySeek)
        OnDisplaySeek();
    if (!aSeeking && OnDisplayNormal)
        OnDisplayNormal();
}

// --- sources

void TNavMan::SetFramesNotifier(GstElement* aNotifier, GstElement* aVideoSink,
                                std::shared_ptr<const TKeyFrames> aKeys)
{
    m_keys = std::move(aKeys);
    if (m_notifier && m_notifier != aNotifier)
        for (int m : {NM_POSITION_TEXT, NM_FRAME_DURATION, NM_TARGET_REACHED})
            Router().SetTarget(m_notifier, m, nullptr);
    m_notifier = aNotifier;
    m_videoSink = aVideoSink;
    if (!aNotifier)
        return;
    for (int m : {NM_POSITION_TEXT, NM_FRAME_DURATION, NM_TARGET_REACHED})
        Router().SetTarget(aNotifier, m, Handle());
    if (m_frameDuration > 0)
        g_object_set(aNotifier, "frame-duration", gint64(m_frameDuration), nullptr);
    g_object_set(aNotifier, "origin", gint64(m_origin), nullptr);
}

void TNavMan::SetVideoSource(TavSource* aSource)
{
    if (m_videoSource)
        m_videoSource->ClearPositionTarget();
    m_videoSource = aSource;
    if (aSource)
        aSource->SetPositionTarget(Handle());
}

void TNavMan::NewFile()
{
    m_origin = 0;
    m_originPending = true;
    m_seeksLate = false;
    m_flushedAt = 0;
    m_reach = kNoEnd;
    if (m_notifier)
        g_object_set(m_notifier, "origin", gint64(0), nullptr);
}

void TNavMan::ResetForStream()
{
    m_lastText.clear();
    m_stepped = false;
    m_pendingTarget = -1;
}

// --- run state

bool TNavMan::Play()
{
    // After frames stepped alone while paused, the sound is put back where the picture is.
    if (m_stepped && !NeedsPreroll()) {
        m_stepped = false;
        const qint64 at = ShownPosition();
        SeekAccurate(FrameStart(FrameIndex(at)) + m_frameDuration / 4 + m_origin);
        // A demuxer that seeks late (MPEG program streams) lands elsewhere: the precise way.
        if (m_notifier && FrameIndex(ShownPosition()) != FrameIndex(at)) {
            GST_INFO("back to frame %" G_GINT64_FORMAT " before playing", gint64(FrameIndex(at)));
            LandOn(at);
        }
        m_flushedAt = ShownPosition();
    }
    GST_INFO("play from frame %" G_GINT64_FORMAT, gint64(FrameIndex(ShownPosition())));
    m_renderedAtPlay = Rendered();
    m_playedSince.start();
    return TDVMan::Play();
}

guint64 TNavMan::Rendered() const
{
    guint64 rendered = 0;
    GstStructure* stats = nullptr;
    if (m_videoSink)
        g_object_get(m_videoSink, "stats", &stats, nullptr);
    if (stats) {
        gst_structure_get_uint64(stats, "rendered", &rendered);
        gst_structure_free(stats);
    }
    return rendered;
}

void TNavMan::AwaitPlayingTaken()
{
    // A sink told to pause before its thread has left the wait for play still counts itself
    // prerolled, and goes on showing frames on the running clock, paused: the pause waits for
    // the first frame played (bounded: the end, an error or a stream without pictures).
    const qint64 boundMs = std::clamp<qint64>(3 * m_frameDuration / 10000, 40, 400);
    if (!m_videoSink || !m_playedSince.isValid())
        return;
    while (!Aborted() && Rendered() == m_renderedAtPlay && m_playedSince.elapsed() < boundMs) {
        const GstMessageType end =
            Bus().WaitForBus(GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR), 5);
        if (end == GST_MESSAGE_EOS || end == GST_MESSAGE_ERROR)
            break;
    }
}

bool TNavMan::Pause()
{
    const bool playing = State() == gmPlaying;
    GST_INFO("pause%s", playing ? " while playing" : "");
    if (playing)
        AwaitPlayingTaken();
    const bool ok = TDVMan::Pause();
    if (playing && ok && m_notifier && PictureTime && !Aborted()) {
        // The frames notifier may have let the next frame by before the sink showed it (a sink
        // paused while it waits for a frame's time keeps that frame unshown): the position goes
        // back to the picture on screen.
        WaitStateSettled();
        const qint64 shown = PictureShown();
        if (shown >= 0 && FrameIndex(shown) != FrameIndex(ShownPosition())) {
            GST_INFO("paused on frame %" G_GINT64_FORMAT ", told %" G_GINT64_FORMAT,
                     gint64(FrameIndex(shown)), gint64(FrameIndex(ShownPosition())));
            const TCommandQueue::TRun run;
            LandOn(shown);
        }
    }
    if (playing)
        m_flushedAt = ShownPosition(); // picture and sound stopped together
    return ok;
}

bool TNavMan::Stop()
{
    gboolean notify = FALSE;
    if (m_notifier) {
        g_object_get(m_notifier, "notify", &notify, nullptr);
        g_object_set(m_notifier, "notify", FALSE, nullptr);
    }
    const bool ok = TDVMan::Stop();
    if (m_notifier)
        g_object_set(m_notifier, "notify", notify, nullptr);
    return ok;
}

// --- positions

gint64 TNavMan::Ns(qint64 aPosition) const
{
    // The start is the start of the stream, not the first frame's time: demuxers that seek by
    // estimate (MPEG program streams) land on the first frame only from there.
    if (aPosition <= 0)
        return 0;
    return gint64(GstFromRefTime(aPosition + m_origin));
}

qint64 TNavMan::FrameStart(qint64 aIndex) const
{
    // From the exact rate where it is known: 29.97 frames a second do not add up in whole
    // 100 ns units over an hour.
    const double rate = m_notifier ? TessFramesNotifierVideoData(m_notifier).frameRate : 0.0;
    if (rate > 0)
        return qint64(std::llround(double(aIndex) * kRefTimePerSecond / rate));
    return aIndex * m_frameDuration;
}

qint64 TNavMan::ShownPosition() const
{
    if (m_notifier)
        return TessFramesNotifierCurrentPosition(m_notifier);
    return qMax<qint64>(0, Position() - m_origin);
}

qint64 TNavMan::FrameIndex(qint64 aPosition) const
{
    const qint64 d = m_frameDuration > 0 ? m_frameDuration : kDefaultFrameDuration;
    return (aPosition + d / 2) / d;
}

qint64 TNavMan::CurrentPosition()
{
    qint64 position = 0;
    if (m_notifier) {
        position = TessFramesNotifierCurrentPosition(m_notifier);
    } else {
        position = Position();
        if (position < 0)
            return 0;
        position = qMax<qint64>(0, position - m_origin);
    }
    const QString text = FormatPosition(m_frameDuration, position);
    if (text == m_lastText)
        return position;
    m_lastText = text;
    if (!m_display && !OnDisplayTime && !OnKPosition)
        return position;
    if (m_sliderFollowing && m_display && m_display->HasSlider()) {
        m_sliderShown = SliderUnits(position);
        m_display->SetSliderValue(m_sliderShown);
    }
    if (OnKPosition) {
        // An empty range has no fraction: 0, not a division by zero.
        const __int128 range = __int128(m_rangeEnd) - m_rangeStart;
        OnKPosition(range > 0 ? int((__int128(position) - m_rangeStart) * 1024 / range) : 0);
    }
    if (onTime)
        onTime(position);
    return position;
}

qint64 TNavMan::Clamp(qint64 aPosition) const
{
    qint64 p = qMax<qint64>(0, qMax(aPosition, m_rangeStart));
    if (p >= m_rangeEnd - m_frameDuration)
        p = qMax<qint64>(0, m_rangeEnd - m_frameDuration);
    return p;
}

bool TNavMan::SettleAfterSeek(GstMessageType aAlso)
{
    const GstMessageType end =
        Bus().WaitForBus(GstMessageType(GST_MESSAGE_ASYNC_DONE | aAlso), kSeekWaitMs);
    if (end != GST_MESSAGE_ASYNC_DONE)
        GST_INFO("seek settled by %s", end ? gst_message_type_get_name(end) : "a time-out");
    return end == GST_MESSAGE_ASYNC_DONE || (aAlso && (end & aAlso));
}

void TNavMan::SeekCore(qint64 aPosition, bool aKeyFrame)
{
    const bool playing = State() == gmPlaying;
    gboolean notify = FALSE;
    if (playing && m_notifier)
        g_object_get(m_notifier, "notify", &notify, nullptr);
    Pause();
    if (onAbsolutePosition)
        onAbsolutePosition(aPosition);
    if (playing && m_notifier)
        g_object_set(m_notifier, "notify", FALSE, nullptr);
    // Aimed a quarter of a frame into the frame nearest the target: a seek to its very start
    // may keep the frame before.
    qint64 aim = aPosition;
    if (!aKeyFrame && aPosition > 0 && m_frameDuration > 1)
        aim = FrameStart(FrameIndex(aPosition)) + m_frameDuration / 4;
    GST_INFO("%s seek to %" G_GINT64_FORMAT, aKeyFrame ? "key-frame" : "accurate", gint64(aim));
    if (!NeedsPreroll())
        SeekAndWait(GstSeekFlags(GST_SEEK_FLAG_FLUSH |
                                 (aKeyFrame ? GST_SEEK_FLAG_KEY_UNIT : GST_SEEK_FLAG_ACCURATE)),
                    Ns(aim), kSeekWaitMs);
    m_stepped = false;
    m_flushedAt = ShownPosition();
    if (playing && m_notifier)
        g_object_set(m_notifier, "notify", notify, nullptr);
    if (playing)
        Play();
}

void TNavMan::SeekTo(qint64 aPosition, bool aKeyFrame)
{
    if (m_seeking)
        return;
    const TCommandQueue::TRun run;
    m_seeking = true;
    ShowSeeking(true);
    SeekCore(Clamp(aPosition), aKeyFrame);
    ShowSeeking(false);
    m_seeking = false;
}

bool TNavMan::PreciseSteps() const
{
    return !caSeekPrecision || caSeekPrecision->Checked();
}

bool TNavMan::Delivering() const
{
    gboolean on = TRUE;
    if (m_notifier)
        g_object_get(m_notifier, "deliver", &on, nullptr);
    return on;
}

void TNavMan::Deliver(bool aOn)
{
    if (m_notifier)
        g_object_set(m_notifier, "deliver", aOn, nullptr);
}

void TNavMan::PreciseSeekTo(qint64 aPosition)
{
    // Without a picture there is no frame to land on: positions come from the pipeline.
    if (!m_notifier || m_frameDuration <= 1) {
        SeekTo(aPosition);
        return;
    }
    if (m_moving) {
        m_pendingTarget = aPosition; // the move in flight goes on to here
        return;
    }
    if (aPosition <= 0) {
        GoToStart();
        return;
    }
    if (m_totalDuration > 0 && aPosition >= m_totalDuration - m_frameDuration) {
        GoToEnd();
        return;
    }
    MoveTo(aPosition);
}

void TNavMan::GoToEnd()
{
    if (!m_notifier || m_frameDuration <= 1 || m_moving) {
        SeekTo(m_rangeEnd);
        return;
    }
    // The range ends where the last frame begins.
    MoveTo(qMax(m_rangeStart, m_rangeEnd));
}

void TNavMan::SettleAtEnd()
{
    if (!m_notifier || m_frameDuration <= 1 || NeedsPreroll() || Aborted())
        return;
    const qint64 shown = PictureOrPosition();
    if (FrameIndex(shown) >= FrameIndex(m_rangeEnd))
        return;
    GST_INFO("the end came on frame %" G_GINT64_FORMAT ": on to the last one, %" G_GINT64_FORMAT,
             gint64(FrameIndex(shown)), gint64(FrameIndex(m_rangeEnd)));
    GoToEnd();
}

qint64 TNavMan::PictureShown() const
{
    const qint64 picture = PictureTime ? PictureTime() : -1;
    return picture < 0 ? -1 : picture - m_origin;
}

qint64 TNavMan::PictureOrPosition() const
{
    const qint64 picture = PictureShown();
    return picture >= 0 ? picture : ShownPosition();
}

void TNavMan::MoveTo(qint64 aPosition)
{
    const TCommandQueue::TRun run; // an abort ends the whole move
    m_moving = true;
    const bool wasPlaying = State() == gmPlaying;
    m_savedPaused = !wasPlaying;
    ShowSeeking(true);
    if (NeedsPreroll() || wasPlaying)
        TDVMan::Pause();
    if (onAbsolutePosition)
        onAbsolutePosition(aPosition);
    m_pendingTarget = aPosition;
    while (m_pendingTarget >= 0 && !Aborted()) {
        m_movingTo = qBound(m_rangeStart, std::exchange(m_pendingTarget, -1), m_rangeEnd);
        LandOn(m_movingTo);
    }
    m_pendingTarget = -1;
    if (wasPlaying)
        Play();
    ShowSeeking(false);
    m_moving = false;
}

bool TNavMan::WorthAdvancing(qint64 aFrom, qint64 aAim) const
{
    if (aAim <= aFrom + m_frameDuration / 2)
        return false; // behind or on the frame shown: only a seek goes back
    if (aAim - m_flushedAt > m_reach)
        return false; // further than the other branches let the picture run ahead
    if (aAim - aFrom <= m_frameDuration * 3 / 2)
        return true; // the next frame: one step
    // A key frame on the way makes the seek the shorter decode; so does a long way.
    return aAim - aFrom <= m_prePosition + m_frameDuration / 2 &&
           !(m_keys && m_keys->KeyBetween(aFrom + m_origin, aAim + m_origin));
}

bool TNavMan::AdvanceTo(qint64 aAim)
{
    if (!m_videoSink || State() == gmPlaying || NeedsPreroll())
        return false;
    const qint64 before = ShownPosition();
    Bus().Drain();
    // The frames before the target are dropped by the frames notifier, before any colour
    // conversion; the sink, stepping past the frame it shows, prerolls on the target.
    Deliver(false);
    TessFramesNotifierArmTarget(m_notifier, 0, aAim);
    m_waitingForTarget = true;
    bool arrived = false;
    if (gst_element_send_event(m_videoSink,
                               gst_event_new_step(GST_FORMAT_BUFFERS, 1, 1.0, TRUE, FALSE))) {
        // Bounded by progress, not by the whole way: a stream that stops moving (sound held by
        // its own paused sink, the end) gives the move back to a seek at once.
        QElapsedTimer still;
        still.start();
        qint64 seen = before;
        while (!Aborted() && still.elapsed() < kAdvanceStillMs) {
            const GstMessageType end = Bus().WaitForBus(GST_MESSAGE_ASYNC_DONE, 5);
            if (end == GST_MESSAGE_EOS || end == GST_MESSAGE_ERROR ||
                TessFramesNotifierFrameless(m_notifier))
                break;
            const qint64 now = ShownPosition();
            if (Delivering() && now != before &&
                gst_element_get_state(m_videoSink, nullptr, nullptr, 0) ==
                    GST_STATE_CHANGE_SUCCESS) {
                arrived = true;
                break;
            }
            if (now != seen) {
                seen = now;
                still.restart();
            }
        }
        if (!arrived && !Aborted() && !TessFramesNotifierFrameless(m_notifier)) {
            // The demuxer stopped feeding the picture: the paused sound's queue is full. Moves
            // from the next flush stay well within what it let through.
            m_reach = qMax(m_frameDuration, (seen - m_flushedAt) / 2);
            GST_INFO("advance stalled %" G_GINT64_FORMAT " after the last flush: moves forward "
                     "reach %" G_GINT64_FORMAT " from now on",
                     gint64(seen - m_flushedAt), gint64(m_reach));
        }
    }
    m_waitingForTarget = false;
    TessFramesNotifierDisarmTarget(m_notifier, 0);
    Deliver(true);
    m_stepped = true;
    return arrived;
}

bool TNavMan::Restore(qint64 aPosition)
{
    if (!TDVMan::Restore(aPosition))
        return false;
    // A new decoder or filter behind a demuxer that seeks late (MPEG program streams) may show
    // another frame than the one before the change: the precise way.
    const qint64 target = aPosition - m_origin;
    if (!m_landing && !m_originPending && m_notifier && !Aborted() && target >= 0 &&
        FrameIndex(ShownPosition()) != FrameIndex(target)) {
        GST_INFO("back to frame %" G_GINT64_FORMAT " after the change", gint64(FrameIndex(target)));
        LandOn(target);
    }
    return true;
}

qint64 TNavMan::RestorePoint() const
{
    // The frame on screen, not the pipeline's position: a demuxer that seeks late (MPEG
    // program streams) reports a position frames away from the picture after a precise move.
    if (m_notifier && !m_originPending)
        return ShownPosition() + m_origin;
    return TDVMan::RestorePoint();
}

bool TNavMan::LandOn(qint64 aTarget)
{
    const QScopedValueRollback landing(m_landing, true);
    const qint64 wanted = FrameIndex(aTarget);
    // Aimed a quarter of a frame into it: a seek to its very start may keep the frame before,
    // which ends a few nanoseconds later, clipped to look like this one.
    const qint64 aim = FrameStart(wanted) + m_frameDuration / 4;
    const qint64 shown = ShownPosition();
    if (WorthAdvancing(shown, aim) && AdvanceTo(aim)) {
        const qint64 landed = ShownPosition();
        GST_INFO("advanced from frame %" G_GINT64_FORMAT " to %" G_GINT64_FORMAT
                 " (frame %" G_GINT64_FORMAT " wanted)",
                 gint64(FrameIndex(shown)), gint64(FrameIndex(landed)), gint64(wanted));
        if (FrameIndex(landed) == wanted)
            return true;
    }
    // A demuxer seen to seek late (MPEG program streams) is aimed from further back at once: its
    // seek to the target itself may even land past the last key frame of the file.
    qint64 back = m_seeksLate ? m_prePosition : 0;
    qint64 nearest = -1;
    for (int attempt = 0; attempt < 4 && !Aborted(); ++attempt) {
        // Frames before the target are dropped by the frames notifier, which lets them through
        // again at the target: the sink prerolls exactly that frame.
        Deliver(false);
        TessFramesNotifierArmTarget(m_notifier, 0, aim);
        m_waitingForTarget = true;
        const qint64 from = back == 0 ? aim : qMax<qint64>(0, aim - back);
        // The frames notifier delivers again once a frame at or past the target has come; the
        // sink may also preroll on a gap or the end (an MPEG program stream seeks into a gap).
        const GstMessageType end = SeekAndWait(
            GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), Ns(from), kSeekWaitMs,
            [this] { return Delivering() || TessFramesNotifierFrameless(m_notifier); });
        const bool sent = end != GST_MESSAGE_UNKNOWN || !Aborted();
        m_waitingForTarget = false;
        // Whatever ended the wait, the picture flows again.
        TessFramesNotifierDisarmTarget(m_notifier, 0);
        Deliver(true);
        m_stepped = false;
        const qint64 landed = ShownPosition();
        m_flushedAt = landed;
        GST_INFO("precise seek to %" G_GINT64_FORMAT " from %" G_GINT64_FORMAT
                 ": landed on frame %" G_GINT64_FORMAT " of %" G_GINT64_FORMAT " (%s)",
                 gint64(aTarget), gint64(from), gint64(FrameIndex(landed)), gint64(wanted),
                 end ? gst_message_type_get_name(end) : "time-out or abort");
        if (end == GST_MESSAGE_ASYNC_DONE && FrameIndex(landed) == wanted)
            return true;
        if (end == GST_MESSAGE_ERROR && !Aborted()) {
            // A decoder that got no key frame before the end (a seek past the last one) leaves
            // the pipeline stopped: start it again and aim from further back.
            GST_INFO("seek ended by an error: the graph starts again");
            m_seeksLate = true;
            back = back == 0 ? m_prePosition : back * 2;
            BeginChange();
            // Not back to where it failed: to where the next try starts.
            SetPositionToRestore(qMax<qint64>(0, aim - back) + m_origin);
            if (!Preroll())
                return false;
            continue;
        }
        if (end != GST_MESSAGE_ASYNC_DONE) {
            // The target was never reached (the end of a file shorter than it says, an
            // error): show the nearest frame seen.
            if (!Aborted() && sent)
                SeekAccurate(landed + m_origin);
            return false;
        }
        // Landed beside it: a demuxer that seeks late, or a decoder a frame early. Aim from
        // further back and let the frames notifier count up to the target.
        m_seeksLate =
            m_seeksLate || FrameIndex(landed) > wanted || TessFramesNotifierFrameless(m_notifier);
        back = back == 0 ? m_prePosition : back * 2;
        nearest = landed;
    }
    // Never there (a file shorter than it says): the nearest frame seen, not an empty picture.
    if (!Aborted() && nearest >= 0) {
        GST_INFO("frame %" G_GINT64_FORMAT " not reached: showing %" G_GINT64_FORMAT,
                 gint64(wanted), gint64(FrameIndex(nearest)));
        SeekAccurate(FrameStart(FrameIndex(nearest)) + m_frameDuration / 4 + m_origin);
    }
    return false;
}

qint64 TNavMan::MoveBase()
{
    // Steps that come while a move is in flight count from where it is going.
    if (m_moving)
        return m_pendingTarget >= 0 ? m_pendingTarget : m_movingTo;
    return CurrentPosition();
}

void TNavMan::StepBack(qint64 aAmount)
{
    const qint64 from = MoveBase();
    qint64 target = from - aAmount;
    if (target < m_rangeStart)
        target = m_rangeStart;
    if (PreciseSteps())
        PreciseSeekTo(target);
    else
        SeekTo(target);
}

void TNavMan::StepForward(qint64 aAmount)
{
    const qint64 from = MoveBase();
    qint64 target = aAmount > m_rangeEnd - from ? m_rangeEnd : from + aAmount;
    if (target < m_rangeStart)
        target = m_rangeStart;
    if (PreciseSteps())
        PreciseSeekTo(target);
    else
        SeekTo(target);
}

void TNavMan::SeekToText(const QString& aText)
{
    const qint64 p = ParsePosition(aText, m_frameDuration);
    if (PreciseSteps())
        PreciseSeekTo(p);
    else
        SeekTo(p);
}

void TNavMan::SetRange(bool aReset, qint64 aStart, qint64 aEnd)
{
    m_rangeEnd = aEnd == kNoEnd ? kNoEnd : aEnd - m_frameDuration;
    m_rangeStart = aStart;
    const qint64 last = m_totalDuration - m_frameDuration;
    if (m_rangeEnd < 0)
        m_rangeEnd = last;
    if (m_rangeStart < 0)
        m_rangeStart = 0;
    if (last < m_rangeStart)
        m_rangeStart = last;
    if (last < m_rangeEnd)
        m_rangeEnd = last;
    if (m_rangeEnd < m_rangeStart)
        m_rangeEnd = m_rangeStart;
    m_rangeStart = qMax<qint64>(0, m_rangeStart);
    m_rangeEnd = qMax<qint64>(0, m_rangeEnd);
    if (m_display && m_display->HasSlider())
        m_display->SetSliderRange(SliderUnits(m_rangeStart), SliderUnits(m_rangeEnd));
    if (aReset) {
        SeekTo(m_rangeStart);
        if (m_originPending && m_notifier && !NeedsPreroll() && m_rangeStart == 0) {
            // At the start of a file just opened: the frame shown is the first one, and its
            // time is where positions start. Taken after a seek, not at the first preroll: an
            // MPEG program stream's times move by a second at its first seek.
            m_origin = TessFramesNotifierCurrentPosition(m_notifier);
            m_originPending = false;
            g_object_set(m_notifier, "origin", gint64(m_origin), nullptr);
            GST_INFO("positions count from %" G_GINT64_FORMAT, gint64(m_origin));
        }
        // A new range starts a new file: no text of the previous one stays in the box.
        m_lastText.clear();
        m_lastShown = CurrentPosition();
        ShowPositionText(FormatPosition(m_frameDuration, m_lastShown));
    } else {
        const qint64 at = qBound(m_rangeStart, qMax<qint64>(0, Position() - m_origin), m_rangeEnd);
        SeekTo(at);
    }
}

void TNavMan::ReadDuration()
{
    m_totalDuration = Duration();
    m_rangeStart = 0;
    // The pipeline has prerolled already: the frames notifier may know the frame duration.
    const qint64 known = m_notifier ? TessFramesNotifierVideoData(m_notifier).averageFrameTime : 0;
    SetFrameDuration(known > 0 ? known : 1);
}

void TNavMan::SetFrameDuration(qint64 aDuration)
{
    // A negative duration (a broken stream's, or a 32-bit message's sign) counts no frames.
    if (aDuration <= 0)
        return;
    m_frameDuration = aDuration;
    if (m_notifier)
        g_object_set(m_notifier, "frame-duration", gint64(aDuration), nullptr);
    m_rangeEnd = m_totalDuration - aDuration;
    if (OnDuration)
        OnDuration(FormatPosition(aDuration, m_totalDuration));
    if (m_display && m_display->HasSlider())
        m_display->SetSliderRange(SliderUnits(m_rangeStart), SliderUnits(m_rangeEnd));
}

void TNavMan::RefreshFrame()
{
    if (QuietMode)
        return;
    QuietMode = true;
    if (State() != gmPlaying && m_notifier && !NeedsPreroll())
        SeekAccurate(ShownPosition() + m_origin);
    QuietMode = false;
}

void TNavMan::SetCompatibleSpeed(bool aOn)
{
    const bool wasPlaying = State() == gmPlaying;
    TGrapheMan::Stop();
    if (onVitesse)
        onVitesse(aOn);
    // Without a clock every sink renders as soon as a frame is decoded.
    if (aOn)
        gst_pipeline_use_clock(GST_PIPELINE(Pipeline()), nullptr);
    else
        gst_pipeline_auto_clock(GST_PIPELINE(Pipeline()));
    if (NeedsPreroll())
        return;
    TGrapheMan::Play();
    if (!wasPlaying)
        TGrapheMan::Pause();
}

// --- messages

void TNavMan::ShowPositionText(const QString& aText)
{
    if (OnDisplayTime)
        OnDisplayTime(aText);
    if (m_editFollowing && m_display && m_display->HasPositionEdit())
        m_display->ShowPositionText(aText);
}

bool TNavMan::WndProc(QEvent& aMessage)
{
    const TNotifyEvent* e = TNotifyEvent::From(&aMessage);
    if (!e)
        return TDVMan::WndProc(aMessage);
    switch (e->Message()) {
    case NM_TARGET_REACHED:
        // The frames notifier has let the frames through again by itself.
        m_waitingForTarget = false;
        return true;
    case NM_POSITION_TEXT:
        m_lastShown = CurrentPosition();
        // Taken before positions were moved to the file's first frame: the current one says.
        ShowPositionText(e->Origin() == m_origin ? e->Text()
                                                 : FormatPosition(m_frameDuration, m_lastShown));
        return true;
    case NM_FRAME_DURATION:
        SetFrameDuration(e->FrameDuration());
        return true;
    default:
        return TDVMan::WndProc(aMessage);
    }
}

// --- actions

void TNavMan::CreateActions()
{
    ::CreateActions(NavManActionRows(), this);
}

void TNavMan::FindActions()
{
    caPlay = Get<TCheckAction>(QStringLiteral("caPlay"));
    caSeekPrecision = Get<TCheckAction>(QStringLiteral("caSeekPrecision"));
    caVitesseCompatible = Get<TCheckAction>(QStringLiteral("caVitesseCompatible"));
    iaSeekPrepos = Get<TIntegerAction>(QStringLiteral("iaSeekPrepos"));
    waStrPosition = Get<TWidestringAction>(QStringLiteral("waStrPosition"));
}

void TNavMan::AssignHandlers()
{
    caPlay->OnInternalTrueApply = [this] { Play(); };
    caPlay->OnInternalFalseApply = [this] { Pause(); };
    caVitesseCompatible->OnInternalTrueApply = [this] { SetCompatibleSpeed(true); };
    caVitesseCompatible->OnInternalFalseApply = [this] { SetCompatibleSpeed(false); };
    iaSeekPrepos->OnInternalApply = [this](const qint32& v) {
        m_prePosition = qint64(qMax(0, v)) * 10'000;
    };
    waStrPosition->OnInternalApply = [this](const QString& v) { SeekToText(v); };
    const struct {
        const char* id;
        std::function<void()> run;
    } steps[] = {
        {"naReculeDebut", [this] { GoToStart(); }},
        {"naRecule10Minutes", [this] { StepBack(kTenMinutes); }},
        {"naReculeMinute", [this] { StepBack(kMinute); }},
        {"naRecule10Secondes", [this] { StepBack(kTenSeconds); }},
        {"naReculeSeconde", [this] { StepBack(kSecond); }},
        {"naRecule10Frames", [this] { StepBack(10 * m_frameDuration); }},
        {"naReculeFrame", [this] { StepBack(m_frameDuration); }},
        {"naAvanceFin", [this] { GoToEnd(); }},
        {"naAvance10Minutes", [this] { StepForward(kTenMinutes); }},
        {"naAvanceMinute", [this] { StepForward(kMinute); }},
        {"naAvance10Secondes", [this] { StepForward(kTenSeconds); }},
        {"naAvanceSeconde", [this] { StepForward(kSecond); }},
        {"naAvance10Frames", [this] { StepForward(10 * m_frameDuration); }},
        {"naAvanceFrame", [this] { StepForward(m_frameDuration); }},
    };
    for (const auto& s : steps)
        Get<TNopeAction>(QString::fromLatin1(s.id))->OnInternalApply = s.run;
    // The scene jumps are the window's: nothing here.
    Get<TNopeAction>(QStringLiteral("naReculeTrack"));
    Get<TNopeAction>(QStringLiteral("naAvanceTrack"));
}
