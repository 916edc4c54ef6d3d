// The picture control of the update check: animated GIFs, and any other picture it is given.
#include "fuzz/FuzzSupport.h"
#include "shell/PictureEx.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzsupport::EnsureApplication();
    CPictureEx picture;
    if (picture.Load(data, size)) {
        picture.Draw();
        picture.Stop();
    }
    return 0;
}
