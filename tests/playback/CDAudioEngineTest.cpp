// The CD-audio engine, its device and the disc reader on a disc image the tests write: three
// tracks of tones, 2 s 30 frames, 81 s 10 frames and 4 s long.
#include "playback/CDAudioEngine.h"
#include "platform/MessageQueue.h"
#include "platform/QtMessagePump.h"
#include "platform/RegisteredMessages.h"
#include "playback/EngineManager.h"
#include "playback/MixerVolume.h"
#include "tests/support/CueBinImage.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/RecordingWnd.h"
#include "tests/support/ScratchFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using testsupport::Settle;
using testsupport::WaitFor;

namespace {

constexpr long kTrack1 = 2 * 75 + 30;
constexpr long kTrack2 = 81 * 75 + 10;
constexpr long kTrack3 = 4 * 75;

// The image, written once per test program and removed at its end.
class CDiscImage {
public:
    static const CDiscImage& Instance() {
        static CDiscImage image;
        return image;
    }
    const std::string& Cue() const { return m_strCue; }
    std::string Track(const std::string& name) const { return m_strCue + "/" + name; }

private:
    CDiscImage()
        : m_strCue(testsupport::WriteCueBinAudioDisc(
              m_folder.Path(), "disc", {{int(kTrack1), 1}, {int(kTrack2), 2}, {int(kTrack3), 3}})) {
    }
    testsupport::ScratchFolder m_folder;
    std::string m_strCue;
};

// The loudest sample of a buffer of 16-bit little-endian samples.
int Peak(const std::vector<unsigned char>& data) {
    int peak = 0;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2)
        peak = std::max(peak, std::abs(int(std::int16_t(data[i] | (data[i + 1] << 8)))));
    return peak;
}

class CdTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(CDiscImage::Instance().Cue().empty());
        platform::CMessageQueue::Instance().Reset();
        m_pPump = std::make_unique<platform::CQtMessagePump>();
        ASSERT_TRUE(m_parent.CreateTopLevel({0, 0, 400, 300}, "play"));
    }
    void TearDown() override {
        m_manager.reset();
        m_engine.reset();
        m_parent.DestroyWindow();
        m_pPump.reset();
        platform::CMessageQueue::Instance().Reset();
    }

    // An engine reporting to the recording window, as it reports to the manager.
    CCDAudioEngine& Engine() {
        if (!m_engine) {
            m_engine = std::make_unique<CCDAudioEngine>();
            EXPECT_TRUE(m_engine->Create({}, 0, {}, &m_parent, EngineCDAudio));
        }
        return *m_engine;
    }
    CCDAudioDevice& OpenDevice() {
        m_device = std::make_unique<CCDAudioDevice>();
        EXPECT_TRUE(m_device->Open(true, CDiscImage::Instance().Cue()));
        return *m_device;
    }
    CEngineManager& Manager() {
        m_manager = std::make_unique<CEngineManager>();
        m_manager->ApplyEditionSwitch();
        m_manager->SetExtensions(EngineCDAudio, "*.cda");
        EXPECT_TRUE(m_manager->Create({0, 0, 300, 200}, &m_parent, 1));
        return *m_manager;
    }
    CCDAudioEngine& ManagedEngine() {
        return *static_cast<CCDAudioEngine*>(m_manager->GetEngine(EngineCDAudio));
    }
    std::size_t Count(UINT message) const { return m_parent.Only(message).size(); }
    // What the engine reported with the CD messages.
    std::size_t CdReports() const {
        return Count(WM_REG_CDPLAYSTATECHANGED) + Count(WM_REG_CDOPENSUCCESSED) +
               Count(WM_REG_CDPLAYCOMPLETED) + Count(WM_REG_CDERROR) + Count(MM_MCINOTIFY);
    }
    bool Completed() const { return Count(WM_REG_PLAYCOMPLETED) > 0; }
    // Starts a track through the manager and waits until it plays.
    bool StartTrack(const std::string& name) {
        m_parent.m_received.clear();
        m_manager->SetPath(CDiscImage::Instance().Track(name));
        m_manager->Play(true);
        return m_manager->GetPlayState() == EnginePlaying && !m_manager->IsLoading() &&
               m_manager->GetCurrentEngine() == m_manager->GetEngine(EngineCDAudio);
    }

    std::unique_ptr<platform::CQtMessagePump> m_pPump;
    CRecordingWnd m_parent;
    std::unique_ptr<CCDAudioEngine> m_engine;
    std::unique_ptr<CCDAudioDevice> m_device;
    std::unique_ptr<CEngineManager> m_manager;
};

} // namespace

