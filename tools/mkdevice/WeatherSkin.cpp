#include "tools/mkdevice/WeatherSkin.h"

#include "platform/base/Text.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/PngDib.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>

namespace mkdev {

namespace {

// The colour around shapes: symbols are drawn with their corner colour left out.
constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kSea = RGB(182, 212, 236);
constexpr COLORREF kCoast = RGB(70, 90, 110);
constexpr COLORREF kInk = RGB(30, 30, 30);

class Canvas {
public:
    Canvas(int w, int h) : w(w), h(h) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, w, h);
        if (!dc || !bitmap) throw std::runtime_error("cannot make a drawing surface");
        old = SelectObject(dc, bitmap);
        SetBkMode(dc, TRANSPARENT);
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void Fill(RECT r, COLORREF c) {
        HBRUSH b = CreateSolidBrush(c);
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
    void Shape(const std::vector<POINT>& p, COLORREF fill, COLORREF line) {
        HBRUSH b = CreateSolidBrush(fill);
        HPEN pen = CreatePen(PS_SOLID, 1, line);
        HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, pen);
        Polygon(dc, p.data(), static_cast<int>(p.size()));
        SelectObject(dc, ob);
        SelectObject(dc, op);
        DeleteObject(b);
        DeleteObject(pen);
    }
    void Disc(int l, int t, int r, int b, COLORREF fill, COLORREF line) {
        HBRUSH br = CreateSolidBrush(fill);
        HPEN pen = CreatePen(PS_SOLID, 1, line);
        HGDIOBJ ob = SelectObject(dc, br), op = SelectObject(dc, pen);
        Ellipse(dc, l, t, r, b);
        SelectObject(dc, ob);
        SelectObject(dc, op);
        DeleteObject(br);
        DeleteObject(pen);
    }
    void Line(const std::vector<POINT>& p, COLORREF c, int width = 1) {
        HPEN pen = CreatePen(PS_SOLID, width, c);
        HGDIOBJ op = SelectObject(dc, pen);
        Polyline(dc, p.data(), static_cast<int>(p.size()));
        SelectObject(dc, op);
        DeleteObject(pen);
    }
    void Text(const std::u16string& text, RECT r, COLORREF c, int pixels, bool bold = false) {
        HFONT font = CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, HANGEUL_CHARSET, 0, 0,
                                 ANTIALIASED_QUALITY, 0, u"NORMAL");
        HGDIOBJ of = SelectObject(dc, font);
        SetTextColor(dc, c);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
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

    std::vector<std::uint8_t> Png() const {
        GdiDibImage image;
        image.width = w;
        image.height = h;
        image.bitCount = 24;
        image.bits.assign(DibRowBytes(24, w) * h, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                BYTE* p = image.bits.data() + static_cast<std::size_t>(h - 1 - y) * image.RowBytes() + x * 3;
                const COLORREF c = At(x, y);
                p[0] = GetBValue(c);
                p[1] = GetGValue(c);
                p[2] = GetRValue(c);
            }
        std::vector<BYTE> png;
        std::string error;
        if (!GdiEncodePngDib(image, png, &error)) throw std::runtime_error("weather image: " + error);
        return std::vector<std::uint8_t>(png.begin(), png.end());
    }

