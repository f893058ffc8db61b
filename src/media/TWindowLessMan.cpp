#include "media/TWindowLessMan.h"

#include "actions/ActionColors.h"
#include "actions/TCheckAction.h"
#include "actions/ValueActions.h"
#include "base/RefTime.h"
#include "media/TGrapheMan.h"
#include "media/VideoManActions.h"
#include "media/core/FitRect.h"
#include "media/gst/GstFramesNotifier.h"

#include <QCoreApplication>
#include <QPainter>

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

GST_DEBUG_CATEGORY_STATIC(tess_window_debug);
#define GST_CAT_DEFAULT tess_window_debug

namespace {

QEvent::Type FrameEventType()
{
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

} // namespace

// What the sink's callbacks share with the main thread.
struct TWindowLessMan::TFrameBox {
    std::mutex lock;
    TGstSampleRef latest;
    QObject* target = nullptr; // cleared before the manager goes
    std::atomic<bool> posted{false};
    std::atomic<int>* count = nullptr;

    static GstFlowReturn Take(GstAppSink* aSink, gpointer aBox, bool aPreroll)
    {
        auto& box = **static_cast<std::shared_ptr<TFrameBox>*>(aBox);
        GstSample* s =
            aPreroll ? gst_app_sink_pull_preroll(aSink) : gst_app_sink_pull_sample(aSink);
        if (!s)
            return GST_FLOW_OK;
        // A sample of our own around the same buffer: the sink reuses the one it hands out and
        // must be able to change its caps (a new decoder) while the picture is still shown.
        GstSample* own = gst_sample_new(gst_sample_get_buffer(s), gst_sample_get_caps(s),
                                        gst_sample_get_segment(s), nullptr);
        gst_sample_unref(s);
        std::lock_guard guard(box.lock);
        box.latest.reset(own);
        if (box.count)
            ++*box.count;
        // One event on its way at a time: a busy main thread takes the latest frame only.
        if (box.target && !box.posted.exchange(true))
            QCoreApplication::postEvent(box.target, new QEvent(FrameEventType()));
        return GST_FLOW_OK;
    }
};

TWindowLessMan::TWindowLessMan(QObject* aOwner)
    : TKoActionComponent(aOwner)
    , m_box(std::make_shared<TFrameBox>())
{
    static std::once_flag once;
    std::call_once(once, [] {
        GST_DEBUG_CATEGORY_INIT(tess_window_debug, "tesswindow", 0, "Tessarine video window");
    });
    Style.Font.Name = QStringLiteral("Arial");
    Style.Font.Size = 16;
    Style.Font.Color = 0x800000;
    m_box->target = Handle();
    m_box->count = &m_framesIn;

    // Conversion in GStreamer's threads, to the window's own pixel layout; the frames notifier
    // comes first, so the frames a precise move drops are never converted.
    GstElement* bin = gst_bin_new("Ko VideoWindow");
    m_renderer.reset(GST_ELEMENT(gst_object_ref_sink(bin)));
    GstElement* convert = gst_element_factory_make("videoconvert", nullptr);
    g_object_set(convert, "n-threads", 2u, nullptr);
    m_framesNotifier = TessFramesNotifierNew("Frames Notifier");
    m_sink = gst_element_factory_make("appsink", "Video Sink");
    GstCaps* caps = gst_caps_from_string("video/x-raw,format=BGRx");
    g_object_set(m_sink, "caps", caps, "sync", TRUE, "max-buffers", 2u, "drop", TRUE, "wait-on-eos",
                 FALSE, "qos", TRUE, nullptr);
    gst_caps_unref(caps);
    gst_bin_add_many(GST_BIN(bin), m_framesNotifier, convert, m_sink, nullptr);
    gst_element_link_many(m_framesNotifier, convert, m_sink, nullptr);
    TGstRef<GstPad> in(gst_element_get_static_pad(m_framesNotifier, "sink"));
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", in.get()));
    GstAppSinkCallbacks callbacks{};
    callbacks.new_preroll = [](GstAppSink* s, gpointer b) { return TFrameBox::Take(s, b, true); };
    callbacks.new_sample = [](GstAppSink* s, gpointer b) { return TFrameBox::Take(s, b, false); };
    gst_app_sink_set_callbacks(
        GST_APP_SINK(m_sink), &callbacks, new std::shared_ptr<TFrameBox>(m_box),
        [](gpointer b) { delete static_cast<std::shared_ptr<TFrameBox>*>(b); });
}

TWindowLessMan::~TWindowLessMan()
{
    {
        std::lock_guard guard(m_box->lock);
        m_box->target = nullptr;
        m_box->count = nullptr;
    }
    SetGraph(nullptr);
    if (m_mapped)
        gst_buffer_unmap(gst_sample_get_buffer(m_sample.get()), &m_map);
}

void TWindowLessMan::SetGraph(TGrapheMan* aGraph)
{
    if (m_graph && m_graph->Contains(m_renderer.get()))
        m_graph->Remove(m_renderer.get());
    m_graph = aGraph;
    if (aGraph)
        aGraph->Add(m_renderer.get(), QStringLiteral("Ko VideoWindow"));
}

bool TWindowLessMan::WndProc(QEvent& aMessage)
{
    if (aMessage.type() == FrameEventType()) {
        TakeFrame();
        return true;
    }
    return TKoActionComponent::WndProc(aMessage);
}

qint64 TWindowLessMan::PictureStreamTime()
{
    TakeFrame();
    const GstSegment* segment = m_sample ? gst_sample_get_segment(m_sample.get()) : nullptr;
    if (!segment || segment->format != GST_FORMAT_TIME || !GST_CLOCK_TIME_IS_VALID(m_shownTime))
        return -1;
    const guint64 t = gst_segment_to_stream_time(segment, GST_FORMAT_TIME, m_shownTime);
    return t == GST_CLOCK_TIME_NONE ? -1 : RefTimeFromGst(t);
}

void TWindowLessMan::TakeFrame()
{
    TGstSampleRef sample;
    {
        std::lock_guard guard(m_box->lock);
        m_box->posted = false;
        sample = std::move(m_box->latest);
    }
    if (!sample)
        return;
    GstVideoInfo info;
    GstBuffer* buffer = gst_sample_get_buffer(sample.get());
    if (!buffer || !gst_video_info_from_caps(&info, gst_sample_get_caps(sample.get())))
        return;
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ))
        return;
    const QSize before = m_frame.size();
    // The picture points into the sample's memory: kept mapped until the next frame.
    m_frame = QImage(map.data, GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info),
                     GST_VIDEO_INFO_PLANE_STRIDE(&info, 0), QImage::Format_RGB32);
    if (m_mapped)
        gst_buffer_unmap(gst_sample_get_buffer(m_sample.get()), &m_map);
    m_sample = std::move(sample);
    m_map = map;
    m_mapped = true;
    m_frameStale = false;
    ++m_taken;
    m_shownTime = GST_BUFFER_PTS(buffer);
    m_shownDuration = GST_BUFFER_DURATION_IS_VALID(buffer) ? GST_BUFFER_DURATION(buffer)
                      : info.fps_n > 0 ? gst_util_uint64_scale(GST_SECOND, guint64(info.fps_d),
                                                               guint64(info.fps_n))
                                       : GST_CLOCK_TIME_NONE;
    if (m_frame.size() != before && m_textShown)
        m_textLayer = RenderTextPart(m_frame.size(), Lines, Style);
    FrameTaken();
    Repaint();
}

