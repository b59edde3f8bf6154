// Fonts and text: faces from FreeType (NanumGothic, NanumGothicBold for bold weights, antialiased)
// or the built-in fixed font; ExtTextOut, DrawText, text extents and metrics.
#include "platform/gdi/GdiInternal.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#include <mutex>
#include <sys/stat.h>

using namespace gdi;

namespace {

std::atomic<bool> g_builtin{false};

const char* const kRegularPath = "/usr/share/fonts/truetype/nanum/NanumGothic.ttf";
const char* const kBoldPath = "/usr/share/fonts/truetype/nanum/NanumGothicBold.ttf";

bool FileExists(const char* path) {
    struct stat st;
    return ::stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

std::mutex& FreeTypeMutex() {
    static std::mutex mutex;
    return mutex;
}

FT_Library FreeTypeLibrary() {
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) return static_cast<FT_Library>(nullptr);
        return lib;
    }();
    return library;
}

// One TrueType face at one size; glyphs are rendered once and kept.
class FreeTypeFace : public FontFace {
public:
    ~FreeTypeFace() override {
        std::lock_guard lock(FreeTypeMutex());
        if (m_face) FT_Done_Face(m_face);
    }

    // height as in LOGFONT: > 0 cell height, < 0 em height, 0 the default size.
    static std::shared_ptr<FreeTypeFace> Open(const char* path, int height) {
        std::lock_guard lock(FreeTypeMutex());
        FT_Library library = FreeTypeLibrary();
        if (!library) return nullptr;
        auto face = std::shared_ptr<FreeTypeFace>(new FreeTypeFace());
        if (FT_New_Face(library, path, 0, &face->m_face) != 0) {
            face->m_face = nullptr;
            return nullptr;
        }
        FT_Face f = face->m_face;
        const double upem = f->units_per_EM > 0 ? f->units_per_EM : 1000;
        double winAscent = f->ascender, winDescent = -f->descender;
        if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2))) {
            if (os2->usWinAscent + os2->usWinDescent > 0) {
                winAscent = os2->usWinAscent;
                winDescent = os2->usWinDescent;
            }
        }
        if (winAscent + winDescent <= 0) {
            winAscent = upem * 0.8;
            winDescent = upem * 0.2;
        }
        if (height == 0) height = -12;
        height = std::clamp(height, -512, 512);
        double em;
        FontMetrics& m = face->m_metrics;
        if (height > 0) {
            em = height * upem / (winAscent + winDescent);
            m.ascent = static_cast<int>(std::lround(height * winAscent / (winAscent + winDescent)));
            m.descent = height - m.ascent;
        } else {
            em = -height;
            m.ascent = static_cast<int>(std::lround(winAscent * em / upem));
            m.descent = static_cast<int>(std::lround(winDescent * em / upem));
        }
        m.internalLeading = std::max(0, m.ascent + m.descent - static_cast<int>(std::lround(em)));
        if (FT_Set_Char_Size(f, 0, static_cast<FT_F26Dot6>(std::lround(em * 64)), 72, 72) != 0)
            return nullptr;
        m.maxCharWidth = static_cast<int>((f->size->metrics.max_advance + 63) >> 6);
        return face;
    }

    const FontMetrics& Metrics() const override { return m_metrics; }
    bool IsBuiltin() const override { return false; }

    const Glyph& GetGlyph(char32_t code) override {
        std::lock_guard lock(FreeTypeMutex());
        auto it = m_cache.find(code);
        if (it != m_cache.end()) return it->second;
        Glyph glyph;
        if (FT_Load_Char(m_face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) == 0) {
            FT_GlyphSlot slot = m_face->glyph;
            glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
            const FT_Bitmap& bm = slot->bitmap;
            if (bm.pixel_mode == FT_PIXEL_MODE_GRAY && bm.buffer && bm.width > 0 && bm.rows > 0) {
                glyph.left = slot->bitmap_left;
                glyph.top = slot->bitmap_top;
                glyph.width = static_cast<int>(bm.width);
                glyph.height = static_cast<int>(bm.rows);
                glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.height);
                const int levels = bm.num_grays > 1 ? bm.num_grays - 1 : 255;
                for (int y = 0; y < glyph.height; ++y) {
                    const unsigned char* row =
                        bm.pitch >= 0
                            ? bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch
                            : bm.buffer + static_cast<std::ptrdiff_t>(glyph.height - 1 - y) * -bm.pitch;
                    for (int x = 0; x < glyph.width; ++x)
                        glyph.coverage[static_cast<std::size_t>(y) * glyph.width + x] =
                            static_cast<BYTE>(row[x] * 255 / levels);
                }
            }
        }
        return m_cache.emplace(code, std::move(glyph)).first->second;
    }

    void SetAverageWidth(int width) { m_metrics.aveCharWidth = width; }

