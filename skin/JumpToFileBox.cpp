#include "skin/JumpToFileBox.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

CJumpToFileBox::CJumpToFileBox(QWidget* pParent, const std::vector<std::string>& searchTexts,
                               std::vector<std::string> shownTexts, const std::string& strTitle,
                               const std::string& strHint)
    : QDialog(pParent), m_shown(std::move(shownTexts)) {
    setWindowTitle(QString::fromStdString(strTitle));
    m_search.SetRows(searchTexts);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_pEdit = new QLineEdit(this);
    m_pEdit->setPlaceholderText(QString::fromStdString(strHint));
    m_pMatches = new QListWidget(this);
    m_pMatches->setUniformItemSizes(true); // 200 rows of one height lay out at once
    m_pCount = new QLabel(this);
    layout->addWidget(m_pEdit);
    layout->addWidget(m_pMatches);
    layout->addWidget(m_pCount);
    connect(m_pEdit, &QLineEdit::textChanged, this, [this] { OnTextChanged(); });
    connect(m_pMatches, &QListWidget::itemActivated, this, [this] { Choose(); });
    OnTextChanged();
}

void CJumpToFileBox::OnTextChanged() {
    std::size_t total = 0;
    m_rows = m_search.Find(m_pEdit->text().toStdString(), kShownMatches, total);
    m_pMatches->clear();
    QStringList items;
    for (int row : m_rows)
        items << QString::number(row + 1) + ". " +
                     QString::fromStdString(m_shown[std::size_t(row)]);
    m_pMatches->addItems(items);
    if (!m_rows.empty())
        m_pMatches->setCurrentRow(0);
    // Matches out of all rows: numbers only, so no language needs a text for it.
    m_pCount->setText(QString("%1 / %2").arg(total).arg(m_search.GetRowCount()));
}

void CJumpToFileBox::Choose() {
    const int current = m_pMatches->currentRow();
    if (current < 0 || current >= int(m_rows.size()))
        return;
    m_nChosen = m_rows[std::size_t(current)];
    accept();
}

void CJumpToFileBox::keyPressEvent(QKeyEvent* pEvent) {
    switch (pEvent->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Choose();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        // The arrows move through the matches while the typing stays in the box.
        QCoreApplication::sendEvent(m_pMatches, pEvent);
        return;
    default:
        QDialog::keyPressEvent(pEvent); // Esc closes
    }
}
