#include "gfx/screen_image.h"

std::uint8_t* frameBufferBits = nullptr;

ScreenImage::ScreenImage(int width, int height) : Image(width, height) {
    borrowsPixels = true;
    boundToFrameBuffer = false;
    delete[] pixels;
    pixels = nullptr;
}

void ScreenImage::bindToFrameBuffer() {
    if (boundToFrameBuffer || !frameBufferBits) return;
    pixels = frameBufferBits;
    boundToFrameBuffer = true;
}