private:
    FreeTypeFace() = default;
    FT_Face m_face = nullptr;
    FontMetrics m_metrics;
    std::map<char32_t, Glyph> m_cache;
};

int BuiltinScale(LONG height) {
    const LONG h = height < 0 ? -height : height;
    return h < 10 ? 1 : static_cast<int>(h / 10);
}

struct Line {
    std::u32string codes;
    std::vector<int> underlined; // indexes into codes drawn with an underline (prefix '&')
};

} // namespace

void GdiUseBuiltinFont(bool on) {
    g_builtin.store(on);
}
bool GdiIsBuiltinFont() {
    return g_builtin.load();
}

namespace gdi {

std::shared_ptr<FontFace> ResolveFace(const LOGFONTW& font) {
    const bool bold = font.lfWeight >= FW_SEMIBOLD;
    if (g_builtin.load()) return BuiltinFace(BuiltinScale(font.lfHeight), bold);
    static std::mutex mutex;
    static std::map<std::pair<bool, LONG>, std::shared_ptr<FontFace>> faces;
    std::lock_guard lock(mutex);
    auto& slot = faces[{bold, font.lfHeight}];
    if (!slot) {
        const char* path = bold && FileExists(kBoldPath) ? kBoldPath : kRegularPath;
        std::shared_ptr<FreeTypeFace> face =
            FileExists(path) ? FreeTypeFace::Open(path, font.lfHeight) : nullptr;
        if (face) {
            face->SetAverageWidth(face->GetGlyph(U'x').advance);
            slot = face;
        } else {
            // Without the font package the text is still drawn, with the built-in font.
            slot = BuiltinFace(BuiltinScale(font.lfHeight), bold);
        }
    }
    return slot;
}

std::u32string ToCodePoints(const char16_t* text, int count) {
    std::u32string out;
    if (!text || count <= 0) return out;
    out.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            out.push_back(0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            out.push_back(0xFFFD);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

} // namespace gdi

namespace {

std::shared_ptr<FontFace> FaceOf(const DeviceContext& dc, const LOGFONTW** logFont = nullptr) {
    const Font* font = dc.Current().font ? dc.Current().font : DefaultFont();
    if (logFont) *logFont = &font->logFont;
    return ResolveFace(font->logFont);
}

int Advance(FontFace& face, const std::u32string& codes) {
    int width = 0;
    for (char32_t c : codes) width += face.GetGlyph(c).advance;
    return width;
}

// Draws codes with the pen starting at device x and the baseline at device y, in colour, cut to
// an optional device rectangle. dx: per-character advances (may be null).
void DrawGlyphs(Target& target, FontFace& face, int x, int baseline, const std::u32string& codes,
                COLORREF color, const RECT* clip, const int* dx, const LOGFONTW& lf,
                const std::vector<int>& underlined) {
    const FontMetrics& m = face.Metrics();
    const int lineThickness = std::max(1, (m.ascent + m.descent) / 14);
    int penX = x;
    auto fillLine = [&](int x0, int x1, int y0) {
        for (int y = y0; y < y0 + lineThickness; ++y) {
            for (int xx = x0; xx < x1; ++xx) {
                if (clip && (xx < clip->left || xx >= clip->right || y < clip->top || y >= clip->bottom))
                    continue;
                target.Plot(xx, y, color);
            }
        }
    };
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const Glyph& g = face.GetGlyph(codes[i]);
        const int gx = penX + g.left, gy = baseline - g.top;
        for (int row = 0; row < g.height; ++row) {
            const int y = gy + row;
            if (clip && (y < clip->top || y >= clip->bottom)) continue;
            const BYTE* cov = g.coverage.data() + static_cast<std::size_t>(row) * g.width;
            for (int col = 0; col < g.width; ++col) {
                if (!cov[col]) continue;
                const int xx = gx + col;
                if (clip && (xx < clip->left || xx >= clip->right)) continue;
                target.Blend(xx, y, color, cov[col]);
            }
        }
        const int advance = dx ? dx[i] : g.advance;
        if (std::find(underlined.begin(), underlined.end(), static_cast<int>(i)) != underlined.end())
            fillLine(penX, penX + advance, baseline + 1);
        penX += advance;
    }
    if (lf.lfUnderline) fillLine(x, penX, baseline + 1);
    if (lf.lfStrikeOut) fillLine(x, penX, baseline - m.ascent / 3);
}

void FillDeviceRect(Target& target, RECT r, COLORREF color) {
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    for (const RECT& c : target.clip) {
        const int x0 = std::max(r.left, c.left), x1 = std::min(r.right, c.right);
        const int y0 = std::max(r.top, c.top), y1 = std::min(r.bottom, c.bottom);
        for (int y = y0; y < y1; ++y)
            if (x0 < x1) target.bitmap->FillSpan(y, x0, x1, color);
    }
}

RECT ToDevice(const RECT& r, POINT org) {
    return RECT{r.left + org.x, r.top + org.y, r.right + org.x, r.bottom + org.y};
}

int TextLength(LPCWSTR text, int count) {
    if (!text) return 0;
    if (count >= 0) return count;
    int n = 0;
    while (text[n]) ++n;
    return n;
}

// Splits DrawText's text into lines, strips prefix marks, and wraps at spaces when asked.
std::vector<Line> LayoutLines(FontFace& face, const std::u32string& all, UINT format, int width) {
    std::vector<Line> lines(1);
    const bool prefix = !(format & DT_NOPREFIX);
    const bool single = format & DT_SINGLELINE;
    for (std::size_t i = 0; i < all.size(); ++i) {
        char32_t c = all[i];
        if (c == U'\r' || c == U'\n') {
            if (single) continue;
            if (c == U'\r' && i + 1 < all.size() && all[i + 1] == U'\n') ++i;
            lines.emplace_back();
            continue;
        }
        if (prefix && c == U'&') {
            if (i + 1 < all.size() && all[i + 1] == U'&') {
                ++i;
            } else {
                if (i + 1 < all.size())
                    lines.back().underlined.push_back(static_cast<int>(lines.back().codes.size()));
                continue;
            }
        }
        lines.back().codes.push_back(c);
    }
    if (!(format & DT_WORDBREAK) || single) return lines;
    std::vector<Line> wrapped;
    for (Line& line : lines) {
        std::u32string rest = line.codes;
        if (rest.empty()) {
            wrapped.push_back(Line{});
            continue;
        }
        while (!rest.empty()) {
            int used = 0;
            std::size_t fit = 0, lastBreak = std::u32string::npos;
            while (fit < rest.size()) {
                const int advance = face.GetGlyph(rest[fit]).advance;
                if (used + advance > width && fit > 0) break;
                if (rest[fit] == U' ') lastBreak = fit;
                used += advance;
                ++fit;
            }
            std::size_t cut = fit;
            if (fit < rest.size() && lastBreak != std::u32string::npos && lastBreak > 0) cut = lastBreak;
            Line piece;
            piece.codes = rest.substr(0, cut);
            while (!piece.codes.empty() && piece.codes.back() == U' ') piece.codes.pop_back();
            wrapped.push_back(std::move(piece));
            rest.erase(0, cut);
            while (!rest.empty() && rest.front() == U' ') rest.erase(0, 1);
        }
    }
    return wrapped;
}

} // namespace

BOOL ExtTextOutW(HDC handle, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count,
                 const int* dx) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc) return FALSE;
    if (count > 0 && !text) return FALSE;
    Target target(*dc);
    if (target.Empty()) return TRUE;
    const LOGFONTW* lf = nullptr;
    std::shared_ptr<FontFace> face = FaceOf(*dc, &lf);
    const auto& state = dc->Current();
    RECT deviceRect{};
    if (rect) {
        deviceRect = ToDevice(*rect, target.org);
        if (deviceRect.left > deviceRect.right) std::swap(deviceRect.left, deviceRect.right);
        if (deviceRect.top > deviceRect.bottom) std::swap(deviceRect.top, deviceRect.bottom);
    }
    if ((options & ETO_OPAQUE) && rect) FillDeviceRect(target, deviceRect, state.bkColor);
    const std::u32string codes = ToCodePoints(text, static_cast<int>(std::min<UINT>(count, 1u << 20)));
    if (codes.empty()) return TRUE;
    // Per-character advances come per UTF-16 unit; a surrogate pair takes the first of its two.
    std::vector<int> advances;
    if (dx) {
        for (UINT i = 0; i < count && advances.size() < codes.size(); ++i) {
            advances.push_back(dx[i]);
            if (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < count) ++i;
        }
    }
    int width = 0;
    if (dx)
        for (int a : advances) width += a;
    else
        width = Advance(*face, codes);
    const FontMetrics& m = face->Metrics();
    int left = x + target.org.x;
    if ((state.textAlign & TA_CENTER) == TA_CENTER)
        left -= width / 2;
    else if ((state.textAlign & TA_CENTER) == TA_RIGHT)
        left -= width;
    int baseline = y + target.org.y + m.ascent;
    if ((state.textAlign & TA_BASELINE) == TA_BASELINE)
        baseline = y + target.org.y;
    else if ((state.textAlign & TA_BASELINE) == TA_BOTTOM)
        baseline = y + target.org.y - m.descent;
    const RECT* clip = (options & ETO_CLIPPED) && rect ? &deviceRect : nullptr;
    if (state.bkMode == OPAQUE && !(options & ETO_OPAQUE)) {
        RECT cell{left, baseline - m.ascent, left + width, baseline + m.descent};
        if (clip) IntersectRect(&cell, &cell, clip);
        FillDeviceRect(target, cell, state.bkColor);
    }
    DrawGlyphs(target, *face, left, baseline, codes, state.textColor, clip, dx ? advances.data() : nullptr,
               *lf, {});
    return TRUE;
}

