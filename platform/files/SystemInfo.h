// The handheld's own figures, from device.ini where the device states them and from the host
// otherwise:
//   ceversion=MAJOR.MINOR   the platform version GetVersionEx reports (default 3.0)
//   memfree=BYTES           the available physical memory (default: the host's available memory)
//   storefree=BYTES         the free bytes of the handheld's own storage, that is every path not on
//                           a storage card (default: the host's free space under the root)
// The OEM string ("oem=") is read through SystemParametersInfo (platform/window) and the display's
// colours ("colors=") through GetDeviceCaps (platform/gdi).
#pragma once

#include "platform/base/WinTypes.h"

#include <cstdint>
#include <optional>
#include <string>

struct OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
    DWORD dwMajorVersion = 0;
    DWORD dwMinorVersion = 0;
    DWORD dwBuildNumber = 0;
    DWORD dwPlatformId = 0;
    char16_t szCSDVersion[128] = {};
};
constexpr DWORD VER_PLATFORM_WIN32_CE = 3;

// False (ERROR_INVALID_PARAMETER) when info is null or its size field is too small.
BOOL GetVersionExW(OSVERSIONINFOW* info);

// The 32-bit figures of the handheld's call; values past 4 GiB read as 0xFFFFFFFF.
struct MEMORYSTATUS {
    DWORD dwLength = sizeof(MEMORYSTATUS);
    DWORD dwMemoryLoad = 0;
    DWORD dwTotalPhys = 0;
    DWORD dwAvailPhys = 0;
    DWORD dwTotalPageFile = 0;
    DWORD dwAvailPageFile = 0;
    DWORD dwTotalVirtual = 0;
    DWORD dwAvailVirtual = 0;
};
void GlobalMemoryStatus(MEMORYSTATUS* status);

// The whole figures.
struct MEMORYSTATUSEX {
    DWORD dwLength = sizeof(MEMORYSTATUSEX);
    DWORD dwMemoryLoad = 0;
    ULONGLONG ullTotalPhys = 0;
    ULONGLONG ullAvailPhys = 0;
};
BOOL GlobalMemoryStatusEx(MEMORYSTATUSEX* status);

namespace systeminfo {
// A device.ini byte count: decimal digits only, within 64 bits; nothing when absent or malformed.
std::optional<std::uint64_t> ByteSetting(const std::string& key);
} // namespace systeminfo
