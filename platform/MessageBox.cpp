#include "platform/MessageBox.h"

#include "platform/Log.h"
#include "platform/WinApp.h"
#include "platform/Wnd.h"

#include <QMessageBox>

namespace {
std::function<int(const MessageBoxRequest&)>& Hook() {
    static std::function<int(const MessageBoxRequest&)> hook;
    return hook;
}

QMessageBox::Icon IconFor(UINT type) {
    switch (type & 0xF0) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}
} // namespace

void SetMessageBoxHook(std::function<int(const MessageBoxRequest&)> hook) {
    Hook() = std::move(hook);
}

int MessageBox(CWnd* pOwner, const std::string& text, const std::string& caption, UINT type) {
    if (Hook())
        return Hook()({pOwner, text, caption, type});
    // While the program ends nobody answers: the text goes to the log and the safe answer back.
    if (IsEndRequested()) {
        platform::LogWarning(caption + " " + text);
        const UINT buttons = type & 0x0F;
        return buttons == MB_YESNO ? IDNO : buttons == MB_OKCANCEL ? IDCANCEL : IDOK;
    }
    platform::LogVerbose("message box: " + caption + " " + text);
    QMessageBox box(IconFor(type), QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::NoButton, pOwner ? pOwner->GetWidget() : nullptr);
    switch (type & 0x0F) {
    case MB_OKCANCEL:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MB_YESNO:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true); // brought to the foreground
    box.raise();
    box.activateWindow();
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Ok:
        return IDOK;
    default:
        return (type & 0x0F) == MB_YESNO ? IDNO : IDCANCEL;
    }
}
