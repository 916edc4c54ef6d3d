#include "skin/SkinFile.h"
#include "skin/MemButton.h"
#include "skin/MemGlyphText.h"
#include "skin/SkinCursor.h"
#include "skin/SkinLoader.h"
#include "tests/support/BmpWriter.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using namespace skin;

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
}

TEST(SkinNumbers, SurplusFieldsBeyondThirtyAreIgnored) {
    std::string line;
    for (int i = 1; i <= 35; ++i)
        line += std::to_string(i) + ",";
    EXPECT_EQ(ParseNumbers(line), 30);
    EXPECT_EQ(GetNumber(29), 30);
    EXPECT_EQ(GetNumber(30), 0);
    EXPECT_EQ(GetNumber(-1), 0);
}

TEST(SkinNumbers, ColourPutsRedInTheLowByte) {
    EXPECT_EQ(ParseColour("255, 128,1"), 0x000180FFu);
    EXPECT_EQ(ParseColour("12"), RGB(12, 0, 0)) << "no stale green or blue from the last line";
}

namespace {

class SkinFolder {
public:
    SkinFolder() : m_strPath(m_dir.path().toStdString() + "/") {}
    const std::string& Path() const { return m_strPath; }
    void Write(const std::string& name, const std::string& data) const {
        std::ofstream(m_strPath + name, std::ios::binary) << data;
    }
    void WriteLines(const std::string& name, const std::vector<std::string>& lines,
                    const char* eol = "\n") const {
        std::string data;
        for (const auto& l : lines)
            data += l + eol;
        Write(name, data);
    }
    void WriteBitmap(const std::string& name, int w, int h) const {
        testsupport::BmpSpec picture;
        picture.width = w;
        picture.height = h;
        picture.pixel = [](int x, int y) { return std::uint32_t((x << 16) | (y << 8) | 7); };
        Write(name, testsupport::MakeBmp(picture));
    }

private:
    QTemporaryDir m_dir;
    std::string m_strPath;
};

// A window of the shape every skinned window has: five header lines, a colour, an image, a
// cursor, a push button on the image and a glyph text.
class CTestSkinWindow : public CWnd, public ISkinnedWindow {
public:
    explicit CTestSkinWindow(std::string file) : m_strFile(std::move(file)) {}

    bool LoadSkin(const std::string& strFolder) override {
        m_image.reset();
        m_bFromFiles = LoadSkinFiles(strFolder);
        ++m_nFileLoads;
        return m_bFromFiles;
    }
    void LoadBuiltInSkin() override {
        m_bFromFiles = false;
        ++m_nBuiltInLoads;
    }
    bool LoadSkinFiles(const std::string& strFolder) {
        CSkinFileReader reader;
        return reader.Open(strFolder + m_strFile) && reader.SkipHeader() &&
               reader.ReadColour(m_colour) && reader.ReadImage(m_image, strFolder, nullptr) &&
               reader.ReadCursor(0, strFolder) &&
               reader.ReadControl(m_button, this, 1, m_image.get()) &&
               reader.ReadControl(m_glyphs, this, 2, m_image.get());
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

std::vector<std::string> GoodLines() {
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
        m_folder.WriteBitmap("skin.bmp", 32, 16);
    }
    bool LoadWith(const std::vector<std::string>& lines, const char* eol = "\n") {
        m_folder.WriteLines("Window.txt", lines, eol);
        return m_wnd.LoadSkin(m_folder.Path());
    }

    SkinFolder m_folder;
    CTestSkinWindow m_wnd{"Window.txt"};
};

} // namespace

TEST_F(SkinFileTest, AWellFormedFileLoadsEveryValue) {
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
}

TEST_F(SkinFileTest, CommentLinesAnywhereChangeNothing) {
    ASSERT_TRUE(LoadWith(GoodLines()));
    const CRect button = m_wnd.m_button.GetCtrlRect();
    const CRect glyphs = m_wnd.m_glyphs.GetCtrlRect();
    const std::vector<std::string> good = GoodLines();
    for (std::size_t at = 0; at <= good.size(); ++at) {
        std::vector<std::string> lines = good;
        lines.insert(lines.begin() + std::ptrdiff_t(at), "// a comment, 1,2,3");
        lines.insert(lines.begin() + std::ptrdiff_t(at), "//");
        ASSERT_TRUE(LoadWith(lines)) << "comment at line " << at;
        EXPECT_EQ(m_wnd.m_colour, RGB(10, 20, 30));
        EXPECT_EQ(m_wnd.m_button.GetCtrlRect(), button);
        EXPECT_EQ(m_wnd.m_glyphs.GetCtrlRect(), glyphs);
    }
    EXPECT_TRUE(LoadWith(GoodLines(), "\r\n")) << "CR LF line ends";
    EXPECT_EQ(m_wnd.m_colour, RGB(10, 20, 30));
}

TEST_F(SkinFileTest, EmptyOrIndentedCommentLinesAreValueLinesThatShiftLaterValues) {
    m_folder.WriteLines("Numbers.txt", {"1", "2", "3", "4", "5", "", "7,8,9", " // 1,2,3", "4"});
    CSkinFileReader reader;
    ASSERT_TRUE(reader.Open(m_folder.Path() + "Numbers.txt"));
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

    std::vector<std::string> lines = GoodLines();
    lines.insert(lines.begin() + 5, "");
    EXPECT_FALSE(LoadWith(lines)) << "the colour text is then taken as the bitmap name";
}

TEST_F(SkinFileTest, AFileThatEndsEarlyOrIsMissingFails) {
    std::vector<std::string> lines = GoodLines();
    lines.pop_back();
    EXPECT_FALSE(LoadWith(lines));
    EXPECT_FALSE(m_wnd.LoadSkin(m_folder.Path() + "nowhere/"));
    CSkinFileReader reader;
    EXPECT_FALSE(reader.Open(m_folder.Path()));
    EXPECT_FALSE(LoadWith({}));
}

TEST_F(SkinFileTest, ControlLinesWithTooFewNumbersOrNoGlyphCellsFail) {
    std::vector<std::string> lines = GoodLines();
    lines[8] = "5,6,8,4,0,0,-1,-1,8,0,16";
    EXPECT_FALSE(LoadWith(lines)) << "eleven numbers for a button";
    lines = GoodLines();
    lines[8] += ",99,98,97";
    EXPECT_TRUE(LoadWith(lines)) << "surplus numbers are ignored";
    lines = GoodLines();
    lines[9] = "1,2,40,6,8,6,0,3,1";
    EXPECT_FALSE(LoadWith(lines)) << "no glyph columns";
    lines[9] = "1,2,40,6,8,6,4,0,1";
    EXPECT_FALSE(LoadWith(lines)) << "no glyph rows";
}

TEST_F(SkinFileTest, ImageNamesAreUsedUnchangedAndABadBitmapFails) {
    std::vector<std::string> lines = GoodLines();
    lines[6] = " skin.bmp";
    EXPECT_FALSE(LoadWith(lines)) << "no trimming";
    EXPECT_EQ(m_wnd.m_image, nullptr);
    m_folder.Write("broken.bmp", "BM not really a bitmap");
    lines[6] = "broken.bmp";
    EXPECT_FALSE(LoadWith(lines));
    EXPECT_EQ(m_wnd.m_image, nullptr) << "no half-made image is left";
}

namespace {

// Counts what the loading protocol did.
struct ApplyProbe {
    int nCursorHooks = 0;
    int nAfterApply = 0;
    SkinApplyHooks Hooks() {
        return {[this] { ++nCursorHooks; }, [this] { ++nAfterApply; }};
    }
};

class SkinApplyTest : public SkinFileTest {
protected:
    void WriteAll() {
        for (const char* name : {"MainWindow.txt", "PlayWindow.txt", "PlaylistWindow.txt"})
            m_folder.WriteLines(name, GoodLines());
    }
    bool Apply() { return ApplySkin(m_main, m_play, m_playlist, m_folder.Path(), m_probe.Hooks()); }

