#include "skin/MainWnd.h"

#include "core/Archive.h"
#include "core/AttribClip.h"
#include "core/CorePrefs.h"
#include "core/PlaylistPaths.h"
#include "core/RegObjectStore.h"
#include "platform/RegisteredMessages.h"
#include "playback/EngineManager.h"
#include "playback/UIControl.h"
#include "res/BuiltInSkinLayout.h"
#include "res/StringTable.h"
#include "skin/AppLink.h"
#include "skin/BuiltInSkin.h"
#include "skin/PlaylistWnd.h"
#include "skin/SavedPlaylist.h"
#include "skin/SkinFile.h"
#include "skin/WndStateStore.h"

#include <QCursor>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace {

constexpr const char* kTypeAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ @  0.123456789._:()-'!_ /[]^&%,=$#";
constexpr const char* kTimeAlphabet = "0123456789:";
constexpr const char* kStateAlphabet = "PASED";
constexpr const char* kFlagAlphabet = "0123";

// Skin cursor slots by index: horizontal edge, vertical edge, single buttons.
constexpr int kCursorHorizontal = 1;
constexpr int kCursorVertical = 2;
constexpr int kCursorButton = 3;

} // namespace

CMainWnd::CMainWnd()
    : m_windows(*this,
                [this](CPlayerWindows::Child child, bool bShow) { ShowToggle(child, bShow); }) {
    BuildSlots();
}

CMainWnd::~CMainWnd() {
    if (IsWindow())
        DestroyWindow();
}

template <class T> CMainWnd::ControlSlot CMainWnd::Slot(T& ctrl, UINT nID) {
    return {&ctrl, T::kLineNumbers, [this, &ctrl, nID](CSkinImage* pImage, const int* n) {
                return ctrl.CreateFromLine(this, nID, pImage, n);
            }};
}

void CMainWnd::BuildSlots() {
    // The line order of "MainWindow.txt" and of the built-in table.
    m_slots = {Slot(m_btnMenu, 1),      Slot(m_btnMinimize, 2),      Slot(m_btnShade, 3),
               Slot(m_btnExpand, 3),    Slot(m_btnExit, 4),          Slot(m_btnPrevSmall, 5),
               Slot(m_btnPlaySmall, 6), Slot(m_btnStopSmall, 7),     Slot(m_btnNextSmall, 8),
               Slot(m_btnOpenSmall, 9), Slot(m_glyphStateSmall, 10), Slot(m_glyphTimeSmall, 11),
               Slot(m_animSmall, 29),   Slot(m_btnPrev, 12),         Slot(m_btnStop, 14),
               Slot(m_btnNext, 15),     Slot(m_btnOpen, 16),         Slot(m_btnPlay, 13),
               Slot(m_chkPlaylist, 18), Slot(m_chkPlayWnd, 17),      Slot(m_chkMute, 19),
               Slot(m_sldVolume, 20),   Slot(m_sldPosition, 21),     Slot(m_label, 24),
               Slot(m_glyphState, 25),  Slot(m_glyphType, 23),       Slot(m_glyphTime, 26),
               Slot(m_glyphMute, 27),   Slot(m_glyphLoop, 28),       Slot(m_anim, 29)};
}

int CMainWnd::ImageSlotOfLine(int nLine) {
    const int nId = builtin::kMainControls[std::size_t(nLine)].nImage;
    const auto it = std::find(builtin::kMainImages.begin(), builtin::kMainImages.end(), nId);
    return it == builtin::kMainImages.end() ? -1 : int(it - builtin::kMainImages.begin());
}

// Services -----------------------------------------------------------------------------------

CUIControl& CMainWnd::Controller() const {
    return GetPlayerApp()->GetController();
}

CEngineManager* CMainWnd::EngineManager() const {
    return dynamic_cast<CEngineManager*>(Controller().GetEngineManager());
}

int CMainWnd::EnginePlayState() const {
    return Controller().GetEnginePlayState();
}

bool CMainWnd::PlaylistEmpty() const {
    return Controller().GetClipList().GetCount() == 0;
}

void CMainWnd::SubmitCommand(int code, LPARAM param1) {
    GetPlayerApp()->SubmitCommand(this, code, param1);
}

