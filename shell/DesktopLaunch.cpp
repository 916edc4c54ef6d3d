#include "shell/DesktopLaunch.h"

#include "platform/FileSystem.h"

#include <QStandardPaths>
#include <filesystem>

namespace shell {

namespace {

bool HasControlCharacter(const std::string& text) {
    for (char ch : text)
        if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f)
            return true;
    return false;
}

// String values of an entry write a backslash as two.
std::string EscapeValue(const std::string& text) {
    std::string value;
    for (char ch : text) {
        value += ch;
        if (ch == '\\')
            value += '\\';
    }
    return value;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return !a.empty() && !b.empty() && std::filesystem::equivalent(a, b, ec) && !ec;
}

// The largest icon the icon generator draws: in the build tree it lies in the program folder's
// "icons/", in an unpacked copy beside the program folder in share/.
std::string IconFileOfCopy() {
    const std::string folder = platform::GetProgramFolder();
    const std::string icon = "icons/hicolor/256x256/apps/corvella.png";
    for (const std::string& candidate : {folder + icon, folder + "../" + icon})
        if (platform::FileExists(candidate))
            return std::filesystem::weakly_canonical(candidate).string();
    return {};
}

} // namespace

DesktopLaunch InstalledLaunch() {
    return {kCommandName, kCommandName};
}

DesktopLaunch LaunchFor(const std::string& programPath, const std::string& commandFound,
                        const std::string& iconFile) {
    if (SameFile(programPath, commandFound))
        return InstalledLaunch();
    DesktopLaunch launch{ExecArgument(programPath), {}};
    if (launch.strExec.empty())
        launch.strExec = kCommandName; // a path no entry can hold; the command is the best guess
    if (!iconFile.empty() && !HasControlCharacter(iconFile))
        launch.strIcon = EscapeValue(iconFile);
    return launch;
}

DesktopLaunch RunningProgramLaunch() {
    const QString found = QStandardPaths::findExecutable(kCommandName);
    return LaunchFor(platform::GetProgramPath(), found.toStdString(), IconFileOfCopy());
}

std::string ExecArgument(const std::string& path) {
    if (path.empty() || HasControlCharacter(path))
        return {};
    // Inside double quotes the launcher takes '"', '`', '$' and '\' after a backslash, and a
    // literal '%' is written twice so it is not read as a field code.
    std::string quoted = "\"";
    for (char ch : path) {
        if (ch == '"' || ch == '`' || ch == '$' || ch == '\\')
            quoted += '\\';
        quoted += ch;
        if (ch == '%')
            quoted += '%';
    }
    return EscapeValue(quoted + "\"");
}

} // namespace shell
