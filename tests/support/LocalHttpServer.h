// An HTTP server for the tests on 127.0.0.1, at a port the system chooses. Each request's head
// is read (bounded in size and time), then the connection and the head go to the test's handler
// on the server's thread; without a handler, connections are held open unanswered. Destroying
// the server stops it: a handler that sends for long checks Stopping().
#pragma once

#include "tests/support/LoopbackListener.h"

#include <atomic>
#include <functional>
#include <poll.h>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace testsupport {

class CLocalHttpServer {
public:
    using Handler = std::function<void(int client, const std::string& head)>;

    explicit CLocalHttpServer(Handler handler) : m_handler(std::move(handler)) {
        m_listen = ListenOnLoopback(m_port);
        if (m_listen >= 0)
            m_thread = std::thread([this] { Serve(); });
    }
    ~CLocalHttpServer() {
        m_bStop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_listen >= 0)
            ::close(m_listen);
    }

    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }
    int Connections() const { return m_connections; }
    bool Stopping() const { return m_bStop; }

    // Sends all of data; false once the client is gone.
    static bool Send(int client, std::string_view data) {
        for (ssize_t n = 0; !data.empty(); data.remove_prefix(std::size_t(n)))
            if ((n = ::send(client, data.data(), data.size(), MSG_NOSIGNAL)) <= 0)
                return false;
        return true;
    }

private:
    void Serve() {
        std::vector<int> held;
        while (!m_bStop) {
            pollfd fd{m_listen, POLLIN, 0};
            const int client =
                ::poll(&fd, 1, 50) > 0 ? ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC) : -1;
            if (client < 0)
                continue;
            ++m_connections;
            if (!m_handler) {
                held.push_back(client);
                continue;
            }
            // The whole head first: a client may not read before it has sent it.
            std::string head;
            char buffer[1024];
            pollfd in{client, POLLIN, 0};
            for (ssize_t n = 0; head.find("\r\n\r\n") == std::string::npos && head.size() < 65536 &&
                                ::poll(&in, 1, 2000) > 0 &&
                                (n = ::recv(client, buffer, sizeof buffer, 0)) > 0;)
                head.append(buffer, std::size_t(n));
            m_handler(client, head);
            ::close(client);
        }
        for (int client : held)
            ::close(client);
    }

    Handler m_handler;
    int m_listen = -1, m_port = 0;
    std::atomic<bool> m_bStop{false};
    std::atomic<int> m_connections{0};
    std::thread m_thread;
};

} // namespace testsupport
