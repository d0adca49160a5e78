// The 400 x 300 frame on the canvas, coloured through the game's palette
// (bitmap resource 150), enlarged by whole multiples only, so every pixel
// stays a crisp square.
export const WIDTH = 400;
export const HEIGHT = 300;

export class Screen {
  constructor(canvas, module) {
    this.canvas = canvas;
    this.context = canvas.getContext("2d");
    this.image = this.context.createImageData(WIDTH, HEIGHT);
    // RGBA bytes read as one number each: the same byte order as the image's.
    this.colours = new Uint32Array(module.HEAPU8.slice(module._zifra_palette(), module._zifra_palette() + 1024).buffer);
    this.pixels = new Uint32Array(this.image.data.buffer);
  }

  // Takes the newly drawn frame from the module (the page's game's unless
  // `start` points at another).
  take(module, start = module._zifra_screen()) {
    const indices = module.HEAPU8.subarray(start, start + WIDTH * HEIGHT);
    const { colours, pixels } = this;
    for (let i = 0; i < indices.length; ++i) pixels[i] = colours[indices[i]];
  }

  present() {
    this.context.putImageData(this.image, 0, 0);
  }

  // The frame's red, green and blue bytes, row by row.
  rgb() {
    const rgba = this.image.data;
    const out = new Uint8Array(WIDTH * HEIGHT * 3);
    for (let i = 0, o = 0; i < rgba.length; i += 4) {
      out[o++] = rgba[i];
      out[o++] = rgba[i + 1];
      out[o++] = rgba[i + 2];
    }
    return out;
  }

  // The largest whole multiple that fits `width` x `height`, at least 1.
  fit(width, height) {
    const scale = Math.max(1, Math.floor(Math.min(width / WIDTH, height / HEIGHT)));
    this.canvas.style.width = `${WIDTH * scale}px`;
    this.canvas.style.height = `${HEIGHT * scale}px`;
    return scale;
  }
}
