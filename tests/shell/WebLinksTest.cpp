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

// Records the addresses instead of opening them.
struct Recorder {
    std::vector<std::string> opened;
    shell::UrlOpener Opener() {
        return [this](const std::string& address) {
            opened.push_back(address);
            return true;
        };
    }
};

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
    EXPECT_EQ(link.find('#'), std::string::npos);
    EXPECT_EQ(link.find(' '), std::string::npos);
    EXPECT_EQ(QueryItem(link, "subject"), "Rock & Roll? #1 – Café");
    EXPECT_EQ(QueryItem(link, "body"), "Line one\nbody=trick&cc=evil@example.org");
    EXPECT_EQ(QueryItem(link, "cc"), "a@example.org,b@example.org");
    EXPECT_EQ(QueryItem(link, "bcc"), "");
}

TEST(WebLinks, TellAFriendSendsTheRecommendationOnceInTheCurrentLanguage) {
    Recorder recorder;
    EXPECT_TRUE(shell::TellAFriend(recorder.Opener()));
    ASSERT_EQ(recorder.opened.size(), 1u);
    const std::string& link = recorder.opened[0];
    EXPECT_TRUE(link.starts_with("mailto:?subject=")) << link;
    EXPECT_EQ(QueryItem(link, "subject"),
              "Recommend you a useful media player software! - Corvella");
    // The body ends with the home page address itself, nothing glued to it.
    EXPECT_EQ(QueryItem(link, "body"), "Home Page: https://www.corvella-player.org/");
    EXPECT_EQ(QueryItem(link, "cc"), "");

    // In the current language.
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

TEST(WebLinks, AboutDialogLinksOpenHomePageAndFeedbackOnClick) {
    CAboutDlg dlg;
    Recorder recorder;
    dlg.SetOpener(recorder.Opener());
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
    EXPECT_EQ(recorder.opened,
              (std::vector<std::string>{res::LoadString(115), res::LoadString(146)}));
    dlg.close();
}

TEST(WebLinks, AnEmptyLinkOpensNothing) {
    CLinkCtrl link("Nowhere");
    Recorder recorder;
    link.SetOpener(recorder.Opener());
    EXPECT_FALSE(link.Open());
    EXPECT_TRUE(recorder.opened.empty());
}
