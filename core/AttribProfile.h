// A display profile. Nothing in the program reads or changes one: a profile read from a file
// is carried unchanged and written back unchanged.
#pragma once

#include "core/ObjBase.h"

#include <array>
#include <cstdint>
#include <string>

class CAttribProfile : public CObjBase {
public:
    CAttribProfile();

    const CRuntimeClass* GetRuntimeClass() const override;
    void Serialize(CArchive& ar) override;

    static constexpr int kStrings = 7;   // S0 … S5 before the integers, S6 after them
    static constexpr int kIntegers = 42; // P0 … P41

    const std::string& GetString(int i) const { return m_strings[std::size_t(i)]; }
    void SetString(int i, std::string v) { m_strings[std::size_t(i)] = std::move(v); }
    std::int32_t GetInteger(int i) const { return m_values[std::size_t(i)]; }
    void SetInteger(int i, std::int32_t v) { m_values[std::size_t(i)] = v; }

    static const CRuntimeClass classCAttribProfile;
    static CObjBase* CreateObject() { return new CAttribProfile; }

private:
    std::array<std::string, kStrings> m_strings;
    std::array<std::int32_t, kIntegers> m_values{};
};
