#include "media/core/TDvFramer.h"

#include <algorithm>

namespace {

constexpr std::size_t kPal = 144000;
constexpr std::size_t kNtsc = 120000;

} // namespace

std::size_t TDvFramer::FrameSize(const std::uint8_t* aHeader)
{
    // The header block: section type 0, sequence 0xF; the DSF bit says 625 or 525 lines.
    if ((aHeader[0] & 0xE0) != 0 || (aHeader[1] & 0xF0) != 0x00 || aHeader[2] != 0)
        return 0;
    return (aHeader[3] & 0x80) ? kPal : kNtsc;
}

void TDvFramer::Reset()
{
    m_pending.clear();
    m_pendingOffset = -1;
    m_nextOffset = -1;
}

void TDvFramer::Push(const std::uint8_t* aData, std::size_t aSize, std::int64_t aOffset,
                     const TFrame& aFrame)
{
    // A chunk that does not follow the previous one starts over (a seek without a flush).
    if (aOffset >= 0 && m_nextOffset >= 0 && aOffset != m_nextOffset)
        Reset();
    const std::int64_t start = aOffset >= 0 ? aOffset : std::max<std::int64_t>(m_nextOffset, 0);
    if (m_pending.empty())
        m_pendingOffset = start;
    m_nextOffset = start + std::int64_t(aSize);
    m_pending.insert(m_pending.end(), aData, aData + aSize);

    if (m_frameSize == 0) {
        if (m_pending.size() < 4)
            return;
        m_frameSize = FrameSize(m_pending.data());
        if (m_frameSize == 0) { // not at a frame: wait for a stream that starts at one
            m_pending.clear();
            return;
        }
    }
    // A chunk that starts inside a frame: skip to the next frame.
    const std::size_t into = std::size_t(m_pendingOffset % std::int64_t(m_frameSize));
    if (into != 0) {
        const std::size_t skip = std::min(m_pending.size(), m_frameSize - into);
        m_pending.erase(m_pending.begin(), m_pending.begin() + std::ptrdiff_t(skip));
        m_pendingOffset += std::int64_t(skip);
        if (m_pending.empty())
            return;
    }
    std::size_t at = 0;
    while (m_pending.size() - at >= m_frameSize) {
        aFrame(m_pending.data() + at, m_frameSize,
               (m_pendingOffset + std::int64_t(at)) / std::int64_t(m_frameSize));
        at += m_frameSize;
    }
    m_pending.erase(m_pending.begin(), m_pending.begin() + std::ptrdiff_t(at));
    m_pendingOffset += std::int64_t(at);
}
