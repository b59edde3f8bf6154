#include "tools/mkdevice/SkinStage.h"

#include "platform/base/Text.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/PngDib.h"
#include "tools/mkdevice/DeviceBuilder.h"
#include "tools/mkdevice/NetworkModel.h"
#include "tools/mkdevice/WeatherSkin.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace mkdev {

namespace {

// The colour outside the shapes: cut away when an image is drawn transparently.
constexpr COLORREF kKey = RGB(255, 0, 255);

std::vector<std::string> Split(const std::string& line, char sep) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(line);
    while (std::getline(in, part, sep)) parts.push_back(part);
    return parts;
}

COLORREF ParseColour(const std::string& text) {
    if (text.size() != 7 || text[0] != '#') throw std::runtime_error("bad colour " + text);
    const unsigned long v = std::stoul(text.substr(1), nullptr, 16);
    return RGB((v >> 16) & 255, (v >> 8) & 255, v & 255);
}

// A 32-bit drawing surface.
class Surface {
public:
    Surface(int w, int h) : w(w), h(h) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, w, h);
        if (!dc || !bitmap) throw std::runtime_error("cannot make a drawing surface");
        old = SelectObject(dc, bitmap);
        SetBkMode(dc, TRANSPARENT);
    }
    ~Surface() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void Fill(const RECT& r, COLORREF c) {
        HBRUSH brush = CreateSolidBrush(c);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    void Shape(const std::vector<POINT>& points, COLORREF c) {
        HBRUSH brush = CreateSolidBrush(c);
        HPEN pen = CreatePen(PS_SOLID, 1, c);
        HGDIOBJ ob = SelectObject(dc, brush), op = SelectObject(dc, pen);
        Polygon(dc, points.data(), static_cast<int>(points.size()));
        SelectObject(dc, ob);
        SelectObject(dc, op);
        DeleteObject(brush);
        DeleteObject(pen);
    }
    void Disc(const RECT& r, COLORREF c) {
        HBRUSH brush = CreateSolidBrush(c);
        HPEN pen = CreatePen(PS_SOLID, 1, c);
        HGDIOBJ ob = SelectObject(dc, brush), op = SelectObject(dc, pen);
        Ellipse(dc, r.left, r.top, r.right, r.bottom);
        SelectObject(dc, ob);
        SelectObject(dc, op);
        DeleteObject(brush);
        DeleteObject(pen);
    }
    void Text(const std::u16string& text, RECT r, COLORREF c, int pixels, bool bold) {
        if (text.empty()) return;
        HFONT font = CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, HANGEUL_CHARSET, 0, 0,
                                 ANTIALIASED_QUALITY, 0, u"NORMAL");
        HGDIOBJ of = SelectObject(dc, font);
        SetTextColor(dc, c);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
        SelectObject(dc, of);
        DeleteObject(font);
    }
    // Straight from the bitmap inside it: GetPixel works out the DC's clipping on every call, and
    // the surface has no origin or clipping of its own, so the two agree there.
    COLORREF At(int x, int y) const {
        if (bitmap->Contains(x, y)) return bitmap->GetColor(x, y) & 0xFFFFFF;
        return GetPixel(dc, x, y) & 0xFFFFFF;
    }
    void Set(int x, int y, COLORREF c) { SetPixel(dc, x, y, c); }

    int w, h;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
};

std::vector<POINT> Chamfered(int w, int h, int c) {
    return {{c, 0}, {w - 1 - c, 0}, {w - 1, c}, {w - 1, h - 1 - c}, {w - 1 - c, h - 1},
            {c, h - 1}, {0, h - 1 - c}, {0, c}};
}

int CaptionPixels(const SkinImageSpec& s, int box) {
    const int len = std::max<int>(1, static_cast<int>(s.caption.size()));
    const int byWidth = (s.width - 2) / len;
    return std::clamp(std::min(box - 3, byWidth + 1), 8, 14);
}

// Latin captions run narrower than Hangul: give them the room by height.
int LatinAware(const SkinImageSpec& s, int pixels, int box) {
    const bool latin = std::all_of(s.caption.begin(), s.caption.end(), [](char16_t c) { return c < 0x80; });
    return latin ? std::clamp(box - 6, 8, 14) : pixels;
}

// The angle of the "arrow-N" and "ring-N" styles, -1 for the other styles.
double AngleOf(const std::string& style) {
    for (const char* prefix : {"arrow-", "ring-"}) {
        const std::string p(prefix);
        if (style.rfind(p, 0) != 0 || style.size() == p.size()) continue;
        const std::string digits = style.substr(p.size());
        if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
            digits.size() > 3)
            return -1;
        return std::stoi(digits);
    }
    return -1;
}

