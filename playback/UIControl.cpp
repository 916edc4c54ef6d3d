#include "playback/UIControl.h"

#include "core/Archive.h"
#include "core/AttribClip.h"
#include "platform/Log.h"
#include "platform/MessageBox.h"
#include "playback/CommandBus.h"
#include "playback/EngineManagerControl.h"

#include <algorithm>

namespace {

const char kAllUnplayable[] = "All files in playlist are not playable.";

} // namespace

CUIControl::CUIControl() = default;
CUIControl::~CUIControl() = default;

IEngineManagerControl* CUIControl::AttachEngineManager(IEngineManagerControl* pManager) {
    m_pEngineManager = pManager;
    if (m_pEngineManager) {
        m_pEngineManager->SetDisplayMode(m_nDisplayMode);
        m_pEngineManager->SetVolume(m_nVolume);
        m_pEngineManager->SetMute(m_bMute != 0);
    }
    return m_pEngineManager;
}

void CUIControl::SetMute(bool mute) {
    m_bMute = mute;
    if (m_pEngineManager)
        m_pEngineManager->SetMute(mute);
}

void CUIControl::SetVolume(int volume) {
    // Keys, the wheel and the desktop step past the ends; the engines take 0..100 only.
    m_nVolume = std::clamp(volume, 0, 100);
    if (m_pEngineManager)
        m_pEngineManager->SetVolume(m_nVolume);
    Submit(CmdVolume, m_nVolume);
}

// ---- the user's changes to the listening modes

void CUIControl::AnnounceListeningModes() {
    Submit(CmdRepeatChanged);
    Submit(CmdUpdateControls);
}

void CUIControl::ToggleRepeat() {
    ChooseRepeat(!GetRepeat(), m_bRepeatOne);
}

void CUIControl::ToggleRepeatOne() {
    ChooseRepeat(GetRepeat(), !m_bRepeatOne);
}

void CUIControl::ChooseRepeat(bool repeat, bool repeatOne) {
    SetRepeat(repeat);
    SetRepeatOne(repeatOne);
    AnnounceListeningModes();
}

void CUIControl::ToggleShuffle() {
    ChooseShuffle(!m_bShuffle);
}

void CUIControl::ChooseShuffle(bool shuffle) {
    SetShuffle(shuffle);
    AnnounceListeningModes();
}

void CUIControl::ToggleMute() {
    SetMute(!GetMute());
    Submit(CmdUpdateControls);
}

// ---- commands

void CUIControl::Submit(int code, LPARAM param1) {
    if (m_pBus)
        m_pBus->SubmitCommand(this, code, param1);
}

void CUIControl::AnnounceClip(bool autoplay) {
    // Told before the clip opens: a short clip may be read to its end while it opens.
    if (autoplay && m_pEngineManager)
        m_pEngineManager->SetNextPath(NextPathToJoin());
    Submit(CmdLoadClip, ControlCommand::FromClip(m_pCurrentClip));
    Submit(CmdPlay, autoplay ? 1 : 0);
}

void CUIControl::StartPlaying() {
    if (m_pEngineManager)
        m_pEngineManager->SetNextPath(NextPathToJoin());
    Submit(CmdPlay, 1);
    m_nPendingAction = PendingAction::Playing;
}

void CUIControl::AnnounceStop() {
    Submit(CmdStop);
    if (m_pEngineManager)
        m_pEngineManager->SetOverlayText({});
}

void CUIControl::MarkCurrentClip(bool playable) {
    if (m_pCurrentClip)
        m_pCurrentClip->SetPlayable(playable ? 1 : 0);
    Submit(CmdPlayableChanged, ControlCommand::FromClip(m_pCurrentClip));
}

void CUIControl::SetShuffle(bool shuffle) {
    if (shuffle && !m_bShuffle)
        m_shuffle.Reset(); // a new pass starts from the current clip
    m_bShuffle = shuffle;
}

