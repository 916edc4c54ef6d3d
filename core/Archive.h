// The archive: the byte-exact encoding in which the program's records are stored (playlist
// files, window states, preferences). One archive either stores into a memory buffer or loads
// from one; the caller moves the bytes to and from files.
//
// Loading never throws: the first error is kept, every later read returns zero or an empty
// string, and the record code checks Failed() where it would otherwise loop or allocate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CObjBase;
struct CRuntimeClass;

enum class ArchiveError {
    None,
    EndOfFile, // the data ended before the record did
    BadClass,  // an unknown class name, or an object of a kind not allowed at that place
    BadIndex,  // a reference to an object or class that was not read before
};

class CArchive {
public:
    // A storing archive that collects its bytes in memory.
    CArchive();
    // A loading archive over data that must outlive it.
    explicit CArchive(std::string_view data);

    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsStoring() const { return m_bStoring; }
    bool IsLoading() const { return !m_bStoring; }

    // Storing.
    void WriteByte(std::uint8_t v);
    void WriteWord(std::uint16_t v);
    void WriteDWord(std::uint32_t v);
    void WriteInt32(std::int32_t v) { WriteDWord(std::uint32_t(v)); }
    void WriteString(std::string_view s);
    void WriteCount(std::uint32_t n);
    // Writes an object record: null, a reference to an object stored before, or the class
    // (once per archive) followed by the object's own data.
    void WriteObject(const CObjBase* obj);
    void Reserve(std::size_t bytes) { m_out.reserve(bytes); }
    const std::string& GetBuffer() const { return m_out; }
    std::string TakeBuffer() { return std::move(m_out); }

    // Loading.
    std::uint8_t ReadByte();
    std::uint16_t ReadWord();
    std::uint32_t ReadDWord();
    std::int32_t ReadInt32() { return std::int32_t(ReadDWord()); }
    // Reads a counted string; the wide (UTF-16) form is converted to UTF-8.
    std::string ReadString();
    std::uint32_t ReadCount();
    // Reads an object record whose object must be of the kind `expected`. Returns the object
    // (null for a null record or on error); `created` tells whether the caller now owns a new
    // object or got a reference to one read earlier in this archive.
    CObjBase* ReadObject(const CRuntimeClass* expected, bool& created);
    std::size_t Remaining() const { return m_in.size() - m_pos; }
    bool AtEnd() const { return m_pos == m_in.size(); }

    // Both directions: write the value, or read into it.
    void Transfer(std::int32_t& v);
    void Transfer(std::string& s);

    bool Failed() const { return m_error != ArchiveError::None; }
    ArchiveError GetError() const { return m_error; }
    void Fail(ArchiveError e);

private:
    const std::uint8_t* Take(std::size_t n);
    std::string ReadWideChars(std::uint32_t units);
    const CRuntimeClass* ReadClassTag(std::uint16_t word, std::uint32_t tag);
    void WriteClass(const CRuntimeClass* c);

    // Loading: entry i is what index i names; index 0 stands for null.
    struct LoadedEntry {
        const CRuntimeClass* cls = nullptr; // set for a class entry
        CObjBase* obj = nullptr;            // set for an object entry
    };

    bool m_bStoring;
    std::string m_out;
    std::string_view m_in;
    std::size_t m_pos = 0;
    ArchiveError m_error = ArchiveError::None;
    std::uint32_t m_nNextIndex = 1; // storing: the next index to hand out
    std::unordered_map<const CObjBase*, std::uint32_t> m_storedObjects;
    std::unordered_map<const CRuntimeClass*, std::uint32_t> m_storedClasses;
    std::vector<LoadedEntry> m_loaded;
};