void DrawShape(Surface& sf, const SkinImageSpec& s) {
    const int w = s.width, h = s.height;
    const RECT all{0, 0, w, h};
    const std::string& st = s.style;
    if (st == "opaque") {
        sf.Fill(all, s.fill);
        sf.Text(s.caption, all, s.ink, std::min(13, h - 8), false);
        // A transparent drawing cuts only this one pixel.
        sf.Set(0, 0, RGB(std::min(255, GetRValue(s.fill) + 1), GetGValue(s.fill), GetBValue(s.fill)));
    } else if (st == "strip1") {
        // A frame side drawn as it is, without a transparent colour: the whole rectangle.
        sf.Fill(all, s.fill);
    } else if (st.rfind("corner-", 0) == 0) {
        sf.Fill(all, s.ink); // outside the rounding: the page
        // A disc twice the corner's size whose centre is the corner's inner point.
        const std::string where = st.substr(7);
        const bool left = where[0] == 'l', top = where[1] == 't';
        const RECT disc{left ? 0 : -w, top ? 0 : -h, left ? 2 * w : w, top ? 2 * h : h};
        sf.Disc(disc, s.fill);
        sf.Set(0, 0, kKey); // the transparent colour of the corner: under it lies the frame's fill
    } else if (st == "pin") {
        sf.Fill(all, kKey);
        sf.Shape({{2, w / 2 + 2}, {w - 3, w / 2 + 2}, {w / 2, h - 1}}, s.fill);
        sf.Disc(RECT{0, 0, w, w}, s.fill);
        sf.Text(s.caption, RECT{0, 0, w, w}, s.ink, 11, true);
    } else if (st == "body" || st == "pal8t" || st == "pal4" || st == "pal1") {
        sf.Fill(all, kKey);
        const bool sign = h > w + 4; // a landmark: a sign on a short post
        const int bodyH = sign ? w : h;
        const int c = std::max(1, std::min(w, bodyH) / 5);
        std::vector<POINT> body = Chamfered(w, bodyH, c);
        sf.Shape(body, s.fill);
        if (sign) sf.Shape({{w / 2 - 2, bodyH - 1}, {w / 2 + 1, bodyH - 1}, {w / 2, h - 1}}, s.fill);
        if (s.caption != u"-") {
            const int px = LatinAware(s, CaptionPixels(s, bodyH), bodyH);
            sf.Text(s.caption, RECT{0, 0, w, bodyH}, s.ink, px, w <= 24);
        }
    } else if (AngleOf(st) >= 0) {
        // A marker turned by the angle (degrees clockwise from north) about the image's centre:
        // an arrow, or a ring with a dot on it.
        sf.Fill(all, kKey);
        const double a = AngleOf(st) * 3.14159265358979 / 180;
        // A caption takes the bottom 14 rows; the marker turns in the square above it.
        const int markH = s.caption.empty() ? h : h - 14;
        const double cx = (w - 1) / 2.0, cy = (markH - 1) / 2.0, r = std::min(w, markH) / 2.0 - 1;
        const auto turn = [&](double x, double y) {
            return POINT{static_cast<LONG>(std::lround(cx + x * std::cos(a) - y * std::sin(a))),
                         static_cast<LONG>(std::lround(cy + x * std::sin(a) + y * std::cos(a)))};
        };
        if (st.rfind("ring-", 0) == 0) {
            sf.Disc(RECT{0, 0, w, h}, s.fill);
            sf.Disc(RECT{3, 3, w - 3, h - 3}, kKey);
            const POINT dot = turn(0, -r + 1);
            sf.Disc(RECT{dot.x - 3, dot.y - 3, dot.x + 4, dot.y + 4}, s.ink);
        } else {
            sf.Shape({turn(0, -r), turn(r * 0.7, r * 0.8), turn(0, r * 0.35), turn(-r * 0.7, r * 0.8)}, s.fill);
            sf.Shape({turn(0, -r), turn(0, r * 0.35), turn(-r * 0.7, r * 0.8)}, s.ink);
        }
        if (!s.caption.empty()) sf.Text(s.caption, RECT{0, h - 14, w, h}, s.ink, 12, true);
    } else {
        throw std::runtime_error("unknown style " + st);
    }
}

GdiDibImage ToDib(const Surface& sf, int bitCount) {
    GdiDibImage image;
    image.width = sf.w;
    image.height = sf.h;
    image.bitCount = bitCount;
    image.bits.assign(DibRowBytes(bitCount, sf.w) * sf.h, 0);
    return image;
}

