// The skin generator: draws the built-in skin and writes
//   <source dir>/BuiltInSkinData.cpp  the bitmaps and cursors as byte arrays for the program;
//   <skin dir>/                       the sample skin folder (description files, bitmaps,
//                                     cursors), read by the program through its file path.
#include "Artwork.h"
#include "Writers.h"
#include "res/BuiltInSkinLayout.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

using namespace skingen;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: corvella-skingen SOURCE_DIR SKIN_DIR\n");
        return 2;
    }
    const std::string sourceDir = argv[1];
    const std::string skinDir = argv[2];
    std::error_code ec;
    std::filesystem::create_directories(sourceDir, ec);
    std::filesystem::create_directories(skinDir, ec);

    std::vector<std::pair<int, std::string>> resources;
    bool ok = true;
    std::vector<builtin::ImageSize> images(builtin::kImageSizes.begin(),
                                           builtin::kImageSizes.end());
    images.push_back(builtin::kIconSize);
    for (const builtin::ImageSize& image : images) {
        const std::optional<Canvas> canvas = DrawImage(image.nId);
        if (!canvas || canvas->Width() != image.nWidth || canvas->Height() != image.nHeight) {
            std::fprintf(stderr, "skingen: image %d does not have its size\n", image.nId);
            return 1;
        }
        const std::string bmp = EncodeBmp(*canvas);
        resources.emplace_back(image.nId, bmp);
        ok = WriteFile(skinDir + "/" + image.pszFile, bmp) && ok;
    }
    for (std::size_t slot = 0; slot < builtin::kCursors.size(); ++slot) {
        const std::optional<CursorArt> art = DrawCursor(builtin::kCursors[slot]);
        if (!art)
            return 1;
        const std::string cur = EncodeCur(art->image, art->hotX, art->hotY);
        resources.emplace_back(builtin::kCursors[slot], cur);
        ok = WriteFile(skinDir + "/" + CursorFileNames()[slot], cur) && ok;
    }
    for (const auto& [name, text] : DescriptionFiles())
        ok = WriteFile(skinDir + "/" + name, text) && ok;
    ok = WriteFile(sourceDir + "/BuiltInSkinData.cpp", EncodeResourceSource(resources)) && ok;
    return ok ? 0 : 1;
}
