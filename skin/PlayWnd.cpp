#include "skin/PlayWnd.h"

#include "core/AttribClip.h"
#include "core/CorePrefs.h"
#include "platform/Heap.h"
#include "platform/Keyboard.h"
#include "platform/RegisteredMessages.h"
#include "playback/EngineManager.h"
#include "playback/UIControl.h"
#include "res/StringTable.h"
#include "skin/AppLink.h"
#include "skin/BuiltInSkin.h"
#include "skin/PlayWndGeometry.h"
#include "skin/SkinFile.h"
#include "skin/SnapGeometry.h"

#include <QWidget>
#include <algorithm>
#include <cmath>

using namespace playwnd;

namespace {

constexpr UINT kEngineManagerId = 1;
constexpr const char* kSkinFile = "PlayWindow.txt";

// The lines of "PlayWindow.txt" after the frame: ten controls, one unused line, four radios.
constexpr std::size_t kUnusedLine = 10;
constexpr std::size_t kFirstRadioLine = 11;
constexpr std::size_t kPlayLine = 5;

// Image of each control line: window buttons, transport, display modes.
constexpr int ImageOfLine(std::size_t i) {
    return i < 4 ? 1 : i < kFirstRadioLine ? 2 : 3;
}

int NumbersOfLine(std::size_t i) {
    return i == kPlayLine         ? builtin::kState
           : i >= kFirstRadioLine ? builtin::kCheck
                                  : builtin::kButton;
}

// The tooltip of each control line.
constexpr const char* kTooltips[] = {"Resize Window",
                                     "Shade Mode",
                                     "Expand Mode",
                                     "Close Window",
                                     "Previous Clip",
                                     "Play/Pause",
                                     "Stop",
                                     "Next Clip",
                                     "Open Clip(s)",
                                     "Full-Screen Mode",
                                     "",
                                     "Fit to window",
                                     "50%",
                                     "100%",
                                     "200%"};

// Engine id → the string resource of its extension list.
constexpr std::array<std::uint32_t, 4> kExtensionStrings{108, 107, 121, 118};

bool Valid(const CRect& r) {
    return r.Width() >= 0 && r.Height() >= 0;
}

} // namespace

CPlayWnd::CPlayWnd() {
    m_nShadeHeight = builtin::kShadeHeight;
    m_nExpandedHeight = kMinimumWindow.cy;
    m_sizeDisplay = MinimumVideoArea();
    for (CMemRadioButton& radio : m_radio)
        m_modeGroup.Add(&radio);
}

CPlayWnd::~CPlayWnd() {
    // The handlers must still run while the object is whole.
    DestroyWindow();
}

bool CPlayWnd::Create(CWnd* pMainWnd) {
    m_pMainWnd = pMainWnd;
    LoadState();
    if (!CreateSkinWindow("PlayWnd"))
        return false;
    LoadBuiltInSkin();
    return true;
}

CUIControl* CPlayWnd::Controller() const {
    IPlayerApp* pApp = GetPlayerApp();
    return pApp ? &pApp->GetController() : nullptr;
}

void CPlayWnd::Submit(int code, LPARAM param1, CCmdTarget* pSender) {
    if (IPlayerApp* pApp = GetPlayerApp())
        pApp->SubmitCommand(pSender ? pSender : this, code, param1);
}

// Creation and destruction -----------------------------------------------------------------

void CPlayWnd::OnCreate() {
    m_pEngineManager = std::make_unique<CEngineManager>();
    m_pEngineManager->ApplyEditionSwitch();
    if (!m_pEngineManager->Create(GetVideoArea(), this, kEngineManagerId)) {
        m_pEngineManager.reset();
        return;
    }
    // Clicks, moves and the cursor over the video belong to the play window.
    if (QWidget* w = m_pEngineManager->GetWidget())
        w->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    for (int id = 0; id < CEngineManager::kEngineCount; ++id)
        m_pEngineManager->SetExtensions(id, res::LoadString(kExtensionStrings[std::size_t(id)]));
    builtin::LoadBuiltInImage(m_pLogo, builtin::kLogo);
    m_pEngineManager->SetLogo(m_pLogo.get());
    m_pEngineManager->SetLogoMode(0);
    SetEngineRect(GetLogoRect());
    m_pEngineManager->ShowWindow(SW_SHOWNA);
    if (CUIControl* pCtl = Controller())
        pCtl->AttachEngineManager(m_pEngineManager.get());
}

