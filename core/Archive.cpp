#include "core/Archive.h"

#include "core/ObjBase.h"
#include "core/TextEncoding.h"

#include <cstring>
#include <memory>

namespace {

constexpr std::uint16_t kNullTag = 0x0000;
constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kBigTag = 0x7FFF; // a DWORD tag follows
constexpr std::uint32_t kClassBit = 0x80000000u;
constexpr std::uint16_t kWideMark = 0xFFFE; // after the 0xFF length byte: a UTF-16 string
constexpr std::size_t kMaxClassName = 64;   // names of 64 bytes or more are refused

} // namespace

CArchive::CArchive() : m_bStoring(true) {}

CArchive::CArchive(std::string_view data) : m_bStoring(false), m_in(data) {
    m_loaded.push_back({}); // index 0: the null pointer
}

void CArchive::Fail(ArchiveError e) {
    if (m_error == ArchiveError::None)
        m_error = e;
}

// ---- storing --------------------------------------------------------------------------

void CArchive::WriteByte(std::uint8_t v) {
    m_out += char(v);
}

void CArchive::WriteWord(std::uint16_t v) {
    const char b[2] = {char(v & 0xFF), char(v >> 8)};
    m_out.append(b, 2);
}

void CArchive::WriteDWord(std::uint32_t v) {
    const char b[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF),
                       char(v >> 24)};
    m_out.append(b, 4);
}

void CArchive::WriteString(std::string_view s) {
    const std::size_t len = s.size();
    if (len < 0xFF) {
        WriteByte(std::uint8_t(len));
    } else if (len < 0xFFFE) {
        WriteByte(0xFF);
        WriteWord(std::uint16_t(len));
    } else {
        WriteByte(0xFF);
        WriteWord(0xFFFF);
        WriteDWord(std::uint32_t(len));
    }
    m_out.append(s);
}

void CArchive::WriteCount(std::uint32_t n) {
    if (n < 0xFFFF) {
        WriteWord(std::uint16_t(n));
    } else {
        WriteWord(0xFFFF);
        WriteDWord(n);
    }
}

void CArchive::WriteClass(const CRuntimeClass* c) {
    if (auto it = m_storedClasses.find(c); it != m_storedClasses.end()) {
        if (it->second < kBigTag) {
            WriteWord(std::uint16_t(kClassBit >> 16 | it->second));
        } else {
            WriteWord(kBigTag);
            WriteDWord(kClassBit | it->second);
        }
        return;
    }
    const std::string_view name = c->m_lpszClassName;
    WriteWord(kNewClassTag);
    WriteWord(c->m_wSchema);
    WriteWord(std::uint16_t(name.size()));
    m_out.append(name);
    m_storedClasses.emplace(c, m_nNextIndex++);
}

void CArchive::WriteObject(const CObjBase* obj) {
    if (!obj) {
        WriteWord(kNullTag);
        return;
    }
    if (auto it = m_storedObjects.find(obj); it != m_storedObjects.end()) {
        if (it->second < kBigTag) {
            WriteWord(std::uint16_t(it->second));
        } else {
            WriteWord(kBigTag);
            WriteDWord(it->second);
        }
        return;
    }
    WriteClass(obj->GetRuntimeClass());
    m_storedObjects.emplace(obj, m_nNextIndex++);
    // Serialize does not change a storing object; the archive interface is shared with loading.
    const_cast<CObjBase*>(obj)->Serialize(*this);
}

// ---- loading --------------------------------------------------------------------------

const std::uint8_t* CArchive::Take(std::size_t n) {
    if (Failed() || Remaining() < n) {
        Fail(ArchiveError::EndOfFile);
        return nullptr;
    }
    const auto* p = reinterpret_cast<const std::uint8_t*>(m_in.data() + m_pos);
    m_pos += n;
    return p;
}

std::uint8_t CArchive::ReadByte() {
    const std::uint8_t* p = Take(1);
    return p ? p[0] : 0;
}

std::uint16_t CArchive::ReadWord() {
    const std::uint8_t* p = Take(2);
    return p ? std::uint16_t(p[0] | (p[1] << 8)) : 0;
}

std::uint32_t CArchive::ReadDWord() {
    const std::uint8_t* p = Take(4);
    return p ? std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
                   (std::uint32_t(p[3]) << 24)
             : 0;
}

