#include "playback/EngineManager.h"

#include "core/PlaylistPaths.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"
#include "platform/RegisteredMessages.h"
#include "playback/CDAudioEngine.h"
#include "playback/DShowEngine.h"
#include "playback/DShowWnd.h"
#include "playback/QuickTimeEngine.h"
#include "playback/RealEngine.h"
#include "res/StringTable.h"

#include <algorithm>
#include <cctype>

namespace {

const char kNotValid[] = "Not a valid media file.";
const char kOutputFailed[] = "No sound: ";
const char kNotReadable[] = "This file cannot be read: permission denied.";
constexpr std::uint32_t kIdBuffering = 5511; // "Buffering %d" (the per cent sign follows)
const char kCannotReadCd[] = "Cann't read CD files.";

// DirectShow and RealMedia count states 0 stopped, 3 running, 4 paused, 5 busy.
int MapEngineState(int state) {
    switch (state) {
    case 0:
        return EngineStopped;
    case 3:
        return EnginePlaying;
    case 4:
        return EnginePaused;
    case 5:
        return EngineBusy;
    default:
        return 4; // ignored by SetState
    }
}

// The extension of the file name (after its last dot); the folders' dots do not count.
std::string ExtensionOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart)
        return {};
    return path.substr(dot + 1);
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}

} // namespace

CEngineManager::CEngineManager() = default;

CEngineManager::~CEngineManager() {
    DestroyEngines();
    DestroyWindow();
}

std::unique_ptr<CMediaEngine> CEngineManager::CreateEngineObject(int engineId) {
    switch (engineId) {
    case EngineDShow:
        return std::make_unique<CDShowEngine>();
    case EngineReal:
        return std::make_unique<CRealEngine>();
    case EngineQuickTime:
        return std::make_unique<CQuickTimeEngine>();
    case EngineCDAudio:
        return std::make_unique<CCDAudioEngine>();
    default:
        return nullptr;
    }
}

bool CEngineManager::Create(const CRect& rect, CWnd* pParent, UINT /*id*/) {
    if (!CreateChild(pParent, rect))
        return false;
    ShowWindow(SW_HIDE);
    SetCursorShape(CursorShape::Arrow);
    OnSize(rect.Width(), rect.Height());
    for (int id = 0; id < kEngineCount; ++id) {
        m_pEngines[id] = CreateEngineObject(id);
        CMediaEngine* pEngine = m_pEngines[id].get();
        if (!pEngine)
            continue;
        pEngine->SetExtensions(m_strExtensions[id]);
        if (!m_bDisabled[id])
            pEngine->SetInstalled(pEngine->Create(
                {}, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, CRect{}, this, id));
        if (pEngine->IsInstalled())
            pEngine->Initialize();
    }
    return true;
}

void CEngineManager::SetExtensions(int engineId, const std::string& list) {
    if (engineId < 0 || engineId >= kEngineCount)
        return;
    m_strExtensions[engineId] = list;
    if (m_pEngines[engineId])
        m_pEngines[engineId]->SetExtensions(list);
}

std::string CEngineManager::GetExtensions(int engineId) const {
    if (engineId < 0 || engineId >= kEngineCount)
        return {};
    return m_strExtensions[engineId];
}

void CEngineManager::SetPath(const std::string& path) {
    if (!EqualNoCase(path, m_strPath))
        m_strPath = path;
}

CMediaEngine* CEngineManager::GetEngine(int engineId) const {
    return engineId >= 0 && engineId < kEngineCount ? m_pEngines[engineId].get() : nullptr;
}

bool CEngineManager::IsDisabled(int engineId) const {
    return engineId >= 0 && engineId < kEngineCount && m_bDisabled[engineId];
}

void CEngineManager::SetDisabled(int engineId, bool disabled) {
    if (engineId >= 0 && engineId < kEngineCount)
        m_bDisabled[engineId] = disabled ? 1 : 0;
}

void CEngineManager::ApplyEditionSwitch() {
    if (kWindowsMediaOnly) {
        SetDisabled(EngineReal, true);
        SetDisabled(EngineQuickTime, true);
    }
}

bool CEngineManager::AllInstalled() const {
    for (int id : {EngineDShow, EngineQuickTime, EngineReal})
        if (!m_pEngines[id] || !m_pEngines[id]->IsInstalled())
            return false;
    return true;
}

bool CEngineManager::OpenCdDoor(bool open) {
    if (auto* pCd = dynamic_cast<CCDAudioEngine*>(GetEngine(EngineCDAudio)))
        return pCd->OpenDoor(open);
    return CCDAudioEngine().OpenDoor(open);
}

