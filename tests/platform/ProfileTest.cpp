#include "platform/Profile.h"

#include "TestHelpers.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"

#include <climits>
#include <gtest/gtest.h>

using namespace platform;

namespace {

const char kSettingsKey[] = "Software\\Brenholt\\Corvella\\corvella\\Settings";

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

TEST_F(ProfileTest, EmptyProfileGivesTheDefaultsAndNothingIsStoredWithoutAKey) {
    EXPECT_EQ(GetProfileString("Settings", "UILanguage", "English"), "English");
    EXPECT_EQ(GetProfileString("Tip", "TimeStamp"), "");
    EXPECT_EQ(GetProfileInt("Download Center", "Check Engines", 0), 0);
    EXPECT_EQ(GetProfileInt("Tip", "FilePos", -3), -3);
    EXPECT_FALSE(platform::FileExists(Folder() + "/user.reg")); // reading writes nothing
    // Nothing is stored before the registry key is set.
    SetRegistryKey("");
    EXPECT_FALSE(WriteProfileString("Settings", "UILanguage", "Deutsch"));
    EXPECT_FALSE(WriteProfileInt("Tip", "StartUp", 1));
    EXPECT_EQ(GetProfileString("Settings", "UILanguage", "English"), "English");
    EXPECT_TRUE(CRegistry::Instance().EnumKeys(HKEY_CURRENT_USER, "").empty());
}

TEST_F(ProfileTest, ValuesRoundTripUnderTheApplicationKey) {
    ASSERT_TRUE(WriteProfileString("Settings", "UILanguage", "Deutsch \\ \"x\""));
    ASSERT_TRUE(WriteProfileInt("Tip", "FilePos", 1234));
    ASSERT_TRUE(WriteProfileInt("Tip", "StartUp", -1));
    ASSERT_TRUE(WriteProfileString("Recent File List", "File1", "/music/a b.mp3"));

    CRegistry fresh(Folder());
    EXPECT_EQ(fresh.QueryString(HKEY_CURRENT_USER, kSettingsKey, "UILanguage"), "Deutsch \\ \"x\"");
    EXPECT_EQ(fresh.QueryDword(HKEY_CURRENT_USER, "Software\\Brenholt\\Corvella\\corvella\\Tip",
                               "FilePos"),
              1234u);
    EXPECT_EQ(GetProfileString("settings", "uilanguage", "English"), "Deutsch \\ \"x\"");
    EXPECT_EQ(GetProfileInt("Tip", "FilePos", 0), 1234);
    EXPECT_EQ(GetProfileInt("Tip", "StartUp", 0), -1);
    EXPECT_EQ(GetProfileString("Recent File List", "File1"), "/music/a b.mp3");
    EXPECT_EQ(GetProfileString("Recent File List", "File2", "none"), "none");

    // Another application name is another set of sections.
    SetProfileAppName("other");
    EXPECT_EQ(GetProfileInt("Tip", "FilePos", 5), 5);
}

TEST_F(ProfileTest, IntegersAreAlsoReadFromNumberStrings) {
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        {"123", 123},
        {"  -7x", -7},
        {"+8", 8},
        {"abc", 99},
        {"", 99},
        {"-", 99},
        {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(CRegistry::Instance().SetString(HKEY_CURRENT_USER, kSettingsKey, "N", c.text));
        EXPECT_EQ(GetProfileInt("Settings", "N", 99), c.expected);
    }
    ASSERT_TRUE(CRegistry::Instance().SetBinary(HKEY_CURRENT_USER, kSettingsKey, "N", "\x01"));
    EXPECT_EQ(GetProfileInt("Settings", "N", 99), 99);
    ASSERT_TRUE(WriteProfileInt("Settings", "N", 5));
    EXPECT_EQ(GetProfileString("Settings", "N", "not a string"), "not a string");
}

TEST_F(ProfileTest, ApplicationNameDefaultsToTheExecutableName) {
    EXPECT_EQ(GetProfileAppName(), "corvella");
    SetProfileAppName("");
    EXPECT_EQ(GetProfileAppName(), "tests_platform");
    ASSERT_TRUE(WriteProfileInt("Tip", "FilePos", 1));
    EXPECT_TRUE(CRegistry::Instance().KeyExists(
        HKEY_CURRENT_USER, "Software\\Brenholt\\Corvella\\tests_platform\\Tip"));
}
