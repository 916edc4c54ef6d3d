#include "shell/UpgradeInfoDlg.h"

#include "platform/Log.h"
#include "res/StringTable.h"
#include "shell/Language.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

constexpr int kClientWidth = 380;
constexpr int kClientHeight = 260;
constexpr int kShortHeight = 120;

QString Text(std::uint32_t id) {
    return QString::fromStdString(res::LoadString(id));
}

QString FromCrLf(const std::string& text) {
    return QString::fromStdString(text).replace("\r\n", "\n");
}

} // namespace

namespace shell {

std::string VersionLine(std::uint32_t labelId, const std::string& version) {
    return LoadTranslatedString(labelId) + ":\t" + version;
}

std::string UpgradeDetails(const CVersionInfo& info) {
    return LoadTranslatedString(4609) + ":\r\n" + info.m_strReleaseDate + "\r\n\r\n" +
           LoadTranslatedString(4610) + ":\r\n" + info.m_strSize + "\r\n\r\n" +
           LoadTranslatedString(4611) + ":\r\n" + info.m_strWhatsNew;
}

} // namespace shell

CUpgradeInfoDlg::CUpgradeInfoDlg(QWidget* pParent) : CISDialog(pParent) {
    setWindowTitle(Text(4604));
    m_pCurrent = new QLabel(this);
    m_pCurrent->setGeometry(11, 11, 270, 18);
    m_pLatest = new QLabel(this);
    m_pLatest->setGeometry(11, 33, 270, 18);
    m_pVerdict = new QLabel(this);
    m_pVerdict->setGeometry(11, 60, kClientWidth - 22, 36);
    m_pVerdict->setWordWrap(true);
    m_pDetails = new QPlainTextEdit(this);
    m_pDetails->setReadOnly(true);
    m_pDetails->setGeometry(11, kShortHeight, kClientWidth - 22, 98);
    m_pMoreInfo = new QPushButton(Text(4612), this);
    m_pMoreInfo->setGeometry(11, 226, 90, 25);
    m_pDownload = new QPushButton(Text(4613), this);
    m_pDownload->setGeometry(107, 226, 90, 25);
    m_pClose = new QPushButton(Text(4504), this);
    m_pClose->setGeometry(290, 226, 79, 25);
    m_pClose->setDefault(true);
    connect(m_pClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_pMoreInfo, &QPushButton::clicked, this, [this] { OnMoreInfo(); });
    connect(m_pDownload, &QPushButton::clicked, this, [this] { OnDownload(); });
    setFixedSize(kClientWidth, kClientHeight);
}

void CUpgradeInfoDlg::OnInitDialog() {
    const CVersionInfo info = m_info.value_or(CVersionInfo());
    const std::string current = shell::ProgramVersion();
    const bool newer = shell::IsNewerVersion(current, info.m_strLatestVersion);
    m_pCurrent->setText(QString::fromStdString(shell::VersionLine(4605, current)));
    m_pLatest->setText(QString::fromStdString(shell::VersionLine(4606, info.m_strLatestVersion)));
    if (!newer) {
        m_pVerdict->setText(QString::fromStdString(shell::LoadTranslatedString(4607)));
        // Only the top part stays visible: the details and their buttons fall outside.
        m_pClose->move(290, 11);
        setFixedSize(kClientWidth, kShortHeight);
    } else {
        m_pVerdict->setText(QString::fromStdString(shell::LoadTranslatedString(4608) + "..."));
        m_pDetails->setPlainText(FromCrLf(shell::UpgradeDetails(info)));
        // Where a button leads is shown before it is clicked.
        m_pMoreInfo->setToolTip(QString::fromStdString(info.m_strMoreInfoUrl));
        m_pDownload->setToolTip(QString::fromStdString(info.m_strDownloadUrl));
    }
    // The base translates the fixed texts next; the texts above are translated already.
}

void CUpgradeInfoDlg::Open(const std::string CVersionInfo::*address) {
    if (!m_info || ((*m_info).*address).empty())
        return;
    // The file comes from the network: only a web page is opened, never a program or a file.
    const std::string& text = (*m_info).*address;
    if (shell::IsWebAddress(text))
        shell::OpenAddress(text, m_open);
    else
        platform::LogVerbose("update check: not opening an address that is not a web page: " +
                             text);
}

void CUpgradeInfoDlg::OnMoreInfo() {
    Open(&CVersionInfo::m_strMoreInfoUrl);
}

void CUpgradeInfoDlg::OnDownload() {
    Open(&CVersionInfo::m_strDownloadUrl);
}
