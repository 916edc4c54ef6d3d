// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes. Also restores the current folder, which some code under test changes.
#pragma once

#include <string>

namespace testsupport {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_path; }
    // Path() + "/" + relative.
    std::string operator/(const std::string& relative) const { return m_path + "/" + relative; }

    // Creates a folder (and its parents) or a file with the given content, below Path().
    std::string MakeFolder(const std::string& relative) const;
    std::string MakeFile(const std::string& relative, const std::string& content = "x") const;

private:
    std::string m_path;
    std::string m_previousCurrent;
};

} // namespace testsupport
