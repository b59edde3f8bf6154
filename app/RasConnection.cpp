#include "app/RasConnection.h"

namespace {

void Copy(char16_t* field, std::size_t size, const char16_t* text) {
    std::size_t i = 0;
    for (; text && text[i] && i + 1 < size; ++i) field[i] = text[i];
    field[i] = 0;
}

} // namespace

bool RasConnection::Dial(const char16_t* entry, const char16_t* userName, const char16_t* password) {
    HangUp();
    RASDIALPARAMS params;
    Copy(params.szEntryName, 21, entry);
    Copy(params.szUserName, 257, userName);
    Copy(params.szPassword, 257, password);
    HRASCONN handle = nullptr;
    m_result = RasDial(nullptr, nullptr, &params, 0, nullptr, &handle);
    m_handle = handle;
    return m_handle != nullptr;
}

bool RasConnection::DialEntry(const char16_t* entry, const char16_t* userName) {
    return Dial(entry, userName, nullptr);
}

bool RasConnection::DialEntryWithLogin(const char16_t* entry, const char16_t* userName, const char16_t* password) {
    if (!Dial(entry, userName, password)) return false;
    RASCONNSTATUS status;
    if (RasGetConnectStatus(m_handle, &status) != 0 || status.dwError != 0) {
        HangUp();
        return false;
    }
    return true;
}

void RasConnection::HangUp() {
    if (m_handle) RasHangUp(m_handle);
    m_handle = nullptr;
}
