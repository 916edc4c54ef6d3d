// The About dialog: product name, version, and links to the home page and the feedback page.
#pragma once

#include "shell/ISDialog.h"
#include "shell/WebLinks.h"

class CLinkCtrl;
class QLabel;
class QPushButton;

class CAboutDlg : public CISDialog {
public:
    enum { IDD = 152, IDC_HOMEPAGE = 1054, IDC_FEEDBACK = 1008, IDC_FORUM = 1010 };

    explicit CAboutDlg(QWidget* pParent = nullptr);

    // Both links open through open (tests); empty: the desktop's handler.
    void SetOpener(const shell::UrlOpener& open);
    CLinkCtrl* HomePageLink() const { return m_pHomePage; }
    CLinkCtrl* FeedbackLink() const { return m_pFeedback; }

protected:
    void OnInitDialog() override;

private:
    QLabel* m_pProduct = nullptr;
    QLabel* m_pVersion = nullptr;
    CLinkCtrl* m_pHomePage = nullptr;
    CLinkCtrl* m_pFeedback = nullptr;
    QPushButton* m_pForum = nullptr;
};
