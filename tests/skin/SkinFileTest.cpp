#include "skin/SkinFile.h"
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
    EXPECT_EQ(ParseNumbers("007, 5,5a,a,-1,+3,,  -0012x"), 8);
    const std::vector<int> expect{7, 5, 5, 0, -1, 3, 0, -12};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(GetNumber(i), expect[std::size_t(i)]) << "field " << i;
    EXPECT_EQ(ParseNumbers(""), 1) << "an empty line is one field of 0";
    EXPECT_EQ(GetNumber(0), 0);
    EXPECT_EQ(GetNumber(1), 5) << "the shared table keeps the previous line's higher values";
    EXPECT_EQ(ParseNumbers("99999999999,-99999999999"), 2);
    EXPECT_EQ(GetNumber(0), 2147483647);
    EXPECT_EQ(GetNumber(1), -2147483647 - 1);
    // Surplus fields beyond thirty are ignored.
    std::string line;
    for (int i = 1; i <= 35; ++i)
        line += std::to_string(i) + ",";
    EXPECT_EQ(ParseNumbers(line), 30);
    EXPECT_EQ(GetNumber(29), 30);
    EXPECT_EQ(GetNumber(30), 0);
    EXPECT_EQ(GetNumber(-1), 0);
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
        m_image.reset();
        CSkinFileReader reader;
        ++m_nFileLoads;
        m_bFromFiles = reader.Open(strFolder + m_strFile) && reader.SkipHeader() &&
                       reader.ReadColour(m_colour) &&
                       reader.ReadImage(m_image, strFolder, nullptr) &&
                       reader.ReadCursor(0, strFolder) &&
                       reader.ReadControl(m_button, this, 1, m_image.get()) &&
                       reader.ReadControl(m_glyphs, this, 2, m_image.get());
        return m_bFromFiles;
    }
    void LoadBuiltInSkin() override {
        m_bFromFiles = false;
        ++m_nBuiltInLoads;
    }

    std::string m_strFile;
    bool m_bFromFiles = false;
    int m_nFileLoads = 0;
    int m_nBuiltInLoads = 0;
    COLORREF m_colour = 0;
    std::unique_ptr<CSkinImage> m_image;
    CMemButton m_button;
    CMemGlyphText m_glyphs;
};

Lines GoodLines() {
    return {"Test skin",
            "by nobody",
            "",
            "v1",
            "header five",
            "10,20,30",
            "skin.bmp",
            "missing.cur",
            "5,6,8,4,0,0,-1,-1,8,0,16,0",
            "1,2,40,6,8,6,4,3,1"};
}

class SkinFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSkinCursors::Clear();
        testsupport::BmpSpec picture;
        picture.width = 32;
        picture.height = 16;
        picture.pixel = [](int x, int y) { return std::uint32_t((x << 16) | (y << 8) | 7); };
        m_folder.MakeFile("skin.bmp", testsupport::MakeBmp(picture));
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

TEST_F(SkinFileTest, AWellFormedFileLoadsEveryValueWithCommentsAnywhere) {
    ASSERT_TRUE(LoadWith(GoodLines()));
    EXPECT_EQ(m_wnd.m_colour, RGB(10, 20, 30));
    ASSERT_NE(m_wnd.m_image, nullptr);
    EXPECT_EQ(m_wnd.m_image->GetImageRect(), (CRect{0, 0, 32, 16}));
    EXPECT_EQ(m_wnd.m_button.GetCtrlRect(), (CRect{5, 6, 13, 10}));
    EXPECT_EQ(m_wnd.m_button.GetParent(), &m_wnd);
    EXPECT_EQ(m_wnd.m_glyphs.GetCtrlRect(), (CRect{1, 2, 41, 8}));
    EXPECT_EQ(CSkinCursors::Get(0), nullptr) << "a cursor that cannot load leaves the slot empty";
    // The button copies from the loaded bitmap.
    CDC dc;
    dc.CreateBlank(20, 20);
    m_wnd.m_button.Draw(dc);
    EXPECT_EQ(dc.GetPixel(5, 6), RGB(0, 0, 7));
    EXPECT_EQ(dc.GetPixel(6, 7), RGB(1, 1, 7));

    const Lines good = GoodLines();
    for (std::size_t at = 0; at <= good.size(); ++at) {
        Lines lines = good;
        lines.insert(lines.begin() + std::ptrdiff_t(at), {"//", "// a comment, 1,2,3"});
        ASSERT_TRUE(LoadWith(lines)) << "comment at line " << at;
        EXPECT_EQ(m_wnd.m_colour, RGB(10, 20, 30));
        EXPECT_EQ(m_wnd.m_button.GetCtrlRect(), (CRect{5, 6, 13, 10}));
        EXPECT_EQ(m_wnd.m_glyphs.GetCtrlRect(), (CRect{1, 2, 41, 8}));
    }
    EXPECT_TRUE(LoadWith(GoodLines(), "\r\n")) << "CR LF line ends";
    EXPECT_EQ(m_wnd.m_colour, RGB(10, 20, 30));
    Lines surplus = GoodLines();
    surplus[8] += ",99,98,97";
    EXPECT_TRUE(LoadWith(surplus)) << "surplus numbers are ignored";
}

