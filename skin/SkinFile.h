// The line grammar of the skin description files. Lines starting with "//" are comments;
// every other line (an empty one too) is a value line whose meaning is its position. Number
// lines are comma-separated decimal integers parsed into one table shared by all readers.
#pragma once

#include "platform/WinTypes.h"
#include "skin/SkinImage.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class CWnd;

namespace skin {

constexpr int kNumberSlots = 30;
constexpr int kHeaderLines = 5;

// Parses a number line into the shared table and returns how many fields it had (at most 30;
// later fields are ignored). A field without digits reads as 0.
int ParseNumbers(const std::string& strLine);
// Value i of the last parsed line (0 outside the table).
int GetNumber(int i);
const int* GetNumbers();
// Red, green and blue from values 0, 1 and 2 of the line; missing ones are 0.
COLORREF ParseColour(const std::string& strLine);

// The skin folder: the program folder followed by "Test Skin/".
std::string GetSkinFolder();

// Reads one description file value line by value line. Every Read operation returns false
// when the file ends before the value, or when the value is unusable, so a window's loader
// can stop at the first false.
class CSkinFileReader {
public:
    // False when the file is missing or cannot be read.
    bool Open(const std::string& strPath);
    bool ReadValueLine(std::string& strLine);
    bool SkipHeader();
    // A number line that must hold at least nCount fields; the values are in the shared table.
    bool ReadNumbers(int nCount);
    bool ReadColour(COLORREF& colour);
    // An image file line: the file name is appended unchanged to the skin folder.
    bool ReadImage(std::unique_ptr<CSkinImage>& pOut, const std::string& strFolder, CDC* pRef);
    // A cursor file line. The cursor goes into its slot even when it could not be loaded (the
    // slot is then empty); only the end of the file fails.
    bool ReadCursor(int nSlot, const std::string& strFolder);

    // A control line of the kind T (T::kLineNumbers numbers, T::CreateFromLine).
    template <class T> bool ReadControl(T& ctrl, CWnd* pParent, UINT nID, CSkinImage* pImage) {
        return ReadNumbers(T::kLineNumbers) &&
               ctrl.CreateFromLine(pParent, nID, pImage, GetNumbers());
    }

private:
    std::vector<std::string> m_lines;
    std::size_t m_nNext = 0;
};

} // namespace skin
