#include "core/CorePrefs.h"

#include "core/Archive.h"

#include <algorithm>
#include <array>

namespace {

struct PrefRule {
    std::int32_t def;
    std::int32_t min;
    std::int32_t max;
};

enum : std::int32_t { kAny = -1 }; // min of a value kept as it is

constexpr std::array<PrefRule, CCorePrefs::kCount> kRules = {{
    {CCorePrefs::kBlockVersion, kAny, kAny}, // BlockVersion
    {1, 0, 1},                               // LastPrefsPage
    {0, 0, 1},                               // AlwaysOnTop
    {1, 0, 1},                               // SkinnedCursors
    {1, 0, 1},                               // ClipNumbers
    {12, 8, 15},                             // PlaylistFontSize
    {11, 8, 15},                             // ShadeFontSize
    {1, 0, 1},                               // SnapToDesktop
    {1, 0, 1},                               // SnapToWindows
    {12, 0, 32},                             // DesktopSnapDistance
    {10, 0, 32},                             // WindowSnapDistance
    {2, 0, 2},                               // Tooltips
    {2, 0, 2},                               // IconPlacement
    {1, 0, 1},                               // ReloadLastPlaylist
    {0, 0, 1},                               // ResetPlayNumber
    {1, 0, 1},                               // AutoPlay
    {0, 0, 1},                               // HidePlayWndForAudio
}};

std::array<std::int32_t, CCorePrefs::kCount> DefaultValues() {
    std::array<std::int32_t, CCorePrefs::kCount> values{};
    for (int i = 0; i < CCorePrefs::kCount; ++i)
        values[std::size_t(i)] = kRules[std::size_t(i)].def;
    return values;
}

std::array<std::int32_t, CCorePrefs::kCount> g_values = DefaultValues();

} // namespace

const CRuntimeClass CCorePrefs::classCCorePrefs = {"CCorePrefs", 1, nullptr,
                                                   &CObjBase::classCObjBase};

const CRuntimeClass* CCorePrefs::GetRuntimeClass() const {
    return &classCCorePrefs;
}

std::int32_t CCorePrefs::Get(Pref pref) {
    return g_values[std::size_t(pref)];
}

void CCorePrefs::Set(Pref pref, std::int32_t value) {
    g_values[std::size_t(pref)] = Clamp(pref, value);
}

std::int32_t CCorePrefs::Default(Pref pref) {
    return kRules[std::size_t(pref)].def;
}

std::int32_t CCorePrefs::Clamp(Pref pref, std::int32_t value) {
    const PrefRule& rule = kRules[std::size_t(pref)];
    if (rule.min == kAny)
        return value;
    if (pref == LastPrefsPage) // a page that does not exist opens the first one
        return value >= rule.min && value <= rule.max ? value : 0;
    if (rule.max == 1 && rule.min == 0) // a switch: any non-zero value is on
        return value != 0 ? 1 : 0;
    return std::clamp(value, rule.min, rule.max);
}

void CCorePrefs::ResetToDefaults() {
    g_values = DefaultValues();
}

void CCorePrefs::SerializeBlock(CArchive& ar) {
    for (int i = 0; i < kCount; ++i) {
        if (ar.IsStoring()) {
            ar.WriteInt32(g_values[std::size_t(i)]);
            continue;
        }
        const std::int32_t value = ar.ReadInt32();
        if (ar.Failed())
            return;
        Set(Pref(i), value);
    }
}

void CCorePrefs::Serialize(CArchive& ar) {
    SerializeBlock(ar);
}

void SerializeMainWndTail(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteInt32(kMainWndStamp);
        CCorePrefs::SerializeBlock(ar);
        return;
    }
    if (ar.Failed() || ar.AtEnd()) // a value written before the stamp existed
        return;
    const std::int32_t stamp = ar.ReadInt32();
    if (!ar.Failed() && stamp >= kFirstStampWithPrefs)
        CCorePrefs::SerializeBlock(ar);
}
