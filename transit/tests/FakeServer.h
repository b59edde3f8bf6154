// A one-question route server on loopback for the client tests: it reads the request bytes,
// keeps them, then answers with the given bytes (or stays silent until the client gives up).
#pragma once

#include "platform/net/tests/LoopbackServer.h"
#include "platform/base/Text.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class FakeServer {
public:
    FakeServer(std::size_t requestSize, std::string reply, bool silent = false)
        : m_state(std::make_shared<State>()) {
        auto state = m_state;
        m_server = std::make_unique<LoopbackServer>([state, requestSize, reply, silent](int c) {
            state->accepted = true;
            std::string got;
            char buffer[256];
            while (got.size() < requestSize) {
                const ssize_t n = ::recv(c, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                got.append(buffer, static_cast<std::size_t>(n));
            }
            state->request = got;
            if (silent) {
                while (::recv(c, buffer, sizeof buffer, 0) > 0) {
                }
                return;
            }
            if (!reply.empty()) ::send(c, reply.data(), reply.size(), MSG_NOSIGNAL);
        });
    }
    int Port() const { return m_server->Port(); }
    // The request as received; valid once the client's question has ended.
    std::string Request() {
        m_server.reset(); // joins the server thread
        return m_state->request;
    }
    bool Accepted() {
        m_server.reset();
        return m_state->accepted;
    }

private:
    struct State {
        std::string request;
        std::atomic<bool> accepted{false};
    };
    std::shared_ptr<State> m_state;
    std::unique_ptr<LoopbackServer> m_server;
};

inline void PutBE(std::string& out, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<char>((v >> s) & 0xFF));
}

inline void PutLE(std::string& out, std::uint32_t v) {
    for (int s = 0; s <= 24; s += 8) out.push_back(static_cast<char>((v >> s) & 0xFF));
}

inline std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        if (!out.empty()) out += ' ';
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

inline std::string Cp(const char16_t* text) {
    return Utf16ToCp949(text);
}
