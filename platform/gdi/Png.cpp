// PNG output of any bitmap or device context, and a PNG reader for tests and tools. libpng errors
// come back through setjmp; every size is checked before memory is taken.
#include "platform/gdi/GdiInternal.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <memory>

using namespace gdi;

namespace {

constexpr png_uint_32 kMaxPngSide = 16384;

void WriteToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<BYTE>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void FlushNothing(png_structp) {}

bool Encode(const Bitmap& bitmap, std::vector<BYTE>& out) {
    out.clear();
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<png_byte> row(static_cast<std::size_t>(bitmap.Width()) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        out.clear();
        return false;
    }
    png_set_write_fn(png, &out, WriteToVector, FlushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap.Width()),
                 static_cast<png_uint_32>(bitmap.Height()), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            const COLORREF c = bitmap.GetColor(x, y);
            row[x * 3] = GetRValue(c);
            row[x * 3 + 1] = GetGValue(c);
            row[x * 3 + 2] = GetBValue(c);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool WriteFileReplacing(const std::string& path, const std::vector<BYTE>& data) {
    const std::string temp = path + ".tmp";
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(data.data(), 1, data.size(), file) == data.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

struct ReadSource {
    const BYTE* data;
    std::size_t size;
    std::size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<ReadSource*>(png_get_io_ptr(png));
    if (length > source->size - source->position) png_error(png, "truncated PNG data");
    std::memcpy(out, source->data + source->position, length);
    source->position += length;
}

void ErrorToText(png_structp png, png_const_charp message) {
    auto* error = static_cast<std::string*>(png_get_error_ptr(png));
    if (error) *error = message ? message : "PNG error";
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

} // namespace

bool GdiEncodePng(HBITMAP handle, std::vector<BYTE>& out) {
    Bitmap* bitmap = Resolve<Bitmap>(handle);
    return bitmap && Encode(*bitmap, out);
}

bool GdiSavePng(HBITMAP handle, const std::string& path) {
    std::vector<BYTE> data;
    return GdiEncodePng(handle, data) && WriteFileReplacing(path, data);
}

bool GdiSaveDCPng(HDC handle, const std::string& path) {
    DeviceContext* dc = ResolveDC(handle);
    return dc && dc->GetBitmap() && GdiSavePng(dc->GetBitmap(), path);
}

bool GdiDecodePng(const void* data, std::size_t size, GdiRgbaImage& out, std::string* error) {
    out = GdiRgbaImage{};
    std::string message;
    if (!data || size < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0) {
        if (error) *error = "not a PNG image";
        return false;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &message, ErrorToText, IgnoreWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    ReadSource source{static_cast<const BYTE*>(data), size, 0};
    std::vector<png_byte> pixels;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        if (error) *error = message;
        out = GdiRgbaImage{};
        return false;
    }
    png_set_user_limits(png, kMaxPngSide, kMaxPngSide);
    png_set_read_fn(png, &source, ReadFromMemory);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (static_cast<std::uint64_t>(width) * height > (std::uint64_t(1) << 24))
        png_error(png, "PNG image too large");
    const int colorType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    // Everything becomes 8-bit RGBA.
    if (bitDepth == 16) png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const png_size_t rowBytes = png_get_rowbytes(png, info);
    if (rowBytes != static_cast<png_size_t>(width) * 4) png_error(png, "unexpected PNG row size");
    pixels.resize(rowBytes * height);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = pixels.data() + y * rowBytes;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.pixels.resize(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < out.pixels.size(); ++i) {
        const png_byte* p = pixels.data() + i * 4;
        out.pixels[i] =
            (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
    }
    return true;
}

bool GdiLoadPng(const std::string& path, GdiRgbaImage& out, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        if (error) *error = "cannot open " + path;
        return false;
    }
    std::vector<BYTE> data;
    BYTE buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        data.insert(data.end(), buffer, buffer + n);
        if (data.size() > (std::size_t(64) << 20)) {
            std::fclose(file);
            if (error) *error = "PNG file too large";
            return false;
        }
    }
    std::fclose(file);
    return GdiDecodePng(data.data(), data.size(), out, error);
}
