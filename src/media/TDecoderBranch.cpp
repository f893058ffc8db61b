#include "media/TDecoderBranch.h"

#include "media/TDecoderList.h"
#include "media/TGrapheMan.h"
#include "media/TPrivateFilters.h"
#include "media/core/TKeyFrames.h"
#include "media/gst/KeyFrameWatch.h"
#include "media/gst/TPipelineBus.h"

#include <QSet>

#include <cstring>
#include <mutex>

GST_DEBUG_CATEGORY_STATIC(tess_decoder_debug);
#define GST_CAT_DEFAULT tess_decoder_debug

namespace {

// decodebin's answers to autoplug-select (its enum is not public).
enum TAutoplugSelect { kTry = 0, kExpose = 1, kSkip = 2 };

bool IsDecoder(GstElementFactory* aFactory)
{
    const gchar* klass =
        aFactory ? gst_element_factory_get_metadata(aFactory, GST_ELEMENT_METADATA_KLASS) : nullptr;
    return klass && std::strstr(klass, "Decoder");
}

QString FactoryName(GstElementFactory* aFactory)
{
    return QString::fromUtf8(GST_OBJECT_NAME(aFactory));
}

// DV at 29.97 frames a second.
bool IsNtscDv(const GstCaps* aCaps)
{
    if (!aCaps || gst_caps_is_empty(aCaps) || gst_caps_is_any(aCaps))
        return false;
    const GstStructure* s = gst_caps_get_structure(aCaps, 0);
    gint num = 0, den = 0;
    return gst_structure_has_name(s, "video/x-dv") &&
           gst_structure_get_fraction(s, "framerate", &num, &den) && num == 30000 && den == 1001;
}

} // namespace

// Read by decodebin's signals on streaming threads.
struct TDecoderBranch::TState {
    std::mutex lock;
    QSet<QString> excluded;
    TGstRef<GstElementFactory> preferred;
    bool video = true;

    bool Refused(GstElementFactory* aFactory)
    {
        const QString name = FactoryName(aFactory);
        return excluded.contains(name) || PrivateFactoryBlocked(name);
    }
};

namespace {

G_GNUC_BEGIN_IGNORE_DEPRECATIONS
// The remembered decoder first (just before the first decoder: parsers come before it), the
// excluded ones dropped. Never an empty array: null lets decodebin go on with its own list.
GValueArray* AutoplugSort(GstElement*, GstPad*, GstCaps* aCaps, GValueArray* aFactories,
                          gpointer aState)
{
    auto& state = **static_cast<std::shared_ptr<TDecoderBranch::TState>*>(aState);
    std::lock_guard guard(state.lock);
    GstElementFactory* preferred = state.preferred.get();
    if (preferred &&
        (!gst_element_factory_can_sink_any_caps(preferred, aCaps) || state.Refused(preferred)))
        preferred = nullptr;
    GValueArray* out = g_value_array_new(aFactories->n_values + 1);
    bool changed = false;
    bool placed = false;
    for (guint i = 0; i < aFactories->n_values; ++i) {
        auto* f = GST_ELEMENT_FACTORY(g_value_get_object(g_value_array_get_nth(aFactories, i)));
        if (state.Refused(f)) {
            changed = true;
            continue;
        }
        if (preferred && f == preferred)
            continue; // placed before the first decoder below
        if (preferred && !placed && IsDecoder(f)) {
            GValue v = G_VALUE_INIT;
            g_value_init(&v, GST_TYPE_ELEMENT_FACTORY);
            g_value_set_object(&v, preferred);
            g_value_array_append(out, &v);
            g_value_unset(&v);
            placed = true;
            changed = true;
        }
        g_value_array_append(out, g_value_array_get_nth(aFactories, i));
    }
    if (preferred && !placed) {
        // No decoder in the list yet (a rank below MARGINAL): the preferred one goes last.
        GValue v = G_VALUE_INIT;
        g_value_init(&v, GST_TYPE_ELEMENT_FACTORY);
        g_value_set_object(&v, preferred);
        g_value_array_append(out, &v);
        g_value_unset(&v);
        changed = true;
    }
    if (!changed || out->n_values == 0) {
        g_value_array_free(out);
        return nullptr;
    }
    GST_DEBUG("sorted %u factories into %u, %s first", aFactories->n_values, out->n_values,
              preferred ? GST_OBJECT_NAME(preferred) : "nothing");
    return out;
}
G_GNUC_END_IGNORE_DEPRECATIONS

int AutoplugSelect(GstElement*, GstPad*, GstCaps*, GstElementFactory* aFactory, gpointer aState)
{
    auto& state = **static_cast<std::shared_ptr<TDecoderBranch::TState>*>(aState);
    std::lock_guard guard(state.lock);
    if (state.Refused(aFactory)) {
        GST_DEBUG("skipping %s", GST_OBJECT_NAME(aFactory));
        return kSkip;
    }
    return kTry;
}

template <class F>
void ConnectState(GstElement* aElement, const char* aSignal, F aHandler,
                  const std::shared_ptr<TDecoderBranch::TState>& aState)
{
    g_signal_connect_data(
        aElement, aSignal, G_CALLBACK(aHandler),
        new std::shared_ptr<TDecoderBranch::TState>(aState),
        [](gpointer aData, GClosure*) {
            delete static_cast<std::shared_ptr<TDecoderBranch::TState>*>(aData);
        },
        GConnectFlags(0));
}

} // namespace