std::string CArchive::ReadWideChars(std::uint32_t units) {
    // Check the size before allocating: the length may be anything a damaged file says.
    if (Remaining() / 2 < units) {
        Fail(ArchiveError::EndOfFile);
        return {};
    }
    const std::uint8_t* p = Take(std::size_t(units) * 2);
    std::vector<std::uint16_t> wide(units);
    for (std::size_t i = 0; i < units; ++i)
        wide[i] = std::uint16_t(p[2 * i] | (p[2 * i + 1] << 8));
    return core::Utf16ToUtf8(wide.data(), wide.size());
}

std::string CArchive::ReadString() {
    std::uint32_t len = ReadByte();
    if (len == 0xFF) {
        const std::uint16_t w = ReadWord();
        if (w == kWideMark) {
            // The wide form repeats the length prefix, now counting 16-bit units.
            std::uint32_t units = ReadByte();
            if (units == 0xFF) {
                const std::uint16_t w2 = ReadWord();
                if (w2 == kWideMark) {
                    Fail(ArchiveError::EndOfFile); // no valid string starts this way
                    return {};
                }
                units = w2 < 0xFFFF ? w2 : ReadDWord();
            }
            return ReadWideChars(units);
        }
        len = w < 0xFFFF ? w : ReadDWord();
    }
    const std::uint8_t* p = Take(len);
    return p ? std::string(reinterpret_cast<const char*>(p), len) : std::string();
}

std::uint32_t CArchive::ReadCount() {
    const std::uint16_t w = ReadWord();
    return w < 0xFFFF ? w : ReadDWord();
}

const CRuntimeClass* CArchive::ReadClassTag(std::uint16_t word, std::uint32_t tag) {
    if (word == kNewClassTag) {
        ReadWord(); // schema: every class is versionable, so any stored number is accepted
        const std::uint16_t len = ReadWord();
        if (Failed())
            return nullptr;
        if (len >= kMaxClassName) {
            Fail(ArchiveError::BadClass);
            return nullptr;
        }
        const std::uint8_t* p = Take(len);
        if (!p)
            return nullptr;
        const CRuntimeClass* c =
            CRuntimeClass::FromName(std::string_view(reinterpret_cast<const char*>(p), len));
        if (!c) {
            Fail(ArchiveError::BadClass);
            return nullptr;
        }
        m_loaded.push_back({c, nullptr});
        return c;
    }
    const std::uint32_t index = tag & ~kClassBit;
    if (index >= m_loaded.size() || !m_loaded[index].cls) {
        Fail(ArchiveError::BadIndex);
        return nullptr;
    }
    return m_loaded[index].cls;
}

CObjBase* CArchive::ReadObject(const CRuntimeClass* expected, bool& created) {
    created = false;
    const std::uint16_t word = ReadWord();
    const std::uint32_t tag =
        word == kBigTag ? ReadDWord() : ((std::uint32_t(word & 0x8000) << 16) | (word & 0x7FFF));
    if (Failed())
        return nullptr;
    if (word != kNewClassTag && !(tag & kClassBit)) {
        // A reference to an object read earlier (0 is null).
        if (tag >= m_loaded.size() || (tag != 0 && !m_loaded[tag].obj)) {
            Fail(ArchiveError::BadIndex);
            return nullptr;
        }
        CObjBase* obj = m_loaded[tag].obj;
        if (obj && !obj->IsKindOf(expected)) {
            Fail(ArchiveError::BadClass);
            return nullptr;
        }
        return obj;
    }
    const CRuntimeClass* c = ReadClassTag(word, tag);
    if (!c)
        return nullptr;
    if (!c->IsDerivedFrom(expected) || !c->m_pfnCreateObject) {
        Fail(ArchiveError::BadClass);
        return nullptr;
    }
    std::unique_ptr<CObjBase> obj(c->CreateObject());
    const std::size_t slot = m_loaded.size();
    m_loaded.push_back({nullptr, obj.get()});
    obj->Serialize(*this);
    if (Failed()) {
        m_loaded[slot].obj = nullptr;
        return nullptr;
    }
    created = true;
    return obj.release();
}

// ---- both directions ----------------------------------------------------------------------

void CArchive::Transfer(std::int32_t& v) {
    if (m_bStoring)
        WriteInt32(v);
    else
        v = ReadInt32();
}

void CArchive::Transfer(std::string& s) {
    if (m_bStoring)
        WriteString(s);
    else
        s = ReadString();
}
