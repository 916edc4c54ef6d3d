// The playlist record: the clips in the order they were added. The list owns its clips;
// removing a clip from it destroys the clip.
#pragma once

#include "core/AttribClip.h"
#include "core/ObjBase.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class CObjListClip : public CObjBase {
public:
    CObjListClip() = default;
    CObjListClip(const CObjListClip&) = delete;
    CObjListClip& operator=(const CObjListClip&) = delete;
    ~CObjListClip() override;

    const CRuntimeClass* GetRuntimeClass() const override;
    // Loading appends the clips it reads; on an archive error the clips read by this call are
    // destroyed again and the list is as it was.
    void Serialize(CArchive& ar) override;
    // Loads like Serialize but keeps the clips read whole before an archive error.
    void LoadReadable(CArchive& ar);

    std::size_t GetCount() const { return m_list.size(); }
    bool IsEmpty() const { return m_list.empty(); }
    CAttribClip* GetAt(std::size_t i) const { return m_list[i].get(); }
    // Index of the clip, found by identity; -1 when it is not in the list.
    std::ptrdiff_t Find(const CAttribClip* clip) const;

    CAttribClip* Add(std::unique_ptr<CAttribClip> clip);
    // Unlinks and destroys the clip; false (and nothing done) when it is not in the list.
    bool Remove(const CAttribClip* clip);
    // Destroys every clip and empties the list.
    void RemoveAll();
    // Moves every clip of `other` into this list, in order, directly behind `after` (to the end
    // when `after` is null or not in the list); `other` ends up empty.
    void TakeAll(CObjListClip& other, const CAttribClip* after = nullptr);

    bool AnyPlayable() const;
    void MarkAllPlayable();

    const std::string& GetName() const { return m_strName; }

    static const CRuntimeClass classCObjListClip;
    static CObjBase* CreateObject() { return new CObjListClip; }

private:
    void StoreClips(CArchive& ar);
    void LoadClips(CArchive& ar);

    std::vector<std::unique_ptr<CAttribClip>> m_list;
    std::string m_strName; // nothing sets it; stored empty
};

// The same record under another class name: readable from an archive, never made otherwise.
class CObjListPlay : public CObjListClip {
public:
    const CRuntimeClass* GetRuntimeClass() const override;

    static const CRuntimeClass classCObjListPlay;
    static CObjBase* CreateObject() { return new CObjListPlay; }
};
