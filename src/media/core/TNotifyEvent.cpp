#include "media/core/TNotifyEvent.h"

#include "base/PrivateMessages.h"

TNotifyEvent::TNotifyEvent(TNotifyPayload payload, QString source)
    : QEvent(TypeOf(payload.message))
    , m_payload(std::move(payload))
    , m_source(std::move(source))
{
}

const TNotifyEvent* TNotifyEvent::From(const QEvent* event)
{
    if (!event || !NotifyMessageName(MessageOfEvent(event->type())))
        return nullptr;
    return dynamic_cast<const TNotifyEvent*>(event);
}
