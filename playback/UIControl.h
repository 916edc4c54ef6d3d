// The playback controller: it owns the playlist, remembers which clip is current, turns the
// user's transport requests into commands on the command bus, and decides what plays next
// when the engine reports that a clip opened, finished or failed. It is not a window: its two
// timers run on the main window, which hands the ticks back through OnTimer.
#pragma once

#include "core/ObjListClip.h"
#include "core/PlaylistFile.h"
#include "core/PlaylistNavigator.h"
#include "core/ShuffleOrder.h"
#include "platform/Wnd.h"
#include "playback/ControlCommand.h"
#include "playback/PlaybackState.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CArchive;
class CAttribClip;
class ICommandBus;
class IEngineManagerControl;

class CUIControl : public CCmdTarget {
public:
    // Timer ids on the timer window.
    static constexpr std::uintptr_t kSelectTimer = 1; // 500 ms after previous/next
    static constexpr std::uintptr_t kPlayTimer = 2;   // 0 ms: play once the caller returned
    static constexpr unsigned kSelectDelayMs = 500;

    using Translator = std::function<std::string(const std::string&)>;

    CUIControl();
    ~CUIControl() override;
    CUIControl(const CUIControl&) = delete;
    CUIControl& operator=(const CUIControl&) = delete;

    // Wiring, done once at start-up.
    IEngineManagerControl* AttachEngineManager(IEngineManagerControl* pManager);
    IEngineManagerControl* GetEngineManager() const { return m_pEngineManager; }
    void SetTimerWindow(CWnd* pWnd) { m_pTimerWnd = pWnd; }
    void SetCommandBus(ICommandBus* pBus) { m_pBus = pBus; }
    // The playlist window's cursor row decides previous, next and current.
    void SetNavigator(IPlaylistNavigator* pNavigator) { m_pNavigator = pNavigator; }
    IPlaylistNavigator* GetNavigator() const { return m_pNavigator; }
    // Texts shown to the user pass through it; without one they are shown as written.
    void SetTranslator(Translator translate) { m_translate = std::move(translate); }
    // Receives playlist file errors; without one they are shown in message boxes.
    void SetErrorReporter(core::ErrorReporter report) { m_report = std::move(report); }

    int GetEnginePlayState() const { return m_nEnginePlayState; }
    void SetEnginePlayState(int state) { m_nEnginePlayState = state; }
    int GetDisplayMode() const { return m_nDisplayMode; }
    void SetDisplayMode(int mode) { m_nDisplayMode = mode; }
    CObjListClip& GetClipList() { return m_listClip; }
    const CObjListClip& GetClipList() const { return m_listClip; }
    CAttribClip* GetCurrentClip() const { return m_pCurrentClip; }
    PendingAction GetPendingAction() const { return m_nPendingAction; }
    bool IsBusy() const { return m_bBusy != 0; }

    // The Set functions of the listening modes and of mute change the state quietly: they
    // restore saved settings. What the user changes goes through the Toggle and Choose
    // functions below, which announce the change.
    bool GetRepeat() const { return m_bRepeat != 0; }
    void SetRepeat(bool repeat) { m_bRepeat = repeat; }
    // The clip that finishes plays again (Next and Previous still move on).
    bool GetRepeatOne() const { return m_bRepeatOne; }
    void SetRepeatOne(bool repeatOne) { m_bRepeatOne = repeatOne; }
    // Next and Previous follow a shuffled order of the rows instead of the rows' own.
    bool GetShuffle() const { return m_bShuffle; }
    void SetShuffle(bool shuffle);
    bool GetMute() const { return m_bMute != 0; }
    void SetMute(bool mute);
    int GetVolume() const { return m_nVolume; }

    // The user's changes, whichever button, key, menu item or desktop call makes them. The
    // listening modes announce CmdRepeatChanged then CmdUpdateControls (the enabling of
    // previous and next depends on them); mute announces CmdUpdateControls.
    void ToggleRepeat();
    void ToggleRepeatOne();
    void ToggleShuffle();
    void ToggleMute();
    // Both repeat modes at once, announced once (the desktop's loop status).
    void ChooseRepeat(bool repeat, bool repeatOne);
    void ChooseShuffle(bool shuffle);
    // The one way the volume changes: brought into 0..100 here, handed to the engine (which
    // turns it into its own unit), and announced with CmdVolume so the volume bar and the
    // desktop follow.
    void SetVolume(int volume);

