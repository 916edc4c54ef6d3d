// The update check: the version file, the result dialog, the whole check against a local server.
#include "shell/PictureEx.h"
#include "shell/UpgradeCheckDlg.h"
#include "shell/UpgradeInfoDlg.h"
#include "shell/VersionFetch.h"
#include "shell/VersionInfo.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/LocalHttpServer.h"

#include "platform/MessageBox.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>
#include <thread>

namespace {

using testsupport::CLocalHttpServer;

std::string Response(int status, const std::string& reason, const std::string& body) {
    return "HTTP/1.1 " + std::to_string(status) + " " + reason +
           "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}
// Answers every request with response; with none, accepts and never answers.
CLocalHttpServer::Handler Answering(const std::string& response) {
    if (response.empty())
        return {};
    return [response](int client, const std::string&) { CLocalHttpServer::Send(client, response); };
}

// A version file: labels on the even lines, values on the odd ones, then extra lines.
std::string VersionFile(const std::string& latest, const std::vector<std::string>& news = {}) {
    std::string file = "Corvella version file\nLatest version:\n" + latest +
                       "\nRelease date:\n2027-01-15\nSize:\n4.2 MB\nMore info:\n"
                       "https://example.org/news\nDownload:\nhttps://example.org/get\n"
                       "Reserved:\nr13\nReserved:\nr15\nWhat's new:\n";
    for (const std::string& line : news)
        file += line + "\n";
    return file;
}

} // namespace

// The values the result dialog shows are checked there.
TEST(VersionInfo, ReadsTheValuesRefusesOtherStructuresAndComparesVersionsAsText) {
    CVersionInfo info;
    EXPECT_EQ(info.Parse(VersionFile("v2.2 (Build:5000)", {"Faster start", "", "Fixes"})), 1);
    EXPECT_EQ(info.m_strReserved1, "r13");
    EXPECT_EQ(info.m_strReserved2, "r15");
    EXPECT_EQ(info.m_strWhatsNew, "Faster start\r\n\r\nFixes\r\n");
    // Carriage returns are no part of the lines, and sixteen lines leave no news.
    std::string crlf = VersionFile("v9", {"x"});
    for (std::size_t at = crlf.find('\n'); at != std::string::npos; at = crlf.find('\n', at + 2))
        crlf.insert(at, "\r");
    EXPECT_EQ(info.Parse(crlf), 1);
    EXPECT_EQ(info.m_strLatestVersion, "v9");
    EXPECT_EQ(info.m_strWhatsNew, "x\r\n");
    EXPECT_EQ(info.Parse(VersionFile("v3")), 1);
    EXPECT_EQ(info.m_strReserved2, "r15");
    EXPECT_EQ(info.m_strWhatsNew, "");
    // Only a file with the version file's structure counts; anything else leaves no field set.
    const std::string good = VersionFile("2.2.1", {"news"});
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        return text.replace(text.find(from), from.size(), to);
    };
    const std::string refused[] = {
        "",
        "<html><head><title>Sign in to the network</title></head><body>Welcome</body></html>\n",
        std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + std::string(300, '\xFF'),
        "a\nb\nv9\nd\n2027\n",                    // too short: size and addresses missing
        replaced("2.2.1", "<script>"),            // not a version
        replaced("2.2.1", "2..2"),                //
        replaced("2.2.1", "v2.2 (Build:12a)"),    //
        replaced("2027-01-15", ""),               // no release date
        replaced("4.2 MB", ""),                   // no size
        replaced("news", std::string(1025, 'n')), // a line over the bound
        replaced("news", "bell\a"),               // a control character
        replaced("news", "\xC0\xAF"),             // overlong UTF-8
        replaced("news", "\xED\xA0\x80"),         // a surrogate
        replaced("news", "cut \xE2\x82"),         // a cut sequence
    };
    for (const std::string& text : refused) {
        CVersionInfo fresh;
        EXPECT_EQ(fresh.Parse(text), 0) << text.substr(0, 80);
        EXPECT_EQ(fresh.m_strLatestVersion + fresh.m_strMoreInfoUrl + fresh.m_strWhatsNew, "");
    }
    EXPECT_EQ(info.Parse(replaced("news", "Schneller \xE2\x80\x93 \xF0\x9F\x8E\xB5\tok")), 1);
    EXPECT_EQ(info.Parse(replaced("2.2.1", "V2.2 (Build:5000)")), 1);
    // Newer is a textual comparison without letter case: a digit where this version has a blank
    // or a bracket sorts after it.
    const std::string current = "v2.1 (Build:4089)";
    EXPECT_EQ(shell::ProgramVersion(), current);
    for (const char* newer : {"v2.1 (Build:4090)", "v2.10 (Build:1)", "v2.1 (Build:40890)"})
        EXPECT_TRUE(shell::IsNewerVersion(current, newer)) << newer;
    for (const char* older :
         {"V2.1 (BUILD:4089)", "v2.1 (Build:4089)", "v2.1 (Build:4088)", "", "v2.1"})
        EXPECT_FALSE(shell::IsNewerVersion(current, older)) << older;
}

