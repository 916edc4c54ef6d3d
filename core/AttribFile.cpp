#include "core/AttribFile.h"

const CRuntimeClass CAttribFile::classCAttribFile = {"CAttribFile", 1, &CAttribFile::CreateObject,
                                                     &CAttribClip::classCAttribClip};

const CRuntimeClass* CAttribFile::GetRuntimeClass() const {
    return &classCAttribFile;
}

void CAttribFile::Serialize(CArchive& ar) {
    CAttribClip::Serialize(ar);
    m_profile.Serialize(ar); // in place: its own version word, no tag
}
