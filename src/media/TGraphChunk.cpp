#include "media/TGraphChunk.h"

#include "base/TCommandQueue.h"

#include "base/PrivateMessages.h"
#include "media/TGrapheMan.h"
#include "media/TMediaDevices.h"
#include "media/gst/GstStreamNotifier.h"
#include "media/gst/TNotifyRouter.h"
#include "media/gst/TPipelineBus.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstring>

GST_DEBUG_CATEGORY_STATIC(tess_chunk_debug);
#define GST_CAT_DEFAULT tess_chunk_debug

namespace {

// 16 MiB: minutes of compressed sound, over a minute and a half of PCM.
constexpr guint kSoundQueueBytes = 16u << 20;

void InitDebug()
{
    static std::once_flag once;
    std::call_once(once, [] {
        GST_DEBUG_CATEGORY_INIT(tess_chunk_debug, "tesschunk", 0, "Tessarine devices and sources");
    });
}

const char* KindName(TPadKind aKind)
{
    switch (aKind) {
    case TPadKind::Dv:
        return "DV";
    case TPadKind::ByteStream:
        return "stream";
    case TPadKind::Video:
        return "video";
    case TPadKind::Audio:
        return "audio";
    case TPadKind::Other:
        break;
    }
    return "other";
}

bool SystemStream(const GstStructure* aStructure)
{
    gboolean system = FALSE;
    return gst_structure_get_boolean(aStructure, "systemstream", &system) && system;
}

// A demuxer that does not parse leaves MPEG video in pieces; the stream notifier reads the
// sequence header only at the start of a buffer.
bool NeedsMpegParser(const GstCaps* aCaps)
{
    if (!aCaps || gst_caps_is_empty(aCaps) || gst_caps_is_any(aCaps))
        return false;
    const GstStructure* s = gst_caps_get_structure(aCaps, 0);
    gboolean parsed = FALSE;
    gint version = 0;
    return gst_structure_has_name(s, "video/mpeg") && !SystemStream(s) &&
           gst_structure_get_int(s, "mpegversion", &version) && (version == 1 || version == 2) &&
           !(gst_structure_get_boolean(s, "parsed", &parsed) && parsed);
}

} // namespace

TPadKind KindOfCaps(const GstCaps* aCaps)
{
    if (!aCaps || gst_caps_is_empty(aCaps) || gst_caps_is_any(aCaps))
        return TPadKind::Other;
    const GstStructure* s = gst_caps_get_structure(aCaps, 0);
    const QByteArray name = gst_structure_get_name(s);
    if (SystemStream(s))
        return name == "video/x-dv" ? TPadKind::Dv : TPadKind::ByteStream;
    if (name.startsWith("video/") || name == "image/jpeg")
        return TPadKind::Video;
    if (name.startsWith("audio/"))
        return TPadKind::Audio;
    return TPadKind::Other;
}

TMediaTypeKey TMediaTypeKey::FromCaps(const GstCaps* aCaps)
{
    TMediaTypeKey key;
    if (!aCaps || gst_caps_is_empty(aCaps) || gst_caps_is_any(aCaps))
        return key;
    const GstStructure* s = gst_caps_get_structure(aCaps, 0);
    switch (KindOfCaps(aCaps)) {
    case TPadKind::Dv:
        key.Major = QStringLiteral("interleaved");
        break;
    case TPadKind::ByteStream:
        key.Major = QStringLiteral("stream");
        break;
    case TPadKind::Video:
        key.Major = QStringLiteral("video");
        break;
    case TPadKind::Audio:
        key.Major = QStringLiteral("audio");
        break;
    case TPadKind::Other:
        key.Major = QStringLiteral("other");
        break;
    }
    key.Subtype = QString::fromUtf8(gst_structure_get_name(s));
    QStringList fields;
    for (const char* field : {"format", "mpegversion", "stream-format", "systemstream"}) {
        if (!gst_structure_has_field(s, field))
            continue;
        TGChars value(gst_value_serialize(gst_structure_get_value(s, field)));
        if (value)
            fields << QString::fromUtf8(field) + u'=' + QString::fromUtf8(value.get());
    }
    key.Format = fields.join(u',');
    return key;
}

// --- chunk

TGraphChunk::TGraphChunk(const QString& aName, int aNumber)
    : m_name(aName)
    , m_displayName(aNumber < 2 ? aName : QStringLiteral("%1 #%2").arg(aName).arg(aNumber))
    , m_number(aNumber)
{
    InitDebug();
}

