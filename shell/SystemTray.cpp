#include "shell/SystemTray.h"

#include "core/CorePrefs.h"
#include "platform/Wnd.h"
#include "shell/MenuBuilder.h"

#include <QCursor>
#include <QMenu>
#include <QTimer>

namespace shell {

namespace {

std::optional<bool>& AvailableOverride() {
    static std::optional<bool> available;
    return available;
}

} // namespace

bool IsSystemTrayAvailable() {
    return AvailableOverride() ? *AvailableOverride() : QSystemTrayIcon::isSystemTrayAvailable();
}

void SetSystemTrayAvailableOverride(std::optional<bool> available) {
    AvailableOverride() = available;
}

std::int32_t EffectiveIconPlacement() {
    return IsSystemTrayAvailable() ? CCorePrefs::Get(CCorePrefs::IconPlacement) : 0;
}

} // namespace shell

CSystemTray::CSystemTray() = default;

CSystemTray::~CSystemTray() {
    RemoveIcon();
}

bool CSystemTray::Create(CWnd* pOwner, const std::string& tooltip, const QIcon& icon,
                         std::uint32_t menuId, bool bHidden) {
    if (!shell::IsSystemTrayAvailable() || m_pIcon)
        return false;
    m_pOwner = pOwner;
    m_nMenuId = menuId;
    m_pIcon = new QSystemTrayIcon(this);
    connect(m_pIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { OnActivated(reason); });
    SetIcon(icon);
    SetTooltip(tooltip);
    if (!bHidden)
        AddIcon();
    return true;
}

bool CSystemTray::AddIcon() {
    if (!m_pIcon)
        return false;
    m_pIcon->show();
    // An icon the desktop did not take is remembered as hidden and added again when shown.
    m_bVisible = m_pIcon->isVisible();
    m_bRemoved = !m_bVisible;
    m_bShowPending = !m_bVisible;
    return m_bVisible;
}

void CSystemTray::RemoveIcon() {
    if (m_pIcon)
        m_pIcon->hide();
    m_bVisible = false;
    m_bRemoved = true;
}

void CSystemTray::HideIcon() {
    if (m_pIcon)
        m_pIcon->hide();
    m_bVisible = false;
}

void CSystemTray::ShowIcon() {
    if (m_bRemoved || m_bShowPending || !m_bVisible)
        AddIcon();
}

void CSystemTray::SetIcon(const QIcon& icon) {
    m_icon = icon;
    if (m_pIcon)
        m_pIcon->setIcon(icon);
}

void CSystemTray::SetTooltip(const std::string& text) {
    const QString tip = QString::fromStdString(text).left(kMaxTipLength);
    m_strTip = tip.toStdString();
    if (m_pIcon)
        m_pIcon->setToolTip(tip);
}

bool CSystemTray::Animate(std::chrono::milliseconds delay, std::chrono::milliseconds duration) {
    if (m_icons.empty())
        return false;
    StopAnimation();
    m_savedIcon = m_icon;
    m_nAnimIndex = 0;
    m_animStart = std::chrono::steady_clock::now();
    m_animDuration = duration;
    m_bAnimating = true;
    if (!m_pTimer) {
        m_pTimer = new QTimer(this);
        connect(m_pTimer, &QTimer::timeout, this, [this] { StepAnimation(); });
    }
    m_pTimer->start(int(delay.count()));
    return true;
}

void CSystemTray::StepAnimation() {
    if (!m_bAnimating)
        return;
    if (std::chrono::steady_clock::now() - m_animStart >= m_animDuration) {
        StopAnimation();
        return;
    }
    SetIcon(m_icons[std::size_t(m_nAnimIndex)]);
    m_nAnimIndex = (m_nAnimIndex + 1) % int(m_icons.size());
}

void CSystemTray::StopAnimation() {
    if (m_pTimer)
        m_pTimer->stop();
    if (!m_bAnimating)
        return;
    m_bAnimating = false;
    SetIcon(m_savedIcon);
}

void CSystemTray::SetMenuDefaultItem(int item, bool byPosition) {
    m_nDefaultItem = item;
    m_bDefaultByPos = byPosition;
}

int CSystemTray::GetMenuDefaultCommand() const {
    if (!m_bDefaultByPos)
        return m_nDefaultItem;
    const std::vector<res::MenuItem>* pMenu = res::LoadMenuTable(m_nMenuId);
    if (!pMenu || pMenu->empty())
        return 0;
    const std::vector<res::MenuItem>& items = pMenu->front().items;
    return m_nDefaultItem >= 0 && std::size_t(m_nDefaultItem) < items.size()
               ? items[std::size_t(m_nDefaultItem)].nId
               : 0;
}

shell::SystemMenuContext CSystemTray::Context() const {
    return m_context ? m_context() : shell::SystemMenuContext{};
}

void CSystemTray::BringTargetForward() const {
    if (CWnd* pTarget = GetTargetWnd())
        pTarget->SetForegroundWindow();
}

void CSystemTray::OnLeftButtonUp() {
    BringTargetForward();
}

int CSystemTray::OnRightButtonUp(const QPoint& ptScreen) {
    const std::vector<res::MenuItem>* pTable = res::LoadMenuTable(m_nMenuId);
    if (!m_pIcon || !pTable || pTable->empty() ||
        pTable->front().kind != res::MenuItem::Kind::Popup)
        return 0;
    CWnd* pTarget = GetTargetWnd();
    const shell::SystemMenuContext ctx = Context();
    std::unique_ptr<QMenu> pMenu = shell::BuildMenu(pTable->front());
    shell::PrepareSystemMenu(*pMenu, true, ctx);
    if (const int id = GetMenuDefaultCommand())
        pMenu->setDefaultAction(shell::FindMenuItem(*pMenu, id));
    BringTargetForward();
    const int id = shell::TrackPopupMenu(*pMenu, ptScreen);
    pMenu.reset();
    if (id != 0)
        shell::ExecuteSystemCommand(id, pTarget, ctx);
    return id;
}

void CSystemTray::OnDoubleClick() {
    BringTargetForward();
    if (const int id = GetMenuDefaultCommand())
        shell::ExecuteSystemCommand(id, GetTargetWnd(), Context());
}

void CSystemTray::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        OnLeftButtonUp();
        break;
    case QSystemTrayIcon::Context:
        OnRightButtonUp(QCursor::pos());
        break;
    case QSystemTrayIcon::DoubleClick:
        OnDoubleClick();
        break;
    default:
        break;
    }
}

void CSystemTray::MinimiseToTray(CWnd* pWnd) {
    // A hidden window has no taskbar entry either.
    if (pWnd)
        pWnd->ShowWindow(SW_HIDE);
}

void CSystemTray::RestoreFromTray(CWnd* pWnd) {
    if (!pWnd)
        return;
    pWnd->ShowWindow(SW_SHOW);
    pWnd->Invalidate();
    pWnd->UpdateWindow();
    pWnd->SetForegroundWindow();
}
