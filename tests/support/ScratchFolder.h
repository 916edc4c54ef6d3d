// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes. Also restores the current folder, which some code under test changes.
#pragma once

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace testsupport {

class ScratchFolder {
public:
    ScratchFolder() : m_previousCurrent(std::filesystem::current_path()) {
        std::string tmpl = std::filesystem::temp_directory_path() / "corvella-test-XXXXXX";
        if (!::mkdtemp(tmpl.data()))
            throw std::runtime_error("cannot create a scratch folder");
        m_path = tmpl;
    }
    ~ScratchFolder() {
        namespace fs = std::filesystem;
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
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_path; }
    // Path() + "/" + relative.
    std::string operator/(const std::string& relative) const { return m_path + "/" + relative; }

    // Creates a folder (and its parents) or a file with the given content, below Path().
    std::string MakeFolder(const std::string& relative) const {
        std::filesystem::create_directories(*this / relative);
        return *this / relative;
    }
    std::string MakeFile(const std::string& relative, const std::string& content = "x") const {
        const std::string path = *this / relative;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

private:
    std::string m_path;
    std::string m_previousCurrent;
};

} // namespace testsupport
