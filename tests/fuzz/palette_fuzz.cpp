// The palette reader, over any information header and colour table: the count
// stays within 0 to 256 and the entries beyond it stay black.
#include <cstddef>
#include <cstdint>
#include <span>

#include "gfx/palette_colours.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> bitmapInfo(data, size);
    int count = paletteColourCount(bitmapInfo);
    if (count < 0 || count > 256) __builtin_trap();
    PaletteColours colours = readPaletteColours(bitmapInfo);
    for (int i = count; i < 256; ++i) {
        if (colours[i].red != 0 || colours[i].green != 0 || colours[i].blue != 0) __builtin_trap();
    }
    return 0;
}
