// The playlist window: one list row per clip of the playlist, the clip-information label of the
// shaded bar, a scroll bar and six buttons. Its rows, their order, their selection and the
// cursor row belong to the window alone; the clips belong to the controller's playlist. The
// controller asks it which clip is first, previous, next, last or current (the row order
// decides), and tells it about playlist changes through the command bus.
#pragma once

#include "core/PlaylistNavigator.h"
#include "core/PlaylistRules.h"
#include "platform/PopupMenu.h"
#include "res/BuiltInSkinLayout.h"
#include "skin/MemButton.h"
#include "skin/MemLabel.h"
#include "skin/MemList.h"
#include "skin/MemSlider.h"
#include "skin/PlayerWndBase.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class CAttribClip;
class CClipInfoReader;
class CUIControl;

class CPlaylistWnd : public CPlayerWndBase, public IPlaylistNavigator {
public:
    static constexpr const char* kTitle = "Playlist Window";
    static constexpr const char* kSkinFile = "PlaylistWindow.txt";
    static constexpr int kColumnCount = 5;

    // Control ids.
    enum : UINT {
        IDC_INFO = 1,
        IDC_GRIP = 2,
        IDC_SHADE = 3,
        IDC_CLOSE = 4,
        IDC_LOAD = 5,
        IDC_NEW = 6,
        IDC_ADD = 7,
        IDC_REMOVE = 8,
        IDC_SORT = 9,
        IDC_SAVE = 10,
        IDC_LIST = 11,
        IDC_SCROLL = 12,
    };
    // Commands of the "&PlayList" menu.
    enum : UINT {
        ID_PLAY_ITEMS = 32773,
        ID_REMOVE_ITEMS = 32774,
        ID_CROP_ITEMS = 32775,
        ID_INVERSE_ITEMS = 32776,
        ID_SELECT_ALL = 32777,
        ID_DESELECT_ALL = 32778,
        ID_SORT_INFO = 32793,
        ID_SORT_NAME = 32794,
        ID_SORT_DURATION = 32795,
        ID_SORT_SIZE = 32796,
        ID_SORT_TYPE = 32797,
        ID_JUMP_TO_FILE = 33250,
        ID_REMOVE_DUPLICATES = 33251,
        ID_REMOVE_DEAD = 33252,
    };
    // Clean-up removing more rows than this asks first.
    static constexpr int kRemoveWithoutAsking = 5;

    using MenuItem = CPopupMenuItem;

    CPlaylistWnd();
    ~CPlaylistWnd() override;

    // Loads the saved state, creates the window below the main window's place, applies the
    // built-in skin and registers as the controller's navigator.
    bool Create(CWnd* pMainWnd);

    // IPlaylistNavigator, over the list rows.
    CAttribClip* Navigate(NavigateMode mode) override;
    CAttribClip* CurrentClip() const override;
    bool CanNavigate(NavigateMode mode) const override;
    std::vector<CAttribClip*> RowClips() const override;
    CAttribClip* NavigateTo(CAttribClip* clip) override;

    // Commands of buttons, keys and menus.
    void OnMenuCommand(UINT nID);
    void RemoveSelected();
    void Crop();
    void Sort(int nKey);
    void NewPlaylist();
    void SavePlaylistAs();
    void PlayClip(CAttribClip* pClip);
    // The search box over the window; the chosen row plays.
    void JumpToFile();
    // Clean-up: every row but the first of each path; rows whose local file is gone. Both ask
    // before removing more than kRemoveWithoutAsking rows; they return the count removed.
    int RemoveDuplicates();
    int RemoveDeadEntries();
    // Enter and the keys of the list; false when the key is left to the base window.
    bool OnKey(WPARAM vk);

    // The "&PlayList" popup, translated, with the sort key's radio mark.
    std::vector<MenuItem> BuildContextMenu() const;

    std::string WindowName() const override { return "PlayListWnd"; }
    CRect DefaultRect() override;
    CSize GetMinimumSize() override;
    bool IsGripControl(CMemCtrl* pCtrl) override { return pCtrl == &m_btnGrip; }
    // The window-base part, then the list's cursor row.
    void SerializeState(CArchive& ar) override;
    bool GetFramePiece(int nIndex, CSkinImage*& pImage, int& sx, int& sy, int& cx,
                       int& cy) override;

