#include "media/gst/TNotifyRouter.h"

#include "media/core/TNotifyEvent.h"
#include "media/gst/NotifyStructure.h"

#include <QCoreApplication>

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

TNotifyRouter::TNotifyRouter(QObject* parent)
    : QObject(parent)
{
}

TNotifyRouter::~TNotifyRouter()
{
    for (auto it = m_routes.cbegin(); it != m_routes.cend(); ++it)
        if (it.key().source)
            gst_object_unref(it.key().source);
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
