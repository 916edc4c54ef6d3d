// The maker's version file as the update check reads it, and the comparison of its version.
#include "core/Archive.h"
#include "fuzz/FuzzSupport.h"
#include "shell/VersionInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CVersionInfo info;
    info.Parse(std::string(fuzzsupport::AsText(data, size)));
    (void)shell::IsNewerVersion("v1.0", info.m_strLatestVersion);
    // What was read is kept as a record; it must read back unchanged.
    CArchive out;
    info.Serialize(out);
    CVersionInfo back;
    CArchive in(out.GetBuffer());
    back.Serialize(in);
    if (in.Failed() || back.m_strWhatsNew != info.m_strWhatsNew)
        __builtin_trap();
    return 0;
}
