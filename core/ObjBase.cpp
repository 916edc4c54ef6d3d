#include "core/ObjBase.h"

#include "core/Archive.h"
#include "core/AttribClip.h"
#include "core/AttribFile.h"
#include "core/AttribProfile.h"
#include "core/ObjListClip.h"

const CRuntimeClass CObjBase::classCObjBase = {"CObjBase", 1, nullptr, nullptr};

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
    for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass) {
        if (c == base)
            return true;
    }
    return false;
}

const CRuntimeClass* CRuntimeClass::FromName(std::string_view name) {
    // Every class an archive may name; the table is short, so a linear search serves.
    static const CRuntimeClass* const kClasses[] = {
        &CAttribClip::classCAttribClip,       &CAttribFile::classCAttribFile,
        &CAttribProfile::classCAttribProfile, &CObjListClip::classCObjListClip,
        &CObjListPlay::classCObjListPlay,
    };
    for (const CRuntimeClass* c : kClasses) {
        if (name == c->m_lpszClassName)
            return c;
    }
    return nullptr;
}

const CRuntimeClass* CObjBase::GetRuntimeClass() const {
    return &classCObjBase;
}

void CObjBase::Serialize(CArchive& ar) {
    ar.Transfer(m_nVersion);
}
