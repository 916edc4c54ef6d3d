#include "skin/BuiltInSkin.h"

#include "res/BuiltInSkinLayout.h"
#include "skin/SkinCursor.h"
#include "skin/SkinImage.h"

namespace builtin {

const BuiltInResource* FindBuiltInResource(int nId) {
    for (const BuiltInResource& r : BuiltInResources())
        if (r.nId == nId)
            return &r;
    return nullptr;
}

bool LoadBuiltInImage(std::unique_ptr<CSkinImage>& pOut, int nId) {
    pOut.reset();
    const BuiltInResource* pRes = FindBuiltInResource(nId);
    if (!pRes)
        return false;
    auto pImage = std::make_unique<CSkinImage>();
    if (!pImage->LoadFromResource(pRes->pData, pRes->nSize))
        return false;
    pOut = std::move(pImage);
    return true;
}

void LoadBuiltInCursors() {
    for (std::size_t slot = 0; slot < kCursors.size(); ++slot) {
        const BuiltInResource* pRes = FindBuiltInResource(kCursors[slot]);
        CSkinCursors::Set(int(slot), pRes ? ParseCursorData(pRes->pData, pRes->nSize) : nullptr);
    }
}

} // namespace builtin