void CPlayWnd::OnDestroy() {
    if (m_bZoomed)
        LeaveFullScreen();
    KillTimer(kPositionTimer);
    KillTimer(kCursorTimer);
    if (m_pEngineManager) {
        // The controller must not keep the manager once it is gone.
        CUIControl* pCtl = Controller();
        if (pCtl && pCtl->GetEngineManager() == m_pEngineManager.get())
            pCtl->AttachEngineManager(nullptr);
        m_pEngineManager->DestroyEngines();
        m_pEngineManager.reset();
    }
    SaveState();
}

// Geometry -----------------------------------------------------------------------------------

CSize CPlayWnd::GetMinimumSize() {
    return {kMinimumWindow.cx, m_bShaded ? m_nShadeHeight : kMinimumWindow.cy};
}

CRect CPlayWnd::GetVideoArea() const {
    const CRect client =
        IsWindow() ? GetClientRect() : CRect{0, 0, m_rcWindow.Width(), m_rcWindow.Height()};
    return VideoArea(client, m_bZoomed);
}

CRect CPlayWnd::GetPlacementRect() {
    const CRect area = GetVideoArea();
    if (m_bZoomed)
        return area;
    if (GetDisplayMode() == ModeFit)
        m_sizeDisplay = {area.Width(), area.Height()};
    return CentreIn(area, m_sizeDisplay);
}

CRect CPlayWnd::GetLogoRect() const {
    if (m_bShaded || !m_pEngineManager)
        return {};
    return CentreIn(GetVideoArea(), m_pEngineManager->GetLogoSize());
}

int CPlayWnd::GetDisplayMode() const {
    if (m_pEngineManager)
        return m_pEngineManager->GetDisplayMode();
    CUIControl* pCtl = Controller();
    return pCtl ? pCtl->GetDisplayMode() : ModeNatural;
}

void CPlayWnd::SetEngineRect(const CRect& rect) {
    // A rolled-up window has no video area: the manager takes no room then.
    if (m_pEngineManager)
        m_pEngineManager->SetRect(Valid(rect) && !m_bShaded ? rect : CRect{});
}

void CPlayWnd::OnSizeChanged() {
    if (!m_pEngineManager)
        return;
    if (!m_bShaded && !m_bZoomed)
        m_nExpandedHeight = GetClientRect().Height();
    CRect target = GetLogoRect();
    if (m_pEngineManager->IsActive()) {
        target = m_bResizing ? GetVideoArea() : GetPlacementRect();
        if (!m_bZoomed)
            m_sizeDisplay = {target.Width(), target.Height()};
    }
    SetEngineRect(target);
}

// Display modes ------------------------------------------------------------------------------

void CPlayWnd::ChooseDisplayMode(int nMode) {
    if (nMode < 0 || nMode >= kModeCount)
        return;
    Submit(CmdUserCommand);
    if (m_pEngineManager)
        m_pEngineManager->SetDisplayMode(nMode);
    m_modeGroup.Select(&m_radio[std::size_t(nMode)]);
    ApplyDisplayMode(true);
}

void CPlayWnd::ApplyDisplayMode(bool bLeaveFullScreen) {
    if (m_bZoomed && bLeaveFullScreen)
        LeaveFullScreen();
    const int mode = GetDisplayMode();
    if (CUIControl* pCtl = Controller())
        pCtl->SetDisplayMode(mode);
    if (m_bZoomed) {
        if (mode != ModeFit)
            m_sizeDisplay = ScaleForMode(m_sizePicture, mode);
        SetEngineRect(GetPlacementRect());
    } else if (mode == ModeFit) {
        SetEngineRect(GetPlacementRect());
    } else {
        const CSize size = ScaleForMode(m_sizePicture, mode);
        ResizeTo(size.cx, size.cy);
    }
    // In full screen the window's rectangle is the screen: the one to come back to stays.
    if (!m_bZoomed)
        m_rcBeforeZoom = GetWindowRect();
}

