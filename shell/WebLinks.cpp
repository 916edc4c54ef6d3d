#include "shell/WebLinks.h"

#include "core/PlaylistPaths.h"
#include "platform/FileSystem.h"
#include "res/StringTable.h"
#include "shell/Language.h"

namespace shell {

std::string FormatOne(const std::string& format, const std::string& text) {
    const std::size_t at = format.find("%s");
    if (at == std::string::npos)
        return format;
    return format.substr(0, at) + text + format.substr(at + 2);
}

std::string FormatTwo(const std::string& format, const std::string& first,
                      const std::string& second) {
    const std::size_t at = format.find("%s");
    if (at == std::string::npos)
        return format;
    return format.substr(0, at) + first + FormatOne(format.substr(at + 2), second);
}

bool OpenAddress(const std::string& address, const UrlOpener& open) {
    return open ? open(address) : platform::ShellOpen(address);
}

bool OpenMakerPage(std::uint32_t stringId, const UrlOpener& open) {
    const std::string address = res::LoadString(stringId);
    return !address.empty() && OpenAddress(address, open);
}

std::string PercentEncode(const std::string& text) {
    return core::PercentEncode(text);
}

std::string CMailTo::BuildLink() const {
    // Addresses keep "@" and "," (several recipients) readable; everything else is encoded.
    return "mailto:" + core::PercentEncode(m_strTo, "@,") +
           "?subject=" + PercentEncode(m_strSubject) + "&body=" + PercentEncode(m_strBody) +
           "&cc=" + core::PercentEncode(m_strCc, "@,") +
           "&bcc=" + core::PercentEncode(m_strBcc, "@,");
}

bool CMailTo::Send(const UrlOpener& open) const {
    OpenAddress(BuildLink(), open);
    return true;
}

CMailTo TellAFriendMail() {
    CMailTo mail;
    mail.SetSubject(FormatOne(LoadTranslatedString(4505), res::LoadString(116)));
    // The body holds the address alone: a digit written straight after it would send the
    // friend to a page that does not exist.
    mail.SetBody(FormatOne(LoadTranslatedString(4506), res::LoadString(IDS_HOMEPAGE)));
    return mail;
}

bool TellAFriend(const UrlOpener& open) {
    return TellAFriendMail().Send(open);
}

} // namespace shell