TEST(CdDiscTest, TableOfContentsAndSectorsOfTheImage) {
    CCdDisc disc;
    ASSERT_TRUE(disc.Open(CDiscImage::Instance().Cue()));
    EXPECT_EQ(disc.GetFirstTrack(), 1);
    EXPECT_EQ(disc.GetTrackCount(), 3);
    EXPECT_EQ(disc.GetTrackStart(2), kTrack1);
    EXPECT_EQ(disc.GetTrackEnd(2), kTrack1 + kTrack2);
    EXPECT_EQ(disc.GetTrackEnd(3), disc.GetLeadOut());
    EXPECT_EQ(disc.GetLeadOut(), kTrack1 + kTrack2 + kTrack3);
    EXPECT_TRUE(disc.IsAudioTrack(3));
    EXPECT_FALSE(disc.HasTrack(0));
    EXPECT_FALSE(disc.HasTrack(4));
    // Each track's tone has a peak of 3000 times its number.
    std::vector<unsigned char> sectors(std::size_t(10) * CCdDisc::kSectorBytes);
    for (int track = 1; track <= 3; ++track) {
        ASSERT_TRUE(disc.ReadAudio(disc.GetTrackStart(track), 10, sectors.data()));
        EXPECT_NEAR(Peak(sectors), 3000 * track, 20) << track;
    }
    EXPECT_FALSE(disc.ReadAudio(disc.GetLeadOut() - 5, 10, sectors.data()));
    EXPECT_FALSE(disc.ReadAudio(-1, 1, sectors.data()));
    EXPECT_EQ(CCdDisc::QueryDrive(CDiscImage::Instance().Cue()), CdDriveState::DiscReady);
    EXPECT_EQ(CCdDisc::QueryDrive("/nonexistent/disc.cue"), CdDriveState::NoDrive);
    CCdDisc missing;
    EXPECT_FALSE(missing.Open("/nonexistent/disc.cue"));
}

TEST(CDAudioEngineStatic, TrackNumberAndDriveFromThePath) {
    struct Case {
        const char* path;
        int track;
    };
    for (const Case& c : {Case{"/dev/sr0/Track01.cda", 1}, Case{"D:\\Track03.cda", 3},
                          Case{"/dev/sr0/Track 12.cda", 12}, Case{"/dev/sr0/Track.cda", 0},
                          Case{"/media/cd1/Track.cda", 0}, Case{"/dev/sr0/Track07a.cda", 7},
                          Case{"/x.y/Track05", 5}, Case{"/dev/sr0/Track100.cda", 0},
                          Case{"/dev/sr0/Track99999999999999999999.cda", 0}, Case{"", 0}}) {
        EXPECT_EQ(CCDAudioEngine::TrackFromPath(c.path), c.track) << c.path;
    }
    EXPECT_EQ(CCDAudioEngine::DriveFromPath("/dev/sr0/Track01.cda"), "/dev/sr0");
    EXPECT_EQ(CCDAudioEngine::DriveFromPath("D:\\Track03.cda"), "D:");
    EXPECT_EQ(CCDAudioEngine::DriveFromPath("Track03.cda"), "");
}

