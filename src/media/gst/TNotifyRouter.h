#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

#include <gst/gst.h>

#include <memory>
#include <mutex>

// Turns the notifiers' element messages on a pipeline's bus into TNotifyEvents posted straight to
// the managers' message objects: one hop, no turn of the main loop on the way (the precise seek
// and the position text would pay for it). The streaming thread only copies the values and
// posts; it never waits for the main thread. Routes are set on the main thread; the bus's owner
// (TPipelineBus) calls Dispatch from its sync handler.
class TNotifyRouter : public QObject {
    Q_OBJECT
public:
    explicit TNotifyRouter(QObject* parent = nullptr);
    ~TNotifyRouter() override;

    // Where a message goes: from one element, or (source nullptr) from any element that has
    // no target of its own for it. A null target removes the route.
    void SetTarget(int message, QObject* target) { SetTarget(nullptr, message, target); }
    void SetTarget(GstElement* source, int message, QObject* target);
    void ClearTargets(GstElement* source);
    QObject* TargetOf(GstElement* source, int message) const;

    // Any thread: true when the message is one of ours (it is then on its way to its target).
    bool Dispatch(GstMessage* message);

private:
    void Forget(QObject* target);

    struct TKey {
        GstObject* source;
        int message;
        bool operator==(const TKey&) const = default;
    };
    friend size_t qHash(const TKey& k, size_t seed) noexcept
    {
        return qHashMulti(seed, static_cast<const void*>(k.source), k.message);
    }

    // Read by Dispatch on streaming threads; a target that goes is dropped under the lock, so
    // nothing is posted to it afterwards.
    mutable std::mutex m_lock;
    QHash<TKey, QObject*> m_routes;
    QHash<QObject*, QMetaObject::Connection> m_watched;
};