    int w, h;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
};

// A square part of an icon: unit coordinates (0-1) to pixels.
struct Box {
    double x, y, s;
    int X(double u) const { return static_cast<int>(std::lround(x + u * s)); }
    int Y(double v) const { return static_cast<int>(std::lround(y + v * s)); }
    POINT P(double u, double v) const { return POINT{X(u), Y(v)}; }
};

constexpr COLORREF kSun = RGB(250, 190, 20);
constexpr COLORREF kSunEdge = RGB(210, 110, 0);
constexpr COLORREF kCloud = RGB(245, 245, 245);
constexpr COLORREF kCloudEdge = RGB(110, 110, 120);
constexpr COLORREF kGrey = RGB(150, 150, 160);
constexpr COLORREF kRain = RGB(30, 90, 220);
constexpr COLORREF kSnow = RGB(90, 170, 255);

void Sun(Canvas& c, const Box& b, double scale = 1.0) {
    const double r = 0.26 * scale, cx = 0.5 * (scale < 1 ? scale : 1), cy = cx;
    for (int i = 0; i < 8; ++i) {
        const double a = i * 3.14159265358979 / 4;
        c.Line({b.P(cx + std::cos(a) * (r + 0.04), cy + std::sin(a) * (r + 0.04)),
                b.P(cx + std::cos(a) * (r + 0.16 * scale), cy + std::sin(a) * (r + 0.16 * scale))},
               kSunEdge);
    }
    c.Disc(b.X(cx - r), b.Y(cy - r), b.X(cx + r) + 1, b.Y(cy + r) + 1, kSun, kSunEdge);
}

void Cloud(Canvas& c, const Box& b, COLORREF fill, double top = 0.3, double left = 0.08, double width = 0.84) {
    const double h = 0.36;
    c.Disc(b.X(left + width * 0.25), b.Y(top), b.X(left + width * 0.75), b.Y(top + h * 0.9), fill, kCloudEdge);
    c.Disc(b.X(left), b.Y(top + h * 0.35), b.X(left + width * 0.55), b.Y(top + h * 1.1), fill, kCloudEdge);
    c.Disc(b.X(left + width * 0.45), b.Y(top + h * 0.3), b.X(left + width), b.Y(top + h * 1.1), fill, kCloudEdge);
    // The flat underside.
    c.Fill(RECT{b.X(left + width * 0.18), b.Y(top + h * 0.5), b.X(left + width * 0.82), b.Y(top + h * 1.05)}, fill);
    c.Line({b.P(left + width * 0.18, top + h * 1.08), b.P(left + width * 0.82, top + h * 1.08)}, kCloudEdge);
}

void Drops(Canvas& c, const Box& b, int count, double length) {
    for (int i = 0; i < count; ++i) {
        const double u = 0.22 + i * (0.56 / std::max(1, count - 1));
        c.Line({b.P(u + 0.06, 0.72), b.P(u + 0.06 - length * 0.4, 0.72 + length)}, kRain, 2);
    }
}

void Flakes(Canvas& c, const Box& b, int count) {
    for (int i = 0; i < count; ++i) {
        const double u = 0.25 + i * (0.5 / std::max(1, count - 1)), v = 0.84;
        c.Line({b.P(u - 0.09, v), b.P(u + 0.09, v)}, kSnow);
        c.Line({b.P(u, v - 0.1), b.P(u, v + 0.1)}, kSnow);
        c.Line({b.P(u - 0.07, v - 0.07), b.P(u + 0.07, v + 0.07)}, kSnow);
        c.Line({b.P(u - 0.07, v + 0.07), b.P(u + 0.07, v - 0.07)}, kSnow);
    }
}

void Bolt(Canvas& c, const Box& b) {
    c.Shape({b.P(0.55, 0.45), b.P(0.35, 0.75), b.P(0.5, 0.75), b.P(0.4, 1.0), b.P(0.7, 0.66), b.P(0.55, 0.66),
             b.P(0.66, 0.45)},
            kSun, kSunEdge);
}

void DrawPart(Canvas& c, const Box& b, const std::string& part) {
    std::istringstream in(part);
    std::string item;
    while (std::getline(in, item, '+')) {
        if (item == "sun") Sun(c, b);
        else if (item == "smallsun") Sun(c, b, 0.7);
        else if (item == "cloud") Cloud(c, b, kCloud);
        else if (item == "few") Cloud(c, b, kCloud, 0.5, 0.38, 0.6);
        else if (item == "grey") Cloud(c, b, kGrey);
        else if (item == "rain") {
            Cloud(c, b, kGrey, 0.15);
            Drops(c, b, 3, 0.22);
        } else if (item == "drizzle") {
            Cloud(c, b, kCloud, 0.15);
            Drops(c, b, 4, 0.1);
        } else if (item == "drops") Drops(c, b, 2, 0.2);
        else if (item == "snow") {
            Cloud(c, b, kCloud, 0.1);
            Flakes(c, b, 3);
        } else if (item == "flakes") Flakes(c, b, 2);
        else if (item == "sleet" || item == "sleet2") {
            Cloud(c, b, kGrey, 0.15);
            Box left{b.x - b.s * 0.15, b.y, b.s}, right{b.x + b.s * 0.2, b.y, b.s};
            if (item == "sleet") {
                Drops(c, left, 1, 0.2);
                Flakes(c, right, 1);
            } else {
                Flakes(c, left, 1);
                Drops(c, right, 1, 0.2);
            }
        } else if (item == "hail") {
            Cloud(c, b, kGrey, 0.15);
            for (double u : {0.3, 0.5, 0.7}) c.Disc(b.X(u - 0.08), b.Y(0.72), b.X(u + 0.08), b.Y(0.88), kCloud, kRain);
        } else if (item == "bolt") Bolt(c, b);
        else if (item == "bigbolt") Bolt(c, Box{b.x - b.s * 0.45, b.y - b.s * 0.85, b.s * 1.8});
        else if (item == "fog") {
            for (double v : {0.3, 0.45, 0.6, 0.75}) c.Line({b.P(0.12, v), b.P(0.88, v)}, kGrey, 2);
        } else if (item == "dust") {
            c.Disc(b.X(0.1), b.Y(0.1), b.X(0.9), b.Y(0.9), RGB(214, 176, 110), RGB(150, 110, 50));
            for (double u : {0.3, 0.5, 0.7})
                for (double v : {0.35, 0.6}) c.Disc(b.X(u - 0.05), b.Y(v - 0.05), b.X(u + 0.05), b.Y(v + 0.05), RGB(150, 110, 50), RGB(150, 110, 50));
        } else if (item == "whirl") {
            c.Shape({b.P(0.1, 0.12), b.P(0.9, 0.12), b.P(0.6, 0.5), b.P(0.52, 0.92), b.P(0.46, 0.92), b.P(0.4, 0.5)},
                    kGrey, kCloudEdge);
            for (double v : {0.25, 0.4}) c.Line({b.P(0.25, v), b.P(0.75, v)}, kCloudEdge);
        } else if (item == "wind") {
            for (double v : {0.78, 0.9}) c.Line({b.P(0.1, v), b.P(0.7, v), b.P(0.85, v - 0.08)}, kCloudEdge, 1);
        } else if (item == "mountain") {
            c.Shape({b.P(0.05, 0.95), b.P(0.45, 0.45), b.P(0.85, 0.95)}, RGB(80, 140, 80), RGB(40, 90, 40));
            c.Shape({b.P(0.35, 0.58), b.P(0.45, 0.45), b.P(0.55, 0.58)}, RGB(250, 250, 250), RGB(40, 90, 40));
        } else if (item == "unknown") {
            c.Disc(b.X(0.1), b.Y(0.1), b.X(0.9), b.Y(0.9), RGB(200, 200, 200), RGB(120, 120, 120));
            c.Text(u"?", RECT{b.X(0), b.Y(0), b.X(1), b.Y(1)}, RGB(80, 80, 80), 16, true);
        } else {
            throw std::runtime_error("unknown weather symbol " + item);
        }
    }
}

// "a" draws one symbol over the whole icon, "a>b" the first state small at the top left and the
// next at the bottom right; parts overlay their symbols joined by '+'.
std::vector<std::uint8_t> Icon(const std::string& spec) {
    Canvas c(24, 24);
    c.Fill(RECT{0, 0, 24, 24}, kKey);
    const std::size_t then = spec.find('>');
    if (then == std::string::npos) {
        DrawPart(c, Box{0, 0, 23}, spec);
    } else {
        DrawPart(c, Box{0, 0, 14}, spec.substr(0, then));
        c.Line({POINT{12, 12}, POINT{15, 15}}, kCloudEdge);
        DrawPart(c, Box{9, 9, 14}, spec.substr(then + 1));
    }
    c.Set(0, 0, kKey);
    return c.Png();
}

// A plate under the white values: rounded, the corners left out.
std::vector<std::uint8_t> Plate(int w, int h, const std::vector<std::pair<int, COLORREF>>& bands) {
    Canvas c(w, h);
    c.Fill(RECT{0, 0, w, h}, kKey);
    int top = 0;
    for (const auto& [height, colour] : bands) {
        c.Fill(RECT{0, top, w, top + height}, colour);
        top += height;
    }
    for (int i = 0; i < 2; ++i) {
        c.Set(i, 0, kKey), c.Set(0, i, kKey), c.Set(w - 1 - i, 0, kKey), c.Set(w - 1, i, kKey);
        c.Set(i, h - 1, kKey), c.Set(0, h - 1 - i, kKey), c.Set(w - 1 - i, h - 1, kKey), c.Set(w - 1, h - 1 - i, kKey);
    }
    return c.Png();
}

// A legend: labelled rows in the plates' colours.
std::vector<std::uint8_t> Legend(const std::vector<std::pair<std::u16string, COLORREF>>& rows) {
    const int w = 30, rowH = 15, h = 2 + rowH * static_cast<int>(rows.size());
    Canvas c(w, h);
    c.Fill(RECT{0, 0, w, h}, kKey);
    c.Fill(RECT{0, 0, w, h}, RGB(250, 250, 240));
    int y = 1;
    for (const auto& [label, colour] : rows) {
        c.Fill(RECT{1, y, w - 1, y + rowH - 1}, colour);
        c.Text(label, RECT{1, y, w - 1, y + rowH - 1}, RGB(255, 255, 255), 10);
        y += rowH;
    }
    c.Set(0, 0, kKey);
    return c.Png();
}

// A rain or snow mark beside the precipitation values.
std::vector<std::uint8_t> Mark(bool snow) {
    Canvas c(12, 14);
    c.Fill(RECT{0, 0, 12, 14}, kKey);
    if (snow) {
        Flakes(c, Box{-3, -5, 18}, 1);
        Box b{0, 0, 12};
        c.Line({b.P(0.5, 0.15), b.P(0.5, 0.95)}, kSnow);
    } else {
        c.Shape({POINT{6, 1}, POINT{10, 8}, POINT{9, 11}, POINT{6, 12}, POINT{3, 11}, POINT{2, 8}}, kRain, kRain);
    }
    c.Set(0, 0, kKey);
    return c.Png();
}

constexpr COLORREF kMaxColour = RGB(200, 60, 40);
constexpr COLORREF kMinColour = RGB(40, 80, 200);
constexpr COLORREF kNowColour = RGB(190, 100, 20);
constexpr COLORREF kRainColour = RGB(20, 100, 140);

// Region tints, one per region of a map.
const COLORREF kTints[] = {RGB(200, 230, 170), RGB(250, 220, 160), RGB(210, 200, 240), RGB(250, 200, 200),
                           RGB(180, 225, 225), RGB(240, 240, 170), RGB(220, 190, 160), RGB(190, 210, 250),
                           RGB(240, 200, 235), RGB(170, 215, 190), RGB(230, 215, 200), RGB(205, 235, 205)};

double SquareDistance(int px, int py, const WeatherMapSpot& s) {
    const int dx = px < s.x ? s.x - px : px >= s.x + 24 ? px - (s.x + 23) : 0;
    const int dy = py < s.y ? s.y - py : py >= s.y + 24 ? py - (s.y + 23) : 0;
    return std::sqrt(static_cast<double>(dx * dx + dy * dy));
}

bool Meets(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The mainland of the country maps; the islands sit in boxes of their own on the right.
const std::vector<POINT> kMainland = {{20, 30},  {60, 8},   {110, 2},  {150, 4},  {168, 40}, {169, 90},  {165, 140},
                                      {158, 185}, {120, 198}, {70, 200}, {20, 196}, {10, 160}, {22, 120}, {12, 90},
                                      {18, 60}};

std::vector<std::uint8_t> Map(const WeatherMapLayout& m) {
    const int W = kWeatherMapWidth, H = kWeatherMapHeight;
    Canvas c(W, H);
    c.Fill(RECT{0, 0, W, H}, kSea);
    // Land: the mainland outline or a rounded block around a region's places, and island boxes.
    Canvas mask(W, H);
    mask.Fill(RECT{0, 0, W, H}, RGB(0, 0, 0));
    if (!m.regionMap) {
        mask.Shape(kMainland, RGB(255, 255, 255), RGB(255, 255, 255));
    } else {
        int l = W, t = H, r = 0, b = 0;
        for (const WeatherMapSpot& s : m.spots) {
            l = std::min(l, s.x), t = std::min(t, s.y), r = std::max(r, s.x + 24), b = std::max(b, s.y + 24);
        }
        l = std::max(0, l - 14), t = std::max(0, t - 12), r = std::min(W - 1, r + 14), b = std::min(H - 1, b + 14);
        const int k = std::min(28, std::min(r - l, b - t) / 3);
        mask.Shape({{l + k, t}, {r - k, t}, {r, t + k}, {r, b - k}, {r - k, b}, {l + k, b}, {l, b - k}, {l, t + k}},
                   RGB(255, 255, 255), RGB(255, 255, 255));
    }
    // Every place keeps land around its square where the outline cuts a corner.
    for (const WeatherMapSpot& s : m.spots)
        if (!s.inset) mask.Fill(RECT{std::max(0, s.x - 6), std::max(0, s.y - 6), s.x + 30, s.y + 30}, RGB(255, 255, 255));
    std::vector<int> region(static_cast<std::size_t>(W * H), -1);
    std::vector<double> distance(static_cast<std::size_t>(W * H), 1e9);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const std::size_t at = static_cast<std::size_t>(y * W + x);
            bool island = false;
            for (std::size_t i = 0; i < m.spots.size(); ++i) {
                const WeatherMapSpot& s = m.spots[i];
                if (s.inset && x >= s.x - 8 && x < s.x + 32 && y >= s.y - 9 && y < s.y + 35) {
                    region[at] = static_cast<int>(i);
                    distance[at] = SquareDistance(x, y, s);
                    island = true;
                }
            }
            if (island || mask.At(x, y) == 0) continue;
            for (std::size_t i = 0; i < m.spots.size(); ++i) {
                if (m.spots[i].inset) continue;
                const double d = SquareDistance(x, y, m.spots[i]);
                if (d < distance[at]) {
                    distance[at] = d;
                    region[at] = static_cast<int>(i);
                }
            }
        }
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const std::size_t at = static_cast<std::size_t>(y * W + x);
            const int g = region[at];
            if (g < 0) continue;
            // Borders and coasts are darkened outside the symbol squares only.
            bool edge = false;
            for (auto [dx, dy] : {std::pair{-1, 0}, std::pair{1, 0}, std::pair{0, -1}, std::pair{0, 1}}) {
                const int nx = x + dx, ny = y + dy;
                if (nx < 0 || ny < 0 || nx >= W || ny >= H) continue;
                if (region[static_cast<std::size_t>(ny * W + nx)] != g) edge = true;
            }
            c.Set(x, y, edge && distance[at] > 0 ? kCoast : kTints[static_cast<std::size_t>(g) % std::size(kTints)]);
        }
    // Names beside their squares, never over a square, the back mark, the legend or another name.
    std::vector<RECT> taken;
    for (const WeatherMapSpot& s : m.spots) taken.push_back(RECT{s.x, s.y, s.x + 24, s.y + 24});
    if (m.regionMap) taken.push_back(RECT{195, 1, 219, 33});
    else taken.push_back(RECT{186, 0, W, 48});
    for (const WeatherMapSpot& s : m.spots) {
        const int tw = 12 * static_cast<int>(std::u16string(s.name).size()) + 4;
        const RECT tries[] = {{s.x + 12 - tw / 2, s.y + 24, s.x + 12 + tw - tw / 2, s.y + 37},
                              {s.x + 12 - tw / 2, s.y - 13, s.x + 12 + tw - tw / 2, s.y},
                              {s.x + 24, s.y + 6, s.x + 24 + tw, s.y + 19},
                              {s.x - tw, s.y + 6, s.x, s.y + 19}};
        for (const RECT& r : tries) {
            if (r.left < 0 || r.top < 0 || r.right > W || r.bottom > H) continue;
            if (std::any_of(taken.begin(), taken.end(), [&](const RECT& o) { return Meets(r, o); })) continue;
            c.Text(s.name, r, kInk, 11, true);
            taken.push_back(r);
            break;
        }
    }
    if (m.title && *m.title) {
        const RECT r{2, H - 16, 110, H - 2};
        if (std::none_of(taken.begin(), taken.end(), [&](const RECT& o) { return Meets(r, o); }))
            c.Text(m.title, r, RGB(20, 50, 100), 12, true);
    }
    if (m.regionMap) {
        // The back mark: a left arrow on a dark tab.
        c.Fill(RECT{195, 1, 219, 33}, RGB(30, 78, 140));
        c.Shape({{199, 12}, {208, 4}, {208, 9}, {215, 9}, {215, 15}, {208, 15}, {208, 20}}, RGB(255, 255, 255),
                RGB(255, 255, 255));
        c.Text(u"뒤로", RECT{195, 20, 219, 33}, RGB(255, 255, 255), 10);
    }
    return c.Png();
}

