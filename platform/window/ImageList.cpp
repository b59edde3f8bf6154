// Image lists: 16 x 16 (or any size up to 256) icons copied into bitmaps.
#include "platform/window/Controls.h"

#include <vector>

// Each image is the list's own copy: the icon drawn at the list's size into a bitmap over a key
// colour that marks the transparent pixels, so the caller may destroy its icon afterwards.
constexpr COLORREF kImageKey = RGB(255, 0, 255);

struct IMAGELIST_ {
    int cx = 16;
    int cy = 16;
    std::vector<HBITMAP> images; // owned
};

HIMAGELIST ImageList_Create(int cx, int cy, UINT, int, int) {
    if (cx <= 0 || cy <= 0 || cx > 256 || cy > 256) return nullptr;
    auto* list = new IMAGELIST_;
    list->cx = cx;
    list->cy = cy;
    return list;
}

BOOL ImageList_Destroy(HIMAGELIST list) {
    if (!list) return FALSE;
    for (HBITMAP image : list->images) DeleteObject(image);
    delete list;
    return TRUE;
}

int ImageList_AddIcon(HIMAGELIST list, HICON icon) {
    if (!list || !icon) return -1;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return -1;
    HBITMAP image = CreateCompatibleBitmap(dc, list->cx, list->cy);
    if (!image) {
        DeleteDC(dc);
        return -1;
    }
    HGDIOBJ old = SelectObject(dc, image);
    RECT all{0, 0, list->cx, list->cy};
    HBRUSH key = CreateSolidBrush(kImageKey);
    FillRect(dc, &all, key);
    DeleteObject(key);
    const BOOL drawn = DrawIconEx(dc, 0, 0, icon, list->cx, list->cy, 0, nullptr, DI_NORMAL);
    SelectObject(dc, old);
    DeleteDC(dc);
    if (!drawn) {
        DeleteObject(image);
        return -1;
    }
    list->images.push_back(image);
    return static_cast<int>(list->images.size()) - 1;
}

int ImageList_GetImageCount(HIMAGELIST list) {
    return list ? static_cast<int>(list->images.size()) : 0;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT) {
    if (!list || index < 0 || index >= static_cast<int>(list->images.size())) return FALSE;
    return TransparentImage(dc, x, y, list->cx, list->cy, list->images[static_cast<std::size_t>(index)], 0, 0,
                            list->cx, list->cy, kImageKey);
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy) {
    if (!list) return FALSE;
    if (cx) *cx = list->cx;
    if (cy) *cy = list->cy;
    return TRUE;
}
