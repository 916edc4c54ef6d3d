#include "shell/ProfileSettings.h"

#include "platform/Profile.h"
#include "res/StringTable.h"
#include "shell/Language.h"

namespace shell {

void SetProfileKey() {
    platform::SetRegistryKey("Brenholt\\" + res::LoadString(116));
}

std::string ReadUILanguage() {
    std::string name = platform::GetProfileString(kSectionSettings, kEntryUILanguage, kEnglish);
    return name.empty() ? kEnglish : name;
}

bool WriteUILanguage(const std::string& name) {
    return platform::WriteProfileString(kSectionSettings, kEntryUILanguage, name);
}

} // namespace shell