// Addresses from the network open only as web pages: never a file, a program or a script.
TEST(UpgradeInfoDlg, ANewerVersionShowsItsDetailsAndLinksTheSameOnlyTheTop) {
    CVersionInfo info;
    info.Parse(VersionFile("v2.2 (Build:5000)", {"Faster start", "Fixes"}));
    CUpgradeInfoDlg dlg;
    std::vector<std::string> opened;
    dlg.SetOpener([&](const std::string& address) {
        opened.push_back(address);
        return true;
    });
    dlg.OnMoreInfo(); // without info: nothing
    dlg.SetInfo(info);
    dlg.show();
    EXPECT_EQ(dlg.CurrentText()->text().toStdString(), "Current Version:\tv2.1 (Build:4089)");
    EXPECT_EQ(dlg.LatestText()->text().toStdString(), "Latest Version:\tv2.2 (Build:5000)");
    EXPECT_EQ(dlg.VerdictText()->text().toStdString(),
              "New version ready for Download! Check it out...");
    EXPECT_EQ(dlg.Details()->toPlainText().toStdString(),
              "Release Date:\n2027-01-15\n\nSize:\n4.2 MB\n\nWhat's New:\nFaster start\nFixes\n");
    dlg.OnMoreInfo();
    dlg.OnDownload();
    EXPECT_EQ(opened,
              (std::vector<std::string>{"https://example.org/news", "https://example.org/get"}));
    for (const std::string address :
         {"file:///etc/passwd", "/usr/bin/xterm", "javascript:alert(1)", "smb://host/share",
          "https://", "https://example.org@evil.example/", "http://exa mple.org/", "ftp://a.b/"}) {
        info.m_strMoreInfoUrl = info.m_strDownloadUrl = address;
        dlg.SetInfo(info);
        dlg.OnMoreInfo();
        dlg.OnDownload();
    }
    EXPECT_EQ(opened.size(), 2u);
    EXPECT_TRUE(shell::IsWebAddress("HTTP://example.org"));
    dlg.close();

    info.Parse(VersionFile("V2.1 (build:4089)"));
    CUpgradeInfoDlg same;
    same.SetInfo(info);
    same.show();
    EXPECT_EQ(same.VerdictText()->text().toStdString(),
              "You already have latest version and do NOT need upgrade.");
    for (const QWidget* hidden : std::initializer_list<const QWidget*>{
             same.Details(), same.MoreInfoButton(), same.DownloadButton()})
        EXPECT_GE(hidden->y(), same.height());
    EXPECT_EQ(same.Details()->toPlainText(), "");
    same.close();
}

