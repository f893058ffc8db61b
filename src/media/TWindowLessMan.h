#pragma once

#include "actions/TKoActionComponent.h"
#include "media/TGrapheMan.h"
#include "media/TTextLayer.h"
#include "media/gst/GstPtr.h"

#include <QImage>
#include <QPointer>
#include <QRect>

#include <atomic>
#include <functional>
#include <mutex>

class QPainter;

// The video window: owns the renderer ("Ko VideoWindow": conversion to BGRx, the frames notifier
// and an appsink) and everything about how the picture is shown: its place in the host with a
// border and a fitted rectangle, mirror flips, full screen and the preview window, and the eight
// lines of on-video text drawn over it. It paints into a QPainter the window gives it; the host,
// the full-screen and preview windows are the window's (the managers use no widgets).
//
// Frames reach the main thread without a copy: the sink's callbacks keep the latest sample and
// post one event; the main thread maps it and asks the host to repaint.
class TWindowLessMan : public TKoActionComponent {
    Q_OBJECT
public:
    explicit TWindowLessMan(QObject* aOwner = nullptr);
    ~TWindowLessMan() override;

    // The host repaints (a new frame, a new place, new text).
    std::function<void()> OnRepaint;
    // The full-screen and preview windows are shown or hidden.
    std::function<void(bool)> OnFullscreen;
    std::function<void(bool)> OnPreviewForm;

    GstElement* Renderer() const { return m_renderer.get(); }
    GstElement* FramesNotifier() const { return m_framesNotifier; }
    GstElement* VideoSink() const { return m_sink; }
    // The renderer leaves its graph and enters aGraph (null: none).
    void SetGraph(TGrapheMan* aGraph);
    TGrapheMan* Graph() const { return m_graph; }

    int WinBorderWidth = 8;
    int FullBorderWidth = 8;
    TColor BorderColor = 0xC0C0C0;
    TColor BackColor = 0;
    TTextLines Lines = DefaultTextLines();
    TTextStyle Style;

    void SetAspect(int aX, int aY);
    QSize Aspect() const { return m_aspect; }
    void SetFullscreen(bool aOn);
    void SetFlipVertical(bool aOn);
    void SetFlipHorizontal(bool aOn);
    void SetPreviewForm(bool aOn);
    void SetKeepAspectratio(bool aOn) { m_keepAspect = aOn; }
    bool Fullscreen() const { return m_fullscreen; }
    bool PreviewForm() const { return m_preview; }
    bool FlipVertical() const { return m_flipV; }
    bool FlipHorizontal() const { return m_flipH; }
    // The preview window's bounds, kept while it is shut (raPreviewSave).
    TRect PreviewBounds{0, 0, 640, 480};
    // The full-screen hint's delay in milliseconds; 0 shows no hint.
    int HintInterval = 3000;

    void ShowText(bool aOn);
    bool TextShown() const { return m_textShown; }
    // Notes the frames taken so far and draws the text layer again.
    void RefreshText();
    void SetInsertAlignLines(int aAlign);
    int InsertAlignLines() const { return m_align; }

    // Frames taken in from the sink, and the count noted by the last RefreshText: a grab while
    // playing waits for a frame taken after the latest text change. Not paint events: a hidden
    // window must not stall a grab.
    int FramesDrawn() const { return m_framesIn.load(); }
    int NotedFramesDrawn() const { return m_noted; }
    // Frames that reached the main thread (fewer than FramesDrawn when it was too busy).
    int FramesTaken() const { return m_taken; }
    bool HasFrame() const { return !m_frame.isNull() && !m_frameStale; }
    // The frame shown belongs to a stream that went: it stays on screen until the next one
    // arrives, but is no longer grabbed.
    void MarkFrameStale() { m_frameStale = true; }
    QSize FrameSize() const { return m_frame.size(); }
    // The frame on screen at its own size with the text in it.
    bool GetCurrentImage(QImage& aImage) const;

    // Paints the picture and its border into aHost (a client rectangle) of the window in use.
    void Paint(QPainter& aPainter, const QRect& aHost, const QColor& aHostColor) const;
    QRect VideoRect(const QRect& aHost) const;

    void CreateActions() override;
    void FindActions() override;
    void AssignHandlers() override;

    // The time (buffer PTS) of the frame shown and the length of one frame, when known.
    GstClockTime ShownTime() const { return m_shownTime; }
    // The stream time of the picture on screen, once a frame already on its way is taken; -1
    // without one.
    qint64 PictureStreamTime();
    GstClockTime ShownFrameDuration() const { return m_shownDuration; }

protected:
    bool WndProc(QEvent& aMessage) override;
    void Repaint();
    // A new frame is shown, before it is painted.
    virtual void FrameTaken() {}

private:
    struct TFrameBox;
    void TakeFrame();

    TGstRef<GstElement> m_renderer;
    GstElement* m_framesNotifier = nullptr;
    GstElement* m_sink = nullptr;
    std::shared_ptr<TFrameBox> m_box;
    QPointer<TGrapheMan> m_graph;
    // The frame shown, mapped from the sample it came in (kept until the next one).
    TGstSampleRef m_sample;
    GstMapInfo m_map{};
    bool m_mapped = false;
    QImage m_frame;
    TTextPart m_textLayer;
    std::atomic<int> m_framesIn{0};
    int m_noted = 0;
    int m_taken = 0;
    GstClockTime m_shownTime = GST_CLOCK_TIME_NONE;
    GstClockTime m_shownDuration = GST_CLOCK_TIME_NONE;
    QSize m_aspect;
    int m_align = 2;
    bool m_fullscreen = false;
    bool m_preview = false;
    bool m_flipV = false;
    bool m_flipH = false;
    bool m_keepAspect = false;
    bool m_textShown = false;
    bool m_frameStale = false;
};