CAttribClip* CUIControl::NavigateInOrder(NavigateMode mode) {
    if (!m_pNavigator)
        return nullptr;
    if (!m_bShuffle || (mode != NavigateNext && mode != NavigatePrevious))
        return m_pNavigator->Navigate(mode);
    const std::vector<CAttribClip*> clips = m_pNavigator->RowClips();
    CAttribClip* current = m_pNavigator->CurrentClip();
    CAttribClip* clip = mode == NavigateNext ? m_shuffle.Next(clips, current, GetRepeat())
                                             : m_shuffle.Previous(clips, current);
    return clip ? m_pNavigator->NavigateTo(clip) : nullptr;
}

// The clip the clip-finished rules will start, told once before each clip opens so the engine
// can join it without a gap (told again, a clip joined already would be joined twice). The shuffled
// order draws its next clip only when it is needed: none is told then. A guess that turns out wrong
// costs nothing but the gap: the clip then opened is played.
std::string CUIControl::NextPathToJoin() const {
    if (!m_pNavigator || !m_pCurrentClip || m_bShuffle)
        return {};
    if (m_bRepeatOne)
        return m_pCurrentClip->GetPath();
    const std::vector<CAttribClip*> clips = m_pNavigator->RowClips();
    auto it = std::find(clips.begin(), clips.end(), m_pCurrentClip);
    if (it == clips.end())
        return {};
    if (++it == clips.end()) {
        if (!GetRepeat())
            return {};
        it = clips.begin();
    }
    return (*it)->GetPlayable() ? (*it)->GetPath() : std::string();
}

bool CUIControl::CanNavigateInOrder(NavigateMode mode) const {
    if (!m_pNavigator)
        return false;
    if (!m_bShuffle)
        return m_pNavigator->CanNavigate(mode);
    CAttribClip* current = m_pNavigator->CurrentClip();
    return mode == NavigatePrevious
               ? m_shuffle.CanPrevious(current)
               : m_shuffle.CanNext(m_pNavigator->RowClips(), current, GetRepeat());
}

bool CUIControl::SelectBy(NavigateMode mode) {
    m_pCurrentClip = NavigateInOrder(mode);
    AnnounceClip(false);
    return m_pCurrentClip != nullptr;
}

void CUIControl::RestartTimer(std::uintptr_t id, unsigned elapseMs) {
    if (!m_pTimerWnd)
        return;
    m_pTimerWnd->KillTimer(id);
    m_pTimerWnd->SetTimer(id, elapseMs);
}

// ---- start-up and transport

void CUIControl::Start() {
    m_listClip.MarkAllPlayable();
    Submit(CmdUpdateControls);
    m_pCurrentClip = m_pNavigator ? m_pNavigator->CurrentClip() : nullptr;
    if (m_pCurrentClip)
        Submit(CmdLoadClip, ControlCommand::FromClip(m_pCurrentClip));
}

bool CUIControl::Play() {
    // The work waits for the timer, so it runs after the current message has been handled.
    RestartTimer(kPlayTimer, 0);
    return true;
}

void CUIControl::RunPendingPlay() {
    if (m_pTimerWnd && m_pTimerWnd->KillTimer(kPlayTimer))
        OnTimer(kPlayTimer);
}

bool CUIControl::Pause() {
    m_nPendingAction = PendingAction::Paused;
    Submit(CmdPause);
    return true;
}

bool CUIControl::Stop() {
    m_nPendingAction = PendingAction::Stopped;
    // A selection still waiting for its delay is dropped: once stopped, the select timer would
    // wait for a finish report that never comes and leave the controller busy for good.
    if (m_pTimerWnd)
        m_pTimerWnd->KillTimer(kSelectTimer);
    m_bSelectWaiting = false;
    if (m_pEngineManager)
        m_pEngineManager->SetIdleLogo(true);
    AnnounceStop();
    Submit(CmdStopped);
    Submit(CmdSeek, 0);
    return true;
}

bool CUIControl::Previous() {
    return Step(PendingAction::Previous, NavigatePrevious);
}

bool CUIControl::Next() {
    return Step(PendingAction::Next, NavigateNext);
}

bool CUIControl::Step(PendingAction action, NavigateMode mode) {
    m_nPendingAction = action;
    SelectBy(mode);
    // Every press restarts the delay, so quick presses move the cursor but open only once.
    RestartTimer(kSelectTimer, kSelectDelayMs);
    m_bSelectWaiting = true;
    Submit(CmdUpdateControls);
    return true;
}

