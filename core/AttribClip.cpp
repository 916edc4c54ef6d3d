#include "core/AttribClip.h"

#include "core/Archive.h"
#include "core/PlaylistPaths.h"
#include "platform/FileSystem.h"

const CRuntimeClass CAttribClip::classCAttribClip = {"CAttribClip", 1, &CAttribClip::CreateObject,
                                                     &CObjBase::classCObjBase};

const CRuntimeClass* CAttribClip::GetRuntimeClass() const {
    return &classCAttribClip;
}

void CAttribClip::Serialize(CArchive& ar) {
    CObjBase::Serialize(ar);
    ar.Transfer(m_strPath);
    ar.Transfer(m_strTypeName);
    ar.Transfer(m_bInfoLoaded);
    ar.Transfer(m_bPlayable);
    ar.Transfer(m_nReserved);
    ar.Transfer(m_nFileSize);
    ar.Transfer(m_tModified);
    ar.Transfer(m_nDuration);
    ar.Transfer(m_strTitle); // stored last although it is the third string in memory
}

bool CAttribClip::LoadFileInfo(const std::string& path) {
    m_bInfoLoaded = 0;
    // A NUL inside the path would make the system look at a different, shorter name.
    if (path.find('\0') != std::string::npos)
        return false;
    const auto status = platform::GetFileStatus(path);
    // A folder is no media file, and a FIFO or device would block the player reading it.
    if (!status || !status->isRegularFile)
        return false;
    auto typeName = platform::GetMimeDescription(path);
    if (!typeName)
        return false;
    m_strPath = path;
    m_nFileSize = std::int32_t(std::uint32_t(status->size & 0xFFFFFFFFu));
    m_tModified = std::int32_t(status->modified);
    m_strTypeName = std::move(*typeName);
    m_bInfoLoaded = 1;
    return true;
}

std::string CAttribClip::GetDisplayTitle() const {
    if (!m_strTitle.empty())
        return m_strTitle;
    return std::string(core::FileTitle(m_strPath));
}
