#include "skin/PlaylistWnd.h"

#include "core/AttribClip.h"
#include "core/ClipTags.h"
#include "core/CorePrefs.h"
#include "core/MediaTypes.h"
#include "core/PlaylistFile.h"
#include "core/PlaylistPaths.h"
#include "platform/FileSystem.h"
#include "platform/Keyboard.h"
#include "platform/MessageBox.h"
#include "platform/RegisteredMessages.h"
#include "playback/ClipInfoReader.h"
#include "playback/EngineManager.h"
#include "playback/UIControl.h"
#include "res/StringTable.h"
#include "skin/BuiltInSkin.h"
#include "skin/AppLink.h"
#include "skin/SkinFile.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>

namespace {

// The row of item, searched from row `next` on and then from the top; `next` moves past it.
int FindRowFrom(const CMemList& list, const void* item, int& next) {
    const int count = list.GetRowCount();
    for (int step = 0; step < count; ++step) {
        const int row = (next + step) % count;
        if (list.GetItem(row) == item) {
            next = row + 1;
            return row;
        }
    }
    return -1;
}

// A file read with a title names the clip as the engine will once it plays; a file read
// without one gets its file name. A length only ever replaces a known one with a new length.
void ApplyClipInfo(CAttribClip& clip, const CClipInfoReader::Result& result) {
    if (clip.GetTitle().empty() || result.bChanged)
        clip.SetTitle(CPlaylistWnd::OpenedClipTitle(result.path, result.artist, result.title));
    if ((clip.GetDuration() <= 0 || result.bChanged) && result.seconds > 0)
        clip.SetDuration(result.seconds);
    clip.SetFileSize(result.nFileSize);
    clip.SetModified(result.tModified);
}

enum SlotKind { KindButton, KindLabel, KindSlider };

// The list sits this far inside the client rectangle.
constexpr int kListLeft = 9;
constexpr int kListTop = 19;
constexpr int kListRight = 24;
constexpr int kListBottom = 28;
// The name of the native playlist type in the save dialog's filter.
constexpr std::uint32_t kPlaylistFilterName = 5301;

struct Column {
    const char* pszHeading;
    int nWidth;
    int nAlign;
};
constexpr std::array<Column, CPlaylistWnd::kColumnCount> kColumns{{
    {"0", 180, CMemList::ALIGN_LEFT},
    {"1", 45, CMemList::ALIGN_RIGHT},
    {"2", 0, CMemList::ALIGN_RIGHT},
    {"3", 0, CMemList::ALIGN_RIGHT},
    {"4", 0, CMemList::ALIGN_RIGHT},
}};

// Menu ids of the sort keys 0 to 4.
constexpr std::array<UINT, core::kSortKeyCount> kSortIds{
    CPlaylistWnd::ID_SORT_INFO, CPlaylistWnd::ID_SORT_DURATION, CPlaylistWnd::ID_SORT_NAME,
    CPlaylistWnd::ID_SORT_SIZE, CPlaylistWnd::ID_SORT_TYPE};

int SortKeyOf(UINT nID) {
    const auto it = std::find(kSortIds.begin(), kSortIds.end(), nID);
    return it == kSortIds.end() ? -1 : int(it - kSortIds.begin());
}

int LineNumbers(int kind) {
    switch (kind) {
    case KindLabel:
        return CMemLabel::kLineNumbers;
    case KindSlider:
        return CMemSlider::kLineNumbers;
    default:
        return CMemButton::kLineNumbers;
    }
}

} // namespace

// One control line of "PlaylistWindow.txt", in file order: id, tooltip, kind and the image it
// takes its pictures from (1 to 3, 0 none).
struct CPlaylistWnd::ControlSlot {
    UINT nID;
    const char* pszTooltip;
    int nKind;
    int nImage;
};

const std::array<CPlaylistWnd::ControlSlot, 12> CPlaylistWnd::kSlots{{
    {IDC_GRIP, "Resize Window", KindButton, 2},
    {IDC_SHADE, "Shade Mode", KindButton, 2},
    {IDC_SHADE, "Expand Mode", KindButton, 2},
    {IDC_CLOSE, "Close Window", KindButton, 2},
    {IDC_INFO, "Active Clip Info(Name)", KindLabel, 0},
    {IDC_LOAD, "Load Clip(s) or Playlist", KindButton, 3},
    {IDC_NEW, "New Playlist", KindButton, 3},
    {IDC_ADD, "Add Clip(s) or Playlist", KindButton, 3},
    {IDC_REMOVE, "Remove Selected Clip(s)", KindButton, 3},
    {IDC_SORT, "Sort All Clips", KindButton, 3},
    {IDC_SAVE, "Save Clip(s) to Playlist", KindButton, 3},
    {IDC_SCROLL, "Playlist Scrollbar", KindSlider, 3},
}};

CPlaylistWnd::CPlaylistWnd() {
    m_nShadeHeight = builtin::kShadeHeight;
    m_nExpandedHeight = builtin::kExpandedHeight;
}

CPlaylistWnd::~CPlaylistWnd() {
    // The controller must not ask a window that is gone.
    if (IPlayerApp* app = GetPlayerApp())
        if (app->GetController().GetNavigator() == this)
            app->GetController().SetNavigator(nullptr);
}

