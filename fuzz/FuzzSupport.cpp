#include "fuzz/FuzzSupport.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fuzzsupport {

void EnsureApplication() {
    // Never destroyed: at exit the widgets of the last input are long gone, but Qt's own
    // teardown from a static destructor runs after parts of Qt it needs.
    static QApplication* app = nullptr;
    if (app)
        return;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "corvella-fuzz";
    static char* argv[] = {name, nullptr};
    app = new QApplication(argc, argv);
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
    // Written in place without syncing: the file lives for one input, and a sync per input
    // would make the run a hundred times slower.
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (!file || std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "corvella-fuzz: cannot write %s\n", path.c_str());
        std::abort();
    }
    return path;
}

} // namespace fuzzsupport
