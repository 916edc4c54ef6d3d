// The base of every dialog of the program: it translates itself into the current language
// when it initialises (the first time it is shown), after its own initialisation has run.
#pragma once

#include <QDialog>
#include <cstdint>

class CISDialog : public QDialog {
public:
    explicit CISDialog(QWidget* pParent = nullptr);

    // A dialog that fills its controls after initialising sets this before it is shown and
    // calls TranslateDialog once its controls are filled.
    void SetNoTranslateOnInit(bool bNoTranslate) { m_bNoTranslateOnInit = bNoTranslate; }
    // Clears the flag and translates the whole dialog.
    void TranslateDialog();

protected:
    // The dialog's own initialisation; runs once, before the translation.
    virtual void OnInitDialog() {}
    void showEvent(QShowEvent* pEvent) override;

private:
    bool m_bNoTranslateOnInit = false;
    bool m_bInitialised = false;
};

namespace shell {

// A dialog's control carries its resource id as its object name, so it can be found by id.
template <class Widget> Widget* WithId(Widget* pWidget, int id) {
    pWidget->setObjectName(QString::number(id));
    return pWidget;
}
// The control of a dialog with the resource id, or null.
QWidget* FindDlgItem(const QWidget* pDialog, int id);
// A string resource in English; the dialog's translation turns it into the current language.
QString ResourceText(std::uint32_t id);

} // namespace shell
