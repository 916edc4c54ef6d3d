#include "shell/StoreNoticeBox.h"

#include "platform/Log.h"
#include "res/StringTable.h"
#include "shell/Language.h"
#include "shell/WebLinks.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>

namespace shell {

namespace {

constexpr std::uint32_t kIdCaption = 106;
constexpr std::uint32_t kIdDamagedKept = 5100;
constexpr std::uint32_t kIdDamaged = 5101;
constexpr std::uint32_t kIdNotSaved = 5102;
constexpr std::uint32_t kIdReason = 5103;

QPointer<QWidget>& Owner() {
    static QPointer<QWidget> owner;
    return owner;
}

void ShowWaiting() {
    if (!Owner())
        return;
    const auto notices = platform::TakeStoreNotices();
    if (notices.empty())
        return;
    const std::string text = StoreNoticeText(notices);
    platform::LogVerbose("notice: " + text);
    auto* pBox = new QMessageBox(QMessageBox::Warning,
                                 QString::fromStdString(LoadTranslatedString(kIdCaption)),
                                 QString::fromStdString(text), QMessageBox::Ok, Owner());
    pBox->setAttribute(Qt::WA_DeleteOnClose);
    pBox->setWindowModality(Qt::NonModal);
    pBox->show();
}

} // namespace

std::string StoreNoticeText(const std::vector<platform::StoreNotice>& notices) {
    std::string text;
    for (const platform::StoreNotice& n : notices) {
        std::string line;
        if (n.kind == platform::StoreNotice::NotSaved)
            line = FormatOne(LoadTranslatedString(kIdNotSaved), n.path);
        else if (n.aside.empty())
            line = FormatOne(LoadTranslatedString(kIdDamaged), n.path);
        else
            line = FormatTwo(LoadTranslatedString(kIdDamagedKept), n.path, n.aside);
        text += (text.empty() ? "" : "\n\n") + line + " " + LoadTranslatedString(kIdReason) + " " +
                n.reason;
    }
    return text;
}

void ShowStoreNotices(QWidget* pOwner) {
    Owner() = pOwner;
    if (!pOwner) {
        platform::SetStoreNoticeListener({});
        return;
    }
    // Reports come from any thread: the box is made on the application's.
    platform::SetStoreNoticeListener([] {
        QMetaObject::invokeMethod(QCoreApplication::instance(), &ShowWaiting, Qt::QueuedConnection);
    });
    ShowWaiting();
}

} // namespace shell
