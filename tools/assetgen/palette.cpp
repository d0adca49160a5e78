#include "palette.h"

#include <array>
#include <cmath>

#include "byte_writer.h"

namespace {

// The palette is fifteen ramps of sixteen shades (the last ramp has thirteen):
// colour 16 r + s is shade s of ramp r. Each ramp runs from its dark end
// through its key colour, reached exactly at the key shade, to its light end.
// Three entries are fixed by the game and fall on key shades: 134 the
// playfield green, 191 the side panel's cyan, 236 the transparent magenta.
//
//  ramp  colours   what for                  dark          key at shade       light
//   0    0-15      greys: 0 black, 15 white  (0,0,0)       (255,255,255) 15
//   1    16-31     red                       (40,0,0)      (220,40,40)    7   (255,220,220)
//   2    32-47     orange                    (48,20,0)     (240,130,30)   7   (255,230,200)
//   3    48-63     yellow                    (48,40,0)     (240,220,40)   7   (255,250,210)
//   4    64-79     lime                      (20,40,0)     (150,220,40)   7   (235,255,210)
//   5    80-95     brown                     (24,12,0)     (150,90,40)    7   (240,215,190)
//   6    96-111    teal                      (0,32,28)     (40,170,150)   7   (210,250,240)
//   7    112-127   sky blue                  (0,20,48)     (70,150,240)   7   (215,235,255)
//   8    128-143   green, 134 the playfield  (0,40,0)      (102,204,102)  6   (230,255,230)
//   9    144-159   blue                      (0,0,48)      (50,80,220)    7   (210,220,255)
//  10    160-175   violet                    (24,0,48)     (130,70,210)   7   (230,215,255)
//  11    176-191   cyan, 191 the side panel  (0,40,48)     (112,220,232) 15
//  12    192-207   pink                      (48,0,24)     (240,110,170)  7   (255,225,240)
//  13    208-223   peach                     (48,24,8)     (240,190,140)  7   (255,245,230)
//  14    224-236   magenta, 236 transparent  (40,0,40)     (255,0,255)   12
struct Ramp {
    PaletteColour dark;
    PaletteColour key;
    int keyShade;
    PaletteColour light;
};

constexpr std::array<Ramp, 15> ramps{{
    {{0, 0, 0}, {255, 255, 255}, 15, {255, 255, 255}},
    {{40, 0, 0}, {220, 40, 40}, 7, {255, 220, 220}},
    {{48, 20, 0}, {240, 130, 30}, 7, {255, 230, 200}},
    {{48, 40, 0}, {240, 220, 40}, 7, {255, 250, 210}},
    {{20, 40, 0}, {150, 220, 40}, 7, {235, 255, 210}},
    {{24, 12, 0}, {150, 90, 40}, 7, {240, 215, 190}},
    {{0, 32, 28}, {40, 170, 150}, 7, {210, 250, 240}},
    {{0, 20, 48}, {70, 150, 240}, 7, {215, 235, 255}},
    {{0, 40, 0}, {102, 204, 102}, 6, {230, 255, 230}},
    {{0, 0, 48}, {50, 80, 220}, 7, {210, 220, 255}},
    {{24, 0, 48}, {130, 70, 210}, 7, {230, 215, 255}},
    {{0, 40, 48}, {112, 220, 232}, 15, {112, 220, 232}},
    {{48, 0, 24}, {240, 110, 170}, 7, {255, 225, 240}},
    {{48, 24, 8}, {240, 190, 140}, 7, {255, 245, 230}},
    {{40, 0, 40}, {255, 0, 255}, 12, {255, 0, 255}},
}};

constexpr int SHADES = 16;

std::uint8_t mix(std::uint8_t from, std::uint8_t to, int step, int steps) {
    return static_cast<std::uint8_t>(std::lround(from + (to - from) * static_cast<double>(step) / steps));
}

PaletteColour mix(PaletteColour from, PaletteColour to, int step, int steps) {
    if (steps == 0) return to;
    return {mix(from.red, to.red, step, steps), mix(from.green, to.green, step, steps),
            mix(from.blue, to.blue, step, steps)};
}

}  // namespace

std::vector<PaletteColour> gameColours() {
    std::vector<PaletteColour> colours;
    for (const Ramp& ramp : ramps) {
        for (int shade = 0; shade < SHADES && colours.size() < GAME_COLOUR_COUNT; ++shade) {
            colours.push_back(shade <= ramp.keyShade
                                  ? mix(ramp.dark, ramp.key, shade, ramp.keyShade)
                                  : mix(ramp.key, ramp.light, shade - ramp.keyShade, SHADES - 1 - ramp.keyShade));
        }
    }
    return colours;
}

std::vector<std::uint8_t> paletteBitmapFile() {
    constexpr std::uint32_t infoSize = 40;
    constexpr std::uint32_t tableSize = 4 * GAME_COLOUR_COUNT;
    constexpr std::uint32_t pixelOffset = 14 + infoSize + tableSize;
    constexpr std::uint32_t rowSize = 4;  // one pixel, padded to four bytes
    ByteWriter out;
    out.text("BM");
    out.u32le(pixelOffset + rowSize);
    out.u32le(0);
    out.u32le(pixelOffset);
    out.u32le(infoSize);
    out.u32le(1);  // width
    out.u32le(1);  // height
    out.u16le(1);  // planes
    out.u16le(8);  // bits per pixel
    out.u32le(0);  // no compression
    out.u32le(rowSize);
    out.u32le(2835);  // 72 dots per inch
    out.u32le(2835);
    out.u32le(GAME_COLOUR_COUNT);
    out.u32le(GAME_COLOUR_COUNT);
    for (const PaletteColour& colour : gameColours()) {
        out.u8(colour.blue);
        out.u8(colour.green);
        out.u8(colour.red);
        out.u8(0);
    }
    out.u32le(0);  // the pixel, colour 0
    return out.bytes;
}