bool CEngineManager::IsCdDoorOpen() {
    if (auto* pCd = dynamic_cast<CCDAudioEngine*>(GetEngine(EngineCDAudio)))
        return pCd->IsDoorOpen();
    return CCDAudioEngine().IsDoorOpen();
}

std::string CEngineManager::NotInstalledText(int engineId) {
    static const char* const kFirstLines[kEngineCount] = {
        "Windows Media Engine not installed.", "RealMedia Engine not installed.",
        "QuickTime Engine not installed.", "Windows MCI engine not installed."};
    const int id = engineId >= 0 && engineId < kEngineCount ? engineId : EngineDShow;
    return std::string(kFirstLines[id]) + "\rFor more info visit " + kWebHost;
}

// ---- transport ----

void CEngineManager::Play(bool start) {
    if (!start)
        return;
    if (m_nPlayState == EnginePaused && m_pCurrentEngine)
        m_pCurrentEngine->Play();
    else
        SendMessage(WM_REG_RUN);
}

void CEngineManager::Pause() {
    if (m_pCurrentEngine)
        m_pCurrentEngine->Pause();
}

void CEngineManager::Stop() {
    m_bStopAsked = true;
    if (m_bRetryPending) {
        // Nothing plays while waiting to reconnect: the clip ends here.
        KillTimer(kRetryTimer);
        m_bRetryPending = false;
        Finished(false);
        return;
    }
    if (m_pCurrentEngine)
        m_pCurrentEngine->Stop();
    // A clip the media engine joined on its own is not current until it is opened: a stop
    // then ends it too.
    if (CDShowWnd* pWnd = MediaWnd())
        pWnd->DropJoinedClip();
}

void CEngineManager::SetNextPath(const std::string& path) {
    if (CDShowWnd* pWnd = MediaWnd())
        pWnd->SetNextPath(path);
}

CDShowWnd* CEngineManager::MediaWnd() const {
    auto* pDShow = dynamic_cast<CDShowEngine*>(GetEngine(EngineDShow));
    return pDShow ? pDShow->GetWnd() : nullptr;
}

void CEngineManager::Seek(double seconds) {
    if (m_pCurrentEngine)
        m_pCurrentEngine->Seek(seconds);
}

double CEngineManager::GetPosition() const {
    return m_pCurrentEngine ? m_pCurrentEngine->GetPosition() : 0.0;
}

double CEngineManager::GetDuration() const {
    return m_pCurrentEngine ? m_pCurrentEngine->GetDuration() : 0.0;
}

void CEngineManager::SetMute(bool mute) {
    m_bMute = mute;
    if (m_pCurrentEngine)
        m_pCurrentEngine->SetMute(mute);
}

void CEngineManager::SetVolume(int volume) {
    m_nVolume = volume;
    if (m_pCurrentEngine)
        m_pCurrentEngine->SetVolume(volume);
}

bool CEngineManager::GetMute() const {
    return m_pCurrentEngine ? m_pCurrentEngine->GetMute() : true;
}

int CEngineManager::GetVolume() const {
    return m_pCurrentEngine ? m_pCurrentEngine->GetVolume() : 0;
}

bool CEngineManager::IsAudioOnly() const {
    return m_pCurrentEngine && m_pCurrentEngine->IsAudioOnly();
}

bool CEngineManager::CanSeek() const {
    return m_pCurrentEngine && m_pCurrentEngine->CanSeek();
}

bool CEngineManager::CanResizeVideo() const {
    return m_pCurrentEngine ? m_pCurrentEngine->CanResizeVideo() : true;
}

std::string CEngineManager::GetInfoText1() const {
    return m_pCurrentEngine ? m_pCurrentEngine->GetInfoText1() : std::string();
}

std::string CEngineManager::GetInfoText2() const {
    return m_pCurrentEngine ? m_pCurrentEngine->GetInfoText2() : std::string();
}

std::string CEngineManager::GetOpenedPath() const {
    return m_pCurrentEngine ? m_pCurrentEngine->GetOpenedPath() : std::string();
}

CSize CEngineManager::GetVideoSize() const {
    return m_pCurrentEngine ? m_pCurrentEngine->GetVideoSize() : CSize{};
}

void CEngineManager::ShowVideo(bool show) {
    m_bVideoShown = show ? 1 : 0;
    if (!show) {
        for (int id : {EngineDShow, EngineReal, EngineQuickTime, EngineCDAudio})
            if (m_pEngines[id])
                m_pEngines[id]->ShowVideo(false);
        UpdateBackBuffer();
        return;
    }
    if (!m_pCurrentEngine)
        return;
    m_pCurrentEngine->ShowVideo(!m_pCurrentEngine->IsAudioOnly());
    UpdateBackBuffer();
    ShowWindow(SW_SHOWNA);
}

