#include "media/TVideoMan.h"

#include "actions/TNopeAction.h"
#include "base/PrivateMessages.h"
#include "base/ScriptDateTime.h"
#include "media/TDecoderList.h"
#include "media/TGraphChunk.h"
#include "media/TNavMan.h"
#include "media/core/TNotifyEvent.h"
#include "media/gst/GstStreamNotifier.h"
#include "media/gst/TNotifyRouter.h"

#include <QFileInfo>

GST_DEBUG_CATEGORY_STATIC(tess_video_debug);
#define GST_CAT_DEFAULT tess_video_debug

namespace {

const QString kNoDecoder = QStringLiteral("Aucun décodeur Video");
const QString kNoVideo = QStringLiteral("Pas de Vidéo");

QString FormatDate(const QString& aFormat, double aDate)
{
    // The names and separators of the user's locale.
    return FormatScriptDateTime(aFormat, ScriptDateTimeToQt(aDate), QLocale());
}

bool PlaysVideo(TavSource* aSource)
{
    return aSource && aSource->IsVideo() && !aSource->IsPlaceholder();
}

} // namespace

TVideoMan::TVideoMan(QObject* aOwner)
    : TWindowLessMan(aOwner)
    , m_source(NoVideoSource())
{
    static std::once_flag once;
    std::call_once(once, [] {
        GST_DEBUG_CATEGORY_INIT(tess_video_debug, "tessvideo", 0, "Tessarine video manager");
    });
}

TVideoMan::~TVideoMan()
{
    if (PlaysVideo(m_source))
        DisconnectVideo(false);
}

QString TVideoMan::IdleText() const
{
    if (m_state == dsBadVideo)
        return OnBadVideoStream ? OnBadVideoStream()
                                : QStringLiteral("Le flux vidéo n'a pas pu être décompressé<br "
                                                 "center>");
    return OnNoVideoStream
               ? OnNoVideoStream()
               : QStringLiteral("<color blue>Aucun flux vidéo n'a été connecté</color><br center>");
}

QString TVideoMan::IdleImage() const
{
    return m_state == dsBadVideo ? QStringLiteral("BADVIDEO") : QStringLiteral("NOVIDEO");
}

void TVideoMan::ShowIdle(TDisplayState aState)
{
    m_state = aState;
    Repaint();
}

bool TVideoMan::ConnectVideo(TVideoSource* aSource)
{
    if (aSource && aSource == m_source && PlaysVideo(aSource))
        return true;
    // The placeholder first: connecting it never answers true.
    if (!PlaysVideo(aSource)) {
        m_source = NoVideoSource();
        ShowIdle(dsNoVideo);
        return false;
    }
    m_source = aSource;
    TMediaDevice* root = TGraphChunk::RootDevice(aSource);
    TGrapheMan* graph = root ? root->TargetManager() : nullptr;
    auto* nav = qobject_cast<TNavMan*>(graph);
    bool ok = graph && aSource->Connect(graph, Handle());
    if (ok) {
        SetGraph(nullptr);
        SetGraph(graph);
        if (nav) {
            nav->ResetForStream();
            nav->SetFramesNotifier(FramesNotifier(), VideoSink(), m_branch.KeyFrames());
            nav->PictureTime = [this] { return PictureStreamTime(); };
            graph->Router().SetTarget(FramesNotifier(), NM_POSITION_CHANGED, Handle());
            g_object_set(FramesNotifier(), "notify", TRUE, nullptr);
        }
        ok = m_branch.Connect(*graph, *aSource, Renderer(), VideoDecoderMemory());
    }
    if (!ok) {
        GST_WARNING("%s: no video", qPrintable(aSource->DisplayName()));
        DisconnectVideo(true);
        ShowIdle(dsBadVideo);
        return false;
    }
    m_decoderText = m_branch.FoundName();
    if (OnNotifyVideoDecoder)
        OnNotifyVideoDecoder(m_decoderText);
    m_state = dsVideo;
    GstElement* own = aSource->Notifier();
    GstElement* active = aSource->ActiveNotifier();
    g_object_set(own, "video-notify", TRUE, nullptr);
    g_object_set(active, "mode", 129, nullptr);
    g_object_set(own, "mode", 128, nullptr);
    if (auto* dv = qobject_cast<TDVMan*>(graph)) {
        const auto free = [](TavSource* s) { return !s || !s->IsVideo(); };
        if (free(dv->TimecodeSource()))
            dv->SetTimecodeSource(aSource);
        if (free(dv->DatecodeSource()))
            dv->SetDatecodeSource(aSource);
        if (free(dv->SceneSource()))
            dv->SetSceneSource(aSource);
    }
    if (nav && !PlaysVideo(nav->VideoSource()))
        nav->SetVideoSource(aSource);
    graph->RemoveUnconnectedFilters();
    UpdateAspect(); // the format came while the branch was being built
    if (nav)
        nav->ReadDuration();
    GST_INFO("%s: video through %s", qPrintable(aSource->DisplayName()),
             qPrintable(m_branch.Found()));
    Repaint();
    return true;
}

