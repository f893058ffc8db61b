#include "media/gst/TNotifyRouter.h"

#include "media/core/TNotifyEvent.h"
#include "media/gst/NotifyStructure.h"

#include <QCoreApplication>

TNotifyRouter::TNotifyRouter(QObject* parent)
    : QObject(parent)
{
}

TNotifyRouter::~TNotifyRouter()
{
    for (const auto& c : std::as_const(m_watched))
        disconnect(c);
    for (auto it = m_routes.cbegin(); it != m_routes.cend(); ++it)
        if (it.key().source)
            gst_object_unref(it.key().source);
}

void TNotifyRouter::SetTarget(GstElement* source, int message, QObject* target)
{
    GstObject* key = source ? GST_OBJECT(source) : nullptr;
    std::lock_guard guard(m_lock);
    const auto it = m_routes.find(TKey{key, message});
    if (it != m_routes.end()) {
        if (target) {
            it.value() = target;
        } else {
            m_routes.erase(it);
            if (key)
                gst_object_unref(key);
        }
    } else if (target) {
        if (key)
            gst_object_ref(key);
        m_routes.insert(TKey{key, message}, target);
    }
    if (target && !m_watched.contains(target))
        m_watched.insert(target,
                         connect(
                             target, &QObject::destroyed, this,
                             [this](QObject* gone) { Forget(gone); }, Qt::DirectConnection));
}

void TNotifyRouter::Forget(QObject* target)
{
    std::lock_guard guard(m_lock);
    for (auto it = m_routes.begin(); it != m_routes.end();) {
        if (it.value() == target) {
            if (it.key().source)
                gst_object_unref(it.key().source);
            it = m_routes.erase(it);
        } else {
            ++it;
        }
    }
    m_watched.remove(target);
}

void TNotifyRouter::ClearTargets(GstElement* source)
{
    if (!source)
        return;
    std::lock_guard guard(m_lock);
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
    std::lock_guard guard(m_lock);
    if (source) {
        const auto it = m_routes.constFind(TKey{GST_OBJECT(source), message});
        if (it != m_routes.cend())
            return it.value();
    }
    const auto it = m_routes.constFind(TKey{nullptr, message});
    return it != m_routes.cend() ? it.value() : nullptr;
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
    const int value = payload.message;
    std::lock_guard guard(m_lock);
    auto it = m_routes.constFind(TKey{source, value});
    if (it == m_routes.cend())
        it = m_routes.constFind(TKey{nullptr, value});
    if (it != m_routes.cend())
        QCoreApplication::postEvent(it.value(), new TNotifyEvent(std::move(payload), name));
    return true;
}
