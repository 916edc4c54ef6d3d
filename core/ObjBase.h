// Root of every record the program persists with the archive encoding, and the run-time
// class information that lets an archive name a class and create an object of it.
#pragma once

#include <cstdint>
#include <string_view>

class CArchive;
class CObjBase;

// One persisted class: its stored name, schema number and factory. Classes form a chain
// through their base so a reader can check that an object is of the kind it expects.
struct CRuntimeClass {
    const char* m_lpszClassName;
    std::uint16_t m_wSchema;
    CObjBase* (*m_pfnCreateObject)(); // null for classes that are never created from a file
    const CRuntimeClass* m_pBaseClass;

    bool IsDerivedFrom(const CRuntimeClass* base) const;
    CObjBase* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }

    // The registered class of that exact (case-sensitive) name; null when there is none.
    static const CRuntimeClass* FromName(std::string_view name);
};

class CObjBase {
public:
    CObjBase() = default;
    CObjBase(const CObjBase&) = default;
    CObjBase& operator=(const CObjBase&) = default;
    virtual ~CObjBase() = default;

    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual void Serialize(CArchive& ar);

    bool IsKindOf(const CRuntimeClass* c) const { return GetRuntimeClass()->IsDerivedFrom(c); }

    std::int32_t GetVersion() const { return m_nVersion; }
    void SetVersion(std::int32_t v) { m_nVersion = v; }

    static const CRuntimeClass classCObjBase;

protected:
    std::int32_t m_nVersion = 1;
};
