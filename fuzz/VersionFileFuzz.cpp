// The maker's version file as the update check reads it, and the comparison of its version.
// Whatever the answer holds, the reader either refuses it with every field empty, or accepts it
// with the structure the dialog relies on; an address only passes the web-page test when it
// is an http or https address.
#include "core/Archive.h"
#include "fuzz/FuzzSupport.h"
#include "shell/VersionInfo.h"

#include <strings.h>

namespace {

bool Refused(const CVersionInfo& info) {
    return info.m_strLatestVersion.empty() && info.m_strReleaseDate.empty() &&
           info.m_strSize.empty() && info.m_strMoreInfoUrl.empty() &&
           info.m_strDownloadUrl.empty() && info.m_strWhatsNew.empty();
}

bool Accepted(const CVersionInfo& info) {
    for (const std::string* field :
         {&info.m_strLatestVersion, &info.m_strReleaseDate, &info.m_strSize, &info.m_strMoreInfoUrl,
          &info.m_strDownloadUrl, &info.m_strReserved1, &info.m_strReserved2})
        if (field->size() > CVersionInfo::kMaxLineBytes || field->find('\0') != std::string::npos)
            return false;
    return shell::IsVersionText(info.m_strLatestVersion) && !info.m_strReleaseDate.empty() &&
           !info.m_strSize.empty();
}

bool WebAddressIsWeb(const std::string& address) {
    return !shell::IsWebAddress(address) || strncasecmp(address.c_str(), "http://", 7) == 0 ||
           strncasecmp(address.c_str(), "https://", 8) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CVersionInfo info;
    const int result = info.Parse(std::string(fuzzsupport::AsText(data, size)));
    if ((result == 1 && !Accepted(info)) || (result == 0 && !Refused(info)) ||
        (result != 0 && result != 1))
        __builtin_trap();
    if (!WebAddressIsWeb(info.m_strMoreInfoUrl) || !WebAddressIsWeb(info.m_strDownloadUrl))
        __builtin_trap();
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