struct IconSpec {
    const char16_t* name;
    const char* symbol;
};
const IconSpec kIcons[] = {
    {u"n알수없음", "unknown"},
    {u"n맑음", "sun"},
    {u"n구름", "cloud"},
    {u"n구름조금", "sun+few"},
    {u"n구름많음", "smallsun+cloud"},
    {u"n흐림", "grey"},
    {u"n안개", "fog"},
    {u"n황사", "dust"},
    {u"n이슬비", "drizzle"},
    {u"n비", "rain"},
    {u"n소나기", "smallsun+rain"},
    {u"n진눈개비", "sleet"},
    {u"n눈", "snow"},
    {u"n우박", "hail"},
    {u"n뇌우", "rain+bolt"},
    {u"n회오리바람", "whirl"},
    {u"n번개", "bigbolt"},
    {u"f맑고구름조금", "sun+few+wind"},
    {u"f맑으나때때로비", "sun+drops"},
    {u"f맑으나때때로눈", "sun+flakes"},
    {u"f맑으나산고지역에눈", "sun+mountain"},
    {u"f맑은후구름", "sun>cloud"},
    {u"f맑은후비", "sun>rain"},
    {u"f맑은후비뇌우동반", "sun>rain+bolt"},
    {u"f맑은후눈", "sun>snow"},
    {u"f구름많고때때로비", "cloud+drops"},
    {u"f구름많고때때로눈", "cloud+flakes"},
    {u"f구름낀후맑음", "cloud>sun"},
    {u"f구름낀후비", "cloud>rain"},
    {u"f구름낀후눈", "cloud>snow"},
    {u"f폭풍우", "rain+wind"},
    {u"f비눈이섞임", "rain+flakes"},
    {u"f비천둥번개동반", "grey+bolt+drops"},
    {u"f비온후개임", "rain>sun"},
    {u"f비온후구름많음", "rain>cloud"},
    {u"f비온후눈", "rain>snow"},
    {u"f눈비가섞임", "sleet2"},
    {u"f눈온후개임", "snow>sun"},
    {u"f눈온후비", "snow>rain"},
    {u"f안개낀후맑음", "fog>sun"},
};

} // namespace

