#include "media/TAudioMan.h"

#include "actions/TCheckAction.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "base/PrivateMessages.h"
#include "media/AudioManActions.h"
#include "media/MediaInit.h"
#include "media/TDecoderList.h"
#include "media/TGraphChunk.h"
#include "media/TNavMan.h"
#include "media/core/TNotifyEvent.h"

#include <cmath>
#include <exception>
#include <mutex>

GST_DEBUG_CATEGORY_STATIC(tess_audio_debug);
#define GST_CAT_DEFAULT tess_audio_debug

namespace {

const QString kRendererName = QStringLiteral("Ko Audio Renderer");
// The stream notifier's mode tag for the audio manager; the element never reads it.
constexpr int kNotifierMode = 130;
constexpr int kMaxDecoderName = 128;

void InitDebug()
{
    EnsureMediaFramework();
    static std::once_flag once;
    std::call_once(once, [] {
        GST_DEBUG_CATEGORY_INIT(tess_audio_debug, "tessaudio", 0, "Tessarine audio manager");
    });
}

// The first sound output that opens; without one, a sink that still keeps the clock.
QString ProbeSink()
{
    for (const char* name : {"pulsesink", "alsasink"}) {
        GstElement* e = gst_element_factory_make(name, nullptr);
        if (!e) {
            GST_INFO("%s: not installed", name);
            continue;
        }
        TGstRef<GstElement> sink(GST_ELEMENT(gst_object_ref_sink(e)));
        const bool ready =
            gst_element_set_state(sink.get(), GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
        gst_element_set_state(sink.get(), GST_STATE_NULL);
        GST_INFO("%s: %s", name, ready ? "ready" : "refused");
        if (ready)
            return QString::fromLatin1(name);
    }
    if (TGstRef<GstElementFactory> fake(gst_element_factory_find("fakesink")); fake)
        return QStringLiteral("fakesink");
    return QString();
}

GstElement* Make(const char* aFactory, const char* aName)
{
    GstElement* e = gst_element_factory_make(aFactory, aName);
    if (!e)
        GST_WARNING("cannot make %s", aFactory);
    return e;
}

// audioconvert ! audioresample ! scaletempo ! volume ! audioconvert ! sink, with a ghost "sink"
// pad. The second converter hands a real device the sample format it wants (scaletempo and
// volume work in floats). Floating; null when a piece is missing.
GstElement* MakeRenderer(GstElement** aVolume)
{
    const QString sinkName = TAudioMan::SinkFactory();
    if (sinkName.isEmpty())
        return nullptr;
    GstElement* convert = Make("audioconvert", "Audio Convert");
    GstElement* resample = Make("audioresample", "Audio Resample");
    // Without scaletempo the fast rate only raises the pitch: not worth refusing the sound.
    GstElement* tempo = Make("scaletempo", "Audio Tempo");
    GstElement* volume = Make("volume", "Audio Volume");
    GstElement* output = Make("audioconvert", "Audio Output Convert");
    GstElement* sink = Make(sinkName.toLatin1().constData(), "Audio Sink");
    if (!convert || !resample || !volume || !output || !sink) {
        for (GstElement* e : {convert, resample, tempo, volume, output, sink})
            if (e)
                gst_object_unref(gst_object_ref_sink(e));
        return nullptr;
    }
    if (sinkName == u"fakesink")
        g_object_set(sink, "sync", TRUE, nullptr);
    GstElement* bin = gst_bin_new(nullptr);
    gst_bin_add_many(GST_BIN(bin), convert, resample, volume, output, sink, nullptr);
    bool linked = false;
    if (tempo) {
        gst_bin_add(GST_BIN(bin), tempo);
        linked = gst_element_link_many(convert, resample, tempo, volume, output, sink, nullptr);
    } else {
        linked = gst_element_link_many(convert, resample, volume, output, sink, nullptr);
    }
    TGstRef<GstPad> in(gst_element_get_static_pad(convert, "sink"));
    if (!linked || !gst_element_add_pad(bin, gst_ghost_pad_new("sink", in.get()))) {
        gst_object_unref(gst_object_ref_sink(bin));
        return nullptr;
    }
    *aVolume = volume;
    return bin;
}

} // namespace

TAudioMan::TAudioMan(QObject* aOwner)
    : TKoActionComponent(aOwner)
    , m_source(NoAudioSource())
    , m_branch(std::make_unique<TDecoderBranch>(false))
{
    InitDebug();
    if (GstElement* r = MakeRenderer(&m_volumeElement))
        m_renderer.reset(GST_ELEMENT(gst_object_ref_sink(r)));
    else
        m_status = asErrorAudio;
    GST_INFO("renderer with %s", m_renderer ? qPrintable(SinkFactory()) : "nothing");
    ApplyVolume();
}

TAudioMan::~TAudioMan()
{
    // Nobody listens any more: the window that set the events may be gone.
    OnNotifyAudioDecoder = nullptr;
    OnNotifyAudioFormat = nullptr;
    OnStatus = nullptr;
    OnVolume = nullptr;
    m_display = nullptr;
    if (m_graph)
        DisconnectAudio();
    TakeRendererOut();
}

QString TAudioMan::SinkFactory()
{
    InitDebug();
    static const QString chosen = [] {
        const QString name = ProbeSink();
        GST_INFO("audio sink: %s", name.isEmpty() ? "none" : qPrintable(name));
        return name;
    }();
    return chosen;
}

// --- display

int TAudioMan::StatusImageIndex(TAudioStatus aStatus)
{
    switch (aStatus) {
    case asNoAudio:
        return 0;
    case asErrorAudio:
        return 2;
    case asBadAudio:
        return 1;
    case asMuted:
        return 3;
    case asAudioOn:
        return 4;
    }
    return 0;
}

void TAudioMan::SetDisplay(TAudioDisplay* aDisplay)
{
    m_display = aDisplay;
    if (!aDisplay)
        return;
    aDisplay->SetGaugeRange(0, kMaxVolume, kGaugeAlert);
    aDisplay->SetSliderRange(0, kMaxVolume);
    ShowVolume();
    aDisplay->ShowStatusImage(StatusImageIndex(m_status));
}

void TAudioMan::SliderMoved(int aValue)
{
    SetVolume(aValue);
}

void TAudioMan::ShowVolume()
{
    // The stored volume, also while muted: muting is shown by the status picture.
    if (m_display) {
        m_display->SetGaugeValue(m_volume);
        m_display->SetSliderValue(m_volume);
    }
}

void TAudioMan::SetStatus(TAudioStatus aStatus)
{
    m_status = aStatus;
    if (m_display)
        m_display->ShowStatusImage(StatusImageIndex(aStatus));
    if (OnStatus)
        OnStatus(aStatus);
}

// --- volume

int TAudioMan::VolumeLevel(int aVolume)
{
    const int v = qBound(0, aVolume, kMaxVolume);
    return int(std::lround(std::log(v + 1.0) * 1085.73)) - 10000;
}

void TAudioMan::SetVolume(int aVolume)
{
    m_volume = qBound(0, aVolume, kMaxVolume);
    ApplyVolume();
}

void TAudioMan::ApplyVolume()
{
    const int level = m_muted ? kSilenceLevel : VolumeLevel(m_volume);
    // The element is ours from construction: it is set even between branches, so a branch
    // always starts at the right level.
    if (m_volumeElement)
        g_object_set(m_volumeElement, "volume", std::pow(10.0, level / 2000.0), "mute",
                     gboolean(m_muted || m_volume == 0), nullptr);
    m_appliedLevel = level;
    GST_DEBUG("volume %d: level %d%s", m_volume, level, m_muted ? ", muted" : "");
    ShowVolume();
    if (OnVolume)
        OnVolume(m_volume);
}

void TAudioMan::SetMuted(bool aOn)
{
    m_muted = aOn;
    if (m_connected)
        SetStatus(aOn ? asMuted : asAudioOn);
    ApplyVolume();
}

int TAudioMan::CurrentVolume()
{
    if (!m_muted && m_graph && m_volumeElement) {
        gdouble linear = 1.0;
        g_object_get(m_volumeElement, "volume", &linear, nullptr);
        const int level =
            linear > 0 ? int(std::lround(2000.0 * std::log10(linear))) : kSilenceLevel;
        // Taken back only when the level is not ours: the way back loses some precision.
        if (level != m_appliedLevel) {
            m_volume =
                qBound(0, int(std::lround(std::exp((level + 10000) / 1085.73) - 1.0)), kMaxVolume);
            m_appliedLevel = level;
            GST_INFO("level %d set elsewhere: volume %d", level, m_volume);
        }
    }
    return m_volume;
}

void TAudioMan::StepVolume(int aDelta)
{
    SetVolume(m_volume + aDelta);
    if (iaVolume)
        iaVolume->SetValue(m_volume);
}

// --- decoders

void TAudioMan::SetFallbackDecoder(const TFilterRec* aRecord)
{
    m_branch->Fallback = aRecord;
}

void TAudioMan::SetSecondChanceDecoder(const TFilterRec* aRecord)
{
    m_branch->SecondChance = aRecord;
}

void TAudioMan::LoadPrefs(TDravikPreferences& aPrefs)
{
    AudioDecoderMemory().LoadFromPrefs(aPrefs, QStringLiteral("AudioDecoders"));
}

bool TAudioMan::SavePrefs(TDravikPreferences& aPrefs)
{
    return AudioDecoderMemory().SaveToPrefs(aPrefs, QStringLiteral("AudioDecoders"));
}

// --- branch

void TAudioMan::TakeRendererOut()
{
    GstElement* r = m_renderer.get();
    if (!r || !GST_OBJECT_PARENT(r))
        return;
    if (m_rendererGraph && m_rendererGraph->Contains(r)) {
        m_rendererGraph->Remove(r); // our own reference keeps it
    } else {
        gst_element_set_state(r, GST_STATE_NULL);
        gst_bin_remove(GST_BIN(GST_OBJECT_PARENT(r)), r);
    }
    m_rendererGraph = nullptr;
}

void TAudioMan::GraphGone()
{
    // The decoder chain died with the pipeline: the branch must not touch it again.
    m_branch->Abandon();
    m_connected = false;
    m_source = NoAudioSource();
    SetStatus(asNoAudio);
}

bool TAudioMan::ConnectAudio(TAudioSource* aSource)
{
    // The placeholder first: it is the connected source when there is none.
    if (!aSource || aSource->IsPlaceholder()) {
        if (!m_source->IsPlaceholder())
            DisconnectAudio();
        m_source = NoAudioSource();
        SetStatus(asNoAudio);
        return false;
    }
    if (aSource == m_source && m_connected && m_graph && m_graph->Contains(m_renderer.get()))
        return true;
    // One branch at a time: a source left connected would hang in the graph unused.
    if (!m_source->IsPlaceholder())
        DisconnectAudio();
    m_source = aSource;
    TMediaDevice* root = TGraphChunk::RootDevice(aSource);
    TGrapheMan* graph = root ? root->TargetManager() : nullptr;
    if (graph != m_graph.data()) {
        if (m_graph)
            disconnect(m_graph, &QObject::destroyed, this, nullptr);
        if (graph)
            connect(graph, &QObject::destroyed, this, [this] { GraphGone(); });
    }
    m_graph = graph;
    bool ok = false;
    try {
        ok = graph && m_renderer && aSource->Connect(graph, Handle()) && BuildBranch();
    } catch (const std::exception& e) {
        GST_WARNING("connection failed: %s", e.what());
        ok = false;
    }
    if (ok) {
        SetStatus(m_muted ? asMuted : asAudioOn);
        ApplyVolume();
    } else {
        GST_WARNING("%s: no audio branch", qPrintable(aSource->DisplayName()));
        DisconnectAudio();
        SetStatus(asBadAudio);
    }
    return ok;
}

bool TAudioMan::BuildBranch()
{
    TakeRendererOut();
    if (!m_graph->Add(m_renderer.get(), kRendererName))
        return false;
    m_rendererGraph = m_graph;
    if (!m_branch->Connect(*m_graph, *m_source, m_renderer.get(), AudioDecoderMemory()))
        return false;
    // The branch names "no decoder" itself when the renderer takes the stream as it comes.
    const QString name = m_branch->FoundName().left(kMaxDecoderName);
    GST_INFO("%s: decoder %s (%s)", qPrintable(m_branch->Key().Subtype),
             m_branch->Found().isEmpty() ? "none" : qPrintable(m_branch->Found()),
             qPrintable(name));
    if (OnNotifyAudioDecoder)
        OnNotifyAudioDecoder(name);
    m_connected = true;
    // The source's Connect already switched the audio report on, on the notifier that reads
    // the stream (a DV device's for DV): only the owner's tag is left.
    if (GstElement* n = m_source->Notifier())
        g_object_set(n, "mode", kNotifierMode, nullptr);
    if (auto* dv = qobject_cast<TDVMan*>(m_graph)) {
        if (!dv->TimecodeSource())
            dv->SetTimecodeSource(m_source);
        if (!dv->DatecodeSource())
            dv->SetDatecodeSource(m_source);
    }
    m_graph->RemoveUnconnectedFilters();
    if (auto* nav = qobject_cast<TNavMan*>(m_graph)) {
        nav->ResetForStream();
        nav->ReadDuration();
    }
    return true;
}

bool TAudioMan::DisconnectAudio()
{
    m_connected = false;
    bool result = true;
    TGrapheMan* graph = m_graph;
    TAudioSource* source = m_source;
    if (graph && !source->IsPlaceholder()) {
        if (auto* dv = qobject_cast<TDVMan*>(graph)) {
            if (dv->TimecodeSource() == source)
                dv->SetTimecodeSource(nullptr);
            if (dv->DatecodeSource() == source)
                dv->SetDatecodeSource(nullptr);
        }
        // Only what this manager put in: the rest of the pipeline (the video) stays.
        m_branch->Remove();
        TakeRendererOut();
        result = source->Disconnect();
        disconnect(graph, &QObject::destroyed, this, nullptr);
        m_graph = nullptr;
        GST_INFO("%s: audio disconnected", qPrintable(source->DisplayName()));
    }
    if (OnNotifyAudioDecoder)
        OnNotifyAudioDecoder(QStringLiteral("Aucun décodeur Audio"));
    if (OnNotifyAudioFormat)
        OnNotifyAudioFormat(QStringLiteral("Pas d'Audio"));
    m_source = NoAudioSource();
    SetStatus(asNoAudio);
    if (auto* nav = qobject_cast<TNavMan*>(graph)) {
        nav->ResetForStream();
        // A pipeline being changed has no duration: with the video still in, the video's stays.
        if (nav->ConnectedVideo.isEmpty())
            nav->ReadDuration();
    }
    return result;
}

bool TAudioMan::NextDecoder()
{
    if (!m_connected || !m_graph || m_source->IsPlaceholder())
        return false;
    TGrapheMan* graph = m_graph;
    m_branch->Exclude(m_branch->Found());
    AudioDecoderMemory().Forget(m_branch->Key());
    // A stopped graph stays stopped; otherwise it goes back to what it was doing.
    const TGrapheManState was = graph->State();
    if (was != gmStopped)
        graph->Stop();
    // The source's head stays: the pipeline keeps its position through the change.
    m_connected = false;
    m_branch->Remove();
    TakeRendererOut();
    graph->RemoveUnconnectedFilters();
    bool ok = false;
    try {
        ok = BuildBranch();
    } catch (const std::exception& e) {
        GST_WARNING("next decoder failed: %s", e.what());
    }
    if (!ok) {
        DisconnectAudio();
        SetStatus(asBadAudio);
        return false;
    }
    SetStatus(m_muted ? asMuted : asAudioOn);
    ApplyVolume();
    if (was == gmPlaying)
        graph->Play();
    else if (was == gmPaused)
        graph->Pause();
    return true;
}

// --- messages

bool TAudioMan::WndProc(QEvent& aMessage)
{
    const TNotifyEvent* e = TNotifyEvent::From(&aMessage);
    if (!e || e->Message() != NM_AUDIO_INFO)
        return TKoActionComponent::WndProc(aMessage);
    if (e->Kind() == kAudioInfoFormat) {
        GST_DEBUG("format: %s", qPrintable(e->Frame().audioText));
        if (OnNotifyAudioFormat)
            OnNotifyAudioFormat(e->Frame().audioText);
    }
    return true;
}

// --- actions

void TAudioMan::CreateActions()
{
    ::CreateActions(AudioManActionRows(), this);
}

void TAudioMan::FindActions()
{
    caMute = Get<TCheckAction>(QStringLiteral("caMute"));
    naNextDecoderAudio = Get<TNopeAction>(QStringLiteral("naNextDecoderAudio"));
    naIncVolume = Get<TNopeAction>(QStringLiteral("naIncVolume"));
    naDecVolume = Get<TNopeAction>(QStringLiteral("naDecVolume"));
    iaVolume = Get<TIntegerAction>(QStringLiteral("iaVolume"));
}

void TAudioMan::AssignHandlers()
{
    caMute->OnInternalTrueApply = [this] { SetMuted(true); };
    caMute->OnInternalFalseApply = [this] { SetMuted(false); };
    naNextDecoderAudio->OnInternalApply = [this] { NextDecoder(); };
    naIncVolume->OnInternalApply = [this] { StepVolume(kVolumeStep); };
    naDecVolume->OnInternalApply = [this] { StepVolume(-kVolumeStep); };
    iaVolume->OnInternalApply = [this](const qint32& aValue) { SetVolume(aValue); };
    // While muted the stored volume is saved, never the silence.
    iaVolume->OnInternalBeforeSave = [this](qint32& aValue) {
        aValue = CurrentVolume();
        return true;
    };
}