bool CPlaylistWnd::Create(CWnd* pMainWnd) {
    m_pMainWnd = pMainWnd;
    LoadState();
    if (!CreateSkinWindow(Translate(kTitle)))
        return false;
    LoadBuiltInSkin();
    if (IPlayerApp* app = GetPlayerApp())
        app->GetController().SetNavigator(this);
    return true;
}

CUIControl* CPlaylistWnd::Controller() const {
    IPlayerApp* app = GetPlayerApp();
    return app ? &app->GetController() : nullptr;
}

std::string CPlaylistWnd::Translate(const std::string& text) const {
    IPlayerApp* app = GetPlayerApp();
    return app ? app->Translate(text) : text;
}

void CPlaylistWnd::UserCommandStarts() {
    if (IPlayerApp* app = GetPlayerApp())
        app->SubmitCommand(this, CmdUserCommand);
}

// Skin ------------------------------------------------------------------------------------------

void CPlaylistWnd::ReleaseImages() {
    m_controls.clear();
    for (auto& image : m_images)
        image.reset();
}

void CPlaylistWnd::LoadBuiltInImages() {
    for (std::size_t i = 0; i < m_images.size(); ++i)
        builtin::LoadBuiltInImage(m_images[i], builtin::kPlaylistImages[i]);
    for (std::size_t i = 0; i < m_colors.size(); ++i) {
        const builtin::SkinColour& c = builtin::kPlaylistColours[i];
        m_colors[i] = RGB(BYTE(c.r), BYTE(c.g), BYTE(c.b));
    }
    m_pieces = builtin::kPlaylistPieces;
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        m_lines[i] = builtin::kPlaylistControls[i].n;
}

bool CPlaylistWnd::LoadSkinFiles(const std::string& strFolder) {
    skin::CSkinFileReader r;
    if (!r.Open(strFolder + kSkinFile) || !r.SkipHeader())
        return false;
    for (COLORREF& c : m_colors)
        if (!r.ReadColour(c))
            return false;
    for (auto& image : m_images)
        if (!r.ReadImage(image, strFolder, nullptr))
            return false;
    for (builtin::FramePiece& p : m_pieces) {
        if (!r.ReadNumbers(4))
            return false;
        p = {skin::GetNumber(0), skin::GetNumber(1), skin::GetNumber(2), skin::GetNumber(3)};
    }
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const int n = LineNumbers(kSlots[i].nKind);
        if (!r.ReadNumbers(n))
            return false;
        std::copy_n(skin::GetNumbers(), n, m_lines[i].begin());
    }
    return true;
}

CMemCtrl& CPlaylistWnd::SlotControl(std::size_t i) {
    switch (i) {
    case 0:
        return m_btnGrip;
    case 1:
        return m_btnShade;
    case 2:
        return m_btnExpand;
    case 3:
        return m_btnClose;
    case 4:
        return m_lblInfo;
    case 11:
        return m_scroll;
    default:
        return m_btnBottom[i - 5];
    }
}

CSkinImage* CPlaylistWnd::SlotImage(std::size_t i) const {
    const int image = kSlots[i].nImage;
    return image > 0 ? m_images[std::size_t(image - 1)].get() : nullptr;
}

LRESULT CPlaylistWnd::OnCmdTranslate(ControlCommand&) {
    SetWindowText(Translate(kTitle));
    for (std::size_t i = 0; i < kSlots.size(); ++i)
        SlotControl(i).SetTooltipText(Translate(kSlots[i].pszTooltip));
    m_list.SetTooltipText(Translate("Playlist"));
    UpdateToolRects();
    return 0;
}

void CPlaylistWnd::CreateSlot(std::size_t i) {
    const ControlSlot& slot = kSlots[i];
    const int* n = m_lines[i].data();
    CMemCtrl& ctrl = SlotControl(i);
    switch (slot.nKind) {
    case KindLabel:
        m_lblInfo.CreateFromLine(this, slot.nID, nullptr, n);
        break;
    case KindSlider:
        m_scroll.CreateFromLine(this, slot.nID, SlotImage(i), n);
        break;
    default:
        static_cast<CMemButton&>(ctrl).CreateFromLine(this, slot.nID, SlotImage(i), n);
        break;
    }
    ctrl.SetTooltipText(Translate(slot.pszTooltip));
}

