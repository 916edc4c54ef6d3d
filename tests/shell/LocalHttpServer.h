// A tiny HTTP server on 127.0.0.1 (a port of the system's choice) for the update check: it
// answers every request with one fixed response, or accepts and never answers.
#pragma once

#include "tests/support/LoopbackListener.h"

#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

class CLocalHttpServer {
public:
    // A server that answers with status and body.
    static std::string Response(int status, const std::string& reason, const std::string& body) {
        return "HTTP/1.1 " + std::to_string(status) + " " + reason +
               "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
               "\r\nConnection: close\r\n\r\n" + body;
    }

    // response empty: connections are accepted and left waiting.
    explicit CLocalHttpServer(std::string response) : m_response(std::move(response)) {
        int port = 0;
        m_listen = testsupport::ListenOnLoopback(port);
        if (m_listen < 0 || ::pipe(m_stop) != 0)
            return;
        m_port = port;
        m_thread = std::thread([this] { Serve(); });
    }
    ~CLocalHttpServer() {
        if (m_thread.joinable()) {
            (void)!::write(m_stop[1], "x", 1);
            m_thread.join();
        }
        for (int fd : {m_listen, m_stop[0], m_stop[1]}) {
            if (fd >= 0)
                ::close(fd);
        }
    }
    CLocalHttpServer(const CLocalHttpServer&) = delete;
    CLocalHttpServer& operator=(const CLocalHttpServer&) = delete;

    int Port() const { return m_port; }
    std::string Url(const std::string& path = "/version.txt") const {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }
    int Requests() const { return m_requests; }

    // A port where nothing listens: taken from the system, then given back.
    static int ClosedPort() {
        CLocalHttpServer probe("");
        const int port = probe.Port();
        return port;
    }

private:
    void Serve() {
        std::vector<int> waiting;
        for (;;) {
            pollfd fds[2] = {{m_listen, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0 || (fds[1].revents & POLLIN))
                break;
            const int client = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0)
                continue;
            ++m_requests;
            if (m_response.empty()) {
                waiting.push_back(client);
                continue;
            }
            ReadRequest(client);
            for (std::size_t sent = 0; sent < m_response.size();) {
                const ssize_t n = ::send(client, m_response.data() + sent, m_response.size() - sent,
                                         MSG_NOSIGNAL);
                if (n <= 0)
                    break;
                sent += std::size_t(n);
            }
            ::close(client);
        }
        for (int fd : waiting)
            ::close(fd);
    }

    static void ReadRequest(int client) {
        std::string request;
        char buffer[1024];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
            pollfd fd{client, POLLIN, 0};
            if (::poll(&fd, 1, 5000) <= 0)
                return;
            const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0)
                return;
            request.append(buffer, std::size_t(n));
        }
    }

    std::string m_response;
    int m_listen = -1;
    int m_stop[2] = {-1, -1};
    int m_port = 0;
    std::atomic<int> m_requests{0};
    std::thread m_thread;
};
