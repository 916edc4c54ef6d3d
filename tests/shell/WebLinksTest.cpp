// The maker's pages, the recommendation mail link and the About dialog's links.
#include "shell/WebLinks.h"
#include "shell/AboutDlg.h"
#include "shell/LinkCtrl.h"
#include "tests/shell/ShellTestSupport.h"

#include "res/StringTable.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QUrl>
#include <QUrlQuery>
#include <gtest/gtest.h>

namespace {

// The query item of the link as a mail program reads it (percent-decoded).
std::string QueryItem(const std::string& link, const char* key) {
    const QUrl url(QString::fromStdString(link), QUrl::StrictMode);
    return QUrlQuery(url).queryItemValue(key, QUrl::FullyDecoded).toStdString();
}

} // namespace

TEST(WebLinks, MailPartsWithLinkCharactersStayInTheirPlace) {
    shell::CMailTo mail;
    mail.SetTo("friend@example.org");
    mail.SetCc("a@example.org,b@example.org");
    mail.SetSubject("Rock & Roll? #1 – Café");
    mail.SetBody("Line one\nbody=trick&cc=evil@example.org");
    const std::string link = mail.BuildLink();
    EXPECT_TRUE(link.starts_with("mailto:friend@example.org?subject=")) << link;
    EXPECT_EQ(link.find_first_of("# "), std::string::npos);
    EXPECT_EQ(QueryItem(link, "subject"), "Rock & Roll? #1 – Café");
    EXPECT_EQ(QueryItem(link, "body"), "Line one\nbody=trick&cc=evil@example.org");
    EXPECT_EQ(QueryItem(link, "cc"), "a@example.org,b@example.org");
    EXPECT_EQ(QueryItem(link, "bcc"), "");
}

// The recommendation is sent once, in the current language, and ends with the home page
// address itself, nothing glued to it.
TEST(WebLinks, TellAFriendSendsTheRecommendationOnceInTheCurrentLanguage) {
    std::vector<std::string> opened;
    EXPECT_TRUE(shell::TellAFriend([&](const std::string& link) {
        opened.push_back(link);
        return true;
    }));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(opened[0].starts_with("mailto:?subject=")) << opened[0];
    EXPECT_EQ(QueryItem(opened[0], "subject"),
              "Recommend you a useful media player software! - Corvella");
    EXPECT_EQ(QueryItem(opened[0], "body"), "Home Page: https://www.corvella-player.org/");
    EXPECT_EQ(QueryItem(opened[0], "cc"), "");

    shelltest::LanguageFolder folder;
    folder.Write("English", "4505=Recommend you a useful media player software! - %s\n"
                            "4506=Home Page: %s\n");
    folder.Write("Deutsch", "4505=Empfehlung & Tipp - %s\n4506=Startseite: %s\n");
    shell::SetCurrentLanguage("Deutsch");
    const shell::CMailTo mail = shell::TellAFriendMail();
    EXPECT_EQ(mail.GetSubject(), "Empfehlung & Tipp - Corvella");
    EXPECT_EQ(mail.GetBody(), "Startseite: https://www.corvella-player.org/");
    EXPECT_EQ(QueryItem(mail.BuildLink(), "subject"), "Empfehlung & Tipp - Corvella");
}

// The About dialog's links look like links and open the home page and the feedback page on a
// click; an empty link opens nothing.
TEST(WebLinks, AboutDialogLinksOpenHomePageAndFeedbackOnClick) {
    std::vector<std::string> opened;
    const shell::UrlOpener opener = [&](const std::string& address) {
        opened.push_back(address);
        return true;
    };
    CAboutDlg dlg;
    dlg.SetOpener(opener);
    dlg.show();
    EXPECT_EQ(dlg.windowTitle().toStdString(), "About Corvella");
    for (CLinkCtrl* link : {dlg.HomePageLink(), dlg.FeedbackLink()}) {
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
        const QPointF inside(2, 2);
        QMouseEvent release(QEvent::MouseButtonRelease, inside, link->mapToGlobal(inside),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(link, &release);
    }
    CLinkCtrl empty("Nowhere");
    empty.SetOpener(opener);
    EXPECT_FALSE(empty.Open());
    EXPECT_EQ(opened, (std::vector<std::string>{res::LoadString(115), res::LoadString(146)}));
    dlg.close();
}
