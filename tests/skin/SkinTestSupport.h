// The skin control tests' host window, which redraws a control into its surface as a skinned
// window does, images whose pixels tell where they came from, and a fixture on a virtual clock.
#pragma once

#include "platform/Clock.h"
#include "platform/MessageQueue.h"
#include "platform/RegisteredMessages.h"
#include "skin/MemCtrl.h"
#include "skin/SkinImage.h"
#include "tests/support/RecordingWnd.h"

#include <gtest/gtest.h>
#include <memory>
#include <tuple>
#include <vector>

namespace skintest {

constexpr COLORREF kBackground = RGB(1, 2, 3);

// A pixel of a coordinate image: red = x, green = y, blue = 7.
constexpr COLORREF Coord(int x, int y) {
    return RGB(BYTE(x), BYTE(y), 7);
}

inline std::unique_ptr<CSkinImage> MakeCoordImage(int w, int h) {
    auto image = std::make_unique<CSkinImage>(nullptr, CRect{0, 0, w, h});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image->SetPixel(x, y, Coord(x, y));
    return image;
}

// The pixels of an area within the tolerance of a colour in each component (text is smoothed).
inline int CountNear(const CDC& dc, const CRect& r, COLORREF c, int tolerance = 40) {
    const auto near = [&](int a, int b) { return std::abs(a - b) <= tolerance; };
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const COLORREF p = dc.GetPixel(x, y);
            n += near(GetRValue(p), GetRValue(c)) && near(GetGValue(p), GetGValue(c)) &&
                 near(GetBValue(p), GetBValue(c));
        }
    return n;
}

class CTestHost : public CRecordingWnd, public IMemCtrlHost {
public:
    CTestHost() {
        CreateMessageWindow();
        m_surface.CreateSolid(300, 300, kBackground);
    }
    void RedrawControl(CMemCtrl* pCtrl, bool) override { pCtrl->Draw(m_surface); }
    void Clear() { m_surface.FillSolidRect(m_surface.GetRect(), kBackground); }

    CDC m_surface;
};

using Msg = std::tuple<UINT, WPARAM, LPARAM>;

class SkinFixture : public ::testing::Test {
protected:
    SkinFixture() { platform::CMessageQueue::Instance().Reset(); }
    ~SkinFixture() override {
        m_host.reset();
        platform::CMessageQueue::Instance().Reset();
    }
    // Dispatches what was posted; the registered messages received since the last call.
    std::vector<Msg> Posted() {
        m_clock.Pump();
        std::vector<Msg> out;
        for (const auto& m : m_host->m_received)
            if (m.message >= 0xC000)
                out.emplace_back(m.message, m.wParam, m.lParam);
        m_host->m_received.clear();
        return out;
    }
    // The notifications a control posts.
    static Msg Code(const CMemCtrl& c, WPARAM code) {
        return {WM_REG_MEMCTRL, code, reinterpret_cast<LPARAM>(&c)};
    }
    template <class... W> static std::vector<Msg> Codes(const CMemCtrl& c, W... codes) {
        return {Code(c, WPARAM(codes))...};
    }
    COLORREF At(int x, int y) const { return m_host->m_surface.GetPixel(x, y); }

    platform::CVirtualClock m_clock;
    std::unique_ptr<CTestHost> m_host = std::make_unique<CTestHost>();
};

} // namespace skintest
