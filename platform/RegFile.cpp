#include "platform/RegFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace platform {

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
// Every hive written promises its end line in its second line; a file that promises it and
// lacks it was cut short. Files without the promise (older or written by hand) are read by
// their lines alone.
constexpr std::string_view kEndLine = "; end";
constexpr std::string_view kEndPromise = "; This file ends with the line \"; end\".";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kHexBytesPerLine = 25;
constexpr char kHexDigits[] = "0123456789abcdef";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The number written by 1 to maxDigits hex digits that make up all of text.
std::optional<std::uint32_t> ParseHexNumber(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits)
        return std::nullopt;
    std::uint32_t n = 0;
    for (char c : text) {
        const int digit = HexValue(c);
        if (digit < 0)
            return std::nullopt;
        n = n * 16 + std::uint32_t(digit);
    }
    return n;
}

// ---- Writing

void AppendHexByte(std::string& out, unsigned char c) {
    out += kHexDigits[c >> 4];
    out += kHexDigits[c & 15];
}

void AppendQuoted(std::string& out, const std::string& text) {
    out += '"';
    for (unsigned char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7F) {
                out += "\\x";
                AppendHexByte(out, c);
            } else {
                out += char(c);
            }
        }
    }
    out += '"';
}

// Bytes as "01,02,...", continued on a new indented line after every kHexBytesPerLine bytes.
void AppendHexData(std::string& out, const std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) {
            out += ',';
            if (i % kHexBytesPerLine == 0)
                out += "\\\n  ";
        }
        AppendHexByte(out, static_cast<unsigned char>(bytes[i]));
    }
}

void AppendValue(std::string& out, const std::string& name, const RegValue& value) {
    if (name.empty())
        out += '@';
    else
        AppendQuoted(out, name);
    out += '=';
    if (value.type == REG_SZ) {
        AppendQuoted(out, value.data);
    } else if (value.type == REG_DWORD && value.data.size() == 4) {
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08x", unsigned(BytesToDword(value.data)));
        out += text;
    } else {
        char prefix[24];
        std::snprintf(prefix, sizeof prefix,
                      value.type == REG_BINARY ? "hex:" : "hex(%x):", unsigned(value.type));
        out += prefix;
        AppendHexData(out, value.data);
    }
    out += '\n';
}

void AppendValues(std::string& out, const CRegKey& key, std::size_t& entries) {
    for (const auto& [name, value] : key.Values()) {
        ++entries;
        AppendValue(out, *name, *value);
    }
}

void AppendSubkeys(std::string& out, const CRegKey& key, const std::string& path,
                   std::size_t& entries) {
    for (const CRegKey* sub : key.Subkeys()) {
        ++entries;
        const std::string subPath = path.empty() ? sub->Name() : path + '\\' + sub->Name();
        out += "\n[" + subPath + "]\n";
        AppendValues(out, *sub, entries);
        AppendSubkeys(out, *sub, subPath, entries);
    }
}

// ---- Reading

class CRegFileParser {
public:
    CRegFileParser(std::string_view text, CRegKey& root) : m_text(text), m_root(root) {}

    std::optional<RegParseError> Run();

private:
    bool NextLine(std::string_view& line);
    bool ParseLine(std::string_view line);
    bool ParseSection(std::string_view line);
    bool ParseValueLine(std::string_view line);
    bool ParseData(std::string_view text, RegValue& value);
    bool ParseHexLines(std::string_view first, std::string& bytes);
    bool ParseHexPart(std::string_view part, std::string& bytes);
    bool ReadQuoted(std::string_view s, std::size_t& pos, std::string& out);
    bool ReadEscape(std::string_view s, std::size_t& pos, std::string& out);
    bool CountEntry();
    bool Fail(const char* reason) {
        m_strReason = reason;
        return false;
    }

    std::string_view m_text;
    CRegKey& m_root;
    CRegKey* m_pKey = nullptr; // the key of the current section
    std::size_t m_pos = 0;
    std::size_t m_line = 0;
    std::size_t m_entries = 0;
    std::string m_strReason;
};

std::optional<RegParseError> CRegFileParser::Run() {
    bool headerSeen = false;
    std::string_view line;
    while (NextLine(line)) {
        if (headerSeen) {
            if (!ParseLine(line))
                return RegParseError{m_line, m_strReason};
            continue;
        }
        if (m_line == 1 && line.starts_with(kByteOrderMark))
            line.remove_prefix(kByteOrderMark.size());
        line = TrimRight(line);
        if (line.empty())
            continue;
        if (line != kHeader)
            return RegParseError{m_line, "the first line is not \"REGEDIT4\""};
        headerSeen = true;
    }
    return std::nullopt;
}