void CPlaylistWnd::InitControls() {
    for (std::size_t i = 0; i < kSlots.size(); ++i)
        CreateSlot(i);
    m_lblInfo.SetTextColor(m_colors[5]);
    m_lblInfo.SetBkColor(m_colors[4]);
    m_scroll.SetHorizontal(false);
    m_scroll.SetTopIsMinimum(true);
    // The scroll bar keeps its distance from the bottom edge when the window grows.
    const std::array<int, 24>& line = m_lines[11];
    m_nScrollGap = std::max(0, builtin::kExpandedHeight - (line[1] + line[3]));
    if (!m_bListCreated) {
        m_list.Create(this, IDC_LIST, kListLeft, kListTop, 0, 0, nullptr, m_colors[0], m_colors[1],
                      m_colors[2], m_colors[3]);
        for (const Column& c : kColumns)
            m_list.AddColumn(std::atoi(c.pszHeading), c.nAlign, c.nWidth);
        m_bListCreated = true;
    } else {
        m_list.SetColors(m_colors[0], m_colors[1], m_colors[2], m_colors[3]);
    }
    m_list.SetTooltipText(Translate("Playlist"));
    m_controls = {&m_btnGrip, &m_btnShade, &m_btnExpand, &m_btnClose, &m_lblInfo};
    for (CMemButton& b : m_btnBottom)
        m_controls.push_back(&b);
    m_controls.push_back(&m_list);
    m_controls.push_back(&m_scroll);
    if (m_bShaded)
        LayoutForShade();
    else
        LayoutForExpanded();
    ApplyPreferences();
    UpdateClipInfo();
}

void CPlaylistWnd::ApplyPreferences() {
    m_list.SetFontHeight(CCorePrefs::Get(CCorePrefs::PlaylistFontSize));
    m_list.SetShowNumbers(CCorePrefs::Get(CCorePrefs::ClipNumbers) != 0);
    m_lblInfo.SetFontHeight(CCorePrefs::Get(CCorePrefs::ShadeFontSize));
}

bool CPlaylistWnd::TooltipsActive() {
    return CCorePrefs::Get(CCorePrefs::Tooltips) == 2;
}

void CPlaylistWnd::LayoutForShade() {
    for (CMemCtrl* c : m_controls)
        c->SetVisible(false);
    for (CMemCtrl* c :
         std::initializer_list<CMemCtrl*>{&m_lblInfo, &m_btnGrip, &m_btnExpand, &m_btnClose})
        c->SetVisible(true);
}

void CPlaylistWnd::LayoutForExpanded() {
    for (CMemCtrl* c : m_controls)
        c->SetVisible(true);
    for (CMemCtrl* c : std::initializer_list<CMemCtrl*>{&m_lblInfo, &m_btnGrip, &m_btnExpand})
        c->SetVisible(false);
    PlaceList();
    UpdateScrollBar();
}

void CPlaylistWnd::PlaceList() {
    if (m_bShaded || !IsWindow())
        return;
    const CRect client = GetClientRect();
    m_list.SetSize(std::max(0, client.Width() - kListLeft - kListRight),
                   std::max(0, client.Height() - kListTop - kListBottom));
    const CRect bar = m_scroll.GetCtrlRect();
    m_scroll.SetSize(-1, std::max(0, client.Height() - bar.top - m_nScrollGap));
}

CSize CPlaylistWnd::GetMinimumSize() {
    return {312, m_bShaded ? m_nShadeHeight : builtin::kExpandedHeight};
}

bool CPlaylistWnd::GetFramePiece(int nIndex, CSkinImage*& pImage, int& sx, int& sy, int& cx,
                                 int& cy) {
    if (nIndex < 0 || nIndex >= int(m_pieces.size()) || !m_images[0])
        return false;
    const builtin::FramePiece& p = m_pieces[std::size_t(nIndex)];
    pImage = m_images[0].get();
    sx = p.x;
    sy = p.y;
    cx = p.cx;
    cy = p.cy;
    return true;
}

CRect CPlaylistWnd::DefaultRect() {
    // Below the main window, left-aligned with it.
    CWnd* main = m_pMainWnd;
    if (!main)
        if (IPlayerApp* app = GetPlayerApp())
            main = app->GetMainWindow();
    if (main && main != this && main->IsWindow()) {
        const CRect m = main->GetWindowRect();
        return {m.left, m.bottom, m.left + 312, m.bottom + builtin::kExpandedHeight};
    }
    return {0, 200, 312, 200 + builtin::kExpandedHeight};
}

void CPlaylistWnd::SerializeState(CArchive& ar) {
    SkinWnd::SerializeState(ar);
    m_list.Serialize(ar);
}

// Rows ------------------------------------------------------------------------------------------

CAttribClip* CPlaylistWnd::GetRowClip(int nRow) const {
    return static_cast<CAttribClip*>(m_list.GetItem(nRow));
}

void CPlaylistWnd::FillRow(int nRow, CAttribClip* pClip, bool bAllColumns) {
    const std::string title = pClip->GetDisplayTitle();
    m_list.SetText(nRow, 0, title);
    m_list.SetText(nRow, 1, core::DurationText(pClip->GetDuration()));
    if (bAllColumns) {
        m_list.SetText(nRow, 2, title);
        m_list.SetText(nRow, 4, std::string(core::ExtensionWithDot(pClip->GetPath())));
    }
    m_list.SetPlayable(nRow, pClip->GetPlayable() != 0);
}

