// The language lookup rules, over language files written by each test into a folder of its own.
#include "shell/Language.h"
#include "shell/LanguageFile.h"
#include "shell/LanguageMenu.h"
#include "tests/shell/ShellTestSupport.h"

#include "platform/MessageBox.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

using shelltest::WriteFile;

namespace {

const std::string kEnglishFile = "; base language\n"
                                 "[Strings]\n"
                                 "10=Open Media File\n"
                                 "11=Save && Exit\n"
                                 "12=Preferences\n"
                                 "13=First line\\nSecond line\n"
                                 "14 =Blank Before The Sign\n"
                                 "15=Only In English\n"
                                 "16=Formula a=b\n"
                                 "17=Shared Word\n"
                                 "17=Second Line With The Same Key\n"
                                 "18=shared word\n"
                                 "23=Known Only By Number\n"
                                 "24=Unrecognizable Playlist File Format.\n";

const std::string kGermanFile = "; Deutsch\n"
                                "10=&Mediendatei öffnen\n"
                                "11=Speichern && Beenden\n"
                                "12=Einstellungen\n"
                                "13=Erste Zeile\\nZweite Zeile\n"
                                "24=Unbekanntes Format.\n"
                                "30=Nur Deutsch\n";

const std::string kFrenchFile = "10=Ouvrir un fichier\n12=Préférences\n";

class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder.Write("English", kEnglishFile);
        m_folder.Write("German", kGermanFile);
        m_folder.Write("French", kFrenchFile);
        m_folder.Write("template", "10=\n12=\n");
    }

    shelltest::LanguageFolder m_folder;
};

} // namespace

// Lines are trimmed and split at the first equals sign; blank lines and sections are skipped.
// Lookups ignore case, take the first match and never match a key with a blank.
TEST_F(LanguageTest, TheFileFormatAndTheLookups) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (const auto& e : shell::ParseLanguageFile("\xEF\xBB\xBF"
                                                  "1=a\r\n  2=b=c  \n[s]\n\n3 = d\n4="))
        entries.emplace_back(e.strKey, e.strValue);
    EXPECT_EQ(entries, (std::vector<std::pair<std::string, std::string>>{
                           {"1", "a"}, {"2", "b=c"}, {"3 ", " d"}, {"4", ""}}));

    const std::string english = shell::LanguageFilePath("English");
    EXPECT_EQ(english, m_folder.Path() + "/English.ini");
    shell::SetLanguageFolder(m_folder.Path() + "/"); // given with its closing slash
    EXPECT_EQ(shell::LanguageFilePath("English"), english);
    EXPECT_EQ(shell::LookupTextByNumber(english, "17", "-"), "Shared Word");
    EXPECT_EQ(shell::LookupNumberByText(english, "SHARED WORD"), "17");
    EXPECT_EQ(shell::LookupTextByNumber(english, "14", "default"), "default");
    EXPECT_EQ(shell::LookupNumberByText(english, "Formula a=b"), "16");
    EXPECT_EQ(shell::LookupTextByNumber(m_folder.Path() + "/Missing.ini", "10", "def"), "def");
    EXPECT_EQ(shell::LookupNumberByText(english, "Nowhere"), "");
}

// Ampersands are dropped for a second attempt while doubled ones stay; three trailing dots and
// blanks are kept around the translation; a line break finds its backslash-n entry; missing
// texts fall back on English and unknown ones stay as they are.
TEST_F(LanguageTest, TranslationsFollowTheLookupRules) {
    const struct {
        const char *text, *from, *to, *expected;
    } cases[] = {
        {"Open &Media File", "English", "German", "&Mediendatei öffnen"},
        {"&Save && Exit", "English", "German", "Speichern && Beenden"},
        {"Preferences...", "English", "German", "Einstellungen..."},
        {"Unknown...", "English", "German", "Unknown..."},
        {"...", "English", "German", "..."},
        {"Unrecognizable Playlist File Format. ", "English", "German", "Unbekanntes Format. "},
        {"First line\nSecond line", "English", "German", "Erste Zeile\nZweite Zeile"},
        {"First line\r\nSecond line", "English", "German", "Erste Zeile\nZweite Zeile"},
        {"Only In English", "English", "German", "Only In English"},
        {"Open Media File", "English", "Klingon", "Open Media File"},
        {"Open Media File", "Klingon", "German", "Open Media File"},
        {"Nur Deutsch", "German", "French", "Nur Deutsch"},
        {"Preferences", "German", "French", "Préférences"}, // looked up in English
        {"Einstellungen...", "German", "French", "Préférences..."},
        {"Einstellungen", "German", "English", "Preferences"},
        // Known by number but held by neither language: the wording stays rather than vanish.
        {"Nur Deutsch", "German", "English", "Nur Deutsch"},
        {"Known Only By Number", "English", "French", "Known Only By Number"},
        {"Preferences", "English", "English", "Preferences"},
        {"", "English", "German", ""},
        {"Open Media File", "English", "../Outside", "Open Media File"},
    };
    WriteFile(m_folder.Path() + "/../Outside.ini", "10=Outside\n");
    for (const auto& c : cases)
        EXPECT_EQ(shell::Translate(c.text, c.from, c.to), c.expected) << c.text << " " << c.to;
    EXPECT_EQ(shell::LanguageFilePath("../Outside"), "") << "not a file name of the folder";
    ::unlink((m_folder.Path() + "/../Outside.ini").c_str());
    for (const auto& [text, number] :
         std::vector<std::pair<std::string, int>>{{"Open &Media File", 10},
                                                  {"&Save && Exit", 11},
                                                  {"Save & Exit", 0},
                                                  {"&", 0},
                                                  {"First line\\nSecond line", 13}})
        EXPECT_EQ(shell::TextNumber(text, "English"), number) << text;
    EXPECT_EQ(shell::TextNumber("Only In English", "German"), 15);
    EXPECT_EQ(shell::EscapeLineBreaks("a\r\nb\nc"), "a\\nb\\nc");

    EXPECT_EQ(shell::TranslateText("Preferences"), "Preferences");
    shell::SetCurrentLanguage("German");
    EXPECT_EQ(shell::TranslateText("Preferences..."), "Einstellungen...");
    EXPECT_EQ(shell::TranslateToEnglish("Einstellungen"), "Preferences");
    shell::SetCurrentLanguage("French");
    EXPECT_EQ(shell::LanguageFilePath(""), m_folder.Path() + "/French.ini");
}

