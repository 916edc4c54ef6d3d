// What the maker's version file says about the latest release. The file is read line by
// line; odd lines hold the values, even lines are labels for the human reader:
//
//   3 latest version   5 release date   7 size   9 "More Info" address   11 download address
//   13, 15 kept, not shown   17 to the end: what is new
#pragma once

#include "core/ObjBase.h"

#include <string>

class CVersionInfo : public CObjBase {
public:
    static const CRuntimeClass classCVersionInfo;
    static CObjBase* CreateObject() { return new CVersionInfo; }
    const CRuntimeClass* GetRuntimeClass() const override { return &classCVersionInfo; }
    void Serialize(CArchive& ar) override;

    // Fills the fields from the file's text; a shorter file leaves the later fields empty.
    // Always 1.
    int Parse(const std::string& content);

    std::string m_strLatestVersion;
    std::string m_strReleaseDate;
    std::string m_strSize;
    std::string m_strMoreInfoUrl;
    std::string m_strDownloadUrl;
    std::string m_strReserved1;
    std::string m_strReserved2;
    std::string m_strWhatsNew; // each line followed by CR LF
};

namespace shell {

// The program's version text (string 114).
std::string ProgramVersion();
// Whether latest is a newer version than current: a plain text comparison without regard to
// letter case, so "v2.1 (Build:4090)" is newer than "v2.1 (Build:4089)" and an empty text is
// never newer.
bool IsNewerVersion(const std::string& current, const std::string& latest);

} // namespace shell
