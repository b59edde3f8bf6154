#include "platform/net/RasDial.h"

#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"

#include <mutex>
#include <set>

namespace {

struct Connection {
    std::u16string entry;
};

struct State {
    std::mutex mutex;
    std::set<Connection*> open;
    std::vector<std::string> log;
};

State& S() {
    static State* state = new State;
    return *state;
}

std::u16string Field(const char16_t* text, std::size_t size) {
    std::u16string out;
    for (std::size_t i = 0; i < size && text[i]; ++i) out.push_back(text[i]);
    return out;
}

// Whether device.ini lets a dial of this entry connect.
bool DialSucceeds(const std::u16string& entry) {
    const std::string rule = DeviceRoot::Setting("dialup", "ok");
    if (rule == "ok") return true;
    if (rule == "fail") return false;
    if (rule.rfind("fail:", 0) != 0) return true;
    const std::string list = rule.substr(5);
    std::size_t at = 0;
    while (at <= list.size()) {
        std::size_t comma = list.find(',', at);
        if (comma == std::string::npos) comma = list.size();
        if (DeviceRoot::SameNameIgnoringCase(Utf8ToUtf16(list.substr(at, comma - at)), entry)) return false;
        at = comma + 1;
    }
    return true;
}

} // namespace

DWORD RasDial(void*, const char16_t*, const RASDIALPARAMS* params, DWORD, void*, HRASCONN* connection) {
    if (!params || !connection) return ERROR_INVALID_PARAMETER;
    *connection = nullptr;
    const std::u16string entry = Field(params->szEntryName, 21);
    const std::u16string user = Field(params->szUserName, 257);
    const bool ok = !entry.empty() && DialSucceeds(entry);
    std::lock_guard<std::mutex> lock(S().mutex);
    S().log.push_back(Utf16ToUtf8(entry) + " " + Utf16ToUtf8(user));
    if (entry.empty()) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    if (!ok) return ERROR_NO_ANSWER;
    Connection* c = new Connection{entry};
    S().open.insert(c);
    *connection = reinterpret_cast<HRASCONN>(c);
    return 0;
}

DWORD RasGetConnectStatus(HRASCONN connection, RASCONNSTATUS* status) {
    if (!status) return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(S().mutex);
    Connection* c = reinterpret_cast<Connection*>(connection);
    if (!S().open.count(c)) return ERROR_INVALID_HANDLE_RAS;
    status->rasconnstate = RASCS_Connected;
    status->dwError = 0;
    return 0;
}

DWORD RasHangUp(HRASCONN connection) {
    std::lock_guard<std::mutex> lock(S().mutex);
    Connection* c = reinterpret_cast<Connection*>(connection);
    if (!S().open.erase(c)) return ERROR_INVALID_HANDLE_RAS;
    delete c;
    return 0;
}

namespace rasdial {

bool NetworkReachable() {
    if (DeviceRoot::Setting("network") != "dial") return true;
    std::lock_guard<std::mutex> lock(S().mutex);
    return !S().open.empty();
}

std::vector<std::string> DialLog() {
    std::lock_guard<std::mutex> lock(S().mutex);
    return S().log;
}

void ClearDialLog() {
    std::lock_guard<std::mutex> lock(S().mutex);
    S().log.clear();
}

int OpenConnections() {
    std::lock_guard<std::mutex> lock(S().mutex);
    return static_cast<int>(S().open.size());
}

} // namespace rasdial