TEST_F(CdTest, DeviceAddressesTracksInTmsfAndTheDiscInMsf) {
    CCDAudioDevice& device = OpenDevice();
    EXPECT_NE(device.GetDeviceId(), 0u);
    EXPECT_TRUE(device.IsReady());
    EXPECT_EQ(device.GetStatus(MCI_STATUS_NUMBER_OF_TRACKS), 3u);
    EXPECT_EQ(device.GetTrackLength(2), MCI_MAKE_MSF(1, 21, 10));
    ASSERT_TRUE(device.SetTimeFormat(MCI_FORMAT_TMSF));
    EXPECT_EQ(device.GetStatus(MCI_STATUS_TIME_FORMAT), DWORD(MCI_FORMAT_TMSF));
    EXPECT_EQ(device.GetTrackStatus(2, MCI_STATUS_POSITION), MCI_MAKE_TMSF(2, 0, 0, 0));
    ASSERT_TRUE(device.SetTimeFormat(MCI_FORMAT_MSF));
    // Absolute addresses count the two seconds before the first track.
    EXPECT_EQ(device.GetTrackStatus(2, MCI_STATUS_POSITION), MCI_MAKE_MSF(0, 4, 30));
    ASSERT_TRUE(device.Seek(MCI_MAKE_MSF(0, 10, 0)));
    EXPECT_EQ(device.GetStatus(MCI_STATUS_POSITION), MCI_MAKE_MSF(0, 10, 0));
    ASSERT_TRUE(device.SetTimeFormat(MCI_FORMAT_TMSF));
    EXPECT_EQ(device.GetStatus(MCI_STATUS_POSITION), MCI_MAKE_TMSF(2, 0, 5, 45));

    EXPECT_FALSE(device.Seek(MCI_MAKE_TMSF(4, 0, 0, 0)));
    EXPECT_EQ(device.GetLastError(), DWORD(MCIERR_OUTOFRANGE));
    EXPECT_FALSE(device.Play(MCI_MAKE_TMSF(1, 0, 3, 0), MCI_MAKE_TMSF(1, 0, 4, 0), false))
        << "beyond the end of track 1";
    EXPECT_FALSE(device.SetTimeFormat(7));
    EXPECT_EQ(device.GetLastError(), DWORD(MCIERR_BAD_TIME_FORMAT));
    EXPECT_EQ(device.GetTrackLength(9), 0u);

    device.Close();
    EXPECT_FALSE(device.IsReady());
    EXPECT_EQ(device.GetLastError(), DWORD(MCIERR_INVALID_DEVICE_ID));
}

TEST_F(CdTest, OpenGivesLengthsAndRangesAndReusesTheDeviceAndSeekOnlySetsTheStart) {
    CCDAudioEngine& engine = Engine();
    EXPECT_EQ(engine.GetDuration(), 0.0);
    struct Case {
        const char* name;
        double seconds;
        DWORD to;
    };
    DWORD deviceId = 0;
    for (const Case& c : {Case{"Track01.cda", 2, MCI_MAKE_TMSF(1, 0, 2, 30)},
                          Case{"Track02.cda", 81, MCI_MAKE_TMSF(2, 1, 21, 10)},
                          Case{"Track03.cda", 4, MCI_MAKE_TMSF(3, 0, 4, 0)}}) {
        engine.Open(CDiscImage::Instance().Track(c.name));
        EXPECT_EQ(engine.GetDuration(), c.seconds) << c.name;
        EXPECT_EQ(engine.GetFrom(), MCI_MAKE_TMSF(MCI_TMSF_TRACK(c.to), 0, 0, 0));
        EXPECT_EQ(engine.GetTo(), c.to);
        EXPECT_EQ(engine.GetOpenedPath(), CDiscImage::Instance().Track(c.name));
        if (deviceId == 0)
            deviceId = engine.GetDevice()->GetDeviceId();
        EXPECT_EQ(engine.GetDevice()->GetDeviceId(), deviceId) << "the open device is reused";
    }
    EXPECT_EQ(CdReports(), 0u) << "Open reports nothing";
    EXPECT_TRUE(engine.IsAudioOnly());
    EXPECT_TRUE(engine.CanSeek());
    EXPECT_FALSE(engine.HasPlayer());
    EXPECT_EQ(engine.GetVideoSize(), CSize{});
    EXPECT_FALSE(engine.Create({}, 0, {}, &m_parent, EngineCDAudio))
        << "a second Create on an engine with a device fails";
    // A seek sets the start and the position without playing.
    engine.Open(CDiscImage::Instance().Track("Track02.cda"));
    engine.Seek(65.9);
    EXPECT_EQ(engine.GetFrom(), MCI_MAKE_TMSF(2, 1, 5, 0));
    EXPECT_EQ(engine.GetPosition(), 65.0);
    EXPECT_EQ(engine.GetDevice()->GetStatus(MCI_STATUS_TIME_FORMAT), DWORD(MCI_FORMAT_TMSF))
        << "the time format is restored";
    EXPECT_EQ(engine.GetDevice()->GetStatus(MCI_STATUS_MODE), DWORD(MCI_MODE_STOP));
    EXPECT_EQ(CdReports(), 0u);
}

