#include "media/core/TKeyFrames.h"

#include <iterator>

void TKeyFrames::Clear()
{
    const std::lock_guard guard(m_lock);
    m_keys.clear();
    m_keyRun = 0;
    m_spacing = 0;
}

void TKeyFrames::Note(qint64 aPosition, bool aKey)
{
    const std::lock_guard guard(m_lock);
    if (!aKey) {
        m_keyRun = 0;
        return;
    }
    if (m_keyRun < kIntraRun)
        ++m_keyRun;
    if (m_keyRun >= kIntraRun)
        return; // every frame is one: nothing to learn from their places
    const auto [at, added] = m_keys.insert(aPosition);
    if (!added)
        return;
    if (at != m_keys.begin())
        Closer(*at - *std::prev(at));
    if (std::next(at) != m_keys.end())
        Closer(*std::next(at) - *at);
    if (m_keys.size() > kMaxKept)
        m_keys.erase(m_keys.begin());
}

bool TKeyFrames::KeyBetween(qint64 aFrom, qint64 aTo) const
{
    const std::lock_guard guard(m_lock);
    if (m_keyRun >= kIntraRun)
        return aTo > aFrom;
    const auto next = m_keys.upper_bound(aFrom);
    if (next != m_keys.end() && *next <= aTo)
        return true;
    // Not seen yet (the decoder reads little ahead): expected one spacing after the last key
    // before aFrom, the spacing being the closest two known keys (some were perhaps skipped).
    if (next == m_keys.begin() || m_keys.size() < 2)
        return false;
    if (m_spacing <= 0)
        return false;
    const __int128 last = *std::prev(next);
    const __int128 expected = last + ((aFrom - last) / m_spacing + 1) * m_spacing;
    return expected <= aTo && (next == m_keys.end() || expected < *next);
}

bool TKeyFrames::IntraOnly() const
{
    const std::lock_guard guard(m_lock);
    return m_keyRun >= kIntraRun;
}

void TKeyFrames::Closer(qint64 aSpacing)
{
    if (aSpacing > 0 && (m_spacing == 0 || aSpacing < m_spacing))
        m_spacing = aSpacing;
}
