#include "shell/TipsFile.h"

#include "platform/FileSystem.h"

#include <ctime>

CTipsFile::~CTipsFile() {
    Close();
}

bool CTipsFile::Open(const std::string& path) {
    Close();
    if (platform::IsDirectory(path))
        return false;
    m_pFile = std::fopen(path.c_str(), "rb");
    m_strPath = path;
    return m_pFile != nullptr;
}

void CTipsFile::Close() {
    if (m_pFile)
        std::fclose(m_pFile);
    m_pFile = nullptr;
}

std::string CTipsFile::TimeStamp() const {
    const auto status = platform::GetFileStatus(m_strPath);
    if (!status)
        return {};
    const std::time_t time = static_cast<std::time_t>(status->modified);
    std::tm local{};
    if (!localtime_r(&time, &local))
        return {};
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, "%a %b %d %H:%M:%S %Y", &local);
    return std::string(text, length);
}

bool CTipsFile::Seek(std::int64_t position) {
    if (!m_pFile || position < 0)
        return false;
    std::clearerr(m_pFile);
    return fseeko(m_pFile, static_cast<off_t>(position), SEEK_SET) == 0;
}

std::int64_t CTipsFile::Position() const {
    return m_pFile ? static_cast<std::int64_t>(ftello(m_pFile)) : -1;
}

bool CTipsFile::ReadLine(std::string& line) {
    line.clear();
    int c = 0;
    while ((c = std::fgetc(m_pFile)) != EOF) {
        if (line.size() < kMaxLine)
            line += static_cast<char>(c);
        if (c == '\n')
            break;
    }
    if (c == '\n' && line.back() != '\n')
        line += '\n'; // a cut line keeps its end
    if (line.ends_with("\r\n"))
        line.erase(line.size() - 2, 1);
    return !line.empty();
}

std::optional<std::string> CTipsFile::NextTip() {
    if (!m_pFile)
        return std::nullopt;
    std::string line;
    bool wrapped = false;
    for (;;) {
        if (!ReadLine(line)) {
            // One pass over the whole file found nothing: the file holds no tip.
            if (wrapped)
                return std::string();
            if (!Seek(0))
                return std::nullopt;
            wrapped = true;
            continue;
        }
        const char first = line[0];
        if (first != ' ' && first != '\t' && first != '\n' && first != ';')
            return line;
    }
}
