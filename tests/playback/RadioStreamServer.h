// An internet-radio station on the local test server. Each connection gets the body `repeats`
// times, paced block by block; when the client asks for stream titles ("Icy-MetaData: 1") the
// answer names the station and carries a metadata block after every kMetaInt bytes, whose
// StreamTitle moves through `titles` as the repeats go by. The first connection may be dropped
// part way. Each answer is bounded in time.
#pragma once

#include "tests/support/LocalHttpServer.h"

#include <algorithm>
#include <cctype>
#include <chrono>

class CRadioStreamServer {
public:
    static constexpr std::size_t kMetaInt = 4096;

    CRadioStreamServer(std::string body, std::string contentType, std::string station,
                       std::vector<std::string> titles, int repeats, int blockDelayMs)
        : m_body(std::move(body)), m_type(std::move(contentType)), m_station(std::move(station)),
          m_titles(std::move(titles)), m_repeats(repeats), m_delayMs(blockDelayMs) {}

    std::string Url(const std::string& path) const { return m_server.Url(path); }
    int Connections() const { return m_server.Connections(); }
    // The first connection is dropped once this many body bytes went out (0: never).
    void DropFirstConnectionAfter(std::size_t bytes) { m_dropAfter = bytes; }
    bool AskedForTitles() const { return m_bAskedForTitles; }

private:
    void Answer(int client, std::string head) {
        std::transform(head.begin(), head.end(), head.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        const bool icy = head.find("icy-metadata: 1") != std::string::npos ||
                         head.find("icy-metadata:1") != std::string::npos;
        m_bAskedForTitles = m_bAskedForTitles || icy;
        std::string answer = "HTTP/1.0 200 OK\r\nContent-Type: " + m_type + "\r\n";
        if (icy)
            answer +=
                "icy-name: " + m_station + "\r\nicy-metaint: " + std::to_string(kMetaInt) + "\r\n";
        if (!testsupport::CLocalHttpServer::Send(client, answer + "\r\n"))
            return;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        std::string pending; // body bytes not yet followed by a metadata block
        std::size_t sent = 0;
        const bool drops = Connections() == 1 && m_dropAfter > 0;
        for (std::size_t r = 0; r < std::size_t(m_repeats); ++r) {
            // The metadata block of a title: its length in 16-byte units, then the padded text.
            std::string meta = "StreamTitle='" +
                               (m_titles.empty() ? "" : m_titles[r * m_titles.size() / m_repeats]) +
                               "';";
            meta.resize((meta.size() + 15) / 16 * 16, '\0');
            meta.insert(meta.begin(), char(meta.size() / 16));
            for (pending += m_body; pending.size() >= kMetaInt; pending.erase(0, kMetaInt)) {
                if (m_server.Stopping() || std::chrono::steady_clock::now() > deadline ||
                    (drops && sent >= m_dropAfter) ||
                    !testsupport::CLocalHttpServer::Send(client, pending.substr(0, kMetaInt) +
                                                                     (icy ? meta : "")))
                    return;
                sent += kMetaInt;
                std::this_thread::sleep_for(std::chrono::milliseconds(m_delayMs));
            }
        }
    }

    std::string m_body, m_type, m_station;
    std::vector<std::string> m_titles;
    int m_repeats = 1, m_delayMs = 0;
    std::atomic<bool> m_bAskedForTitles{false};
    std::atomic<std::size_t> m_dropAfter{0};
    // Last: it is stopped before the members its thread reads go.
    testsupport::CLocalHttpServer m_server{
        [this](int client, const std::string& head) { Answer(client, head); }};
};
