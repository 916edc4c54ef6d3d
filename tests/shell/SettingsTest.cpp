// An object as one registry value, the preference block closing the main window's, the language.
#include "core/Archive.h"
#include "core/CorePrefs.h"
#include "core/RegObjectStore.h"
#include "platform/Log.h"
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "shell/ProfileSettings.h"
#include "tests/shell/ShellTestSupport.h"

#include <gtest/gtest.h>

namespace {

using Pref = CCorePrefs::Pref;
using Block = std::vector<std::int32_t>;

// Stands for the parts of the main window's value before the tail (window base, controller,
// main window): a string and a number, then the stamp and the preference block.
class CMainWndState : public CObjBase {
public:
    std::int32_t m_nVolume = 3;

    void Serialize(CArchive& ar) override {
        std::string skin = "Test Skin";
        std::int32_t volume = m_nVolume;
        ar.Transfer(skin);
        ar.Transfer(volume);
        if (ar.Failed())
            return;
        m_nVolume = volume;
        SerializeMainWndTail(ar);
    }
};

class CBlob : public CObjBase {
public:
    explicit CBlob(std::size_t bytes) : m_strData(bytes, 'b') {}
    void Serialize(CArchive& ar) override { ar.Transfer(m_strData); }
    std::string m_strData;
};

// Little-endian 32-bit values, as the block stores them.
std::string Int32s(const Block& values) {
    CArchive ar;
    for (std::int32_t v : values)
        ar.WriteInt32(v);
    return ar.TakeBuffer();
}

Block Current(bool bDefaults = false) {
    if (bDefaults)
        CCorePrefs::ResetToDefaults();
    Block values;
    for (int i = 0; i < CCorePrefs::kCount; ++i)
        values.push_back(CCorePrefs::Get(Pref(i)));
    return values;
}
// Each preference at an allowed value other than its default, as the Clamp rules give them.
Block Changed() {
    Block values = Current(true);
    for (int i = 0; i < CCorePrefs::kCount; ++i) {
        std::int32_t& v = values[std::size_t(i)];
        v = CCorePrefs::Clamp(Pref(i), v + 1) != v ? CCorePrefs::Clamp(Pref(i), v + 1) : v - 1;
    }
    return values;
}

// The main window's part as CMainWndState writes it: the skin name after its length, the volume.
const std::string kMainPart = "\x09Test Skin" + Int32s({80});

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { CRegistry::Instance().Reset(m_temp.Path() + "/corvella"); }
    void TearDown() override {
        CCorePrefs::ResetToDefaults();
        CRegistry::Instance().Reset();
    }

    void StoreValue(const std::string& bytes, const std::string& name = "MainWnd") {
        ASSERT_TRUE(CRegistry::Instance().SetBinary(HKEY_LOCAL_MACHINE, shell::kWindowStatePath,
                                                    name, bytes));
    }
    // Loads the value into the object; the verbose log written meanwhile goes to m_strLog.
    bool Load(CObjBase& object, const std::string& name = "MainWnd") {
        platform::SetVerbose(true);
        ::testing::internal::CaptureStderr();
        const bool ok =
            CRegObjectStore(object).Load(HKEY_LOCAL_MACHINE, shell::kWindowStatePath, name);
        m_strLog = ::testing::internal::GetCapturedStderr();
        platform::SetVerbose(false);
        return ok;
    }

    testsupport::ScratchFolder m_temp;
    std::string m_strLog;
};

} // namespace

