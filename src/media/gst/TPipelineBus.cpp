#include "media/gst/TPipelineBus.h"

#include "base/TCommandQueue.h"
#include "media/gst/TNotifyRouter.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <mutex>

namespace {

class TBusEvent : public QEvent {
public:
    static QEvent::Type Type()
    {
        static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
        return type;
    }
    TBusEvent(GstMessage* aMessage, quint64 aEpoch)
        : QEvent(Type())
        , Message(gst_message_ref(aMessage))
        , Epoch(aEpoch)
    {
    }
    TGstMessageRef Message;
    quint64 Epoch;
};

} // namespace

struct TPipelineBus::TWait {
    GstMessageType types;
    guint32 seqnum = 0;
    QEventLoop loop;
    GstMessageType result = GST_MESSAGE_UNKNOWN;
    bool done = false;
};

// Shared with the sync handler, which may run on a streaming thread while the bus object goes.
struct TPipelineBus::TShared {
    std::mutex lock;
    TPipelineBus* owner = nullptr;
    TNotifyRouter* router = nullptr;
    std::atomic<quint64> epoch{0};
};

TPipelineBus::TPipelineBus(GstElement* aPipeline, TNotifyRouter* aRouter, QObject* aParent)
    : QObject(aParent)
    , m_pipeline(aPipeline)
    , m_bus(AdoptRef(gst_element_get_bus(aPipeline)))
    , m_shared(std::make_shared<TShared>())
{
    m_shared->owner = this;
    m_shared->router = aRouter;
    auto* data = new std::shared_ptr<TShared>(m_shared);
    gst_bus_set_sync_handler(
        m_bus.get(),
        [](GstBus*, GstMessage* aMessage, gpointer aUser) -> GstBusSyncReply {
            auto& shared = *static_cast<std::shared_ptr<TShared>*>(aUser);
            std::lock_guard guard(shared->lock);
            if (shared->router && shared->router->Dispatch(aMessage)) {
                gst_message_unref(aMessage);
                return GST_BUS_DROP;
            }
            if (shared->owner)
                QCoreApplication::postEvent(shared->owner,
                                            new TBusEvent(aMessage, shared->epoch.load()));
            gst_message_unref(aMessage);
            return GST_BUS_DROP;
        },
        data, [](gpointer aUser) { delete static_cast<std::shared_ptr<TShared>*>(aUser); });
}

TPipelineBus::~TPipelineBus()
{
    {
        std::lock_guard guard(m_shared->lock);
        m_shared->owner = nullptr;
        m_shared->router = nullptr;
    }
    gst_bus_set_sync_handler(m_bus.get(), nullptr, nullptr, nullptr);
    Abort();
}

void TPipelineBus::NewEpoch()
{
    ++m_shared->epoch;
}

void TPipelineBus::Drain()
{
    QCoreApplication::sendPostedEvents(this, TBusEvent::Type());
}

GstMessageType TPipelineBus::WaitForBus(GstMessageType aTypes, int aTimeoutMs, guint32 aSeqnum)
{
    if (Aborted())
        return GST_MESSAGE_UNKNOWN;
    // Commands that come meanwhile wait for the end of the one under way.
    const TCommandQueue::TWait busy;
    TWait wait;
    wait.types = GstMessageType(aTypes | GST_MESSAGE_ERROR | GST_MESSAGE_EOS);
    wait.seqnum = aSeqnum;
    m_waits.push_back(&wait);
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &wait.loop, [&wait] {
        wait.done = true;
        wait.loop.quit();
    });
    timer.start(qMax(0, aTimeoutMs));
    // What is already queued for us may answer at once.
    Drain();
    if (!wait.done)
        wait.loop.exec();
    std::erase(m_waits, &wait);
    return wait.result;
}

void TPipelineBus::Abort()
{
    const TCommandQueue& commands = TCommandQueue::Instance();
    if (commands.Busy())
        m_abortedSpell = commands.Spell();
    for (TWait* w : m_waits) {
        w->done = true;
        w->loop.quit();
    }
}

bool TPipelineBus::Aborted() const
{
    const TCommandQueue& commands = TCommandQueue::Instance();
    return commands.Busy() && m_abortedSpell == commands.Spell();
}

TStreamFailure FailureOf(GstMessage* aError)
{
    GError* error = nullptr;
    gst_message_parse_error(aError, &error, nullptr);
    TStreamFailure failure = TStreamFailure::Internal;
    if (error && error->domain == GST_STREAM_ERROR) {
        switch (error->code) {
        case GST_STREAM_ERROR_DECODE:
            failure = TStreamFailure::Undecodable;
            break;
        case GST_STREAM_ERROR_DEMUX:
        case GST_STREAM_ERROR_FORMAT:
        case GST_STREAM_ERROR_WRONG_TYPE:
        case GST_STREAM_ERROR_TYPE_NOT_FOUND:
            failure = TStreamFailure::Damaged;
            break;
        case GST_STREAM_ERROR_CODEC_NOT_FOUND:
            failure = TStreamFailure::NoDecoder;
            break;
        default:
            break;
        }
    } else if (error && error->domain == GST_RESOURCE_ERROR &&
               (error->code == GST_RESOURCE_ERROR_NOT_FOUND ||
                error->code == GST_RESOURCE_ERROR_OPEN_READ ||
                error->code == GST_RESOURCE_ERROR_READ || error->code == GST_RESOURCE_ERROR_SEEK)) {
        failure = TStreamFailure::Unreadable;
    }
    g_clear_error(&error);
    return failure;
}

QString TPipelineBus::ErrorText(GstMessage* aError)
{
    GError* error = nullptr;
    gchar* debug = nullptr;
    gst_message_parse_error(aError, &error, &debug);
    QString text = error ? QString::fromUtf8(error->message) : QStringLiteral("?");
    if (debug && *debug)
        text += QStringLiteral(" (") + QString::fromUtf8(debug) + u')';
    g_clear_error(&error);
    g_free(debug);
    return text;
}

void TPipelineBus::customEvent(QEvent* aEvent)
{
    if (aEvent->type() != TBusEvent::Type())
        return;
    const auto* e = static_cast<TBusEvent*>(aEvent);
    m_current = e->Epoch == m_shared->epoch.load();
    Handle(e->Message.get());
    m_current = true;
}

void TPipelineBus::Handle(GstMessage* aMessage)
{
    const GstMessageType type = GST_MESSAGE_TYPE(aMessage);
    if (type == GST_MESSAGE_ERROR) {
        m_lastError = ErrorText(aMessage);
        // "Internal data stream error" follows the error that says what went wrong.
        if (m_lastFailure == TStreamFailure::None || m_lastFailure == TStreamFailure::Internal)
            m_lastFailure = FailureOf(aMessage);
    }
    if (OnMessage)
        OnMessage(aMessage);
    const bool fromPipeline = GST_MESSAGE_SRC(aMessage) == GST_OBJECT(m_pipeline);
    const bool pipelineOnly = type == GST_MESSAGE_ASYNC_DONE || type == GST_MESSAGE_STATE_CHANGED;
    // The end of a stream that a flush has since taken back ends nothing.
    if ((pipelineOnly && !fromPipeline) || (type == GST_MESSAGE_EOS && !m_current))
        return;
    const guint32 seqnum = gst_message_get_seqnum(aMessage);
    for (TWait* w : m_waits) {
        if (type == GST_MESSAGE_ASYNC_DONE && w->seqnum && w->seqnum != seqnum)
            continue;
        if (!w->done && (w->types & type)) {
            w->done = true;
            w->result = type;
            w->loop.quit();
        }
    }
}