// Only HTTP is fetched, up to the size limit; without an address of its own the fetch takes the
// environment's. Anything but a version file sent as text, no answer and a refused connection all
// show the error box. The check cannot be cancelled.
TEST(UpdateCheck, AVersionFileReachesTheResultAndEveryFailureShowsTheErrorBox) {
    CLocalHttpServer big(Answering(Response(200, "OK", std::string(200000, 'v'))));
    shelltest::ScopedEnv url("CORVELLA_UPDATE_URL", big.Url("/v.txt"));
    for (const std::string& address :
         {std::string(), std::string("file:///etc/hostname"), std::string("not an address")})
        EXPECT_EQ(shell::FetchVersionFile({.strUrl = address}).value_or("").size(),
                  address.empty() ? 64u * 1024u : 0u);
    std::vector<MessageBoxRequest> boxes;
    SetMessageBoxHook([&](const MessageBoxRequest& r) {
        boxes.push_back(r);
        return IDOK;
    });
    auto as = [](const std::string& headers, const std::string& body) {
        return "HTTP/1.1 200 OK\r\n" + headers + "Connection: close\r\n\r\n" + body;
    };
    const std::string file = VersionFile("v9.0");
    const std::string newer = "v2.1 (Build:4090)", same = "v2.1 (Build:4089)";
    const struct {
        std::string response; // empty: the server never answers
        std::string version;  // empty: the error box
    } cases[] = {
        {Response(200, "OK", VersionFile(newer, {"A", "B"})), newer},
        {Response(200, "OK", VersionFile(same, {"A", "B"})), same},
        {Response(200, "OK", "<html><body>Sign in</body></html>\n"), ""},
        {as("Content-Type: application/octet-stream\r\n", file), ""},
        {as("", file), ""},
        {as("Content-Type: text/plain\r\nContent-Length: -5\r\n", file), ""},
        {Response(404, "Not Found", "no such file\n"), ""},
        {"", ""},
        {"refused", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.response.substr(0, 60));
        const bool refused = c.response == "refused";
        // Nothing listens on a port taken from the system and given back.
        const std::string closed = CLocalHttpServer({}).Url("/version.txt");
        CLocalHttpServer server(Answering(refused ? "" : c.response));
        boxes.clear();
        std::optional<CVersionInfo> result;
        shell::FetchOptions options;
        options.strUrl = refused ? closed : server.Url("/version.txt");
        options.nTimeoutMs = c.response.empty() ? 300 : 10000;
        CUpgradeCheckDlg dlg(nullptr, options);
        dlg.SetResultHandler([&](const CVersionInfo& info) { result = info; });
        dlg.show();
        EXPECT_FALSE(dlg.CancelButton()->isVisible());
        EXPECT_EQ(dlg.WaitText()->text().toStdString(),
                  "Please wait while Corvella checks for software updates.");
        EXPECT_TRUE(dlg.Picture()->IsPlaying());
        dlg.reject();
        EXPECT_TRUE(dlg.isVisible());
        ASSERT_TRUE(testsupport::WaitFor([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(2)); // leaves the fetch a core
            return !dlg.isVisible();
        }));
        EXPECT_FALSE(dlg.Picture()->IsPlaying());
        EXPECT_EQ(dlg.GetResult(), c.version.empty() ? 0 : 1);
        EXPECT_EQ(result.has_value(), !c.version.empty());
        if (result) {
            EXPECT_EQ(result->m_strLatestVersion, c.version);
            EXPECT_EQ(result->m_strWhatsNew, "A\r\nB\r\n");
            EXPECT_TRUE(boxes.empty());
            continue;
        }
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text,
                  "Cann't access website now. \nPlease check your internet connection.\n\n ");
        EXPECT_EQ(boxes[0].caption, "Internet Access Exception");
        EXPECT_EQ(boxes[0].type & MB_ICONERROR, UINT(MB_ICONERROR));
        // The client connected (it may retry a broken answer once); a loaded machine may run
        // the server's accept only after the client gave up.
        EXPECT_TRUE(refused ||
                    testsupport::WaitFor([&] { return server.Connections() >= 1; }, 5000));
    }
    SetMessageBoxHook({});
}
