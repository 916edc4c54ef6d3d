// The maker's web pages and the recommendation mail. Addresses are opened with the desktop's
// handler (browser, mail program); when none handles them nothing is reported.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace shell {

// Opens an address; true when something handled it. Tests pass their own.
using UrlOpener = std::function<bool(const std::string&)>;

// String ids of the maker's pages.
enum : std::uint32_t {
    IDS_HOMEPAGE = 115,
    IDS_FEEDBACK = 146,
    IDS_FAQ = 148,
    IDS_TRANSLATIONS = 151,
};

// Opens an address with open, or with the desktop's handler when open is empty.
bool OpenAddress(const std::string& address, const UrlOpener& open = {});
// Opens the address of a string resource, unchanged.
bool OpenMakerPage(std::uint32_t stringId, const UrlOpener& open = {});

// The first "%s" of a format filled with text (the rest of the format as it is).
std::string FormatOne(const std::string& format, const std::string& text);
// The first two "%s" filled one at a time, so a "%s" inside first is left as it is.
std::string FormatTwo(const std::string& format, const std::string& first,
                      const std::string& second);

// Every byte outside the unreserved set (letters, digits, "-._~") as %XX, so a text can sit
// in one part of a link whatever it holds.
std::string PercentEncode(const std::string& text);

// A mail to compose in the user's mail program.
class CMailTo {
public:
    void SetTo(const std::string& s) { m_strTo = s; }
    const std::string& GetTo() const { return m_strTo; }
    void SetCc(const std::string& s) { m_strCc = s; }
    const std::string& GetCc() const { return m_strCc; }
    void SetBcc(const std::string& s) { m_strBcc = s; }
    const std::string& GetBcc() const { return m_strBcc; }
    void SetSubject(const std::string& s) { m_strSubject = s; }
    const std::string& GetSubject() const { return m_strSubject; }
    void SetBody(const std::string& s) { m_strBody = s; }
    const std::string& GetBody() const { return m_strBody; }

    // "mailto:<to>?subject=..&body=..&cc=..&bcc=..", each part percent-encoded ("@" kept in
    // the addresses), so "&", "?", "#" or line breaks in a part cannot cut the link short.
    std::string BuildLink() const;
    // Opens the link; true (a missing mail program is not reported).
    bool Send(const UrlOpener& open = {}) const;

private:
    std::string m_strTo;
    std::string m_strCc;
    std::string m_strBcc;
    std::string m_strSubject;
    std::string m_strBody;
};

// The recommendation mail of "Tell a friend": subject and body from the product name and the
// home page address, no recipients.
CMailTo TellAFriendMail();
bool TellAFriend(const UrlOpener& open = {});

} // namespace shell
