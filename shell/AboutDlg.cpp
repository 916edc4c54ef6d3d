#include "shell/AboutDlg.h"

#include "res/StringTable.h"
#include "shell/Language.h"
#include "shell/LinkCtrl.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* pParent) : CISDialog(pParent) {
    m_pProduct = new QLabel(QString::fromStdString(res::LoadString(116)), this);
    QFont font = m_pProduct->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.5);
    m_pProduct->setFont(font);
    m_pVersion = new QLabel(QString::fromStdString(res::LoadString(114)), this);
    m_pHomePage = new CLinkCtrl(QString::fromStdString(res::LoadString(4508)), this);
    m_pHomePage->SetAddress(res::LoadString(shell::IDS_HOMEPAGE));
    m_pFeedback = new CLinkCtrl(QString::fromStdString(res::LoadString(4509)), this);
    m_pFeedback->SetAddress(res::LoadString(shell::IDS_FEEDBACK));
    // The forum button has no action.
    m_pForum = new QPushButton(QString::fromStdString(res::LoadString(4510)), this);
    auto* pOk = new QPushButton(QString::fromStdString(res::LoadString(4511)), this);
    pOk->setDefault(true);
    connect(pOk, &QPushButton::clicked, this, &QDialog::accept);

    auto* pLinks = new QHBoxLayout;
    pLinks->addWidget(m_pHomePage);
    pLinks->addSpacing(16);
    pLinks->addWidget(m_pFeedback);
    pLinks->addStretch();
    auto* pButtons = new QHBoxLayout;
    pButtons->addWidget(m_pForum);
    pButtons->addStretch();
    pButtons->addWidget(pOk);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pProduct);
    pLayout->addWidget(m_pVersion);
    pLayout->addSpacing(8);
    pLayout->addLayout(pLinks);
    pLayout->addSpacing(8);
    pLayout->addLayout(pButtons);
}

void CAboutDlg::SetOpener(const shell::UrlOpener& open) {
    m_pHomePage->SetOpener(open);
    m_pFeedback->SetOpener(open);
}

void CAboutDlg::OnInitDialog() {
    // "About Corvella": the word is translated, the product name is not.
    setWindowTitle(
        QString::fromStdString(shell::LoadTranslatedString(4507) + " " + res::LoadString(116)));
}
