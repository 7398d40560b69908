// Screenshots: surfaces saved as 8-bit RGB PNG files with libpng, and read back for tests and tools.
#include "platform/sim/gdi/internal.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace sim {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// libpng reports errors by longjmp; the message is kept for the caller.
void on_png_error(png_structp png, png_const_charp message) {
    auto* text = static_cast<std::string*>(png_get_error_ptr(png));
    if (text) *text = message;
    png_longjmp(png, 1);
}
void on_png_warning(png_structp, png_const_charp) {}

void set_error(std::string* error, const std::string& text) {
    if (error) *error = text;
}

void fill_rgb_row(const Surface& s, int y, std::vector<png_byte>& row) {
    for (int x = 0; x < s.width; ++x) {
        std::uint32_t p = s.at(x, y);
        row[x * 3] = static_cast<png_byte>(p >> 16);
        row[x * 3 + 1] = static_cast<png_byte>(p >> 8);
        row[x * 3 + 2] = static_cast<png_byte>(p);
    }
}

bool write_png(std::FILE* f, const Surface& surface, std::string& message) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &message, on_png_error, on_png_warning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    // Made before setjmp and only written through afterwards, so a longjmp cannot lose it.
    std::vector<png_byte> row(static_cast<std::size_t>(surface.width) * 3);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, surface.width, surface.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < surface.height; ++y) {
        fill_rgb_row(surface, y, row);
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// Screenshots are at most a few thousand pixels wide; anything larger is not ours.
constexpr png_uint_32 kMaxSide = 4096;

bool read_png(std::FILE* f, Surface& out, std::string& message) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &message, on_png_error, on_png_warning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    // Held through a pointer that stays unchanged after setjmp, so its value survives a longjmp.
    struct Buffers {
        std::vector<png_byte> row;
        Surface picture;
    };
    auto buffers = std::make_unique<Buffers>();
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, f);
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_read_info(png, info);
    // Any colour type and depth comes out as 8-bit RGB.
    png_set_strip_16(png);
    png_set_palette_to_rgb(png);
    png_set_expand_gray_1_2_4_to_8(png);
    png_set_gray_to_rgb(png);
    png_set_strip_alpha(png);
    // Interlaced files come in passes that each refine the rows read so far.
    int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    png_uint_32 width = png_get_image_width(png, info);
    png_uint_32 height = png_get_image_height(png, info);
    Surface& s = buffers->picture;
    std::vector<png_byte>& row = buffers->row;
    s = Surface(static_cast<int>(width), static_cast<int>(height));
    row.resize(png_get_rowbytes(png, info));
    if (row.size() < static_cast<std::size_t>(width) * 3) png_error(png, "unexpected row size");
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y) {
            fill_rgb_row(s, static_cast<int>(y), row);
            png_read_row(png, row.data(), nullptr);
            for (png_uint_32 x = 0; x < width; ++x)
                s.set(x, y,
                      (std::uint32_t{row[x * 3]} << 16) | (std::uint32_t{row[x * 3 + 1]} << 8) |
                          row[x * 3 + 2]);
        }
    png_destroy_read_struct(&png, &info, nullptr);
    out = std::move(s);
    return true;
}

} // namespace

bool save_png(const Surface& surface, const std::string& path, std::string* error) {
    if (surface.width <= 0 || surface.height <= 0) {
        set_error(error, "empty picture");
        return false;
    }
    File f(std::fopen(path.c_str(), "wb"));
    if (!f) {
        set_error(error, "cannot create " + path);
        return false;
    }
    std::string message;
    if (!write_png(f.get(), surface, message)) {
        set_error(error, "cannot write " + path + ": " + message);
        return false;
    }
    if (std::fclose(f.release()) != 0) {
        set_error(error, "cannot write " + path);
        return false;
    }
    return true;
}

bool load_png(const std::string& path, Surface& out, std::string* error) {
    File f(std::fopen(path.c_str(), "rb"));
    if (!f) {
        set_error(error, "cannot open " + path);
        return false;
    }
    std::string message;
    if (!read_png(f.get(), out, message)) {
        set_error(error, "cannot read " + path + ": " + message);
        return false;
    }
    return true;
}

} // namespace sim