void CPlaylistWnd::AddMissingRows(bool bInsertAfterCursor) {
    CUIControl* ctl = Controller();
    if (!ctl)
        return;
    const CObjListClip& list = ctl->GetClipList();
    int at = std::max(m_list.GetCursorRow(), 0) + 1;
    // One look at the rows instead of one search per clip: a large add stays linear.
    std::unordered_set<const void*> listed;
    for (int row = 0; row < m_list.GetRowCount(); ++row)
        listed.insert(m_list.GetItem(row));
    std::vector<CAttribClip*> added;
    for (std::size_t i = 0; i < list.GetCount(); ++i) {
        CAttribClip* clip = list.GetAt(i);
        if (listed.contains(clip))
            continue;
        const int row = bInsertAfterCursor ? m_list.InsertRow(at++, clip) : m_list.AppendRow(clip);
        FillRow(row, clip, false);
        added.push_back(clip);
    }
    ReadInBackground(added);
    if (m_list.GetRowCount() > 0 && m_list.GetCursorRow() < 0)
        m_list.SetCursorRow(0);
    UpdateScrollBar();
    RedrawList();
}

// Clips that lack a title or a length get them read in the background; what a playlist or an
// earlier open gave them stays while the file keeps the size and last-write time it had, and
// is read again once either changed.
void CPlaylistWnd::ReadInBackground(const std::vector<CAttribClip*>& clips) {
    if (!m_bReadInBackground || !IsWindow())
        return;
    std::vector<CClipInfoReader::Request> requests;
    requests.reserve(clips.size());
    for (const CAttribClip* clip : clips) {
        const bool known = !clip->GetTitle().empty() && clip->GetDuration() > 0;
        if (!known || clip->GetInfoLoaded())
            requests.push_back(
                {clip, clip->GetPath(), known, clip->GetFileSize(), clip->GetModified()});
    }
    if (requests.empty())
        return;
    if (!m_pInfoReader)
        m_pInfoReader = std::make_unique<CClipInfoReader>(GetSafeHwnd(), WM_CLIPINFOREAD);
    m_pInfoReader->Add(std::move(requests));
}

void CPlaylistWnd::OnClipInfoRead() {
    if (!m_pInfoReader)
        return;
    const std::vector<CClipInfoReader::Result> results = m_pInfoReader->TakeResults();
    if (results.empty())
        return;
    // A result counts only for a clip that still has its row: removed clips are gone.
    // Results come in the order the rows were added, so each search starts after the last
    // row found and a batch costs about its own size, not the whole list's.
    // Several readers finish out of step, so a search starts a little before the last row found.
    constexpr int kBacktrack = 4096;
    int next = std::max(0, m_nInfoRow - kBacktrack);
    for (const CClipInfoReader::Result& result : results) {
        const int row = FindRowFrom(m_list, result.key, next);
        CAttribClip* clip = row < 0 ? nullptr : GetRowClip(row);
        if (!clip || clip->GetPath() != result.path)
            continue;
        m_nInfoRow = row;
        ApplyClipInfo(*clip, result);
        // Appended rows have only their first two columns; they keep that.
        FillRow(row, clip, !m_list.GetText(row, 2).empty());
    }
    UpdateClipInfo();
    RedrawList();
}

void CPlaylistWnd::UpdateScrollBar() {
    if (m_bShaded)
        return;
    m_scroll.SetRangeMax(m_list.GetLargestTopRow());
    m_scroll.SetValue(m_list.GetTopRow());
    m_scroll.Invalidate();
}

void CPlaylistWnd::UpdateClipInfo() {
    const int row = m_list.GetCursorRow();
    std::string text;
    if (row >= 0 && row < m_list.GetRowCount())
        text = std::to_string(row + 1) + ". " + m_list.GetText(row, 0);
    if (text == m_lblInfo.GetText())
        return;
    m_lblInfo.SetText(text);
    if (m_lblInfo.IsVisible())
        m_lblInfo.Invalidate();
}

void CPlaylistWnd::RedrawList() {
    if (!m_bShaded && m_list.IsVisible())
        m_list.Invalidate();
}

// Observed commands ------------------------------------------------------------------------------

LRESULT CPlaylistWnd::OnCmdLoadClip(ControlCommand& cmd) {
    if (cmd.param1 == 0 && m_list.GetRowCount() > 0 && m_list.GetCursorRow() >= 0) {
        m_list.SetCursorRow(0);
        cmd.param1 = ControlCommand::FromClip(GetRowClip(0));
    }
    m_list.SetCursorRow(cmd.param1 ? m_list.FindRow(cmd.GetClip()) : -1);
    UpdateClipInfo();
    RedrawList();
    return 0;
}

LRESULT CPlaylistWnd::OnCmdClosing(ControlCommand&) {
    if (m_pInfoReader)
        m_pInfoReader->Cancel();
    m_list.DeleteAllRows();
    UpdateClipInfo();
    if (IPlayerApp* app = GetPlayerApp())
        app->SubmitCommand(this, CmdUpdateControls);
    UpdateScrollBar();
    RedrawList();
    return 0;
}

