#include "shell/ISDialog.h"

#include "res/StringTable.h"
#include "shell/WidgetTranslator.h"

CISDialog::CISDialog(QWidget* pParent) : QDialog(pParent) {}

void CISDialog::TranslateDialog() {
    m_bNoTranslateOnInit = false;
    shell::TranslateWidget(this);
}

void CISDialog::showEvent(QShowEvent* pEvent) {
    if (!m_bInitialised) {
        m_bInitialised = true;
        OnInitDialog();
        if (!m_bNoTranslateOnInit)
            TranslateDialog();
    }
    QDialog::showEvent(pEvent);
}

namespace shell {

QWidget* FindDlgItem(const QWidget* pDialog, int id) {
    return pDialog->findChild<QWidget*>(QString::number(id));
}

QString ResourceText(std::uint32_t id) {
    return QString::fromStdString(res::LoadString(id));
}

} // namespace shell