// One row for each kind of range.
TEST_F(SettingsTest, PreferencesAndTheLanguageRoundTripAndValuesOutOfRangeComeBackIntoThem) {
    const Block changed = Changed();
    for (int i = 0; i < CCorePrefs::kCount; ++i)
        CCorePrefs::Set(Pref(i), changed[std::size_t(i)]);
    CMainWndState wnd;
    ASSERT_TRUE(CRegObjectStore(wnd).Save(HKEY_LOCAL_MACHINE, shell::kWindowStatePath, "MainWnd"));
    CCorePrefs::ResetToDefaults();
    CRegistry::Instance().Reset(m_temp.Path() + "/corvella"); // read back from the file
    ASSERT_TRUE(Load(wnd));
    EXPECT_EQ(Current(), changed);
    EXPECT_EQ(m_strLog.find("Bad format"), std::string::npos);

    const struct {
        Pref pref;
        std::int32_t stored, expected;
    } cases[] = {
        {CCorePrefs::BlockVersion, 777, 777},    {CCorePrefs::LastPrefsPage, 5, 0},
        {CCorePrefs::AlwaysOnTop, 9, 1},         {CCorePrefs::PlaylistFontSize, 100, 15},
        {CCorePrefs::ShadeFontSize, 3, 8},       {CCorePrefs::DesktopSnapDistance, 40, 32},
        {CCorePrefs::WindowSnapDistance, -8, 0}, {CCorePrefs::Tooltips, 7, 2},
    };
    Block block = Current(true);
    for (const auto& c : cases)
        block[std::size_t(c.pref)] = c.stored;
    StoreValue(kMainPart + Int32s({21000}) + Int32s(block));
    ASSERT_TRUE(Load(wnd));
    for (const auto& c : cases)
        EXPECT_EQ(CCorePrefs::Get(c.pref), c.expected) << "preference " << c.pref;

    shell::SetProfileKey();
    EXPECT_EQ(platform::GetRegistryKey(), "Brenholt\\Corvella");
    EXPECT_EQ(shell::ReadUILanguage(), "English");
    ASSERT_TRUE(shell::WriteUILanguage("German"));
    EXPECT_EQ(shell::ReadUILanguage(), "German");
    ASSERT_TRUE(shell::WriteUILanguage(""));
    EXPECT_EQ(shell::ReadUILanguage(), "English");
    platform::SetRegistryKey("");
}

TEST_F(SettingsTest, BadValuesKeepWhatCanBeReadAndDefaultTheRest) {
    const Block changed = Changed();
    CCorePrefs::Set(CCorePrefs::Tooltips, 0);
    CMainWndState state;
    EXPECT_FALSE(Load(state)); // no key at all
    ASSERT_TRUE(CRegistry::Instance().SetString(HKEY_LOCAL_MACHINE, shell::kWindowStatePath,
                                                "MainWnd", "text"));
    EXPECT_FALSE(Load(state));
    EXPECT_FALSE(Load(state, "PlayWnd"));

    const std::string value =
        kMainPart + Int32s({21000}) + Int32s(changed) + std::string(65535, 'x');
    StoreValue(value);
    EXPECT_FALSE(Load(state));
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::Tooltips), 0);
    // 65535 bytes are still read (the extra bytes after the block are not looked at).
    StoreValue(value.substr(0, 65535));
    EXPECT_TRUE(Load(state));
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::Tooltips), changed[CCorePrefs::Tooltips]);

    CBlob fits(65535 - 3); // a string of this length has a three-byte length in front
    ASSERT_TRUE(CRegObjectStore(fits).Save(HKEY_LOCAL_MACHINE, shell::kWindowStatePath, "Blob"));
    CBlob over(65535 - 2); // one byte more than a value holds
    EXPECT_FALSE(CRegObjectStore(over).Save(HKEY_LOCAL_MACHINE, shell::kWindowStatePath, "Blob"));
    CBlob loaded(0);
    ASSERT_TRUE(Load(loaded, "Blob"));
    EXPECT_TRUE(loaded.m_strData == fits.m_strData) << loaded.m_strData.size();

    const Block defaults = Current(true);
    const std::string block = Int32s(changed);
    std::string wrongSkinLength = kMainPart + Int32s({21000}) + block;
    wrongSkinLength[0] = char(200); // claims 200 bytes where 9 follow
    const struct {
        std::string value;
        int firstDefault; // the preferences from here on keep their defaults
        bool bLogged;
    } cases[] = {
        {kMainPart, 0, false}, // ends after the main window's part: nothing is wrong
        {kMainPart + Int32s({11999}) + block, 0, false},
        {kMainPart + Int32s({12000}) + block, CCorePrefs::kCount, false},
        // six whole values and half of the seventh
        {kMainPart + Int32s({21000}) + block.substr(0, 6 * 4 + 2), 6, true},
        {kMainPart + Int32s({21000}).substr(0, 2), 0, true},
        {wrongSkinLength, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value.size());
        CCorePrefs::ResetToDefaults();
        StoreValue(c.value);
        CMainWndState state;
        EXPECT_TRUE(Load(state));
        EXPECT_EQ(state.m_nVolume, c.value == wrongSkinLength ? 3 : 80);
        Block expected(changed.begin(), changed.begin() + c.firstDefault);
        expected.insert(expected.end(), defaults.begin() + c.firstDefault, defaults.end());
        EXPECT_EQ(Current(), expected);
        EXPECT_EQ(m_strLog.find("Bad format in Regfile MainWnd") != std::string::npos, c.bLogged)
            << m_strLog;
    }
}