    const std::string& GetLastOpenFolder() const { return m_strLastOpenFolder; }
    void SetLastOpenFolder(std::string folder) { m_strLastOpenFolder = std::move(folder); }
    const std::string& GetLastPlaylistFolder() const { return m_strLastPlaylistFolder; }
    void SetLastPlaylistFolder(std::string folder) { m_strLastPlaylistFolder = std::move(folder); }

    // Start-up, and again after files were added: every clip counts as playable again and
    // the playlist window's cursor clip is announced.
    void Start();

    // Transport; each answers true.
    bool Play();
    // A play still waiting for its timer starts now (at start-up, before the windows show).
    void RunPendingPlay();
    bool Pause();
    bool Stop();
    bool Previous();
    bool Next();
    // Makes the clip current; with `start`, plays it (after stopping the one playing).
    void PlayClip(CAttribClip* pClip, bool start);

    bool RemoveClip(CAttribClip* pClip);
    void ClearPlaylist();
    // Makes the clips of `clips` (which is left empty) the playlist, with no clip current.
    void ReplacePlaylist(CObjListClip& clips);
    core::AddFilesResult AddFiles(const std::vector<std::string>& paths, bool insertAfterCurrent);
    void CollectPaths(std::vector<std::string>& paths) const;

    // Enabling queries; all false while busy or while the engine manager is loading.
    bool CanPlay() const;
    bool CanPrevious() const;
    bool CanResume() const;
    bool CanPause() const;
    bool CanStop() const;
    bool CanNext() const;
    bool CanSelect() const;
    bool CanSeek() const;

    // Reports handed on by the main window (timers) and the play window (engine).
    void OnTimer(std::uintptr_t id);
    void OnOpenResult(bool opened);
    void OnPlayCompleted(bool error);
    // The sound output failed while the current clip opened or played: playback stops, and
    // the clip keeps its mark.
    void OnOutputFailed();

    // The list, the two folders, then repeat, mute, volume and display mode. Storing without
    // clips writes an empty list in the list's place (the clips are then kept elsewhere).
    void Serialize(CArchive& ar, bool withClips = true);

private:
    void Submit(int code, LPARAM param1 = 0);
    void AnnounceListeningModes();
    void AnnounceClip(bool autoplay);
    void StartPlaying();
    void AnnounceStop();
    void MarkCurrentClip(bool playable);
    bool SelectBy(NavigateMode mode);
    CAttribClip* NavigateInOrder(NavigateMode mode);
    std::string NextPathToJoin() const;
    bool CanNavigateInOrder(NavigateMode mode) const;
    bool Step(PendingAction action, NavigateMode mode);
    void ApplyClipFinishedRules();
    void StopAllUnplayable();
    void RestartTimer(std::uintptr_t id, unsigned elapseMs);
    bool IsRefused() const;
    bool IsPlaying() const { return m_nEnginePlayState == EnginePlaying; }
    void ReportFileError(const std::string& caption, const std::string& text);
    std::string Translate(const std::string& text) const;

    IEngineManagerControl* m_pEngineManager = nullptr;
    CWnd* m_pTimerWnd = nullptr;
    CObjListClip m_listClip;
    std::int32_t m_bRepeat = 1;
    std::int32_t m_bMute = 0;
    std::int32_t m_nVolume = 80;
    std::int32_t m_nEnginePlayState = EngineStopped;
    std::string m_strLastOpenFolder;
    std::string m_strLastPlaylistFolder;
    CAttribClip* m_pCurrentClip = nullptr; // not owned: the list owns its clips
    std::int32_t m_nDisplayMode = 2;
    PendingAction m_nPendingAction = PendingAction::Stopped;
    std::int32_t m_bBusy = 0;
    // Set from a previous/next press until its delay ends and the old clip is stopped.
    bool m_bSelectWaiting = false;
    // Kept in settings of their own, not in the saved state above.
    bool m_bRepeatOne = false;
    bool m_bShuffle = false;
    core::CShuffleOrder m_shuffle;

    ICommandBus* m_pBus = nullptr;
    IPlaylistNavigator* m_pNavigator = nullptr;
    Translator m_translate;
    core::ErrorReporter m_report;
};
