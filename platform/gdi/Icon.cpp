// Icons: images the program registers under resource numbers, loaded at a size and drawn with
// their transparent pixels left out.
#include "platform/gdi/GdiInternal.h"

#include <map>
#include <mutex>

using namespace gdi;

namespace {

std::mutex& ResourceMutex() {
    static std::mutex mutex;
    return mutex;
}
std::map<UINT, Icon>& Resources() {
    static std::map<UINT, Icon> resources;
    return resources;
}

constexpr int kMaxIconSide = 256;

} // namespace

void GdiRegisterIconResource(UINT id, int width, int height, const std::uint32_t* argb) {
    if (!argb || width <= 0 || height <= 0 || width > kMaxIconSide || height > kMaxIconSide) return;
    Icon icon;
    icon.width = width;
    icon.height = height;
    icon.argb.assign(argb, argb + static_cast<std::size_t>(width) * height);
    std::lock_guard lock(ResourceMutex());
    Resources()[id] = std::move(icon);
}

HANDLE LoadImageW(HINSTANCE, LPCWSTR name, UINT type, int width, int height, UINT) {
    if (type != IMAGE_ICON || !IS_INTRESOURCE(name)) return nullptr;
    const UINT id = static_cast<UINT>(reinterpret_cast<std::uintptr_t>(name));
    Icon source;
    {
        std::lock_guard lock(ResourceMutex());
        auto it = Resources().find(id);
        if (it == Resources().end()) return nullptr;
        source = it->second;
    }
    if (width < 0 || height < 0 || width > kMaxIconSide || height > kMaxIconSide) return nullptr;
    if (width == 0) width = source.width;
    if (height == 0) height = source.height;
    auto* icon = new Icon;
    icon->width = width;
    icon->height = height;
    icon->argb.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            icon->argb[static_cast<std::size_t>(y) * width + x] =
                source.argb[static_cast<std::size_t>(y * source.height / height) * source.width +
                            x * source.width / width];
    ObjectTable::Add(icon, ObjectTable::Tag::Icon);
    return icon;
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
    return static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
}

BOOL DrawIconEx(HDC handle, int x, int y, HICON iconHandle, int width, int height, UINT, HBRUSH, UINT flags) {
    DeviceContext* dc = ResolveDC(handle);
    Icon* icon = ResolveIcon(iconHandle);
    if (!dc || !icon || width < 0 || height < 0) return FALSE;
    if (width == 0) width = icon->width;
    if (height == 0) height = icon->height;
    Target target(*dc);
    if (target.Empty()) return TRUE;
    const bool useMask = flags & DI_MASK;
    const bool useImage = flags & DI_IMAGE;
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            const std::uint32_t p =
                icon->argb[static_cast<std::size_t>(row * icon->height / height) * icon->width +
                           col * icon->width / width];
            const bool opaque = (p >> 24) != 0;
            const int dx = x + col + target.org.x, dy = y + row + target.org.y;
            if (useMask && !useImage) {
                // The mask alone: black where the icon is opaque.
                if (opaque) target.Plot(dx, dy, 0);
            } else if (useImage && !useMask) {
                target.Plot(dx, dy, opaque ? RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) : 0);
            } else if (opaque) {
                target.Plot(dx, dy, RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
            }
        }
    }
    return TRUE;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) {
    return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

BOOL DestroyIcon(HICON iconHandle) {
    Icon* icon = ResolveIcon(iconHandle);
    if (!icon) return FALSE;
    ObjectTable::Remove(icon);
    delete icon;
    return TRUE;
}