void CEngineManager::SetRect(const CRect& rect) {
    MoveWindow(rect);
    if (m_pCurrentEngine && m_pCurrentEngine->IsInstalled())
        m_pCurrentEngine->SetVideoSize(rect.Width(), rect.Height());
}

void CEngineManager::SetOverlayText(const std::string& text) {
    m_strOverlayText = text;
    Invalidate();
}

void CEngineManager::Reset() {
    m_nPlayState = EngineStopped;
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_REG_PLAYSTATE, EngineStopped, 0);
    if (m_pCurrentEngine)
        m_pCurrentEngine->Close();
    ShowVideo(false);
    SetLoading(false);
}

void CEngineManager::DestroyEngines() {
    m_pCurrentEngine = nullptr;
    m_pOpeningEngine = nullptr;
    for (int id : {EngineDShow, EngineReal, EngineQuickTime, EngineCDAudio}) {
        if (!m_pEngines[id])
            continue;
        m_pEngines[id]->Destroy();
        m_pEngines[id].reset();
    }
}

// ---- the open sequence ----

void CEngineManager::Run() {
    m_nRetries = 0;
    m_bStopAsked = false;
    m_bRetryPending = false;
    KillTimer(kRetryTimer);
    Open();
}

void CEngineManager::Open() {
    if (m_strPath.empty())
        return;
    SetLoading(true);
    SetTimer(kOpenTimer, kOpenTimeoutMs);
    const std::string ext = ExtensionOf(m_strPath);
    for (int id : {EngineReal, EngineQuickTime, EngineCDAudio}) {
        // The CD engine has no switch of its own: its types never go elsewhere.
        if (id != EngineCDAudio && m_bDisabled[id])
            continue;
        if (CMediaEngine::ListSupports(m_strExtensions[id], ext)) {
            OpenWith(id);
            return;
        }
    }
    OpenWith(EngineDShow);
}

void CEngineManager::OpenWith(int engineId) {
    CMediaEngine* pEngine = m_pEngines[engineId].get();
    if (!pEngine || !pEngine->IsInstalled()) {
        FailWithText(NotInstalledText(engineId));
        return;
    }
    // The decoder would call a file it may not read damaged; the user learns the real reason.
    if (platform::IsUnreadableFile(m_strPath)) {
        platform::LogVerbose("clip failed: " + m_strPath + ": " + kNotReadable);
        FailWithText(kNotReadable);
        return;
    }
    m_pOpeningEngine = pEngine;
    pEngine->Open(m_strPath);
    // GStreamer's clip sounds as soon as it is ready, before it reports opened: at the level
    // the user set, not at the last clip's or full.
    if (engineId == EngineDShow && m_nVolume >= 0) {
        pEngine->SetVolume(m_nVolume);
        pEngine->SetMute(m_bMute);
    }
    pEngine->Play();
}

void CEngineManager::Opened(CMediaEngine* pEngine) {
    m_pCurrentEngine = pEngine;
    m_bHadLength = pEngine->GetDuration() > 0;
    m_pOpeningEngine = nullptr;
    KillTimer(kOpenTimer);
    ShowVideo(false);
    SetOverlayText({});
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_REG_OPENSUCCESSED, 1, 0);
    SetLoading(false);
    if (CWnd* pParent = GetParent())
        pParent->PostMessage(WM_REG_OPENSUCCESSED, 0, 0);
}

// A stream that failed, or ended although it had no length (a station never ends), lost its
// connection: it is opened again after a growing pause, a bounded number of times, unless it
// was stopped on purpose. False when the clip ends as any other does.
bool CEngineManager::RetryStream(bool bEnded) {
    if (!core::IsStreamUri(m_strPath) || m_bStopAsked || m_nRetries >= kStreamRetries ||
        (bEnded && m_bHadLength))
        return false;
    const UINT delay = kRetryDelayMs << m_nRetries++;
    platform::LogVerbose("connection lost: " + m_strPath + " (again in " + std::to_string(delay) +
                         " ms)");
    LetClipGo(false);
    m_bRetryPending = true;
    SetTimer(kRetryTimer, delay);
    return true;
}

