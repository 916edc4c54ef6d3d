// Language files, lookups and translation over a folder of the test's own; the shipped files.
#include "shell/Language.h"
#include "res/StringTable.h"
#include "shell/ISDialog.h"
#include "shell/LanguageFile.h"
#include "shell/LanguageMenu.h"
#include "shell/WidgetTranslator.h"
#include "tests/shell/ShellTestSupport.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <ranges>
#include <sys/stat.h>

using shelltest::WriteFile;

namespace {

const std::string kEnglishFile = "; base language\n[Strings]\n10=Open Media File\n"
                                 "11=Save && Exit\n12=Preferences\n13=First line\\nSecond line\n"
                                 "14 =Blank Before The Sign\n15=Only In English\n16=Formula a=b\n"
                                 "17=Shared Word\n17=Second Line With The Same Key\n"
                                 "18=shared word\n23=Known Only By Number\n"
                                 "24=Unrecognizable Playlist File Format.\n"
                                 "25=Close\n26=Tooltips\n27=Use skinned cursors\n28=General\n"
                                 "29=Display\n31=&Mute\n32=&Options\n33=&Repeat\n34=Open\n";
const std::string kGermanFile = "; Deutsch\n10=&Mediendatei öffnen\n11=Speichern && Beenden\n"
                                "12=Einstellungen\n13=Erste Zeile\\nZweite Zeile\n"
                                "24=Unbekanntes Format.\n"
                                "25=Schließen\n26=Quickinfos\n27=Eigene Mauszeiger\n28=Allgemein\n"
                                "29=Anzeige\n30=Nur Deutsch\n31=&Stumm\n";

class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder.Write("English", kEnglishFile);
        m_folder.Write("German", kGermanFile);
        m_folder.Write("French", "10=Ouvrir un fichier\n12=Préférences\n25=Fermer\n28=Général\n");
        m_folder.Write("template", "10=\n12=\n");
    }

    shelltest::LanguageFolder m_folder;
};

// A dialog whose initialisation fills a label, as the program's dialogs do.
class CTestDialog : public CISDialog {
public:
    QLabel* m_pLabel = new QLabel(this);
    QPushButton* m_pClose = new QPushButton("Close", this);
    int m_nInits = 0;

protected:
    void OnInitDialog() override { ++m_nInits, m_pLabel->setText("Tooltips"); }
};

std::map<std::string, std::string> Entries(const std::string& path) {
    std::map<std::string, std::string> map;
    for (const auto& e : shell::ParseLanguageFile(shelltest::ReadFile(path)))
        map.emplace(e.strKey, e.strValue); // the first line of a number wins
    return map;
}

} // namespace