void CUIControl::PlayClip(CAttribClip* pClip, bool start) {
    m_pCurrentClip = pClip;
    if (!start)
        return;
    if (m_nPendingAction != PendingAction::Stopped) {
        // The finish report of the clip being stopped starts this one.
        m_nPendingAction = PendingAction::PlayClip;
        AnnounceStop();
        return;
    }
    Submit(CmdLoadClip, ControlCommand::FromClip(pClip));
    Play();
}

void CUIControl::OnTimer(std::uintptr_t id) {
    if (id == kSelectTimer) {
        m_bBusy = 1;
        m_bSelectWaiting = false;
        if (m_pTimerWnd)
            m_pTimerWnd->KillTimer(kSelectTimer);
        // The engine stops the old clip and reports it finished; the clip-finished rules
        // then start the clip selected meanwhile.
        AnnounceStop();
    } else if (id == kPlayTimer) {
        if (m_pTimerWnd)
            m_pTimerWnd->KillTimer(kPlayTimer);
        m_nPendingAction = PendingAction::Playing;
        if (m_pEngineManager)
            m_pEngineManager->SetIdleLogo(false);
        StartPlaying();
        Submit(CmdPlaybackRequested);
    }
}

// ---- engine reports

void CUIControl::OnOpenResult(bool opened) {
    if (opened) {
        // A volume or mute set while nothing was open reaches the engine now.
        if (m_pEngineManager) {
            m_pEngineManager->SetVolume(m_nVolume);
            m_pEngineManager->SetMute(m_bMute != 0);
        }
        return;
    }
    m_bBusy = 0;
    MarkCurrentClip(true);
}

void CUIControl::OnPlayCompleted(bool error) {
    if (error) {
        m_bBusy = 0;
        if (m_pCurrentClip)
            platform::LogVerbose("clip marked unplayable: " + m_pCurrentClip->GetPath());
        MarkCurrentClip(false);
        if (!m_listClip.AnyPlayable()) {
            StopAllUnplayable();
            return;
        }
    }
    ApplyClipFinishedRules();
}

void CUIControl::OnOutputFailed() {
    m_bBusy = 0;
    m_nPendingAction = PendingAction::Stopped;
    if (m_pTimerWnd)
        m_pTimerWnd->KillTimer(kSelectTimer);
    if (m_pEngineManager)
        m_pEngineManager->SetIdleLogo(true);
    Submit(CmdStopped);
}

void CUIControl::StopAllUnplayable() {
    platform::LogVerbose("no clip of the playlist can be played: stopped");
    Stop();
    if (m_pEngineManager)
        m_pEngineManager->SetOverlayText(Translate(kAllUnplayable));
    m_pCurrentClip = nullptr;
    Submit(CmdPlayableChanged, 0);
}

void CUIControl::ApplyClipFinishedRules() {
    switch (m_nPendingAction) {
    case PendingAction::Previous:
    case PendingAction::Next:
        // The clip chosen when the button was pressed is already loaded. A report that comes
        // before the delay ended is the one of a clip stopped before the press (next while
        // paused): the chosen clip starts now, and the delay must not stop it again.
        if (m_bSelectWaiting && m_pTimerWnd)
            m_pTimerWnd->KillTimer(kSelectTimer);
        m_bSelectWaiting = false;
        StartPlaying();
        break;
    case PendingAction::Playing:
    case PendingAction::Paused:
        // Repeat one plays the clip again, unless it failed: then the list moves on.
        if (m_bRepeatOne && m_pCurrentClip && m_pCurrentClip->GetPlayable()) {
            AnnounceClip(true);
            break;
        }
        m_pCurrentClip = NavigateInOrder(NavigateNext);
        if (m_pCurrentClip)
            AnnounceClip(true);
        else
            Stop();
        break;
    case PendingAction::PlayClip:
        if (m_pCurrentClip)
            AnnounceClip(true);
        m_nPendingAction = PendingAction::Playing;
        break;
    case PendingAction::Stopped:
        break;
    }
}

// ---- playlist

