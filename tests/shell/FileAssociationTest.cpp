// Registration of ".mpl": the registry keys in the classes hive and the desktop files.
#include "shell/FileAssociation.h"
#include "tests/shell/ShellTestSupport.h"

#include "platform/FileSystem.h"
#include "platform/Registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using shelltest::ReadFile;
using Calls = std::vector<std::vector<std::string>>; // the tool, then its arguments

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

    // The desktop files under the data folder, with a tool runner that records its calls.
    shell::DesktopFilesResult RegisterFiles(const std::string& data = "data") {
        m_calls.clear();
        shell::DesktopRegistration desktop;
        desktop.strDataHome = m_temp / data;
        desktop.runTool = [this](const std::string& p, const std::vector<std::string>& a) {
            m_calls.push_back({p});
            m_calls.back().insert(m_calls.back().end(), a.begin(), a.end());
            return true;
        };
        return shell::RegisterDesktopFiles(desktop);
    }
    std::vector<std::int64_t> Times() {
        return {ModifiedNs(kMime), ModifiedNs(kEntry), ModifiedNs(m_temp / "config/classes.reg")};
    }

    testsupport::ScratchFolder m_temp;
    const std::string kMime = m_temp / "data/mime/packages/corvella-playlist.xml";
    const std::string kEntry = m_temp / "data/applications/corvella.desktop";
    Calls m_calls;
};

} // namespace

// A start with nothing to change rewrites nothing and runs no database tool.
TEST_F(FileAssociationTest, KeysAndDesktopFilesAreWrittenOnceAChangedOneAloneAndAFailureIsNoStop) {
    auto& reg = CRegistry::Instance();
    ASSERT_TRUE(reg.SetString(HKEY_CLASSES_ROOT, "Corvella.PlayList\\Shell\\Open\\Command", "",
                              "old \"%1\""));
    EXPECT_TRUE(shell::RegisterPlaylistKeys("/opt/my player/corvella"));
    EXPECT_EQ(reg.QueryString(HKEY_CLASSES_ROOT, ".mpl\\shell\\open\\command", ""),
              "/opt/my player/corvella \"%1\"");
    EXPECT_FALSE(reg.KeyExists(HKEY_CLASSES_ROOT, "Corvella.PlayList\\Shell\\Open\\Command"));
    // No document type name is set, so the extension's own value and the document-type keys
    // stay unwritten.
    EXPECT_EQ(reg.QueryString(HKEY_CLASSES_ROOT, ".mpl", ""), std::nullopt);
    EXPECT_FALSE(reg.KeyExists(HKEY_CLASSES_ROOT, "Corvella.PlayList\\DefaultIcon"));

    auto result = RegisterFiles();
    EXPECT_TRUE(result.bFilesOk && result.bMimeChanged && result.bDesktopChanged);
    EXPECT_EQ(ReadFile(kMime), shell::PlaylistMimePackage());
    EXPECT_NE(ReadFile(kMime).find("<glob pattern=\"*.mpl\"/>"), std::string::npos);
    EXPECT_EQ(ReadFile(kEntry), shell::DesktopEntry(shell::RunningProgramLaunch()));
    EXPECT_EQ(m_calls, (Calls{{"update-mime-database", m_temp / "data/mime"},
                              {"update-desktop-database", m_temp / "data/applications"}}));

    const auto times = Times();
    EXPECT_NE(times[2], -1) << "the classes hive is written";
    EXPECT_TRUE(shell::RegisterPlaylistKeys("/opt/my player/corvella"));
    result = RegisterFiles();
    EXPECT_TRUE(result.bFilesOk);
    EXPECT_FALSE(result.bMimeChanged || result.bDesktopChanged);
    EXPECT_TRUE(m_calls.empty());
    EXPECT_EQ(Times(), times);

    shelltest::WriteFile(kEntry, "[Desktop Entry]\nExec=something else\n");
    result = RegisterFiles();
    EXPECT_FALSE(result.bMimeChanged);
    EXPECT_TRUE(result.bDesktopChanged);
    EXPECT_EQ(ReadFile(kEntry), shell::DesktopEntry(shell::RunningProgramLaunch()));
    EXPECT_EQ(ModifiedNs(kMime), times[0]);
    EXPECT_EQ(m_calls, (Calls{{"update-desktop-database", m_temp / "data/applications"}}));

    shelltest::WriteFile(m_temp / "file", "a file where the folder should be");
    result = RegisterFiles("file");
    EXPECT_FALSE(result.bFilesOk || result.bMimeChanged);
    EXPECT_TRUE(m_calls.empty());
}

TEST(UserDataHome, FollowsXdgDataHomeElseTheHomeFolder) {
    shelltest::ScopedEnv home("HOME", "/home/someone");
    for (const auto& [value, expected] : std::vector<std::pair<std::string, std::string>>{
             {"/srv/data/", "/srv/data"},
             {"relative/not/allowed", "/home/someone/.local/share"},
             {"", "/home/someone/.local/share"}}) {
        shelltest::ScopedEnv data("XDG_DATA_HOME", value);
        EXPECT_EQ(platform::UserDataHome(), expected) << value;
    }
}