TGraphChunk::~TGraphChunk() = default;

qint64 TGraphChunk::GetDuration() const
{
    return m_manager ? m_manager->Duration() : 0;
}

bool TGraphChunk::AddElement(GstElement* aElement, const QString& aName)
{
    if (!aElement || !m_manager)
        return false;
    TGstRef<GstElement> ref(GST_ELEMENT(gst_object_ref_sink(aElement)));
    if (!m_manager->Add(aElement, aName))
        return false;
    m_elements.push_back(std::move(ref));
    return true;
}

void TGraphChunk::RemoveElements()
{
    for (auto it = m_elements.rbegin(); it != m_elements.rend(); ++it)
        if (m_manager)
            m_manager->Remove(it->get());
    m_elements.clear();
}

bool TGraphChunk::ElementsInPlace() const
{
    if (!m_manager || m_elements.empty())
        return false;
    return std::all_of(
        m_elements.cbegin(), m_elements.cend(),
        [this](const TGstRef<GstElement>& e) { return m_manager->Contains(e.get()); });
}

bool TGraphChunk::Attach(TGrapheMan* aManager)
{
    if (m_manager == aManager && ElementsInPlace())
        return true;
    if (m_manager)
        Detach(); // elsewhere, or its elements were taken out under it: insert anew
    m_manager = aManager;
    if (!aManager)
        return false;
    if (Insert())
        return true;
    m_manager = nullptr;
    return false;
}

bool TGraphChunk::AttachChain(TGrapheMan* aManager)
{
    if (m_manager == aManager && ElementsInPlace() &&
        (!m_parent || m_parent->AttachChain(aManager)))
        return true;
    if (m_parent && (!m_parent->AttachChain(aManager) || !m_parent->BaseFilter()))
        return false;
    return Attach(aManager);
}

bool TGraphChunk::Detach()
{
    if (!m_manager)
        return true;
    const bool ok = Remove();
    m_manager = nullptr;
    return ok;
}

bool TGraphChunk::DetachChain()
{
    const bool ok = Detach();
    if (ok && m_parent)
        return m_parent->DetachChain();
    return ok;
}

TMediaDevice* TGraphChunk::RootDevice(TGraphChunk* aChunk)
{
    TGraphChunk* c = aChunk;
    while (c && c->m_parent)
        c = c->m_parent;
    return dynamic_cast<TMediaDevice*>(c);
}

// --- device

TMediaDevice::TMediaDevice(const QString& aName, int aNumber)
    : TGraphChunk(aName, aNumber)
{
}

TMediaDevice::~TMediaDevice()
{
    for (TVideoSource* s : std::as_const(VideoSources))
        if (s->Parent() == this)
            delete s;
    for (TAudioSource* s : std::as_const(AudioSources))
        if (s->Parent() == this)
            delete s;
    qDeleteAll(DVDevices);
    qDeleteAll(StreamDevices);
}

const TPadInfo* TMediaDevice::FindPad(TPadKind aKind, int aIndex) const
{
    int n = 0;
    for (const TPadInfo& p : m_pads)
        if (p.Kind == aKind && n++ == aIndex)
            return &p;
    return nullptr;
}

bool TMediaDevice::HasConnectedStream(TMediaDevice* aDevice)
{
    return aDevice && aDevice->m_manager && aDevice->m_base &&
           aDevice->m_manager->HasRoutes(aDevice->m_base);
}

namespace {

// The source pads of the demuxers inside a bin: parsebin exposes one pad for each once its chain
// is built, which on a loaded machine (a parser's plugin loaded for the first time) can come
// long after the first.
size_t DemuxedPads(GstElement* aBase)
{
    if (!GST_IS_BIN(aBase))
        return 0;
    size_t pads = 0;
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(aBase));
    GValue item = G_VALUE_INIT;
    bool done = false;
    while (!done) {
        switch (gst_iterator_next(it, &item)) {
        case GST_ITERATOR_OK: {
            auto* e = GST_ELEMENT(g_value_get_object(&item));
            GstElementFactory* f = gst_element_get_factory(e);
            const char* klass =
                f ? gst_element_factory_get_metadata(f, GST_ELEMENT_METADATA_KLASS) : nullptr;
            if (klass && strstr(klass, "Demux"))
                pads += size_t(e->numsrcpads);
            g_value_reset(&item);
            break;
        }
        case GST_ITERATOR_RESYNC:
            gst_iterator_resync(it);
            pads = 0;
            break;
        default:
            done = true;
            break;
        }
    }
    g_value_unset(&item);
    gst_iterator_free(it);
    return pads;
}

} // namespace

