// The core preferences: seventeen process-wide 32-bit values with built-in defaults, stored as
// one block of seventeen little-endian integers at the end of the main window's settings
// value. Application thread only.
#pragma once

#include "core/ObjBase.h"

#include <cstdint>

class CCorePrefs : public CObjBase {
public:
    // The block's order, which is the only order.
    enum Pref : int {
        BlockVersion,        // written and read back, not consulted
        LastPrefsPage,       // 0 "General", 1 "Display"
        AlwaysOnTop,         // 0/1
        SkinnedCursors,      // 0/1
        ClipNumbers,         // 0/1, clip numbers in the playlist
        PlaylistFontSize,    // pixels, 8-15
        ShadeFontSize,       // pixels, 8-15
        SnapToDesktop,       // 0/1
        SnapToWindows,       // 0/1
        DesktopSnapDistance, // pixels, 0-32
        WindowSnapDistance,  // pixels, 0-32
        Tooltips,            // 0 none, 1 main window only, 2 all windows
        IconPlacement,       // 0 taskbar only, 1 tray only, 2 both
        ReloadLastPlaylist,  // 0/1
        ResetPlayNumber,     // 0/1
        AutoPlay,            // 0/1, auto-play clips when loaded
        HidePlayWndForAudio, // 0/1
        kCount
    };

    static constexpr std::int32_t kBlockVersion = 12000;

    static std::int32_t Get(Pref pref);
    // Stores the value brought into the preference's range (see Clamp).
    static void Set(Pref pref, std::int32_t value);
    static std::int32_t Default(Pref pref);
    // A typed or stored value brought into range: sizes and distances to the nearer bound (3
    // gives a font size of 8, 40 a snap distance of 32, -1 a distance of 0), switches to 0/1
    // (any non-zero value is on), the last page to 0 when no such page exists. The block
    // version is kept as it is.
    static std::int32_t Clamp(Pref pref, std::int32_t value);
    static void ResetToDefaults();

    // Writes the block, or reads it: values are taken one by one until the data ends or is
    // damaged; the rest keep what they had.
    static void SerializeBlock(CArchive& ar);

    const CRuntimeClass* GetRuntimeClass() const override;
    // The block alone (no version word of its own).
    void Serialize(CArchive& ar) override;

    static const CRuntimeClass classCCorePrefs;
};

// The end of the main window's settings value, after the main-window part: a stamp (written
// as 21000) and the preference block. On loading, the stamp is read only when data is left,
// and the block only when the stamp is 12000 or more; a value that ends early or is damaged
// keeps what was read, and the other preferences keep what they had.
void SerializeMainWndTail(CArchive& ar);

constexpr std::int32_t kMainWndStamp = 21000;
constexpr std::int32_t kFirstStampWithPrefs = 12000;
