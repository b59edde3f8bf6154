// A one-connection TCP server on an ephemeral loopback port for socket tests: the handler runs
// on its own thread with the accepted connection and closes it when it returns.
#pragma once

#include <arpa/inet.h>
#include <functional>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

class LoopbackServer {
public:
    explicit LoopbackServer(std::function<void(int)> handler) {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listen, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(m_listen, 4);
        socklen_t len = sizeof a;
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&a), &len);
        m_port = ntohs(a.sin_port);
        m_thread = std::thread([this, handler] {
            const int c = ::accept(m_listen, nullptr, nullptr);
            if (c >= 0) {
                handler(c);
                ::close(c);
            }
        });
    }
    ~LoopbackServer() {
        ::shutdown(m_listen, SHUT_RDWR);
        ::close(m_listen);
        if (m_thread.joinable()) m_thread.join();
    }
    int Port() const { return m_port; }

private:
    int m_listen = -1;
    int m_port = 0;
    std::thread m_thread;
};

// A port on loopback where nothing listens (bound, then closed).
inline int UnusedLoopbackPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(s);
    return ntohs(a.sin_port);
}
