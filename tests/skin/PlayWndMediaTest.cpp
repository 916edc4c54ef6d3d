// The play window with the real engine manager and a generated WAV file: the open reaches the
// controller and starts the position ticks, the end of the clip reaches the controller and
// stops them; a failing sound output stops playback without blaming the clip.
#include "tests/playback/MediaFixtures.h"
#include "tests/skin/PlayWndTestSupport.h"
#include "tests/support/WavWriter.h"

using namespace playtest;

namespace {

class PlayWndMediaTest : public PlayWndTest {
protected:
    void SetUp() override {
        PlayWndTest::SetUp();
        Ctl().SetRepeat(false);
    }
    // A sink that keeps time, so a clip lasts as long as it says (set before the window starts).
    mediatest::CScopedEnv m_sink{"CORVELLA_AUDIO_SINK", "fakesink sync=true"};
};

} // namespace

TEST_F(PlayWndMediaTest, AnOpenedClipReportsToTheControllerAndTicksUntilItEnds) {
    const std::string path = m_temp / "tone.wav";
    testsupport::WriteWav(path, 2);
    AddClips({path});
    Ctl().Play();
    ASSERT_TRUE(PumpUntil([&] { return Ctl().GetEnginePlayState() == EnginePlaying; }));
    EXPECT_EQ(Engine().GetOpenedPath(), path);
    EXPECT_TRUE(Ctl().GetCurrentClip()->GetPlayable());
    EXPECT_FALSE(Ctl().IsBusy());
    EXPECT_EQ(Engine().GetVolume(), Ctl().GetVolume()) << "the controller set the volume";
    EXPECT_EQ(Seen(CmdClipOpened).size(), 1u);
    EXPECT_EQ(m_wnd.GetPictureSize(), CSize{}) << "a sound has no picture";
    EXPECT_TRUE(Seen(CmdPosition).empty());
    m_clock.Advance(1000);
    ASSERT_EQ(Seen(CmdPosition).size(), 1u) << "one tick a second";
    EXPECT_GE(LastParam(CmdPosition), 0);

    ASSERT_TRUE(PumpUntil([&] { return !Seen(CmdPlaybackCompleted).empty(); }));
    EXPECT_EQ(Seen(CmdPlaybackCompleted)[0].pSender, &m_mainWnd);
    EXPECT_EQ(Ctl().GetEnginePlayState(), EngineStopped);
    EXPECT_EQ(Ctl().GetPendingAction(), PendingAction::Stopped) << "no next clip, repeat off";
    const std::size_t ticks = Seen(CmdPosition).size();
    m_clock.Advance(3000);
    EXPECT_EQ(Seen(CmdPosition).size(), ticks) << "the ticks end with the clip";
}

// The sound output failing is not the clip's fault: it keeps its mark, playback stops with the
// reason shown, and Play opens it again. With no output at all the player says which it tried
// rather than let the time run in silence.
TEST_F(PlayWndMediaTest, ASoundOutputFailureStopsPlaybackAndLeavesTheClipPlayable) {
    const std::string path = m_temp / "tone.wav";
    testsupport::WriteWav(path, 10);
    AddClips({path});
    auto playUntil = [&](int state, const char* sink) {
        ::setenv("CORVELLA_AUDIO_SINK", sink, 1);
        Ctl().Play();
        return PumpUntil([&] { return Ctl().GetEnginePlayState() == state; });
    };
    ASSERT_TRUE(playUntil(EnginePlaying, "identity error-after=8 ! fakesink sync=true"));
    ASSERT_TRUE(PumpUntil([&] { return Ctl().GetEnginePlayState() == EngineStopped; }));
    EXPECT_TRUE(Ctl().GetClipList().GetAt(0)->GetPlayable());
    EXPECT_EQ(Ctl().GetCurrentClip(), Ctl().GetClipList().GetAt(0));
    EXPECT_EQ(Ctl().GetPendingAction(), PendingAction::Stopped);
    EXPECT_TRUE(Engine().GetOverlayText().starts_with("No sound: ")) << Engine().GetOverlayText();
    EXPECT_FALSE(Ctl().IsBusy());

    ASSERT_TRUE(playUntil(EnginePlaying, "fakesink sync=true")) << "the output is back";
    EXPECT_EQ(Engine().GetOverlayText(), "");
    Ctl().Stop();
    ASSERT_TRUE(PumpUntil([&] { return Ctl().GetEnginePlayState() == EngineStopped; }));

    // Nothing the automatic sink tries can sound here.
    const std::string noConfig = m_temp.MakeFile("no-alsa.conf", "");
    mediatest::CScopedEnv pulse("PULSE_SERVER", "unix:/nonexistent/pulse"),
        alsa("ALSA_CONFIG_PATH", noConfig.c_str()), jack("JACK_NO_START_SERVER", "1"),
        sink("CORVELLA_AUDIO_SINK", nullptr);
    Ctl().Play();
    ASSERT_TRUE(PumpUntil([&] {
        return Engine().GetOverlayText().starts_with("No sound: no sound output could be opened");
    })) << Engine().GetOverlayText();
    const std::string text = Engine().GetOverlayText();
    EXPECT_NE(text.find("tried: "), std::string::npos) << text;
    EXPECT_NE(text.find("pulsesink"), std::string::npos) << text;
    EXPECT_EQ(Ctl().GetEnginePlayState(), EngineStopped);
    EXPECT_TRUE(Ctl().GetClipList().GetAt(0)->GetPlayable());
}