TEST_F(LanguageTest, AnEditedFileIsReadAgainAndAnUnchangedOneIsNot) {
    const std::string english = shell::LanguageFilePath("English");
    EXPECT_EQ(shell::LookupTextByNumber(english, "12", ""), "Preferences");
    const std::size_t reads = shell::CLanguageFileCache::Instance().ReadCount();
    EXPECT_EQ(shell::LookupTextByNumber(english, "10", ""), "Open Media File");
    EXPECT_EQ(shell::LookupNumberByText(english, "Preferences"), "12");
    EXPECT_EQ(shell::CLanguageFileCache::Instance().ReadCount(), reads);

    // Same size, another modification time: the new wording is seen.
    std::string edited = kEnglishFile;
    edited.replace(edited.find("Preferences"), 11, "Preferencez");
    m_folder.Write("English", edited);
    const timespec times[2] = {{0, UTIME_OMIT}, {1000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, english.c_str(), times, 0), 0);
    EXPECT_EQ(shell::LookupTextByNumber(english, "12", ""), "Preferencez");
    EXPECT_EQ(shell::CLanguageFileCache::Instance().ReadCount(), reads + 1);

    // Grown beyond the read limit: refused unread, like a missing file, and said once.
    std::filesystem::resize_file(english, 9u << 20);
    EXPECT_EQ(shell::LookupTextByNumber(english, "12", "large"), "large");
    EXPECT_EQ(shell::LookupTextByNumber(english, "10", "large"), "large");
    EXPECT_EQ(shell::CLanguageFileCache::Instance().ReadCount(), reads + 1);

    ::unlink(english.c_str());
    EXPECT_EQ(shell::LookupTextByNumber(english, "12", "gone"), "gone");
}

TEST_F(LanguageTest, TheSwitchTranslatesWhileTheOldLanguageIsCurrentThenMakesTheNewOneCurrent) {
    EXPECT_EQ(shell::LanguageFromMenuText("Deutsch\t[German]"), "German");
    EXPECT_EQ(shell::LanguageFromMenuText("Deutsch [German]"), std::nullopt);
    EXPECT_EQ(shell::LanguageFromMenuText("Deutsch\t"), std::nullopt);

    std::vector<std::string> calls;
    auto translate = [&](const std::string& to) {
        calls.push_back(shell::GetCurrentLanguage() + "->" + to);
    };
    EXPECT_TRUE(shell::SwitchLanguageByCommand(9026, translate)); // English, French, German
    EXPECT_EQ(shell::GetCurrentLanguage(), "German");
    EXPECT_FALSE(shell::SwitchLanguage("German", translate));
    EXPECT_TRUE(shell::SwitchLanguage("French", translate));
    EXPECT_EQ(calls, (std::vector<std::string>{"English->German", "German->French"}));
    EXPECT_EQ(shell::GetCurrentLanguage(), "French");

    // Only the first sixty-four languages get items.
    for (int i = 0; i < 70; ++i)
        WriteFile(m_folder.Path() + "/Lang" + std::to_string(100 + i) + ".ini", "10=x\n");
    const auto items = shell::BuildLanguageMenuItems();
    ASSERT_EQ(items.size(), 64u);
    EXPECT_EQ(items.back().nId, 9087);
    EXPECT_FALSE(shell::SwitchLanguageByCommand(9088, {}));
}
