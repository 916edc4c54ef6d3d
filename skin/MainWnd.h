// The main window: the transport buttons, the volume and position bars, the time display, the
// clip's name and type, and the play-state, mute and loop indicators, in an expanded layout
// and a shaded bar. It holds the window family (CPlayerWindows: the playlist window and the
// play window, their placement, skin, showing and the close), relays the command bus between
// the three, turns clicks into requests to the playback controller and shows the
// controller's state.
#pragma once

#include "playback/CommandRelay.h"
#include "skin/MemAnimation.h"
#include "skin/MemButton.h"
#include "skin/MemCheckButton.h"
#include "skin/MemGlyphText.h"
#include "skin/MemLabel.h"
#include "skin/MemSlider.h"
#include "skin/MemStateButton.h"
#include "skin/PlayerWindows.h"
#include "skin/PlayerWndBase.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class CEngineManager;
class CUIControl;

// Standard messages and values the main window handles beyond the platform's common set.
enum : UINT {
    WM_ACTIVATEAPP = 0x001C,
    WM_SYSCOMMAND = 0x0112,
};
enum : WPARAM {
    SC_MINIMIZE = 0xF020,
    SC_RESTORE = 0xF120,
};

class CMainWnd : public CPlayerWndBase {
public:
    static constexpr int kImageCount = 14;
    static constexpr int kControlLines = 30;
    static constexpr std::uintptr_t kAnimationTimer = 0;
    static constexpr int kVolumeStep = 4;

    CMainWnd();
    ~CMainWnd() override;

    // Loads the saved state, creates the window, the playlist window and the play window,
    // applies the skin and shows the windows; false when the window could not be created.
    bool Create();
    // The two halves of Create: the windows made, skinned and filled but not shown (the
    // player opens its first clip in between, so the clip loads while the windows map), then
    // shown.
    bool CreateWindows();
    void ShowWindows();
    CPlayerWindows& GetPlayerWindows() { return m_windows; }
    CPlaylistWnd* GetPlaylistWnd() const { return m_windows.GetPlaylistWnd(); }
    CPlayWnd* GetPlayWnd() const { return m_windows.GetPlayWnd(); }
    // The child windows as plain windows (null before they exist).
    CWnd* GetPlaylistWindow() const { return m_windows.GetPlaylistWindow(); }
    CWnd* GetPlayWindow() const { return m_windows.GetPlayWindow(); }

    std::string WindowName() const override { return "MainWnd"; }
    CRect DefaultRect() override { return {200, 200, 512, 200 + m_nExpandedHeight}; }
    // A playlist too large for the saved state is kept apart in the user's data folder: the
    // state then holds an empty list and, after the preferences, names the file.
    void SerializeState(CArchive& ar) override;
    bool SaveState() override;
    // Tooltips on with core preference 12 "main window only" or "all windows".
    bool TooltipsActive() override;

    // The label's text of the current clip; the playlist window supplies it once it exists.
    void SetClipInfoSource(std::function<std::string()> source) { m_clipInfo = std::move(source); }

    // Sees every command after the three windows handled it, until the window is destroyed.
    void SetCommandWatcher(CCommandRelay::Watcher watcher) {
        m_relay.SetWatcher(std::move(watcher));
    }

    // Runs when the window has been destroyed (the application ends its message loop).
    void SetDestroyedHook(std::function<void()> hook) { m_onDestroyed = std::move(hook); }

    // Operations of the window (menus, tray, keys and the desktop's media controls reach
    // them too).
    void PlayPause();
    void Previous();
    void Next();
    // What dragging the position bar to a whole second does.
    void SeekTo(int nSeconds);
    // What the volume keys and the wheel do: the controller's volume, moved by delta.
    void SetVolumeBy(int delta);
    void ShowChild(CWnd* pWnd, bool bShow);
    void RefreshTime();

    // State read by the menus and the tests.
    int GetDuration() const { return m_nDuration; }
    int GetPosition() const { return m_nPosition; }
    bool IsRemainingTime() const { return m_bRemainingTime; }
    bool IsPlayWndShown() const { return m_windows.IsPlayWndShown(); }
    bool IsPlaylistShown() const { return m_windows.IsPlaylistShown(); }
    bool IsClosingPending() const { return m_windows.IsClosingPending(); }
    bool IsMinimizedAll() const { return m_windows.IsMinimizedAll(); }
    std::string GetTimeText() const { return m_glyphTime.GetText(); }
    std::string GetPlayStateText() const { return m_glyphState.GetText(); }
    std::string GetMuteText() const { return m_glyphMute.GetText(); }
    std::string GetLoopText() const { return m_glyphLoop.GetText(); }
    std::string GetClipTypeText() const { return m_glyphType.GetText(); }
    std::string GetLabelText() const { return m_label.GetText(); }
    int GetVolume() const { return m_sldVolume.GetValue(); }
    int GetPlayButtonState() const { return m_btnPlay.GetState(); }
    const CMemStateButton& GetSmallPlayButton() const { return m_btnPlaySmall; }
    const CMemSlider& GetPositionBar() const { return m_sldPosition; }
    const CMemSlider& GetVolumeBar() const { return m_sldVolume; }
    const CMemAnimation& GetAnimation(bool bShaded) const { return bShaded ? m_animSmall : m_anim; }
    const CMemGlyphText& GetStateGlyph(bool bShaded) const {
        return bShaded ? m_glyphStateSmall : m_glyphState;
    }
    // The control of an id in the current layout (null when the layout has none).
    CMemCtrl* FindControl(UINT nID) const;

