// The sixteen sound cues, from the module's WAVE resources, through Web
// Audio. A cue cuts off the one still sounding, as the Windows game's do.
export const CUE_IDS = Array.from({ length: 16 }, (_, i) => 164 + i);

export class Cues {
  constructor() {
    this.context = new AudioContext();
    this.buffers = new Map();
    this.sounding = null;
  }

  // Decodes every cue; one that cannot be decoded stays silent.
  async load(module) {
    await Promise.all(CUE_IDS.map(async (id) => {
      const start = module._zifra_wave(id);
      const size = module._zifra_wave_size(id);
      if (size === 0) return;
      try {
        this.buffers.set(id, await this.context.decodeAudioData(module.HEAPU8.slice(start, start + size).buffer));
      } catch {
        // Silence, as a cue that cannot be played is on Windows.
      }
    }));
  }

  // The browser lets sound out only after the player has done something.
  resume() {
    if (this.context.state === "suspended") this.context.resume().catch(() => {});
  }

  play(id) {
    const buffer = this.buffers.get(id);
    if (!buffer) return;
    if (this.sounding) {
      try {
        this.sounding.stop();
      } catch {
        // It had ended already.
      }
    }
    const source = this.context.createBufferSource();
    source.buffer = buffer;
    source.connect(this.context.destination);
    source.start();
    this.sounding = source;
  }
}
