// From the device's own rate to the encoder's 22050 Hz stereo 16-bit, by linear interpolation
// between neighbouring input frames. A mono device feeds both channels.

export const OutRate = 22050;

export class Resampler {
  private readonly step: number; // input frames per output frame
  private position = 0; // of the next output frame, in input frames after `last`
  private lastL = 0;
  private lastR = 0;

  constructor(inRate: number) {
    this.step = inRate / OutRate;
  }

  // Appends the interleaved output frames for one block of input to `out` from `at`, answers
  // the new end. `out` must have room for ceil(block / step) + 1 frames.
  push(left: Float32Array, right: Float32Array, out: Int16Array, at: number): number {
    const n = left.length;
    let p = this.position;
    // Input frame -1 is the last one of the previous block.
    while (p < n - 1) {
      const i = Math.floor(p);
      const f = p - i;
      const l0 = i < 0 ? this.lastL : left[i];
      const r0 = i < 0 ? this.lastR : right[i];
      out[at++] = toInt16(l0 + (left[i + 1] - l0) * f);
      out[at++] = toInt16(r0 + (right[i + 1] - r0) * f);
      p += this.step;
    }
    this.position = p - n;
    this.lastL = left[n - 1];
    this.lastR = right[n - 1];
    return at;
  }
}

function toInt16(x: number): number {
  const s = Math.round(x * 32767);
  return s > 32767 ? 32767 : s < -32768 ? -32768 : s;
}
