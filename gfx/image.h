#pragma once
// Image: the one pixel container of the game, an 8-bit palettised picture
// with clipped software drawing and the "pvb/rle" resource loader.
#include <cstdint>
#include <span>

// Palette index that blit never copies: the background of every picture
// drawn over another.
inline constexpr std::uint8_t TRANSPARENT_INDEX = 236;

class Image {
public:
    // A 16 x 16 placeholder: a frame of index 0 around a field of 255.
    Image();
    // The same placeholder at the given size.
    Image(int width, int height);
    // 16 x 16 of undefined content, then load(resourceId).
    explicit Image(int resourceId);
    virtual ~Image();

    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // Replaces the buffer by width x height bytes of undefined content.
    void resize(int width, int height);

    // Fills the rectangle, clipped, with fillColour (or first makes `colour` the fill colour).
    void fillRect(int x, int y, int w, int h);
    void fillRect(int x, int y, int w, int h, std::uint8_t colour);

    // Copies `source` with its top-left corner at (x, y), clipped, skipping TRANSPARENT_INDEX.
    void blit(const Image& source, int x, int y);

    // The picture of resource `resourceId`: "pvb/rle" first, then the
    // platform's bitmap. False leaves the image as it was.
    bool load(int resourceId);
    // A "pvb/rle" resource without its signature, larger than the screen, or
    // whose stream codes fewer pixels than its header announces counts as
    // missing, like a resource too short for its header.
    bool loadRle(int resourceId);

    // Decodes a "pvb/rle" pixel stream into pixels[0 .. pixelCount). Reads no
    // byte past the stream and writes none past pixelCount; pixels that a
    // short stream leaves unwritten keep their old content.
    bool decodeRuns(std::span<const std::uint8_t> stream, int pixelCount);

    int height = 0;
    int width = 0;
    std::uint8_t fillColour = 0;
    std::uint8_t* pixels = nullptr;

private:
    void drawPlaceholder();
    bool loadBitmap(int resourceId);
};