bool TVideoMan::DisconnectVideo(bool aShowIdle)
{
    bool result = false;
    TGrapheMan* graph = Graph();
    if (!graph && PlaysVideo(m_source))
        graph = m_source->Manager();
    if (graph && PlaysVideo(m_source)) {
        if (auto* dv = qobject_cast<TDVMan*>(graph)) {
            if (dv->TimecodeSource() == m_source)
                dv->SetTimecodeSource(nullptr);
            if (dv->DatecodeSource() == m_source)
                dv->SetDatecodeSource(nullptr);
            if (dv->SceneSource() == m_source)
                dv->SetSceneSource(nullptr);
        }
        if (auto* nav = qobject_cast<TNavMan*>(graph)) {
            if (nav->VideoSource() == m_source)
                nav->SetVideoSource(nullptr);
            // Positions come from the pipeline again; precise seeks become plain ones.
            nav->SetFramesNotifier(nullptr, nullptr);
            nav->PictureTime = nullptr;
        }
        graph->Router().SetTarget(FramesNotifier(), NM_POSITION_CHANGED, nullptr);
        // Only the video branch goes: the sound of the same file plays on.
        m_branch.Remove();
        result = m_source->Disconnect();
        SetGraph(nullptr);
        MarkFrameStale(); // a grab must not take the last picture of a file that is closed
    }
    m_decoderText = kNoDecoder;
    m_formatText = kNoVideo;
    if (OnNotifyVideoDecoder)
        OnNotifyVideoDecoder(kNoDecoder);
    if (OnNotifyVideoFormat)
        OnNotifyVideoFormat(kNoVideo);
    m_source = NoVideoSource();
    if (aShowIdle)
        ShowIdle(dsNoVideo);
    if (auto* nav = qobject_cast<TNavMan*>(graph))
        nav->ResetForStream();
    ClearReceived();
    return result;
}

bool TVideoMan::NextDecoder()
{
    if (!PlaysVideo(m_source) || !Graph())
        return false;
    TGrapheMan* graph = Graph();
    m_branch.Exclude(m_branch.Found());
    VideoDecoderMemory().Forget(m_branch.Key());
    const qint64 at = graph->RestorePoint();
    g_object_set(FramesNotifier(), "notify", FALSE, nullptr);
    if (graph->State() != gmStopped) {
        m_savedPlaying = graph->State() == gmPlaying;
        graph->Stop();
    }
    // A new decoder prerolls again: its chain is built anew, the renderer taken out and put
    // back, and the picture goes back where it was.
    m_branch.Remove();
    SetGraph(nullptr);
    SetGraph(graph);
    graph->SetPositionToRestore(at);
    const bool ok = m_branch.Connect(*graph, *m_source, Renderer(), VideoDecoderMemory());
    g_object_set(FramesNotifier(), "notify", TRUE, nullptr);
    if (!ok) {
        DisconnectVideo(true);
        ShowIdle(dsBadVideo);
        return false;
    }
    m_decoderText = m_branch.FoundName();
    if (OnNotifyVideoDecoder)
        OnNotifyVideoDecoder(m_decoderText);
    graph->RemoveUnconnectedFilters();
    // Paused, the preroll shows the frame: running first would move it on.
    if (m_savedPlaying)
        graph->Play();
    else
        graph->Pause();
    return true;
}

void TVideoMan::ResetForFile()
{
    if (PlaysVideo(m_source))
        if (GstElement* n = m_source->ActiveNotifier())
            TessStreamNotifierReset(n);
    m_branch.ClearExcluded();
}

void TVideoMan::SetForcedAspect(int aMode)
{
    m_forcedAspect = aMode;
    UpdateAspect();
}

void TVideoMan::UpdateAspect()
{
    if (m_state != dsVideo)
        return;
    const int w = qAbs(m_info.width), h = qAbs(m_info.height);
    switch (m_forcedAspect) {
    case 1:
        SetAspect(4, 3);
        return;
    case 2:
        SetAspect(16, 9);
        return;
    case 3:
        SetAspect(w, h);
        return;
    default:
        break;
    }
    switch (m_info.aspectClass) {
    case acAspect4x3:
        SetAspect(4, 3);
        break;
    case acAspect16x9:
        SetAspect(16, 9);
        break;
    case acAspectOther:
        SetAspect(m_info.aspectX, m_info.aspectY);
        break;
    default:
        SetAspect(w, h);
        break;
    }
}

void TVideoMan::LoadPrefs(TDravikPreferences& aPrefs)
{
    VideoDecoderMemory().LoadFromPrefs(aPrefs, QStringLiteral("VideoDecoders"));
}

bool TVideoMan::SavePrefs(TDravikPreferences& aPrefs)
{
    return VideoDecoderMemory().SaveToPrefs(aPrefs, QStringLiteral("VideoDecoders"));
}

// --- on-video text

void TVideoMan::ClearReceived()
{
    m_dateReceived = m_timecodeReceived = m_positionReceived = false;
    m_sysDateReceived = m_numberReceived = false;
}