    CTestSkinWindow m_main{"MainWindow.txt"};
    CTestSkinWindow m_play{"PlayWindow.txt"};
    CTestSkinWindow m_playlist{"PlaylistWindow.txt"};
    ApplyProbe m_probe;
};

} // namespace

TEST_F(SkinApplyTest, ASkinIsUsedOnlyWhenAllThreeFilesLoad) {
    WriteAll();
    EXPECT_TRUE(Apply());
    for (auto* w : {&m_main, &m_play, &m_playlist}) {
        EXPECT_TRUE(w->m_bFromFiles);
        EXPECT_EQ(w->m_nBuiltInLoads, 0);
    }
    EXPECT_EQ(m_probe.nCursorHooks, 0);
    EXPECT_EQ(m_probe.nAfterApply, 1);
}

TEST_F(SkinApplyTest, OneShortFileMakesAllThreeWindowsUseTheBuiltInSkin) {
    WriteAll();
    std::vector<std::string> shortLines = GoodLines();
    shortLines.pop_back();
    m_folder.WriteLines("PlaylistWindow.txt", shortLines);
    EXPECT_FALSE(Apply());
    for (auto* w : {&m_main, &m_play, &m_playlist}) {
        EXPECT_FALSE(w->m_bFromFiles);
        EXPECT_EQ(w->m_nBuiltInLoads, 1);
    }
    EXPECT_EQ(m_playlist.m_nFileLoads, 1);
    EXPECT_EQ(m_probe.nCursorHooks, 1);
    EXPECT_EQ(m_probe.nAfterApply, 1);
}

TEST_F(SkinApplyTest, TheFirstFailureStopsTheFileLoads) {
    WriteAll();
    m_folder.Write("MainWindow.txt", "");
    EXPECT_FALSE(Apply());
    EXPECT_EQ(m_main.m_nFileLoads, 1);
    EXPECT_EQ(m_play.m_nFileLoads, 0);
    EXPECT_EQ(m_playlist.m_nFileLoads, 0);
    for (auto* w : {&m_main, &m_play, &m_playlist})
        EXPECT_EQ(w->m_nBuiltInLoads, 1);
}

TEST(SkinFolderPath, IsTheProgramFolderPlusTestSkin) {
    const std::string folder = GetSkinFolder();
    ASSERT_GE(folder.size(), 10u);
    EXPECT_EQ(folder.substr(folder.size() - 10), "Test Skin/");
}
