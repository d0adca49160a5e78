// The "pvb/rle" pixel stream decoder. The first two bytes are the pixel count,
// signed so that counts of 0 and below are tried too; the image holds exactly
// that many pixels, so a write past them is caught.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "gfx/image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    auto pixelCount = static_cast<std::int16_t>(data[0] << 8 | data[1]);
    Image image(std::max<int>(pixelCount, 0), 1);
    image.decodeRuns(std::span(data + 2, size - 2), pixelCount);
    return 0;
}