void CPlayWnd::ResizeTo(int cx, int cy) {
    if (cx == 0 || cy == 0)
        return;
    // The window grows no larger than the screen it is on, and stays on it.
    const CRect area = snap::AreaOf(m_rcWindow, GetScreenAreas());
    m_sizeDisplay = VideoSizeWithin({cx, cy}, area);
    const CSize minimum = MinimumVideoArea();
    const CSize window = WindowSizeForVideo(
        {std::max(m_sizeDisplay.cx, minimum.cx), std::max(m_sizeDisplay.cy, minimum.cy)});
    if (m_pEngineManager)
        m_pEngineManager->ShowWindow(SW_HIDE);
    SetWindowSize(window.cx, window.cy);
    if (!area.IsRectEmpty()) {
        const CPoint d = snap::RearrangeOffset(m_rcWindow, area);
        if (d.x || d.y)
            MoveBy(d.x, d.y);
    }
    if (!m_bShaded)
        m_nExpandedHeight = window.cy;
    RebuildBuffers(true);
    UpdateWindow();
    SetEngineRect(GetPlacementRect());
    if (m_pEngineManager)
        m_pEngineManager->ShowWindow(SW_SHOWNA);
}

// Full screen --------------------------------------------------------------------------------

void CPlayWnd::EnterFullScreen() {
    if (!m_bZoomed)
        SetZoomed(true);
}

void CPlayWnd::LeaveFullScreen() {
    if (m_bZoomed)
        SetZoomed(false);
}

void CPlayWnd::ZoomChanged(bool bZoomed) {
    if (bZoomed) {
        RebuildBuffers();
        ApplyDisplayMode(false);
        ReorderWindows(true);
        SetTimer(kCursorTimer, kCursorMs);
        return;
    }
    KillTimer(kCursorTimer);
    ShowCursor(true);
    RebuildBuffers();
    SetEngineRect(GetPlacementRect());
    if (!m_pEngineManager || m_pEngineManager->GetPlayState() != EnginePlaying)
        Repaint();
}

void CPlayWnd::ShowCursor(bool bShow) {
    if (bShow == !m_bCursorHidden)
        return;
    m_bCursorHidden = !bShow;
    SetCursorShape(bShow ? CursorShape::Arrow : CursorShape::Hidden);
}

void CPlayWnd::OnMouseMoved() {
    ShowCursor(true);
    if (m_bZoomed)
        SetTimer(kCursorTimer, kCursorMs);
}

void CPlayWnd::ReorderWindows(bool bPlayOnTop) {
    std::vector<CWnd*> order;
    if (m_pMainWnd)
        order.push_back(m_pMainWnd);
    // The playlist window is the registered window that is neither this one nor the main one.
    for (const SnapRecord& rec : GetRegistry()) {
        CWnd* w = CWnd::FromHandle(rec.hWnd);
        if (w && w != this && w != m_pMainWnd)
            order.push_back(w);
    }
    order.push_back(this);
    if (!bPlayOnTop)
        std::reverse(order.begin(), order.end());
    for (CWnd* w : order)
        w->BringWindowToTop();
    if (!bPlayOnTop && m_pMainWnd)
        m_pMainWnd->SetForegroundWindow();
}

// Live resizing ------------------------------------------------------------------------------

void CPlayWnd::BeginResize() {
    if (!m_pEngineManager)
        return;
    if (m_pEngineManager->IsAudioOnly()) {
        m_pEngineManager->SetOverlayText(TranslateText("Audio Only"));
        m_pEngineManager->ShowVideo(false);
    } else if (!m_pEngineManager->CanResizeVideo()) {
        m_pEngineManager->Pause();
        m_pEngineManager->SetOverlayText(TranslateText("Resizing..."));
        m_pEngineManager->ShowVideo(false);
    }
    m_pEngineManager->Invalidate();
}

