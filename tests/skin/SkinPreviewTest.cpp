// Renders the built-in skin the way the windows show it (the main window expanded, inactive
// and shaded, the playlist and play frames with their keys) and every bitmap, at 1x and
// scaled by two as on a high-DPI screen, into skin-preview.png in the build folder, so the
// artwork can be looked at. The composed windows are checked against their images.
#include "res/BuiltInSkinLayout.h"
#include "skin/BuiltInSkin.h"
#include "skin/MemAnimation.h"
#include "skin/MemButton.h"
#include "skin/MemCheckButton.h"
#include "skin/MemGlyphText.h"
#include "skin/MemLabel.h"
#include "skin/MemSlider.h"
#include "skin/MemStateButton.h"
#include "skin/SkinImage.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>

namespace {

using builtin::ControlLine;

class Preview {
public:
    CSkinImage* Image(int id) {
        auto& p = m_images[id];
        if (!p)
            builtin::LoadBuiltInImage(p, id);
        return p.get();
    }

    // A control of the line's kind, placed for a window of width w and height h.
    std::unique_ptr<CMemCtrl> Control(const ControlLine& l, int w, int h) {
        std::unique_ptr<CMemCtrl> c = MakeKind(l);
        if (!c)
            return nullptr;
        c->SetPosition(c->GetRightOffset() ? w - c->GetRightOffset() : -1,
                       c->GetBottomOffset() ? h - c->GetBottomOffset() : -1);
        return c;
    }

    template <std::size_t N>
    void DrawControls(CDC& dc, const std::array<ControlLine, N>& lines, bool bShaded,
                      bool bInactive) {
        for (const ControlLine& l : lines) {
            const std::string name = l.pszName;
            const bool shadedOnly = name.find("shaded") != std::string::npos ||
                                    name.find("Expand") != std::string::npos;
            const bool both = l.nID == 1 || l.nID == 2 || l.nID == 4 || l.nCount == builtin::kLabel;
            if (l.nID == 0 || name.find("animation") != std::string::npos ||
                (bShaded ? !(shadedOnly || (both && &lines[0] == &builtin::kMainControls[0]))
                         : shadedOnly))
                continue;
            auto c = Control(l, dc.Width(), dc.Height());
            if (!c)
                continue;
            c->SetWindowInactive(bInactive);
            c->Draw(dc);
        }
    }

private:
    template <class T> std::unique_ptr<T> Make(const ControlLine& l) {
        auto c = std::make_unique<T>();
        c->CreateFromLine(nullptr, UINT(l.nID), l.nImage ? Image(l.nImage) : nullptr, l.n.data());
        return c;
    }

    std::unique_ptr<CMemCtrl> MakeKind(const ControlLine& l) {
        switch (l.nCount) {
        case builtin::kButton:
            return Make<CMemButton>(l);
        case builtin::kState:
            return Make<CMemStateButton>(l);
        case builtin::kCheck: {
            auto c = Make<CMemCheckButton>(l);
            c->SetCheck(l.nID == 18 || l.nID == 13);
            return c;
        }
        case builtin::kSlider: {
            auto c = Make<CMemSlider>(l);
            c->SetHorizontal(l.nID != 20 && l.nID != 12);
            c->SetValue(l.nID == 20 ? 80 : 30);
            return c;
        }
        case builtin::kLabel: {
            auto c = Make<CMemLabel>(l);
            c->SetTextColor(
                RGB(builtin::kLabelText.r, builtin::kLabelText.g, builtin::kLabelText.b));
            c->SetBkColor(RGB(builtin::kLabelBack.r, builtin::kLabelBack.g, builtin::kLabelBack.b));
            c->SetText("1. Sunrise over the Harbour");
            return c;
        }
        case builtin::kGlyph:
            return Glyphs(l);
        default:
            return nullptr;
        }
    }

    std::unique_ptr<CMemCtrl> Glyphs(const ControlLine& l) {
        auto c = Make<CMemGlyphText>(l);
        const std::map<int, std::pair<const char*, const char*>> texts{
            {23, {builtin::kTypeAlphabet, "mp3"}},     {26, {builtin::kTimeAlphabet, "1:02:03"}},
            {11, {builtin::kTimeAlphabet, "0:04:37"}}, {25, {builtin::kPlayStateAlphabet, "P"}},
            {10, {builtin::kPlayStateAlphabet, "A"}},  {27, {builtin::kMuteLoopAlphabet, "0"}},
            {28, {builtin::kMuteLoopAlphabet, "3"}}};
        const auto& t = texts.at(l.nID);
        c->SetAlphabet(t.first);
        c->SetText(t.second);
        return c;
    }

