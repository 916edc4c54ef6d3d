#include "core/AttribProfile.h"

#include "core/Archive.h"

const CRuntimeClass CAttribProfile::classCAttribProfile = {
    "CAttribProfile", 1, &CAttribProfile::CreateObject, &CObjBase::classCObjBase};

CAttribProfile::CAttribProfile() {
    // Display rectangle and explicit size 192 x 144, flags and zoom as a new profile has them.
    m_values[5] = 192;
    m_values[6] = 144;
    m_values[7] = 192;
    m_values[8] = 144;
    m_values[12] = 1;
    m_values[33] = 6;
    m_values[36] = m_values[37] = 1;
    m_values[40] = 100;
}

const CRuntimeClass* CAttribProfile::GetRuntimeClass() const {
    return &classCAttribProfile;
}

void CAttribProfile::Serialize(CArchive& ar) {
    CObjBase::Serialize(ar);
    for (int i = 0; i < kStrings - 1; ++i)
        ar.Transfer(m_strings[std::size_t(i)]);
    for (std::int32_t& v : m_values)
        ar.Transfer(v);
    ar.Transfer(m_strings[kStrings - 1]);
}
