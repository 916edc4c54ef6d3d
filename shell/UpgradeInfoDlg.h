// The result of the update check: the current and the latest version, and either "you have
// the latest version" (a short dialog with only its Close button) or the new version's
// release date, size and changes with buttons to read more or to download.
#pragma once

#include "shell/ISDialog.h"
#include "shell/VersionInfo.h"
#include "shell/WebLinks.h"

#include <optional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class CUpgradeInfoDlg : public CISDialog {
public:
    enum {
        IDD = 157,
        IDC_CURRENT = 1041,
        IDC_LATEST = 1042,
        IDC_VERDICT = 1043,
        IDC_DETAILS = 1048,
        IDC_MOREINFO = 1006,
        IDC_DOWNLOAD = 1007,
    };

    explicit CUpgradeInfoDlg(QWidget* pParent = nullptr);

    void SetInfo(const CVersionInfo& info) { m_info = info; }
    void SetOpener(shell::UrlOpener open) { m_open = std::move(open); }

    void OnMoreInfo();
    void OnDownload();

    QLabel* CurrentText() const { return m_pCurrent; }
    QLabel* LatestText() const { return m_pLatest; }
    QLabel* VerdictText() const { return m_pVerdict; }
    QPlainTextEdit* Details() const { return m_pDetails; }
    QPushButton* CloseButton() const { return m_pClose; }
    QPushButton* MoreInfoButton() const { return m_pMoreInfo; }
    QPushButton* DownloadButton() const { return m_pDownload; }

protected:
    void OnInitDialog() override;

private:
    void Open(const std::string CVersionInfo::*address);

    std::optional<CVersionInfo> m_info;
    shell::UrlOpener m_open;
    QLabel* m_pCurrent = nullptr;
    QLabel* m_pLatest = nullptr;
    QLabel* m_pVerdict = nullptr;
    QPlainTextEdit* m_pDetails = nullptr;
    QPushButton* m_pClose = nullptr;
    QPushButton* m_pMoreInfo = nullptr;
    QPushButton* m_pDownload = nullptr;
};

namespace shell {

// "Current Version:\t..." and the like (translated labels).
std::string VersionLine(std::uint32_t labelId, const std::string& version);
// The edit box's text: release date, size and what is new under their translated headings.
std::string UpgradeDetails(const CVersionInfo& info);

} // namespace shell
