// The depth-keeping PNG codec. libpng reports errors through setjmp; every side and size is
// checked before memory is taken, and the memory reader never reads past its buffer.
#include "platform/gdi/PngDib.h"

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

struct ReadSource {
    const BYTE* data;
    std::size_t size;
    std::size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<ReadSource*>(png_get_io_ptr(png));
    if (source->position > source->size || length > source->size - source->position)
        png_error(png, "truncated PNG data");
    std::memcpy(out, source->data + source->position, length);
    source->position += length;
}

void WriteToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<BYTE>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void FlushNothing(png_structp) {}

// The error text travels in a plain buffer: nothing with a destructor is touched between the
// jump's set-up and its landing.
struct ErrorText {
    char text[160] = {};
};

void ErrorToText(png_structp png, png_const_charp message) {
    auto* error = static_cast<ErrorText*>(png_get_error_ptr(png));
    if (error) std::snprintf(error->text, sizeof error->text, "%s", message ? message : "PNG error");
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// c over the key colour with alpha a (0 transparent, 255 opaque), rounded.
BYTE Composite(int c, int key, int a) {
    return static_cast<BYTE>((c * a + key * (255 - a) + 127) / 255);
}

int PaletteSizeFor(int bitCount) {
    return bitCount == 1 ? 2 : bitCount == 4 ? 16 : bitCount == 8 ? 256 : 0;
}

// What libpng's read structures hold while one image is decoded; freed on every path.
struct Reader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~Reader() {
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

struct Writer {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~Writer() {
        if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
    }
};

} // namespace

namespace {

bool DecodeInto(const void* data, std::size_t size, GdiDibImage& out, ErrorText& message) {
    Reader reader;
    reader.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &message, ErrorToText, IgnoreWarning);
    if (!reader.png) return false;
    reader.info = png_create_info_struct(reader.png);
    if (!reader.info) return false;
    png_structp png = reader.png;
    png_infop info = reader.info;
    ReadSource source{static_cast<const BYTE*>(data), size, 0};
    // Everything that owns memory across the jump lives outside it.
    GdiDibImage image;
    std::vector<png_byte> pixels;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_user_limits(png, kPngDibMaxSide, kPngDibMaxSide);
    png_set_read_fn(png, &source, ReadFromMemory);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (width == 0 || height == 0 || width > kPngDibMaxSide || height > kPngDibMaxSide)
        png_error(png, "PNG image too large");
    const int colorType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    const bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;

    enum class Kind { Palette, Grey, Rgb, Rgba } kind;
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        kind = Kind::Palette;
    } else if (colorType == PNG_COLOR_TYPE_GRAY && !hasTrns) {
        kind = Kind::Grey;
        if (bitDepth == 16) png_set_strip_16(png);
    } else {
        // RGB, RGB with alpha, grey with alpha and grey or RGB with a transparent colour: 8-bit
        // red-green-blue(-alpha), composited below.
        if (bitDepth == 16) png_set_strip_16(png);
        png_set_expand(png);
        if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
        const bool alpha = hasTrns || (colorType & PNG_COLOR_MASK_ALPHA) != 0;
        kind = alpha ? Kind::Rgba : Kind::Rgb;
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    // The depth after the transforms.
    const int sourceDepth = png_get_bit_depth(png, info);
    const int channels = png_get_channels(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    std::size_t expectedRow = 0;
    switch (kind) {
    case Kind::Palette:
    case Kind::Grey:
        expectedRow = (static_cast<std::size_t>(width) * sourceDepth + 7) / 8;
        if (channels != 1) png_error(png, "unexpected PNG channel count");
        break;
    case Kind::Rgb: expectedRow = static_cast<std::size_t>(width) * 3; break;
    case Kind::Rgba: expectedRow = static_cast<std::size_t>(width) * 4; break;
    }
    if (rowBytes != expectedRow) png_error(png, "unexpected PNG row size");

    pixels.resize(rowBytes * height);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = pixels.data() + static_cast<std::size_t>(y) * rowBytes;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);

    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    if (kind == Kind::Palette || kind == Kind::Grey) {
        // 1 stays 1; 2 becomes 4 (nibbles); 4 and 8 stay.
        image.bitCount = sourceDepth == 1 ? 1 : sourceDepth <= 4 ? 4 : 8;
        image.palette.assign(PaletteSizeFor(image.bitCount), RGBQUAD{});
        if (kind == Kind::Palette) {
            png_colorp plte = nullptr;
            int count = 0;
            if (png_get_PLTE(png, info, &plte, &count) && plte) {
                for (int i = 0; i < count && i < static_cast<int>(image.palette.size()); ++i)
                    image.palette[i] = RGBQUAD{plte[i].blue, plte[i].green, plte[i].red, 0};
            }
            png_bytep alpha = nullptr;
            int transparent = 0;
            if (hasTrns && png_get_tRNS(png, info, &alpha, &transparent, nullptr) && alpha) {
                if (transparent > static_cast<int>(image.palette.size()))
                    transparent = static_cast<int>(image.palette.size());
                for (int i = 0; i < transparent; ++i) {
                    RGBQUAD& c = image.palette[i];
                    c.rgbRed = Composite(c.rgbRed, GetRValue(kPngKeyColor), alpha[i]);
                    c.rgbGreen = Composite(c.rgbGreen, GetGValue(kPngKeyColor), alpha[i]);
                    c.rgbBlue = Composite(c.rgbBlue, GetBValue(kPngKeyColor), alpha[i]);
                }
                image.transparentCount = transparent;
            }
        } else {
            const int levels = 1 << sourceDepth;
            for (int i = 0; i < levels && i < static_cast<int>(image.palette.size()); ++i) {
                const BYTE g = static_cast<BYTE>(i * 255 / (levels - 1));
                image.palette[i] = RGBQUAD{g, g, g, 0};
            }
        }
    } else {
        image.bitCount = 24;
    }

    const std::size_t stride = DibRowBytes(image.bitCount, image.width);
    image.bits.assign(stride * height, 0);
    for (png_uint_32 y = 0; y < height; ++y) {
        const png_byte* src = rows[y];
        BYTE* dst = image.bits.data() + static_cast<std::size_t>(height - 1 - y) * stride;
        if (kind == Kind::Rgb || kind == Kind::Rgba) {
            const int step = kind == Kind::Rgba ? 4 : 3;
            for (png_uint_32 x = 0; x < width; ++x) {
                const png_byte* p = src + static_cast<std::size_t>(x) * step;
                const int a = step == 4 ? p[3] : 255;
                dst[x * 3] = Composite(p[2], GetBValue(kPngKeyColor), a);
                dst[x * 3 + 1] = Composite(p[1], GetGValue(kPngKeyColor), a);
                dst[x * 3 + 2] = Composite(p[0], GetRValue(kPngKeyColor), a);
            }
        } else if (sourceDepth == 2) {
            for (png_uint_32 x = 0; x < width; ++x) {
                const int index = (src[x / 4] >> (6 - 2 * (x % 4))) & 3;
                dst[x / 2] |= static_cast<BYTE>(x % 2 == 0 ? index << 4 : index);
            }
        } else {
            std::memcpy(dst, src, rowBytes);
        }
    }
    out = std::move(image);
    return true;
}

} // namespace

