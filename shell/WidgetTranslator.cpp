#include "shell/WidgetTranslator.h"

#include "shell/Language.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <unordered_set>

namespace shell {

namespace {

QString Tr(const QString& text) {
    return QString::fromStdString(TranslateText(text.toStdString()));
}

// An action's text; a shortcut behind a tab stays as it is.
void TranslateAction(QAction* action) {
    const QString text = action->text();
    if (action->isSeparator() || text.isEmpty())
        return;
    const qsizetype tab = text.indexOf('\t');
    action->setText(tab < 0 ? Tr(text) : Tr(text.left(tab)) + text.mid(tab));
}

class CTreeTranslator {
public:
    void Menu(QMenu* menu) {
        if (!menu || !m_menus.insert(menu).second)
            return;
        for (QAction* action : menu->actions()) {
            TranslateAction(action);
            Menu(action->menu());
        }
    }

    void Widget(QWidget* w) {
        if (auto* menu = qobject_cast<QMenu*>(w)) {
            Menu(menu);
            return;
        }
        if (w->isWindow() && !w->windowTitle().isEmpty())
            w->setWindowTitle(Tr(w->windowTitle()));
        if (IsUserInput(w))
            return; // what the user typed or chose stays as it is, children included
        Own(w);
        for (QObject* child : w->children()) {
            if (auto* childWidget = qobject_cast<QWidget*>(child))
                Widget(childWidget);
        }
    }

private:
    static bool IsUserInput(QWidget* w) {
        return qobject_cast<QLineEdit*>(w) || qobject_cast<QTextEdit*>(w) ||
               qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
               qobject_cast<QComboBox*>(w);
    }

    void Own(QWidget* w) {
        if (auto* tool = qobject_cast<QToolButton*>(w); tool && tool->defaultAction())
            return; // shows its action's text, translated with its bar
        if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty())
            label->setText(Tr(label->text()));
        else if (auto* button = qobject_cast<QAbstractButton*>(w);
                 button && !button->text().isEmpty())
            button->setText(Tr(button->text()));
        else if (auto* group = qobject_cast<QGroupBox*>(w); group && !group->title().isEmpty())
            group->setTitle(Tr(group->title()));
        else if (auto* tabs = qobject_cast<QTabBar*>(w))
            Tabs(tabs);
        else if (auto* tree = qobject_cast<QTreeWidget*>(w))
            Tree(tree);
        else if (qobject_cast<QToolBar*>(w) || qobject_cast<QMenuBar*>(w))
            Actions(w);
    }

    void Tabs(QTabBar* tabs) {
        for (int i = 0; i < tabs->count(); ++i)
            tabs->setTabText(i, Tr(tabs->tabText(i)));
    }

    void Tree(QTreeWidget* tree) {
        // A sorted tree would move items while they are renamed.
        const bool sorted = tree->isSortingEnabled();
        tree->setSortingEnabled(false);
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            TreeItem(tree->topLevelItem(i));
        tree->setSortingEnabled(sorted);
    }

    void TreeItem(QTreeWidgetItem* item) {
        for (int column = 0; column < item->columnCount(); ++column) {
            if (!item->text(column).isEmpty())
                item->setText(column, Tr(item->text(column)));
        }
        for (int i = 0; i < item->childCount(); ++i)
            TreeItem(item->child(i));
    }

    void Actions(QWidget* bar) {
        for (QAction* action : bar->actions()) {
            TranslateAction(action);
            Menu(action->menu());
        }
    }

    // A menu reached both through its bar and as a child widget is translated once.
    std::unordered_set<QMenu*> m_menus;
};

bool NothingToTranslate() {
    return GetCurrentLanguage() == GetSourceLanguage();
}

// Runs translate with the current language set to language and the source language set to
// the language shown now; afterwards the current language is back and the source is English.
template <typename F> void InLanguage(const std::string& language, F translate) {
    const std::string shown = GetCurrentLanguage();
    SetSourceLanguage(shown);
    SetCurrentLanguage(language);
    translate();
    SetCurrentLanguage(shown);
    SetSourceLanguage(kEnglish);
}

} // namespace

void TranslateWidget(QWidget* pWidget) {
    if (pWidget && !NothingToTranslate())
        CTreeTranslator().Widget(pWidget);
}

void TranslateMenu(QMenu* pMenu) {
    if (pMenu && !NothingToTranslate())
        CTreeTranslator().Menu(pMenu);
}

void TranslateWidgetInto(QWidget* pWidget, const std::string& language) {
    InLanguage(language, [pWidget] { TranslateWidget(pWidget); });
}

void TranslateMenuInto(QMenu* pMenu, const std::string& language) {
    InLanguage(language, [pMenu] { TranslateMenu(pMenu); });
}

} // namespace shell
