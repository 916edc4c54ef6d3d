// The play window: the third skinned window. It hosts the engine manager in its video area,
// turns the manager's reports into controller calls and commands, carries out the engine
// commands of the command bus, sizes the video by the display mode (fit, 50 %, 100 %, 200 %,
// full screen), and offers transport buttons, a context menu and keys.
#pragma once

#include "res/BuiltInSkinLayout.h"
#include "skin/MemButton.h"
#include "skin/MemRadioButton.h"
#include "skin/MemStateButton.h"
#include "skin/PlayWndMenu.h"
#include "skin/PlayerWndBase.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class CEngineManager;
class CUIControl;

class CPlayWnd : public CPlayerWndBase {
public:
    // Timer ids: the position report, the full-screen cursor, and letting the skin buffer go
    // once it was painted under a picture.
    static constexpr std::uintptr_t kPositionTimer = 0;
    static constexpr std::uintptr_t kCursorTimer = 1;
    static constexpr std::uintptr_t kBufferTimer = 2;
    static constexpr UINT kPositionMs = 1000;
    static constexpr UINT kCursorMs = 3000;

    CPlayWnd();
    ~CPlayWnd() override;

    // Loads the saved state, creates the window (and with it the engine manager) and applies
    // the built-in skin; the main window registers it and may apply a skin folder later.
    bool Create(CWnd* pMainWnd);
    CEngineManager* GetEngineManager() { return m_pEngineManager.get(); }

    std::string WindowName() const override { return "PlayWnd"; }
    CSize GetMinimumSize() override;

    // The video area, the rectangle of the open picture and the logo's rectangle (client
    // coordinates).
    CRect GetVideoArea() const;
    CRect GetPlacementRect();
    CRect GetLogoRect() const;
    CSize GetPictureSize() const { return m_sizePicture; }
    CSize GetDisplaySize() const { return m_sizeDisplay; }
    int GetDisplayMode() const;

    // Display modes, the Resize to rule and full screen.
    void ChooseDisplayMode(int nMode);
    void ApplyDisplayMode(bool bLeaveFullScreen);
    void ResizeTo(int cx, int cy);
    void EnterFullScreen();
    void LeaveFullScreen();
    bool IsCursorHidden() const { return m_bCursorHidden; }
    void SetOnTop(bool bOnTop) { m_bOnTop = bOnTop ? 1 : 0; }

    // The context menu's and the keys' commands.
    void OnMenuCommand(UINT nID);

    CMemStateButton& GetPlayButton() { return m_btnPlay; }
    CMemRadioButton& GetModeButton(int nMode) { return m_radio[std::size_t(nMode)]; }
    CMemButton* GetButton(UINT nID);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Skin.
    void ReleaseImages() override;
    void LoadBuiltInImages() override;
    void InitControls() override;
    bool LoadSkinFiles(const std::string& strFolder) override;
    void LayoutForShade() override;
    void LayoutForExpanded() override;
    bool GetFramePiece(int nIndex, CSkinImage*& pImage, int& sx, int& sy, int& cx,
                       int& cy) override;
    void SkinApplied(int nKind) override;
    bool IsGripControl(CMemCtrl* pCtrl) override { return pCtrl == &m_btnResize; }
    void ZoomChanged(bool bZoomed) override;
    void BeginResize() override;
    void EndResize() override;

    // Preferences.
    bool SnapToScreen() override;
    bool SnapToWindows() override;
    int ScreenSnapDistance() override;
    int WindowSnapDistance() override;
    bool TooltipsActive() override;

    // Commands of the bus.
    LRESULT OnCmdPlay(ControlCommand& cmd) override;
    LRESULT OnCmdPause(ControlCommand& cmd) override;
    LRESULT OnCmdStop(ControlCommand& cmd) override;
    LRESULT OnCmdLoadClip(ControlCommand& cmd) override;
    LRESULT OnCmdSeek(ControlCommand& cmd) override;
    LRESULT OnCmdPlayState(ControlCommand& cmd) override;
    LRESULT OnCmdSeekDragEnded(ControlCommand& cmd) override;
    LRESULT OnCmdClosing(ControlCommand& cmd) override;
    LRESULT OnCmdUpdateControls(ControlCommand& cmd) override;
    LRESULT OnCmdClipLoading(ControlCommand& cmd) override;
    LRESULT OnCmdStopped(ControlCommand& cmd) override;
    LRESULT OnCmdTranslate(ControlCommand& cmd) override;

    // The open clip's picture size as the engine reports it.
    virtual CSize QueryPictureSize();
    bool ShowsPicture() const;
    void ReleaseBufferUnderPicture();
    // Shows the context menu and answers the chosen id (0 for none); tests replace it.
    virtual UINT TrackContextMenu(const std::vector<playwnd::MenuEntry>& menu, CPoint ptScreen);
    // Brings the main, playlist and play windows to the top, the play window last when it is
    // on top, first otherwise (the main window is then activated).
    virtual void ReorderWindows(bool bPlayOnTop);

private:
    void OnCreate();
    void OnDestroy();
    void OnSizeChanged();
    void OnMemCtrl(WPARAM code, CMemCtrl* pCtrl);
    void OnClick(UINT nID);
    void RefreshControl(CMemCtrl* pCtrl);
    void OnKeyDown(WPARAM vk);
    void OnEngineNotify(UINT message, WPARAM wParam, LPARAM lParam);
    void OnOpenSuccessed(bool bOpened);
    void OnPlayCompleted(bool bError);
    void OnPositionTimer();
    void OnMouseMoved();
    void ShowCursor(bool bShow);
    bool OnRightButtonUp(CPoint pt);
    void OnLeftButtonUp();
    void PlayPause();
    void OpenFiles();
    void Submit(int code, LPARAM param1 = 0, CCmdTarget* pSender = nullptr);
    void SetEngineRect(const CRect& rect);
    void SetTooltips();
    CMemCtrl* ControlOfLine(std::size_t i);
    bool CreateControl(std::size_t i, const int* pNumbers);
    CUIControl* Controller() const;

    std::array<std::unique_ptr<CSkinImage>, 4> m_pImages;
    builtin::FramePieces m_pieces{};
    std::unique_ptr<CSkinImage> m_pLogo;
    CMemButton m_btnResize;
    CMemButton m_btnShade;
    CMemButton m_btnExpand;
    CMemButton m_btnClose;
    CMemButton m_btnPrevious;
    CMemStateButton m_btnPlay;
    CMemButton m_btnStop;
    CMemButton m_btnNext;
    CMemButton m_btnOpen;
    CMemButton m_btnFullScreen;
    std::array<CMemRadioButton, 4> m_radio;
    CMemRadioGroup m_modeGroup;

    std::unique_ptr<CEngineManager> m_pEngineManager;
    CSize m_sizePicture;
    CSize m_sizeDisplay;
    int m_nDblClickPending = 0;
    int m_bOnTop = 1;
    int m_bFocusClick = 0;
    bool m_bCursorHidden = false;
    CWnd* m_pMainWnd = nullptr;
};