// The switch translates while the old language is current, then makes the new one current.
TEST_F(LanguageTest, TheSwitchTheFileFormatTheLookupsAndAnEditedFileReadAgain) {
    EXPECT_EQ(shell::LanguageFromMenuText("Deutsch\t[German]"), "German");
    EXPECT_EQ(shell::LanguageFromMenuText("Deutsch [German]"), std::nullopt);
    EXPECT_EQ(shell::LanguageFromMenuText("Deutsch\t"), std::nullopt);

    std::vector<std::string> calls;
    auto translate = [&](const std::string& to) {
        calls.push_back(shell::GetCurrentLanguage() + "->" + to);
    };
    EXPECT_TRUE(shell::SwitchLanguageByCommand(9026, translate)); // English, French, German
    EXPECT_EQ(shell::GetCurrentLanguage(), "German");
    EXPECT_FALSE(shell::SwitchLanguage("German", translate));
    EXPECT_TRUE(shell::SwitchLanguage("French", translate));
    EXPECT_EQ(calls, (std::vector<std::string>{"English->German", "German->French"}));
    EXPECT_EQ(shell::GetCurrentLanguage(), "French");
    EXPECT_FALSE(shell::SwitchLanguageByCommand(9030, translate)) << "beyond the languages found";

    // Only the first sixty-four languages get items.
    for (int i = 0; i < 70; ++i)
        WriteFile(m_folder.Path() + "/Lang" + std::to_string(100 + i) + ".ini", "10=x\n");
    const auto items = shell::BuildLanguageMenuItems();
    ASSERT_EQ(items.size(), 64u);
    EXPECT_EQ(items.back().nId, 9087);
    EXPECT_FALSE(shell::SwitchLanguageByCommand(9088, {}));

    // Lines are trimmed and split at the first equals sign; blank lines and sections are skipped.
    // Lookups ignore case, take the first match and never match a key with a blank.
    std::string entries;
    for (const auto& e : shell::ParseLanguageFile("\uFEFF1=a\r\n  2=b=c  \n[s]\n\n3 = d\n4="))
        entries += e.strKey + "|" + e.strValue + ";";
    EXPECT_EQ(entries, "1|a;2|b=c;3 | d;4|;");

    const std::string english = shell::LanguageFilePath("English");
    EXPECT_EQ(english, m_folder.Path() + "/English.ini");
    shell::SetLanguageFolder(m_folder.Path() + "/"); // given with its closing slash
    EXPECT_EQ(shell::LanguageFilePath("English"), english);
    EXPECT_EQ(shell::LookupTextByNumber(english, "17", "-"), "Shared Word");
    const std::size_t reads = shell::CLanguageFileCache::Instance().ReadCount();
    EXPECT_EQ(shell::LookupNumberByText(english, "SHARED WORD"), "17");
    EXPECT_EQ(shell::LookupTextByNumber(english, "14", "default"), "default");
    EXPECT_EQ(shell::LookupNumberByText(english, "Formula a=b"), "16");
    EXPECT_EQ(shell::LookupNumberByText(english, "Nowhere"), "");
    EXPECT_EQ(shell::CLanguageFileCache::Instance().ReadCount(), reads) << "unchanged: not read";
    EXPECT_EQ(shell::LookupTextByNumber(m_folder.Path() + "/Missing.ini", "10", "def"), "def");

    // Same size, another modification time: the new wording is seen.
    std::string edited = kEnglishFile;
    edited.replace(edited.find("Preferences"), 11, "Preferencez");
    m_folder.Write("English", edited);
    const timespec times[2] = {{0, UTIME_OMIT}, {1000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, english.c_str(), times, 0), 0);
    EXPECT_EQ(shell::LookupTextByNumber(english, "12", ""), "Preferencez");
    EXPECT_EQ(shell::CLanguageFileCache::Instance().ReadCount(), reads + 1);

    // Grown beyond the read limit: refused unread, like a missing file, and said once.
    std::filesystem::resize_file(english, 9u << 20);
    EXPECT_EQ(shell::LookupTextByNumber(english, "12", "large"), "large");
    EXPECT_EQ(shell::LookupTextByNumber(english, "10", "large"), "large");
    EXPECT_EQ(shell::CLanguageFileCache::Instance().ReadCount(), reads + 1);

    ::unlink(english.c_str());
    EXPECT_EQ(shell::LookupTextByNumber(english, "12", "gone"), "gone");
}

