#include "shell/PrefsDlg.h"

#include "core/CorePrefs.h"
#include "platform/RegisteredMessages.h"
#include "platform/Wnd.h"
#include "res/StringTable.h"
#include "shell/PrefsSubDlg.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QStackedLayout>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <map>

namespace {

enum : std::uint32_t {
    IDS_PREFERENCES = 4440,
    IDS_GENERAL = 4441,
    IDS_DISPLAY = 4442,
    IDS_CLOSE = 2706,
};

// The open dialog of each owner window (a null owner has one too).
std::map<CWnd*, QPointer<CPrefsDlg>>& OpenDialogs() {
    static std::map<CWnd*, QPointer<CPrefsDlg>> dialogs;
    return dialogs;
}

} // namespace

CPrefsDlg::CPrefsDlg(CWnd* pOwner, QWidget* pParent) : CISDialog(pParent), m_pOwner(pOwner) {
    setWindowTitle(shell::ResourceText(IDS_PREFERENCES));
    setModal(false);
    m_pTree = shell::WithId(new QTreeWidget(this), IDC_TREE);
    m_pTree->setHeaderHidden(true);
    m_pTree->setFixedWidth(140);
    m_pFrame = shell::WithId(new QFrame(this), IDC_FRAME);
    m_pFrame->setFrameShape(QFrame::StyledPanel);
    new QStackedLayout(m_pFrame);
    auto* pClose = shell::WithId(new QPushButton(shell::ResourceText(IDS_CLOSE), this), IDC_CLOSE);
    connect(pClose, &QPushButton::clicked, this, &CPrefsDlg::reject);
    connect(m_pTree, &QTreeWidget::currentItemChanged, this, [this] { OnTreeSelection(); });

    auto* pTop = new QHBoxLayout;
    pTop->addWidget(m_pTree);
    pTop->addWidget(m_pFrame, 1);
    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch();
    pButtons->addWidget(pClose);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pTop, 1);
    pLayout->addLayout(pButtons);
}

void CPrefsDlg::AddPage(CPrefsSubDlg* pPage, const std::string& caption, int parentPage) {
    pPage->setParent(m_pFrame, Qt::Widget);
    static_cast<QStackedLayout*>(m_pFrame->layout())->addWidget(pPage);
    m_pages.push_back({pPage->GetIDD(), pPage, parentPage, caption, nullptr});
}

CPrefsSubDlg* CPrefsDlg::GetPage(int index) const {
    return index >= 0 && index < GetPageCount() ? m_pages[std::size_t(index)].pDlg : nullptr;
}

void CPrefsDlg::OnInitDialog() {
    SetNoTranslateOnInit(true);
    for (Page& page : m_pages) {
        const QString caption = QString::fromStdString(page.strCaption);
        QTreeWidgetItem* pParent = page.nParent >= 0 && page.nParent < GetPageCount()
                                       ? m_pages[std::size_t(page.nParent)].pItem
                                       : nullptr;
        page.pItem = pParent ? new QTreeWidgetItem(pParent, {caption})
                             : new QTreeWidgetItem(m_pTree, {caption});
    }
    m_pTree->expandAll();
    TranslateDialog();
    const int last = CCorePrefs::Get(CCorePrefs::LastPrefsPage);
    SelectPage(last >= 0 && last < GetPageCount() ? last : 0);
}

bool CPrefsDlg::SelectPage(int index) {
    CPrefsSubDlg* pPage = GetPage(index);
    if (!pPage)
        return false;
    if (index == m_nCurrent)
        return true;
    if (CPrefsSubDlg* pShown = GetPage(m_nCurrent); pShown && !pShown->ReadBack()) {
        const QSignalBlocker block(m_pTree);
        m_pTree->setCurrentItem(m_pages[std::size_t(m_nCurrent)].pItem);
        return false;
    }
    m_nCurrent = index;
    static_cast<QStackedLayout*>(m_pFrame->layout())->setCurrentWidget(pPage);
    if (QTreeWidgetItem* pItem = m_pages[std::size_t(index)].pItem) {
        const QSignalBlocker block(m_pTree);
        m_pTree->setCurrentItem(pItem);
    }
    return true;
}

void CPrefsDlg::OnTreeSelection() {
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        if (m_pages[i].pItem == m_pTree->currentItem()) {
            SelectPage(int(i));
            return;
        }
    }
}

void CPrefsDlg::reject() {
    if (CPrefsSubDlg* pShown = GetPage(m_nCurrent))
        pShown->ReadBack();
    if (m_nCurrent >= 0)
        CCorePrefs::Set(CCorePrefs::LastPrefsPage, m_nCurrent);
    m_bClosed = true;
    hide();
    if (m_pOwner && m_pOwner->IsWindow())
        m_pOwner->PostMessage(WM_REG_PREFDLGCLOSED);
    else
        shell::DestroyPrefsDlg(m_pOwner);
}

namespace shell {

CPrefsDlg* FindPrefsDlg(CWnd* pOwner) {
    auto it = OpenDialogs().find(pOwner);
    return it == OpenDialogs().end() ? nullptr : it->second.data();
}

void DestroyPrefsDlg(CWnd* pOwner) {
    auto it = OpenDialogs().find(pOwner);
    if (it == OpenDialogs().end())
        return;
    if (CPrefsDlg* pDlg = it->second.data())
        pDlg->deleteLater();
    OpenDialogs().erase(it);
}

CPrefsDlg* OpenPreferences(CWnd* pOwner, const PrefChangeHandler& onChange) {
    if (CPrefsDlg* pOpen = FindPrefsDlg(pOwner)) {
        if (!pOpen->IsClosed()) {
            pOpen->raise();
            pOpen->activateWindow();
            return pOpen;
        }
        // Closed, but the owner has not destroyed it yet.
        DestroyPrefsDlg(pOwner);
    }
    auto* pDlg = new CPrefsDlg(pOwner, pOwner ? pOwner->GetWidget() : nullptr);
    auto* pGeneral = new CPrefsGeneralDlg;
    auto* pDisplay = new CPrefsDisplayDlg;
    pGeneral->SetChangeHandler(onChange);
    pDisplay->SetChangeHandler(onChange);
    pDlg->AddPage(pGeneral, res::LoadString(IDS_GENERAL));
    pDlg->AddPage(pDisplay, res::LoadString(IDS_DISPLAY));
    OpenDialogs()[pOwner] = pDlg;
    pDlg->show();
    return pDlg;
}

} // namespace shell
