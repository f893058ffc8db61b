#include "media/gst/TNotifyRouter.h"

#include "media/core/TNotifyEvent.h"
#include "media/gst/NotifyStructure.h"

#include <QCoreApplication>

#include <mutex>

namespace {

// Carries one routed message from the posting thread to the router.
class TRouteEvent : public QEvent {
public:
    static QEvent::Type Type()
    {
        static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
        return type;
    }

    TRouteEvent(GstObject* source, std::unique_ptr<TNotifyEvent> event)
        : QEvent(Type())
        , m_source(source ? GST_OBJECT(gst_object_ref(source)) : nullptr)
        , m_event(std::move(event))
    {
    }
    ~TRouteEvent() override
    {
        if (m_source)
            gst_object_unref(m_source);
    }

    GstObject* Source() const { return m_source; }
    std::unique_ptr<TNotifyEvent> Take() { return std::move(m_event); }

private:
    GstObject* m_source;
    std::unique_ptr<TNotifyEvent> m_event;
};

} // namespace

// Shared with the bus handler, which may still run on a streaming thread while the router goes.
struct TNotifyRouter::TShared {
    std::mutex lock;
    TNotifyRouter* router = nullptr;
    bool dropHandled = true;
    bool probeSeen = false;
};

namespace {

// Posted to learn whether our handler is the bus's one: some GStreamer versions keep the first
// sync handler and only warn, others replace it without a word.
constexpr char kProbeName[] = "tess-router-probe";

} // namespace

TNotifyRouter::TNotifyRouter(QObject* parent)
    : QObject(parent)
    , m_shared(std::make_shared<TShared>())
{
    m_shared->router = this;
}

TNotifyRouter::~TNotifyRouter()
{
    Detach();
    {
        std::lock_guard guard(m_shared->lock);
        m_shared->router = nullptr;
    }
    for (auto it = m_routes.cbegin(); it != m_routes.cend(); ++it)
        if (it.key().source)
            gst_object_unref(it.key().source);
}

bool TNotifyRouter::Attach(GstBus* bus, bool dropHandled)
{
    Detach();
    if (!bus)
        return false;
    {
        std::lock_guard guard(m_shared->lock);
        m_shared->dropHandled = dropHandled;
    }
    auto* data = new std::shared_ptr<TShared>(m_shared);
    gst_bus_set_sync_handler(
        bus,
        [](GstBus*, GstMessage* message, gpointer user) -> GstBusSyncReply {
            auto& shared = *static_cast<std::shared_ptr<TShared>*>(user);
            std::lock_guard guard(shared->lock);
            if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_APPLICATION &&
                gst_message_has_name(message, kProbeName)) {
                shared->probeSeen = true;
                gst_message_unref(message);
                return GST_BUS_DROP;
            }
            if (shared->router && shared->router->Dispatch(message) && shared->dropHandled) {
                gst_message_unref(message);
                return GST_BUS_DROP;
            }
            return GST_BUS_PASS;
        },
        data, [](gpointer user) { delete static_cast<std::shared_ptr<TShared>*>(user); });
    if (!IsInstalled(bus)) {
        delete data; // the bus kept its own handler and never took this one
        return false;
    }
    m_bus = GST_BUS(gst_object_ref(bus));
    return true;
}

bool TNotifyRouter::IsInstalled(GstBus* bus)
{
    gst_bus_post(bus, gst_message_new_application(nullptr, gst_structure_new_empty(kProbeName)));
    std::lock_guard guard(m_shared->lock);
    const bool seen = m_shared->probeSeen;
    m_shared->probeSeen = false;
    return seen;
}

void TNotifyRouter::Detach()
{
    if (!m_bus)
        return;
    // Another handler may have replaced ours since: leave that one in place.
    if (IsInstalled(m_bus))
        gst_bus_set_sync_handler(m_bus, nullptr, nullptr, nullptr);
    gst_object_unref(m_bus);
    m_bus = nullptr;
}

void TNotifyRouter::SetTarget(GstElement* source, int message, QObject* target)
{
    GstObject* key = source ? GST_OBJECT(source) : nullptr;
    const auto it = m_routes.find(TKey{key, message});
    if (it != m_routes.end()) {
        if (target) {
            it.value() = target;
            return;
        }
        m_routes.erase(it);
        if (key)
            gst_object_unref(key);
        return;
    }
    if (!target)
        return;
    if (key)
        gst_object_ref(key);
    m_routes.insert(TKey{key, message}, target);
}

void TNotifyRouter::ClearTargets(GstElement* source)
{
    if (!source)
        return;
    for (auto it = m_routes.begin(); it != m_routes.end();) {
        if (it.key().source == GST_OBJECT(source)) {
            gst_object_unref(it.key().source);
            it = m_routes.erase(it);
        } else {
            ++it;
        }
    }
}

QObject* TNotifyRouter::TargetOf(GstElement* source, int message) const
{
    if (source) {
        const auto it = m_routes.constFind(TKey{GST_OBJECT(source), message});
        if (it != m_routes.cend() && it.value())
            return it.value();
    }
    const auto it = m_routes.constFind(TKey{nullptr, message});
    return it != m_routes.cend() ? it.value().data() : nullptr;
}

bool TNotifyRouter::Dispatch(GstMessage* message)
{
    if (!message || GST_MESSAGE_TYPE(message) != GST_MESSAGE_ELEMENT)
        return false;
    TNotifyPayload payload;
    if (!PayloadFromStructure(gst_message_get_structure(message), payload))
        return false;
    GstObject* source = GST_MESSAGE_SRC(message);
    QString name;
    if (source) {
        gchar* n = gst_object_get_name(source);
        name = QString::fromUtf8(n);
        g_free(n);
    }
    auto event = std::make_unique<TNotifyEvent>(std::move(payload), name);
    QCoreApplication::postEvent(this, new TRouteEvent(source, std::move(event)));
    return true;
}

void TNotifyRouter::customEvent(QEvent* event)
{
    if (event->type() != TRouteEvent::Type())
        return;
    auto* route = static_cast<TRouteEvent*>(event);
    std::unique_ptr<TNotifyEvent> notify = route->Take();
    if (!notify)
        return;
    GstElement* source =
        route->Source() && GST_IS_ELEMENT(route->Source()) ? GST_ELEMENT(route->Source()) : nullptr;
    if (QObject* target = TargetOf(source, notify->Message()))
        QCoreApplication::postEvent(target, notify.release());
}