    // "%.1d:%.2d:%.2d" of whole seconds.
    static std::string FormatTime(int nSeconds);
    // The play-state glyph of an engine play state.
    static const char* PlayStateGlyph(int nState);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void ReleaseImages() override;
    void LoadBuiltInImages() override;
    void InitControls() override;
    void ApplyTooltips();
    bool LoadSkinFiles(const std::string& strFolder) override;
    void LayoutForShade() override;
    void LayoutForExpanded() override;
    void PaintBackground(CDC& dc) override;
    bool UsesBackgroundCache() override { return true; }
    void SkinApplied(int nKind) override;

    LRESULT OnCmdStop(ControlCommand& cmd) override;
    LRESULT OnCmdPosition(ControlCommand& cmd) override;
    LRESULT OnCmdPlayState(ControlCommand& cmd) override;
    LRESULT OnCmdVolume(ControlCommand& cmd) override;
    LRESULT OnCmdRepeatChanged(ControlCommand& cmd) override;
    LRESULT OnCmdUpdateControls(ControlCommand& cmd) override;
    LRESULT OnCmdClipLoading(ControlCommand& cmd) override;
    LRESULT OnCmdStopped(ControlCommand& cmd) override;
    LRESULT OnCmdClipOpened(ControlCommand& cmd) override;
    LRESULT OnCmdPlaybackCompleted(ControlCommand& cmd) override;
    LRESULT OnCmdTranslate(ControlCommand& cmd) override;

    // The position the system menu opens at (the cursor).
    virtual CPoint MenuPoint() const;
    // The open clip's length in seconds and its path, from the engine manager.
    virtual double ClipDuration() const;
    virtual std::string ClipPath() const;

private:
    void LoadPlaylistKeptApart(CArchive& ar);
    // A control line: how to create the control from its numbers, and how many there are.
    struct ControlSlot {
        CMemCtrl* pCtrl;
        int nCount;
        std::function<bool(CSkinImage*, const int*)> create;
    };
    template <class T> ControlSlot Slot(T& ctrl, UINT nID);
    void BuildSlots();
    static int ImageSlotOfLine(int nLine);

    CUIControl& Controller() const;
    CEngineManager* EngineManager() const;
    int EnginePlayState() const;
    bool PlaylistEmpty() const;

    void OnMemCtrl(WPARAM code, CMemCtrl* pCtrl);
    void OnClick(UINT nID);
    void OnUpdate(CMemCtrl* pCtrl, UINT nID);
    void OnSliderPos(CMemCtrl* pCtrl, int nValue);
    void OnSliderHold(CMemCtrl* pCtrl, bool bTaken);
    void OnKeyDown(WPARAM vk);
    void OnDestroy();
    LRESULT OnDestroyed(UINT message, WPARAM wParam, LPARAM lParam);
    void OnSysCommand(WPARAM nCmd);
    void OnTimer(std::uintptr_t id);
    void OpenMediaFile();
    void UpdatePlayButtons();
    void SetPlayState(int nState);
    void ResetDisplays();
    void ClipOpened();
    void ShowLoading(bool bLoading);
    void ShowToggle(CPlayerWindows::Child child, bool bShow);
    void RedrawUnlessShaded(CMemCtrl* pCtrl);
    void SubmitCommand(int code, LPARAM param1 = 0);
    void PostCommand(int code, LPARAM param1);
    std::string Translate(const std::string& text) const;

    // Controls of both layouts (the ids of the element table).
    CMemButton m_btnMenu, m_btnMinimize, m_btnShade, m_btnExpand, m_btnExit;
    CMemButton m_btnPrevSmall, m_btnStopSmall, m_btnNextSmall, m_btnOpenSmall;
    CMemStateButton m_btnPlaySmall;
    CMemGlyphText m_glyphStateSmall, m_glyphTimeSmall;
    CMemAnimation m_animSmall;
    CMemButton m_btnPrev, m_btnStop, m_btnNext, m_btnOpen;
    CMemStateButton m_btnPlay;
    CMemCheckButton m_chkPlaylist, m_chkPlayWnd, m_chkMute;
    CMemSlider m_sldVolume, m_sldPosition;
    CMemLabel m_label;
    CMemGlyphText m_glyphState, m_glyphType, m_glyphTime, m_glyphMute, m_glyphLoop;
    CMemAnimation m_anim;
    std::array<ControlSlot, kControlLines> m_slots;

    std::array<std::unique_ptr<CSkinImage>, kImageCount> m_images;
    CPlayerWindows m_windows;
    std::function<void()> m_onDestroyed;
    CCommandRelay m_relay;
    std::function<std::string()> m_clipInfo;

    int m_nDuration = 0;
    int m_nPosition = 0;
    bool m_bRemainingTime = true;
    COLORREF m_labelText = RGB(141, 129, 80);
    COLORREF m_labelBack = RGB(241, 237, 201);
    bool m_bCreated = false;
    bool m_bPlaylistApart = false; // while saving: the clips go to m_strPlaylistFile
    std::string m_strPlaylistFile; // the kept file the stored state names
};
