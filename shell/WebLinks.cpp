#include "shell/WebLinks.h"

#include "platform/FileSystem.h"
#include "res/StringTable.h"
#include "shell/Language.h"

namespace shell {

namespace {

bool IsUnreserved(unsigned char c, const char* keep) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    for (const char* p = "-._~"; *p; ++p) {
        if (c == static_cast<unsigned char>(*p))
            return true;
    }
    for (const char* p = keep; *p; ++p) {
        if (c == static_cast<unsigned char>(*p))
            return true;
    }
    return false;
}

std::string Encode(const std::string& text, const char* keep) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (IsUnreserved(c, keep)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

} // namespace

std::string FormatOne(const std::string& format, const std::string& text) {
    const std::size_t at = format.find("%s");
    if (at == std::string::npos)
        return format;
    return format.substr(0, at) + text + format.substr(at + 2);
}

bool OpenAddress(const std::string& address, const UrlOpener& open) {
    return open ? open(address) : platform::ShellOpen(address);
}

bool OpenMakerPage(std::uint32_t stringId, const UrlOpener& open) {
    const std::string address = res::LoadString(stringId);
    return !address.empty() && OpenAddress(address, open);
}

std::string PercentEncode(const std::string& text) {
    return Encode(text, "");
}

std::string CMailTo::BuildLink() const {
    // Addresses keep "@" and "," (several recipients) readable; everything else is encoded.
    return "mailto:" + Encode(m_strTo, "@,") + "?subject=" + PercentEncode(m_strSubject) +
           "&body=" + PercentEncode(m_strBody) + "&cc=" + Encode(m_strCc, "@,") +
           "&bcc=" + Encode(m_strBcc, "@,");
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