LRESULT CPlaylistWnd::OnCmdRefillRows(ControlCommand&) {
    CUIControl* ctl = Controller();
    // The rows are rebuilt from the playlist; the cursor row stays where it was (a restored
    // one too) unless the user asked for a reset.
    const int cursor = m_list.GetCursorRow();
    m_list.DeleteAllRows();
    if (ctl) {
        const CObjListClip& list = ctl->GetClipList();
        std::vector<CAttribClip*> clips;
        for (std::size_t i = 0; i < list.GetCount(); ++i) {
            CAttribClip* clip = list.GetAt(i);
            FillRow(m_list.InsertRow(int(i), clip), clip, true);
            clips.push_back(clip);
        }
        ReadInBackground(clips);
    }
    const bool reset = CCorePrefs::Get(CCorePrefs::ResetPlayNumber) != 0;
    if (m_list.GetRowCount() > 0)
        m_list.SetCursorRow(cursor < 0 || cursor >= m_list.GetRowCount() || reset ? 0 : cursor);
    UpdateClipInfo();
    UpdateScrollBar();
    RedrawList();
    return 0;
}

LRESULT CPlaylistWnd::OnCmdAppendRows(ControlCommand&) {
    AddMissingRows(false);
    return 0;
}

LRESULT CPlaylistWnd::OnCmdInsertRows(ControlCommand&) {
    AddMissingRows(true);
    return 0;
}

LRESULT CPlaylistWnd::OnCmdPlayableChanged(ControlCommand& cmd) {
    if (CAttribClip* clip = cmd.GetClip()) {
        const int row = m_list.FindRow(clip);
        if (row >= 0)
            m_list.SetPlayable(row, clip->GetPlayable() != 0);
    } else {
        // Without a clip every row may have changed.
        for (int row = 0; row < m_list.GetRowCount(); ++row)
            m_list.SetPlayable(row, GetRowClip(row)->GetPlayable() != 0);
    }
    RedrawList();
    return 0;
}

bool CPlaylistWnd::GetOpenedClipInfo(std::string& strPath, std::string& strInfo1,
                                     std::string& strInfo2, int& nLength) {
    CUIControl* ctl = Controller();
    auto* manager = ctl ? dynamic_cast<CEngineManager*>(ctl->GetEngineManager()) : nullptr;
    if (!manager)
        return false;
    strPath = manager->GetOpenedPath();
    strInfo1 = manager->GetInfoText1();
    strInfo2 = manager->GetInfoText2();
    nLength = core::WholeSeconds(manager->GetDuration());
    return true;
}

std::string CPlaylistWnd::OpenedClipTitle(const std::string& strPath, const std::string& strInfo1,
                                          const std::string& strInfo2) {
    // Tag texts stand as they are: a title may hold dots and slashes of its own.
    if (std::string tagged = core::TagDisplayTitle(strInfo1, strInfo2); !tagged.empty())
        return tagged;
    return std::string(core::FileTitle(strPath)) + std::string(core::ExtensionWithDot(strPath));
}

LRESULT CPlaylistWnd::OnCmdClipOpened(ControlCommand&) {
    const int row = m_list.GetCursorRow();
    std::string path, info1, info2;
    int length = 0;
    if (row < 0 || !GetOpenedClipInfo(path, info1, info2, length))
        return 0;
    const std::string title = OpenedClipTitle(path, info1, info2);
    CAttribClip* clip = GetRowClip(row);
    // A stream that finds its length only while it plays (an MP3 without a length header)
    // reports 0 at first: the length known from before stays until the new one comes.
    if (length <= 0 && clip)
        length = std::max(0, clip->GetDuration());
    m_list.SetText(row, 0, title);
    // A stream that never ends has no length to show.
    const bool live = length == 0 && core::IsStreamUri(path);
    m_list.SetText(row, 1, live ? Translate(res::LoadString(5510)) : core::DurationText(length));
    if (clip) {
        clip->SetTitle(title);
        clip->SetDuration(length);
    }
    UpdateClipInfo();
    RedrawList();
    return 0;
}

// Navigation -------------------------------------------------------------------------------------

CAttribClip* CPlaylistWnd::Navigate(NavigateMode mode) {
    CUIControl* ctl = Controller();
    const int row = core::NavigationTarget(m_list.GetRowCount(), m_list.GetCursorRow(), mode,
                                           !ctl || ctl->GetRepeat());
    if (row == core::kNoRowTarget)
        return nullptr;
    m_list.SetCursorRow(row);
    UpdateClipInfo();
    RedrawList();
    return GetRowClip(row);
}

CAttribClip* CPlaylistWnd::CurrentClip() const {
    return GetRowClip(m_list.GetCursorRow());
}

bool CPlaylistWnd::CanNavigate(NavigateMode mode) const {
    CUIControl* ctl = Controller();
    return core::CanNavigateRows(m_list.GetRowCount(), m_list.GetCursorRow(), mode,
                                 !ctl || ctl->GetRepeat());
}

std::vector<CAttribClip*> CPlaylistWnd::RowClips() const {
    std::vector<CAttribClip*> clips;
    clips.reserve(std::size_t(std::max(m_list.GetRowCount(), 0)));
    for (int row = 0; row < m_list.GetRowCount(); ++row)
        clips.push_back(GetRowClip(row));
    return clips;
}

CAttribClip* CPlaylistWnd::NavigateTo(CAttribClip* clip) {
    const int row = m_list.FindRow(clip);
    if (row < 0)
        return nullptr;
    m_list.SetCursorRow(row);
    UpdateClipInfo();
    RedrawList();
    return clip;
}

// Row commands -----------------------------------------------------------------------------------