namespace {

// Frame threads make a decoder hold several frames before giving the first: every precise seek
// and step would wait for them. Slice threads give each frame as soon as it is decoded.
void LowLatencyThreads(GstBin*, GstBin*, GstElement* aElement, gpointer)
{
    GParamSpec* param = g_object_class_find_property(G_OBJECT_GET_CLASS(aElement), "thread-type");
    if (!param || !G_IS_PARAM_SPEC_FLAGS(param))
        return;
    GFlagsValue* slice = g_flags_get_value_by_nick(G_PARAM_SPEC_FLAGS(param)->flags_class, "slice");
    if (!slice)
        return;
    g_object_set(aElement, "thread-type", slice->value, nullptr);
    GST_INFO("%s: slice threads", GST_OBJECT_NAME(aElement));
}

} // namespace

TDecoderBranch::TDecoderBranch(bool aVideo)
    : m_video(aVideo)
    , m_keys(aVideo ? std::make_shared<TKeyFrames>() : nullptr)
{
    static std::once_flag once;
    std::call_once(once, [] {
        GST_DEBUG_CATEGORY_INIT(tess_decoder_debug, "tessdecoder", 0, "Tessarine decoder choice");
    });
}

TDecoderBranch::~TDecoderBranch()
{
    Remove();
}

void TDecoderBranch::Exclude(const QString& aFactory)
{
    if (aFactory.isEmpty() || m_excluded.contains(aFactory))
        return;
    m_excluded << aFactory;
    m_excluded.sort();
}

QStringList TDecoderBranch::Candidates(const GstCaps* aCaps)
{
    QStringList out;
    if (!aCaps)
        return out;
    // The fields a parser settles are not what a decoder is chosen by.
    TGstCapsRef caps(gst_caps_copy(aCaps));
    for (guint i = 0; i < gst_caps_get_size(caps.get()); ++i)
        gst_structure_remove_fields(gst_caps_get_structure(caps.get(), i), "stream-format",
                                    "alignment", "codec_data", "parsed", nullptr);
    GList* all =
        gst_element_factory_list_get_elements(GST_ELEMENT_FACTORY_TYPE_DECODER, GST_RANK_MARGINAL);
    GList* fit = gst_element_factory_list_filter(all, caps.get(), GST_PAD_SINK, FALSE);
    fit = g_list_sort(fit, gst_plugin_feature_rank_compare_func);
    for (GList* l = fit; l; l = l->next)
        if (!PrivateFactoryBlocked(FactoryName(GST_ELEMENT_FACTORY(l->data))))
            out << FactoryName(GST_ELEMENT_FACTORY(l->data));
    gst_plugin_feature_list_free(fit);
    gst_plugin_feature_list_free(all);
    return out;
}