void CMainWnd::PostCommand(int code, LPARAM param1) {
    GetPlayerApp()->PostCommand(WPARAM(code), param1);
}

std::string CMainWnd::Translate(const std::string& text) const {
    return TranslateText(text);
}

CPoint CMainWnd::MenuPoint() const {
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

CMemCtrl* CMainWnd::FindControl(UINT nID) const {
    for (CMemCtrl* c : m_controls)
        if (c->GetID() == nID)
            return c;
    return nullptr;
}

void CMainWnd::RedrawUnlessShaded(CMemCtrl* pCtrl) {
    if (!m_bShaded)
        RedrawControl(pCtrl, true);
}

// Creation and destruction -------------------------------------------------------------------

bool CMainWnd::Create() {
    if (!CreateWindows())
        return false;
    ShowWindows();
    return true;
}

bool CMainWnd::CreateWindows() {
    LoadState();
    if (!CreateSkinWindow(res::LoadString(116)))
        return false;
    DragAcceptFiles(true);
    if (!m_windows.CreateChildWindows())
        return false;
    m_clipInfo = [this] { return GetPlaylistWnd()->GetInfoLabel().GetText(); };
    m_relay.SetWindows(this, GetPlaylistWindow(), GetPlayWindow());
    m_windows.ApplySkinToAll(skin::GetSkinFolder());
    m_windows.PlaceForFirstStart();
    RegisterWindow(m_hWnd, 1);
    m_bCreated = true;
    ResetDisplays();
    SubmitCommand(CmdRefillRows);
    UpdateControls();
    return true;
}

void CMainWnd::ShowWindows() {
    m_windows.ShowChildWindows();
    ShowWindow(SW_SHOW);
    UpdateWindow();
    m_windows.ApplyAlwaysOnTop();
    PostMessage(WM_REG_REARRANGEALLWINDOWS);
    SetFocus();
}

LRESULT CMainWnd::OnCmdPlaybackCompleted(ControlCommand&) {
    m_windows.OnPlaybackCompleted();
    return 0;
}

void CMainWnd::OnDestroy() {
    m_anim.Stop();
    m_animSmall.Stop();
    SaveState();
    m_relay.SetWindows(this, nullptr, nullptr);
    m_relay.SetWatcher({});
    m_windows.DestroyChildWindows();
}

LRESULT CMainWnd::OnDestroyed(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CPlayerWndBase::WindowProc(message, wParam, lParam);
    if (m_onDestroyed)
        m_onDestroyed();
    return result;
}

// Saved state --------------------------------------------------------------------------------

void CMainWnd::SerializeState(CArchive& ar) {
    SkinWnd::SerializeState(ar);
    Controller().Serialize(ar, !m_bPlaylistApart);
    if (ar.IsStoring()) {
        ar.WriteString(m_windows.GetSkinFolder());
        for (bool b : {m_bRemainingTime, m_windows.IsPlayWndShown(), m_windows.IsPlaylistShown()})
            ar.WriteInt32(b ? 1 : 0);
        ar.WriteInt32(Controller().GetVolume());
        SerializeMainWndTail(ar);
        if (m_bPlaylistApart)
            ar.WriteString(m_strPlaylistFile);
        return;
    }
    std::string folder = ar.ReadString();
    const std::int32_t remaining = ar.ReadInt32();
    const std::int32_t playShown = ar.ReadInt32();
    const std::int32_t playlistShown = ar.ReadInt32();
    // The volume is the controller's, read above from this same state; the bar's copy that
    // follows is kept for the layout of the saved state and always holds the same value.
    ar.ReadInt32();
    if (ar.Failed())
        return; // a short or damaged value keeps the defaults of this part
    m_windows.RestoreState(std::move(folder), playShown != 0, playlistShown != 0);
    m_bRemainingTime = remaining != 0;
    m_sldVolume.SetValue(Controller().GetVolume());
    SerializeMainWndTail(ar);
    LoadPlaylistKeptApart(ar);
}

// Earlier values end after the preferences; readers of those ignore the name that may follow.
void CMainWnd::LoadPlaylistKeptApart(CArchive& ar) {
    if (ar.Failed() || ar.AtEnd())
        return;
    const std::string path = ar.ReadString();
    if (ar.Failed() || path.empty())
        return;
    m_strPlaylistFile = path;
    // A damaged file still gives the clips before the damage.
    CObjListClip clips;
    if (skin::LoadSavedPlaylist(path, clips) || !clips.IsEmpty())
        Controller().ReplacePlaylist(clips);
}

bool CMainWnd::SaveState() {
    CArchive whole;
    SerializeState(whole);
    if (whole.GetBuffer().size() <= CRegObjectStore::kMaxValueBytes) {
        const bool saved = skin::SaveWndStateImage(whole.GetBuffer(), WindowName());
        // Only the file the old state named goes: another one may be all a damaged state left.
        if (saved)
            skin::RemoveSavedPlaylist(std::exchange(m_strPlaylistFile, {}));
        return saved;
    }
    // The clips go first, to the file the stored state does not name; should either write
    // fail, the stored state and the file it names stay as they were.
    const std::string next = skin::NextSavedPlaylistPath(m_strPlaylistFile);
    if (!skin::StoreSavedPlaylist(Controller().GetClipList(), next))
        return false;
    const std::string previous = std::exchange(m_strPlaylistFile, next);
    m_bPlaylistApart = true;
    const bool saved = SkinWnd::SaveState();
    m_bPlaylistApart = false;
    if (!saved)
        m_strPlaylistFile = previous;
    skin::RemoveSavedPlaylist(saved ? previous : next);
    return saved;
}

// Skin ---------------------------------------------------------------------------------------

void CMainWnd::ReleaseImages() {
    m_controls.clear();
    for (auto& image : m_images)
        image.reset();
}

void CMainWnd::LoadBuiltInImages() {
    for (std::size_t i = 0; i < m_images.size(); ++i)
        builtin::LoadBuiltInImage(m_images[i], builtin::kMainImages[i]);
    m_nShadeHeight = 18;
    m_nExpandedHeight = std::max(m_nExpandedHeight, 118);
}

bool CMainWnd::LoadSkinFiles(const std::string& strFolder) {
    skin::CSkinFileReader reader;
    if (!reader.Open(strFolder + "MainWindow.txt") || !reader.SkipHeader())
        return false;
    // The colours stay as read even when a later line fails.
    if (!reader.ReadColour(m_labelText) || !reader.ReadColour(m_labelBack))
        return false;
    for (auto& image : m_images)
        if (!reader.ReadImage(image, strFolder, nullptr))
            return false;
    for (int slot = 0; slot < CSkinCursors::kSlots; ++slot)
        if (!reader.ReadCursor(slot, strFolder))
            return false;
    for (int line = 0; line < kControlLines; ++line) {
        const ControlSlot& s = m_slots[std::size_t(line)];
        const int image = ImageSlotOfLine(line);
        if (!reader.ReadNumbers(s.nCount) ||
            !s.create(image < 0 ? nullptr : m_images[std::size_t(image)].get(), skin::GetNumbers()))
            return false;
    }
    return true;
}

void CMainWnd::InitControls() {
    if (!m_bSkinFromFiles) {
        for (int line = 0; line < kControlLines; ++line) {
            const int image = ImageSlotOfLine(line);
            m_slots[std::size_t(line)].create(image < 0 ? nullptr
                                                        : m_images[std::size_t(image)].get(),
                                              builtin::kMainControls[std::size_t(line)].n.data());
        }
    }
    for (CMemCtrl* c :
         {static_cast<CMemCtrl*>(&m_btnPrevSmall), static_cast<CMemCtrl*>(&m_btnPlaySmall),
          static_cast<CMemCtrl*>(&m_btnStopSmall), static_cast<CMemCtrl*>(&m_btnNextSmall),
          static_cast<CMemCtrl*>(&m_btnOpenSmall), static_cast<CMemCtrl*>(&m_btnPrev),
          static_cast<CMemCtrl*>(&m_btnPlay), static_cast<CMemCtrl*>(&m_btnStop),
          static_cast<CMemCtrl*>(&m_btnNext), static_cast<CMemCtrl*>(&m_btnOpen)})
        c->SetDimsWhenInactive(false);
    m_sldVolume.SetHorizontal(false);
    m_sldVolume.SetRangeMax(100);
    for (CMemAnimation* a : {&m_anim, &m_animSmall}) {
        a->SetVisible(false);
        a->SetTimerOwner(this, kAnimationTimer);
    }
    m_label.SetTextColor(m_labelText);
    m_label.SetBkColor(m_labelBack);
    m_label.SetFlags(DT_END_ELLIPSIS);
    m_label.SetText({});
    m_glyphType.SetAlphabet(kTypeAlphabet);
    for (CMemGlyphText* g : {&m_glyphTime, &m_glyphTimeSmall})
        g->SetAlphabet(kTimeAlphabet);
    for (CMemGlyphText* g : {&m_glyphState, &m_glyphStateSmall})
        g->SetAlphabet(kStateAlphabet);
    for (CMemGlyphText* g : {&m_glyphMute, &m_glyphLoop})
        g->SetAlphabet(kFlagAlphabet);
    m_chkPlayWnd.SetCheck(m_windows.IsPlayWndShown());
    m_chkPlaylist.SetCheck(m_windows.IsPlaylistShown());
    if (GetPlayerApp()) {
        m_chkMute.SetCheck(Controller().GetMute());
        m_sldVolume.SetValue(Controller().GetVolume());
    }
    m_btnExit.SetCursor(CSkinCursors::Get(kCursorButton));
    m_sldVolume.SetCursor(CSkinCursors::Get(kCursorVertical));
    m_sldPosition.SetCursor(CSkinCursors::Get(kCursorHorizontal));
    ApplyTooltips();
    if (m_bShaded)
        LayoutForShade();
    else
        LayoutForExpanded();
}

// The tooltips in the current language: at creation, and again when the language changes.
void CMainWnd::ApplyTooltips() {
    const std::pair<CMemCtrl*, const char*> tips[] = {
        {&m_btnMenu, "Main Menu"},
        {&m_btnMinimize, "Minimize"},
        {&m_btnShade, "Shade Mode"},
        {&m_btnExpand, "Expand Mode"},
        {&m_btnExit, "Exit"},
        {&m_btnPrevSmall, "Previous Clip"},
        {&m_btnPlaySmall, "Play/Pause"},
        {&m_btnStopSmall, "Stop"},
        {&m_btnNextSmall, "Next Clip"},
        {&m_btnOpenSmall, "Open Clip(s)"},
        {&m_glyphStateSmall, "Play State"},
        {&m_glyphTimeSmall, "Time Display(click to toggle elapsed/remainning)"},
        {&m_btnPrev, "Previous Clip"},
        {&m_btnStop, "Stop"},
        {&m_btnNext, "Next Clip"},
        {&m_btnOpen, "Open Clip(s)"},
        {&m_btnPlay, "Play/Pause"},
        {&m_chkPlaylist, "Toggle Playlist Window"},
        {&m_chkPlayWnd, "Toggle Play Window"},
        {&m_chkMute, "Toggle Mute"},
        {&m_sldVolume, "Volume Bar"},
        {&m_sldPosition, "Position Bar"},
        {&m_label, "Clip Info(Name)"},
        {&m_glyphState, "Play State"},
        {&m_glyphType, "Clip Type"},
        {&m_glyphTime, "Time Display(click to toggle elapsed/remainning)"},
        {&m_glyphMute, "Mute State"},
        {&m_glyphLoop, "Loop State"},
    };
    for (const auto& [pCtrl, pszTip] : tips)
        pCtrl->SetTooltipText(Translate(pszTip));
}

LRESULT CMainWnd::OnCmdTranslate(ControlCommand&) {
    ApplyTooltips();
    UpdateToolRects();
    return 0;
}

void CMainWnd::SkinApplied(int) {
    if (m_bCreated)
        ResetDisplays();
}

void CMainWnd::LayoutForShade() {
    m_controls = {&m_btnMenu,      &m_btnMinimize,     &m_btnExpand,    &m_btnExit,
                  &m_btnPrevSmall, &m_btnPlaySmall,    &m_btnStopSmall, &m_btnNextSmall,
                  &m_btnOpenSmall, &m_glyphStateSmall, &m_animSmall,    &m_glyphTimeSmall};
}

void CMainWnd::LayoutForExpanded() {
    m_controls = {&m_btnMenu,     &m_btnMinimize, &m_btnShade,   &m_btnExit,     &m_btnPrev,
                  &m_btnPlay,     &m_btnStop,     &m_btnNext,    &m_btnOpen,     &m_chkPlayWnd,
                  &m_chkPlaylist, &m_chkMute,     &m_sldVolume,  &m_sldPosition, &m_glyphType,
                  &m_label,       &m_glyphTime,   &m_glyphState, &m_glyphMute,   &m_glyphLoop,
                  &m_anim};
}

void CMainWnd::PaintBackground(CDC& dc) {
    const CRect client = GetClientRect();
    CSkinImage* pBack = m_images[0].get();
    CSkinImage* pBars = m_images[6].get();
    if (!m_bShaded) {
        if (pBack)
            dc.BitBlt(0, 0, client.Width(), m_nExpandedHeight, *pBack, 0, 0);
        if (pBars && !IsActiveLook())
            dc.BitBlt(0, 0, client.Width(), m_nShadeHeight, *pBars, 0, 0);
    } else if (pBars) {
        dc.BitBlt(0, 0, client.Width(), client.Height(), *pBars, 0, IsActiveLook() ? 19 : 38);
    }
}

// Display ------------------------------------------------------------------------------------

std::string CMainWnd::FormatTime(int nSeconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1d:%.2d:%.2d", nSeconds / 3600, (nSeconds % 3600) / 60,
                  nSeconds % 60);
    return text;
}

