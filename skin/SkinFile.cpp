#include "skin/SkinFile.h"

#include "platform/FileSystem.h"
#include "skin/SkinCursor.h"

#include <array>
#include <cctype>
#include <climits>

namespace skin {

namespace {

// Description files are a few kilobytes; anything this large is not one.
constexpr std::uint64_t kMaxDescriptionFile = 1u << 20;

std::array<int, kNumberSlots> g_numbers{};

// Decimal conversion of one field: leading blanks, an optional sign, digits up to the first
// non-digit. Values beyond the 32-bit range are held at its ends.
int ParseField(const std::string& s, std::size_t begin, std::size_t end) {
    std::size_t i = begin;
    while (i < end && std::isspace(static_cast<unsigned char>(s[i])))
        ++i;
    bool negative = false;
    if (i < end && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    long long value = 0;
    for (; i < end && std::isdigit(static_cast<unsigned char>(s[i])); ++i)
        if (value <= INT_MAX)
            value = value * 10 + (s[i] - '0');
    value = negative ? -value : value;
    if (value > INT_MAX)
        return INT_MAX;
    return value < INT_MIN ? INT_MIN : int(value);
}

} // namespace

int ParseNumbers(const std::string& strLine) {
    int count = 0;
    std::size_t begin = 0;
    while (count < kNumberSlots) {
        std::size_t end = strLine.find(',', begin);
        if (end == std::string::npos)
            end = strLine.size();
        g_numbers[std::size_t(count++)] = ParseField(strLine, begin, end);
        if (end == strLine.size())
            break;
        begin = end + 1;
    }
    return count;
}

int GetNumber(int i) {
    return i >= 0 && i < kNumberSlots ? g_numbers[std::size_t(i)] : 0;
}

const int* GetNumbers() {
    return g_numbers.data();
}

COLORREF ParseColour(const std::string& strLine) {
    // Components the line does not give are 0, not what an earlier line left in the table.
    const int count = ParseNumbers(strLine);
    auto part = [count](int i) { return i < count ? BYTE(GetNumber(i)) : BYTE(0); };
    return RGB(part(0), part(1), part(2));
}

std::string GetSkinFolder() {
    return platform::GetProgramFolder() + "Test Skin/";
}

bool CSkinFileReader::Open(const std::string& strPath) {
    m_lines.clear();
    m_nNext = 0;
    if (platform::IsDirectory(strPath))
        return false;
    auto data = platform::ReadWholeFile(strPath, kMaxDescriptionFile);
    if (!data)
        return false;
    // Text mode: lines end at LF, a CR before the LF belongs to the line end.
    std::size_t begin = 0;
    while (begin < data->size()) {
        std::size_t end = data->find('\n', begin);
        if (end == std::string::npos)
            end = data->size();
        std::size_t stop = end;
        if (stop > begin && (*data)[stop - 1] == '\r')
            --stop;
        m_lines.push_back(data->substr(begin, stop - begin));
        begin = end + 1;
    }
    return true;
}

bool CSkinFileReader::ReadValueLine(std::string& strLine) {
    while (m_nNext < m_lines.size()) {
        const std::string& line = m_lines[m_nNext++];
        if (line.compare(0, 2, "//") != 0) {
            strLine = line;
            return true;
        }
    }
    return false;
}

bool CSkinFileReader::SkipHeader() {
    std::string line;
    for (int i = 0; i < kHeaderLines; ++i)
        if (!ReadValueLine(line))
            return false;
    return true;
}

bool CSkinFileReader::ReadNumbers(int nCount) {
    std::string line;
    return ReadValueLine(line) && ParseNumbers(line) >= nCount;
}

bool CSkinFileReader::ReadColour(COLORREF& colour) {
    std::string line;
    if (!ReadValueLine(line))
        return false;
    colour = ParseColour(line);
    return true;
}

bool CSkinFileReader::ReadImage(std::unique_ptr<CSkinImage>& pOut, const std::string& strFolder,
                                CDC* pRef) {
    std::string line;
    if (!ReadValueLine(line)) {
        pOut.reset();
        return false;
    }
    return CSkinImage::Load(pOut, strFolder + line, pRef);
}

bool CSkinFileReader::ReadCursor(int nSlot, const std::string& strFolder) {
    std::string line;
    if (!ReadValueLine(line))
        return false;
    CSkinCursors::Set(nSlot, LoadCursorFile(strFolder + line));
    return true;
}

} // namespace skin
