#pragma once

#include <QtGlobal>

#include <mutex>
#include <set>

// Where the key frames of the video stream are, as the compressed frames enter the decoder:
// what a move forward costs depends on it. Decoding on from the shown frame beats a seek unless
// a key frame lies between it and the target (the seek decodes from there). Positions are
// stream times in reference time units. Written on the streaming thread, read on the main one.
class TKeyFrames {
public:
    // Key frames in a row before the stream counts as all key frames (DV, MJPEG).
    static constexpr int kIntraRun = 16;
    static constexpr size_t kMaxKept = 1 << 16;

    void Clear();
    void Note(qint64 aPosition, bool aKey);
    // Whether a key frame is known, or expected from the spacing of those known, after aFrom
    // and at or before aTo.
    bool KeyBetween(qint64 aFrom, qint64 aTo) const;
    bool IntraOnly() const;

private:
    void Closer(qint64 aSpacing);

    mutable std::mutex m_lock;
    std::set<qint64> m_keys;
    qint64 m_spacing = 0; // the closest two known keys: the stream's key spacing at most
    int m_keyRun = 0;
};