void CPlayWnd::EndResize() {
    if (!m_pEngineManager)
        return;
    if (m_pEngineManager->GetPlayState() != EnginePlaying)
        Repaint();
    const bool audioOnly = m_pEngineManager->IsAudioOnly();
    if (!audioOnly && !m_pEngineManager->CanResizeVideo()) {
        SetEngineRect(m_pEngineManager->IsActive() ? GetPlacementRect() : GetLogoRect());
        m_pEngineManager->Play(true);
        m_pEngineManager->ShowVideo(true);
    } else if (audioOnly) {
        m_pEngineManager->SetOverlayText(TranslateText("Audio Only"));
        m_pEngineManager->ShowWindow(SW_SHOWNA);
    }
    OnSizeChanged();
    m_pEngineManager->Invalidate();
}

// Engine reports -----------------------------------------------------------------------------

void CPlayWnd::OnEngineNotify(UINT message, WPARAM wParam, LPARAM lParam) {
    CUIControl* pCtl = Controller();
    if (message == WM_REG_PLAYSTATE) {
        if (pCtl)
            pCtl->SetEnginePlayState(int(wParam));
        Submit(CmdPlayState, LPARAM(wParam));
    } else if (message == WM_REG_CLIPLOADING) {
        Submit(CmdClipLoading, LPARAM(wParam));
    } else if (message == WM_REG_DISPLAYSIZECHANGED) {
        if (pCtl)
            pCtl->SetDisplayMode(int(wParam));
    } else if (message == WM_REG_OPENSUCCESSED) {
        OnOpenSuccessed(wParam != 0);
    } else if (message == WM_REG_PLAYCOMPLETED && wParam == WPARAM(kPlayOutputFailed)) {
        KillTimer(kPositionTimer);
        if (pCtl)
            pCtl->OnOutputFailed();
        Submit(CmdUpdateControls);
    } else if (message == WM_REG_PLAYCOMPLETED) {
        OnPlayCompleted(wParam != 0);
    } else if (message == WM_REG_ENGINERESETTING) {
        Submit(CmdEngineResetting, lParam);
    } else if (message == WM_REG_CLIPINFOCHANGED) {
        // The opened-clip report again, marked as a refresh of its length and title.
        Submit(CmdClipOpened, kClipInfoRefresh, m_pMainWnd);
    }
}

void CPlayWnd::OnOpenSuccessed(bool bOpened) {
    if (CUIControl* pCtl = Controller())
        pCtl->OnOpenResult(bOpened);
    if (bOpened) {
        m_sizePicture = QueryPictureSize();
        ApplyDisplayMode(false);
        SetTimer(kPositionTimer, kPositionMs);
        return;
    }
    Submit(CmdClipOpened, 0, m_pMainWnd);
    Submit(CmdUpdateControls);
}

bool CPlayWnd::ShowsPicture() const {
    return m_sizePicture.cx > 0 && m_sizePicture.cy > 0 && !m_bShaded;
}

// While a video plays, the window's own buffer is mostly the video area's background, hidden
// by the picture, and the frame around it is on the screen already: a frame's worth of memory
// (8 MiB at full screen on 1080p) that is composed again only when the window repaints.
void CPlayWnd::ReleaseBufferUnderPicture() {
    if (!ShowsPicture() || !GetBuffer() || PaintsDirectly())
        return;
    ReleaseBuffer();
    platform::TrimHeap();
}

CSize CPlayWnd::QueryPictureSize() {
    return m_pEngineManager ? m_pEngineManager->GetVideoSize() : CSize{};
}

void CPlayWnd::OnPlayCompleted(bool bError) {
    KillTimer(kPositionTimer);
    if (CUIControl* pCtl = Controller())
        pCtl->OnPlayCompleted(bError);
    Submit(CmdPlaybackCompleted, 0, m_pMainWnd);
    Submit(CmdUpdateControls);
}

void CPlayWnd::OnPositionTimer() {
    if (!m_pEngineManager)
        return;
    const double position = std::trunc(m_pEngineManager->GetPosition());
    if (position >= 0)
        Submit(CmdPosition, LPARAM(position));
}

// Commands -----------------------------------------------------------------------------------

LRESULT CPlayWnd::OnCmdPlay(ControlCommand& cmd) {
    if (m_pEngineManager)
        m_pEngineManager->Play(cmd.param1 != 0);
    return 0;
}

LRESULT CPlayWnd::OnCmdPause(ControlCommand&) {
    if (m_pEngineManager)
        m_pEngineManager->Pause();
    return 0;
}