void TWindowLessMan::Repaint()
{
    if (OnRepaint)
        OnRepaint();
}

void TWindowLessMan::SetAspect(int aX, int aY)
{
    m_aspect = QSize(qAbs(aX), qAbs(aY));
    Repaint();
}

void TWindowLessMan::SetFullscreen(bool aOn)
{
    m_fullscreen = aOn;
    if (OnFullscreen)
        OnFullscreen(aOn);
    Repaint();
}

void TWindowLessMan::SetFlipVertical(bool aOn)
{
    m_flipV = aOn;
    Repaint();
}

void TWindowLessMan::SetFlipHorizontal(bool aOn)
{
    m_flipH = aOn;
    Repaint();
}

void TWindowLessMan::SetPreviewForm(bool aOn)
{
    m_preview = aOn;
    if (OnPreviewForm)
        OnPreviewForm(aOn);
    Repaint();
}

void TWindowLessMan::ShowText(bool aOn)
{
    m_textShown = aOn;
    if (!aOn)
        m_textLayer = {};
    RefreshText();
}

void TWindowLessMan::RefreshText()
{
    m_noted = FramesDrawn();
    // No layer before the first frame: its size is the picture's.
    if (m_textShown && !m_frame.isNull())
        m_textLayer = RenderTextPart(m_frame.size(), Lines, Style);
    Repaint();
}

void TWindowLessMan::SetInsertAlignLines(int aAlign)
{
    m_align = qBound(0, aAlign, 2);
    for (TTextLine& l : Lines)
        l.Align = m_align;
    RefreshText();
}

QRect TWindowLessMan::VideoRect(const QRect& aHost) const
{
    return FitRect(m_aspect, aHost, m_fullscreen ? FullBorderWidth : WinBorderWidth, false);
}

