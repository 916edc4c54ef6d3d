#include "platform/Profile.h"

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "tests/support/ScratchFolder.h"

#include <climits>
#include <gtest/gtest.h>

using namespace platform;

namespace {

const char kKey[] = "Software\\Brenholt\\Corvella\\corvella\\";

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        CRegistry::Instance().Reset(Folder());
        SetRegistryKey("Brenholt\\Corvella");
        SetProfileAppName("corvella");
    }
    void TearDown() override {
        SetRegistryKey("");
        SetProfileAppName("");
        CRegistry::Instance().Reset();
    }
    std::string Folder() const { return m_temp.Path() + "/corvella"; }

    testsupport::ScratchFolder m_temp;
};

} // namespace

TEST_F(ProfileTest, DefaultsUntilStoredAndNothingIsStoredWithoutAKey) {
    EXPECT_EQ(GetProfileString("Settings", "UILanguage", "English"), "English");
    EXPECT_EQ(GetProfileString("Tip", "TimeStamp"), "");
    EXPECT_EQ(GetProfileInt("Tip", "FilePos", -3), -3);
    EXPECT_FALSE(platform::FileExists(Folder() + "/user.reg")); // reading writes nothing
    ASSERT_TRUE(WriteProfileString("Settings", "UILanguage", "Deutsch \\ \"x\""));
    ASSERT_TRUE(WriteProfileInt("Tip", "FilePos", 1234));
    ASSERT_TRUE(WriteProfileInt("Tip", "StartUp", -1));
    CRegistry fresh(Folder());
    EXPECT_EQ(fresh.QueryString(HKEY_CURRENT_USER, std::string(kKey) + "Settings", "UILanguage"),
              "Deutsch \\ \"x\"");
    EXPECT_EQ(fresh.QueryDword(HKEY_CURRENT_USER, std::string(kKey) + "Tip", "FilePos"), 1234u);
    EXPECT_EQ(GetProfileString("settings", "uilanguage", "English"), "Deutsch \\ \"x\"");
    EXPECT_EQ(GetProfileInt("Tip", "FilePos", 0), 1234);
    EXPECT_EQ(GetProfileInt("Tip", "StartUp", 0), -1);
    EXPECT_EQ(GetProfileString("Tip", "FilePos", "not a string"), "not a string");
    // Another application name is another set of sections; the default is the program's name.
    SetProfileAppName("other");
    EXPECT_EQ(GetProfileInt("Tip", "FilePos", 5), 5);
    SetProfileAppName("");
    EXPECT_EQ(GetProfileAppName(), "tests_platform");
    ASSERT_TRUE(WriteProfileInt("Tip", "FilePos", 1));
    EXPECT_TRUE(CRegistry::Instance().KeyExists(
        HKEY_CURRENT_USER, "Software\\Brenholt\\Corvella\\tests_platform\\Tip"));

    SetRegistryKey("");
    EXPECT_FALSE(WriteProfileString("Settings", "UILanguage", "Deutsch"));
    EXPECT_FALSE(WriteProfileInt("Tip", "StartUp", 1));
    EXPECT_EQ(GetProfileString("Settings", "UILanguage", "English"), "English");
}

TEST_F(ProfileTest, IntegersAreAlsoReadFromNumberStrings) {
    const std::pair<const char*, int> cases[] = {{"123", 123},
                                                 {"  -7x", -7},
                                                 {"+8", 8},
                                                 {"abc", 99},
                                                 {"", 99},
                                                 {"-", 99},
                                                 {"99999999999", INT_MAX},
                                                 {"-99999999999", INT_MIN}};
    const std::string key = std::string(kKey) + "Settings";
    for (const auto& [text, expected] : cases) {
        ASSERT_TRUE(CRegistry::Instance().SetString(HKEY_CURRENT_USER, key, "N", text));
        EXPECT_EQ(GetProfileInt("Settings", "N", 99), expected) << text;
    }
    ASSERT_TRUE(CRegistry::Instance().SetBinary(HKEY_CURRENT_USER, key, "N", "\x01"));
    EXPECT_EQ(GetProfileInt("Settings", "N", 99), 99);
}
