// The built-in skin's bitmaps and cursors, compiled into the program. The skin generator
// (tools/skingen) draws them at build time and writes BuiltInResources(); the geometry they
// follow is res/BuiltInSkinLayout.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

class CSkinImage;

namespace builtin {

struct BuiltInResource {
    int nId;
    const std::uint8_t* pData; // the bytes of a bitmap or cursor file
    std::size_t nSize;
};

// Every built-in resource (generated).
std::span<const BuiltInResource> BuiltInResources();
// Null when the program has no resource of that number.
const BuiltInResource* FindBuiltInResource(int nId);

// Loads a bitmap resource into a new image; false (and no image) when it is missing.
bool LoadBuiltInImage(std::unique_ptr<CSkinImage>& pOut, int nId);
// Fills the six skin cursor slots with the built-in cursors 205 to 210.
void LoadBuiltInCursors();

} // namespace builtin