void CPlaylistWnd::RemoveSelected() {
    CUIControl* ctl = Controller();
    if (!ctl)
        return;
    int first = core::kNoRowTarget;
    std::vector<CAttribClip*> removed;
    for (int row = 0; row < m_list.GetRowCount(); ++row)
        if (m_list.IsSelected(row)) {
            if (first == core::kNoRowTarget)
                first = row;
            removed.push_back(GetRowClip(row));
        }
    // The rows go before their clips, so no row ever holds a destroyed clip.
    m_list.DeleteSelectedRows();
    bool playingRemoved = false;
    for (CAttribClip* clip : removed) {
        if (clip == ctl->GetCurrentClip() && ctl->IsBusy()) {
            ctl->Stop();
            playingRemoved = true;
        }
        ctl->RemoveClip(clip);
    }
    const int cursor = m_list.GetCursorRow();
    const int next = cursor >= 0 ? cursor : core::RowAfterRemoval(first, m_list.GetRowCount());
    if (next != core::kNoRowTarget)
        ctl->PlayClip(GetRowClip(next), playingRemoved);
    if (IPlayerApp* app = GetPlayerApp())
        app->SubmitCommand(this, CmdUpdateControls);
    UpdateClipInfo();
    UpdateScrollBar();
    RedrawList();
}

void CPlaylistWnd::Crop() {
    m_list.InvertSelection();
    RemoveSelected();
}

void CPlaylistWnd::Sort(int nKey) {
    if (nKey < 0 || nKey >= core::kSortKeyCount)
        return;
    const bool ascending = m_sort.Next(nKey);
    // The text of each row under the key, found by the row's clip.
    std::unordered_map<CMemList::Item, std::string> texts;
    for (int row = 0; row < m_list.GetRowCount(); ++row)
        texts[m_list.GetItem(row)] = m_list.GetText(row, nKey);
    const auto precedes = [&](CMemList::Item a, CMemList::Item b) {
        return core::SortPrecedes(nKey, *static_cast<CAttribClip*>(a), texts[a],
                                  *static_cast<CAttribClip*>(b), texts[b]);
    };
    m_list.Sort([&](CMemList::Item a, CMemList::Item b) {
        return ascending ? precedes(a, b) : precedes(b, a);
    });
    UpdateClipInfo();
    RedrawList();
}

void CPlaylistWnd::NewPlaylist() {
    CUIControl* ctl = Controller();
    IPlayerApp* app = GetPlayerApp();
    if (!ctl || !app)
        return;
    ctl->Stop();
    m_list.DeleteAllRows(); // before the clips go
    ctl->ClearPlaylist();
    app->SubmitCommand(this, CmdClosing);
    app->SubmitCommand(this, CmdUpdateControls);
}

void CPlaylistWnd::SavePlaylistAs() {
    CUIControl* ctl = Controller();
    if (!ctl)
        return;
    const std::string pattern = res::LoadString(111);
    const std::string filter =
        Translate(res::LoadString(kPlaylistFilterName)) + " (" + pattern + ")|" + pattern + "||";
    const std::string path =
        AskSavePath(ctl->GetLastPlaylistFolder(), filter, res::LoadString(103));
    if (path.empty())
        return;
    UserCommandStarts();
    core::SavePlaylist(
        ctl->GetClipList(), path, [this](const std::string& caption, const std::string& text) {
            MessageBox(this, Translate(text), Translate(caption), MB_OK | MB_ICONERROR);
        });
    ctl->SetLastPlaylistFolder(std::string(core::FolderPart(path)));
}

void CPlaylistWnd::AddClips() {
    IPlayerApp* app = GetPlayerApp();
    if (!app)
        return;
    CUIControl& ctl = app->GetController();
    const std::vector<std::string> paths =
        AskOpenPaths(ctl.GetLastOpenFolder(),
                     core::BuildOpenFilter([this](const std::string& s) { return Translate(s); }));
    if (paths.empty())
        return;
    UserCommandStarts();
    app->AddFiles(paths);
    ctl.SetLastOpenFolder(std::string(core::FolderPart(paths.front())));
}

void CPlaylistWnd::PlayClip(CAttribClip* pClip) {
    CUIControl* ctl = Controller();
    if (!ctl || !pClip)
        return;
    if (const IEngineManagerControl* manager = ctl->GetEngineManager())
        if (manager->IsLoading())
            return;
    ctl->PlayClip(pClip, true);
}

void CPlaylistWnd::JumpToFile() {
    const int count = m_list.GetRowCount();
    if (count == 0)
        return;
    std::vector<std::string> search, shown;
    search.reserve(std::size_t(count));
    shown.reserve(std::size_t(count));
    for (int row = 0; row < count; ++row) {
        shown.push_back(m_list.GetText(row, 0));
        const CAttribClip* clip = GetRowClip(row);
        search.push_back(shown.back() + "\n" + (clip ? clip->GetPath() : std::string()));
    }
    const int row = AskJumpRow(search, std::move(shown));
    if (row < 0 || row >= m_list.GetRowCount())
        return;
    m_list.SelectAll(false);
    m_list.SetSelected(row, true);
    PlayClip(GetRowClip(row));
    RedrawList();
}

