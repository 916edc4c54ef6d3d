// Registration of ".mpl": the registry keys in the classes hive, the desktop files, and that a
// start with nothing to change rewrites nothing and runs no database tool.
#include "shell/FileAssociation.h"
#include "tests/shell/ShellTestSupport.h"

#include "platform/FileSystem.h"
#include "platform/Registry.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using shelltest::ReadFile;

struct ToolCall {
    std::string program;
    std::vector<std::string> args;
};

// Modification time with nanoseconds, so an unchanged time means the file was not rewritten.
std::int64_t ModifiedNs(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return -1;
    return std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

class FileAssociationTest : public ::testing::Test {
protected:
    void SetUp() override { CRegistry::Instance().Reset(m_temp.Path() + "/config"); }
    void TearDown() override { CRegistry::Instance().Reset(); }

    // The desktop files, with a tool runner that records its calls.
    shell::DesktopFilesResult RegisterFiles() {
        shell::DesktopRegistration desktop;
        desktop.strDataHome = DataHome();
        desktop.runTool = [this](const std::string& p, const std::vector<std::string>& a) {
            m_calls.push_back({p, a});
            return true;
        };
        return shell::RegisterDesktopFiles(desktop);
    }
    std::string DataHome() const { return m_temp.Path() + "/data"; }
    std::string MimeFile() const { return DataHome() + "/mime/packages/corvella-playlist.xml"; }
    std::string DesktopFile() const { return DataHome() + "/applications/corvella.desktop"; }
    std::optional<std::string> Classes(const std::string& path) {
        return CRegistry::Instance().QueryString(HKEY_CLASSES_ROOT, path, "");
    }

    testsupport::ScratchFolder m_temp;
    std::vector<ToolCall> m_calls;
};

} // namespace

TEST_F(FileAssociationTest, WritesTheOpenCommandAndRemovesAnOldDocumentType) {
    auto& reg = CRegistry::Instance();
    ASSERT_TRUE(reg.SetString(HKEY_CLASSES_ROOT, "Corvella.PlayList\\Shell\\Open\\Command", "",
                              "old \"%1\""));
    EXPECT_TRUE(shell::RegisterPlaylistKeys("/opt/my player/corvella"));
    EXPECT_EQ(Classes(".mpl\\shell\\open\\command"), "/opt/my player/corvella \"%1\"");
    EXPECT_FALSE(reg.KeyExists(HKEY_CLASSES_ROOT, "Corvella.PlayList\\Shell\\Open\\Command"));
    // No document type name is set, so the extension's own value and the document-type keys
    // stay unwritten.
    EXPECT_EQ(Classes(".mpl"), std::nullopt);
    EXPECT_FALSE(reg.KeyExists(HKEY_CLASSES_ROOT, "Corvella.PlayList\\DefaultIcon"));
    EXPECT_TRUE(fs::exists(m_temp.Path() + "/config/classes.reg"));
}

TEST_F(FileAssociationTest, WritesTheDesktopFilesAndRunsTheDatabaseTools) {
    const auto result = RegisterFiles();
    EXPECT_TRUE(result.bFilesOk);
    EXPECT_TRUE(result.bMimeChanged);
    EXPECT_TRUE(result.bDesktopChanged);
    const std::string mime = ReadFile(MimeFile());
    EXPECT_NE(mime.find("<mime-type type=\"application/x-corvella-playlist\">"), std::string::npos);
    EXPECT_NE(mime.find("<glob pattern=\"*.mpl\"/>"), std::string::npos);
    const std::string entry = ReadFile(DesktopFile());
    EXPECT_TRUE(entry.starts_with("[Desktop Entry]\n"));
    // The test program is on no search path, so the entry names it by its path.
    EXPECT_NE(entry.find("\nExec=\"" + platform::GetProgramPath() + "\" %F\n"), std::string::npos);
    EXPECT_NE(entry.find("audio/mpeg;"), std::string::npos);
    EXPECT_NE(entry.find("application/x-corvella-playlist;"), std::string::npos);
    ASSERT_EQ(m_calls.size(), 2u);
    EXPECT_EQ(m_calls[0].program, "update-mime-database");
    EXPECT_EQ(m_calls[0].args, std::vector<std::string>{DataHome() + "/mime"});
    EXPECT_EQ(m_calls[1].program, "update-desktop-database");
    EXPECT_EQ(m_calls[1].args, std::vector<std::string>{DataHome() + "/applications"});
}

TEST_F(FileAssociationTest, ASecondStartRewritesNothing) {
    ASSERT_TRUE(shell::RegisterPlaylistKeys("/opt/corvella/corvella"));
    RegisterFiles();
    const auto mimeTime = ModifiedNs(MimeFile());
    const auto entryTime = ModifiedNs(DesktopFile());
    const auto hiveTime = ModifiedNs(m_temp.Path() + "/config/classes.reg");
    m_calls.clear();
    EXPECT_TRUE(shell::RegisterPlaylistKeys("/opt/corvella/corvella"));
    const auto result = RegisterFiles();
    EXPECT_TRUE(result.bFilesOk);
    EXPECT_FALSE(result.bMimeChanged);
    EXPECT_FALSE(result.bDesktopChanged);
    EXPECT_TRUE(m_calls.empty());
    EXPECT_EQ(ModifiedNs(MimeFile()), mimeTime);
    EXPECT_EQ(ModifiedNs(DesktopFile()), entryTime);
    EXPECT_EQ(ModifiedNs(m_temp.Path() + "/config/classes.reg"), hiveTime);
}

TEST_F(FileAssociationTest, AChangedFileIsRewrittenAloneAndOnlyItsToolRuns) {
    RegisterFiles();
    shelltest::WriteFile(DesktopFile(), "[Desktop Entry]\nExec=something else\n");
    const auto mimeTime = ModifiedNs(MimeFile());
    m_calls.clear();
    const auto result = RegisterFiles();
    EXPECT_FALSE(result.bMimeChanged);
    EXPECT_TRUE(result.bDesktopChanged);
    EXPECT_EQ(ReadFile(DesktopFile()), shell::DesktopEntry(shell::RunningProgramLaunch()));
    EXPECT_EQ(ModifiedNs(MimeFile()), mimeTime);
    ASSERT_EQ(m_calls.size(), 1u);
    EXPECT_EQ(m_calls[0].program, "update-desktop-database");
}

TEST_F(FileAssociationTest, AnUnwritableDataFolderLeavesStartUpGoing) {
    shelltest::WriteFile(m_temp.Path() + "/data", "a file where the folder should be");
    EXPECT_TRUE(shell::RegisterPlaylistKeys("/opt/corvella/corvella"));
    const auto result = RegisterFiles();
    EXPECT_FALSE(result.bFilesOk);
    EXPECT_FALSE(result.bMimeChanged);
    EXPECT_TRUE(m_calls.empty());
}

TEST(UserDataHome, FollowsXdgDataHomeElseTheHomeFolder) {
    {
        shelltest::ScopedEnv data("XDG_DATA_HOME", "/srv/data/");
        EXPECT_EQ(platform::UserDataHome(), "/srv/data");
    }
    shelltest::ScopedEnv home("HOME", "/home/someone");
    {
        shelltest::ScopedEnv data("XDG_DATA_HOME", "relative/not/allowed");
        EXPECT_EQ(platform::UserDataHome(), "/home/someone/.local/share");
    }
    shelltest::ScopedEnv data("XDG_DATA_HOME", "");
    EXPECT_EQ(platform::UserDataHome(), "/home/someone/.local/share");
}
