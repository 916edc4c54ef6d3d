#include "shell/Language.h"

#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "res/StringTable.h"
#include "shell/LanguageFile.h"

#include <algorithm>
#include <cstdlib>

namespace shell {

namespace {

std::string g_strCurrent = kEnglish;
std::string g_strSource = kEnglish;
std::string g_strFolder; // empty: the program folder's "language/"

const std::string kDots = "...";
const char* const kBlanks = " \t";

// A key read as a decimal number the way atoi reads it; anything else counts as 0.
int KeyNumber(const std::string& key) {
    return std::atoi(key.c_str());
}

std::string WithoutAmpersands(const std::string& text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            result += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '&') {
            result += "&&"; // a literal ampersand stays as written
            ++i;
        }
    }
    return result;
}

int NumberInFile(const std::string& path, const std::string& text) {
    // An empty wording would match the empty values of an unfinished file.
    return text.empty() ? 0 : KeyNumber(LookupNumberByText(path, text));
}

// The translation of text, which has neither dots nor blanks around it, or empty.
std::string TranslateCore(const std::string& text, const std::string& from, const std::string& to) {
    const int number = TextNumber(text, from);
    if (number == 0)
        return {};
    const std::string key = std::to_string(number);
    std::string result = LookupTextByNumber(LanguageFilePath(to), key, {});
    if (result.empty() && to != kEnglish)
        result = LookupTextByNumber(LanguageFilePath(kEnglish), key, {});
    return result;
}

} // namespace

const std::string& GetCurrentLanguage() {
    return g_strCurrent;
}
void SetCurrentLanguage(const std::string& name) {
    g_strCurrent = name;
}
const std::string& GetSourceLanguage() {
    return g_strSource;
}
void SetSourceLanguage(const std::string& name) {
    g_strSource = name;
}

void SetLanguageFolder(const std::string& folder) {
    g_strFolder = folder.empty() || folder.ends_with('/') ? folder : folder + "/";
}

std::string GetLanguageFolder() {
    return g_strFolder.empty() ? platform::GetProgramFolder() + "language/" : g_strFolder;
}

std::string LanguageFilePath(const std::string& name) {
    const std::string& language = name.empty() ? g_strCurrent : name;
    if (language.empty() || language.find('/') != std::string::npos ||
        language.find('\0') != std::string::npos)
        return {};
    return GetLanguageFolder() + language + ".ini";
}

std::string LookupTextByNumber(const std::string& path, const std::string& key,
                               const std::string& def) {
    const auto entries = CLanguageFileCache::Instance().Get(path);
    if (!entries)
        return def;
    for (const LanguageEntry& e : *entries) {
        if (EqualsNoCase(e.strKey, key))
            return UnescapeLineBreaks(e.strValue);
    }
    return def;
}

std::string LookupNumberByText(const std::string& path, const std::string& text) {
    const auto entries = CLanguageFileCache::Instance().Get(path);
    if (!entries)
        return {};
    const std::string wanted = EscapeLineBreaks(text);
    for (const LanguageEntry& e : *entries) {
        if (EqualsNoCase(e.strValue, wanted))
            return e.strKey;
    }
    return {};
}

int TextNumber(const std::string& text, const std::string& language) {
    const std::string path = LanguageFilePath(language);
    if (path.empty() || !platform::FileExists(path))
        return 0;
    if (int number = NumberInFile(path, text))
        return number;
    if (text.find('&') != std::string::npos) {
        if (int number = NumberInFile(path, WithoutAmpersands(text)))
            return number;
    }
    return language != kEnglish ? TextNumber(text, kEnglish) : 0;
}

std::string Translate(const std::string& text, const std::string& from, const std::string& to) {
    if (text.empty() || from == to)
        return text;
    // Blanks around a text cannot be written in a file whose lines are trimmed: translate
    // the text inside them and put them back.
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos)
        return text;
    const std::size_t last = text.find_last_not_of(kBlanks);
    std::string core = text.substr(first, last - first + 1);
    const bool dots = core.ends_with(kDots);
    if (dots)
        core.erase(core.size() - kDots.size());
    if (core.empty())
        return text;
    std::string result = TranslateCore(core, from, to);
    // A known text that neither language holds keeps its wording rather than going blank.
    if (result.empty())
        return text;
    return text.substr(0, first) + result + (dots ? kDots : "") + text.substr(last + 1);
}

std::string TranslateText(const std::string& text) {
    return Translate(text, g_strSource, g_strCurrent);
}

std::string TranslateToEnglish(const std::string& text) {
    return Translate(text, g_strCurrent, kEnglish);
}

std::string LoadTranslatedString(std::uint32_t id) {
    return TranslateText(res::LoadString(id));
}

int TranslatedMessageBox(CWnd* pOwner, const std::string& text, UINT type) {
    return MessageBox(pOwner, TranslateText(text), res::LoadString(116), type);
}

int TranslatedMessageBox(CWnd* pOwner, std::uint32_t stringId, UINT type) {
    return TranslatedMessageBox(pOwner, res::LoadString(stringId), type);
}

std::vector<std::string> GetLanguageList() {
    std::vector<std::string> names;
    for (const auto& entry : platform::ListFolder(GetLanguageFolder(), "*.ini")) {
        if (entry.isDirectory || entry.name == "template.ini")
            continue;
        names.push_back(entry.name.substr(0, entry.name.rfind('.')));
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace shell