int DrawTextW(HDC handle, LPCWSTR text, int count, RECT* rect, UINT format) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc || !rect || !text) return 0;
    const int length = TextLength(text, count);
    const LOGFONTW* lf = nullptr;
    std::shared_ptr<FontFace> face = FaceOf(*dc, &lf);
    const FontMetrics& m = face->Metrics();
    const int lineHeight = m.ascent + m.descent + ((format & DT_EXTERNALLEADING) ? m.externalLeading : 0);
    const std::vector<Line> lines =
        LayoutLines(*face, ToCodePoints(text, length), format, rect->right - rect->left);
    int maxWidth = 0;
    std::vector<int> widths;
    for (const Line& line : lines) {
        widths.push_back(Advance(*face, line.codes));
        maxWidth = std::max(maxWidth, widths.back());
    }
    const int textHeight = length == 0 ? 0 : lineHeight * static_cast<int>(lines.size());
    if (format & DT_CALCRECT) {
        rect->right = rect->left + maxWidth;
        rect->bottom = rect->top + textHeight;
        return textHeight;
    }
    if (length == 0) return 0;
    int top = rect->top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            top = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            top = rect->bottom - lineHeight;
    }
    Target target(*dc);
    if (!target.Empty()) {
        const RECT deviceRect = ToDevice(*rect, target.org);
        const RECT* clip = (format & DT_NOCLIP) ? nullptr : &deviceRect;
        const auto& state = dc->Current();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            int left = rect->left;
            if (format & DT_CENTER)
                left = rect->left + (rect->right - rect->left - widths[i]) / 2;
            else if (format & DT_RIGHT)
                left = rect->right - widths[i];
            const int lineTop = top + static_cast<int>(i) * lineHeight;
            const int dLeft = left + target.org.x, dTop = lineTop + target.org.y;
            if (state.bkMode == OPAQUE) {
                RECT cell{dLeft, dTop, dLeft + widths[i], dTop + lineHeight};
                if (clip) IntersectRect(&cell, &cell, clip);
                FillDeviceRect(target, cell, state.bkColor);
            }
            DrawGlyphs(target, *face, dLeft, dTop + m.ascent, lines[i].codes, state.textColor, clip, nullptr,
                       *lf, lines[i].underlined);
        }
    }
    if (format & (DT_VCENTER | DT_BOTTOM)) return top - rect->top + textHeight;
    return textHeight;
}