// Missing texts fall back on English, unknown ones stay as they are. Edit fields stay as typed.
TEST_F(LanguageTest, TextsEveryKindOfControlAndDialogsAreTranslatedByTheLookupRules) {
    const struct {
        const char *text, *from, *to, *expected;
    } cases[] = {
        {"Open &Media File", "English", "German", "&Mediendatei öffnen"},
        {"&Save && Exit", "English", "German", "Speichern && Beenden"},
        {"Preferences...", "English", "German", "Einstellungen..."},
        {"Unknown...", "English", "German", "Unknown..."},
        {"...", "English", "German", "..."},
        {"Unrecognizable Playlist File Format. ", "English", "German", "Unbekanntes Format. "},
        {"First line\nSecond line", "English", "German", "Erste Zeile\nZweite Zeile"},
        {"First line\r\nSecond line", "English", "German", "Erste Zeile\nZweite Zeile"},
        {"Only In English", "English", "German", "Only In English"},
        {"Open Media File", "English", "Klingon", "Open Media File"},
        {"Open Media File", "Klingon", "German", "Open Media File"},
        {"Nur Deutsch", "German", "French", "Nur Deutsch"},
        {"Preferences", "German", "French", "Préférences"}, // looked up in English
        {"Einstellungen...", "German", "French", "Préférences..."},
        {"Einstellungen", "German", "English", "Preferences"},
        // Known by number but held by neither language: the wording stays rather than vanish.
        {"Nur Deutsch", "German", "English", "Nur Deutsch"},
        {"Known Only By Number", "English", "French", "Known Only By Number"},
        {"Preferences", "English", "English", "Preferences"},
        {"", "English", "German", ""},
        {"Open Media File", "English", "../Outside", "Open Media File"},
    };
    WriteFile(m_folder.Path() + "/../Outside.ini", "10=Outside\n");
    for (const auto& c : cases)
        EXPECT_EQ(shell::Translate(c.text, c.from, c.to), c.expected) << c.text << " " << c.to;
    EXPECT_EQ(shell::LanguageFilePath("../Outside"), "") << "not a file name of the folder";
    ::unlink((m_folder.Path() + "/../Outside.ini").c_str());
    const std::pair<const char*, int> numbers[] = {
        {"Open &Media File", 10},         {"&Save && Exit", 11}, {"Save & Exit", 0}, {"&", 0},
        {"First line\\nSecond line", 13},
    };
    for (const auto& [text, number] : numbers)
        EXPECT_EQ(shell::TextNumber(text, "English"), number) << text;
    EXPECT_EQ(shell::TextNumber("Only In English", "German"), 15);
    EXPECT_EQ(shell::EscapeLineBreaks("a\r\nb\nc"), "a\\nb\\nc");

    EXPECT_EQ(shell::TranslateText("Preferences"), "Preferences");
    shell::SetCurrentLanguage("German");
    EXPECT_EQ(shell::TranslateText("Preferences..."), "Einstellungen...");
    EXPECT_EQ(shell::TranslateToEnglish("Einstellungen"), "Preferences");
    shell::SetCurrentLanguage("French");
    EXPECT_EQ(shell::LanguageFilePath(""), m_folder.Path() + "/French.ini");

    // Translating into another language goes from the one shown and leaves the current one.
    QDialog dialog;
    dialog.setWindowTitle("Preferences...");
    auto* group = new QGroupBox("Tooltips", &dialog);
    auto* tabs = new QTabWidget(&dialog);
    tabs->addTab(new QWidget, "General");
    tabs->addTab(new QWidget, "Display");
    auto* tree = new QTreeWidget(&dialog);
    new QTreeWidgetItem(new QTreeWidgetItem(tree, QStringList{"General"}), QStringList{"Display"});
    new QTreeWidgetItem(tree, QStringList{"Unknown page"});
    const QList<QAbstractButton*> buttons{new QPushButton("Close", &dialog),
                                          new QCheckBox("Use skinned cursors", &dialog),
                                          new QRadioButton("General", group)};
    auto* label = new QLabel("Tooltips", &dialog);
    auto* edit = new QLineEdit("Close", &dialog);
    auto texts = [&] {
        QStringList all{dialog.windowTitle(), label->text(),    group->title(),
                        edit->text(),         tabs->tabText(0), tabs->tabText(1)};
        all << tree->topLevelItem(0)->text(0) << tree->topLevelItem(0)->child(0)->text(0)
            << tree->topLevelItem(1)->text(0);
        for (QAbstractButton* button : buttons)
            all.push_back(button->text());
        return all;
    };
    shell::SetCurrentLanguage("German");
    shell::TranslateWidget(&dialog);
    EXPECT_EQ(texts(), (QStringList{"Einstellungen...", "Quickinfos", "Quickinfos", "Close",
                                    "Allgemein", "Anzeige", "Allgemein", "Anzeige", "Unknown page",
                                    "Schließen", "Eigene Mauszeiger", "Allgemein"}));
    shell::TranslateWidgetInto(&dialog, "French"); // French lacks "Display": English
    EXPECT_EQ(texts(), (QStringList{"Préférences...", "Tooltips", "Tooltips", "Close", "Général",
                                    "Display", "Général", "Display", "Unknown page", "Fermer",
                                    "Use skinned cursors", "Général"}));
    EXPECT_EQ(shell::GetCurrentLanguage(), "German");
    EXPECT_EQ(shell::GetSourceLanguage(), "English");

    // A dialog translates itself once when first shown, or later when it asks.
    CTestDialog first, later;
    later.SetNoTranslateOnInit(true);
    EXPECT_EQ(first.m_pClose->text(), "Close");
    first.show();
    later.show();
    EXPECT_EQ(first.m_pLabel->text() + first.m_pClose->text(), "QuickinfosSchließen");
    EXPECT_EQ(later.m_pClose->text(), "Close");
    first.hide();
    first.m_pClose->setText("Close");
    first.show(); // initialisation and translation happen once
    EXPECT_EQ(first.m_nInits, 1);
    EXPECT_EQ(first.m_pClose->text(), "Close");
    later.TranslateDialog();
    EXPECT_EQ(later.m_pClose->text(), "Schließen");

    QMainWindow window;
    window.setWindowTitle("Preferences");
    QMenu* options = window.menuBar()->addMenu("&Options");
    QAction* repeat = options->addAction("&Repeat\tCtrl+R");
    QAction* empty = options->addAction("");
    QAction* open = window.addToolBar("tools")->addAction("Open");
    // A text whose translation is itself a known wording would change again on a second pass.
    m_folder.Write("German", "32=&Optionen\n33=Open\n34=Öffnen\n31=&Stumm\n");
    shell::TranslateWidget(&window);
    EXPECT_EQ((QStringList{options->title(), repeat->text(), empty->text(), open->text(),
                           window.windowTitle()}),
              (QStringList{"&Optionen", "Open\tCtrl+R", "", "Öffnen", "Preferences"}));
    QMenu menu;
    QAction* mute = menu.addAction("&Mute");
    shell::SetCurrentLanguage("English");
    shell::TranslateMenuInto(&menu, "German");
    EXPECT_EQ(mute->text(), "&Stumm");
}