LRESULT CPlayWnd::OnCmdStop(ControlCommand&) {
    if (!m_pEngineManager)
        return 0;
    m_pEngineManager->Stop();
    if (!m_bZoomed) {
        SetEngineRect(GetLogoRect());
        Repaint();
    }
    return 0;
}

LRESULT CPlayWnd::OnCmdLoadClip(ControlCommand& cmd) {
    if (m_pEngineManager && cmd.GetClip())
        m_pEngineManager->SetPath(cmd.GetClip()->GetPath());
    return 0;
}

LRESULT CPlayWnd::OnCmdSeek(ControlCommand& cmd) {
    if (m_pEngineManager)
        m_pEngineManager->Seek(double(std::uint32_t(cmd.param1)));
    return 0;
}

LRESULT CPlayWnd::OnCmdPlayState(ControlCommand&) {
    UpdateControls();
    return 0;
}

LRESULT CPlayWnd::OnCmdSeekDragEnded(ControlCommand&) {
    if (m_pEngineManager && m_pEngineManager->GetPlayState() == EnginePaused)
        Submit(CmdPlay, 1);
    return 0;
}

LRESULT CPlayWnd::OnCmdClosing(ControlCommand&) {
    if (m_pEngineManager)
        m_pEngineManager->ClearPath();
    return 0;
}

LRESULT CPlayWnd::OnCmdUpdateControls(ControlCommand&) {
    UpdateControls();
    return 0;
}

LRESULT CPlayWnd::OnCmdClipLoading(ControlCommand& cmd) {
    m_btnPlay.SetEnabled(cmd.param1 != 1);
    RedrawControl(&m_btnPlay, true);
    return 0;
}

LRESULT CPlayWnd::OnCmdStopped(ControlCommand&) {
    LeaveFullScreen();
    m_sizePicture = {};
    if (GetDisplayMode() != ModeFit) {
        const CSize minimum = MinimumVideoArea();
        ResizeTo(minimum.cx, minimum.cy);
    }
    if (!m_bZoomed)
        m_rcBeforeZoom = GetWindowRect();
    if (m_pEngineManager)
        m_pEngineManager->ShowVideo(false);
    return 0;
}

LRESULT CPlayWnd::OnCmdTranslate(ControlCommand&) {
    SetTooltips();
    UpdateToolRects();
    return 0;
}

// Controls -----------------------------------------------------------------------------------

CMemButton* CPlayWnd::GetButton(UINT nID) {
    for (CMemCtrl* c : m_controls)
        if (c->GetID() == nID && c->IsVisible())
            return static_cast<CMemButton*>(c);
    return nullptr;
}

void CPlayWnd::OnMemCtrl(WPARAM code, CMemCtrl* pCtrl) {
    if (!pCtrl)
        return;
    if (code == MEMCTRL_UPDATE)
        RefreshControl(pCtrl);
    else if (code == MEMCTRL_CLICK)
        OnClick(pCtrl->GetID());
}

void CPlayWnd::RefreshControl(CMemCtrl* pCtrl) {
    CUIControl* pCtl = Controller();
    if (!pCtl)
        return;
    if (pCtrl == &m_btnPrevious) {
        pCtrl->SetEnabled(pCtl->CanPrevious());
    } else if (pCtrl == &m_btnStop) {
        pCtrl->SetEnabled(pCtl->CanStop());
    } else if (pCtrl == &m_btnNext) {
        pCtrl->SetEnabled(pCtl->CanNext());
    } else if (pCtrl == &m_btnPlay) {
        if (!pCtl->IsBusy())
            m_btnPlay.SetState(pCtl->CanPause()                              ? 2
                               : pCtl->GetEnginePlayState() == EngineStopped ? 0
                                                                             : 1);
        m_btnPlay.SetEnabled(!m_pEngineManager || !m_pEngineManager->IsLoading());
    }
}

