// The update check: reading and comparing the version file, the result dialog, and the whole
// check against a local HTTP server (newer, same, short, garbage, missing, refused, silent).
#include "shell/PictureEx.h"
#include "shell/UpgradeCheckDlg.h"
#include "shell/UpgradeInfoDlg.h"
#include "shell/VersionFetch.h"
#include "shell/VersionInfo.h"
#include "tests/shell/LocalHttpServer.h"
#include "tests/shell/ShellTestSupport.h"

#include "core/Archive.h"
#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

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

// Lets the event loop run until done() holds; false when it did not within the limit.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 20s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// Runs a whole check against url; records the error box or the info handed to the result.
class UpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageBoxHook([this](const MessageBoxRequest& r) {
            m_boxes.push_back(r);
            return IDOK;
        });
    }
    void TearDown() override { SetMessageBoxHook({}); }

    void Check(const std::string& url, int timeoutMs = 10000) {
        shell::FetchOptions options;
        options.strUrl = url;
        options.nTimeoutMs = timeoutMs;
        CUpgradeCheckDlg dlg(nullptr, options);
        dlg.SetResultHandler([this](const CVersionInfo& info) { m_info = info; });
        dlg.show();
        EXPECT_FALSE(dlg.CancelButton()->isVisible());
        EXPECT_EQ(dlg.WaitText()->text().toStdString(),
                  "Please wait while Corvella checks for software updates.");
        EXPECT_TRUE(dlg.Picture()->IsPlaying());
        dlg.reject(); // the check cannot be cancelled
        EXPECT_TRUE(dlg.isVisible());
        ASSERT_TRUE(PumpUntil([&] { return !dlg.isVisible(); }));
        EXPECT_FALSE(dlg.Picture()->IsPlaying());
        m_nResult = dlg.GetResult();
    }
    void ExpectErrorBox() {
        EXPECT_EQ(m_nResult, 0);
        EXPECT_FALSE(m_info.has_value());
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].text,
                  "Cann't access website now. \nPlease check your internet connection.\n\n ");
        EXPECT_EQ(m_boxes[0].caption, "Internet Access Exception");
        EXPECT_EQ(m_boxes[0].type & MB_ICONERROR, UINT(MB_ICONERROR));
    }

    std::vector<MessageBoxRequest> m_boxes;
    std::optional<CVersionInfo> m_info;
    int m_nResult = -1;
};

} // namespace

TEST(VersionInfo, ReadsTheValuesFromTheirLinesWithOrWithoutCarriageReturns) {
    CVersionInfo info;
    EXPECT_EQ(info.Parse(VersionFile("v2.2 (Build:5000)", {"Faster start", "", "Fixes"})), 1);
    EXPECT_EQ(info.m_strLatestVersion, "v2.2 (Build:5000)");
    EXPECT_EQ(info.m_strReleaseDate, "2027-01-15");
    EXPECT_EQ(info.m_strSize, "4.2 MB");
    EXPECT_EQ(info.m_strMoreInfoUrl, "https://example.org/news");
    EXPECT_EQ(info.m_strDownloadUrl, "https://example.org/get");
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
    EXPECT_EQ(info.Parse(VersionFile("v3")), 1); // exactly 16 lines
    EXPECT_EQ(info.m_strReserved2, "r15");
    EXPECT_EQ(info.m_strWhatsNew, "");
}

// Only a file with the version file's structure counts; anything else leaves no field set.
TEST(VersionInfo, AnythingWithoutTheStructureIsRefused) {
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
        CVersionInfo info;
        EXPECT_EQ(info.Parse(text), 0) << text.substr(0, 80);
        EXPECT_EQ(info.m_strLatestVersion, "");
        EXPECT_EQ(info.m_strMoreInfoUrl, "");
        EXPECT_EQ(info.m_strWhatsNew, "");
    }
    CVersionInfo info;
    EXPECT_EQ(info.Parse(replaced("news", "Schneller \xE2\x80\x93 \xF0\x9F\x8E\xB5\tok")), 1);
    EXPECT_EQ(info.Parse(replaced("2.2.1", "V2.2 (Build:5000)")), 1);
}

TEST(VersionInfo, NewerIsATextualComparisonWithoutLetterCase) {
    const std::string current = "v2.1 (Build:4089)";
    EXPECT_EQ(shell::ProgramVersion(), current);
    EXPECT_TRUE(shell::IsNewerVersion(current, "v2.1 (Build:4090)"));
    EXPECT_FALSE(shell::IsNewerVersion(current, "V2.1 (BUILD:4089)"));
    EXPECT_FALSE(shell::IsNewerVersion(current, current));
    EXPECT_FALSE(shell::IsNewerVersion(current, "v2.1 (Build:4088)"));
    // A digit where this version has a blank or a bracket sorts after it.
    EXPECT_TRUE(shell::IsNewerVersion(current, "v2.10 (Build:1)"));
    EXPECT_TRUE(shell::IsNewerVersion(current, "v2.1 (Build:40890)"));
    EXPECT_FALSE(shell::IsNewerVersion(current, ""));
    EXPECT_FALSE(shell::IsNewerVersion(current, "v2.1"));
}

TEST(UpgradeInfoDlg, ANewerVersionShowsItsDetailsAndLinks) {
    CVersionInfo info;
    info.Parse(VersionFile("v2.2 (Build:5000)", {"Faster start", "Fixes"}));
    CUpgradeInfoDlg dlg;
    std::vector<std::string> opened;
    dlg.SetOpener([&](const std::string& address) {
        opened.push_back(address);
        return true;
    });
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
    dlg.close();
}