void PutIndex(GdiDibImage& image, int x, int y, int index) {
    BYTE* row = image.bits.data() + static_cast<std::size_t>(image.height - 1 - y) * image.RowBytes();
    if (image.bitCount == 8) row[x] = static_cast<BYTE>(index);
    else if (image.bitCount == 4) row[x / 2] |= static_cast<BYTE>(index << (x % 2 ? 0 : 4));
    else row[x / 8] |= static_cast<BYTE>(index << (7 - x % 8));
}

long Distance(COLORREF a, COLORREF b) {
    const long dr = GetRValue(a) - GetRValue(b), dg = GetGValue(a) - GetGValue(b), db = GetBValue(a) - GetBValue(b);
    return dr * dr + dg * dg + db * db;
}

// A palette image: entry 0 the key (transparent in tRNS for 8 bits), then the colours drawn.
GdiDibImage Quantise(const Surface& sf, const SkinImageSpec& s, int bitCount) {
    GdiDibImage image = ToDib(sf, bitCount);
    const int size = 1 << bitCount;
    std::vector<COLORREF> palette{kKey};
    if (bitCount == 8) {
        std::map<COLORREF, int> counts;
        for (int y = 0; y < sf.h; ++y)
            for (int x = 0; x < sf.w; ++x)
                if (sf.At(x, y) != kKey) ++counts[sf.At(x, y)];
        std::vector<std::pair<int, COLORREF>> byCount;
        for (auto [c, n] : counts) byCount.push_back({-n, c});
        std::sort(byCount.begin(), byCount.end());
        for (auto [n, c] : byCount)
            if (static_cast<int>(palette.size()) < size) palette.push_back(c);
        image.transparentCount = 1;
    } else if (bitCount == 4) {
        // A ramp from the fill to the caption colour.
        for (int i = 0; i < 15; ++i) {
            const auto mix = [&](int a, int b) { return (a * (14 - i) + b * i + 7) / 14; };
            palette.push_back(RGB(mix(GetRValue(s.fill), GetRValue(s.ink)), mix(GetGValue(s.fill), GetGValue(s.ink)),
                                  mix(GetBValue(s.fill), GetBValue(s.ink))));
        }
    } else {
        palette = {kKey, s.fill};
    }
    palette.resize(size, RGB(0, 0, 0));
    for (int i = 0; i < size; ++i)
        image.palette.push_back(RGBQUAD{GetBValue(palette[i]), GetGValue(palette[i]), GetRValue(palette[i]), 0});
    for (int y = 0; y < sf.h; ++y)
        for (int x = 0; x < sf.w; ++x) {
            const COLORREF c = sf.At(x, y);
            int best = 0;
            if (c != kKey) {
                long bestD = -1;
                for (int i = 1; i < size; ++i) {
                    const long d = Distance(c, palette[i]);
                    if (bestD < 0 || d < bestD) {
                        bestD = d;
                        best = i;
                    }
                }
            }
            PutIndex(image, x, y, best);
        }
    return image;
}

GdiDibImage TrueColour(const Surface& sf) {
    GdiDibImage image = ToDib(sf, 24);
    for (int y = 0; y < sf.h; ++y)
        for (int x = 0; x < sf.w; ++x) {
            BYTE* p = image.bits.data() + static_cast<std::size_t>(sf.h - 1 - y) * image.RowBytes() + x * 3;
            const COLORREF c = sf.At(x, y);
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    return image;
}

void Le(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

} // namespace

std::vector<SkinImageSpec> ReadSkinManifest(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::vector<SkinImageSpec> specs;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> f = Split(line, '|');
        try {
            if (f.size() != 6) throw std::runtime_error("six fields expected");
            SkinImageSpec s;
            s.name = f[0];
            const std::size_t x = f[1].find('x');
            if (x == std::string::npos) throw std::runtime_error("size is WxH");
            s.width = std::stoi(f[1].substr(0, x));
            s.height = std::stoi(f[1].substr(x + 1));
            if (s.width < 1 || s.height < 1 || s.width > 320 || s.height > 320) throw std::runtime_error("bad size");
            s.style = f[2];
            s.caption = f[3] == "-" ? u"" : Utf8ToUtf16(f[3]);
            s.fill = ParseColour(f[4]);
            s.ink = ParseColour(f[5]);
            if (Utf8ToCp949(s.name).size() > 255) throw std::runtime_error("name too long");
            specs.push_back(std::move(s));
        } catch (const std::exception& e) {
            throw std::runtime_error(path + ":" + std::to_string(number) + ": " + e.what());
        }
    }
    return specs;
}

