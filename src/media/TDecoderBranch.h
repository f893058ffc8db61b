#pragma once

#include "media/TFilterRec.h"
#include "media/TGraphChunk.h"

#include <QStringList>

#include <functional>
#include <memory>

class TDecoderList;
class TGrapheMan;
class TKeyFrames;
class TavSource;

// The decoder chain of one manager, between its source's head and its renderer: a decodebin
// that is told which decoder to try first (the remembered one, or a fallback) and which ones it
// must not use, and, for video, a post-processor. Decoders are element factories.
class TDecoderBranch {
public:
    explicit TDecoderBranch(bool aVideo);
    ~TDecoderBranch();
    TDecoderBranch(const TDecoderBranch&) = delete;
    TDecoderBranch& operator=(const TDecoderBranch&) = delete;

    // Decoders the automatic choice must not use for the current stream (sorted, unique).
    const QStringList& Excluded() const { return m_excluded; }
    void Exclude(const QString& aFactory);
    void ClearExcluded() { m_excluded.clear(); }

    // Slots filled by the private sets (not owned).
    const TFilterRec* Fallback = nullptr;
    const TFilterRec* SecondChance = nullptr;
    const TFilterRec* PostProcessor = nullptr; // video only
    // Maps a remembered record to the one to use (video: the private sets' loaded decoders).
    std::function<const TFilterRec*(const TFilterRec*)> OnRestorePrivate;
    // A decoder never to take for H.264 (none by default): the platform decoder that the
    // Windows program refused has no counterpart here; tests use a stand-in.
    QString H264Excluded;

    // Builds the chain from the source to aRenderer (a sink element in the graph) and prerolls;
    // on a failure with exclusions it clears them and tries once more. On success the decoder
    // found is remembered in aMemory for the source's media type.
    bool Connect(TGrapheMan& aGraph, TavSource& aSource, GstElement* aRenderer,
                 TDecoderList& aMemory);
    // Takes the chain out (decoder, post-processor), leaving the source and the renderer.
    void Remove();
    // The chain died with its pipeline: forgets it without touching it (slots, exclusions and
    // what was found stay).
    void Abandon();
    bool Connected() const { return m_decoder != nullptr; }
    // Where the key frames entering the video decoder are (null for sound).
    const std::shared_ptr<TKeyFrames>& KeyFrames() const { return m_keys; }

    // The decoder found: its factory (empty when the renderer takes the stream as it comes) and
    // the name to show; the media type key; the record chosen first.
    const QString& Found() const { return m_found; }
    const QString& FoundName() const { return m_foundName; }
    const TMediaTypeKey& Key() const { return m_key; }
    const TFilterRec* Chosen() const { return m_chosen; }
    // Every decoder that could take aCaps, in the order decodebin would try them.
    static QStringList Candidates(const GstCaps* aCaps);

    // What decodebin's signals read on the streaming threads.
    struct TState;

private:
    bool Search(TavSource& aSource, TDecoderList& aMemory);
    bool Attempt(TavSource& aSource, const TFilterRec* aPreferred);
    void InsertPostProcessor();
    void FindDecoder();

    bool m_video;
    QStringList m_excluded;
    TGrapheMan* m_graph = nullptr;
    GstElement* m_renderer = nullptr;
    GstElement* m_decoder = nullptr; // our decodebin, in the graph
    GstElement* m_post = nullptr;
    std::shared_ptr<TState> m_state;
    std::shared_ptr<TKeyFrames> m_keys;
    QString m_found;
    QString m_foundName;
    TMediaTypeKey m_key;
    const TFilterRec* m_chosen = nullptr;
};
