// Where the settings live: the profile key, the profile values and their defaults, and the
// registry path of the windows' state values.
#pragma once

#include "core/RegObjectStore.h"

#include <string>

namespace shell {

// HKEY_LOCAL_MACHINE path of the skinned windows' state values ("MainWnd", "PlayListWnd",
// "PlayWnd").
using ::kWindowStatePath;

inline const std::string kSectionSettings = "Settings";
inline const std::string kEntryUILanguage = "UILanguage";
inline const std::string kSectionDownloadCenter = "Download Center";
inline const std::string kEntryCheckEngines = "Check Engines";
inline const std::string kSectionTip = "Tip";
inline const std::string kEntryTipStartUp = "StartUp";
inline const std::string kEntryTipFilePos = "FilePos";
inline const std::string kEntryTipTimeStamp = "TimeStamp";

// Sets the profile key to "Brenholt\" followed by the product name.
void SetProfileKey();

// The user-interface language of the profile; "English" when none (or an empty one) is stored.
std::string ReadUILanguage();
bool WriteUILanguage(const std::string& name);

} // namespace shell
