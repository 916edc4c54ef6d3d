// The update check: reading and comparing the version file, the result dialog, and the whole
// check against a local HTTP server (newer, same, short, garbage, missing, refused, silent).
#include "shell/PictureEx.h"
#include "shell/UpgradeCheckDlg.h"
#include "shell/UpgradeInfoDlg.h"
#include "shell/VersionFetch.h"
#include "shell/VersionInfo.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/LoopbackListener.h"

#include "platform/MessageBox.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <atomic>
#include <gtest/gtest.h>
#include <poll.h>
#include <thread>

namespace {

// A tiny HTTP server on 127.0.0.1 (a port of the system's choice): it answers every request
// with one fixed response or, with none, accepts and never answers.
class CLocalHttpServer {
public:
    static std::string Response(int status, const std::string& reason, const std::string& body) {
        return "HTTP/1.1 " + std::to_string(status) + " " + reason +
               "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
               "\r\nConnection: close\r\n\r\n" + body;
    }
    // An address where nothing listens: its port was taken from the system, then given back.
    static std::string ClosedUrl() { return CLocalHttpServer("").Url(); }

    explicit CLocalHttpServer(std::string response) : m_response(std::move(response)) {
        m_listen = testsupport::ListenOnLoopback(m_port);
        if (m_listen >= 0)
            m_thread = std::thread([this] { Serve(); });
    }
    ~CLocalHttpServer() {
        if (m_listen < 0)
            return;
        m_bStopping = true;
        ::shutdown(m_listen, SHUT_RDWR); // wakes the waiting accept
        m_thread.join();
        ::close(m_listen);
    }

    std::string Url() const {
        return "http://127.0.0.1:" + std::to_string(m_port) + "/version.txt";
    }
    int Requests() const { return m_requests; }

private:
    void Serve() {
        std::vector<int> waiting;
        while (!m_bStopping) {
            const int client = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0)
                continue;
            ++m_requests;
            if (m_response.empty()) {
                waiting.push_back(client);
                continue;
            }
            // The request's head first: a client may not read before it has sent it whole.
            std::string request;
            char buffer[1024];
            pollfd fd{client, POLLIN, 0};
            for (ssize_t n = 0; request.find("\r\n\r\n") == std::string::npos &&
                                request.size() < 65536 && ::poll(&fd, 1, 5000) > 0 &&
                                (n = ::recv(client, buffer, sizeof buffer, 0)) > 0;)
                request.append(buffer, std::size_t(n));
            (void)!::send(client, m_response.data(), m_response.size(), MSG_NOSIGNAL);
            ::close(client);
        }
        for (int fd : waiting)
            ::close(fd);
    }

    std::string m_response;
    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_bStopping{false};
    std::atomic<int> m_requests{0};
    std::thread m_thread;
};

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
TEST(VersionInfo, ReadsTheValuesFromTheirLinesWithOrWithoutCarriageReturns) {
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

// A textual comparison without letter case: a digit where this version has a blank or a
// bracket sorts after it.
TEST(VersionInfo, NewerIsATextualComparisonWithoutLetterCase) {
    const std::string current = "v2.1 (Build:4089)";
    EXPECT_EQ(shell::ProgramVersion(), current);
    for (const char* newer : {"v2.1 (Build:4090)", "v2.10 (Build:1)", "v2.1 (Build:40890)"})
        EXPECT_TRUE(shell::IsNewerVersion(current, newer)) << newer;
    for (const char* older :
         {"V2.1 (BUILD:4089)", "v2.1 (Build:4089)", "v2.1 (Build:4088)", "", "v2.1"})
        EXPECT_FALSE(shell::IsNewerVersion(current, older)) << older;
}

// A newer version shows its details and opens its links; the same version shows only the top
// with its close button. Addresses from the network open only as web pages: never a file, a
// program or a script.
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
        EXPECT_FALSE(shell::IsWebAddress(address)) << address;
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

TEST(VersionFetch, TheAddressComesFromTheEnvironmentAndOnlyTheSizeLimitIsRead) {
    {
        shelltest::ScopedEnv url("CORVELLA_UPDATE_URL", "http://127.0.0.1:1/v.txt");
        EXPECT_EQ(shell::UpdateCheckUrl(), "http://127.0.0.1:1/v.txt");
    }
    shelltest::ScopedEnv url("CORVELLA_UPDATE_URL", "");
    EXPECT_EQ(shell::UpdateCheckUrl(), "https://www.corvella-player.org/version.txt");

    CLocalHttpServer server(CLocalHttpServer::Response(200, "OK", std::string(200000, 'v')));
    shell::FetchOptions options;
    options.strUrl = server.Url();
    EXPECT_EQ(shell::FetchVersionFile(options).value_or("").size(), 64u * 1024u);
    for (const char* other : {"file:///etc/hostname", "not an address"}) {
        options.strUrl = other;
        EXPECT_EQ(shell::FetchVersionFile(options), std::nullopt) << other;
    }
}

// The whole check: a version file reaches the result; answers that are not a version file
// (binary data, a captive portal's page, a version file sent as something other than text, a
// negative length), a missing file, a server that never answers and a refused connection all
// show the error box. The check cannot be cancelled.
TEST(UpdateCheck, AVersionFileReachesTheResultAndEveryFailureShowsTheErrorBox) {
    std::vector<MessageBoxRequest> boxes;
    SetMessageBoxHook([&](const MessageBoxRequest& r) {
        boxes.push_back(r);
        return IDOK;
    });
    auto as = [](const std::string& headers, const std::string& body) {
        return "HTTP/1.1 200 OK\r\n" + headers + "Connection: close\r\n\r\n" + body;
    };
    auto ok = [](const std::string& body) { return CLocalHttpServer::Response(200, "OK", body); };
    const std::string file = VersionFile("v9.0");
    const std::string newer = "v2.1 (Build:4090)", same = "v2.1 (Build:4089)";
    const struct {
        std::string response; // empty: the server never answers
        std::string version;  // empty: the error box
    } cases[] = {
        {ok(VersionFile(newer, {"A", "B"})), newer},
        {ok(VersionFile(same, {"A", "B"})), same},
        {ok(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + std::string(300, '\xFF')), ""},
        {ok("<html><body>Sign in</body></html>\n"), ""},
        {as("Content-Type: application/octet-stream\r\n", file), ""},
        {as("", file), ""},
        {as("Content-Type: text/plain\r\nContent-Length: -5\r\n", file), ""},
        {CLocalHttpServer::Response(404, "Not Found", "no such file\n"), ""},
        {"", ""},
        {"refused", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.response.substr(0, 60));
        CLocalHttpServer server(c.response == "refused" ? "" : c.response);
        boxes.clear();
        std::optional<CVersionInfo> result;
        shell::FetchOptions options;
        options.strUrl = c.response == "refused" ? CLocalHttpServer::ClosedUrl() : server.Url();
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
        if (c.response != "refused") {
            EXPECT_TRUE(testsupport::WaitFor([&] { return server.Requests() >= 1; }, 5000));
        }
    }
    SetMessageBoxHook({});
}
