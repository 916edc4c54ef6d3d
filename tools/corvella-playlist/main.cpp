// corvella-playlist: reads playlists and media files the way the player does, prints their
// clips as JSON lines or writes them as one playlist (.mpl, .m3u, .m3u8, .pls or .xspf).
#include "core/PlaylistExport.h"
#include "core/PlaylistFile.h"
#include "core/PlaylistPaths.h"
#include "platform/FileSystem.h"
#include "tools/corvella-playlist/ClipJson.h"

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "Usage: corvella-playlist show FILE...\n"
    "       corvella-playlist convert FILE... -o OUT\n"
    "\n"
    "Reads media files and playlists (.mpl, .m3u, .m3u8, .pls, .xspf) as the player adds\n"
    "them.\n"
    "\n"
    "  show      print one JSON object per clip, one per line, with the keys class, path,\n"
    "            typeName, title, infoLoaded, playable, reserved, fileSize, modified and\n"
    "            duration\n"
    "  convert   write all clips to OUT; its extension chooses the format: .mpl (the\n"
    "            player's own), .m3u or .m3u8 (extended M3U, UTF-8), .pls or .xspf;\n"
    "            clips in OUT's folder or below are written relative to it\n"
    "  -o, --output OUT   the file convert writes (replaced as a whole)\n"
    "  --                 every later argument is a FILE\n"
    "  -h, --help         show this text\n"
    "\n"
    "Exit status: 0 when every FILE was read (and OUT written), 1 otherwise, 2 for a usage\n"
    "error. Messages about files go to standard error.\n";

struct Options {
    std::string command;
    std::vector<std::string> files;
    std::optional<std::string> output;
};

int UsageError(const std::string& message) {
    std::cerr << "corvella-playlist: " << message << "\n"
              << "Try 'corvella-playlist --help'.\n";
    return kExitUsage;
}

// Parses the command line; returns an exit code when the program should end at once.
std::optional<int> ParseArguments(int argc, char** argv, Options& opt) {
    bool filesOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!filesOnly && (arg == "-h" || arg == "--help")) {
            std::cout << kUsage;
            return kExitOk;
        }
        if (!filesOnly && arg == "--") {
            filesOnly = true;
        } else if (!filesOnly && (arg == "-o" || arg == "--output")) {
            if (i + 1 >= argc)
                return UsageError("option " + arg + " needs a file name");
            if (opt.output)
                return UsageError("only one output file may be given");
            opt.output = argv[++i];
        } else if (!filesOnly && arg.size() > 1 && arg[0] == '-') {
            return UsageError("unknown option " + arg);
        } else if (opt.command.empty()) {
            opt.command = arg;
        } else {
            opt.files.push_back(arg);
        }
    }
    if (opt.command != "show" && opt.command != "convert")
        return UsageError(opt.command.empty() ? "no command given"
                                              : "unknown command " + opt.command);
    if (opt.files.empty())
        return UsageError("no FILE given");
    if (opt.command == "show" && opt.output)
        return UsageError("show takes no output file");
    if (opt.command == "convert" && !opt.output)
        return UsageError("convert needs an output file (-o OUT)");
    return std::nullopt;
}

void PrintError(const std::string& caption, const std::string& text) {
    std::cerr << caption << "\n" << text << "\n";
}

// Paths of the output must not depend on where the tool ran: relative FILEs are made absolute,
// and with them the relative entries of the playlists they name.
std::vector<std::string> AbsolutePaths(const std::vector<std::string>& files) {
    const std::string cwd = platform::GetCurrentFolder();
    std::vector<std::string> out;
    for (const std::string& f : files)
        out.push_back(f.starts_with('/') || cwd.empty() ? f : cwd + "/" + f);
    return out;
}

// Reads every FILE into the list; false when any of them could not be read.
bool ReadInputs(const std::vector<std::string>& files, CObjListClip& list) {
    const core::AddFilesResult result =
        core::AddFiles(list, AbsolutePaths(files), false, nullptr, PrintError);
    for (const std::string& path : result.skippedPaths)
        std::cerr << "corvella-playlist: " << path << ": not a readable media file\n";
    return result.failedPaths.empty() && result.skippedPaths.empty();
}

bool WriteText(const std::string& path, const core::ExportText& out) {
    for (const std::string& skipped : out.skippedPaths)
        std::cerr << "corvella-playlist: left out a clip whose path holds a line break: "
                  << core::FileNamePart(skipped) << "\n";
    if (!platform::WriteFileAtomically(path, out.text)) {
        core::ReportFileError(PrintError, 112, path);
        return false;
    }
    return out.skippedPaths.empty();
}

bool WriteOutput(const std::string& path, const CObjListClip& list) {
    const std::string ext = core::ToLowerAscii(core::Extension(path));
    const std::string folder(core::FolderPart(AbsolutePaths({path}).front()));
    if (ext == "m3u" || ext == "m3u8")
        return WriteText(path, core::FormatExtendedM3u(list, folder));
    if (ext == "pls")
        return WriteText(path, core::FormatPls(list, folder));
    if (ext == "xspf")
        return WriteText(path, core::FormatXspf(list, folder));
    return core::SavePlaylist(list, path, PrintError);
}

bool KnownOutputType(const std::string& path) {
    const std::string ext = core::ToLowerAscii(core::Extension(path));
    return ext == "mpl" || ext == "m3u" || ext == "m3u8" || ext == "pls" || ext == "xspf";
}

} // namespace

int main(int argc, char** argv) {
    Options opt;
    if (auto exitCode = ParseArguments(argc, argv, opt))
        return *exitCode;
    if (opt.output && !KnownOutputType(*opt.output))
        return UsageError("the output file must end in .mpl, .m3u, .m3u8, .pls or .xspf");

    CObjListClip list;
    bool ok = ReadInputs(opt.files, list);
    if (opt.command == "show") {
        for (std::size_t i = 0; i < list.GetCount(); ++i)
            std::cout << ClipToJson(*list.GetAt(i)) << "\n";
        std::cout.flush();
        ok = ok && std::cout.good();
    } else {
        ok = WriteOutput(*opt.output, list) && ok;
    }
    return ok ? kExitOk : kExitFailed;
}
