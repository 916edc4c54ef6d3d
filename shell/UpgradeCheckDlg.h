// The update check: a small dialog with an animation while a worker thread fetches the maker's
// version file; the result comes back to the user-interface thread as a queued call, the
// dialog closes, and either the error box or the result dialog follows.
#pragma once

#include "shell/ISDialog.h"
#include "shell/VersionFetch.h"
#include "shell/VersionInfo.h"

#include <atomic>
#include <functional>
#include <mutex>

class CPictureEx;
class QLabel;
class QPushButton;
class QThread;

class CUpgradeCheckDlg : public CISDialog {
public:
    enum { IDD = 158, IDC_PICTURE = 1047, IDC_WAIT = 1056 };

    explicit CUpgradeCheckDlg(QWidget* pParent = nullptr, const shell::FetchOptions& options = {});
    // Waits for the worker, which ends within its time limit.
    ~CUpgradeCheckDlg() override;

    // Shows the result instead of the result dialog (tests).
    void SetResultHandler(std::function<void(const CVersionInfo&)> handler) {
        m_onResult = std::move(handler);
    }

    // The check cannot be cancelled: closing is refused until the fetch has ended.
    void reject() override;

    // 0: failed, 1: the file was read.
    int GetResult() const { return m_nResult; }
    const CVersionInfo& GetInfo() const { return m_info; }
    CPictureEx* Picture() const { return m_pPicture; }
    QLabel* WaitText() const { return m_pWait; }
    QPushButton* CancelButton() const { return m_pCancel; }

protected:
    void OnInitDialog() override;

private:
    void Work();
    // Runs on the user-interface thread once the worker is done.
    void OnTimer(unsigned id);
    void ShowFailure();

    shell::FetchOptions m_options;
    CVersionInfo m_info;
    std::atomic<int> m_nResult{0};
    std::atomic<bool> m_bFetching{false};
    QThread* m_pThread = nullptr;
    std::function<void(const CVersionInfo&)> m_onResult;
    CPictureEx* m_pPicture = nullptr;
    QLabel* m_pWait = nullptr;
    QPushButton* m_pCancel = nullptr;
};

namespace shell {

// The error box of a failed check, owned by the main window.
void ShowUpdateCheckFailure();
// "Check for Upgrade...": runs the check modally.
void CheckForUpgrade(QWidget* pParent = nullptr);

} // namespace shell