void TWindowLessMan::Paint(QPainter& aPainter, const QRect& aHost, const QColor& aHostColor) const
{
    TVideoPaint p;
    p.Host = aHost;
    p.HostColor = aHostColor;
    p.BorderColor = ColorToQColor(BorderColor);
    p.Border = m_fullscreen ? FullBorderWidth : WinBorderWidth;
    p.Aspect = m_aspect;
    p.Frame = m_frame.isNull() ? nullptr : &m_frame;
    p.FlipH = m_flipH;
    p.FlipV = m_flipV;
    p.TextLayer = m_textShown && !m_textLayer.IsNull() ? &m_textLayer.Image : nullptr;
    p.TextAt = m_textLayer.At;
    p.Opacity = TextOpacity(Style.Transparency);
    PaintVideo(aPainter, p);
}

bool TWindowLessMan::GetCurrentImage(QImage& aImage) const
{
    if (m_frame.isNull() || m_frameStale)
        return false;
    aImage = ComposeCurrentImage(m_frame, m_textShown ? m_textLayer.Image : QImage(),
                                 TextOpacity(Style.Transparency), m_textLayer.At);
    return !aImage.isNull();
}

// --- actions

void TWindowLessMan::CreateActions()
{
    ::CreateActions(VideoManActionRows(), this);
}

void TWindowLessMan::FindActions() {}

void TWindowLessMan::AssignHandlers()
{
    const auto check = [this](const char* aId, std::function<void(bool)> aSet) {
        auto* a = Get<TCheckAction>(QString::fromLatin1(aId));
        a->OnInternalTrueApply = [aSet] { aSet(true); };
        a->OnInternalFalseApply = [aSet] { aSet(false); };
        return a;
    };
    check("caFullscreen", [this](bool v) { SetFullscreen(v); });
    check("caFlipVertical", [this](bool v) { SetFlipVertical(v); });
    check("caFlipHorizontal", [this](bool v) { SetFlipHorizontal(v); });
    check("caPreviewForm", [this](bool v) { SetPreviewForm(v); });
    check("caKeepAspectRatio", [this](bool v) { SetKeepAspectratio(v); })->SetEnabled(false);
    check("caInsertTextOn", [this](bool v) { ShowText(v); });
    check("caInsertAntiAliasing", [this](bool v) {
        Style.AntiAliasing = v;
        RefreshText();
    });
    const auto integer = [this](const char* aId, std::function<void(qint32)> aSet) {
        auto* a = Get<TIntegerAction>(QString::fromLatin1(aId));
        a->OnInternalApply = [aSet](const qint32& v) { aSet(v); };
        return a;
    };
    integer("iaFullBorderWidth", [this](qint32 v) {
        FullBorderWidth = qMax(0, v);
        Repaint();
    });
    integer("iaWinBorderWidth", [this](qint32 v) {
        WinBorderWidth = qMax(0, v);
        Repaint();
    });
    integer("iaInsertAlignLines", [this](qint32 v) {
        SetInsertAlignLines(v);
    })->OnInternalBeforeSave = [this](qint32& v) {
        v = m_align;
        return true;
    };
    integer("iaInsertBorderWidth", [this](qint32 v) {
        // Each unit of width draws more outlines: a script's 10^5 would never end.
        Style.BorderWidth = qBound(0, v, 20);
        RefreshText();
    });
    integer("iaTimerInterval", [this](qint32 v) { HintInterval = qMax(0, v); });
    const auto colour = [this](const char* aId, std::function<void(TColor)> aSet) {
        Get<TColorAction>(QString::fromLatin1(aId))->OnInternalApply = [aSet](const TColor& v) {
            aSet(v);
        };
    };
    colour("iaBorderColor", [this](TColor v) {
        BorderColor = v;
        Repaint();
    });
    colour("iaBackColor", [this](TColor v) {
        BackColor = v;
        Repaint();
    });
    colour("iaInsertBorderColor", [this](TColor v) {
        Style.BorderColor = v;
        RefreshText();
    });
    colour("iaInsertTransparentColor", [this](TColor v) {
        Style.TransparentColor = v;
        RefreshText();
    });
    Get<TFontAction>(QStringLiteral("faInsertFont"))->OnInternalApply = [this](const TFontDesc& v) {
        Style.Font = v;
        Style.Font.Size = qBound(1, v.Size, 1000);
        RefreshText();
    };
    Get<TDoubleAction>(QStringLiteral("daInsertTransparency"))->OnInternalApply =
        [this](const double& v) {
            Style.Transparency = v; // kept as stored; read as an opacity when drawing
            RefreshText();
        };
    Get<TPointAction>(QStringLiteral("paInsertPosition"))->OnInternalApply =
        [this](const TPoint& v) {
            Style.AnchorX = v.X;
            Style.AnchorY = v.Y;
            RefreshText();
        };
    auto* preview = Get<TRectAction>(QStringLiteral("raPreviewSave"));
    preview->OnInternalApply = [this](const TRect& v) { PreviewBounds = v; };
    preview->OnInternalBeforeSave = [this](TRect& v) {
        v = PreviewBounds;
        return true;
    };
}
