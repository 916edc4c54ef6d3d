// The language files shipped with the program: English holds every string-table text under
// its number, the template and the translations hold the same numbers.
#include "res/StringTable.h"
#include "shell/Language.h"
#include "shell/LanguageFile.h"
#include "tests/shell/ShellTestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <ranges>
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
    auto keys = std::views::keys(entries);
    return {keys.begin(), keys.end()};
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

// English holds every string-table text under its number; the template holds the same numbers
// without texts, the translations the same numbers with texts.
TEST(LanguageFiles, EnglishHoldsTheStringTableAndTheOthersItsNumbers) {
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

    for (const char* language : {"template.ini", "German.ini", "French.ini"}) {
        const auto entries = Entries(kSourceFolder + language);
        EXPECT_EQ(Keys(entries), Keys(english)) << language;
        for (const auto& [key, value] : entries)
            EXPECT_EQ(value.empty(), language[0] == 't') << language << " " << key;
        if (language[0] != 't') // the shown texts are really translated
            EXPECT_NE(entries.at("106"), english.at("106")) << language;
    }
}
