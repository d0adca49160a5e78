// Windows-side round trip: pictures embedded by windres, found by id through
// the Win32 seam, decoded by Image::load.
#include <cstdio>
#include <vector>

#include "gfx/image.h"
#include "platform/resources.h"

namespace {

int failures = 0;

void check(bool ok, const char* what) {
    if (!ok) {
        std::printf("FAILED: %s\n", what);
        ++failures;
    }
}

std::vector<int> pixelsOf(const Image& image) {
    return {image.pixels, image.pixels + image.width * image.height};
}

}  // namespace

int main() {
    auto raw = platform::resourceBytes(platform::ResourceType::RcData, 300);
    check(raw && raw->size() == 11 + 18, "RCDATA 300 is found with its exact length");
    check(!platform::resourceBytes(platform::ResourceType::RcData, 301), "no RCDATA 301");

    Image rle;
    check(rle.load(300), "load(300)");
    check(rle.width == 5 && rle.height == 3, "300 is 5 x 3");
    check(pixelsOf(rle) == std::vector<int>{7, 7, 7, 7, 7, 7, 1, 2, 3, 236, 236, 236, 236, 5, 8},
          "300 decodes to its pixels");

    Image bitmap;
    check(bitmap.load(301), "load(301) through the bitmap path");
    check(bitmap.width == 3 && bitmap.height == 2, "301 is 3 x 2");
    check(pixelsOf(bitmap) == std::vector<int>{10, 11, 12, 20, 21, 22}, "301's rows are turned top-down");

    Image missing;
    check(!missing.load(302), "load(302) of nothing fails");
    check(missing.width == 16 && missing.pixels[0] == 0 && missing.pixels[17] == 255, "a failed load keeps the placeholder");

    std::printf("%s\n", failures ? "round trip FAILED" : "round trip passed");
    return failures ? 1 : 0;
}
