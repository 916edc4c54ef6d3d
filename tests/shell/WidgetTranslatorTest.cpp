// Translation of widget trees and menus, and the language submenu, over small language files.
#include "shell/WidgetTranslator.h"
#include "shell/ISDialog.h"
#include "shell/Language.h"
#include "tests/shell/ShellTestSupport.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

std::string Text(const QString& s) {
    return s.toStdString();
}

class WidgetTranslatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder.Write("English", "1=Preferences\n2=Close\n3=&Repeat\n4=Use skinned cursors\n"
                                  "5=Tooltips\n6=General\n7=Display\n8=&Options\n9=&Mute\n"
                                  "13=Open\n");
        m_folder.Write("German", "1=Einstellungen\n2=Schließen\n4=Eigene Mauszeiger\n"
                                 "5=Quickinfos\n6=Allgemein\n7=Anzeige\n9=&Stumm\n");
        m_folder.Write("French", "1=Préférences\n2=Fermer\n6=Général\n");
    }

    shelltest::LanguageFolder m_folder;
};

// A dialog with one control of every kind the translation knows.
struct PrefsDialog {
    QDialog dialog;
    QLabel* label = new QLabel("Tooltips", &dialog);
    QPushButton* close = new QPushButton("Close", &dialog);
    QCheckBox* check = new QCheckBox("Use skinned cursors", &dialog);
    QGroupBox* group = new QGroupBox("Tooltips", &dialog);
    QRadioButton* radio = new QRadioButton("General", group);
    QLineEdit* edit = new QLineEdit("Close", &dialog);
    QTabWidget* tabs = new QTabWidget(&dialog);
    QTreeWidget* tree = new QTreeWidget(&dialog);

    PrefsDialog() {
        dialog.setWindowTitle("Preferences...");
        tabs->addTab(new QWidget, "General");
        tabs->addTab(new QWidget, "Display");
        auto* general = new QTreeWidgetItem(tree, QStringList{"General"});
        new QTreeWidgetItem(general, QStringList{"Display"});
        new QTreeWidgetItem(tree, QStringList{"Unknown page"});
    }
};

// A dialog whose initialisation fills a label, as the program's dialogs do.
class CTestDialog : public CISDialog {
public:
    QLabel* m_pLabel = new QLabel(this);
    QPushButton* m_pClose = new QPushButton("Close", this);
    int m_nInits = 0;

protected:
    void OnInitDialog() override {
        ++m_nInits;
        m_pLabel->setText("Tooltips");
    }
};

} // namespace

// Every kind of control is translated but edit fields stay as typed; translating into another
// language goes from the one shown and leaves the current language as it was.
TEST_F(WidgetTranslatorTest, EveryKindOfControlIsTranslatedButEditFieldsStayAsTyped) {
    PrefsDialog d;
    shell::SetCurrentLanguage("German");
    shell::TranslateWidget(&d.dialog);
    EXPECT_EQ(Text(d.dialog.windowTitle()), "Einstellungen...");
    EXPECT_EQ(Text(d.label->text()), "Quickinfos");
    EXPECT_EQ(Text(d.close->text()), "Schließen");
    EXPECT_EQ(Text(d.check->text()), "Eigene Mauszeiger");
    EXPECT_EQ(Text(d.group->title()), "Quickinfos");
    EXPECT_EQ(Text(d.radio->text()), "Allgemein");
    EXPECT_EQ(Text(d.edit->text()), "Close");
    EXPECT_EQ(Text(d.tabs->tabText(1)), "Anzeige");
    EXPECT_EQ(Text(d.tree->topLevelItem(0)->text(0)), "Allgemein");
    EXPECT_EQ(Text(d.tree->topLevelItem(0)->child(0)->text(0)), "Anzeige");
    EXPECT_EQ(Text(d.tree->topLevelItem(1)->text(0)), "Unknown page");

    shell::TranslateWidgetInto(&d.dialog, "French");
    EXPECT_EQ(Text(d.close->text()), "Fermer");
    EXPECT_EQ(Text(d.dialog.windowTitle()), "Préférences...");
    EXPECT_EQ(Text(d.tabs->tabText(0)), "Général");
    EXPECT_EQ(Text(d.tabs->tabText(1)), "Display"); // French lacks it: English
    EXPECT_EQ(shell::GetCurrentLanguage(), "German");
    EXPECT_EQ(shell::GetSourceLanguage(), "English");

    QMenu menu;
    QAction* mute = menu.addAction("&Mute");
    shell::SetCurrentLanguage("English");
    shell::TranslateMenuInto(&menu, "German");
    EXPECT_EQ(Text(mute->text()), "&Stumm");
}

TEST_F(WidgetTranslatorTest, AWindowsMenuBarAndToolBarAreTranslatedOnceEach) {
    QMainWindow window;
    window.setWindowTitle("Preferences");
    QMenu* options = window.menuBar()->addMenu("&Options");
    QAction* repeat = options->addAction("&Repeat\tCtrl+R");
    QAction* empty = options->addAction("");
    QAction* open = window.addToolBar("tools")->addAction("Open");
    // A text whose translation is itself a known wording would change again on a second pass.
    m_folder.Write("German", "8=&Optionen\n3=Open\n13=Öffnen\n");
    shell::SetCurrentLanguage("German");
    shell::TranslateWidget(&window);
    EXPECT_EQ(Text(options->title()), "&Optionen");
    EXPECT_EQ(Text(repeat->text()), "Open\tCtrl+R");
    EXPECT_EQ(Text(empty->text()), "");
    EXPECT_EQ(Text(open->text()), "Öffnen");
    EXPECT_EQ(Text(window.windowTitle()), "Preferences"); // not in German.ini: English kept
}

TEST_F(WidgetTranslatorTest, ADialogTranslatesItselfOnceWhenFirstShownOrLaterWhenItAsks) {
    shell::SetCurrentLanguage("German");
    CTestDialog dialog;
    EXPECT_EQ(Text(dialog.m_pClose->text()), "Close");
    dialog.show();
    EXPECT_EQ(dialog.m_nInits, 1);
    EXPECT_EQ(Text(dialog.m_pLabel->text()), "Quickinfos");
    EXPECT_EQ(Text(dialog.m_pClose->text()), "Schließen");
    dialog.hide();
    dialog.m_pClose->setText("Close");
    dialog.show(); // initialisation and translation happen once
    EXPECT_EQ(dialog.m_nInits, 1);
    EXPECT_EQ(Text(dialog.m_pClose->text()), "Close");

    // A dialog that fills its controls later asks for the translation itself.
    CTestDialog later;
    later.SetNoTranslateOnInit(true);
    later.show();
    EXPECT_EQ(Text(later.m_pClose->text()), "Close");
    later.TranslateDialog();
    EXPECT_EQ(Text(later.m_pClose->text()), "Schließen");
}