bool TDecoderBranch::Connect(TGrapheMan& aGraph, TavSource& aSource, GstElement* aRenderer,
                             TDecoderList& aMemory)
{
    Remove();
    m_graph = &aGraph;
    m_renderer = aRenderer;
    if (!aRenderer || !aSource.Tail())
        return false;
    bool ok = Search(aSource, aMemory);
    if (!ok && !m_excluded.isEmpty()) {
        GST_INFO("search failed with %lld excluded: again from scratch",
                 static_cast<long long>(m_excluded.size()));
        m_excluded.clear();
        ok = Search(aSource, aMemory);
    }
    if (!ok)
        return false;
    if (m_found.isEmpty())
        m_foundName = m_video ? QStringLiteral("Pas de décodeur Video")
                              : QStringLiteral("Pas de décodeur audio");
    aMemory.Remember(m_key, std::make_unique<TFilterRec>(m_found, m_foundName));
    GST_INFO("%s: decoder %s (%s)", qPrintable(m_key.Subtype),
             m_found.isEmpty() ? "none" : qPrintable(m_found), qPrintable(m_foundName));
    return true;
}

bool TDecoderBranch::Search(TavSource& aSource, TDecoderList& aMemory)
{
    m_key = aSource.MediaType();
    m_chosen = nullptr;
    if (m_excluded.isEmpty()) {
        if (m_video && m_key.Subtype == u"video/x-h264" && !H264Excluded.isEmpty())
            Exclude(H264Excluded);
        const TFilterRec* chosen = aMemory.Find(m_key);
        if (m_video && chosen && OnRestorePrivate)
            chosen = OnRestorePrivate(chosen);
        if (!chosen)
            chosen = m_video ? NoVideoDecoder() : NoAudioDecoder();
        if (chosen->IsNull() && Fallback && !Fallback->IsNull())
            chosen = Fallback;
        // The private ffdshow decoder does not take 29.97 frames a second DV first.
        if (m_video && IsNtscDv(aSource.Caps()) &&
            chosen->Name == QLatin1String("Private ffdshow Video decoder"))
            chosen = NoVideoDecoder();
        m_chosen = chosen;
    }
    bool ok = Attempt(aSource, m_chosen);
    if (!ok && SecondChance && !SecondChance->IsNull())
        ok = Attempt(aSource, SecondChance);
    if (ok && m_video)
        InsertPostProcessor();
    return ok;
}

