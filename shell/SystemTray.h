// The tray icon over QSystemTrayIcon. Its menu is the system menu prepared "from the tray"
// (with "Restore" first and default); a left click brings the target window forward, a double
// click runs the default item. Where the desktop has no tray the icon is never created, and
// the icon-placement preference counts as "taskbar only", so the windows stay reachable.
#pragma once

#include "res/MenuTables.h"
#include "shell/SystemMenu.h"

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

class CWnd;
class QTimer;

namespace shell {

// Whether the desktop shows tray icons. Tests may decide it (nullopt: ask the desktop).
bool IsSystemTrayAvailable();
void SetSystemTrayAvailableOverride(std::optional<bool> available);
// Core preference 13 as it can be honoured: 0 "taskbar only" when there is no tray.
std::int32_t EffectiveIconPlacement();

} // namespace shell

class CSystemTray : public QObject {
public:
    static constexpr int kMaxTipLength = 63;

    CSystemTray();
    ~CSystemTray() override;

    // Fails without a tray. menuId names the menu whose first popup the icon shows (the
    // system menu, 171); the icon is added unless hidden.
    bool Create(CWnd* pOwner, const std::string& tooltip, const QIcon& icon,
                std::uint32_t menuId = res::IDR_SYSTEMMENU, bool bHidden = false);
    bool IsCreated() const { return m_pIcon != nullptr; }

    // Shown, hidden or removed; a hidden or removed icon is shown again by ShowIcon.
    bool AddIcon();
    void RemoveIcon();
    void HideIcon();
    void ShowIcon();
    bool IsIconVisible() const { return m_bVisible; }
    bool IsIconRemoved() const { return m_bRemoved; }

    void SetIcon(const QIcon& icon);
    QIcon GetIcon() const { return m_icon; }
    // Cut to 63 characters.
    void SetTooltip(const std::string& text);
    std::string GetTooltip() const { return m_strTip; }

    // Animation: the icons in a ring every delay until duration has passed, then the icon
    // that was shown before.
    void SetIconList(std::vector<QIcon> icons) { m_icons = std::move(icons); }
    bool Animate(std::chrono::milliseconds delay, std::chrono::milliseconds duration);
    void StepAnimation();
    void StopAnimation();
    bool IsAnimating() const { return m_bAnimating; }
    int GetAnimationIndex() const { return m_nAnimIndex; }

    // The default item of the menu, by command id or by position in the popup.
    void SetMenuDefaultItem(int item, bool byPosition);
    // The default item's command id (0 when it names nothing).
    int GetMenuDefaultCommand() const;

    // The window that receives commands; the owner while none is set.
    void SetTargetWnd(CWnd* pTarget) { m_pTarget = pTarget; }
    CWnd* GetTargetWnd() const { return m_pTarget ? m_pTarget : m_pOwner; }
    // What the system menu needs, asked for each time the menu opens.
    void SetMenuContext(std::function<shell::SystemMenuContext()> context) {
        m_context = std::move(context);
    }

    // The icon's notifications.
    void OnLeftButtonUp();
    // Shows the menu at the point; the chosen id (0 when none, or when the menu is missing).
    int OnRightButtonUp(const QPoint& ptScreen);
    void OnDoubleClick();

    // Takes the window off the screen and the taskbar; the tray icon brings it back.
    static void MinimiseToTray(CWnd* pWnd);
    // Shows, redraws, activates the window and brings it to the foreground.
    static void RestoreFromTray(CWnd* pWnd);

    QSystemTrayIcon* GetTrayIcon() const { return m_pIcon; }

private:
    void OnActivated(QSystemTrayIcon::ActivationReason reason);
    shell::SystemMenuContext Context() const;
    void BringTargetForward() const;

    QSystemTrayIcon* m_pIcon = nullptr;
    CWnd* m_pOwner = nullptr;
    CWnd* m_pTarget = nullptr;
    std::uint32_t m_nMenuId = res::IDR_SYSTEMMENU;
    QIcon m_icon;
    std::string m_strTip;
    bool m_bVisible = false;
    bool m_bRemoved = true;
    bool m_bShowPending = false;
    int m_nDefaultItem = 0;
    bool m_bDefaultByPos = true;
    std::function<shell::SystemMenuContext()> m_context;
    std::vector<QIcon> m_icons;
    int m_nAnimIndex = 0;
    bool m_bAnimating = false;
    QIcon m_savedIcon;
    QTimer* m_pTimer = nullptr;
    std::chrono::steady_clock::time_point m_animStart;
    std::chrono::milliseconds m_animDuration{0};
};
