#include "shell/ISDialog.h"

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
