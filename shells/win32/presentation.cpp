#include "shells/win32/presentation.h"

#include <cstring>

#include "gfx/palette_colours.h"
#include "platform/debug_output.h"
#include "platform/resources.h"
#include "res/resource_ids.h"

namespace {

constexpr int width = 400;
constexpr int height = 300;

}  // namespace

Presentation::Presentation() {
    HWND window = GetActiveWindow();
    HDC context = GetDC(window);

    BITMAPINFOHEADER& header = bitmapDescription_.header;
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
    paletteSource_ = *source;
    if (paletteSource_.bitsPerPixel == 8) takeColours();

    selectAndRealize(context);

    void* bits = nullptr;
    frameBufferBitmap_ = CreateDIBSection(context, reinterpret_cast<const BITMAPINFO*>(&bitmapDescription_),
                                          DIB_RGB_COLORS, &bits, nullptr, 0);
    frameBufferBits_ = static_cast<std::uint8_t*>(bits);
    ReleaseDC(window, context);
}

Presentation::~Presentation() {
    if (frameBufferBitmap_) DeleteObject(frameBufferBitmap_);
    if (selectedPalette_) DeleteObject(selectedPalette_);
    platform::releaseBitmap(paletteSource_);
}

void Presentation::takeColours() {
    auto data = platform::resourceBytes(platform::ResourceType::Bitmap, IDB_PALETTE);
    if (!data) {
        platform::writeDebugOutput("lock resource failed\n");
        return;
    }
    PaletteColours colours = readPaletteColours(*data);
    for (int i = 0; i < 256; ++i) {
        const PaletteColour& c = colours[i];
        bitmapDescription_.colours[i] = RGBQUAD{c.blue, c.green, c.red, 0};
        gamePalette_.entries[i] = PALETTEENTRY{c.red, c.green, c.blue, PC_NOCOLLAPSE};
    }
}

void Presentation::selectAndRealize(HDC context) {
    HPALETTE palette = CreatePalette(reinterpret_cast<const LOGPALETTE*>(&gamePalette_));
    SelectPalette(context, palette, FALSE);
    RealizePalette(context);
    if (selectedPalette_) DeleteObject(selectedPalette_);
    selectedPalette_ = palette;
}

void Presentation::realizePalette() {
    HWND window = GetActiveWindow();
    if (!window) return;
    HDC context = GetDC(window);
    selectAndRealize(context);
    ReleaseDC(window, context);
}

void Presentation::takePicture(const Image& screen) {
    if (frameBufferBits_) std::memcpy(frameBufferBits_, screen.pixels, static_cast<std::size_t>(width) * height);
}

void Presentation::present() {
    if (HWND window = GetActiveWindow()) showIn(window);
}

void Presentation::showIn(HWND window) {
    if (!frameBufferBitmap_) return;
    HDC context = GetDC(window);
    RECT client;
    GetClientRect(window, &client);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, frameBufferBitmap_);
    BitBlt(context, 0, 0, client.right - client.left, client.bottom - client.top, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(window, context);
}
