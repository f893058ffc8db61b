#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Cuts a raw DV byte stream, read in chunks of any size as a file source reads them, into whole
// frames (144,000 bytes at 625/50, 120,000 at 525/60), each with its number counted from the
// file's start: a chunk's byte offset places it, so frames after a seek keep their numbers.
class TDvFramer {
public:
    using TFrame =
        std::function<void(const std::uint8_t* aData, std::size_t aSize, std::int64_t aNumber)>;

    // The size of the frame whose first DIF block starts at aHeader (at least 4 bytes), 0 when
    // it is no frame header.
    static std::size_t FrameSize(const std::uint8_t* aHeader);

    // Forget what is pending (a flush, a new segment).
    void Reset();
    // aOffset: where aData starts in the file, -1 when unknown (then it follows the previous
    // chunk). Calls aFrame for each frame completed.
    void Push(const std::uint8_t* aData, std::size_t aSize, std::int64_t aOffset,
              const TFrame& aFrame);
    std::size_t Size() const { return m_frameSize; }

private:
    std::vector<std::uint8_t> m_pending;
    std::int64_t m_pendingOffset = -1; // of m_pending's first byte
    std::int64_t m_nextOffset = -1;    // where the next chunk should start
    std::size_t m_frameSize = 0;
};
