// Where the skinned windows keep their saved state: one binary value per window, named after
// the window, under the program's key in HKEY_LOCAL_MACHINE, written by the registry object
// store. That store still lives with the application's settings (shell/), which this folder
// may not use, so the application hands it over at start-up; until then nothing is saved and
// the windows keep their defaults.
#pragma once

#include <functional>
#include <string>

class CObjBase;

namespace skin {

// Stores or restores an object as the value of that name; false when it could not.
using StateAccess = std::function<bool(CObjBase& object, const std::string& strValueName)>;

struct WndStateStore {
    StateAccess save;
    StateAccess load;
};

void SetWndStateStore(WndStateStore store);
bool SaveWndState(CObjBase& object, const std::string& strValueName);
bool LoadWndState(CObjBase& object, const std::string& strValueName);

} // namespace skin
