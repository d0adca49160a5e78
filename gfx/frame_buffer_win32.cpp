#include "gfx/frame_buffer.h"

#include <windows.h>

#include "gfx/palette_colours.h"
#include "gfx/screen_image.h"
#include "platform/bitmaps.h"
#include "platform/debug_output.h"
#include "platform/resources.h"
#include "res/resource_ids.h"

namespace {

constexpr int width = 400;
constexpr int height = 300;

struct BitmapDescription {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

struct GamePalette {
    WORD version;
    WORD entryCount;
    PALETTEENTRY entries[256];
};

BitmapDescription bitmapDescription{};
GamePalette gamePalette{0x300, 256, {}};
HBITMAP frameBufferBitmap = nullptr;
platform::LoadedBitmap paletteSource;
// The palette object selected into the window's own device context. It must
// live while selected, so it is only deleted once its successor is in.
HPALETTE selectedPalette = nullptr;

void takeColours() {
    auto data = platform::resourceBytes(platform::ResourceType::Bitmap, IDB_PALETTE);
    if (!data) {
        platform::writeDebugOutput("lock resource failed\n");
        return;
    }
    PaletteColours colours = readPaletteColours(*data);
    for (int i = 0; i < 256; ++i) {
        const PaletteColour& c = colours[i];
        bitmapDescription.colours[i] = RGBQUAD{c.blue, c.green, c.red, 0};
        gamePalette.entries[i] = PALETTEENTRY{c.red, c.green, c.blue, PC_NOCOLLAPSE};
    }
}

void selectAndRealize(HDC context) {
    HPALETTE palette = CreatePalette(reinterpret_cast<const LOGPALETTE*>(&gamePalette));
    SelectPalette(context, palette, FALSE);
    RealizePalette(context);
    if (selectedPalette) DeleteObject(selectedPalette);
    selectedPalette = palette;
}

}  // namespace

void createFrameBuffer() {
    HWND window = GetActiveWindow();
    HDC context = GetDC(window);

    BITMAPINFOHEADER& header = bitmapDescription.header;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = -height;  // top-down rows
    header.biPlanes = 1;
    header.biBitCount = 8;
    header.biCompression = BI_RGB;
    header.biClrUsed = 256;
    header.biClrImportant = 256;

    auto source = platform::loadBitmap(IDB_PALETTE);
    if (!source) {
        ReleaseDC(window, context);
        return;
    }
    paletteSource = *source;
    if (paletteSource.bitsPerPixel == 8) takeColours();

    selectAndRealize(context);

    void* bits = nullptr;
    frameBufferBitmap = CreateDIBSection(context, reinterpret_cast<const BITMAPINFO*>(&bitmapDescription),
                                         DIB_RGB_COLORS, &bits, nullptr, 0);
    frameBufferBits = static_cast<std::uint8_t*>(bits);
    ReleaseDC(window, context);
}

void realizeGamePalette() {
    HWND window = GetActiveWindow();
    if (!window) return;
    HDC context = GetDC(window);
    selectAndRealize(context);
    ReleaseDC(window, context);
}

void presentFrameBuffer() {
    HWND window = GetActiveWindow();
    if (!window || !frameBufferBitmap) return;
    HDC context = GetDC(window);
    RECT client;
    GetClientRect(window, &client);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, frameBufferBitmap);
    BitBlt(context, 0, 0, client.right - client.left, client.bottom - client.top, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(window, context);
}

void deleteFrameBuffer() {
    if (frameBufferBitmap) DeleteObject(frameBufferBitmap);
    frameBufferBitmap = nullptr;
    frameBufferBits = nullptr;
}
