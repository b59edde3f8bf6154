#include "platform/gdi/GdiObjects.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <unordered_map>

namespace gdi {

namespace {

// Largest bitmap side and size accepted: far above the 240 x 320 screen, far below what would
// exhaust memory.
constexpr int kMaxSide = 16384;
constexpr std::size_t kMaxBytes = std::size_t(256) << 20;

std::mutex& TableMutex() {
    static std::mutex mutex;
    return mutex;
}
std::unordered_map<const void*, ObjectTable::Tag>& Table() {
    static std::unordered_map<const void*, ObjectTable::Tag> table;
    return table;
}

} // namespace

// ---- object table ----

void ObjectTable::Add(const void* object, Tag tag) {
    std::lock_guard lock(TableMutex());
    Table()[object] = tag;
}

void ObjectTable::Remove(const void* object) {
    std::lock_guard lock(TableMutex());
    Table().erase(object);
}

bool ObjectTable::Contains(const void* object, Tag tag) {
    std::lock_guard lock(TableMutex());
    auto it = Table().find(object);
    return it != Table().end() && it->second == tag;
}

int ObjectTable::Count() {
    std::lock_guard lock(TableMutex());
    return static_cast<int>(Table().size());
}

bool ObjectTable::Delete(GdiObject* object) {
    if (object->m_stock) return true;
    if (object->m_dcRefs > 0) {
        object->m_deletePending = true;
        return true;
    }
    Remove(object);
    delete object;
    return true;
}

void ObjectTable::DropRef(GdiObject* object) {
    if (--object->m_dcRefs <= 0) {
        object->m_dcRefs = 0;
        if (object->m_deletePending && !object->m_stock) {
            Remove(object);
            delete object;
        }
    }
}

// ---- bitmap ----

std::unique_ptr<Bitmap> Bitmap::Make(int width, int height, int bitCount, bool bottomUp, bool dibSection) {
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return nullptr;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return nullptr;
    const std::size_t stride = ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
    const std::size_t bytes = stride * static_cast<std::size_t>(height);
    if (bytes > kMaxBytes) return nullptr;
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->m_bits.reset(new (std::nothrow) BYTE[bytes]());
    if (!bitmap->m_bits) return nullptr;
    bitmap->m_width = width;
    bitmap->m_height = height;
    bitmap->m_bitCount = bitCount;
    bitmap->m_stride = static_cast<int>(stride);
    bitmap->m_bottomUp = bottomUp;
    bitmap->m_dibSection = dibSection;
    if (bitCount <= 8) bitmap->m_palette.assign(std::size_t(1) << bitCount, RGBQUAD{});
    return bitmap;
}

static COLORREF QuadColor(const RGBQUAD& q) {
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

COLORREF Bitmap::GetColor(int x, int y) const {
    const BYTE* row = Row(y);
    switch (m_bitCount) {
    case 32: {
        const BYTE* p = row + x * 4;
        return RGB(p[2], p[1], p[0]);
    }
    case 24: {
        const BYTE* p = row + x * 3;
        return RGB(p[2], p[1], p[0]);
    }
    case 16: {
        const unsigned v = row[x * 2] | (row[x * 2 + 1] << 8);
        if (m_565) {
            const int r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
            return RGB((r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2));
        }
        const int r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
        return RGB((r << 3) | (r >> 2), (g << 3) | (g >> 2), (b << 3) | (b >> 2));
    }
    case 8:
        return QuadColor(m_palette[row[x]]);
    case 4: {
        const BYTE b = row[x >> 1];
        const int index = (x & 1) ? (b & 0x0F) : (b >> 4);
        return index < static_cast<int>(m_palette.size()) ? QuadColor(m_palette[index]) : 0;
    }
    case 1: {
        const int index = (row[x >> 3] >> (7 - (x & 7))) & 1;
        return index < static_cast<int>(m_palette.size()) ? QuadColor(m_palette[index]) : 0;
    }
    }
    return 0;
}

int Bitmap::NearestIndex(COLORREF color) const {
    const int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    int best = 0;
    long bestDistance = -1;
    for (std::size_t i = 0; i < m_palette.size(); ++i) {
        const RGBQUAD& q = m_palette[i];
        const long dr = q.rgbRed - r, dg = q.rgbGreen - g, db = q.rgbBlue - b;
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
            if (d == 0) break;
        }
    }
    return best;
}

static void PutIndex(BYTE* row, int bitCount, int x, int index) {
    switch (bitCount) {
    case 8:
        row[x] = static_cast<BYTE>(index);
        break;
    case 4: {
        BYTE& b = row[x >> 1];
        b = (x & 1) ? static_cast<BYTE>((b & 0xF0) | (index & 0x0F))
                    : static_cast<BYTE>((b & 0x0F) | (index << 4));
        break;
    }
    case 1: {
        BYTE& b = row[x >> 3];
        const BYTE mask = static_cast<BYTE>(0x80 >> (x & 7));
        b = index ? static_cast<BYTE>(b | mask) : static_cast<BYTE>(b & ~mask);
        break;
    }
    }
}

static std::uint16_t Pack16(COLORREF color, bool is565) {
    const int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    if (is565) return static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
    return static_cast<std::uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
}

void Bitmap::SetColor(int x, int y, COLORREF color) {
    BYTE* row = Row(y);
    switch (m_bitCount) {
    case 32: {
        BYTE* p = row + x * 4;
        p[0] = GetBValue(color);
        p[1] = GetGValue(color);
        p[2] = GetRValue(color);
        p[3] = 0;
        break;
    }
    case 24: {
        BYTE* p = row + x * 3;
        p[0] = GetBValue(color);
        p[1] = GetGValue(color);
        p[2] = GetRValue(color);
        break;
    }
    case 16: {
        const std::uint16_t v = Pack16(color, m_565);
        row[x * 2] = static_cast<BYTE>(v & 0xFF);
        row[x * 2 + 1] = static_cast<BYTE>(v >> 8);
        break;
    }
    default:
        PutIndex(row, m_bitCount, x, NearestIndex(color));
        break;
    }
}

void Bitmap::FillSpan(int y, int x0, int x1, COLORREF color) {
    if (x0 >= x1) return;
    BYTE* row = Row(y);
    switch (m_bitCount) {
    case 32: {
        const std::uint32_t v = (static_cast<std::uint32_t>(GetRValue(color)) << 16) |
                                (static_cast<std::uint32_t>(GetGValue(color)) << 8) | GetBValue(color);
        BYTE* p = row + x0 * 4;
        for (int x = x0; x < x1; ++x, p += 4) {
            p[0] = static_cast<BYTE>(v);
            p[1] = static_cast<BYTE>(v >> 8);
            p[2] = static_cast<BYTE>(v >> 16);
            p[3] = 0;
        }
        break;
    }
    case 24: {
        BYTE* p = row + x0 * 3;
        for (int x = x0; x < x1; ++x, p += 3) {
            p[0] = GetBValue(color);
            p[1] = GetGValue(color);
            p[2] = GetRValue(color);
        }
        break;
    }
    case 16: {
        const std::uint16_t v = Pack16(color, m_565);
        for (int x = x0; x < x1; ++x) {
            row[x * 2] = static_cast<BYTE>(v & 0xFF);
            row[x * 2 + 1] = static_cast<BYTE>(v >> 8);
        }
        break;
    }
    default: {
        const int index = NearestIndex(color);
        for (int x = x0; x < x1; ++x) PutIndex(row, m_bitCount, x, index);
        break;
    }
    }
}

void Bitmap::BlendPixel(int x, int y, COLORREF color, int alpha) {
    if (alpha <= 0) return;
    if (alpha >= 255) {
        SetColor(x, y, color);
        return;
    }
    const COLORREF old = GetColor(x, y);
    auto mix = [alpha](int a, int b) { return (a * alpha + b * (255 - alpha) + 127) / 255; };
    SetColor(x, y,
             RGB(mix(GetRValue(color), GetRValue(old)), mix(GetGValue(color), GetGValue(old)),
                 mix(GetBValue(color), GetBValue(old))));
}

// ---- region ----

RECT Region::Box() const {
    if (rects.empty()) return RECT{};
    RECT box = rects.front();
    for (const RECT& r : rects) {
        box.left = std::min(box.left, r.left);
        box.top = std::min(box.top, r.top);
        box.right = std::max(box.right, r.right);
        box.bottom = std::max(box.bottom, r.bottom);
    }
    return box;
}

bool Region::Contains(int x, int y) const {
    for (const RECT& r : rects)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
    return false;
}

void Region::Offset(int dx, int dy) {
    for (RECT& r : rects) {
        r.left += dx;
        r.right += dx;
        r.top += dy;
        r.bottom += dy;
    }
}

// Regions stay small (a few rectangles): the operation is decided cell by cell on the grid of
// all edges, and each band's cells are merged back into rectangles.
std::vector<RECT> Region::Combine(const std::vector<RECT>& a, const std::vector<RECT>& b, int mode) {
    std::vector<LONG> xs, ys;
    for (const auto* list : {&a, &b})
        for (const RECT& r : *list) {
            if (r.left >= r.right || r.top >= r.bottom) continue;
            xs.push_back(r.left);
            xs.push_back(r.right);
            ys.push_back(r.top);
            ys.push_back(r.bottom);
        }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    auto inside = [](const std::vector<RECT>& list, LONG x, LONG y) {
        for (const RECT& r : list)
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
        return false;
    };
    std::vector<RECT> out;
    std::vector<RECT> previousBand;
    for (std::size_t j = 0; j + 1 < ys.size(); ++j) {
        std::vector<RECT> band;
        for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
            const bool inA = inside(a, xs[i], ys[j]);
            const bool inB = inside(b, xs[i], ys[j]);
            bool keep = false;
            switch (mode) {
            case RGN_AND:
                keep = inA && inB;
                break;
            case RGN_OR:
                keep = inA || inB;
                break;
            case RGN_XOR:
                keep = inA != inB;
                break;
            case RGN_DIFF:
                keep = inA && !inB;
                break;
            default:
                keep = inA;
                break;
            }
            if (!keep) continue;
            if (!band.empty() && band.back().right == xs[i])
                band.back().right = xs[i + 1];
            else
                band.push_back(RECT{xs[i], ys[j], xs[i + 1], ys[j + 1]});
        }
        // A band identical in its x extents to the one above continues those rectangles.
        bool same = band.size() == previousBand.size() && !band.empty();
        for (std::size_t k = 0; same && k < band.size(); ++k)
            same = band[k].left == previousBand[k].left && band[k].right == previousBand[k].right &&
                   previousBand[k].bottom == band[k].top;
        if (same) {
            for (std::size_t k = 0; k < band.size(); ++k)
                out[out.size() - band.size() + k].bottom = band[k].bottom;
            for (auto& r : previousBand) r.bottom = band.front().bottom;
        } else {
            out.insert(out.end(), band.begin(), band.end());
            previousBand = band;
        }
    }
    return out;
}