TEST_F(CdTest, AShortTrackPlaysToItsCompletionReport) {
    CEngineManager& manager = Manager();
    ASSERT_TRUE(manager.GetEngine(EngineCDAudio)->IsInstalled());
    ASSERT_TRUE(StartTrack("Track01.cda"));
    EXPECT_EQ(manager.GetDuration(), 2.0);
    EXPECT_EQ(Count(WM_REG_OPENSUCCESSED), 1u);
    EXPECT_EQ(manager.GetOpenedPath(), CDiscImage::Instance().Track("Track01.cda"));
    std::string mode;
    ASSERT_TRUE(ManagedEngine().GetDevice()->SendString("STATUS CDAUDIO MODE", &mode));
    EXPECT_EQ(mode, "playing");
    ASSERT_TRUE(WaitFor([&] { return Completed(); })) << "the end of the track is reported";
    Settle();
    ASSERT_EQ(Count(WM_REG_PLAYCOMPLETED), 1u);
    EXPECT_EQ(m_parent.Only(WM_REG_PLAYCOMPLETED)[0].wParam, 0u) << "finished, not failed";
    EXPECT_EQ(m_parent.Only(WM_REG_PLAYSTATE).back().wParam, WPARAM(EngineStopped));
    EXPECT_EQ(manager.GetCurrentEngine(), nullptr);
    EXPECT_EQ(manager.GetOverlayText(), "");
}

TEST_F(CdTest, PauseKeepsThePositionAndPlayContinuesThere) {
    CEngineManager& manager = Manager();
    ASSERT_TRUE(StartTrack("Track02.cda"));
    manager.Seek(69.0); // plays on from 1:09
    EXPECT_EQ(manager.GetPlayState(), EnginePlaying);
    ASSERT_TRUE(WaitFor([&] { return manager.GetPosition() >= 70.0; }));
    manager.Pause();
    EXPECT_EQ(manager.GetPlayState(), EnginePaused);
    const DWORD from = ManagedEngine().GetFrom();
    const double paused = manager.GetPosition();
    EXPECT_EQ(MCI_TMSF_TRACK(from), 2u);
    EXPECT_EQ(MCI_TMSF_MINUTE(from), 1u);
    EXPECT_GE(MCI_TMSF_SECOND(from), 10u);
    EXPECT_EQ(paused, double(MCI_TMSF_MINUTE(from) * 60 + MCI_TMSF_SECOND(from)));
    Settle(300);
    EXPECT_EQ(manager.GetPosition(), paused) << "a paused track stays where it is";

    const std::size_t before = m_parent.m_received.size();
    manager.Play(true);
    EXPECT_EQ(manager.GetPlayState(), EnginePlaying);
    for (std::size_t i = before; i < m_parent.m_received.size(); ++i)
        EXPECT_FALSE(m_parent.m_received[i].message == WM_REG_CLIPLOADING &&
                     m_parent.m_received[i].wParam == 1)
            << "resuming does not open the track again";
    ASSERT_TRUE(WaitFor([&] { return manager.GetPosition() > paused; }));
    EXPECT_GE(manager.GetPosition(), paused) << "playback continues at the paused place";
    EXPECT_FALSE(Completed());

    manager.Stop();
    ASSERT_TRUE(WaitFor([&] { return Completed(); }));
    Settle();
    EXPECT_EQ(Count(WM_REG_PLAYCOMPLETED), 1u);
    EXPECT_EQ(m_parent.Only(WM_REG_PLAYCOMPLETED)[0].wParam, 0u);
}

