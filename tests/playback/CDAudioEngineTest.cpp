// The CD-audio engine, its device and the disc reader on a disc image the tests write: three
// tracks of tones, 2 s 30 frames, 81 s 10 frames and 4 s long.
#include "playback/CDAudioEngine.h"
#include "playback/MixerVolume.h"
#include "tests/playback/MediaFixtures.h"
#include "tests/support/CueBinImage.h"
#include "tests/support/ScratchFolder.h"

#include <vector>

using namespace mediatest;

namespace {

constexpr long kTrack1 = 2 * 75 + 30;
constexpr long kTrack2 = 81 * 75 + 10;
constexpr long kTrack3 = 4 * 75;

// The image, written once per test program and removed at its end.
const std::string& DiscCue() {
    static const testsupport::ScratchFolder folder;
    static const std::string cue = testsupport::WriteCueBinAudioDisc(
        folder.Path(), "disc", {{int(kTrack1), 1}, {int(kTrack2), 2}, {int(kTrack3), 3}});
    return cue;
}
std::string Track(const std::string& name) {
    return DiscCue() + "/" + name;
}

// The loudest sample of a buffer of 16-bit little-endian samples.
int Peak(const std::vector<unsigned char>& data) {
    int peak = 0;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2)
        peak = std::max(peak, std::abs(int(std::int16_t(data[i] | (data[i + 1] << 8)))));
    return peak;
}

class CdTest : public EngineTest {
protected:
    CCDAudioEngine& ManagedEngine() {
        return *static_cast<CCDAudioEngine*>(m_manager->GetEngine(EngineCDAudio));
    }
};

} // namespace

