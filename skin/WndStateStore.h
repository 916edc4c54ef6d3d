// Where the skinned windows keep their saved state: one binary value per window, named after
// the window, under the program's key in HKEY_LOCAL_MACHINE, written by the registry object
// store.
#pragma once

#include <string>

class CObjBase;

namespace skin {

// Stores or restores an object as the window-state value of that name; false when it could not.
bool SaveWndState(CObjBase& object, const std::string& strValueName);
// Stores a state already serialised.
bool SaveWndStateImage(const std::string& image, const std::string& strValueName);
bool LoadWndState(CObjBase& object, const std::string& strValueName);

} // namespace skin
