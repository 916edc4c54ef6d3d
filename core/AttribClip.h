// A Clip: one playlist entry, a media file with what the player knows about it.
#pragma once

#include "core/ObjBase.h"

#include <cstdint>
#include <string>

class CAttribClip : public CObjBase {
public:
    CAttribClip() = default;

    const CRuntimeClass* GetRuntimeClass() const override;
    void Serialize(CArchive& ar) override;

    // Reads the file's size, last-write time and type description. On failure only
    // m_bInfoLoaded changes (to 0); on success the path is stored exactly as given.
    bool LoadFileInfo(const std::string& path);

    // m_strTitle, or when that is empty the file name of m_strPath without folder and extension.
    std::string GetDisplayTitle() const;

    const std::string& GetPath() const { return m_strPath; }
    void SetPath(std::string v) { m_strPath = std::move(v); }
    const std::string& GetTypeName() const { return m_strTypeName; }
    void SetTypeName(std::string v) { m_strTypeName = std::move(v); }
    const std::string& GetTitle() const { return m_strTitle; }
    void SetTitle(std::string v) { m_strTitle = std::move(v); }
    std::int32_t GetInfoLoaded() const { return m_bInfoLoaded; }
    void SetInfoLoaded(std::int32_t v) { m_bInfoLoaded = v; }
    std::int32_t GetPlayable() const { return m_bPlayable; }
    void SetPlayable(std::int32_t v) { m_bPlayable = v; }
    std::int32_t GetReserved() const { return m_nReserved; }
    void SetReserved(std::int32_t v) { m_nReserved = v; }
    std::int32_t GetFileSize() const { return m_nFileSize; }
    void SetFileSize(std::int32_t v) { m_nFileSize = v; }
    std::int32_t GetModified() const { return m_tModified; }
    void SetModified(std::int32_t v) { m_tModified = v; }
    std::int32_t GetDuration() const { return m_nDuration; }
    void SetDuration(std::int32_t v) { m_nDuration = v; }

    static const CRuntimeClass classCAttribClip;
    static CObjBase* CreateObject() { return new CAttribClip; }

protected:
    std::string m_strPath;
    std::string m_strTypeName;
    std::string m_strTitle;
    std::int32_t m_bInfoLoaded = 0;
    std::int32_t m_bPlayable = 1;
    std::int32_t m_nReserved = 0;
    std::int32_t m_nFileSize = 0; // low 32 bits of the size
    std::int32_t m_tModified = 0; // seconds since 1970-01-01 00:00 UTC
    std::int32_t m_nDuration = 0; // whole seconds; 0 is unknown
};