const std::vector<WeatherMapLayout>& WeatherMapLayouts() {
    static const std::vector<WeatherMapLayout> kLayouts = {
        {u"현재오늘내일모레", u"",
         {{u"서울/경기", 40, 42}, {u"강원/영서", 93, 44}, {u"강원/영동", 122, 17}, {u"충남", 34, 87},
          {u"충북", 86, 87}, {u"전남", 31, 166}, {u"전북", 43, 126}, {u"경남", 121, 156}, {u"경북", 140, 88},
          {u"제주도", 178, 127, true}, {u"울릉도", 180, 66, true}},
         false},
        {u"예보", u"",
         {{u"서울경기", 39, 42}, {u"강원", 109, 7}, {u"충청", 64, 94}, {u"전라", 50, 143}, {u"경상", 131, 105},
          {u"제주", 178, 127, true}},
         false},
        {u"서울경기", u"서울/경기",
         {{u"동두천", 50, 9}, {u"서울", 89, 52}, {u"인천", 45, 70}, {u"수원", 75, 99}, {u"양평", 144, 61},
          {u"이천", 126, 102}},
         true},
        {u"영서", u"강원/영서",
         {{u"춘천", 27, 22}, {u"홍천", 36, 64}, {u"원주", 52, 105}, {u"인제", 126, 18}, {u"태백", 162, 92}},
         true},
        {u"영동", u"강원/영동", {{u"강릉", 63, 50}, {u"대관령", 79, 92}, {u"속초", 105, 12}, {u"동해", 135, 73}}, true},
        {u"충남", u"충남",
         {{u"서산", 27, 22}, {u"보령", 49, 85}, {u"부여", 97, 101}, {u"아산", 124, 6}, {u"금산", 170, 100}},
         true},
        {u"충북", u"충북",
         {{u"충주", 61, 6}, {u"제천", 125, 6}, {u"청주", 36, 52}, {u"보은", 109, 66}, {u"대전", 51, 102}},
         true},
        {u"전남", u"전남",
         {{u"무안", 65, 25}, {u"목포", 32, 60}, {u"장흥", 84, 73}, {u"광주", 110, 20}, {u"고흥", 135, 97},
          {u"여수", 170, 63}},
         true},
        {u"전북", u"전북",
         {{u"군산", 31, 6}, {u"부안", 26, 53}, {u"정읍", 57, 99}, {u"전주", 104, 32}, {u"남원", 148, 98}},
         true},
        {u"경남", u"경남",
         {{u"거창", 46, 5}, {u"남해", 40, 102}, {u"진주", 73, 68}, {u"마산", 116, 63}, {u"거제", 133, 105},
          {u"부산", 156, 63}},
         true},
        {u"경북", u"경북",
         {{u"문경", 54, 36}, {u"구미", 58, 78}, {u"대구", 99, 98}, {u"안동", 106, 39}, {u"울진", 153, 4},
          {u"포항", 159, 74}},
         true},
        {u"제주", u"제주도", {{u"제주", 92, 30}, {u"서귀포", 83, 85}, {u"성산포", 169, 48}}, true},
        {u"울릉도", u"울릉도", {{u"울릉도", 46, 55}, {u"독도", 149, 72}}, true},
    };
    return kLayouts;
}

