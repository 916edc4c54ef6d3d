#include "core/ObjListClip.h"

#include "core/Archive.h"

#include <algorithm>

namespace {
// The fewest bytes one clip record can take: a tag, the version word, two empty strings,
// six integers and an empty title. Used to keep a damaged count from reserving memory.
constexpr std::size_t kMinClipRecord = 2 + 4 + 1 + 1 + 6 * 4 + 1;
} // namespace

const CRuntimeClass CObjListClip::classCObjListClip = {
    "CObjListClip", 1, &CObjListClip::CreateObject, &CObjBase::classCObjBase};
const CRuntimeClass CObjListPlay::classCObjListPlay = {
    "CObjListPlay", 1, &CObjListPlay::CreateObject, &CObjListClip::classCObjListClip};

CObjListClip::~CObjListClip() {
    RemoveAll();
}

const CRuntimeClass* CObjListClip::GetRuntimeClass() const {
    return &classCObjListClip;
}
const CRuntimeClass* CObjListPlay::GetRuntimeClass() const {
    return &classCObjListPlay;
}

void CObjListClip::Serialize(CArchive& ar) {
    CObjBase::Serialize(ar);
    if (ar.IsStoring()) {
        StoreClips(ar);
        ar.Transfer(m_strName);
        return;
    }
    const std::size_t before = m_list.size();
    LoadClips(ar);
    ar.Transfer(m_strName);
    if (ar.Failed())
        m_list.resize(before); // nothing of a damaged list is kept
}

void CObjListClip::LoadReadable(CArchive& ar) {
    CObjBase::Serialize(ar);
    LoadClips(ar);
    ar.Transfer(m_strName);
}

void CObjListClip::StoreClips(CArchive& ar) {
    ar.WriteCount(std::uint32_t(m_list.size()));
    for (const auto& clip : m_list)
        ar.WriteObject(clip.get());
}

void CObjListClip::LoadClips(CArchive& ar) {
    const std::uint32_t count = ar.ReadCount();
    m_list.reserve(m_list.size() + std::min<std::size_t>(count, ar.Remaining() / kMinClipRecord));
    for (std::uint32_t i = 0; i < count && !ar.Failed(); ++i) {
        bool created = false;
        CObjBase* obj = ar.ReadObject(&CAttribClip::classCAttribClip, created);
        if (ar.Failed())
            break;
        if (!created) {
            // A null entry or a second reference to a clip already in the list: a list
            // owns each clip once, so such a file is refused rather than shared.
            ar.Fail(ArchiveError::BadIndex);
            break;
        }
        m_list.emplace_back(static_cast<CAttribClip*>(obj));
    }
}

std::ptrdiff_t CObjListClip::Find(const CAttribClip* clip) const {
    auto it = std::find_if(m_list.begin(), m_list.end(),
                           [clip](const auto& p) { return p.get() == clip; });
    return it == m_list.end() ? -1 : it - m_list.begin();
}

CAttribClip* CObjListClip::Add(std::unique_ptr<CAttribClip> clip) {
    m_list.push_back(std::move(clip));
    return m_list.back().get();
}

bool CObjListClip::Remove(const CAttribClip* clip) {
    const std::ptrdiff_t at = Find(clip);
    if (at < 0)
        return false;
    m_list.erase(m_list.begin() + at);
    return true;
}

void CObjListClip::RemoveAll() {
    m_list.clear();
}

void CObjListClip::TakeAll(CObjListClip& other, const CAttribClip* after) {
    if (&other == this)
        return;
    const std::ptrdiff_t at = after ? Find(after) : -1;
    const auto pos = at < 0 ? m_list.end() : m_list.begin() + at + 1;
    m_list.insert(pos, std::make_move_iterator(other.m_list.begin()),
                  std::make_move_iterator(other.m_list.end()));
    other.m_list.clear();
}

bool CObjListClip::AnyPlayable() const {
    return std::any_of(m_list.begin(), m_list.end(),
                       [](const auto& c) { return c->GetPlayable() != 0; });
}

void CObjListClip::MarkAllPlayable() {
    for (auto& c : m_list)
        c->SetPlayable(1);
}