bool CRegFileParser::NextLine(std::string_view& line) {
    if (m_pos >= m_text.size())
        return false;
    std::size_t end = m_text.find('\n', m_pos);
    if (end == std::string_view::npos)
        end = m_text.size();
    line = m_text.substr(m_pos, end - m_pos);
    m_pos = end + 1;
    ++m_line;
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    return true;
}

bool CRegFileParser::ParseLine(std::string_view line) {
    line = TrimLeft(line);
    if (TrimRight(line).empty() || line.front() == ';' || line.front() == '#')
        return true;
    if (line.front() == '[')
        return ParseSection(line);
    if (line.front() == '"' || line.front() == '@')
        return ParseValueLine(line);
    return Fail("a line that is neither a section nor a value");
}

bool CRegFileParser::CountEntry() {
    return ++m_entries <= kMaxRegEntries || Fail("too many keys and values");
}

bool CRegFileParser::ParseSection(std::string_view line) {
    // The path ends at the last "]" of the line, so key names may contain "]".
    const std::size_t close = line.rfind(']');
    if (close == std::string_view::npos)
        return Fail("a section without \"]\"");
    if (!TrimRight(line.substr(close + 1)).empty())
        return Fail("text after a section");
    const auto names = SplitKeyPath(std::string(line.substr(1, close - 1)));
    if (!names)
        return Fail("a key path with a bad key name, or too deep");
    CRegKey* key = &m_root;
    for (const std::string& name : *names) {
        CRegKey* sub = key->FindSubkey(name);
        if (!sub) {
            if (!CountEntry())
                return false;
            sub = &key->CreateSubkey(name);
        }
        key = sub;
    }
    m_pKey = key;
    return true;
}

bool CRegFileParser::ParseValueLine(std::string_view line) {
    if (!m_pKey)
        return Fail("a value before the first section");
    std::string name;
    std::size_t pos = 1; // past "@", the default value's name
    if (line.front() == '"') {
        pos = 0;
        if (!ReadQuoted(line, pos, name))
            return false;
    }
    std::string_view rest = TrimLeft(line.substr(pos));
    if (!rest.starts_with('='))
        return Fail("\"=\" missing after a value name");
    RegValue value;
    if (!ParseData(TrimLeft(rest.substr(1)), value))
        return false;
    if (!m_pKey->FindValue(name) && !CountEntry())
        return false;
    m_pKey->SetValue(name, std::move(value));
    return true;
}

bool CRegFileParser::ParseData(std::string_view text, RegValue& value) {
    if (text.starts_with('"')) {
        value.type = REG_SZ;
        std::size_t pos = 0;
        if (!ReadQuoted(text, pos, value.data))
            return false;
        return TrimRight(text.substr(pos)).empty() || Fail("text after a value");
    }
    if (text.starts_with("dword:")) {
        const auto n = ParseHexNumber(TrimRight(text.substr(6)), 8);
        if (!n)
            return Fail("a dword that is not 1 to 8 hex digits");
        value.type = REG_DWORD;
        value.data = DwordToBytes(*n);
        return true;
    }
    if (!text.starts_with("hex"))
        return Fail("a value of unknown form");
    text.remove_prefix(3);
    value.type = REG_BINARY;
    if (text.starts_with('(')) {
        const std::size_t close = text.find(')');
        const auto type = close == std::string_view::npos
                              ? std::nullopt
                              : ParseHexNumber(text.substr(1, close - 1), 8);
        if (!type)
            return Fail("a bad type in \"hex(...)\"");
        value.type = *type;
        text.remove_prefix(close + 1);
    }
    if (!text.starts_with(':'))
        return Fail("\":\" missing after \"hex\"");
    return ParseHexLines(text.substr(1), value.data);
}

// Binary data: lines ending in "\" continue on the next line.
bool CRegFileParser::ParseHexLines(std::string_view first, std::string& bytes) {
    std::string_view part = TrimRight(first);
    for (;;) {
        const bool continued = part.ends_with('\\');
        if (continued)
            part.remove_suffix(1);
        if (!ParseHexPart(part, bytes))
            return false;
        if (!continued)
            return true;
        if (!NextLine(part))
            return Fail("binary data cut short at the end of the file");
        part = TrimRight(TrimLeft(part));
    }
}

