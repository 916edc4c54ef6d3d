// The "Download Center" dialog of the start-up engine check: it says which media engine works
// and what to install for the rest, offers the download pages, and remembers "Do not show this
// message." in the profile ("Download Center", "Check Engines").
#pragma once

#include "playback/EngineCheck.h"
#include "shell/ISDialog.h"

#include <functional>
#include <string>
#include <vector>

class CEngineManager;
class QCheckBox;
class QPlainTextEdit;
class QPushButton;

class CDownloadCenterDlg : public CISDialog {
public:
    enum {
        IDD = 159,
        IDC_CLOSE = 1,
        IDC_DOWNLOAD_QUICKTIME = 1049,
        IDC_DOWNLOAD_REALPLAYER = 1050,
        IDC_DOWNLOAD_WMP = 1051,
        IDC_EXPLANATION = 1052,
        IDC_DO_NOT_SHOW = 1053,
    };
    // String resources of the explanation: the media engine works / is missing.
    enum : unsigned { IDS_ENGINE_PRESENT = 127, IDS_ENGINE_MISSING = 128 };
    static constexpr const char* kDownloadCenterPage = "https://www.corvella-player.org/download/";
    static constexpr const char* kLumivoxPage = "https://www.corvella-player.org/lumivox/";

    // Opens an address; true when something handled it. Tests pass their own.
    using UrlOpener = std::function<bool(const std::string&)>;

    // Reads the do-not-show flag from the profile.
    explicit CDownloadCenterDlg(QWidget* pParent = nullptr, UrlOpener open = {});

    void SetEngines(bool windowsMedia, bool quickTime, bool realMedia);
    // The decoder check's lists (EngineAvailability); with them the text names them.
    void SetFormats(std::vector<std::string> playable, std::vector<std::string> missing,
                    std::vector<std::string> packages);
    QWidget* GetDlgItem(int id) const;
    const std::string& GetExplanation() const { return m_strExplanation; }
    bool GetDoNotShow() const { return m_bDoNotShow != 0; }
    // Closing stores the box.
    void done(int result) override;

protected:
    void OnInitDialog() override;

private:
    void BuildControls();
    void OpenPage(const char* address) const;
    std::string FormatsExplanation() const;

    std::string m_strExplanation;
    int m_bDoNotShow = 0;
    int m_bWindowsMedia = 0;
    int m_bQuickTime = 0;
    int m_bRealMedia = 0;
    UrlOpener m_open;
    std::vector<std::string> m_playable;
    std::vector<std::string> m_missing;
    std::vector<std::string> m_packages;
    QPlainTextEdit* m_pExplanation = nullptr;
    QCheckBox* m_pDoNotShow = nullptr;
};

namespace shell {

// Shows the dialog modally; tests pass their own way of running it.
using DownloadCenterRunner = std::function<void(CDownloadCenterDlg&)>;

// The engine check: nothing when every engine is installed, otherwise the dialog with the
// engines' flags. True when the dialog was shown.
bool CheckEngines(const EngineAvailability& engines, QWidget* pParent = nullptr,
                  const DownloadCenterRunner& run = {});
// The start-up step: skipped when "Check Engines" is set, otherwise the check on the engines
// of the manager (the media engine counting only with its GStreamer decoders).
bool CheckEnginesAtStartUp(const CEngineManager& manager, QWidget* pParent = nullptr,
                           const DownloadCenterRunner& run = {});

} // namespace shell