const char* CMainWnd::PlayStateGlyph(int nState) {
    switch (nState) {
    case EngineStopped:
        return "S";
    case EnginePlaying:
        return "P";
    case EnginePaused:
        return "A";
    case EngineBusy:
        return "E";
    default:
        return "D";
    }
}

void CMainWnd::RefreshTime() {
    const int t = m_bRemainingTime ? m_nDuration - m_nPosition : m_nPosition;
    const std::string text = FormatTime(std::max(t, 0));
    m_glyphTime.SetText(text);
    m_glyphTimeSmall.SetText(text);
    m_sldPosition.SetValue(m_nPosition);
    if (!IsWindow())
        return;
    if (m_bShaded) {
        RedrawControl(&m_glyphTimeSmall, true);
    } else {
        RedrawControl(&m_glyphTime, true);
        RedrawControl(&m_sldPosition, true);
    }
}

void CMainWnd::ResetDisplays() {
    m_nDuration = 0;
    m_nPosition = 0;
    RefreshTime();
    m_glyphType.SetText({});
    m_glyphState.SetText("S");
    m_glyphStateSmall.SetText("S");
    m_glyphMute.SetText(Controller().GetMute() ? "1" : "0");
    m_glyphLoop.SetText(Controller().GetRepeat() ? "3" : "2");
    m_sldVolume.SetValue(Controller().GetVolume());
    if (IsWindow())
        Repaint();
}

