// A loopback server for tests: reads each connection's 100-byte request, sends the scripted
// reply, then either closes or (stalling) holds the connection until the server is destroyed.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>

class OneShotServer {
public:
    OneShotServer(std::string reply, bool stall = false) : m_reply(std::move(reply)), m_stall(stall) {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listen, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(m_listen, 1);
        socklen_t len = sizeof a;
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&a), &len);
        m_port = ntohs(a.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }
    ~OneShotServer() {
        m_done = true;
        ::shutdown(m_listen, SHUT_RDWR);
        m_thread.join();
        ::close(m_listen);
    }
    int Port() const { return m_port; }
    std::string Request() {
        m_gotRequest.get_future().wait();
        return m_request;
    }
    bool HasRequest() const { return m_hasRequest; }
    int Connections() const { return m_connections; }

private:
    void Serve() {
        // Every connection gets the same reply; the first request is kept.
        while (!m_done) {
            const int c = ::accept(m_listen, nullptr, nullptr);
            if (c < 0) return;
            ++m_connections;
            char buffer[100];
            std::size_t got = 0;
            while (got < sizeof buffer) {
                const ssize_t n = ::recv(c, buffer + got, sizeof buffer - got, 0);
                if (n <= 0) break;
                got += static_cast<std::size_t>(n);
            }
            if (!m_hasRequest) {
                m_request.assign(buffer, got);
                m_hasRequest = true;
                m_gotRequest.set_value();
            }
            if (!m_reply.empty()) ::send(c, m_reply.data(), m_reply.size(), MSG_NOSIGNAL);
            while (m_stall && !m_done) std::this_thread::sleep_for(std::chrono::milliseconds(5));
            ::close(c);
        }
    }

    std::string m_reply;
    bool m_stall;
    int m_listen = -1;
    int m_port = 0;
    std::string m_request;
    std::promise<void> m_gotRequest;
    std::atomic<bool> m_hasRequest{false};
    std::atomic<bool> m_done{false};
    std::atomic<int> m_connections{0};
    std::thread m_thread;
};

