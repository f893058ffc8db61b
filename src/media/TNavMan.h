#pragma once

#include "media/TDVMan.h"

#include <QElapsedTimer>
#include <QString>

#include <functional>
#include <limits>
#include <memory>

class TKeyFrames;
class TavSource;
class TCheckAction;
class TIntegerAction;
class TNopeAction;
class TWidestringAction;

// The position box and the slider of the window, seen from the navigation: the window's binding
// implements it with its widgets (the managers use none).
class TNavDisplay {
public:
    virtual ~TNavDisplay() = default;
    virtual bool HasPositionEdit() const = 0;
    virtual bool HasSlider() const = 0;
    virtual void ShowPositionText(const QString& aText) = 0;
    // Italic 0xC0C0C0 while a seek runs, plain black after.
    virtual void ShowSeeking(bool aSeeking) = 0;
    virtual void SetSliderRange(int aMinimum, int aMaximum) = 0;
    virtual void SetSliderValue(int aValue) = 0;
};

// The graph manager of the playback pipeline with everything that moves the play position:
// play and pause, steps of frames, seconds and minutes, typed positions, precise seeks that land
// on the frame asked for, compatible speed; and the position shown while it moves.
//
// A precise seek runs in PAUSED: the frames notifier drops every frame before the target, a
// flushing accurate seek goes to it (or before it where a demuxer lands late), and the wait,
// bounded, ends when the pipeline has prerolled the target frame, or on EOS, ERROR, a time-out
// or an abort. The frame that landed is checked against the target. Short moves forward with no
// key frame on the way decode on instead: a step event on the paused video sink, the frames
// notifier dropping what comes before the target. One seek is in flight at a time: steps that
// arrive meanwhile move its target.
class TNavMan : public TDVMan {
    Q_OBJECT
public:
    static constexpr qint64 kNoEnd = std::numeric_limits<qint64>::max();
    static constexpr int kSeekWaitMs = 10000;
    // A move forward that sees no frame for this long is given up for a seek.
    static constexpr int kAdvanceStillMs = 200;

    explicit TNavMan(QObject* aOwner = nullptr);
    ~TNavMan() override;

    std::function<void(qint64)> onAbsolutePosition;
    std::function<void(int)> OnKPosition;
    std::function<void(const QString&)> OnDisplayTime;
    std::function<void(const QString&)> OnDuration;
    std::function<void()> OnDisplaySeek;
    std::function<void()> OnDisplayNormal;
    std::function<void(qint64)> onTime;
    std::function<void(bool)> onVitesse;

    bool EditEnabled = false;
    bool QuietMode = false;
    bool Seeking() const { return m_seeking; }
    bool WaitingForTarget() const { return m_waitingForTarget; }

    // The window's position box and slider; null when it has none.
    void SetDisplay(TNavDisplay* aDisplay);
    // From the display: the box took or left the focus, Enter was pressed in it, the slider's
    // button went down or up (at aValue), the slider moved. Each move is a command: while the
    // button is down they seek to key frames (fast), and the release shows the frame where the
    // thumb was let go; moves that come while a seek waits are replaced by the latest.
    void EditFocus(bool aIn);
    void EditReturn(const QString& aText);
    void SliderDown(bool aDown, int aValue = 0);
    void SliderMoved(int aValue);
    bool EditFollowing() const { return m_editFollowing; }
    bool SliderFollowing() const { return m_sliderFollowing; }

    // The video branch's frames notifier and sink (from the video manager; null when it goes).
    // With them, where the key frames are: short moves forward decode on instead of seeking.
    void SetFramesNotifier(GstElement* aNotifier, GstElement* aVideoSink,
                           std::shared_ptr<const TKeyFrames> aKeys = nullptr);
    GstElement* FramesNotifier() const { return m_notifier; }
    // The stream time of the picture on screen (from the video manager); -1 without one.
    std::function<qint64()> PictureTime;
    void SetVideoSource(TavSource* aSource);
    TavSource* VideoSource() const { return m_videoSource; }
    // A new stream is connected: waits may wait again, the position text starts over.
    void ResetForStream();
    // A new file is being opened: its positions will count from its first frame, whose stream
    // time ReadDuration takes as the origin.
    void NewFile();
    qint64 Origin() const { return m_origin; }

    bool Play() override;
    bool Pause() override;
    bool Stop() override;

