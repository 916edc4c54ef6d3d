// Stores an archive-serialisable object as one binary registry value, and restores it.
#pragma once

#include "platform/Registry.h"

#include <cstddef>
#include <string>

class CObjBase;

// Where the skinned windows keep their saved states, one binary value each, under
// HKEY_LOCAL_MACHINE.
inline const std::string kWindowStatePath = "Software\\Brenholt\\Corvella";

class CRegObjectStore {
public:
    // Neither a stored value nor an image larger than this is handled.
    static constexpr std::size_t kMaxValueBytes = 65535;

    explicit CRegObjectStore(CObjBase& object) : m_object(object) {}

    // Serialises the object into the value (type binary), creating the key when missing.
    // False when the image would exceed kMaxValueBytes (the stored value is then left as it
    // was, since a larger one could never be read back) or the registry cannot be written.
    bool Save(HKEY root, const std::string& path, const std::string& valueName);
    // The same for an image the caller has already serialised.
    static bool SaveImage(HKEY root, const std::string& path, const std::string& valueName,
                          const std::string& image);

    // Restores the object from the value. False when the key or value is missing, is not
    // binary or is larger than kMaxValueBytes: the object keeps its defaults. True whenever
    // the value could be read, also when its content is damaged: the object then keeps what
    // it read before the damage, and the verbose log says "Bad format in Regfile <name>".
    bool Load(HKEY root, const std::string& path, const std::string& valueName);

private:
    CObjBase& m_object;
};
