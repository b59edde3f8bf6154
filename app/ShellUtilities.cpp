#include "app/ShellUtilities.h"

#include "mapview/CodeRecord.h"
#include "platform/files/Files.h"
#include "platform/window/Shell.h"

#include <cmath>
#include <cstdio>
#include <cstring>

bool FolderExists(const char16_t* path) {
    if (!path) return false;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(path, &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool GetFoundFileName(const char16_t* path, char16_t* name) {
    if (!path || !name) return false;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(path, &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    std::memcpy(name, data.cFileName, sizeof data.cFileName);
    name[MAX_PATH - 1] = 0;
    return true;
}

bool CodeToPosition(std::int16_t code, std::int16_t dx, std::int16_t dy, POINT& point) {
    char text[16];
    std::snprintf(text, sizeof text, "00%d", static_cast<int>(code));
    POINT a{}, b{};
    if (!SheetCodeToRect(text, a, b)) return false;
    point.x = static_cast<LONG>(static_cast<float>(b.x) * 1.2f) + dx;
    point.y = b.y + dy;
    return true;
}

int BearingDegrees(const POINT& from, const POINT& to) {
    if (from.x == to.x && from.y == to.y) return -1;
    const float dx = static_cast<float>(static_cast<std::int64_t>(to.x) - from.x);
    const float dy = static_cast<float>(static_cast<std::int64_t>(to.y) - from.y);
    const float pi = 3.1415927f;
    const int d = static_cast<int>(std::atan2(dy, dx) * 180.0f / pi);
    return 450 - d < 360 ? 450 - d : 90 - d;
}

int QuantiseHeading(int heading) {
    if (heading >= 45 && heading < 135) return 90;
    if (heading >= 135 && heading < 225) return 180;
    if (heading >= 225 && heading <= 315) return 270;
    return 0;
}

int QuantiseHeadingSticky(int heading, int& state) {
    // Lower bounds of the 90, 180 and 270 zones and the upper bound (inclusive) of the 270 zone.
    static const int zones[4][4] = {{65, 135, 225, 295}, {25, 155, 225, 315}, {45, 115, 245, 315}, {45, 135, 205, 335}};
    if (state < 0 || state > 3) {
        state = 0;
        return 0;
    }
    const int* z = zones[state];
    int quadrant = 0;
    if (heading >= z[0] && heading < z[1])
        quadrant = 1;
    else if (heading >= z[1] && heading < z[2])
        quadrant = 2;
    else if (heading >= z[2] && heading <= z[3])
        quadrant = 3;
    state = quadrant;
    return quadrant * 90;
}

void DrawIconAt(HDC dc, POINT centre, int iconId) {
    SetBkMode(dc, TRANSPARENT);
    if (iconId == -1) return;
    HICON icon = static_cast<HICON>(
        LoadImageW(nullptr, MAKEINTRESOURCEW(static_cast<std::uintptr_t>(iconId)), IMAGE_ICON, 0, 0, 0));
    if (!icon) return;
    DrawIconEx(dc, centre.x - 8, centre.y - 8, icon, 0, 0, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
}

int SafeArrayCount(const SAFEARRAY* array) {
    LONG lower = 0, upper = 0;
    if (SafeArrayGetLBound(array, 1, &lower) < 0 || SafeArrayGetUBound(array, 1, &upper) < 0) return -1;
    return static_cast<int>(static_cast<std::int64_t>(upper) - lower + 1);
}

int SafeArrayPairCount(const SAFEARRAY* array) {
    LONG lower = 0, upper = 0;
    if (SafeArrayGetLBound(array, 1, &lower) < 0 || SafeArrayGetUBound(array, 1, &upper) < 0) return -1;
    const std::uint32_t count = static_cast<std::uint32_t>(static_cast<std::int64_t>(upper) - lower + 1);
    return static_cast<int>((count & 0x3FFFFFFFu) / 2);
}

bool RegisterComServer(const char16_t* libraryPath) {
    HMODULE module = LoadLibraryW(libraryPath);
    if (!module) return false;
    bool ok = false;
    if (FARPROC entry = GetProcAddress(module, "DllRegisterServer")) {
        using RegisterFn = HRESULT (*)();
        ok = reinterpret_cast<RegisterFn>(entry)() >= 0;
    }
    FreeLibrary(module);
    return ok;
}
