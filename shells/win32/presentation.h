#pragma once
// Putting the game's pictures on the main window: the 237-colour palette from
// bitmap resource 150, realised in the window's device context, and each
// frame's 400 x 300 palette indices copied to the client area in one
// transfer, coloured by the same colour table.
#include <windows.h>

#include "gfx/image.h"
#include "platform/bitmaps.h"

class Presentation {
public:
    // Builds the palette and the colour table on the active window's device
    // context. Without the palette bitmap nothing is made, and nothing is
    // ever shown.
    Presentation();
    ~Presentation();

    Presentation(const Presentation&) = delete;
    Presentation& operator=(const Presentation&) = delete;

    // Realises the game's palette in the active window's device context.
    void realizePalette();

    // Copies `screen` (400 x 300) to the active window's client area; nothing
    // while the program is not the active application.
    void present(const Image& screen);

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
    bool ready_ = false;
    platform::LoadedBitmap paletteSource_;
    // The palette object selected into the window's own device context. It
    // must live while selected, so it is only deleted once its successor is in.
    HPALETTE selectedPalette_ = nullptr;
};