TEST(UpgradeInfoDlg, TheSameVersionShowsOnlyTheTopWithItsCloseButton) {
    CVersionInfo info;
    info.Parse(VersionFile("V2.1 (build:4089)"));
    CUpgradeInfoDlg dlg;
    dlg.SetInfo(info);
    dlg.show();
    EXPECT_EQ(dlg.VerdictText()->text().toStdString(),
              "You already have latest version and do NOT need upgrade.");
    // The details and their buttons are out of sight.
    EXPECT_GE(dlg.Details()->y(), dlg.height());
    EXPECT_GE(dlg.MoreInfoButton()->y(), dlg.height());
    EXPECT_GE(dlg.DownloadButton()->y(), dlg.height());
    EXPECT_EQ(dlg.Details()->toPlainText(), "");
    dlg.close();
}

// Addresses from the network open only as web pages: never a file, a program or a script.
TEST(UpgradeInfoDlg, WithoutInfoOrWithAddressesThatAreNoWebPagesTheButtonsOpenNothing) {
    CUpgradeInfoDlg dlg;
    int opened = 0;
    dlg.SetOpener([&](const std::string&) { return ++opened > 0; });
    dlg.OnMoreInfo();
    dlg.OnDownload();
    for (const std::string address :
         {"file:///etc/passwd", "/usr/bin/xterm", "javascript:alert(1)", "smb://host/share",
          "https://", "https://example.org@evil.example/", "http://exa mple.org/", "ftp://a.b/"}) {
        CVersionInfo info;
        info.m_strMoreInfoUrl = info.m_strDownloadUrl = address;
        dlg.SetInfo(info);
        dlg.OnMoreInfo();
        dlg.OnDownload();
        EXPECT_FALSE(shell::IsWebAddress(address)) << address;
    }
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(shell::IsWebAddress("HTTP://example.org"));
}

TEST(VersionFetch, TheAddressComesFromTheEnvironmentWhenSet) {
    {
        shelltest::ScopedEnv url("CORVELLA_UPDATE_URL", "http://127.0.0.1:1/v.txt");
        EXPECT_EQ(shell::UpdateCheckUrl(), "http://127.0.0.1:1/v.txt");
    }
    shelltest::ScopedEnv url("CORVELLA_UPDATE_URL", "");
    EXPECT_EQ(shell::UpdateCheckUrl(), "https://www.corvella-player.org/version.txt");
}

TEST(VersionFetch, ReadsAtMostTheSizeLimitAndRefusesOtherSchemes) {
    CLocalHttpServer server(CLocalHttpServer::Response(200, "OK", std::string(200000, 'v')));
    shell::FetchOptions options;
    options.strUrl = server.Url();
    const auto text = shell::FetchVersionFile(options);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->size(), 64u * 1024u);
    options.strUrl = "file:///etc/hostname";
    EXPECT_EQ(shell::FetchVersionFile(options), std::nullopt);
    options.strUrl = "not an address";
    EXPECT_EQ(shell::FetchVersionFile(options), std::nullopt);
}

TEST_F(UpdateCheckTest, ANewerOrTheSameVersionReachesTheResult) {
    for (const std::string version : {"v2.1 (Build:4090)", "v2.1 (Build:4089)"}) {
        CLocalHttpServer server(
            CLocalHttpServer::Response(200, "OK", VersionFile(version, {"Line one", "Line two"})));
        Check(server.Url());
        EXPECT_EQ(m_nResult, 1);
        EXPECT_TRUE(m_boxes.empty());
        ASSERT_TRUE(m_info.has_value());
        EXPECT_EQ(m_info->m_strLatestVersion, version);
        EXPECT_EQ(m_info->m_strWhatsNew, "Line one\r\nLine two\r\n");
    }
}

// Answers that are not a version file (binary data, a captive portal's page, a version file
// sent as something other than text, a negative length), a missing file, a refused connection
// and a server that never answers all show the error box.
TEST_F(UpdateCheckTest, EveryFailureShowsTheErrorBox) {
    std::string garbage = "\x89PNG\r\n\x1a\n";
    garbage += std::string("\0\0\0\rIHDR", 8) + std::string(300, '\xFF');
    const std::string file = VersionFile("v9.0");
    auto as = [](const std::string& headers, const std::string& body) {
        return "HTTP/1.1 200 OK\r\n" + headers + "Connection: close\r\n\r\n" + body;
    };
    for (const std::string& response :
         {CLocalHttpServer::Response(200, "OK", garbage),
          CLocalHttpServer::Response(200, "OK", "<html><body>Sign in</body></html>\n"),
          as("Content-Type: application/octet-stream\r\n", file), as("", file),
          as("Content-Type: text/plain\r\nContent-Length: -5\r\n", file),
          CLocalHttpServer::Response(404, "Not Found", "no such file\n"), std::string()}) {
        CLocalHttpServer server(response);
        m_boxes.clear();
        m_info.reset();
        Check(server.Url(), response.empty() ? 300 : 10000);
        ExpectErrorBox();
        // The client connected (it may retry a broken answer once); a loaded machine may run
        // the server's accept only after the client gave up.
        EXPECT_TRUE(PumpUntil([&] { return server.Requests() >= 1; }, 5s));
    }
    m_boxes.clear();
    Check("http://127.0.0.1:" + std::to_string(CLocalHttpServer::ClosedPort()) + "/version.txt");
    ExpectErrorBox();
}
