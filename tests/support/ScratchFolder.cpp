#include "tests/support/ScratchFolder.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace testsupport {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
    std::string tmpl = (fs::temp_directory_path() / "corvella-test-XXXXXX").string();
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error("cannot create a scratch folder");
    m_path = tmpl;
    m_previousCurrent = fs::current_path().string();
}

ScratchFolder::~ScratchFolder() {
    std::error_code ec;
    fs::current_path(m_previousCurrent, ec);
    // Folders a test made unreadable must be opened again before they can be removed.
    for (auto it = fs::recursive_directory_iterator(m_path, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(m_path, ec);
}

std::string ScratchFolder::MakeFolder(const std::string& relative) const {
    const std::string path = *this / relative;
    fs::create_directories(path);
    return path;
}

std::string ScratchFolder::MakeFile(const std::string& relative, const std::string& content) const {
    const std::string path = *this / relative;
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

} // namespace testsupport
