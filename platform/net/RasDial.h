// The dial-up stand-in: the handheld opens a mobile data call before it can reach a server.
// device.ini decides how dials end: "dialup=ok" (the default) lets every dial connect;
// "dialup=fail:ENTRY,ENTRY" fails the dials of the listed phone-book entries ("dialup=fail"
// alone fails all). With "network=dial" the device has no data connection of its own: sockets
// fail to connect with 10051 (network unreachable) while no dialled connection is up.
#pragma once

#include "platform/base/WinTypes.h"

#include <string>
#include <vector>

struct HRASCONN__;
using HRASCONN = HRASCONN__*;

constexpr DWORD RASCS_Connected = 0x2000;
constexpr DWORD RASCS_Disconnected = 0x2001;
constexpr DWORD ERROR_INVALID_HANDLE_RAS = 6;
constexpr DWORD ERROR_CANNOT_FIND_PHONEBOOK_ENTRY = 623;
constexpr DWORD ERROR_NO_ANSWER = 678;
constexpr DWORD ERROR_AUTHENTICATION_FAILURE = 691;

struct RASDIALPARAMS {
    DWORD dwSize = sizeof(RASDIALPARAMS);
    char16_t szEntryName[21] = {};
    char16_t szPhoneNumber[129] = {};
    char16_t szCallbackNumber[49] = {};
    char16_t szUserName[257] = {};
    char16_t szPassword[257] = {};
    char16_t szDomain[16] = {};
};

struct RASCONNSTATUS {
    DWORD dwSize = sizeof(RASCONNSTATUS);
    DWORD rasconnstate = 0;
    DWORD dwError = 0;
    char16_t szDeviceType[17] = {};
    char16_t szDeviceName[129] = {};
};

// Dials synchronously (the notifier is not used). 0 and a connection handle on success; an
// error code and no handle when the entry's dial fails.
DWORD RasDial(void* extensions, const char16_t* phonebook, const RASDIALPARAMS* params, DWORD notifierType,
              void* notifier, HRASCONN* connection);
DWORD RasGetConnectStatus(HRASCONN connection, RASCONNSTATUS* status);
DWORD RasHangUp(HRASCONN connection);

namespace rasdial {
// True when sockets may reach the network: not a dial-only device, or a dialled call is up.
bool NetworkReachable();
// Every dial of this process as "ENTRY USER" (tests and tools read it), and its reset.
std::vector<std::string> DialLog();
void ClearDialLog();
// Connections dialled and not yet hung up.
int OpenConnections();
} // namespace rasdial