// ---- device context ----

DeviceContext::DeviceContext(Type type) : m_type(type) {}

DeviceContext::~DeviceContext() {
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) ReleaseState(*it);
    m_saved.clear();
    ReleaseState(m_state);
}

void DeviceContext::Hold(GdiObject* object) {
    if (!object) return;
    ObjectTable::AddRef(object);
    // The stock 1 x 1 bitmap sits in every new memory DC; only real bitmaps are tied to one DC.
    if (auto* bitmap = dynamic_cast<Bitmap*>(object); bitmap && !bitmap->IsStock())
        bitmap->m_selectedInto = this;
}

void DeviceContext::Release(GdiObject* object) {
    if (!object) return;
    if (auto* bitmap = dynamic_cast<Bitmap*>(object); bitmap && !bitmap->IsStock()) {
        if (ObjectTable::Refs(bitmap) <= 1) bitmap->m_selectedInto = nullptr;
    }
    ObjectTable::DropRef(object);
}

void DeviceContext::HoldState(const State& state) {
    Hold(state.bitmap);
    Hold(state.pen);
    Hold(state.brush);
    Hold(state.font);
}

void DeviceContext::ReleaseState(const State& state) {
    Release(state.bitmap);
    Release(state.pen);
    Release(state.brush);
    Release(state.font);
}