// "Buffering 40%" over the picture while a stream fills its buffer. A failure's text stays:
// only an empty overlay or an earlier percentage is replaced.
void CEngineManager::ShowBuffering(int percent) {
    const std::string format = res::LoadString(kIdBuffering);
    const std::size_t at = format.find("%d");
    if (at == std::string::npos ||
        (!m_strOverlayText.empty() && !m_strOverlayText.starts_with(format.substr(0, at))))
        return;
    platform::LogVerbose("buffering: " + m_strPath + " (" + std::to_string(percent) + "%)");
    std::string text;
    if (percent < 100)
        text = format.substr(0, at) + std::to_string(percent) + "%";
    SetOverlayText(text);
}

void CEngineManager::Finished(bool error) {
    ShowVideo(false);
    // A failure keeps its text on screen; only a clip that ended normally clears it.
    if (!error)
        SetOverlayText({});
    m_pCurrentEngine = nullptr;
    m_nPlayState = EngineStopped;
    PostMessage(WM_REG_PLAYCOMPLETED, error ? 1 : 0, 0);
}

void CEngineManager::Fail() {
    m_nPlayState = EngineStopped;
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_REG_PLAYSTATE, EngineStopped, 0);
    SetLoading(false);
    KillTimer(kOpenTimer);
    m_pOpeningEngine = nullptr;
    Finished(true);
}

void CEngineManager::FailWithText(const std::string& text) {
    SetOverlayText(text);
    Fail();
}

// The sound output failed, not the clip: playback stops with the reason on screen, the clip
// keeps its mark, and Play opens it again once the output is back.
void CEngineManager::OutputFailed(const std::string& reason) {
    platform::LogWarning("the sound output failed: " + reason);
    LetClipGo(true);
    SetOverlayText(kOutputFailed + reason);
    PostMessage(WM_REG_PLAYCOMPLETED, kPlayOutputFailed, 0);
}

// The clip goes without a report of its own: no open is waited for, no engine is current, no
// video is shown; then the stop is announced (bStopped), and last the loading ends.
void CEngineManager::LetClipGo(bool bStopped) {
    KillTimer(kOpenTimer);
    m_pOpeningEngine = nullptr;
    m_pCurrentEngine = nullptr;
    ShowVideo(false);
    if (bStopped) {
        m_nPlayState = EngineStopped;
        if (CWnd* pParent = GetParent())
            pParent->SendMessage(WM_REG_PLAYSTATE, EngineStopped, 0);
    }
    if (m_bLoading)
        SetLoading(false);
}

void CEngineManager::SetState(int state) {
    if (state < 0 || state >= 4)
        return;
    const int previous = m_nPlayState;
    if (state == EnginePlaying && previous != EnginePlaying)
        ShowVideo(true);
    m_nPlayState = state;
    // What the idle area shows depends on the state ("Audio Only" while active); no expose
    // from a window manager is there to repaint it.
    if (state != previous)
        Invalidate();
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_REG_PLAYSTATE, WPARAM(state), 0);
    if (previous == EnginePaused && state == EngineStopped &&
        m_pCurrentEngine == m_pEngines[EngineDShow].get() && m_pCurrentEngine)
        Finished(false);
}

void CEngineManager::SetLoading(bool loading) {
    if (m_bLoading != (loading ? 1 : 0))
        Invalidate();
    m_bLoading = loading ? 1 : 0;
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_REG_CLIPLOADING, loading ? 1 : 0, 0);
}

void CEngineManager::OnOpenTimeout() {
    KillTimer(kOpenTimer);
    if (!m_bLoading)
        return;
    // The engine must not come back later with a clip that has already failed.
    if (m_pOpeningEngine)
        m_pOpeningEngine->Close();
    platform::LogVerbose("open timed out: " + m_strPath);
    Fail();
}

// ---- engine reports ----

void CEngineManager::OnDShowNotify(WPARAM event, LPARAM lParam) {
    switch (event) {
    case DShowOpened:
        Opened(m_pEngines[EngineDShow].get());
        break;
    case DShowFinished:
        // Stopping from pause has already finished the clip when its state fell to 0; one
        // clip is reported finished once.
        if (m_pCurrentEngine && m_pCurrentEngine == m_pEngines[EngineDShow].get() &&
            !RetryStream(true))
            Finished(false);
        break;
    case DShowStateChanged:
        if (lParam)
            SetState(MapEngineState(reinterpret_cast<const DShowStatus*>(lParam)->playState));
        break;
    case DShowResetting:
        if (CWnd* pParent = GetParent())
            pParent->SendMessage(WM_REG_ENGINERESETTING, WPARAM(event), lParam);
        break;
    case DShowFailed:
        if (!RetryStream(false))
            FailWithText(kNotValid);
        break;
    case DShowBuffering:
        if (lParam)
            ShowBuffering(reinterpret_cast<const DShowStatus*>(lParam)->buffering);
        break;
    case DShowOutputFailed:
        OutputFailed(lParam ? reinterpret_cast<const DShowStatus*>(lParam)->errorText : "");
        break;
    case DShowInfoChanged:
        m_bHadLength = m_bHadLength || (m_pCurrentEngine && m_pCurrentEngine->GetDuration() > 0);
        if (m_pCurrentEngine && m_pCurrentEngine == m_pEngines[EngineDShow].get() && !m_bLoading)
            if (CWnd* pParent = GetParent())
                pParent->SendMessage(WM_REG_CLIPINFOCHANGED, 0, 0);
        break;
    default:
        break;
    }
}