TEST_F(CdTest, NoDiscAndTrackZeroFailWithTheCdErrorText) {
    CEngineManager& manager = Manager();
    struct Case {
        std::string path;
        DWORD error;
    };
    for (const Case& c : {Case{"/nonexistent/disc.cue/Track01.cda", MCIERR_DEVICE_NOT_READY},
                          Case{CDiscImage::Instance().Track("Track.cda"), MCIERR_OUTOFRANGE}}) {
        SCOPED_TRACE(c.path);
        m_parent.m_received.clear();
        manager.SetPath(c.path);
        manager.Play(true);
        ASSERT_TRUE(WaitFor([&] { return Completed(); }));
        EXPECT_EQ(m_parent.Only(WM_REG_PLAYCOMPLETED)[0].wParam, 1u) << "the clip failed";
        EXPECT_EQ(Count(WM_REG_OPENSUCCESSED), 0u);
        EXPECT_EQ(manager.GetOverlayText(), "Cann't read CD files.");
        EXPECT_EQ(manager.GetPlayState(), EngineStopped);
        EXPECT_FALSE(manager.IsLoading());
        EXPECT_EQ(ManagedEngine().GetDevice()->GetLastError(), c.error);
    }
}

TEST_F(CdTest, MuteVolumeAndDoorCommands) {
    CCDAudioEngine& engine = Engine();
    engine.Open(CDiscImage::Instance().Track("Track03.cda"));
    CCDAudioDevice& device = *engine.GetDevice();
    const CMixerVolume mixer(MixerComponent::CompactDisc);

    engine.SetVolume(50);
    EXPECT_EQ(device.GetVolumeLevel(), 50u * 65535 / 100);
    if (!mixer.HasControl()) {
        EXPECT_EQ(engine.GetVolume(), 49) << "read back as level × 100 / 65535";
    }
    const int volume = engine.GetVolume();
    engine.SetMute(true);
    EXPECT_TRUE(device.IsMuted());
    EXPECT_FALSE(engine.GetMute()) << "the engine always answers not muted";
    EXPECT_EQ(engine.GetVolume(), volume) << "muting leaves the volume alone";
    engine.SetMute(false);
    EXPECT_FALSE(device.IsMuted());

    // An image has no door: both door commands fail and the door reads closed.
    EXPECT_FALSE(engine.OpenDoor(true));
    EXPECT_EQ(device.GetLastError(), DWORD(MCIERR_HARDWARE));
    EXPECT_FALSE(engine.OpenDoor(false));
    EXPECT_FALSE(engine.IsDoorOpen());
    std::string answer = "x";
    EXPECT_TRUE(device.SendString("status cdaudio mode", &answer));
    EXPECT_EQ(answer, "stopped");
    EXPECT_FALSE(device.SendString("play cdaudio", &answer));
    EXPECT_EQ(device.GetLastError(), DWORD(MCIERR_UNRECOGNIZED_COMMAND));
    EXPECT_EQ(answer, "");
    EXPECT_EQ(CdReports(), 0u);
}

TEST_F(CdTest, ADiscThatCannotBeReadWhilePlayingFailsTheTrack) {
    // A disc of its own, cut short while its track plays: the sectors after the cut cannot be
    // read, and the device's failure notice fails the clip.
    const std::string folder = std::filesystem::path(CDiscImage::Instance().Cue()).parent_path();
    const std::string cue = testsupport::WriteCueBinAudioDisc(folder, "short", {{5 * 75, 1}});
    CEngineManager& manager = Manager();
    m_parent.m_received.clear();
    manager.SetPath(cue + "/Track01.cda");
    manager.Play(true);
    ASSERT_EQ(manager.GetPlayState(), EnginePlaying);
    std::filesystem::resize_file(folder + "/short.bin", 30 * CCdDisc::kSectorBytes);
    ASSERT_TRUE(WaitFor([&] { return Completed(); }));
    EXPECT_EQ(m_parent.Only(WM_REG_PLAYCOMPLETED)[0].wParam, 1u) << "failed, not finished";
    EXPECT_EQ(manager.GetOverlayText(), "Cann't read CD files.");
    EXPECT_EQ(manager.GetPlayState(), EngineStopped);
}
