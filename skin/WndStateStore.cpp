#include "skin/WndStateStore.h"

#include "core/RegObjectStore.h"

namespace skin {

bool SaveWndState(CObjBase& object, const std::string& strValueName) {
    return CRegObjectStore(object).Save(HKEY_LOCAL_MACHINE, kWindowStatePath, strValueName);
}

bool SaveWndStateImage(const std::string& image, const std::string& strValueName) {
    return CRegObjectStore::SaveImage(HKEY_LOCAL_MACHINE, kWindowStatePath, strValueName, image);
}

bool LoadWndState(CObjBase& object, const std::string& strValueName) {
    return CRegObjectStore(object).Load(HKEY_LOCAL_MACHINE, kWindowStatePath, strValueName);
}

} // namespace skin
