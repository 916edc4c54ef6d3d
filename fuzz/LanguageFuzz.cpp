// Language files: the line parser and the line-break escapes of their values.
#include "fuzz/FuzzSupport.h"
#include "shell/LanguageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(fuzzsupport::AsText(data, size));
    for (const shell::LanguageEntry& entry : shell::ParseLanguageFile(text)) {
        const std::string shown = shell::UnescapeLineBreaks(entry.strValue);
        (void)shell::EscapeLineBreaks(shown);
        (void)shell::EqualsNoCase(entry.strKey, "9024");
    }
    return 0;
}