// The template holds English's numbers without texts, the translations with texts.
TEST(LanguageFiles, EnglishHoldsTheStringTableAndTheOthersItsNumbers) {
    const std::string folder = shelltest::kSourceDir + "/res/language/";
    const auto english = Entries(folder + "English.ini");
    std::size_t count = 0;
    const std::uint32_t* ids = res::StringIds(count);
    std::string missing;
    for (std::size_t i = 0; i < count; ++i) {
        // Trimmed, line breaks as backslash-n, without a closing "..." (lookups drop those dots
        // and put them back on the result).
        std::string text = shell::EscapeLineBreaks(res::LoadString(ids[i]));
        text.erase(text.find_last_not_of(" \t") + 1);
        if (text.ends_with("..."))
            text.erase(text.size() - 3);
        const std::string key = std::to_string(ids[i]);
        text = text.substr(std::min(text.size(), text.find_first_not_of(" \t")));
        if (!english.contains(key) || english.at(key) != text)
            missing += key + "=" + text + "\n";
    }
    EXPECT_EQ(missing, "") << "English.ini must hold these lines, as the string table has them";

    for (const char* language : {"template.ini", "German.ini", "French.ini"}) {
        const auto entries = Entries(folder + language);
        EXPECT_TRUE(std::ranges::equal(std::views::keys(entries), std::views::keys(english)))
            << language;
        for (const auto& [key, value] : entries)
            EXPECT_EQ(value.empty(), language[0] == 't') << language << " " << key;
        // The shown texts are really translated.
        EXPECT_TRUE(language[0] == 't' || entries.at("106") != english.at("106")) << language;
    }
}
