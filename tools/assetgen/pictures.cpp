#include "pictures.h"

#include "byte_writer.h"
#include "palette.h"

namespace {

constexpr int RUN_MARK = 0xFF;
constexpr int LONGEST_RUN = 255;
constexpr int SHORTEST_RUN = 4;  // three equal pixels cost three bytes either way

}  // namespace

std::optional<std::vector<std::uint8_t>> encodePvbRle(const PixelMap& picture, std::string& fault) {
    for (std::size_t i = 0; i < picture.values.size(); ++i) {
        int value = picture.values[i];
        if (value < 0 || value >= GAME_COLOUR_COUNT) {
            fault = picture.name + ": pixel (" + std::to_string(i % picture.width) + ", " +
                    std::to_string(i / picture.width) + ") is not a palette colour";
            return std::nullopt;
        }
    }
    ByteWriter out;
    out.text("pvb/rle");
    out.u16be(picture.width);
    out.u16be(picture.height);
    const std::vector<int>& pixels = picture.values;
    for (std::size_t i = 0; i < pixels.size();) {
        std::size_t end = i;
        while (end < pixels.size() && pixels[end] == pixels[i] && end - i < LONGEST_RUN) ++end;
        std::size_t count = end - i;
        if (count >= SHORTEST_RUN) {
            out.u8(RUN_MARK);
            out.u8(pixels[i]);
            out.u8(count);
        } else {
            for (std::size_t k = i; k < end; ++k) out.u8(pixels[k]);
        }
        i = end;
    }
    return out.bytes;
}