double CMainWnd::ClipDuration() const {
    const CEngineManager* pManager = EngineManager();
    return pManager ? pManager->GetDuration() : 0.0;
}

std::string CMainWnd::ClipPath() const {
    if (const CEngineManager* pManager = EngineManager(); pManager && !pManager->GetPath().empty())
        return pManager->GetPath();
    const CAttribClip* pClip = Controller().GetCurrentClip();
    return pClip ? pClip->GetPath() : std::string();
}

void CMainWnd::ClipOpened() {
    const double duration = ClipDuration();
    m_nDuration = duration > 0 && duration < 1e9 ? int(std::lround(duration)) : 0;
    m_sldPosition.SetRangeMax(m_nDuration);
    RefreshTime();
    const std::string path = ClipPath(); // the extension below is a view into it
    const std::string_view ext = core::ExtensionWithDot(path);
    m_glyphType.SetText(std::string(ext.empty() ? ext : ext.substr(1)));
    m_label.SetText(m_clipInfo ? m_clipInfo() : std::string());
    if (IsWindow())
        Repaint();
}

void CMainWnd::ShowLoading(bool bLoading) {
    for (CMemStateButton* b : {&m_btnPlay, &m_btnPlaySmall})
        b->SetEnabled(!bLoading);
    for (CMemGlyphText* g : {&m_glyphState, &m_glyphStateSmall})
        g->SetVisible(!bLoading);
    for (CMemAnimation* a : {&m_anim, &m_animSmall})
        a->SetVisible(bLoading);
    if (bLoading) {
        ResetDisplays();
        m_label.SetText(Translate("Loading..."));
        (m_bShaded ? m_animSmall : m_anim).Start();
    } else {
        m_anim.Stop();
        m_animSmall.Stop();
        ClipOpened();
    }
    if (IsWindow()) {
        Repaint();
        UpdateControls();
        UpdateWindow();
    }
}

