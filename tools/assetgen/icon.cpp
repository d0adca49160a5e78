#include "icon.h"

#include "byte_writer.h"

const std::vector<PaletteColour>& iconColours() {
    static const std::vector<PaletteColour> colours{
        {0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
        {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0},
        {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
    };
    return colours;
}

std::optional<std::vector<std::uint8_t>> iconFile(const PixelMap& picture, std::string& fault) {
    if (picture.width != ICON_SIZE || picture.height != ICON_SIZE) {
        fault = picture.name + " must be 32 x 32";
        return std::nullopt;
    }
    for (int value : picture.values) {
        if (value != CLEAR && (value < 0 || value > 15)) {
            fault = picture.name + " may use only colours 0-15 and clear";
            return std::nullopt;
        }
    }
    constexpr std::uint32_t colourBytes = ICON_SIZE * ICON_SIZE / 2;  // 4 bits a pixel, rows of 16 bytes
    constexpr std::uint32_t maskBytes = ICON_SIZE * ICON_SIZE / 8;    // 1 bit a pixel, rows of 4 bytes
    constexpr std::uint32_t imageBytes = 40 + 16 * 4 + colourBytes + maskBytes;
    ByteWriter out;
    out.u16le(0);  // icon directory
    out.u16le(1);  // type: icon
    out.u16le(1);  // one image
    out.u8(ICON_SIZE);
    out.u8(ICON_SIZE);
    out.u8(16);  // colours
    out.u8(0);
    out.u16le(1);  // planes
    out.u16le(4);  // bits per pixel
    out.u32le(imageBytes);
    out.u32le(6 + 16);  // where the image starts
    out.u32le(40);
    out.u32le(ICON_SIZE);
    out.u32le(2 * ICON_SIZE);  // colour rows and mask rows together
    out.u16le(1);
    out.u16le(4);
    out.u32le(0);
    out.u32le(colourBytes + maskBytes);
    out.u32le(0);
    out.u32le(0);
    out.u32le(16);
    out.u32le(0);
    for (const PaletteColour& c : iconColours()) {
        out.u8(c.blue);
        out.u8(c.green);
        out.u8(c.red);
        out.u8(0);
    }
    // Rows bottom-up; a clear pixel is colour 0 with its mask bit set.
    for (int y = ICON_SIZE - 1; y >= 0; --y)
        for (int x = 0; x < ICON_SIZE; x += 2) {
            auto colour = [&](int cx) { return picture.at(cx, y) == CLEAR ? 0 : picture.at(cx, y); };
            out.u8(colour(x) << 4 | colour(x + 1));
        }
    for (int y = ICON_SIZE - 1; y >= 0; --y)
        for (int x = 0; x < ICON_SIZE; x += 8) {
            unsigned bits = 0;
            for (int b = 0; b < 8; ++b)
                if (picture.at(x + b, y) == CLEAR) bits |= 0x80 >> b;
            out.u8(bits);
        }
    return out.bytes;
}
