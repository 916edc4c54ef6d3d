#include "fuzz/FuzzSupport.h"

#include "platform/FileSystem.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace fuzzsupport {

void EnsureApplication() {
    static std::unique_ptr<QApplication> app;
    if (app)
        return;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "corvella-fuzz";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QApplication>(argc, argv);
}

const std::string& ScratchFolder() {
    static const std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "corvella-fuzz-XXXXXX");
        if (!::mkdtemp(pattern.data())) {
            std::perror("corvella-fuzz: cannot make a scratch folder");
            std::abort();
        }
        return pattern;
    }();
    static const struct Remover {
        ~Remover() {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
    } remover;
    return folder;
}

std::string WriteScratchFile(const std::string& name, std::string_view bytes) {
    const std::string path = ScratchFolder() + "/" + name;
    if (!platform::WriteFileAtomically(path, std::string(bytes))) {
        std::fprintf(stderr, "corvella-fuzz: cannot write %s\n", path.c_str());
        std::abort();
    }
    return path;
}

} // namespace fuzzsupport
