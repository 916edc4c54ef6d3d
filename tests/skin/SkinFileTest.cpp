#include "skin/SkinFile.h"
#include "skin/BuiltInSkin.h"
#include "skin/MemButton.h"
#include "skin/MemGlyphText.h"
#include "skin/SkinCursor.h"
#include "skin/SkinLoader.h"
#include "tests/support/BmpWriter.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using namespace skin;
using Lines = std::vector<std::string>;

TEST(SkinNumbers, FieldsParseAsDecimalIntegersAndBadFieldsAsZero) {
    const auto numbers = [](const std::string& line) {
        std::vector<int> out(std::size_t(ParseNumbers(line)));
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = GetNumber(int(i));
        return out;
    };
    EXPECT_EQ(numbers("007, 5,5a,a,-1,+3,,  -0012x"), (std::vector{7, 5, 5, 0, -1, 3, 0, -12}));
    EXPECT_EQ(numbers(""), (std::vector{0})) << "an empty line is one field of 0";
    EXPECT_EQ(numbers("99999999999,-99999999999"), (std::vector{2147483647, -2147483647 - 1}));
    // Surplus fields beyond thirty are ignored.
    std::string line;
    for (int i = 1; i <= 35; ++i)
        line += std::to_string(i) + ",";
    EXPECT_EQ(numbers(line).back(), 30);
    EXPECT_EQ(std::pair(GetNumber(30), GetNumber(-1)), std::pair(0, 0)) << "beyond the table";
    // A colour puts red in the low byte.
    EXPECT_EQ(ParseColour("255, 128,1"), 0x000180FFu);
    EXPECT_EQ(ParseColour("12"), RGB(12, 0, 0)) << "no stale green or blue from the last line";
}

namespace {

// A window of the shape every skinned window has: five header lines, a colour, an image, a
// cursor, a push button on the image and a glyph text.
class CTestSkinWindow : public CWnd, public ISkinnedWindow {
public:
    explicit CTestSkinWindow(std::string file) : m_strFile(std::move(file)) {}

    bool LoadSkin(const std::string& strFolder) override {
        CSkinFileReader reader;
        ++m_nFileLoads;
        return reader.Open(strFolder + m_strFile) && reader.SkipHeader() &&
               reader.ReadColour(m_colour) && reader.ReadImage(m_image, strFolder, nullptr) &&
               reader.ReadCursor(0, strFolder) &&
               reader.ReadControl(m_button, this, 1, m_image.get()) &&
               reader.ReadControl(m_glyphs, this, 2, m_image.get());
    }
    void LoadBuiltInSkin() override { ++m_nBuiltInLoads; }

    std::string m_strFile;
    int m_nFileLoads = 0, m_nBuiltInLoads = 0;
    COLORREF m_colour = 0;
    std::unique_ptr<CSkinImage> m_image = std::make_unique<CSkinImage>();
    CMemButton m_button;
    CMemGlyphText m_glyphs;
};

const Lines kGood{"Test skin",
                  "by nobody",
                  "",
                  "v1",
                  "header five",
                  "10,20,30",
                  "skin.bmp",
                  "missing.cur",
                  "5,6,8,4,0,0,-1,-1,8,0,16,0",
                  "1,2,40,6,8,6,4,3,1"};

class SkinFileTest : public ::testing::Test {
protected:
    SkinFileTest() {
        const auto grey = [](int, int) { return 0x808080u; };
        m_folder.MakeFile(
            "skin.bmp",
            testsupport::MakeBmp({.width = 32, .height = 16, .palette = {}, .pixel = grey}));
    }
    void Write(const std::string& name, const Lines& lines, const char* eol = "\n") {
        std::string data;
        for (const auto& l : lines)
            data += l + eol;
        m_folder.MakeFile(name, data);
    }
    bool LoadWith(const Lines& lines, const char* eol = "\n") {
        Write("Window.txt", lines, eol);
        return m_wnd.LoadSkin(Folder());
    }
    std::string Folder() const { return m_folder.Path() + "/"; }

    testsupport::ScratchFolder m_folder;
    CTestSkinWindow m_wnd{"Window.txt"};
};

} // namespace