void TVideoMan::SetSystemDate(bool aReceived, double aDateTime)
{
    m_sysDateReceived = aReceived;
    m_sysDate = aDateTime;
    Compose();
}

void TVideoMan::SetNumber(bool aReceived, const QString& aNumber)
{
    m_numberReceived = aReceived;
    m_number = aNumber;
    Compose();
}

void TVideoMan::SetFileName(bool aReceived, const QString& aFileName)
{
    m_fileReceived = aReceived;
    const QFileInfo info(aFileName);
    m_fileBase = info.completeBaseName();
    m_fileFolder =
        info.path().isEmpty() || aFileName.indexOf(u'/') < 0 ? QString() : info.path() + u'/';
    m_fileExt = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    Compose();
}

void TVideoMan::SetStreamCodes(const TIncrustDV& aCodes)
{
    m_dateReceived = aCodes.dateValid;
    m_timecodeReceived = aCodes.timecodeValid;
    m_date = aCodes.date;
    m_timecode = aCodes.timecodeText;
    Compose();
}

void TVideoMan::SetCodesFrom(GstElement* aNotifier)
{
    m_codesFrom = ShareRef(aNotifier);
    GST_INFO("DV codes of the text %s", aNotifier ? "on" : "off");
    FrameTaken(); // those of the frame already on screen, at once
}

void TVideoMan::FrameTaken()
{
    if (!m_codesFrom || !GST_CLOCK_TIME_IS_VALID(ShownTime()))
        return;
    const GstClockTime half =
        GST_CLOCK_TIME_IS_VALID(ShownFrameDuration()) ? ShownFrameDuration() / 2 : 20 * GST_MSECOND;
    const std::optional<TIncrustDV> codes =
        TessStreamNotifierCodesAt(m_codesFrom.get(), ShownTime(), half);
    if (!codes) {
        GST_LOG("no DV codes at %" GST_TIME_FORMAT, GST_TIME_ARGS(ShownTime()));
        return;
    }
    const TIncrustDV now{m_dateReceived, m_timecodeReceived, m_date, m_timecode};
    if (*codes != now)
        SetStreamCodes(*codes);
}

void TVideoMan::SetPositionText(const QString& aText)
{
    m_positionReceived = true;
    m_position = aText;
    Compose();
}

QString TVideoMan::ComposeLine(int aLine) const
{
    const QString& pattern = TextSlots[size_t(aLine)];
    QString out;
    out.reserve(pattern.size() + 32);
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c != u'%' || i + 1 >= pattern.size()) {
            out += c;
            continue;
        }
        const QChar token = pattern[i + 1].toUpper();
        const size_t l = size_t(aLine);
        QString put;
        switch (token.unicode()) {
        case u'D':
            put = m_dateReceived ? FormatDate(TextSlots[8 + l], m_date + m_dateOffset)
                                 : TextSlots[16 + l];
            break;
        case u'T':
            put = m_timecodeReceived ? m_timecode : TextSlots[24];
            break;
        case u'S':
            put = m_positionReceived ? m_position : TextSlots[25];
            break;
        case u'R':
            put = m_sysDateReceived ? FormatDate(TextSlots[26 + l], m_sysDate) : TextSlots[34 + l];
            break;
        case u'N':
            put = m_numberReceived ? m_number : QString();
            break;
        case u'F':
            put = m_fileReceived ? m_fileBase : QString();
            break;
        case u'P':
            put = m_fileReceived ? m_fileFolder : QString();
            break;
        case u'E':
            put = m_fileReceived ? m_fileExt : QString();
            break;
        default:
            out += c; // not a token: the "%" stays, the next letter is read as usual
            continue;
        }
        out += put;
        ++i;
    }
    return out;
}

void TVideoMan::Compose()
{
    for (int i = 0; i < 8; ++i) {
        TTextLine& line = Lines[size_t(i)];
        line.Enabled = !TextSlots[size_t(i)].isEmpty();
        line.Text = line.Enabled ? ComposeLine(i) : QString();
    }
    RefreshText();
}

// --- messages and actions

bool TVideoMan::WndProc(QEvent& aMessage)
{
    const TNotifyEvent* e = TNotifyEvent::From(&aMessage);
    if (!e)
        return TWindowLessMan::WndProc(aMessage);
    switch (e->Message()) {
    case NM_VIDEO_INFO:
        m_info = e->Video();
        if (e->Kind() == kVideoInfoFormat) {
            m_formatText = m_info.description + QStringLiteral(" - ") + m_info.sizeText;
            if (OnNotifyVideoFormat)
                OnNotifyVideoFormat(m_formatText);
        }
        UpdateAspect();
        return true;
    case NM_STREAM_CODES:
        SetStreamCodes(e->Overlay());
        return true;
    case NM_POSITION_CHANGED:
        SetPositionText(e->Text());
        return true;
    default:
        return TWindowLessMan::WndProc(aMessage);
    }
}

void TVideoMan::AssignHandlers()
{
    TWindowLessMan::AssignHandlers();
    Get<TNopeAction>(QStringLiteral("naNextDecoderVideo"))->OnInternalApply = [this] {
        NextDecoder();
    };
}
