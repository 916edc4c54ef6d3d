// Registry hive files: a hive that was read is written and read back to the same text.
#include "fuzz/FuzzSupport.h"
#include "platform/RegFile.h"
#include "platform/RegKey.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CRegKey root;
    if (platform::ParseRegFile(std::string(fuzzsupport::AsText(data, size)), root))
        return 0;
    const auto text = platform::FormatRegFile(root);
    if (!text)
        return 0;
    CRegKey again;
    if (platform::ParseRegFile(*text, again) || platform::FormatRegFile(again) != text)
        __builtin_trap();
    return 0;
}