TEST_F(SkinFileTest, AWellFormedFileLoadsEveryValueWithCommentsAnywhereAndADamagedOneIsRefused) {
    // The built-in cursors fill every slot.
    builtin::LoadBuiltInCursors();
    for (int slot = 0; slot < CSkinCursors::kSlots; ++slot)
        ASSERT_TRUE(CSkinCursors::Get(slot)) << slot;
    EXPECT_EQ(CSkinCursors::Get(4)->GetStepFrame(0).hotSpot, (CPoint{16, 16})) << "the middle";
    EXPECT_EQ(CSkinCursors::Get(CSkinCursors::kSlots), nullptr);
    // A blank before // makes a value line, and so does an empty line.
    Lines lines = kGood;
    lines[5] = " // 1,2,3";
    ASSERT_TRUE(LoadWith(lines));
    EXPECT_EQ(m_wnd.m_colour, RGB(0, 2, 3));
    EXPECT_EQ(CSkinCursors::Get(0), nullptr) << "a cursor that cannot load empties its slot";
    lines[5] = "";
    ASSERT_TRUE(LoadWith(lines));
    EXPECT_EQ(m_wnd.m_colour, RGB(0, 0, 0));

    // Comments anywhere, and CR LF line ends.
    for (std::size_t at = 0; at <= kGood.size(); ++at) {
        lines = kGood;
        lines.insert(lines.begin() + std::ptrdiff_t(at), {"//", "// a comment, 1,2,3"});
        ASSERT_TRUE(LoadWith(lines, at % 2 ? "\r\n" : "\n")) << "comment at line " << at;
        EXPECT_EQ(m_wnd.m_colour, RGB(10, 20, 30));
        EXPECT_EQ(m_wnd.m_button.GetCtrlRect(), (CRect{5, 6, 13, 10}));
        EXPECT_EQ(m_wnd.m_glyphs.GetCtrlRect(), (CRect{1, 2, 41, 8}));
    }
    lines = kGood;
    lines[8] += ",99,98,97";
    EXPECT_TRUE(LoadWith(lines)) << "surplus numbers are ignored";

    // Each damaged file is refused; a bad bitmap leaves no half-made image behind.
    m_folder.MakeFile("broken.bmp", "BM not really a bitmap");
    // kGood ending before the line (no text), or with the line replaced or inserted.
    const std::tuple<std::size_t, const char*, const char*, bool> cases[] = {
        {9, nullptr, "ends early", false},
        {6, nullptr, "ends before the image", false},
        {7, nullptr, "ends before the cursor", false},
        {5, "", "the colour text is then taken as the bitmap name", true},
        {8, "5,6,8,4,0,0,-1,-1,8,0,16", "eleven numbers for a button", false},
        {9, "1,2,40,6,8,6,0,3,1", "no glyph columns", false},
        {9, "1,2,40,6,8,6,4,0,1", "no glyph rows", false},
        {6, " skin.bmp", "image names are not trimmed", false},
        {6, "broken.bmp", "a damaged bitmap", false},
    };
    for (const auto& [line, text, why, bInsert] : cases) {
        ASSERT_TRUE(LoadWith(kGood));
        Lines lines = kGood;
        const auto at = lines.begin() + std::ptrdiff_t(line);
        if (!text)
            lines.erase(at, lines.end());
        else if (bInsert)
            lines.insert(at, text);
        else
            lines[line] = text;
        EXPECT_FALSE(LoadWith(lines)) << why;
        EXPECT_TRUE(line != 6 || !m_wnd.m_image) << why << ": no half-made image";
    }
    EXPECT_FALSE(LoadWith({})) << "an empty file";
    EXPECT_FALSE(CSkinFileReader().Open(m_folder.Path())) << "a folder is no file";
}

TEST_F(SkinFileTest, ASkinIsUsedOnlyWhenAllThreeFilesLoadAndTheFirstFailureStopsTheLoads) {
    CTestSkinWindow main{"MainWindow.txt"}, play{"PlayWindow.txt"}, playlist{"PlaylistWindow.txt"};
    int cursorHooks = 0, afterApply = 0;
    const auto apply = [&] {
        return ApplySkin(main, play, playlist, Folder(),
                         {[&] { ++cursorHooks; }, [&] { ++afterApply; }});
    };
    for (const char* name : {"MainWindow.txt", "PlayWindow.txt", "PlaylistWindow.txt"})
        Write(name, kGood);
    EXPECT_TRUE(apply());
    EXPECT_EQ((std::vector{cursorHooks, afterApply}), (std::vector{0, 1}));
    // One short file makes all three windows use the built-in skin; the first stops the loads.
    Write("PlayWindow.txt", Lines(kGood.begin(), kGood.end() - 1));
    EXPECT_FALSE(apply());
    EXPECT_EQ((std::vector{cursorHooks, afterApply}), (std::vector{1, 2}));
    EXPECT_EQ((std::vector{main.m_nFileLoads, play.m_nFileLoads, playlist.m_nFileLoads}),
              (std::vector{2, 2, 1}));
    for (const CTestSkinWindow* w : {&main, &play, &playlist})
        EXPECT_EQ(w->m_nBuiltInLoads, 1) << w->m_strFile;
}

TEST(SkinImage, ABufferCopiesItselfBackAsItGoesAndATruncatedResourceIsRefused) {
    CDC screen;
    screen.CreateSolid(20, 20, RGB(1, 1, 1));
    CSkinImage(&screen, CRect{5, 6, 9, 8}, RGB(200, 0, 0), true);
    EXPECT_EQ((std::pair{screen.GetPixel(8, 7), screen.GetPixel(9, 7)}),
              (std::pair{RGB(200, 0, 0), RGB(1, 1, 1)}));
    EXPECT_FALSE(CSkinImage().LoadFromResource(reinterpret_cast<const std::uint8_t*>("BM"), 2));
}
