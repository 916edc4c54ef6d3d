// Skin cursors read from ".cur" files and animated ".ani" files, the six process-wide skin
// cursor slots, and a player that shows a cursor on a window and steps an animated one.
#pragma once

#include "platform/Wnd.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One cursor picture: premultiplication-free 0xAARRGGBB pixels, top row first.
struct CursorFrame {
    int nWidth = 0;
    int nHeight = 0;
    CPoint hotSpot;
    std::vector<std::uint32_t> pixels;
};

class CSkinCursor {
public:
    // A static cursor has one step of frame 0.
    explicit CSkinCursor(CursorFrame frame);
    // An animated cursor: steps give a frame index and a display time in milliseconds each.
    struct Step {
        std::size_t nFrame = 0;
        int nMs = 0;
    };
    CSkinCursor(std::vector<CursorFrame> frames, std::vector<Step> steps);

    bool IsAnimated() const { return m_steps.size() > 1; }
    std::size_t GetStepCount() const { return m_steps.size(); }
    const Step& GetStep(std::size_t i) const { return m_steps[i]; }
    const CursorFrame& GetStepFrame(std::size_t i) const { return m_frames[m_steps[i].nFrame]; }
    std::size_t GetFrameCount() const { return m_frames.size(); }

private:
    std::vector<CursorFrame> m_frames;
    std::vector<Step> m_steps;
};

// Parses a cursor file's bytes (".cur"/".ico" or RIFF ".ani"). Damaged data gives null.
std::shared_ptr<CSkinCursor> ParseCursorData(const std::uint8_t* pData, std::size_t nSize);
// Reads and parses a cursor file; null when it cannot be read or is damaged.
std::shared_ptr<CSkinCursor> LoadCursorFile(const std::string& strPath);

// The six skin cursor slots shared by the three windows (drag area, left/right edge,
// top/bottom edge, single buttons, corner, elsewhere).
class CSkinCursors {
public:
    static constexpr int kSlots = 6;
    static void Set(int nSlot, std::shared_ptr<CSkinCursor> pCursor);
    static std::shared_ptr<CSkinCursor> Get(int nSlot);
    static void Clear();

private:
    static std::array<std::shared_ptr<CSkinCursor>, kSlots> s_slots;
};

// Shows a cursor over a window; an animated cursor moves to its next step when the current
// step's time is up (timers of the player's own message window).
class CCursorPlayer : public CWnd {
public:
    CCursorPlayer();
    ~CCursorPlayer() override;
    // Shows pCursor on pTarget from its first step; null stops showing anything.
    void Show(CWnd* pTarget, std::shared_ptr<CSkinCursor> pCursor);
    std::size_t GetCurrentStep() const { return m_nStep; }
    const CSkinCursor* GetCursor() const { return m_pCursor.get(); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ShowStep();

    CWnd* m_pTarget = nullptr;
    std::shared_ptr<CSkinCursor> m_pCursor;
    std::size_t m_nStep = 0;
};
