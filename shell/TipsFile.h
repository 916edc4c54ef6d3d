// The tips file: plain text, one tip per line. Lines beginning with a blank, a tab, a line
// break or ";" are comments or empty and are skipped. Reading goes round: at the end of the
// file it starts again from the top.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

class CTipsFile {
public:
    // Longest line kept; the rest of a longer line is skipped.
    static constexpr std::size_t kMaxLine = 1000;

    CTipsFile() = default;
    ~CTipsFile();
    CTipsFile(const CTipsFile&) = delete;
    CTipsFile& operator=(const CTipsFile&) = delete;

    bool Open(const std::string& path);
    bool IsOpen() const { return m_pFile != nullptr; }
    void Close();

    // The file's modification time as text; empty when it cannot be read.
    std::string TimeStamp() const;
    bool Seek(std::int64_t position);
    // Byte offset of the next read; -1 when no file is open.
    std::int64_t Position() const;

    // The next tip with its line end ("\n") when it had one. An empty text when the file holds
    // no tip; nullopt when going back to the start failed.
    std::optional<std::string> NextTip();

private:
    // One line; false at the end of the file.
    bool ReadLine(std::string& line);

    std::FILE* m_pFile = nullptr;
    std::string m_strPath;
};
