// Translation of shown texts through the language files in the program folder's "language/"
// folder. A text is looked up by its English (or currently shown) wording in the source
// language's file to find its number; the text under that number is then read from the target
// language's file, with "English", the base language, as the fallback.
#pragma once

#include "platform/WinTypes.h"

#include <cstdint>
#include <string>
#include <vector>

class CWnd;

namespace shell {

inline const std::string kEnglish = "English";

// The language the user interface is in ("English" until the profile is read).
const std::string& GetCurrentLanguage();
void SetCurrentLanguage(const std::string& name);
// The language of the texts about to be translated: "English" except during a switch.
const std::string& GetSourceLanguage();
void SetSourceLanguage(const std::string& name);

// The folder of the language files, ending in '/'. By default the program folder's
// "language/"; tests point it elsewhere (an empty folder restores the default).
void SetLanguageFolder(const std::string& folder);
std::string GetLanguageFolder();

// The file of a language; an empty name means the current language. Empty for a name that
// cannot be a file name of the folder (one holding '/'), which counts as a missing file.
std::string LanguageFilePath(const std::string& name);

// The text under key (line breaks restored), or def when the file cannot be read or no line
// has that key. The first matching line wins; letter case is ignored.
std::string LookupTextByNumber(const std::string& path, const std::string& key,
                               const std::string& def);
// The key of the first line whose text equals text (line breaks written as backslash-n,
// letter case ignored); empty when none.
std::string LookupNumberByText(const std::string& path, const std::string& text);

// The number of a text in a language: the exact wording first, then the wording without its
// ampersands ("&&" kept), then, for a language other than English, the English number. 0 when
// the text is not known (and always when the language has no file).
int TextNumber(const std::string& text, const std::string& language);

// The text in the language to: its number is found in from, its wording read from to, else
// from English. Three trailing dots and blanks around the text are kept. A text without a
// number, or whose number neither to nor English holds, stays as it came in.
std::string Translate(const std::string& text, const std::string& from, const std::string& to);
// From the source language into the current one: every shown text goes through this.
std::string TranslateText(const std::string& text);
std::string TranslateToEnglish(const std::string& text);
// A string resource in the current language.
std::string LoadTranslatedString(std::uint32_t id);

// Shows the translated text in a message box captioned with the product name; returns the
// button pressed.
int TranslatedMessageBox(CWnd* pOwner, const std::string& text, UINT type);
int TranslatedMessageBox(CWnd* pOwner, std::uint32_t stringId, UINT type);

// The language names of the folder's files ("template.ini" is not a language), sorted.
std::vector<std::string> GetLanguageList();

} // namespace shell