bool GdiDecodePngDib(const void* data, std::size_t size, GdiDibImage& out, std::string* error) {
    if (!data || size < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0) {
        if (error) *error = "not a PNG image";
        return false;
    }
    ErrorText message;
    if (DecodeInto(data, size, out, message)) return true;
    if (error) *error = message.text[0] ? message.text : "PNG error";
    return false;
}

namespace {

bool EncodeInto(const GdiDibImage& image, std::vector<BYTE>& out, ErrorText& message) {
    const int bitCount = image.bitCount;
    const int paletteSize = PaletteSizeFor(bitCount);
    if ((bitCount != 24 && paletteSize == 0) || image.width <= 0 || image.height <= 0 ||
        image.width > kPngDibMaxSide || image.height > kPngDibMaxSide ||
        image.bits.size() < DibRowBytes(bitCount, image.width) * static_cast<std::size_t>(image.height) ||
        (paletteSize && static_cast<int>(image.palette.size()) < paletteSize)) {
        std::snprintf(message.text, sizeof message.text, "not an image the PNG writer takes");
        return false;
    }
    Writer writer;
    writer.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &message, ErrorToText, IgnoreWarning);
    if (!writer.png) return false;
    writer.info = png_create_info_struct(writer.png);
    if (!writer.info) return false;
    png_structp png = writer.png;
    png_infop info = writer.info;
    std::vector<png_color> plte(paletteSize);
    std::vector<png_byte> alpha;
    std::vector<png_byte> row(static_cast<std::size_t>(image.width) * 3);
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, &out, WriteToVector, FlushNothing);
    const std::size_t stride = DibRowBytes(bitCount, image.width);
    if (bitCount == 24) {
        png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    } else {
        png_set_IHDR(png, info, image.width, image.height, bitCount, PNG_COLOR_TYPE_PALETTE,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        for (int i = 0; i < paletteSize; ++i)
            plte[i] = png_color{image.palette[i].rgbRed, image.palette[i].rgbGreen, image.palette[i].rgbBlue};
        png_set_PLTE(png, info, plte.data(), paletteSize);
        if (image.transparentCount > 0) {
            alpha.assign(std::min(image.transparentCount, paletteSize), 0);
            png_set_tRNS(png, info, alpha.data(), static_cast<int>(alpha.size()), nullptr);
        }
    }
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) {
        const BYTE* src = image.bits.data() + static_cast<std::size_t>(image.height - 1 - y) * stride;
        if (bitCount == 24) {
            for (int x = 0; x < image.width; ++x) {
                row[x * 3] = src[x * 3 + 2];
                row[x * 3 + 1] = src[x * 3 + 1];
                row[x * 3 + 2] = src[x * 3];
            }
            png_write_row(png, row.data());
        } else {
            png_write_row(png, const_cast<png_bytep>(src));
        }
    }
    png_write_end(png, nullptr);
    return true;
}

} // namespace

bool GdiEncodePngDib(const GdiDibImage& image, std::vector<BYTE>& out, std::string* error) {
    out.clear();
    ErrorText message;
    if (EncodeInto(image, out, message)) return true;
    out.clear();
    if (error) *error = message.text[0] ? message.text : "PNG error";
    return false;
}