std::vector<std::pair<std::string, std::vector<std::uint8_t>>> DrawWeatherImages() {
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> out;
    const auto add = [&](const std::u16string& name, std::vector<std::uint8_t> png) {
        out.emplace_back("Weather\\" + Utf16ToUtf8(name), std::move(png));
    };
    for (const IconSpec& i : kIcons) add(i.name, Icon(i.symbol));
    add(u"기온", Plate(32, 28, {{14, kMaxColour}, {14, kMinColour}}));
    add(u"현재기온", Plate(32, 14, {{14, kNowColour}}));
    add(u"강수", Plate(32, 28, {{14, kRainColour}, {14, RGB(20, 70, 110)}}));
    add(u"기온정보", Legend({{u"최고", kMaxColour}, {u"최저", kMinColour}}));
    add(u"현재기온정보", Legend({{u"현재", kNowColour}, {u"℃", kNowColour}}));
    add(u"강수정보", Legend({{u"오전", kRainColour}, {u"오후", RGB(20, 70, 110)}, {u"%", kRainColour}}));
    add(u"현재강수정보", Legend({{u"강수", kRainColour}, {u"mm", kRainColour}, {u"cm", RGB(20, 70, 110)}}));
    add(u"상비", Mark(false));
    add(u"하비", Mark(false));
    add(u"상눈", Mark(true));
    add(u"하눈", Mark(true));
    for (const WeatherMapLayout& m : WeatherMapLayouts()) add(m.image, Map(m));
    return out;
}

} // namespace mkdev