bool TDecoderBranch::Attempt(TavSource& aSource, const TFilterRec* aPreferred)
{
    Remove();
    m_graph->BeginChange();
    GstElement* decodebin = gst_element_factory_make("decodebin", nullptr);
    if (!decodebin)
        return false;
    m_state = std::make_shared<TState>();
    m_state->video = m_video;
    m_state->excluded = QSet<QString>(m_excluded.cbegin(), m_excluded.cend());
    if (aPreferred && !aPreferred->IsNull()) {
        const auto* loaded = dynamic_cast<const TBaseFilterRec*>(aPreferred);
        m_state->preferred.reset(
            loaded ? GST_ELEMENT_FACTORY(gst_object_ref(loaded->ElementFactory()))
                   : gst_element_factory_find(aPreferred->Factory.toUtf8().constData()));
        if (!m_state->preferred) // uninstalled since it was remembered: decodebin chooses
            GST_INFO("remembered decoder %s is not here", qPrintable(aPreferred->Factory));
    }
    if (m_video)
        g_signal_connect(decodebin, "deep-element-added", G_CALLBACK(LowLatencyThreads), nullptr);
    ConnectState(decodebin, "autoplug-sort", AutoplugSort, m_state);
    ConnectState(decodebin, "autoplug-select", AutoplugSelect, m_state);
    if (!m_graph->Add(decodebin, m_video ? QStringLiteral("Video Decoder")
                                         : QStringLiteral("Audio Decoder")) ||
        !gst_element_link(aSource.Tail(), decodebin)) {
        m_graph->Remove(decodebin);
        return false;
    }
    m_decoder = decodebin;
    if (m_keys) {
        m_keys->Clear();
        TGstRef<GstPad> compressed(gst_element_get_static_pad(decodebin, "sink"));
        WatchKeyFrames(compressed.get(), m_keys);
    }
    TGstRef<GstPad> in(gst_element_get_static_pad(m_renderer, "sink"));
    m_graph->SetRoute(decodebin, QString(), in.get());
    m_graph->WatchPads(decodebin);
    const bool ok = m_graph->Preroll() && gst_pad_is_linked(in.get());
    FindDecoder();
    GST_INFO("attempt with %s first: %s, decoder %s",
             m_state->preferred ? GST_OBJECT_NAME(m_state->preferred.get()) : "nothing",
             ok ? "connected" : "failed", m_found.isEmpty() ? "none" : qPrintable(m_found));
    if (!ok) {
        // A decoder that went in but could not reach the renderer is not tried again.
        Exclude(m_found);
        Remove();
    }
    return ok;
}

void TDecoderBranch::FindDecoder()
{
    m_found.clear();
    m_foundName.clear();
    if (!m_decoder)
        return;
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(m_decoder));
    GValue item = G_VALUE_INIT;
    while (m_found.isEmpty() && gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        auto* e = GST_ELEMENT(g_value_get_object(&item));
        GstElementFactory* f = gst_element_get_factory(e);
        auto* parent = GST_ELEMENT(GST_OBJECT_PARENT(e));
        // An element inside a decoder of ours (a bin) is not the decoder.
        const bool inDecoder =
            parent && parent != m_decoder && IsDecoder(gst_element_get_factory(parent));
        if (IsDecoder(f) && !inDecoder) {
            m_found = FactoryName(f);
            m_foundName = QString::fromUtf8(
                gst_element_factory_get_metadata(f, GST_ELEMENT_METADATA_LONGNAME));
        }
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
}

void TDecoderBranch::InsertPostProcessor()
{
    if (!PostProcessor || PostProcessor->IsNull() || PostProcessor->Factory == m_found)
        return;
    GstElement* post = PostProcessor->CreateInstance();
    if (!post)
        return;
    TGstRef<GstPad> renderer(gst_element_get_static_pad(m_renderer, "sink"));
    if (!m_graph->Add(post, PostProcessor->Name)) {
        gst_object_unref(gst_object_ref_sink(post));
        return;
    }
    TGstRef<GstPad> in(gst_element_get_static_pad(post, "sink"));
    m_graph->SetRoute(m_decoder, QString(), in.get());
    if (gst_element_link(post, m_renderer) && m_graph->Preroll() && gst_pad_is_linked(in.get())) {
        m_post = post;
        GST_INFO("post-processor %s in place", qPrintable(PostProcessor->Factory));
        return;
    }
    // Its failure does not fail the search: the decoder feeds the renderer again.
    GST_INFO("post-processor %s refused", qPrintable(PostProcessor->Factory));
    m_graph->Remove(post);
    m_graph->SetRoute(m_decoder, QString(), renderer.get());
    m_graph->Preroll();
}

void TDecoderBranch::Abandon()
{
    m_graph = nullptr;
    m_renderer = m_decoder = m_post = nullptr;
    m_state.reset();
}

void TDecoderBranch::Remove()
{
    if (!m_graph)
        return;
    if (m_post)
        m_graph->Remove(std::exchange(m_post, nullptr));
    if (m_decoder)
        m_graph->Remove(std::exchange(m_decoder, nullptr));
}
