#include "shell/VersionInfo.h"

#include "core/Archive.h"
#include "res/StringTable.h"

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

int CVersionInfo::Parse(const std::string& content) {
    std::string* const fields[] = {&m_strLatestVersion, &m_strReleaseDate, &m_strSize,
                                   &m_strMoreInfoUrl,   &m_strDownloadUrl, &m_strReserved1,
                                   &m_strReserved2};
    for (std::string* field : fields)
        field->clear();
    m_strWhatsNew.clear();
    std::size_t number = 0;
    std::size_t at = 0;
    while (at < content.size()) {
        std::size_t end = content.find('\n', at);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(at, end - at);
        if (line.ends_with('\r'))
            line.pop_back(); // line ends are not part of the lines, whichever the server sends
        at = end + 1;
        ++number;
        if (number >= 17)
            m_strWhatsNew += line + "\r\n";
        else if (number >= 3 && number % 2 == 1)
            *fields[(number - 3) / 2] = line;
    }
    return 1;
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

} // namespace shell
