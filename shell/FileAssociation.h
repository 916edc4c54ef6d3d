// Registration of the program's playlist type ".mpl", done at every start: the document keys
// in the registry's classes hive, and for the desktop a shared-mime-info package for "*.mpl"
// and a desktop entry that names the media types the player opens.
#pragma once

#include "shell/DesktopLaunch.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace shell {

// The strings of one file-type registration. Register writes the extension's keys, then the
// document type's keys; a string left empty writes nothing.
class CFileAssociation {
public:
    void SetExtension(const std::string& s) { m_strExtension = s; }
    const std::string& GetExtension() const { return m_strExtension; }
    void SetContentType(const std::string& s) { m_strContentType = s; }
    const std::string& GetContentType() const { return m_strContentType; }
    void SetShellOpenCommand(const std::string& s) { m_strShellOpenCommand = s; }
    const std::string& GetShellOpenCommand() const { return m_strShellOpenCommand; }
    void SetShellNewCommand(const std::string& s) { m_strShellNewCommand = s; }
    const std::string& GetShellNewCommand() const { return m_strShellNewCommand; }
    void SetShellNewFileName(const std::string& s) { m_strShellNewFileName = s; }
    const std::string& GetShellNewFileName() const { return m_strShellNewFileName; }
    void SetDocTypeName(const std::string& s) { m_strDocTypeName = s; }
    const std::string& GetDocTypeName() const { return m_strDocTypeName; }
    void SetDocTypeDescription(const std::string& s) { m_strDocTypeDescription = s; }
    const std::string& GetDocTypeDescription() const { return m_strDocTypeDescription; }
    void SetDocClassId(const std::string& s) { m_strDocClassId = s; }
    const std::string& GetDocClassId() const { return m_strDocClassId; }
    void SetDocShellNewCommand(const std::string& s) { m_strDocShellNewCommand = s; }
    const std::string& GetDocShellNewCommand() const { return m_strDocShellNewCommand; }
    void SetDocDefaultIcon(const std::string& s) { m_strDocDefaultIcon = s; }
    const std::string& GetDocDefaultIcon() const { return m_strDocDefaultIcon; }
    void SetDocShellOpenCommand(const std::string& s) { m_strDocShellOpenCommand = s; }
    const std::string& GetDocShellOpenCommand() const { return m_strDocShellOpenCommand; }

    // True when every value that had a text was stored.
    bool Register() const;

private:
    bool RegisterExtension() const;
    bool RegisterDocType() const;

    std::string m_strExtension; // without the dot
    std::string m_strContentType;
    std::string m_strShellOpenCommand;
    std::string m_strShellNewCommand;
    std::string m_strShellNewFileName;
    std::string m_strDocTypeName;
    std::string m_strDocTypeDescription;
    std::string m_strDocClassId;
    std::string m_strDocShellNewCommand;
    std::string m_strDocDefaultIcon;
    std::string m_strDocShellOpenCommand;
};

// Runs a desktop database tool (program name, arguments) without waiting for it; false when
// it could not be started.
using ToolRunner = std::function<bool(const std::string&, const std::vector<std::string>&)>;

struct DesktopRegistration {
    std::string strDataHome;             // empty: $XDG_DATA_HOME, else ~/.local/share
    ToolRunner runTool;                  // empty: started detached when installed
    std::optional<DesktopLaunch> launch; // none: the running program's
};

struct DesktopFilesResult {
    bool bMimeChanged = false;    // the mime package was (re)written
    bool bDesktopChanged = false; // the desktop entry was (re)written
    bool bFilesOk = false;        // both desktop files hold what they should
};

inline const std::string kPlaylistMimeType = "application/x-corvella-playlist";
std::string PlaylistMimePackage();
// The desktop entry for a launch; the package installs the entry of InstalledLaunch().
std::string DesktopEntry(const DesktopLaunch& launch = InstalledLaunch());
// The MIME types the player opens (the desktop entry's list): media types and playlists.
std::vector<std::string> OpenedMimeTypes();

// The start-up registration of ".mpl" in the classes hive for the program at programPath:
// removes an earlier document type's command, then writes the extension's keys. True when
// the keys were stored; start-up goes on whatever happens here.
bool RegisterPlaylistKeys(const std::string& programPath);

// The desktop's view of the same association: the mime package and the desktop entry,
// rewritten only when they differ, and the database tools started (not waited for) for what
// changed. Nothing here is needed to draw the windows, so start-up runs it after they are
// shown. Failures are reported in the result and the verbose log only.
DesktopFilesResult RegisterDesktopFiles(const DesktopRegistration& desktop = {});

} // namespace shell