void CPlayWnd::OnClick(UINT nID) {
    CUIControl* pCtl = Controller();
    const int state = pCtl ? pCtl->GetEnginePlayState() : EngineStopped;
    switch (nID) {
    case 2:
        ToggleShade();
        break;
    case 3:
        if (m_pMainWnd)
            m_pMainWnd->PostMessage(WM_REG_CHILDWNDNOTIFY, 0, reinterpret_cast<LPARAM>(this));
        break;
    case 4:
        if (state != EngineStopped && pCtl)
            pCtl->Previous();
        else
            PlayPause();
        break;
    case 5:
        PlayPause();
        break;
    case 6:
        if (pCtl)
            pCtl->Stop();
        break;
    case 7:
        if (state == EnginePaused && pCtl)
            pCtl->Stop();
        if (state != EngineStopped && pCtl)
            pCtl->Next();
        else
            PlayPause();
        break;
    case 8:
        OpenFiles();
        break;
    case 9:
        EnterFullScreen();
        break;
    case 11:
    case 12:
    case 13:
    case 14:
        ChooseDisplayMode(int(nID) - 11);
        break;
    default:
        break;
    }
}

void CPlayWnd::OpenFiles() {
    if (IPlayerApp* pApp = GetPlayerApp())
        pApp->OpenMediaFiles(m_pMainWnd ? m_pMainWnd : this);
}

void CPlayWnd::PlayPause() {
    CUIControl* pCtl = Controller();
    if (!pCtl)
        return;
    if (pCtl->GetClipList().IsEmpty())
        OpenFiles();
    switch (m_btnPlay.GetState()) {
    case 0:
        m_btnPlay.SetState(1);
        pCtl->Play();
        break;
    case 1:
        m_btnPlay.SetState(2);
        pCtl->Play();
        break;
    default:
        m_btnPlay.SetState(1);
        pCtl->Pause();
        break;
    }
    RedrawControl(&m_btnPlay, true);
}

// Menu and keys ------------------------------------------------------------------------------

UINT CPlayWnd::TrackContextMenu(const std::vector<MenuEntry>& menu, CPoint ptScreen) {
    return TrackPopupMenu(menu, this, ptScreen);
}

bool CPlayWnd::OnRightButtonUp(CPoint pt) {
    if (m_bShaded || !GetVideoArea().PtInRect(pt) || ControlAt(pt))
        return false;
    OnRButtonUp(0, pt);
    CUIControl* pCtl = Controller();
    const auto menu = BuildContextMenu(GetDisplayMode(), pCtl && pCtl->GetRepeat());
    const CRect w = GetWindowRect();
    if (UINT nID = TrackContextMenu(menu, {w.left + pt.x, w.top + pt.y}))
        OnMenuCommand(nID);
    return true;
}

void CPlayWnd::OnMenuCommand(UINT nID) {
    Submit(CmdUserCommand);
    CUIControl* pCtl = Controller();
    if (nID >= ID_MODE_FIT && nID <= ID_MODE_DOUBLE) {
        ChooseDisplayMode(int(nID - ID_MODE_FIT));
        return;
    }
    switch (nID) {
    case ID_PLAY_PAUSE:
        if (!pCtl || pCtl->GetClipList().IsEmpty())
            OpenFiles();
        else if (pCtl->GetEnginePlayState() == EnginePlaying)
            pCtl->Pause();
        else
            pCtl->Play();
        break;
    case ID_STOP:
        if (pCtl)
            pCtl->Stop();
        break;
    case ID_FULL_SCREEN:
        EnterFullScreen();
        break;
    case ID_REPEAT:
        if (pCtl)
            pCtl->ToggleRepeat();
        break;
    default:
        break;
    }
}

void CPlayWnd::OnKeyDown(WPARAM vk) {
    if (vk == VK_ESCAPE) {
        LeaveFullScreen();
        return;
    }
    if (!platform::IsKeyDown(VK_CONTROL))
        return;
    if (vk == 'F')
        EnterFullScreen();
    else if (vk == 'P')
        OnMenuCommand(ID_PLAY_PAUSE);
    else if (vk == 'S')
        OnMenuCommand(ID_STOP);
}

void CPlayWnd::OnLeftButtonUp() {
    const bool firstAfterFocus = m_bFocusClick != 0;
    m_bFocusClick = 0;
    if (m_bZoomed && !firstAfterFocus)
        ReorderWindows(false);
}

// Message routing ----------------------------------------------------------------------------

