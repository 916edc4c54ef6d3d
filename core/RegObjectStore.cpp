#include "core/RegObjectStore.h"

#include "core/Archive.h"
#include "core/ObjBase.h"
#include "platform/Log.h"

#include <cstdio>

bool CRegObjectStore::Save(HKEY root, const std::string& path, const std::string& valueName) {
    CArchive ar;
    m_object.Serialize(ar);
    return SaveImage(root, path, valueName, ar.GetBuffer());
}

bool CRegObjectStore::SaveImage(HKEY root, const std::string& path, const std::string& valueName,
                                const std::string& image) {
    CRegistry& registry = CRegistry::Instance();
    if (!registry.KeyExists(root, path) && !registry.CreateKey(root, path))
        return false;
    if (image.size() > kMaxValueBytes) {
        platform::LogWarning("the settings value " + valueName + " is too large to be stored");
        return false;
    }
    return registry.SetBinary(root, path, valueName, image);
}

bool CRegObjectStore::Load(HKEY root, const std::string& path, const std::string& valueName) {
    CRegistry& registry = CRegistry::Instance();
    if (!registry.KeyExists(root, path))
        return false;
    const std::optional<std::string> bytes = registry.QueryBinary(root, path, valueName);
    if (!bytes || bytes->size() > kMaxValueBytes)
        return false;
    CArchive ar(*bytes);
    m_object.Serialize(ar);
    if (ar.Failed()) {
        char line[512];
        std::snprintf(line, sizeof line, "Bad format in Regfile %s", valueName.c_str());
        platform::LogVerbose(line);
    }
    return true;
}
