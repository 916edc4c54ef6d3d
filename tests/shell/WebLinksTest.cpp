// The mail links: each part percent-encoded, and the recommendation in the current language.
#include "shell/WebLinks.h"
#include "tests/shell/ShellTestSupport.h"

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

TEST(WebLinks, MailPartsStayInTheirPlaceAndTheRecommendationIsSentOnceInTheCurrentLanguage) {
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

    // The recommendation is sent once, in the current language, and ends with the home page
    // address itself, nothing glued to it.
    std::vector<std::string> opened;
    EXPECT_TRUE(
        shell::TellAFriend([&](const std::string& link) { return opened.push_back(link), true; }));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(opened[0].starts_with("mailto:?subject=")) << opened[0];
    EXPECT_EQ(QueryItem(opened[0], "subject"),
              "Recommend you a useful media player software! - Corvella");
    EXPECT_EQ(QueryItem(opened[0], "body"), "Home Page: https://www.corvella-player.org/");

    shelltest::LanguageFolder folder;
    folder.Write("English", "4505=Recommend you a useful media player software! - %s\n"
                            "4506=Home Page: %s\n");
    folder.Write("Deutsch", "4505=Empfehlung & Tipp - %s\n4506=Startseite: %s\n");
    shell::SetCurrentLanguage("Deutsch");
    const std::string german = shell::TellAFriendMail().BuildLink();
    EXPECT_EQ(QueryItem(german, "subject"), "Empfehlung & Tipp - Corvella");
    EXPECT_EQ(QueryItem(german, "body"), "Startseite: https://www.corvella-player.org/");
}
