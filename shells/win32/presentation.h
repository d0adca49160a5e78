#pragma once
// Putting the game's pictures on the main window: the frame buffer, a 400 x
// 300 top-down 8-bit bitmap section that holds the last picture drawn,
// coloured by the game's palette from bitmap resource 150, and copied to the
// window in one bit-block transfer after every frame.
#include <windows.h>

#include <cstdint>

#include "gfx/image.h"
#include "platform/bitmaps.h"

class Presentation {
public:
    // Builds the palette and the frame buffer on the active window's device
    // context. Without the palette bitmap nothing is made, and nothing is
    // ever shown.
    Presentation();
    // Deletes the frame buffer's bitmap and the palette objects.
    ~Presentation();

    Presentation(const Presentation&) = delete;
    Presentation& operator=(const Presentation&) = delete;

    // Realises the game's palette in the active window's device context.
    void realizePalette();

    // Takes a newly drawn picture (400 x 300 palette indices) into the frame buffer.
    void takePicture(const Image& screen);
    // Copies the frame buffer to the active window's client area; nothing
    // while the program is not the active application.
    void present();
    // Copies the frame buffer to `window`'s client area.
    void showIn(HWND window);

private:
    struct BitmapDescription {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    };
    struct GamePalette {
        WORD version;
        WORD entryCount;
        PALETTEENTRY entries[256];
    };

    void takeColours();
    void selectAndRealize(HDC context);

    BitmapDescription bitmapDescription_{};
    GamePalette gamePalette_{0x300, 256, {}};
    platform::LoadedBitmap paletteSource_;
    HBITMAP frameBufferBitmap_ = nullptr;
    std::uint8_t* frameBufferBits_ = nullptr;
    // The palette object selected into the window's own device context. It
    // must live while selected, so it is only deleted once its successor is in.
    HPALETTE selectedPalette_ = nullptr;
};