void CEngineManager::OnEngineFinished(int /*engineId*/, UINT stateMessage) {
    SendMessage(stateMessage, EngineStopped, 0);
    Finished(false);
}

void CEngineManager::OnEngineError(const char* text, UINT stateMessage) {
    SetOverlayText(text);
    SendMessage(stateMessage, EngineStopped, 0);
    Fail();
}

bool CEngineManager::OnEngineMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_REG_DSHOWNOTIFY) {
        OnDShowNotify(wParam, lParam);
    } else if (message == WM_REG_QTOPENSUCCESSED) {
        Opened(m_pEngines[EngineQuickTime].get());
    } else if (message == WM_REG_QTPLAYCOMPLETED) {
        OnEngineFinished(EngineQuickTime, WM_REG_QTPLAYSTATECHANGED);
    } else if (message == WM_REG_QTERROR) {
        OnEngineError(kNotValid, WM_REG_QTPLAYSTATECHANGED);
    } else if (message == WM_REG_CDOPENSUCCESSED) {
        Opened(m_pEngines[EngineCDAudio].get());
    } else if (message == WM_REG_CDPLAYCOMPLETED ||
               (message == MM_MCINOTIFY && wParam == MCI_NOTIFY_SUCCESSFUL)) {
        OnEngineFinished(EngineCDAudio, WM_REG_CDPLAYSTATECHANGED);
    } else if (message == WM_REG_CDERROR ||
               (message == MM_MCINOTIFY && wParam == MCI_NOTIFY_FAILURE)) {
        OnEngineError(kCannotReadCd, WM_REG_CDPLAYSTATECHANGED);
    } else if (message == WM_REG_QTPLAYSTATECHANGED || message == WM_REG_CDPLAYSTATECHANGED) {
        SetState(int(wParam));
    } else if (message == WM_REG_REALSINK) {
        if (lParam && wParam == 1)
            Opened(m_pEngines[EngineReal].get());
        else if (lParam && wParam == 2)
            Finished(false);
        else if (lParam && wParam == 11)
            FailWithText(kNotValid);
    } else if (message == WM_REG_REALPLAYSTATECHANGED) {
        SetState(MapEngineState(int(wParam)));
    } else {
        return false;
    }
    return true;
}

LRESULT CEngineManager::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_REG_RUN) {
        Run();
        return 0;
    }
    if (message == WM_REG_PLAYCOMPLETED) {
        if (CWnd* pParent = GetParent())
            pParent->PostMessage(WM_REG_PLAYCOMPLETED, wParam, lParam);
        return 0;
    }
    if (OnEngineMessage(message, wParam, lParam))
        return 0;
    switch (message) {
    case WM_TIMER:
        if (wParam == kOpenTimer)
            OnOpenTimeout();
        if (wParam == kRetryTimer && m_bRetryPending) {
            KillTimer(kRetryTimer);
            m_bRetryPending = false;
            Open();
        }
        return 0;
    case WM_SIZE:
        OnSize(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}

// ---- painting ----

void CEngineManager::OnSize(int width, int height) {
    m_windowSize = {width, height};
    UpdateBackBuffer();
}

// While a picture is shown the engine's window covers the whole area: a buffer of the
// area's size (megabytes for a large video) would hold what nobody sees.
void CEngineManager::UpdateBackBuffer() {
    if (m_bVideoShown && m_pCurrentEngine && !m_pCurrentEngine->IsAudioOnly()) {
        m_idle.Release();
        return;
    }
    if (!m_idle.Resize(std::max(m_windowSize.cx, 1), std::max(m_windowSize.cy, 1)))
        return;
    SetBackBuffer(&m_idle.GetSurface());
    Invalidate();
}

void CEngineManager::OnPaint() {
    const bool audioOnlyShown = m_pCurrentEngine && m_pCurrentEngine->IsAudioOnly() && IsActive();
    m_idle.Paint(m_bVideoShown != 0, audioOnlyShown, m_strOverlayText);
}
