#include "shell/UpgradeCheckDlg.h"

#include "platform/MessageBox.h"
#include "platform/WinApp.h"
#include "res/StringTable.h"
#include "shell/Language.h"
#include "shell/PictureEx.h"
#include "shell/UpdateAnimation.h"
#include "shell/UpgradeInfoDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

CUpgradeCheckDlg::CUpgradeCheckDlg(QWidget* pParent, const shell::FetchOptions& options)
    : CISDialog(pParent), m_options(options) {
    setWindowTitle(QString::fromStdString(res::LoadString(4601)));
    m_pPicture = new CPictureEx(this);
    m_pPicture->setFixedSize(40, 40);
    m_pWait = new QLabel(this);
    m_pWait->setWordWrap(true);
    auto* pContacting = new QLabel(QString::fromStdString(res::LoadString(4602) + "..."), this);
    m_pCancel = new QPushButton(QString::fromStdString(res::LoadString(4603)), this);

    auto* pTexts = new QVBoxLayout;
    pTexts->addWidget(m_pWait);
    pTexts->addWidget(pContacting);
    auto* pTop = new QHBoxLayout;
    pTop->addWidget(m_pPicture);
    pTop->addLayout(pTexts, 1);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pTop);
    pLayout->addWidget(m_pCancel, 0, Qt::AlignRight);
    setMinimumWidth(360);
    // The texts are filled during initialisation; the translation comes after that.
    SetNoTranslateOnInit(true);
}

CUpgradeCheckDlg::~CUpgradeCheckDlg() {
    if (m_pThread) {
        m_pThread->wait();
        delete m_pThread;
    }
}

void CUpgradeCheckDlg::OnInitDialog() {
    m_pCancel->hide();
    m_pPicture->Load(shell::kUpdateAnimationGif, shell::kUpdateAnimationGifSize);
    m_pPicture->Draw();
    m_pWait->setText(QString::fromStdString(shell::LoadTranslatedString(145)));
    m_bFetching = true;
    m_pThread = QThread::create([this] { Work(); });
    m_pThread->start(QThread::IdlePriority);
    TranslateDialog();
}

void CUpgradeCheckDlg::Work() {
    // Only this thread touches m_info until the result is handed over.
    const auto text = shell::FetchVersionFile(m_options);
    m_nResult = text ? m_info.Parse(*text) : 0;
    QMetaObject::invokeMethod(
        this, [this] { OnTimer(0); }, Qt::QueuedConnection);
}

void CUpgradeCheckDlg::OnTimer(unsigned) {
    m_bFetching = false;
    m_pPicture->Stop();
    done(QDialog::Accepted);
    if (m_nResult == 0) {
        shell::ShowUpdateCheckFailure();
        return;
    }
    if (m_onResult) {
        m_onResult(m_info);
        return;
    }
    CUpgradeInfoDlg dlg(parentWidget());
    dlg.SetInfo(m_info);
    dlg.exec();
}

void CUpgradeCheckDlg::reject() {
    if (!m_bFetching)
        CISDialog::reject();
}

namespace shell {

void ShowUpdateCheckFailure() {
    CWinApp* pApp = AfxGetApp();
    // The message, then an empty second part, as file errors are shown.
    const std::string text = LoadTranslatedString(122) + "\n\n ";
    MessageBox(pApp ? pApp->m_pMainWnd : nullptr, text, LoadTranslatedString(123),
               MB_OK | MB_ICONERROR);
}

void CheckForUpgrade(QWidget* pParent) {
    CUpgradeCheckDlg dlg(pParent);
    dlg.exec();
}

} // namespace shell