int CPlaylistWnd::RemoveRowsWhere(const std::vector<bool>& remove) {
    const int count = int(std::count(remove.begin(), remove.end(), true));
    if (count == 0)
        return 0;
    if (count > kRemoveWithoutAsking) {
        // The count goes in as text: a translated format is never handed to printf.
        std::string text = Translate(res::LoadString(5505));
        if (const std::size_t at = text.find("%d"); at != std::string::npos)
            text.replace(at, 2, std::to_string(count));
        if (MessageBox(this, text, Translate(kTitle), MB_YESNO | MB_ICONQUESTION) != IDYES)
            return 0;
    }
    UserCommandStarts();
    // The rows that go become the selection for the removal; the others keep theirs.
    std::unordered_set<CMemList::Item> kept;
    for (int row = 0; row < m_list.GetRowCount(); ++row) {
        if (m_list.IsSelected(row) && !remove[std::size_t(row)])
            kept.insert(m_list.GetItem(row));
        m_list.SetSelected(row, remove[std::size_t(row)]);
    }
    RemoveSelected();
    for (int row = 0; row < m_list.GetRowCount(); ++row)
        m_list.SetSelected(row, kept.count(m_list.GetItem(row)) != 0);
    RedrawList();
    return count;
}

int CPlaylistWnd::RemoveDuplicates() {
    std::vector<bool> remove(std::size_t(m_list.GetRowCount()));
    std::unordered_set<std::string> seen;
    for (int row = 0; row < m_list.GetRowCount(); ++row)
        if (const CAttribClip* clip = GetRowClip(row))
            remove[std::size_t(row)] = !seen.insert(clip->GetPath()).second;
    return RemoveRowsWhere(remove);
}

int CPlaylistWnd::RemoveDeadEntries() {
    std::vector<bool> remove(std::size_t(m_list.GetRowCount()));
    for (int row = 0; row < m_list.GetRowCount(); ++row) {
        const CAttribClip* clip = GetRowClip(row);
        if (!clip)
            continue;
        const std::string& path = clip->GetPath();
        // Streams cannot be checked without going on line, and a disc track exists only while
        // its disc is in the drive: both stay.
        if (core::IsUri(path) || core::EqualsNoCase(core::Extension(path), "cda"))
            continue;
        remove[std::size_t(row)] = !platform::FileExists(path);
    }
    return RemoveRowsWhere(remove);
}

void CPlaylistWnd::OnListDoubleClick(CAttribClip* pClip) {
    UpdateClipInfo();
    PlayClip(pClip);
}

void CPlaylistWnd::OnButton(UINT nID) {
    switch (nID) {
    case IDC_SHADE:
        ToggleShade();
        break;
    case IDC_CLOSE:
        if (CWnd* main = m_pMainWnd       ? m_pMainWnd
                         : GetPlayerApp() ? GetPlayerApp()->GetMainWindow()
                                          : nullptr)
            main->PostMessage(WM_REG_CHILDWNDNOTIFY, 0, reinterpret_cast<LPARAM>(this));
        break;
    case IDC_LOAD:
        if (IPlayerApp* app = GetPlayerApp())
            app->OpenMediaFiles(this);
        break;
    case IDC_NEW:
        NewPlaylist();
        break;
    case IDC_ADD:
        AddClips();
        break;
    case IDC_REMOVE:
        RemoveSelected();
        break;
    case IDC_SORT:
        Sort(std::max(m_sort.GetKey(), 0));
        break;
    case IDC_SAVE:
        SavePlaylistAs();
        break;
    default:
        break;
    }
}

// Menus and keys ---------------------------------------------------------------------------------

std::vector<CPlaylistWnd::MenuItem> CPlaylistWnd::BuildContextMenu() const {
    const int key = m_sort.GetKey();
    const auto item = [&](UINT id, const char* text) {
        // The file-type key carries no mark.
        const int k = SortKeyOf(id);
        const bool marked = k >= 0 && k == key && k != core::SortByType;
        return MenuItem{id, Translate(text), marked, marked, {}};
    };
    MenuItem sort{0, Translate("&Sort"), false, false, {}};
    sort.popup = {item(ID_SORT_INFO, "By Clip &Info"), item(ID_SORT_DURATION, "By &Duration"),
                  item(ID_SORT_NAME, "By File &Name"), item(ID_SORT_SIZE, "By File &Size"),
                  item(ID_SORT_TYPE, "By &File Type")};
    return {item(ID_PLAY_ITEMS, "&Play items"),
            {},
            item(ID_REMOVE_ITEMS, "&Remove items"),
            item(ID_CROP_ITEMS, "&Crop items"),
            item(ID_INVERSE_ITEMS, "&Inverse items"),
            {},
            item(ID_SELECT_ALL, "&Select all items"),
            item(ID_DESELECT_ALL, "&Deselect all items"),
            {},
            sort,
            {},
            item(ID_JUMP_TO_FILE, res::LoadString(5500).c_str()),
            item(ID_REMOVE_DUPLICATES, res::LoadString(5503).c_str()),
            item(ID_REMOVE_DEAD, res::LoadString(5504).c_str())};
}

