// The Tip of the Day dialog. It reads the program folder's tips file from the position where
// the last one stopped (from the top again once the file has changed), shows one tip at a
// time, and remembers whether to show itself at start-up.
#pragma once

#include "shell/ISDialog.h"
#include "shell/TipsFile.h"

#include <string>

class QCheckBox;
class QLabel;
class QPushButton;

class CTipDlg : public CISDialog {
public:
    enum { IDD = 125, IDC_STARTUP = 1001, IDC_NEXTTIP = 1002, IDC_TIPSTRING = 1004 };

    // Reads the profile and opens the tips file (by default "Tips.txt" in the program folder).
    explicit CTipDlg(QWidget* pParent = nullptr, const std::string& tipsPath = {});
    // Stores the position of the next tip.
    ~CTipDlg() override;

    // Reads the next tip and shows it (the "Next Tip" button).
    void OnNextTip();
    // Closing the dialog stores the start-up choice.
    void done(int result) override;

    const std::string& GetTip() const { return m_strTip; }
    bool GetShowAtStartUp() const { return m_bStartup; }
    QCheckBox* StartUpBox() const { return m_pStartUp; }
    QPushButton* NextButton() const { return m_pNext; }
    QLabel* TipLabel() const { return m_pTip; }

protected:
    void OnInitDialog() override;

private:
    void BuildControls();
    void ReadNextTip();
    void ShowReadError();

    bool m_bStartup = true;
    std::string m_strTip;
    CTipsFile m_file;
    QLabel* m_pTip = nullptr;
    QCheckBox* m_pStartUp = nullptr;
    QPushButton* m_pNext = nullptr;
};

namespace shell {

// The tips file of the program folder.
std::string TipsFilePath();
// Whether the start-up shows the dialog ("StartUp" of the "Tip" section is 0).
bool ShowTipsAtStartUp();
// The start-up step: shows the dialog modally when the user has not switched it off.
void ShowTipAtStartUp(QWidget* pParent = nullptr);

} // namespace shell
