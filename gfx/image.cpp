#include "gfx/image.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/bitmaps.h"
#include "platform/resources.h"

namespace {

// "pvb/rle" header: signature, big-endian 16-bit width and height.
constexpr std::string_view rleSignature = "pvb/rle";
constexpr std::size_t rleHeaderLength = rleSignature.size() + 4;

// No picture is larger than the 400 x 300 screen it is drawn on; a header
// may still ask for 65535 x 65535.
constexpr std::size_t largestPicturePixels = 400 * 300;

// How many pixels `stream` codes, read as decodeRuns reads it; counting stops
// once `wanted` is reached.
std::size_t codedPixels(std::span<const std::uint8_t> stream, std::size_t wanted) {
    std::size_t pixels = 0;
    for (std::size_t in = 0; in < stream.size() && pixels < wanted;) {
        if (stream[in] != 0xFF) {
            pixels += 1;
            in += 1;
        } else if (in + 2 < stream.size()) {
            pixels += stream[in + 2];
            in += 3;
        } else {
            break;  // a run token cut off by the end of the stream
        }
    }
    return pixels;
}

}  // namespace

Image::Image() : Image(16, 16) {}

Image::Image(int w, int h) {
    resize(w, h);
    drawPlaceholder();
}

Image::Image(int resourceId) {
    resize(16, 16);
    load(resourceId);
}

Image::~Image() { delete[] pixels; }

void Image::drawPlaceholder() {
    fillRect(0, 0, width, height, 0);
    fillRect(1, 1, width - 2, height - 2, 255);
}

void Image::resize(int newWidth, int newHeight) {
    delete[] pixels;
    pixels = new std::uint8_t[static_cast<std::size_t>(std::max(0, newWidth)) * std::max(0, newHeight)]();
    width = newWidth;
    height = newHeight;
}

void Image::fillRect(int x, int y, int w, int h, std::uint8_t colour) {
    fillColour = colour;
    fillRect(x, y, w, h);
}

void Image::fillRect(int x, int y, int w, int h) {
    x = std::max(x, 0);
    y = std::max(y, 0);
    if (x >= width || y >= height) return;
    if (x + w > width) w = width - x;
    if (y + h > height) h = height - y;
    if (w <= 0) return;
    for (int j = y; j < y + h; ++j) {
        std::memset(pixels + static_cast<std::size_t>(j) * width + x, fillColour, static_cast<std::size_t>(w));
    }
}

void Image::blit(const Image& source, int x, int y) {
    if (y >= height || x >= width || y + source.height < 0 || x + source.width < 0) return;
    int c0 = std::max(0, -x);
    int c1 = source.width;
    if (x + source.width > width) c1 = width - x;
    int r0 = std::max(0, -y);
    int r1 = source.height;
    if (y + source.height > height) r1 = height - y;
    if (r0 >= r1) return;
    for (int r = r0; r < r1; ++r) {
        const std::uint8_t* from = source.pixels + static_cast<std::size_t>(r) * source.width;
        // Indexed from the row's start: a pointer to column x would lie
        // before the buffer when x is negative.
        std::uint8_t* to = pixels + static_cast<std::size_t>(y + r) * width;
        for (int c = c0; c < c1; ++c) {
            if (from[c] != TRANSPARENT_INDEX) to[x + c] = from[c];
        }
    }
}

bool Image::load(int resourceId) {
    if (loadRle(resourceId)) return true;
    return loadBitmap(resourceId);
}

bool Image::loadRle(int resourceId) {
    auto resource = platform::resourceBytes(platform::ResourceType::RcData, resourceId);
    if (!resource) return false;
    std::span<const std::uint8_t> bytes = *resource;
    // What holds no whole picture of a size the game can use counts as
    // missing, and that is decided before anything is allocated.
    if (bytes.size() < rleHeaderLength || !std::equal(rleSignature.begin(), rleSignature.end(), bytes.begin())) {
        return false;
    }
    std::size_t newWidth = std::size_t{bytes[7]} << 8 | bytes[8];
    std::size_t newHeight = std::size_t{bytes[9]} << 8 | bytes[10];
    std::size_t pixelCount = newWidth * newHeight;
    std::span<const std::uint8_t> stream = bytes.subspan(rleHeaderLength);
    if (pixelCount > largestPicturePixels || codedPixels(stream, pixelCount) < pixelCount) return false;
    resize(static_cast<int>(newWidth), static_cast<int>(newHeight));
    decodeRuns(stream, static_cast<int>(pixelCount));
    return true;
}

bool Image::decodeRuns(std::span<const std::uint8_t> stream, int pixelCount) {
    std::size_t in = 0;
    int out = 0;
    while (out < pixelCount && in < stream.size()) {
        std::uint8_t b = stream[in];
        if (b != 0xFF) {
            pixels[out++] = b;
            in += 1;
            continue;
        }
        if (in + 2 >= stream.size()) break;  // a run token cut off by the end of the stream
        std::uint8_t colour = stream[in + 1];
        int count = std::min<int>(stream[in + 2], pixelCount - out);
        std::memset(pixels + out, colour, static_cast<std::size_t>(count));
        out += count;
        in += 3;
    }
    return true;
}

bool Image::loadBitmap(int resourceId) {
    auto bitmap = platform::loadBitmap(resourceId);
    if (!bitmap) return false;
    resize(bitmap->width, bitmap->height);
    if (bitmap->bitsPerPixel == 8 && bitmap->bits) {
        int stride = (bitmap->bytesPerRow + 3) / 4 * 4;
        for (int k = 0; k < height; ++k) {
            std::memcpy(pixels + static_cast<std::size_t>(height - 1 - k) * width,
                        bitmap->bits + static_cast<std::size_t>(k) * stride, static_cast<std::size_t>(width));
        }
    }
    platform::releaseBitmap(*bitmap);
    return true;
}
