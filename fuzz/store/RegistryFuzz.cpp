// Reads arbitrary bytes as the registry file: every key is walked and every value of a few
// names is asked for, with buffers of several sizes.
#include "fuzz/store/FuzzRoot.h"
#include "platform/store/Registry.h"

#include <cstddef>
#include <cstdint>

namespace {

void Walk(HKEY key, int depth) {
    for (const char16_t* name : {u"Name", u"ComPortNumber", u"", u"x"}) {
        BYTE small[3];
        BYTE large[256];
        DWORD size = sizeof small, type = 0;
        RegQueryValueExW(key, name, nullptr, &type, small, &size);
        size = sizeof large;
        RegQueryValueExW(key, name, nullptr, &type, large, &size);
    }
    if (depth > 8) return;
    for (DWORD i = 0; i < 64; ++i) {
        char16_t child[300];
        DWORD length = 300;
        if (RegEnumKeyExW(key, i, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY sub = nullptr;
        if (RegOpenKeyExW(key, child, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
            Walk(sub, depth + 1);
            RegCloseKey(sub);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WriteFuzzFile("registry.reg", data, size);
    Walk(HKEY_LOCAL_MACHINE, 0);
    return 0;
}