void CMainWnd::SetPlayState(int nState) {
    m_btnPlay.SetState(nState);
    m_btnPlaySmall.SetState(nState);
}

void CMainWnd::UpdatePlayButtons() {
    const CUIControl& c = Controller();
    int state = m_btnPlay.GetState();
    if (!c.CanResume() && c.CanPause())
        state = 2;
    else if (c.CanResume())
        state = EnginePlayState() == EngineStopped ? 0 : !c.CanPause() ? 1 : state;
    SetPlayState(state);
    const IEngineManagerControl* pManager = c.GetEngineManager();
    const bool enabled = !(pManager && pManager->IsLoading());
    m_btnPlay.SetEnabled(enabled);
    m_btnPlaySmall.SetEnabled(enabled);
}

// Command codes ------------------------------------------------------------------------------

LRESULT CMainWnd::OnCmdStop(ControlCommand&) {
    SetPlayState(0);
    RedrawControl(m_bShaded ? static_cast<CMemCtrl*>(&m_glyphStateSmall) : &m_glyphState, true);
    if (!m_bShaded)
        RedrawControl(&m_label, true);
    return 0;
}

LRESULT CMainWnd::OnCmdPosition(ControlCommand& cmd) {
    const int state = EnginePlayState();
    if (state == EnginePaused || state == EngineBusy)
        return 0;
    m_nPosition = int(cmd.param1);
    RefreshTime();
    return 0;
}

