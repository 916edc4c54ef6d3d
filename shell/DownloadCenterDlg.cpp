#include "shell/DownloadCenterDlg.h"

#include "platform/Profile.h"
#include "playback/EngineManager.h"
#include "res/StringTable.h"
#include "shell/Language.h"
#include "shell/ProfileSettings.h"
#include "shell/WebLinks.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// Texts of the dialog's controls in the string table.
enum : std::uint32_t {
    IDS_TITLE = 2701,
    IDS_DOWNLOAD_QUICKTIME = 2702,
    IDS_DOWNLOAD_REALPLAYER = 2703,
    IDS_DOWNLOAD_WMP = 2704,
    IDS_DO_NOT_SHOW = 2705,
    IDS_CLOSE = 2706,
    IDS_FORMATS_PLAYABLE = 5302,
    IDS_FORMATS_MISSING = 5303,
    IDS_SIBLING_PRODUCT = 5304,
};

// The formats as one line: "WAV, AU, AVI".
std::string Joined(const std::vector<std::string>& items, const char* separator) {
    std::string out;
    for (const std::string& item : items)
        out += (out.empty() ? "" : separator) + item;
    return out;
}

std::string Filled(std::uint32_t id, const std::string& first, const std::string& second = {}) {
    return shell::FormatTwo(shell::LoadTranslatedString(id), first, second);
}

const char kLumivox[] = "Lumivox";

} // namespace

CDownloadCenterDlg::CDownloadCenterDlg(QWidget* pParent, UrlOpener open)
    : CISDialog(pParent), m_open(std::move(open)) {
    m_bDoNotShow =
        platform::GetProfileInt(shell::kSectionDownloadCenter, shell::kEntryCheckEngines, 0);
    BuildControls();
}

void CDownloadCenterDlg::BuildControls() {
    setWindowTitle(shell::ResourceText(IDS_TITLE));
    m_pExplanation = shell::WithId(new QPlainTextEdit(this), IDC_EXPLANATION);
    m_pExplanation->setReadOnly(true);
    m_pExplanation->setMinimumSize(360, 200);
    auto* pQuickTime = shell::WithId(
        new QPushButton(shell::ResourceText(IDS_DOWNLOAD_QUICKTIME), this), IDC_DOWNLOAD_QUICKTIME);
    auto* pReal = shell::WithId(new QPushButton(shell::ResourceText(IDS_DOWNLOAD_REALPLAYER), this),
                                IDC_DOWNLOAD_REALPLAYER);
    auto* pWmp = shell::WithId(new QPushButton(shell::ResourceText(IDS_DOWNLOAD_WMP), this),
                               IDC_DOWNLOAD_WMP);
    connect(pQuickTime, &QPushButton::clicked, this, [this] { OpenPage(kDownloadCenterPage); });
    connect(pWmp, &QPushButton::clicked, this, [this] { OpenPage(kDownloadCenterPage); });
    connect(pReal, &QPushButton::clicked, this, [this] { OpenPage(kLumivoxPage); });
    m_pDoNotShow =
        shell::WithId(new QCheckBox(shell::ResourceText(IDS_DO_NOT_SHOW), this), IDC_DO_NOT_SHOW);
    m_pDoNotShow->setChecked(m_bDoNotShow != 0);
    connect(m_pDoNotShow, &QCheckBox::toggled, this, [this](bool on) { m_bDoNotShow = on; });
    auto* pClose = shell::WithId(new QPushButton(shell::ResourceText(IDS_CLOSE), this), IDC_CLOSE);
    pClose->setDefault(true);
    connect(pClose, &QPushButton::clicked, this, &QDialog::accept);

    auto* pButtons = new QVBoxLayout;
    for (QPushButton* p : {pQuickTime, pReal, pWmp})
        pButtons->addWidget(p);
    pButtons->addStretch();
    auto* pTop = new QHBoxLayout;
    pTop->addWidget(m_pExplanation, 1);
    pTop->addLayout(pButtons);
    auto* pBottom = new QHBoxLayout;
    pBottom->addWidget(m_pDoNotShow);
    pBottom->addStretch();
    pBottom->addWidget(pClose);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pTop, 1);
    pLayout->addLayout(pBottom);
}

