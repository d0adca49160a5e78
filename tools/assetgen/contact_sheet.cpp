#include "contact_sheet.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int SCALE = 4;
constexpr int GAP = 16;
constexpr int ROW_WIDTH = 1290;
constexpr int TALL = 150;  // pictures at least this tall go into the left column
constexpr PaletteColour BACKGROUND{56, 60, 64};

struct Placed {
    const ColourPicture* picture;
    int x, y;
};

struct Sheet {
    int width = 0;
    int height = 0;
    std::vector<Placed> placed;
};

Sheet layOut(const std::vector<std::vector<ColourPicture>>& groups) {
    Sheet sheet;
    int columnX = GAP, columnWidth = 0, columnY = GAP;
    for (const auto& group : groups)
        for (const ColourPicture& p : group)
            if (p.height >= TALL) {
                sheet.placed.push_back({&p, columnX, columnY});
                columnY += p.height * SCALE + GAP;
                columnWidth = std::max(columnWidth, p.width * SCALE);
            }
    int left = columnWidth ? GAP + columnWidth + GAP : GAP;
    int y = GAP;
    for (const auto& group : groups) {
        int x = left, rowHeight = 0;
        for (const ColourPicture& p : group) {
            if (p.height >= TALL) continue;
            int w = p.width * SCALE, h = p.height * SCALE;
            if (x > left && x + w > left + ROW_WIDTH) {
                x = left;
                y += rowHeight + GAP;
                rowHeight = 0;
            }
            sheet.placed.push_back({&p, x, y});
            x += w + GAP;
            rowHeight = std::max(rowHeight, h);
        }
        if (rowHeight) y += rowHeight + GAP;
    }
    sheet.width = left + ROW_WIDTH + GAP;
    sheet.height = std::max(y, columnY);
    return sheet;
}

}  // namespace

bool writeContactSheet(const std::filesystem::path& file, const std::vector<std::vector<ColourPicture>>& groups) {
    Sheet sheet = layOut(groups);
    std::vector<png_byte> rgb(static_cast<std::size_t>(sheet.width) * sheet.height * 3);
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = BACKGROUND.red;
        rgb[i + 1] = BACKGROUND.green;
        rgb[i + 2] = BACKGROUND.blue;
    }
    for (const Placed& p : sheet.placed)
        for (int y = 0; y < p.picture->height * SCALE; ++y)
            for (int x = 0; x < p.picture->width * SCALE; ++x) {
                const PaletteColour& c = p.picture->pixels[(y / SCALE) * p.picture->width + x / SCALE];
                png_byte* out = &rgb[(static_cast<std::size_t>(p.y + y) * sheet.width + p.x + x) * 3];
                out[0] = c.red;
                out[1] = c.green;
                out[2] = c.blue;
            }

    std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen(file.string().c_str(), "wb"), std::fclose);
    if (!out) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, out.get());
    png_set_IHDR(png, info, sheet.width, sheet.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < sheet.height; ++y) png_write_row(png, &rgb[static_cast<std::size_t>(y) * sheet.width * 3]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}