    // Shows the frame at aPosition (an accurate seek); with aKeyFrame the key frame before it,
    // which is faster (the slider while it is dragged).
    void SeekTo(qint64 aPosition, bool aKeyFrame = false);
    void PreciseSeekTo(qint64 aPosition);
    qint64 CurrentPosition();
    qint64 RestorePoint() const override;
    // Where the picture on screen stands in positions; -1 when unknown. While playing, the
    // frames notifier's position may be a frame ahead of it.
    qint64 PictureShown() const;
    // The picture's position, or the frames notifier's when the picture's is unknown.
    qint64 PictureOrPosition() const;
    void StepBack(qint64 aAmount);
    void StepForward(qint64 aAmount);
    void GoToStart() { SeekTo(m_rangeStart); }
    // The last frame of the file, as a player shows it.
    void GoToEnd();
    // After playing to the end: the last frame, where the demuxer let the picture stop before it.
    void SettleAtEnd();
    // "h:mm:ss:ff": precise or plain as caSeekPrecision says.
    void SeekToText(const QString& aText);
    void SetRange(bool aReset, qint64 aStart, qint64 aEnd);
    void ReadDuration();
    void SetFrameDuration(qint64 aDuration);
    void RefreshFrame();
    // Compatible speed: no clock, frames as fast as they are decoded.
    void SetCompatibleSpeed(bool aOn);

    qint64 FrameDuration() const { return m_frameDuration; }
    qint64 TotalDuration() const { return m_totalDuration; }
    qint64 RangeStart() const { return m_rangeStart; }
    qint64 RangeEnd() const { return m_rangeEnd; }
    qint64 PrePosition() const { return m_prePosition; }
    qint64 LastShownPosition() const { return m_lastShown; }
    bool PreciseSteps() const;

    // The component's actions, in its table's order (by internal id).
    void CreateActions() override;
    void FindActions() override;
    void AssignHandlers() override;

    TCheckAction* caPlay = nullptr;
    TCheckAction* caSeekPrecision = nullptr;
    TCheckAction* caVitesseCompatible = nullptr;
    TIntegerAction* iaSeekPrepos = nullptr;
    TWidestringAction* waStrPosition = nullptr;

protected:
    bool WndProc(QEvent& aMessage) override;
    bool Restore(qint64 aPosition) override;

private:
    void SeekCore(qint64 aPosition, bool aKeyFrame);
    // The frame-exact move under PreciseSeekTo and GoToEnd.
    void MoveTo(qint64 aPosition);
    void ShowSeeking(bool aSeeking);
    // One precise move to aTarget (pipeline paused); false when it could not land there.
    bool LandOn(qint64 aTarget);
    // Whether a precise move from aFrom to aAim is done sooner decoding on than seeking.
    bool WorthAdvancing(qint64 aFrom, qint64 aAim) const;
    // Decodes on, paused, to the frame at aAim; false when it did not get there.
    bool AdvanceTo(qint64 aAim);
    // Waits for the pipeline to settle after a flushing seek or a step.
    bool SettleAfterSeek(GstMessageType aAlso = GST_MESSAGE_UNKNOWN);
    qint64 Clamp(qint64 aPosition) const;
    qint64 FrameIndex(qint64 aPosition) const;
    qint64 FrameStart(qint64 aIndex) const;
    qint64 MoveBase();
    qint64 ShownPosition() const;

    void Deliver(bool aOn);
    bool Delivering() const;
    guint64 Rendered() const;
    void AwaitPlayingTaken();
    // The position box and OnDisplayTime.
    void ShowPositionText(const QString& aText);
    gint64 Ns(qint64 aPosition) const;

    TNavDisplay* m_display = nullptr;
    bool m_editFollowing = false;
    bool m_sliderFollowing = false;
    bool m_sliderDown = false;
    bool m_sliderMoved = false;
    int m_sliderShown = 0; // the slider's value for the position shown
    GstElement* m_notifier = nullptr;
    GstElement* m_videoSink = nullptr;
    // Frames the video sink had rendered when play began, and when that was.
    guint64 m_renderedAtPlay = 0;
    QElapsedTimer m_playedSince;
    std::shared_ptr<const TKeyFrames> m_keys;
    TavSource* m_videoSource = nullptr;
    QString m_lastText;
    qint64 m_prePosition = 10'000'000;
    qint64 m_origin = 0;
    bool m_originPending = false;
    bool m_seeksLate = false; // the demuxer of this file lands after the target
    // Where the last flush left the picture, and how far past it a move forward may decode on
    // (learnt when one stalls: the sound's paused branch holds the demuxer).
    qint64 m_flushedAt = 0;
    qint64 m_reach = kNoEnd;
    qint64 m_rangeStart = 0;
    qint64 m_rangeEnd = kNoEnd;
    qint64 m_totalDuration = 0;
    qint64 m_lastShown = 0;
    qint64 m_frameDuration = 0;
    bool m_seeking = false;
    bool m_waitingForTarget = false;
    bool m_landing = false; // inside LandOn, whose own rebuilds restore where it aims
    bool m_savedPaused = true;
    // A precise move in flight, and where the steps that came meanwhile want to be.
    bool m_moving = false;
    qint64 m_pendingTarget = -1;
    qint64 m_movingTo = 0;
    // Video stepped alone while paused: the sound is put back in step before playing.
    bool m_stepped = false;
};