    std::map<int, std::unique_ptr<CSkinImage>> m_images;
};

// A frame composed as the window base does it: corners, tiled edges, body.
void DrawFrame(CDC& dc, CSkinImage& image, const builtin::FramePieces& p, bool bActive) {
    const int w = dc.Width(), h = dc.Height();
    const int set = bActive ? 0 : 4;
    auto put = [&](int i, int x, int y) {
        const auto& q = p[std::size_t(i)];
        dc.BitBlt(x, y, q.cx, q.cy, image, q.x, q.y);
    };
    for (int y = 0; y < h; y += p[21].cy)
        for (int x = 0; x < w; x += p[21].cx)
            put(21, x, y);
    for (int y = 0; y < h; y += 25) {
        put(11, 0, y);
        put(12, w - p[12].cx, y);
    }
    for (int x = 0; x < w; x += 25) {
        put(2 + set, x, 0);
        put(10, x, h - p[10].cy);
    }
    put(0 + set, 0, 0);
    put(3 + set, w - 50, 0);
    put(1 + set, (w - 100) / 2, 0);
    put(8, 0, h - p[8].cy);
    put(9, w - 50, h - p[9].cy);
}

TEST(SkinPreview, RendersTheBuiltInSkinAtOneAndTwoTimes) {
    Preview preview;
    CDC sheet;
    sheet.CreateSolid(660, 1260, RGB(30, 30, 34));

    // The main window, expanded and active.
    CDC main;
    main.CreateSolid(312, 118, 0);
    main.BitBlt(0, 0, 312, 118, *preview.Image(builtin::kMainBackground), 0, 0);
    preview.DrawControls(main, builtin::kMainControls, false, false);
    sheet.BitBlt(8, 8, 312, 118, main, 0, 0);
    // Where no control lies, the window shows its background.
    EXPECT_EQ(main.GetPixel(150, 110), preview.Image(builtin::kMainBackground)->GetPixel(150, 110));
    // The label is drawn on the display panel's own colour.
    EXPECT_EQ(main.GetPixel(258, 26), preview.Image(builtin::kMainBackground)->GetPixel(258, 26));

    // Inactive: the bar image covers the title.
    main.BitBlt(0, 0, 312, 18, *preview.Image(builtin::kMainBars), 0, 0);
    preview.DrawControls(main, builtin::kMainControls, false, true);
    sheet.BitBlt(330, 8, 312, 118, main, 0, 0);

    // Shaded, active and inactive.
    for (int i = 0; i < 2; ++i) {
        CDC bar;
        bar.CreateSolid(312, 18, 0);
        bar.BitBlt(0, 0, 312, 18, *preview.Image(builtin::kMainBars), 0, 19 + 19 * i);
        preview.DrawControls(bar, builtin::kMainControls, true, i == 1);
        sheet.BitBlt(8 + 322 * i, 134, 312, 18, bar, 0, 0);
    }

    // The playlist window and the play window, active and inactive.
    for (int i = 0; i < 2; ++i) {
        CDC list;
        list.CreateSolid(312, 160, 0);
        DrawFrame(list, *preview.Image(builtin::kPlaylistFrame), builtin::kPlaylistPieces, i == 0);
        preview.DrawControls(list, builtin::kPlaylistControls, false, i == 1);
        sheet.BitBlt(8 + 322 * i, 160, 312, 160, list, 0, 0);
        CDC play;
        play.CreateSolid(312, 257, 0);
        DrawFrame(play, *preview.Image(builtin::kPlayFrame), builtin::kPlayPieces, i == 0);
        preview.DrawControls(play, builtin::kPlayControls, false, i == 1);
        const CSkinImage* logo = preview.Image(builtin::kLogo);
        play.BitBlt(6 + (300 - logo->Width()) / 2, 18 + (212 - logo->Height()) / 2, logo->Width(),
                    logo->Height(), *logo, 0, 0);
        sheet.BitBlt(8 + 322 * i, 328, 312, 257, play, 0, 0);
    }

    // Every bitmap.
    int x = 8, y = 595, row = 0;
    std::vector<builtin::ImageSize> all(builtin::kImageSizes.begin(), builtin::kImageSizes.end());
    all.push_back(builtin::kIconSize);
    for (const builtin::ImageSize& s : all) {
        if (x + s.nWidth > 652) {
            x = 8;
            y += row + 6;
            row = 0;
        }
        sheet.BitBlt(x, y, s.nWidth, s.nHeight, *preview.Image(s.nId), 0, 0);
        x += s.nWidth + 6;
        row = std::max(row, s.nHeight);
    }
    EXPECT_LE(y + row, sheet.Height());

    const QImage one = sheet.Image();
    QImage out(one.width() * 3, one.height() * 2, QImage::Format_RGB32);
    out.fill(QColor(30, 30, 34));
    QPainter painter(&out);
    painter.drawImage(0, 0, one);
    painter.drawImage(one.width(), 0,
                      one.scaled(one.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    painter.end();
    EXPECT_TRUE(out.save(QString(CORVELLA_BINARY_DIR) + "/skin-preview.png"));
}

} // namespace
