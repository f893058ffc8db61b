#pragma once

#include "actions/TKoActionComponent.h"
#include "media/gst/GstPtr.h"

#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class TNotifyRouter;
class TPipelineBus;
class TVideoSource;
class TAudioSource;

enum TGrapheManState { gmStopped = 0, gmPaused = 1, gmPlaying = 2 };

// The graph manager: owns one GstPipeline and drives its run state (play, pause, stop, normal or
// fast rate). Stopped is PAUSED plus a flag: READY and NULL lose the position and the pads, and
// are used only to change the pipeline's elements.
//
// Elements change only while the pipeline is in NULL (BeginChange); the next Preroll brings it
// back to PAUSED and puts it back at the position it had. Pads that demuxers expose while the
// pipeline starts are linked, on the streaming thread, by a route table keyed by the exposing
// element and the pad's stream id (or name): a route leads to a branch, any other pad ends in a
// fakesink. The bus has one owner (TPipelineBus): our elements' messages go through the router
// to the managers' message objects, the rest to this object on the main thread.
class TGrapheMan : public TKoActionComponent {
    Q_OBJECT
public:
    static constexpr int kPrerollMs = 15000;
    static constexpr double kFastRate = 4.0;

    // aProbe: a private pipeline that only looks at a file; its unused pads must preroll.
    explicit TGrapheMan(QObject* aOwner = nullptr, bool aProbe = false);
    ~TGrapheMan() override;

    std::function<void()> OnGraphCompleted;
    std::function<void(TGrapheManState)> OnStateChange;
    std::function<void(bool)> OnVitesseRapide;
    // An error that stopped the playing, worded for the user (the detail goes to the log). One
    // met by a command under way is the command's to handle: it is not told here.
    std::function<void(const QString&)> OnError;

    GstElement* Pipeline() const { return m_pipeline; }
    TNotifyRouter& Router() const { return *m_router; }
    TPipelineBus& Bus() const { return *m_bus; }
    bool IsProbe() const { return m_probe; }

    virtual bool Play();
    virtual bool Pause();
    virtual bool Stop();
    virtual void NormalSpeed();
    virtual void FastSpeed();
    // Cuts short the waits of the command under way; the next command waits again.
    virtual void AbortWait();
    bool Aborted() const;
    // Up to 20 tries of 40 ms while a state change is under way; at once after AbortWait.
    void WaitStateSettled();
    // Removes every element with no linked pad that no route leads to or from.
    void RemoveUnconnectedFilters();

    TGrapheManState State() const { return m_state; }
    // The pipeline reached the end of its streams since the last flush.
    bool AtEnd() const { return m_atEnd; }
    // The French sentence for an ERROR message.
    static QString ErrorSentence(GstMessage* aError);
    bool Fast() const { return m_fast; }
    double Rate() const { return m_rate; }
    // The duration and the current position as reference times; 0 and -1 when not known.
    qint64 Duration() const;
    qint64 Position() const;

    // Writes a DOT file of the pipeline at each preroll while GST_DEBUG_DUMP_DOT_DIR is set.
    bool GraphEdit() const { return m_graphEdit; }
    void SetGraphEdit(bool aOn) { m_graphEdit = aOn; }
    void DumpGraph(const char* aName) const;

    // Takes the pipeline to NULL before its elements change, noting where it was.
    void BeginChange();
    bool NeedsPreroll() const { return m_needsPreroll; }
    // PAUSED, waiting (bounded) for the preroll; then back to the position noted. False on an
    // error, an end of stream, a time-out or an abort.
    bool Preroll(int aTimeoutMs = kPrerollMs);
    // The position to go back to at the next preroll; -1 forgets it.
    void SetPositionToRestore(qint64 aPosition) { m_restorePosition = aPosition; }
    qint64 PositionToRestore() const { return m_restorePosition; }
    // Where a change takes the pipeline back to: where it is, unless a subclass knows better.
    virtual qint64 RestorePoint() const { return Position(); }
    // A flushing seek that lands on the frame at aPosition (not the key frame before), waiting
    // for its preroll. False when refused, failed or aborted.
    bool SeekAccurate(qint64 aPosition, int aTimeoutMs = kPrerollMs);
    // Sends a flushing seek to aNs (GStreamer time) and waits for the preroll it starts: an
    // ASYNC_DONE, then the pipeline's state settled. Answers what ended the wait;
    // GST_MESSAGE_UNKNOWN when the seek was refused, timed out or was aborted. aArrived, when
    // given, must also hold: an ASYNC_DONE that comes before it is a late one of an earlier seek or
    // step.
    GstMessageType SeekAndWait(GstSeekFlags aFlags, gint64 aNs, int aTimeoutMs,
                               const std::function<bool()>& aArrived = {});

    // Elements of this pipeline: added with a name that is unique in it.
    bool Add(GstElement* aElement, const QString& aName);
    void Remove(GstElement* aElement);
    bool Contains(GstElement* aElement) const;

    // Pads exposed later by aElement are routed (see above); its no-more-pads is noted.
    void WatchPads(GstElement* aElement);
    // Where aOwner's pad with aKey goes (a sink pad of this pipeline); null removes the route.
    // An empty key routes aOwner's first pad that finds its target free.
    void SetRoute(GstElement* aOwner, const QString& aKey, GstPad* aTarget);
    void ClearRoutes(GstElement* aOwner);
    bool HasRoutes(GstElement* aOwner) const;
    // The pad's identity across runs: its stream id, else its name.
    static QString PadKey(GstPad* aPad);
    // Every pad aOwner exposed in the current run, with its key; and whether it said it had
    // exposed all of them.
    std::vector<std::pair<QString, TGstRef<GstPad>>> ExposedPads(GstElement* aOwner) const;
    bool NoMorePads(GstElement* aOwner) const;

    // The sources connected to this graph (not owned).
    QList<TVideoSource*> ConnectedVideo;
    QList<TAudioSource*> ConnectedAudio;

protected:
    void SetState(TGrapheManState aState);
    bool ApplyRate();
    // A flush or a rebuild begins: the end and the messages posted before it are past.
    void Flushing();
    // Back to where the pipeline was before a change, once it has prerolled again.
    // False when the pipeline failed on the way (an error, not a time-out).
    virtual bool Restore(qint64 aPosition);

private:
    struct TRoutes;
    void BusMessage(GstMessage* aMessage);
    // Pads that exist from the start get no pad-added: route them before each start.
    void RouteStaticPads();
    void DropTerminators();
    static void PadAdded(GstElement* aOwner, GstPad* aPad, gpointer aRoutes);
    static void NoMorePadsSeen(GstElement* aOwner, gpointer aRoutes);

    bool m_probe;
    GstElement* m_pipeline;
    std::unique_ptr<TNotifyRouter> m_router;
    std::unique_ptr<TPipelineBus> m_bus;
    std::shared_ptr<TRoutes> m_routes;
    TGrapheManState m_state = gmStopped;
    bool m_fast = false;
    bool m_atEnd = false;
    bool m_graphEdit = false;
    bool m_needsPreroll = false;
    double m_rate = 1.0;
    qint64 m_restorePosition = -1;
};
