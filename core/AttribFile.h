// A Clip that also carries a display profile. The program never makes one itself; it arises
// when a file names this class, behaves as a Clip everywhere and writes its profile back.
#pragma once

#include "core/AttribClip.h"
#include "core/AttribProfile.h"

class CAttribFile : public CAttribClip {
public:
    const CRuntimeClass* GetRuntimeClass() const override;
    void Serialize(CArchive& ar) override;

    const CAttribProfile& GetProfile() const { return m_profile; }
    CAttribProfile& GetProfile() { return m_profile; }

    static const CRuntimeClass classCAttribFile;
    static CObjBase* CreateObject() { return new CAttribFile; }

private:
    CAttribProfile m_profile;
};