LRESULT CMainWnd::OnCmdPlayState(ControlCommand& cmd) {
    const char* glyph = PlayStateGlyph(int(cmd.param1));
    m_glyphState.SetText(glyph);
    m_glyphStateSmall.SetText(glyph);
    RedrawControl(m_bShaded ? &m_glyphStateSmall : &m_glyphState, true);
    UpdateControls();
    return 0;
}

// The bar shows the controller's volume, whichever bar, key or desktop call changed it.
LRESULT CMainWnd::OnCmdVolume(ControlCommand& cmd) {
    // The bar's own drag already shows its value; setting it again would snap the thumb.
    if (m_sldVolume.GetValue() == int(cmd.param1))
        return 0;
    m_sldVolume.SetValue(int(cmd.param1));
    RedrawUnlessShaded(&m_sldVolume);
    return 0;
}

LRESULT CMainWnd::OnCmdRepeatChanged(ControlCommand&) {
    m_glyphLoop.SetText(Controller().GetRepeat() ? "3" : "2");
    RedrawUnlessShaded(&m_glyphLoop);
    return 0;
}

// The indicators follow a mute or repeat changed elsewhere (keys, menus).
LRESULT CMainWnd::OnCmdUpdateControls(ControlCommand&) {
    const bool bMute = Controller().GetMute();
    m_chkMute.SetCheck(bMute);
    m_glyphMute.SetText(bMute ? "1" : "0");
    m_glyphLoop.SetText(Controller().GetRepeat() ? "3" : "2");
    if (IsWindow())
        UpdateControls();
    return 0;
}

LRESULT CMainWnd::OnCmdClipLoading(ControlCommand& cmd) {
    ShowLoading(cmd.param1 != 0);
    return 0;
}

LRESULT CMainWnd::OnCmdStopped(ControlCommand&) {
    m_label.SetText({});
    ResetDisplays();
    return 0;
}

LRESULT CMainWnd::OnCmdClipOpened(ControlCommand& cmd) {
    // A refresh brings the time display, the position bar and the label up to date and
    // leaves the play window as the user has it.
    if (cmd.param1 == kClipInfoRefresh)
        ClipOpened();
    else
        m_windows.ApplyPlayWndVisibility();
    return 0;
}