std::vector<std::uint8_t> DrawSkinImage(const SkinImageSpec& spec) {
    Surface sf(spec.width, spec.height);
    DrawShape(sf, spec);
    GdiDibImage image;
    if (spec.style == "pal8t" || AngleOf(spec.style) >= 0) image = Quantise(sf, spec, 8);
    else if (spec.style == "pal4") image = Quantise(sf, spec, 4);
    else if (spec.style == "pal1" || spec.style == "strip1") image = Quantise(sf, spec, 1);
    else image = TrueColour(sf);
    std::vector<BYTE> png;
    std::string error;
    if (!GdiEncodePngDib(image, png, &error)) throw std::runtime_error(spec.name + ": " + error);
    return std::vector<std::uint8_t>(png.begin(), png.end());
}

std::vector<std::uint8_t> PackSkinArchive(
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& images) {
    if (images.size() > 32767) throw std::runtime_error("too many skin images");
    std::vector<std::uint8_t> out;
    Le(out, 0, 4);
    Le(out, 0, 2);
    Le(out, static_cast<std::uint32_t>(images.size()), 2);
    Le(out, 0, 2);
    std::uint64_t at = 10 + 264ull * images.size();
    for (const auto& [name, png] : images) {
        std::string cp949 = Utf8ToCp949(name);
        if (cp949.empty() || cp949.size() > 255) throw std::runtime_error("bad skin name " + name);
        cp949.resize(256, '\0');
        out.insert(out.end(), cp949.begin(), cp949.end());
        Le(out, static_cast<std::uint32_t>(at), 4);
        Le(out, static_cast<std::uint32_t>(png.size()), 4);
        at += png.size();
        if (at > 0xFFFFFFFFull) throw std::runtime_error("skin archive too large");
    }
    for (const auto& [name, png] : images) out.insert(out.end(), png.begin(), png.end());
    return out;
}

std::vector<std::uint8_t> ClickWav() {
    constexpr int kRate = 22050;
    constexpr int kSamples = kRate * 40 / 1000; // 882
    std::vector<std::uint8_t> out{'R', 'I', 'F', 'F'};
    Le(out, 36 + kSamples * 2, 4);
    for (char c : std::string("WAVEfmt ")) out.push_back(static_cast<std::uint8_t>(c));
    Le(out, 16, 4);
    Le(out, 1, 2); // PCM
    Le(out, 1, 2); // mono
    Le(out, kRate, 4);
    Le(out, kRate * 2, 4);
    Le(out, 2, 2);
    Le(out, 16, 2);
    for (char c : std::string("data")) out.push_back(static_cast<std::uint8_t>(c));
    Le(out, kSamples * 2, 4);
    for (int i = 0; i < kSamples; ++i) {
        // A 2 kHz tick that dies away within the 40 ms.
        const double t = static_cast<double>(i) / kRate;
        const double v = std::sin(2 * 3.14159265358979 * 2000 * t) * std::exp(-t * 150) * 12000;
        Le(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v))), 2);
    }
    return out;
}

SkinSummary BuildSkinStage(const DeviceLayout& layout, const std::string& manifestDir) {
    std::vector<std::string> manifests;
    for (const auto& entry : std::filesystem::directory_iterator(manifestDir))
        if (entry.path().extension() == ".txt") manifests.push_back(entry.path().string());
    std::sort(manifests.begin(), manifests.end());
    if (manifests.empty()) throw std::runtime_error("no skin manifests in " + manifestDir);
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> images;
    std::map<std::string, std::string> seen;
    for (const std::string& path : manifests) {
        for (const SkinImageSpec& spec : ReadSkinManifest(path)) {
            if (!seen.emplace(spec.name, path).second)
                throw std::runtime_error("skin image " + spec.name + " twice (" + seen[spec.name] + ", " + path + ")");
            images.emplace_back(spec.name, DrawSkinImage(spec));
        }
    }
    for (auto& [name, png] : DrawWeatherImages()) {
        if (!seen.emplace(name, "the weather group").second) throw std::runtime_error("skin image " + name + " twice");
        images.emplace_back(name, std::move(png));
    }
    const std::vector<std::uint8_t> archive = PackSkinArchive(images);
    WriteFileAtomic(layout.resDir + "/ResData.bin", archive);
    WriteFileAtomic(layout.resDir + "/click.wav", ClickWav());
    return SkinSummary{static_cast<int>(images.size()), archive.size()};
}

} // namespace mkdev