void CDownloadCenterDlg::SetFormats(std::vector<std::string> playable,
                                    std::vector<std::string> missing,
                                    std::vector<std::string> packages) {
    m_playable = std::move(playable);
    m_missing = std::move(missing);
    m_packages = std::move(packages);
}

// What this machine's GStreamer decodes, and the packages that add the rest.
std::string CDownloadCenterDlg::FormatsExplanation() const {
    std::string text;
    if (!m_playable.empty())
        text = Filled(IDS_FORMATS_PLAYABLE, Joined(m_playable, ", "));
    if (!m_missing.empty())
        text += (text.empty() ? "" : "\n\n") +
                Filled(IDS_FORMATS_MISSING, Joined(m_missing, ", "), Joined(m_packages, " "));
    return text + "\n\n" + shell::LoadTranslatedString(IDS_SIBLING_PRODUCT);
}

void CDownloadCenterDlg::SetEngines(bool windowsMedia, bool quickTime, bool realMedia) {
    m_bWindowsMedia = windowsMedia;
    m_bQuickTime = quickTime;
    m_bRealMedia = realMedia;
}

QWidget* CDownloadCenterDlg::GetDlgItem(int id) const {
    return shell::FindDlgItem(this, id);
}

void CDownloadCenterDlg::OnInitDialog() {
    // With a decoder check the text names this machine's formats and packages; without one
    // it gives the general advice.
    m_strExplanation = !m_playable.empty() || !m_missing.empty()
                           ? FormatsExplanation()
                           : shell::LoadTranslatedString(m_bWindowsMedia ? IDS_ENGINE_PRESENT
                                                                         : IDS_ENGINE_MISSING);
    // This edition has no QuickTime or RealMedia engine of its own to offer.
    if (CEngineManager::kWindowsMediaOnly)
        m_bQuickTime = m_bRealMedia = 1;
    m_pExplanation->setPlainText(QString::fromStdString(m_strExplanation));
    GetDlgItem(IDC_DOWNLOAD_WMP)->setEnabled(!m_bWindowsMedia);
    // There is nothing to download for a media engine that works: no greyed button for it.
    GetDlgItem(IDC_DOWNLOAD_WMP)->setVisible(!m_bWindowsMedia);
    GetDlgItem(IDC_DOWNLOAD_QUICKTIME)->setEnabled(!m_bQuickTime);
    GetDlgItem(IDC_DOWNLOAD_REALPLAYER)->setEnabled(!m_bRealMedia);
    // The first two buttons lead to the download centre and to the sibling product instead.
    auto* pCenter = static_cast<QPushButton*>(GetDlgItem(IDC_DOWNLOAD_QUICKTIME));
    auto* pSibling = static_cast<QPushButton*>(GetDlgItem(IDC_DOWNLOAD_REALPLAYER));
    pCenter->setText(QString::fromStdString(shell::TranslateText(res::LoadString(IDS_TITLE))));
    pSibling->setText(kLumivox);
    pCenter->setEnabled(true);
    pSibling->setEnabled(true);
}

void CDownloadCenterDlg::OpenPage(const char* address) const {
    if (m_open)
        m_open(address);
    else
        QDesktopServices::openUrl(QUrl(QString::fromUtf8(address)));
}

void CDownloadCenterDlg::done(int result) {
    platform::WriteProfileInt(shell::kSectionDownloadCenter, shell::kEntryCheckEngines,
                              m_bDoNotShow);
    CISDialog::done(result);
}

namespace shell {

bool CheckEngines(const EngineAvailability& engines, QWidget* pParent,
                  const DownloadCenterRunner& run) {
    if (engines.allInstalled)
        return false;
    CDownloadCenterDlg dlg(pParent);
    dlg.SetEngines(engines.windowsMedia, engines.quickTime, engines.realMedia);
    dlg.SetFormats(engines.playableFormats, engines.missingFormats, engines.packages);
    if (run)
        run(dlg);
    else
        dlg.exec();
    return true;
}

bool CheckEnginesAtStartUp(const CEngineManager& manager, QWidget* pParent,
                           const DownloadCenterRunner& run) {
    if (platform::GetProfileInt(kSectionDownloadCenter, kEntryCheckEngines, 0) != 0)
        return false;
    return CheckEngines(GetEngineAvailability(manager, CheckMediaDecoders()), pParent, run);
}

} // namespace shell
