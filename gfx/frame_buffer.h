#pragma once
// The frame buffer: a 400 x 300 top-down 8-bit bitmap section whose pixels
// are frameBufferBits, coloured by the game's palette from bitmap resource
// 150, and copied to the window once per frame. Windows only.

// Builds the palette and the bitmap section on the active window. Without
// the palette bitmap nothing is made and frameBufferBits stays null.
void createFrameBuffer();

// Realises the game's palette in the active window's device context.
void realizeGamePalette();

// Copies the frame buffer to the active window's client area; nothing while
// the program is not the active application.
void presentFrameBuffer();

// Deletes the bitmap section; frameBufferBits becomes null.
void deleteFrameBuffer();