LRESULT CPlayWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const CPoint pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (message == WM_REG_PLAYSTATE || message == WM_REG_CLIPLOADING ||
        message == WM_REG_DISPLAYSIZECHANGED || message == WM_REG_OPENSUCCESSED ||
        message == WM_REG_PLAYCOMPLETED || message == WM_REG_ENGINERESETTING ||
        message == WM_REG_CLIPINFOCHANGED) {
        OnEngineNotify(message, wParam, lParam);
        return 0;
    }
    if (message == WM_REG_MEMCTRL) {
        OnMemCtrl(wParam, reinterpret_cast<CMemCtrl*>(lParam));
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        OnCreate();
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_TIMER:
        if (wParam == kPositionTimer) {
            OnPositionTimer();
        } else if (wParam == kCursorTimer) {
            KillTimer(kCursorTimer);
            ShowCursor(false);
        } else if (wParam == kBufferTimer) {
            KillTimer(kBufferTimer);
            ReleaseBufferUnderPicture();
        }
        return 0;
    case WM_PAINT: {
        const LRESULT result = CPlayerWndBase::WindowProc(message, wParam, lParam);
        if (ShowsPicture())
            SetTimer(kBufferTimer, 0); // once the screen has the buffer's pixels
        return result;
    }
    case WM_SIZE: {
        const LRESULT result = CPlayerWndBase::WindowProc(message, wParam, lParam);
        OnSizeChanged();
        return result;
    }
    case WM_SETCURSOR:
        if (m_bCursorHidden)
            return 0;
        break;
    case WM_MOUSEMOVE: {
        const LRESULT result = CPlayerWndBase::WindowProc(message, wParam, lParam);
        OnMouseMoved();
        return result;
    }
    case WM_SETFOCUS:
        m_bFocusClick = 1;
        break;
    case WM_LBUTTONUP: {
        const LRESULT result = CPlayerWndBase::WindowProc(message, wParam, lParam);
        OnLeftButtonUp();
        return result;
    }
    case WM_LBUTTONDBLCLK: {
        const bool onControl = ControlAt(pt) != nullptr;
        const LRESULT result = CPlayerWndBase::WindowProc(message, wParam, lParam);
        if (!onControl && !m_bShaded && !m_nDblClickPending) {
            m_nDblClickPending = 1;
            m_bZoomed ? LeaveFullScreen() : EnterFullScreen();
            m_nDblClickPending = 0;
        }
        return result;
    }
    case WM_RBUTTONUP:
        if (OnRightButtonUp(pt))
            return 0;
        break;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE || (platform::IsKeyDown(VK_CONTROL) &&
                                    (wParam == 'F' || wParam == 'P' || wParam == 'S'))) {
            OnKeyDown(wParam);
            return 0;
        }
        break;
    default:
        break;
    }
    return CPlayerWndBase::WindowProc(message, wParam, lParam);
}

// Skin ---------------------------------------------------------------------------------------

CMemCtrl* CPlayWnd::ControlOfLine(std::size_t i) {
    CMemCtrl* const lines[] = {&m_btnResize,   &m_btnShade,      &m_btnExpand, &m_btnClose,
                               &m_btnPrevious, &m_btnPlay,       &m_btnStop,   &m_btnNext,
                               &m_btnOpen,     &m_btnFullScreen, nullptr,      &m_radio[0],
                               &m_radio[1],    &m_radio[2],      &m_radio[3]};
    return i < std::size(lines) ? lines[i] : nullptr;
}

bool CPlayWnd::CreateControl(std::size_t i, const int* pNumbers) {
    CSkinImage* pImage = m_pImages[std::size_t(ImageOfLine(i))].get();
    const UINT nID = UINT(builtin::kPlayControls[i].nID);
    if (i == kPlayLine)
        return m_btnPlay.CreateFromLine(this, nID, pImage, pNumbers);
    if (i >= kFirstRadioLine)
        return m_radio[i - kFirstRadioLine].CreateFromLine(this, nID, pImage, pNumbers);
    return static_cast<CMemButton*>(ControlOfLine(i))->CreateFromLine(this, nID, pImage, pNumbers);
}

