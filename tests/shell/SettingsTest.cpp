// Settings storage: an object as one binary registry value, the core preferences and their
// block at the end of the main window's value, and the profile's language.
#include "core/CorePrefs.h"
#include "core/RegObjectStore.h"
#include "shell/ProfileSettings.h"
#include "tests/shell/ShellTestSupport.h"

#include "core/Archive.h"
#include "platform/Log.h"
#include "platform/Profile.h"
#include "platform/Registry.h"

#include <gtest/gtest.h>

namespace {

using Pref = CCorePrefs::Pref;

const std::string kMainWnd = "MainWnd";

// Stands for the parts of the main window's value before the tail (window base, controller,
// main window): a string and a number, then the stamp and the preference block.
class CMainWndState : public CObjBase {
public:
    std::string m_strSkin = "Test Skin";
    std::int32_t m_nVolume = 80;

    void Serialize(CArchive& ar) override {
        std::string skin = m_strSkin;
        std::int32_t volume = m_nVolume;
        ar.Transfer(skin);
        ar.Transfer(volume);
        if (ar.IsLoading() && ar.Failed())
            return;
        m_strSkin = skin;
        m_nVolume = volume;
        SerializeMainWndTail(ar);
    }
};

// An object whose image is as large as asked.
class CBlob : public CObjBase {
public:
    explicit CBlob(std::size_t bytes) : m_strData(bytes, 'b') {}
    void Serialize(CArchive& ar) override { ar.Transfer(m_strData); }
    std::string m_strData;
};

std::string Int32Bytes(std::int32_t v) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[std::size_t(i)] = char((std::uint32_t(v) >> (8 * i)) & 0xFF);
    return bytes;
}

std::int32_t Int32At(const std::string& bytes, int index) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | std::uint8_t(bytes[std::size_t(index * 4 + i)]);
    return std::int32_t(v);
}

std::string MainPartBytes() {
    CArchive ar;
    std::string skin = "Test Skin";
    std::int32_t volume = 80;
    ar.Transfer(skin);
    ar.Transfer(volume);
    return ar.TakeBuffer();
}

// A block whose values all differ from the defaults.
std::string ChangedBlockBytes() {
    const std::int32_t values[CCorePrefs::kCount] = {12000, 0, 1, 0, 0, 14, 9, 0, 0,
                                                     20,    5, 1, 0, 0, 1,  0, 1};
    std::string bytes;
    for (std::int32_t v : values)
        bytes += Int32Bytes(v);
    return bytes;
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        CRegistry::Instance().Reset(m_temp.Path() + "/corvella");
        CCorePrefs::ResetToDefaults();
    }
    void TearDown() override {
        CCorePrefs::ResetToDefaults();
        CRegistry::Instance().Reset();
        platform::SetVerbose(false);
    }

    void StoreValue(const std::string& bytes) {
        ASSERT_TRUE(CRegistry::Instance().SetBinary(HKEY_LOCAL_MACHINE, shell::kWindowStatePath,
                                                    kMainWnd, bytes));
    }

    // Loads "MainWnd" into state; the verbose log written meanwhile goes to log.
    bool LoadMainWnd(CMainWndState& state, std::string& log) {
        platform::SetVerbose(true);
        ::testing::internal::CaptureStderr();
        const bool ok =
            CRegObjectStore(state).Load(HKEY_LOCAL_MACHINE, shell::kWindowStatePath, kMainWnd);
        log = ::testing::internal::GetCapturedStderr();
        platform::SetVerbose(false);
        return ok;
    }

    static void ExpectDefaultsFrom(int first) {
        for (int i = first; i < CCorePrefs::kCount; ++i)
            EXPECT_EQ(CCorePrefs::Get(Pref(i)), CCorePrefs::Default(Pref(i))) << "preference " << i;
    }

    testsupport::ScratchFolder m_temp;
};

} // namespace

TEST_F(SettingsTest, PreferencesRoundTripThroughTheRegistryAndSurviveARestart) {
    CCorePrefs::Set(CCorePrefs::AlwaysOnTop, 1);
    CCorePrefs::Set(CCorePrefs::PlaylistFontSize, 15);
    CCorePrefs::Set(CCorePrefs::IconPlacement, 0);
    CCorePrefs::Set(CCorePrefs::HidePlayWndForAudio, 1);
    CMainWndState saved;
    saved.m_strSkin = "Other Skin";
    ASSERT_TRUE(CRegObjectStore(saved).Save(HKEY_LOCAL_MACHINE, shell::kWindowStatePath, kMainWnd));

    CCorePrefs::ResetToDefaults();
    CRegistry::Instance().Reset(m_temp.Path() + "/corvella"); // read back from the file
    CMainWndState loaded;
    std::string log;
    ASSERT_TRUE(LoadMainWnd(loaded, log));
    EXPECT_EQ(loaded.m_strSkin, "Other Skin");
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::AlwaysOnTop), 1);
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::PlaylistFontSize), 15);
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::IconPlacement), 0);
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::HidePlayWndForAudio), 1);
    EXPECT_EQ(log.find("Bad format"), std::string::npos);
}