BOOL GetTextExtentExPointW(HDC handle, LPCWSTR text, int count, int maxExtent, int* fit, int* dx,
                           SIZE* size) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc || count < 0 || (count > 0 && !text)) return FALSE;
    std::shared_ptr<FontFace> face = FaceOf(*dc);
    int extent = 0, fitted = 0;
    bool stopped = false;
    for (int i = 0; i < count; ++i) {
        char32_t code = text[i];
        int units = 1;
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < count && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
            units = 2;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;
        }
        extent += face->GetGlyph(code).advance;
        for (int u = 0; u < units; ++u) {
            if (dx) dx[i + u] = extent;
            if (!stopped && extent <= maxExtent) ++fitted;
        }
        if (extent > maxExtent) stopped = true;
        i += units - 1;
    }
    if (fit) *fit = fitted;
    if (size) {
        size->cx = extent;
        size->cy = face->Metrics().ascent + face->Metrics().descent;
    }
    return TRUE;
}

BOOL GetTextExtentPoint32W(HDC handle, LPCWSTR text, int count, SIZE* size) {
    return GetTextExtentExPointW(handle, text, count, 0, nullptr, nullptr, size);
}

BOOL GetTextMetricsW(HDC handle, TEXTMETRICW* tm) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc || !tm) return FALSE;
    const LOGFONTW* lf = nullptr;
    std::shared_ptr<FontFace> face = FaceOf(*dc, &lf);
    const FontMetrics& m = face->Metrics();
    *tm = TEXTMETRICW{};
    tm->tmHeight = m.ascent + m.descent;
    tm->tmAscent = m.ascent;
    tm->tmDescent = m.descent;
    tm->tmInternalLeading = m.internalLeading;
    tm->tmExternalLeading = m.externalLeading;
    tm->tmAveCharWidth = m.aveCharWidth;
    tm->tmMaxCharWidth = m.maxCharWidth;
    tm->tmWeight = lf->lfWeight ? lf->lfWeight : FW_NORMAL;
    tm->tmItalic = lf->lfItalic;
    tm->tmUnderlined = lf->lfUnderline;
    tm->tmStruckOut = lf->lfStrikeOut;
    tm->tmCharSet = lf->lfCharSet;
    // Windows sets the low bit for variable-pitch fonts.
    tm->tmPitchAndFamily = static_cast<BYTE>((face->IsBuiltin() ? FF_MODERN : FF_SWISS | 1));
    return TRUE;
}
