// The Preferences dialog (resource 101): a tree of pages, the frame that shows the selected
// page, and a Close button. It is modeless, one at a time per owner window; the page shown
// last is remembered (core preference 2); closing posts WM_REG_PREFDLGCLOSED to the owner,
// which then destroys the dialog (DestroyPrefsDlg).
#pragma once

#include "shell/ISDialog.h"
#include "shell/SystemMenu.h"

#include <string>
#include <vector>

class CPrefsSubDlg;
class CWnd;
class QFrame;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class CPrefsDlg : public CISDialog {
public:
    enum { IDD = 101, IDC_CLOSE = 1006, IDC_TREE = 1020, IDC_FRAME = 1021 };
    enum { kPageGeneral = 0, kPageDisplay = 1 };

    CPrefsDlg(CWnd* pOwner, QWidget* pParent = nullptr);

    // Adds a page (the dialog takes it) under parentPage (-1: at the top), before the dialog
    // is first shown.
    void AddPage(CPrefsSubDlg* pPage, const std::string& caption, int parentPage = -1);
    // Shows the page; false when the index is unknown or the shown page's values cannot be read
    // back (its failing control then has the focus and the page stays).
    bool SelectPage(int index);
    int GetCurrentPage() const { return m_nCurrent; }
    CPrefsSubDlg* GetPage(int index) const;
    int GetPageCount() const { return int(m_pages.size()); }
    QTreeWidget* Tree() const { return m_pTree; }
    // True from the Close button or the window's close until the dialog is destroyed.
    bool IsClosed() const { return m_bClosed; }

    // The Close button and the window's close.
    void reject() override;

protected:
    void OnInitDialog() override;

private:
    struct Page {
        int nIDD;
        CPrefsSubDlg* pDlg;
        int nParent;
        std::string strCaption;
        QTreeWidgetItem* pItem;
    };
    void OnTreeSelection();

    CWnd* m_pOwner;
    std::vector<Page> m_pages;
    int m_nCurrent = -1;
    bool m_bClosed = false;
    QTreeWidget* m_pTree = nullptr;
    QFrame* m_pFrame = nullptr;
};

namespace shell {

// "Preferences...": brings the owner's open dialog to the front, or creates and shows one with
// the "General" and "Display" pages. Changes are reported to onChange.
CPrefsDlg* OpenPreferences(CWnd* pOwner, const PrefChangeHandler& onChange = {});
// The owner's open dialog, or null.
CPrefsDlg* FindPrefsDlg(CWnd* pOwner);
// On WM_REG_PREFDLGCLOSED: destroys the owner's dialog and its pages.
void DestroyPrefsDlg(CWnd* pOwner);

} // namespace shell
