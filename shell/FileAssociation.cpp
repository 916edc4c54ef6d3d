#include "shell/FileAssociation.h"

#include "platform/FileSystem.h"
#include "platform/Log.h"
#include "platform/Registry.h"
#include "res/StringTable.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <cstdlib>
#include <filesystem>

namespace shell {

namespace {

// A default value in the classes hive. Like the system's registry call, an empty key path or
// an empty text is refused.
bool SetClassesValue(const std::string& path, const std::string& text) {
    if (path.empty() || text.empty())
        return false;
    return CRegistry::Instance().SetString(HKEY_CLASSES_ROOT, path, "", text);
}

// Writes text when set; nothing to write counts as done.
bool SetIfGiven(const std::string& path, const std::string& text) {
    return text.empty() || SetClassesValue(path, text);
}

// The media types the player opens, and its own playlist type.
constexpr const char* kMediaTypes[] = {
    "video/mpeg",
    "video/x-mpeg",
    "video/x-msvideo",
    "video/avi",
    "video/x-ms-asf",
    "video/x-ms-wmv",
    "video/quicktime",
    "audio/mpeg",
    "audio/x-mpeg",
    "audio/mp2",
    "audio/x-wav",
    "audio/wav",
    "audio/x-ms-wma",
    "audio/basic",
    "audio/midi",
    "audio/x-aiff",
    "audio/x-mpegurl",
    "audio/mpegurl",
    "audio/x-scpls",
    "application/vnd.apple.mpegurl",
    "application/xspf+xml",
    "audio/ogg",
    "audio/x-vorbis+ogg",
    "audio/x-opus+ogg",
    "audio/x-speex",
    "audio/flac",
    "audio/x-flac",
    "audio/mp4",
    "audio/x-m4a",
    "audio/aac",
    "audio/x-matroska",
    "audio/webm",
    "audio/x-wavpack",
    "audio/x-ape",
    "audio/x-musepack",
    "audio/ac3",
    "video/mp4",
    "video/x-m4v",
    "video/x-matroska",
    "video/webm",
    "video/ogg",
    "video/3gpp",
    "video/mp2t",
    "video/x-flv",
    "video/dvd",
    "application/vnd.rn-realmedia",
    "audio/vnd.rn-realaudio",
};

// Writes path when its content differs; changed tells whether it was written.
bool UpdateFile(const std::string& path, const std::string& content, bool& changed) {
    changed = false;
    if (platform::ReadWholeFile(path, 1u << 20) == content)
        return true;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    changed = platform::WriteFileAtomically(path, content);
    if (!changed)
        platform::LogWarning("cannot write " + path);
    return changed;
}

bool StartToolDetached(const std::string& program, const std::vector<std::string>& args) {
    const QString found = QStandardPaths::findExecutable(QString::fromStdString(program));
    if (found.isEmpty())
        return false; // not installed: the desktop picks the files up on its next scan
    QStringList list;
    for (const std::string& arg : args)
        list << QString::fromStdString(arg);
    QProcess process;
    process.setProgram(found);
    process.setArguments(list);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

// The desktop reads the files on its next scan anyway, so a tool that does not start is only
// worth a line in the verbose log.
void RunDatabaseTool(const ToolRunner& run, const std::string& program, const std::string& folder) {
    if (!run(program, {folder}))
        platform::LogVerbose(program + " could not be started for " + folder);
}

} // namespace

bool CFileAssociation::Register() const {
    const bool extension = RegisterExtension();
    const bool docType = RegisterDocType();
    // Two further steps of the registration (new-file templates, class ids) store nothing.
    return extension && docType;
}

bool CFileAssociation::RegisterExtension() const {
    if (m_strExtension.empty())
        return true;
    const std::string key = "." + m_strExtension;
    // The document type name may be empty; that write is refused and is no failure.
    SetIfGiven(key, m_strDocTypeName);
    return SetIfGiven(key + "\\shell\\open\\command", m_strShellOpenCommand);
}

bool CFileAssociation::RegisterDocType() const {
    if (m_strDocTypeName.empty())
        return true;
    bool ok = SetIfGiven(m_strDocTypeName, m_strDocTypeDescription);
    ok = SetIfGiven(m_strDocTypeName + "\\DefaultIcon", m_strDocDefaultIcon) && ok;
    return SetIfGiven(m_strDocTypeName + "\\shell\\open\\command", m_strDocShellOpenCommand) && ok;
}

std::string PlaylistMimePackage() {
    const std::string product = res::LoadString(116);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
           "  <mime-type type=\"" +
           kPlaylistMimeType + "\">\n    <comment>" + product +
           " playlist</comment>\n    <glob pattern=\"*." + res::LoadString(103) +
           "\"/>\n  </mime-type>\n</mime-info>\n";
}

std::vector<std::string> OpenedMimeTypes() {
    std::vector<std::string> types(std::begin(kMediaTypes), std::end(kMediaTypes));
    types.push_back(kPlaylistMimeType);
    return types;
}

std::string DesktopEntry(const DesktopLaunch& launch) {
    std::string types;
    for (const std::string& type : OpenedMimeTypes())
        types += type + ";";
    const std::string icon = launch.strIcon.empty() ? "" : "Icon=" + launch.strIcon + "\n";
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           res::LoadString(116) +
           "\n"
           "GenericName=Media Player\n"
           "Comment=Skinned media player for audio, video and CDs\n"
           "Exec=" +
           launch.strExec + " %F\n" + icon +
           "Terminal=false\n"
           "Categories=AudioVideo;Audio;Video;Player;\n"
           "Keywords=music;video;playlist;CD;\n"
           "MimeType=" +
           types + "\n";
}

bool RegisterPlaylistKeys(const std::string& programPath) {
    // An earlier document-type registration must not stay in force.
    const std::string docType = res::LoadString(116) + ".PlayList";
    CRegistry::Instance().DeleteKey(HKEY_CLASSES_ROOT, docType + "\\Shell\\Open\\Command");

    CFileAssociation association;
    association.SetExtension(res::LoadString(103));
    const std::string command = programPath + " \"%1\"";
    association.SetShellOpenCommand(command);
    association.SetDocShellOpenCommand(command);
    association.SetDocDefaultIcon(programPath + ",0");
    return association.Register();
}

DesktopFilesResult RegisterDesktopFiles(const DesktopRegistration& desktop) {
    DesktopFilesResult result;
    const std::string dataHome =
        desktop.strDataHome.empty() ? platform::UserDataHome() : desktop.strDataHome;
    if (dataHome.empty())
        return result;
    const bool mimeOk = UpdateFile(dataHome + "/mime/packages/corvella-playlist.xml",
                                   PlaylistMimePackage(), result.bMimeChanged);
    const DesktopLaunch launch = desktop.launch ? *desktop.launch : RunningProgramLaunch();
    const bool entryOk = UpdateFile(dataHome + "/applications/corvella.desktop",
                                    DesktopEntry(launch), result.bDesktopChanged);
    result.bFilesOk = mimeOk && entryOk;
    const ToolRunner run = desktop.runTool ? desktop.runTool : ToolRunner(StartToolDetached);
    if (result.bMimeChanged)
        RunDatabaseTool(run, "update-mime-database", dataHome + "/mime");
    if (result.bDesktopChanged)
        RunDatabaseTool(run, "update-desktop-database", dataHome + "/applications");
    return result;
}

} // namespace shell
