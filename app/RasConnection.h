// One dial-up data call: the handle of the connection and the result of the last dial.
#pragma once

#include "platform/net/RasDial.h"

#include <cstdint>

class RasConnection {
public:
    RasConnection() = default;
    ~RasConnection() { HangUp(); }
    RasConnection(const RasConnection&) = delete;
    RasConnection& operator=(const RasConnection&) = delete;

    // Dials the phone-book entry with a user name; false when no connection results.
    bool DialEntry(const char16_t* entry, const char16_t* userName);
    // The same with a password; also false when the connection reports an error.
    bool DialEntryWithLogin(const char16_t* entry, const char16_t* userName, const char16_t* password);
    // Hangs up the call (if any) and forgets its handle.
    void HangUp();
    // A handle exists and the last dial result has neither of its two top bits set.
    bool IsConnected() const { return m_handle != nullptr && (m_result & 0xC0000000u) == 0; }

private:
    bool Dial(const char16_t* entry, const char16_t* userName, const char16_t* password);

    std::uint32_t m_result = 0;
    HRASCONN m_handle = nullptr;
};