// Control actions ----------------------------------------------------------------------------

void CMainWnd::OnMemCtrl(WPARAM code, CMemCtrl* pCtrl) {
    if (!pCtrl)
        return;
    RedrawControl(pCtrl, true);
    const UINT nID = pCtrl->GetID();
    if (code == MEMCTRL_CLICK)
        OnClick(nID);
    else if (code == MEMCTRL_RCLICK && nID == 1)
        ShowSystemMenu(MenuPoint());
    else if (code == MEMCTRL_UPDATE)
        OnUpdate(pCtrl, nID);
}

void CMainWnd::OnClick(UINT nID) {
    switch (nID) {
    case 1:
        ShowSystemMenu(MenuPoint());
        break;
    case 2:
        PostMessage(WM_SYSCOMMAND, SC_MINIMIZE);
        break;
    case 3:
        ToggleShade();
        break;
    case 4:
        PostMessage(WM_CLOSE);
        break;
    case 5:
    case 12:
        Previous();
        break;
    case 6:
    case 13:
        PlayPause();
        break;
    case 7:
    case 14:
        Controller().Stop();
        break;
    case 8:
    case 15:
        Next();
        break;
    case 9:
    case 16:
        OpenMediaFile();
        break;
    case 11:
    case 26:
        m_bRemainingTime = !m_bRemainingTime;
        RefreshTime();
        break;
    case 17:
        ShowChild(GetPlayWindow(), m_chkPlayWnd.IsChecked());
        break;
    case 18:
        ShowChild(GetPlaylistWindow(), m_chkPlaylist.IsChecked());
        break;
    case 19:
    case 27:
        Controller().ToggleMute();
        break;
    case 28:
        Controller().ToggleRepeat();
        break;
    default:
        break;
    }
}

void CMainWnd::OnUpdate(CMemCtrl* pCtrl, UINT nID) {
    const CUIControl& c = Controller();
    switch (nID) {
    case 5:
    case 12:
        pCtrl->SetEnabled(c.CanPrevious());
        break;
    case 6:
    case 13:
        UpdatePlayButtons();
        break;
    case 7:
    case 14:
        pCtrl->SetEnabled(c.CanStop());
        break;
    case 8:
    case 15:
        pCtrl->SetEnabled(c.CanNext());
        break;
    case 21:
        pCtrl->SetEnabled(c.CanSeek());
        break;
    default:
        break;
    }
}

void CMainWnd::OpenMediaFile() {
    SubmitCommand(CmdUserCommand);
    GetPlayerApp()->OpenMediaFiles(this);
}

void CMainWnd::PlayPause() {
    if (PlaylistEmpty()) {
        OpenMediaFile();
        return;
    }
    switch (m_btnPlay.GetState()) {
    case 0:
        SetPlayState(1);
        Controller().Play();
        break;
    case 1:
        SetPlayState(2);
        Controller().Play();
        break;
    default:
        SetPlayState(1);
        Controller().Pause();
        break;
    }
}

void CMainWnd::Previous() {
    if (EnginePlayState() != EngineStopped)
        Controller().Previous();
    else
        PlayPause();
}

void CMainWnd::Next() {
    if (EnginePlayState() == EngineStopped) {
        PlayPause();
        return;
    }
    if (EnginePlayState() == EnginePaused)
        Controller().Stop();
    Controller().Next();
}

void CMainWnd::SetVolumeBy(int delta) {
    Controller().SetVolume(Controller().GetVolume() + delta);
}

void CMainWnd::SeekTo(int nSeconds) {
    m_nPosition = nSeconds;
    RefreshTime();
    SubmitCommand(CmdSeek, nSeconds);
}

void CMainWnd::OnSliderPos(CMemCtrl* pCtrl, int nValue) {
    if (pCtrl == &m_sldPosition) {
        SeekTo(nValue);
    } else if (pCtrl == &m_sldVolume) {
        Controller().SetVolume(nValue);
    }
}