GdiObject* DeviceContext::Select(GdiObject* object) {
    GdiObject* previous = nullptr;
    if (auto* bitmap = dynamic_cast<Bitmap*>(object)) {
        if (m_type != Type::Memory) return nullptr;
        // A bitmap lives in one device context at a time.
        if (bitmap->m_selectedInto && bitmap->m_selectedInto != this) return nullptr;
        previous = m_state.bitmap;
        Hold(bitmap);
        m_state.bitmap = bitmap;
    } else if (auto* pen = dynamic_cast<Pen*>(object)) {
        previous = m_state.pen;
        Hold(pen);
        m_state.pen = pen;
    } else if (auto* brush = dynamic_cast<Brush*>(object)) {
        previous = m_state.brush;
        Hold(brush);
        m_state.brush = brush;
    } else if (auto* font = dynamic_cast<Font*>(object)) {
        previous = m_state.font;
        Hold(font);
        m_state.font = font;
    } else {
        return nullptr;
    }
    // The caller gets the previous object back; it stays alive while the handle is returned
    // unless DeleteObject was already asked for it.
    Release(previous);
    return previous && ObjectTable::Contains(previous, ObjectTable::Tag::Object) ? previous : nullptr;
}

int DeviceContext::Save() {
    HoldState(m_state);
    m_saved.push_back(m_state);
    return static_cast<int>(m_saved.size());
}

bool DeviceContext::Restore(int level) {
    const int count = static_cast<int>(m_saved.size());
    const int target = level < 0 ? count + level + 1 : level;
    if (target < 1 || target > count) return false;
    // Drop the later saves, then make the target the current state.
    while (static_cast<int>(m_saved.size()) > target) {
        ReleaseState(m_saved.back());
        m_saved.pop_back();
    }
    State restored = m_saved.back();
    m_saved.pop_back();
    ReleaseState(m_state);
    m_state = restored; // the saved references move to the current state
    return true;
}

std::vector<RECT> DeviceContext::ClipRects() const {
    std::vector<RECT> out;
    const Bitmap* bitmap = m_state.bitmap;
    if (!bitmap) return out;
    const RECT bounds{0, 0, bitmap->Width(), bitmap->Height()};
    if (!m_state.clip) {
        out.push_back(bounds);
        return out;
    }
    for (const RECT& r : *m_state.clip) {
        RECT c{std::max(r.left, bounds.left), std::max(r.top, bounds.top), std::min(r.right, bounds.right),
               std::min(r.bottom, bounds.bottom)};
        if (c.left < c.right && c.top < c.bottom) out.push_back(c);
    }
    return out;
}

} // namespace gdi