void CPlaylistWnd::ShowContextMenu() {
    if (const UINT id = TrackMenu(BuildContextMenu()))
        OnMenuCommand(id);
}

void CPlaylistWnd::OnMenuCommand(UINT nID) {
    const int key = SortKeyOf(nID);
    switch (nID) {
    case ID_JUMP_TO_FILE:
        JumpToFile();
        return;
    case ID_REMOVE_DUPLICATES:
        RemoveDuplicates();
        return;
    case ID_REMOVE_DEAD:
        RemoveDeadEntries();
        return;
    default:
        break;
    }
    if (key < 0 && (nID < ID_PLAY_ITEMS || nID > ID_DESELECT_ALL))
        return;
    UserCommandStarts();
    switch (nID) {
    case ID_PLAY_ITEMS:
        if (CUIControl* ctl = Controller())
            ctl->Play();
        return;
    case ID_REMOVE_ITEMS:
        RemoveSelected();
        return;
    case ID_CROP_ITEMS:
        Crop();
        return;
    case ID_INVERSE_ITEMS:
        m_list.InvertSelection();
        break;
    case ID_SELECT_ALL:
    case ID_DESELECT_ALL:
        m_list.SelectAll(nID == ID_SELECT_ALL);
        break;
    default:
        Sort(key);
        return;
    }
    RedrawList();
}

bool CPlaylistWnd::OnKey(WPARAM vk) {
    const bool ctrl = platform::IsKeyDown(VK_CONTROL);
    const UINT mods =
        (ctrl ? UINT(MK_CONTROL) : 0u) | (platform::IsKeyDown(VK_SHIFT) ? UINT(MK_SHIFT) : 0u);
    switch (vk) {
    case VK_RETURN:
        if (m_list.GetSelectedCount() == 1)
            for (int row = 0; row < m_list.GetRowCount(); ++row)
                if (m_list.IsSelected(row))
                    PlayClip(GetRowClip(row));
        return true;
    case VK_PRIOR:
        m_list.PageUp(mods);
        break;
    case VK_NEXT:
        m_list.PageDown(mods);
        break;
    case VK_HOME:
        m_list.Home(mods);
        break;
    case VK_END:
        m_list.End(mods);
        break;
    case VK_UP:
    case VK_LEFT:
        m_list.Up(mods);
        break;
    case VK_DOWN:
    case VK_RIGHT:
        m_list.Down(mods);
        break;
    case VK_DELETE:
        ctrl ? Crop() : RemoveSelected();
        return true;
    case 'J':
        if (ctrl)
            return false;
        JumpToFile();
        return true;
    case 'A':
    case 'D':
    case 'I':
        if (!ctrl)
            return false;
        if (vk == 'I')
            m_list.InvertSelection();
        else
            m_list.SelectAll(vk == 'A');
        break;
    default:
        return false;
    }
    RedrawList();
    return true;
}

// Messages ---------------------------------------------------------------------------------------

LRESULT CPlaylistWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_REG_MEMCTRL) {
        const auto* ctrl = reinterpret_cast<CMemCtrl*>(lParam);
        if (wParam == MEMCTRL_CLICK && ctrl && ctrl != &m_list)
            OnButton(ctrl->GetID());
        else if (wParam == MEMCTRL_RCLICK && ctrl == &m_list)
            ShowContextMenu();
        return 0;
    }
    if (message == WM_REG_SLIDERPOS) {
        m_list.SetTopRow(int(lParam));
        RedrawList();
        return 0;
    }
    if (message == WM_REG_TOPINDEXCHANGED) {
        m_scroll.SetValue(int(lParam));
        m_scroll.Invalidate();
        RedrawList();
        return 0;
    }
    if (message == WM_CLIPINFOREAD) {
        OnClipInfoRead();
        return 0;
    }
    if (message == WM_DESTROY) {
        if (m_pInfoReader)
            m_pInfoReader->Stop();
        // The place the user gave the window comes back at the next start.
        SaveState();
    }
    if (message == WM_REG_CTRLDBLCLICKED) {
        OnListDoubleClick(reinterpret_cast<CAttribClip*>(lParam));
        return 0;
    }
    switch (message) {
    case WM_KEYDOWN:
        if (OnKey(wParam))
            return 0;
        break;
    case WM_COMMAND:
        OnMenuCommand(UINT(LOWORD(wParam)));
        return 0;
    case WM_LBUTTONDBLCLK: {
        // A double click on the body, where the window is dragged, rolls it up or down.
        const CPoint pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        int nKind = 0;
        const bool onBody = !ControlAt(pt) && !HitTestResizeEdge(pt, nKind);
        const LRESULT result = CPlayerWndBase::WindowProc(message, wParam, lParam);
        if (onBody)
            ToggleShade();
        return result;
    }
    case WM_MOUSEWHEEL:
        // The wheel scrolls the list wherever the pointer is.
        if (!m_bShaded)
            m_list.OnMouseWheel(UINT(LOWORD(wParam)), std::int16_t(HIWORD(wParam)), {});
        return 0;
    case WM_SIZE:
        PlaceList();
        UpdateScrollBar();
        break;
    default:
        break;
    }
    return CPlayerWndBase::WindowProc(message, wParam, lParam);
}
