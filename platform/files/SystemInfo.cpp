#include "platform/files/SystemInfo.h"

#include "platform/base/Handle.h"
#include "platform/files/DeviceRoot.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <sstream>
#include <unistd.h>

namespace {

bool ParseUnsigned(const std::string& text, std::uint64_t& out) {
    if (text.empty() || text.size() > 20) return false;
    std::uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (v > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return false;
        v = v * 10 + digit;
    }
    out = v;
    return true;
}

// "4.20" -> 4, 20; "5" -> 5, 0. False for anything else.
bool ParseVersion(const std::string& text, DWORD& major, DWORD& minor) {
    const std::size_t dot = text.find('.');
    std::uint64_t a = 0, b = 0;
    if (!ParseUnsigned(text.substr(0, dot), a)) return false;
    if (dot != std::string::npos && !ParseUnsigned(text.substr(dot + 1), b)) return false;
    if (a > 0xFFFF || b > 0xFFFF) return false;
    major = static_cast<DWORD>(a);
    minor = static_cast<DWORD>(b);
    return true;
}

// The host's available and total memory from /proc/meminfo, else from sysconf.
void HostMemory(std::uint64_t& available, std::uint64_t& total) {
    available = total = 0;
    std::ifstream in("/proc/meminfo");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string key;
        std::uint64_t kib = 0;
        if (!(fields >> key >> kib)) continue;
        if (key == "MemAvailable:") available = kib * 1024;
        else if (key == "MemTotal:") total = kib * 1024;
    }
    if (total == 0) {
        const long pages = ::sysconf(_SC_PHYS_PAGES), size = ::sysconf(_SC_PAGESIZE);
        if (pages > 0 && size > 0) total = static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(size);
    }
    if (available == 0) {
        const long pages = ::sysconf(_SC_AVPHYS_PAGES), size = ::sysconf(_SC_PAGESIZE);
        if (pages > 0 && size > 0)
            available = static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(size);
    }
}

void Memory(std::uint64_t& available, std::uint64_t& total) {
    HostMemory(available, total);
    if (const auto stated = systeminfo::ByteSetting("memfree")) {
        available = *stated;
        total = std::max(total, available);
    }
}

DWORD Clamp32(std::uint64_t v) {
    return static_cast<DWORD>(std::min<std::uint64_t>(v, 0xFFFFFFFFu));
}

} // namespace

namespace systeminfo {
std::optional<std::uint64_t> ByteSetting(const std::string& key) {
    std::uint64_t v = 0;
    if (!ParseUnsigned(DeviceRoot::Setting(key), v)) return std::nullopt;
    return v;
}
} // namespace systeminfo

BOOL GetVersionExW(OSVERSIONINFOW* info) {
    if (!info || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOW)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD major = 3, minor = 0;
    ParseVersion(DeviceRoot::Setting("ceversion"), major, minor); // a malformed value keeps 3.0
    info->dwMajorVersion = major;
    info->dwMinorVersion = minor;
    info->dwBuildNumber = 0;
    info->dwPlatformId = VER_PLATFORM_WIN32_CE;
    info->szCSDVersion[0] = 0;
    return TRUE;
}

void GlobalMemoryStatus(MEMORYSTATUS* status) {
    if (!status) return;
    std::uint64_t available = 0, total = 0;
    Memory(available, total);
    *status = MEMORYSTATUS{};
    status->dwTotalPhys = Clamp32(total);
    status->dwAvailPhys = Clamp32(available);
    status->dwMemoryLoad = total ? static_cast<DWORD>(100 - available * 100 / total) : 0;
    status->dwTotalVirtual = status->dwAvailVirtual = 32u * 1024 * 1024; // a CE process's slot
}

BOOL GlobalMemoryStatusEx(MEMORYSTATUSEX* status) {
    if (!status || status->dwLength < sizeof(MEMORYSTATUSEX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::uint64_t available = 0, total = 0;
    Memory(available, total);
    status->ullTotalPhys = total;
    status->ullAvailPhys = available;
    status->dwMemoryLoad = total ? static_cast<DWORD>(100 - available * 100 / total) : 0;
    return TRUE;
}
