// The language files shipped with the program: English holds every string-table text under
// its number, the template and the translations hold the same numbers.
#include "res/StringTable.h"
#include "shell/Language.h"
#include "shell/LanguageFile.h"
#include "tests/shell/ShellTestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

const std::string kSourceFolder = shelltest::kSourceDir + "/res/language/";

std::map<std::string, std::string> Entries(const std::string& path) {
    std::map<std::string, std::string> map;
    for (const auto& e : shell::ParseLanguageFile(shelltest::ReadFile(path)))
        map.emplace(e.strKey, e.strValue); // the first line of a number wins
    return map;
}

std::set<std::string> Keys(const std::map<std::string, std::string>& entries) {
    std::set<std::string> keys;
    for (const auto& [key, value] : entries)
        keys.insert(key);
    return keys;
}

// What English.ini holds for a string-table text: trimmed, line breaks as backslash-n, and
// without a closing "..." (lookups drop those dots and put them back on the result).
std::string AsWritten(const std::string& text) {
    std::string line = shell::EscapeLineBreaks(text);
    line.erase(line.find_last_not_of(" \t") + 1);
    if (line.ends_with("..."))
        line.erase(line.size() - 3);
    return line.substr(line.find_first_not_of(" \t") == std::string::npos
                           ? line.size()
                           : line.find_first_not_of(" \t"));
}

} // namespace

TEST(LanguageFiles, EnglishHoldsEveryStringTableTextUnderItsNumber) {
    const auto english = Entries(kSourceFolder + "English.ini");
    std::size_t count = 0;
    const std::uint32_t* ids = res::StringIds(count);
    std::string missing;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string key = std::to_string(ids[i]);
        const std::string line = key + "=" + AsWritten(res::LoadString(ids[i]));
        auto it = english.find(key);
        if (it == english.end() || key + "=" + it->second != line)
            missing += line + "\n";
    }
    EXPECT_EQ(missing, "") << "English.ini must hold these lines, as the string table has them";
}

TEST(LanguageFiles, TheTemplateAndTheTranslationsHoldTheNumbersOfEnglish) {
    const auto english = Entries(kSourceFolder + "English.ini");
    const auto keys = Keys(english);
    const auto templ = Entries(kSourceFolder + "template.ini");
    EXPECT_EQ(Keys(templ), keys);
    for (const auto& [key, value] : templ)
        EXPECT_EQ(value, "") << "template.ini " << key;
    for (const char* language : {"German.ini", "French.ini"}) {
        const auto translation = Entries(kSourceFolder + language);
        EXPECT_EQ(Keys(translation), keys) << language;
        for (const auto& [key, value] : translation)
            EXPECT_NE(value, "") << language << " " << key;
    }
    // The shown texts are really translated.
    EXPECT_NE(Entries(kSourceFolder + "German.ini").at("106"), english.at("106"));
    EXPECT_NE(Entries(kSourceFolder + "French.ini").at("106"), english.at("106"));
}