bool CUIControl::RemoveClip(CAttribClip* pClip) {
    const bool wasCurrent = pClip && pClip == m_pCurrentClip;
    if (!m_listClip.Remove(pClip))
        return false;
    // The current clip is left alone, unless it was the clip destroyed just now: a pointer to
    // it must not outlive it.
    if (wasCurrent)
        m_pCurrentClip = nullptr;
    return true;
}

void CUIControl::ClearPlaylist() {
    m_pCurrentClip = nullptr;
    m_listClip.RemoveAll();
}

void CUIControl::ReplacePlaylist(CObjListClip& clips) {
    ClearPlaylist();
    m_listClip.TakeAll(clips);
}

core::AddFilesResult CUIControl::AddFiles(const std::vector<std::string>& paths,
                                          bool insertAfterCurrent) {
    return core::AddFiles(m_listClip, paths, insertAfterCurrent, m_pCurrentClip,
                          [this](const std::string& caption, const std::string& text) {
                              ReportFileError(caption, text);
                          });
}

void CUIControl::CollectPaths(std::vector<std::string>& paths) const {
    for (std::size_t i = 0; i < m_listClip.GetCount(); ++i)
        paths.push_back(m_listClip.GetAt(i)->GetPath());
}

void CUIControl::ReportFileError(const std::string& caption, const std::string& text) {
    if (m_report)
        m_report(caption, text);
    else
        MessageBox(m_pTimerWnd, Translate(text), Translate(caption), MB_OK | MB_ICONERROR);
}

std::string CUIControl::Translate(const std::string& text) const {
    return m_translate ? m_translate(text) : text;
}

// ---- enabling queries

bool CUIControl::IsRefused() const {
    return m_bBusy || (m_pEngineManager && m_pEngineManager->IsLoading());
}

bool CUIControl::CanPlay() const {
    return !IsRefused() && !m_listClip.IsEmpty();
}

bool CUIControl::CanPrevious() const {
    return !IsRefused() && CanNavigateInOrder(NavigatePrevious);
}

bool CUIControl::CanResume() const {
    return !IsRefused() && !IsPlaying();
}

bool CUIControl::CanPause() const {
    return !IsRefused() && IsPlaying();
}

bool CUIControl::CanStop() const {
    return !IsRefused() && !m_listClip.IsEmpty() &&
           (IsPlaying() || m_nEnginePlayState == EnginePaused);
}

bool CUIControl::CanNext() const {
    return !IsRefused() && CanNavigateInOrder(NavigateNext);
}

bool CUIControl::CanSelect() const {
    return !IsRefused() && !m_listClip.IsEmpty();
}

bool CUIControl::CanSeek() const {
    return !IsRefused() && !m_listClip.IsEmpty() && m_pEngineManager && m_pEngineManager->CanSeek();
}

// ---- persistent state

void CUIControl::Serialize(CArchive& ar, bool withClips) {
    if (ar.IsStoring()) {
        if (withClips)
            m_listClip.Serialize(ar);
        else
            CObjListClip().Serialize(ar);
        ar.WriteString(m_strLastOpenFolder);
        ar.WriteString(m_strLastPlaylistFolder);
        for (std::int32_t v : {m_bRepeat, m_bMute, m_nVolume, m_nDisplayMode})
            ar.WriteInt32(v);
        return;
    }
    // A damaged state leaves the playlist as it was and keeps every value read before the
    // damage; the values after it keep what they held.
    CObjListClip loaded;
    loaded.Serialize(ar);
    if (ar.Failed())
        return;
    ReplacePlaylist(loaded);
    auto readString = [&ar](std::string& s) {
        std::string v = ar.ReadString();
        if (!ar.Failed())
            s = std::move(v);
    };
    auto readInt = [&ar](std::int32_t& n) {
        const std::int32_t v = ar.ReadInt32();
        if (!ar.Failed())
            n = v;
    };
    readString(m_strLastOpenFolder);
    readString(m_strLastPlaylistFolder);
    readInt(m_bRepeat);
    readInt(m_bMute);
    readInt(m_nVolume);
    readInt(m_nDisplayMode);
    m_nVolume = std::clamp(m_nVolume, 0, 100);
}
