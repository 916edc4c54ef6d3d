// A tiny HTTP server on 127.0.0.1 (a port of the system's choice) for the update check: it
// answers every request with one fixed response or, with none, accepts and never answers.
#pragma once

#include "tests/support/LoopbackListener.h"

#include <atomic>
#include <poll.h>
#include <string>
#include <thread>
#include <vector>

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
    CLocalHttpServer(const CLocalHttpServer&) = delete;
    CLocalHttpServer& operator=(const CLocalHttpServer&) = delete;

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