    CMemList& GetList() { return m_list; }
    const CMemList& GetList() const { return m_list; }
    const CMemSlider& GetScrollBar() const { return m_scroll; }
    const CMemLabel& GetInfoLabel() const { return m_lblInfo; }
    const core::CSortDirection& GetSortDirection() const { return m_sort; }
    CAttribClip* GetRowClip(int nRow) const;
    static std::string OpenedClipTitle(const std::string& strPath, const std::string& strInfo1,
                                       const std::string& strInfo2);
    static constexpr UINT WM_CLIPINFOREAD = WM_APP + 1; // background results are waiting
    // Whether added rows get their titles and lengths read in the background (on by default).
    void SetBackgroundReading(bool bOn) { m_bReadInBackground = bOn; }

    // Clip numbers, the list's and the shade bar's font sizes from the core preferences.
    void ApplyPreferences();
    // Tooltips on with core preference 12 "all windows".
    bool TooltipsActive() override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void ReleaseImages() override;
    void LoadBuiltInImages() override;
    void InitControls() override;
    bool LoadSkinFiles(const std::string& strFolder) override;
    void LayoutForShade() override;
    void LayoutForExpanded() override;

    LRESULT OnCmdLoadClip(ControlCommand& cmd) override;
    LRESULT OnCmdClosing(ControlCommand& cmd) override;
    LRESULT OnCmdRefillRows(ControlCommand& cmd) override;
    LRESULT OnCmdAppendRows(ControlCommand& cmd) override;
    LRESULT OnCmdInsertRows(ControlCommand& cmd) override;
    LRESULT OnCmdPlayableChanged(ControlCommand& cmd) override;
    LRESULT OnCmdClipOpened(ControlCommand& cmd) override;
    // Code 27: the title and the tooltips in the new language.
    LRESULT OnCmdTranslate(ControlCommand& cmd) override;

    // What needs the user or the desktop; tests replace them.
    // Shows the popup at the mouse position; the chosen command, 0 for none.
    virtual UINT TrackMenu(const std::vector<MenuItem>& items);
    // The save dialog; empty when cancelled.
    virtual std::string AskSavePath(const std::string& strFolder, const std::string& strFilter,
                                    const std::string& strDefExt);
    // The open dialog for several files; empty when cancelled.
    virtual std::vector<std::string> AskOpenPaths(const std::string& strFolder,
                                                  const std::string& strFilter);
    // The jump-to-file box over the rows (their search and shown texts); the chosen row or -1.
    virtual int AskJumpRow(const std::vector<std::string>& searchTexts,
                           std::vector<std::string> shownTexts);
    // The opened clip's path, information texts and length in seconds (code 24).
    virtual bool GetOpenedClipInfo(std::string& strPath, std::string& strInfo1,
                                   std::string& strInfo2, int& nLength);

private:
    struct ControlSlot;
    static const std::array<ControlSlot, 12> kSlots;

    CUIControl* Controller() const;
    std::string Translate(const std::string& text) const;
    CMemCtrl& SlotControl(std::size_t i);
    CSkinImage* SlotImage(std::size_t i) const;
    void CreateSlot(std::size_t i);
    void PlaceList();
    void FillRow(int nRow, CAttribClip* pClip, bool bAllColumns);
    void AddMissingRows(bool bInsertAfterCursor);
    void ReadInBackground(const std::vector<CAttribClip*>& clips);
    void OnClipInfoRead();
    void UpdateScrollBar();
    void UpdateClipInfo();
    void RedrawList();
    void OnButton(UINT nID);
    void OnListDoubleClick(CAttribClip* pClip);
    void ShowContextMenu();
    void AddClips();
    void UserCommandStarts();
    int RemoveRowsWhere(const std::vector<bool>& remove);

    std::array<std::unique_ptr<CSkinImage>, 3> m_images;
    std::array<COLORREF, 6> m_colors{};
    builtin::FramePieces m_pieces{};
    std::array<std::array<int, 24>, 12> m_lines{};
    int m_nScrollGap = 0; // the scroll bar's distance from the bottom at the minimum height

    CMemButton m_btnGrip;
    CMemButton m_btnShade;
    CMemButton m_btnExpand;
    CMemButton m_btnClose;
    CMemLabel m_lblInfo;
    std::array<CMemButton, 6> m_btnBottom;
    CMemList m_list;
    CMemSlider m_scroll;
    bool m_bListCreated = false;
    core::CSortDirection m_sort;
    CWnd* m_pMainWnd = nullptr;
    bool m_bReadInBackground = true;
    int m_nInfoRow = 0; // the row of the last clip the background reading filled in
    std::unique_ptr<CClipInfoReader> m_pInfoReader; // made with the first request
};