// One line's share of "01,02,...": comma-separated bytes of one or two hex digits; the last
// item may be empty (a trailing comma before the continuation, or no data at all).
bool CRegFileParser::ParseHexPart(std::string_view part, std::string& bytes) {
    for (;;) {
        const std::size_t comma = part.find(',');
        const std::string_view item = TrimRight(TrimLeft(part.substr(0, comma)));
        if (comma == std::string_view::npos && item.empty())
            return true;
        const auto byte = ParseHexNumber(item, 2);
        if (!byte)
            return Fail("binary data that is not bytes of hex digits separated by commas");
        bytes += char(*byte);
        if (comma == std::string_view::npos)
            return true;
        part.remove_prefix(comma + 1);
    }
}

// A quoted text starting at s[pos]; leaves pos behind the closing quotation mark.
bool CRegFileParser::ReadQuoted(std::string_view s, std::size_t& pos, std::string& out) {
    for (++pos; pos < s.size(); ++pos) {
        if (s[pos] == '"') {
            ++pos;
            return true;
        }
        if (s[pos] != '\\')
            out += s[pos];
        else if (!ReadEscape(s, pos, out))
            return false;
    }
    return Fail("a text without its closing quotation mark");
}

// The escape whose backslash is at s[pos]; leaves pos at its last character.
bool CRegFileParser::ReadEscape(std::string_view s, std::size_t& pos, std::string& out) {
    if (++pos == s.size())
        return Fail("a text without its closing quotation mark");
    switch (s[pos]) {
    case '\\':
    case '"':
        out += s[pos];
        return true;
    case 'n':
        out += '\n';
        return true;
    case 'r':
        out += '\r';
        return true;
    case 't':
        out += '\t';
        return true;
    case 'x': {
        const auto byte =
            pos + 2 < s.size() ? ParseHexNumber(s.substr(pos + 1, 2), 2) : std::nullopt;
        if (!byte)
            return Fail("\"\\x\" not followed by two hex digits");
        out += char(*byte);
        pos += 2;
        return true;
    }
    default:
        return Fail("an unknown escape after \"\\\"");
    }
}

} // namespace

// True when the line after the header is the end-line promise, or the file ends inside the
// header or the promise, which only a cut can do.
static bool PromisesEndLine(std::string_view text) {
    const std::size_t first = text.find('\n');
    if (first == std::string_view::npos)
        return true;
    std::string_view second = text.substr(first + 1);
    const std::size_t end = second.find('\n');
    if (end == std::string_view::npos)
        return kEndPromise.starts_with(second);
    second = second.substr(0, end);
    if (second.ends_with('\r'))
        second.remove_suffix(1);
    return second == kEndPromise;
}

std::optional<RegParseError> ParseRegFile(const std::string& text, CRegKey& root) {
    std::string_view whole(text);
    if (!PromisesEndLine(whole))
        return CRegFileParser(whole, root).Run();
    // A last line without its line end was cut inside: its value is not read at all.
    std::string_view complete = whole.substr(0, whole.rfind('\n') + 1);
    if (auto error = CRegFileParser(complete, root).Run())
        return error;
    std::string_view last = complete.substr(0, complete.empty() ? 0 : complete.size() - 1);
    last = TrimRight(last.substr(last.rfind('\n') + 1));
    if (last.ends_with('\r'))
        last.remove_suffix(1);
    if (complete.size() == whole.size() && last == kEndLine)
        return std::nullopt;
    const auto lines = std::size_t(std::count(complete.begin(), complete.end(), '\n'));
    return RegParseError{lines + 1, "the file ends before its last line: it was cut short"};
}

std::optional<std::string> FormatRegFile(const CRegKey& root) {
    std::string out(kHeader);
    out += '\n';
    out += kEndPromise;
    out += '\n';
    std::size_t entries = 0;
    if (!root.Values().empty()) {
        out += "\n[]\n";
        AppendValues(out, root, entries);
    }
    AppendSubkeys(out, root, std::string(), entries);
    out += "\n";
    out += kEndLine;
    out += "\n";
    if (out.size() > kMaxRegFileBytes || entries > kMaxRegEntries)
        return std::nullopt;
    return out;
}

} // namespace platform
