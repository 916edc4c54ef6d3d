#include "shell/LanguageMenu.h"

#include "shell/Language.h"
#include "shell/LanguageFile.h"

#include <QActionGroup>
#include <QMenu>

namespace shell {

std::vector<LanguageMenuItem> BuildLanguageMenuItems() {
    std::vector<LanguageMenuItem> items;
    const std::vector<std::string> names = GetLanguageList();
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int id = kFirstLanguageCommand + int(i);
        if (id > kLastLanguageCommand)
            break;
        const std::string& name = names[i];
        items.push_back({id, TranslateText(name) + "\t[" + name + "]",
                         EqualsNoCase(name, GetCurrentLanguage())});
    }
    return items;
}

std::optional<std::string> LanguageFromMenuText(const std::string& text) {
    const std::size_t tab = text.find('\t');
    if (tab == std::string::npos || !text.ends_with(']') || text.size() < tab + 3 ||
        text[tab + 1] != '[')
        return std::nullopt;
    return text.substr(tab + 2, text.size() - tab - 3);
}

void RebuildLanguageMenu(QMenu& menu) {
    const QList<QAction*> actions = menu.actions();
    for (qsizetype i = kFixedLanguageMenuItems; i < actions.size(); ++i) {
        menu.removeAction(actions[i]);
        delete actions[i];
    }
    auto* group = menu.findChild<QActionGroup*>("languages");
    if (!group) {
        group = new QActionGroup(&menu);
        group->setObjectName("languages");
    }
    for (const LanguageMenuItem& item : BuildLanguageMenuItems()) {
        QAction* action = menu.addAction(QString::fromStdString(item.strText));
        action->setData(item.nId);
        action->setCheckable(true);
        action->setChecked(item.bChecked);
        group->addAction(action);
    }
}

bool SwitchLanguage(const std::string& name,
                    const std::function<void(const std::string&)>& translateWindows) {
    if (name.empty() || name == GetCurrentLanguage())
        return false;
    if (translateWindows)
        translateWindows(name);
    SetCurrentLanguage(name);
    return true;
}

bool SwitchLanguageByCommand(int id,
                             const std::function<void(const std::string&)>& translateWindows) {
    if (id < kFirstLanguageCommand || id > kLastLanguageCommand)
        return false;
    const std::vector<LanguageMenuItem> items = BuildLanguageMenuItems();
    const std::size_t index = std::size_t(id - kFirstLanguageCommand);
    if (index >= items.size())
        return false;
    const std::optional<std::string> name = LanguageFromMenuText(items[index].strText);
    return name && SwitchLanguage(*name, translateWindows);
}

} // namespace shell
