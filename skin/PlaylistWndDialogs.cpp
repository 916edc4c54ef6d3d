// The parts of the playlist window that ask the user: the context menu, the open and save
// dialogs and the jump-to-file box.
#include "skin/PlaylistWnd.h"

#include "platform/PopupMenu.h"
#include "res/StringTable.h"
#include "skin/JumpToFileBox.h"

#include <QCursor>
#include <QFileDialog>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <sstream>

namespace {

// "label (patterns)|patterns|…||" → the Qt form "label (p1 p2);;…".
QString QtFilter(const std::string& filter) {
    QStringList groups;
    std::stringstream in(filter);
    std::string label, patterns;
    while (std::getline(in, label, '|') && std::getline(in, patterns, '|') && !label.empty()) {
        QString p = QString::fromStdString(patterns);
        p.replace(';', ' ');
        const QString l = QString::fromStdString(label.substr(0, label.find(" (")));
        groups << l + " (" + p + ")";
    }
    return groups.join(";;");
}

} // namespace

UINT CPlaylistWnd::TrackMenu(const std::vector<MenuItem>& items) {
    return TrackPopupMenu(items, this, {QCursor::pos().x(), QCursor::pos().y()});
}

std::string CPlaylistWnd::AskSavePath(const std::string& strFolder, const std::string& strFilter,
                                      const std::string& strDefExt) {
    QFileDialog dialog(GetWidget(), QString(), QString::fromStdString(strFolder),
                       QtFilter(strFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromStdString(strDefExt));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front().toStdString();
}

std::vector<std::string> CPlaylistWnd::AskOpenPaths(const std::string& strFolder,
                                                    const std::string& strFilter) {
    QFileDialog dialog(GetWidget(), QString(), QString::fromStdString(strFolder),
                       QtFilter(strFilter));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setOption(QFileDialog::ReadOnly, false);
    std::vector<std::string> paths;
    if (dialog.exec() == QDialog::Accepted)
        for (const QString& f : dialog.selectedFiles())
            paths.push_back(f.toStdString());
    return paths;
}

int CPlaylistWnd::AskJumpRow(const std::vector<std::string>& searchTexts,
                             std::vector<std::string> shownTexts) {
    CJumpToFileBox box(GetWidget(), searchTexts, std::move(shownTexts),
                       Translate(res::LoadString(5501)), Translate(res::LoadString(5502)));
    // Over the window, as wide as it and at least readable.
    if (QWidget* pWidget = GetWidget()) {
        const QRect frame = pWidget->frameGeometry();
        box.setGeometry(frame.x(), frame.y(), std::max(frame.width(), 320),
                        std::max(frame.height(), 240));
    }
    return box.exec() == QDialog::Accepted ? box.GetChosenRow() : -1;
}
