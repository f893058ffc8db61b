#pragma once

#include "base/PrivateMessages.h"
#include "media/core/TNotifyPayload.h"

#include <QEvent>
#include <QString>

// A notifier message delivered to a manager's message object on the main thread. Its type is
// MessageEventType(the message value) (NM_DATECODE, ...); the payload holds copies of the values.
class TNotifyEvent : public QEvent {
public:
    TNotifyEvent(TNotifyPayload payload, QString source);

    static QEvent::Type TypeOf(int message) { return MessageEventType(message); }
    // The event as a notifier event, nullptr for any other event.
    static const TNotifyEvent* From(const QEvent* event);

    int Message() const { return m_payload.message; }
    // Name of the element that posted it.
    const QString& Source() const { return m_source; }
    const TNotifyPayload& Payload() const { return m_payload; }
    int Kind() const { return m_payload.kind; }
    const TVideoData& Video() const { return m_payload.video; }
    const TframeData& Frame() const { return m_payload.frame; }
    const TIncrustDV& Overlay() const { return m_payload.overlay; }
    const QString& Text() const { return m_payload.text; }
    qint64 Position() const { return m_payload.position; }
    qint64 FrameDuration() const { return m_payload.frameDuration; }
    qint64 Target() const { return m_payload.target; }
    qint64 Origin() const { return m_payload.origin; }
    int Slot() const { return m_payload.slot; }

private:
    TNotifyPayload m_payload;
    QString m_source;
};
