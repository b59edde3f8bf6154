// Loading one skin image by its full archive name: a missing or undecodable image is null, so
// that callers only ever test the pointer.
#pragma once

#include "skinui/NaviBitmap.h"
#include "skinui/NaviRcBuilder.h"

inline NaviBitmap* LoadSkinImage(NaviRcBuilder* builder, const CString& name) {
    if (!builder) return nullptr;
    NaviBitmap* image = builder->LoadImage(name);
    if (image && image->IsEmpty()) {
        delete image;
        return nullptr;
    }
    return image;
}

// Replaces *slot (deleting what it held) with the image of that name.
inline void ReloadSkinImage(NaviBitmap*& slot, NaviRcBuilder* builder, const CString& name) {
    delete slot;
    slot = LoadSkinImage(builder, name);
}
