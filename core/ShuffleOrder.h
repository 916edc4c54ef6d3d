// The shuffled play order: every clip of the rows once, in random order, before any clip comes
// again. The rows keep their order; the order only names which clip comes next. Clips added
// meanwhile join the part not played yet, clips removed leave it; Previous walks back through
// the clips played in this pass.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

class CAttribClip;

namespace core {

class CShuffleOrder {
public:
    explicit CShuffleOrder(std::uint32_t seed = std::random_device{}());

    // The clip after `current` among `clips` (the rows' clips); with `repeat` a finished pass
    // starts a new one in a new order. Null when every clip was played and repeat is off.
    CAttribClip* Next(const std::vector<CAttribClip*>& clips, CAttribClip* current, bool repeat);
    // The clip played before `current` in this pass; null at the start of the pass.
    CAttribClip* Previous(const std::vector<CAttribClip*>& clips, CAttribClip* current);
    bool CanNext(const std::vector<CAttribClip*>& clips, CAttribClip* current, bool repeat) const;
    bool CanPrevious(CAttribClip* current) const;
    // Forgets the pass: the next clip starts a new one.
    void Reset();

private:
    void Sync(const std::vector<CAttribClip*>& clips);
    void Anchor(CAttribClip* current);
    void NewPass(const std::vector<CAttribClip*>& clips, CAttribClip* current);
    int FindPlayed(const CAttribClip* clip) const;

    std::vector<CAttribClip*> m_played;  // this pass, in play order
    int m_nPos = -1;                     // the current clip's place in m_played
    std::vector<CAttribClip*> m_pending; // not played yet; taken from the back
    std::mt19937 m_random;
};

} // namespace core
