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

    static constexpr std::size_t kMaxLineBytes = 1024;
    static constexpr std::size_t kShownLines = 11; // up to the download address

    // Fills the fields from the file's text: 1 when it has the version file's structure, else
    // 0 (with the fields empty). The structure: printable UTF-8 (tabs allowed), no line over
    // kMaxLineBytes, at least kShownLines lines, a version (an optional "v", digits and dots,
    // optionally " (Build:" digits ")"), and a release date and size present. Anything else,
    // a captive portal's page or binary data, is not a version file.
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
// Whether text is a version as a version file gives it (see CVersionInfo::Parse).
bool IsVersionText(const std::string& text);
// Whether an address from the version file may be opened: an http or https address with a
// host and nothing unprintable in it.
bool IsWebAddress(const std::string& address);

} // namespace shell