// Short, damaged or older values: what is read is kept, the rest takes the defaults, and a
// damaged value is logged.
TEST_F(SettingsTest, OldStampsAndDamagedValuesKeepWhatWasReadAndDefaultTheRest) {
    std::string wrongSkinLength = MainPartBytes() + Int32Bytes(21000) + ChangedBlockBytes();
    wrongSkinLength[0] = char(200); // claims 200 bytes where 9 follow
    const struct {
        std::string value;
        int firstDefault; // the preferences from here on keep their defaults
        bool bLogged;
    } cases[] = {
        {MainPartBytes(), 0, false}, // ends after the main window's part: nothing is wrong
        {MainPartBytes() + Int32Bytes(11999) + ChangedBlockBytes(), 0, false},
        {MainPartBytes() + Int32Bytes(12000) + ChangedBlockBytes(), CCorePrefs::kCount, false},
        // six whole values and half of the seventh
        {MainPartBytes() + Int32Bytes(21000) + ChangedBlockBytes().substr(0, 6 * 4 + 2),
         CCorePrefs::ShadeFontSize, true},
        {MainPartBytes() + Int32Bytes(21000).substr(0, 2), 0, true},
        {wrongSkinLength, 0, true},
    };
    const std::string changed = ChangedBlockBytes();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value.size());
        CCorePrefs::ResetToDefaults();
        StoreValue(c.value);
        CMainWndState state;
        state.m_nVolume = 3;
        std::string log;
        EXPECT_TRUE(LoadMainWnd(state, log));
        EXPECT_EQ(state.m_strSkin, "Test Skin");
        EXPECT_EQ(state.m_nVolume, c.value == wrongSkinLength ? 3 : 80);
        for (int i = 0; i < c.firstDefault; ++i)
            EXPECT_EQ(CCorePrefs::Get(Pref(i)), CCorePrefs::Clamp(Pref(i), Int32At(changed, i)))
                << i;
        ExpectDefaultsFrom(c.firstDefault);
        EXPECT_EQ(log.find("Bad format in Regfile MainWnd") != std::string::npos, c.bLogged) << log;
    }
}

TEST_F(SettingsTest, StoredValuesOutsideTheirRangesAreBroughtBackIntoThem) {
    std::string block;
    for (std::int32_t v : {777, 5, 9, -1, 2, 100, 3, 1, 0, 40, -8, 7, -2, 1, 0, 1, 0})
        block += Int32Bytes(v);
    StoreValue(MainPartBytes() + Int32Bytes(21000) + block);
    CMainWndState state;
    std::string log;
    ASSERT_TRUE(LoadMainWnd(state, log));
    const std::int32_t expected[CCorePrefs::kCount] = {777, 0, 1, 1, 1, 15, 8, 1, 0,
                                                       32,  0, 2, 0, 1, 0,  1, 0};
    for (int i = 0; i < CCorePrefs::kCount; ++i)
        EXPECT_EQ(CCorePrefs::Get(Pref(i)), expected[i]) << i;
}

TEST_F(SettingsTest, LoadFailsAndKeepsThePreferencesWhenTheValueIsMissingForeignOrTooLarge) {
    CCorePrefs::Set(CCorePrefs::Tooltips, 0);
    CMainWndState state;
    std::string log;
    EXPECT_FALSE(LoadMainWnd(state, log)); // no key at all

    ASSERT_TRUE(CRegistry::Instance().SetString(HKEY_LOCAL_MACHINE, shell::kWindowStatePath,
                                                kMainWnd, "text"));
    EXPECT_FALSE(LoadMainWnd(state, log));
    EXPECT_FALSE(
        CRegObjectStore(state).Load(HKEY_LOCAL_MACHINE, shell::kWindowStatePath, "PlayWnd"));

    StoreValue(MainPartBytes() + Int32Bytes(21000) + ChangedBlockBytes() + std::string(65535, 'x'));
    EXPECT_FALSE(LoadMainWnd(state, log));
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::Tooltips), 0);

    // 65535 bytes are still read (the extra bytes after the block are not looked at).
    StoreValue((MainPartBytes() + Int32Bytes(21000) + ChangedBlockBytes())
                   .append(65535, 'x')
                   .substr(0, 65535));
    EXPECT_TRUE(LoadMainWnd(state, log));
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::Tooltips), 1);
}

TEST_F(SettingsTest, AnImageLargerThanTheLimitIsNotStoredAndTheOldValueStays) {
    CBlob fits(65535 - 3); // a string of this length has a three-byte length in front
    CRegObjectStore store(fits);
    ASSERT_TRUE(store.Save(HKEY_LOCAL_MACHINE, shell::kWindowStatePath, "Blob"));
    CBlob tooLarge(65535 - 2);
    EXPECT_FALSE(
        CRegObjectStore(tooLarge).Save(HKEY_LOCAL_MACHINE, shell::kWindowStatePath, "Blob"));

    CBlob loaded(0);
    ASSERT_TRUE(CRegObjectStore(loaded).Load(HKEY_LOCAL_MACHINE, shell::kWindowStatePath, "Blob"));
    EXPECT_TRUE(loaded.m_strData == fits.m_strData) << loaded.m_strData.size();
}

TEST_F(SettingsTest, TheLanguageIsEnglishOnAFirstStartAndRoundTripsThroughTheProfile) {
    platform::SetProfileAppName("corvella");
    shell::SetProfileKey();
    EXPECT_EQ(platform::GetRegistryKey(), "Brenholt\\Corvella");
    EXPECT_EQ(shell::ReadUILanguage(), "English");
    ASSERT_TRUE(shell::WriteUILanguage("German"));
    EXPECT_EQ(CRegistry::Instance().QueryString(HKEY_CURRENT_USER,
                                                "Software\\Brenholt\\Corvella\\corvella\\Settings",
                                                "UILanguage"),
              "German");
    EXPECT_EQ(shell::ReadUILanguage(), "German");
    ASSERT_TRUE(shell::WriteUILanguage(""));
    EXPECT_EQ(shell::ReadUILanguage(), "English");
    platform::SetRegistryKey("");
    platform::SetProfileAppName("");
}
