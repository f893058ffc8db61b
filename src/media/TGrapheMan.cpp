#include "media/TGrapheMan.h"

#include "base/RefTime.h"
#include "base/TCommandQueue.h"
#include "media/MediaInit.h"
#include "media/gst/TNotifyRouter.h"
#include "media/gst/TPipelineBus.h"

#include <QElapsedTimer>
#include <QSet>

#include <atomic>
#include <vector>

GST_DEBUG_CATEGORY_STATIC(tess_graph_debug);
#define GST_CAT_DEFAULT tess_graph_debug

namespace {

std::atomic<int> g_pipelines{0};

// The element directly inside aBin that holds aObject (aObject itself when it is one).
GstElement* ChildOf(GstBin* aBin, GstObject* aObject)
{
    GstObject* o = aObject;
    while (o && GST_OBJECT_PARENT(o) && GST_OBJECT_PARENT(o) != GST_OBJECT(aBin))
        o = GST_OBJECT_PARENT(o);
    return o && GST_OBJECT_PARENT(o) == GST_OBJECT(aBin) && GST_IS_ELEMENT(o) ? GST_ELEMENT(o)
                                                                              : nullptr;
}

bool AnyPadLinked(GstElement* aElement)
{
    bool linked = false;
    GstIterator* it = gst_element_iterate_pads(aElement);
    GValue item = G_VALUE_INIT;
    while (!linked && gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        linked = gst_pad_is_linked(GST_PAD(g_value_get_object(&item)));
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
    return linked;
}

QList<GstElement*> Children(GstBin* aBin)
{
    QList<GstElement*> out;
    GST_OBJECT_LOCK(aBin);
    for (GList* l = aBin->children; l; l = l->next)
        out << GST_ELEMENT(gst_object_ref(l->data));
    GST_OBJECT_UNLOCK(aBin);
    return out;
}

} // namespace

// Shared with the pad handlers, which run on streaming threads.
struct TGrapheMan::TRoutes {
    std::mutex lock;
    GstElement* pipeline = nullptr; // lives as long as the manager, which outlives its elements
    bool probe = false;
    struct TRoute {
        GstElement* owner;
        QString key;
        TGstRef<GstPad> target;
    };
    std::vector<TRoute> routes;
    struct TExposed {
        GstElement* owner;
        QString key;
        TGstRef<GstPad> pad;
    };
    std::vector<TExposed> exposed;
    QSet<GstElement*> noMorePads;
    // The fakesinks (and queues) that end unused pads; removed at each change.
    std::vector<TGstRef<GstElement>> terminators;
    // The elements whose pads are routed; some have pads from the start (wavparse).
    std::vector<TGstRef<GstElement>> watched;
};

TGrapheMan::TGrapheMan(QObject* aOwner, bool aProbe)
    : TKoActionComponent(aOwner)
    , m_probe(aProbe)
{
    EnsureMediaFramework();
    static std::once_flag once;
    std::call_once(once, [] {
        GST_DEBUG_CATEGORY_INIT(tess_graph_debug, "tessgraph", 0, "Tessarine graph manager");
    });
    const QByteArray name =
        (aProbe ? "probe" : "Filtergraph") + QByteArray::number(g_pipelines.fetch_add(1));
    m_pipeline = gst_pipeline_new(name.constData());
    gst_object_ref_sink(m_pipeline);
    m_router = std::make_unique<TNotifyRouter>();
    m_bus = std::make_unique<TPipelineBus>(m_pipeline, m_router.get());
    m_bus->OnMessage = [this](GstMessage* m) { BusMessage(m); };
    m_routes = std::make_shared<TRoutes>();
    m_routes->pipeline = m_pipeline;
    m_routes->probe = aProbe;
    if (OnStateChange)
        OnStateChange(gmStopped);
}

TGrapheMan::~TGrapheMan()
{
    m_bus->Abort();
    gst_element_set_state(m_pipeline, GST_STATE_NULL);
    {
        std::lock_guard guard(m_routes->lock);
        m_routes->routes.clear();
        m_routes->watched.clear();
        m_routes->exposed.clear();
        m_routes->terminators.clear();
    }
    m_bus.reset();
    m_router.reset();
    gst_object_unref(m_pipeline);
}

qint64 TGrapheMan::Duration() const
{
    gint64 d = 0;
    if (!gst_element_query_duration(m_pipeline, GST_FORMAT_TIME, &d) || d < 0)
        return 0;
    return RefTimeFromGst(quint64(d));
}

qint64 TGrapheMan::Position() const
{
    gint64 p = 0;
    if (!gst_element_query_position(m_pipeline, GST_FORMAT_TIME, &p) || p < 0)
        return -1;
    return RefTimeFromGst(quint64(p));
}

void TGrapheMan::SetState(TGrapheManState aState)
{
    m_state = aState;
    if (OnStateChange)
        OnStateChange(aState);
}

bool TGrapheMan::Play()
{
    if (m_needsPreroll && !Preroll())
        return false;
    ApplyRate();
    if (gst_element_set_state(m_pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        GST_WARNING("the pipeline refuses to play");
        return false;
    }
    SetState(gmPlaying);
    return true;
}

bool TGrapheMan::Pause()
{
    if (m_needsPreroll && !Preroll())
        return false;
    if (gst_element_set_state(m_pipeline, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE)
        return false;
    SetState(gmPaused);
    return true;
}

bool TGrapheMan::Stop()
{
    WaitStateSettled();
    if (!m_needsPreroll &&
        gst_element_set_state(m_pipeline, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE)
        return false;
    SetState(gmStopped);
    return true;
}

bool TGrapheMan::ApplyRate()
{
    const double rate = m_fast ? kFastRate : 1.0;
    if (rate == m_rate || m_needsPreroll)
        return true;
    const qint64 at = qMax<qint64>(0, RestorePoint());
    GST_INFO("rate %.1f from %" G_GINT64_FORMAT, rate, gint64(at));
    Flushing();
    // Only a flushing seek changes the rate; it is made only when the rate changes.
    if (!gst_element_seek(m_pipeline, rate, GST_FORMAT_TIME,
                          GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                          GST_SEEK_TYPE_SET, gint64(GstFromRefTime(at)), GST_SEEK_TYPE_NONE, -1))
        return false;
    m_rate = rate;
    return true;
}

void TGrapheMan::FastSpeed()
{
    m_fast = true;
    if (OnVitesseRapide)
        OnVitesseRapide(true);
    ApplyRate();
}

void TGrapheMan::NormalSpeed()
{
    m_fast = false;
    if (OnVitesseRapide)
        OnVitesseRapide(false);
    ApplyRate();
}

void TGrapheMan::AbortWait()
{
    m_bus->Abort();
}

bool TGrapheMan::Aborted() const
{
    return m_bus->Aborted();
}

void TGrapheMan::WaitStateSettled()
{
    for (int i = 0; i < 20 && !Aborted(); ++i)
        if (gst_element_get_state(m_pipeline, nullptr, nullptr, 40 * GST_MSECOND) !=
            GST_STATE_CHANGE_ASYNC)
            break;
}

void TGrapheMan::Flushing()
{
    GST_DEBUG("flushing: what came before is past");
    m_bus->NewEpoch();
    m_atEnd = false;
}

void TGrapheMan::DumpGraph(const char* aName) const
{
    if (m_graphEdit && qEnvironmentVariableIsSet("GST_DEBUG_DUMP_DOT_DIR"))
        GST_DEBUG_BIN_TO_DOT_FILE_WITH_TS(GST_BIN(m_pipeline), GST_DEBUG_GRAPH_SHOW_ALL, aName);
}

void TGrapheMan::BeginChange()
{
    GstState state = GST_STATE_NULL, pending = GST_STATE_VOID_PENDING;
    gst_element_get_state(m_pipeline, &state, &pending, 0);
    const bool down = state == GST_STATE_NULL && pending == GST_STATE_VOID_PENDING;
    if (!down && state >= GST_STATE_PAUSED && m_restorePosition < 0 && !m_needsPreroll) {
        const qint64 at = RestorePoint();
        m_restorePosition = at > 0 ? at : -1;
    }
    // NULL, never READY: a pipeline reused through READY can deliver a frame of the last run.
    if (!down)
        gst_element_set_state(m_pipeline, GST_STATE_NULL);
    Flushing();
    m_needsPreroll = true;
    m_rate = 1.0;
    DropTerminators();
}

void TGrapheMan::DropTerminators()
{
    std::vector<TGstRef<GstElement>> ends;
    {
        std::lock_guard guard(m_routes->lock);
        m_routes->exposed.clear();
        m_routes->noMorePads.clear();
        ends.swap(m_routes->terminators);
    }
    // A sink left over from the last run would answer seeks for pads that are gone.
    for (auto& e : ends) {
        gst_element_set_state(e.get(), GST_STATE_NULL);
        if (GST_OBJECT_PARENT(e.get()) == GST_OBJECT(m_pipeline))
            gst_bin_remove(GST_BIN(m_pipeline), e.get());
    }
}

void TGrapheMan::RouteStaticPads()
{
    std::vector<TGstRef<GstElement>> watched;
    {
        std::lock_guard guard(m_routes->lock);
        std::erase_if(m_routes->watched,
                      [this](const TGstRef<GstElement>& e) { return !Contains(e.get()); });
        for (const auto& e : m_routes->watched)
            watched.push_back(ShareRef(e.get()));
    }
    for (const auto& w : watched) {
        GstElement* e = w.get();
        std::vector<TGstRef<GstPad>> pads;
        GstIterator* it = gst_element_iterate_src_pads(e);
        GValue item = G_VALUE_INIT;
        while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
            GstPad* pad = GST_PAD(g_value_get_object(&item));
            if (!gst_pad_is_linked(pad))
                pads.push_back(ShareRef(pad));
            g_value_reset(&item);
        }
        g_value_unset(&item);
        gst_iterator_free(it);
        auto* routes = new std::shared_ptr<TRoutes>(m_routes);
        for (auto& pad : pads)
            PadAdded(e, pad.get(), routes);
        delete routes;
    }
}

bool TGrapheMan::Preroll(int aTimeoutMs)
{
    const TCommandQueue::TRun run;
    RouteStaticPads();
    m_bus->Drain();
    m_bus->ClearError();
    const GstStateChangeReturn rc = gst_element_set_state(m_pipeline, GST_STATE_PAUSED);
    bool ok = rc != GST_STATE_CHANGE_FAILURE;
    if (ok && rc == GST_STATE_CHANGE_ASYNC)
        ok = m_bus->WaitForBus(GST_MESSAGE_ASYNC_DONE, aTimeoutMs) == GST_MESSAGE_ASYNC_DONE;
    if (!ok) {
        GST_WARNING("preroll failed: %s", qPrintable(m_bus->LastError()));
        DumpGraph("tessarine-preroll-failed");
        gst_element_set_state(m_pipeline, GST_STATE_NULL);
        m_needsPreroll = true;
        DropTerminators();
        return false;
    }
    m_needsPreroll = false;
    DumpGraph("tessarine-prerolled");
    if (m_restorePosition > 0) {
        const qint64 at = std::exchange(m_restorePosition, -1);
        GST_INFO("back to %" G_GINT64_FORMAT " after the change", gint64(at));
        if (!Restore(at)) {
            // A chain that prerolls but fails once it moves (a decoder that cannot seek in
            // this stream) is no better than one that never prerolled: the next one goes back.
            GST_WARNING("failed on the way back: %s", qPrintable(m_bus->LastError()));
            m_restorePosition = at;
            gst_element_set_state(m_pipeline, GST_STATE_NULL);
            m_needsPreroll = true;
            DropTerminators();
            return false;
        }
    }
    m_restorePosition = -1;
    return true;
}

bool TGrapheMan::Restore(qint64 aPosition)
{
    return SeekAccurate(aPosition) || m_bus->LastError().isEmpty();
}

bool TGrapheMan::SeekAccurate(qint64 aPosition, int aTimeoutMs)
{
    GST_INFO("accurate seek to %" G_GINT64_FORMAT, gint64(aPosition));
    const GstMessageType end =
        SeekAndWait(GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                    gint64(GstFromRefTime(qMax<qint64>(0, aPosition))), aTimeoutMs);
    if (end != GST_MESSAGE_ASYNC_DONE)
        GST_WARNING("seek ended by %s", end ? gst_message_type_get_name(end) : "nothing");
    return end == GST_MESSAGE_ASYNC_DONE;
}

GstMessageType TGrapheMan::SeekAndWait(GstSeekFlags aFlags, gint64 aNs, int aTimeoutMs,
                                       const std::function<bool()>& aArrived)
{
    // Nothing in the graph (no file yet): no seek to wait for.
    if (GST_BIN_NUMCHILDREN(GST_BIN(m_pipeline)) == 0) {
        GST_INFO("seek with an empty graph: nothing to do");
        return GST_MESSAGE_UNKNOWN;
    }
    const TCommandQueue::TRun run; // one abort ends every slice of the wait
    m_bus->Drain();
    if (aFlags & GST_SEEK_FLAG_FLUSH)
        Flushing();
    if (!gst_element_seek(m_pipeline, m_rate, GST_FORMAT_TIME, aFlags, GST_SEEK_TYPE_SET, aNs,
                          GST_SEEK_TYPE_NONE, -1)) {
        GST_WARNING("seek refused");
        return GST_MESSAGE_UNKNOWN;
    }
    QElapsedTimer clock;
    clock.start();
    // An ASYNC_DONE may come while the pipeline still reports a change under way (this seek's,
    // posted a moment before the state is committed) or before the seek has even begun to flush
    // (a late one of an earlier step). After the first one, the state and aArrived are watched
    // in short slices.
    bool doneSeen = false;
    for (;;) {
        const int left = aTimeoutMs - int(clock.elapsed());
        if (left <= 0 || Aborted())
            return GST_MESSAGE_UNKNOWN;
        const GstMessageType end =
            m_bus->WaitForBus(GST_MESSAGE_ASYNC_DONE, doneSeen ? qMin(left, 10) : left);
        if (end != GST_MESSAGE_ASYNC_DONE && (end != GST_MESSAGE_UNKNOWN || !doneSeen))
            return end; // EOS, ERROR, the time-out or an abort
        doneSeen = true;
        if (gst_element_get_state(m_pipeline, nullptr, nullptr, 0) != GST_STATE_CHANGE_ASYNC &&
            (!aArrived || aArrived()))
            return GST_MESSAGE_ASYNC_DONE;
        if (end == GST_MESSAGE_ASYNC_DONE)
            GST_INFO("ASYNC_DONE before the seek has landed: waiting on (%d ms left)", left);
    }
}

bool TGrapheMan::Add(GstElement* aElement, const QString& aName)
{
    if (!aElement)
        return false;
    BeginChange();
    if (GST_OBJECT_PARENT(aElement) == GST_OBJECT(m_pipeline))
        return true;
    if (GST_OBJECT_PARENT(aElement))
        return false;
    // Names are unique in a bin: "DV Notifier", "DV Notifier #2", ...
    QString name = aName;
    for (int n = 2;; ++n) {
        TGstRef<GstElement> same(gst_bin_get_by_name(GST_BIN(m_pipeline), qPrintable(name)));
        if (!same)
            break;
        name = QStringLiteral("%1 #%2").arg(aName).arg(n);
    }
    gst_object_set_name(GST_OBJECT(aElement), name.toUtf8().constData());
    return gst_bin_add(GST_BIN(m_pipeline), aElement);
}

void TGrapheMan::Remove(GstElement* aElement)
{
    if (!Contains(aElement))
        return;
    BeginChange();
    ClearRoutes(aElement);
    gst_object_ref(aElement);
    gst_element_set_state(aElement, GST_STATE_NULL);
    gst_bin_remove(GST_BIN(m_pipeline), aElement);
    gst_object_unref(aElement);
    GST_OBJECT_LOCK(m_pipeline);
    const bool empty = GST_BIN(m_pipeline)->numchildren == 0;
    GST_OBJECT_UNLOCK(m_pipeline);
    if (empty)
        m_restorePosition = -1; // a new file starts at its own beginning
}

bool TGrapheMan::Contains(GstElement* aElement) const
{
    return aElement && GST_OBJECT_PARENT(aElement) == GST_OBJECT(m_pipeline);
}

QString TGrapheMan::PadKey(GstPad* aPad)
{
    TGChars id(gst_pad_get_stream_id(aPad));
    if (id)
        return QString::fromUtf8(id.get());
    TGChars name(gst_pad_get_name(aPad));
    return QString::fromUtf8(name.get());
}

void TGrapheMan::WatchPads(GstElement* aElement)
{
    {
        std::lock_guard guard(m_routes->lock);
        m_routes->watched.push_back(ShareRef(aElement));
    }
    g_signal_connect_data(
        aElement, "pad-added", G_CALLBACK(&TGrapheMan::PadAdded),
        new std::shared_ptr<TRoutes>(m_routes),
        [](gpointer aData, GClosure*) { delete static_cast<std::shared_ptr<TRoutes>*>(aData); },
        GConnectFlags(0));
    g_signal_connect_data(
        aElement, "no-more-pads", G_CALLBACK(&TGrapheMan::NoMorePadsSeen),
        new std::shared_ptr<TRoutes>(m_routes),
        [](gpointer aData, GClosure*) { delete static_cast<std::shared_ptr<TRoutes>*>(aData); },
        GConnectFlags(0));
}

void TGrapheMan::PadAdded(GstElement* aOwner, GstPad* aPad, gpointer aRoutes)
{
    if (GST_PAD_DIRECTION(aPad) != GST_PAD_SRC)
        return;
    auto& routes = **static_cast<std::shared_ptr<TRoutes>*>(aRoutes);
    const QString key = PadKey(aPad);
    TGstRef<GstPad> target;
    GstElement* pipeline = nullptr;
    bool probe = false;
    {
        std::lock_guard guard(routes.lock);
        routes.exposed.push_back({aOwner, key, ShareRef(aPad)});
        pipeline = routes.pipeline;
        probe = routes.probe;
        for (const auto& r : routes.routes)
            if (r.owner == aOwner && (r.key == key || (r.key.isEmpty() && r.target &&
                                                       !gst_pad_is_linked(r.target.get())))) {
                target = ShareRef(r.target.get());
                break;
            }
    }
    if (target) {
        const GstPadLinkReturn rc = gst_pad_link(aPad, target.get());
        GST_INFO_OBJECT(aOwner, "pad %s routed: %s", qPrintable(key), gst_pad_link_get_name(rc));
        if (rc == GST_PAD_LINK_OK)
            return;
        // A chain that cannot link never prerolls: end the wait now rather than at its bound.
        GError* error = g_error_new(GST_CORE_ERROR, GST_CORE_ERROR_NEGOTIATION, "pad %s: %s",
                                    qPrintable(key), gst_pad_link_get_name(rc));
        gst_element_post_message(aOwner, gst_message_new_error(GST_OBJECT(aOwner), error, nullptr));
        g_error_free(error);
    }
    if (!pipeline)
        return;
    // Not wanted: ended in a sink that takes anything. A probe needs every pad to preroll.
    // The playback pipeline must not wait for pads nobody plays, and a sink waits for its
    // preroll in PAUSED even with async off: a leaky queue keeps it from holding a demuxer's
    // one streaming thread, and the sink keeps time so positions and the end stay true.
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(sink, "sync", probe ? FALSE : TRUE, "async", probe ? TRUE : FALSE, nullptr);
    GstElement* queue = gst_element_factory_make("queue", nullptr);
    if (!probe)
        g_object_set(queue, "leaky", 2 /* downstream */, "max-size-buffers", 3u, "max-size-bytes",
                     0u, "max-size-time", guint64(0), nullptr);
    GstElement* head = queue;
    {
        std::lock_guard guard(routes.lock);
        routes.terminators.push_back(ShareRef(sink));
        routes.terminators.push_back(ShareRef(queue));
    }
    gst_bin_add_many(GST_BIN(pipeline), sink, queue, nullptr);
    gst_element_link(queue, sink);
    TGstRef<GstPad> in(gst_element_get_static_pad(head, "sink"));
    gst_pad_link(aPad, in.get());
    gst_element_sync_state_with_parent(sink);
    gst_element_sync_state_with_parent(queue);
}

void TGrapheMan::NoMorePadsSeen(GstElement* aOwner, gpointer aRoutes)
{
    auto& routes = **static_cast<std::shared_ptr<TRoutes>*>(aRoutes);
    std::lock_guard guard(routes.lock);
    GST_DEBUG_OBJECT(aOwner, "no more pads");
    routes.noMorePads.insert(aOwner);
}

void TGrapheMan::SetRoute(GstElement* aOwner, const QString& aKey, GstPad* aTarget)
{
    std::lock_guard guard(m_routes->lock);
    auto& routes = m_routes->routes;
    std::erase_if(routes,
                  [&](const TRoutes::TRoute& r) { return r.owner == aOwner && r.key == aKey; });
    if (aTarget)
        routes.push_back({aOwner, aKey, ShareRef(aTarget)});
}

void TGrapheMan::ClearRoutes(GstElement* aOwner)
{
    std::lock_guard guard(m_routes->lock);
    std::erase_if(m_routes->routes, [&](const TRoutes::TRoute& r) {
        return r.owner == aOwner ||
               (r.target && GST_OBJECT_PARENT(r.target.get()) == GST_OBJECT(aOwner));
    });
}

bool TGrapheMan::HasRoutes(GstElement* aOwner) const
{
    std::lock_guard guard(m_routes->lock);
    for (const auto& r : m_routes->routes)
        if (r.owner == aOwner)
            return true;
    return false;
}

std::vector<std::pair<QString, TGstRef<GstPad>>> TGrapheMan::ExposedPads(GstElement* aOwner) const
{
    std::vector<std::pair<QString, TGstRef<GstPad>>> out;
    std::lock_guard guard(m_routes->lock);
    for (const auto& e : m_routes->exposed)
        if (e.owner == aOwner)
            out.emplace_back(e.key, ShareRef(e.pad.get()));
    return out;
}

bool TGrapheMan::NoMorePads(GstElement* aOwner) const
{
    std::lock_guard guard(m_routes->lock);
    return m_routes->noMorePads.contains(aOwner);
}

void TGrapheMan::RemoveUnconnectedFilters()
{
    QSet<GstElement*> anchored;
    {
        std::lock_guard guard(m_routes->lock);
        for (const auto& r : m_routes->routes) {
            anchored.insert(ChildOf(GST_BIN(m_pipeline), GST_OBJECT(r.owner)));
            if (r.target)
                anchored.insert(ChildOf(GST_BIN(m_pipeline), GST_OBJECT(r.target.get())));
        }
        // A terminator is noted before it is added and linked on a streaming thread: between
        // the two it has no linked pad, and it is not to be swept away.
        for (const auto& t : m_routes->terminators)
            anchored.insert(t.get());
    }
    QList<GstElement*> children = Children(GST_BIN(m_pipeline));
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        GstElement* e = *it;
        if (!anchored.contains(e) && !AnyPadLinked(e)) {
            GST_DEBUG("removing unconnected %s", GST_OBJECT_NAME(e));
            gst_element_set_state(e, GST_STATE_NULL);
            gst_bin_remove(GST_BIN(m_pipeline), e);
        }
    }
    for (GstElement* e : children)
        gst_object_unref(e);
}

QString TGrapheMan::ErrorSentence(GstMessage* aError)
{
    QString what = QStringLiteral("une erreur interne du décodage");
    switch (FailureOf(aError)) {
    case TStreamFailure::Undecodable:
        what = QStringLiteral("des images ou des sons qui ne peuvent pas être décodés");
        break;
    case TStreamFailure::Damaged:
        what = QStringLiteral("un fichier endommagé ou incomplet");
        break;
    case TStreamFailure::NoDecoder:
        what = QStringLiteral("un format pour lequel aucun décodeur n'est installé");
        break;
    case TStreamFailure::Unreadable:
        what = QStringLiteral("un fichier qui ne peut plus être lu");
        break;
    default:
        break;
    }
    return QStringLiteral("La lecture de la vidéo s'est arrêtée sur %1.").arg(what);
}

void TGrapheMan::BusMessage(GstMessage* aMessage)
{
    switch (GST_MESSAGE_TYPE(aMessage)) {
    case GST_MESSAGE_EOS:
        if (!m_bus->CurrentMessage()) {
            GST_INFO("an end of stream from before the last flush: ignored");
            break;
        }
        GST_INFO("end of stream");
        m_atEnd = true;
        if (OnGraphCompleted)
            OnGraphCompleted();
        break;
    case GST_MESSAGE_ERROR: {
        TGChars path(gst_object_get_path_string(GST_MESSAGE_SRC(aMessage)));
        const bool busy = TCommandQueue::Instance().Busy();
        GST_WARNING("error from %s%s: %s", path.get(),
                    busy ? " (left to the command under way)" : "",
                    qPrintable(TPipelineBus::ErrorText(aMessage)));
        if (!busy && OnError)
            OnError(ErrorSentence(aMessage));
        break;
    }
    default:
        break;
    }
}
