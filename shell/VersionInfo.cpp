#include "shell/VersionInfo.h"

#include "core/Archive.h"
#include "core/TextEncoding.h"
#include "res/StringTable.h"

#include <algorithm>
#include <cctype>

const CRuntimeClass CVersionInfo::classCVersionInfo = {
    "CVersionInfo", 1, &CVersionInfo::CreateObject, &CObjBase::classCObjBase};

void CVersionInfo::Serialize(CArchive& ar) {
    CObjBase::Serialize(ar);
    for (std::string* field :
         {&m_strLatestVersion, &m_strReleaseDate, &m_strSize, &m_strMoreInfoUrl, &m_strDownloadUrl,
          &m_strReserved1, &m_strReserved2, &m_strWhatsNew})
        ar.Transfer(*field);
}

namespace {

// Printable UTF-8: well-formed sequences, no control characters but the tab, no DEL.
bool IsPrintableUtf8(const std::string& line) {
    for (std::size_t i = 0; i < line.size();) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if ((c < 0x20 && c != '\t') || c == 0x7F)
            return false;
        const std::size_t length = core::Utf8SequenceLength(line, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

bool AllDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

} // namespace

int CVersionInfo::Parse(const std::string& content) {
    std::string* const fields[] = {&m_strLatestVersion, &m_strReleaseDate, &m_strSize,
                                   &m_strMoreInfoUrl,   &m_strDownloadUrl, &m_strReserved1,
                                   &m_strReserved2};
    for (std::string* field : fields)
        field->clear();
    m_strWhatsNew.clear();
    std::size_t number = 0;
    std::size_t at = 0;
    bool wellFormed = true;
    while (at < content.size() && wellFormed) {
        std::size_t end = content.find('\n', at);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(at, end - at);
        if (line.ends_with('\r'))
            line.pop_back(); // line ends are not part of the lines, whichever the server sends
        at = end + 1;
        ++number;
        wellFormed = line.size() <= kMaxLineBytes && IsPrintableUtf8(line);
        if (number >= 17)
            m_strWhatsNew += line + "\r\n";
        else if (number >= 3 && number % 2 == 1)
            *fields[(number - 3) / 2] = line;
    }
    if (wellFormed && number >= kShownLines && shell::IsVersionText(m_strLatestVersion) &&
        !m_strReleaseDate.empty() && !m_strSize.empty())
        return 1;
    for (std::string* field : fields)
        field->clear();
    m_strWhatsNew.clear();
    return 0;
}

namespace shell {

std::string ProgramVersion() {
    return res::LoadString(114);
}

bool IsNewerVersion(const std::string& current, const std::string& latest) {
    const std::size_t n = std::min(current.size(), latest.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int a = std::tolower(static_cast<unsigned char>(current[i]));
        const int b = std::tolower(static_cast<unsigned char>(latest[i]));
        if (a != b)
            return a < b;
    }
    return current.size() < latest.size();
}

bool IsVersionText(const std::string& text) {
    std::string rest = text;
    if (rest.starts_with('v') || rest.starts_with('V'))
        rest.erase(0, 1);
    const std::size_t build = rest.find(" (Build:");
    if (build != std::string::npos) {
        const std::string number = rest.substr(build + 8);
        if (!number.ends_with(')') || !AllDigits(number.substr(0, number.size() - 1)))
            return false;
        rest.resize(build);
    }
    // Digits and dots, beginning and ending with a digit, no two dots together.
    return !rest.empty() && std::isdigit(static_cast<unsigned char>(rest.front())) &&
           std::isdigit(static_cast<unsigned char>(rest.back())) &&
           rest.find_first_not_of("0123456789.") == std::string::npos &&
           rest.find("..") == std::string::npos;
}

bool IsWebAddress(const std::string& address) {
    const std::size_t colon = address.find("://");
    if (colon == std::string::npos)
        return false;
    std::string scheme = address.substr(0, colon);
    for (char& c : scheme)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    const std::string rest = address.substr(colon + 3);
    const std::size_t hostEnd = rest.find_first_of("/?#");
    const std::string host = rest.substr(0, hostEnd);
    return (scheme == "http" || scheme == "https") && !host.empty() &&
           host.find('@') == std::string::npos &&
           std::none_of(address.begin(), address.end(),
                        [](char c) { return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F; });
}

} // namespace shell