bool TMediaDevice::CollectPads(TGrapheMan& aManager, int aQuietMs)
{
    // Some demuxers expose their pads in several waves, and parsebin never says it is done:
    // wait (bounded) for no-more-pads, or until every demuxed stream has its pad and the pads
    // have stayed the same for a while. A stream with no demuxer (a parser alone) prerolls before
    // typefinding ends: its one pad comes later, or an error says there is none.
    QElapsedTimer clock, still;
    clock.start();
    still.start();
    for (size_t seen = aManager.ExposedPads(m_base).size();
         !aManager.NoMorePads(m_base) && clock.elapsed() < 5000 &&
         (still.elapsed() < aQuietMs || seen < DemuxedPads(m_base) ||
          (seen == 0 && aManager.Bus().LastError().isEmpty()));) {
        {
            const TCommandQueue::TWait wait;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        if (const size_t now = aManager.ExposedPads(m_base).size(); now != seen) {
            seen = now;
            still.restart();
        }
    }
    m_pads.clear();
    for (auto& [key, pad] : aManager.ExposedPads(m_base)) {
        TGstCapsRef caps(gst_pad_get_current_caps(pad.get()));
        if (!caps)
            caps.reset(gst_pad_query_caps(pad.get(), nullptr));
        TPadInfo info{key, KindOfCaps(caps.get()), std::move(caps)};
        TGChars text(info.Caps ? gst_caps_to_string(info.Caps.get()) : nullptr);
        GST_INFO("%s: %s pad %s: %s", qPrintable(m_displayName), KindName(info.Kind),
                 qPrintable(key), text ? text.get() : "no caps");
        m_pads.push_back(std::move(info));
    }
    std::stable_sort(m_pads.begin(), m_pads.end(), [](const TPadInfo& a, const TPadInfo& b) {
        return a.Kind != b.Kind ? a.Kind < b.Kind : a.Key < b.Key;
    });
    return !m_pads.empty();
}

void TMediaDevice::Probe()
{
    if (m_name == QLatin1String("Aucun DV") || m_name == QLatin1String("Aucun Stream"))
        return;
    std::unique_ptr<TGrapheMan> own;
    TGrapheMan* manager = m_parent ? m_parent->Manager() : nullptr;
    if (!manager) {
        own = std::make_unique<TGrapheMan>(nullptr, true);
        manager = own.get();
    }
    const bool attached = Attach(manager) && m_base;
    // A loaded machine spaces a demuxer's pads out as it slows the preroll: the quiet time that
    // ends the wait grows with it.
    QElapsedTimer preroll;
    preroll.start();
    const bool prerolled = attached && manager->Preroll();
    const int quietMs = int(std::clamp<qint64>(preroll.elapsed() / 2, 100, 500));
    if (prerolled && CollectPads(*manager, quietMs)) {
        for (int i = 0; const TPadInfo* p = FindPad(TPadKind::Dv, i); ++i) {
            auto* dv = new TDVDevice(this, ++DVCount);
            DVDevices << dv;
            for (TVideoSource* s : std::as_const(dv->VideoSources)) {
                VideoSources << s;
                ++VideoCount;
            }
            for (TAudioSource* s : std::as_const(dv->AudioSources)) {
                AudioSources << s;
                ++AudioCount;
            }
            Q_UNUSED(p)
        }
        for (int i = 0; FindPad(TPadKind::ByteStream, i); ++i)
            StreamDevices << new TStreamDevice(this, ++StreamCount);
        if (DVCount == 0 && StreamCount == 0) {
            for (int i = 0; FindPad(TPadKind::Video, i); ++i) {
                ++VideoCount;
                VideoSources << new TVideoSource(this, VideoCount);
            }
            for (int i = 0; FindPad(TPadKind::Audio, i); ++i) {
                ++AudioCount;
                AudioSources << new TAudioSource(this, AudioCount);
            }
        }
        m_valid = true;
    } else {
        Failure = manager->Bus().LastFailure();
        GST_INFO("%s: probe failed: %s", qPrintable(m_displayName),
                 qPrintable(manager->Bus().LastError()));
    }
    Detach();
    GST_INFO("%s: %s, %d video, %d audio, %d DV, %d streams", qPrintable(m_displayName),
             m_valid ? "valid" : "invalid", VideoCount, AudioCount, DVCount, StreamCount);
}

// --- sources

TavSource::TavSource(TMediaDevice* aDevice, int aIndex, bool aVideo)
    : TGraphChunk(aDevice ? aDevice->DisplayName() : QString(), aIndex)
    , m_video(aVideo)
{
    m_parent = aDevice;
    m_index = aIndex;
    GstElement* n =
        TessStreamNotifierNew(aVideo ? "Video Source Notifier" : "Audio Source Notifier");
    m_notifier.reset(GST_ELEMENT(gst_object_ref_sink(n)));
    g_object_set(n, "mode", 2, nullptr);
}

TavSource::TavSource(const QString& aName, bool aVideo)
    : TGraphChunk(aName, 1)
    , m_video(aVideo)
{
}

TavSource::~TavSource()
{
    if (m_manager)
        Disconnect();
}

GstElement* TavSource::ActiveNotifier() const
{
    if (auto* dv = dynamic_cast<TDVDevice*>(m_parent))
        return dv->DVNotifier();
    return m_notifier.get();
}

const GstCaps* TavSource::Caps() const
{
    const TPadInfo* pad =
        m_parent ? m_parent->FindPad(m_video ? TPadKind::Video : TPadKind::Audio, m_index - 1)
                 : nullptr;
    return pad ? pad->Caps.get() : nullptr;
}

void TavSource::ListIn(TGrapheMan& aManager, bool aIn)
{
    // Entries are compared as sources: this may run from the destructor, when the object is no
    // longer a TVideoSource or a TAudioSource to cast to.
    const auto self = [this](const TavSource* aEntry) { return aEntry == this; };
    aManager.ConnectedVideo.removeIf(self);
    aManager.ConnectedAudio.removeIf(self);
    if (aIn && m_video)
        aManager.ConnectedVideo << static_cast<TVideoSource*>(this);
    else if (aIn)
        aManager.ConnectedAudio << static_cast<TAudioSource*>(this);
}

void TavSource::Route(GstElement* aNotifier, int aMessage, QObject* aTarget)
{
    if (m_manager && aNotifier)
        m_manager->Router().SetTarget(aNotifier, aMessage, aTarget);
}

bool TavSource::Connect(TGrapheMan* aManager, QObject* aNotify)
{
    if (!aManager || IsPlaceholder() || !m_notifier)
        return false;
    if (m_manager == aManager && ElementsInPlace())
        return true;
    if (m_manager)
        Disconnect();
    m_manager = aManager;
    ListIn(*aManager, true);
    const auto fail = [&](const char* aWhy) {
        GST_WARNING("%s: cannot connect: %s", qPrintable(m_displayName), aWhy);
        RemoveElements();
        ListIn(*aManager, false);
        if (!TMediaDevice::HasConnectedStream(m_parent))
            m_parent->DetachChain();
        m_manager = nullptr;
        return false;
    };
    // The DV notifier is shared by the video and the audio of its stream: reset it only when
    // its chain goes in anew, not when its sibling connects.
    const bool freshChain =
        m_parent->Manager() != aManager || !TMediaDevice::HasConnectedStream(m_parent);
    if (!m_parent->AttachChain(aManager) || !m_parent->BaseFilter())
        return fail("no device");
    const TPadInfo* pad =
        m_parent->FindPad(m_video ? TPadKind::Video : TPadKind::Audio, m_index - 1);
    if (!pad)
        return fail("no such pad");

    GstElement* own = m_notifier.get();
    TessStreamNotifierReset(own);
    GstElement* active = ActiveNotifier();
    const int info = m_video ? NM_VIDEO_INFO : NM_AUDIO_INFO;
    const char* notify = m_video ? "video-notify" : "audio-notify";
    if (active != own) {
        if (freshChain)
            TessStreamNotifierReset(active);
        Route(active, info, aNotify);
        g_object_set(active, notify, TRUE, nullptr);
        if (m_video)
            g_object_set(own, "behind-dv-notifier", TRUE, nullptr);
    } else {
        Route(own, info, aNotify);
        g_object_set(own, notify, TRUE, nullptr);
    }
    m_notify = aNotify;

    // The head: [parser] ! notifier ! queue; the decoder chain hangs from the queue.
    GstElement* parser = NeedsMpegParser(pad->Caps.get())
                             ? gst_element_factory_make("mpegvideoparse", nullptr)
                             : nullptr;
    GstElement* queue = gst_element_factory_make("queue", nullptr);
    if (queue && !m_video)
        // Paused, the sound's sink holds its first buffer: what the demuxer interleaves with the
        // pictures up to a precise seek's target must fit here, or the pictures stop short.
        // Compressed sound is small; the bytes still bound it.
        g_object_set(queue, "max-size-time", guint64(0), "max-size-buffers", 0u, "max-size-bytes",
                     kSoundQueueBytes, nullptr);
    const QString base = m_video ? QStringLiteral("Video") : QStringLiteral("Audio");
    if ((parser && !AddElement(parser, base + QStringLiteral(" Parser"))) ||
        !AddElement(own, base + QStringLiteral(" Source Notifier")) ||
        !AddElement(queue, base + QStringLiteral(" Source Queue")))
        return fail("elements refused");
    if ((parser && !gst_element_link(parser, own)) || !gst_element_link(own, queue))
        return fail("head not linked");
    TGstRef<GstPad> in(gst_element_get_static_pad(parser ? parser : own, "sink"));
    aManager->SetRoute(m_parent->BaseFilter(), pad->Key, in.get());
    m_tail = queue;
    m_type = TMediaTypeKey::FromCaps(pad->Caps.get());
    GST_INFO("%s: %s source %d connected (%s)", qPrintable(m_displayName),
             m_video ? "video" : "audio", m_index, qPrintable(m_type.Subtype));
    return true;
}

bool TavSource::Disconnect()
{
    if (!m_manager || !m_parent)
        return false;
    ListIn(*m_manager, false);
    GstElement* own = m_notifier.get();
    GstElement* active = ActiveNotifier();
    g_object_set(own, m_video ? "video-notify" : "audio-notify", FALSE, nullptr);
    m_manager->Router().ClearTargets(own);
    if (active != own) {
        g_object_set(active, m_video ? "video-notify" : "audio-notify", FALSE, nullptr);
        Route(active, m_video ? NM_VIDEO_INFO : NM_AUDIO_INFO, nullptr);
    }
    if (const TPadInfo* pad =
            m_parent->FindPad(m_video ? TPadKind::Video : TPadKind::Audio, m_index - 1);
        pad && m_parent->BaseFilter())
        m_manager->SetRoute(m_parent->BaseFilter(), pad->Key, nullptr);
    RemoveElements();
    m_tail = nullptr;
    if (!TMediaDevice::HasConnectedStream(m_parent))
        m_parent->DetachChain();
    m_manager = nullptr;
    return true;
}

void TavSource::SetPositionTarget(QObject* aWindow)
{
    Route(m_notifier.get(), NM_FRAME_DURATION, aWindow);
    if (m_notifier)
        g_object_set(m_notifier.get(), "position-notify", TRUE, nullptr);
}

void TavSource::ClearPositionTarget()
{
    if (m_notifier)
        g_object_set(m_notifier.get(), "position-notify", FALSE, nullptr);
}

void TavSource::SetTimecodeTarget(QObject* aWindow)
{
    if (GstElement* n = ActiveNotifier()) {
        Route(n, NM_TIMECODE, aWindow);
        g_object_set(n, "timecode-notify", TRUE, nullptr);
    }
}

void TavSource::ClearTimecodeTarget()
{
    if (GstElement* n = ActiveNotifier())
        g_object_set(n, "timecode-notify", FALSE, nullptr);
}

void TavSource::SetDatecodeTarget(QObject* aWindow)
{
    if (GstElement* n = ActiveNotifier()) {
        Route(n, NM_DATECODE, aWindow);
        g_object_set(n, "datecode-notify", TRUE, nullptr);
    }
}

void TavSource::ClearDatecodeTarget()
{
    if (GstElement* n = ActiveNotifier())
        g_object_set(n, "datecode-notify", FALSE, nullptr);
}

void TavSource::SetSceneTarget(QObject*)
{
    // The stream notifier sends no scene messages: the role is only stored by the DV manager.
}

TVideoSource* NoVideoSource()
{
    static TVideoSource none(QStringLiteral("Aucune Vidéo"));
    return &none;
}

TAudioSource* NoAudioSource()
{
    static TAudioSource none(QStringLiteral("Aucun Audio"));
    return &none;
}
