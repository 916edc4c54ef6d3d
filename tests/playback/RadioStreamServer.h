// A small internet-radio server on 127.0.0.1 (a port of the system's choice) for the stream
// tests. Each connection gets the body `repeats` times, paced block by block; when the client
// asks for stream titles ("Icy-MetaData: 1") the answer names the station and carries a
// metadata block after every kMetaInt bytes, whose StreamTitle moves through `titles` as the
// repeats go by. The first connection may be dropped part way. Every loop is bounded in count and
// time, and the server stops by itself.
#pragma once

#include "tests/support/LoopbackListener.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

class CRadioStreamServer {
public:
    static constexpr std::size_t kMetaInt = 4096;

    CRadioStreamServer(std::string body, std::string contentType, std::string station,
                       std::vector<std::string> titles, int repeats, int blockDelayMs)
        : m_body(std::move(body)), m_type(std::move(contentType)), m_station(std::move(station)),
          m_titles(std::move(titles)), m_repeats(repeats), m_delayMs(blockDelayMs) {
        m_listen = testsupport::ListenOnLoopback(m_port, 4);
        if (m_listen >= 0)
            m_thread = std::thread([this] { Serve(); });
    }
    ~CRadioStreamServer() {
        m_bStop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_listen >= 0)
            ::close(m_listen);
    }
    CRadioStreamServer(const CRadioStreamServer&) = delete;
    CRadioStreamServer& operator=(const CRadioStreamServer&) = delete;

    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }
    int Connections() const { return m_connections; }
    // The first connection is dropped once this many body bytes went out (0: never).
    void DropFirstConnectionAfter(std::size_t bytes) { m_dropAfter = bytes; }
    bool AskedForTitles() const { return m_bAskedForTitles; }

private:
    void Serve() {
        while (!m_bStop && m_connections < 4) {
            pollfd fd{m_listen, POLLIN, 0};
            const int client =
                ::poll(&fd, 1, 100) > 0 ? ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC) : -1;
            if (client < 0)
                continue;
            ++m_connections;
            const bool icy = WantsTitles(client);
            m_bAskedForTitles = m_bAskedForTitles || icy;
            SendStream(client, icy);
            ::close(client);
        }
    }

    // Whether the request's header (what arrives within two seconds) asks for titles.
    static bool WantsTitles(int client) {
        std::string header;
        char buffer[1024];
        for (int i = 0; i < 64 && header.find("\r\n\r\n") == std::string::npos; ++i) {
            pollfd fd{client, POLLIN, 0};
            const ssize_t n =
                ::poll(&fd, 1, 2000) > 0 ? ::recv(client, buffer, sizeof buffer, 0) : 0;
            if (n <= 0)
                break;
            header.append(buffer, std::size_t(n));
        }
        std::transform(header.begin(), header.end(), header.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        return header.find("icy-metadata: 1") != std::string::npos ||
               header.find("icy-metadata:1") != std::string::npos;
    }

    std::string Title(int repeat) const {
        const std::size_t n = m_titles.size();
        return n ? m_titles[std::size_t(repeat) * n / std::size_t(m_repeats)] : std::string();
    }

    bool Send(int client, const std::string& data) {
        for (std::size_t sent = 0; sent < data.size();) {
            const ssize_t n = ::send(client, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            sent += std::size_t(n);
        }
        return true;
    }

    void SendStream(int client, bool icy) {
        std::string head = "HTTP/1.0 200 OK\r\nContent-Type: " + m_type + "\r\n";
        if (icy)
            head +=
                "icy-name: " + m_station + "\r\nicy-metaint: " + std::to_string(kMetaInt) + "\r\n";
        if (!Send(client, head + "\r\n"))
            return;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        std::string pending; // body bytes not yet followed by a metadata block
        std::size_t sent = 0;
        const bool drops = m_connections == 1 && m_dropAfter > 0;
        for (int r = 0; r < m_repeats && !m_bStop; ++r) {
            // The metadata block of a title: its length in 16-byte units, then the padded text.
            std::string meta = "StreamTitle='" + Title(r) + "';";
            meta.resize((meta.size() + 15) / 16 * 16, '\0');
            meta.insert(meta.begin(), char(meta.size() / 16));
            for (pending += m_body; pending.size() >= kMetaInt; pending.erase(0, kMetaInt)) {
                if (m_bStop || std::chrono::steady_clock::now() > deadline ||
                    (drops && sent >= m_dropAfter) ||
                    !Send(client, pending.substr(0, kMetaInt) + (icy ? meta : "")))
                    return;
                sent += kMetaInt;
                std::this_thread::sleep_for(std::chrono::milliseconds(m_delayMs));
            }
        }
    }

    std::string m_body, m_type, m_station;
    std::vector<std::string> m_titles;
    int m_repeats = 1, m_delayMs = 0;
    int m_listen = -1, m_port = 0;
    std::atomic<bool> m_bStop{false}, m_bAskedForTitles{false};
    std::atomic<int> m_connections{0};
    std::atomic<std::size_t> m_dropAfter{0};
    std::thread m_thread;
};
