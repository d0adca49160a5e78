#pragma once
// The 400 x 300 image whose pixels are the frame buffer's: the target of
// every drawing of the game.
#include <cstdint>

#include "gfx/image.h"

// Pixels of the frame buffer, 300 top-down rows of 400 bytes; set when the
// frame buffer is created, null before.
extern std::uint8_t* frameBufferBits;

class ScreenImage : public Image {
public:
    // A 400 x 300 image without pixels of its own; nothing may be drawn into
    // it before bindToFrameBuffer.
    ScreenImage(int width, int height);

    // Points the pixels at frameBufferBits, once; later calls do nothing.
    // Without a frame buffer it stays unbound.
    void bindToFrameBuffer();

    bool boundToFrameBuffer = false;
};
