#include "core/ShuffleOrder.h"

#include <algorithm>
#include <unordered_set>

namespace core {

CShuffleOrder::CShuffleOrder(std::uint32_t seed) : m_random(seed) {}

void CShuffleOrder::Reset() {
    m_played.clear();
    m_pending.clear();
    m_nPos = -1;
}

int CShuffleOrder::FindPlayed(const CAttribClip* clip) const {
    const auto it = std::find(m_played.begin(), m_played.end(), clip);
    return it == m_played.end() ? -1 : int(it - m_played.begin());
}

// Clips whose rows went are dropped; clips not seen yet go to random places among the unplayed.
void CShuffleOrder::Sync(const std::vector<CAttribClip*>& clips) {
    const std::unordered_set<CAttribClip*> present(clips.begin(), clips.end());
    const CAttribClip* current = m_nPos >= 0 ? m_played[std::size_t(m_nPos)] : nullptr;
    std::erase_if(m_played, [&](CAttribClip* c) { return !present.contains(c); });
    std::erase_if(m_pending, [&](CAttribClip* c) { return !present.contains(c); });
    const int found = FindPlayed(current);
    // A removed current clip leaves the place before it current, so Next goes on from there.
    if (found >= 0 || !current)
        m_nPos = found;
    else
        m_nPos = std::max(std::min(m_nPos, int(m_played.size())) - 1, -1);
    const std::unordered_set<CAttribClip*> known(m_played.begin(), m_played.end());
    std::unordered_set<CAttribClip*> waiting(m_pending.begin(), m_pending.end());
    for (CAttribClip* clip : clips) {
        if (known.contains(clip) || !waiting.insert(clip).second)
            continue;
        std::uniform_int_distribution<std::size_t> place(0, m_pending.size());
        m_pending.insert(m_pending.begin() + std::ptrdiff_t(place(m_random)), clip);
    }
}

// A clip chosen by the user (a double click) becomes the current clip of the pass.
void CShuffleOrder::Anchor(CAttribClip* current) {
    if (!current || (m_nPos >= 0 && m_played[std::size_t(m_nPos)] == current))
        return;
    if (const int found = FindPlayed(current); found >= 0) {
        m_nPos = found;
        return;
    }
    // The clips ahead of the old place were walked back over: they come next again.
    for (std::size_t i = m_played.size(); i > std::size_t(m_nPos + 1); --i)
        m_pending.push_back(m_played[i - 1]);
    m_played.resize(std::size_t(m_nPos + 1));
    std::erase(m_pending, current);
    m_played.push_back(current);
    m_nPos = int(m_played.size()) - 1;
}

void CShuffleOrder::NewPass(const std::vector<CAttribClip*>& clips, CAttribClip* current) {
    Reset();
    for (CAttribClip* clip : clips)
        if (clip != current)
            m_pending.push_back(clip);
    std::shuffle(m_pending.begin(), m_pending.end(), m_random);
    if (current) {
        m_played.push_back(current);
        m_nPos = 0;
    }
}

CAttribClip* CShuffleOrder::Next(const std::vector<CAttribClip*>& clips, CAttribClip* current,
                                 bool repeat) {
    Sync(clips);
    Anchor(current);
    if (m_nPos + 1 < int(m_played.size()))
        return m_played[std::size_t(++m_nPos)];
    if (m_pending.empty()) {
        if (!repeat || clips.empty())
            return nullptr;
        NewPass(clips, current);
        if (m_pending.empty()) // a single clip comes again
            return current ? current : clips.front();
    }
    m_played.push_back(m_pending.back());
    m_pending.pop_back();
    m_nPos = int(m_played.size()) - 1;
    return m_played.back();
}

CAttribClip* CShuffleOrder::Previous(const std::vector<CAttribClip*>& clips, CAttribClip* current) {
    Sync(clips);
    Anchor(current);
    return m_nPos > 0 ? m_played[std::size_t(--m_nPos)] : nullptr;
}

bool CShuffleOrder::CanNext(const std::vector<CAttribClip*>& clips, CAttribClip* current,
                            bool repeat) const {
    if (clips.empty())
        return false;
    if (repeat)
        return true;
    // Played so far: the pass up to the current clip, and the current clip itself.
    const int pos = current ? FindPlayed(current) : m_nPos;
    const auto end = m_played.begin() + (std::max(pos, -1) + 1);
    std::unordered_set<const CAttribClip*> done(m_played.begin(), end);
    done.insert(current);
    return std::any_of(clips.begin(), clips.end(),
                       [&](CAttribClip* c) { return !done.contains(c); });
}

bool CShuffleOrder::CanPrevious(CAttribClip* current) const {
    const int pos = current ? FindPlayed(current) : m_nPos;
    return current && pos < 0 ? !m_played.empty() : pos > 0;
}

} // namespace core
