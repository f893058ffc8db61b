#pragma once

#include "media/gst/GstPtr.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class TNotifyRouter;

// What an ERROR message says went wrong, as far as a user needs to know.
enum class TStreamFailure { None, Damaged, Undecodable, NoDecoder, Unreadable, Internal };
TStreamFailure FailureOf(GstMessage* aError);

// The one owner of a pipeline's bus. Its sync handler hands our notifiers' element messages to
// the router and posts every other message to the main thread, where OnMessage sees it and the
// waits are answered. A streaming thread never waits for the main thread: it only posts.
class TPipelineBus : public QObject {
    Q_OBJECT
public:
    // The pipeline is not owned; aRouter may be null.
    TPipelineBus(GstElement* aPipeline, TNotifyRouter* aRouter, QObject* aParent = nullptr);
    ~TPipelineBus() override;

    // Every message that is not routed, on the main thread, before the waits see it.
    std::function<void(GstMessage*)> OnMessage;

    // A flush or a rebuild begins: what the pipeline posted before it is of the past. While
    // OnMessage runs, CurrentMessage says whether the message came after the last flush.
    void NewEpoch();
    bool CurrentMessage() const { return m_current; }

    // Handles what is already on its way, so that a wait started after it sees only new
    // messages. Call before the step whose message a wait expects.
    void Drain();
    // Runs the event loop until a message of aTypes arrives (ASYNC_DONE and STATE_CHANGED count
    // only from the pipeline itself), or an ERROR or EOS from anywhere, or aTimeoutMs passes,
    // or Abort. Answers the type that ended it, GST_MESSAGE_UNKNOWN for a time-out or an abort.
    // With aSeqnum, an ASYNC_DONE counts only when it carries it (the one that ends a seek
    // carries the seek's), so a late one of an earlier step cannot end the wait.
    GstMessageType WaitForBus(GstMessageType aTypes, int aTimeoutMs, guint32 aSeqnum = 0);
    // Ends every wait of the command under way (they answer GST_MESSAGE_UNKNOWN), and the waits
    // it starts after: the next command waits again.
    void Abort();
    bool Aborted() const;
    bool Waiting() const { return !m_waits.empty(); }

    // The text of the last ERROR message, with its debug detail.
    const QString& LastError() const { return m_lastError; }
    TStreamFailure LastFailure() const { return m_lastFailure; }
    void ClearError()
    {
        m_lastError.clear();
        m_lastFailure = TStreamFailure::None;
    }

    static QString ErrorText(GstMessage* aError);

protected:
    void customEvent(QEvent* aEvent) override;

private:
    struct TWait;
    struct TShared;
    void Handle(GstMessage* aMessage);

    GstElement* m_pipeline;
    TGstRef<GstBus> m_bus;
    std::shared_ptr<TShared> m_shared;
    std::vector<TWait*> m_waits;
    QString m_lastError;
    TStreamFailure m_lastFailure = TStreamFailure::None;
    quint64 m_abortedSpell = 0;
    bool m_current = true;
};