// Without the engine manager: the image's table of contents and sectors, the track a path
// names, and the engine (reporting to the recording window, as it reports to the manager) and
// its device: lengths, ranges, seeking, mixer, mute, door and addressing.
TEST_F(CdTest, TheImageTheEngineAndItsDeviceReportNothingOnTheirOwn) {
    CCdDisc disc;
    ASSERT_TRUE(disc.Open(DiscCue()));
    constexpr long kLeadOut = kTrack1 + kTrack2 + kTrack3;
    EXPECT_EQ(std::tuple(disc.GetFirstTrack(), disc.GetTrackCount(), disc.GetTrackStart(2),
                         disc.GetTrackEnd(2), disc.GetTrackEnd(3), disc.GetLeadOut()),
              std::tuple(1, 3, kTrack1, kTrack1 + kTrack2, kLeadOut, kLeadOut));
    EXPECT_TRUE(disc.IsAudioTrack(3) && !disc.HasTrack(0) && !disc.HasTrack(4));
    // Each track's tone has a peak of 3000 times its number.
    std::vector<unsigned char> sectors(std::size_t(10) * CCdDisc::kSectorBytes);
    for (int track = 1; track <= 3; ++track) {
        ASSERT_TRUE(disc.ReadAudio(disc.GetTrackStart(track), 10, sectors.data()));
        EXPECT_NEAR(Peak(sectors), 3000 * track, 20) << track;
    }
    EXPECT_FALSE(disc.ReadAudio(disc.GetLeadOut() - 5, 10, sectors.data()) ||
                 disc.ReadAudio(-1, 1, sectors.data()));
    EXPECT_EQ(CCdDisc::QueryDrive(DiscCue()), CdDriveState::DiscReady);
    EXPECT_EQ(CCdDisc::QueryDrive("/nonexistent/disc.cue"), CdDriveState::NoDrive);
    CCdDisc missing;
    EXPECT_FALSE(missing.Open("/nonexistent/disc.cue"));

    for (const auto& [path, track] :
         {std::pair{"/dev/sr0/Track01.cda", 1}, std::pair{"D:\\Track03.cda", 3},
          std::pair{"/dev/sr0/Track 12.cda", 12}, std::pair{"/dev/sr0/Track.cda", 0},
          std::pair{"/media/cd1/Track.cda", 0}, std::pair{"/dev/sr0/Track07a.cda", 7},
          std::pair{"/x.y/Track05", 5}, std::pair{"/dev/sr0/Track100.cda", 0},
          std::pair{"/dev/sr0/Track99999999999999999999.cda", 0}, std::pair{"", 0}})
        EXPECT_EQ(CCDAudioEngine::TrackFromPath(path), track) << path;
    EXPECT_EQ(CCDAudioEngine::DriveFromPath("/dev/sr0/Track01.cda"), "/dev/sr0");
    EXPECT_EQ(CCDAudioEngine::DriveFromPath("D:\\Track03.cda"), "D:");
    EXPECT_EQ(CCDAudioEngine::DriveFromPath("Track03.cda"), "");

    CCDAudioEngine engine;
    ASSERT_TRUE(engine.Create({}, 0, {}, &m_parent, EngineCDAudio));
    EXPECT_EQ(engine.GetDuration(), 0.0);
    DWORD deviceId = 0;
    for (const auto& [name, seconds, to] :
         {std::tuple("Track01.cda", 2.0, MCI_MAKE_TMSF(1, 0, 2, 30)),
          std::tuple("Track02.cda", 81.0, MCI_MAKE_TMSF(2, 1, 21, 10)),
          std::tuple("Track03.cda", 4.0, MCI_MAKE_TMSF(3, 0, 4, 0))}) {
        engine.Open(Track(name));
        EXPECT_EQ(engine.GetDuration(), seconds) << name;
        EXPECT_EQ(engine.GetFrom(), MCI_MAKE_TMSF(MCI_TMSF_TRACK(to), 0, 0, 0));
        EXPECT_EQ(engine.GetTo(), to);
        EXPECT_EQ(engine.GetOpenedPath(), Track(name));
        if (deviceId == 0)
            deviceId = engine.GetDevice()->GetDeviceId();
        EXPECT_EQ(engine.GetDevice()->GetDeviceId(), deviceId) << "the open device is reused";
    }
    EXPECT_TRUE(engine.IsAudioOnly() && engine.CanSeek() && !engine.HasPlayer());
    EXPECT_EQ(engine.GetVideoSize(), CSize{});
    EXPECT_FALSE(engine.Create({}, 0, {}, &m_parent, EngineCDAudio))
        << "a second Create on an engine with a device fails";
    // A seek sets the start and the position without playing.
    engine.Open(Track("Track02.cda"));
    engine.Seek(65.9);
    EXPECT_EQ(engine.GetFrom(), MCI_MAKE_TMSF(2, 1, 5, 0));
    EXPECT_EQ(engine.GetPosition(), 65.0);
    EXPECT_EQ(engine.GetDevice()->GetStatus(MCI_STATUS_TIME_FORMAT), DWORD(MCI_FORMAT_TMSF))
        << "the time format is restored";
    EXPECT_EQ(engine.GetDevice()->GetStatus(MCI_STATUS_MODE), DWORD(MCI_MODE_STOP));

    engine.Open(Track("Track03.cda"));
    CCDAudioDevice& device = *engine.GetDevice();
    // The mixer's CD line: without one the level reads 0 and setting it does nothing; with one,
    // a level comes back within the card's step size.
    EXPECT_STREQ(CMixerVolume::ElementName(MixerComponent::CompactDisc), "CD");
    EXPECT_FALSE(CMixerVolume(MixerComponent::CompactDisc, "hw:99").HasControl());
    for (const char* card : {"hw:99", "default"}) {
        CMixerVolume line(MixerComponent::CompactDisc, card);
        const unsigned before = line.GetLevel();
        EXPECT_TRUE(line.HasControl() || before == 0) << card;
        line.SetLevel(65535);
        EXPECT_EQ(line.GetLevel(), line.HasControl() ? 65535u : 0u) << card;
        line.SetLevel(before);
    }
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
    EXPECT_FALSE(engine.OpenDoor(false) || engine.IsDoorOpen());
    std::string answer = "x";
    EXPECT_TRUE(device.SendString("status cdaudio mode", &answer));
    EXPECT_EQ(answer, "stopped");
    EXPECT_FALSE(device.SendString("play cdaudio", &answer));
    EXPECT_EQ(device.GetLastError(), DWORD(MCIERR_UNRECOGNIZED_COMMAND));
    EXPECT_EQ(answer, "");
    EXPECT_EQ(Count(WM_REG_CDPLAYSTATECHANGED) + Count(WM_REG_CDOPENSUCCESSED) +
                  Count(WM_REG_CDPLAYCOMPLETED) + Count(WM_REG_CDERROR) + Count(MM_MCINOTIFY),
              0u)
        << "none of this is reported";
    // The device's own addressing: absolute addresses count the two seconds before track 1.
    EXPECT_TRUE(device.GetDeviceId() != 0 && device.IsReady());
    EXPECT_EQ(device.GetStatus(MCI_STATUS_NUMBER_OF_TRACKS), 3u);
    EXPECT_EQ(device.GetTrackLength(2), MCI_MAKE_MSF(1, 21, 10));
    ASSERT_TRUE(device.SetTimeFormat(MCI_FORMAT_TMSF));
    EXPECT_EQ(device.GetStatus(MCI_STATUS_TIME_FORMAT), DWORD(MCI_FORMAT_TMSF));
    EXPECT_EQ(device.GetTrackStatus(2, MCI_STATUS_POSITION), MCI_MAKE_TMSF(2, 0, 0, 0));
    ASSERT_TRUE(device.SetTimeFormat(MCI_FORMAT_MSF));
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

// Through the engine manager, as the player plays a disc: a short track plays to its end
// report (once lost under load); a long one pauses and resumes where it was.
TEST_F(CdTest, AShortTrackPlaysToItsCompletionReport) {
    CreateManager();
    CEngineManager& manager = *m_manager;
    const auto start = [&](const std::string& name) {
        m_parent.m_received.clear();
        manager.SetPath(Track(name));
        manager.Play(true);
        return manager.GetPlayState() == EnginePlaying && !manager.IsLoading() &&
               manager.GetCurrentEngine() == manager.GetEngine(EngineCDAudio);
    };
    ASSERT_TRUE(manager.GetEngine(EngineCDAudio)->IsInstalled());
    ASSERT_TRUE(start("Track01.cda"));
    EXPECT_EQ(manager.GetDuration(), 2.0);
    EXPECT_EQ(Count(WM_REG_OPENSUCCESSED), 1u);
    EXPECT_EQ(manager.GetOpenedPath(), Track("Track01.cda"));
    std::string mode;
    ASSERT_TRUE(ManagedEngine().GetDevice()->SendString("STATUS CDAUDIO MODE", &mode));
    EXPECT_EQ(mode, "playing");
    ASSERT_TRUE(WaitFor([&] { return Completed(); })) << "the end of the track is reported";
    Settle();
    ASSERT_EQ(Count(WM_REG_PLAYCOMPLETED), 1u);
    EXPECT_EQ(FinishReport(), 0u) << "finished, not failed";
    EXPECT_EQ(m_parent.Only(WM_REG_PLAYSTATE).back().wParam, WPARAM(EngineStopped));
    EXPECT_EQ(manager.GetCurrentEngine(), nullptr);
    EXPECT_EQ(manager.GetOverlayText(), "");

    ASSERT_TRUE(start("Track02.cda"));
    manager.Seek(69.0); // plays on from 1:09
    EXPECT_EQ(manager.GetPlayState(), EnginePlaying);
    ASSERT_TRUE(WaitFor([&] { return manager.GetPosition() >= 70.0; }));
    manager.Pause();
    EXPECT_EQ(manager.GetPlayState(), EnginePaused);
    const DWORD from = ManagedEngine().GetFrom();
    const double paused = manager.GetPosition();
    EXPECT_EQ(std::pair(MCI_TMSF_TRACK(from), MCI_TMSF_MINUTE(from)), std::pair(2u, 1u));
    EXPECT_GE(MCI_TMSF_SECOND(from), 10u);
    EXPECT_EQ(paused, double(MCI_TMSF_MINUTE(from) * 60 + MCI_TMSF_SECOND(from)));
    Settle(300);
    EXPECT_EQ(manager.GetPosition(), paused) << "a paused track stays where it is";

    const std::size_t before = m_parent.m_received.size();
    manager.Play(true);
    EXPECT_EQ(manager.GetPlayState(), EnginePlaying);
    EXPECT_EQ(IndexOf(WM_REG_CLIPLOADING, 1, before), -1) << "resuming does not open it again";
    ASSERT_TRUE(WaitFor([&] { return manager.GetPosition() > paused; }))
        << "playback continues at the paused place";
    EXPECT_FALSE(Completed());

    ASSERT_TRUE(StopAndWait());
    Settle();
    EXPECT_EQ(Count(WM_REG_PLAYCOMPLETED), 1u);
    EXPECT_EQ(FinishReport(), 0u);

    // No disc, track 0, and a disc of its own cut short while its track plays: the sectors
    // after the cut cannot be read, and the device's failure notice fails the clip.
    const std::string folder = std::filesystem::path(DiscCue()).parent_path();
    const std::string cut = testsupport::WriteCueBinAudioDisc(folder, "short", {{5 * 75, 1}});
    // The error read when never opened; 0: the device's notice, when the track already played.
    for (const auto& [path, error] :
         {std::pair<std::string, DWORD>{"/nonexistent/disc.cue/Track01.cda",
                                        MCIERR_DEVICE_NOT_READY},
          {Track("Track.cda"), MCIERR_OUTOFRANGE},
          {cut + "/Track01.cda", 0}}) {
        SCOPED_TRACE(path);
        m_parent.m_received.clear();
        manager.SetPath(path);
        manager.Play(true);
        if (!error) {
            ASSERT_EQ(manager.GetPlayState(), EnginePlaying);
            std::filesystem::resize_file(folder + "/short.bin", 30 * CCdDisc::kSectorBytes);
        }
        ASSERT_TRUE(WaitFor([&] { return Completed(); }));
        EXPECT_EQ(FinishReport(), 1u) << "failed, not finished";
        EXPECT_EQ(manager.GetOverlayText(), "Cann't read CD files.");
        EXPECT_TRUE(manager.GetPlayState() == EngineStopped && !manager.IsLoading());
        if (error) {
            EXPECT_EQ(Count(WM_REG_OPENSUCCESSED), 0u);
            EXPECT_EQ(ManagedEngine().GetDevice()->GetLastError(), error);
        }
    }
}