void CPlayWnd::ReleaseImages() {
    m_controls.clear();
    for (auto& p : m_pImages)
        p.reset();
}

void CPlayWnd::LoadBuiltInImages() {
    for (std::size_t i = 0; i < m_pImages.size(); ++i)
        builtin::LoadBuiltInImage(m_pImages[i], builtin::kPlayImages[i]);
    m_pieces = builtin::kPlayPieces;
    for (std::size_t i = 0; i < builtin::kPlayControls.size(); ++i)
        if (i != kUnusedLine)
            CreateControl(i, builtin::kPlayControls[i].n.data());
    m_nShadeHeight = builtin::kShadeHeight;
}

bool CPlayWnd::LoadSkinFiles(const std::string& strFolder) {
    skin::CSkinFileReader reader;
    if (!reader.Open(strFolder + kSkinFile) || !reader.SkipHeader())
        return false;
    for (auto& p : m_pImages)
        if (!reader.ReadImage(p, strFolder, nullptr))
            return false;
    for (builtin::FramePiece& piece : m_pieces) {
        if (!reader.ReadNumbers(4))
            return false;
        const int* n = skin::GetNumbers();
        piece = {n[0], n[1], n[2], n[3]};
    }
    for (std::size_t i = 0; i < builtin::kPlayControls.size(); ++i) {
        std::string line;
        const bool ok = i == kUnusedLine ? reader.ReadValueLine(line)
                                         : reader.ReadNumbers(NumbersOfLine(i)) &&
                                               CreateControl(i, skin::GetNumbers());
        if (!ok)
            return false;
    }
    return true;
}

void CPlayWnd::InitControls() {
    m_controls.clear();
    for (std::size_t i = 0; i < builtin::kPlayControls.size(); ++i)
        if (CMemCtrl* c = ControlOfLine(i))
            m_controls.push_back(c);
    m_btnResize.SetDimsWhenInactive(false);
    m_btnClose.SetDimsWhenInactive(false);
    SetTooltips();
    const int mode = GetDisplayMode();
    if (mode >= 0 && mode < kModeCount)
        m_modeGroup.Select(&m_radio[std::size_t(mode)]);
    m_bShaded ? LayoutForShade() : LayoutForExpanded();
}

void CPlayWnd::SetTooltips() {
    for (std::size_t i = 0; i < builtin::kPlayControls.size(); ++i)
        if (CMemCtrl* c = ControlOfLine(i))
            c->SetTooltipText(TranslateText(kTooltips[i]));
}

void CPlayWnd::LayoutForShade() {
    for (CMemCtrl* c : m_controls)
        c->SetVisible(c == &m_btnResize || c == &m_btnExpand || c == &m_btnClose);
}

void CPlayWnd::LayoutForExpanded() {
    for (CMemCtrl* c : m_controls)
        c->SetVisible(c != &m_btnExpand);
}

bool CPlayWnd::GetFramePiece(int nIndex, CSkinImage*& pImage, int& sx, int& sy, int& cx, int& cy) {
    if (nIndex < 0 || nIndex >= int(m_pieces.size()) || !m_pImages[0])
        return false;
    const builtin::FramePiece& p = m_pieces[std::size_t(nIndex)];
    pImage = m_pImages[0].get();
    sx = p.x;
    sy = p.y;
    cx = p.cx;
    cy = p.cy;
    return true;
}

void CPlayWnd::SkinApplied(int) {
    OnSizeChanged();
    UpdateControls();
}

// Preferences --------------------------------------------------------------------------------

bool CPlayWnd::SnapToScreen() {
    return CCorePrefs::Get(CCorePrefs::SnapToDesktop) != 0;
}

bool CPlayWnd::SnapToWindows() {
    return CCorePrefs::Get(CCorePrefs::SnapToWindows) != 0;
}

int CPlayWnd::ScreenSnapDistance() {
    return CCorePrefs::Get(CCorePrefs::DesktopSnapDistance);
}

int CPlayWnd::WindowSnapDistance() {
    return CCorePrefs::Get(CCorePrefs::WindowSnapDistance);
}

bool CPlayWnd::TooltipsActive() {
    return CCorePrefs::Get(CCorePrefs::Tooltips) == 2;
}
