// The jump-to-file box: a small search box over the playlist window. Typing narrows a list of
// the matching rows (title or path, case and accents ignored, words in any order); Enter
// chooses the highlighted match (the first one unless the arrow keys moved), Esc closes.
#pragma once

#include "core/ClipSearch.h"

#include <QDialog>

#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;

class CJumpToFileBox : public QDialog {
public:
    // At most this many matches are listed; the count shows how many there are.
    static constexpr std::size_t kShownMatches = 200;

    // searchTexts[i] is what row i is found by, shownTexts[i] what the list shows for it.
    CJumpToFileBox(QWidget* pParent, const std::vector<std::string>& searchTexts,
                   std::vector<std::string> shownTexts, const std::string& strTitle,
                   const std::string& strHint);

    // The playlist row chosen with Enter, or -1.
    int GetChosenRow() const { return m_nChosen; }
    QLineEdit* GetEdit() const { return m_pEdit; }
    QListWidget* GetMatchList() const { return m_pMatches; }

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    void OnTextChanged();
    void Choose();

    core::CClipSearch m_search;
    std::vector<std::string> m_shown;
    std::vector<int> m_rows; // the playlist row of each listed match
    QLineEdit* m_pEdit = nullptr;
    QListWidget* m_pMatches = nullptr;
    QLabel* m_pCount = nullptr;
    int m_nChosen = -1;
};
