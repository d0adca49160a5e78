#pragma once
// Bitmap resources of the program's own module, read through the platform's
// bitmap loader (pictures supplied as bitmaps rather than "pvb/rle").
#include <cstdint>
#include <optional>

namespace platform {

struct LoadedBitmap {
    int width = 0;
    int height = 0;
    int bytesPerRow = 0;
    int bitsPerPixel = 0;
    const std::uint8_t* bits = nullptr;  // rows bottom-up, as the platform keeps them
    void* handle = nullptr;
};

// Bitmap resource `id` as a device-independent section, or nothing.
std::optional<LoadedBitmap> loadBitmap(int id);

// Gives the bitmap back to the platform; its bits are gone afterwards.
void releaseBitmap(LoadedBitmap& bitmap);

}  // namespace platform