TEST_F(SkinFileTest, EmptyOrIndentedCommentLinesAreValueLinesThatShiftLaterValues) {
    Write("Numbers.txt", {"1", "2", "3", "4", "5", "", "7,8,9", " // 1,2,3", "4"});
    CSkinFileReader reader;
    ASSERT_TRUE(reader.Open(m_folder / "Numbers.txt"));
    ASSERT_TRUE(reader.SkipHeader());
    COLORREF c = 1;
    ASSERT_TRUE(reader.ReadColour(c));
    EXPECT_EQ(c, RGB(0, 0, 0)) << "the empty line is the first value";
    ASSERT_TRUE(reader.ReadColour(c));
    EXPECT_EQ(c, RGB(7, 8, 9));
    ASSERT_TRUE(reader.ReadColour(c));
    EXPECT_EQ(c, RGB(0, 2, 3)) << "a blank before // makes a value line";
    std::string line;
    EXPECT_TRUE(reader.ReadValueLine(line));
    EXPECT_EQ(line, "4");
    EXPECT_FALSE(reader.ReadValueLine(line));
    EXPECT_FALSE(reader.Open(m_folder.Path())) << "a folder is no file";
}

// Each damaged file is refused; a bad bitmap leaves no half-made image behind.
TEST_F(SkinFileTest, DamagedFilesAreRefused) {
    m_folder.MakeFile("broken.bmp", "BM not really a bitmap");
    const struct {
        std::size_t line; // GoodLines() with this line replaced, removed (no text) or inserted
        const char* text;
        const char* why;
        bool bInsert = false;
    } cases[] = {
        {9, nullptr, "ends early"},
        {5, "", "the colour text is then taken as the bitmap name", true},
        {8, "5,6,8,4,0,0,-1,-1,8,0,16", "eleven numbers for a button"},
        {9, "1,2,40,6,8,6,0,3,1", "no glyph columns"},
        {9, "1,2,40,6,8,6,4,0,1", "no glyph rows"},
        {6, " skin.bmp", "image names are not trimmed"},
        {6, "broken.bmp", "a damaged bitmap"},
    };
    for (const auto& c : cases) {
        Lines lines = GoodLines();
        const auto at = lines.begin() + std::ptrdiff_t(c.line);
        if (!c.text)
            lines.erase(at);
        else if (c.bInsert)
            lines.insert(at, c.text);
        else
            lines[c.line] = c.text;
        EXPECT_FALSE(LoadWith(lines)) << c.why;
        if (c.line == 6) {
            EXPECT_EQ(m_wnd.m_image, nullptr) << c.why;
        }
    }
    EXPECT_FALSE(LoadWith({})) << "an empty file";
    EXPECT_FALSE(m_wnd.LoadSkin(Folder() + "nowhere/")) << "a missing file";
}

namespace {

class SkinApplyTest : public SkinFileTest {
protected:
    void SetUp() override {
        SkinFileTest::SetUp();
        for (const char* name : {"MainWindow.txt", "PlayWindow.txt", "PlaylistWindow.txt"})
            Write(name, GoodLines());
    }
    bool Apply() {
        return ApplySkin(m_main, m_play, m_playlist, Folder(),
                         {[this] { ++m_nCursorHooks; }, [this] { ++m_nAfterApply; }});
    }
    void ExpectBuiltInLoads(int n) {
        for (auto* w : {&m_main, &m_play, &m_playlist}) {
            EXPECT_EQ(w->m_bFromFiles, n == 0) << w->m_strFile;
            EXPECT_EQ(w->m_nBuiltInLoads, n) << w->m_strFile;
        }
    }

    CTestSkinWindow m_main{"MainWindow.txt"};
    CTestSkinWindow m_play{"PlayWindow.txt"};
    CTestSkinWindow m_playlist{"PlaylistWindow.txt"};
    int m_nCursorHooks = 0;
    int m_nAfterApply = 0;
};

} // namespace

TEST_F(SkinApplyTest, ASkinIsUsedOnlyWhenAllThreeFilesLoad) {
    EXPECT_TRUE(Apply());
    ExpectBuiltInLoads(0);
    EXPECT_EQ(m_nCursorHooks, 0);
    EXPECT_EQ(m_nAfterApply, 1);
    // One short file makes all three windows use the built-in skin.
    Lines shortLines = GoodLines();
    shortLines.pop_back();
    Write("PlaylistWindow.txt", shortLines);
    EXPECT_FALSE(Apply());
    ExpectBuiltInLoads(1);
    EXPECT_EQ(m_playlist.m_nFileLoads, 2);
    EXPECT_EQ(m_nCursorHooks, 1);
    EXPECT_EQ(m_nAfterApply, 2);
}

TEST_F(SkinApplyTest, TheFirstFailureStopsTheFileLoads) {
    Write("MainWindow.txt", {});
    EXPECT_FALSE(Apply());
    EXPECT_EQ(m_main.m_nFileLoads, 1);
    EXPECT_EQ(m_play.m_nFileLoads, 0);
    EXPECT_EQ(m_playlist.m_nFileLoads, 0);
    ExpectBuiltInLoads(1);
    const std::string folder = GetSkinFolder();
    ASSERT_GE(folder.size(), 10u);
    EXPECT_EQ(folder.substr(folder.size() - 10), "Test Skin/") << "the program folder's skin";
}
