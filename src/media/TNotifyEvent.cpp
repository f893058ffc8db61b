#include "TNotifyEvent.h"

#include "NotifyMessages.h"

TNotifyEvent::TNotifyEvent(TNotifyPayload payload, QString source)
    : QEvent(TypeOf(payload.message))
    , m_payload(std::move(payload))
    , m_source(std::move(source))
{
}

const TNotifyEvent* TNotifyEvent::From(const QEvent* event)
{
    if (!event || event->type() < QEvent::User)
        return nullptr;
    const int message = int(event->type()) - int(QEvent::User);
    if (!NotifyMessageName(message))
        return nullptr;
    return dynamic_cast<const TNotifyEvent*>(event);
}