void CMainWnd::OnSliderHold(CMemCtrl* pCtrl, bool bTaken) {
    if (pCtrl != &m_sldPosition)
        return;
    if (bTaken) {
        if (EnginePlayState() == EnginePlaying)
            SubmitCommand(CmdPause);
        return;
    }
    if (EnginePlayState() == EnginePaused)
        SubmitCommand(CmdSeek, m_sldPosition.GetValue());
    PostCommand(CmdSeekDragEnded, 0);
}

void CMainWnd::OnKeyDown(WPARAM vk) {
    switch (vk) {
    case VK_SPACE:
        if (!PlaylistEmpty())
            PlayPause();
        break;
    case VK_LEFT: // Left raises the volume, as Up does
    case VK_UP:
        SetVolumeBy(kVolumeStep);
        break;
    case VK_RIGHT:
    case VK_DOWN:
        SetVolumeBy(-kVolumeStep);
        break;
    default:
        break;
    }
}

// Child windows ------------------------------------------------------------------------------

void CMainWnd::ShowChild(CWnd* pWnd, bool bShow) {
    m_windows.ShowChild(pWnd, bShow);
}

// The toggle buttons follow the child windows however they were shown or hidden.
void CMainWnd::ShowToggle(CPlayerWindows::Child child, bool bShow) {
    CMemCheckButton& toggle = child == CPlayerWindows::Child::Play ? m_chkPlayWnd : m_chkPlaylist;
    toggle.SetCheck(bShow);
    RedrawUnlessShaded(&toggle);
}

bool CMainWnd::TooltipsActive() {
    return CCorePrefs::Get(CCorePrefs::Tooltips) >= 1;
}

void CMainWnd::OnSysCommand(WPARAM nCmd) {
    if ((nCmd & 0xFFF0) == SC_MINIMIZE)
        m_windows.MinimizeAll();
    else if ((nCmd & 0xFFF0) == SC_RESTORE)
        m_windows.RestoreAll();
}

void CMainWnd::OnTimer(std::uintptr_t id) {
    if (id == kAnimationTimer) {
        CMemAnimation& a = m_bShaded ? m_animSmall : m_anim;
        a.NextFrame();
        RedrawControl(&a, true);
    } else if (id == CUIControl::kSelectTimer || id == CUIControl::kPlayTimer) {
        Controller().OnTimer(id);
    } else if (id == CPlayerWindows::kCloseTimer) {
        m_windows.OnCloseTimer();
    }
}

// Messages -----------------------------------------------------------------------------------

LRESULT CMainWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (m_relay.HandleMessage(message, wParam, lParam, result))
        return result;
    if (message == WM_REG_MEMCTRL) {
        OnMemCtrl(wParam, reinterpret_cast<CMemCtrl*>(lParam));
        return 0;
    }
    if (message == WM_REG_SLIDERPOS) {
        OnSliderPos(reinterpret_cast<CMemCtrl*>(wParam), int(lParam));
        return 0;
    }
    if (message == WM_REG_SLIDERHOLD) {
        OnSliderHold(reinterpret_cast<CMemCtrl*>(wParam), lParam != 0);
        return 0;
    }
    if (message == WM_REG_CHILDWNDNOTIFY) {
        ShowChild(reinterpret_cast<CWnd*>(lParam), false);
        return 0;
    }
    switch (message) {
    case WM_TIMER:
        OnTimer(std::uintptr_t(wParam));
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(wParam);
        break; // then the default handling (Ctrl+M, Ctrl+R)
    case WM_MOUSEWHEEL:
        SetVolumeBy(std::int16_t(HIWORD(wParam)) >= 120 ? kVolumeStep : -kVolumeStep);
        return 0;
    case WM_LBUTTONDBLCLK: {
        const bool onBody = !ControlAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        const LRESULT r = CPlayerWndBase::WindowProc(message, wParam, lParam);
        if (onBody)
            ToggleShade();
        return r;
    }
    case WM_SYSCOMMAND:
        OnSysCommand(wParam);
        return 0;
    case WM_ACTIVATEAPP:
        if (wParam)
            m_windows.BringAllForward();
        return 0;
    case WM_CLOSE:
        m_windows.Close();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return OnDestroyed(message, wParam, lParam);
    default:
        break;
    }
    return CPlayerWndBase::WindowProc(message, wParam, lParam);
}
